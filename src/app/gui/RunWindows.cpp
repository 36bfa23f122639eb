// Start-up of the windows: splash, single-instance guard, data module, main window, login, then
// the event loop.
#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <cstdlib>
#include <iostream>

#include "app/fmVarGlobal.h"
#include "app/gui/EdLogin.h"
#include "app/gui/Commands.h"
#include "app/gui/EdSplash.h"
#include "app/gui/SingleInstance.h"
#include "app/gui/fmPass.h"
#include "app/gui/main.h"
#include "data/ZunaData.h"
#include "engine/Database.h"
#include "ui/Messages.h"

namespace zuna {

namespace {

// An error that escapes an event handler is shown as the default error message; the program
// goes on.
class ZunaApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* e) override {
        try {
            return QApplication::notify(receiver, e);
        } catch (const std::exception& ex) {
            ui::ShowError(activeWindow(), ex);
        }
        return false;
    }
};

bool haveDisplay() {
    for (const char* v : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* s = std::getenv(v);
        if (s && *s) return true;
    }
    return false;
}

QString initHint(const std::string& folder) {
    return QStringLiteral(
               "\n\nThe database folder is %1.\nTo prepare a new payroll database there, run:\n"
               "    zuna init --data \"%1\" --country K --company \"Company name\" --period 2009-01 --password PASSWORD\n"
               "or, to try the program on a demo company, scripts/run.")
        .arg(QString::fromStdString(folder));
}

}  // namespace

int runWindows(int argc, char** argv) {
    if (!haveDisplay()) {
        std::cerr << "zuna: no display is available for the windows; the command line works without one "
                     "(zuna --help)\n";
        return 1;
    }
    ZunaApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zuna"));
    QApplication::setApplicationVersion(QStringLiteral(ZUNA_VERSION));
    ui::setProgramTitle(QString::fromUtf8(TMainForm::kTitle));

    // 1. The splash with its gauge, painted at once.
    auto* splash = new TfmSplash(TfmSplash::Use::StartUp);
    splash->Loading->setMaximum(100);
    splash->show();
    splash->advance(0);

    // 2.-3. One copy per user logon: a later copy ends before it opens anything.
    SingleInstance guard;
    if (!guard.acquire()) {
        delete splash;
        std::cerr << "zuna: the program is already running for this user\n";
        return 0;
    }
    splash->advance(10);

    // 4. The data module opens the database through the alias "Zuna".
    std::unique_ptr<TdmPayroll> dm;
    std::string folder = Database::resolveAlias("Zuna");
    try {
        dm = std::make_unique<TdmPayroll>(folder);
    } catch (const std::exception& e) {
        splash->hide();
        QString text = QString::fromStdString(e.what()) + initHint(folder);
        std::cerr << "zuna: " << text.toStdString() << "\n";
        ui::ShowError(nullptr, text);
        delete splash;
        return 1;
    }
    splash->advance(40);

    // 5. The main window with the windows of every part plugged into its commands, and the
    // long-lived dialogs.
    plugInCommandWindows();
    TMainForm main(*dm);
    splash->advance(30);
    TLogform login(*dm);
    TfmPassword::shared().setParent(&main, TfmPassword::shared().windowFlags());
    splash->advance(20);

    // 6. Full gauge; the splash goes.
    splash->advance(100);
    splash->hide();
    delete splash;

    // 7.-8. Only an accepted login lets the program run.
    fmVarGlobal().LoginAccepted = false;
    login.exec();
    if (!fmVarGlobal().LoginAccepted) return 0;
    main.showMaximized();
    return app.exec();
}

}  // namespace zuna
