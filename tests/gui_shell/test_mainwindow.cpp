// The main window after a login: period panel, caption, status panels, the user's filters, the
// menus and buttons each user sees, the Window items and the test-pay switch.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QTextBrowser>
#include <QToolBar>

#include "app/MenuRights.h"
#include "app/Session.h"
#include "app/gui/HelpWindow.h"
#include "app/gui/main.h"
#include "ShellFixture.h"

using namespace zuna;
using zuna::test::ShellFixture;
using zuna::test::User;

namespace {

struct LoggedIn {
    LoggedIn(ShellFixture& f, const std::string& user, const std::string& pw) {
        LoginActivate(*f.dm);
        ok = LoginUser(*f.dm, user, pw);
        main = std::make_unique<TMainForm>(*f.dm);
        main->FormActivate();
    }
    bool ok = false;
    std::unique_ptr<TMainForm> main;
};

bool itemShown(TMainForm& m, const std::string& name) { return m.menuAction(name)->isVisible(); }
bool buttonShown(TMainForm& m, const std::string& name) { return m.buttonAction(name)->isVisible(); }
bool buttonEnabled(TMainForm& m, const std::string& name) { return m.buttonAction(name)->isEnabled(); }

// Windows that later parts build; here they only need to exist for the rights to show.
void plugInEntryWindows() {
    for (const char* n : {"Employee", "Transactions", "EmployeeBenefits", "Batches", "Tables", "Codes", "BankEntry",
                          "Reports"})
        registerCommandWindow(n, [](TMainForm&) {});
}

}  // namespace

TEST(MainWindow, PeriodPanelCaptionStatusAndCurrencyPerCountry) {
    struct Case {
        const char* country;
        const char* currency;
    } cases[] = {{"K", "SHS."}, {"U", "SHS."}, {"T", "SHS."}, {"R", "RWF."}};
    for (const auto& c : cases) {
        ShellFixture f(c.country);
        LoggedIn s(f, "ADMIN", "SECRET");
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(s.main->Panel1->text(), "Month : January 2009") << c.country;
        EXPECT_EQ(fmVarGlobal().PeriodMonth, "01");
        EXPECT_EQ(fmVarGlobal().PeriodYear, "2009");
        EXPECT_EQ(fmVarGlobal().CurrencyLabel, c.currency) << c.country;
        EXPECT_TRUE(fmVarGlobal().RoundToWholeUnits);
        EXPECT_EQ(s.main->windowTitle(), "Zuna 7.0 - Payroll System for East Africa - Test Company Ltd");
        EXPECT_EQ(s.main->StatusPanels[2]->text(), "User : ADMIN");
        EXPECT_TRUE(s.main->StatusPanels[1]->text().startsWith("Active : Zuna 7.0"));
        EXPECT_TRUE(s.main->StatusPanels[3]->text().startsWith("Date : "));
    }
}

TEST(MainWindow, AMonthCloseMovesThePanelOnTheNextActivation) {
    ShellFixture f;
    LoggedIn s(f, "ADMIN", "SECRET");
    f.dm->paysys.first();
    f.dm->paysys.edit();
    f.dm->paysys.setDate("SDATE", Date(2009, 12, 1));
    f.dm->paysys.setDate("EDATE", Date(2009, 12, 31));
    f.dm->paysys.post();
    s.main->FormActivate();
    EXPECT_EQ(s.main->Panel1->text(), "Month : December 2009");
    EXPECT_EQ(fmVarGlobal().PeriodMonth, "12");
}

TEST(MainWindow, UsersSeeTheMenusAndButtonsTheirRightsAllow) {
    plugInEntryWindows();
    struct Case {
        User user;
        // expected after the first change of the active form
        bool file, tools, compute, reports, employeeItem, employeeButtonEnabled, transactionsItem, batches,
            tables, periodEnd;
    } cases[] = {
        // full rights: everything
        {{"BOSS", "B", "A", 9, "000", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
         true, true, true, true, true, true, true, true, true, true},
        // a clerk: the File menu with employees only, and compute
        {{"CLERK", "C", "B", 5, "000", {1, 3, 5}}, true, false, true, false, true, true, false, false, false, false},
        // administrative category but without the Tools right: the right decides
        {{"ADM2", "D", "A", 9, "000", {1, 3, 4, 9, 14}}, true, false, true, true, false, false, false, false, true,
         true},
        // another category with the Tools right sees Tools once the active form changes
        {{"TOOLS", "E", "C", 9, "000", {2, 9, 10}}, false, true, false, false, false, false, false, false, true,
         false},
    };
    for (const auto& c : cases) {
        ShellFixture f;
        f.addUser(c.user);
        LoggedIn s(f, c.user.name, c.user.password);
        ASSERT_TRUE(s.ok) << c.user.name;
        TMainForm& m = *s.main;
        // Activation alone: Tools, the dockable bar and Compute follow the category.
        bool admin = c.user.category == "A";
        EXPECT_EQ(m.menu(MenuGroup::Tools)->menuAction()->isVisible(), admin) << c.user.name;
        EXPECT_EQ(!m.dockBar()->isHidden(), admin) << c.user.name;
        EXPECT_EQ(m.computeMenuAction()->isVisible(), admin) << c.user.name;

        m.UpdateMenuItems();
        const std::string& u = c.user.name;
        EXPECT_EQ(m.menu(MenuGroup::File)->menuAction()->isVisible(), c.file) << u;
        EXPECT_EQ(m.menu(MenuGroup::Tools)->menuAction()->isVisible(), c.tools) << u;
        EXPECT_EQ(!m.dockBar()->isHidden(), c.tools) << u;
        EXPECT_EQ(m.computeMenuAction()->isVisible(), c.compute) << u;
        EXPECT_EQ(buttonShown(m, "Compute"), c.compute) << u;
        EXPECT_EQ(buttonShown(m, "Reports"), c.reports) << u;
        EXPECT_EQ(itemShown(m, "Employee"), c.employeeItem) << u;
        EXPECT_TRUE(buttonShown(m, "Employee")) << u;  // the right enables the button, it stays in place
        EXPECT_EQ(buttonEnabled(m, "Employee"), c.employeeButtonEnabled) << u;
        EXPECT_EQ(itemShown(m, "Transactions"), c.transactionsItem) << u;
        EXPECT_EQ(buttonEnabled(m, "Transactions"), c.transactionsItem) << u;
        EXPECT_EQ(itemShown(m, "Batches"), c.batches) << u;
        EXPECT_EQ(buttonShown(m, "Batches"), c.batches) << u;
        EXPECT_EQ(itemShown(m, "Tables"), c.tables) << u;
        EXPECT_EQ(buttonShown(m, "Tables"), c.tables) << u;
        EXPECT_EQ(itemShown(m, "PeriodEnd"), c.periodEnd) << u;
        EXPECT_EQ(buttonShown(m, "PeriodEnd"), c.periodEnd) << u;
        EXPECT_TRUE(buttonEnabled(m, "BackupButton") || !commandWindow("BackupButton")) << u;
        EXPECT_EQ(m.StatusPanels[2]->text().toStdString(), "User : " + u);
    }
}

TEST(MainWindow, UserFiltersOnEmployeesAndPayCodes) {
    struct Case {
        User user;
        std::string employeeFilter;
        bool payCodesFiltered;
    } cases[] = {
        {{"BOSS", "B", "A", 9, "000", {1}}, "Estatus = 'A'", false},
        {{"NINE", "N", "B", 9, "000", {1}}, "Estatus = 'A'", true},  // level 9 alone is not full rights
        {{"EIGHT", "E", "A", 8, "J01", {1}}, "Estatus = 'A' and Empjobt = 'J01'", true},
    };
    for (const auto& c : cases) {
        ShellFixture f;
        f.addUser(c.user);
        LoggedIn s(f, c.user.name, c.user.password);
        ASSERT_TRUE(s.ok);
        EXPECT_TRUE(f.dm->payroll.filtered()) << c.user.name;
        EXPECT_EQ(f.dm->payroll.filter(), c.employeeFilter) << c.user.name;
        EXPECT_EQ(f.dm->Paycodes.filtered(), c.payCodesFiltered) << c.user.name;
        if (c.payCodesFiltered) {
            EXPECT_EQ(f.dm->Paycodes.filter(), "Recur <> false");
        }
    }
}

TEST(MainWindow, WindowItemsNeedAnOpenChildWindow) {
    ShellFixture f;
    LoggedIn s(f, "ADMIN", "SECRET");
    TMainForm& m = *s.main;
    m.UpdateMenuItems();
    const char* items[] = {"Cascade", "Tile", "ArrangeIcons", "MinimizeAll"};
    for (const char* i : items) EXPECT_FALSE(m.menuAction(i)->isEnabled()) << i;
    auto* child = new QWidget;
    child->setWindowTitle("Employee Entry");
    m.openChild(child);
    for (const char* i : items) EXPECT_TRUE(m.menuAction(i)->isEnabled()) << i;
    m.mdiArea()->closeAllSubWindows();
    QApplication::processEvents();
    QApplication::processEvents();
    for (const char* i : items) EXPECT_FALSE(m.menuAction(i)->isEnabled()) << i;
}

TEST(MainWindow, TestPaySwitchIsStoredSoThatTheNextLoginReadsItBack) {
    ShellFixture f;
    LoggedIn s(f, "ADMIN", "SECRET");
    TMainForm& m = *s.main;
    m.UpdateMenuItems();
    QAction* toggle = m.menuAction("TestPayEnabled");
    EXPECT_EQ(toggle->shortcut(), QKeySequence("Ctrl+Shift+F6"));
    EXPECT_FALSE(m.menu(MenuGroup::Tools)->actions().contains(toggle));  // hidden, short-cut only
    EXPECT_TRUE(m.actions().contains(toggle));
    EXPECT_FALSE(itemShown(m, "TestPay"));
    for (bool on : {true, false, true}) {
        toggle->trigger();
        EXPECT_EQ(fmVarGlobal().TestPayEnabled, on);
        EXPECT_EQ(itemShown(m, "TestPay"), on);
        f.dm->paysys.first();
        EXPECT_EQ(f.dm->paysys.asString("STATUS"), on ? "T" : "");
        fmVarGlobal().TestPayEnabled = !on;
        ASSERT_TRUE(LoginUser(*f.dm, "ADMIN", "SECRET"));
        EXPECT_EQ(fmVarGlobal().TestPayEnabled, on);
    }
}

TEST(MainWindow, CommandsWithoutTheirWindowStayInTheMenuDisabledUntilOnePlugsIn) {
    ShellFixture f;
    LoggedIn s(f, "ADMIN", "SECRET");
    TMainForm& m = *s.main;
    m.UpdateMenuItems();
    QAction* a = m.menuAction("NewEFITransfer");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(), "New EFI Transfer");
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(a->isEnabled());
    EXPECT_FALSE(m.runCommand("NewEFITransfer"));

    int opened = 0;
    registerCommandWindow("NewEFITransfer", [&](TMainForm&) { ++opened; });
    TMainForm again(*f.dm);
    again.FormActivate();
    again.UpdateMenuItems();
    EXPECT_TRUE(again.menuAction("NewEFITransfer")->isEnabled());
    again.menuAction("NewEFITransfer")->trigger();
    EXPECT_EQ(opened, 1);
    registerCommandWindow("NewEFITransfer", {});
}

TEST(MainWindow, GuardedCommandRunsOnlyBehindTheRightPassword) {
    ShellFixture f;
    LoggedIn s(f, "ADMIN", "SECRET");
    int opened = 0;
    registerCommandWindow("Setup", [&](TMainForm&) { ++opened; });
    for (const char* typed : {"ADMINPW", "MANAGER"}) {
        zuna::test::whenModal([typed](QWidget* w) {
            auto* pw = w->findChild<QLineEdit*>("Password");
            ASSERT_NE(pw, nullptr);
            pw->setText(typed);
            QMetaObject::invokeMethod(w, "accept");
        });
        s.main->runCommand("Setup");
    }
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].text, "You do not have Enough Access Rights for this Option !!");
    registerCommandWindow("Setup", {});
}

TEST(MainWindow, ToolBarFromTheLeftAndMenuCaptions) {
    ShellFixture f;
    LoggedIn s(f, "ADMIN", "SECRET");
    TMainForm& m = *s.main;
    QStringList hints;
    for (auto* bar : m.findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly))
        for (QAction* a : bar->actions())
            if (!a->toolTip().isEmpty() && !a->isSeparator() && a->data().isValid()) hints << a->toolTip();
    EXPECT_EQ(hints, (QStringList{"Employee Entry", "Transaction Entry", "Employee Benefit Entry", "Batch Entries",
                                  "Tax Tables", "System Codes/Parameters", "Bank Codes", "Period End",
                                  "Compute Payroll", "Backup Payroll Files", "Restore Payroll Files", "Calender",
                                  "Calculator", "Print/View Reports", "Exit", "Help"}));
    QStringList file;
    for (QAction* a : m.menu(MenuGroup::File)->actions())
        if (!a->isSeparator()) file << a->text();
    EXPECT_EQ(file, (QStringList{"&Employee", "&Transactions", "Employee &Benefits", "Batc&hes", "E&xit"}));
    EXPECT_EQ(m.menuAction("Contents")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(m.menuAction("Calculator")->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_EQ(m.menuAction("GlobalUpdate")->shortcut(), QKeySequence("Ctrl+Ins"));
    EXPECT_EQ(m.menu(MenuGroup::File)->menuAction()->statusTip(), "File related commands");
}

TEST(MainWindow, EveryHelpContextOpensAPageOfTheHelp) {
    THelpWindow help;
    for (int context : {1, 3, 4, 5, 6, 7, 9, 42}) {
        help.showContext(context);
        QString text = help.browser()->toPlainText();
        EXPECT_GT(text.size(), 200) << context;  // a page, not the empty browser
        EXPECT_EQ(help.browser()->source().toString(), THelpWindow::pageOf(context)) << context;
    }
    EXPECT_TRUE(help.browser()->toPlainText().startsWith("Zuna help"));  // unknown: the contents
}
