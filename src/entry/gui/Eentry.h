// The employee window TfmEentry, the rent dialog THouseDlg and the employee benefits window
// TfmEmpbenefits. They bind controls to the shared datasets; every rule is EmployeeEntryLogic's.
#pragma once

#include <QDialog>
#include <QWidget>
#include <array>

#include "entry/Eentry.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace zuna {

namespace ui {
class DataSource;
class DbCheckBox;
class DbEdit;
class DbGrid;
class DbLookupCombo;
class DbNavigator;
class DbRadioGroup;
}  // namespace ui

class TfmEentry : public QWidget {
    Q_OBJECT
public:
    explicit TfmEentry(TdmPayroll& dm, QWidget* parent = nullptr);
    ~TfmEentry() override;

    EmployeeEntryLogic& logic() { return logic_; }
    QSize sizeHint() const override { return {860, 640}; }

    // Handlers under the system's names.
    void FormShow();
    void FormActivate();
    void EmpnumExit();
    void EmpnumDblClick();
    void EmpnmChange();
    void SaveClick();
    void EmpCloseClick();
    void EmpdolExit();
    void EmppaymodeChange();
    void HousedExit();
    void RentPaid1Click();
    void MORTGAGEExit();
    void lndef1Click();
    void SpeedButton1Click();
    void dbEmpnoChange();
    void StaffPicDblClick();
    void EmpentChange(int index);

    // Controls the tests and the other windows reach.
    QLineEdit* Empnum;
    QTabWidget* Empent;
    QPushButton* Save;
    QPushButton* EmpClose;
    QLabel* StaffPic;
    QLabel* NoPicture;
    ui::DbEdit* Empnm;
    ui::DbEdit* Surname;
    ui::DbEdit* Othernames;
    ui::DbEdit* Empdol;
    ui::DbEdit* BasicPay;
    ui::DbEdit* HouseAllowance;
    ui::DbEdit* BankAc;
    ui::DbLookupCombo* Bank;
    ui::DbRadioGroup* Emppaymode;
    ui::DbCheckBox* Housed;
    ui::DbCheckBox* Mortgage;
    std::array<ui::DbCheckBox*, 10> LoanDef{};
    QPushButton* SpeedButton1;
    ui::DataSource* srcPayroll;
    ui::DataSource* srcTrans;

    enum Page { PersonalData, EmploymentData, AccountingData, FamilyData, EducationData, CoursesDone };

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    QWidget* buildPersonal();
    QWidget* buildEmployment();
    QWidget* buildAccounting();
    QWidget* buildFamily();
    QWidget* buildEducation();
    QWidget* buildCourses();
    bool commitControls();
    void setAccountingVisible();

    TdmPayroll& dm_;
    EmployeeEntryLogic logic_;
    ui::DataSource* srcFamily_;
    ui::DataSource* srcEducation_;
    ui::DataSource* srcCourses_;
    QString lastNumber_;
    bool shown_ = false;
    bool closed_ = false;
    bool busy_ = false;
};

// "Housing - Rent paid".
class THouseDlg : public QDialog {
    Q_OBJECT
public:
    THouseDlg(TdmPayroll& dm, ui::DataSource* payroll, QWidget* parent = nullptr);
    int execute();
    ui::DbEdit* Rent;
    ui::DbEdit* ActualRent;

protected:
    void reject() override;

private:
    HouseDlgLogic logic_;
    ui::DataSource* src_;
};

// "Enter Employee Benefits".
class TfmEmpbenefits : public QWidget {
    Q_OBJECT
public:
    explicit TfmEmpbenefits(TdmPayroll& dm, QWidget* parent = nullptr);
    ~TfmEmpbenefits() override;

    void FormActivate();
    void EmpnoDblClick();
    void BenefitCloseUp();
    void StateChange();
    QSize sizeHint() const override { return {560, 330}; }

    ui::DbEdit* Empno;
    ui::DbLookupCombo* Benefit;
    ui::DbEdit* VActual;
    QPushButton* Ok;
    QPushButton* Cancel;
    QPushButton* Add;
    QPushButton* CloseBtn;
    ui::DbNavigator* Navigator;
    QWidget* Fields;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TdmPayroll& dm_;
    EmployeeBenefitsLogic logic_;
    ui::DataSource* src_;
    ui::DataSource* srcBenefits_;
};

}  // namespace zuna
