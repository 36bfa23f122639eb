// The monthly computation run: for every employee of the payroll view (as the user rules left
// the employee table), in table order, pro-rated basic pay, earnings, union dues, deductions,
// loans, savings and interest, benefits, housing, the country's NSSF, NHIF, LASC, pension,
// mortgage relief and PAYE, the tax-history row of the month, the results on the employee
// record, net pay and the coin split of cash pay; then the analysis tables. No widgets: the
// computation window and `zuna compute` both call Processpay.
//
// The run is one transaction: it lands whole or not at all. A failure part-way rolls every
// table back to what it was before the run, leaves the coin table open for shared use and
// propagates the error (EngineError) to the caller, which shows it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "data/ZunaData.h"

namespace zuna {

// Everything the stages compute for the current employee; Payzero clears it at the start of
// each employee, so a figure a stage does not reach (a flag that is off, another country's
// branch) is 0 in everything written afterwards.
struct EmployeeWorkingValues {
    // earnings
    long double BasicPay = 0, HouseAllowance = 0, GrossPay = 0, TaxablePay = 0;
    int DaysWorked = 0;
    long double Benefit = 0;  // BENEFIT of the month, in pounds of 20 units
    long double HousingBenefit = 0, NetHousing = 0;
    // statutory
    long double Nssf = 0, Vnssf = 0, Nhif = 0, Lasc = 0;
    long double PensionSelf = 0, PensionCompany = 0, AlternativePension = 0, PensionAllowable = 0;
    long double MortgageRelief = 0, LstAnnual = 0, LstInstalment = 0;
    // PAYE
    long double PersonalRelief = 0, InsuranceRelief = 0, ChargeablePay = 0, BandTax = 0, TaxCharged = 0;
    long double TaxDue = 0, Paye = 0, Misc9 = 0;
    // deductions and net pay
    long double UnionDues = 0, CotuDues = 0, TotalDeductions = 0;
    long double LoanInterest = 0, LowInterestAmount = 0, LowInterestBenefit = 0, LowInterestTotal = 0;
    long double NetPay = 0, Overdraft = 0;
    // notes and coins: 20000, 10000, 5000, 1000, 500, 200, 100, 50, 20, 10, 5, 1, 0.50, 0.10, 0.05
    std::array<std::int64_t, 15> Coins{};
};

class Zunacalc {
public:
    static constexpr const char* kCaption = "Payroll Computation in Progress";
    static constexpr const char* kComplete = "Payroll Computation Complete !!!";

    explicit Zunacalc(TdmPayroll& dm);
    ~Zunacalc();
    Zunacalc(const Zunacalc&) = delete;
    Zunacalc& operator=(const Zunacalc&) = delete;

    // The run. gauge, when given, receives the progress gauge (0 to 100) each time it changes,
    // ending with 100. Throws on failure with nothing of the run left in the database.
    void Processpay(const std::function<void(int gauge)>& gauge = {});

    // Clears the working values of the current employee.
    void Payzero();
    const EmployeeWorkingValues& Working() const { return w_; }

    // Called after each employee computed, with the employee number. A window may use it to keep
    // itself responsive; tests use it to break a run part-way.
    std::function<void(const std::string& empno)> afterEmployee;

    // Employees computed and skipped (leaving date outside the period) by the last run.
    int computedCount() const { return computed_; }
    int skippedCount() const { return skipped_; }

private:
    struct Run;
    friend struct Run;

    TdmPayroll& dm_;
    EmployeeWorkingValues w_;
    int computed_ = 0, skipped_ = 0;
};

}  // namespace zuna
