#include "app/gui/main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QWindow>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "app/gui/EdSplash.h"
#include "app/gui/HelpWindow.h"
#include "app/gui/fmBirthday.h"
#include "app/gui/fmPass.h"
#include "calc/gui/fmCalcpay.h"
#include "data/ZunaData.h"
#include "period/gui/Closefm.h"
#include "ui/Messages.h"

namespace zuna {

// The commands the main window carries out itself; windows of other parts register theirs.
static void registerShellCommands() {
    static bool done = false;
    if (done) return;
    done = true;
    registerCommandWindow("Exit", [](TMainForm& m) { m.close(); });
    registerCommandWindow("Cascade", [](TMainForm& m) { m.mdiArea()->cascadeSubWindows(); });
    registerCommandWindow("Tile", [](TMainForm& m) { m.mdiArea()->tileSubWindows(); });
    registerCommandWindow("MinimizeAll", [](TMainForm& m) {
        for (auto* w : m.mdiArea()->subWindowList()) w->showMinimized();
    });
}

TMainForm::TMainForm(TdmPayroll& dm, QWidget* parent) : QMainWindow(parent), dm_(dm) {
    registerShellCommands();
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QString::fromUtf8(kTitle));
    fmVarGlobal().SortByDepartment = true;

    mdi_ = new QMdiArea(this);
    mdi_->setBackground(QColor(0, 128, 128));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    buildMenus();
    buildToolBars();
    buildStatusBar();
    applyMenuState();

    dm_.ConfirmYes = [this](const std::string& q) { return ui::ConfirmYes(this, QString::fromStdString(q)); };

    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TMainForm::focusChanged);
}

TMainForm::~TMainForm() {
    disconnect(qGuiApp, nullptr, this, nullptr);
    dm_.ConfirmYes = {};
}

// ------------------------------------------------------------------ building

QAction* TMainForm::makeAction(const CommandDef& c, bool forButton) {
    auto* a = new QAction(this);
    a->setObjectName(QString::fromStdString((forButton ? "btn" : "mi") + c.name));
    if (forButton) {
        a->setText(QString::fromStdString(c.button));
        a->setToolTip(QString::fromStdString(c.button));
        a->setStatusTip(QString::fromStdString(c.hint.empty() ? c.button : c.hint));
    } else {
        a->setText(QString::fromStdString(c.caption));
        a->setStatusTip(QString::fromStdString(c.hint));
        if (!c.shortcut.empty()) a->setShortcut(QKeySequence(QString::fromStdString(c.shortcut)));
    }
    a->setData(c.helpContext);
    std::string name = c.name;
    connect(a, &QAction::triggered, this, [this, name] { runCommand(name); });
    return a;
}

void TMainForm::buildMenus() {
    QMenuBar* bar = menuBar();
    for (const auto& m : menuTable()) {
        if (m.group == MenuGroup::Compute) {
            const CommandDef* c = findCommand("Compute");
            computeMenu_ = makeAction(*c, false);
            bar->addAction(computeMenu_);
            items_[c->name] = computeMenu_;
            continue;
        }
        QMenu* menu = bar->addMenu(QString::fromStdString(m.caption));
        menu->menuAction()->setStatusTip(QString::fromStdString(m.hint));
        menu->menuAction()->setData(m.helpContext);
        menu->setObjectName(QString::fromStdString(m.caption).remove('&') + QStringLiteral("Menu"));
        menu->installEventFilter(this);
        menus_[m.group] = menu;
        for (const auto& c : commandTable()) {
            if (c.menu != m.group) continue;
            QAction* a = makeAction(c, false);
            items_[c.name] = a;
            if (c.hidden) {
                // Not in the menu, but its short-cut works while the main window is active.
                addAction(a);
            } else {
                if (c.name == "Exit" || c.name == "PeriodEnd" || c.name == "About") menu->addSeparator();
                menu->addAction(a);
            }
        }
    }
}

static QIcon commandIcon(const std::string& name, QStyle* s) {
    static const std::map<std::string, QStyle::StandardPixmap> icons = {
        {"Employee", QStyle::SP_FileDialogContentsView},
        {"Transactions", QStyle::SP_FileDialogDetailedView},
        {"EmployeeBenefits", QStyle::SP_FileDialogInfoView},
        {"Batches", QStyle::SP_FileDialogListView},
        {"Tables", QStyle::SP_FileIcon},
        {"Codes", QStyle::SP_DirIcon},
        {"BankEntry", QStyle::SP_DriveHDIcon},
        {"PeriodEnd", QStyle::SP_MediaSkipForward},
        {"Compute", QStyle::SP_MediaPlay},
        {"BackupButton", QStyle::SP_DialogSaveButton},
        {"RestoreButton", QStyle::SP_DialogOpenButton},
        {"Calendar", QStyle::SP_FileDialogNewFolder},
        {"Calculator", QStyle::SP_ComputerIcon},
        {"Reports", QStyle::SP_FileDialogStart},
        {"Exit", QStyle::SP_DialogCloseButton},
        {"Contents", QStyle::SP_DialogHelpButton},
    };
    auto it = icons.find(name);
    return it == icons.end() ? QIcon() : s->standardIcon(it->second);
}

static QString buttonLabel(const std::string& name) {
    static const std::map<std::string, const char*> labels = {
        {"Employee", "Employees"},     {"Transactions", "Transactions"}, {"EmployeeBenefits", "Benefits"},
        {"Batches", "Batches"},        {"Tables", "Tax Tables"},         {"Codes", "Codes"},
        {"BankEntry", "Banks"},        {"PeriodEnd", "Period End"},      {"Compute", "Compute"},
        {"BackupButton", "Backup"},    {"RestoreButton", "Restore"},     {"Calendar", "Calendar"},
        {"Calculator", "Calculator"},  {"Reports", "Reports"},           {"Exit", "Exit"},
        {"Contents", "Help"},
    };
    auto it = labels.find(name);
    return it == labels.end() ? QString() : QString::fromLatin1(it->second);
}

void TMainForm::buildToolBars() {
    auto makeBar = [this](const QString& name, bool dockable) {
        auto* b = new QToolBar(name, this);
        b->setObjectName(name);
        b->setMovable(dockable);
        b->setFloatable(dockable);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(24, 24));
        addToolBar(Qt::TopToolBarArea, b);
        return b;
    };
    toolBar_ = makeBar(QStringLiteral("ToolBar1"), false);
    QToolBar* current = toolBar_;
    for (const auto& n : toolBarOrder()) {
        if (n == "[") {
            dockBar_ = makeBar(QStringLiteral("DockBar"), true);
            current = dockBar_;
            continue;
        }
        if (n == "]") {
            toolBar2_ = makeBar(QStringLiteral("ToolBar2"), false);
            current = toolBar2_;
            continue;
        }
        if (n == "|") {
            current->addSeparator();
            continue;
        }
        const CommandDef* c = findCommand(n);
        QAction* a = makeAction(*c, true);
        a->setIcon(commandIcon(n, style()));
        a->setIconText(buttonLabel(n));
        buttons_[n] = a;
        current->addAction(a);
    }
    // The month sits at the right end of the bar row, where no number of buttons can push it off.
    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    QFont f = Panel1->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    Panel1->setFont(f);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setMargin(4);
    menuBar()->setCornerWidget(Panel1, Qt::TopRightCorner);
}

void TMainForm::buildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setSizeGripEnabled(false);
    const int widths[4] = {200, 250, 150, 0};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(sb);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        l->setIndent(4);
        if (widths[i]) l->setFixedWidth(widths[i]);
        else l->setMinimumWidth(200);
        sb->addPermanentWidget(l, widths[i] ? 0 : 1);
        StatusPanels[static_cast<size_t>(i)] = l;
    }
}

// ------------------------------------------------------------------ state

bool TMainForm::available(const CommandDef& c) const {
    if (c.name == "Calculator" || c.name == "TestPayEnabled" || c.name == "PeriodEnd" || c.name == "Compute" ||
        c.name == "ArrangeIcons" || c.name == "Contents" || c.name == "About")
        return true;
    return commandWindow(c.name) != nullptr;
}

void TMainForm::applyMenuState() {
    menus_[MenuGroup::File]->menuAction()->setVisible(state_.isVisible(MenuItem::FileMenu));
    menus_[MenuGroup::Tools]->menuAction()->setVisible(state_.isVisible(MenuItem::ToolsMenu));
    dockBar_->setVisible(state_.isVisible(MenuItem::ToolsBar));
    for (const auto& c : commandTable()) {
        bool ready = available(c);
        if (auto* a = menuAction(c.name)) {
            bool visible = !c.hidden && (!c.itemRight || state_.isVisible(*c.itemRight));
            bool enabled = ready && (!c.itemRight || state_.isEnabled(*c.itemRight));
            if (!c.hidden) a->setVisible(visible);
            a->setEnabled(enabled);
        }
        if (auto* b = buttonAction(c.name)) {
            b->setVisible(!c.buttonRight || state_.isVisible(*c.buttonRight));
            b->setEnabled(ready && (!c.buttonRight || state_.isEnabled(*c.buttonRight)));
        }
    }
}

QString TMainForm::activeFormCaption() const {
    if (QMdiSubWindow* w = mdi_->activeSubWindow()) return w->windowTitle();
    return windowTitle();
}

void TMainForm::refreshStatus() {
    auto& g = fmVarGlobal();
    StatusPanels[2]->setText(QStringLiteral("User : ") + QString::fromStdString(g.CurrentUser));
    StatusPanels[1]->setText(QStringLiteral("Active : ") + activeFormCaption());
    QDate t = QDate::currentDate();
    StatusPanels[3]->setText(QStringLiteral("Date : ") +
                             QString::fromStdString(LongDateText(Date(t.year(), t.month(), t.day()))));
}

void TMainForm::FormActivate() {
    if (activating_) return;
    activating_ = true;
    auto& g = fmVarGlobal();
    ui::guarded(this, [&] {
        ActivateMain(dm_);
        dm_.paysys.first();
        QString company = QString::fromStdString(Trim(dm_.paysys.asString("COMP_NAME")));
        setWindowTitle(company.isEmpty() ? QString::fromUtf8(kTitle)
                                         : QString::fromUtf8(kTitle) + QStringLiteral(" - ") + company);
        Panel1->setText(QString::fromStdString(PeriodPanelText(dm_)));
    });
    // The whole screen, also where no window manager maximises it.
    if (QScreen* sc = screen()) {
        QRect avail = sc->availableGeometry();
        if (frameGeometry().width() < avail.width() * 9 / 10 || frameGeometry().height() < avail.height() * 9 / 10)
            setGeometry(avail);
    }
    refreshStatus();
    ApplyActivationRules(state_, g);
    applyMenuState();
    // The reminder comes once a run: showing it on every activation would bring it back each
    // time it (or any other dialog) closes.
    if (g.BirthdayReminder && !birthdaysShown_) {
        birthdaysShown_ = true;
        ui::guarded(this, [&] {
            dm_.Birthdays.close();
            dm_.Birthdays.setParam("pmonth", Value(g.PeriodMonth));
            dm_.Birthdays.open();
            TfmBirthdays dlg(dm_, this);
            dlg.exec();
            dm_.Birthdays.close();
        });
    }
    activating_ = false;
}

void TMainForm::UpdateMenuItems() {
    auto& g = fmVarGlobal();
    UserRights r;
    ui::guarded(this, [&] { r = ReadUserRights(dm_.PayUsers); });
    if (!zuna::UpdateMenuItems(state_, g, r, static_cast<int>(mdi_->subWindowList().size()))) return;
    applyMenuState();
    refreshStatus();
}

void TMainForm::focusChanged(QWindow* now) {
    if (!now || now != windowHandle() || !activatedOnce_) return;
    // Back from one of the program's own windows (a dialog closed): the main window is active again.
    FormActivate();
    UpdateMenuItems();
}

void TMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (activatedOnce_) return;
    activatedOnce_ = true;
    QTimer::singleShot(0, this, [this] {
        FormActivate();
        UpdateMenuItems();
    });
}

// ------------------------------------------------------------------ commands

QAction* TMainForm::menuAction(const std::string& name) const {
    auto it = items_.find(name);
    return it == items_.end() ? nullptr : it->second;
}

QAction* TMainForm::buttonAction(const std::string& name) const {
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

QMenu* TMainForm::menu(MenuGroup g) const {
    auto it = menus_.find(g);
    return it == menus_.end() ? nullptr : it->second;
}

QAction* TMainForm::computeMenuAction() const { return computeMenu_; }

bool TMainForm::runCommand(const std::string& name) {
    const CommandDef* c = findCommand(name);
    if (!c || !available(*c) || locked_) return false;
    if (name == "Calculator") return Calculator(), true;
    if (name == "TestPayEnabled") return TestPayEnabledClick(), true;
    if (name == "ArrangeIcons") return ArrangeIcons(), true;
    if (name == "About") return About(), true;
    if (name == "Contents") return HelpContents(1), true;
    if (c->gate && !RunPasswordGate(this, dm_, *c->gate)) return false;
    if (c->refreshTables && !ui::guarded(this, [&] {
            dm_.OpenAllTables();
            dm_.RefreshAllTables();
        }))
        return false;
    if (name == "PeriodEnd") return PeriodEndClick(), true;
    if (name == "Compute") return ComputeClick(), true;
    const CommandAction* a = commandWindow(name);
    return ui::guarded(this, [&] { (*a)(*this); });
}

QMdiSubWindow* TMainForm::openChild(QWidget* w) {
    w->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = mdi_->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(sub, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, [this] { UpdateMenuItems(); }); });
    w->show();
    UpdateMenuItems();
    return sub;
}

void TMainForm::Calculator() {
    static const char* programs[] = {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk",
                                     "qalculate-qt", "speedcrunch", "xcalc"};
    for (const char* p : programs) {
        QString path = QStandardPaths::findExecutable(QString::fromLatin1(p));
        if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
    }
    ui::MessageDlg(this, QStringLiteral("No calculator program was found on this computer."),
                   ui::MsgType::Information, ui::MsgButtons::Ok);
}

void TMainForm::TestPayEnabledClick() {
    if (ui::guarded(this, [&] { ToggleTestPay(dm_); })) UpdateMenuItems();
}

void TMainForm::PeriodEndClick() {
    if (closeWindow_) {
        // One period-end window at a time: a second one could close the next month as well.
        closeWindow_->show();
        closeWindow_->raise();
        closeWindow_->activateWindow();
        return;
    }
    auto* w = new TClosefm(dm_, this);
    w->setAttribute(Qt::WA_DeleteOnClose);
    connect(w, &TClosefm::programEndRequested, this, &TMainForm::endProgram);
    connect(w, &TClosefm::busyChanged, this, &TMainForm::lockCommands);
    closeWindow_ = w;
    w->show();
}

void TMainForm::ComputeClick() {
    TfmCalcpay dlg(dm_, this);
    dlg.exec();
}

void TMainForm::ArrangeIcons() {
    int x = 0;
    int y = mdi_->viewport()->height();
    for (auto* w : mdi_->subWindowList()) {
        if (!w->isMinimized()) continue;
        QSize s = w->size();
        if (x + s.width() > mdi_->viewport()->width() && x > 0) {
            x = 0;
            y -= s.height();
        }
        w->move(x, y - s.height());
        x += s.width();
    }
}

void TMainForm::HelpContents(int context) { THelpWindow::shared(this).showContext(context); }

void TMainForm::About() {
    auto* s = new TfmSplash(TfmSplash::Use::About, this);
    s->show();
}

void TMainForm::lockCommands(bool locked) {
    locked_ = locked;
    menuBar()->setEnabled(!locked);
    for (auto* b : {toolBar_, dockBar_, toolBar2_}) b->setEnabled(!locked);
    mdi_->setEnabled(!locked);
}

void TMainForm::endProgram() {
    closing_ = true;
    close();
    QCoreApplication::quit();
}

// ------------------------------------------------------------------ events

bool TMainForm::event(QEvent* e) {
    if (e->type() == QEvent::StatusTip) {
        StatusPanels[0]->setText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

bool TMainForm::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        if (auto* m = qobject_cast<QMenu*>(o)) {
            int context = m->menuAction()->data().toInt();
            if (QAction* a = m->activeAction(); a && a->data().toInt() > 0) context = a->data().toInt();
            m->close();
            HelpContents(context);
            return true;
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void TMainForm::closeEvent(QCloseEvent* e) {
    if (closeWindow_ && closeWindow_->stage() == TClosefm::Stage::Running && !closing_) {
        e->ignore();  // the month close is writing: it cannot be interrupted
        return;
    }
    QMainWindow::closeEvent(e);
}

}  // namespace zuna
