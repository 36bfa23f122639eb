// Tabular output: CSV and XLSX, one row per row of a printed band.
#include <xlsxwriter.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "reports/engine/Render.h"

namespace zuna::report {

std::vector<std::vector<const Item*>> tableRows(const Page& page, const TableOptions& opt) {
    std::vector<std::vector<const Item*>> byBand(page.bands.size());
    for (const Item& it : page.items)
        if (it.kind == ItemKind::Text && it.band >= 0 && static_cast<size_t>(it.band) < byBand.size())
            byBand[static_cast<size_t>(it.band)].push_back(&it);

    std::vector<std::vector<const Item*>> rows;
    for (size_t b = 0; b < page.bands.size(); ++b) {
        BandType t = page.bands[b].type;
        if (!opt.pageBands && (t == BandType::PageHeader || t == BandType::PageFooter || t == BandType::ColumnHeader)) continue;
        auto& items = byBand[b];
        std::stable_sort(items.begin(), items.end(), [](const Item* a, const Item* c) { return a->y < c->y; });
        size_t firstRow = rows.size();
        double top = 0, height = 0;
        for (const Item* it : items) {
            double h = it->h > 0 ? it->h : 1.0;
            // Items whose tops lie within half a line of the row's top share the row.
            if (rows.size() == firstRow || it->y >= top + height / 2) {
                rows.emplace_back();
                top = it->y;
                height = h;
            } else {
                height = std::min(height, h);
            }
            rows.back().push_back(it);
        }
        for (size_t r = firstRow; r < rows.size(); ++r)
            std::stable_sort(rows[r].begin(), rows[r].end(), [](const Item* a, const Item* c) { return a->x < c->x; });
    }
    return rows;
}

// ------------------------------------------------------------------ CSV

namespace {
void csvField(std::ostream& out, const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) {
        out << s;
        return;
    }
    out << '"';
    for (char c : s) {
        if (c == '"') out << '"';
        out << c;
    }
    out << '"';
}
}  // namespace

CsvSink::CsvSink(std::ostream& out, TableOptions opt) : out_(out), opt_(opt) {}

CsvSink::CsvSink(const std::string& path, TableOptions opt) : file_(path, std::ios::binary), out_(file_), opt_(opt) {
    if (!file_) throw ReportError("Cannot write the file " + path);
}

void CsvSink::page(Page&& page) {
    for (const auto& row : tableRows(page, opt_)) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) out_ << ',';
            csvField(out_, row[i]->text);
        }
        out_ << "\r\n";
    }
}

void CsvSink::end() {
    out_.flush();
    if (!out_) throw ReportError("Writing the CSV file failed");
}

std::string renderCsv(const Document& doc, const TableOptions& opt) {
    std::ostringstream s;
    CsvSink sink(s, opt);
    replay(doc, sink);
    return s.str();
}

void writeCsv(const Document& doc, const std::string& path, const TableOptions& opt) {
    CsvSink sink(path, opt);
    replay(doc, sink);
}

// ------------------------------------------------------------------ XLSX

namespace {
// Our masks read the same in a spreadsheet's number format, except that literal text is
// quoted with double quotes only.
std::string sheetFormat(const std::string& mask) {
    std::string out;
    char quote = 0;
    for (char c : mask) {
        if (quote) {
            if (c == quote) {
                out.push_back('"');
                quote = 0;
            } else {
                out.push_back(c);
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            out.push_back('"');
        } else {
            out.push_back(c);
        }
    }
    if (quote) out.push_back('"');
    return out;
}

std::string sheetName(const std::string& name, int number) {
    std::string s;
    for (char c : name)
        if (std::string("[]:*?/\\").find(c) == std::string::npos) s.push_back(c);
    if (s.empty()) s = "Report";
    std::string suffix = number > 1 ? " (" + std::to_string(number) + ")" : "";
    if (s.size() + suffix.size() > 31) s.resize(31 - suffix.size());
    return s + suffix;
}
}  // namespace

struct XlsxSink::State {
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    std::string name;
    int sheets = 0;
    lxw_row_t row = 0;
    std::map<std::string, lxw_format*> formats;
};

XlsxSink::XlsxSink(std::string path, TableOptions opt) : path_(std::move(path)), opt_(opt) {}

XlsxSink::~XlsxSink() {
    if (s_ && s_->book) workbook_close(s_->book);
}

void XlsxSink::begin(const std::string& name, double, double) {
    s_ = std::make_unique<State>();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go to disk as they are written
    s_->book = workbook_new_opt(path_.c_str(), &options);
    if (!s_->book) throw ReportError("Cannot create the spreadsheet " + path_);
    s_->name = name;
}

void XlsxSink::page(Page&& page) {
    if (!s_) begin({}, page.width, page.height);
    for (const auto& row : tableRows(page, opt_)) {
        if (!s_->sheet || s_->row >= LXW_ROW_MAX) {
            s_->sheet = workbook_add_worksheet(s_->book, sheetName(s_->name, ++s_->sheets).c_str());
            s_->row = 0;
        }
        lxw_col_t col = 0;
        for (const Item* it : row) {
            if (it->numeric) {
                lxw_format* f = nullptr;
                auto key = sheetFormat(it->mask);
                if (!key.empty()) {
                    auto found = s_->formats.find(key);
                    if (found == s_->formats.end()) {
                        f = workbook_add_format(s_->book);
                        format_set_num_format(f, key.c_str());
                        s_->formats.emplace(key, f);
                    } else {
                        f = found->second;
                    }
                }
                worksheet_write_number(s_->sheet, s_->row, col, it->number, f);
            } else if (!it->text.empty()) {
                worksheet_write_string(s_->sheet, s_->row, col, it->text.c_str(), nullptr);
            }
            ++col;
        }
        ++s_->row;
    }
}

void XlsxSink::end() {
    if (!s_) begin({}, 0, 0);
    if (!s_->sheet) s_->sheet = workbook_add_worksheet(s_->book, sheetName(s_->name, 1).c_str());
    lxw_error err = workbook_close(s_->book);
    s_->book = nullptr;
    if (err != LXW_NO_ERROR) throw ReportError("Cannot write the spreadsheet " + path_ + ": " + lxw_strerror(err));
}

void writeXlsx(const Document& doc, const std::string& path, const TableOptions& opt) {
    XlsxSink sink(path, opt);
    replay(doc, sink);
}

}  // namespace zuna::report
