// Preparing a database: system parameters, the example tax tables of each country, the NHIF and
// LASC bands, the standard pay codes, the first user, refused options, and the demo company.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "Fixture.h"
#include "data/Catalogue.h"

using namespace zuna;
using zuna::test::PreparedDb;

TEST(Prepare, SystemParametersAndFirstUser) {
    struct Case {
        int year, month;
        Date sdate, edate;
    };
    const Case cases[] = {{2009, 1, Date(2009, 1, 1), Date(2009, 1, 31)},
                          {2012, 2, Date(2012, 2, 1), Date(2012, 2, 29)},
                          {2010, 6, Date(2010, 6, 1), Date(2010, 6, 30)}};
    for (const Case& c : cases) {
        PreparedDb db("T", false, c.year, c.month);
        TdmPayroll& dm = *db;
        for (const TableDef& def : catalogue()) EXPECT_TRUE(dm.db().tableExists(def.name)) << def.name;
        ASSERT_EQ(dm.paysys.recordCount(), 1);
        const std::pair<const char*, std::string> fields[] = {
            {"COUNTRY", "T"},       {"COMP_NAME", "Test Company Ltd"}, {"PERIOD", std::to_string(c.month)},
            {"SDATE", c.sdate.dmy()}, {"EDATE", c.edate.dmy()},          {"CNSSF", "N.S.S.F."},
            {"CPAYE", "P.A.Y.E."},  {"CLASC", "L.A.S.C."},               {"CNHIF", "N.H.I.F."},
            {"CPIN", "P.I.N."},     {"PAYTYPE", "1"},                    {"MPASSWORD", "SECRET"},
            {"PASSWORD", "SECRET"}, {"ALIAS", "Zuna"},
        };
        for (const auto& [f, want] : fields) EXPECT_EQ(dm.paysys.asString(f), want) << f;
        EXPECT_EQ(std::filesystem::path(dm.paysys.asString("DATAPATH")),
                  std::filesystem::absolute(db.options.folder).lexically_normal());
    }

    // Given manager and administrator passwords are stored in capitals, apart from the user's.
    test::TempDir dir;
    PrepareOptions o;
    o.folder = dir.sub("db");
    o.company = "  Acme Ltd ";
    o.password = "Pw1";
    o.managerPassword = "boss";
    o.adminPassword = "root";
    PrepareDatabase(o);
    TdmPayroll dm(o.folder);
    EXPECT_EQ(dm.paysys.asString("MPASSWORD"), "BOSS");
    EXPECT_EQ(dm.paysys.asString("PASSWORD"), "ROOT");
    EXPECT_EQ(dm.paysys.asString("COMP_NAME"), "Acme Ltd");
    ASSERT_EQ(dm.PayUsers.recordCount(), 1);
    EXPECT_EQ(dm.PayUsers.asString("USER"), "ADMIN");
    EXPECT_EQ(dm.PayUsers.asString("TPASSWORD"), "PW1");
    EXPECT_EQ(dm.PayUsers.asString("CATEGORY"), "A");
    EXPECT_EQ(dm.PayUsers.asInteger("LEVEL"), 9);
    EXPECT_EQ(dm.PayUsers.asString("JOBGROUP"), "000");
    for (int i = 1; i <= 100; ++i) EXPECT_TRUE(dm.PayUsers.asBoolean("MENU" + std::to_string(i))) << i;
}

TEST(Prepare, TaxParametersOfEachCountry) {
    PreparedDb db;
    Table t(db->db(), "payrf08");
    t.open();
    ASSERT_EQ(t.recordCount(), 4);
    struct Expect {
        const char* country;
        std::vector<std::pair<const char*, double>> values;
    };
    const Expect expected[] = {
        {"K",
         {{"NSSF", 5}, {"MAXNSSF", 200}, {"MAXNSSF2", 1000}, {"RELF1", 1162}, {"RELF2", 3000}, {"RELF3", 15},
          {"HOURS", 225}, {"HOURS2", 195}, {"PEN_SELF", 5}, {"PEN_COMP", 10}, {"PEN_FIXED", 20000},
          {"MAXMORT", 12500}, {"LOWINT1", 10}, {"TAWUACC", 30}, {"COTUACC", 31}, {"UCOTU", 20}, {"UTYPE", 0},
          {"BRACKET_1", 0}, {"BRACKET_11", 10164}, {"NRATE_1", 10}, {"CONST_1", 0},
          {"BRACKET_2", 10164}, {"BRACKET_21", 19740}, {"NRATE_2", 15}, {"CONST_2", 1016.4},
          {"BRACKET_3", 19740}, {"BRACKET_31", 29316}, {"NRATE_3", 20}, {"CONST_3", 2452.8},
          {"BRACKET_4", 29316}, {"BRACKET_41", 38892}, {"NRATE_4", 25}, {"CONST_4", 4368},
          {"BRACKET_5", 38892}, {"BRACKET_51", 99999999}, {"NRATE_5", 30}, {"CONST_5", 6762},
          {"URANGE1", 5000}, {"URANGE2", 10000}, {"URANGE3", 20000}, {"URANGE4", 40000}, {"URANGE5", 80000},
          {"URATE1", 100}, {"URATE2", 150}, {"URATE3", 200}, {"URATE4", 300}, {"URATE5", 400}, {"URATE6", 500}}},
        {"U",
         {{"NSSF", 5}, {"MAXNSSF", 0}, {"RELF1", 0}, {"HOURS", 208}, {"BRACKET_1", 130000}, {"BRACKET_11", 235000},
          {"NRATE_1", 10}, {"CONST_1", 0}, {"BRACKET_2", 235000}, {"CONST_2", 10500}, {"NRATE_2", 20},
          {"BRACKET_3", 335000}, {"BRACKET_31", 10000000}, {"CONST_3", 30500}, {"NRATE_3", 30},
          {"BRACKET_4", 10000000}, {"BRACKET_41", 99999999}, {"CONST_4", 2930000}, {"NRATE_4", 40},
          {"TAWUACC", 0}}},
        {"T",
         {{"NSSF", 10}, {"HOURS", 208}, {"BRACKET_1", 100000}, {"BRACKET_11", 360000}, {"NRATE_1", 14},
          {"CONST_2", 36400}, {"NRATE_2", 20}, {"CONST_3", 72400}, {"NRATE_3", 25}, {"BRACKET_4", 720000},
          {"BRACKET_41", 99999999}, {"CONST_4", 117400}, {"NRATE_4", 30}}},
        {"R",
         {{"NSSF", 3}, {"HOURS", 208}, {"BRACKET_1", 0}, {"BRACKET_11", 30000}, {"NRATE_1", 0},
          {"BRACKET_2", 30000}, {"BRACKET_21", 100000}, {"NRATE_2", 20}, {"CONST_2", 0}, {"BRACKET_3", 100000},
          {"BRACKET_31", 99999999}, {"NRATE_3", 30}, {"CONST_3", 14000}, {"BRACKET_4", 99999999},
          {"BRACKET_41", 99999999}, {"BRACKET_5", 99999999}, {"BRACKET_51", 99999999}}},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.country);
        ASSERT_TRUE(t.locate("COUNTRY", Value(e.country)));
        for (const auto& [f, v] : e.values) EXPECT_EQ(t.asFloat(f), v) << f;
    }
    // Each band's constant is the tax at its start, and the bands not given continue the
    // schedule above the top bound, so a value there is still taxed in order.
    for (const char* c : {"K", "U", "T", "R"}) {
        ASSERT_TRUE(t.locate("COUNTRY", Value(c)));
        auto f = [&](const std::string& name, int k) { return t.asFloat(name + std::to_string(k)); };
        for (int k = 2; k <= 5; ++k) {
            double start = k == 2 ? f("BRACKET_", 1) : t.asFloat("BRACKET_" + std::to_string(k - 2) + "1");
            double width = t.asFloat("BRACKET_" + std::to_string(k - 1) + "1") - start;
            EXPECT_NEAR(f("CONST_", k), f("CONST_", k - 1) + f("NRATE_", k - 1) / 100 * width, 0.01) << c << " band " << k;
        }
    }
}

TEST(Prepare, NhifAndLascBands) {
    PreparedDb db;
    Table nhif(db->db(), "paynhif");
    nhif.open();
    ASSERT_EQ(nhif.recordCount(), 1);
    const double nhifBands[16][3] = {
        {1000, 1499, 30},    {1500, 1999, 40},    {2000, 2999, 60},    {3000, 3999, 80},
        {4000, 4999, 100},   {5000, 5999, 120},   {6000, 6999, 140},   {7000, 7999, 160},
        {8000, 8999, 180},   {9000, 9999, 200},   {10000, 10999, 220}, {11000, 11999, 240},
        {12000, 12999, 260}, {13000, 13999, 280}, {14000, 14999, 300}, {15000, 99999999, 320}};
    for (int i = 1; i <= 16; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(nhif.asFloat("Nhif" + n), nhifBands[i - 1][0]) << i;
        EXPECT_EQ(nhif.asFloat("Nhif0" + n), nhifBands[i - 1][1]) << i;
        EXPECT_EQ(nhif.asFloat("Nhif_" + n), nhifBands[i - 1][2]) << i;
    }
    Table lasc(db->db(), "paylasc");
    lasc.open();
    ASSERT_EQ(lasc.recordCount(), 1);
    const double lascBands[10][3] = {{0, 100000, 0},          {100001, 200000, 5000},  {200001, 300000, 10000},
                                     {300001, 400000, 20000}, {400001, 500000, 30000}, {500001, 600000, 40000},
                                     {600001, 700000, 60000}, {700001, 800000, 70000}, {800001, 900000, 80000},
                                     {900001, 99999999, 100000}};
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(lasc.asFloat("LASC" + std::to_string(i)), lascBands[i - 1][0]) << i;
        EXPECT_EQ(lasc.asFloat("LASC" + std::to_string(10 + i)), lascBands[i - 1][1]) << i;
        EXPECT_EQ(lasc.asFloat("LASC_" + std::to_string(i)), lascBands[i - 1][2]) << i;
    }
}

TEST(Prepare, StandardPayCodes) {
    struct Code {
        int fno;
        const char* name;
        const char* recType;
        double factor;
        bool recur;
    };
    const Code common[] = {
        {1, "Basic Pay", "K", 0, false},          {2, "House Allowance", "K", 0, false},
        {5, "Overtime 1.5", "H", 1.5, true},      {6, "Overtime 2.0", "H", 2, true},
        {7, "Fixed Overtime", "K", 0, false},     {10, "Arrears", "K", 0, true},
        {11, "Pay Arrears", "K", 0, true},        {19, "Overtime 1.5 Arrears", "K", 0, true},
        {20, "Overtime 2.0 Arrears", "K", 0, true}, {26, "Mid-Month Advance", "K", 0, true},
    };
    for (const char* country : {"K", "U"}) {
        SCOPED_TRACE(country);
        PreparedDb db(country);
        TdmPayroll& dm = *db;
        for (const Code& c : common) {
            ASSERT_TRUE(dm.Paycodes.locate("FNO", Value(c.fno))) << c.fno;
            EXPECT_EQ(dm.Paycodes.asString("FNAME"), c.name);
            EXPECT_EQ(dm.Paycodes.asString("REC_TYPE"), c.recType) << c.fno;
            EXPECT_EQ(dm.Paycodes.asFloat("FACTOR"), c.factor) << c.fno;
            EXPECT_EQ(dm.Paycodes.asBoolean("RECUR"), c.recur) << c.fno;
        }
        // Every parameter that names a pay code names one that exists, in its range.
        ASSERT_TRUE(dm.payMain.locate("COUNTRY", Value(country)));
        dm.paysys.first();
        struct Link {
            long long code;
            int from, to;
        };
        for (const Link& l : {Link{dm.payMain.asInteger("TAWUACC"), 26, 40}, Link{dm.payMain.asInteger("COTUACC"), 26, 40},
                              Link{dm.paysys.asInteger("HELBACC"), 41, 50}, Link{dm.paysys.asInteger("LASCACC"), 41, 50}}) {
            if (l.code == 0) continue;
            EXPECT_GE(l.code, l.from);
            EXPECT_LE(l.code, l.to);
            EXPECT_TRUE(dm.Paycodes.locate("FNO", Value(l.code))) << l.code;
        }
        int loans = 0, savings = 0, lowInterest = 0;
        for (dm.Paycodes.first(); !dm.Paycodes.eof(); dm.Paycodes.next()) {
            long long f = dm.Paycodes.asInteger("FNO");
            loans += f >= 41 && f <= 50;
            savings += f >= 51 && f <= 60;
            lowInterest += dm.Paycodes.asString("LOAN_TYPE") == "2";
        }
        EXPECT_GE(loans, 3);
        EXPECT_GE(savings, 2);
        EXPECT_EQ(lowInterest, 1);
    }
    // The union and COTU codes exist where the country's parameters name them.
    PreparedDb kenya("K");
    EXPECT_TRUE(kenya->Paycodes.locate("FNO", Value(30)));
    EXPECT_TRUE(kenya->Paycodes.locate("FNO", Value(31)));
    kenya->paysys.first();
    EXPECT_EQ(kenya->paysys.asInteger("HELBACC"), 44);
    PreparedDb uganda("U");
    uganda->paysys.first();
    EXPECT_EQ(uganda->paysys.asInteger("LASCACC"), 50);
}

TEST(Prepare, RefusedOptionsLeaveNothingBehind) {
    struct Case {
        const char* what;
        void (*change)(PrepareOptions&);
    };
    const Case cases[] = {
        {"country", [](PrepareOptions& o) { o.country = "X"; }},
        {"company", [](PrepareOptions& o) { o.company = "   "; }},
        {"long company", [](PrepareOptions& o) { o.company = std::string(41, 'A'); }},
        {"month", [](PrepareOptions& o) { o.month = 13; }},
        {"password", [](PrepareOptions& o) { o.password.clear(); }},
        {"long password", [](PrepareOptions& o) { o.password = std::string(21, 'P'); }},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        PrepareOptions o;
        o.folder = dir.sub("db");
        o.company = "Acme";
        o.password = "pw";
        c.change(o);
        EXPECT_THROW(PrepareDatabase(o), EngineError) << c.what;
        EXPECT_FALSE(std::filesystem::exists(o.folder)) << c.what;
    }
    // A folder that holds a database already is not touched.
    PreparedDb db;
    EXPECT_THROW(PrepareDatabase(db.options), EngineError);
    db.open();
    EXPECT_EQ(db->paysys.recordCount(), 1);
}

// The demo company gives each stage of the computation something to do.
TEST(Prepare, DemoCompany) {
    PreparedDb db("K", true, 2009, 3);
    db.login();
    TdmPayroll& dm = *db;
    Database& d = dm.db();
    const Date sdate(2009, 3, 1), edate(2009, 3, 31);

    dm.payroll.setFiltered(false);
    const int staff = dm.payroll.recordCount();
    EXPECT_GE(staff, 25);
    EXPECT_LE(staff, 40);

    std::set<std::string> branches, depts, sects, jobs;
    std::set<long long> modes;
    int joiners = 0, leavers = 0, housed = 0, pensionable = 0, altScheme = 0, union_ = 0, insured = 0, owners = 0,
        departed = 0;
    Table trans(d, "payrf00");
    trans.open();
    Table hist(d, "payrf04");
    hist.open();
    for (dm.payroll.first(); !dm.payroll.eof(); dm.payroll.next()) {
        const std::string no = dm.payroll.asString("EMPNO");
        SCOPED_TRACE(no);
        // Every code the employee refers to exists.
        EXPECT_TRUE(dm.Departments.locate("CODE", dm.payroll.value("EMPDEPT")));
        EXPECT_TRUE(dm.Sections.locate("CODE", dm.payroll.value("EMPSECT")));
        EXPECT_TRUE(dm.Jobtitles.locate("CODE", dm.payroll.value("EMPJOBT")));
        EXPECT_TRUE(dm.taBranch.locate("CODE", dm.payroll.value("EMPBRCH")));
        if (dm.payroll.asInteger("PAYMENT") == 3) EXPECT_TRUE(dm.PayBanks.locate("BANKREF", dm.payroll.value("BANKREF")));
        EXPECT_EQ(dm.payroll.asString("EMPNAME"),
                  Trim(dm.payroll.asString("OTHERNAMES")) + " " + Trim(dm.payroll.asString("SURNAME")));
        // With its transaction record and its twelve tax-history rows.
        EXPECT_TRUE(trans.locate("EMPNO", Value(no)));
        for (int m = 1; m <= 12; ++m)
            EXPECT_TRUE(hist.locate("EMPNO;TMONTH", {Value(no), Value((m < 10 ? "0" : "") + std::to_string(m))})) << m;
        EXPECT_GT(trans.asFloat("E1"), 0);

        branches.insert(dm.payroll.asString("EMPBRCH"));
        depts.insert(dm.payroll.asString("EMPDEPT"));
        sects.insert(dm.payroll.asString("EMPSECT"));
        jobs.insert(dm.payroll.asString("EMPJOBT"));
        modes.insert(dm.payroll.asInteger("PAYMENT"));
        Date eng = dm.payroll.asDate("ENGDATE"), ter = dm.payroll.asDate("TERDATE");
        joiners += eng >= sdate && eng <= edate;
        leavers += !ter.isNull() && ter >= sdate && ter <= edate && dm.payroll.asString("ESTATUS") == "A";
        departed += dm.payroll.asString("ESTATUS") == "D" && !ter.isNull() && ter < sdate;
        housed += dm.payroll.asBoolean("HOUSED") && dm.payroll.asFloat("RENT") > 0 && dm.payroll.asFloat("DROUGHT") > 0;
        pensionable += dm.payroll.asBoolean("PENFLAG");
        if (dm.payroll.asBoolean("PENFLAG") && dm.payroll.asInteger("ALTPENS") >= 51) {
            ++altScheme;
            EXPECT_TRUE(dm.Paycodes.locate("FNO", dm.payroll.value("ALTPENS")));
            EXPECT_GT(trans.asFloat("S" + std::to_string(dm.payroll.asInteger("ALTPENS") - 50)), 0);
        }
        union_ += dm.payroll.asBoolean("UNFLAG");
        if (dm.payroll.asFloat("INSURANCE") > 0) {
            ++insured;
            EXPECT_GT(dm.payroll.asFloat("INSRLF"), 0);
        }
        owners += dm.payroll.asBoolean("MORTGAGE") && dm.payroll.asFloat("MORTINT") > 0;
    }
    EXPECT_EQ(branches.size(), 3u);
    EXPECT_EQ(depts.size(), 4u);
    EXPECT_GE(sects.size(), 4u);
    EXPECT_GE(jobs.size(), 3u);
    EXPECT_EQ(modes, (std::set<long long>{1, 2, 3}));
    EXPECT_EQ(joiners, 1);
    EXPECT_EQ(leavers, 1);
    EXPECT_EQ(departed, 1);
    EXPECT_GE(housed, 1);
    EXPECT_GE(pensionable, 2);
    EXPECT_EQ(altScheme, 1);
    EXPECT_GE(union_, 2);
    EXPECT_GE(insured, 1);
    EXPECT_GE(owners, 1);

    // The month's input: overtime hours with their amounts, a mid-month advance, loans (one at
    // low interest), savings.
    int overtime = 0, advances = 0, loans = 0, lowInterestLoans = 0, savings = 0;
    for (trans.first(); !trans.eof(); trans.next()) {
        for (int code : {5, 6}) {
            double hours = trans.asFloat("RATE" + std::to_string(code));
            if (hours <= 0) continue;
            ++overtime;
            ASSERT_TRUE(dm.payroll.locate("EMPNO", trans.value("EMPNO")));
            double h = dm.payroll.asString("EMPSECT") == "SCT" ? 195 : 225;
            EXPECT_EQ(trans.asFloat("E" + std::to_string(code)),
                      static_cast<double>(Round(trans.asFloat("E1") / h * hours * (code == 5 ? 1.5 : 2))));
        }
        advances += trans.asFloat("D1") > 0;
        for (int n = 1; n <= 10; ++n) {
            if (trans.asFloat("LBAL" + std::to_string(n)) + trans.asFloat("LN" + std::to_string(n)) <= 0) continue;
            ++loans;
            ASSERT_TRUE(dm.Paycodes.locate("FNO", Value(40 + n))) << n;
            lowInterestLoans += dm.Paycodes.asString("LOAN_TYPE") == "2";
        }
        for (int n = 1; n <= 10; ++n) savings += trans.asFloat("S" + std::to_string(n)) > 0;
    }
    EXPECT_GE(overtime, 3);
    EXPECT_GE(advances, 1);
    EXPECT_GE(loans, 3);
    EXPECT_GE(lowInterestLoans, 1);
    EXPECT_GE(savings, 2);

    // Benefits in kind, active ones included, each for an employee and a benefit code.
    int active = 0;
    for (dm.EmpBenefits.first(); !dm.EmpBenefits.eof(); dm.EmpBenefits.next()) {
        active += dm.EmpBenefits.asBoolean("BActive");
        EXPECT_FALSE(dm.EmpBenefits.asString("Name").empty());
        EXPECT_TRUE(dm.Benefits.locate("CODE", dm.EmpBenefits.value("CODE")));
    }
    EXPECT_GE(active, 2);

    // The company's bank branch and the month's payslip message.
    dm.paysys.first();
    EXPECT_FALSE(dm.paysys.asString("BankName").empty());
    EXPECT_FALSE(fmVarGlobal().MonthMessage.empty());
}

// The demo is made for every country, in its currency.
TEST(Prepare, DemoCompanyInEveryCountry) {
    double kenyaBasic = 0;
    for (const char* country : {"K", "U", "T", "R"}) {
        SCOPED_TRACE(country);
        PreparedDb db(country, true);
        Table trans(db->db(), "payrf00");
        trans.open();
        ASSERT_TRUE(trans.locate("EMPNO", Value("0001")));
        if (std::string(country) == "K") kenyaBasic = trans.asFloat("E1");
        else EXPECT_GT(trans.asFloat("E1"), kenyaBasic);
    }
}
