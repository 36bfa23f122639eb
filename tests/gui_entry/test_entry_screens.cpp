// Pictures of the entry windows on a database, for people to look at:
//   ZUNA_SCREENSHOT_DB=/path/to/db ZUNA_SCREENSHOT_DIR=/tmp/shots xvfb-run -a ./test_gui_entry --gtest_filter=*Screens*
// Without both variables the test does nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <cstdlib>
#include <iostream>

#include "app/Session.h"
#include "data/ZunaData.h"
#include "entry/gui/Eentry.h"
#include "entry/gui/ZunaSrchDlg.h"
#include "entry/gui/Zunatrans.h"

namespace zuna::test {
namespace {

TEST(EntryScreens, PicturesOfEveryPage) {
    const char* db = std::getenv("ZUNA_SCREENSHOT_DB");
    const char* out = std::getenv("ZUNA_SCREENSHOT_DIR");
    if (!db || !out) GTEST_SKIP() << "set ZUNA_SCREENSHOT_DB and ZUNA_SCREENSHOT_DIR";
    QString dir = QString::fromLocal8Bit(out);
    TdmPayroll dm{std::string(db)};
    LoginActivate(dm);
    ASSERT_TRUE(LoginUser(dm, "ADMIN", std::getenv("ZUNA_SCREENSHOT_PASSWORD") ? std::getenv("ZUNA_SCREENSHOT_PASSWORD") : "PW"));
    ActivateMain(dm);

    QMainWindow frame;
    auto* mdi = new QMdiArea;
    mdi->setBackground(QColor(0, 128, 128));
    frame.setCentralWidget(mdi);
    frame.resize(1200, 800);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    auto shoot = [&](QWidget* w, const QString& name) {
        QApplication::processEvents();
        QTest::qWait(50);
        EXPECT_TRUE(w->grab().save(dir + "/" + name + ".png")) << name.toStdString();
    };

    {
        auto* e = new TfmEentry(dm);
        QMdiSubWindow* sub = mdi->addSubWindow(e);
        sub->show();
        e->logic().GoTo("0003");
        e->EmpnmChange();
        e->dbEmpnoChange();
        // The order Tab takes through the header and the first page, for people to read.
        sub->activateWindow();
        e->Empnum->setFocus();
        QApplication::processEvents();
        std::string order;
        for (int i = 0; i < 16; ++i) {
            QWidget* f = QApplication::focusWidget();
            order += (f ? f->objectName().toStdString() : std::string("-")) + " ";
            QTest::keyClick(f ? f : e, Qt::Key_Tab);
        }
        std::cout << "tab order: " << order << "\n";
        const char* names[] = {"employee-personal", "employee-employment", "employee-accounting",
                               "employee-family",   "employee-education",  "employee-courses"};
        for (int i = 0; i < e->Empent->count(); ++i) {
            e->Empent->setCurrentIndex(i);
            shoot(sub, QString::fromLatin1(names[i]));
        }
        shoot(&frame, QStringLiteral("employee-in-frame"));
        sub->close();
    }
    {
        auto* t = new TfmTransEntry(dm);
        QMdiSubWindow* sub = mdi->addSubWindow(t);
        sub->show();
        const char* names[] = {"trans-payments", "trans-deductions", "trans-loans", "trans-savings", "trans-leave"};
        for (int i = 0; i < t->Pages->count(); ++i) {
            t->Pages->setCurrentIndex(i);
            shoot(sub, QString::fromLatin1(names[i]));
        }
        sub->close();
    }
    {
        TxSearchDlg s(dm);
        s.logic().SetupEmployee();
        s.FormActivate();
        s.show();
        QTest::keyClicks(s.searchText(), "ka");
        shoot(&s, QStringLiteral("search-employee"));
        s.logic().SetupPayCode();
        s.FormActivate();
        shoot(&s, QStringLiteral("search-paycode"));
        s.hide();
    }
    {
        auto* b = new TfmEmpbenefits(dm);
        QMdiSubWindow* sub = mdi->addSubWindow(b);
        sub->show();
        shoot(sub, QStringLiteral("benefits"));
        sub->close();
    }
}

}  // namespace
}  // namespace zuna::test
