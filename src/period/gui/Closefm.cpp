#include "period/gui/Closefm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/ZunaData.h"
#include "period/fmClose.h"
#include "ui/Messages.h"

namespace zuna {

QString TClosefm::pageCaption(int page) { return QStringLiteral("Period End - Page %1 of 3").arg(page); }

QString TClosefm::pageText(int page) {
    switch (page) {
        case 1:
            return QStringLiteral(
                "This period end procedure  clears all variable entries and resets them to zero. Press Next > to "
                "continue with the period end, otherwise press Cancel to abandon.");
        case 2:
            return QStringLiteral(
                "You have selected to continue with the period end. If you have printed all the necessary reports "
                "and confirmed them to be correct, press Next > to continue with the procedure, or press cancel to "
                "abandon Now!!.");
        default:
            return QStringLiteral(
                "If you are sure you still want to proceed with the period end, press FINISH, otherwise press "
                "CANCEL to Abandon. Remember, this procedure is irreversable and should only be run once in a "
                "month.");
    }
}

TClosefm::TClosefm(TdmPayroll& dm, QWidget* parent) : QDialog(parent), dm_(dm) {
    setObjectName(QStringLiteral("TClosefm"));
    // Not modal, always on top, no system close button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setModal(false);
    PageText = new QLabel(this);
    PageText->setObjectName(QStringLiteral("PageText"));
    PageText->setWordWrap(true);
    PageText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Gauge = new QProgressBar(this);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setRange(0, 100);
    Gauge->setVisible(false);
    Backbtn = new QPushButton(QStringLiteral("< &Back"), this);
    Backbtn->setObjectName(QStringLiteral("Backbtn"));
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    NextBtn = new QPushButton(QStringLiteral("&Next >"), this);
    NextBtn->setObjectName(QStringLiteral("NextBtn"));
    NextBtn->setDefault(true);
    for (auto* b : {Backbtn, CancelBtn}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Backbtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(NextBtn);
    auto* l = new QVBoxLayout(this);
    l->addWidget(PageText, 1);
    l->addWidget(Gauge);
    l->addLayout(buttons);
    setMinimumSize(296, 150);
    resize(380, 190);
    connect(NextBtn, &QPushButton::clicked, this, &TClosefm::NextBtnClick);
    connect(Backbtn, &QPushButton::clicked, this, &TClosefm::BackbtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TClosefm::CancelBtnClick);
    showPage(1);
}

void TClosefm::showPage(int page) {
    stage_ = page == 1 ? Stage::Page1 : page == 2 ? Stage::Page2 : Stage::Page3;
    setWindowTitle(pageCaption(page));
    PageText->setText(pageText(page));
    PageText->setVisible(true);
    Gauge->setVisible(false);
    Backbtn->setEnabled(page > 1);
    CancelBtn->setEnabled(true);
    CancelBtn->setText(QStringLiteral("&Cancel"));
    NextBtn->setEnabled(true);
    NextBtn->setText(page == 3 ? QStringLiteral("&Finish") : QStringLiteral("&Next >"));
}

void TClosefm::NextBtnClick() {
    switch (stage_) {
        case Stage::Page1: showPage(2); break;
        case Stage::Page2: showPage(3); break;
        case Stage::Page3: finish(); break;
        default: break;
    }
}

void TClosefm::BackbtnClick() {
    if (stage_ == Stage::Page2) showPage(1);
    else if (stage_ == Stage::Page3) showPage(2);
}

void TClosefm::CancelBtnClick() { reject(); }

void TClosefm::Closemonth() {
    TfmCloseLogic logic(dm_);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    logic.Closemonth([&](int position) {
        int v = std::min(100, std::max(0, position));
        bool moved = v != Gauge->value();
        Gauge->setValue(v);
        if (moved || sinceEvents.elapsed() >= 40) {
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    });
}

void TClosefm::finish() {
    stage_ = Stage::Running;
    PageText->setVisible(false);
    Backbtn->setEnabled(false);
    CancelBtn->setEnabled(false);
    NextBtn->setEnabled(false);
    Gauge->setValue(0);
    Gauge->setVisible(true);
    emit busyChanged(true);
    bool ok = ui::guarded(this, [&] { Closemonth(); });
    if (!ok) {
        // The close is one unit of work: after a failure the month is as it was, so the user may
        // put the cause right and finish again, or cancel.
        emit busyChanged(false);
        showPage(3);
        return;
    }
    Gauge->setValue(100);
    stage_ = Stage::Done;
    CancelBtn->setText(QStringLiteral("Close"));
    CancelBtn->setEnabled(true);
    CancelBtn->setDefault(true);
    CancelBtn->setFocus();
}

void TClosefm::reject() {
    if (stage_ == Stage::Running) return;  // the close cannot be interrupted
    QDialog::reject();
    if (stage_ == Stage::Done) emit programEndRequested();
}

void TClosefm::closeEvent(QCloseEvent* e) {
    if (stage_ == Stage::Running) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

}  // namespace zuna
