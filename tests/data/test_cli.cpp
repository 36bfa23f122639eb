// The data commands of the zuna program, run as a user runs them: init, tables, export, import.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace {

struct Outcome {
    int code = -1;
    std::string out, err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string quoted(const std::string& a) {
    std::string q = "'";
    for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class Zuna {
public:
    Zuna() : data_(dir_.sub("db")) {}
    Outcome operator()(const std::vector<std::string>& args) {
        std::string cmd = "env -u ZUNA_DATA -u ZUNA_USER -u ZUNA_PASSWORD " + quoted(ZUNA_BINARY);
        for (const auto& a : args) cmd += " " + quoted(a);
        const std::string errFile = dir_.sub("stderr.txt");
        cmd += " 2>" + quoted(errFile);
        Outcome r;
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return r;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
        int status = pclose(p);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = slurp(errFile);
        return r;
    }
    // A command as a logged-in user.
    Outcome as(const std::string& user, const std::string& password, std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", data_, "--user", user, "--password", password});
        return (*this)(args);
    }
    Outcome admin(std::vector<std::string> args) { return as("admin", "pass", std::move(args)); }
    std::string file(const std::string& name) const { return dir_.sub(name); }
    const std::string& data() const { return data_; }

private:
    zuna::test::TempDir dir_;
    std::string data_;
};

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(DataCommands, InitExportEditImport) {
    Zuna zuna;
    Outcome r = zuna({"init", "--data", zuna.data(), "--country", "K", "--company", "Savanna Traders Ltd", "--period",
                  "2009-01", "--password", "pass", "--demo"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("ADMIN"), std::string::npos);

    r = zuna.admin({"tables"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("payrf01"), std::string::npos);
    EXPECT_NE(r.out.find("paynhif"), std::string::npos);

    // The employee file, edited as a clerk would: one name changed and one employee added.
    const std::string csv = zuna.file("employees.csv");
    r = zuna.admin({"export", "payrf01", "--out", csv});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string text = slurp(csv);
    ASSERT_NE(text.find(",KAMAU,PETER NJOROGE,"), std::string::npos);
    text.replace(text.find(",KAMAU,PETER NJOROGE,"), 21, ",KAMAU,PETER N.,");
    write(csv, text + "0099,,NBI,ADM,HRS,C01,0,ODUOR,JAMES" + std::string(142 - 9, ',') + "\r\n");
    r = zuna.admin({"import", "payrf01", csv});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("1 added, 30 updated"), std::string::npos) << r.out;

    r = zuna.admin({"export", "payrf01"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(",KAMAU,PETER N.,"), std::string::npos);
    EXPECT_NE(r.out.find("0099,,NBI,ADM,HRS,C01,0,ODUOR,JAMES"), std::string::npos);
    r = zuna.admin({"export", "payrf04"});
    size_t rows = 0;
    for (size_t at = r.out.find("\n0099,"); at != std::string::npos; at = r.out.find("\n0099,", at + 1)) ++rows;
    EXPECT_EQ(rows, 12u);
}

TEST(DataCommands, RefusalsSayWhyAndChangeNothing) {
    Zuna zuna;
    ASSERT_EQ(zuna({"init", "--data", zuna.data(), "--company", "Acme", "--period", "2010-07", "--password", "pass"}).code, 0);

    // A second init on the same folder, or a bad period.
    Outcome r = zuna({"init", "--data", zuna.data(), "--company", "Acme", "--period", "2010-07", "--password", "pass"});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.err.find("already exists"), std::string::npos) << r.err;
    r = zuna({"init", "--data", zuna.file("other"), "--company", "Acme", "--period", "2010-13", "--password", "x"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("2010-13"), std::string::npos) << r.err;

    // A refused login.
    r = zuna.as("admin", "wrong", {"tables"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Login not accepted !!! Exiting the Program."), std::string::npos) << r.err;

    // A bad file: one line naming file, line, field and value; the table as it was.
    const std::string before = zuna.admin({"export", "payrf03"}).out;
    const std::string bad = zuna.file("codes.csv");
    write(bad, "FNO,FNAME,FACTOR\n13,Shift Allowance,1\n14,Night Allowance,one and a half\n");
    r = zuna.admin({"import", "payrf03", bad});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "zuna: " + bad + " line 3, field FACTOR: 'one and a half' is not a number\n");
    EXPECT_EQ(zuna.admin({"export", "payrf03"}).out, before);

    // A user without full rights may log in but not export or import every row.
    const std::string users = zuna.file("users.csv");
    write(users, "USER,TPASSWORD,NAME,LEVEL,CATEGORY,JOBGROUP\nCLERK,PW,Pay Clerk,9,B,000\n");
    ASSERT_EQ(zuna.admin({"import", "payusrs", users}).code, 0);
    EXPECT_EQ(zuna.as("clerk", "pw", {"tables"}).code, 0);
    r = zuna.as("clerk", "pw", {"export", "payrf01"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("full rights"), std::string::npos) << r.err;
}
