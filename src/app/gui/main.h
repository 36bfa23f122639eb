// The main window: an MDI frame with the menu, the tool bars, the month panel and the status bar.
// Every function of the program is reached from its commands (Commands.h).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>

#include "app/MenuRights.h"
#include "app/gui/Commands.h"
#include "period/gui/Closefm.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace zuna {

class TdmPayroll;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Zuna 7.0 - Payroll System for East Africa";

    explicit TMainForm(TdmPayroll& dm, QWidget* parent = nullptr);
    ~TMainForm() override;

    TdmPayroll& dm() { return dm_; }
    QMdiArea* mdiArea() const { return mdi_; }
    // Opens a window as an MDI child that is freed when it closes.
    QMdiSubWindow* openChild(QWidget* w);

    // Runs whenever the main window becomes the active form: period variables, the month's
    // message, the user's filters, caption, panels, Tools/Compute for the administrative category,
    // currency label, birthday reminder.
    void FormActivate();
    // Runs on every change of the active form: the rights of the logged-in user.
    void UpdateMenuItems();
    // Gate, table refresh, then the command's window. False when it was not carried out.
    bool runCommand(const std::string& name);

    QAction* menuAction(const std::string& name) const;    // menu item (null: button only)
    QAction* buttonAction(const std::string& name) const;  // tool-bar button (null: none)
    QMenu* menu(MenuGroup g) const;
    QAction* computeMenuAction() const;
    QToolBar* dockBar() const { return dockBar_; }
    QLabel* Panel1;
    std::array<QLabel*, 4> StatusPanels{};
    const MenuState& menuState() const { return state_; }
    QString activeFormCaption() const;
    TClosefm* periodEndWindow() const { return closeWindow_; }

    // Ends the program (after a month close).
    void endProgram();
    // While locked no command runs (the month close is working or done).
    void lockCommands(bool locked);
    bool commandsLocked() const { return locked_; }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildMenus();
    void buildToolBars();
    void buildStatusBar();
    void applyMenuState();
    void refreshStatus();
    void focusChanged(QWindow* now);
    bool available(const CommandDef& c) const;
    QAction* makeAction(const CommandDef& c, bool forButton);

    // Commands carried out by the main window itself.
    void Calculator();
    void TestPayEnabledClick();
    void PeriodEndClick();
    void ComputeClick();
    void ArrangeIcons();
    void HelpContents(int context);
    void About();

    TdmPayroll& dm_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QToolBar* dockBar_ = nullptr;
    QToolBar* toolBar2_ = nullptr;
    std::map<MenuGroup, QMenu*> menus_;
    QAction* computeMenu_ = nullptr;
    std::map<std::string, QAction*> items_, buttons_;
    MenuState state_;
    bool activatedOnce_ = false;
    bool birthdaysShown_ = false;
    bool closing_ = false;
    bool activating_ = false;
    bool locked_ = false;
    QPointer<TClosefm> closeWindow_;
};

}  // namespace zuna
