#include "reports/engine/Report.h"

#include <algorithm>

namespace zuna::report {

// ------------------------------------------------------------------ page setup

namespace {
void paperSize(const PageSetup& p, double& w, double& h) {
    switch (p.paper) {
        case Paper::A4: w = 210, h = 297; break;
        case Paper::Letter: w = 215.9, h = 279.4; break;
        case Paper::Custom: w = p.customWidth, h = p.customHeight; break;
    }
    if (p.orientation == Orientation::Landscape) std::swap(w, h);
}
}  // namespace

double PageSetup::width() const {
    double w = 0, h = 0;
    paperSize(*this, w, h);
    return w;
}

double PageSetup::height() const {
    double w = 0, h = 0;
    paperSize(*this, w, h);
    return h;
}

double PageSetup::columnWidth() const {
    int n = std::max(columns, 1);
    return (printableWidth() - (n - 1) * columnGap) / n;
}

double PageSetup::columnLeft(int column) const { return leftMargin + column * (columnWidth() + columnGap); }

// ------------------------------------------------------------------ bands

const char* bandTypeName(BandType t) {
    switch (t) {
        case BandType::Title: return "title";
        case BandType::PageHeader: return "pageHeader";
        case BandType::ColumnHeader: return "columnHeader";
        case BandType::GroupHeader: return "groupHeader";
        case BandType::Detail: return "detail";
        case BandType::GroupFooter: return "groupFooter";
        case BandType::Summary: return "summary";
        case BandType::PageFooter: return "pageFooter";
    }
    return "";
}

Band::Band(Report& report, BandType type, std::string name) : report_(report), type_(type), name_(std::move(name)) {}

Element& Band::add(ElementKind kind, double x, double y, double w, double h) {
    auto e = std::make_unique<Element>();
    e->kind = kind;
    e->x = x, e->y = y, e->w = w, e->h = h;
    e->font = report_.font;
    elements_.push_back(std::move(e));
    return *elements_.back();
}

Element& Band::addLabel(std::string text, double x, double y, double w, double h) {
    Element& e = add(ElementKind::Label, x, y, w, h);
    e.text = std::move(text);
    return e;
}

Element& Band::addField(std::string field, double x, double y, double w, double h, std::string mask) {
    Element& e = add(ElementKind::Field, x, y, w, h);
    e.field = std::move(field);
    e.mask = std::move(mask);
    return e;
}

Element& Band::addText(std::function<std::string()> text, double x, double y, double w, double h) {
    Element& e = add(ElementKind::Computed, x, y, w, h);
    e.compute = std::move(text);
    return e;
}

Element& Band::addNumber(std::function<double()> value, double x, double y, double w, double h, std::string mask) {
    Element& e = add(ElementKind::Number, x, y, w, h);
    e.numberValue = std::move(value);
    e.mask = std::move(mask);
    return e;
}

Element& Band::addHLine(double x, double y, double w) { return add(ElementKind::HLine, x, y, w, 0); }

Element& Band::addVLine(double x, double y, double h) { return add(ElementKind::VLine, x, y, 0, h); }

Element& Band::addFrame(double x, double y, double w, double h) { return add(ElementKind::Frame, x, y, w, h); }

Element& Band::addImage(const QImage& image, double x, double y, double w, double h) {
    Element& e = add(ElementKind::Image, x, y, w, h);
    e.image = image;
    return e;
}

Element* Band::find(const std::string& name) {
    for (auto& e : elements_)
        if (e->name == name) return e.get();
    return nullptr;
}

Element& Band::element(const std::string& name) {
    if (Element* e = find(name)) return *e;
    throw ReportError("The band " + name_ + " has no element " + name);
}

// ------------------------------------------------------------------ groups and sums

Group::Group(Report& report, std::string name, std::function<std::string()> key, int level)
    : key(std::move(key)), report_(report), name_(std::move(name)), level_(level),
      header_(std::make_unique<Band>(report, BandType::GroupHeader, name_ + "Header")) {}

Band& Group::footer() {
    if (!footer_) footer_ = std::make_unique<Band>(report_, BandType::GroupFooter, name_ + "Footer");
    return *footer_;
}

double Sum::group(int level) const {
    return level >= 0 && static_cast<size_t>(level) < groups_.size() ? groups_[static_cast<size_t>(level)] : total_;
}

void Sum::reset(size_t levels) {
    groups_.assign(levels, 0.0);
    total_ = page_ = 0;
    count_ = 0;
}

void Sum::add(double v) {
    for (double& g : groups_) g += v;
    total_ += v;
    page_ += v;
    ++count_;
}

// ------------------------------------------------------------------ report

Report::Report() = default;
Report::~Report() = default;

Band& Report::slot(std::unique_ptr<Band>& b, BandType type, const char* bandName) {
    if (!b) b = std::make_unique<Band>(*this, type, bandName);
    return *b;
}

Band& Report::title() { return slot(title_, BandType::Title, "title"); }
Band& Report::pageHeader() { return slot(pageHeader_, BandType::PageHeader, "pageHeader"); }
Band& Report::columnHeader() { return slot(columnHeader_, BandType::ColumnHeader, "columnHeader"); }
Band& Report::detail() { return slot(detail_, BandType::Detail, "detail"); }
Band& Report::summary() { return slot(summary_, BandType::Summary, "summary"); }
Band& Report::pageFooter() { return slot(pageFooter_, BandType::PageFooter, "pageFooter"); }

Band* Report::band(BandType type) const {
    switch (type) {
        case BandType::Title: return title_.get();
        case BandType::PageHeader: return pageHeader_.get();
        case BandType::ColumnHeader: return columnHeader_.get();
        case BandType::Detail: return detail_.get();
        case BandType::Summary: return summary_.get();
        case BandType::PageFooter: return pageFooter_.get();
        default: return nullptr;
    }
}

Group& Report::addGroup(std::string groupName, std::function<std::string()> key) {
    groups_.push_back(std::make_unique<Group>(*this, std::move(groupName), std::move(key), static_cast<int>(groups_.size())));
    return *groups_.back();
}

Group& Report::group(const std::string& groupName) {
    for (auto& g : groups_)
        if (g->name() == groupName) return *g;
    throw ReportError("The report " + name + " has no group " + groupName);
}

void Report::setDataSource(RowSource* source) {
    ownedSource_.reset();
    source_ = source;
}

void Report::setDataset(Dataset& dataset) {
    ownedSource_ = std::make_unique<DatasetSource>(dataset);
    source_ = ownedSource_.get();
}

Sum& Report::addSum(std::string field) {
    sums_.push_back(std::unique_ptr<Sum>(new Sum(std::move(field), {})));
    return *sums_.back();
}

Sum& Report::addSum(std::function<double()> value) {
    sums_.push_back(std::unique_ptr<Sum>(new Sum({}, std::move(value))));
    return *sums_.back();
}

}  // namespace zuna::report
