#include "app/gui/fmPass.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DbControls.h"
#include "ui/Messages.h"

namespace zuna {

TfmPassword::TfmPassword(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfmPassword"));
    setWindowTitle(QStringLiteral("Administrator Mode Entry"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);
    auto* label = new QLabel(QStringLiteral("Enter password:"), this);
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    ui::makeUpperCase(Password);
    label->setBuddy(Password);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* l = new QVBoxLayout(this);
    l->addWidget(label);
    l->addWidget(Password);
    l->addLayout(buttons);
    setMinimumWidth(280);
    connect(Password, &QLineEdit::textChanged, this, [this](const QString& t) { OKBtn->setEnabled(!t.isEmpty()); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmPassword::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    Password->clear();
    OKBtn->setEnabled(false);
    Password->setFocus();
}

TfmPassword& TfmPassword::shared() {
    static QPointer<TfmPassword> dlg;
    if (!dlg) dlg = new TfmPassword(nullptr);
    return *dlg;
}

bool RunPasswordGate(QWidget* parent, TdmPayroll& dm, GatePassword which) {
    TfmPassword& dlg = TfmPassword::shared();
    if (parent && dlg.parentWidget() != parent->window()) dlg.setParent(parent->window(), dlg.windowFlags());
    dlg.Password->clear();
    if (dlg.exec() != QDialog::Accepted) return false;
    std::string typed = dlg.Password->text().toStdString();
    dlg.Password->clear();
    bool ok = false;
    if (!ui::guarded(parent, [&] { ok = PasswordGate(dm, which, typed); })) return false;
    if (!ok) {
        ui::MessageDlg(parent, QString::fromUtf8(kNoAccessRights), ui::MsgType::Information, ui::MsgButtons::Ok);
        return false;
    }
    return true;
}

}  // namespace zuna
