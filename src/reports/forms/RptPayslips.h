// The payslips: TfmPayslips (two across an A4 page) and TfmPayslips3 (three across, smaller
// print, the month's message, new pages by branch or payment method). Both print the same
// lines from one employee row (master and transaction record) and the pay codes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/Dataset.h"
#include "reports/engine/Report.h"

namespace zuna::report {

struct PayCode {
    int fno = 0;
    std::string name;
};

// What a payslip reads from the system parameters and the global state.
struct PayslipSettings {
    std::string company;
    std::string title;    // "PAYSLIP - January 2009"
    std::string country;  // "K", "U", "T", "R"
    std::string cnssf = "N.S.S.F.";
    std::string clasc = "L.A.S.C.";
    bool bankDetails = true;
    std::string message;  // three-column form only
    bool byPayType = false;  // three-column form: the order starts with the payment method
};

// One printed line of a payslip.
enum class SlipLine : int {
    Company, Title, Rule, Text, TextBold, ColumnHeads, Amount, AmountBold, SmallHead,
    SectionHead, SummaryHeads, Summary, Message
};
struct PayslipLine {
    SlipLine kind = SlipLine::Amount;
    std::string caption, a1, a2, a3;
};

// Reads the payslip columns of the current row of an employee dataset (names in any case).
class PayslipRow {
public:
    explicit PayslipRow(Dataset& ds);
    Dataset& dataset() const { return ds_; }
    double num(int idx) const;  // 0 for a missing column or null
    std::string text(int idx) const;
    int col(const std::string& name) const { return ds_.fieldIndex(name); }

    int empno, empdept, empbrch, payment, othernames, surname, pinno, bankac, bankref;
    int nett, pay, penTax, nssf, paye, lasc, nhif, mpr, pensions, benefit, hallow, rent, odbfwd, odlm, odcr;
    int relcfwd, misc9, round, totearn, totded, mortgage2, insrlf, osource, otax;
    int accruedDays, currDays, daysTaken, ytdPens, ytdPenc, pensionc;
    int e[26], rate[26], d[16], drate[16], l[11], s[11], i[11], ln[11], lbal[11], sbal[11];

private:
    Dataset& ds_;
};

struct BankLookup {
    std::string name, branch;
};

// The lines of one employee's payslip, in printing order.
std::vector<PayslipLine> payslipLines(PayslipRow& row, const std::vector<PayCode>& codes, const PayslipSettings& s,
                                      bool threeColumns, const BankLookup& bank);

// The columns an employee query of the payslips selects: master (alias b) and transaction (a).
std::string payslipColumns();

// Shared form of both layouts.
class PayslipForm {
public:
    PayslipForm(bool threeColumns);
    virtual ~PayslipForm();

    // employees: one row per employee in the payslip order; codes in code order; banks by
    // BANKREF. The dataset stays the caller's and must outlive the report's layout.
    void prepare(Dataset& employees, std::vector<PayCode> codes, PayslipSettings settings,
                 std::vector<std::pair<std::string, BankLookup>> banks);
    Report& report() { return report_; }
    const PayslipSettings& settings() const { return settings_; }
    std::string description;

protected:
    class Source;
    void build();
    bool three_;
    Report report_;
    PayslipSettings settings_;
    std::unique_ptr<Source> source_;
    std::string lastBranch_, lastPayment_;
};

class TfmPayslips : public PayslipForm {
public:
    TfmPayslips();
};

class TfmPayslips3 : public PayslipForm {
public:
    TfmPayslips3();
};

}  // namespace zuna::report
