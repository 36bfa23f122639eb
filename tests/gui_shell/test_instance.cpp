// One copy of the program per user logon.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>

#include "app/gui/SingleInstance.h"
#include "support/TempDir.h"

using zuna::SingleInstance;

TEST(SingleInstance, ASecondCopyIsRefusedUntilTheFirstEnds) {
    zuna::test::TempDir d;
    auto first = std::make_unique<SingleInstance>(QString::fromStdString(d.str()));
    ASSERT_TRUE(first->acquire());
    SingleInstance second(QString::fromStdString(d.str()));
    EXPECT_FALSE(second.acquire());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST(SingleInstance, TheProgramStartedAgainEndsWithoutOpeningItsWindows) {
    zuna::test::TempDir d;
    std::filesystem::permissions(d.str(), std::filesystem::perms::owner_all);
    SingleInstance running(QString::fromStdString(d.str()));
    ASSERT_TRUE(running.acquire());

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(d.str()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZUNA_DATA", QString::fromStdString(d.sub("no-database-here")));
    p.setProcessEnvironment(env);
    p.start(ZUNA_BINARY, {});
    ASSERT_TRUE(p.waitForStarted(10000));
    bool ended = p.waitForFinished(20000);
    if (!ended) p.kill();  // it went on to open the database (and waits on its error box)
    ASSERT_TRUE(ended);
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains("already running"));
}
