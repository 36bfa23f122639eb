// The help window: the user's help pages, opened at the contents or at a command's help context.
#pragma once

#include <QMainWindow>

class QTextBrowser;

namespace zuna {

class THelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }
    // Page of a help context (1 is the contents); the contents for an unknown context.
    static QString pageOf(int helpContext);
    void showContext(int helpContext);
    void showPage(const QString& page);
    // The one help window of the program.
    static THelpWindow& shared(QWidget* parent);

private:
    QTextBrowser* browser_;
};

}  // namespace zuna
