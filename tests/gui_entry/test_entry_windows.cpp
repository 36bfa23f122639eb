// The employee and transaction windows driven through their widgets: creating an employee
// from the number box, saving the personal data, keying and saving a month's payments.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "app/gui/main.h"
#include "entry/gui/Eentry.h"
#include "entry/gui/EntryCommands.h"
#include "entry/gui/Zunatrans.h"
#include "support/TempDir.h"
#include "ui/DbControls.h"
#include "ui/Messages.h"

namespace zuna::test {
namespace {

class EntryWindows : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareOptions o;
        o.folder = dir.sub("db");
        o.company = "Test Company";
        o.password = "pw";
        PrepareDatabase(o);
        dm = std::make_unique<TdmPayroll>(o.folder);
        LoginActivate(*dm);
        ASSERT_TRUE(LoginUser(*dm, "ADMIN", "PW"));
        ActivateMain(*dm);
        ui::setMessageHandler([this](const ui::MessageRequest& r) {
            messages.push_back(r.text.toStdString());
            return answer;
        });
    }
    void TearDown() override {
        ui::setMessageHandler({});
        dm.reset();
    }
    Value stored(const std::string& table, const std::string& empno, const std::string& field) {
        Stmt s = dm->db().prepare("SELECT " + field + " FROM " + table + " WHERE EMPNO = ?1");
        s.bind(1, Value(empno));
        return s.step() ? s.column(0) : Value();
    }
    long long count(const std::string& sql) {
        Stmt s = dm->db().prepare(sql);
        return s.step() ? s.columnInt(0) : -1;
    }
    template <class W>
    void showActive(W& w) {
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QApplication::processEvents();
    }
    void typeNumber(QLineEdit* box, const char* number) {
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, QString::fromLatin1(number));
        QTest::keyClick(box, Qt::Key_Return);
        QApplication::processEvents();
    }

    // Typing over a cell: the first key opens the cell's editor, the rest goes to the editor.
    void typeInCell(QTableWidget* g, int row, int col, const QString& text) {
        g->setFocus();
        g->setCurrentCell(row, col);
        QApplication::processEvents();
        QTest::keyClick(g, text[0].toLatin1());
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, g);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }

    TempDir dir;
    std::unique_ptr<TdmPayroll> dm;
    std::vector<std::string> messages;
    ui::MsgResult answer = ui::MsgResult::Ok;
};

TEST_F(EntryWindows, NumberBoxCreatesAnEmployeeOnOkOnly) {
    TfmEentry w(*dm);
    showActive(w);

    answer = ui::MsgResult::Cancel;
    typeNumber(w.Empnum, "0008");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "You are about to create a New Employee !!!. Proceeed ?");
    EXPECT_EQ(w.Empnum->text(), "");
    EXPECT_EQ(count("SELECT count(*) FROM payrf01"), 0);

    answer = ui::MsgResult::Ok;
    typeNumber(w.Empnum, "0007");
    QTest::qWait(20);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(count("SELECT count(*) FROM payrf01 WHERE EMPNO = '0007' AND ESTATUS = 'A'"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM payrf00 WHERE EMPNO = '0007' AND E1 = 0"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM payrf04 WHERE EMPNO = '0007'"), 12);
    EXPECT_EQ(w.Empnum->text(), "0007");
    EXPECT_EQ(w.Empent->currentIndex(), TfmEentry::PersonalData);
    EXPECT_TRUE(w.Surname->hasFocus());

    // Names typed into the page and "&Save": the composed name is stored.
    QTest::keyClicks(w.Surname, "kamau");
    w.Othernames->setFocus();
    QTest::keyClicks(w.Othernames, "john");
    QTest::mouseClick(w.Save, Qt::LeftButton);
    EXPECT_EQ(stored("payrf01", "0007", "EMPNAME").toString(), "JOHN KAMAU");
    EXPECT_EQ(w.Empnm->text(), "JOHN KAMAU");

    // An existing number moves without a question.
    typeNumber(w.Empnum, "0007");
    EXPECT_EQ(messages.size(), 2u);
    w.close();
    EXPECT_TRUE(dm->payroll.filtered());
}

TEST_F(EntryWindows, PaymentsKeyedInTheGridAreSavedRounded) {
    dm->db().exec("DELETE FROM payrf03");
    dm->Paycodes.refresh();
    for (auto [fno, name] : {std::pair{1, "Basic Pay"}, std::pair{2, "House Allowance"}, std::pair{10, "Arrears"}}) {
        dm->Paycodes.append();
        dm->Paycodes.setInteger("FNO", fno);
        dm->Paycodes.setString("FNAME", name);
        dm->Paycodes.post();
    }
    dm->payroll.setFiltered(false);
    CreateEmployee(*dm, "0001");
    dm->payroll.setFiltered(true);

    TfmTransEntry w(*dm);
    showActive(w);
    EXPECT_EQ(w.Empnum->text(), "0001");
    QTableWidget* g = w.Grids[0];
    ASSERT_EQ(g->item(0, 0)->text(), "Basic Pay");
    EXPECT_EQ(g->horizontalHeaderItem(2)->text(), "Amount");

    // Type into the "Amount" cells of Basic Pay and Arrears, then "&Save".
    typeInCell(g, 0, 2, "30000");
    typeInCell(g, 2, 2, "1234.56");
    QTest::mouseClick(w.Save, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_EQ(stored("payrf00", "0001", "E1").toDouble(), 30000);
    EXPECT_EQ(stored("payrf00", "0001", "E10").toDouble(), 1235);
    EXPECT_EQ(g->item(2, 2)->text(), "1235.00");

    // A cell that does not convert is refused with its text and stays as typed.
    typeInCell(g, 1, 2, "12x");
    QTest::mouseClick(w.Save, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.back().find("'12x'"), std::string::npos) << messages.back();
    EXPECT_EQ(g->item(1, 2)->text(), "12x");
    EXPECT_EQ(stored("payrf00", "0001", "E2").toDouble(), 0);
    g->item(1, 2)->setText("0");
    w.close();
}

TEST_F(EntryWindows, MainWindowCommandsOpenTheEntryWindows) {
    registerEntryCommands();
    TMainForm m(*dm);
    m.show();
    for (auto [command, cls] : {std::pair{"Employee", "zuna::TfmEentry"}, std::pair{"Transactions", "zuna::TfmTransEntry"},
                                std::pair{"EmployeeBenefits", "zuna::TfmEmpbenefits"}}) {
        ASSERT_TRUE(m.runCommand(command)) << command;
        QApplication::processEvents();
        QMdiSubWindow* sub = m.mdiArea()->subWindowList().back();
        EXPECT_STREQ(sub->widget()->metaObject()->className(), cls);
        sub->close();
        QApplication::processEvents();
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
    EXPECT_TRUE(dm->payroll.filtered());
}

}  // namespace
}  // namespace zuna::test
