// The shared helpers (rounding, TitleCase, masks) and the login, password gate and activation
// rules, without windows.
#include <gtest/gtest.h>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "support/TempDir.h"

using namespace zuna;

namespace {

struct Db {
    explicit Db(const std::string& country = "K") {
        o.folder = dir.sub("db");
        o.country = country;
        o.company = "  Acme Holdings ";
        o.password = "secret";
        o.managerPassword = "boss";
        o.adminPassword = "root";
        o.year = 2009;
        o.month = 1;
        PrepareDatabase(o);
        fmVarGlobal() = VarGlobal{};
        dm = std::make_unique<TdmPayroll>(o.folder);
    }
    void addUser(const std::string& name, const std::string& password, const std::string& category, int level,
                 const std::string& jobGroup) {
        dm->PayUsers.append();
        dm->PayUsers.setString("USER", name);
        dm->PayUsers.setString("TPASSWORD", password);
        dm->PayUsers.setString("CATEGORY", category);
        dm->PayUsers.setInteger("LEVEL", level);
        dm->PayUsers.setString("JOBGROUP", jobGroup);
        dm->PayUsers.post();
    }
    int auditRows() {
        Table log(dm->db(), "paylog");
        log.open();
        return log.recordCount();
    }
    std::string lastAuditName() {
        Table log(dm->db(), "paylog");
        log.open();
        log.last();
        return log.asString("UserName");
    }
    test::TempDir dir;
    PrepareOptions o;
    std::unique_ptr<TdmPayroll> dm;
};

}  // namespace

TEST(Helpers, RoundingVocabulary) {
    struct Case {
        long double x, round, trunc, to005, to05;
    };
    const Case cases[] = {
        {2.5L, 2, 2, 2.5L, 2.5L},          {3.5L, 4, 3, 3.5L, 3.5L},     {-2.5L, -2, -2, -2.5L, -2.5L},
        {200.125L, 200, 200, 200.1L, 200}, {-0.75L, -1, 0, -0.75L, -0.5L}, {500.049L, 500, 500, 500, 500},
        {1234.5L, 1234, 1234, 1234.5L, 1234.5L},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Round(c.x), c.round) << static_cast<double>(c.x);
        EXPECT_EQ(Trunc(c.x), c.trunc) << static_cast<double>(c.x);
        EXPECT_NEAR(static_cast<double>(TruncTo005(c.x)), static_cast<double>(c.to005), 1e-9) << static_cast<double>(c.x);
        EXPECT_NEAR(static_cast<double>(TruncTo05(c.x)), static_cast<double>(c.to05), 1e-9) << static_cast<double>(c.x);
    }
    // Contributions as the computation forms them: NSSF to 0.5, pensions to 0.05.
    EXPECT_EQ(TruncTo05(5.0L * 4001 / 100), 200);
    EXPECT_EQ(TruncTo05(5.0L * 4019 / 100), 200.5L);
    EXPECT_NEAR(static_cast<double>(TruncTo005(5.0L * 10001.4L / 100)), 500.05, 1e-9);
    EXPECT_EQ(TruncTo005(500.5L), 500.5L);
    // Unit rounding: whole units, or the nearest 0.05.
    EXPECT_EQ(UnitRound(1234.56L, true), 1235);
    EXPECT_NEAR(static_cast<double>(UnitRound(1234.56L, false)), 1234.55, 1e-9);
    EXPECT_NEAR(static_cast<double>(UnitRound(869.5652L, false)), 869.55, 1e-9);
    fmVarGlobal().RoundToWholeUnits = true;
    EXPECT_EQ(UnitRound(2.5L), 2);
}

TEST(Helpers, TitleCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"JOHN o'NEIL-SMITH", "John O'neil-smith"},
        {"MAIN  road", "Main  Road"},
        {"HUMAN RESOURCES", "Human Resources"},
        {"OVERTIME DAYS", "Overtime Days"},
        {" leading blank", " Leading Blank"},
        {"2nd shift.night", "2nd Shift.night"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(TitleCase(in), out) << in;
}

TEST(Helpers, DisplayMasks) {
    struct Case {
        double v;
        const char* mask;
        const char* text;
    };
    const Case cases[] = {
        {1234567.891, "###,###,##0.00", "1,234,567.89"},
        {0, "###,###,##0.00", "0.00"},
        {-1234.5, "###,###,##0.00", "-1,234.50"},
        {999.5, "#,##0", "1,000"},
        {1500, "0.00", "1500.00"},
        {0.5, "###.##", ".5"},
        {12.3, "###.##", "12.3"},
        {-5, "#,##0.00;(#,##0.00)", "(5.00)"},
        {0, "#,##0.00;(#,##0.00);Nil", "Nil"},
        {2745.65, "###,###,##0.00", "2,745.65"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatMask(c.v, c.mask), c.text) << c.v << " " << c.mask;
    EXPECT_EQ(MonthYearText(Date(2009, 1, 31)), "January 2009");
    EXPECT_EQ(LongDateText(Date(2009, 1, 31)), "Sat 31, January 2009");
}

TEST(Login, NamesAndPasswordsMatchExactly) {
    Db db;
    db.addUser("CLERKJANE12", "PASS", "B", 5, "000");  // stored cut to 10: CLERKJANE1
    db.addUser("lower", "lowpw", "B", 5, "000");
    TdmPayroll& dm = *db.dm;
    LoginActivate(dm);
    struct Case {
        const char* name;
        const char* password;
        bool accepted;
        const char* user;
    };
    const Case cases[] = {
        {"ADMIN", "SECRET", true, "ADMIN"},
        {"ADMIN", "secret", false, ""},            // the boxes capitalise; stored in capitals
        {"admin", "SECRET", false, ""},            // exact match
        {"CLERKJANE1", "PASS", true, "CLERKJANE1"},
        {"CLERKJANE1XYZ", "PASS", true, "CLERKJANE1"},  // a name longer than 10 is cut before the search
        {"CLERKJANE", "PASS", false, ""},
        {"LOWER", "LOWPW", false, ""},             // stored in small letters: never matched
        {"ADMIN", "SECRETSECRETSECRETSECRET", false, ""},  // longer than the stored field
        {"ADMIN", "", false, ""},
    };
    for (const Case& c : cases) {
        int before = db.auditRows();
        bool ok = LoginUser(dm, c.name, c.password);
        EXPECT_EQ(ok, c.accepted) << c.name << "/" << c.password;
        EXPECT_EQ(fmVarGlobal().LoginAccepted, c.accepted) << c.name;
        EXPECT_EQ(db.auditRows(), before + (c.accepted ? 1 : 0)) << c.name;
        if (c.accepted) {
            EXPECT_EQ(fmVarGlobal().CurrentUser, c.user);
            EXPECT_EQ(db.lastAuditName(), std::string(c.user).substr(0, 6));
        }
    }
}

TEST(Login, ProposedNameAndUserVariables) {
    Db db("R");
    db.addUser("PAYCLERK", "PW", "B", 9, "C01");
    TdmPayroll& dm = *db.dm;
    LoginActivate(dm);
    EXPECT_EQ(fmVarGlobal().CountryCode, "R");
    EXPECT_EQ(dm.payMain.recordCount(), 1);
    EXPECT_EQ(dm.payMain.asString("COUNTRY"), "R");
    EXPECT_EQ(ProposedLoginName(dm), "ADMIN");  // a fresh database

    dm.paysys.first();
    dm.paysys.edit();
    dm.paysys.setBoolean("BankDetails", true);
    dm.paysys.setBoolean("HRDATA", true);
    dm.paysys.setInteger("PAYTYPE", 2);
    dm.paysys.setString("STATUS", "A");
    dm.paysys.post();
    ASSERT_TRUE(LoginUser(dm, "PAYCLERK", "PW"));
    const VarGlobal& g = fmVarGlobal();
    EXPECT_EQ(g.UserCategory, "B");
    EXPECT_EQ(g.UserLevel, 9);
    EXPECT_EQ(g.UserJobGroup, "C01");
    EXPECT_FALSE(g.fullRights());  // level 9 without category A
    EXPECT_TRUE(g.ShowBankDetails);
    EXPECT_TRUE(g.BirthdayReminder);
    EXPECT_EQ(g.PayTypeSetting, 2);
    EXPECT_TRUE(g.TestPayEnabled);  // the main window's switch stores "A"
    EXPECT_EQ(ProposedLoginName(dm), "PAYCLE");  // the audit log keeps 6 characters

    dm.paysys.edit();
    dm.paysys.setString("STATUS", "");
    dm.paysys.post();
    ASSERT_TRUE(LoginUser(dm, "PAYCLERK", "PW"));
    EXPECT_FALSE(fmVarGlobal().TestPayEnabled);
}

TEST(Login, UserRulesOnActivation) {
    Db db;
    db.addUser("CLERK", "PW", "B", 9, "C01");
    TdmPayroll& dm = *db.dm;
    for (const auto& [no, job] : {std::pair{"0001", "C01"}, std::pair{"0002", "M01"}, std::pair{"0003", "C01"}}) {
        dm.payroll.append();
        dm.payroll.setString("EMPNO", no);
        dm.payroll.setString("EMPJOBT", job);
        if (std::string(no) == "0003") dm.payroll.setString("ESTATUS", "D");
        dm.payroll.post();
    }
    dm.taMessages.append();
    dm.taMessages.setString("TMonth", "01");
    dm.taMessages.setString("TYear", "2009");
    dm.taMessages.setString("TMessage", "Happy New Year");
    dm.taMessages.post();
    int allCodes = dm.Paycodes.recordCount();
    int changing = 0;
    for (dm.Paycodes.first(); !dm.Paycodes.eof(); dm.Paycodes.next()) changing += dm.Paycodes.asBoolean("RECUR");
    ASSERT_LT(changing, allCodes);

    LoginActivate(dm);
    ASSERT_TRUE(LoginUser(dm, "ADMIN", "SECRET"));
    ActivateMain(dm);
    const VarGlobal& g = fmVarGlobal();
    EXPECT_EQ(dm.payroll.recordCount(), 2);  // active employees of every job group
    EXPECT_EQ(dm.Paycodes.recordCount(), allCodes);
    EXPECT_EQ(g.PeriodMonth, "01");
    EXPECT_EQ(g.PeriodYear, "2009");
    EXPECT_EQ(g.PeriodYearNumber, 2009);
    EXPECT_EQ(g.MonthMessage, "Happy New Year");
    EXPECT_EQ(g.CurrencyLabel, "SHS.");
    EXPECT_TRUE(g.RoundToWholeUnits);
    EXPECT_EQ(PeriodPanelText(dm), "Month : January 2009");

    ASSERT_TRUE(LoginUser(dm, "CLERK", "PW"));
    ActivateMain(dm);
    EXPECT_EQ(dm.payroll.recordCount(), 1);  // active employees of job group C01
    EXPECT_EQ(dm.payroll.asString("EMPNO"), "0001");
    EXPECT_EQ(dm.Paycodes.recordCount(), changing);

    Db rwanda("R");
    LoginActivate(*rwanda.dm);
    ASSERT_TRUE(LoginUser(*rwanda.dm, "ADMIN", "SECRET"));
    ActivateMain(*rwanda.dm);
    EXPECT_EQ(fmVarGlobal().CurrencyLabel, "RWF.");
    EXPECT_TRUE(fmVarGlobal().MonthMessage.empty());
}

TEST(Login, PasswordGate) {
    Db db;
    TdmPayroll& dm = *db.dm;
    LoginActivate(dm);
    ASSERT_TRUE(LoginUser(dm, "ADMIN", "SECRET"));
    struct Case {
        GatePassword which;
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {
        {GatePassword::Manager, "BOSS", true},       {GatePassword::Manager, "boss", false},
        {GatePassword::Manager, "ROOT", false},      {GatePassword::Administrator, "ROOT", true},
        {GatePassword::Administrator, "BOSS", false}, {GatePassword::Administrator, "", false},
    };
    for (const Case& c : cases) {
        int before = db.auditRows();
        EXPECT_EQ(PasswordGate(dm, c.which, c.typed), c.accepted) << c.typed;
        EXPECT_EQ(db.auditRows(), before + (c.accepted ? 1 : 0)) << c.typed;
    }
    EXPECT_EQ(std::string(kNoAccessRights), "You do not have Enough Access Rights for this Option !!");
    EXPECT_EQ(std::string(kLoginRefused), "Login not accepted !!! Exiting the Program.");
}
