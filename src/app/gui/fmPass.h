// The administrator password dialog and the gate in front of the guarded commands.
#pragma once

#include <QDialog>

#include "app/Session.h"

class QLineEdit;
class QPushButton;

namespace zuna {

class TfmPassword : public QDialog {
    Q_OBJECT
public:
    explicit TfmPassword(QWidget* parent = nullptr);
    QLineEdit* Password;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    // The one long-lived instance the gate uses.
    static TfmPassword& shared();

protected:
    void showEvent(QShowEvent* e) override;
};

// Asks for the manager or administrator password. Cancel ends silently; a wrong password shows
// "You do not have Enough Access Rights for this Option !!" and writes nothing; the right one
// writes an audit row. True when the command may go on.
bool RunPasswordGate(QWidget* parent, TdmPayroll& dm, GatePassword which);

}  // namespace zuna
