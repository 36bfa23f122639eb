// The login dialog: a user name and password of the users table let the program run.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace zuna {

class TdmPayroll;

class TLogform : public QDialog {
    Q_OBJECT
public:
    explicit TLogform(TdmPayroll& dm, QWidget* parent = nullptr);
    QLineEdit* edUser;
    QLineEdit* edPassword;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // Activation: the country and its tax row, the proposed name, an empty password, OK off.
    void FormActivate();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
    void reject() override;

private:
    TdmPayroll& dm_;
};

}  // namespace zuna
