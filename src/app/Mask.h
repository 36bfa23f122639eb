// Display masks for numbers ("###,###,##0.00", "#,##0", "0.00;(0.00);-").
// Plain C++ without Qt, so that windows, reports and exports format amounts alike.
#pragma once

#include <string>

namespace zuna::report {

// Formats a number with a display mask:
//   '0'  a digit that is always printed (leading or trailing zero as needed)
//   '#'  a digit printed only when significant
//   '.'  the decimal point (the first one; printed only when a decimal digit follows)
//   ','  anywhere before the decimal point: group the whole part by thousands
//   'x' or "x"  quoted literal text; any other character is copied as it stands
//   ';'  separates sections: positive;negative;zero. A negative section prints the magnitude
//        (it supplies its own signs or brackets); without one a negative value gets a leading '-'.
//        The zero section is used when the value rounds to zero at the mask's decimals.
// The value is first taken to 15 significant digits (so 2.675 shows as 2.68, not 2.67 from
// its binary form) and then rounded half away from zero to the number of decimal places.
// A value that rounds to zero never shows a minus sign. The whole part is never cut: digits
// beyond the placeholders are printed before the first one. An empty mask gives the general
// form with up to 15 significant digits. Exponent formats are not supported.
std::string formatMask(double value, const std::string& mask);

}  // namespace zuna::report
