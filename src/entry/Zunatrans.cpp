#include "entry/Zunatrans.h"

#include <cctype>
#include <cmath>

#include "app/fmVarGlobal.h"
#include "entry/EntryCommon.h"

namespace zuna {

namespace {

struct Range {
    int lo, hi, rows, base;
    const char* amount;    // payments and deductions: amount and quantity families
    const char* quantity;
};

Range rangeOf(TransPage p) {
    switch (p) {
        case TransPage::Payments: return {1, 25, 25, 0, "E", "RATE"};
        case TransPage::Deductions: return {26, 40, 15, 25, "D", "DRATE"};
        case TransPage::Loans: return {41, 50, 10, 40, nullptr, nullptr};
        case TransPage::Savings: return {51, 60, 10, 50, nullptr, nullptr};
        case TransPage::LeaveOffs: break;
    }
    return {0, -1, 0, 0, nullptr, nullptr};
}

std::string slotField(const char* prefix, int n) { return prefix + std::to_string(n); }

const std::string kEmpty;

}  // namespace

bool UsesHours(char recType) {
    char t = static_cast<char>(std::toupper(static_cast<unsigned char>(recType)));
    return t == 'H' || t == 'D' || t == 'C';
}

double ComputedAmount(char recType, double factor, double qty, double e1, double e2, double hours, bool wholeUnits) {
    long double f = factor, q = qty, b = e1, h2 = static_cast<long double>(e1) + e2, hrs = hours;
    long double x;
    switch (std::toupper(static_cast<unsigned char>(recType))) {
        case 'H': x = b / hrs * q * f; break;
        case 'D': x = h2 / hrs * 8 * q * f; break;
        case 'C': x = h2 / hrs * q * f; break;
        case 'M': x = h2 * q * f; break;
        default: x = q * f; break;
    }
    double rounded = static_cast<double>(UnitRound(x, wholeUnits));
    // The amount is what its two-decimal text shows.
    double shown = 0;
    parseNumber(FixedText(rounded), shown);
    return shown;
}

struct TransactionEntryLogic::Parsed {
    bool skip = false;
    double v[3] = {0, 0, 0};  // payments/deductions: quantity, amount; loans and savings: the three columns
};

TransactionEntryLogic::TransactionEntryLogic(TdmPayroll& dm) : dm_(dm), codes_(dm.db(), "payrf03") {
    codes_.setName("Paycodes");
    codes_.setIndexName("PRIMARY");
    for (int p = 0; p < 4; ++p) {
        auto page = static_cast<TransPage>(p);
        cells_[p].assign(static_cast<size_t>(GridRows(page)), std::vector<std::string>(ColumnTitles(page).size()));
    }
}

TransactionEntryLogic::~TransactionEntryLogic() = default;

int TransactionEntryLogic::GridRows(TransPage p) { return rangeOf(p).rows; }

std::vector<std::string> TransactionEntryLogic::ColumnTitles(TransPage p) {
    switch (p) {
        case TransPage::Payments:
        case TransPage::Deductions: return {"Item", "Hours", "Amount"};
        case TransPage::Loans: return {"Item", "B/Foward", "New", "Repayment"};
        case TransPage::Savings: return {"Item", "B/Foward", "Period", "Savings"};
        case TransPage::LeaveOffs: break;
    }
    return {};
}

std::string TransactionEntryLogic::PageCaption(TransPage p) {
    switch (p) {
        case TransPage::Payments: return "Payments";
        case TransPage::Deductions: return "Deductions";
        case TransPage::Loans: return "Loans";
        case TransPage::Savings: return "Savings";
        case TransPage::LeaveOffs: return "Leave && Offs";
    }
    return {};
}

bool TransactionEntryLogic::TestPayVisible() { return fmVarGlobal().TestPayEnabled; }

const std::string& TransactionEntryLogic::Cell(TransPage p, int row, int col) const {
    int pi = static_cast<int>(p);
    if (pi < 0 || pi > 3) return kEmpty;
    const auto& g = cells_[pi];
    if (row < 0 || row >= static_cast<int>(g.size())) return kEmpty;
    if (col < 0 || col >= static_cast<int>(g[static_cast<size_t>(row)].size())) return kEmpty;
    return g[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

std::vector<std::string>& TransactionEntryLogic::cellsRow(int row) {
    return cells_[static_cast<int>(page_)][static_cast<size_t>(row)];
}

void TransactionEntryLogic::SetCell(int row, int col, const std::string& text) {
    if (page_ == TransPage::LeaveOffs) return;
    if (row < 0 || row >= GridRows(page_) || col < 1 || col >= static_cast<int>(ColumnTitles(page_).size())) return;
    auto& c = cellsRow(row)[static_cast<size_t>(col)];
    if (c == text) return;
    c = text;
    dirty_ = true;
}

// ------------------------------------------------------------------ creation and closing

void TransactionEntryLogic::FormCreate() {
    auto& g = fmVarGlobal();
    if (g.fullRights()) {
        dm_.Paycodes.setFiltered(false);
    } else {
        dm_.Paycodes.setFilter("Recur <> false");
        dm_.Paycodes.setFiltered(true);
    }
    dm_.payroll.setFilter(g.employeeFilter());
    dm_.payroll.setFiltered(true);
    dm_.payroll.first();
    page_ = TransPage::Payments;
    EmpnumSearch();
}

void TransactionEntryLogic::FormClose() {
    SaveBeforeLeaving();
    if (dm_.payroll.editing()) dm_.payroll.post();
    // The rest of the program walks the employees the user may see: the standing filter stays on.
    dm_.payroll.setFilter(fmVarGlobal().employeeFilter());
    dm_.payroll.setFiltered(true);
}

void TransactionEntryLogic::SetPage(TransPage p) {
    if (p == page_) return;
    page_ = p;
    EmpnumSearch();
}

// ------------------------------------------------------------------ employees

bool TransactionEntryLogic::haveEmployee() { return dm_.payroll.active() && dm_.payroll.recNo() > 0; }

void TransactionEntryLogic::setHours() {
    hours_ = 0;
    if (!dm_.payMain.active()) return;
    dm_.payMain.first();
    if (dm_.payMain.recNo() == 0) return;
    bool other = haveEmployee() && Trim(dm_.payroll.asString("EMPSECT")) == "SCT";
    hours_ = dm_.payMain.asFloat(other ? "HOURS2" : "HOURS");
}

std::string TransactionEntryLogic::EmpnumEnter() {
    box_ = haveEmployee() ? dm_.payroll.asString("EMPNO") : std::string();
    setHours();
    return box_;
}

TransactionEntryLogic::ExitResult TransactionEntryLogic::EmpnumExit(const std::string& typed) {
    std::string empno = toUpper(Trim(typed));
    ExitResult r = ExitResult::Restored;
    if (!empno.empty()) {
        SaveBeforeLeaving();
        if (dm_.payroll.locate("EMPNO", Value(empno))) {
            r = ExitResult::Found;
        } else {
            dm_.payroll.first();
            r = ExitResult::NotFound;
        }
    }
    EmpnumSearch();
    return r;
}

void TransactionEntryLogic::EmployeeChosen(const std::string& empno) {
    if (!empno.empty()) {
        SaveBeforeLeaving();
        dm_.payroll.locate("EMPNO", Value(empno));
    }
    EmpnumSearch();
}

void TransactionEntryLogic::Navigate(Move m) {
    SaveBeforeLeaving();
    switch (m) {
        case Move::First: dm_.payroll.first(); break;
        case Move::Prior: dm_.payroll.prior(); break;
        case Move::Next: dm_.payroll.next(); break;
        case Move::Last: dm_.payroll.last(); break;
    }
    EmpnumSearch();
}

double TransactionEntryLogic::transValue(const std::string& field) {
    Table& t = dm_.Transactions;
    if (t.state() != DatasetState::Insert && t.recNo() == 0) return 0;
    return t.asFloat(field);
}

void TransactionEntryLogic::EmpnumSearch() {
    // An edit left on the record of another employee lands before this one is read.
    if (dm_.Transactions.editing()) dm_.Transactions.post();
    box_ = haveEmployee() ? dm_.payroll.asString("EMPNO") : std::string();
    setHours();
    loadPage();
}

// ------------------------------------------------------------------ loading

void TransactionEntryLogic::loadCodes(int lo, int hi, int maxRows) {
    rows_.clear();
    if (codes_.active()) codes_.close();
    codes_.setFilter(dm_.Paycodes.filter());
    codes_.setFiltered(dm_.Paycodes.filtered());
    codes_.open();
    int fFno = codes_.field("FNO"), fName = codes_.field("FNAME"), fFactor = codes_.field("FACTOR"),
        fType = codes_.field("REC_TYPE"), fRate = codes_.field("INTRATE");
    for (codes_.first(); !codes_.eof() && static_cast<int>(rows_.size()) < maxRows; codes_.next()) {
        if (codes_.isNull(fFno)) continue;
        int fno = static_cast<int>(codes_.asInteger(fFno));
        if (fno < lo || fno > hi) continue;
        TransRow r;
        r.fno = fno;
        r.name = cutToChars(codes_.asString(fName), 25);
        r.factor = codes_.asFloat(fFactor);
        std::string t = codes_.asString(fType);
        r.recType = t.empty() ? ' ' : t[0];
        double ir = codes_.asFloat(fRate);
        r.intRate = !codes_.isNull(fRate) && ir > 0 ? ir : 0;
        rows_.push_back(std::move(r));
    }
    codes_.close();
}

void TransactionEntryLogic::loadPage() {
    dirty_ = false;
    if (page_ == TransPage::LeaveOffs) return;
    Range rg = rangeOf(page_);
    loadCodes(rg.lo, rg.hi, rg.rows);
    auto& grid = cells_[static_cast<int>(page_)];
    // Rows without a code are blank: nothing of an earlier employee shows beside this one.
    for (auto& row : grid)
        for (auto& c : row) c.clear();
    bool whole = fmVarGlobal().RoundToWholeUnits;
    double e1 = transValue("E1"), e2 = transValue("E2");
    for (size_t i = 0; i < rows_.size(); ++i) {
        TransRow& r = rows_[i];
        auto& cells = grid[i];
        cells[0] = r.name;
        int n = r.fno - rg.base;
        switch (page_) {
            case TransPage::Payments:
            case TransPage::Deductions: {
                r.amount = transValue(slotField(rg.amount, n));
                r.qty = transValue(slotField(rg.quantity, n));
                if (r.factor != 0) {
                    if (!UsesHours(r.recType) || hours_ != 0)
                        r.amount = ComputedAmount(r.recType, r.factor, r.qty, e1, e2, hours_, whole);
                    cells[1] = FixedText(r.qty);
                }
                cells[2] = FixedText(r.amount);
                break;
            }
            case TransPage::Loans:
                cells[1] = FixedText(transValue(slotField("LBAL", n)));
                cells[2] = FixedText(transValue(slotField("LN", n)));
                cells[3] = FixedText(transValue(slotField("L", n)));
                break;
            case TransPage::Savings:
                r.qty = transValue(slotField("SPER", n));
                r.amount = transValue(slotField("S", n));
                cells[1] = FixedText(transValue(slotField("SBAL", n)));
                cells[2] = FixedText(r.qty);
                cells[3] = FixedText(r.amount);
                break;
            case TransPage::LeaveOffs: break;
        }
    }
}

// ------------------------------------------------------------------ clicking and saving

std::vector<TransactionEntryLogic::Parsed> TransactionEntryLogic::parseRows(bool saving) const {
    std::vector<Parsed> out(rows_.size());
    const auto& grid = cells_[static_cast<int>(page_)];
    auto titles = ColumnTitles(page_);
    auto what = [&](const TransRow& r, size_t col) { return "\"" + Trim(r.name) + "\" (" + titles[col] + ")"; };
    for (size_t i = 0; i < rows_.size(); ++i) {
        const TransRow& r = rows_[i];
        const auto& cells = grid[i];
        Parsed& p = out[i];
        switch (page_) {
            case TransPage::Payments:
            case TransPage::Deductions:
                p.v[0] = ParseTypedNumber(cells[1], what(r, 1), true);
                p.v[1] = ParseTypedNumber(cells[2], what(r, 2), true);
                if (r.factor != 0 && UsesHours(r.recType) && hours_ == 0)
                    throw EntryError("The working hours of a month are not set in the tax tables (\"Normal Hrs\", "
                                     "\"Other Hours\"), so \"" +
                                     Trim(r.name) + "\" cannot be computed from its hours.");
                break;
            case TransPage::Loans:
                for (int c = 0; c < 3; ++c)
                    p.v[c] = ParseTypedNumber(cells[static_cast<size_t>(c + 1)], what(r, static_cast<size_t>(c + 1)), false);
                break;
            case TransPage::Savings: {
                if (Trim(cells[1]).empty()) {
                    // A row without a balance is left as it is stored. A period or contribution
                    // changed beside it is refused rather than dropped.
                    auto same = [](const std::string& s, double was) {
                        std::string t = Trim(s);
                        double d = 0;
                        return t.empty() ? was == 0 : parseNumber(t, d) && d == was;
                    };
                    if (!same(cells[2], r.qty) || !same(cells[3], r.amount))
                        throw EntryError("Enter the balance brought forward (B/Foward) of \"" + Trim(r.name) +
                                         "\" to store its period and savings, or put them back.");
                    p.skip = true;
                    break;
                }
                for (int c = 0; c < 3; ++c)
                    p.v[c] = ParseTypedNumber(cells[static_cast<size_t>(c + 1)], what(r, static_cast<size_t>(c + 1)), false);
                double per = p.v[1];
                if (per != std::trunc(per) || per < 0 || per > 32767)
                    throw EntryError("'" + Trim(cells[2]) + "' is not a valid number of contributions for " + what(r, 2) +
                                     ": a whole number from 0 to 32767 is needed.");
                break;
            }
            case TransPage::LeaveOffs: break;
        }
    }
    (void)saving;
    return out;
}

void TransactionEntryLogic::writeRows(bool saving) {
    std::vector<Parsed> parsed = parseRows(saving);  // nothing is written unless every cell converts
    Table& t = dm_.Transactions;
    if (!t.editing()) t.edit();
    Range rg = rangeOf(page_);
    bool whole = fmVarGlobal().RoundToWholeUnits;
    auto& grid = cells_[static_cast<int>(page_)];
    for (size_t i = 0; i < rows_.size(); ++i) {
        TransRow& r = rows_[i];
        auto& cells = grid[i];
        const Parsed& p = parsed[i];
        int n = r.fno - rg.base;
        switch (page_) {
            case TransPage::Payments:
            case TransPage::Deductions: {
                std::string af = slotField(rg.amount, n), qf = slotField(rg.quantity, n);
                double qty = p.v[0];
                double amount = saving ? static_cast<double>(Round(p.v[1])) : p.v[1];
                t.setFloat(af, amount);
                t.setFloat(qf, qty);
                if (r.factor != 0) {
                    cells[1] = FixedText(qty);
                    amount = ComputedAmount(r.recType, r.factor, qty, t.asFloat("E1"), t.asFloat("E2"), hours_, whole);
                    t.setFloat(af, amount);
                } else if (saving) {
                    cells[1].clear();
                }
                cells[2] = FixedText(amount);
                r.qty = qty;
                r.amount = amount;
                break;
            }
            case TransPage::Loans: {
                t.setFloat(slotField("LBAL", n), p.v[0]);
                t.setFloat(slotField("LN", n), p.v[1]);
                t.setFloat(slotField("L", n), p.v[2]);
                if (r.intRate > 0) {
                    t.setFloat(slotField("IRATE", n), r.intRate);
                    long double interest = (static_cast<long double>(p.v[0]) + p.v[1]) * r.intRate / 100;
                    double shown = 0;
                    parseNumber(FixedText(static_cast<double>(UnitRound(interest, whole))), shown);
                    t.setFloat(slotField("I", n), shown);
                } else {
                    t.setFloat(slotField("I", n), 0);
                }
                for (int c = 0; c < 3; ++c) cells[static_cast<size_t>(c + 1)] = FixedText(p.v[c]);
                break;
            }
            case TransPage::Savings: {
                if (p.skip) break;
                t.setFloat(slotField("SBAL", n), p.v[0]);
                t.setValue(slotField("SPER", n), Value(static_cast<long long>(p.v[1])));
                t.setFloat(slotField("S", n), p.v[2]);
                for (int c = 0; c < 3; ++c) cells[static_cast<size_t>(c + 1)] = FixedText(p.v[c]);
                r.qty = p.v[1];
                r.amount = p.v[2];
                break;
            }
            case TransPage::LeaveOffs: break;
        }
    }
}

int TransactionEntryLogic::Click(int row) {
    if (page_ != TransPage::Payments && page_ != TransPage::Deductions) return 1;
    int col = row >= 0 && row < static_cast<int>(rows_.size()) && rows_[static_cast<size_t>(row)].factor != 0 ? 1 : 2;
    if (!haveEmployee() || rows_.empty()) return col;
    writeRows(false);
    dirty_ = false;
    return col;
}

void TransactionEntryLogic::Save() {
    if (!haveEmployee()) {
        if (dirty_) throw EntryError("There is no employee to store these amounts for.");
        return;
    }
    if (page_ == TransPage::LeaveOffs) {
        if (dm_.payroll.editing()) dm_.payroll.post();
        if (dm_.Transactions.editing()) dm_.Transactions.post();
        dirty_ = false;
        return;
    }
    writeRows(true);
    dm_.Transactions.post();
    dirty_ = false;
}

void TransactionEntryLogic::SaveBeforeLeaving() {
    if (dirty_ || (haveEmployee() && dm_.Transactions.editing()) ||
        (page_ == TransPage::LeaveOffs && dm_.payroll.editing()))
        Save();
}

}  // namespace zuna
