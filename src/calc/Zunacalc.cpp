#include "calc/Zunacalc.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "app/fmVarGlobal.h"
#include "calc/CalcAnalysis.h"
#include "calc/CalcRules.h"

namespace zuna {

using namespace calc;

namespace {

std::string twoDigits(int n) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

bool dateSet(const Date& d) { return !d.isNull() && d.serial() != 0; }

// Field indexes of a numbered family, slot 1 at [1].
template <size_t N>
void family(Table& t, const char* prefix, std::array<int, N>& out) {
    out[0] = -1;
    for (size_t n = 1; n < N; ++n) out[n] = t.field(prefix + std::to_string(n));
}

}  // namespace

// One run: the values read before the loop, the field indexes, the analysis being gathered.
struct Zunacalc::Run {
    Zunacalc& z;
    TdmPayroll& dm;
    Database& db;
    EmployeeWorkingValues& w;

    // --- run-level values
    Date start, end;
    int periodMonth = 0, periodYear = 0;
    std::string periodText;  // TMONTH of the tax-history row
    char country = 0;
    bool wholeUnits = true;
    int lstSlot = 0;  // loan slot of the Uganda local service tax
    TaxParameters tax;
    NhifTable nhif{};
    LascTable lasc{};
    struct PayCode {
        bool exists = false, taxable = false, lowInterest = false;
        Value intrate;
    };
    std::array<PayCode, 61> codes{};
    struct Benefit {
        bool active = false;
        double rate = 0, vactual = 0;
    };
    std::unordered_map<std::string, std::vector<Benefit>> benefits;
    MonthAnalysis analysis;

    // --- employee master
    struct {
        int EMPNO, EMPBRCH, EMPDEPT, SURNAME, OTHERNAMES, ENGDATE, TERDATE, HOUSED, PAYMENT, ODBFWD, NSFLAG,
            NSFLAG2, NHFLAG, PAFLAG, LAFLAG, UNFLAG, MORTGAGE, VNSSF, RELCFWD, BENEFIT, RENT, PENFLAG, PFSELF, PFCOMP,
            ALTPENS, INSURANCE, TAXADJ, DROUGHT, ODLM, OSOURCE, OTAX, REXEMPT, MORTINT;
        int MPR, HALLOW, ODCR, TOTEARN, TOTDED, NETT, PENSIONS, PENSIONC, MISC9, ROUND, PAY, PEN_TAX, PAYE, NHIF,
            NSSF, LASC, MORTGAGE2;
    } P{};
    // --- transaction record
    struct {
        int CPAY;
        std::array<int, 26> E, RATE;
        std::array<int, 16> D, DRATE;
        std::array<int, 11> LBAL, L, LN, S, I, IRATE;
        int union_ = -1, cotu = -1;  // the deduction slots of union and COTU dues
    } T{};
    // --- tax history: the month's row of each employee is found by its key and written by
    // statements prepared once for the run (the detail view would read the employee's whole year
    // to reach it).
    static constexpr const char* kHistoryFields[] = {
        "PAY", "BASIC", "HALLOWANCE", "ROUND", "RPLUSH", "HOUSING", "BENEFIT", "TAXCH", "PEN_TAX", "PENC", "PENS",
        "MPR", "INSRLF", "UNUSED", "NSSF", "VNSSF", "NHIF", "LASC", "INTEREST", "TAXDED", "CFWD"};
    static constexpr int kHistoryCount = 21;
    std::optional<Stmt> histFind, histUpdate, histInsert;
    bool historyWritten = false;

    // --- coin analysis
    struct {
        int EMPNO, EMPDEPT, EMPNAME, NETT;
        std::array<int, 15> coins;
    } C{};

    Run(Zunacalc& z, TdmPayroll& dm, bool byBranch) : z(z), dm(dm), db(dm.db()), w(z.w_), analysis(byBranch) {}

    // ------------------------------------------------------------ preparation

    void readRunValues() {
        Table& sys = dm.paysys;
        sys.first();
        if (sys.isEmpty()) throw EngineError("The system parameters (paysys) have no record: the payroll cannot be computed");
        start = sys.asDate("SDATE");
        end = sys.asDate("EDATE");
        if (!dateSet(start) || !dateSet(end) || end < start)
            throw EngineError("The pay period of the system parameters (SDATE " + start.dmy() + ", EDATE " + end.dmy() +
                              ") is not a valid period: the payroll cannot be computed");
        periodMonth = end.month;
        periodYear = end.year;
        std::string c = sys.asString("COUNTRY");
        country = c.empty() ? 0 : c[0];
        lstSlot = static_cast<int>(static_cast<std::int16_t>(sys.asInteger("LASCACC") - 40));
        // PERIOD as text, left-trimmed, one character given a leading 0.
        std::string period = sys.isNull("PERIOD") ? std::string() : sys.asString("PERIOD");
        size_t b = period.find_first_not_of(' ');
        period = b == std::string::npos ? std::string() : period.substr(b);
        periodText = period.size() == 1 ? "0" + period : period;
        // The month of the tax year names the tax-history row: nothing may be written under another.
        if (periodText.size() != 2 || periodText < "01" || periodText > "12")
            throw EngineError("The pay month of the tax year (paysys PERIOD '" + period +
                              "') is not 1 to 12: the payroll cannot be computed");
        wholeUnits = fmVarGlobal().RoundToWholeUnits;

        Table& m = dm.payMain;  // the company's country row, as the login filtered it
        if (m.recNo() == 0) m.first();
        if (m.isEmpty())
            throw EngineError("The tax tables (payrf08) have no row for the country '" + std::string(1, country ? country : ' ') +
                              "': the payroll cannot be computed");
        auto f = [&m](const std::string& n) -> long double { return m.asFloat(n); };
        auto i16 = [&m](const std::string& n) { return static_cast<int>(static_cast<std::int16_t>(m.asInteger(n))); };
        tax.NSSF = f("NSSF");
        tax.MAXNSSF = f("MAXNSSF");
        tax.MAXNSSF2 = f("MAXNSSF2");
        tax.RELF1 = f("RELF1");
        tax.RELF2 = f("RELF2");
        tax.RELF3 = f("RELF3");
        tax.PEN_SELF = f("PEN_SELF");
        tax.PEN_COMP = f("PEN_COMP");
        tax.PEN_FIXED = f("PEN_FIXED");
        tax.MAXMORT = f("MAXMORT");
        tax.LOWINT1 = f("LOWINT1");
        tax.LOWINT2 = f("LOWINT2");
        for (int k = 1; k <= 5; ++k) {
            TaxBand& band = tax.bands[static_cast<size_t>(k - 1)];
            band.lower = f("BRACKET_" + std::to_string(k));
            band.upper = f("BRACKET_" + std::to_string(k) + "1");
            band.rate = f("NRATE_" + std::to_string(k));
            band.constant = f("CONST_" + std::to_string(k));
        }
        for (int k = 1; k <= 6; ++k) tax.URATE_[static_cast<size_t>(k - 1)] = f("URATE" + std::to_string(k));
        for (int k = 1; k <= 5; ++k) tax.URANGE_[static_cast<size_t>(k - 1)] = f("URANGE" + std::to_string(k));
        tax.URATE = f("URATE");
        tax.UNIONMAX = f("UNIONMAX");
        tax.UCOTU = f("UCOTU");
        tax.UTYPE = i16("UTYPE");
        tax.TAWUACC = i16("TAWUACC");
        tax.COTUACC = i16("COTUACC");

        Table& nh = dm.paynhif;
        nh.first();
        for (int n = 1; n <= 16; ++n) {
            AmountBand& band = nhif[static_cast<size_t>(n - 1)];
            std::string k = std::to_string(n);
            band.lower = nh.asFloat("Nhif" + k);
            band.upper = nh.asFloat("Nhif0" + k);
            band.amount = nh.asFloat("Nhif_" + k);
        }
        Table& la = dm.paylasc;
        la.first();
        for (int n = 1; n <= 10; ++n) {
            AmountBand& band = lasc[static_cast<size_t>(n - 1)];
            band.lower = la.asFloat("LASC" + std::to_string(n));
            band.upper = la.asFloat("LASC" + std::to_string(10 + n));
            band.amount = la.asFloat("LASC_" + std::to_string(n));
        }

        // Every pay code, whatever the user may see: the tax status of an earning and the rate of a
        // loan do not depend on who runs the computation.
        db.flushPending();
        {
            Stmt s = db.prepare("SELECT FNO, TAXABLE, LOAN_TYPE, INTRATE FROM payrf03 ORDER BY FNO, rowid");
            while (s.step()) {
                if (s.columnIsNull(0)) continue;
                std::int64_t fno = s.columnInt(0);
                if (fno < 1 || fno > 60) continue;
                PayCode& pc = codes[static_cast<size_t>(fno)];
                if (pc.exists) continue;  // the first one counts
                pc.exists = true;
                pc.taxable = !s.columnIsNull(1) && s.columnInt(1) != 0;
                pc.lowInterest = !s.columnIsNull(2) && s.column(2).toString() == "2";
                pc.intrate = s.columnIsNull(3) ? Value() : Value(s.columnDouble(3));
            }
        }
        // Benefits in kind, in the order of the benefits table, with the taxable value it shows.
        {
            Table& b = dm.EmpBenefits;
            const int iEmp = b.field("EMPNO"), iActive = b.field("BActive"), iRate = b.field("RATE");
            const int iActual = b.field("VActual");
            for (b.first(); !b.eof(); b.next()) {
                Value e = b.value(iEmp);
                if (e.isNull()) continue;
                Benefit ben;
                ben.active = b.asBoolean(iActive);
                ben.rate = b.asFloat(iRate);
                ben.vactual = b.asFloat(iActual);
                benefits[e.toString()].push_back(ben);
            }
        }
    }

    void resolveFields() {
        Table& p = dm.payroll;
        P.EMPNO = p.field("EMPNO");
        P.EMPBRCH = p.field("EMPBRCH");
        P.EMPDEPT = p.field("EMPDEPT");
        P.SURNAME = p.field("SURNAME");
        P.OTHERNAMES = p.field("OTHERNAMES");
        P.ENGDATE = p.field("ENGDATE");
        P.TERDATE = p.field("TERDATE");
        P.HOUSED = p.field("HOUSED");
        P.PAYMENT = p.field("PAYMENT");
        P.ODBFWD = p.field("ODBFWD");
        P.NSFLAG = p.field("NSFLAG");
        P.NSFLAG2 = p.field("NSFLAG2");
        P.NHFLAG = p.field("NHFLAG");
        P.PAFLAG = p.field("PAFLAG");
        P.LAFLAG = p.field("LAFLAG");
        P.UNFLAG = p.field("UNFLAG");
        P.MORTGAGE = p.field("MORTGAGE");
        P.VNSSF = p.field("VNSSF");
        P.RELCFWD = p.field("RELCFWD");
        P.BENEFIT = p.field("BENEFIT");
        P.RENT = p.field("RENT");
        P.PENFLAG = p.field("PENFLAG");
        P.PFSELF = p.field("PFSELF");
        P.PFCOMP = p.field("PFCOMP");
        P.ALTPENS = p.field("ALTPENS");
        P.INSURANCE = p.field("INSURANCE");
        P.TAXADJ = p.field("TAXADJ");
        P.DROUGHT = p.field("DROUGHT");
        P.ODLM = p.field("ODLM");
        P.OSOURCE = p.field("OSOURCE");
        P.OTAX = p.field("OTAX");
        P.REXEMPT = p.field("REXEMPT");
        P.MORTINT = p.field("MORTINT");
        P.MPR = p.field("MPR");
        P.HALLOW = p.field("HALLOW");
        P.ODCR = p.field("ODCR");
        P.TOTEARN = p.field("TOTEARN");
        P.TOTDED = p.field("TOTDED");
        P.NETT = p.field("NETT");
        P.PENSIONS = p.field("PENSIONS");
        P.PENSIONC = p.field("PENSIONC");
        P.MISC9 = p.field("MISC9");
        P.ROUND = p.field("ROUND");
        P.PAY = p.field("PAY");
        P.PEN_TAX = p.field("PEN_TAX");
        P.PAYE = p.field("PAYE");
        P.NHIF = p.field("NHIF");
        P.NSSF = p.field("NSSF");
        P.LASC = p.field("LASC");
        P.MORTGAGE2 = p.field("MORTGAGE2");

        Table& t = dm.Transactions;
        T.CPAY = t.field("CPAY");
        family(t, "E", T.E);
        family(t, "RATE", T.RATE);
        family(t, "D", T.D);
        family(t, "DRATE", T.DRATE);
        family(t, "LBAL", T.LBAL);
        family(t, "L", T.L);
        family(t, "LN", T.LN);
        family(t, "S", T.S);
        family(t, "I", T.I);
        family(t, "IRATE", T.IRATE);
        auto deductionSlot = [](int code) { return code - 25 >= 1 && code - 25 <= 15 ? code - 25 : 0; };
        T.union_ = tax.TAWUACC > 0 && deductionSlot(tax.TAWUACC) ? T.D[static_cast<size_t>(deductionSlot(tax.TAWUACC))] : -1;
        T.cotu = tax.COTUACC > 0 && deductionSlot(tax.COTUACC) ? T.D[static_cast<size_t>(deductionSlot(tax.COTUACC))] : -1;

        prepareHistory();
    }

    void prepareHistory() {
        const std::string table = quoteIdent(db.storedName("payrf04"));
        std::string sets, cols, params;
        for (int i = 0; i < kHistoryCount; ++i) {
            const std::string f = quoteIdent(kHistoryFields[i]);
            const std::string n = "?" + std::to_string(i + 1);
            sets += (i ? ", " : "") + f + " = " + n;
            cols += ", " + f;
            params += ", " + n;
        }
        const std::string key = std::to_string(kHistoryCount + 1), month = std::to_string(kHistoryCount + 2);
        histFind.emplace(db.prepare("SELECT rowid FROM " + table + " WHERE EMPNO = ?1 AND TMONTH = ?2 ORDER BY rowid LIMIT 1"));
        histUpdate.emplace(db.prepare("UPDATE " + table + " SET " + sets + " WHERE rowid = ?" + key));
        // A new row has every amount 0 beside the month's figures.
        histInsert.emplace(db.prepare("INSERT INTO " + table + " (EMPNO, TMONTH, DROUGHT, SAVINGS, LOWINT" + cols +
                                      ") VALUES (?" + key + ", ?" + month + ", 0, 0, 0" + params + ")"));
    }

    void writeHistory(const std::string& empno, const std::array<long double, kHistoryCount>& values) {
        if (!historyWritten) {
            db.flushPending(db.tableState("payrf04"));
            historyWritten = true;
        }
        Stmt& find = *histFind;
        find.bind(1, Value(empno));
        find.bind(2, Value(periodText));
        const bool found = find.step();
        const std::int64_t rowid = found ? find.columnInt(0) : 0;
        find.reset();
        Stmt& w = found ? *histUpdate : *histInsert;
        for (int i = 0; i < kHistoryCount; ++i) w.bind(i + 1, Value(static_cast<double>(values[static_cast<size_t>(i)])));
        if (found) {
            w.bind(kHistoryCount + 1, Value(static_cast<long long>(rowid)));
        } else {
            w.bind(kHistoryCount + 1, Value(empno));
            w.bind(kHistoryCount + 2, Value(periodText));
        }
        w.step();
        w.reset();
    }

    // Datasets on the tax history read it again.
    void historyDone() {
        if (historyWritten) db.bump(db.tableState("payrf04"));
        histFind.reset();
        histUpdate.reset();
        histInsert.reset();
    }

    // The coin rows are added through a table of their own in natural order: each insert then
    // only appends to its rows, where the module's ordered view would read them all again.
    std::unique_ptr<Table> coins;

    void resolveCoinFields() {
        coins = std::make_unique<Table>(db, dm.paycoin.tableName());
        coins->open();
        Table& c = *coins;
        C.EMPNO = c.field("EMPNO");
        C.EMPDEPT = c.field("EMPDEPT");
        C.EMPNAME = c.field("EMPNAME");
        C.NETT = c.field("NETT");
        const char* names[15] = {"TWENTYTHAO", "TENTHAO", "FIVETHAO", "THAO", "HUND5", "HUND2", "HUND", "FIFTY",
                                 "TWENT",      "TEN",     "FIVE",     "ONE",  "SUMUNI", "PENNY", "NDURU"};
        for (size_t i = 0; i < 15; ++i) C.coins[i] = c.field(names[i]);
    }

    void emptyAnalysis() {
        Table& a = dm.Payanal;
        while (a.recordCount() > 0) {
            a.first();
            a.remove();
        }
    }

    // The coin table is emptied on its own: closed, opened for exclusive use, emptied, closed and
    // opened again for shared use, also when the emptying fails.
    void emptyCoins() {
        Table& c = dm.paycoin;
        c.close();
        try {
            c.setExclusive(true);
            c.open();
            c.emptyTable();
            c.close();
        } catch (...) {
            reopenCoinsShared(dm);
            throw;
        }
        reopenCoinsShared(dm);
    }

    static void reopenCoinsShared(TdmPayroll& dm) {
        Table& c = dm.paycoin;
        if (c.active() && !c.exclusive()) return;
        if (c.active()) c.close();
        c.setExclusive(false);
        c.open();
        c.database().registerPassword(c.tableName(), Database::kTablePassword);
    }

    // ------------------------------------------------------------ helpers

    Table& pr() { return dm.payroll; }
    Table& tr() { return dm.Transactions; }
    long double num(Table& t, int i) { return t.asFloat(i); }
    bool flag(Table& t, int i) { return t.asBoolean(i); }
    // Whether the employee has a transaction record (one being inserted counts).
    bool haveTransactions() { return tr().editing() || tr().recordCount() > 0; }
    // Edit the transaction record; an employee without one gets it here.
    void editTransactions() {
        if (!tr().editing()) tr().edit();
    }
    void postTransactions() { tr().post(); }
    void setT(int i, long double v) { tr().setFloat(i, static_cast<double>(v)); }
    void setP(int i, long double v) { pr().setFloat(i, static_cast<double>(v)); }
    bool lstSlotValid() const { return lstSlot >= 1 && lstSlot <= 10; }
    void requireLstSlot() {
        if (!lstSlotValid())
            throw EngineError("The local service tax is linked to pay code LASCACC " + std::to_string(lstSlot + 40) +
                              ", which is not a loan code (41 to 50): set \"Link for LST (UG)\" on the setup window");
    }

    // ------------------------------------------------------------ one employee

    void employee() {
        Table& p = pr();
        const std::string empno = p.asString(P.EMPNO);

        // Inputs and reliefs.
        const Date engaged = p.asDate(P.ENGDATE), left = p.asDate(P.TERDATE);
        const bool housed = flag(p, P.HOUSED), nsflag = flag(p, P.NSFLAG), nsflag2 = flag(p, P.NSFLAG2);
        const bool nhflag = flag(p, P.NHFLAG), paflag = flag(p, P.PAFLAG), laflag = flag(p, P.LAFLAG);
        const bool unflag = flag(p, P.UNFLAG), mortgage = flag(p, P.MORTGAGE), penflag = flag(p, P.PENFLAG);
        const bool rexempt = flag(p, P.REXEMPT);
        const long double vnssf = num(p, P.VNSSF), relcfwd = num(p, P.RELCFWD), rent = num(p, P.RENT);
        const long double pfself = num(p, P.PFSELF), pfcomp = num(p, P.PFCOMP), insurance = num(p, P.INSURANCE);
        const long double taxadj = num(p, P.TAXADJ), drought = num(p, P.DROUGHT), odlm = num(p, P.ODLM);
        const long double odbfwd = num(p, P.ODBFWD), osource = num(p, P.OSOURCE), otax = num(p, P.OTAX);
        const long double mortint = num(p, P.MORTINT);
        const int altpens = penflag ? static_cast<int>(p.asInteger(P.ALTPENS)) : 0;
        const int payment = static_cast<int>(p.asInteger(P.PAYMENT));
        const Reliefs reliefs = ReliefsOf(tax, rexempt, insurance);
        w.PersonalRelief = reliefs.personal;
        w.InsuranceRelief = reliefs.insurance;

        // Pro-rated basic pay of joiners and leavers.
        {
            BasicPay bp;
            bp.e1 = num(tr(), T.E[1]);
            bp.cpay = num(tr(), T.CPAY);
            ProRateBasic(start, end, engaged, left, wholeUnits, bp);
            w.DaysWorked = bp.daysWorked;
            if (bp.wroteE1 || bp.wroteCpay) {
                editTransactions();
                if (bp.wroteCpay) setT(T.CPAY, bp.cpay);
                if (bp.wroteE1) setT(T.E[1], bp.e1);
                postTransactions();
            }
        }

        AnalysisRow& row = analysis.rowOf(p.asString(P.EMPBRCH), p.asString(P.EMPDEPT));

        // Earnings.
        if (haveTransactions()) {
            Table& t = tr();
            w.BasicPay = num(t, T.E[1]);
            w.HouseAllowance = num(t, T.E[2]);
            for (int n = 1; n <= 25; ++n) {
                Value e = t.value(T.E[static_cast<size_t>(n)]);
                if (e.isNull()) continue;
                long double amount = e.toDouble();
                w.GrossPay += amount;
                row.add(colE + n - 1, amount);
                row.add(colRATE + n - 1, num(t, T.RATE[static_cast<size_t>(n)]));
                if (codes[static_cast<size_t>(n)].exists && codes[static_cast<size_t>(n)].taxable) w.TaxablePay += amount;
            }
        }

        // Union and COTU dues into their deduction slots.
        if (unflag) {
            UnionDues u = UnionDuesOf(tax, num(tr(), T.E[1]), num(tr(), T.E[2]));
            w.UnionDues = u.union_;
            w.CotuDues = u.cotu;
            editTransactions();
            if (tax.TAWUACC > 0) setT(unionSlot(), w.UnionDues);
            if (tax.COTUACC > 0) setT(cotuSlot(), w.CotuDues);
            postTransactions();
        } else if (tax.TAWUACC > 0) {
            editTransactions();
            setT(unionSlot(), 0);
            if (tax.COTUACC > 0) setT(cotuSlot(), 0);
            postTransactions();
        }

        // Deductions, loans, savings and loan interest.
        if (haveTransactions()) {
            Table& t = tr();
            for (int n = 1; n <= 15; ++n) {
                Value d = t.value(T.D[static_cast<size_t>(n)]);
                if (d.isNull()) continue;
                w.TotalDeductions += d.toDouble();
                row.add(colD + n - 1, d.toDouble());
                row.add(colDRATE + n - 1, num(t, T.DRATE[static_cast<size_t>(n)]));
            }
            // In Uganda in July the service-tax slot starts again from nothing, so that a second
            // run of the month does not find last run's instalments in it.
            if (country == 'U' && periodMonth == 7 && lstSlotValid()) {
                const size_t k = static_cast<size_t>(lstSlot);
                editTransactions();
                setT(T.LBAL[k], 0);
                setT(T.LN[k], 0);
                setT(T.L[k], 0);
                postTransactions();
            }
            for (size_t n = 1; n <= 10; ++n) {
                long double repaid = LoanRepayment(num(t, T.LBAL[n]), num(t, T.LN[n]), num(t, T.L[n]));
                w.TotalDeductions += repaid;
                row.add(colL + static_cast<int>(n) - 1, repaid);
            }
            for (size_t n = 1; n <= 10; ++n) {
                Value s = t.value(T.S[n]);
                if (s.isNull()) continue;
                w.TotalDeductions += s.toDouble();
                row.add(colS + static_cast<int>(n) - 1, s.toDouble());
            }
            editTransactions();
            for (size_t n = 1; n <= 10; ++n) {
                const PayCode& code = codes[n + 40];
                bool lowInterest = false;
                if (code.exists) {
                    lowInterest = code.lowInterest;
                    t.setValue(T.IRATE[n], code.intrate);
                }
                Value rate = t.value(T.IRATE[n]);
                LoanInterest li = LoanInterestOf(tax, num(t, T.LBAL[n]), num(t, T.LN[n]),
                                                  rate.isNull() ? std::nullopt : std::optional<Money>(rate.toDouble()),
                                                  lowInterest, wholeUnits);
                w.LoanInterest = li.interest;
                w.LowInterestBenefit = li.benefit;
                setT(T.I[n], li.interest);
                w.TotalDeductions += li.interest;
                row.add(colI + static_cast<int>(n) - 1, num(t, T.I[n]));
                w.LowInterestTotal += li.benefit;
            }
            postTransactions();
        }

        // Benefits in kind, with the low-interest benefit, into BENEFIT (pounds).
        p.edit();
        {
            const bool kenya = country == 'K';
            double benefit = 0;
            auto it = benefits.find(empno);
            if (it != benefits.end())
                for (const Benefit& b : it->second) {
                    if (!b.active) continue;
                    benefit = static_cast<double>(benefit + BenefitAddition(kenya, b.vactual, b.rate));
                }
            benefit = static_cast<double>(benefit + w.LowInterestTotal / 20);
            p.setFloat(P.BENEFIT, benefit);
            w.Benefit = benefit;
        }

        // Housing (Rwanda's needs its NSSF and NHIF and comes with its stage).
        if (housed) {
            long double h = 0;
            if (country == 'K') h = HousingValueKenya(w.TaxablePay, w.Benefit * 20, drought);
            else if (country == 'U') h = HousingValueUganda(w.TaxablePay, w.Benefit * 20, drought);
            if (country != 'R') w.HousingBenefit = HousingBenefitOf(h);
        }
        if (country != 'R') w.NetHousing = NetHousingOf(w.HousingBenefit, rent);

        // The country's contributions, pension, mortgage relief and tax.
        auto alternativeSaving = [&]() -> std::optional<Money> {
            int slot = AlternativeSchemeSlot(penflag, altpens);
            if (!slot) return std::nullopt;
            return haveTransactions() ? num(tr(), T.S[static_cast<size_t>(slot)]) : 0.0L;
        };
        auto pension = [&](bool withAlternative) {
            Pension pen = PensionOf(tax, penflag, pfself, pfcomp, w.BasicPay,
                                    withAlternative ? alternativeSaving() : std::nullopt);
            w.PensionSelf = pen.self;
            w.PensionCompany = pen.company;
            w.AlternativePension = pen.alternative;
        };
        auto chargeable = [&](bool withOtherSource) {
            ChargeableInputs ci;
            ci.taxablePay = w.TaxablePay;
            ci.otherSource = osource;
            ci.housingBenefit = w.HousingBenefit;
            ci.rent = rent;
            ci.benefitPounds = w.Benefit;
            ci.pensionAllowable = w.PensionAllowable;
            ci.mortgageRelief = w.MortgageRelief;
            ci.liable = paflag;
            w.ChargeablePay = ChargeablePayOf(ci, withOtherSource);
        };
        switch (country) {
            case 'K': {
                Nssf n = NssfKenya(tax, nsflag, w.GrossPay, vnssf);
                VoluntaryNssf(tax, nsflag2, n);
                w.Nssf = n.nssf;
                w.Vnssf = n.vnssf;
                w.MortgageRelief = MortgageReliefOf(tax, mortgage, mortint);
                pension(true);
                w.PensionAllowable = PensionAllowance(tax, w.PensionSelf + w.Nssf + w.AlternativePension);
                if (laflag) w.Lasc = BandAmount(lasc, w.BasicPay);
                if (nhflag) w.Nhif = BandAmount(nhif, w.GrossPay);
                chargeable(true);
                w.BandTax = BandTaxKenya(tax.bands, w.ChargeablePay);
                w.TaxCharged = Round(w.BandTax) - otax;
                break;
            }
            case 'U': {
                Nssf n = NssfUganda(tax, nsflag, w.GrossPay);
                w.Nssf = n.nssf;
                w.Vnssf = n.vnssf;
                w.MortgageRelief = MortgageReliefOf(tax, mortgage, mortint);
                pension(true);
                w.PensionAllowable =
                    PensionAllowance(tax, w.PensionSelf + w.Nssf + w.Vnssf + w.AlternativePension);
                if (nhflag) w.Nhif = BandAmount(nhif, w.BasicPay);
                chargeable(true);
                w.BandTax = BandTaxUganda(tax.bands, w.ChargeablePay, rexempt);
                w.TaxCharged = Round(w.BandTax) - otax;
                if (laflag) {
                    // The local service tax of the year is set in July and collected in four
                    // instalments through its loan slot.
                    long double annual = BandAmount(lasc, w.ChargeablePay - w.TaxCharged);
                    w.LstInstalment = 0;
                    w.Lasc = 0;
                    if (periodMonth == 7) {
                        requireLstSlot();
                        const size_t k = static_cast<size_t>(lstSlot);
                        w.LstAnnual = annual;
                        w.LstInstalment = Round(annual / 4);
                        editTransactions();
                        setT(T.LN[k], w.LstAnnual);
                        setT(T.L[k], w.LstInstalment);
                        postTransactions();
                        Table& t = tr();
                        row.add(colL + static_cast<int>(k) - 1,
                                LoanRepayment(num(t, T.LBAL[k]), num(t, T.LN[k]), num(t, T.L[k])));
                    }
                }
                break;
            }
            case 'R': {
                Nssf n = NssfRwanda(tax, nsflag, w.GrossPay, vnssf);
                VoluntaryNssf(tax, nsflag2, n);
                w.Nssf = n.nssf;
                w.Vnssf = n.vnssf;
                w.MortgageRelief = MortgageReliefOf(tax, mortgage, mortint);
                pension(true);
                w.PensionAllowable = PensionAllowance(tax, w.PensionSelf + w.Nssf + w.AlternativePension);
                if (nhflag) w.Nhif = BandAmount(nhif, w.GrossPay);
                if (housed)
                    w.HousingBenefit = HousingBenefitOf(
                        HousingValueRwanda(w.TaxablePay, w.Benefit * 20, w.Nhif, w.Nssf, w.Lasc, drought));
                w.NetHousing = NetHousingOf(w.HousingBenefit, rent);
                chargeable(true);
                w.BandTax = BandTaxKenya(tax.bands, w.ChargeablePay);
                w.TaxCharged = Round(w.BandTax) - otax;
                if (laflag) w.Lasc = Round((w.GrossPay - w.Nssf - w.TaxCharged) * 0.01L);
                break;
            }
            case 'T': {
                Nssf n = NssfTanzania(tax, nsflag, w.BasicPay);
                w.Nssf = n.nssf;
                w.Vnssf = n.vnssf;
                w.MortgageRelief = MortgageReliefOf(tax, mortgage, mortint);
                pension(false);
                if (laflag) w.Lasc = BandAmount(lasc, w.BasicPay);
                if (nhflag) w.Nhif = BandAmount(nhif, w.BasicPay);
                chargeable(false);
                w.BandTax = BandTaxTanzania(tax.bands, w.ChargeablePay);
                w.TaxCharged = w.BandTax;
                break;
            }
            default: break;
        }

        // The month's row of the tax history.
        const TaxSettlement settled = SettleTax(taxadj, w.TaxCharged, reliefs, relcfwd);
        w.TaxDue = settled.taxDue;
        w.Paye = settled.paye;
        w.Misc9 = settled.misc9;
        writeHistory(empno, {w.TaxablePay, w.BasicPay, w.HouseAllowance, w.ChargeablePay, w.ChargeablePay, w.NetHousing,
                             w.Benefit, w.TaxCharged, w.PensionAllowable, w.PensionCompany, w.PensionSelf,
                             w.PersonalRelief, w.InsuranceRelief, relcfwd, w.Nssf, w.Vnssf, w.Nhif,
                             country == 'U' ? w.LstInstalment : w.Lasc, w.MortgageRelief, settled.taxDeducted,
                             settled.reliefCarried});

        // Results on the employee record, total deductions and net pay.
        setP(P.NSSF, w.Nssf);
        setP(P.VNSSF, w.Vnssf);
        setP(P.NHIF, w.Nhif);
        setP(P.LASC, w.Lasc);
        setP(P.HALLOW, w.NetHousing);
        setP(P.MORTGAGE2, w.MortgageRelief);
        setP(P.TOTEARN, w.GrossPay);
        setP(P.PAY, w.TaxablePay);
        setP(P.ROUND, w.ChargeablePay);
        setP(P.PEN_TAX, w.PensionAllowable);
        setP(P.PAYE, w.Paye);
        setP(P.MISC9, w.Misc9);
        w.TotalDeductions = w.TotalDeductions + w.Nssf + w.Nhif + w.Lasc + odlm + odbfwd + w.Paye + w.PensionSelf +
                            w.LstInstalment;
        const calc::NetPay net = NetPayOf(w.GrossPay, w.TotalDeductions);
        w.NetPay = net.net;
        w.Overdraft = net.overdraft;
        setP(P.TOTDED, w.TotalDeductions);
        setP(P.PENSIONS, w.PensionSelf);
        setP(P.PENSIONC, w.PensionCompany);
        setP(P.NETT, net.nett);
        setP(P.ODCR, net.odcr);
        setP(P.MPR, w.PersonalRelief);
        p.post();

        // Notes and coins of a cash payment.
        if (payment == 1 && w.NetPay > 0) {
            CoinCounts c = CoinsOf(w.NetPay, country == 'U');
            const std::int64_t counts[15] = {c.twentyThousand, c.tenThousand, c.fiveThousand, c.thousand, c.fiveHundred,
                                             c.twoHundred,     c.hundred,     c.fifty,        c.twenty,   c.ten,
                                             c.five,           c.one,         c.halfUnit,     c.tenCents, c.fiveCents};
            for (size_t i = 0; i < 15; ++i) w.Coins[i] = counts[i];
            Table& coin = *coins;
            coin.append();
            coin.setValue(C.EMPNO, Value(empno));
            coin.setValue(C.EMPDEPT, Value(p.asString(P.EMPDEPT)));
            coin.setValue(C.EMPNAME, Value(Trim(p.asString(P.SURNAME)) + "," + Trim(p.asString(P.OTHERNAMES))));
            for (size_t i = 0; i < 15; ++i) coin.setFloat(C.coins[i], static_cast<double>(counts[i]));
            coin.setFloat(C.NETT, static_cast<double>(w.NetPay));
            coin.post();
        }

        // The employee's results into the analysis row, as posted.
        row.add(colPAYE, num(p, P.PAYE));
        row.add(colNSSF, num(p, P.NSSF));
        row.add(colVNSSF, num(p, P.VNSSF));
        row.add(colNHIF, num(p, P.NHIF));
        row.add(colLASC, num(p, P.LASC));
        row.add(colPENSIONS, num(p, P.PENSIONS));
        row.add(colODLM, num(p, P.ODLM) + num(p, P.ODBFWD));
        row.add(colTOTEARN, num(p, P.TOTEARN));
        row.add(colTOTDED, num(p, P.TOTDED));
        row.add(colODCR, num(p, P.ODCR));
        row.add(colNETT, num(p, P.NETT));

        if (z.afterEmployee) z.afterEmployee(empno);
    }

    int unionSlot() {
        if (T.union_ < 0)
            throw EngineError("The union dues code TAWUACC " + std::to_string(tax.TAWUACC) +
                              " is not a deduction code (26 to 40): correct \"Union Code\" on the tax tables");
        return T.union_;
    }
    int cotuSlot() {
        if (T.cotu < 0)
            throw EngineError("The COTU dues code COTUACC " + std::to_string(tax.COTUACC) +
                              " is not a deduction code (26 to 40): correct \"Cotu Code\" on the tax tables");
        return T.cotu;
    }

    // ------------------------------------------------------------ after the loop

    // Leavers keep their pay figures out of the month's tax history: every employee with a
    // leaving date, active or not, of any job group.
    void clearLeaversHistory() {
        db.flushPending();
        std::vector<std::string> leavers;
        {
            Stmt s = db.prepare("SELECT EMPNO, TERDATE FROM payrf01 WHERE TERDATE IS NOT NULL");
            while (s.step()) {
                if (s.columnIsNull(0)) continue;
                Date d = s.column(1).toDate();
                if (dateSet(d)) leavers.push_back(s.column(0).toString());
            }
        }
        if (leavers.empty()) return;
        Stmt u = db.prepare(
            "UPDATE payrf04 SET PAY = 0, ROUND = 0, HOUSING = 0, RPLUSH = 0, BENEFIT = 0, TAXCH = 0, PEN_TAX = 0, "
            "MPR = 0, UNUSED = 0, NSSF = 0, VNSSF = 0, NHIF = 0, LASC = 0, INTEREST = 0, CFWD = 0, TAXDED = 0 "
            "WHERE EMPNO = ?1 AND TMONTH = ?2");
        for (const std::string& e : leavers) {
            u.bind(1, Value(e));
            u.bind(2, Value(periodText));
            u.step();
            u.reset();
        }
        db.bump(db.tableState("payrf04"));
    }

    void comparison() {
        const int month = periodMonth == 1 ? 12 : periodMonth - 1;
        const int year = periodMonth == 1 ? periodYear - 1 : periodYear;
        const std::string mm = twoDigits(month);
        char yy[16];
        std::snprintf(yy, sizeof yy, "%04d", year);
        // The snapshot tables are left as the comparison leaves them: filter text of the month, off.
        const std::string filter = "PayMonth = '" + mm + "' And PayYear = '" + yy + "'";
        for (Table* t : {&dm.paytemp01, &dm.Paytemp00}) {
            t->setFilter(filter);
            t->setFiltered(false);
        }
        analysis.storeComparison(db, dm.PayTanal, mm, yy, start, end);
    }

    void execute(const std::function<void(int)>& gauge) {
        readRunValues();
        resolveFields();
        emptyAnalysis();
        emptyCoins();
        resolveCoinFields();

        Table& p = pr();
        p.first();
        RunGauge g(p.recordCount());
        int shown = -1;
        auto show = [&](int v) {
            if (v != shown && gauge) gauge(v);
            shown = v;
        };
        show(0);
        for (; !p.eof(); p.next()) {
            show(g.row());
            z.Payzero();
            const Date left = p.asDate(P.TERDATE);
            if (dateSet(left) && (left < start || left > end)) {
                ++z.skipped_;
                continue;
            }
            employee();
            ++z.computed_;
        }

        historyDone();
        analysis.store(dm.Payanal);
        clearLeaversHistory();
        g.finish();
        show(100);
        comparison();
        p.first();
    }
};

Zunacalc::Zunacalc(TdmPayroll& dm) : dm_(dm) {}
Zunacalc::~Zunacalc() = default;

void Zunacalc::Payzero() { w_ = EmployeeWorkingValues{}; }

void Zunacalc::Processpay(const std::function<void(int)>& gauge) {
    computed_ = skipped_ = 0;
    Payzero();
    Transaction t(dm_.db());
    try {
        Run run(*this, dm_, fmVarGlobal().BranchAnalysis);
        run.execute(gauge);
        t.commit();
    } catch (...) {
        // Nothing of the run may land: drop the edits in progress, roll back, and leave the coin
        // table open for shared use whatever state the failure left it in.
        for (Table* d : {&dm_.payroll, &dm_.Transactions, &dm_.payhist, &dm_.paycoin, &dm_.Payanal, &dm_.PayTanal}) {
            try {
                if (d->active() && d->editing()) d->cancel();
            } catch (...) {
            }
        }
        t.rollback();
        try {
            Run::reopenCoinsShared(dm_);
        } catch (...) {
        }
        throw;
    }
}

}  // namespace zuna
