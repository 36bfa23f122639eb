#include "calc/gui/fmCalcpay.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/ZunaData.h"
#include "ui/Messages.h"

#if __has_include("calc/Zunacalc.h")
#include "calc/Zunacalc.h"
#define ZUNA_HAVE_ZUNACALC 1
#endif

namespace zuna {

TfmCalcpay::TfmCalcpay(TdmPayroll& dm, QWidget* parent) : QDialog(parent), dm_(dm) {
    setObjectName(QStringLiteral("TfmCalcpay"));
    setWindowTitle(QStringLiteral("Payroll Computation in Progress"));
    // Fixed border, on top, no system buttons: only the form's own buttons end it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    bbStart = new QPushButton(QStringLiteral("Start"), this);
    bbStart->setObjectName(QStringLiteral("bbStart"));
    bbStart->setDefault(true);
    bbClose = new QPushButton(QStringLiteral("&Close"), this);
    bbClose->setObjectName(QStringLiteral("bbClose"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbStart);
    buttons->addWidget(bbClose);
    buttons->addStretch();
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(18, 18, 18, 14);
    l->addWidget(Gauge1);
    l->addSpacing(8);
    l->addLayout(buttons);
    setFixedSize(QSize(380, sizeHint().height()));
    connect(bbStart, &QPushButton::clicked, this, &TfmCalcpay::bbStartClick);
    connect(bbClose, &QPushButton::clicked, this, &TfmCalcpay::bbCloseClick);
    FormCreate();
}

void TfmCalcpay::FormCreate() {
    bbClose->setVisible(false);
    ui::guarded(this, [&] {
        if (dm_.payroll.active()) dm_.payroll.first();
    });
    bbStart->setVisible(true);
}

void TfmCalcpay::bbStartClick() {
    if (running_) return;
    bbStart->setVisible(false);
    bbClose->setVisible(false);
    running_ = true;
    failed_ = false;
    bool ok = ui::guarded(this, [&] { Processpay(); });
    running_ = false;
    if (ok) {
        Gauge1->setValue(100);
        setWindowTitle(QStringLiteral("Payroll Computation Complete !!!"));
    } else {
        // The run is one unit of work: after a failure nothing of it remains.
        failed_ = true;
        Gauge1->setValue(0);
        setWindowTitle(QStringLiteral("Payroll Computation Failed - nothing was changed"));
    }
    bbClose->setVisible(true);
    bbClose->setDefault(true);
    bbClose->setFocus();
}

void TfmCalcpay::bbCloseClick() { accept(); }

void TfmCalcpay::Processpay() {
#ifdef ZUNA_HAVE_ZUNACALC
    Zunacalc calc(dm_);
    // Keep the window painted and responsive; its buttons are hidden, so nothing can restart it.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    calc.afterEmployee = [&](const std::string&) {
        if (sinceEvents.elapsed() < 40) return;
        QCoreApplication::processEvents();
        sinceEvents.restart();
    };
    calc.Processpay([&](int gauge) {
        Gauge1->setValue(std::min(100, std::max(0, gauge)));
        QCoreApplication::processEvents();
        sinceEvents.restart();
    });
#else
    throw EngineError("The payroll computation is not part of this build of Zuna");
#endif
}

void TfmCalcpay::reject() {
    if (running_ || !bbClose->isVisible()) return;  // Escape only once the close button is there
    QDialog::reject();
}

void TfmCalcpay::closeEvent(QCloseEvent* e) {
    if (running_) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

}  // namespace zuna
