// TfmTransEntry, the transaction window: the employee's month keyed on four grids of pay codes
// and the leave page. The grids show the cell texts of TransactionEntryLogic and hand the
// clerk's typing back to it; every rule is the logic's.
#pragma once

#include <QWidget>
#include <array>

#include "entry/Zunatrans.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace zuna {

namespace ui {
class DataSource;
class DbEdit;
class DbNavigator;
}  // namespace ui

class TfmTransEntry : public QWidget {
    Q_OBJECT
public:
    explicit TfmTransEntry(TdmPayroll& dm, QWidget* parent = nullptr);
    ~TfmTransEntry() override;

    TransactionEntryLogic& logic() { return logic_; }
    QSize sizeHint() const override { return {660, 700}; }

    // Handlers under the system's names.
    void FormActivate();
    void EmpnumEnter();
    void EmpnumExit();
    void EmpnumDblClick();
    void DBEdit1Change();
    void EmpnumSearch();
    void StringGridClick(int row, int col);
    void SaveClick();
    void StringGridExit();
    void CancelClick();

    QLineEdit* Empnum;
    ui::DbEdit* EmpName;
    QPushButton* Save;
    QPushButton* CloseBtn;
    ui::DbNavigator* Navigator;
    QTabWidget* Pages;
    std::array<QTableWidget*, 4> Grids{};
    QGroupBox* TestPay;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QTableWidget* buildGrid(TransPage p);
    QWidget* buildLeave();
    void showGrid(TransPage p);
    void pageChanged(int index);
    void focusChanged(QWidget* old, QWidget* now);
    QTableWidget* gridOf(TransPage p) const;
    bool run(const std::function<void()>& work);

    TdmPayroll& dm_;
    TransactionEntryLogic logic_;
    ui::DataSource* srcPayroll_;
    int shownPage_ = 0;
    bool filling_ = false;
    bool busy_ = false;
    bool closed_ = false;
    bool activated_ = false;
};

}  // namespace zuna
