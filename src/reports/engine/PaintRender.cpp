// PDF, printer and PNG output: all paint the page with PagePainter.
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <filesystem>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "reports/engine/Paint.h"
#include "reports/engine/Render.h"

namespace zuna::report {

namespace {
constexpr int kPdfResolution = 1200;

QPageLayout sheetLayout(double widthMm, double heightMm) {
    bool landscape = widthMm > heightMm;
    QSizeF upright = landscape ? QSizeF(heightMm, widthMm) : QSizeF(widthMm, heightMm);
    return QPageLayout(QPageSize(upright, QPageSize::Millimeter), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}
}  // namespace

// Qt's PDF engine takes a buffer of some 30 MB for each page and frees it when the page is
// done; with glibc's default thresholds the heap grows and is trimmed back on every page,
// which costs about a millisecond a page in page faults. While a document is written the
// heap keeps that memory; afterwards the defaults return and the memory is given back.
class HeapForPages {
public:
    HeapForPages() {
#if defined(__GLIBC__)
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
    }
    ~HeapForPages() {
#if defined(__GLIBC__)
        mallopt(M_MMAP_THRESHOLD, 128 << 10);
        mallopt(M_TRIM_THRESHOLD, 128 << 10);
        malloc_trim(0);
#endif
    }
};

// ------------------------------------------------------------------ PDF

PdfSink::PdfSink(std::string path) : path_(std::move(path)) {}
PdfSink::~PdfSink() {
    if (painter_) painter_->end();
}

void PdfSink::begin(const std::string& name, double pageWidth, double pageHeight) {
    heap_ = std::make_unique<HeapForPages>();
    writer_ = std::make_unique<QPdfWriter>(QString::fromStdString(path_));
    writer_->setResolution(kPdfResolution);
    writer_->setTitle(QString::fromStdString(name));
    writer_->setCreator(QStringLiteral("Zuna"));
    writer_->setPageLayout(sheetLayout(pageWidth, pageHeight));
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(writer_.get())) throw ReportError("Cannot write the PDF file " + path_);
    pages_ = std::make_unique<PagePainter>(*painter_);
    first_ = true;
}

void PdfSink::page(Page&& page) {
    if (!painter_) begin({}, page.width, page.height);
    if (!first_) writer_->newPage();
    first_ = false;
    pages_->paint(page);
}

void PdfSink::end() {
    if (!painter_) begin({}, 210, 297);  // an empty document still gets its one blank page
    painter_->end();
    painter_.reset();
    pages_.reset();
    writer_.reset();
    heap_.reset();
}

void writePdf(const Document& doc, const std::string& path) {
    PdfSink sink(path);
    replay(doc, sink);
}

// ------------------------------------------------------------------ printer

PrinterSink::PrinterSink(QPrinter& printer) : printer_(printer) {}
PrinterSink::~PrinterSink() {
    if (painter_) painter_->end();
}

void PrinterSink::begin(const std::string& name, double pageWidth, double pageHeight) {
    printer_.setFullPage(true);
    printer_.setPageLayout(sheetLayout(pageWidth, pageHeight));
    if (!name.empty()) printer_.setDocName(QString::fromStdString(name));
    first_ = true;
}

void PrinterSink::page(Page&& page) {
    int from = printer_.fromPage(), to = printer_.toPage();
    if (from > 0 && (page.number < from || (to > 0 && page.number > to))) return;
    if (!painter_) {
        heap_ = std::make_unique<HeapForPages>();
        painter_ = std::make_unique<QPainter>();
        if (!painter_->begin(&printer_)) throw ReportError("The printer cannot be started");
        pages_ = std::make_unique<PagePainter>(*painter_);
    }
    if (!first_) printer_.newPage();
    first_ = false;
    pages_->paint(page);
}

void PrinterSink::end() {
    if (painter_) painter_->end();
    painter_.reset();
    pages_.reset();
    heap_.reset();
}

void printDocument(const Document& doc, QPrinter& printer) {
    PrinterSink sink(printer);
    replay(doc, sink);
}

// ------------------------------------------------------------------ images

QImage renderPage(const Page& page, double dpi) {
    double k = dpi / 25.4;
    QImage img(std::max(1, static_cast<int>(page.width * k + 0.5)), std::max(1, static_cast<int>(page.height * k + 0.5)),
               QImage::Format_RGB32);
    int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    PagePainter(p).paint(page);
    p.end();
    return img;
}

PngSink::PngSink(std::string path, double dpi) : path_(std::move(path)), dpi_(dpi) {}

std::string PngSink::numbered(int n) const {
    std::filesystem::path p(path_);
    std::string ext = p.extension().string();
    if (ext.empty()) ext = ".png";
    return (p.parent_path() / (p.stem().string() + "-" + std::to_string(n) + ext)).string();
}

void PngSink::save(const QImage& img, const std::string& file) {
    if (!img.save(QString::fromStdString(file), "PNG")) throw ReportError("Cannot write the image " + file);
    files_.push_back(file);
}

void PngSink::page(Page&& page) {
    ++count_;
    if (count_ == 1) {
        held_ = std::move(page);
        holding_ = true;
        return;
    }
    if (holding_) {
        save(renderPage(held_, dpi_), numbered(1));
        held_ = Page{};
        holding_ = false;
    }
    save(renderPage(page, dpi_), numbered(count_));
}

void PngSink::end() {
    if (holding_) save(renderPage(held_, dpi_), path_);
    holding_ = false;
}

std::vector<std::string> writePng(const Document& doc, const std::string& path, double dpi) {
    PngSink sink(path, dpi);
    replay(doc, sink);
    return sink.files();
}

}  // namespace zuna::report
