// The demo company through two months and a year end: compute, close, compute, close, with the
// program started afresh after each close as the period-end window leaves it.
#include <gtest/gtest.h>

#if __has_include("calc/Zunacalc.h")

#include <map>

#include "calc/Zunacalc.h"
#include "period/CloseFixture.h"
#include "period/fmClose.h"

using namespace zuna;
using zuna::test::CloseShop;

namespace {

struct Figures {
    std::string status;
    double nett = 0, paye = 0, ytdEarn = 0, ytdPaye = 0, accEarn = 0;
};

std::map<std::string, Figures> employees(CloseShop& s) {
    std::map<std::string, Figures> out;
    s.db().flushPending();
    Stmt q =
        s.db().prepare("SELECT EMPNO, ESTATUS, NETT, PAYE, YTD_EARN, YTD_PAYE, ACC_EARN FROM payrf01 ORDER BY EMPNO");
    while (q.step())
        out[q.column(0).toString()] = Figures{q.column(1).toString(), q.column(2).toDouble(), q.column(3).toDouble(),
                                              q.column(4).toDouble(), q.column(5).toDouble(), q.column(6).toDouble()};
    return out;
}

std::map<std::string, double> taxCards(CloseShop& s, const std::string& table, const std::string& month) {
    std::map<std::string, double> out;
    s.db().flushPending();
    Stmt q = s.db().prepare("SELECT EMPNO, TAXDED FROM " + table + " WHERE TMONTH = ?1");
    q.bind(1, Value(month));
    while (q.step()) out[q.column(0).toString()] = q.column(1).toDouble();
    return out;
}

void closeAndRestart(CloseShop& s) {
    TfmCloseLogic(*s.dm).Closemonth();
    // The program ends after a close; the next run starts in the new period.
    s.shut();
    s.open();
}

}  // namespace

TEST(MonthCloseScenario, DemoCompanyComputedAndClosedThroughTheYearEnd) {
    CloseShop s("K", 2009, 11, true);
    if (s.count("payrf01") == 0) GTEST_SKIP() << "the demo company has no employees yet";
    const auto start = employees(s);

    Zunacalc(*s.dm).Processpay();
    const auto november = employees(s);
    const auto novemberCards = taxCards(s, "payrf04", "11");
    closeAndRestart(s);
    const auto afterNovember = employees(s);
    int activeInNovember = 0;
    for (const auto& [empno, f] : november) {
        SCOPED_TRACE(empno);
        const double rolled = f.status == "A" ? f.nett : 0;
        activeInNovember += f.status == "A";
        EXPECT_NEAR(afterNovember.at(empno).ytdEarn, start.at(empno).ytdEarn + rolled, 1e-6);
        EXPECT_NEAR(afterNovember.at(empno).ytdPaye, start.at(empno).ytdPaye + (f.status == "A" ? f.paye : 0), 1e-6);
        if (f.status == "A") EXPECT_EQ(afterNovember.at(empno).nett, 0);
    }
    EXPECT_GT(activeInNovember, 0);
    EXPECT_EQ(s.count("paytemp1", "PayMonth = '11' AND PayYear = '2009'"), activeInNovember);
    EXPECT_EQ(s.cell("paysys", "EDATE").toDate(), Date(2009, 12, 31));

    Zunacalc(*s.dm).Processpay();
    const auto december = employees(s);
    const auto decemberCards = taxCards(s, "payrf04", "12");
    EXPECT_FALSE(decemberCards.empty());
    closeAndRestart(s);
    const auto afterYearEnd = employees(s);

    // The tax deduction cards of 2009 are archived as computed, and the new year starts clean.
    EXPECT_EQ(taxCards(s, "PayP92009", "11"), novemberCards);
    EXPECT_EQ(taxCards(s, "PayP92009", "12"), decemberCards);
    EXPECT_EQ(s.count("payrf04", "PAY <> 0 OR TAXDED <> 0 OR CFWD <> 0"), 0);
    for (const auto& [empno, f] : december) {
        SCOPED_TRACE(empno);
        EXPECT_EQ(afterYearEnd.at(empno).ytdEarn, 0);
        EXPECT_EQ(afterYearEnd.at(empno).ytdPaye, 0);
        const double accrued = start.at(empno).accEarn +
                               (november.at(empno).status == "A" ? november.at(empno).nett : 0) +
                               (f.status == "A" ? f.nett : 0);
        EXPECT_NEAR(afterYearEnd.at(empno).accEarn, accrued, 1e-6);
    }
    EXPECT_EQ(s.cell("paysys", "PERIOD").toInt(), 1);
    EXPECT_EQ(s.cell("paysys", "EDATE").toDate(), Date(2010, 1, 31));

    // January of the new year computes on what the close left.
    Zunacalc(*s.dm).Processpay();
    EXPECT_GT(s.count("payrf04", "TMONTH = '01' AND PAY > 0"), 0);
}

#endif
