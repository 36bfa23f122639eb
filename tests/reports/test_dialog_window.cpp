// The report dialog window: opens on the net pay list, hides the tabs the user has no right to.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTabWidget>

#include "ReportsFixture.h"
#include "reports/gui/ZunaPrnDlg.h"

namespace zuna::test {
namespace {

TEST(ReportDialogWindow, OpensOnTheNetPayListAndHidesTabsWithoutRights) {
    ReportsFixture f;
    f.employee("0001", {{"NETT", Value(10.0)}});
    Table& users = f.dm().PayUsers;
    ASSERT_TRUE(users.locate("USER", Value(fmVarGlobal().CurrentUser)));
    users.edit();
    for (int i = 21; i <= 26; ++i) users.setBoolean("MENU" + std::to_string(i), i != 23);
    users.post();

    report::TRepForm form(f.dm());
    form.setAttribute(Qt::WA_DeleteOnClose, false);
    form.show();
    EXPECT_EQ(form.windowTitle(), "Zuna 7.0 for Windows - Payroll Reports");
    ASSERT_NE(form.preparer().current(), nullptr);
    EXPECT_EQ(form.preparer().current(), &form.preparer().netpay.report());
    auto* summary = qobject_cast<QListWidget*>(form.pages()->widget(0));
    EXPECT_EQ(summary->item(0)->text(), "Net Pay Report - All");
    EXPECT_TRUE(form.pages()->isTabVisible(0));
    EXPECT_FALSE(form.pages()->isTabVisible(2));  // Deductions without MENU23
}

}  // namespace
}  // namespace zuna::test
