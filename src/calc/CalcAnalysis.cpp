#include "calc/CalcAnalysis.h"

#include <algorithm>
#include <tuple>

#include "calc/CalcRules.h"

namespace zuna::calc {

namespace {

std::vector<std::string> buildNames() {
    std::vector<std::string> n;
    auto family = [&n](const char* prefix, int count) {
        for (int i = 1; i <= count; ++i) n.push_back(prefix + std::to_string(i));
    };
    family("E", 25);
    family("D", 15);
    family("L", 10);
    family("S", 10);
    n.push_back("TAXADJ");
    family("I", 10);
    for (const char* f : {"NSSF", "NHIF", "LASC", "ODLM", "ODCR", "PENSIONS", "TOTEARN", "TOTDED", "PAYE", "NETT", "VNSSF"})
        n.push_back(f);
    family("RATE", 25);
    family("DRATE", 15);
    return n;
}

bool keyLess(const AnalysisRow& a, const AnalysisRow& b) {
    return std::tie(a.comp, a.brch, a.dept) < std::tie(b.comp, b.brch, b.dept);
}

struct Columns {
    int comp, brch, dept;
    std::vector<int> cols;
};

// The three codes and the amount columns of an analysis table; prefix "N" for this month's
// columns of paytanal.
Columns resolve(Table& t, int count, const std::string& prefix = {}) {
    Columns c{t.field("EMPCOMP"), t.field("EMPBRCH"), t.field("EMPDEPT"), {}};
    const auto& names = AnalysisColumnNames();
    for (int i = 0; i < count; ++i) c.cols.push_back(t.field(prefix + names[static_cast<size_t>(i)]));
    return c;
}

void setCodes(Table& t, const Columns& c, const AnalysisRow& r) {
    t.setValue(c.comp, Value(r.comp));
    t.setValue(c.brch, Value(r.brch));
    t.setValue(c.dept, Value(r.dept));
}

// Grand total of every amount column over the rows (TAXADJ, which nothing adds to, stays 0).
AnalysisRow grandTotal(const std::vector<AnalysisRow>& rows, int count, bool withTaxAdjustment) {
    std::vector<long double> sum(static_cast<size_t>(count), 0.0L);
    for (const AnalysisRow& r : rows)
        for (int i = 0; i < count; ++i)
            if (withTaxAdjustment || i != colTAXADJ) sum[static_cast<size_t>(i)] += r.v[static_cast<size_t>(i)];
    AnalysisRow total;
    for (int i = 0; i < count; ++i) total.v[static_cast<size_t>(i)] = static_cast<double>(sum[static_cast<size_t>(i)]);
    return total;
}

}  // namespace

const std::vector<std::string>& AnalysisColumnNames() {
    static const std::vector<std::string> names = buildNames();
    return names;
}

AnalysisRow& MonthAnalysis::rowOf(const std::string& branch, const std::string& department) {
    const std::string& key = byBranch_ ? branch : department;
    auto it = index_.find(key);
    if (it != index_.end()) return rows_[it->second];
    AnalysisRow r;
    if (byBranch_) r.brch = branch;
    else r.dept = department;
    index_.emplace(key, rows_.size());
    rows_.push_back(std::move(r));
    return rows_.back();
}

void MonthAnalysis::store(Table& payanal) {
    Columns c = resolve(payanal, kAnalysisColumns);
    auto insert = [&](const AnalysisRow& r) {
        payanal.append();
        setCodes(payanal, c, r);
        for (int i = 0; i < kAnalysisColumns; ++i) payanal.setFloat(c.cols[static_cast<size_t>(i)], r.v[static_cast<size_t>(i)]);
        payanal.post();
    };
    for (const AnalysisRow& r : rows_) insert(r);
    // The table is read in key order for the grand total.
    stored_ = rows_;
    std::sort(stored_.begin(), stored_.end(), keyLess);
    AnalysisRow total = grandTotal(stored_, kAnalysisColumns, false);
    insert(total);
    stored_.push_back(total);
    std::sort(stored_.begin(), stored_.end(), keyLess);
}

void MonthAnalysis::storeComparison(Database& db, Table& paytanal, const std::string& month, const std::string& year,
                                    const Date& start, const Date& end) {
    while (paytanal.recordCount() > 0) {
        paytanal.first();
        paytanal.remove();
    }

    struct Pair {
        AnalysisRow last, now;  // keys in last
    };
    std::vector<Pair> rows;
    std::unordered_map<std::string, size_t> byCode;
    auto rowOfSnapshot = [&](const std::string& branch, const std::string& department) -> AnalysisRow& {
        const std::string& key = byBranch_ ? branch : department;
        auto it = byCode.find(key);
        if (it != byCode.end()) return rows[it->second].last;
        Pair p;
        if (byBranch_) p.last.brch = branch;
        else p.last.dept = department;
        byCode.emplace(key, rows.size());
        rows.push_back(std::move(p));
        return rows.back().last;
    };

    // Last month: each employee snapshot with the transaction snapshot of the same month.
    std::string sql =
        "SELECT t1.EMPBRCH, t1.EMPDEPT, t1.TERDATE, t1.PAYE, t1.NSSF, t1.NHIF, t1.LASC, t1.PENSIONS, t1.ODLM, "
        "t1.ODBFWD, t1.TOTEARN, t1.TOTDED, t1.ODCR, t1.NETT, t0.rowid";
    const char* slots[][2] = {{"E", "25"}, {"D", "15"}, {"S", "10"}, {"I", "10"}, {"LBAL", "10"}, {"LN", "10"}, {"L", "10"}};
    for (auto& s : slots)
        for (int n = 1; n <= std::stoi(s[1]); ++n) sql += ", t0." + std::string(s[0]) + std::to_string(n);
    sql += " FROM paytemp1 t1 LEFT JOIN paytemp0 t0 ON t0.PayMonth = t1.PayMonth AND t0.PayYear = t1.PayYear"
           " AND t0.EMPNO = t1.EMPNO WHERE t1.PayMonth = ?1 AND t1.PayYear = ?2"
           " ORDER BY t1.PayMonth, t1.PayYear, t1.EMPNO, t1.rowid";
    db.flushPending();
    {
        Stmt s = db.prepare(sql);
        s.bind(1, Value(month));
        s.bind(2, Value(year));
        const long before = start.serial() - 1, after = end.serial() - 1;
        auto num = [&s](int col) -> long double { return s.columnIsNull(col) ? 0.0L : s.columnDouble(col); };
        while (s.step()) {
            Value left = s.column(2);
            if (!left.isNull()) {
                Date t = left.toDate();
                if (!t.isNull() && t.serial() != 0 && (t.serial() < before || t.serial() > after)) continue;
            }
            AnalysisRow& r = rowOfSnapshot(s.column(0).toString(), s.column(1).toString());
            if (!s.columnIsNull(14)) {
                int col = 15;
                auto addSlots = [&](int first, int count) {
                    for (int n = 0; n < count; ++n, ++col)
                        if (!s.columnIsNull(col)) r.add(first + n, s.columnDouble(col));
                };
                addSlots(colE, 25);
                addSlots(colD, 15);
                addSlots(colS, 10);
                addSlots(colI, 10);
                const int lbal = col, ln = col + 10, l = col + 20;
                for (int n = 0; n < 10; ++n) r.add(colL + n, LoanRepayment(num(lbal + n), num(ln + n), num(l + n)));
            }
            r.add(colPAYE, num(3));
            r.add(colNSSF, num(4));
            r.add(colNHIF, num(5));
            r.add(colLASC, num(6));
            r.add(colPENSIONS, num(7));
            r.add(colODLM, num(8) + num(9));
            r.add(colTOTEARN, num(10));
            r.add(colTOTDED, num(11));
            r.add(colODCR, num(12));
            r.add(colNETT, num(13));
        }
    }
    // Last month's grand total over the rows, in the table's key order.
    {
        std::vector<AnalysisRow> lastRows;
        for (const Pair& p : rows) lastRows.push_back(p.last);
        std::sort(lastRows.begin(), lastRows.end(), keyLess);
        Pair total;
        total.last = grandTotal(lastRows, kComparisonColumns, true);
        rows.push_back(std::move(total));
    }
    // This month beside it: every payanal row, the grand total included.
    for (const AnalysisRow& a : stored_) {
        Pair* target = nullptr;
        for (Pair& p : rows)
            if (p.last.brch == a.brch && p.last.dept == a.dept) {
                target = &p;
                break;
            }
        if (!target) {
            Pair p;
            p.last.comp = a.comp;
            p.last.brch = a.brch;
            p.last.dept = a.dept;
            rows.push_back(std::move(p));
            target = &rows.back();
        }
        for (int i = 0; i < kComparisonColumns; ++i)
            if (i != colTAXADJ) target->now.v[static_cast<size_t>(i)] = a.v[static_cast<size_t>(i)];
    }

    Columns lastCols = resolve(paytanal, kComparisonColumns);
    Columns nowCols = resolve(paytanal, kComparisonColumns, "N");
    for (const Pair& p : rows) {
        paytanal.append();
        setCodes(paytanal, lastCols, p.last);
        for (int i = 0; i < kComparisonColumns; ++i) {
            paytanal.setFloat(lastCols.cols[static_cast<size_t>(i)], p.last.v[static_cast<size_t>(i)]);
            paytanal.setFloat(nowCols.cols[static_cast<size_t>(i)], p.now.v[static_cast<size_t>(i)]);
        }
        paytanal.post();
    }
}

}  // namespace zuna::calc
