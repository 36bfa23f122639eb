#include "app/gui/EdSplash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace zuna {

TfmSplash::TfmSplash(Use use, QWidget* parent) : QDialog(parent), use_(use) {
    if (use == Use::StartUp) {
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    } else {
        setWindowTitle(QStringLiteral("About Zuna"));
        setAttribute(Qt::WA_DeleteOnClose);
        setModal(false);
    }
    setObjectName(QStringLiteral("TfmSplash"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0, 128, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(36, 28, 36, 24);
    l->setSpacing(8);
    auto* name = new QLabel(QStringLiteral("Zuna 7.0"), this);
    QFont f = name->font();
    f.setPointSize(f.pointSize() * 3);
    f.setBold(true);
    name->setFont(f);
    auto* what = new QLabel(QStringLiteral("Payroll System for East Africa"), this);
    QFont w = what->font();
    w.setPointSize(w.pointSize() + 4);
    what->setFont(w);
    auto* where = new QLabel(QStringLiteral("Kenya  -  Uganda  -  Tanzania  -  Rwanda"), this);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QStringLiteral(ZUNA_VERSION)), this);
    for (auto* lab : {name, what, where, version}) {
        lab->setAlignment(Qt::AlignCenter);
        l->addWidget(lab);
    }
    l->addSpacing(12);
    Loading = new QProgressBar(this);
    Loading->setObjectName(QStringLiteral("Loading"));
    Loading->setRange(0, 100);
    Loading->setValue(0);
    Loading->setTextVisible(false);
    Loading->setVisible(use == Use::StartUp);
    l->addWidget(Loading);
    if (use == Use::About) {
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::close);
        l->addWidget(ok, 0, Qt::AlignCenter);
    }
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

void TfmSplash::advance(int by) {
    Loading->setValue(std::min(Loading->maximum(), Loading->value() + by));
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfmSplash::mousePressEvent(QMouseEvent* e) {
    if (use_ == Use::About) close();
    QDialog::mousePressEvent(e);
}

void TfmSplash::keyPressEvent(QKeyEvent* e) {
    if (use_ == Use::StartUp && e->key() == Qt::Key_Escape) return;  // the start-up cannot be closed
    QDialog::keyPressEvent(e);
}

}  // namespace zuna
