#include "ui/Messages.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace zuna::ui {

static MessageHandler& messageHandler() {
    static MessageHandler h;
    return h;
}
static InputHandler& inputHandler() {
    static InputHandler h;
    return h;
}

void setMessageHandler(MessageHandler h) { messageHandler() = std::move(h); }
void setInputHandler(InputHandler h) { inputHandler() = std::move(h); }

static QString& titleStore() {
    static QString t = QStringLiteral("Zuna");
    return t;
}
void setProgramTitle(const QString& title) { titleStore() = title; }
static QString programTitle() { return titleStore(); }

static MsgResult show(QWidget* parent, const MessageRequest& r) {
    if (messageHandler()) return messageHandler()(r);
    QMessageBox box(parent);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.type) {
        case MsgType::Information: box.setIcon(QMessageBox::Information); break;
        case MsgType::Warning: box.setIcon(QMessageBox::Warning); break;
        case MsgType::Confirmation: box.setIcon(QMessageBox::Question); break;
        case MsgType::Error: box.setIcon(QMessageBox::Critical); break;
    }
    QAbstractButton *ok = nullptr, *yes = nullptr, *no = nullptr;
    switch (r.buttons) {
        case MsgButtons::Ok: ok = box.addButton(QMessageBox::Ok); break;
        case MsgButtons::OkCancel:
            ok = box.addButton(QMessageBox::Ok);
            box.setEscapeButton(box.addButton(QMessageBox::Cancel));
            break;
        case MsgButtons::YesNo:
            yes = box.addButton(QMessageBox::Yes);
            no = box.addButton(QMessageBox::No);
            box.setEscapeButton(no);
            break;
        case MsgButtons::YesNoCancel:
            yes = box.addButton(QMessageBox::Yes);
            no = box.addButton(QMessageBox::No);
            box.setEscapeButton(box.addButton(QMessageBox::Cancel));
            break;
    }
    box.exec();
    QAbstractButton* c = box.clickedButton();
    if (c && c == ok) return MsgResult::Ok;
    if (c && c == yes) return MsgResult::Yes;
    if (c && c == no) return MsgResult::No;
    if (r.buttons == MsgButtons::Ok) return MsgResult::Ok;  // closing an OK box is its only answer
    return r.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
}

static QString kindCaption(MsgType t) {
    switch (t) {
        case MsgType::Information: return QStringLiteral("Information");
        case MsgType::Warning: return QStringLiteral("Warning");
        case MsgType::Confirmation: return QStringLiteral("Confirmation");
        case MsgType::Error: return QStringLiteral("Error");
    }
    return {};
}

MsgResult MessageDlg(QWidget* parent, const QString& text, MsgType type, MsgButtons buttons) {
    return show(parent, MessageRequest{kindCaption(type), text, type, buttons});
}

void ShowMessage(QWidget* parent, const QString& text) {
    show(parent, MessageRequest{programTitle(), text, MsgType::Information, MsgButtons::Ok});
}

bool ConfirmYes(QWidget* parent, const QString& text) {
    return MessageDlg(parent, text, MsgType::Confirmation, MsgButtons::YesNo) == MsgResult::Yes;
}

bool ConfirmOk(QWidget* parent, const QString& text) {
    return MessageDlg(parent, text, MsgType::Confirmation, MsgButtons::OkCancel) == MsgResult::Ok;
}

std::optional<QString> InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                                  const QString& value) {
    if (inputHandler()) return inputHandler()(InputRequest{caption, prompt, value});
    bool ok = false;
    QString t = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok) return std::nullopt;
    return t;
}

QString InputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& value) {
    auto r = InputQuery(parent, caption, prompt, value);
    return r ? *r : value;
}

void ShowError(QWidget* parent, const QString& text) {
    show(parent, MessageRequest{programTitle(), text, MsgType::Error, MsgButtons::Ok});
}

void ShowError(QWidget* parent, const std::exception& e) { ShowError(parent, QString::fromStdString(e.what())); }

}  // namespace zuna::ui
