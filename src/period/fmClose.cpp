// Month close.
//
// The whole close is one transaction: it lands whole or not at all, so a close that fails on
// the way (an archive that exists already, a working table held by another user) can simply be
// run again once the cause is mended.
//
// Cost: the archives and the monthly snapshots are set-based copies; the employee master and
// the transaction records are walked once each and every changed row is written once (the
// year change's clearing of the employee totals is folded into the same walk, and the clearing
// of the tax history is one UPDATE, since that table has no posting rules).
#include "period/fmClose.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>

#include "app/fmVarGlobal.h"

namespace zuna {

namespace {

// The employees the close rolls, archives and snapshots: the active ones, whatever narrower
// filter the user's job group or an earlier window left on the employee table. This reads as the
// filter "Estatus = 'A'" does: the status without trailing blanks is "A", exactly.
constexpr const char* kActiveEmployees = "rtrim(\"ESTATUS\") = 'A'";

// The amounts of a tax history row that the year change clears (the same that a new row starts at 0).
constexpr std::array<const char*, 16> kTaxYearAmounts = {"PAY",   "ROUND", "PEN_TAX", "BENEFIT", "HOUSING", "RPLUSH",
                                                         "TAXCH", "MPR",   "UNUSED",  "CFWD",    "TAXDED",  "NSSF",
                                                         "NHIF",  "LASC",  "DROUGHT", "INTEREST"};

std::string twoDigits(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

std::string fourDigits(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%04d", n);
    return b;
}

void ensureOpen(Table& t) {
    if (!t.active()) t.open();
}

// The views of the shared tables that the close changes for its own walk (filter switch, index,
// master link, open state), put back when it ends.
class SharedViews {
public:
    explicit SharedViews(TdmPayroll& dm) : dm_(dm) {
        for (Table* t : {&dm.payroll, &dm.Transactions, &dm.EmpBenefits, &dm.paysys}) {
            Saved s;
            s.table = t;
            s.wasActive = t->active();
            s.filtered = t->filtered();
            s.indexName = t->indexName();
            s.indexFields = t->indexFieldNames();
            saved_.push_back(std::move(s));
        }
        transactionsLinked_ = dm.Transactions.master() == &dm.payroll;
    }

    // After a failure: edits left half-done by the failed step are dropped, never posted later.
    void cancelEdits() {
        for (auto& s : saved_) {
            try {
                if (s.table->active() && s.table->editing()) s.table->cancel();
            } catch (...) {
            }
        }
    }

    // Throws the first error met, after trying every table.
    void restore() {
        std::optional<EngineError> first;
        auto attempt = [&](const std::function<void()>& f) {
            try {
                f();
            } catch (const EngineError& e) {
                if (!first) first = e;
            }
        };
        for (auto& s : saved_) {
            Table& t = *s.table;
            attempt([&] {
                if (t.active() && t.editing()) t.post();
                if (t.indexName() != s.indexName || t.indexFieldNames() != s.indexFields) {
                    if (!s.indexName.empty() || s.indexFields.empty()) {
                        t.setIndexName(s.indexName);
                    } else {
                        std::string names;
                        for (const auto& f : s.indexFields) names += (names.empty() ? "" : ";") + f;
                        t.setIndexFields(names);
                    }
                }
                t.setFiltered(s.filtered);
            });
        }
        attempt([&] {
            if (transactionsLinked_ && dm_.Transactions.master() != &dm_.payroll)
                dm_.Transactions.setMaster(&dm_.payroll, "EMPNO", "EMPNO");
        });
        for (auto& s : saved_) {
            attempt([&] {
                if (!s.wasActive && s.table->active()) s.table->close();
            });
        }
        if (first) throw *first;
    }

private:
    struct Saved {
        Table* table = nullptr;
        bool wasActive = false;
        bool filtered = false;
        std::string indexName;
        std::vector<std::string> indexFields;
    };
    TdmPayroll& dm_;
    std::vector<Saved> saved_;
    bool transactionsLinked_ = false;
};

// The data module holds its tables open for shared use, which keeps anyone, this program
// included, from opening them exclusively. This closes the module's datasets on some tables and
// opens them again afterwards, whatever happens.
class ModuleTablesClosed {
public:
    explicit ModuleTablesClosed(std::vector<Table*> tables) {
        for (Table* t : tables) {
            if (!t->active()) continue;
            t->close();
            closed_.push_back(t);
        }
    }
    ~ModuleTablesClosed() {
        try {
            reopen();
        } catch (...) {
        }
    }
    void reopen() {
        while (!closed_.empty()) {
            Table* t = closed_.front();
            t->open();
            closed_.erase(closed_.begin());
        }
    }

private:
    std::vector<Table*> closed_;
};

// Opens a table exclusively for one piece of work; fails at once while anyone else holds it.
void withExclusiveUse(Database& db, const std::string& table, const std::function<void(Table&)>& work) {
    Table t(db, table);
    t.setExclusive(true);
    t.open();
    if (work) work(t);
    t.close();
}

// A new table of the stored shape of source holding its rows that match where, in key order.
void copyRows(Database& db, const std::string& source, const std::string& copy, const std::string& where) {
    TableDef def = db.schema(source);
    const std::string from = def.name;
    def.name = copy;
    db.createTable(def);
    std::string cols;
    for (const FieldDef& f : def.fields) cols += (cols.empty() ? "" : ", ") + quoteIdent(f.name);
    db.exec("INSERT INTO " + quoteIdent(copy) + " (" + cols + ") SELECT " + cols + " FROM " + quoteIdent(from) +
            " WHERE " + where + " ORDER BY \"EMPNO\", rowid");
    db.bump(db.tableState(copy));
}

// Appends to a snapshot table one row per row of source: the two fields from periodField on take
// the month and the year, every other field the source field of the same name (none: null).
void appendSnapshot(Database& db, const std::string& snapshot, const std::string& source, size_t periodField,
                    const std::string& mm, const std::string& yyyy) {
    const TableDef to = db.schema(snapshot);
    const TableDef from = db.schema(source);
    std::string cols, picks;
    for (size_t i = 0; i < to.fields.size(); ++i) {
        const std::string& name = to.fields[i].name;
        std::string pick;
        if (i == periodField) {
            pick = "?1";
        } else if (i == periodField + 1) {
            pick = "?2";
        } else if (const FieldDef* f = from.field(name)) {
            pick = quoteIdent(f->name);
        } else {
            continue;
        }
        cols += (cols.empty() ? "" : ", ") + quoteIdent(name);
        picks += (picks.empty() ? "" : ", ") + pick;
    }
    db.flushPending();
    Stmt s = db.prepare("INSERT INTO " + quoteIdent(to.name) + " (" + cols + ") SELECT " + picks + " FROM " +
                        quoteIdent(from.name) + " ORDER BY rowid");
    s.bind(1, Value(mm));
    s.bind(2, Value(yyyy));
    try {
        s.step();
    } catch (const EngineError& e) {
        throw EngineError("The snapshot of " + mm + "/" + yyyy + " cannot be added to " + to.name + ": " + e.what());
    }
    db.bump(db.tableState(to.name));
}

// The period-end window's gauge: advances before each active employee and each transaction record.
class GaugeSteps {
public:
    GaugeSteps(const TfmCloseLogic::Gauge& g, int activeEmployees)
        : gauge_(g), step_(activeEmployees > 0 ? (100 / activeEmployees) / 2 : 100) {}
    void advance() {
        position_ += step_;
        if (gauge_) gauge_(std::min(position_, 100));
    }

private:
    const TfmCloseLogic::Gauge& gauge_;
    int step_;
    int position_ = 0;
};

}  // namespace

bool IsYearEndPeriod(const std::string& country, int period) { return period == (country == "K" ? 12 : 6); }

TfmCloseLogic::TfmCloseLogic(TdmPayroll& dm) : dm_(dm) {}

void TfmCloseLogic::Closemonth(const Gauge& gauge) {
    summary_ = CloseSummary{};
    // Edits left open on the tables the close walks are posted now, as moving off them would,
    // so that a close that fails does not take them with it.
    for (Table* t : {&dm_.payroll, &dm_.Transactions, &dm_.EmpBenefits, &dm_.paysys})
        if (t->active() && t->editing()) t->post();

    SharedViews views(dm_);
    try {
        Transaction work(dm_.db());
        run(gauge);
        work.commit();
    } catch (const EngineError& e) {
        views.cancelEdits();
        try {
            views.restore();
        } catch (...) {
        }
        std::string month = summary_.closedEnd.isNull() ? std::string("the month") : MonthYearText(summary_.closedEnd);
        throw EngineError("The period end of " + month + " failed and nothing was changed: " + e.what());
    } catch (...) {
        views.cancelEdits();
        try {
            views.restore();
        } catch (...) {
        }
        throw;
    }
    try {
        views.restore();
    } catch (const EngineError& e) {
        throw EngineError(
            "The period end of " + MonthYearText(summary_.closedEnd) +
            " is done, but a table could not be set back for further work (restart the program): " + e.what());
    }
    DerivePeriod(fmVarGlobal(), summary_.newEnd);
}

void TfmCloseLogic::run(const Gauge& gauge) {
    Database& db = dm_.db();

    // The period being closed.
    Table& sys = dm_.paysys;
    ensureOpen(sys);
    sys.first();
    if (sys.eof()) throw EngineError("There is no system parameters record (paysys)");
    const Date sdate = sys.asDate("SDATE");
    const Date edate = sys.asDate("EDATE");
    const long long period = sys.asInteger("PERIOD");
    const std::string countryField = sys.asString("COUNTRY");
    const std::string country = countryField.empty() ? std::string() : countryField.substr(0, 1);
    if (edate.isNull() || !edate.valid())
        throw EngineError("The period end date (EDATE) of the system parameters is not set");
    if (period < 1 || period > 12)
        throw EngineError("The period number (PERIOD) of the system parameters must be 1 to 12, not " +
                          std::to_string(period));
    const std::string mm = twoDigits(edate.month);
    const std::string yyyy = fourDigits(edate.year);
    const bool yearEnd = IsYearEndPeriod(country, static_cast<int>(period));
    summary_.closedPeriod = static_cast<int>(period);
    summary_.closedStart = sdate;
    summary_.closedEnd = edate;
    summary_.yearChange = yearEnd;

    // Nobody else may hold the snapshot tables while this month's rows go in.
    {
        ModuleTablesClosed closed({&dm_.Paytemp00, &dm_.paytemp01});
        withExclusiveUse(db, "paytemp0", {});
        withExclusiveUse(db, "paytemp1", {});
        closed.reopen();
    }

    // The transaction records of every employee, not only the current one.
    Table& trans = dm_.Transactions;
    ensureOpen(trans);
    trans.clearMaster();
    trans.setFiltered(false);

    // Archives of the month: the active employees and every transaction record.
    const std::string employeeArchive = "PayM" + mm + yyyy;
    const std::string transactionArchive = "PayT" + mm + yyyy;
    std::unordered_set<std::int64_t> activeRows;
    {
        db.flushPending();
        Stmt q = db.prepare("SELECT rowid FROM " + quoteIdent(db.storedName("payrf01")) + " WHERE " + kActiveEmployees);
        while (q.step()) activeRows.insert(q.columnInt(0));
    }
    const int activeCount = static_cast<int>(activeRows.size());
    copyRows(db, "payrf01", employeeArchive, kActiveEmployees);
    db.copyTable("payrf00", transactionArchive);
    summary_.archives = {employeeArchive, transactionArchive};

    // Snapshots of the month, from the archives just made (the same rows, before any roll).
    appendSnapshot(db, "paytemp1", employeeArchive, 0, mm, yyyy);
    appendSnapshot(db, "paytemp0", transactionArchive, 0, mm, yyyy);
    appendSnapshot(db, "payy2005", transactionArchive, 1, mm, yyyy);

    // Which earnings and deductions stand: flag 1 for a code whose RECUR is false, 0 for a code
    // that changes monthly and for a slot without a code. Read past the user's pay-code filter.
    std::array<int, 41> standing{};
    {
        Table codes(db, "payrf03");
        codes.setIndexName("PRIMARY");
        codes.open();
        const int iFno = codes.field("FNO"), iRecur = codes.field("RECUR");
        for (codes.first(); !codes.eof(); codes.next()) {
            const long long fno = codes.asInteger(iFno);
            if (fno > 40) break;
            if (fno >= 1) standing[static_cast<size_t>(fno)] = codes.asBoolean(iRecur) ? 0 : 1;
        }
    }

    GaugeSteps steps(gauge, activeCount);

    // Employees: the month's results into the totals, the relief carried forward, the month
    // cleared, off-days, the status of leavers; and at the year change the year's totals cleared
    // for every employee.
    Table& emp = dm_.payroll;
    ensureOpen(emp);
    // Walked whole and in key order: a leaver who turns "D" must not drop out of the walk and
    // take the next employee with him.
    emp.setFiltered(false);
    if (emp.indexName() != "PRIMARY") emp.setIndexName("PRIMARY");

    const int eEmpno = emp.field("EMPNO"), eStatus = emp.field("ESTATUS"), eTerdate = emp.field("TERDATE");
    const int eOdlm = emp.field("ODLM"), eOdcr = emp.field("ODCR");
    const int eNett = emp.field("NETT"), ePaye = emp.field("PAYE"), eNssf = emp.field("NSSF"),
              eNhif = emp.field("NHIF"), eLasc = emp.field("LASC"), ePenc = emp.field("PENSIONC"),
              ePens = emp.field("PENSIONS");
    const int eYtdEarn = emp.field("YTD_EARN"), eYtdGross = emp.field("YTD_GROSS"), eYtdPaye = emp.field("YTD_PAYE"),
              eYtdNssf = emp.field("YTD_NSSF"), eYtdNhif = emp.field("YTD_NHIF"), eYtdLasc = emp.field("YTD_LASC"),
              eYtdPenc = emp.field("YTD_PENC"), eYtdPens = emp.field("YTD_PENS");
    const int eAccEarn = emp.field("ACC_EARN"), eAccGross = emp.field("ACC_GROSS"), eAccPenc = emp.field("ACC_PENC"),
              eAccPens = emp.field("ACC_PENS");
    const int eRelcfwd = emp.field("RELCFWD"), eMisc9 = emp.field("MISC9");
    const int eTotearn = emp.field("TOTEARN"), eOdbfwd = emp.field("ODBFWD"), eTotded = emp.field("TOTDED"),
              eTaxadj = emp.field("TAXADJ");
    const int eAccrued = emp.field("AccruedDays"), eCurr = emp.field("CurrDays"), eTaken = emp.field("DaysTaken");
    const std::array<int, 10> monthResults = {eTotearn, eOdbfwd, eTotded, eNett,  ePaye,
                                              eNssf,    eNhif,   eLasc,   eMisc9, eTaxadj};
    const std::array<int, 7> yearTotals = {eRelcfwd, eYtdEarn, eYtdGross, eYtdPaye, eYtdNssf, eYtdNhif, eYtdLasc};

    std::unordered_set<std::string> stillActive;  // active after the close: their benefits count
    for (emp.first(); !emp.eof(); emp.next()) {
        const bool active = activeRows.count(emp.rowid()) > 0;
        if (!active && !yearEnd) continue;
        if (active) steps.advance();
        auto amount = [&emp](int i) -> long double { return emp.asFloat(i); };
        auto put = [&emp](int i, long double v) { emp.setValue(i, Value(static_cast<double>(v))); };
        emp.edit();
        if (active) {
            const long double nett = amount(eNett), paye = amount(ePaye);
            const long double pensionc = amount(ePenc), pensions = amount(ePens);
            put(eOdlm, amount(eOdcr));
            put(eYtdEarn, amount(eYtdEarn) + nett);
            put(eYtdGross, amount(eYtdGross) + nett);
            put(eYtdPaye, amount(eYtdPaye) + paye);
            put(eYtdNssf, amount(eYtdNssf) + amount(eNssf));
            put(eYtdNhif, amount(eYtdNhif) + amount(eNhif));
            put(eYtdLasc, amount(eYtdLasc) + amount(eLasc));
            put(eYtdPenc, amount(eYtdPenc) + pensionc);
            put(eYtdPens, amount(eYtdPens) + pensions);
            put(eAccEarn, amount(eAccEarn) + nett);
            put(eAccGross, amount(eAccGross) + nett);
            put(eAccPenc, amount(eAccPenc) + pensionc);
            put(eAccPens, amount(eAccPens) + pensions);
            // Relief carried forward: used up by a month with tax, else grown by the month's unused relief.
            if (paye > 0) {
                put(eRelcfwd, 0);
                put(eMisc9, 0);
            } else {
                put(eRelcfwd, amount(eRelcfwd) + amount(eMisc9));
            }
            for (int i : monthResults) put(i, 0);
            const long long days = emp.asInteger(eAccrued) + emp.asInteger(eCurr) - emp.asInteger(eTaken);
            emp.setValue(eAccrued, Value(days));
            emp.setValue(eCurr, Value(0));
            emp.setValue(eTaken, Value(0));
            // A leaver turns "D" once the period he left in is behind: left before this period began.
            const Date left = emp.asDate(eTerdate);
            const bool departed = !left.isNull() && !sdate.isNull() && left < sdate;
            emp.setValue(eStatus, Value(departed ? "D" : "A"));
            if (!departed) stillActive.insert(emp.asString(eEmpno));
            ++summary_.employees;
        }
        if (yearEnd)
            for (int i : yearTotals) put(i, 0);
        emp.post();
    }

    // Transaction records of every employee: variable entries cleared, savings, interest and loans rolled.
    {
        std::array<int, 26> eAmt{}, eQty{};
        std::array<int, 16> dAmt{}, dQty{};
        for (int n = 1; n <= 25; ++n) {
            eAmt[static_cast<size_t>(n)] = trans.field("E" + std::to_string(n));
            eQty[static_cast<size_t>(n)] = trans.field("RATE" + std::to_string(n));
        }
        for (int n = 1; n <= 15; ++n) {
            dAmt[static_cast<size_t>(n)] = trans.field("D" + std::to_string(n));
            dQty[static_cast<size_t>(n)] = trans.field("DRATE" + std::to_string(n));
        }
        struct Slot {
            int s, sper, sbal, i, ibal, l, ln, lbal, lper;
        };
        std::array<Slot, 11> slot{};
        for (int n = 1; n <= 10; ++n) {
            const std::string k = std::to_string(n);
            slot[static_cast<size_t>(n)] =
                Slot{trans.field("S" + k),  trans.field("SPER" + k), trans.field("SBAL" + k),
                     trans.field("I" + k),  trans.field("IBAL" + k), trans.field("L" + k),
                     trans.field("LN" + k), trans.field("LBAL" + k), trans.field("LPER" + k)};
        }
        auto amount = [&trans](int i) -> long double { return trans.asFloat(i); };
        auto put = [&trans](int i, long double v) { trans.setValue(i, Value(static_cast<double>(v))); };
        auto keep = [&trans](int i) { trans.setValue(i, trans.value(i)); };  // same fields written on every row
        for (trans.first(); !trans.eof(); trans.next()) {
            steps.advance();
            trans.edit();
            for (int n = 1; n <= 25; ++n) {
                if (standing[static_cast<size_t>(n)]) continue;
                put(eAmt[static_cast<size_t>(n)], 0);
                put(eQty[static_cast<size_t>(n)], 0);
            }
            for (int n = 1; n <= 15; ++n) {
                if (standing[static_cast<size_t>(25 + n)]) continue;
                put(dAmt[static_cast<size_t>(n)], 0);
                put(dQty[static_cast<size_t>(n)], 0);
            }
            for (int n = 1; n <= 10; ++n) {
                const Slot& k = slot[static_cast<size_t>(n)];
                // Savings: the month's contribution joins the balance and stays for next month.
                const long double saved = amount(k.s);
                if (saved > 0) {
                    put(k.sbal, amount(k.sbal) + saved);
                    trans.setValue(k.sper, Value(trans.asInteger(k.sper) + 1));
                } else {
                    keep(k.sbal);
                    keep(k.sper);
                }
                // Interest charged this month joins the interest to date.
                const long double interest = amount(k.i);
                if (interest > 0) {
                    put(k.ibal, amount(k.ibal) + interest);
                    put(k.i, 0);
                } else {
                    keep(k.ibal);
                    keep(k.i);
                }
                // Loan: the new advance joins the balance and the repayment comes off it.
                const long double owed = amount(k.lbal) + amount(k.ln), repaid = amount(k.l);
                if (owed > repaid) {
                    put(k.lbal, owed - repaid);
                    trans.setValue(k.lper, Value(trans.asInteger(k.lper) - 1));
                    keep(k.l);
                } else {
                    put(k.lbal, 0);
                    put(k.l, 0);
                    trans.setValue(k.lper, Value(0));
                }
                put(k.ln, 0);
            }
            trans.post();
            ++summary_.transactionRecords;
        }
    }

    // Benefits of the employees still active: one more month and the month's taxable value;
    // at the year change the year's value moves to the past years' and the counters start again.
    {
        Table& ben = dm_.EmpBenefits;
        ensureOpen(ben);
        ben.setFiltered(false);
        const int bEmpno = ben.field("EMPNO"), bActive = ben.field("BActive"), bRate = ben.field("RATE"),
                  bCounter = ben.field("COUNTER"), bYtd = ben.field("YTDAMOUNT"), bAccr = ben.field("ACCRAMOUNT");
        const int bTaxable = ben.field("VActual");  // the month's taxable value, calculated by the data module
        for (ben.first(); !ben.eof(); ben.next()) {
            const bool counts = ben.asBoolean(bActive) && stillActive.count(ben.asString(bEmpno)) > 0;
            if (!counts && !yearEnd) continue;
            const long double rate = ben.asFloat(bRate);
            const long double taxable = ben.asFloat(bTaxable);
            long double ytd = ben.asFloat(bYtd);
            long long counter = ben.asInteger(bCounter);
            ben.edit();
            if (counts) {
                ++counter;
                if (country == "K")
                    ytd += rate * 20 > Round(taxable) ? rate * 20 : taxable;
                else
                    ytd += Round(taxable) >= rate ? Round(taxable) : rate;
            }
            if (yearEnd) {
                ben.setValue(bAccr, Value(static_cast<double>(static_cast<long double>(ben.asFloat(bAccr)) + ytd)));
                counter = 0;
                ytd = 0;
            }
            ben.setValue(bCounter, Value(counter));
            ben.setValue(bYtd, Value(static_cast<double>(ytd)));
            ben.post();
        }
    }

    // Year change: the tax deduction cards of the year are archived and the year's amounts cleared.
    if (yearEnd) {
        const std::string cards = "PayP9" + yyyy;
        db.copyTable("payrf04", cards);
        summary_.archives.push_back(cards);
        std::string sets;
        for (const char* f : kTaxYearAmounts) sets += (sets.empty() ? "" : ", ") + quoteIdent(f) + " = 0";
        db.exec("UPDATE " + quoteIdent(db.storedName("payrf04")) + " SET " + sets);
        db.bump(db.tableState("payrf04"));
    }

    // The next period.
    const int nextPeriod = period == 12 ? 1 : static_cast<int>(period) + 1;
    const Date nextStart = edate.addDays(1);
    const Date nextEnd(nextStart.year, nextPeriod, daysInMonth(nextStart.year, nextPeriod));
    sys.first();
    sys.edit();
    sys.setInteger("PERIOD", nextPeriod);
    sys.setDate("SDATE", nextStart);
    sys.setDate("EDATE", nextEnd);
    sys.post();
    summary_.newPeriod = nextPeriod;
    summary_.newStart = nextStart;
    summary_.newEnd = nextEnd;

    // The month's working tables: coin analysis, batch headers and batch lines.
    {
        ModuleTablesClosed closed({&dm_.PayCBatch, &dm_.PayBatch, &dm_.paycoin});
        for (const char* t : {"payrf05", "paybatch", "payrf09"})
            withExclusiveUse(db, t, [](Table& x) { x.emptyTable(); });
        closed.reopen();
    }
}

}  // namespace zuna
