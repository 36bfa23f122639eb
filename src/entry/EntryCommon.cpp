#include "entry/EntryCommon.h"

#include <cmath>
#include <cstdio>

#include "app/fmVarGlobal.h"
#include "engine/Value.h"

namespace zuna {

std::string FixedText(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.2f", v);
    std::string s = b;
    if (s == "-0.00") s = "0.00";
    return s;
}

double ParseTypedNumber(const std::string& text, const std::string& what, bool emptyIsZero) {
    std::string t = Trim(text);
    if (t.empty()) {
        if (emptyIsZero) return 0;
        throw EntryError("A number is needed for " + what + ": the cell is empty.");
    }
    double d = 0;
    if (!parseNumber(t, d) || !std::isfinite(d))
        throw EntryError("'" + t + "' is not a valid number for " + what + ".");
    return d;
}

}  // namespace zuna
