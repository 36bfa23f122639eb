#include "entry/ZunaSrchDlg.h"

#include "app/fmVarGlobal.h"

namespace zuna {

namespace {

// A text literal of a filter expression: quotes doubled, so a name like O'NEIL stays a name.
std::string literal(const std::string& s) {
    std::string r = "'";
    for (char c : s) {
        if (c == '\'') r += '\'';
        r += c;
    }
    return r + "'";
}

bool restrictedGroup(const std::string& jobGroup) {
    std::string g = Trim(jobGroup);
    return !g.empty() && g != "000";
}

}  // namespace

SearchDlgLogic::SearchDlgLogic(TdmPayroll& dm)
    : dm_(dm), employees_(dm.db(), "Select * from Payrf01\nWhere Estatus = 'A'\nOrder By Empno") {
    employees_.setName("qrySearch");
    SetupEmployee();
}

void SearchDlgLogic::SetupEmployee() {
    mode_ = Mode::Employee;
    fields_ = {"Empname", "EmpNo"};
    field_ = 0;
    text_.clear();
}

void SearchDlgLogic::SetupPayCode() {
    mode_ = Mode::PayCode;
    fields_ = {"FName", "FNo"};
    field_ = 0;
    text_.clear();
}

std::string SearchDlgLogic::EmployeeFilter(const std::string& jobGroup, const std::string& typed) {
    std::string group = restrictedGroup(jobGroup) ? "Empjobt = " + literal(Trim(jobGroup)) : std::string();
    std::string name = Trim(typed).empty() ? std::string() : "Contains(Empname," + literal(toUpper(typed)) + ")";
    if (group.empty()) return name;
    if (name.empty()) return group;
    return "(" + group + ") and " + name;
}

void SearchDlgLogic::applyEmployeeFilter() {
    // The list narrows by name while a name is typed; a number is found by the search button.
    std::string f = EmployeeFilter(fmVarGlobal().UserJobGroup, field_ == 0 ? text_ : std::string());
    employees_.setFilter(f);
    employees_.setFiltered(!f.empty());
}

void SearchDlgLogic::Activate() {
    if (mode_ == Mode::Employee) {
        employees_.close();
        employees_.registerPassword("Payrf01", Database::kTablePassword);
        applyEmployeeFilter();
        employees_.open();
        employees_.first();
    } else {
        if (fmVarGlobal().fullRights()) {
            dm_.Paycodes.setFiltered(false);
        } else {
            dm_.Paycodes.setFilter("Recur <> false");
            dm_.Paycodes.setFiltered(true);
        }
        dm_.Paycodes.first();
    }
}

void SearchDlgLogic::ChooseSearchField(int i) {
    if (i >= 0 && i < static_cast<int>(fields_.size())) field_ = i;
    TextChanged({});
}

bool SearchDlgLogic::AcceptsChar(char c) const {
    if (static_cast<unsigned char>(c) <= ' ') return true;
    if (mode_ == Mode::PayCode && field_ == 1) return (c >= '0' && c <= '9') || c == '+' || c == '-';
    return true;
}

void SearchDlgLogic::TextChanged(const std::string& text) {
    text_ = text;
    if (mode_ == Mode::Employee && employees_.active()) applyEmployeeFilter();
}

bool SearchDlgLogic::Search() {
    if (text_.empty()) return false;
    LocateOptions opt;
    opt.caseInsensitive = true;
    opt.partialKey = true;
    Dataset& d = List();
    if (!d.active()) return false;
    return d.locate(fields_[static_cast<size_t>(field_)], Value(text_), opt);
}

Dataset& SearchDlgLogic::List() {
    if (mode_ == Mode::Employee) return employees_;
    return dm_.Paycodes;
}

std::string SearchDlgLogic::ChosenEmpno() {
    if (!employees_.active() || employees_.recNo() == 0) return {};
    return employees_.asString("EMPNO");
}

}  // namespace zuna
