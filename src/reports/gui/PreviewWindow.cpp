#include "reports/gui/PreviewWindow.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

#include "reports/engine/Layout.h"
#include "reports/engine/Render.h"

namespace zuna::report {

namespace {
constexpr double kZoomStep = 1.25;
constexpr double kZoomMin = 0.1;
constexpr double kZoomMax = 4.0;  // an A4 page at 400 % is already some 50 MB of image
const char* kFilters = "PDF (*.pdf);;Text (*.txt);;CSV (*.csv);;Excel workbook (*.xlsx);;XML (*.xml);;PNG images (*.png)";
}  // namespace

TfmPreview::TfmPreview(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(tr("Preview"));
    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setBackgroundRole(QPalette::Dark);
    image_ = new QLabel;
    image_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(image_);
    scroll_->setWidgetResizable(false);
    setCentralWidget(scroll_);

    QToolBar* bar = addToolBar(tr("Preview"));
    bar->setMovable(false);
    first_ = bar->addAction(tr("First"), this, &TfmPreview::firstPage);
    prior_ = bar->addAction(tr("Prior"), this, &TfmPreview::priorPage);
    next_ = bar->addAction(tr("Next"), this, &TfmPreview::nextPage);
    last_ = bar->addAction(tr("Last"), this, &TfmPreview::lastPage);
    first_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home));
    prior_->setShortcut(QKeySequence(Qt::Key_PageUp));
    next_->setShortcut(QKeySequence(Qt::Key_PageDown));
    last_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_End));
    bar->addSeparator();
    bar->addAction(tr("Zoom in"), this, &TfmPreview::zoomIn)->setShortcut(QKeySequence::ZoomIn);
    bar->addAction(tr("Zoom out"), this, &TfmPreview::zoomOut)->setShortcut(QKeySequence::ZoomOut);
    bar->addAction(tr("Page width"), this, &TfmPreview::fitWidth);
    bar->addAction(tr("Whole page"), this, &TfmPreview::fitPage);
    bar->addSeparator();
    bar->addAction(tr("Print"), this, &TfmPreview::print)->setShortcut(QKeySequence::Print);
    bar->addAction(tr("Export"), this, &TfmPreview::exportFile);
    bar->addAction(tr("Close"), this, &QWidget::close);

    status_ = new QLabel;
    statusBar()->addWidget(status_);
    showPage();
}

void TfmPreview::setDocument(Document doc) {
    doc_ = std::move(doc);
    if (!doc_.name.empty()) setWindowTitle(QString::fromStdString(doc_.name));
    page_ = doc_.pages.empty() ? -1 : 0;
    showPage();
}

void TfmPreview::showReport(Report& report) { setDocument(zuna::report::layout(report)); }

double TfmPreview::screenDpi() const {
    const QScreen* s = screen();
    return s ? s->logicalDotsPerInch() : 96.0;
}

void TfmPreview::goTo(int index) {
    if (doc_.pages.empty()) return;
    index = std::clamp(index, 0, static_cast<int>(doc_.pages.size()) - 1);
    if (index == page_) return;
    page_ = index;
    showPage();
}

void TfmPreview::firstPage() { goTo(0); }
void TfmPreview::priorPage() { goTo(page_ - 1); }
void TfmPreview::nextPage() { goTo(page_ + 1); }
void TfmPreview::lastPage() { goTo(static_cast<int>(doc_.pages.size()) - 1); }

void TfmPreview::setZoom(double z) {
    z = std::clamp(z, kZoomMin, kZoomMax);
    if (z == zoom_) return;
    zoom_ = z;
    showPage();
}

void TfmPreview::zoomIn() { setZoom(zoom_ * kZoomStep); }
void TfmPreview::zoomOut() { setZoom(zoom_ / kZoomStep); }

void TfmPreview::fitWidth() {
    if (doc_.pageWidth <= 0) return;
    double avail = scroll_->viewport()->width() - 2 * scroll_->frameWidth() - scroll_->verticalScrollBar()->sizeHint().width();
    setZoom(avail / (doc_.pageWidth / 25.4 * screenDpi()));
}

void TfmPreview::fitPage() {
    if (doc_.pageWidth <= 0 || doc_.pageHeight <= 0) return;
    QSize v = scroll_->viewport()->size();
    double k = screenDpi() / 25.4;
    setZoom(std::min((v.width() - 4) / (doc_.pageWidth * k), (v.height() - 4) / (doc_.pageHeight * k)));
}

void TfmPreview::showPage() {
    int n = static_cast<int>(doc_.pages.size());
    bool any = page_ >= 0 && page_ < n;
    first_->setEnabled(any && page_ > 0);
    prior_->setEnabled(any && page_ > 0);
    next_->setEnabled(any && page_ + 1 < n);
    last_->setEnabled(any && page_ + 1 < n);
    if (!any) {
        image_->clear();
        image_->resize(0, 0);
        status_->setText(tr("No pages"));
        return;
    }
    QImage img = renderPage(doc_.pages[static_cast<size_t>(page_)], screenDpi() * zoom_);
    image_->setPixmap(QPixmap::fromImage(img));
    image_->resize(img.size());
    status_->setText(tr("Page %1 of %2    %3%").arg(page_ + 1).arg(n).arg(qRound(zoom_ * 100)));
}

void TfmPreview::print() {
    if (doc_.pages.empty()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(doc_.name));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(doc_.pages.size()));
    if (dialog.exec() != QDialog::Accepted) return;
    try {
        printDocument(doc_, printer);
    } catch (const std::exception& e) {
        QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
    }
}

bool TfmPreview::exportTo(const QString& path) {
    Format f;
    if (!formatFromPath(path.toStdString(), f)) {
        QMessageBox::critical(this, windowTitle(), tr("Unknown export format: %1").arg(path));
        return false;
    }
    try {
        exportDocument(doc_, path.toStdString(), f);
    } catch (const std::exception& e) {
        QMessageBox::critical(this, windowTitle(), QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

void TfmPreview::exportFile() {
    QString selected;
    QString path = QFileDialog::getSaveFileName(this, tr("Export"), QString::fromStdString(doc_.name), tr(kFilters), &selected);
    if (path.isEmpty()) return;
    Format f;
    if (!formatFromPath(path.toStdString(), f)) {
        // No extension typed: take the one of the chosen filter, "PDF (*.pdf)" -> ".pdf".
        int star = selected.indexOf("*.");
        if (star >= 0) path += selected.mid(star + 1, selected.indexOf(')', star) - star - 1);
    }
    exportTo(path);
}

}  // namespace zuna::report
