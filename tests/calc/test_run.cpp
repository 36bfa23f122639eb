// Whole computation runs on small companies whose figures were worked out by hand, one per
// country, and the run's guarantees: a second run repeats the first, a failure leaves nothing,
// only the user's employees are computed, leavers and skipped employees.
#include <gtest/gtest.h>

#include "calc/CalcFixture.h"

using namespace zuna;
using zuna::test::CalcFixture;
using zuna::test::Fields;

namespace {

struct Expect {
    const char* table;  // payrf01, payrf00, payrf04, payrf05
    const char* empno;
    const char* field;
    double value;
};

void check(CalcFixture& f, std::initializer_list<Expect> expected) {
    for (const Expect& e : expected) {
        double got = 0;
        std::string t = e.table;
        if (t == "payrf01") got = f.emp(e.empno, e.field);
        else if (t == "payrf00") got = f.trans(e.empno, e.field);
        else if (t == "payrf04") got = f.hist(e.empno, e.field);
        else if (t == "payrf05") got = f.coin(e.empno, e.field);
        EXPECT_NEAR(got, e.value, 1e-6) << t << " " << e.empno << " " << e.field;
    }
}

Value V(double d) { return Value(d); }
Value V(int i) { return Value(i); }
Value V(const char* s) { return Value(s); }
Value V(bool b) { return Value(b); }
Value D(int y, int m, int d) { return Value(Date(y, m, d)); }

// Kenya, January 2009: five bands of 10000 at 10 to 30 percent, NSSF 5 % capped at 200 (1000
// with the voluntary part), union scale with COTU into D5 and D6, three NHIF bands.
void kenyaTables(CalcFixture& f) {
    f.tax({{"NSSF", V(5)},          {"MAXNSSF", V(200)},      {"MAXNSSF2", V(1000)},   {"RELF1", V(1162)},
           {"RELF2", V(3000)},      {"RELF3", V(15)},         {"PEN_SELF", V(5)},      {"PEN_COMP", V(10)},
           {"PEN_FIXED", V(20000)}, {"MAXMORT", V(12500)},    {"LOWINT1", V(18)},      {"LOWINT2", V(5000)},
           {"BRACKET_1", V(10000)}, {"BRACKET_11", V(20000)}, {"NRATE_1", V(10)},      {"CONST_1", V(0)},
           {"BRACKET_2", V(20000)}, {"BRACKET_21", V(30000)}, {"NRATE_2", V(15)},      {"CONST_2", V(1000)},
           {"BRACKET_3", V(30000)}, {"BRACKET_31", V(40000)}, {"NRATE_3", V(20)},      {"CONST_3", V(2500)},
           {"BRACKET_4", V(40000)}, {"BRACKET_41", V(50000)}, {"NRATE_4", V(25)},      {"CONST_4", V(4500)},
           {"BRACKET_5", V(50000)}, {"BRACKET_51", V(99999999)}, {"NRATE_5", V(30)},   {"CONST_5", V(7000)},
           {"UTYPE", V(0)},         {"URANGE1", V(5000)},     {"URANGE2", V(10000)},   {"URANGE3", V(20000)},
           {"URANGE4", V(40000)},   {"URANGE5", V(80000)},    {"URATE1", V(100)},      {"URATE2", V(150)},
           {"URATE3", V(200)},      {"URATE4", V(300)},       {"URATE5", V(400)},      {"URATE6", V(500)},
           {"UCOTU", V(20)},        {"TAWUACC", V(30)},       {"COTUACC", V(31)}});
    f.nhif({{0, 5999, 150}, {6000, 7999, 300}, {8000, 99999999, 320}});
    f.lasc({{0, 10000, 50}, {10001, 99999999, 100}});
    f.code(1);
    f.code(2);
    f.code(5);
    f.code(8, false);
    f.code(41, false, "0", 0.0);
    f.code(42, false, "2", 0.5);
    f.code(51, false);
}

// Four employees computed (a housed cash union member, a pensionable owner occupier with a
// low-interest car loan and voluntary NSSF, a joiner on an alternative scheme not liable to PAYE
// and overdrawn, a leaver), one skipped (leaving after the period) and one departed.
void kenyaCompany(CalcFixture& f) {
    kenyaTables(f);
    f.employee("K001",
               {{"EMPDEPT", V("ADM")}, {"EMPBRCH", V("NBI")}, {"SURNAME", V("OTIENO ")}, {"OTHERNAMES", V(" JAMES")},
                {"PAYMENT", V(1)}, {"UNFLAG", V(true)}, {"HOUSED", V(true)}, {"DROUGHT", V(5000)}, {"RENT", V(1000)},
                {"INSURANCE", V(24000)}, {"ENGDATE", D(2005, 3, 1)}},
               {{"E1", V(40000)}, {"E5", V(3000)}, {"RATE5", V(10)}, {"E8", V(2000)}, {"LBAL1", V(10000)}, {"L1", V(2000)}});
    f.employee("K002",
               {{"EMPDEPT", V("FIN")}, {"EMPBRCH", V("NBI")}, {"PAYMENT", V(3)}, {"PENFLAG", V(true)}, {"PFSELF", V(0)},
                {"PFCOMP", V(0)}, {"NSFLAG2", V(true)}, {"VNSSF", V(900)}, {"MORTGAGE", V(true)}, {"MORTINT", V(15000)},
                {"RELCFWD", V(2000)}, {"ENGDATE", D(2001, 6, 1)}},
               {{"E1", V(60000)}, {"E2", V(10000)}, {"LBAL2", V(100000)}, {"L2", V(5000)}, {"S1", V(2000)},
                {"D5", V(300)}, {"D6", V(20)} /* dues of last month: K002 has left the union */});
    f.benefit("K002", 100, 3000);
    f.employee("K003",
               {{"EMPDEPT", V("ADM")}, {"EMPBRCH", V("MSA")}, {"PAYMENT", V(1)}, {"ENGDATE", D(2009, 1, 21)},
                {"PENFLAG", V(true)}, {"ALTPENS", V(51)}, {"PAFLAG", V(false)}, {"ODBFWD", V(20000)}},
               {{"E1", V(31000)}, {"S1", V(1500)}});
    f.employee("K004",
               {{"EMPDEPT", V("OPS")}, {"EMPBRCH", V("MSA")}, {"PAYMENT", V(1)}, {"TERDATE", D(2009, 1, 16)},
                {"NHFLAG", V(false)}, {"ENGDATE", D(2003, 1, 1)}, {"VNSSF", V(300)} /* no voluntary flag */},
               {{"E1", V(31000)}});
    f.employee("K005", {{"EMPDEPT", V("OPS")}, {"TERDATE", D(2009, 2, 1)}, {"NETT", V(999)}}, {{"E1", V(20000)}});
    f.insert("payrf04", "K005", {{"TMONTH", V("01")}, {"PAY", V(123)}, {"BASIC", V(456)}});
    f.employee("K006", {{"EMPDEPT", V("OPS")}, {"ESTATUS", V("D")}, {"TERDATE", D(2008, 12, 15)}}, {{"E1", V(20000)}});
    f.insert("payrf04", "K006", {{"TMONTH", V("01")}, {"PAY", V(77)}});
}

}  // namespace

TEST(ComputationRun, KenyaCompanyByHand) {
    CalcFixture f("K", 2009, 1);
    kenyaCompany(f);
    f.compute();

    check(f, {
        // K001: gross 40000 + 3000 overtime + 2000 meal (not taxable); union 300 (40000 in the fourth
        // band) and COTU 20; housing 15 % of 43000 = 6450 above the rent of 5000, less 1000 paid;
        // chargeable 43000 + 5450 - NSSF 200 = 48250, tax 4500 + 25 % of 8250 = 2062.5 -> 2062 (tie
        // to even); reliefs 1162 and 24000 x 15 % / 12 = 300.
        {"payrf01", "K001", "TOTEARN", 45000}, {"payrf01", "K001", "PAY", 43000},
        {"payrf01", "K001", "ROUND", 48250},   {"payrf01", "K001", "HALLOW", 5450},
        {"payrf01", "K001", "NSSF", 200},      {"payrf01", "K001", "NHIF", 320},
        {"payrf01", "K001", "PEN_TAX", 200},   {"payrf01", "K001", "PAYE", 5100},
        {"payrf01", "K001", "MISC9", 0},       {"payrf01", "K001", "TOTDED", 7940},
        {"payrf01", "K001", "NETT", 37060},    {"payrf01", "K001", "ODCR", 0},
        {"payrf01", "K001", "MPR", 1162},      {"payrf01", "K001", "BENEFIT", 0},
        {"payrf00", "K001", "D5", 300},        {"payrf00", "K001", "D6", 20},
        {"payrf00", "K001", "IRATE1", 0},      {"payrf00", "K001", "IRATE2", 0.5},
        {"payrf00", "K001", "I1", 0},          {"payrf00", "K001", "LBAL1", 10000},
        {"payrf04", "K001", "PAY", 43000},     {"payrf04", "K001", "BASIC", 40000},
        {"payrf04", "K001", "ROUND", 48250},   {"payrf04", "K001", "RPLUSH", 48250},
        {"payrf04", "K001", "HOUSING", 5450},  {"payrf04", "K001", "TAXCH", 6562},
        {"payrf04", "K001", "MPR", 1162},      {"payrf04", "K001", "INSRLF", 300},
        {"payrf04", "K001", "TAXDED", 5100},   {"payrf04", "K001", "CFWD", 0},
        {"payrf05", "K001", "NETT", 37060},    {"payrf05", "K001", "THAO", 37},
        {"payrf05", "K001", "FIFTY", 1},       {"payrf05", "K001", "TEN", 1},
        {"payrf05", "K001", "HUND5", 0},       {"payrf05", "K001", "TWENTYTHAO", 0},
        // K002: NSSF 200 + voluntary 900 over the ceiling of 1000: 800 voluntary, NSSF 1000; pension
        // 5 % and 10 % of 60000; low-interest car loan 100000 at 0.5 %: interest 500, prescribed 1.5 %
        // = 1500, benefit 1000 = 50 pounds, with the benefit in kind 3000 / 20 = 150 pounds;
        // chargeable 70000 + 4000 - pension 3000 - NSSF 1000 - mortgage 12500 = 57500, tax 9250,
        // less relief 1162 and 2000 brought forward.
        {"payrf01", "K002", "NSSF", 1000},     {"payrf01", "K002", "VNSSF", 800},
        {"payrf01", "K002", "BENEFIT", 200},   {"payrf01", "K002", "MORTGAGE2", 12500},
        {"payrf01", "K002", "PEN_TAX", 4000},  {"payrf01", "K002", "ROUND", 57500},
        {"payrf01", "K002", "PAYE", 6088},     {"payrf01", "K002", "PENSIONS", 3000},
        {"payrf01", "K002", "PENSIONC", 6000}, {"payrf01", "K002", "TOTDED", 17908},
        {"payrf01", "K002", "NETT", 52092},    {"payrf01", "K002", "HALLOW", 0},
        {"payrf00", "K002", "I2", 500},        {"payrf00", "K002", "D5", 0},
        {"payrf00", "K002", "D6", 0},
        {"payrf04", "K002", "UNUSED", 2000},   {"payrf04", "K002", "TAXCH", 9250},
        {"payrf04", "K002", "TAXDED", 6088},   {"payrf04", "K002", "NSSF", 1000},
        {"payrf04", "K002", "VNSSF", 800},     {"payrf04", "K002", "INTEREST", 12500},
        {"payrf04", "K002", "PENC", 6000},     {"payrf04", "K002", "PENS", 3000},
        {"payrf04", "K002", "BENEFIT", 200},   {"payrf04", "K002", "HALLOWANCE", 10000},
        // K003: joined on the 21st: 11 of 31 days of 31000; the alternative scheme's saving of 1500
        // counts against tax, but PAYE does not apply: the reliefs are carried; the overdraft
        // brought forward leaves 11020 overdrawn.
        {"payrf00", "K003", "CPAY", 31000},    {"payrf00", "K003", "E1", 11000},
        {"payrf01", "K003", "TOTEARN", 11000}, {"payrf01", "K003", "PEN_TAX", 1700},
        {"payrf01", "K003", "ROUND", 0},       {"payrf01", "K003", "PAYE", 0},
        {"payrf01", "K003", "MISC9", 1162},    {"payrf01", "K003", "TOTDED", 22020},
        {"payrf01", "K003", "NETT", 0},        {"payrf01", "K003", "ODCR", 11020},
        {"payrf01", "K003", "PENSIONS", 0},    {"payrf04", "K003", "CFWD", 1162},
        // K004: left on the 16th: 15 of 31 days; computed, then the month's tax history cleared.
        {"payrf00", "K004", "CPAY", 31000},    {"payrf00", "K004", "E1", 15000},
        {"payrf01", "K004", "ROUND", 14800},   {"payrf01", "K004", "PAYE", 0},
        {"payrf01", "K004", "MISC9", 682},     {"payrf01", "K004", "NETT", 14800},
        {"payrf01", "K004", "VNSSF", 0},
        {"payrf05", "K004", "THAO", 14},       {"payrf05", "K004", "HUND5", 1},
        {"payrf05", "K004", "HUND2", 1},       {"payrf05", "K004", "HUND", 1},
        {"payrf04", "K004", "PAY", 0},         {"payrf04", "K004", "ROUND", 0},
        {"payrf04", "K004", "TAXCH", 0},       {"payrf04", "K004", "NSSF", 0},
        {"payrf04", "K004", "MPR", 0},         {"payrf04", "K004", "CFWD", 0},
        {"payrf04", "K004", "BASIC", 15000},
        // K005 leaves the day after the period: not computed, its history row cleared all the same.
        {"payrf01", "K005", "NETT", 999},      {"payrf00", "K005", "E1", 20000},
        {"payrf04", "K005", "PAY", 0},         {"payrf04", "K005", "BASIC", 456},
    });
    EXPECT_EQ(f.get("payrf05", "EMPNAME", {{"EMPNO", Value("K001")}}).toString(), "OTIENO,JAMES");
    EXPECT_EQ(f.get("payrf05", "EMPDEPT", {{"EMPNO", Value("K001")}}).toString(), "ADM");
    EXPECT_EQ(f.count("payrf05"), 2);  // only cash payments above nothing
    EXPECT_EQ(f.count("payrf04", "EMPNO = 'K001'"), 1);
    EXPECT_EQ(f.get("payrf04", "PAY", {{"EMPNO", Value("K006")}, {"TMONTH", Value("01")}}).toDouble(), 0);

    // Department rows and their grand total.
    EXPECT_EQ(f.count("payanal"), 4);
    struct A {
        const char* dept;
        const char* field;
        double value;
    } anal[] = {
        {"ADM", "E1", 51000},     {"ADM", "E5", 3000},     {"ADM", "RATE5", 10},   {"ADM", "E8", 2000},
        {"ADM", "D5", 300},       {"ADM", "D6", 20},       {"ADM", "L1", 2000},    {"ADM", "S1", 1500},
        {"ADM", "NSSF", 400},     {"ADM", "NHIF", 640},    {"ADM", "PAYE", 5100},  {"ADM", "ODLM", 20000},
        {"ADM", "TOTEARN", 56000}, {"ADM", "TOTDED", 29960}, {"ADM", "ODCR", 11020}, {"ADM", "NETT", 37060},
        {"FIN", "E2", 10000},     {"FIN", "L2", 5000},     {"FIN", "I2", 500},     {"FIN", "VNSSF", 800},
        {"FIN", "PENSIONS", 3000}, {"OPS", "E1", 15000},   {"OPS", "NETT", 14800}, {"OPS", "TAXADJ", 0},
        {"XXX", "E1", 126000},    {"XXX", "NSSF", 1600},   {"XXX", "VNSSF", 800},  {"XXX", "NHIF", 960},
        {"XXX", "PAYE", 11188},   {"XXX", "TOTEARN", 141000}, {"XXX", "TOTDED", 48068}, {"XXX", "NETT", 103952},
        {"XXX", "ODCR", 11020},   {"XXX", "S1", 3500},     {"XXX", "I2", 500},     {"XXX", "RATE5", 10},
    };
    for (const A& a : anal) EXPECT_DOUBLE_EQ(f.anal("XXX", a.dept, a.field), a.value) << a.dept << " " << a.field;
    // No snapshots of December: this month beside nothing.
    EXPECT_EQ(f.count("paytanal"), 4);
    EXPECT_DOUBLE_EQ(f.anal("XXX", "ADM", "NE1", "paytanal"), 51000);
    EXPECT_DOUBLE_EQ(f.anal("XXX", "XXX", "NNETT", "paytanal"), 103952);
    EXPECT_DOUBLE_EQ(f.anal("XXX", "ADM", "E1", "paytanal"), 0);
}

TEST(ComputationRun, UgandaJulyServiceTaxByHand) {
    CalcFixture f("U", 2009, 7, 1);
    f.system({{"LASCACC", V(49)}});
    f.tax({{"NSSF", V(5)},           {"PEN_FIXED", V(100000)},
           {"BRACKET_1", V(100000)}, {"BRACKET_11", V(200000)}, {"NRATE_1", V(10)}, {"CONST_1", V(0)},
           {"BRACKET_2", V(200000)}, {"BRACKET_21", V(300000)}, {"NRATE_2", V(20)}, {"CONST_2", V(10000)},
           {"BRACKET_3", V(300000)}, {"BRACKET_31", V(400000)}, {"NRATE_3", V(30)}, {"CONST_3", V(30000)},
           {"BRACKET_4", V(400000)}, {"NRATE_4", V(40)},        {"CONST_4", V(60000)}});
    f.nhif({{0, 999999, 500}});
    f.lasc({{0, 100000, 0}, {100001, 200000, 5000}, {200001, 300000, 10000}, {300001, 99999999, 20000}});
    f.code(1);
    f.code(2);
    f.code(49, false);
    f.code(50, false);
    // Last year's service tax still in its slot 9, and a real loan in slot 10.
    f.employee("U001", {{"EMPDEPT", V("ADM")}, {"LAFLAG", V(true)}, {"NHFLAG", V(false)}, {"PAYMENT", V(1)}, {"VNSSF", V(400)}},
               {{"E1", V(250000)}, {"E2", V(50000)}, {"LBAL9", V(7500)}, {"L9", V(2500)}, {"LBAL10", V(50000)},
                {"L10", V(10000)}});
    f.employee("U002", {{"EMPDEPT", V("FIN")}, {"REXEMPT", V(true)}, {"PAYMENT", V(3)}}, {{"E1", V(123450)}});
    f.compute();
    const std::string first = f.dump();

    check(f, {
        // U001: NSSF 5 % of 300000 = 15000; chargeable 285000; tax 10000 + 20 % of 85000 = 27000;
        // service tax of the year on 285000 - 27000 = 258000: 10000, a quarter of it this month.
        {"payrf01", "U001", "NSSF", 15000},     {"payrf01", "U001", "ROUND", 285000},
        {"payrf01", "U001", "VNSSF", 0},
        {"payrf01", "U001", "PAYE", 27000},     {"payrf01", "U001", "LASC", 0},
        {"payrf01", "U001", "TOTDED", 54500},   {"payrf01", "U001", "NETT", 245500},
        {"payrf00", "U001", "LBAL9", 0},        {"payrf00", "U001", "LN9", 10000},
        {"payrf00", "U001", "L9", 2500},        {"payrf00", "U001", "LBAL10", 50000},
        {"payrf00", "U001", "L10", 10000},      {"payrf04", "U001", "LASC", 2500},
        {"payrf04", "U001", "TAXCH", 27000},    {"payrf05", "U001", "TWENTYTHAO", 12},
        {"payrf05", "U001", "TENTHAO", 0},      {"payrf05", "U001", "FIVETHAO", 1},
        {"payrf05", "U001", "THAO", 0},         {"payrf05", "U001", "HUND5", 1},
        // U002: NSSF 6172.5 to the nearest 5 with the tie to even: 6170; relief exempt: 10 % of all
        // of 117280; NHIF on basic pay.
        {"payrf01", "U002", "NSSF", 6170},      {"payrf01", "U002", "NHIF", 500},
        {"payrf01", "U002", "ROUND", 117280},   {"payrf01", "U002", "PAYE", 11728},
        {"payrf01", "U002", "TOTDED", 18398},   {"payrf01", "U002", "NETT", 105052},
        {"payrf01", "U002", "VNSSF", 0},        {"payrf04", "U002", "LASC", 0},
    });
    EXPECT_DOUBLE_EQ(f.anal("XXX", "ADM", "L9"), 2500);
    EXPECT_DOUBLE_EQ(f.anal("XXX", "ADM", "L10"), 10000);

    // A second July run finds the same slot and charges the tax once.
    f.compute();
    EXPECT_EQ(f.dump(), first);
}

TEST(ComputationRun, UgandaOutsideJulyLeavesTheServiceTaxSlotAlone) {
    CalcFixture f("U", 2009, 6, 12);
    f.system({{"LASCACC", V(49)}});
    f.tax({{"NSSF", V(5)}, {"PEN_FIXED", V(100000)}});
    f.lasc({{0, 99999999, 10000}});
    f.code(1);
    f.employee("U001", {{"LAFLAG", V(true)}, {"NHFLAG", V(false)}, {"PAYMENT", V(3)}},
               {{"E1", V(100000)}, {"LBAL9", V(7500)}, {"L9", V(2500)}});
    f.compute();
    check(f, {{"payrf00", "U001", "LBAL9", 7500},
              {"payrf00", "U001", "L9", 2500},
              {"payrf00", "U001", "LN9", 0},
              {"payrf01", "U001", "LASC", 0},
              {"payrf01", "U001", "TOTDED", 5000 + 2500}});
    EXPECT_DOUBLE_EQ(f.hist("U001", "LASC", "12"), 0);
}

TEST(ComputationRun, UgandaJulyServiceTaxNeedsALoanCode) {
    CalcFixture f("U", 2009, 7, 1);
    f.system({{"LASCACC", V(0)}});
    f.tax({{"NSSF", V(5)}});
    f.lasc({{0, 99999999, 10000}});
    f.code(1);
    f.employee("U001", {{"LAFLAG", V(true)}}, {{"E1", V(100000)}});
    const std::string before = f.dump();
    try {
        f.compute();
        FAIL() << "a service tax without its loan slot was accepted";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("LASCACC"), std::string::npos) << e.what();
    }
    EXPECT_EQ(f.dump(), before);
}

TEST(ComputationRun, RwandaHousingAfterContributionsAndLascAfterTaxByHand) {
    CalcFixture f("R", 2009, 1);
    f.tax({{"NSSF", V(3)},           {"MAXNSSF2", V(10000)},     {"PEN_FIXED", V(100000)},
           {"BRACKET_1", V(0)},      {"BRACKET_11", V(30000)},   {"NRATE_1", V(0)},  {"CONST_1", V(0)},
           {"BRACKET_2", V(30000)},  {"BRACKET_21", V(100000)},  {"NRATE_2", V(20)}, {"CONST_2", V(0)},
           {"BRACKET_3", V(100000)}, {"BRACKET_31", V(99999999)}, {"NRATE_3", V(30)}, {"CONST_3", V(14000)},
           {"BRACKET_4", V(99999999)}, {"BRACKET_41", V(99999999)}, {"BRACKET_5", V(99999999)}});
    f.nhif({{0, 99999999, 1000}});
    f.code(1);
    f.code(2);
    f.employee("R001",
               {{"HOUSED", V(true)}, {"DROUGHT", V(10000)}, {"LAFLAG", V(true)}, {"NSFLAG2", V(true)}, {"VNSSF", V(2000)},
                {"PAYMENT", V(3)}},
               {{"E1", V(200000)}});
    f.employee("R002", {{"NHFLAG", V(false)}, {"PAYMENT", V(3)}}, {{"E1", V(25000)}});
    f.compute();
    check(f, {
        // R001: NSSF 3 % of 200000 = 6000 plus the voluntary 2000; NHIF 1000; housing 20 % of
        // 200000 - 1000 - 8000 = 38200 (above the rent of 10000); chargeable 200000 + 38200 - 8000
        // = 230200; tax 14000 + 30 % of 130200 = 53060; LASC 1 % of 200000 - 8000 - 53060.
        {"payrf01", "R001", "NSSF", 8000},    {"payrf01", "R001", "VNSSF", 2000},
        {"payrf01", "R001", "NHIF", 1000},    {"payrf01", "R001", "HALLOW", 38200},
        {"payrf01", "R001", "ROUND", 230200}, {"payrf01", "R001", "PAYE", 53060},
        {"payrf01", "R001", "LASC", 1389},    {"payrf01", "R001", "TOTDED", 63449},
        {"payrf01", "R001", "NETT", 136551},  {"payrf04", "R001", "LASC", 1389},
        {"payrf04", "R001", "HOUSING", 38200}, {"payrf04", "R001", "PEN_TAX", 8000},
        // R002: in the first band at 0 %.
        {"payrf01", "R002", "NSSF", 750},     {"payrf01", "R002", "ROUND", 24250},
        {"payrf01", "R002", "PAYE", 0},       {"payrf01", "R002", "MISC9", 0},
        {"payrf01", "R002", "NETT", 24250},
    });
}

TEST(ComputationRun, TanzaniaUnroundedTaxOnBasicPayBasesByHand) {
    CalcFixture f("T", 2009, 1);
    f.tax({{"NSSF", V(10)},          {"PEN_SELF", V(5)},         {"PEN_COMP", V(10)},  {"PEN_FIXED", V(100000)},
           {"BRACKET_1", V(100000)}, {"BRACKET_11", V(360000)},  {"NRATE_1", V(14)},   {"CONST_1", V(0)},
           {"BRACKET_2", V(360000)}, {"BRACKET_21", V(540000)},  {"NRATE_2", V(20)},   {"CONST_2", V(36400)},
           {"BRACKET_3", V(540000)}, {"BRACKET_31", V(720000)},  {"NRATE_3", V(25)},   {"CONST_3", V(72400)},
           {"BRACKET_4", V(720000)}, {"NRATE_4", V(30)},         {"CONST_4", V(117400)}});
    f.lasc({{0, 99999999, 200}});
    f.code(1);
    f.code(2);
    f.code(51, false);
    f.employee("T001",
               {{"OSOURCE", V(100000)}, {"OTAX", V(5000)}, {"PENFLAG", V(true)}, {"ALTPENS", V(51)}, {"LAFLAG", V(true)},
                {"NHFLAG", V(false)}, {"PAYMENT", V(2)}},
               {{"E1", V(400000)}, {"E2", V(50000.5)}, {"S1", V(10000)}});
    f.employee("T002",
               {{"HOUSED", V(true)}, {"DROUGHT", V(5000)}, {"RENT", V(700)}, {"NSFLAG", V(false)}, {"NHFLAG", V(false)},
                {"PAYMENT", V(1)}},
               {{"E1", V(120000)}});
    f.compute();
    check(f, {
        // T001: NSSF 10 % of basic; pension 5 % / 10 % of basic with no alternative scheme and no
        // allowance; other income and its tax left out; tax 36400 + 20 % of 90000.5 unrounded.
        {"payrf01", "T001", "NSSF", 40000},      {"payrf01", "T001", "PENSIONS", 20000},
        {"payrf01", "T001", "PENSIONC", 40000},  {"payrf01", "T001", "PEN_TAX", 0},
        {"payrf01", "T001", "LASC", 200},        {"payrf01", "T001", "ROUND", 450000.5},
        {"payrf01", "T001", "PAYE", 54400.1},    {"payrf01", "T001", "TOTDED", 124600.1},
        {"payrf01", "T001", "NETT", 325400.4},   {"payrf04", "T001", "PEN_TAX", 0},
        {"payrf04", "T001", "TAXCH", 54400.1},   {"payrf04", "T001", "PENC", 40000},
        // T002: no housing value outside Kenya, Uganda and Rwanda; the rent still reduces chargeable pay.
        {"payrf01", "T002", "HALLOW", -700},     {"payrf01", "T002", "ROUND", 119300},
        {"payrf01", "T002", "PAYE", 2702},       {"payrf01", "T002", "NETT", 117298},
        {"payrf05", "T002", "THAO", 117},        {"payrf05", "T002", "HUND2", 1},
        {"payrf05", "T002", "FIFTY", 1},         {"payrf05", "T002", "TWENT", 2},
        {"payrf05", "T002", "FIVE", 1},          {"payrf05", "T002", "ONE", 3},
    });
}

TEST(ComputationRun, LeavingDatesAtTheEdgesOfThePeriod) {
    CalcFixture f("K", 2009, 1);
    kenyaTables(f);
    struct Case {
        const char* empno;
        Value left;
        bool computed;
        double e1;  // after the run
    } cases[] = {
        {"L001", D(2008, 12, 31), false, 31000},  // left before the period
        {"L002", D(2009, 1, 1), true, 0},         // leaves on its first day: no day paid
        {"L003", D(2009, 1, 31), true, 30000},    // leaves on its last day
        {"L004", D(2009, 2, 1), false, 31000},    // leaves after it
        {"L005", Value(), true, 31000},           // stays
    };
    for (const Case& c : cases) f.employee(c.empno, {{"TERDATE", c.left}, {"PAYMENT", V(3)}, {"NETT", V(-1)}}, {{"E1", V(31000)}});
    Zunacalc calc(f.dm());
    f.compute(&calc);
    EXPECT_EQ(calc.computedCount(), 3);
    EXPECT_EQ(calc.skippedCount(), 2);
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(f.trans(c.empno, "E1"), c.e1) << c.empno;
        EXPECT_EQ(f.emp(c.empno, "NETT") != -1, c.computed) << c.empno;
    }
}

TEST(ComputationRun, SecondRunOfTheMonthRepeatsTheFirst) {
    CalcFixture f("K", 2009, 1);
    kenyaCompany(f);
    f.compute();
    const std::string first = f.dump();
    f.compute();
    EXPECT_EQ(f.dump(), first);
    // The voluntary NSSF reduced to what fits is what the second run read, and gave the same NSSF.
    EXPECT_DOUBLE_EQ(f.emp("K002", "NSSF"), 1000);
    EXPECT_DOUBLE_EQ(f.emp("K002", "VNSSF"), 800);
}

TEST(ComputationRun, FailurePartWayLeavesNothingOfTheRun) {
    CalcFixture f("K", 2009, 1);
    kenyaCompany(f);
    f.compute();
    f.update("payrf00", "EMPNO = 'K001' or EMPNO = 'K002'", {{"E1", V(80000)}});
    f.update("payrf01", "EMPNO = 'K003'", {{"PAYMENT", V(1)}, {"ODBFWD", V(0)}});
    const std::string before = f.dump();

    Zunacalc calc(f.dm());
    int seen = 0;
    calc.afterEmployee = [&](const std::string&) {
        if (++seen == 2) throw EngineError("disk full");
    };
    EXPECT_THROW(f.compute(&calc), EngineError);
    EXPECT_EQ(f.dump(), before);
    EXPECT_TRUE(f.dm().paycoin.active());
    EXPECT_FALSE(f.dm().paycoin.exclusive());
    EXPECT_EQ(f.dm().paycoin.recordCount(), 2);  // last run's coin rows, as they were

    // The data module is usable: the next run lands.
    f.compute();
    EXPECT_DOUBLE_EQ(f.emp("K001", "TOTEARN"), 85000);
    EXPECT_EQ(f.count("payrf05"), 3);
}

TEST(ComputationRun, CoinTableInUseElsewhereStopsTheRunBeforeAnything) {
    CalcFixture f("K", 2009, 1);
    kenyaCompany(f);
    const std::string before = f.dump();
    {
        Table other(f.db(), "payrf05");  // another user has the coin analysis open
        other.open();
        EXPECT_THROW(f.compute(), EngineError);
    }
    EXPECT_EQ(f.dump(), before);
    EXPECT_TRUE(f.dm().paycoin.active());
    EXPECT_FALSE(f.dm().paycoin.exclusive());
    f.compute();
    EXPECT_DOUBLE_EQ(f.emp("K001", "NETT"), 37060);
}

TEST(ComputationRun, BadUnionCodeIsReportedAndNothingWritten) {
    CalcFixture f("K", 2009, 1);
    kenyaCompany(f);
    f.update("payrf08", "COUNTRY = 'K'", {{"TAWUACC", V(45)}});
    const std::string before = f.dump();
    try {
        f.compute();
        FAIL() << "a union code outside the deductions was accepted";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("TAWUACC 45"), std::string::npos) << e.what();
    }
    EXPECT_EQ(f.dump(), before);
}

TEST(ComputationRun, OnlyTheEmployeesOfTheUsersJobGroup) {
    CalcFixture f("K", 2009, 1);
    kenyaTables(f);
    f.employee("J001", {{"EMPJOBT", V("J01")}}, {{"E1", V(30000)}});
    f.employee("J002", {{"EMPJOBT", V("J02")}, {"TOTEARN", V(5)}}, {{"E1", V(30000)}});
    f.employee("J003", {{"EMPJOBT", V("J02")}, {"TERDATE", D(2009, 1, 11)}}, {{"E1", V(31000)}});
    f.insert("payrf04", "J003", {{"TMONTH", V("01")}, {"PAY", V(500)}});
    f.insert("payusrs", "", {{"USER", V("CLERK")}, {"TPASSWORD", V("PW")}, {"CATEGORY", V("A")}, {"LEVEL", V(9)},
                             {"JOBGROUP", V("J01")}, {"MENU3", V(true)}});
    ASSERT_TRUE(LoginUser(f.dm(), "CLERK", "PW"));
    Zunacalc calc(f.dm());
    f.compute(&calc);
    EXPECT_EQ(calc.computedCount(), 1);
    EXPECT_DOUBLE_EQ(f.emp("J001", "TOTEARN"), 30000);
    EXPECT_DOUBLE_EQ(f.emp("J002", "TOTEARN"), 5);  // another group's employee keeps what it had
    EXPECT_DOUBLE_EQ(f.trans("J003", "E1"), 31000);
    // The leavers' clean-up of the month's tax history covers every employee.
    EXPECT_DOUBLE_EQ(f.hist("J003", "PAY"), 0);
    // The user's filter is in force again.
    EXPECT_EQ(f.dm().payroll.recordCount(), 1);
}

TEST(ComputationRun, PayCodesHiddenFromTheUserStillCount) {
    CalcFixture f("K", 2009, 1);
    kenyaTables(f);
    f.update("payrf03", "FNO = 1", {{"RECUR", V(false)}});  // basic pay does not change monthly
    f.employee("E001", {}, {{"E1", V(30000)}});
    f.insert("payusrs", "", {{"USER", V("CLERK")}, {"TPASSWORD", V("PW")}, {"CATEGORY", V("A")}, {"LEVEL", V(5)},
                             {"JOBGROUP", V("000")}, {"MENU3", V(true)}});
    ASSERT_TRUE(LoginUser(f.dm(), "CLERK", "PW"));
    f.compute();
    ASSERT_TRUE(f.dm().Paycodes.filtered());
    EXPECT_FALSE(f.dm().Paycodes.locate("FNO", Value(1)));  // the clerk does not see it
    EXPECT_DOUBLE_EQ(f.emp("E001", "PAY"), 30000);            // but basic pay is taxable
}

TEST(ComputationRun, EmployeeWithoutTransactionRecordGetsOne) {
    CalcFixture f("K", 2009, 1);
    kenyaTables(f);
    f.employee("N001", {{"PAYMENT", V(1)}}, {}, false);
    f.compute();
    EXPECT_EQ(f.count("payrf00", "EMPNO = 'N001'"), 1);
    EXPECT_DOUBLE_EQ(f.trans("N001", "D5"), 0);
    EXPECT_DOUBLE_EQ(f.emp("N001", "TOTEARN"), 0);
    EXPECT_DOUBLE_EQ(f.emp("N001", "NETT"), 0);
    EXPECT_DOUBLE_EQ(f.emp("N001", "MISC9"), 1162);
    EXPECT_EQ(f.count("payrf05"), 0);
}

TEST(ComputationRun, EmptyViewStillRebuildsTheWorkingTables) {
    CalcFixture f("K", 2009, 1);
    kenyaTables(f);
    f.employee("D001", {{"ESTATUS", V("D")}}, {{"E1", V(1000)}});
    f.insert("payrf05", "OLD1", {{"NETT", V(5)}});
    f.insert("payanal", "", {{"EMPCOMP", V("XXXX")}, {"EMPBRCH", V("XXX")}, {"EMPDEPT", V("OLD")}});
    std::vector<int> gauge;
    ActivateMain(f.dm());
    Zunacalc calc(f.dm());
    calc.Processpay([&](int g) { gauge.push_back(g); });
    EXPECT_EQ(calc.computedCount(), 0);
    EXPECT_EQ(f.count("payrf05"), 0);
    EXPECT_EQ(f.count("payanal"), 1);
    EXPECT_DOUBLE_EQ(f.anal("XXX", "XXX", "NETT"), 0);
    EXPECT_EQ(gauge.back(), 100);
}

TEST(ComputationRun, GaugeOfFiftyEmployeesAdvancesByTwo) {
    CalcFixture f("K", 2009, 1);
    kenyaTables(f);
    for (int i = 0; i < 50; ++i) {
        char e[8];
        std::snprintf(e, sizeof e, "G%03d", i);
        f.employee(e, {{"PAYMENT", V(3)}}, {{"E1", V(10000 + i)}});
    }
    std::vector<int> gauge;
    ActivateMain(f.dm());
    Zunacalc calc(f.dm());
    calc.Processpay([&](int g) { gauge.push_back(g); });
    std::vector<int> want{0};
    for (int g = 2; g <= 100; g += 2) want.push_back(g);
    EXPECT_EQ(gauge, want);
    EXPECT_EQ(calc.computedCount(), 50);
}
