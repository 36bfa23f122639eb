// The data module over a prepared database: every table opens, links and standing filters hold.
#include <gtest/gtest.h>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "support/TempDir.h"

using namespace zuna;

TEST(DataModule, OpensEveryTableOfAPreparedDatabaseAndLogsIn) {
    test::TempDir dir;
    PrepareOptions o;
    o.folder = dir.sub("db");
    o.company = "Test Company Ltd";
    o.password = "secret";
    PrepareDatabase(o);
    TdmPayroll dm(o.folder);
    for (Table* t : dm.allTables()) EXPECT_TRUE(t->active()) << t->tableName();
    LoginActivate(dm);
    EXPECT_EQ(ProposedLoginName(dm), "ADMIN");
    EXPECT_FALSE(LoginUser(dm, "ADMIN", "secret"));  // stored in capitals
    EXPECT_TRUE(LoginUser(dm, "ADMIN", "SECRET"));
    EXPECT_TRUE(fmVarGlobal().fullRights());
    ActivateMain(dm);
    EXPECT_EQ(PeriodPanelText(dm), "Month : January 2009");
    EXPECT_EQ(fmVarGlobal().PeriodMonth, "01");
    // The audit row is written and the log table closed again.
    EXPECT_FALSE(dm.PayLog.active());
    dm.PayLog.open();
    EXPECT_EQ(dm.PayLog.recordCount(), 1);
}
