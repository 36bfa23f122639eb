// Plugs the entry windows into the main window's commands: "Employee" (TfmEentry),
// "Transactions" (TfmTransEntry) and "EmployeeBenefits" (TfmEmpbenefits), each a new MDI child.
#pragma once

namespace zuna {

void registerEntryCommands();

}  // namespace zuna
