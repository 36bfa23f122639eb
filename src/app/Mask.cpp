#include "app/Mask.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace zuna::report {
namespace {

struct Token {
    enum Kind { Literal, IntDigit, FracDigit, Point } kind;
    std::string text;  // literal text
};

struct Section {
    std::vector<Token> tokens;
    int intPlaces = 0;       // '0'/'#' before the decimal point
    int fracPlaces = 0;      // '0'/'#' after it
    int firstIntZero = -1;   // index of the first '0' among intPlaces
    int lastFracZero = -1;   // index of the last '0' among fracPlaces
    bool thousands = false;
    bool empty = true;
};

std::vector<std::string_view> splitSections(std::string_view mask) {
    std::vector<std::string_view> out;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            out.push_back(mask.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(mask.substr(start));
    return out;
}

Section parseSection(std::string_view s) {
    Section r;
    r.empty = s.empty();
    bool afterPoint = false;
    auto literal = [&](std::string_view t) {
        if (!r.tokens.empty() && r.tokens.back().kind == Token::Literal)
            r.tokens.back().text.append(t);
        else
            r.tokens.push_back({Token::Literal, std::string(t)});
    };
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\'' || c == '"') {
            size_t end = s.find(c, i + 1);
            if (end == std::string_view::npos) end = s.size();
            literal(s.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '0' || c == '#') {
            if (!afterPoint) {
                if (c == '0' && r.firstIntZero < 0) r.firstIntZero = r.intPlaces;
                ++r.intPlaces;
                r.tokens.push_back({Token::IntDigit, {}});
            } else {
                if (c == '0') r.lastFracZero = r.fracPlaces;
                ++r.fracPlaces;
                r.tokens.push_back({Token::FracDigit, {}});
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
            r.tokens.push_back({Token::Point, {}});
        } else if (c == ',') {
            if (!afterPoint) r.thousands = true;
        } else {
            literal(s.substr(i, 1));
        }
    }
    return r;
}

// |value| in decimal, rounded half away from zero to `decimals` places after taking it to
// 15 significant digits. whole: digits before the point without leading zeros ("" for 0);
// frac: exactly `decimals` digits.
struct Decimal {
    std::string whole, frac;
    bool zero() const {
        for (char c : whole)
            if (c != '0') return false;
        for (char c : frac)
            if (c != '0') return false;
        return true;
    }
};

Decimal toDecimal(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits.push_back(*p);
    int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    int pointPos = exponent + 1;  // digits before the decimal point
    if (digits.find_first_not_of('0') == std::string::npos) {
        digits = "0";
        pointPos = 1;
    }

    int keep = pointPos + decimals;  // significant digits that survive the rounding
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int>(digits.size())) {
        bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[static_cast<size_t>(i)] == '9') {
                    digits[static_cast<size_t>(i)] = '0';
                } else {
                    ++digits[static_cast<size_t>(i)];
                    break;
                }
            }
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                ++pointPos;
            }
        }
    }

    auto digitAt = [&](int pos) -> char {  // pos: index into the digit string, may be outside it
        return pos >= 0 && pos < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(pos)] : '0';
    };
    Decimal d;
    for (int i = 0; i < pointPos; ++i) d.whole.push_back(digitAt(i));
    for (int i = 0; i < decimals; ++i) d.frac.push_back(digitAt(pointPos + i));
    size_t nz = d.whole.find_first_not_of('0');
    d.whole = nz == std::string::npos ? std::string() : d.whole.substr(nz);
    return d;
}

std::string generalForm(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    return s == "-0" ? "0" : s;
}

std::string render(const Section& sec, const Decimal& d, bool minus) {
    std::string whole = d.whole;
    size_t required = sec.firstIntZero < 0 ? 0 : static_cast<size_t>(sec.intPlaces - sec.firstIntZero);
    if (whole.size() < required) whole.insert(0, required - whole.size(), '0');
    std::string frac = d.frac;
    size_t minFrac = static_cast<size_t>(sec.lastFracZero + 1);
    while (frac.size() > minFrac && frac.back() == '0') frac.pop_back();

    std::string out = minus ? "-" : "";
    const int len = static_cast<int>(whole.size());
    auto putWholeDigit = [&](int j) {
        out.push_back(whole[static_cast<size_t>(j)]);
        int fromRight = len - j;
        if (sec.thousands && fromRight > 1 && (fromRight - 1) % 3 == 0) out.push_back(',');
    };
    int intIdx = 0, fracIdx = 0;
    for (const Token& t : sec.tokens) {
        switch (t.kind) {
            case Token::Literal: out += t.text; break;
            case Token::IntDigit: {
                // The first placeholder takes every digit the mask has no room for.
                int j = len - (sec.intPlaces - intIdx);
                for (int k = intIdx == 0 ? 0 : j; k <= j; ++k)
                    if (k >= 0) putWholeDigit(k);
                ++intIdx;
                break;
            }
            case Token::Point:
                if (sec.intPlaces == 0)
                    for (int k = 0; k < len; ++k) putWholeDigit(k);
                if (!frac.empty()) out.push_back('.');
                break;
            case Token::FracDigit:
                if (fracIdx < static_cast<int>(frac.size())) out.push_back(frac[static_cast<size_t>(fracIdx)]);
                ++fracIdx;
                break;
        }
    }
    return out;
}

}  // namespace

std::string formatMask(double value, const std::string& mask) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    std::vector<std::string_view> parts = splitSections(mask);
    Section positive = parseSection(parts[0]);
    if (positive.empty && parts.size() == 1) return generalForm(value);

    const Section* sec = &positive;
    Section negative, zero;
    bool hasNegative = false;
    if (value < 0 && parts.size() > 1) {
        negative = parseSection(parts[1]);
        if (!negative.empty) {
            sec = &negative;
            hasNegative = true;
        }
    }
    Decimal d = toDecimal(value, sec->fracPlaces);
    if (d.zero()) {
        if (parts.size() > 2) {
            zero = parseSection(parts[2]);
            if (!zero.empty) return render(zero, toDecimal(0.0, zero.fracPlaces), false);
        }
        if (hasNegative) {  // the magnitude vanished: print it as a zero of the first section
            sec = &positive;
            d = toDecimal(0.0, sec->fracPlaces);
        }
    }
    if (sec->empty) return generalForm(value);
    bool minus = value < 0 && !hasNegative && !d.zero();
    return render(*sec, d, minus);
}

}  // namespace zuna::report
