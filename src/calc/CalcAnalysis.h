// The analysis tables the computation rebuilds on every run: payanal, the month's totals per
// department (or per branch) with a grand-total row, and paytanal, last month's totals from the
// month-close snapshots beside this month's.
//
// The rows are gathered in memory while the employees are computed and stored once after the
// loop; each addition is stored as a double, as a field would hold it.
#pragma once

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/Dataset.h"

namespace zuna::calc {

// Positions of the amount columns of payanal, in record order after the three codes.
enum AnalysisColumn : int {
    colE = 0,        // E1..E25
    colD = 25,       // D1..D15
    colL = 40,       // L1..L10
    colS = 50,       // S1..S10
    colTAXADJ = 60,
    colI = 61,       // I1..I10
    colNSSF = 71,
    colNHIF,
    colLASC,
    colODLM,
    colODCR,
    colPENSIONS,
    colTOTEARN,
    colTOTDED,
    colPAYE,
    colNETT,         // 80: paytanal pairs the columns up to here
    colVNSSF = 81,
    colRATE = 82,    // RATE1..RATE25
    colDRATE = 107,  // DRATE1..DRATE15
    kAnalysisColumns = 122,
    kComparisonColumns = 81,
};

// Names of the amount columns, in the order above.
const std::vector<std::string>& AnalysisColumnNames();

constexpr const char* kTotalCompany = "XXXX";
constexpr const char* kTotalCode = "XXX";

struct AnalysisRow {
    std::string comp = kTotalCompany, brch = kTotalCode, dept = kTotalCode;
    std::array<double, kAnalysisColumns> v{};
    void add(int column, long double amount) {
        v[static_cast<size_t>(column)] = static_cast<double>(v[static_cast<size_t>(column)] + amount);
    }
};

class MonthAnalysis {
public:
    explicit MonthAnalysis(bool byBranch) : byBranch_(byBranch) {}

    // The row of an employee's department ("XXXX", "XXX", department) or, analysing by branch,
    // of the branch ("XXXX", branch, "XXX"); created with every amount 0 when it is new.
    AnalysisRow& rowOf(const std::string& branch, const std::string& department);

    // The rows and then the grand total ("XXXX", "XXX", "XXX") into payanal (emptied beforehand).
    void store(Table& payanal);

    // paytanal: every row deleted, then last month's totals (month and year of the snapshots)
    // per department or branch from paytemp1/paytemp0, their grand total, and this month's
    // rows of payanal beside them. A snapshot of an employee who left before start - 1 or after
    // end - 1 (the current period) is not counted.
    void storeComparison(Database& db, Table& paytanal, const std::string& month, const std::string& year,
                         const Date& start, const Date& end);

    const std::vector<AnalysisRow>& rows() const { return rows_; }

private:
    bool byBranch_;
    std::vector<AnalysisRow> rows_;
    std::unordered_map<std::string, size_t> index_;
    std::vector<AnalysisRow> stored_;  // as in payanal, in key order, the grand total included
};

}  // namespace zuna::calc
