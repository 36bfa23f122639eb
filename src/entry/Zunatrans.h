// The rules of the transaction window, without widgets. The employee's transaction record is
// shown as four grids whose rows are the pay codes of a number range (earnings 1-25, deductions
// 26-40, loans 41-50, savings 51-60) that the user may see; each row reads and writes the slots
// numbered after its own code. Quantity-based amounts are computed from basic pay and house
// allowance by the code's input type and factor. The window keeps the cell texts here, so the
// clerk's typing is what the rules read.
#pragma once

#include <string>
#include <vector>

#include "data/ZunaData.h"

namespace zuna {

constexpr const char* kEmployeeNotFound = "Employee Not Found !!!.";

enum class TransPage { Payments = 0, Deductions = 1, Loans = 2, Savings = 3, LeaveOffs = 4 };

// One grid row: the pay code it shows and the quantity and amount (savings: period and
// contribution) it showed when loaded or last stored.
struct TransRow {
    int fno = 0;
    std::string name;  // the first 25 characters of FNAME
    double factor = 0;
    char recType = 'K';
    double intRate = 0;  // loans: the code's INTRATE when above 0, else 0
    double qty = 0;
    double amount = 0;
};

// Amount of a quantity-based row: "H" E1/H*Q*F, "D" (E1+E2)/H*8*Q*F, "C" (E1+E2)/H*Q*F,
// "M" (E1+E2)*Q*F, any other Q*F; unit-rounded (whole units, or to 0.05), and taken as its
// two-decimal text shows it.
double ComputedAmount(char recType, double factor, double qty, double e1, double e2, double hours, bool wholeUnits);
// Whether the input type divides by the hours of a month.
bool UsesHours(char recType);

class TransactionEntryLogic {
public:
    explicit TransactionEntryLogic(TdmPayroll& dm);
    ~TransactionEntryLogic();

    // Creation: the user's pay-code rule, the employee filter of the user's job group on and
    // the first employee current, the "Payments" page loaded.
    void FormCreate();
    // Closing: a page with unsaved typing is stored first (EntryError when a cell does not
    // convert: the window stays open). The employee table is left with the user's filter on.
    void FormClose();

    // --- pages and grids
    TransPage Page() const { return page_; }
    void SetPage(TransPage p);  // the page control changed: the new page is loaded
    static int GridRows(TransPage p);
    static std::vector<std::string> ColumnTitles(TransPage p);  // "Item" and the value columns
    static std::string PageCaption(TransPage p);
    static bool TestPayVisible();

    // Cell texts of a grid page; row 0 is the first pay-code row, column 0 the item name.
    const std::string& Cell(TransPage p, int row, int col) const;
    const std::string& Cell(int row, int col) const { return Cell(page_, row, col); }
    void SetCell(int row, int col, const std::string& text);  // typed by the clerk
    bool Dirty() const { return dirty_; }
    const std::vector<TransRow>& Rows() const { return rows_; }  // the page last loaded

    // --- employees
    std::string BoxNumber() const { return box_; }
    double HoursPerMonth() const { return hours_; }
    // Entering the number box: the current employee's number.
    std::string EmpnumEnter();
    // Leaving the number box: empty gives the current number back; a number of the filtered
    // employee list moves there; any other is not found (the window shows kEmployeeNotFound)
    // and the first employee becomes current. The page shown is loaded in every case.
    enum class ExitResult { Restored, Found, NotFound };
    ExitResult EmpnumExit(const std::string& typed);
    // The employee pick of the search dialog said OK with empno ("" after Cancel); the page is
    // loaded in any case.
    void EmployeeChosen(const std::string& empno);
    // The navigator: unsaved typing is stored first, then the move.
    enum class Move { First, Prior, Next, Last };
    void Navigate(Move m);
    // The current employee changed elsewhere: the number box and the page follow.
    void CurrentEmployeeChanged() { EmpnumSearch(); }
    // Loads the page shown from the current employee's record.
    void EmpnumSearch();

    // --- grid rules
    // A click in the payments or deductions grid: the record goes into edit and every row is
    // written from its cells (amounts as typed) and recomputed. Returns the column the cursor
    // moves to in the clicked row: 1 for a quantity-based code, else 2.
    int Click(int row);
    // "&Save" (and leaving a grid): the page shown is stored and the record posted. A cell that
    // does not convert is an EntryError and nothing is written.
    void Save();
    // Stores the page shown when typing or a click is not yet saved.
    void SaveBeforeLeaving();

private:
    struct Parsed;
    void loadPage();
    void loadCodes(int lo, int hi, int maxRows);
    void setHours();
    bool haveEmployee();
    void writeRows(bool saving);
    std::vector<Parsed> parseRows(bool saving) const;
    double transValue(const std::string& field);
    std::vector<std::string>& cellsRow(int row);

    TdmPayroll& dm_;
    Table codes_;  // the pay codes as the user sees them, in number order
    TransPage page_ = TransPage::Payments;
    std::vector<std::vector<std::string>> cells_[4];
    std::vector<TransRow> rows_;
    std::string box_;
    double hours_ = 0;
    bool dirty_ = false;
};

}  // namespace zuna
