// A laid-out report: pages of positioned items, ready for any renderer. Positions are in
// millimetres from the top-left corner of the sheet.
#pragma once

#include <QImage>

#include <string>
#include <vector>

#include "reports/engine/Report.h"

namespace zuna::report {

enum class ItemKind : unsigned char { Text, Line, Frame, Image };

struct Item {
    ItemKind kind = ItemKind::Text;
    Align align = Align::Left;
    bool wrap = false;
    bool numeric = false;  // a number (data field of a numeric type, or Band::addNumber)
    int band = -1;         // index into Page::bands; -1 for decorations of the page itself
    double x = 0, y = 0, w = 0, h = 0;  // a line runs from (x, y) to (x + w, y + h)
    double pen = 0;                     // line width in mm
    double number = 0;                  // the value when numeric
    Font font;
    std::string text;
    std::string name;  // of the element that printed it
    std::string mask;  // display mask of a numeric item
    QImage image;
};

// One printing of a band on a page.
struct PrintedBand {
    BandType type = BandType::Detail;
    std::string name;
    int column = 0;
    double x = 0, y = 0, w = 0, h = 0;
};

struct Page {
    int number = 0;
    double width = 0, height = 0;
    std::vector<PrintedBand> bands;  // in printing order
    std::vector<Item> items;         // grouped by band, in band order
};

struct Document {
    std::string name;
    double pageWidth = 0, pageHeight = 0;
    std::vector<Page> pages;
};

// Receives pages one by one as the layout completes them, so that long reports are written
// without holding every page. Each renderer is a sink; so is a Document collector.
class PageSink {
public:
    virtual ~PageSink() = default;
    virtual void begin(const std::string& /*name*/, double /*pageWidth*/, double /*pageHeight*/) {}
    virtual void page(Page&& page) = 0;
    virtual void end() {}
};

// Collects the pages into a Document.
class DocumentSink : public PageSink {
public:
    explicit DocumentSink(Document& doc) : doc_(doc) {}
    void begin(const std::string& name, double pageWidth, double pageHeight) override;
    void page(Page&& page) override { doc_.pages.push_back(std::move(page)); }

private:
    Document& doc_;
};

// Hands a finished document to a sink, as the layout would.
void replay(const Document& doc, PageSink& sink);

}  // namespace zuna::report
