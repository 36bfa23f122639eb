// Message boxes with the program's exact texts, the input box and the default error message.
// Confirmations act only on Yes (or OK): every other answer, Escape included, is a no.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <optional>

class QWidget;

namespace zuna::ui {

enum class MsgType { Information, Warning, Confirmation, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString caption;
    QString text;
    MsgType type = MsgType::Information;
    MsgButtons buttons = MsgButtons::Ok;
};

// Answers messages instead of showing boxes (tests, scripted runs); an empty handler shows boxes.
using MessageHandler = std::function<MsgResult(const MessageRequest&)>;
void setMessageHandler(MessageHandler h);

struct InputRequest {
    QString caption, prompt, value;
};
// Answers input boxes: nullopt is Cancel.
using InputHandler = std::function<std::optional<QString>(const InputRequest&)>;
void setInputHandler(InputHandler h);

// The caption of boxes that carry the program's title (ShowMessage, the default error message).
void setProgramTitle(const QString& title);

// The box: caption after the kind of message ("Information", "Warning", "Confirmation", "Error").
MsgResult MessageDlg(QWidget* parent, const QString& text, MsgType type, MsgButtons buttons);
// Information with OK, captioned with the program's title.
void ShowMessage(QWidget* parent, const QString& text);
// Yes/No question: true only when the answer is Yes.
bool ConfirmYes(QWidget* parent, const QString& text);
// OK/Cancel question: true only when the answer is OK.
bool ConfirmOk(QWidget* parent, const QString& text);

// Input box: the typed text, or nullopt when cancelled.
std::optional<QString> InputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                                  const QString& value = {});
// Input box that gives the default back when cancelled.
QString InputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& value = {});

// The default error message: the error's text as it stands, in an error box with OK.
// The window that called stays open and usable.
void ShowError(QWidget* parent, const std::exception& e);
void ShowError(QWidget* parent, const QString& text);

// Runs work and shows any error it raises by the default error message. True when it ran through.
template <class F>
bool guarded(QWidget* parent, F&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        ShowError(parent, e);
        return false;
    }
}

}  // namespace zuna::ui
