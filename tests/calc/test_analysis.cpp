// The analysis tables the run rebuilds: this month per department or branch with a grand total,
// and last month from the month-close snapshots beside it.
#include <gtest/gtest.h>

#include "calc/CalcFixture.h"

using namespace zuna;
using zuna::test::CalcFixture;
using zuna::test::Fields;

namespace {

Value V(double d) { return Value(d); }
Value V(const char* s) { return Value(s); }

// A company without statutory deductions or tax, so that analysis figures are the earnings.
void plainTables(CalcFixture& f) {
    f.tax({});
    f.code(1);
    f.code(2);
}

void employeeSnapshot(CalcFixture& f, const char* month, const char* year, const char* empno, const Fields& master,
                      const Fields* trans) {
    Fields m{{"PayMonth", V(month)}, {"PayYear", V(year)}};
    m.insert(m.end(), master.begin(), master.end());
    f.insert("paytemp1", empno, m);
    if (trans) {
        Fields t{{"PayMonth", V(month)}, {"PayYear", V(year)}};
        t.insert(t.end(), trans->begin(), trans->end());
        f.insert("paytemp0", empno, t);
    }
}

}  // namespace

TEST(Analysis, DepartmentRowsAndGrandTotal) {
    CalcFixture f("K", 2009, 1);
    plainTables(f);
    f.employee("A001", {{"EMPDEPT", V("ADM")}, {"NSFLAG", Value(false)}, {"NHFLAG", Value(false)}, {"PAYMENT", V(3)}},
               {{"E1", V(30000)}, {"E2", V(5000)}, {"RATE2", V(1)}, {"D3", V(250)}, {"DRATE3", V(2)}});
    f.employee("A002", {{"EMPDEPT", V("ADM")}, {"NSFLAG", Value(false)}, {"NHFLAG", Value(false)}, {"PAYMENT", V(3)}},
               {{"E1", V(20000)}, {"RATE2", V(3)}});
    f.update("payrf00", "EMPNO = 'A002'", {{"E2", Value()}});  // a slot never written
    f.employee("B001", {{"EMPDEPT", V("FIN")}, {"NSFLAG", Value(false)}, {"NHFLAG", Value(false)}, {"PAYMENT", V(3)}},
               {{"E1", V(10000)}});
    f.compute();
    EXPECT_EQ(f.count("payanal"), 3);
    struct Case {
        const char* dept;
        const char* field;
        double value;
    } cases[] = {
        {"ADM", "E1", 50000},   {"ADM", "E2", 5000}, {"ADM", "RATE2", 1}, /* a null E2 counts neither amount nor rate */
        {"ADM", "D3", 250},     {"ADM", "DRATE3", 2}, {"ADM", "TOTEARN", 55000}, {"ADM", "TOTDED", 250},
        {"ADM", "NETT", 54750}, {"FIN", "E1", 10000}, {"FIN", "NETT", 10000},    {"XXX", "E1", 60000},
        {"XXX", "E2", 5000},    {"XXX", "RATE2", 1},  {"XXX", "D3", 250},        {"XXX", "NETT", 64750},
        {"XXX", "TOTEARN", 65000},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(f.anal("XXX", c.dept, c.field), c.value) << c.dept << " " << c.field;
    EXPECT_EQ(f.get("payanal", "EMPCOMP", {{"EMPDEPT", V("ADM")}}).toString(), "XXXX");
}

TEST(Analysis, BranchRowsCarryXXXAsDepartment) {
    CalcFixture f("K", 2009, 1);
    plainTables(f);
    f.system({{"BRANCHCHK", Value(true)}});
    for (auto [e, b, d, pay] : {std::tuple{"A001", "NBI", "ADM", 30000.0}, std::tuple{"A002", "NBI", "FIN", 20000.0},
                                std::tuple{"A003", "MSA", "ADM", 10000.0}})
        f.employee(e, {{"EMPBRCH", V(b)}, {"EMPDEPT", V(d)}, {"NSFLAG", Value(false)}, {"NHFLAG", Value(false)}, {"PAYMENT", V(3)}},
                   {{"E1", V(pay)}});
    employeeSnapshot(f, "12", "2008", "A001", {{"EMPBRCH", V("NBI")}, {"EMPDEPT", V("ADM")}, {"NETT", V(111)}}, nullptr);
    f.compute();
    EXPECT_EQ(f.count("payanal"), 3);
    EXPECT_EQ(f.count("payanal", "EMPDEPT <> 'XXX'"), 0);
    EXPECT_DOUBLE_EQ(f.anal("NBI", "XXX", "E1"), 50000);
    EXPECT_DOUBLE_EQ(f.anal("MSA", "XXX", "E1"), 10000);
    EXPECT_DOUBLE_EQ(f.anal("XXX", "XXX", "E1"), 60000);
    EXPECT_DOUBLE_EQ(f.anal("NBI", "XXX", "NETT", "paytanal"), 111);
    EXPECT_DOUBLE_EQ(f.anal("NBI", "XXX", "NNETT", "paytanal"), 50000);
    EXPECT_DOUBLE_EQ(f.anal("MSA", "XXX", "NNETT", "paytanal"), 10000);
    EXPECT_EQ(f.count("paytanal"), 3);
}

TEST(Analysis, LastMonthFromTheSnapshotsBesideThisMonth) {
    CalcFixture f("K", 2009, 1);
    plainTables(f);
    f.employee("C001", {{"EMPDEPT", V("ADM")}, {"NSFLAG", Value(false)}, {"NHFLAG", Value(false)}, {"PAYMENT", V(3)}},
               {{"E1", V(40000)}});
    f.employee("C002", {{"EMPDEPT", V("NEW")}, {"NSFLAG", Value(false)}, {"NHFLAG", Value(false)}, {"PAYMENT", V(3)}},
               {{"E1", V(10000)}});
    Fields results{{"EMPDEPT", V("ADM")}, {"PAYE", V(2000)}, {"NSSF", V(200)}, {"NHIF", V(320)}, {"PENSIONS", V(50)},
                   {"ODLM", V(10)}, {"ODBFWD", V(5)}, {"TOTEARN", V(30000)}, {"TOTDED", V(4000)}, {"NETT", V(26000)}};
    Fields slots{{"E1", V(30000)}, {"D1", V(500)}, {"S1", V(100)}, {"I1", V(10)}, {"LBAL1", V(1000)}, {"L1", V(1500)}};
    employeeSnapshot(f, "12", "2008", "S001", results, &slots);
    // Left on the day before the period: counted.
    Fields left{{"EMPDEPT", V("ADM")}, {"TERDATE", Value(Date(2008, 12, 31))}, {"TOTEARN", V(20000)}, {"NETT", V(18000)}};
    Fields leftSlots{{"E1", V(20000)}};
    employeeSnapshot(f, "12", "2008", "S002", left, &leftSlots);
    // Left earlier, or on the last day of this period: not counted.
    Fields earlier{{"EMPDEPT", V("ADM")}, {"TERDATE", Value(Date(2008, 12, 30))}, {"TOTEARN", V(99999)}};
    employeeSnapshot(f, "12", "2008", "S003", earlier, &leftSlots);
    Fields late{{"EMPDEPT", V("ADM")}, {"TERDATE", Value(Date(2009, 1, 31))}, {"TOTEARN", V(55555)}};
    employeeSnapshot(f, "12", "2008", "S006", late, &leftSlots);
    // A department of last month only, whose transaction snapshot is missing.
    employeeSnapshot(f, "12", "2008", "S004", {{"EMPDEPT", V("OLD")}, {"TOTEARN", V(7000)}, {"NETT", V(6000)}}, nullptr);
    // Other months are not last month.
    employeeSnapshot(f, "11", "2008", "S005", {{"EMPDEPT", V("ADM")}, {"TOTEARN", V(1)}}, &slots);
    employeeSnapshot(f, "12", "2009", "S005", {{"EMPDEPT", V("ADM")}, {"TOTEARN", V(2)}}, &slots);
    f.compute();

    EXPECT_EQ(f.count("paytanal"), 4);
    struct Case {
        const char* dept;
        const char* field;
        double value;
    } cases[] = {
        {"ADM", "E1", 50000},     {"ADM", "D1", 500},      {"ADM", "S1", 100},      {"ADM", "I1", 10},
        {"ADM", "L1", 1000},      {"ADM", "PAYE", 2000},   {"ADM", "NSSF", 200},    {"ADM", "NHIF", 320},
        {"ADM", "PENSIONS", 50},  {"ADM", "ODLM", 15},     {"ADM", "TOTEARN", 50000}, {"ADM", "TOTDED", 4000},
        {"ADM", "NETT", 44000},   {"ADM", "NE1", 40000},   {"ADM", "NTOTEARN", 40000}, {"ADM", "NNETT", 40000},
        {"OLD", "TOTEARN", 7000}, {"OLD", "E1", 0},        {"OLD", "NE1", 0},       {"OLD", "NNETT", 0},
        {"NEW", "E1", 0},         {"NEW", "TOTEARN", 0},   {"NEW", "NE1", 10000},   {"NEW", "NNETT", 10000},
        {"XXX", "E1", 50000},     {"XXX", "TOTEARN", 57000}, {"XXX", "NETT", 50000}, {"XXX", "NE1", 50000},
        {"XXX", "NNETT", 50000},  {"XXX", "NTAXADJ", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(f.anal("XXX", c.dept, c.field, "paytanal"), c.value) << c.dept << " " << c.field;
    // The snapshot tables are left unfiltered.
    EXPECT_FALSE(f.dm().paytemp01.filtered());
    EXPECT_FALSE(f.dm().Paytemp00.filtered());
}

TEST(Analysis, LastMonthOfNovemberAndDecember) {
    struct Case {
        int month;
        double want;  // the E1 of the snapshot month that must be found
    } cases[] = {{11, 100}, {12, 200}};
    for (const Case& c : cases) {
        CalcFixture f("K", 2009, c.month);
        plainTables(f);
        Fields s{{"EMPDEPT", V("ADM")}};
        Fields e9{{"E1", V(300)}}, e10{{"E1", V(100)}}, e11{{"E1", V(200)}};
        employeeSnapshot(f, "09", "2009", "S001", s, &e9);
        employeeSnapshot(f, "10", "2009", "S001", s, &e10);
        employeeSnapshot(f, "11", "2009", "S001", s, &e11);
        f.compute();
        EXPECT_DOUBLE_EQ(f.anal("XXX", "ADM", "E1", "paytanal"), c.want) << "month " << c.month;
    }
}
