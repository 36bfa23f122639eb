// Plain text: the page as a grid of characters.
#include <cmath>
#include <fstream>
#include <sstream>

#include "reports/engine/Render.h"

namespace zuna::report {

namespace {

std::u32string decodeUtf8(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || i + static_cast<size_t>(n) >= s.size()) {
            out.push_back(U'?');
            ++i;
            continue;
        }
        char32_t cp = n == 0 ? c : (c & (0x3F >> n));
        bool bad = false;
        for (int k = 1; k <= n; ++k) {
            unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((d & 0xC0) != 0x80) bad = true;
            cp = (cp << 6) | (d & 0x3F);
        }
        out.push_back(bad ? U'?' : cp);
        i += static_cast<size_t>(n) + 1;
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Lines of a text: its own line breaks, then words wrapped to width when asked.
std::vector<std::u32string> textLines(const std::u32string& text, int width, bool wrap) {
    std::vector<std::u32string> lines;
    size_t from = 0;
    for (;;) {
        size_t nl = text.find(U'\n', from);
        std::u32string line = text.substr(from, nl == std::u32string::npos ? std::u32string::npos : nl - from);
        if (!line.empty() && line.back() == U'\r') line.pop_back();
        if (!wrap || static_cast<int>(line.size()) <= width) {
            lines.push_back(std::move(line));
        } else {
            std::u32string cur;
            size_t i = 0;
            while (i < line.size()) {
                while (i < line.size() && line[i] == U' ') ++i;
                size_t j = line.find(U' ', i);
                std::u32string word = line.substr(i, j == std::u32string::npos ? std::u32string::npos : j - i);
                i = j == std::u32string::npos ? line.size() : j;
                if (word.empty()) break;
                if (!cur.empty() && cur.size() + 1 + word.size() <= static_cast<size_t>(width)) {
                    cur += U' ';
                    cur += word;
                    continue;
                }
                if (!cur.empty()) lines.push_back(std::move(cur));
                cur.clear();
                while (word.size() > static_cast<size_t>(width)) {
                    lines.push_back(word.substr(0, static_cast<size_t>(width)));
                    word.erase(0, static_cast<size_t>(width));
                }
                cur = std::move(word);
            }
            if (!cur.empty()) lines.push_back(std::move(cur));
        }
        if (nl == std::u32string::npos) break;
        from = nl + 1;
    }
    return lines;
}

class Grid {
public:
    char32_t get(int r, int c) const {
        if (r < 0 || c < 0 || static_cast<size_t>(r) >= rows_.size()) return U' ';
        const auto& row = rows_[static_cast<size_t>(r)];
        return static_cast<size_t>(c) < row.size() ? row[static_cast<size_t>(c)] : U' ';
    }
    void put(int r, int c, char32_t ch) {
        if (r < 0 || c < 0) return;
        if (static_cast<size_t>(r) >= rows_.size()) rows_.resize(static_cast<size_t>(r) + 1);
        auto& row = rows_[static_cast<size_t>(r)];
        if (static_cast<size_t>(c) >= row.size()) row.resize(static_cast<size_t>(c) + 1, U' ');
        row[static_cast<size_t>(c)] = ch;
    }
    // A line character meeting one of the other direction makes a crossing.
    void rule(int r, int c, char32_t ch) {
        char32_t old = get(r, c);
        if (old == U'+' || (old == U'-' && ch == U'|') || (old == U'|' && ch == U'-')) ch = U'+';
        put(r, c, ch);
    }
    std::string render(const TextOptions& opt) const {
        std::vector<std::string> lines;
        for (const auto& row : rows_) {
            std::string s;
            size_t end = row.size();
            while (end > 0 && row[end - 1] == U' ') --end;
            for (size_t i = 0; i < end; ++i) appendUtf8(s, row[i]);
            if (s.empty() && !opt.blankRows) continue;
            lines.push_back(std::move(s));
        }
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        std::string out;
        for (const auto& l : lines) {
            out += l;
            out += opt.lineEnd;
        }
        return out;
    }

private:
    std::vector<std::u32string> rows_;
};

}  // namespace

std::string renderTextPage(const Page& page, const TextOptions& opt) {
    auto cell = [](double mm, double perInch) { return static_cast<int>(std::floor(mm / 25.4 * perInch + 0.5 + 1e-9)); };
    auto col = [&](double mm) { return cell(mm, opt.charsPerInch); };
    auto row = [&](double mm) { return cell(mm, opt.linesPerInch); };
    Grid g;
    if (opt.drawLines) {
        for (const Item& it : page.items) {
            if (it.kind == ItemKind::Line) {
                if (it.h == 0) {
                    int r = row(it.y), c0 = col(it.x), c1 = std::max(col(it.x + it.w), c0 + 1);
                    for (int c = c0; c < c1; ++c) g.rule(r, c, U'-');
                } else {
                    int c = col(it.x), r0 = row(it.y), r1 = std::max(row(it.y + it.h), r0 + 1);
                    for (int r = r0; r < r1; ++r) g.rule(r, c, U'|');
                }
            } else if (it.kind == ItemKind::Frame) {
                int c0 = col(it.x), c1 = std::max(col(it.x + it.w) - 1, c0 + 1);
                int r0 = row(it.y), r1 = std::max(row(it.y + it.h) - 1, r0 + 1);
                for (int c = c0 + 1; c < c1; ++c) g.rule(r0, c, U'-'), g.rule(r1, c, U'-');
                for (int r = r0 + 1; r < r1; ++r) g.rule(r, c0, U'|'), g.rule(r, c1, U'|');
                g.put(r0, c0, U'+'), g.put(r0, c1, U'+'), g.put(r1, c0, U'+'), g.put(r1, c1, U'+');
            }
        }
    }
    for (const Item& it : page.items) {
        if (it.kind != ItemKind::Text || it.text.empty()) continue;
        int r = row(it.y), c0 = col(it.x), c1 = col(it.x + it.w);
        std::u32string text = decodeUtf8(it.text);
        int width = it.w > 0 ? std::max(c1 - c0, 1) : static_cast<int>(text.size());
        if (it.w <= 0) c1 = c0 + width;
        for (std::u32string& line : textLines(text, width, it.wrap)) {
            if (static_cast<int>(line.size()) > width) line.resize(static_cast<size_t>(width));
            int len = static_cast<int>(line.size());
            int start = it.align == Align::Right ? c1 - len : it.align == Align::Centre ? c0 + (width - len) / 2 : c0;
            for (int k = 0; k < len; ++k) g.put(r, start + k, line[static_cast<size_t>(k)]);
            ++r;
        }
    }
    return g.render(opt);
}

TextSink::TextSink(std::ostream& out, TextOptions opt) : out_(out), opt_(std::move(opt)) {}

TextSink::TextSink(const std::string& path, TextOptions opt) : file_(path, std::ios::binary), out_(file_), opt_(std::move(opt)) {
    if (!file_) throw ReportError("Cannot write the file " + path);
}

void TextSink::page(Page&& page) {
    if (!first_) out_ << opt_.pageBreak;
    first_ = false;
    out_ << renderTextPage(page, opt_);
}

void TextSink::end() {
    out_.flush();
    if (!out_) throw ReportError("Writing the text file failed");
}

std::string renderText(const Document& doc, const TextOptions& opt) {
    std::ostringstream s;
    TextSink sink(s, opt);
    replay(doc, sink);
    return s.str();
}

void writeText(const Document& doc, const std::string& path, const TextOptions& opt) {
    TextSink sink(path, opt);
    replay(doc, sink);
}

}  // namespace zuna::report
