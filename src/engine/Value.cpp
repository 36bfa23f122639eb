#include "engine/Value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace zuna {

std::string formatShortest(double v) {
    if (v == 0) return "0";  // also folds -0
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool parseNumber(const std::string& s, double& out) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    size_t e = s.find_last_not_of(" \t");
    const char* first = s.data() + b;
    const char* last = s.data() + e + 1;
    if (*first == '+') ++first;
    if (first == last) return false;
    auto r = std::from_chars(first, last, out);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(out);
}

double Value::toDouble() const {
    switch (kind_) {
        case Kind::Int: return static_cast<double>(i_);
        case Kind::Real: return d_;
        case Kind::Text: {
            double d;
            return parseNumber(s_, d) ? d : 0.0;
        }
        default: return 0.0;
    }
}

std::int64_t Value::toInt() const {
    switch (kind_) {
        case Kind::Int: return i_;
        case Kind::Real: return static_cast<std::int64_t>(std::nearbyint(d_));
        case Kind::Text: {
            double d;
            return parseNumber(s_, d) ? static_cast<std::int64_t>(std::nearbyint(d)) : 0;
        }
        default: return 0;
    }
}

bool Value::toBool() const {
    switch (kind_) {
        case Kind::Int: return i_ != 0;
        case Kind::Real: return d_ != 0;
        case Kind::Text: return s_ == "1" || s_ == "T" || s_ == "t" || s_ == "true" || s_ == "True" || s_ == "TRUE" ||
                                s_ == "Y" || s_ == "y";
        default: return false;
    }
}

std::string Value::toString() const {
    switch (kind_) {
        case Kind::Int: return std::to_string(i_);
        case Kind::Real: return formatShortest(d_);
        case Kind::Text:
        case Kind::Blob: return s_;
        default: return {};
    }
}

Date Value::toDate() const {
    if (kind_ != Kind::Text) return Date();
    auto d = Date::parse(s_);
    return d ? *d : Date();
}

bool Value::operator==(const Value& o) const {
    if (kind_ == Kind::Null || o.kind_ == Kind::Null) return kind_ == o.kind_;
    if (isNumber() && o.isNumber()) return toDouble() == o.toDouble();
    if (isNumber() != o.isNumber()) return false;
    return kind_ == o.kind_ && s_ == o.s_;
}

}  // namespace zuna
