// The banded report: page setup, bands with their elements and print events, groups, sums and
// the data source. A report form declares these once; layout() (Layout.h) turns them into
// pages and the renderers (Render.h) into files, the printer or the preview window.
//
// Geometry is in millimetres. A band's elements are placed relative to the band's top-left
// corner. Title, page header, summary and page footer span the printable width of the page;
// column header, group headers and footers and the detail band are as wide as one column.
#pragma once

#include <QImage>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "reports/engine/RowSource.h"

namespace zuna {
class Dataset;
}

namespace zuna::report {

class Report;
class Band;
class Layouter;

class ReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Align : unsigned char { Left, Right, Centre };

struct Font {
    std::string family = "Arial";
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
    bool operator==(const Font&) const = default;
};

enum class Paper { A4, Letter, Custom };
enum class Orientation { Portrait, Landscape };

struct PageSetup {
    Paper paper = Paper::A4;
    double customWidth = 210, customHeight = 297;  // mm, for Paper::Custom, as held upright
    Orientation orientation = Orientation::Portrait;
    double leftMargin = 10, topMargin = 10, rightMargin = 10, bottomMargin = 10;
    int columns = 1;
    double columnGap = 0;
    double columnRule = 0;  // pen width (mm) of a vertical rule in the middle of each gap; 0 = none

    double width() const;   // of the sheet as printed (orientation applied)
    double height() const;
    double printableWidth() const { return width() - leftMargin - rightMargin; }
    double columnWidth() const;
    double columnLeft(int column) const;  // from the sheet's left edge
};

enum class ElementKind : unsigned char { Label, Field, Computed, Number, HLine, VLine, Frame, Image };

// One thing printed in a band. Created by the Band::add… functions; the fluent setters return
// the element so that a declaration fits on one line.
class Element {
public:
    ElementKind kind = ElementKind::Label;
    std::string name;
    double x = 0, y = 0, w = 0, h = 0;  // mm within the band
    Font font;
    Align align = Align::Left;
    bool wordWrap = false;
    bool autoStretch = false;      // the element, and so its band, grows to hold all of its text
    bool stretchWithBand = false;  // lines and frames: grow with the band when it stretches
    bool visible = true;
    double penWidth = 0.2;  // mm, lines and frames

    std::string text;                       // Label
    std::string field;                      // Field: name in the data source
    std::string mask;                       // Field and Number: display mask (Mask.h)
    std::function<std::string()> compute;   // Computed: called each time the band prints
    std::function<double()> numberValue;    // Number: called each time the band prints
    QImage image;                           // Image: drawn into the box keeping its proportions

    bool isText() const { return kind <= ElementKind::Number; }

    Element& named(std::string n) { name = std::move(n); return *this; }
    Element& setText(std::string t) { text = std::move(t); return *this; }
    Element& setMask(std::string m) { mask = std::move(m); return *this; }
    Element& setFont(const Font& f) { font = f; return *this; }
    Element& fontSize(double points) { font.size = points; return *this; }
    Element& bold(bool on = true) { font.bold = on; return *this; }
    Element& italic(bool on = true) { font.italic = on; return *this; }
    Element& alignRight() { align = Align::Right; return *this; }
    Element& alignCentre() { align = Align::Centre; return *this; }
    Element& wrap(bool on = true) { wordWrap = on; return *this; }
    Element& stretch(bool on = true) { autoStretch = on; return *this; }
    Element& followBand(bool on = true) { stretchWithBand = on; return *this; }
    Element& pen(double mm) { penWidth = mm; return *this; }
    Element& show(bool on) { visible = on; return *this; }

private:
    friend class Layouter;
    int fieldIndex_ = -1;  // resolved against the data source when a layout starts
};

enum class BandType : unsigned char { Title, PageHeader, ColumnHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };
const char* bandTypeName(BandType t);  // "title", "pageHeader", ... as written in the XML export

class Band {
public:
    Band(Report& report, BandType type, std::string name);
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    BandType type() const { return type_; }
    const std::string& name() const { return name_; }
    Report& report() const { return report_; }

    double height = 0;  // mm
    bool enabled = true;  // a switched-off band never prints (a switched-off group: see Group)
    // Before the band prints: start a new page, or a new column, unless the page (column) has
    // nothing printed yet. On a group header this happens on each new group.
    bool newPage = false;
    bool newColumn = false;
    // Group headers: printed again at the top of each following page and column of the group.
    bool reprintOnNewPage = false;
    // Placed at the bottom of the column; the column is full afterwards, so the next band starts
    // the next column. On the summary: at the bottom of the page (above the page footer).
    bool alignToBottom = false;
    bool printOnFirstPage = true;  // page header and footer
    bool printOnLastPage = true;   // page footer

    // Called each time the band is about to print, with the data source on the current row.
    // It may compute values, change texts and visibility of elements, or ask for a break;
    // returning false suppresses this printing of the band.
    std::function<bool(Band&)> beforePrint;

    Element& addLabel(std::string text, double x, double y, double w, double h);
    Element& addField(std::string field, double x, double y, double w, double h, std::string mask = {});
    Element& addText(std::function<std::string()> text, double x, double y, double w, double h);
    // A computed number: printed with the mask, exported to spreadsheets as a number.
    Element& addNumber(std::function<double()> value, double x, double y, double w, double h, std::string mask = {});
    Element& addHLine(double x, double y, double w);
    Element& addVLine(double x, double y, double h);
    Element& addFrame(double x, double y, double w, double h);
    Element& addImage(const QImage& image, double x, double y, double w, double h);

    Element* find(const std::string& name);     // null when absent
    Element& element(const std::string& name);  // ReportError when absent
    const std::vector<std::unique_ptr<Element>>& elements() const { return elements_; }

    // Inside beforePrint: start a new page (column) before this printing of the band.
    void breakPageBefore() { pageBreak_ = true; }
    void breakColumnBefore() { columnBreak_ = true; }
    // True while a group header is printed again at the top of a page or column.
    bool reprinting() const { return reprinting_; }

private:
    friend class Layouter;
    Element& add(ElementKind kind, double x, double y, double w, double h);
    Report& report_;
    BandType type_;
    std::string name_;
    std::vector<std::unique_ptr<Element>> elements_;
    bool pageBreak_ = false;
    bool columnBreak_ = false;
    bool reprinting_ = false;
};

// A group: its header prints before the first row of each run of rows with the same key,
// its footer after the last. Groups nest in the order they were added (first = outermost).
class Group {
public:
    Group(Report& report, std::string name, std::function<std::string()> key, int level);
    const std::string& name() const { return name_; }
    int level() const { return level_; }

    std::function<std::string()> key;  // evaluated on each row; a group without a key is off
    bool enabled = true;               // off: no header, no footer, no key

    Band& header() { return *header_; }
    Band& footer();  // created on first use
    bool hasFooter() const { return footer_ != nullptr; }

private:
    Report& report_;
    std::string name_;
    int level_;
    std::unique_ptr<Band> header_;
    std::unique_ptr<Band> footer_;
};

// A running sum over the rows whose detail band prints (every row when the report has no
// detail band, or it is switched off). group(level) restarts when that group starts.
class Sum {
public:
    double total() const { return total_; }
    double page() const { return page_; }  // since the current page began
    double group(int level) const;
    double group(const Group& g) const { return group(g.level()); }
    long count() const { return count_; }

private:
    friend class Layouter;
    friend class Report;
    Sum(std::string field, std::function<double()> value) : field_(std::move(field)), value_(std::move(value)) {}
    void reset(size_t levels);
    void add(double v);
    std::string field_;
    std::function<double()> value_;
    int fieldIndex_ = -1;
    std::vector<double> groups_;
    double total_ = 0, page_ = 0;
    long count_ = 0;
};

class Report {
public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    std::string name;  // document title of the PDF, sheet name of the spreadsheet
    PageSetup page;
    Font font;  // font of the elements added from now on

    // Bands, created on first use; a band never asked for does not exist.
    Band& title();  // once, at the top of the first page below the page header
    Band& pageHeader();
    Band& columnHeader();  // at the top of each column
    Band& detail();        // once per row of the data source (once in all without one)
    Band& summary();       // once, after the last group footer
    Band& pageFooter();    // at the foot of each page
    Band* band(BandType type) const;  // null when not created (group bands: see groups())

    Group& addGroup(std::string name, std::function<std::string()> key);
    Group& group(const std::string& name);  // ReportError when absent
    const std::vector<std::unique_ptr<Group>>& groups() const { return groups_; }

    // Data source: a RowSource the caller keeps alive, or a dataset wrapped by the report.
    // Without one the report prints its detail band once.
    void setDataSource(RowSource* source);
    void setDataset(Dataset& dataset);
    RowSource* dataSource() const { return source_; }

    Sum& addSum(std::string field);               // a field of the data source (null counts 0)
    Sum& addSum(std::function<double()> value);   // any value, read when the detail prints

    // Called as each layout pass starts (a report asking for the page count is laid out
    // twice): reset the form's own running values here.
    std::function<void()> onStart;

    // While laying out: the number of the page being filled, and the number of pages of the
    // document (0 in the first pass; asking for it makes the layout run a second pass).
    int pageNumber() const { return pageNumber_; }
    int pageCount() const {
        pageCountAsked_ = true;
        return pageCount_;
    }

private:
    friend class Layouter;
    Band& slot(std::unique_ptr<Band>& b, BandType type, const char* name);
    std::unique_ptr<Band> title_, pageHeader_, columnHeader_, detail_, summary_, pageFooter_;
    std::vector<std::unique_ptr<Group>> groups_;
    std::vector<std::unique_ptr<Sum>> sums_;
    std::unique_ptr<RowSource> ownedSource_;
    RowSource* source_ = nullptr;
    int pageNumber_ = 0;
    int pageCount_ = 0;
    mutable bool pageCountAsked_ = false;
};

}  // namespace zuna::report
