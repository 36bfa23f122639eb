// Which commands of the main window a user sees: the menu rights MENU1..MENU14 of the users
// table, the administrative category, the Window items that need an open child window, and the
// test-pay switch. Kept apart from the widgets so that the rules are tested with a table of users.
#pragma once

#include <array>
#include <cstddef>

#include "app/fmVarGlobal.h"
#include "data/ZunaData.h"

namespace zuna {

// The menus, items and tool-bar buttons whose state the rights decide.
enum class MenuItem : std::size_t {
    FileMenu,
    ToolsMenu,
    ToolsBar,  // the dockable bar: tax tables, codes, banks, period end
    ComputeMenu,
    ComputeButton,
    ReportsButton,
    Employee,
    EmployeeButton,
    Transactions,
    TransactionsButton,
    EmpBenefits,
    EmpBenefitsButton,
    Batches,
    BatchesButton,
    Tables,
    TablesButton,
    Codes,
    CodesButton,
    BankEntry,
    BankEntryButton,
    TaxAdjustment,
    AdjustYearEnd,
    PeriodEnd,
    PeriodEndButton,
    Backup,
    BackupButton,
    RestoreButton,
    TestPay,
    Cascade,
    Tile,
    ArrangeIcons,
    MinimizeAll,
    Count
};
constexpr std::size_t kMenuItemCount = static_cast<std::size_t>(MenuItem::Count);

// Visible and enabled state of every item; a fresh state shows and enables everything.
struct MenuState {
    MenuState() {
        visible.fill(true);
        enabled.fill(true);
        visible[static_cast<std::size_t>(MenuItem::TestPay)] = false;
    }
    std::array<bool, kMenuItemCount> visible;
    std::array<bool, kMenuItemCount> enabled;
    bool isVisible(MenuItem i) const { return visible[static_cast<std::size_t>(i)]; }
    bool isEnabled(MenuItem i) const { return enabled[static_cast<std::size_t>(i)]; }
    void setVisible(MenuItem i, bool on) { visible[static_cast<std::size_t>(i)] = on; }
    void setEnabled(MenuItem i, bool on) { enabled[static_cast<std::size_t>(i)] = on; }
};

// The right flags MENU1..MENU14 of one user; menu[n] is MENUn (menu[0] unused).
struct UserRights {
    std::array<bool, 15> menu{};
};
// The flags of the current PayUsers row (all off when there is none).
UserRights ReadUserRights(Dataset& payUsers);

// Main window activation: the Tools menu, the dockable tool bar and Compute are shown for the
// administrative category only.
void ApplyActivationRules(MenuState& m, const VarGlobal& g);

// Run on every change of the active form (nothing happens before a login is accepted):
// the Window items follow the open child windows; the Tools menu and bar are hidden outside the
// administrative category; then, with a user logged in, the right flags decide (MENU2 last for
// the Tools menu, so a user of another category with MENU2 sees Tools again); Test Pay follows
// the test-pay switch. False when it did nothing.
bool UpdateMenuItems(MenuState& m, const VarGlobal& g, const UserRights& r, int openChildWindows);

// The "Test Pay Enabled" switch: flips TestPayEnabled and stores it in paysys STATUS, "T" for on
// (what login reads back) and an empty value for off. Returns the new state.
bool ToggleTestPay(TdmPayroll& dm);

}  // namespace zuna
