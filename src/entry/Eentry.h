// The rules of the employee window, without widgets: the number box that finds or creates an
// employee, the save with its status rule and composed name, the date-left check, housing,
// owner occupier, deferred loan 1, the split of basic pay into housing, the photograph, the
// rent dialog and the employee benefits window. The windows bind controls to the shared
// datasets and call these.
#pragma once

#include <functional>
#include <string>

#include "data/ZunaData.h"
#include "engine/Date.h"

namespace zuna {

constexpr const char* kCreateEmployeeQuestion = "You are about to create a New Employee !!!. Proceeed ?";
constexpr const char* kDateLeftInFuture = "Date cannot be greater than current !!!";
constexpr const char* kSplitBasicQuestion = "You have selected to Split Basic to Housing !!!\nDo you Wish to proceed???";
constexpr const char* kNoPictureFound = "No Picture Found !!";

// Creates employee empno: the master record (new-record values and posting rules of the data
// module), the transaction record with every amount slot at 0 and the twelve tax-history rows
// "01".."12", in one transaction: either all of it lands or nothing does. The employee becomes
// the current record of dm.payroll where its filter lets it show. EngineError (nothing written)
// when empno is empty or a record of that number exists in any of the three tables.
void CreateEmployee(TdmPayroll& dm, const std::string& empno);

// "Net": basic pay that includes the 15 % housing share, split into basic and house allowance.
struct BasicSplit {
    double basic;
    double housing;
};
BasicSplit SplitBasicToHousing(double basic);

class EmployeeEntryLogic {
public:
    explicit EmployeeEntryLogic(TdmPayroll& dm) : dm_(dm) {}

    // Opening: the employee filter off (every employee, active and departed, of every job
    // group) and the first employee current. The education records follow the current
    // employee while the window is open, so that a new row belongs to that employee.
    void Open();
    // Closing: records being edited are posted (as any move off them would), then the employee
    // filter is switched back on (the user's filter text stays) and the education table is
    // given back unlinked.
    void Close();

    // The "Accounting Data" page is shown to a full-rights user only.
    static bool AccountingDataVisible();

    // Leaving the number box. Empty: nothing. A number that exists: moves there. Otherwise
    // confirm(kCreateEmployeeQuestion) decides: no means nothing is written (Cancelled, the box
    // is cleared by the window); yes creates the employee (Created).
    enum class NumberResult { Nothing, Moved, Cancelled, Created };
    NumberResult NumberBoxExit(const std::string& typed, const std::function<bool(const std::string&)>& confirm);
    // Moves to an employee chosen in the search dialog; false when it is not there.
    bool GoTo(const std::string& empno);
    // The current employee's number ("" when there is none).
    std::string CurrentEmpno();

    // "&Save": status from the date left against the period start, EMPNAME from the two name
    // parts, then the employee record is posted, and the transaction record too when basic pay
    // or house allowance was being edited.
    void Save();
    // The status a save gives: "D" when terdate is a date before the period start, else "A".
    static std::string StatusFor(const Date& terdate, const Date& periodStart);
    // "OTHERNAMES SURNAME", each trimmed, one blank between.
    static std::string ComposedName(const std::string& othernames, const std::string& surname);

    // Leaving "Date Left": a date after today is refused (true: the window shows
    // kDateLeftInFuture and focuses the box again); the date is cleared.
    bool DateLeftExit(const Date& today);

    // Bank and account boxes are enabled for payment by transfer only.
    static bool BankFieldsEnabled(long long paymentMode) { return paymentMode == 3; }

    // Leaving "Housed" cleared: no rent and no actual rent.
    void HousedExit();
    // "Rent Paid": true when the rent dialog is to be shown (housed); otherwise RENT becomes 0.
    bool RentPaidClick();
    // Leaving "Owner Occupier" cleared: no mortgage interest.
    void MortgageExit();

    // "Loan 1" ticked or cleared by the clerk: the month's instalment L1 is parked in XL1 while
    // the loan is deferred and given back when the deferment is cleared. Flag, XL1 and L1 are
    // posted together.
    void DeferLoan1(bool ticked);

    // "Net" after the clerk said yes: basic and house allowance split, transaction posted.
    void SplitBasic();

    // The photograph of the current employee: Picts/EMPNO.jpg beside the database, or "" when
    // there is no such file.
    std::string PhotoPath();

private:
    void ensureEdit(Table& t);
    TdmPayroll& dm_;
    bool linkedEducation_ = false;
};

// The rent dialog ("Housing - Rent paid") over RENT and DROUGHT of the current employee.
// OK keeps what was typed (posted with the employee); Cancel puts back the two values the
// dialog started with.
class HouseDlgLogic {
public:
    explicit HouseDlgLogic(TdmPayroll& dm) : dm_(dm) {}
    void Show();    // remembers the two values
    void Cancel();  // restores them
private:
    TdmPayroll& dm_;
    Value rent_, actual_;
};

// The employee benefits window over payrf07.
class EmployeeBenefitsLogic {
public:
    explicit EmployeeBenefitsLogic(TdmPayroll& dm) : dm_(dm) {}
    void Activate();                            // both tables to their first rows
    void SetEmployee(const std::string& empno);  // from the employee pick
    void BenefitChosen();                        // the benefit list closed: RATE from the benefit code
    void Add();
    void Ok();
    void Cancel();
    // Button states follow the table's state.
    bool Editing() const { return dm_.EmpBenefits.editing(); }

private:
    TdmPayroll& dm_;
};

}  // namespace zuna
