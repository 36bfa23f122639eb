#include "app/gui/HelpWindow.h"

#include <QAction>
#include <QPointer>
#include <QTextBrowser>
#include <QToolBar>

static void initHelpResources() { Q_INIT_RESOURCE(resources); }

namespace zuna {

THelpWindow::THelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    initHelpResources();
    setObjectName(QStringLiteral("THelpWindow"));
    setWindowTitle(QStringLiteral("Zuna Help"));
    browser_ = new QTextBrowser(this);
    browser_->setSearchPaths({QStringLiteral(":/help")});
    browser_->setOpenExternalLinks(false);
    setCentralWidget(browser_);
    auto* bar = addToolBar(QStringLiteral("Help"));
    bar->setMovable(false);
    QAction* contents = bar->addAction(QStringLiteral("Contents"));
    QAction* back = bar->addAction(QStringLiteral("Back"));
    QAction* forward = bar->addAction(QStringLiteral("Forward"));
    connect(contents, &QAction::triggered, this, [this] { showContext(1); });
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    resize(720, 640);
}

QString THelpWindow::pageOf(int helpContext) {
    switch (helpContext) {
        case 3: return QStringLiteral("menus.md");
        case 4: return QStringLiteral("employees.md");
        case 5: return QStringLiteral("transactions.md");
        case 6: return QStringLiteral("benefits.md");
        case 7: return QStringLiteral("compute.md");
        case 9: return QStringLiteral("period-end.md");
        default: return QStringLiteral("contents.md");
    }
}

void THelpWindow::showPage(const QString& page) {
    browser_->setSource(QUrl(page), QTextDocument::MarkdownResource);
    show();
    raise();
    activateWindow();
}

void THelpWindow::showContext(int helpContext) { showPage(pageOf(helpContext)); }

THelpWindow& THelpWindow::shared(QWidget* parent) {
    static QPointer<THelpWindow> w;
    if (!w) w = new THelpWindow(parent);
    return *w;
}

}  // namespace zuna
