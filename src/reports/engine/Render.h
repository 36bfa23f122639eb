// Renderers of laid-out pages. Each is a PageSink, so a report can be written page by page
// straight from the layout (exportReport), or a Document written after the fact.
#pragma once

#include <QImage>

#include <fstream>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "reports/engine/Document.h"

class QPainter;
class QPdfWriter;
class QPrinter;
class QIODevice;
class QXmlStreamWriter;

namespace zuna::report {

class PagePainter;
class HeapForPages;

// ------------------------------------------------------------------ painted: PDF, printer, PNG

// PDF with the texts as text (fonts embedded), one PDF page per page.
class PdfSink : public PageSink {
public:
    explicit PdfSink(std::string path);
    ~PdfSink() override;
    void begin(const std::string& name, double pageWidth, double pageHeight) override;
    void page(Page&& page) override;
    void end() override;

private:
    std::string path_, name_;
    std::unique_ptr<HeapForPages> heap_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<PagePainter> pages_;
    bool first_ = true;
};

// Prints to a set-up printer (its page range is honoured); the sheet's corner is the origin.
class PrinterSink : public PageSink {
public:
    explicit PrinterSink(QPrinter& printer);
    ~PrinterSink() override;
    void begin(const std::string& name, double pageWidth, double pageHeight) override;
    void page(Page&& page) override;
    void end() override;

private:
    QPrinter& printer_;
    std::unique_ptr<HeapForPages> heap_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<PagePainter> pages_;
    bool first_ = true;
};

// One page as an image at the given resolution, white background.
QImage renderPage(const Page& page, double dpi);

// PNG files: "path" for a one-page document, else "name-1.png", "name-2.png", ... beside it.
class PngSink : public PageSink {
public:
    explicit PngSink(std::string path, double dpi = 150);
    void page(Page&& page) override;
    void end() override;
    const std::vector<std::string>& files() const { return files_; }

private:
    std::string numbered(int n) const;
    void save(const QImage& img, const std::string& file);
    std::string path_;
    double dpi_;
    Page held_;  // the first page waits to learn whether a second follows
    bool holding_ = false;
    int count_ = 0;
    std::vector<std::string> files_;
};

void writePdf(const Document& doc, const std::string& path);
void printDocument(const Document& doc, QPrinter& printer);
std::vector<std::string> writePng(const Document& doc, const std::string& path, double dpi = 150);

// ------------------------------------------------------------------ plain text

// The page as a character grid: x maps to columns at charsPerInch, y to rows at linesPerInch
// (each rounded to the nearest cell). Texts are cut to their box; lines and frames are drawn
// with '-', '|' and '+'. Trailing spaces and the blank rows at the foot of a page are dropped.
struct TextOptions {
    double charsPerInch = 10;
    double linesPerInch = 6;
    bool drawLines = true;
    bool blankRows = true;       // false: leave out every empty row (record files)
    std::string lineEnd = "\n";
    std::string pageBreak = "\f";  // between pages
};

class TextSink : public PageSink {
public:
    explicit TextSink(std::ostream& out, TextOptions opt = {});
    explicit TextSink(const std::string& path, TextOptions opt = {});
    void page(Page&& page) override;
    void end() override;

private:
    std::ofstream file_;
    std::ostream& out_;
    TextOptions opt_;
    bool first_ = true;
};

std::string renderTextPage(const Page& page, const TextOptions& opt = {});
std::string renderText(const Document& doc, const TextOptions& opt = {});
void writeText(const Document& doc, const std::string& path, const TextOptions& opt = {});

// ------------------------------------------------------------------ tables: CSV, XLSX

// A printed band's text items fall into rows by their vertical position; each row is one
// line of the table, its items left to right.
struct TableOptions {
    bool pageBands = true;  // false: leave out page headers and footers and column headers
};
std::vector<std::vector<const Item*>> tableRows(const Page& page, const TableOptions& opt = {});

// CSV as RFC 4180: separator ",", fields with a comma, quote or line break quoted, CRLF.
class CsvSink : public PageSink {
public:
    explicit CsvSink(std::ostream& out, TableOptions opt = {});
    explicit CsvSink(const std::string& path, TableOptions opt = {});
    void page(Page&& page) override;
    void end() override;

private:
    std::ofstream file_;
    std::ostream& out_;
    TableOptions opt_;
};

std::string renderCsv(const Document& doc, const TableOptions& opt = {});
void writeCsv(const Document& doc, const std::string& path, const TableOptions& opt = {});

// A workbook with one sheet (more when the rows exceed a sheet); numbers stay numbers and
// carry their display mask as the cell format.
class XlsxSink : public PageSink {
public:
    explicit XlsxSink(std::string path, TableOptions opt = {});
    ~XlsxSink() override;
    void begin(const std::string& name, double pageWidth, double pageHeight) override;
    void page(Page&& page) override;
    void end() override;

private:
    struct State;
    std::string path_;
    TableOptions opt_;
    std::unique_ptr<State> s_;
};

void writeXlsx(const Document& doc, const std::string& path, const TableOptions& opt = {});

// ------------------------------------------------------------------ XML

// <report name=".." width=".." height=".."><page n=".."><band type=".." name=".." column=".."
// x y w h><item x y w h font size bold italic align [number]>text</item><line x1 y1 x2 y2 pen/>
// <frame .../><image .../></band>...</page></report>, lengths in mm with two decimals.
class XmlSink : public PageSink {
public:
    explicit XmlSink(const std::string& path);
    explicit XmlSink(QIODevice* device);  // not owned, already open
    ~XmlSink() override;
    void begin(const std::string& name, double pageWidth, double pageHeight) override;
    void page(Page&& page) override;
    void end() override;

private:
    std::unique_ptr<QIODevice> file_;
    std::unique_ptr<QXmlStreamWriter> w_;
};

std::string renderXml(const Document& doc);
void writeXml(const Document& doc, const std::string& path);

// ------------------------------------------------------------------ by format

enum class Format { Pdf, Text, Csv, Xlsx, Xml, Png };

// From the file name's extension (.pdf, .txt, .csv, .xlsx, .xml, .png, any case).
bool formatFromPath(const std::string& path, Format& out);
const char* formatExtension(Format f);  // "pdf", "txt", ...
std::unique_ptr<PageSink> makeSink(Format f, const std::string& path);
void exportDocument(const Document& doc, const std::string& path, Format f);
// Lays the report out and writes it page by page; returns the number of pages.
int exportReport(Report& report, const std::string& path, Format f);

}  // namespace zuna::report
