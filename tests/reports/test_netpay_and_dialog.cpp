// The net pay list's groups and totals, test pay, and the dialog's order lines, rights and
// prior period.
#include <gtest/gtest.h>

#include "ReportsFixture.h"

namespace zuna::test {
namespace {

using report::NetpayVariant;
using report::ReportPreparer;
using report::Selection;
using report::SortChoice;

class NetpayList : public ::testing::Test {
protected:
    NetpayList() {
        f.employee("0001", {{"EMPDEPT", Value("ADM")}, {"NETT", Value(1000.25)}, {"PAYMENT", Value(1)}});
        f.employee("0002", {{"EMPDEPT", Value("OPS")}, {"NETT", Value(2000.50)}, {"PAYMENT", Value(3)},
                            {"PayNoTax", Value(100.0)}, {"ODCR", Value(30.0)}});
        f.employee("0003", {{"EMPDEPT", Value("ADM")}, {"NETT", Value(300.0)}, {"PAYMENT", Value(1)}});
        f.employee("0004", {{"EMPDEPT", Value("OPS")}, {"NETT", Value(999.0)}, {"ESTATUS", Value("D")}});
    }
    ~NetpayList() override { fmVarGlobal().TestPayEnabled = false; }
    ReportsFixture f;
};

TEST_F(NetpayList, DepartmentGroupsTotalsAndPages) {
    ReportPreparer p(f.dm());
    Selection sel;
    sel.sort.department = true;
    p.PrepareNetpay(NetpayVariant::All, sel);
    EXPECT_EQ(p.caption(), "Net Pay Report - All");
    report::Document doc = report::layout(*p.current());
    ASSERT_EQ(doc.pages.size(), 2u);  // a new page for each department
    const std::string first = report::renderTextPage(doc.pages[0], p.textOptions());
    const std::string second = report::renderTextPage(doc.pages[1], p.textOptions());
    EXPECT_EQ(rowsWith(first, "Department : "), std::vector<std::string>{"Department : Administration"});
    EXPECT_EQ(rowsWith(first, "Departmental Total : "), std::vector<std::string>{"Departmental Total : 1,300.25"});
    EXPECT_EQ(rowsWith(second, "Departmental Total : "), std::vector<std::string>{"Departmental Total : 2,000.50"});
    EXPECT_EQ(rowsWith(second, "Company Total : "), std::vector<std::string>{"Company Total : 3,300.75"});
    EXPECT_FALSE(rowsWith(second, "No of Employees : 3").empty());  // the terminated employee is left out
    EXPECT_FALSE(rowsWith(first, "NET PAY REPORT - January 2009").empty());
    EXPECT_NE(p.sql().find("Order by empcat, a.empdept, a.empno"), std::string::npos);
}

TEST_F(NetpayList, ListByEmployeeNumberHasNoGroupsAndVariantsFilterByPayment) {
    ReportPreparer p(f.dm());
    Selection sel;
    sel.sort = SortChoice{false, true, true, true};
    p.PrepareNetpay(NetpayVariant::Cash, sel);
    const std::string text = ReportsFixture::text(p);
    EXPECT_TRUE(rowsWith(text, "Total : ").size() == 1 && !rowsWith(text, "Company Total : 1,300.25").empty()) << text;
    EXPECT_TRUE(rowsWith(text, "Department : ").empty());
    EXPECT_FALSE(rowsWith(text, "CASH PAY REPORT - January 2009").empty());
    EXPECT_EQ(p.caption(), "Cash Pay Report");
    EXPECT_NE(p.sql().find("AND a.payment = 1\nOrder by a.empno"), std::string::npos);
}

TEST_F(NetpayList, TestPaySumsNett2AndTheTestPayReportPayNoTax) {
    fmVarGlobal().TestPayEnabled = true;
    ReportPreparer p(f.dm());
    p.PrepareNetpay(NetpayVariant::Bank, Selection{});
    // 2,000.50 + 100 paid without tax - 30 overdrawn
    EXPECT_FALSE(rowsWith(ReportsFixture::text(p), "Company Total : 2,070.50").empty()) << ReportsFixture::text(p);

    p.PrepareTestPay();
    const std::string text = ReportsFixture::text(p);
    EXPECT_FALSE(rowsWith(text, "TEST PAY REPORT - January 2009").empty());
    EXPECT_FALSE(rowsWith(text, "Company Total : 100.00").empty()) << text;
    EXPECT_FALSE(rowsWith(text, "No of Employees : 1").empty());
}

TEST(ReportDialog, OrderLinesOfTheGroupingChoices) {
    struct Case { bool b, d, s; const char* line; };
    for (const Case& c : {Case{true, true, true, "Order by a.empbrch, a.empdept, a.empsect, a.empno"},
                          Case{true, true, false, "Order by a.empbrch, a.empdept, a.empno"},
                          Case{true, false, true, "Order by a.empbrch, a.empsect, a.empno"},
                          Case{true, false, false, "Order by a.empbrch, a.empno"},
                          Case{false, true, true, "Order by a.empdept, a.empsect, a.empno"},
                          Case{false, true, false, "Order by a.empdept, a.empno"},
                          Case{false, false, true, "Order by a.empsect, a.empno"},
                          Case{false, false, false, "Order by a.empno"}}) {
        SortChoice s{true, c.b, c.d, c.s};
        EXPECT_EQ(report::OrderLine(s), c.line);
        s.detailed = false;
        EXPECT_EQ(report::OrderLine(s), "Order by a.empno");
    }
    EXPECT_EQ(report::OrderLine(SortChoice{true, false, false, false}, "empcat, "), "Order by empcat, a.empno");
    EXPECT_EQ(report::OrderLine(SortChoice{true, true, true, false}, "", "c.empbrch"), "Order by c.empbrch, a.empdept, a.empno");
}

TEST(ReportDialog, PriorPayPeriodAndStatusFilter) {
    EXPECT_EQ(report::PriorPayPeriod(1, 2009), (std::pair{12, 2008}));
    EXPECT_EQ(report::PriorPayPeriod(7, 2009), (std::pair{6, 2009}));
    VarGlobal g;
    g.UserJobGroup = "000";
    EXPECT_EQ(report::StatusFilter(g), "Estatus = 'A'");
    g.UserJobGroup = "005";
    EXPECT_EQ(report::StatusFilter(g), "Estatus = 'A' and Empjobt = '005'");
}

TEST(ReportDialog, RefusesPayReportsWithoutRightsAndKeepsTheCurrentReport) {
    ReportsFixture f;
    f.employee("0001", {{"NETT", Value(10.0)}});
    ReportPreparer p(f.dm());
    p.PrepareNetpay(NetpayVariant::All, Selection{});
    report::Report* before = p.current();
    VarGlobal saved = fmVarGlobal();
    struct Case { const char* cat; int level; bool allowed; };
    for (const Case& c : {Case{"A", 9, true}, Case{"A", 6, true}, Case{"A", 5, false}, Case{"B", 9, false}}) {
        fmVarGlobal().UserCategory = c.cat;
        fmVarGlobal().UserLevel = c.level;
        if (c.allowed) {
            EXPECT_NO_THROW(p.PreparePayslips(report::PayslipVariant::All, Selection{}));
            p.PrepareNetpay(NetpayVariant::All, Selection{});
        } else {
            EXPECT_THROW(p.PreparePayslips(report::PayslipVariant::All, Selection{}), report::RightsRefused);
            EXPECT_THROW(p.PrepareNetpay(NetpayVariant::Cash, Selection{}), report::RightsRefused);
            EXPECT_THROW(p.PreparePreviousPayslips(12, 2008, Selection{}), report::RightsRefused);
            EXPECT_EQ(p.current(), before);
            EXPECT_EQ(p.caption(), "Net Pay Report - All");
        }
    }
    fmVarGlobal() = saved;
    EXPECT_STREQ(report::RightsRefused().what(), "Sorry, you dont have enough rights for this option !!!");
}

}  // namespace
}  // namespace zuna::test
