// What the entry windows share: the refusal they show to the clerk, the two-decimal grid text
// and the strict reading of a typed number.
#pragma once

#include <stdexcept>
#include <string>

namespace zuna {

// A refusal of an entry rule, shown to the clerk as it stands. Whatever raised it has written
// nothing: the record keeps the values it had before the attempt.
class EntryError : public std::runtime_error {
public:
    explicit EntryError(const std::string& what) : std::runtime_error(what) {}
};

// Fixed point with two decimals and no thousands separator ("1500.00"); never "-0.00".
std::string FixedText(double v);

// A typed number: blanks around are allowed, an empty text is 0 when emptyIsZero, anything
// else that is not a whole number text is an EntryError naming what (a row and a column).
double ParseTypedNumber(const std::string& text, const std::string& what, bool emptyIsZero);

}  // namespace zuna
