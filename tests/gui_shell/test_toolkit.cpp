// The toolkit layer: message boxes with their button sets, the default error message, and the
// data-aware controls, navigator and grid bound to a small table.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <algorithm>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>

#include "engine/Database.h"
#include "engine/Dataset.h"
#include "support/TempDir.h"
#include "ui/DataSource.h"
#include "ui/DbControls.h"
#include "ui/DbGrid.h"
#include "ui/DbNavigator.h"
#include "ui/Messages.h"
#include "ShellFixture.h"

using namespace zuna;
using namespace zuna::ui;

// ------------------------------------------------------------------ message boxes

namespace {
// Presses a button of the next message box (or Escape) and records what the box showed.
struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
};
}  // namespace

TEST(MessageBoxes, ConfirmationsActOnlyOnYesOrOk) {
    using SB = QMessageBox;
    struct Case {
        bool yesNo;
        QMessageBox::StandardButton press;  // NoButton: Escape
        bool expected;
    } cases[] = {
        {true, SB::Yes, true}, {true, SB::No, false}, {true, SB::NoButton, false},
        {false, SB::Ok, true}, {false, SB::Cancel, false}, {false, SB::NoButton, false},
    };
    for (const auto& c : cases) {
        auto seen = std::make_shared<BoxSeen>();
        zuna::test::whenModal([seen, c](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen->title = box->windowTitle();
            seen->icon = box->icon();
            for (auto* b : box->buttons()) seen->buttons << box->standardButton(b);
            if (c.press == QMessageBox::NoButton) QTest::keyClick(box, Qt::Key_Escape);
            else box->button(c.press)->click();
        });
        bool r = c.yesNo ? ConfirmYes(nullptr, "Output Mid-Month Advance Code 26 ??")
                         : ConfirmOk(nullptr, "Delete record?");
        EXPECT_EQ(r, c.expected) << c.yesNo << " " << c.press;
        EXPECT_EQ(seen->title, "Confirmation");
        EXPECT_EQ(seen->icon, QMessageBox::Question);
        QList<SB::StandardButton> expected = c.yesNo ? QList<SB::StandardButton>{SB::Yes, SB::No}
                                                     : QList<SB::StandardButton>{SB::Ok, SB::Cancel};
        std::sort(seen->buttons.begin(), seen->buttons.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(seen->buttons, expected);
    }
}

TEST(MessageBoxes, KindsAndButtonSetsAndTheDefaultErrorMessage) {
    using SB = QMessageBox;
    setProgramTitle("Zuna 7.0 - Payroll System for East Africa");
    auto seen = std::make_shared<BoxSeen>();
    zuna::test::whenModal([seen](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        for (auto* b : box->buttons()) seen->buttons << box->standardButton(b);
        seen->icon = box->icon();
        box->button(SB::No)->click();
    });
    EXPECT_EQ(MessageDlg(nullptr, "Save changes?", MsgType::Warning, MsgButtons::YesNoCancel), MsgResult::No);
    std::sort(seen->buttons.begin(), seen->buttons.end());
    EXPECT_EQ(seen->buttons, (QList<SB::StandardButton>{SB::Yes, SB::No, SB::Cancel}));
    EXPECT_EQ(seen->icon, QMessageBox::Warning);

    BoxSeen* shownError = new BoxSeen;
    zuna::test::whenModal([shownError](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        shownError->title = box->windowTitle();
        shownError->text = box->text();
        shownError->icon = box->icon();
        box->button(SB::Ok)->click();
    });
    bool ran = guarded(nullptr, [] { throw EngineError("Table payrf05 cannot be opened exclusively: it is in use"); });
    EXPECT_FALSE(ran);
    EXPECT_EQ(shownError->text, "Table payrf05 cannot be opened exclusively: it is in use");
    EXPECT_EQ(shownError->title, "Zuna 7.0 - Payroll System for East Africa");
    EXPECT_EQ(shownError->icon, QMessageBox::Critical);
    delete shownError;
}

TEST(MessageBoxes, InputBoxGivesTheDefaultBackWhenCancelled) {
    setInputHandler([](const InputRequest& r) -> std::optional<QString> {
        if (r.prompt == "cancel") return std::nullopt;
        return QString(" 2 ");
    });
    EXPECT_EQ(InputBox(nullptr, "Output Quarter", "Enter Quarter to Print 1/2/3/4", ""), " 2 ");
    EXPECT_EQ(InputBox(nullptr, "Output Quarter", "cancel", "3"), "3");
    EXPECT_FALSE(InputQuery(nullptr, "Output Quarter", "cancel").has_value());
    setInputHandler({});
}

// ------------------------------------------------------------------ data-aware controls

namespace {

struct TableFixture {
    TableFixture() {
        db = Database::create(dir.sub("db"));
        db->createTable(TableDef{"codes",
                                 {{"CODE", FieldType::Text, 3},
                                  {"NAME", FieldType::Text, 10},
                                  {"AMOUNT", FieldType::Float},
                                  {"ACTIVE", FieldType::Logical},
                                  {"KIND", FieldType::Text, 1},
                                  {"DEPT", FieldType::Text, 3}},
                                 {IndexDef{"PRIMARY", {"CODE"}, true}}});
        db->createTable(TableDef{"depts", {{"CODE", FieldType::Text, 3}, {"NAME", FieldType::Text, 20}}, {}});
        t = std::make_unique<Table>(*db, "codes");
        t->setIndexName("PRIMARY");
        t->open();
        for (auto [c, n, a] : {std::tuple{"A01", "Basic", 100.0}, {"B02", "House", 20.5}, {"C03", "Bonus", 0.0}}) {
            t->append();
            t->setString("CODE", c);
            t->setString("NAME", n);
            t->setFloat("AMOUNT", a);
            t->setString("KIND", "E");
            t->post();
        }
        depts = std::make_unique<Table>(*db, "depts");
        depts->open();
        for (auto [c, n] : {std::pair{"D1", "Finance"}, {"D2", "Sales"}}) {
            depts->append();
            depts->setString("CODE", c);
            depts->setString("NAME", n);
            depts->post();
        }
        t->first();
        src = std::make_unique<DataSource>(t.get());
        ui::setMessageHandler([this](const MessageRequest& r) {
            messages.push_back(r);
            return answer;
        });
    }
    ~TableFixture() { ui::setMessageHandler({}); }
    // What another reader of the table sees.
    std::string stored(const std::string& code, const std::string& field) {
        Table other(*db, "codes");
        other.open();
        return other.locate("CODE", Value(code)) ? other.asString(field) : "(none)";
    }

    zuna::test::TempDir dir;
    std::unique_ptr<Database> db;
    std::unique_ptr<Table> t, depts;
    std::unique_ptr<DataSource> src;
    std::vector<MessageRequest> messages;
    MsgResult answer = MsgResult::Ok;
};

}  // namespace

TEST(DataControls, EditFollowsTheRecordAndTypingEditsThenPostStores) {
    TableFixture f;
    DbEdit name;
    name.bind(f.src.get(), "NAME");
    name.setUpperCase(true);
    DbNavigator nav;
    nav.bind(f.src.get());
    EXPECT_EQ(name.text(), "Basic");
    EXPECT_EQ(name.maxLength(), 10);
    f.src->next();
    EXPECT_EQ(name.text(), "House");

    name.setFocus();
    name.selectAll();
    QTest::keyClicks(&name, "rent");
    EXPECT_EQ(name.text(), "RENT");
    EXPECT_EQ(f.t->state(), DatasetState::Edit);
    EXPECT_TRUE(nav.button(DbNavigator::Post)->isEnabled());
    EXPECT_FALSE(nav.button(DbNavigator::Edit)->isEnabled());
    EXPECT_EQ(f.stored("B02", "NAME"), "House");  // nothing written before the post
    nav.button(DbNavigator::Post)->click();
    EXPECT_EQ(f.t->state(), DatasetState::Browse);
    EXPECT_EQ(f.stored("B02", "NAME"), "RENT");

    // Moving off an edited record posts what was typed, as the dataset does.
    QTest::keyClicks(&name, "X");
    f.src->next();
    EXPECT_EQ(f.stored("B02", "NAME"), "RENTX");
    EXPECT_EQ(name.text(), "Bonus");

    // Cancel puts the record's value back into the box.
    QTest::keyClicks(&name, "Y");
    nav.button(DbNavigator::Cancel)->click();
    EXPECT_EQ(name.text(), "Bonus");
    EXPECT_EQ(f.stored("C03", "NAME"), "Bonus");
}

TEST(DataControls, AValueTheFieldCannotHoldIsShownAndKeptForCorrection) {
    TableFixture f;
    DbEdit amount;
    amount.bind(f.src.get(), "AMOUNT");
    amount.setDisplayMask("###,##0.00");
    EXPECT_EQ(amount.text(), "100.00");
    amount.setFocus();
    amount.selectAll();
    QTest::keyClicks(&amount, "12x");
    EXPECT_FALSE(amount.commit());
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].type, MsgType::Error);
    EXPECT_TRUE(f.messages[0].text.contains("AMOUNT")) << f.messages[0].text.toStdString();
    EXPECT_TRUE(amount.dirty());
    EXPECT_EQ(amount.text(), "12x");
    EXPECT_EQ(f.t->asFloat("AMOUNT"), 100.0);
    QTest::keyClick(&amount, Qt::Key_Backspace);
    EXPECT_TRUE(amount.commit());
    f.src->post();
    EXPECT_EQ(f.stored("A01", "AMOUNT"), "12");
}

TEST(DataControls, QueriesAndCalculatedFieldsAreReadOnly) {
    TableFixture f;
    Query q(*f.db, "SELECT code, name FROM codes ORDER BY code");
    q.open();
    DataSource qs(&q);
    DbEdit e;
    e.bind(&qs, "name");
    EXPECT_EQ(e.text(), "Basic");
    EXPECT_TRUE(e.isReadOnly());
    DbNavigator nav;
    nav.bind(&qs);
    for (auto b : {DbNavigator::Insert, DbNavigator::Delete, DbNavigator::Edit, DbNavigator::Post})
        EXPECT_FALSE(nav.button(b)->isEnabled()) << b;
    EXPECT_TRUE(nav.button(DbNavigator::Next)->isEnabled());
}

TEST(DataControls, NavigatorButtonsFollowPositionAndState) {
    TableFixture f;
    DbNavigator nav;
    nav.bind(f.src.get());
    using N = DbNavigator;
    auto enabled = [&](N::Button b) { return nav.button(b)->isEnabled(); };
    struct Step {
        const char* what;
        std::function<void()> act;
        bool first, next, insert, del, edit, post;
    } steps[] = {
        {"at the first row", [] {}, false, true, true, true, true, false},
        {"at the last row", [&] { nav.button(N::Last)->click(); }, true, false, true, true, true, false},
        {"inserting", [&] { nav.button(N::Insert)->click(); }, true, true, true, true, false, true},
        {"cancelled", [&] { nav.button(N::Cancel)->click(); }, true, false, true, true, true, false},
    };
    for (auto& s : steps) {
        s.act();
        EXPECT_EQ(enabled(N::First), s.first) << s.what;
        EXPECT_EQ(enabled(N::Prior), s.first) << s.what;
        EXPECT_EQ(enabled(N::Next), s.next) << s.what;
        EXPECT_EQ(enabled(N::Last), s.next) << s.what;
        EXPECT_EQ(enabled(N::Insert), s.insert) << s.what;
        EXPECT_EQ(enabled(N::Delete), s.del) << s.what;
        EXPECT_EQ(enabled(N::Edit), s.edit) << s.what;
        EXPECT_EQ(enabled(N::Post), s.post) << s.what;
        EXPECT_EQ(enabled(N::Cancel), s.post) << s.what;
    }
}

TEST(DataControls, DeleteAsksAndOnlyOkDeletes) {
    TableFixture f;
    DbNavigator nav;
    nav.bind(f.src.get());
    f.answer = MsgResult::Cancel;
    nav.button(DbNavigator::Delete)->click();
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].text, "Delete record?");
    EXPECT_EQ(f.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(f.t->recordCount(), 3);
    f.answer = MsgResult::Ok;
    nav.button(DbNavigator::Delete)->click();
    EXPECT_EQ(f.t->recordCount(), 2);
    EXPECT_EQ(f.stored("A01", "NAME"), "(none)");
}

TEST(DataControls, CheckBoxRadioGroupAndLookupStoreTheirValues) {
    TableFixture f;
    DbCheckBox active("Active");
    active.bind(f.src.get(), "ACTIVE");
    DbRadioGroup kind("Kind");
    kind.setItems({"Earning", "Deduction", "Loan"}, {"E", "D", "L"});
    kind.bind(f.src.get(), "KIND");
    DbLookupCombo dept;
    dept.setList(f.depts.get(), "CODE", "NAME");
    dept.bind(f.src.get(), "DEPT");
    EXPECT_FALSE(active.isChecked());
    EXPECT_EQ(kind.itemIndex(), 0);
    EXPECT_EQ(dept.count(), 2);
    EXPECT_EQ(dept.currentIndex(), -1);

    active.click();
    kind.findChildren<QRadioButton*>()[2]->click();
    dept.setCurrentIndex(1);
    emit dept.activated(1);
    EXPECT_EQ(f.t->state(), DatasetState::Edit);
    f.src->post();
    EXPECT_EQ(f.stored("A01", "ACTIVE"), "True");
    EXPECT_EQ(f.stored("A01", "KIND"), "L");
    EXPECT_EQ(f.stored("A01", "DEPT"), "D2");

    f.src->next();  // the controls follow the record
    EXPECT_FALSE(active.isChecked());
    EXPECT_EQ(kind.itemIndex(), 0);
    EXPECT_EQ(dept.currentIndex(), -1);
    f.src->prior();
    EXPECT_TRUE(active.isChecked());
    EXPECT_TRUE(kind.findChildren<QRadioButton*>()[2]->isChecked());
    EXPECT_EQ(dept.currentText(), "Sales");
}

TEST(DataControls, GridShowsTheRowsAndFollowsTheCurrentRecordBothWays) {
    TableFixture f;
    DbGrid grid;
    grid.bind(f.src.get(), {{"CODE", "Code", 0, {}}, {"AMOUNT", "Amount", 0, "###,##0.00"}});
    auto* m = grid.dataModel();
    ASSERT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Amount");
    EXPECT_EQ(m->index(1, 1).data().toString(), "20.50");
    EXPECT_EQ(grid.currentIndex().row(), 0);

    grid.setCurrentIndex(m->index(2, 0));  // the user picks the third row
    EXPECT_EQ(f.t->recNo(), 3);
    EXPECT_EQ(f.t->asString("CODE"), "C03");

    f.src->first();  // the dataset moves: the grid follows
    EXPECT_EQ(grid.currentIndex().row(), 0);

    f.src->append();
    EXPECT_EQ(m->rowCount(), 4);  // the new record shows while it is inserted
    f.t->setString("CODE", "A00");
    f.t->setFloat("AMOUNT", 5);
    f.src->post();
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->index(0, 0).data().toString(), "A00");  // in index order after the post
    EXPECT_EQ(grid.currentIndex().row(), 0);

    EXPECT_TRUE(m->setData(m->index(1, 1), "7", Qt::EditRole));  // typed into a cell
    f.src->post();
    EXPECT_EQ(f.stored("A01", "AMOUNT"), "7");
    EXPECT_EQ(m->index(1, 1).data().toString(), "7.00");
}
