// Payslip lines on the plain-text rendering, page breaks of the three-across form, and the
// PDF text of a known employee.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "ReportsFixture.h"

namespace zuna::test {
namespace {

using report::PayslipVariant;
using report::ReportPreparer;
using report::Selection;

struct LineCase {
    const char* name;
    const char* country;
    Fields master, trans;
    bool bankDetails;
    std::vector<std::string> present;  // each: a row holding all the '|'-separated parts
    std::vector<std::string> absent;
};

bool hasRow(const std::string& text, const std::string& wanted) {
    std::vector<std::string> parts;
    std::stringstream ss(wanted);
    for (std::string p; std::getline(ss, p, '|');) parts.push_back(p);
    for (const std::string& row : rowsWith(text, parts[0])) {
        bool all = true;
        size_t at = 0;
        for (const std::string& p : parts) {
            size_t f = row.find(p, at);
            if (f == std::string::npos) { all = false; break; }
            at = f + p.size();
        }
        if (all) return true;
    }
    return false;
}

const Fields kPaid = {{"PAY", Value(30000.0)}, {"TOTEARN", Value(30000.0)}, {"PAYE", Value(4000.0)},
                      {"MPR", Value(1162.0)}, {"NETT", Value(25000.0)}, {"TOTDED", Value(5000.0)},
                      {"PEN_TAX", Value(200.6)}, {"ROUND", Value(29800.0)}, {"PAYMENT", Value(1)}};

Fields with(Fields base, const Fields& more) {
    for (const auto& [n, v] : more) {
        bool replaced = false;
        for (auto& [bn, bv] : base)
            if (bn == n) bv = v, replaced = true;
        if (!replaced) base.emplace_back(n, v);
    }
    return base;
}

class PayslipLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(PayslipLines, PrintsTheLinesItsFiguresCallFor) {
    const LineCase& c = GetParam();
    ReportsFixture f(c.country);
    f.system({{"BankDetails", Value(c.bankDetails)}});
    f.employee("0001", c.master, c.trans);
    ReportPreparer p(f.dm());
    p.PreparePayslips(PayslipVariant::All, Selection{});
    const std::string text = ReportsFixture::text(p);
    for (const std::string& s : c.present) EXPECT_TRUE(hasRow(text, s)) << c.name << ": no row with " << s << "\n" << text;
    for (const std::string& s : c.absent) EXPECT_FALSE(hasRow(text, s)) << c.name << ": unexpected " << s << "\n" << text;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PayslipLines,
    ::testing::Values(
        LineCase{"ZeroCodeSilentNegativePrints", "K", kPaid,
                 {{"E1", Value(30000.0)}, {"E3", Value(0.0)}, {"RATE1", Value(0.0)}, {"D2", Value(-50.0)}, {"DRATE2", Value(2.0)}},
                 true,
                 {"Basic Pay|30,000.00", "Welfare|-50.00|2.00", "Employee No. : ADM/0001", "P.I.N. No. : P0001",
                  "Employee Name : Given Surname0001", "LESS:- PENSION/NSSF|200.00", "CHARGEABLE AMT|29,800.00",
                  "P.A.Y.E.|4,000.00", "TOTAL DEDUCTIONS|5,000.00", "NET PAY DUE ==========>|25,000.00", "Paid : Cash"},
                 {"Overtime", "Advance", "UNUSED RELIEF", "SUMMARY", "OVERDRAWN"}},
        LineCase{"TaxChargedWithPaye", "K", with(kPaid, {{"RELCFWD", Value(100.0)}, {"OTAX", Value(50.0)}, {"INSRLF", Value(10.0)}}), {},
                 true, {"TAX CHARGED|5,322.00", "PERSONAL RELIEF(s)|1,172.00", "UNUSED RELIEF|0.00", "LESS:- OTHER TAX|50.00"}, {}},
        LineCase{"NoPayeShowsReliefLeft", "K",
                 with(kPaid, {{"PAYE", Value(0.0)}, {"MISC9", Value(400.0)}, {"RELCFWD", Value(100.0)}}), {}, true,
                 {"TAX CHARGED|762.00", "UNUSED RELIEF|500.00", "P.A.Y.E.|0.00"}, {}},
        LineCase{"UgandaHasNoKenyanWorking", "U", kPaid, {}, true, {"T.I.N. No. : P0001", "TAX CHARGED"},
                 {"LESS:- PENSION/NSSF", "CHARGEABLE AMT", "P.I.N. No."}},
        LineCase{"LoanRepaidBeyondBalance", "K", kPaid,
                 {{"LBAL1", Value(1000.0)}, {"LN1", Value(0.0)}, {"L1", Value(1500.0)}}, true,
                 {"SUMMARY|B/F+NEW|CURR.|C/FWD", "Staff Loan|1,000.00|1,000.00|0.00"}, {"Staff Loan|1,500.00"}},
        LineCase{"LoanAndSavingSummary", "K", kPaid,
                 {{"LBAL1", Value(1000.0)}, {"LN1", Value(500.0)}, {"L1", Value(300.0)}, {"SBAL1", Value(2000.0)}, {"S1", Value(250.0)}},
                 true, {"Staff Loan|300.00", "Staff Loan|1,500.00|300.00|1,200.00", "Sacco|2,000.00|250.00|2,250.00"}, {}},
        LineCase{"OffDaysAndPensionsInSummary", "K",
                 with(kPaid, {{"ACCRUEDDAYS", Value(10)}, {"CURRDAYS", Value(2)}, {"DAYSTAKEN", Value(3)},
                              {"PENSIONS", Value(500.0)}, {"YTD_PENS", Value(1000.0)}}),
                 {}, true, {"Off Days|12|3|9", "P/F Self|1,000.00|500.00|1,500.00", "PENSION - SELF|500.00"}, {"P/F Company"}},
        LineCase{"OverdrawnHasNoPayment", "K", with(kPaid, {{"ODCR", Value(300.0)}, {"PAYMENT", Value(3)}, {"BANKREF", Value("B1")}}),
                 {}, true, {"OVERDRAWN ==========>|300.00"}, {"Paid : ", "Account : "}},
        LineCase{"BankTransferDetails", "K",
                 with(kPaid, {{"PAYMENT", Value(3)}, {"BANKREF", Value("B1")}, {"BANKAC", Value("0112233")}}), {}, true,
                 {"Paid : Bank Transfer", "Account : 0112233", "Bank : Lake Region Bank", "Branch : Kisumu"}, {}},
        LineCase{"BankDetailsOff", "K", with(kPaid, {{"PAYMENT", Value(3)}, {"BANKREF", Value("B1")}}), {}, false, {},
                 {"Paid : ", "Account : "}}),
    [](const ::testing::TestParamInfo<LineCase>& i) { return std::string(i.param.name); });

// Employees on pages of the three-across form: each page's employee numbers.
std::vector<std::string> pagesOf(ReportPreparer& p) {
    report::Document doc = report::layout(*p.current());
    std::vector<std::string> pages;
    for (const report::Page& pg : doc.pages) {
        std::string who;
        for (const std::string& row : rowsWith(report::renderTextPage(pg, p.textOptions()), "Employee No. : ")) {
            for (size_t at = row.find('/'); at != std::string::npos; at = row.find('/', at + 1))
                who += (who.empty() ? "" : " ") + row.substr(at + 1, 4);
        }
        pages.push_back(who);
    }
    return pages;
}

TEST(Payslips3Pages, NewPageOnBranchAndWhenSortedByPayTypeOnPaymentMethod) {
    ReportsFixture f("K", 2);
    f.employee("0001", with(kPaid, {{"EMPBRCH", Value("001")}, {"PAYMENT", Value(1)}}));
    f.employee("0002", with(kPaid, {{"EMPBRCH", Value("002")}, {"PAYMENT", Value(1)}}));
    f.employee("0003", with(kPaid, {{"EMPBRCH", Value("002")}, {"PAYMENT", Value(1)}}));
    f.employee("0004", with(kPaid, {{"EMPBRCH", Value("001")}, {"PAYMENT", Value(3)}}));
    f.employee("0005", with(kPaid, {{"EMPBRCH", Value("001")}, {"PAYMENT", Value(3)}}));
    fmVarGlobal().MonthMessage = "Happy New Year";
    ReportPreparer p(f.dm());

    p.PreparePayslips(PayslipVariant::All, Selection{});
    EXPECT_EQ(pagesOf(p), (std::vector<std::string>{"0001 0004 0005", "0002 0003"}));
    EXPECT_NE(ReportsFixture::text(p).find("Happy New Year"), std::string::npos);
    EXPECT_NE(ReportsFixture::text(p).find("Name : Given Surname0001"), std::string::npos);

    p.PreparePayslips(PayslipVariant::PayType, Selection{});
    EXPECT_EQ(pagesOf(p), (std::vector<std::string>{"0001", "0002 0003", "0004 0005"}));

    // The range keeps to the employees asked for.
    p.PreparePayslips(PayslipVariant::All, Selection{"0002", "0004", {}});
    EXPECT_EQ(pagesOf(p), (std::vector<std::string>{"0004", "0002 0003"}));
}

TEST(PayslipsPdf, CarriesTheEmployeesPayslipAsText) {
    ReportsFixture f;
    f.employee("0007", with(kPaid, {{"NETT", Value(123456.75)}}), {{"E1", Value(30000.0)}});
    ReportPreparer p(f.dm());
    p.PreparePayslips(PayslipVariant::All, Selection{});
    TempDir d;
    const std::string pdf = d.sub("slips.pdf"), txt = d.sub("slips.txt");
    report::ExportCurrent(p, pdf, report::Format::Pdf);
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
    std::ifstream in(txt);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string text = ss.str();
    EXPECT_TRUE(hasRow(text, "Employee Name : Given Surname0007")) << text;
    EXPECT_TRUE(hasRow(text, "PAYSLIP - January 2009")) << text;
    EXPECT_TRUE(hasRow(text, "Basic Pay|30,000.00")) << text;
    EXPECT_TRUE(hasRow(text, "NET PAY DUE ==========>|123,456.75")) << text;
}

}  // namespace
}  // namespace zuna::test
