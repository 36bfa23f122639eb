// Month close: the period advance and the year change, the employee roll with the relief
// carried forward and the leavers, archives and snapshots, the transaction roll, benefits,
// the gauge, and closes that fail leaving the database as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>

#include "data/Catalogue.h"
#include "period/CloseFixture.h"
#include "period/fmClose.h"

using namespace zuna;
using zuna::test::CloseShop;
using zuna::test::Row;

namespace {

void closeMonth(CloseShop& s, const TfmCloseLogic::Gauge& gauge = {}) {
    TfmCloseLogic close(*s.dm);
    close.Closemonth(gauge);
}

std::string mmyyyy(int month, int year) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d%04d", month, year);
    return b;
}

}  // namespace

TEST(MonthClose, AdvancesThePeriodAndChangesTheTaxYearAfterItsLastMonth) {
    struct Case {
        const char* country;
        int year, month;
        int period;
        Date start, end;
        bool yearChange;
    };
    const Case cases[] = {
        {"K", 2009, 1, 2, Date(2009, 2, 1), Date(2009, 2, 28), false},
        {"K", 2012, 1, 2, Date(2012, 2, 1), Date(2012, 2, 29), false},
        {"K", 2100, 1, 2, Date(2100, 2, 1), Date(2100, 2, 28), false},
        {"K", 2000, 1, 2, Date(2000, 2, 1), Date(2000, 2, 29), false},
        {"K", 2009, 4, 5, Date(2009, 5, 1), Date(2009, 5, 31), false},
        {"K", 2009, 6, 7, Date(2009, 7, 1), Date(2009, 7, 31), false},
        {"K", 2009, 12, 1, Date(2010, 1, 1), Date(2010, 1, 31), true},
        {"U", 2009, 6, 7, Date(2009, 7, 1), Date(2009, 7, 31), true},
        {"T", 2009, 6, 7, Date(2009, 7, 1), Date(2009, 7, 31), true},
        {"R", 2009, 6, 7, Date(2009, 7, 1), Date(2009, 7, 31), true},
        {"U", 2009, 12, 1, Date(2010, 1, 1), Date(2010, 1, 31), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.country) + " " + mmyyyy(c.month, c.year));
        CloseShop s(c.country, c.year, c.month);
        s.employee("E001", {{"NETT", 500.0}, {"YTD_EARN", 1000.0}, {"ACC_EARN", 4000.0}});
        char tmonth[3];
        std::snprintf(tmonth, sizeof tmonth, "%02d", c.month);
        s.add("payrf04", {{"EMPNO", "E001"}, {"TMONTH", tmonth}, {"PAY", 700.0}, {"SAVINGS", 9.0}});

        TfmCloseLogic close(*s.dm);
        close.Closemonth();

        const std::string suffix = mmyyyy(c.month, c.year);
        EXPECT_TRUE(s.db().tableExists("PayM" + suffix));
        EXPECT_TRUE(s.db().tableExists("PayT" + suffix));
        EXPECT_EQ(s.db().tableExists("PayP9" + std::to_string(c.year)), c.yearChange);
        EXPECT_EQ(close.summary().yearChange, c.yearChange);
        EXPECT_EQ(s.cell("paysys", "PERIOD").toInt(), c.period);
        EXPECT_EQ(s.cell("paysys", "SDATE").toDate(), c.start);
        EXPECT_EQ(s.cell("paysys", "EDATE").toDate(), c.end);
        EXPECT_EQ(fmVarGlobal().PeriodMonth, mmyyyy(c.end.month, c.end.year).substr(0, 2));
        // The year's totals start again at the year change; the accumulated ones carry on.
        EXPECT_EQ(s.num("payrf01", "E001", "YTD_EARN"), c.yearChange ? 0 : 1500);
        EXPECT_EQ(s.num("payrf01", "E001", "ACC_EARN"), 4500);
        EXPECT_EQ(s.num("payrf04", "E001", "PAY"), c.yearChange ? 0 : 700);
        EXPECT_EQ(s.num("payrf04", "E001", "SAVINGS"), 9);
    }
}

TEST(MonthClose, CarriesTheMonthIntoTheTotalsAndClearsIt) {
    CloseShop s;
    s.employee("E001", {{"NETT", 25000.0},    {"TOTEARN", 30000.0},  {"TOTDED", 5000.0},   {"ODBFWD", 120.0},
                        {"PAYE", 2000.0},     {"NSSF", 200.0},       {"NHIF", 320.0},      {"LASC", 100.0},
                        {"PENSIONC", 1000.0}, {"PENSIONS", 500.0},   {"ODCR", 150.0},      {"TAXADJ", 40.0},
                        {"MISC9", 0.0},       {"RELCFWD", 300.0},    {"YTD_EARN", 50000.0}, {"YTD_GROSS", 60000.0},
                        {"YTD_PAYE", 4000.0}, {"YTD_NSSF", 400.0},   {"YTD_NHIF", 640.0},  {"YTD_LASC", 200.0},
                        {"YTD_PENC", 2000.0}, {"YTD_PENS", 1000.0},  {"ACC_EARN", 90000.0}, {"ACC_GROSS", 95000.0},
                        {"ACC_NSSF", 777.0},  {"ACC_PENC", 3000.0},  {"ACC_PENS", 1500.0}, {"AccruedDays", 5},
                        {"CurrDays", 2},      {"DaysTaken", 3}});
    // Totals never written before count as 0.
    s.employee("E002", {{"NETT", 800.0}, {"PENSIONC", 10.0}});
    closeMonth(s);

    const std::map<std::string, double> e001 = {
        // year to date; the gross total takes the net pay as well
        {"YTD_EARN", 75000}, {"YTD_GROSS", 85000}, {"YTD_PAYE", 6000}, {"YTD_NSSF", 600}, {"YTD_NHIF", 960},
        {"YTD_LASC", 300}, {"YTD_PENC", 3000}, {"YTD_PENS", 1500},
        // accumulated; ACC_NSSF is not rolled
        {"ACC_EARN", 115000}, {"ACC_GROSS", 120000}, {"ACC_NSSF", 777}, {"ACC_PENC", 4000}, {"ACC_PENS", 2000},
        // last month's overdraft, the relief used up by a month with tax
        {"ODLM", 150}, {"RELCFWD", 0},
        // the month cleared
        {"TOTEARN", 0}, {"ODBFWD", 0}, {"TOTDED", 0}, {"NETT", 0}, {"PAYE", 0}, {"NSSF", 0}, {"NHIF", 0},
        {"LASC", 0}, {"MISC9", 0}, {"TAXADJ", 0},
        // off-days brought forward: 5 + 2 - 3
        {"AccruedDays", 4}, {"CurrDays", 0}, {"DaysTaken", 0}};
    for (const auto& [field, value] : e001) EXPECT_EQ(s.num("payrf01", "E001", field), value) << field;
    for (const char* f : {"YTD_EARN", "YTD_GROSS", "ACC_EARN", "ACC_GROSS"}) EXPECT_EQ(s.num("payrf01", "E002", f), 800) << f;
    EXPECT_EQ(s.num("payrf01", "E002", "ACC_PENC"), 10);
    EXPECT_FALSE(s.of("payrf01", "E002", "YTD_PAYE").isNull());
}

TEST(MonthClose, CarriesUnusedReliefForwardOnlyFromAMonthWithoutTax) {
    struct Case {
        const char* empno;
        Value paye, misc9, relcfwd;
        double carried;
    };
    const Case cases[] = {
        {"E001", 0.0, 150.0, 0.0, 150},        // the month's unused relief joins what was brought forward
        {"E002", 10.0, 0.0, 300.0, 0},         // a month with tax uses the relief up
        {"E003", 0.0, -1800.0, 2000.0, 200},   // the month's tax came off the relief brought forward
        {"E004", Value(), Value(), Value(), 0},
    };
    CloseShop s;
    for (const Case& c : cases) s.employee(c.empno, {{"PAYE", c.paye}, {"MISC9", c.misc9}, {"RELCFWD", c.relcfwd}});
    closeMonth(s);
    for (const Case& c : cases) {
        EXPECT_EQ(s.num("payrf01", c.empno, "RELCFWD"), c.carried) << c.empno;
        EXPECT_EQ(s.num("payrf01", c.empno, "MISC9"), 0) << c.empno;
    }
}

TEST(MonthClose, LeaversTurnDepartedOnlyOnceThePeriodTheyLeftInIsClosed) {
    CloseShop s;  // January 2009
    s.employee("E001", {{"TERDATE", Value(Date(2008, 12, 31))}, {"NETT", 100.0}});  // left before the period
    s.employee("E002", {{"TERDATE", Value(Date(2009, 1, 15))}, {"NETT", 200.0}});   // left inside it
    s.employee("E003", {{"NETT", 300.0}});
    s.employee("E004", {{"ESTATUS", "D"}, {"NETT", 400.0}, {"YTD_EARN", 1.0}}, {{"LBAL1", 1000.0}, {"L1", 100.0}});
    closeMonth(s);

    EXPECT_EQ(s.of("payrf01", "E001", "ESTATUS").toString(), "D");
    EXPECT_EQ(s.of("payrf01", "E002", "ESTATUS").toString(), "A");
    EXPECT_EQ(s.of("payrf01", "E003", "ESTATUS").toString(), "A");
    // The month of a leaver is still rolled, and the employee after him is not passed over.
    EXPECT_EQ(s.num("payrf01", "E001", "YTD_EARN"), 100);
    EXPECT_EQ(s.num("payrf01", "E002", "YTD_EARN"), 200);
    EXPECT_EQ(s.num("payrf01", "E003", "YTD_EARN"), 300);
    // Someone who left earlier is neither rolled nor archived; his transaction record is rolled.
    EXPECT_EQ(s.num("payrf01", "E004", "NETT"), 400);
    EXPECT_EQ(s.num("payrf01", "E004", "YTD_EARN"), 1);
    EXPECT_EQ(s.count("PayM012009", "EMPNO = 'E004'"), 0);
    EXPECT_EQ(s.count("paytemp1", "EMPNO = 'E004'"), 0);
    EXPECT_EQ(s.count("PayM012009"), 3);
    EXPECT_EQ(s.num("payrf00", "E004", "LBAL1"), 900);
    EXPECT_EQ(s.count("paytemp0", "EMPNO = 'E004'"), 1);

    // February: the employee who left in January turns "D" now; the January leaver is not rolled again.
    s.set("payrf01", "E002", {{"NETT", 50.0}});
    s.set("payrf01", "E001", {{"NETT", 70.0}});
    closeMonth(s);
    EXPECT_EQ(s.of("payrf01", "E002", "ESTATUS").toString(), "D");
    EXPECT_EQ(s.num("payrf01", "E002", "YTD_EARN"), 250);
    EXPECT_EQ(s.num("payrf01", "E001", "YTD_EARN"), 100);
    EXPECT_EQ(s.num("payrf01", "E001", "NETT"), 70);
    EXPECT_EQ(s.count("PayM022009"), 2);
}

TEST(MonthClose, ArchivesAndSnapshotsHoldEveryActiveEmployeeWhateverTheUsersView) {
    CloseShop s;
    s.payCode(3, true);
    s.employee("E001", {{"EMPJOBT", "J01"}, {"NETT", 1000.0}, {"STAFFNO", "S1"}}, {{"E3", 2000.0}});
    s.employee("E002", {{"EMPJOBT", "J02"}, {"NETT", 2000.0}}, {{"E3", 3000.0}});
    s.employee("E003", {{"ESTATUS", "D"}, {"NETT", 3000.0}}, {{"E3", 4000.0}});
    // The view of a user restricted to one job group.
    const std::string userView = "Estatus = 'A' and Empjobt = 'J01'";
    s.dm->payroll.setFilter(userView);
    s.dm->payroll.setFiltered(true);
    ASSERT_EQ(s.dm->payroll.recordCount(), 1);

    closeMonth(s);

    // The month as it was computed, before the roll.
    EXPECT_EQ(s.count("PayM012009"), 2);
    EXPECT_EQ(s.cell("PayM012009", "NETT", "EMPNO = 'E002'").toDouble(), 2000);
    EXPECT_EQ(s.count("PayT012009"), 3);
    EXPECT_EQ(s.cell("PayT012009", "E3", "EMPNO = 'E003'").toDouble(), 4000);
    EXPECT_EQ(s.count("paytemp1", "PayMonth = '01' AND PayYear = '2009'"), 2);
    EXPECT_EQ(s.cell("paytemp1", "NETT", "EMPNO = 'E001'").toDouble(), 1000);
    EXPECT_EQ(s.cell("paytemp1", "STAFFNO", "EMPNO = 'E001'").toString(), "S1");
    EXPECT_EQ(s.count("paytemp0", "PayMonth = '01' AND PayYear = '2009'"), 3);
    EXPECT_EQ(s.cell("paytemp0", "E3", "EMPNO = 'E002'").toDouble(), 3000);
    EXPECT_EQ(s.count("payy2005", "Paymonth = '01' AND PayYear = '2009'"), 3);
    EXPECT_EQ(s.cell("payy2005", "E3", "EMPNO = 'E001'").toDouble(), 2000);
    // Every active employee was rolled, not only the user's job group.
    EXPECT_EQ(s.num("payrf01", "E001", "YTD_EARN"), 1000);
    EXPECT_EQ(s.num("payrf01", "E002", "YTD_EARN"), 2000);
    EXPECT_EQ(s.num("payrf00", "E002", "E3"), 0);

    // The shared tables are as the user left them, and see the new rows.
    EXPECT_EQ(s.dm->payroll.filter(), userView);
    EXPECT_TRUE(s.dm->payroll.filtered());
    EXPECT_EQ(s.dm->payroll.recordCount(), 1);
    EXPECT_EQ(s.dm->Transactions.master(), &s.dm->payroll);
    EXPECT_EQ(s.dm->Transactions.recordCount(), 1);
    EXPECT_EQ(s.dm->Transactions.asString("EMPNO"), "E001");
    EXPECT_EQ(s.dm->paytemp01.recordCount(), 2);
    EXPECT_EQ(s.dm->taPayrecords.recordCount(), 3);
}

TEST(MonthClose, ClearsVariableEntriesAndKeepsStandingOnes) {
    CloseShop s;
    s.payCode(1, false);   // basic pay stands
    s.payCode(3, true);    // an earning keyed anew every month
    s.payCode(4, false);
    s.payCode(27, true);   // deduction slot D2
    s.payCode(28, false);  // D3
    // Codes 5 and 29 do not exist: their slots are cleared.
    s.employee("E001", {}, {{"E1", 50000.0}, {"RATE1", 1.0}, {"E3", 2000.0}, {"RATE3", 4.0}, {"E4", 1500.0},
                            {"RATE4", 2.0}, {"E5", 700.0}, {"RATE5", 1.0}, {"D2", 300.0}, {"DRATE2", 1.0},
                            {"D3", 400.0}, {"DRATE3", 2.0}, {"D4", 90.0}, {"DRATE4", 3.0}});
    // A user without full rights sees only the codes that change monthly; the close reads them all.
    s.dm->Paycodes.setFilter("Recur <> false");
    s.dm->Paycodes.setFiltered(true);
    closeMonth(s);

    const std::map<std::string, double> expected = {{"E1", 50000}, {"RATE1", 1}, {"E3", 0},    {"RATE3", 0},
                                                    {"E4", 1500},  {"RATE4", 2}, {"E5", 0},    {"RATE5", 0},
                                                    {"D2", 0},     {"DRATE2", 0}, {"D3", 400}, {"DRATE3", 2},
                                                    {"D4", 0},     {"DRATE4", 0}};
    for (const auto& [field, value] : expected) EXPECT_EQ(s.num("payrf00", "E001", field), value) << field;
    EXPECT_TRUE(s.dm->Paycodes.filtered());
}

TEST(MonthClose, RollsLoansSavingsAndInterest) {
    CloseShop s;
    s.employee("E001", {},
               {// loans: balance, new, repayment, periods
                {"LBAL1", 1000.0}, {"LN1", 0.0}, {"L1", 300.0}, {"LPER1", 5},  // reduced
                {"LBAL2", 200.0}, {"L2", 300.0}, {"LPER2", 5},                 // paid off
                {"LBAL3", 200.0}, {"L3", 200.0}, {"LPER3", 3},                 // paid off exactly
                {"LBAL4", 1000.0}, {"LN4", 500.0}, {"L4", 300.0}, {"LPER4", 2}, // topped up
                {"LBAL6", 0.0}, {"LN6", 5000.0}, {"L6", 500.0}, {"LPER6", 10},  // advanced this month
                // savings and interest
                {"S1", 500.0}, {"SBAL1", 1000.0}, {"SPER1", 2}, {"S2", 0.0}, {"SBAL2", 800.0}, {"SPER2", 4},
                {"I1", 50.0}, {"IBAL1", 100.0}, {"I2", 0.0}, {"IBAL2", 70.0}});
    closeMonth(s);

    const std::map<std::string, double> expected = {
        {"LBAL1", 700},  {"L1", 300}, {"LPER1", 4},  {"LN1", 0},  {"LBAL2", 0},   {"L2", 0},    {"LPER2", 0},
        {"LBAL3", 0},    {"L3", 0},   {"LPER3", 0},  {"LBAL4", 1200}, {"L4", 300}, {"LPER4", 1}, {"LN4", 0},
        {"LBAL5", 0},    {"L5", 0},   {"LPER5", 0},  {"LBAL6", 4500}, {"L6", 500}, {"LPER6", 9}, {"LN6", 0},
        {"S1", 500},     {"SBAL1", 1500}, {"SPER1", 3}, {"S2", 0},   {"SBAL2", 800}, {"SPER2", 4},
        {"I1", 0},       {"IBAL1", 150}, {"I2", 0},   {"IBAL2", 70}};
    for (const auto& [field, value] : expected) EXPECT_EQ(s.num("payrf00", "E001", field), value) << field;
}

TEST(MonthClose, CountsTheBenefitsOfEmployeesStillActive) {
    struct Benefit {
        const char* empno;
        double rate, value;
        bool active;
        double ytd;  // after the close, from 1000
        int counter;  // after the close, from 3
    };
    struct Case {
        const char* country;
        std::vector<Benefit> benefits;
    };
    const Case cases[] = {
        {"K",
         {
             {"E001", 250, 6000, true, 7000, 4},    // the value is above the prescribed rate: the value
             {"E001", 400, 6000, true, 9000, 4},    // the rate in pounds is higher: rate x 20
             {"E003", 0, 1000.5, true, 2000.5, 4},  // Kenya adds the value itself, unrounded
             {"E003", 250, 6000, false, 1000, 3},   // not active
             {"E002", 250, 6000, true, 1000, 3},    // the employee turns "D" at this close
         }},
        {"U",
         {
             {"E001", 10, 10010, true, 1500, 4},   // 500.5 rounds to the even 500
             {"E001", 600, 6000, true, 1600, 4},   // the rate is higher
             {"E002", 10, 10010, true, 1000, 3},
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.country);
        CloseShop s(c.country);
        s.add("payrf06", {{"CODE", 1}, {"DESCRIPTION", "Car"}, {"FACTOR", 0.0}});
        s.employee("E001");
        s.employee("E002", {{"TERDATE", Value(Date(2008, 12, 31))}});
        s.employee("E003");
        for (const Benefit& b : c.benefits)
            s.add("payrf07", {{"EMPNO", b.empno}, {"CODE", 1}, {"RATE", b.rate}, {"VAMOUNT", b.value}, {"BActive", b.active},
                              {"COUNTER", 3}, {"YTDAMOUNT", 1000.0}, {"ACCRAMOUNT", 2000.0}});
        closeMonth(s);
        const auto ytd = s.column("payrf07", "YTDAMOUNT");
        const auto counter = s.column("payrf07", "COUNTER");
        const auto accrued = s.column("payrf07", "ACCRAMOUNT");
        ASSERT_EQ(ytd.size(), c.benefits.size());
        for (size_t i = 0; i < c.benefits.size(); ++i) {
            EXPECT_EQ(ytd[i].toDouble(), c.benefits[i].ytd) << "benefit " << i;
            EXPECT_EQ(counter[i].toInt(), c.benefits[i].counter) << "benefit " << i;
            EXPECT_EQ(accrued[i].toDouble(), 2000) << "benefit " << i;
        }
    }
}

TEST(MonthClose, YearChangeArchivesTheTaxCardsAndStartsTheYearForEveryEmployee) {
    CloseShop s("K", 2009, 12);
    s.add("payrf06", {{"CODE", 1}, {"DESCRIPTION", "Car"}, {"FACTOR", 0.0}});
    s.employee("E001", {{"NETT", 1000.0},   {"PAYE", 0.0},       {"MISC9", 10.0},     {"RELCFWD", 40.0},
                        {"YTD_EARN", 5000.0}, {"YTD_GROSS", 5000.0}, {"YTD_PAYE", 300.0}, {"YTD_NSSF", 200.0},
                        {"YTD_NHIF", 100.0}, {"YTD_LASC", 50.0},  {"YTD_PENC", 70.0},  {"YTD_PENS", 80.0},
                        {"PENSIONC", 7.0},   {"PENSIONS", 8.0},   {"ACC_EARN", 9000.0}});
    s.employee("E002", {{"ESTATUS", "D"}, {"YTD_EARN", 3000.0}, {"RELCFWD", 60.0}, {"YTD_PENC", 11.0}, {"ACC_EARN", 500.0}});
    static const char* const amounts[] = {"PAY",    "ROUND", "PEN_TAX", "BENEFIT", "HOUSING", "RPLUSH",
                                          "TAXCH",  "MPR",   "UNUSED",  "CFWD",    "TAXDED",  "NSSF",
                                          "NHIF",   "LASC",  "DROUGHT", "INTEREST"};
    Row card = {{"EMPNO", "E001"}, {"TMONTH", "12"}, {"SAVINGS", 17.0}, {"PENC", 18.0}, {"BASIC", 19.0}, {"INSRLF", 20.0}};
    for (int i = 0; i < 16; ++i) card[amounts[i]] = static_cast<double>(i + 1);
    s.add("payrf04", card);
    s.add("payrf04", {{"EMPNO", "E002"}, {"TMONTH", "03"}, {"PAY", 5.0}});
    s.add("payrf07", {{"EMPNO", "E001"}, {"CODE", 1}, {"RATE", 250.0}, {"VAMOUNT", 6000.0}, {"BActive", true},
                      {"COUNTER", 11}, {"YTDAMOUNT", 10000.0}, {"ACCRAMOUNT", 2000.0}});
    s.add("payrf07", {{"EMPNO", "E002"}, {"CODE", 1}, {"RATE", 250.0}, {"VAMOUNT", 6000.0}, {"BActive", false},
                      {"COUNTER", 5}, {"YTDAMOUNT", 3000.0}, {"ACCRAMOUNT", 100.0}});

    TfmCloseLogic close(*s.dm);
    close.Closemonth();
    EXPECT_EQ(close.summary().archives, (std::vector<std::string>{"PayM122009", "PayT122009", "PayP92009"}));

    // The year's tax deduction cards as they were, then the year's amounts cleared.
    EXPECT_EQ(s.count("PayP92009"), 2);
    EXPECT_EQ(s.cell("PayP92009", "TAXDED", "EMPNO = 'E001'").toDouble(), 11);
    EXPECT_EQ(s.cell("PayP92009", "PAY", "EMPNO = 'E002'").toDouble(), 5);
    for (const char* f : amounts) EXPECT_EQ(s.num("payrf04", "E001", f), 0) << f;
    EXPECT_EQ(s.num("payrf04", "E002", "PAY"), 0);
    const std::map<std::string, double> kept = {{"SAVINGS", 17}, {"PENC", 18}, {"BASIC", 19}, {"INSRLF", 20}};
    for (const auto& [f, v] : kept) EXPECT_EQ(s.num("payrf04", "E001", f), v) << f;

    // Every employee, departed ones too, starts the year's totals again; pension and accumulated totals go on.
    for (const char* f : {"RELCFWD", "YTD_EARN", "YTD_GROSS", "YTD_PAYE", "YTD_NSSF", "YTD_NHIF", "YTD_LASC"}) {
        EXPECT_EQ(s.num("payrf01", "E001", f), 0) << f;
        EXPECT_EQ(s.num("payrf01", "E002", f), 0) << f;
    }
    EXPECT_EQ(s.num("payrf01", "E001", "YTD_PENC"), 77);
    EXPECT_EQ(s.num("payrf01", "E001", "YTD_PENS"), 88);
    EXPECT_EQ(s.num("payrf01", "E001", "ACC_EARN"), 10000);
    EXPECT_EQ(s.num("payrf01", "E002", "YTD_PENC"), 11);
    EXPECT_EQ(s.num("payrf01", "E002", "ACC_EARN"), 500);
    EXPECT_EQ(s.cell("PayM122009", "YTD_EARN", "EMPNO = 'E001'").toDouble(), 5000);

    // Benefits: December's value joins the year, the year joins the past years, counters restart.
    EXPECT_EQ(s.column("payrf07", "ACCRAMOUNT"), (std::vector<Value>{Value(18000.0), Value(3100.0)}));
    EXPECT_EQ(s.column("payrf07", "YTDAMOUNT"), (std::vector<Value>{Value(0.0), Value(0.0)}));
    EXPECT_EQ(s.column("payrf07", "COUNTER"), (std::vector<Value>{Value(0), Value(0)}));
}

TEST(MonthClose, GaugeAdvancesBeforeEachActiveEmployeeAndEachTransactionRecord) {
    struct Case {
        int active, departed;
        std::vector<int> positions;
    };
    const Case cases[] = {
        {2, 1, {25, 50, 75, 100, 100}},
        {3, 0, {16, 32, 48, 64, 80, 96}},
        {0, 2, {100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.active) + " active");
        CloseShop s;
        int n = 0;
        for (int i = 0; i < c.active; ++i) s.employee("A" + std::to_string(++n));
        for (int i = 0; i < c.departed; ++i) s.employee("D" + std::to_string(++n), {{"ESTATUS", "D"}});
        std::vector<int> seen;
        closeMonth(s, [&seen](int p) { seen.push_back(p); });
        EXPECT_EQ(seen, c.positions);
    }
}

TEST(MonthClose, AFailedCloseChangesNothingAndCanBeRunAgain) {
    // Another user's program holding a table open.
    struct Holder {
        std::unique_ptr<Database> db;
        std::unique_ptr<Table> table;
        void hold(const std::string& folder, const std::string& name) {
            db = Database::open(folder);
            table = std::make_unique<Table>(*db, name);
            table->open();
        }
        void release() {
            table.reset();
            db.reset();
        }
    };
    struct Case {
        const char* what;
        std::function<void(CloseShop&, Holder&)> arrange, mend;
        std::function<void(int)> gauge;  // may throw
        const char* cause;               // named by the error
    };
    int calls = 0;
    const Case cases[] = {
        {"the archive of the month exists already",
         [](CloseShop& s, Holder&) { s.db().createTable(monthArchiveDef(12, 2009)); },
         [](CloseShop& s, Holder&) { s.db().dropTable("PayM122009"); }, {}, "PayM122009"},
        {"the coin analysis is held by another user", [](CloseShop& s, Holder& h) { h.hold(s.folder, "payrf05"); },
         [](CloseShop&, Holder& h) { h.release(); }, {}, "payrf05"},
        {"a snapshot table is held by another user", [](CloseShop& s, Holder& h) { h.hold(s.folder, "paytemp1"); },
         [](CloseShop&, Holder& h) { h.release(); }, {}, "paytemp1"},
        {"a value does not fit its field",
         [](CloseShop& s, Holder&) { s.set("payrf01", "E002", {{"AccruedDays", 32767}, {"CurrDays", 1}}); },
         [](CloseShop& s, Holder&) { s.set("payrf01", "E002", {{"CurrDays", 0}}); }, {}, "AccruedDays"},
        {"the work stops at the first transaction record", {}, {},
         [&calls](int) {
             if (++calls == 3) throw EngineError("stopped on purpose");
         },
         "stopped on purpose"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CloseShop s("K", 2009, 12);  // the year change is part of what must not land
        s.payCode(3, true);
        s.add("payrf06", {{"CODE", 1}, {"DESCRIPTION", "Car"}, {"FACTOR", 0.0}});
        s.employee("E001", {{"NETT", 1000.0}, {"YTD_EARN", 5000.0}}, {{"E3", 100.0}, {"LBAL1", 900.0}, {"L1", 300.0}});
        s.employee("E002", {{"NETT", 2000.0}, {"TERDATE", Value(Date(2009, 11, 30))}}, {{"S1", 50.0}});
        s.employee("E003", {{"ESTATUS", "D"}});
        s.add("payrf04", {{"EMPNO", "E001"}, {"TMONTH", "12"}, {"PAY", 700.0}});
        s.add("payrf07", {{"EMPNO", "E001"}, {"CODE", 1}, {"RATE", 250.0}, {"VAMOUNT", 6000.0}, {"BActive", true},
                          {"COUNTER", 11}, {"YTDAMOUNT", 10000.0}});
        s.add("payrf05", {{"EMPNO", "E001"}, {"NETT", 1000.0}});
        s.add("paybatch", {{"BATCH", "B1"}});
        s.add("payrf09", {{"BATCH", "B1"}, {"LN", 1}, {"EMPNO", "E001"}, {"TRANSCODE", 3}, {"AMOUNT", 100.0}});
        Holder holder;
        if (c.arrange) c.arrange(s, holder);
        const auto before = s.dump();
        calls = 0;

        try {
            closeMonth(s, c.gauge);
            ADD_FAILURE() << "the close did not fail";
        } catch (const EngineError& e) {
            EXPECT_NE(std::string(e.what()).find(c.cause), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("The period end of December 2009 failed and nothing was changed"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(s.dump(), before);
        // The shared tables are open, linked and filtered as before, and read the unchanged data.
        TdmPayroll& dm = *s.dm;
        for (Table* t : {&dm.paycoin, &dm.PayCBatch, &dm.PayBatch, &dm.Paytemp00, &dm.paytemp01})
            EXPECT_TRUE(t->active()) << t->tableName();
        EXPECT_TRUE(dm.payroll.filtered());
        EXPECT_EQ(dm.payroll.recordCount(), 2);
        EXPECT_EQ(dm.Transactions.master(), &dm.payroll);
        ASSERT_TRUE(dm.payroll.locate("EMPNO", Value("E001")));
        EXPECT_EQ(dm.payroll.asFloat("NETT"), 1000);
        EXPECT_EQ(dm.Transactions.asFloat("E3"), 100);
        EXPECT_EQ(dm.paysys.asInteger("PERIOD"), 12);

        // Once the cause is mended the same close goes through.
        if (c.mend) c.mend(s, holder);
        calls = -1000;
        closeMonth(s, c.gauge);
        EXPECT_EQ(s.cell("paysys", "PERIOD").toInt(), 1);
        EXPECT_EQ(s.num("payrf01", "E001", "ACC_EARN"), 1000);
        EXPECT_EQ(s.num("payrf00", "E001", "LBAL1"), 600);
        EXPECT_EQ(s.count("payrf05"), 0);
        EXPECT_EQ(s.count("payrf09"), 0);
        EXPECT_EQ(s.count("paybatch"), 0);
        EXPECT_EQ(s.count("PayP92009"), 1);
    }
}
