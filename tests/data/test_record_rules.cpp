// Record rules of the data module: new-record values, posting rules, calculated fields and the
// guarded cancel of a batch header, on the module's own datasets over a prepared database.
#include <gtest/gtest.h>

#include "Fixture.h"

using namespace zuna;
using zuna::test::PreparedDb;

namespace {

void addEmployee(TdmPayroll& dm, const std::string& empno, double premium = 0) {
    dm.payroll.append();
    dm.payroll.setString("EMPNO", empno);
    dm.payroll.setString("SURNAME", "OTIENO");
    dm.payroll.setString("OTHERNAMES", "JANE");
    if (premium != 0) dm.payroll.setFloat("INSURANCE", premium);
    dm.payroll.post();
    ASSERT_TRUE(dm.payroll.locate("EMPNO", Value(empno)));
}

}  // namespace

TEST(RecordRules, NewEmployeeTransactionAndHistoryRecords) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    addEmployee(dm, "0007");

    // Employee: active, permanent, paid in cash; NSSF, NHIF and PAYE set, every other flag clear.
    const std::pair<const char*, const char*> employee[] = {
        {"ESTATUS", "A"},     {"PERMCODE", "1"},    {"PAYMENT", "1"},    {"EMPCAT", "0"},
        {"NSFLAG", "True"},   {"NHFLAG", "True"},   {"PAFLAG", "True"},  {"HOUSED", "False"},
        {"UNFLAG", "False"},  {"PENFLAG", "False"}, {"NSFLAG2", "False"}, {"LAFLAG", "False"},
        {"MORTGAGE", "False"}, {"HOSP", "False"},   {"REXEMPT", "False"}, {"LOAN1DEF", "False"},
        {"LOAN10DEF", "False"}, {"XL1", "0"},       {"XL10", "0"},       {"TOTEARN", "0"},
        {"TOTDED", "0"},      {"NETT", "0"},        {"RELCFWD", "0"},    {"PAY", "0"},
        {"YTD_PENS", "0"},    {"YTD_PENC", "0"},    {"ODBFWD", "0"},     {"RENT", "0"},
        {"MISC10", "0"},      {"ODLM", "0"},        {"OSOURCE", "0"},    {"OTAX", "0"},
        {"VNSSF", "0"},       {"AccruedDays", "0"}, {"CurrDays", "0"},   {"DaysTaken", "0"},
        {"TERDATE", ""},      {"YTD_EARN", ""},     {"PAYE", ""},        {"BENEFIT", ""},
    };
    for (const auto& [field, want] : employee) EXPECT_EQ(dm.payroll.asString(field), want) << field;

    // Transaction record: every amount slot 0; counters, rates and the pay fields null.
    dm.Transactions.append();
    dm.Transactions.post();
    ASSERT_EQ(dm.Transactions.recordCount(), 1);
    EXPECT_EQ(dm.Transactions.asString("EMPNO"), "0007");
    for (const char* family : {"E", "RATE"})
        for (int n = 1; n <= 25; ++n) EXPECT_EQ(dm.Transactions.asString(family + std::to_string(n)), "0") << family << n;
    for (const char* family : {"D", "DRATE"})
        for (int n = 1; n <= 15; ++n) EXPECT_EQ(dm.Transactions.asString(family + std::to_string(n)), "0") << family << n;
    for (const char* family : {"S", "SBAL", "L", "LN", "LBAL", "I", "IBAL"})
        for (int n = 1; n <= 10; ++n) EXPECT_EQ(dm.Transactions.asString(family + std::to_string(n)), "0") << family << n;
    for (const char* f : {"CPAY", "NEWPAY", "LPER1", "SPER10", "IRATE3", "TAXADJ"})
        EXPECT_TRUE(dm.Transactions.isNull(f)) << f;

    // Tax history: EMPNO of the current employee, the sixteen amounts PAY..INTEREST at 0.
    dm.payhist.clearMaster();  // the rule, not the link, must give the employee
    dm.payhist.append();
    dm.payhist.setString("TMONTH", "01");
    EXPECT_EQ(dm.payhist.asString("EMPNO"), "0007");
    dm.payhist.post();
    for (const char* f : {"PAY", "ROUND", "PEN_TAX", "BENEFIT", "HOUSING", "RPLUSH", "TAXCH", "MPR", "UNUSED",
                          "CFWD", "TAXDED", "NSSF", "NHIF", "LASC", "DROUGHT", "INTEREST"})
        EXPECT_EQ(dm.payhist.asString(f), "0") << f;
    for (const char* f : {"SAVINGS", "LOWINT", "PENC", "PENS", "VNSSF", "BASIC", "HALLOWANCE", "INSRLF"})
        EXPECT_TRUE(dm.payhist.isNull(f)) << f;

    // Pay code and batch header.
    dm.Paycodes.append();
    dm.Paycodes.setInteger("FNO", 13);
    const std::pair<const char*, const char*> code[] = {{"REC_TYPE", "K"}, {"FACTOR", "0"},   {"RECUR", "True"},
                                                        {"INTRATE", "0"},  {"TAXABLE", "True"}, {"LOAN_TYPE", "0"}};
    for (const auto& [field, want] : code) EXPECT_EQ(dm.Paycodes.asString(field), want) << field;
    dm.Paycodes.cancel();
    dm.PayCBatch.append();
    EXPECT_EQ(dm.PayCBatch.asDate("BATCHDATE"), Today());
    dm.PayCBatch.cancel();
}

TEST(RecordRules, OffDaysDue) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    struct Case {
        int accrued, due, taken, total;
    };
    const Case cases[] = {{5, 2, 3, 4}, {0, 0, 0, 0}, {1, 0, 4, -3}};
    addEmployee(dm, "0001");
    for (const Case& c : cases) {
        dm.payroll.edit();
        dm.payroll.setInteger("AccruedDays", c.accrued);
        dm.payroll.setInteger("CurrDays", c.due);
        dm.payroll.setInteger("DaysTaken", c.taken);
        dm.payroll.post();
        EXPECT_EQ(dm.payroll.asInteger("totaldays"), c.total) << c.accrued << " " << c.due << " " << c.taken;
    }
    // A null count reads as 0.
    dm.payroll.edit();
    dm.payroll.setNull("CurrDays");
    dm.payroll.post();
    EXPECT_EQ(dm.payroll.asInteger("totaldays"), -3);
}

// Monthly insurance relief from the annual premium, recomputed on every post of an employee.
TEST(RecordRules, InsuranceReliefOnPosting) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    db.login();  // the tax parameters of Kenya: RELF3 15, RELF2 3000
    struct Case {
        double premium, relf2, relief;
    };
    const Case cases[] = {
        {12000, 3000, 150}, {12000, 100, 100},  {0, 3000, 0},      {240000, 3000, 3000},
        {250000, 3000, 3000}, {200, 3000, 2},   {280, 3000, 4},    {360, 3000, 4},
        {-12000, 3000, 0},
    };
    addEmployee(dm, "0001");
    for (const Case& c : cases) {
        dm.payMain.edit();
        dm.payMain.setFloat("RELF2", c.relf2);
        dm.payMain.post();
        dm.payroll.edit();
        dm.payroll.setFloat("INSURANCE", c.premium);
        dm.payroll.post();
        EXPECT_EQ(dm.payroll.asFloat("INSRLF"), c.relief) << c.premium << " capped at " << c.relf2;
    }
    // A premium cleared gives no relief.
    dm.payroll.edit();
    dm.payroll.setNull("INSURANCE");
    dm.payroll.post();
    EXPECT_EQ(dm.payroll.asFloat("INSRLF"), 0);
}

// Before the login filters the tax parameters, the rule reads the row of the company's country,
// not whichever row happens to be first.
TEST(RecordRules, InsuranceReliefUsesTheCompanysCountry) {
    PreparedDb db("U");
    TdmPayroll& dm = *db;
    ASSERT_TRUE(dm.payMain.locate("COUNTRY", Value("U")));
    dm.payMain.edit();
    dm.payMain.setFloat("RELF3", 10);
    dm.payMain.setFloat("RELF2", 5000);
    dm.payMain.post();
    dm.payMain.first();  // Kenya's row, RELF3 15
    ASSERT_EQ(dm.payMain.asString("COUNTRY"), "K");
    addEmployee(dm, "0001", 12000);
    EXPECT_EQ(dm.payroll.asFloat("INSRLF"), 100);
}

TEST(RecordRules, NamesAreTitleCasedOnPosting) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    struct Case {
        Table& table;
        const char* key;
        Value code;
        const char* field;
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {
        {dm.Departments, "CODE", Value("HRS"), "DEPARTMENT", "HUMAN RESOURCES", "Human Resources"},
        {dm.Sections, "CODE", Value("ACC"), "SECTION", "accounts AND audit", "Accounts And Audit"},
        {dm.Jobtitles, "CODE", Value("M01"), "JOBTITLE", "SENIOR o'NEIL-MANAGER", "Senior O'neil-manager"},
        {dm.Paycodes, "FNO", Value(13), "FNAME", "OVERTIME DAYS", "Overtime Days"},
    };
    for (const Case& c : cases) {
        c.table.append();
        c.table.setValue(c.key, c.code);
        c.table.setString(c.field, c.typed);
        c.table.post();
        ASSERT_TRUE(c.table.locate(c.key, c.code));
        EXPECT_EQ(c.table.asString(c.field), c.stored) << c.typed;
    }
    // Branch descriptions are stored as typed.
    dm.taBranch.append();
    dm.taBranch.setString("CODE", "NBI");
    dm.taBranch.setString("DESCRIPTION", "NAIROBI CBD");
    dm.taBranch.post();
    ASSERT_TRUE(dm.taBranch.locate("CODE", Value("NBI")));
    EXPECT_EQ(dm.taBranch.asString("DESCRIPTION"), "NAIROBI CBD");
}

TEST(RecordRules, BankBranchReferencesAreNeverRepeated) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    dm.taBanks.append();
    dm.taBanks.setString("CODE", "01");
    dm.taBanks.setString("DESCRIPTION", "Harambee Trust Bank");
    dm.taBanks.setString("BANKABBR", "HTB");
    dm.taBanks.post();
    auto addBranch = [&](const std::string& code, const std::string& name) {
        dm.PayBanks.append();
        std::string ref = dm.PayBanks.asString("BANKREF");
        dm.PayBanks.setString("BANK", "01");
        dm.PayBanks.setString("CODE", code);
        dm.PayBanks.setString("BRANCH", name);
        dm.PayBanks.post();
        return ref;
    };
    EXPECT_EQ(addBranch("01100", "Kenyatta Avenue"), "100");
    EXPECT_EQ(addBranch("01200", "Moi Avenue"), "101");
    EXPECT_EQ(addBranch("01300", "Westlands"), "102");
    ASSERT_TRUE(dm.PayBanks.locate("BANKREF", Value("102")));
    EXPECT_EQ(dm.PayBanks.asString("LongName"), "HTB - Westlands");
    EXPECT_EQ(dm.PayBanks.asString("Name"), "Harambee Trust Bank");

    // After deleting the first branch the count gives 102 again, which is taken: the next free.
    ASSERT_TRUE(dm.PayBanks.locate("BANKREF", Value("100")));
    dm.PayBanks.remove();
    EXPECT_EQ(addBranch("01400", "Ngong Road"), "103");

    // A reference typed over with one in use, or longer than employees can hold, is refused.
    ASSERT_TRUE(dm.PayBanks.locate("BANKREF", Value("103")));
    for (const char* bad : {"101", "1001"}) {
        dm.PayBanks.edit();
        dm.PayBanks.setString("BANKREF", bad);
        EXPECT_THROW(dm.PayBanks.post(), EngineError) << bad;
        dm.PayBanks.cancel();
    }
    // Editing a branch keeps its own reference.
    dm.PayBanks.edit();
    dm.PayBanks.setString("BRANCH", "Ngong Road Mall");
    dm.PayBanks.post();
    EXPECT_EQ(dm.PayBanks.asString("BANKREF"), "103");
}

TEST(RecordRules, TaxableValueOfBenefits) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    dm.Benefits.append();
    dm.Benefits.setInteger("CODE", 1);
    dm.Benefits.setString("DESCRIPTION", "Motor Car");
    dm.Benefits.post();
    struct Case {
        const char* country;
        double factor, value, rate, actual;
    };
    const Case cases[] = {
        // Kenya: x = Round(F/100 x V/20) or V/20; the rate (pounds) when R x 20 > x x 20, else x x 20.
        {"K", 0, 6000, 250, 6000},
        {"K", 0, 4000, 250, 250},
        {"K", 2, 2400000, 0, 48000},
        {"K", 2, 2400000, 3000, 3000},
        {"K", 1, 2250, 0, 20},  // Round(1.125) = 1 pound
        {"K", 0, 0, 100, 100},
        // Elsewhere in pounds: x = Round(F/100 x V/12/20) or V/20; the rate when it is above x.
        {"U", 2, 72000000, 0, 6000},
        {"U", 0, 6000, 250, 300},
        {"U", 0, 6000, 400, 400},
        {"T", 2, 72000000, 5000, 6000},
    };
    dm.EmpBenefits.append();
    dm.EmpBenefits.setString("EMPNO", "0001");
    dm.EmpBenefits.setInteger("CODE", 1);
    dm.EmpBenefits.setBoolean("BActive", true);
    dm.EmpBenefits.post();
    for (const Case& c : cases) {
        fmVarGlobal().CountryCode = c.country;
        ASSERT_TRUE(dm.Benefits.locate("CODE", Value(1)));
        dm.Benefits.edit();
        dm.Benefits.setFloat("FACTOR", c.factor);
        dm.Benefits.post();
        dm.EmpBenefits.first();
        dm.EmpBenefits.edit();
        dm.EmpBenefits.setFloat("VAMOUNT", c.value);
        dm.EmpBenefits.setFloat("RATE", c.rate);
        dm.EmpBenefits.post();
        EXPECT_EQ(dm.EmpBenefits.asFloat("VActual"), c.actual)
            << c.country << " F " << c.factor << " V " << c.value << " R " << c.rate;
    }
}

TEST(RecordRules, CalculatedFieldsOfTheSharedQueries) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    dm.paysys.first();
    dm.paysys.edit();
    dm.paysys.setString("ADDRESS1", "  P.O. Box 40512 ");
    dm.paysys.setString("ADDRESS2", " Nairobi");
    dm.paysys.post();
    EXPECT_EQ(dm.paysys.asString("Faddress"), "P.O. Box 40512,Nairobi");

    dm.Departments.append();
    dm.Departments.setString("CODE", "FIN");
    dm.Departments.setString("DEPARTMENT", "Finance");
    dm.Departments.post();
    addEmployee(dm, "0001");
    dm.payroll.edit();
    dm.payroll.setString("SURNAME", "OTIENO ");
    dm.payroll.setString("OTHERNAMES", " JANE AKINYI");
    dm.payroll.setString("EMPDEPT", "FIN");
    dm.payroll.setFloat("PAYE", 1200);
    dm.payroll.setFloat("NETT", 30000);
    dm.payroll.setFloat("PayNoTax", 500);
    dm.payroll.setFloat("ODCR", 200);
    dm.payroll.setFloat("NSSF", 200);
    dm.payroll.setDate("BIRTHDATE", Date(1980, 1, 17));
    dm.payroll.post();

    for (const auto& [country, employer] : {std::pair{"K", 400.0}, std::pair{"U", 600.0}}) {
        fmVarGlobal().CountryCode = country;
        dm.QryPayroll.close();
        dm.QryPayroll.open();
        ASSERT_EQ(dm.QryPayroll.recordCount(), 1);
        EXPECT_EQ(dm.QryPayroll.asString("Names"), "OTIENO,JANE AKINYI");
        EXPECT_EQ(dm.QryPayroll.asFloat("Nett2"), 30300);
        EXPECT_EQ(dm.QryPayroll.asFloat("CoNSSF"), employer) << country;
    }

    fmVarGlobal().PeriodYearNumber = 2009;
    dm.Birthdays.close();
    dm.Birthdays.setParam("pmonth", Value("01"));
    dm.Birthdays.open();
    ASSERT_EQ(dm.Birthdays.recordCount(), 1);
    EXPECT_EQ(dm.Birthdays.asInteger("Age"), 29);
}

// Cancelling a new batch header: a question only when the batch has lines; No keeps the insert.
TEST(RecordRules, CancellingANewBatchHeader) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    std::vector<std::string> asked;
    bool answer = false;
    dm.ConfirmYes = [&](const std::string& q) {
        asked.push_back(q);
        return answer;
    };
    auto newHeader = [&](const char* batch, int lines) {
        dm.PayCBatch.append();
        dm.PayCBatch.setString("BATCH", batch);
        for (int n = 1; n <= lines; ++n) {
            dm.PayBatch.append();
            dm.PayBatch.setInteger("LN", n);
            dm.PayBatch.setString("EMPNO", "0001");
            dm.PayBatch.setInteger("TRANSCODE", 5);
            dm.PayBatch.setFloat("HOURS", 2.5);
            dm.PayBatch.post();
        }
    };
    auto storedLines = [&](const char* batch) {
        Table lines(dm.db(), "payrf09");
        lines.open();
        lines.setFilter(std::string("BATCH = '") + batch + "'");
        lines.setFiltered(true);
        return lines.recordCount();
    };

    // No lines: cancelled at once, nothing asked.
    newHeader("B001", 0);
    dm.PayCBatch.cancel();
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(dm.PayCBatch.state(), DatasetState::Browse);

    // Lines and No: the insert goes on, the lines stay.
    newHeader("B002", 2);
    EXPECT_THROW(dm.PayCBatch.cancel(), SilentAbort);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Cancel Transaction being inserted and delete all line items?");
    EXPECT_EQ(dm.PayCBatch.state(), DatasetState::Insert);
    EXPECT_EQ(storedLines("B002"), 2);

    // Yes: the lines go, and a line being typed is cancelled with the header.
    answer = true;
    dm.PayBatch.append();
    dm.PayBatch.setInteger("LN", 3);
    dm.PayCBatch.cancel();
    EXPECT_EQ(dm.PayCBatch.state(), DatasetState::Browse);
    EXPECT_FALSE(dm.PayBatch.editing());
    EXPECT_EQ(storedLines("B002"), 0);
    EXPECT_EQ(asked.size(), 2u);

    // The number of a stored batch typed into a new header: its lines are that batch's and stay.
    newHeader("B003", 1);
    dm.PayCBatch.post();
    dm.PayCBatch.append();
    dm.PayCBatch.setString("BATCH", "B003");
    dm.PayCBatch.cancel();
    EXPECT_EQ(storedLines("B003"), 1);
    EXPECT_EQ(asked.size(), 2u);
}
