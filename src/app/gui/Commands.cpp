#include "app/gui/Commands.h"

#include <map>

namespace zuna {

using M = MenuItem;
using G = MenuGroup;

const std::vector<CommandDef>& commandTable() {
    static const std::vector<CommandDef> t = {
        // File
        {"Employee", G::File, "&Employee", "", false, "Employee Entry", "Create/Edit Employee Records", 4, {}, false,
         M::Employee, M::EmployeeButton},
        {"Transactions", G::File, "&Transactions", "", false, "Transaction Entry", "Enter/Edit Payroll Transactions", 5,
         {}, false, M::Transactions, M::TransactionsButton},
        {"EmployeeBenefits", G::File, "Employee &Benefits", "", false, "Employee Benefit Entry",
         "Create/Edit Employee Benefits", 6, {}, false, M::EmpBenefits, M::EmpBenefitsButton},
        {"Batches", G::File, "Batc&hes", "", false, "Batch Entries", "", 0, {}, false, M::Batches, M::BatchesButton},
        {"Exit", G::File, "E&xit", "", false, "Exit", "Exit the application", 0, {}, false, {}, {}},
        // Tools
        {"Tables", G::Tools, "&Tables", "", false, "Tax Tables", "Set Taxation/Statutory Deductions Rates", 0, {},
         false, M::Tables, M::TablesButton},
        {"Codes", G::Tools, "&Codes", "", false, "System Codes/Parameters", "Create/Edit Payroll Codes", 0, {}, false,
         M::Codes, M::CodesButton},
        {"BankEntry", G::Tools, "&Bank Entry", "", false, "Bank Codes", "", 0, {}, false, M::BankEntry,
         M::BankEntryButton},
        {"BankBranches", G::Tools, "Bank Branches", "", false, "", "", 0, {}, false, {}, {}},
        {"Calendar", G::Tools, "Ca&lendar", "F7", true, "Calender", "", 0, {}, false, {}, {}},
        {"Calculator", G::Tools, "Calc&ulator", "F4", true, "Calculator", "", 0, {}, false, {}, {}},
        {"TaxAdjustment", G::Tools, "Tax A&djustment", "", false, "", "Adjust Tax payable", 0, {}, false,
         M::TaxAdjustment, {}},
        {"AdjustYearEnd", G::Tools, "&Adjust Year End", "", false, "", "Adjust Year-End Details", 0, {}, false,
         M::AdjustYearEnd, {}},
        {"Setup", G::Tools, "&Setup", "Ctrl+Shift+F12", true, "", "Setup Company Details", 0, GatePassword::Manager,
         false, {}, {}},
        {"TestPayEnabled", G::Tools, "Test Pay Enabled", "Ctrl+Shift+F6", true, "", "", 0, {}, false, {}, {}},
        {"PeriodEnd", G::Tools, "Period &End", "", false, "Period End", "Period End routine", 9,
         GatePassword::Manager, false, M::PeriodEnd, M::PeriodEndButton},
        {"Backup", G::Tools, "Bac&kup", "", false, "", "", 0, GatePassword::Administrator, true, M::Backup, {}},
        {"BackupButton", G::None, "", "", false, "Backup Payroll Files", "", 0, {}, true, {}, M::BackupButton},
        {"RestoreButton", G::None, "", "", false, "Restore Payroll Files", "", 0, GatePassword::Administrator, true, {},
         M::RestoreButton},
        {"EFITransfer", G::Tools, "EFI Transfer", "", false, "", "", 0, {}, false, {}, {}},
        {"NewEFITransfer", G::Tools, "New EFI Transfer", "", false, "", "", 0, {}, false, {}, {}},
        {"GlobalUpdate", G::Tools, "Global Update", "Ctrl+Ins", true, "", "", 0, GatePassword::Manager, true, {}, {}},
        {"TestPay", G::Tools, "Test Pay", "", false, "", "", 0, {}, false, M::TestPay, {}},
        {"Arrears", G::Tools, "Arrears Computations", "", false, "", "", 0, {}, false, {}, {}},
        {"NewPay", G::Tools, "New Pay Computation", "", false, "", "", 0, {}, false, {}, {}},
        {"MonthlyMessages", G::Tools, "Monthly Messages", "", false, "", "", 0, {}, false, {}, {}},
        {"LocalServiceTax", G::Tools, "Local Service Tax", "", false, "", "", 0, {}, false, {}, {}},
        {"UpdateGlobally", G::Tools, "Update Globally", "", false, "", "", 0, {}, false, {}, {}},
        {"HELBSchedule", G::Tools, "HELB Repayment Schedule", "", false, "", "", 0, {}, false, {}, {}},
        {"RecalcPay", G::Tools, "Recalc Pay", "", false, "", "", 0, {}, false, {}, {}},
        {"CSRReturn", G::Tools, "CSR Quaterly Return", "", false, "", "", 0, {}, false, {}, {}},
        // Compute, on the menu bar itself
        {"Compute", G::Compute, "&Compute", "", false, "Compute Payroll", "Process Payroll Changes", 7, {}, false,
         M::ComputeMenu, M::ComputeButton},
        // Window
        {"Cascade", G::Window, "&Cascade", "", false, "", "", 0, {}, false, M::Cascade, {}},
        {"Tile", G::Window, "&Tile", "", false, "", "", 0, {}, false, M::Tile, {}},
        {"ArrangeIcons", G::Window, "&Arrange Icons", "", false, "", "", 0, {}, false, M::ArrangeIcons, {}},
        {"MinimizeAll", G::Window, "&Minimize All", "", false, "", "", 0, {}, false, M::MinimizeAll, {}},
        // Help
        {"Contents", G::Help, "&Contents", "F1", false, "Help", "", 1, {}, false, {}, {}},
        {"About", G::Help, "&About", "", false, "", "", 0, {}, false, {}, {}},
        // The report window, from its button
        {"Reports", G::None, "", "", false, "Print/View Reports", "", 0, {}, false, {}, M::ReportsButton},
    };
    return t;
}

const CommandDef* findCommand(const std::string& name) {
    for (const auto& c : commandTable())
        if (c.name == name) return &c;
    return nullptr;
}

const std::vector<MenuDef>& menuTable() {
    static const std::vector<MenuDef> t = {
        {G::File, "&File", "File related commands", 3},
        {G::Tools, "&Tools", "Payroll Tools", 3},
        {G::Compute, "", "", 0},
        {G::Window, "&Window", "Window related commands such as Tile and Cascade", 0},
        {G::Help, "&Help", "Help topics", 0},
    };
    return t;
}

const std::vector<std::string>& toolBarOrder() {
    static const std::vector<std::string> t = {
        "Employee", "Transactions", "EmployeeBenefits", "Batches",  "[",      "Tables",     "Codes",
        "BankEntry", "PeriodEnd",   "]",                "Compute",  "|",      "BackupButton", "RestoreButton",
        "|",         "Calendar",    "Calculator",       "|",        "Reports", "|",          "Exit",
        "|",         "Contents",
    };
    return t;
}

static std::map<std::string, CommandAction>& windows() {
    static std::map<std::string, CommandAction> w;
    return w;
}

void registerCommandWindow(const std::string& name, CommandAction action) { windows()[name] = std::move(action); }

const CommandAction* commandWindow(const std::string& name) {
    auto it = windows().find(name);
    return it == windows().end() || !it->second ? nullptr : &it->second;
}

}  // namespace zuna
