// TxSearchDlg: the one way to pick an employee or a pay code from a list.
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "entry/ZunaSrchDlg.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zuna {

namespace ui {
class DataSource;
class DbGrid;
}  // namespace ui

class TxSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit TxSearchDlg(TdmPayroll& dm, QWidget* parent = nullptr);
    ~TxSearchDlg() override;

    // The two set-ups: fill the dialog, show it modally, return the modal result (Accepted = OK).
    int ShowEmployeePick();
    int ShowPayCodePick();
    // After OK of the employee pick: the chosen row's EMPNO.
    std::string ChosenEmpno() { return logic_.ChosenEmpno(); }

    // One call for the windows: true and the number when the clerk chose an employee.
    static bool PickEmployee(TdmPayroll& dm, QWidget* parent, std::string& empno);
    // True when the clerk chose a pay code; the shared pay-code table is on it.
    static bool PickPayCode(TdmPayroll& dm, QWidget* parent);

    SearchDlgLogic& logic() { return logic_; }
    QLineEdit* searchText() const { return text_; }
    QComboBox* searchField() const { return field_; }
    ui::DbGrid* grid() const { return grid_; }
    QPushButton* searchButton() const { return search_; }

    // Fills the dialog for the mode set on the logic (what showing it does before it runs).
    void FormActivate();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void SearchFieldChange(int index);
    void SearchTextChange(const QString& text);
    void SearchClick();

    TdmPayroll& dm_;
    SearchDlgLogic logic_;
    ui::DataSource* src_;
    QComboBox* field_;
    QLineEdit* text_;
    QPushButton* search_;
    ui::DbGrid* grid_;
    bool filling_ = false;
};

}  // namespace zuna
