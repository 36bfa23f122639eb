// zuna close-month: the manager password gate, the user's right, a database in use elsewhere,
// and the accepted close printing the new period.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "app/Session.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "engine/Dataset.h"
#include "support/TempDir.h"

using namespace zuna;

namespace {

struct Outcome {
    int code = -1;
    std::string out, err;
};

Outcome runZuna(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"ZUNA_DATA", "ZUNA_USER", "ZUNA_PASSWORD", "ZUNA_INI"}) env.remove(v);
    p.setProcessEnvironment(env);
    p.start(ZUNA_BINARY, args);
    if (!p.waitForFinished(120000)) return {};
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

long long scalar(const std::string& folder, const std::string& sql) {
    auto db = Database::open(folder);
    Stmt s = db->prepare(sql);
    return s.step() ? s.columnInt(0) : -1;
}

class CloseMonthCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.sub("db");
        PrepareOptions o;
        o.folder = folder;
        o.company = "Command Test Ltd";
        o.password = "secret";
        o.managerPassword = "boss";
        PrepareDatabase(o);
        auto db = Database::open(folder);
        Table emp(*db, "payrf01"), trans(*db, "payrf00"), users(*db, "payusrs");
        emp.open();
        emp.append();
        emp.setString("EMPNO", "E001");
        emp.setFloat("NETT", 1234);
        emp.post();
        trans.open();
        trans.append();
        trans.setString("EMPNO", "E001");
        trans.post();
        // A clerk who may work in the Tools menu but not run the period end.
        users.open();
        users.append();
        users.setString("USER", "CLERK");
        users.setString("TPASSWORD", "PW");
        users.setString("CATEGORY", "B");
        users.setInteger("LEVEL", 5);
        users.setString("JOBGROUP", "000");
        for (int i = 1; i <= 100; ++i) users.setBoolean("MENU" + std::to_string(i), i != 14);
        users.post();
    }
    QStringList as(const char* user, const char* password) const {
        return {"--data", QString::fromStdString(folder), "--user", user, "--password", password, "close-month"};
    }
    long long period() const { return scalar(folder, "SELECT PERIOD FROM paysys"); }
    long long auditRows() const { return scalar(folder, "SELECT count(*) FROM paylog"); }
    bool archived() const {
        return scalar(folder, "SELECT count(*) FROM sqlite_master WHERE name = 'PayM012009'") == 1;
    }

    test::TempDir dir;
    std::string folder;
};

}  // namespace

TEST_F(CloseMonthCommand, RefusesWithoutChangingTheMonth) {
    struct Case {
        const char* what;
        QStringList args;
        bool programOpenElsewhere;
        int code;
        const char* message;
        int auditRowsAdded;  // the login's, and the gate's when it accepts
    };
    const Case cases[] = {
        {"wrong manager password",
         as("admin", "secret") << "--manager-password"
                               << "admin",
         false, 1, kNoAccessRights, 1},
        {"the administrator's password is not the manager's",
         as("admin", "secret") << "--manager-password"
                               << "secret",
         false, 1, kNoAccessRights, 1},
        {"no manager password", as("admin", "secret"), false, 2, "--manager-password", 0},
        {"a user without the Period End right",
         as("clerk", "pw") << "--manager-password"
                           << "boss",
         false, 1, "no right to the Period End", 1},
        {"the program is open on another desk",
         as("admin", "secret") << "--manager-password"
                               << "boss",
         true, 1, "in use by another user", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const long long audit = auditRows();
        std::unique_ptr<TdmPayroll> elsewhere;
        if (c.programOpenElsewhere) elsewhere = std::make_unique<TdmPayroll>(folder);
        Outcome r = runZuna(c.args);
        elsewhere.reset();
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(period(), 1);
        EXPECT_FALSE(archived());
        EXPECT_EQ(auditRows(), audit + c.auditRowsAdded);
    }
}

TEST_F(CloseMonthCommand, ClosesTheMonthAndPrintsTheNewPeriod) {
    const long long audit = auditRows();
    // Typed in small letters: the password box capitalises.
    Outcome r = runZuna(as("admin", "secret") << "--manager-password"
                                              << "boss");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(
        r.out.find("Closed January 2009 (1 active employee, 1 transaction record); archives PayM012009, PayT012009"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.substr(r.out.rfind("Month")), "Month : February 2009\n");
    EXPECT_EQ(period(), 2);
    EXPECT_TRUE(archived());
    EXPECT_EQ(scalar(folder, "SELECT YTD_EARN FROM payrf01 WHERE EMPNO = 'E001'"), 1234);
    EXPECT_EQ(auditRows(), audit + 2);
}
