// The net pay list: every employee (or those of one payment method) with the net pay and a
// line to sign, with branch, department and section totals.
#pragma once

#include <string>

#include "engine/Dataset.h"
#include "reports/engine/Report.h"

namespace zuna::report {

struct NetpaySettings {
    std::string company;
    std::string heading;            // "NET PAY REPORT - January 2009"
    std::string amountField = "Nett";  // "Nett2" with test pay, "PayNoTax" for the test pay report
    bool branch = false, department = false, section = false;  // groups switched on
    bool sortByDepartment = true;
    std::string printedOn;          // "dd/mm/yyyy HH:MM:SS"; now when empty
};

class TfmNetpay {
public:
    TfmNetpay();
    void prepare(Dataset& rows, const NetpaySettings& s);
    Report& report() { return report_; }
    const NetpaySettings& settings() const { return s_; }
    std::string description = "Net pay list for signing, with group and company totals.";

private:
    void build();
    Report report_;
    NetpaySettings s_;
    Dataset* ds_ = nullptr;
    Group *branch_ = nullptr, *dept_ = nullptr, *sect_ = nullptr;
    Sum* sum_ = nullptr;
    int amountIdx_ = -1;
};

}  // namespace zuna::report
