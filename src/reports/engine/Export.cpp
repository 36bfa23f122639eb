#include <algorithm>
#include <cctype>

#include "reports/engine/Layout.h"
#include "reports/engine/Render.h"

namespace zuna::report {

namespace {
struct FormatName {
    Format format;
    const char* extension;
};
constexpr FormatName kFormats[] = {{Format::Pdf, "pdf"},   {Format::Text, "txt"}, {Format::Csv, "csv"},
                                   {Format::Xlsx, "xlsx"}, {Format::Xml, "xml"},  {Format::Png, "png"}};
}  // namespace

bool formatFromPath(const std::string& path, Format& out) {
    auto dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const auto& f : kFormats)
        if (ext == f.extension) {
            out = f.format;
            return true;
        }
    return false;
}

const char* formatExtension(Format f) {
    for (const auto& e : kFormats)
        if (e.format == f) return e.extension;
    return "";
}

std::unique_ptr<PageSink> makeSink(Format f, const std::string& path) {
    switch (f) {
        case Format::Pdf: return std::make_unique<PdfSink>(path);
        case Format::Text: return std::make_unique<TextSink>(path);
        case Format::Csv: return std::make_unique<CsvSink>(path);
        case Format::Xlsx: return std::make_unique<XlsxSink>(path);
        case Format::Xml: return std::make_unique<XmlSink>(path);
        case Format::Png: return std::make_unique<PngSink>(path);
    }
    throw ReportError("Unknown export format");
}

void exportDocument(const Document& doc, const std::string& path, Format f) {
    auto sink = makeSink(f, path);
    replay(doc, *sink);
}

int exportReport(Report& report, const std::string& path, Format f) {
    auto sink = makeSink(f, path);
    return layout(report, *sink);
}

}  // namespace zuna::report
