// Login, the administrator password gate and the main window's activation, without widgets:
// the login dialog, the password dialog, the main window and the command line all call these.
#pragma once

#include <string>

#include "data/ZunaData.h"

namespace zuna {

// Login dialog activation: CountryCode from paysys COUNTRY and the payrf08 row filter.
void LoginActivate(TdmPayroll& dm);
// The name the login dialog proposes: the last audit row's UserName, or "ADMIN".
std::string ProposedLoginName(TdmPayroll& dm);
// "OK" of the login dialog: name cut to 10, password as typed (the boxes capitalise), exact match.
// Accepted: the global user variables are set and an audit row is written. Refused: false,
// LoginAccepted false, nothing written.
bool LoginUser(TdmPayroll& dm, const std::string& name, const std::string& password);
constexpr const char* kLoginRefused = "Login not accepted !!! Exiting the Program.";

// The administrator password gate: compares typed with paysys MPASSWORD (manager) or PASSWORD
// (administrator), exactly. Accepted: an audit row is written, true. Refused: nothing written.
enum class GatePassword { Manager, Administrator };
bool PasswordGate(TdmPayroll& dm, GatePassword which, const std::string& typed);
constexpr const char* kNoAccessRights = "You do not have Enough Access Rights for this Option !!";

// Appends an audit row for CurrentUser (cut to 6) at the present moment.
void WriteAuditRow(TdmPayroll& dm);

// The user's rules on the shared tables: pay codes ("Recur <> false" unless full rights) and
// employees (active, of the job group).
void ApplyUserFilters(TdmPayroll& dm);

// Main window activation without the window: period variables, the month's message, the user
// filters, RoundToWholeUnits, BranchAnalysis, HelbLoanCode, CurrencyLabel.
void ActivateMain(TdmPayroll& dm);

// "Month : January 2009"
std::string PeriodPanelText(TdmPayroll& dm);

}  // namespace zuna
