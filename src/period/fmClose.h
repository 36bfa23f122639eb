// Month close: archives the month being closed, carries its results into the year-to-date and
// accumulated totals, rolls loans, savings and interest forward, clears the variable entries,
// advances the pay period and, after the last month of the tax year, starts the new tax year.
// No widgets: the period-end window and `zuna close-month` both call Closemonth.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "data/ZunaData.h"
#include "engine/Date.h"

namespace zuna {

// What one close did.
struct CloseSummary {
    int closedPeriod = 0;  // PERIOD of the month closed
    Date closedStart, closedEnd;
    int newPeriod = 0;
    Date newStart, newEnd;
    bool yearChange = false;            // the tax year ended with this month
    std::vector<std::string> archives;  // tables made: PayMmmyyyy, PayTmmyyyy[, PayP9yyyy]
    int employees = 0;                  // active employees rolled
    int transactionRecords = 0;         // transaction records rolled
};

class TfmCloseLogic {
public:
    // Called before each active employee and each transaction record with the gauge position
    // (0 to 100). The position advances by (100 div active employees) div 2 each time, so with
    // more than 50 employees it stays at 0; it may repeat, and the caller fills the gauge at the end.
    using Gauge = std::function<void(int position)>;

    explicit TfmCloseLogic(TdmPayroll& dm);

    // Closes the current month in one transaction. On any failure (an archive table that exists
    // already, a working table held by another user, a value a field cannot hold, an exception
    // thrown by the gauge) nothing is changed and an EngineError says what failed. Either way the
    // shared tables get back their filters, links and open state.
    void Closemonth(const Gauge& gauge = {});

    const CloseSummary& summary() const { return summary_; }

private:
    void run(const Gauge& gauge);
    TdmPayroll& dm_;
    CloseSummary summary_;
};

// The tax year ends after December in Kenya and after June in the other countries.
bool IsYearEndPeriod(const std::string& country, int period);

}  // namespace zuna
