#include "entry/Eentry.h"

#include <cstdio>
#include <filesystem>

#include "app/fmVarGlobal.h"
#include "entry/EntryCommon.h"

namespace zuna {

namespace {

// Whether table holds a row whose EMPNO is empno, whatever the filters of the shared datasets.
bool rowExists(Database& db, const std::string& table, const std::string& empno) {
    db.flushPending();
    Stmt s = db.prepare("SELECT 1 FROM " + quoteIdent(db.storedName(table)) + " WHERE EMPNO = ?1 LIMIT 1");
    s.bind(1, Value(empno));
    return s.step();
}

// Whether a dataset has a record to work on (a current row, or one being inserted).
bool hasRecord(Dataset& d) { return d.state() == DatasetState::Insert || d.recNo() > 0; }

// Values of some fields of a dataset, put back when a step of a rule fails.
class Restore {
public:
    void keep(Dataset& d, const std::string& field) { kept_.push_back({&d, field, d.value(field)}); }
    void undo() noexcept {
        for (auto& k : kept_) {
            try {
                if (!k.d->editing()) k.d->edit();
                k.d->setValue(k.field, k.v);
            } catch (...) {
            }
        }
    }

private:
    struct Kept {
        Dataset* d;
        std::string field;
        Value v;
    };
    std::vector<Kept> kept_;
};

}  // namespace

void CreateEmployee(TdmPayroll& dm, const std::string& empnoIn) {
    std::string empno = cutToChars(toUpper(Trim(empnoIn)), 4);
    if (empno.empty()) throw EngineError("An employee needs a number");
    Database& db = dm.db();
    for (const char* t : {"payrf01", "payrf00", "payrf04"})
        if (rowExists(db, t, empno))
            throw EngineError("Employee " + empno + " cannot be created: table " + t + " already holds records of " +
                              empno);
    if (dm.payroll.editing()) dm.payroll.post();
    if (dm.Transactions.editing()) dm.Transactions.post();
    if (dm.payhist.editing()) dm.payhist.post();

    try {
        Transaction t(db);
        dm.payroll.append();
        dm.payroll.setString("EMPNO", empno);
        dm.payroll.post();
        // Under a filter that hides the new employee the detail rows still carry its number.
        dm.payroll.locate("EMPNO", Value(empno));

        // The transaction record: every amount and quantity slot at 0.
        Table& tr = dm.Transactions;
        tr.append();
        tr.setString("EMPNO", empno);
        for (int n = 1; n <= 25; ++n) {
            tr.setFloat("E" + std::to_string(n), 0);
            tr.setFloat("RATE" + std::to_string(n), 0);
        }
        for (int n = 1; n <= 15; ++n) {
            tr.setFloat("D" + std::to_string(n), 0);
            tr.setFloat("DRATE" + std::to_string(n), 0);
        }
        for (int n = 1; n <= 10; ++n)
            for (const char* p : {"L", "LN", "LBAL", "S", "SBAL", "I", "IBAL"})
                tr.setFloat(p + std::to_string(n), 0);
        tr.post();

        // The tax history of the year, one row per month.
        Table& h = dm.payhist;
        for (int m = 1; m <= 12; ++m) {
            char key[3];
            std::snprintf(key, sizeof key, "%02d", m);
            h.append();
            h.setString("EMPNO", empno);
            h.setString("TMONTH", key);
            h.post();
        }
        t.commit();
    } catch (...) {
        // The transaction is rolled back; leave no dataset half-way through an insert.
        for (Table* d : {&dm.payhist, &dm.Transactions, &dm.payroll})
            if (d->editing()) d->cancel();
        throw;
    }
    dm.payroll.locate("EMPNO", Value(empno));
}

BasicSplit SplitBasicToHousing(double basic) {
    long double share = (100.0L + 15.0L) / 100.0L;
    long double b = Round(static_cast<long double>(basic) / share);
    return {static_cast<double>(b), static_cast<double>(static_cast<long double>(basic) - b)};
}

// ------------------------------------------------------------------ employee window

void EmployeeEntryLogic::Open() {
    dm_.payroll.setFiltered(false);
    dm_.payroll.first();
    if (!dm_.Education.master()) {
        dm_.Education.setMaster(&dm_.payroll, "Empno", "EMPNO");
        linkedEducation_ = true;
    }
}

void EmployeeEntryLogic::Close() {
    for (Table* t : {&dm_.Transactions, &dm_.Family, &dm_.Education, &dm_.CoursesAtt, &dm_.payroll})
        if (t->active() && t->editing()) t->post();
    dm_.payroll.setFiltered(true);
    if (linkedEducation_) {
        dm_.Education.clearMaster();
        linkedEducation_ = false;
    }
}

bool EmployeeEntryLogic::AccountingDataVisible() { return fmVarGlobal().fullRights(); }

std::string EmployeeEntryLogic::CurrentEmpno() {
    if (!dm_.payroll.active() || !hasRecord(dm_.payroll)) return {};
    return dm_.payroll.asString("EMPNO");
}

bool EmployeeEntryLogic::GoTo(const std::string& empno) {
    if (dm_.Transactions.editing()) dm_.Transactions.post();
    return dm_.payroll.locate("EMPNO", Value(empno));
}

EmployeeEntryLogic::NumberResult EmployeeEntryLogic::NumberBoxExit(
    const std::string& typed, const std::function<bool(const std::string&)>& confirm) {
    std::string empno = cutToChars(toUpper(Trim(typed)), 4);
    if (empno.empty()) return NumberResult::Nothing;
    if (!dm_.payroll.isEmpty() && GoTo(empno)) return NumberResult::Moved;
    if (!confirm(kCreateEmployeeQuestion)) return NumberResult::Cancelled;
    CreateEmployee(dm_, empno);
    return NumberResult::Created;
}

void EmployeeEntryLogic::ensureEdit(Table& t) {
    if (!t.editing()) t.edit();
}

std::string EmployeeEntryLogic::StatusFor(const Date& terdate, const Date& periodStart) {
    return !terdate.isNull() && terdate < periodStart ? "D" : "A";
}

std::string EmployeeEntryLogic::ComposedName(const std::string& othernames, const std::string& surname) {
    // Without other names the surname stands alone (no leading blank on payslips and lists).
    return Trim(Trim(othernames) + " " + Trim(surname));
}

void EmployeeEntryLogic::Save() {
    Table& p = dm_.payroll;
    if (!hasRecord(p)) throw EntryError("There is no employee to save. Type a number in \"Employee No. :\" first.");
    dm_.paysys.first();
    Date start = dm_.paysys.asDate("SDATE");
    ensureEdit(p);
    p.setString("ESTATUS", StatusFor(p.asDate("TERDATE"), start));
    p.setString("EMPNAME", ComposedName(p.asString("OTHERNAMES"), p.asString("SURNAME")));
    p.post();
    if (dm_.Transactions.editing()) dm_.Transactions.post();
}

bool EmployeeEntryLogic::DateLeftExit(const Date& today) {
    Table& p = dm_.payroll;
    if (!hasRecord(p)) return false;
    Date d = p.asDate("TERDATE");
    if (d.isNull() || d <= today) return false;
    ensureEdit(p);
    p.setNull("TERDATE");
    return true;
}

void EmployeeEntryLogic::HousedExit() {
    Table& p = dm_.payroll;
    if (!hasRecord(p) || p.asBoolean("HOUSED")) return;
    for (const char* f : {"RENT", "DROUGHT"}) {
        if (p.isNull(f) || p.asFloat(f) != 0) {
            ensureEdit(p);
            p.setFloat(f, 0);
        }
    }
}

bool EmployeeEntryLogic::RentPaidClick() {
    Table& p = dm_.payroll;
    if (!hasRecord(p)) return false;
    if (p.asBoolean("HOUSED")) return true;
    if (p.isNull("RENT") || p.asFloat("RENT") != 0) {
        ensureEdit(p);
        p.setFloat("RENT", 0);
    }
    return false;
}

void EmployeeEntryLogic::MortgageExit() {
    Table& p = dm_.payroll;
    if (!hasRecord(p) || p.asBoolean("MORTGAGE")) return;
    if (p.isNull("MORTINT") || p.asFloat("MORTINT") != 0) {
        ensureEdit(p);
        p.setFloat("MORTINT", 0);
    }
}

void EmployeeEntryLogic::DeferLoan1(bool ticked) {
    Table& p = dm_.payroll;
    Table& tr = dm_.Transactions;
    if (!hasRecord(p)) return;
    if (p.asBoolean("LOAN1DEF") != ticked || p.isNull("LOAN1DEF")) {
        ensureEdit(p);
        p.setBoolean("LOAN1DEF", ticked);
    }
    double l1 = hasRecord(tr) ? tr.asFloat("L1") : 0;
    double xl1 = p.asFloat("XL1");
    if (ticked ? l1 == 0 : xl1 == 0) return;

    Restore restore;
    restore.keep(p, "XL1");
    if (hasRecord(tr)) restore.keep(tr, "L1");
    try {
        Transaction t(dm_.db());
        ensureEdit(p);
        ensureEdit(tr);
        if (ticked) {
            p.setFloat("XL1", l1);
            tr.setFloat("L1", 0);
        } else {
            tr.setFloat("L1", xl1);
            p.setFloat("XL1", 0);
        }
        tr.post();
        p.post();
        t.commit();
    } catch (...) {
        restore.undo();
        throw;
    }
}

void EmployeeEntryLogic::SplitBasic() {
    if (!hasRecord(dm_.payroll)) return;
    Table& tr = dm_.Transactions;
    ensureEdit(tr);
    BasicSplit s = SplitBasicToHousing(tr.asFloat("E1"));
    tr.setFloat("E2", s.housing);
    tr.setFloat("E1", s.basic);
    tr.post();
}

std::string EmployeeEntryLogic::PhotoPath() {
    std::string empno = CurrentEmpno();
    // A number that could name another folder has no photograph.
    if (empno.empty() || empno.find_first_of("/\\") != std::string::npos || empno == "." || empno == "..") return {};
    std::error_code ec;
    for (const char* ext : {".jpg", ".JPG", ".jpeg", ".JPEG"}) {
        std::filesystem::path f = std::filesystem::path(dm_.db().picturesFolder()) / (empno + ext);
        if (std::filesystem::is_regular_file(f, ec)) return f.string();
    }
    return {};
}

// ------------------------------------------------------------------ rent dialog

void HouseDlgLogic::Show() {
    rent_ = dm_.payroll.value("RENT");
    actual_ = dm_.payroll.value("DROUGHT");
}

void HouseDlgLogic::Cancel() {
    Table& p = dm_.payroll;
    if (p.value("RENT") == rent_ && p.value("DROUGHT") == actual_) return;
    if (!p.editing()) p.edit();
    p.setValue("RENT", rent_);
    p.setValue("DROUGHT", actual_);
}

// ------------------------------------------------------------------ employee benefits

void EmployeeBenefitsLogic::Activate() {
    dm_.EmpBenefits.first();
    dm_.Benefits.first();
}

void EmployeeBenefitsLogic::SetEmployee(const std::string& empno) {
    Table& b = dm_.EmpBenefits;
    if (!b.editing()) b.edit();
    b.setString("EMPNO", empno);
}

void EmployeeBenefitsLogic::BenefitChosen() {
    Table& b = dm_.EmpBenefits;
    if (!b.editing() && b.recNo() == 0) return;
    Value code = b.value("CODE");
    if (code.isNull() || !dm_.Benefits.locate("CODE", code)) return;
    if (!b.editing()) b.edit();
    b.setValue("RATE", dm_.Benefits.value("RATE"));
}

void EmployeeBenefitsLogic::Add() { dm_.EmpBenefits.append(); }
void EmployeeBenefitsLogic::Ok() { dm_.EmpBenefits.post(); }
void EmployeeBenefitsLogic::Cancel() { dm_.EmpBenefits.cancel(); }

}  // namespace zuna
