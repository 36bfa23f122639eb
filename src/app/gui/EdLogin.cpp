#include "app/gui/EdLogin.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "ui/DbControls.h"
#include "ui/Messages.h"

namespace zuna {

TLogform::TLogform(TdmPayroll& dm, QWidget* parent) : QDialog(parent), dm_(dm) {
    setObjectName(QStringLiteral("TLogform"));
    setWindowTitle(QStringLiteral("Login Dialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    edUser = new QLineEdit(this);
    edUser->setObjectName(QStringLiteral("edUser"));
    ui::makeUpperCase(edUser);
    edPassword = new QLineEdit(this);
    edPassword->setObjectName(QStringLiteral("edPassword"));
    edPassword->setEchoMode(QLineEdit::Password);
    ui::makeUpperCase(edPassword);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    OKBtn->setAutoDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&User Name:"), edUser);
    form->addRow(QStringLiteral("&Password:"), edPassword);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addSpacing(6);
    l->addLayout(buttons);
    setMinimumWidth(320);

    connect(edPassword, &QLineEdit::textChanged, this, [this](const QString& t) { OKBtn->setEnabled(!t.isEmpty()); });
    connect(OKBtn, &QPushButton::clicked, this, &TLogform::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TLogform::CancelBtnClick);
}

void TLogform::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TLogform::FormActivate() {
    QString proposed = QStringLiteral("ADMIN");
    ui::guarded(this, [&] {
        LoginActivate(dm_);
        proposed = QString::fromStdString(ProposedLoginName(dm_));
    });
    edUser->setText(proposed);
    edPassword->clear();
    OKBtn->setEnabled(false);
    edUser->setFocus();
    edUser->selectAll();
}

void TLogform::OKBtnClick() {
    if (edPassword->text().isEmpty()) return;
    bool accepted = false;
    bool ran = ui::guarded(this, [&] {
        accepted = LoginUser(dm_, edUser->text().toStdString(), edPassword->text().toStdString());
    });
    if (accepted) {
        QDialog::accept();
        return;
    }
    fmVarGlobal().LoginAccepted = false;
    if (ran) ui::MessageDlg(this, QString::fromUtf8(kLoginRefused), ui::MsgType::Information, ui::MsgButtons::Ok);
    edUser->setFocus();
    edUser->selectAll();
}

void TLogform::CancelBtnClick() { reject(); }

void TLogform::reject() {
    fmVarGlobal().LoginAccepted = false;
    QDialog::reject();
}

}  // namespace zuna
