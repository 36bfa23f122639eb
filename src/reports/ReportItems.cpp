#include "reports/ReportItems.h"

#include "engine/Database.h"
#include "reports/engine/Layout.h"

namespace zuna::report {

const std::vector<ReportItem>& ReportItemTable() {
    static const std::vector<ReportItem> items = {
        {Tab::Summary, "Net Pay Report", "netpay", true},
        {Tab::Summary, "Payslips", "payslips", true},
        {Tab::Summary, "Payroll Analysis", "", false},
        {Tab::Summary, "Payroll Summary", "", false},
        {Tab::Summary, "Coinage Analysis", "", false},
        {Tab::Summary, "Statutory Deductions", "", false},
        {Tab::Summary, "NSSF Summary", "", false},
        {Tab::Summary, "NHIF Summary", "", false},
        {Tab::Summary, "PAYE Summary", "", false},
        {Tab::Summary, "LASC Summary", "", false},
        {Tab::Management, "Pension Analysis", "", false},
        {Tab::Management, "Basic Salary Analysis", "", false},
        {Tab::Management, "Payroll Variance Report", "", false},
        {Tab::Management, "Bank Transfer Letter", "", false},
        {Tab::Management, "Basic Salary Input Form", "", false},
        {Tab::Management, "Employee Benefits List", "", false},
        {Tab::Management, "Batches Report", "", false},
        {Tab::Management, "Payroll Forms", "", false},
        {Tab::Management, "EFI Transfers", "", false},
        {Tab::Management, "Pay Variance (Emp)", "", false},
        {Tab::Management, "Annual Pay Analysis", "", false},
        {Tab::Management, "Department Pay Analysis", "", false},
        {Tab::YearEnd, "P9 Form", "", false},
        {Tab::YearEnd, "P10 Report", "", false},
        {Tab::YearEnd, "P10A Report", "", false},
        {Tab::YearEnd, "P9 Benefits Form", "", false},
        {Tab::YearEnd, "NSSF Annual Report", "", false},
        {Tab::YearEnd, "NHIF Annual Report", "", false},
        {Tab::YearEnd, "Pension Annual Report", "", false},
        {Tab::YearEnd, "PAYE Annual Report", "", false},
        {Tab::YearEnd, "P10D Quaterly Returns", "", false},
        {Tab::YearEnd, "RRA-PAY-AD1-E06", "", false},
        {Tab::Permanent, "Employee Summary List", "", false},
        {Tab::Permanent, "Employee Detail List", "", false},
        {Tab::Permanent, "Payroll Parameters", "", false},
        {Tab::Permanent, "Tax Adjustment Report", "", false},
        {Tab::Permanent, "Code Lists", "", false},
        {Tab::Permanent, "Input Form", "", false},
        {Tab::Permanent, "Unused Relief", "", false},
        {Tab::Permanent, "Overdrawn Salaries", "", false},
        {Tab::Permanent, "Off Days Report", "", false},
        {Tab::Permanent, "Previous Payslips", "previous-payslips", true},
    };
    return items;
}

const char* TabCaption(Tab t) {
    static const char* names[] = {"Summary", "Earnings", "Deductions", "Management", "Year End", "Permanent"};
    return names[static_cast<int>(t)];
}

std::string OrderLine(const SortChoice& s, const std::string& prefix, const std::string& branchColumn) {
    if (!s.detailed) return "Order by a.empno";
    std::string cols = prefix;
    if (s.branch) cols += branchColumn + ", ";
    if (s.department) cols += "a.empdept, ";
    if (s.section) cols += "a.empsect, ";
    return "Order by " + cols + "a.empno";
}

std::string StatusFilter(const VarGlobal& g) {
    if (g.UserJobGroup != "000" && !Trim(g.UserJobGroup).empty())
        return "Estatus = 'A' and Empjobt = '" + Trim(g.UserJobGroup) + "'";
    return "Estatus = 'A'";
}

bool HasPayslipRights(const VarGlobal& g) { return g.UserCategory == "A" && g.UserLevel >= 6; }

std::pair<int, int> PriorPayPeriod(int month, int year) {
    return month <= 1 ? std::pair{12, year - 1} : std::pair{month - 1, year};
}

ReportPreparer::ReportPreparer(TdmPayroll& dm) : dm_(dm), slips_(dm.db()) {
    for (const char* t : {"payrf00", "payrf01", "payrf02", "payrf02m", "payrf03", "paytemp0", "paytemp1"})
        slips_.registerPassword(t, Database::kTablePassword);
}
ReportPreparer::~ReportPreparer() = default;

namespace {
std::string monthTitle(TdmPayroll& dm) { return MonthYearText(dm.paysys.asDate("EDATE")); }
}  // namespace

void ReportPreparer::PrepareNetpay(NetpayVariant v, const Selection& sel) {
    const VarGlobal& g = fmVarGlobal();
    if (!HasPayslipRights(g)) throw RightsRefused();
    struct V { const char* caption; const char* where; const char* title; };
    static const V variants[] = {
        {"Net Pay Report - All", "WHERE a.empdept = b.code", "NET PAY REPORT - "},
        {"Cash Pay Report", "WHERE a.empdept = b.code AND a.payment = 1", "CASH PAY REPORT - "},
        {"Cheque Pay Report", "WHERE a.empdept = b.code AND a.payment = 2", "CHEQUE PAY REPORT - "},
        {"Bank Transfer Report", "WHERE a.empdept = b.code AND a.payment = 3", "BANK TRANSFER REPORT - "},
    };
    const V& var = variants[static_cast<int>(v)];
    sql_ = std::string(
               "SELECT empcat, a.empno, empjobt, empbrch, empsect, empname,othernames, surname, empdept, engdate, IDno, "
               "payment, nett, nssf, nhif, paye, lasc, pinno, nssfno, nhifno, lascno, Estatus, code, department, "
               "PayNoTax,VNSSF,ODCR,Totearn\nFROM payrf01 a, paydept b\n") +
           var.where + "\n" + OrderLine(sel.sort, "empcat, ");
    filter_ = StatusFilter(g);
    Query& q = openPayrollQuery();
    NetpaySettings s;
    s.company = Trim(dm_.paysys.asString("COMP_NAME"));
    s.heading = var.title + monthTitle(dm_);
    s.amountField = g.TestPayEnabled ? "Nett2" : "Nett";
    s.sortByDepartment = sel.sort.detailed;
    s.branch = sel.sort.branch, s.department = sel.sort.department, s.section = sel.sort.section;
    netpay.prepare(q, s);
    caption_ = var.caption;
    current_ = &netpay.report();
    description_ = netpay.description;
    condensed_ = false;
}

// The shared payroll query with the prepared text and the user's status filter.
Query& ReportPreparer::openPayrollQuery() {
    Query& q = dm_.QryPayroll;
    q.close();
    q.setSql(sql_);
    q.setFilter(filter_);
    q.setFiltered(true);
    q.open();
    return q;
}

void ReportPreparer::PrepareTestPay() {
    const VarGlobal& g = fmVarGlobal();
    sql_ = std::string(
               "SELECT a.empno, empjobt, empbrch, empsect, empname,othernames, surname, empdept, engdate, IDno, "
               "payment, nett, nssf, nhif, paye, lasc, pinno, nssfno, nhifno, lascno, Estatus, code, department, "
               "PayNoTax,VNSSF,ODCR,Totearn FROM payrf01 a, paydept b\nWHERE a.empdept = b.code And a.PayNoTax > 0\n") +
           (g.SortByDepartment ? "Order by a.empdept, a.empno" : "Order by a.empno");
    filter_ = StatusFilter(g);
    Query& q = openPayrollQuery();
    NetpaySettings s;
    s.company = Trim(dm_.paysys.asString("COMP_NAME"));
    s.heading = "TEST PAY REPORT - " + monthTitle(dm_);
    s.amountField = "PayNoTax";
    s.sortByDepartment = g.SortByDepartment;
    netpay.prepare(q, s);
    current_ = &netpay.report();
    description_ = netpay.description;
    condensed_ = false;
}

namespace {
// Payslip orders of both layouts. The pay-code column that ended them is not needed: the
// codes of each employee are printed in code order by the form itself.
const char* payslipOrder(PayslipVariant v, bool three) {
    if (three) {
        static const char* o[] = {"Order by EmpCat, Empbrch, Empdept,a.Empno",
                                  "Order by EmpCat, Payment, Empbrch, Empdept,a.Empno",
                                  "Order by EmpCat, Empbrch, Empdept,a.Empno"};
        return o[static_cast<int>(v)];
    }
    static const char* o[] = {"Order by Empbrch, Empdept,a.Empno", "Order by Payment,Empbrch,  b.Empdept,a.Empno",
                              "Order by EmpCat, Empbrch, Empdept,a.Empno"};
    return o[static_cast<int>(v)];
}
}  // namespace

void ReportPreparer::preparePayslipQuery(PayslipForm& form, const std::string& from, const std::string& where,
                                         const std::string& title, bool byPayType, const Selection& sel,
                                         const std::vector<std::pair<std::string, std::string>>& params) {
    // The codes and the bank names the payslips print.
    std::vector<PayCode> codes;
    {
        Query c(dm_.db(), "Select fno, fname from payrf03 order by fno");
        c.registerPassword("payrf03", Database::kTablePassword);
        c.open();
        for (c.first(); !c.eof(); c.next()) codes.push_back({static_cast<int>(c.asInteger(0)), Trim(c.asString(1))});
    }
    std::vector<std::pair<std::string, BankLookup>> banks;
    {
        Query b(dm_.db(), "Select c.bankref, d.description, c.branch from payrf02 c, payrf02m d where c.bank = d.code");
        b.registerPassword("payrf02", Database::kTablePassword);
        b.registerPassword("payrf02m", Database::kTablePassword);
        b.open();
        for (b.first(); !b.eof(); b.next()) banks.push_back({Trim(b.asString(0)), {Trim(b.asString(1)), Trim(b.asString(2))}});
    }
    sql_ = "Select " + payslipColumns() + "\n" + from + "\n" + where;
    filter_ = StatusFilter(fmVarGlobal());
    slips_.close();
    slips_.setSql(sql_);
    slips_.setParam("mfrom", Value(sel.from.empty() ? std::string("0000") : sel.from));
    slips_.setParam("mto", Value(sel.to.empty() ? std::string("ZZZZ") : sel.to));
    for (const auto& [n, v] : params) slips_.setParam(n, Value(v));
    slips_.setFilter(filter_);
    slips_.setFiltered(true);
    slips_.open();
    PayslipSettings s;
    s.company = Trim(dm_.paysys.asString("COMP_NAME"));
    s.title = title;
    s.country = fmVarGlobal().CountryCode;
    s.cnssf = Trim(dm_.paysys.asString("CNSSF"));
    s.clasc = Trim(dm_.paysys.asString("CLASC"));
    s.bankDetails = dm_.paysys.asBoolean("BankDetails");
    s.message = fmVarGlobal().MonthMessage;
    s.byPayType = byPayType;
    form.prepare(slips_, std::move(codes), std::move(s), std::move(banks));
    current_ = &form.report();
    description_ = form.description;
    condensed_ = true;
    threeCols_ = &form == &payslips3;
}

void ReportPreparer::PreparePayslips(PayslipVariant v, const Selection& sel) {
    if (!HasPayslipRights(fmVarGlobal())) throw RightsRefused();
    const bool three = dm_.paysys.asInteger("PAYTYPE") != 1;
    payslipOrder_ = v;
    preparePayslipQuery(three ? static_cast<PayslipForm&>(payslips3) : payslips, "from payrf00 a,payrf01 b",
                        std::string("where a.empno = b.empno\nAnd a.Empno >= :mfrom and a.Empno <= :mto\n") +
                            payslipOrder(v, three),
                        "PAYSLIP - " + monthTitle(dm_), three && v == PayslipVariant::PayType, sel, {});
}

void ReportPreparer::PreparePreviousPayslips(int month, int year, const Selection& sel) {
    if (!HasPayslipRights(fmVarGlobal())) throw RightsRefused();
    if (month < 1 || month > 12) month = 1;
    char mm[3];
    std::snprintf(mm, sizeof mm, "%02d", month);
    preparePayslipQuery(payslips3, "from paytemp0 a,paytemp1 b",
                        "where a.empno = b.empno\nAnd a.Empno >= :mfrom and a.Empno <= :mto\n"
                        "And a.paymonth = :mmonth And a.Payyear = :myear\n"
                        "And b.paymonth = :mmonth And b.Payyear = :myear\n" +
                            std::string(payslipOrder(payslipOrder_, true)),
                        "PAYSLIP - " + MonthYearText(Date(year, month, 1)), payslipOrder_ == PayslipVariant::PayType,
                        sel, {{"mmonth", mm}, {"myear", std::to_string(year)}});
}

TextOptions ReportPreparer::textOptions() const {
    TextOptions o;
    o.drawLines = false;  // rules fall on the rows of the texts beside them
    if (condensed_) {
        o.charsPerInch = 17;
        o.linesPerInch = threeCols_ ? 8 : 6;
    }
    return o;
}

int ExportCurrent(ReportPreparer& p, const std::string& path, Format f) {
    if (!p.current()) throw ReportError(kNotAvailable);
    if (f == Format::Text) {
        TextSink sink(path, p.textOptions());
        return layout(*p.current(), sink);
    }
    return exportReport(*p.current(), path, f);
}

}  // namespace zuna::report
