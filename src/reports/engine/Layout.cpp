#include "reports/engine/Layout.h"

#include <algorithm>
#include <cmath>

#include "reports/engine/Mask.h"
#include "reports/engine/Paint.h"

namespace zuna::report {

void DocumentSink::begin(const std::string& name, double pageWidth, double pageHeight) {
    doc_.name = name;
    doc_.pageWidth = pageWidth;
    doc_.pageHeight = pageHeight;
}

void replay(const Document& doc, PageSink& sink) {
    sink.begin(doc.name, doc.pageWidth, doc.pageHeight);
    for (const Page& p : doc.pages) sink.page(Page(p));
    sink.end();
}

namespace {
constexpr double kEpsilon = 1e-6;  // mm; absorbs rounding in sums of band heights

std::string generalNumber(double v) { return formatMask(v, {}); }
}  // namespace

// One layout pass over the report.
class Layouter {
public:
    Layouter(Report& r, PageSink* sink, bool secondPass, int alreadyEmitted)
        : r_(r), sink_(sink), secondPass_(secondPass), alreadyEmitted_(alreadyEmitted), ps_(r.page) {}

    int run();
    int emitted() const { return emitted_; }
    static int layoutReport(Report& report, PageSink& sink);

private:
    struct Prepared {
        std::vector<Item> items;  // relative to the band's corner
        double height = 0;
    };

    void resolveFields();
    void resolveBand(Band* b);
    bool prepare(Band& b, double width, Prepared& out);
    void evaluate(Band& b, double width, Prepared& out);
    void place(Band& b, Prepared& p, double x, double y, double width, int column);

    bool printFlowBand(Band& b);  // column-wide bands after the column header
    void printDetail();
    void printSummary();
    void openGroups(size_t from);
    void closeGroups(size_t from);
    void addSums();

    void startPage();
    void finishPage(bool last);
    void newPage();
    void nextColumn();
    void startColumn();
    double columnX() const { return ps_.columnLeft(col_); }

    Report& r_;
    PageSink* sink_;
    bool secondPass_;
    int alreadyEmitted_;
    int emitted_ = 0;
    bool emitting_ = true;
    const PageSetup ps_;
    RowSource* src_ = nullptr;

    std::vector<Group*> groups_;  // the groups in use, outermost first
    std::vector<bool> groupOpen_;

    Page page_;
    bool pageOpen_ = false;
    int col_ = 0;
    double y_ = 0;          // where the next band of the current column goes
    double colTop_ = 0;     // where the columns start on this page
    double limit_ = 0;      // where they end (top of the page footer)
    double pageUsed_ = 0;   // lowest point any column reached on this page
    bool pageHasFlow_ = false, colHasFlow_ = false;
    FontMetricsCache metrics_;
};

void Layouter::resolveBand(Band* b) {
    if (!b) return;
    for (auto& e : b->elements_) {
        if (e->kind != ElementKind::Field) continue;
        if (!src_) throw ReportError("Report " + r_.name + ": the field " + e->field + " of band " + b->name() + " has no data source");
        e->fieldIndex_ = src_->fieldIndex(e->field);
        if (e->fieldIndex_ < 0)
            throw ReportError("Report " + r_.name + ": the data source has no field " + e->field + " (band " + b->name() + ")");
    }
}

void Layouter::resolveFields() {
    for (BandType t : {BandType::Title, BandType::PageHeader, BandType::ColumnHeader, BandType::Detail, BandType::Summary,
                       BandType::PageFooter})
        resolveBand(r_.band(t));
    for (auto& g : r_.groups_) {
        resolveBand(&g->header());
        if (g->hasFooter()) resolveBand(&g->footer());
    }
    for (auto& s : r_.sums_) {
        if (s->field_.empty()) continue;
        if (!src_) throw ReportError("Report " + r_.name + ": the sum of " + s->field_ + " has no data source");
        s->fieldIndex_ = src_->fieldIndex(s->field_);
        if (s->fieldIndex_ < 0) throw ReportError("Report " + r_.name + ": the data source has no field " + s->field_ + " to sum");
    }
}

bool Layouter::prepare(Band& b, double width, Prepared& out) {
    if (!b.enabled) return false;
    b.pageBreak_ = b.columnBreak_ = false;
    if (b.beforePrint && !b.beforePrint(b)) return false;
    if (&b == r_.detail_.get()) addSums();  // so that the detail's own texts see its row counted
    evaluate(b, width, out);
    return true;
}

void Layouter::evaluate(Band& b, double width, Prepared& out) {
    out.items.clear();
    out.height = b.height;
    for (auto& ep : b.elements_) {
        Element& e = *ep;
        if (!e.visible) continue;
        Item it;
        it.x = e.x, it.y = e.y, it.w = e.w, it.h = e.h;
        it.name = e.name;
        switch (e.kind) {
            case ElementKind::Label: it.text = e.text; break;
            case ElementKind::Field: {
                int f = e.fieldIndex_;
                if (src_->isNull(f)) break;
                if (src_->isNumeric(f)) {
                    it.numeric = true;
                    it.number = src_->number(f);
                    it.mask = e.mask;
                    it.text = e.mask.empty() ? src_->text(f) : formatMask(it.number, e.mask);
                } else {
                    it.text = src_->text(f);
                }
                break;
            }
            case ElementKind::Computed:
                if (e.compute) it.text = e.compute();
                break;
            case ElementKind::Number:
                it.numeric = true;
                it.number = e.numberValue ? e.numberValue() : 0.0;
                it.mask = e.mask;
                it.text = e.mask.empty() ? generalNumber(it.number) : formatMask(it.number, e.mask);
                break;
            case ElementKind::HLine:
                it.kind = ItemKind::Line;
                it.h = 0;
                break;
            case ElementKind::VLine:
                it.kind = ItemKind::Line;
                it.w = 0;
                break;
            case ElementKind::Frame: it.kind = ItemKind::Frame; break;
            case ElementKind::Image:
                it.kind = ItemKind::Image;
                it.image = e.image;
                break;
        }
        if (e.isText()) {
            it.font = e.font;
            it.align = e.align;
            it.wrap = e.wordWrap;
            if (e.autoStretch && !it.text.empty()) {
                double w = it.w > 0 ? it.w : width - it.x;
                double need = metrics_.textHeight(e.font, it.text, w, e.wordWrap);
                if (need > it.h) it.h = need;
                out.height = std::max(out.height, it.y + it.h);
            }
        } else {
            it.pen = e.penWidth;
        }
        out.items.push_back(std::move(it));
    }
    if (out.height > b.height + kEpsilon) {
        double grow = out.height - b.height;
        size_t i = 0;
        for (auto& ep : b.elements_) {
            if (!ep->visible) continue;
            Item& it = out.items[i++];
            if (ep->stretchWithBand && !ep->isText()) it.h += grow;
        }
    }
}

void Layouter::place(Band& b, Prepared& p, double x, double y, double width, int column) {
    int index = static_cast<int>(page_.bands.size());
    page_.bands.push_back(PrintedBand{b.type(), b.name(), column, x, y, width, p.height});
    for (Item& it : p.items) {
        it.x += x;
        it.y += y;
        it.band = index;
        page_.items.push_back(std::move(it));
    }
    p.items.clear();
}

void Layouter::addSums() {
    for (auto& s : r_.sums_) {
        double v = 0;
        if (s->fieldIndex_ >= 0)
            v = src_->isNull(s->fieldIndex_) ? 0.0 : src_->number(s->fieldIndex_);
        else if (s->value_)
            v = s->value_();
        s->add(v);
    }
}

// ------------------------------------------------------------------ pages and columns

void Layouter::startPage() {
    page_ = Page{};
    page_.number = ++r_.pageNumber_;
    page_.width = ps_.width();
    page_.height = ps_.height();
    pageOpen_ = true;
    pageHasFlow_ = false;
    for (auto& s : r_.sums_) s->page_ = 0;

    Band* footer = r_.pageFooter_.get();
    limit_ = ps_.height() - ps_.bottomMargin - (footer && footer->enabled ? footer->height : 0);
    y_ = ps_.topMargin;
    Prepared p;
    Band* header = r_.pageHeader_.get();
    if (header && (page_.number > 1 || header->printOnFirstPage) && prepare(*header, ps_.printableWidth(), p)) {
        place(*header, p, ps_.leftMargin, y_, ps_.printableWidth(), 0);
        y_ += p.height;
    }
    Band* title = r_.title_.get();
    if (title && page_.number == 1 && prepare(*title, ps_.printableWidth(), p)) {
        place(*title, p, ps_.leftMargin, y_, ps_.printableWidth(), 0);
        y_ += p.height;
    }
    colTop_ = pageUsed_ = y_;
    col_ = 0;
    startColumn();
}

void Layouter::startColumn() {
    y_ = colTop_;
    colHasFlow_ = false;
    Prepared p;
    double w = ps_.columnWidth();
    if (Band* ch = r_.columnHeader_.get(); ch && prepare(*ch, w, p)) {
        place(*ch, p, columnX(), y_, w, col_);
        y_ += p.height;
    }
    for (size_t i = 0; i < groups_.size(); ++i) {
        Band& h = groups_[i]->header();
        if (!groupOpen_[i] || !h.reprintOnNewPage) continue;
        h.reprinting_ = true;
        bool ok = prepare(h, w, p);
        h.reprinting_ = false;
        if (!ok) continue;
        place(h, p, columnX(), y_, w, col_);
        y_ += p.height;
    }
    pageUsed_ = std::max(pageUsed_, y_);
}

void Layouter::finishPage(bool last) {
    if (!pageOpen_) return;
    Band* footer = r_.pageFooter_.get();
    Prepared p;
    if (footer && (page_.number > 1 || footer->printOnFirstPage) && (!last || footer->printOnLastPage) &&
        prepare(*footer, ps_.printableWidth(), p))
        place(*footer, p, ps_.leftMargin, ps_.height() - ps_.bottomMargin - p.height, ps_.printableWidth(), 0);

    if (ps_.columns > 1 && ps_.columnRule > 0) {
        for (int c = 0; c + 1 < ps_.columns; ++c) {
            Item rule;
            rule.kind = ItemKind::Line;
            rule.x = ps_.columnLeft(c) + ps_.columnWidth() + ps_.columnGap / 2;
            rule.y = colTop_;
            rule.h = limit_ - colTop_;
            rule.pen = ps_.columnRule;
            page_.items.push_back(std::move(rule));
        }
    }
    pageOpen_ = false;

    // First pass: hand out pages until a text asks for the page count (those pages did not
    // depend on it). Second pass: the pages the first one could not hand out.
    if (!secondPass_) {
        if (r_.pageCountAsked_) emitting_ = false;
        if (emitting_ && sink_) {
            sink_->page(std::move(page_));
            ++emitted_;
        }
    } else if (page_.number > alreadyEmitted_ && sink_) {
        sink_->page(std::move(page_));
        ++emitted_;
    }
}

void Layouter::newPage() {
    finishPage(false);
    startPage();
}

void Layouter::nextColumn() {
    if (col_ + 1 < ps_.columns) {
        ++col_;
        startColumn();
    } else {
        newPage();
    }
}

// ------------------------------------------------------------------ bands in the flow

bool Layouter::printFlowBand(Band& b) {
    Prepared p;
    double w = ps_.columnWidth();
    if (!prepare(b, w, p)) return false;
    bool moved = false;
    if ((b.newPage || b.pageBreak_) && pageHasFlow_) {
        newPage();
        moved = true;
    } else if ((b.newColumn || b.columnBreak_) && colHasFlow_) {
        nextColumn();
        moved = true;
    }
    if (y_ + p.height > limit_ + kEpsilon && colHasFlow_) {
        nextColumn();
        moved = true;
    }
    if (moved) evaluate(b, w, p);  // page numbers and the like belong to where it lands
    double at = b.alignToBottom ? std::max(y_, limit_ - p.height) : y_;
    place(b, p, columnX(), at, w, col_);
    y_ = b.alignToBottom ? limit_ : at + p.height;
    pageUsed_ = std::max(pageUsed_, y_);
    pageHasFlow_ = colHasFlow_ = true;
    return true;
}

void Layouter::printDetail() {
    Band* d = r_.detail_.get();
    if (d && d->enabled)
        printFlowBand(*d);  // counts the row into the sums unless its event suppresses it
    else
        addSums();
}

void Layouter::openGroups(size_t from) {
    for (auto& s : r_.sums_)
        for (size_t i = from; i < groups_.size(); ++i) s->groups_[static_cast<size_t>(groups_[i]->level())] = 0;
    for (size_t i = from; i < groups_.size(); ++i) groupOpen_[i] = false;
    for (size_t i = from; i < groups_.size(); ++i) {
        printFlowBand(groups_[i]->header());
        groupOpen_[i] = true;
    }
}

void Layouter::closeGroups(size_t from) {
    for (size_t i = groups_.size(); i-- > from;) {
        if (groups_[i]->hasFooter()) printFlowBand(groups_[i]->footer());
        groupOpen_[i] = false;
    }
}

void Layouter::printSummary() {
    Band* s = r_.summary_.get();
    Prepared p;
    double w = ps_.printableWidth();
    if (!s || !prepare(*s, w, p)) return;
    bool moved = false;
    if ((s->newPage || s->pageBreak_) && pageHasFlow_) {
        newPage();
        moved = true;
    }
    if (pageUsed_ + p.height > limit_ + kEpsilon && pageHasFlow_) {
        newPage();
        moved = true;
    }
    if (moved) evaluate(*s, w, p);
    double at = s->alignToBottom ? std::max(pageUsed_, limit_ - p.height) : pageUsed_;
    place(*s, p, ps_.leftMargin, at, w, 0);
    y_ = pageUsed_ = at + p.height;
    pageHasFlow_ = true;
}

int Layouter::run() {
    src_ = r_.source_;
    r_.pageNumber_ = 0;
    if (!secondPass_) {
        r_.pageCount_ = 0;
        r_.pageCountAsked_ = false;
    }
    if (ps_.width() <= ps_.leftMargin + ps_.rightMargin || ps_.height() <= ps_.topMargin + ps_.bottomMargin)
        throw ReportError("Report " + r_.name + ": the margins leave no room on the page");
    resolveFields();
    groups_.clear();
    for (auto& g : r_.groups_)
        if (g->enabled && g->key) groups_.push_back(g.get());
    groupOpen_.assign(groups_.size(), false);
    for (auto& s : r_.sums_) s->reset(r_.groups_.size());
    if (r_.onStart) r_.onStart();

    bool hasRow = src_ ? src_->first() : true;
    startPage();
    if (hasRow) {
        auto keysNow = [&] {
            std::vector<std::string> k;
            k.reserve(groups_.size());
            for (Group* g : groups_) k.push_back(g->key());
            return k;
        };
        std::vector<std::string> keys = keysNow();
        openGroups(0);
        for (;;) {
            printDetail();
            if (!src_ || !src_->next()) break;
            std::vector<std::string> next = keysNow();
            size_t changed = 0;
            while (changed < keys.size() && keys[changed] == next[changed]) ++changed;
            if (changed < keys.size()) {
                src_->prior();  // footers show the last row of their group
                closeGroups(changed);
                src_->next();
                keys = std::move(next);
                openGroups(changed);
            }
        }
        closeGroups(0);
    }
    printSummary();
    finishPage(true);
    return r_.pageNumber_;
}

// ------------------------------------------------------------------ entry points

int Layouter::layoutReport(Report& report, PageSink& sink) {
    sink.begin(report.name, report.page.width(), report.page.height());
    Layouter first(report, &sink, false, 0);
    int pages = first.run();
    if (report.pageCountAsked_) {
        report.pageCount_ = pages;
        Layouter second(report, &sink, true, first.emitted());
        pages = second.run();
    }
    sink.end();
    return pages;
}

int layout(Report& report, PageSink& sink) { return Layouter::layoutReport(report, sink); }

Document layout(Report& report) {
    Document doc;
    DocumentSink sink(doc);
    layout(report, sink);
    return doc;
}

}  // namespace zuna::report
