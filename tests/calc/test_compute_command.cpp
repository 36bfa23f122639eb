// zuna compute on the demo company: the run lands, every result the month needs is there, and
// a user without the Compute right is refused.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "data/Prepare.h"
#include "engine/Database.h"
#include "support/TempDir.h"

using namespace zuna;

namespace {

struct CommandRun {
    int code = -1;
    std::string out, err;
};

CommandRun runZuna(const std::string& folder, const std::string& user, const std::string& password, const QStringList& more) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"ZUNA_DATA", "ZUNA_USER", "ZUNA_PASSWORD"}) env.remove(v);
    p.setProcessEnvironment(env);
    QStringList args{"--data", QString::fromStdString(folder), "--user", QString::fromStdString(user), "--password",
                     QString::fromStdString(password)};
    args << more;
    p.start(ZUNA_BINARY, args);
    CommandRun r;
    if (!p.waitForFinished(60000)) return r;
    r.code = p.exitCode();
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

long long scalar(Database& db, const std::string& sql) {
    Stmt s = db.prepare(sql);
    s.step();
    return s.columnInt(0);
}

}  // namespace

TEST(ComputeCommand, DemoCompanyMonthIsComputedWhole) {
    test::TempDir dir;
    PrepareOptions o;
    o.folder = dir.sub("db");
    o.country = "K";
    o.company = "Demo Company Ltd";
    o.password = "demo";
    o.demo = true;
    PrepareDatabase(o);

    CommandRun r = runZuna(o.folder, "admin", "demo", {"compute"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Payroll Computation Complete !!!"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;

    auto db = Database::open(o.folder);
    // The employees of the month: active, not leaving outside the period.
    const std::string computed =
        "FROM payrf01 WHERE ESTATUS = 'A' AND (TERDATE IS NULL OR TERDATE BETWEEN '2009-01-01' AND '2009-01-31')";
    const long long employees = scalar(*db, "SELECT count(*) " + computed);
    ASSERT_GT(employees, 0);
    for (const char* field : {"TOTEARN", "PAY", "ROUND", "NSSF", "VNSSF", "NHIF", "LASC", "PAYE", "MISC9", "TOTDED", "NETT",
                              "ODCR", "HALLOW", "MORTGAGE2", "PEN_TAX", "PENSIONS", "PENSIONC", "BENEFIT", "MPR"})
        EXPECT_EQ(scalar(*db, std::string("SELECT count(*) ") + computed + " AND " + field + " IS NOT NULL"), employees)
            << field;
    // Someone is paid, someone pays tax, the month's tax history row exists for the others.
    EXPECT_GT(scalar(*db, "SELECT count(*) " + computed + " AND NETT > 0"), 0);
    EXPECT_GT(scalar(*db, "SELECT count(*) " + computed + " AND PAYE > 0"), 0);
    EXPECT_EQ(scalar(*db, "SELECT count(*) FROM payrf04 WHERE TMONTH = '01' AND TAXCH IS NOT NULL AND EMPNO IN "
                          "(SELECT EMPNO " + computed + " AND TERDATE IS NULL)"),
              scalar(*db, "SELECT count(*) " + computed + " AND TERDATE IS NULL"));
    // Cash payments are split into notes and coins that add up to the net pay.
    EXPECT_EQ(scalar(*db, "SELECT count(*) FROM payrf05"), scalar(*db, "SELECT count(*) " + computed + " AND PAYMENT = 1 AND NETT > 0"));
    EXPECT_EQ(scalar(*db,
                     "SELECT count(*) FROM payrf05 WHERE abs(TWENTYTHAO * 20000 + TENTHAO * 10000 + FIVETHAO * 5000 + "
                     "THAO * 1000 + HUND5 * 500 + HUND2 * 200 + HUND * 100 + FIFTY * 50 + TWENT * 20 + TEN * 10 + FIVE * 5 + "
                     "ONE + SUMUNI * 0.5 + PENNY * 0.1 + NDURU * 0.05 - NETT) >= 0.05"),
              0);
    // The analysis: one row per department of the computed employees and the grand total.
    EXPECT_EQ(scalar(*db, "SELECT count(*) FROM payanal"),
              scalar(*db, "SELECT count(DISTINCT EMPDEPT) " + computed) + 1);
    EXPECT_EQ(scalar(*db, "SELECT round(NETT) FROM payanal WHERE EMPDEPT = 'XXX' AND EMPBRCH = 'XXX'"),
              scalar(*db, "SELECT round(sum(NETT)) " + computed));
    EXPECT_EQ(scalar(*db, "SELECT count(*) FROM paytanal WHERE EMPDEPT = 'XXX' AND EMPBRCH = 'XXX'"), 1);
}

TEST(ComputeCommand, UserWithoutTheComputeRightIsRefused) {
    test::TempDir dir;
    PrepareOptions o;
    o.folder = dir.sub("db");
    o.company = "Test Company Ltd";
    o.password = "pw";
    PrepareDatabase(o);
    {
        auto db = Database::open(o.folder);
        db->exec("INSERT INTO payusrs (USER, TPASSWORD, CATEGORY, LEVEL, JOBGROUP, MENU3) VALUES ('VIEWER', 'PW', 'B', 1, '000', 0)");
    }
    CommandRun r = runZuna(o.folder, "viewer", "pw", {"compute"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no right to compute"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Complete"), std::string::npos);
}
