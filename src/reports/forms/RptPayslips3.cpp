// The three-across payslip form: smaller print, the month's message at the foot of each
// payslip, a new page when the branch (or, sorted by pay type, the payment method) changes.
#include "reports/forms/RptPayslips.h"

namespace zuna::report {

TfmPayslips3::TfmPayslips3() : PayslipForm(true) {
    PageSetup& p = report_.page;
    p.paper = Paper::A4, p.orientation = Orientation::Portrait;
    p.columns = 3, p.columnGap = 3, p.columnRule = 0.2;
    p.topMargin = p.bottomMargin = 5, p.leftMargin = 6, p.rightMargin = 5;
    description = "Payslips, three to a page, with the month's message; a new page for each branch.";
}

}  // namespace zuna::report
