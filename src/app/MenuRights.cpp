#include "app/MenuRights.h"

namespace zuna {

UserRights ReadUserRights(Dataset& payUsers) {
    UserRights r;
    if (!payUsers.active() || payUsers.recNo() == 0) return r;
    for (int n = 1; n <= 14; ++n) r.menu[static_cast<std::size_t>(n)] = payUsers.asBoolean("MENU" + std::to_string(n));
    return r;
}

void ApplyActivationRules(MenuState& m, const VarGlobal& g) {
    bool admin = g.UserCategory == "A";
    m.setVisible(MenuItem::ToolsMenu, admin);
    m.setVisible(MenuItem::ToolsBar, admin);
    m.setVisible(MenuItem::ComputeMenu, admin);
}

bool UpdateMenuItems(MenuState& m, const VarGlobal& g, const UserRights& r, int openChildWindows) {
    if (!g.LoginAccepted) return false;
    bool children = openChildWindows > 0;
    for (MenuItem w : {MenuItem::Cascade, MenuItem::Tile, MenuItem::ArrangeIcons, MenuItem::MinimizeAll})
        m.setEnabled(w, children);
    if (g.UserCategory != "A") {
        m.setVisible(MenuItem::ToolsMenu, false);
        m.setVisible(MenuItem::ToolsBar, false);
    }
    if (g.CurrentUser.empty()) return true;
    auto flag = [&](int n) { return r.menu[static_cast<std::size_t>(n)]; };
    m.setVisible(MenuItem::FileMenu, flag(1));
    m.setVisible(MenuItem::ToolsMenu, flag(2));
    m.setVisible(MenuItem::ToolsBar, flag(2));
    m.setVisible(MenuItem::ComputeMenu, flag(3));
    m.setVisible(MenuItem::ComputeButton, flag(3));
    m.setVisible(MenuItem::ReportsButton, flag(4));
    m.setVisible(MenuItem::Employee, flag(5));
    m.setEnabled(MenuItem::EmployeeButton, flag(5));
    m.setVisible(MenuItem::Transactions, flag(6));
    m.setEnabled(MenuItem::TransactionsButton, flag(6));
    m.setVisible(MenuItem::EmpBenefits, flag(7));
    m.setEnabled(MenuItem::EmpBenefitsButton, flag(7));
    m.setVisible(MenuItem::Batches, flag(8));
    m.setVisible(MenuItem::BatchesButton, flag(8));
    m.setVisible(MenuItem::ToolsMenu, flag(2));
    m.setVisible(MenuItem::Tables, flag(9));
    m.setVisible(MenuItem::TablesButton, flag(9));
    m.setVisible(MenuItem::Codes, flag(10));
    m.setVisible(MenuItem::CodesButton, flag(10));
    m.setVisible(MenuItem::BankEntry, flag(11));
    m.setVisible(MenuItem::BankEntryButton, flag(11));
    m.setVisible(MenuItem::TaxAdjustment, flag(12));
    m.setVisible(MenuItem::AdjustYearEnd, flag(13));
    m.setVisible(MenuItem::PeriodEnd, flag(14));
    m.setVisible(MenuItem::PeriodEndButton, flag(14));
    bool backup = m.isVisible(MenuItem::Backup);
    m.setEnabled(MenuItem::BackupButton, backup);
    m.setEnabled(MenuItem::RestoreButton, backup);
    m.setVisible(MenuItem::TestPay, g.TestPayEnabled);
    return true;
}

bool ToggleTestPay(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    bool on = !g.TestPayEnabled;
    dm.paysys.first();
    dm.paysys.edit();
    try {
        dm.paysys.setString("STATUS", on ? "T" : "");
        dm.paysys.post();
    } catch (...) {
        if (dm.paysys.editing()) dm.paysys.cancel();
        throw;
    }
    g.TestPayEnabled = on;
    return on;
}

}  // namespace zuna
