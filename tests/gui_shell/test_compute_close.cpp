// The computation window and the period-end window over the real computation and month close.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

#include "app/Session.h"
#include "app/gui/main.h"
#include "calc/gui/fmCalcpay.h"
#include "period/gui/Closefm.h"
#include "ShellFixture.h"

using namespace zuna;
using zuna::test::ShellFixture;

namespace {

void login(ShellFixture& f) {
    LoginActivate(*f.dm);
    ASSERT_TRUE(LoginUser(*f.dm, "ADMIN", "SECRET"));
    ActivateMain(*f.dm);
}

// Net pay of every active employee, by number.
std::map<std::string, double> netPay(TdmPayroll& dm) {
    std::map<std::string, double> n;
    for (dm.payroll.first(); !dm.payroll.eof(); dm.payroll.next())
        n[dm.payroll.asString("EMPNO")] = dm.payroll.asFloat("NETT");
    return n;
}

bool shown(QWidget* w) { return !w->isHidden(); }

struct Period {
    long long period;
    std::string edate;
    bool operator==(const Period& o) const { return period == o.period && edate == o.edate; }
};
Period period(TdmPayroll& dm) {
    dm.paysys.first();
    return {dm.paysys.asInteger("PERIOD"), dm.paysys.asString("EDATE")};
}

}  // namespace

TEST(ComputeWindow, StartRunsTheComputationAndOffersClose) {
    ShellFixture f("K", true);
    login(f);
    auto before = netPay(*f.dm);
    ASSERT_GT(before.size(), 10u);

    TfmCalcpay w(*f.dm);
    EXPECT_EQ(w.windowTitle(), "Payroll Computation in Progress");
    EXPECT_TRUE(shown(w.bbStart));
    EXPECT_FALSE(shown(w.bbClose));
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
    w.show();
    QSignalSpy gauge(w.Gauge1, &QProgressBar::valueChanged);
    w.bbStart->click();
    EXPECT_EQ(w.windowTitle(), "Payroll Computation Complete !!!");
    EXPECT_FALSE(shown(w.bbStart));
    EXPECT_TRUE(shown(w.bbClose));
    EXPECT_EQ(w.Gauge1->value(), 100);
    EXPECT_GT(gauge.count(), 1);  // it moved along the way
    auto after = netPay(*f.dm);
    int paid = 0;
    for (auto& [emp, nett] : after) paid += nett > 0;
    EXPECT_GT(paid, static_cast<int>(after.size()) / 2);
    EXPECT_TRUE(f.messages.empty());
    w.bbClose->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
}

TEST(ComputeWindow, AFailedRunShowsTheErrorChangesNothingAndOffersClose) {
    ShellFixture f("K", true);
    login(f);
    auto before = netPay(*f.dm);
    // Another user holds the coin analysis table, which the run must empty on its own.
    auto other = Database::open(f.dir.sub("db"));
    Table held(*other, "payrf05");
    held.open();

    TfmCalcpay w(*f.dm);
    w.show();
    w.bbStart->click();
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].type, ui::MsgType::Error);
    EXPECT_TRUE(f.messages[0].text.contains("payrf05")) << f.messages[0].text.toStdString();
    EXPECT_TRUE(w.failed());
    EXPECT_TRUE(shown(w.bbClose));
    EXPECT_NE(w.windowTitle(), "Payroll Computation Complete !!!");
    EXPECT_EQ(netPay(*f.dm), before);
    held.close();
}

TEST(PeriodEndWindow, PagesAndButtonsAndCancelChangesNothing) {
    ShellFixture f;
    login(f);
    Period start = period(*f.dm);
    struct Page {
        const char* caption;
        const char* textStart;
        bool back;
        const char* next;
    } pages[] = {
        {"Period End - Page 1 of 3", "This period end procedure  clears all variable entries", false, "&Next >"},
        {"Period End - Page 2 of 3", "You have selected to continue with the period end.", true, "&Next >"},
        {"Period End - Page 3 of 3", "If you are sure you still want to proceed with the period end, press FINISH",
         true, "&Finish"},
    };
    for (int cancelOn = 1; cancelOn <= 3; ++cancelOn) {
        TClosefm w(*f.dm);
        QSignalSpy end(&w, &TClosefm::programEndRequested);
        w.show();
        EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_FALSE(w.isModal());
        for (int p = 1; p <= cancelOn; ++p) {
            const Page& pg = pages[p - 1];
            EXPECT_EQ(w.windowTitle(), pg.caption);
            EXPECT_TRUE(w.PageText->text().startsWith(pg.textStart)) << p;
            EXPECT_EQ(w.Backbtn->isEnabled(), pg.back) << p;
            EXPECT_EQ(w.NextBtn->text(), pg.next) << p;
            EXPECT_EQ(w.CancelBtn->text(), "&Cancel");
            if (p < cancelOn) w.NextBtn->click();
        }
        w.CancelBtn->click();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(end.count(), 0);
        EXPECT_TRUE(period(*f.dm) == start);
        EXPECT_FALSE(f.dm->db().tableExists("PayM012009"));
    }
    // Back from the last page gives "&Next >" again.
    TClosefm w(*f.dm);
    w.NextBtn->click();
    w.NextBtn->click();
    w.Backbtn->click();
    EXPECT_EQ(w.windowTitle(), "Period End - Page 2 of 3");
    EXPECT_EQ(w.NextBtn->text(), "&Next >");
    w.Backbtn->click();
    EXPECT_EQ(w.windowTitle(), "Period End - Page 1 of 3");
    EXPECT_FALSE(w.Backbtn->isEnabled());
}

TEST(PeriodEndWindow, FinishClosesTheMonthAndCloseEndsTheProgram) {
    ShellFixture f;
    login(f);
    TClosefm w(*f.dm);
    QSignalSpy end(&w, &TClosefm::programEndRequested);
    QSignalSpy busy(&w, &TClosefm::busyChanged);
    w.show();
    w.NextBtn->click();
    w.NextBtn->click();
    w.NextBtn->click();  // Finish
    EXPECT_EQ(w.stage(), TClosefm::Stage::Done);
    EXPECT_TRUE(f.messages.empty());
    EXPECT_FALSE(shown(w.PageText));
    EXPECT_TRUE(shown(w.Gauge));
    EXPECT_EQ(w.Gauge->value(), 100);
    EXPECT_FALSE(w.Backbtn->isEnabled());
    EXPECT_FALSE(w.NextBtn->isEnabled());
    EXPECT_EQ(w.CancelBtn->text(), "Close");
    EXPECT_TRUE(w.CancelBtn->isEnabled());
    ASSERT_EQ(busy.count(), 1);
    EXPECT_TRUE(busy[0][0].toBool());
    EXPECT_TRUE(period(*f.dm) == (Period{2, "28/02/2009"}));
    EXPECT_TRUE(f.dm->db().tableExists("PayM012009"));
    EXPECT_EQ(end.count(), 0);
    w.CancelBtn->click();
    EXPECT_EQ(end.count(), 1);
}

TEST(PeriodEndWindow, AFailedCloseShowsTheErrorAndLeavesTheMonthOpenToRetry) {
    ShellFixture f;
    login(f);
    f.dm->db().copyTable("payrf01", "PayM012009");  // an archive of this month exists already
    Period start = period(*f.dm);
    TClosefm w(*f.dm);
    QSignalSpy busy(&w, &TClosefm::busyChanged);
    w.show();
    w.NextBtn->click();
    w.NextBtn->click();
    w.NextBtn->click();
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].type, ui::MsgType::Error);
    EXPECT_TRUE(f.messages[0].text.contains("PayM012009")) << f.messages[0].text.toStdString();
    EXPECT_EQ(w.stage(), TClosefm::Stage::Page3);
    EXPECT_TRUE(w.NextBtn->isEnabled());
    EXPECT_TRUE(w.CancelBtn->isEnabled());
    EXPECT_EQ(w.NextBtn->text(), "&Finish");
    ASSERT_EQ(busy.count(), 2);
    EXPECT_FALSE(busy[1][0].toBool());
    EXPECT_TRUE(period(*f.dm) == start);
    // Put right, finish again.
    f.dm->db().dropTable("PayM012009");
    f.messages.clear();
    w.NextBtn->click();
    EXPECT_EQ(w.stage(), TClosefm::Stage::Done);
    EXPECT_TRUE(period(*f.dm) == (Period{2, "28/02/2009"}));
}

TEST(PeriodEndWindow, TheMainWindowOpensOneBehindTheManagerPasswordAndLocksWhenDone) {
    ShellFixture f;
    login(f);
    TMainForm m(*f.dm);
    m.FormActivate();
    m.UpdateMenuItems();
    auto answer = [](const char* typed) {
        zuna::test::whenModal([typed](QWidget* w) {
            w->findChild<QLineEdit*>("Password")->setText(typed);
            QMetaObject::invokeMethod(w, "accept");
        });
    };
    answer("ADMINPW");  // the administrator's, not the manager's
    EXPECT_FALSE(m.runCommand("PeriodEnd"));
    EXPECT_EQ(m.periodEndWindow(), nullptr);
    answer("MANAGER");
    EXPECT_TRUE(m.runCommand("PeriodEnd"));
    TClosefm* w = m.periodEndWindow();
    ASSERT_NE(w, nullptr);
    answer("MANAGER");
    EXPECT_TRUE(m.runCommand("PeriodEnd"));
    EXPECT_EQ(m.periodEndWindow(), w);  // the same window, not a second close
    w->NextBtn->click();
    w->NextBtn->click();
    w->NextBtn->click();
    EXPECT_EQ(w->stage(), TClosefm::Stage::Done);
    EXPECT_TRUE(m.commandsLocked());
    EXPECT_FALSE(m.runCommand("Compute"));
}
