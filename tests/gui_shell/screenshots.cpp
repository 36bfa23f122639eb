// Pictures of the login dialog, the main window and the period-end window on the demo company,
// for people to look at (scripts/screenshots runs it under Xvfb). Not part of the test run.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/Session.h"
#include "app/gui/EdLogin.h"
#include "app/gui/main.h"
#include "calc/gui/fmCalcpay.h"
#include "period/gui/Closefm.h"
#include "ShellFixture.h"

using namespace zuna;

namespace {
void settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}
void shoot(const QString& folder, const QString& name) {
    settle();
    QPixmap p = QGuiApplication::primaryScreen()->grabWindow(0);
    ASSERT_TRUE(p.save(QDir(folder).filePath(name)));
}
}  // namespace

TEST(DISABLED_Screenshots, LoginMainComputeAndPeriodEnd) {
    QString folder = qEnvironmentVariable("ZUNA_SCREENSHOTS");
    if (folder.isEmpty()) GTEST_SKIP() << "ZUNA_SCREENSHOTS names the folder for the pictures";
    QDir().mkpath(folder);
    test::ShellFixture f("K", true);
    ui::setMessageHandler({});
    f.dm->paysys.first();
    f.dm->paysys.edit();
    f.dm->paysys.setBoolean("HRDATA", false);
    f.dm->paysys.setString("COMP_NAME", "Demo Company Ltd");
    f.dm->paysys.post();

    plugInCommandWindows();
    TMainForm main(*f.dm);
    {
        TLogform login(*f.dm);
        login.show();
        login.move(QGuiApplication::primaryScreen()->geometry().center() - login.rect().center());
        QTest::keyClicks(login.edPassword, "secret");
        shoot(folder, "login.png");
        login.OKBtn->click();
        ASSERT_TRUE(fmVarGlobal().LoginAccepted);
    }
    main.showMaximized();
    settle(600);
    shoot(folder, "main.png");

    TfmCalcpay calc(*f.dm, &main);
    calc.show();
    calc.bbStart->click();
    shoot(folder, "compute.png");
    calc.accept();

    TClosefm close(*f.dm, &main);
    close.show();
    close.move(main.geometry().center() - close.rect().center());
    close.NextBtn->click();
    close.NextBtn->click();
    shoot(folder, "period-end.png");
    close.CancelBtn->click();
}
