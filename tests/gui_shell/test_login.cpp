// The login dialog and the administrator password gate, driven through their real widgets.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/Session.h"
#include "app/gui/EdLogin.h"
#include "app/gui/fmPass.h"
#include "ShellFixture.h"

using namespace zuna;
using zuna::test::ShellFixture;

namespace {

// Shows the dialog as start-up does (activation on show), types and presses OK.
struct LoginRun {
    explicit LoginRun(ShellFixture& f) : dlg(*f.dm) { dlg.show(); }
    void type(const QString& name, const QString& password) {
        dlg.edUser->clear();
        QTest::keyClicks(dlg.edUser, name);
        dlg.edPassword->clear();
        QTest::keyClicks(dlg.edPassword, password);
    }
    TLogform dlg;
};

}  // namespace

TEST(Login, ProposesAdminThenTheLastAuditNameCutToSix) {
    ShellFixture f;
    f.addUser({"CLERKJOHN1", "PW"});
    {
        LoginRun r(f);
        EXPECT_EQ(r.dlg.edUser->text(), "ADMIN");
        EXPECT_EQ(r.dlg.edUser->selectedText(), "ADMIN");
        EXPECT_TRUE(r.dlg.edPassword->text().isEmpty());
        r.type("clerkjohn1", "pw");
        r.dlg.OKBtn->click();
        EXPECT_EQ(r.dlg.result(), QDialog::Accepted);
    }
    LoginRun again(f);
    EXPECT_EQ(again.dlg.edUser->text(), "CLERKJ");
}

TEST(Login, OkFollowsThePasswordBoxAndBothBoxesTypeCapitals) {
    ShellFixture f;
    LoginRun r(f);
    EXPECT_FALSE(r.dlg.OKBtn->isEnabled());
    EXPECT_TRUE(r.dlg.OKBtn->isDefault());
    QTest::keyClicks(r.dlg.edPassword, "se");
    EXPECT_TRUE(r.dlg.OKBtn->isEnabled());
    EXPECT_EQ(r.dlg.edPassword->text(), "SE");
    EXPECT_EQ(r.dlg.edPassword->echoMode(), QLineEdit::Password);
    QTest::keyClick(r.dlg.edPassword, Qt::Key_Backspace);
    QTest::keyClick(r.dlg.edPassword, Qt::Key_Backspace);
    EXPECT_FALSE(r.dlg.OKBtn->isEnabled());
    r.dlg.edUser->clear();
    QTest::keyClicks(r.dlg.edUser, "admin");
    EXPECT_EQ(r.dlg.edUser->text(), "ADMIN");
}

TEST(Login, RefusalsKeepTheDialogOpenWithoutLimitThenTheRightPasswordIsAccepted) {
    ShellFixture f;
    int before = f.auditRows();
    LoginRun r(f);
    for (const char* wrong : {"WRONG", "SECRE", "SECRET2"}) {
        r.type("admin", wrong);
        r.dlg.OKBtn->click();
        EXPECT_FALSE(fmVarGlobal().LoginAccepted) << wrong;
        EXPECT_TRUE(r.dlg.isVisible()) << wrong;
        EXPECT_EQ(r.dlg.focusWidget(), r.dlg.edUser) << wrong;
    }
    ASSERT_EQ(f.messages.size(), 3u);
    for (const auto& m : f.messages) {
        EXPECT_EQ(m.text, "Login not accepted !!! Exiting the Program.");
        EXPECT_EQ(m.type, ui::MsgType::Information);
        EXPECT_EQ(m.buttons, ui::MsgButtons::Ok);
    }
    EXPECT_EQ(f.auditRows(), before);
    r.type("admin", "secret");
    r.dlg.OKBtn->click();
    EXPECT_TRUE(fmVarGlobal().LoginAccepted);
    EXPECT_EQ(fmVarGlobal().CurrentUser, "ADMIN");
    EXPECT_EQ(fmVarGlobal().UserCategory, "A");
    EXPECT_EQ(fmVarGlobal().CountryCode, "K");
    EXPECT_EQ(f.auditRows(), before + 1);
    EXPECT_EQ(r.dlg.result(), QDialog::Accepted);
}

TEST(Login, NameIsCutToTenCharactersAndCancelRefuses) {
    ShellFixture f;
    f.addUser({"CLERKJOHN1", "PW", "B", 3});
    LoginRun r(f);
    r.type("clerkjohn1xyz", "pw");
    r.dlg.OKBtn->click();
    EXPECT_TRUE(fmVarGlobal().LoginAccepted);
    EXPECT_EQ(fmVarGlobal().CurrentUser, "CLERKJOHN1");
    EXPECT_EQ(fmVarGlobal().UserLevel, 3);

    LoginRun c(f);
    c.dlg.CancelBtn->click();
    EXPECT_FALSE(fmVarGlobal().LoginAccepted);
    EXPECT_EQ(c.dlg.result(), QDialog::Rejected);
}

// ------------------------------------------------------------------ the password gate

namespace {
enum class Answer { Cancel, Type };
bool gate(ShellFixture& f, GatePassword which, Answer a, const QString& typed = {}) {
    zuna::test::whenModal([a, typed](QWidget* w) {
        auto* dlg = qobject_cast<TfmPassword*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "Administrator Mode Entry");
        EXPECT_TRUE(dlg->Password->text().isEmpty());
        EXPECT_FALSE(dlg->OKBtn->isEnabled());
        if (a == Answer::Cancel) {
            dlg->CancelBtn->click();
            return;
        }
        QTest::keyClicks(dlg->Password, typed);
        dlg->OKBtn->click();
    });
    return RunPasswordGate(nullptr, *f.dm, which);
}
}  // namespace

TEST(PasswordGate, CancelRefusalAndAcceptance) {
    ShellFixture f;
    fmVarGlobal().CurrentUser = "CLERKJOHN1";
    struct Case {
        GatePassword which;
        Answer answer;
        QString typed;
        bool passes;
        bool message;
    } cases[] = {
        {GatePassword::Manager, Answer::Cancel, {}, false, false},
        {GatePassword::Manager, Answer::Type, "adminpw", false, true},  // the other password
        {GatePassword::Manager, Answer::Type, "manage", false, true},
        {GatePassword::Manager, Answer::Type, "manager", true, false},  // typed small, boxes capitalise
        {GatePassword::Administrator, Answer::Type, "manager", false, true},
        {GatePassword::Administrator, Answer::Type, "adminpw", true, false},
    };
    for (const auto& c : cases) {
        f.messages.clear();
        int before = f.auditRows();
        EXPECT_EQ(gate(f, c.which, c.answer, c.typed), c.passes) << c.typed.toStdString();
        EXPECT_EQ(f.auditRows(), before + (c.passes ? 1 : 0)) << c.typed.toStdString();
        ASSERT_EQ(f.messages.size(), c.message ? 1u : 0u) << c.typed.toStdString();
        if (c.message) EXPECT_EQ(f.messages[0].text, "You do not have Enough Access Rights for this Option !!");
    }
    // The audit row carries the user cut to six characters.
    f.dm->PayLog.open();
    f.dm->PayLog.last();
    EXPECT_EQ(f.dm->PayLog.asString("UserName"), "CLERKJ");
    f.dm->PayLog.close();
}
