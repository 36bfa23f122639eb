// The report selection logic without widgets: the items of the six tabs, the order lines of
// the grouping choices, the rights rules, and the preparation of each report for the
// logged-in user. The dialog, the main window's "Test Pay" command and `zuna report` use it.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/fmVarGlobal.h"
#include "data/ZunaData.h"
#include "reports/engine/Render.h"
#include "reports/engine/Report.h"
#include "reports/forms/RptNet.h"
#include "reports/forms/RptPayslips.h"

namespace zuna::report {

enum class Tab { Summary, Earnings, Deductions, Management, YearEnd, Permanent };

// One item of a tab's list. command is the name `zuna report` knows it by; an item whose form
// is not built yet has available false: it is listed and disabled.
struct ReportItem {
    Tab tab;
    const char* caption;
    const char* command;
    bool available;
};
const std::vector<ReportItem>& ReportItemTable();
const char* TabCaption(Tab t);

constexpr const char* kNoRights = "Sorry, you dont have enough rights for this option !!!";
constexpr const char* kNotAvailable = "Report not available ..... Try againd later";

// A refusal by the rights rules: nothing was prepared, the current report is unchanged.
struct RightsRefused : std::runtime_error {
    RightsRefused() : std::runtime_error(kNoRights) {}
};

struct SortChoice {
    bool detailed = true;  // "Detailed"; false: "List (Employee No.)"
    bool branch = false, department = false, section = false;
};
// "Order by a.empbrch, a.empdept, a.empno" and the like; prefix goes in front of the columns
// of a detailed order ("empcat, " for the net pay lists).
std::string OrderLine(const SortChoice& s, const std::string& prefix = {}, const std::string& branchColumn = "a.empbrch");

// "Estatus = 'A'", with the user's job group when there is one.
std::string StatusFilter(const VarGlobal& g);
// Net pay, payslips, payroll analysis and summary, previous payslips.
bool HasPayslipRights(const VarGlobal& g);
// The month before the current one: (month, year).
std::pair<int, int> PriorPayPeriod(int month, int year);

enum class NetpayVariant { All, Cash, Cheque, Bank };
enum class PayslipVariant { All, PayType, Category };

struct Selection {
    std::string from, to;  // employee numbers; empty: no range
    SortChoice sort;
};

class ReportPreparer {
public:
    explicit ReportPreparer(TdmPayroll& dm);
    ~ReportPreparer();

    // Each throws RightsRefused when the user may not have the report.
    void PrepareNetpay(NetpayVariant v, const Selection& sel);
    void PreparePayslips(PayslipVariant v, const Selection& sel);
    void PreparePreviousPayslips(int month, int year, const Selection& sel);
    // The main window's "Test Pay": the net pay list of the amounts paid without tax.
    void PrepareTestPay();

    Report* current() const { return current_; }
    const std::string& currentDescription() const { return description_; }
    const std::string& caption() const { return caption_; }  // of the Summary list's item 0
    // The query text and filter of the last preparation, as the report runs them.
    const std::string& sql() const { return sql_; }
    const std::string& filter() const { return filter_; }
    // Plain-text export settings of the current report (payslips print condensed).
    TextOptions textOptions() const;

    TfmNetpay netpay;
    TfmPayslips payslips;
    TfmPayslips3 payslips3;

private:
    Query& openPayrollQuery();
    void preparePayslipQuery(PayslipForm& form, const std::string& from, const std::string& sql,
                             const std::string& title, bool byPayType, const Selection& sel,
                             const std::vector<std::pair<std::string, std::string>>& params);
    TdmPayroll& dm_;
    Query slips_;
    Report* current_ = nullptr;
    std::string description_, caption_, sql_, filter_;
    PayslipVariant payslipOrder_ = PayslipVariant::All;
    bool condensed_ = false;
    bool threeCols_ = false;
};

// Exports the current report to a file in the given format.
int ExportCurrent(ReportPreparer& p, const std::string& path, Format f);

}  // namespace zuna::report
