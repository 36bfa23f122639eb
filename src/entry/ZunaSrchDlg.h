// The search dialog's rules, without widgets: the employee pick over its own query of active
// employees (restricted to the user's job group) and the pay-code pick over the shared pay-code
// table (codes that change monthly, unless the user has full rights); the search field, the
// name filter while typing and the search button.
#pragma once

#include <string>
#include <vector>

#include "data/ZunaData.h"

namespace zuna {

constexpr const char* kNoMatchingRecord = "No matching record found.";

class SearchDlgLogic {
public:
    enum class Mode { Employee, PayCode };

    explicit SearchDlgLogic(TdmPayroll& dm);

    // The two set-ups; each chooses the first search field and clears the text.
    void SetupEmployee();
    void SetupPayCode();
    // Activation of the dialog: employee mode opens the query of active employees (filtered to
    // the user's job group) on its first row; pay-code mode applies the user's pay-code rule.
    void Activate();

    Mode mode() const { return mode_; }
    std::string Caption() const { return mode_ == Mode::Employee ? "Select an Employee" : "Select a Pay Code"; }
    const std::vector<std::string>& SearchFields() const { return fields_; }
    int SearchFieldIndex() const { return field_; }
    void ChooseSearchField(int i);  // the text is cleared

    // Whether a typed character is taken: blanks and control keys always; a number field
    // takes digits and signs only.
    bool AcceptsChar(char c) const;
    // After each change of the search text: the search button and, in employee mode while the
    // search field is the name, the name filter (which keeps the job-group restriction).
    void TextChanged(const std::string& text);
    const std::string& Text() const { return text_; }
    bool SearchEnabled() const { return !text_.empty(); }
    // The search button: case-insensitive, partial locate of the text in the search field;
    // false when nothing matches (the dialog shows kNoMatchingRecord).
    bool Search();

    // The list the grid shows: the employee query or the pay-code table; its code and name fields.
    Dataset& List();
    std::string CodeField() const { return mode_ == Mode::Employee ? "EMPNO" : "FNO"; }
    std::string NameField() const { return mode_ == Mode::Employee ? "EMPNAME" : "FNAME"; }
    // After OK in employee mode: the chosen row's EMPNO ("" when the list is empty).
    std::string ChosenEmpno();
    // After OK in pay-code mode the current row of the pay-code table is the choice.
    Query& Employees() { return employees_; }

    // The employee query's filter for a job group and a typed name ("" when none applies).
    static std::string EmployeeFilter(const std::string& jobGroup, const std::string& typed);

private:
    void applyEmployeeFilter();
    TdmPayroll& dm_;
    Query employees_;
    Mode mode_ = Mode::Employee;
    std::vector<std::string> fields_;
    int field_ = 0;
    std::string text_;
};

}  // namespace zuna
