// Record rules of the data module: values of new records beyond the stored defaults, the rules
// applied on posting, the fields calculated on every fetch and the guarded cancel of a batch header.
#include <set>

#include "app/fmVarGlobal.h"
#include "data/ZunaData.h"

namespace zuna {

namespace {

// Field positions looked up once per opening of a dataset; the rules run for every row the
// computation walks, so they do not look names up each time.
struct Fields {
    std::vector<int> at;
    void resolve(Dataset& d, std::initializer_list<const char*> names) {
        at.clear();
        for (const char* n : names) at.push_back(d.fieldIndex(n));
    }
    int operator[](size_t i) const { return at.at(i); }
};

double amount(Dataset& d, int i) { return i < 0 ? 0.0 : d.asFloat(i); }

// Names of job titles, sections, departments and pay codes are stored title-cased.
void titleCaseField(Dataset& d, const char* name) {
    int i = d.field(name);
    Value v = d.value(i);
    if (v.isNull()) return;
    std::string t = TitleCase(v.toString());
    if (t != v.toString()) d.setValue(i, Value(t));
}

// ------------------------------------------------------------------ bank-branch references

// Branches are referred to by BANKREF from employees (text(3)) and the company (text(3)),
// so a reference has three digits and is never given twice.
constexpr int kFirstBankRef = 100;
constexpr int kLastBankRef = 999;

struct BranchRefs {
    int rows = 0;
    std::set<std::string> taken;
};

BranchRefs readBranchRefs(Database& db, std::int64_t exceptRowid) {
    BranchRefs r;
    db.flushPending(db.tableState("payrf02"));
    Stmt s = db.prepare("SELECT rowid, BANKREF FROM " + quoteIdent(db.storedName("payrf02")));
    while (s.step()) {
        ++r.rows;
        if (s.columnInt(0) == exceptRowid) continue;
        r.taken.insert(Trim(s.column(1).toString()));
    }
    return r;
}

// The row count plus 100 when that is free, else the next free number; "" when none is left.
std::string nextBankRef(Database& db) {
    BranchRefs r = readBranchRefs(db, 0);
    for (int c = r.rows + kFirstBankRef; c <= kLastBankRef; ++c)
        if (!r.taken.count(std::to_string(c))) return std::to_string(c);
    for (int c = kFirstBankRef; c <= kLastBankRef; ++c)
        if (!r.taken.count(std::to_string(c))) return std::to_string(c);
    return {};
}

void checkBankRef(Table& t) {
    Database& db = t.database();
    int f = t.field("BANKREF");
    std::string ref = Trim(t.asString(f));
    if (ref.empty()) {
        ref = nextBankRef(db);
        if (ref.empty())
            throw EngineError("Every internal reference from 100 to 999 is in use: no further bank branch can be added");
        t.setValue(f, Value(ref));
    }
    if (cutToChars(ref, 3) != ref)
        throw EngineError("The internal reference '" + ref +
                          "' of a bank branch is longer than 3 characters, the width employee records keep");
    std::int64_t own = t.state() == DatasetState::Edit ? t.rowid() : 0;
    if (readBranchRefs(db, own).taken.count(ref))
        throw EngineError("The internal reference " + ref + " is already given to another bank branch");
}

}  // namespace

// ------------------------------------------------------------------ rules by table

double TdmPayroll::insuranceRelief(double premium) {
    if (!(premium > 0) || !payMain.active()) return 0;
    // The tax parameters of the company's country: the current payrf08 row once the login has
    // filtered it, otherwise the row of paysys COUNTRY.
    std::string country;
    if (paysys.active() && !paysys.isEmpty()) country = cutToChars(Trim(paysys.asString("COUNTRY")), 1);
    if (country.empty()) country = fmVarGlobal().CountryCode;
    double relf3 = 0, relf2 = 0;
    bool onCurrent = payMain.recNo() > 0 &&
                     (country.empty() || cutToChars(Trim(payMain.asString("COUNTRY")), 1) == country);
    if (onCurrent) {
        relf3 = payMain.asFloat("RELF3");
        relf2 = payMain.asFloat("RELF2");
    } else if (!country.empty()) {
        relf3 = payMain.lookupValue("COUNTRY", {Value(country)}, "RELF3").toDouble();
        relf2 = payMain.lookupValue("COUNTRY", {Value(country)}, "RELF2").toDouble();
    }
    // Evaluated in the order the computation evaluates the relief it grants, so that the relief
    // shown with the employee is the relief of the payslip also where it ends in a half.
    long double r = Round(static_cast<long double>(premium) * relf3 / 100 / 12);
    if (r > relf2) r = relf2;
    return static_cast<double>(r);
}

void TdmPayroll::AttachRecordRules(Table& t) {
    const std::string n = toLower(t.tableName());
    if (n == "payrf01") {
        // Monthly insurance relief from the annual premium, on every post of an employee.
        auto f = std::make_shared<Fields>();
        t.beforePost = [this, f](Dataset& d) {
            if (f->at.empty()) f->resolve(d, {"INSURANCE", "INSRLF"});
            Value relief(insuranceRelief(amount(d, (*f)[0])));
            if (d.value((*f)[1]) != relief) d.setValue((*f)[1], relief);
        };
    } else if (n == "payrf04") {
        // A new tax-history row belongs to the current employee.
        t.onNewRecord = [this](Dataset& d) {
            if (!payroll.active() || (payroll.isEmpty() && payroll.state() != DatasetState::Insert)) return;
            Value empno = payroll.value("EMPNO");
            if (!empno.isNull()) d.setValue("EMPNO", empno);
        };
    } else if (n == "payrf03") {
        t.beforePost = [](Dataset& d) { titleCaseField(d, "FNAME"); };
    } else if (n == "payjobt") {
        t.beforePost = [](Dataset& d) { titleCaseField(d, "JOBTITLE"); };
    } else if (n == "paysect") {
        t.beforePost = [](Dataset& d) { titleCaseField(d, "SECTION"); };
    } else if (n == "paydept") {
        t.beforePost = [](Dataset& d) { titleCaseField(d, "DEPARTMENT"); };
    } else if (n == "paybatch") {
        t.onNewRecord = [](Dataset& d) { d.setDate("BATCHDATE", Today()); };
    } else if (n == "payrf02") {
        t.onNewRecord = [](Dataset& d) {
            std::string ref = nextBankRef(d.database());
            if (!ref.empty()) d.setString("BANKREF", ref);
        };
        t.beforePost = [](Dataset& d) { checkBankRef(static_cast<Table&>(d)); };
    }
}

// ------------------------------------------------------------------ calculated fields

void TdmPayroll::setUpCalculatedFields() {
    // Off days due: brought forward plus this month's less those taken.
    payroll.addCalculatedField({"totaldays", FieldType::SmallInt});
    auto emp = std::make_shared<Fields>();
    payroll.onCalcFields = [emp](Dataset& d) {
        if (emp->at.empty()) emp->resolve(d, {"AccruedDays", "CurrDays", "DaysTaken", "totaldays"});
        long long days = d.asInteger((*emp)[0]) + d.asInteger((*emp)[1]) - d.asInteger((*emp)[2]);
        d.setValue((*emp)[3], Value(days));
    };

    paysys.addCalculatedField({"Faddress", FieldType::Text, 100});
    paysys.onCalcFields = [](Dataset& d) {
        d.setString("Faddress", Trim(d.asString("ADDRESS1")) + "," + Trim(d.asString("ADDRESS2")));
    };

    // The text by which a bank branch is chosen and shown.
    PayBanks.addCalculatedField({"LongName", FieldType::Text, 40});
    PayBanks.onCalcFields = [](Dataset& d) {
        d.setString("LongName", Trim(d.asString("BankAbbr")) + " - " + Trim(d.asString("BRANCH")));
    };

    QryPayroll.addCalculatedField({"Names", FieldType::Text, 100});
    QryPayroll.addCalculatedField({"Nett2", FieldType::Float});
    QryPayroll.addCalculatedField({"CoNSSF", FieldType::Float});
    QryPayroll.onCalcFields = [](Dataset& d) {
        auto text = [&](const char* n) { int i = d.fieldIndex(n); return i < 0 ? std::string() : Trim(d.asString(i)); };
        auto num = [&](const char* n) { return static_cast<long double>(amount(d, d.fieldIndex(n))); };
        d.setString("Names", text("surname") + "," + text("othernames"));
        d.setValue("Nett2", Value(num("nett") + num("PayNoTax") - num("ODCR")));
        // Employee and employer contributions together.
        d.setValue("CoNSSF", Value(num("nssf") * (fmVarGlobal().CountryCode == "K" ? 2 : 3)));
    };

    Birthdays.addCalculatedField({"Age", FieldType::SmallInt});
    Birthdays.onCalcFields = [](Dataset& d) {
        Date born = d.asDate("Birthdate");
        if (!born.isNull()) d.setValue("Age", Value(fmVarGlobal().PeriodYearNumber - born.year));
    };

    // Taxable value of a benefit in kind. Kenya holds benefits in pounds of 20 units: the value
    // is shown in currency, or the prescribed rate (in pounds) when that is the higher.
    EmpBenefits.addCalculatedField({"VActual", FieldType::Float});
    auto ben = std::make_shared<Fields>();
    EmpBenefits.onCalcFields = [ben](Dataset& d) {
        if (ben->at.empty()) ben->resolve(d, {"Factor", "VAMOUNT", "RATE", "VActual"});
        long double f = amount(d, (*ben)[0]);
        long double v = amount(d, (*ben)[1]);
        long double r = amount(d, (*ben)[2]);
        long double x;
        long double actual;
        if (fmVarGlobal().CountryCode == "K") {
            x = f > 0 && v > 0 ? Round(f / 100 * v / 20) : v / 20;
            actual = r * 20 > x * 20 ? r : x * 20;
        } else {
            // The monthly value and the prescribed rate are both in pounds here.
            x = f > 0 && v > 0 ? Round(f / 100 * v / 12 / 20) : v / 20;
            actual = r > x ? r : x;
        }
        d.setValue((*ben)[3], Value(actual));
    };
}

// ------------------------------------------------------------------ batch headers

void TdmPayroll::setUpBatchCancel() {
    PayCBatch.beforeCancel = [this](Dataset& d) {
        if (d.state() != DatasetState::Insert) return;
        Value batch = d.value("BATCH");
        if (batch.isNull()) return;
        auto count = [&](const char* table) {
            db().flushPending(db().tableState(table));
            Stmt s = db().prepare("SELECT count(*) FROM " + quoteIdent(db().storedName(table)) + " WHERE BATCH = ?1");
            s.bind(1, batch);
            s.step();
            return s.columnInt(0);
        };
        if (count("payrf09") == 0) return;
        // Lines under the number of a header that is already stored belong to that batch:
        // cancelling the new header must not take them with it.
        if (count("paybatch") > 0) return;
        if (!ConfirmYes || !ConfirmYes(kCancelBatchQuestion)) throw SilentAbort();
        DeleteItems();
    };
    PayCBatch.afterCancel = [this](Dataset& d) {
        if (PayBatch.active() && PayBatch.editing()) PayBatch.cancel();
        if (d.editing()) d.cancel();
    };
}

void TdmPayroll::DeleteItems() {
    if (!PayBatch.active()) return;
    Transaction t(db());
    PayBatch.refresh();  // the lines of the header as it stands now, also while it is inserted
    PayBatch.first();
    while (!PayBatch.isEmpty()) PayBatch.remove();
    t.commit();
}

}  // namespace zuna
