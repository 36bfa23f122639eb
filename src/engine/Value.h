// One field value as the engine moves it: null, integer, real, text or bytes.
// Dates travel as ISO text, logicals as integers 0/1.
#pragma once

#include <cstdint>
#include <string>

#include "engine/Date.h"

namespace zuna {

class Value {
public:
    enum class Kind : std::uint8_t { Null, Int, Real, Text, Blob };

    Value() = default;
    Value(int v) : kind_(Kind::Int), i_(v) {}
    Value(long v) : kind_(Kind::Int), i_(v) {}
    Value(long long v) : kind_(Kind::Int), i_(v) {}
    Value(double v) : kind_(Kind::Real), d_(v) {}
    Value(long double v) : kind_(Kind::Real), d_(static_cast<double>(v)) {}
    Value(bool v) : kind_(Kind::Int), i_(v ? 1 : 0) {}
    Value(const char* s) : kind_(Kind::Text), s_(s) {}
    Value(std::string s) : kind_(Kind::Text), s_(std::move(s)) {}
    Value(const Date& d) : kind_(d.isNull() ? Kind::Null : Kind::Text), s_(d.iso()) {}
    static Value blob(std::string bytes) {
        Value v;
        v.kind_ = Kind::Blob;
        v.s_ = std::move(bytes);
        return v;
    }

    // In-place setters for the engine's row reads (no temporaries).
    void setNull() {
        kind_ = Kind::Null;
        s_.clear();
    }
    void setInt(std::int64_t v) {
        kind_ = Kind::Int;
        i_ = v;
        s_.clear();
    }
    void setReal(double v) {
        kind_ = Kind::Real;
        d_ = v;
        s_.clear();
    }
    void setText(const char* p, size_t n, bool isBlob = false) {
        kind_ = isBlob ? Kind::Blob : Kind::Text;
        s_.assign(p, n);
    }

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isNumber() const { return kind_ == Kind::Int || kind_ == Kind::Real; }
    bool isText() const { return kind_ == Kind::Text; }

    // Conversions as the program reads fields: a null amount reads as 0, a null text as "".
    double toDouble() const;
    std::int64_t toInt() const;
    bool toBool() const;
    std::string toString() const;  // numbers in shortest round-trip form
    Date toDate() const;           // null date when not a date
    const std::string& text() const { return s_; }  // raw text or bytes

    bool operator==(const Value& o) const;
    bool operator!=(const Value& o) const { return !(*this == o); }

private:
    Kind kind_ = Kind::Null;
    union {
        std::int64_t i_ = 0;
        double d_;
    };
    std::string s_;
};

// Shortest text that reads back as the same double ("0.1", "2745.65", "1e+20").
std::string formatShortest(double v);
// Strict number parse: optional spaces around, the whole text must be the number.
bool parseNumber(const std::string& s, double& out);

}  // namespace zuna
