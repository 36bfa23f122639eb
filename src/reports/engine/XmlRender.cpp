// XML: the document as it was laid out, for other programs to read.
#include <QBuffer>
#include <QFile>
#include <QXmlStreamWriter>

#include "reports/engine/Render.h"

namespace zuna::report {

namespace {
QString mm(double v) { return QString::number(v, 'f', 2); }
const char* alignName(Align a) { return a == Align::Right ? "right" : a == Align::Centre ? "centre" : "left"; }

void writeItem(QXmlStreamWriter& w, const Item& it) {
    switch (it.kind) {
        case ItemKind::Text:
            w.writeStartElement("item");
            w.writeAttribute("x", mm(it.x));
            w.writeAttribute("y", mm(it.y));
            w.writeAttribute("w", mm(it.w));
            w.writeAttribute("h", mm(it.h));
            if (!it.name.empty()) w.writeAttribute("name", QString::fromStdString(it.name));
            w.writeAttribute("font", QString::fromStdString(it.font.family));
            w.writeAttribute("size", QString::number(it.font.size, 'g', 6));
            if (it.font.bold) w.writeAttribute("bold", "1");
            if (it.font.italic) w.writeAttribute("italic", "1");
            w.writeAttribute("align", alignName(it.align));
            if (it.wrap) w.writeAttribute("wrap", "1");
            if (it.numeric) w.writeAttribute("number", QString::number(it.number, 'g', 17));
            w.writeCharacters(QString::fromStdString(it.text));
            w.writeEndElement();
            break;
        case ItemKind::Line:
            w.writeEmptyElement("line");
            w.writeAttribute("x1", mm(it.x));
            w.writeAttribute("y1", mm(it.y));
            w.writeAttribute("x2", mm(it.x + it.w));
            w.writeAttribute("y2", mm(it.y + it.h));
            w.writeAttribute("pen", mm(it.pen));
            break;
        case ItemKind::Frame:
        case ItemKind::Image:
            w.writeEmptyElement(it.kind == ItemKind::Frame ? "frame" : "image");
            w.writeAttribute("x", mm(it.x));
            w.writeAttribute("y", mm(it.y));
            w.writeAttribute("w", mm(it.w));
            w.writeAttribute("h", mm(it.h));
            if (it.kind == ItemKind::Frame) w.writeAttribute("pen", mm(it.pen));
            if (!it.name.empty()) w.writeAttribute("name", QString::fromStdString(it.name));
            break;
    }
}
}  // namespace

XmlSink::XmlSink(const std::string& path) {
    auto f = std::make_unique<QFile>(QString::fromStdString(path));
    if (!f->open(QIODevice::WriteOnly | QIODevice::Truncate)) throw ReportError("Cannot write the file " + path);
    w_ = std::make_unique<QXmlStreamWriter>(f.get());
    file_ = std::move(f);
}

XmlSink::XmlSink(QIODevice* device) : w_(std::make_unique<QXmlStreamWriter>(device)) {}

XmlSink::~XmlSink() = default;

void XmlSink::begin(const std::string& name, double pageWidth, double pageHeight) {
    w_->setAutoFormatting(true);
    w_->setAutoFormattingIndent(1);
    w_->writeStartDocument();
    w_->writeStartElement("report");
    w_->writeAttribute("name", QString::fromStdString(name));
    w_->writeAttribute("width", mm(pageWidth));
    w_->writeAttribute("height", mm(pageHeight));
}

void XmlSink::page(Page&& page) {
    QXmlStreamWriter& w = *w_;
    w.writeStartElement("page");
    w.writeAttribute("n", QString::number(page.number));
    std::vector<std::vector<const Item*>> byBand(page.bands.size());
    std::vector<const Item*> loose;
    for (const Item& it : page.items) {
        if (it.band >= 0 && static_cast<size_t>(it.band) < byBand.size())
            byBand[static_cast<size_t>(it.band)].push_back(&it);
        else
            loose.push_back(&it);
    }
    for (size_t b = 0; b < page.bands.size(); ++b) {
        const PrintedBand& pb = page.bands[b];
        w.writeStartElement("band");
        w.writeAttribute("type", bandTypeName(pb.type));
        w.writeAttribute("name", QString::fromStdString(pb.name));
        w.writeAttribute("column", QString::number(pb.column));
        w.writeAttribute("x", mm(pb.x));
        w.writeAttribute("y", mm(pb.y));
        w.writeAttribute("w", mm(pb.w));
        w.writeAttribute("h", mm(pb.h));
        for (const Item* it : byBand[b]) writeItem(w, *it);
        w.writeEndElement();
    }
    for (const Item* it : loose) writeItem(w, *it);
    w.writeEndElement();
}

void XmlSink::end() {
    w_->writeEndElement();
    w_->writeEndDocument();
    if (w_->hasError()) throw ReportError("Writing the XML file failed");
    if (file_) file_->close();
}

std::string renderXml(const Document& doc) {
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    {
        XmlSink sink(&buf);
        replay(doc, sink);
    }
    return buf.data().toStdString();
}

void writeXml(const Document& doc, const std::string& path) {
    XmlSink sink(path);
    replay(doc, sink);
}

}  // namespace zuna::report
