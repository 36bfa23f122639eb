// Display masks: digits, separators, rounding, sections.
#include "reports/engine/Mask.h"

#include <gtest/gtest.h>

namespace zuna::report {
namespace {

struct MaskCase {
    const char* mask;
    double value;
    const char* shown;
};

TEST(Mask, FormatsAsTheMaskSays) {
    const MaskCase cases[] = {
        // the amounts of payslips and schedules
        {"###,###,##0.00", 1234567.891, "1,234,567.89"},
        {"###,###,##0.00", 0, "0.00"},
        {"###,###,##0.00", 0.5, "0.50"},
        {"###,###,##0.00", -1234.5, "-1,234.50"},
        {"###,###,##0.00", 999999.995, "1,000,000.00"},
        {"###,###,##0.00", 1e12, "1,000,000,000,000.00"},  // more digits than placeholders
        {"###,###,##0.00", 100, "100.00"},
        {"###,###,##0.00", 1000, "1,000.00"},
        // half away from zero, on the decimal value rather than its binary neighbour
        {"0.00", 2.675, "2.68"},
        {"0.00", 1.005, "1.01"},
        {"0.00", -2.675, "-2.68"},
        {"0", 0.5, "1"},
        {"0", 1.5, "2"},
        {"0", 2.5, "3"},
        {"0", -0.5, "-1"},
        {"#,##0", 1234.5, "1,235"},
        {"#,##0", 999.5, "1,000"},
        // a value that rounds to zero has no sign
        {"0.00", -0.004, "0.00"},
        {"#,##0", -0.4, "0"},
        // optional digits
        {"#.##", 1234, "1234"},
        {"#.##", 0.5, ".5"},
        {"#.##", 0, ""},
        {"###.##", 12.5, "12.5"},
        {"###.##", 0.125, ".13"},
        {"###.##", 12.0, "12"},
        {"0.##", 3, "3"},
        {"0.0#", 3.14159, "3.14"},
        {"0.0#", 3.1, "3.1"},
        {"0.0#", 3, "3.0"},
        {".##", 12.5, "12.5"},
        // required digits and literals between them
        {"0000", 12, "0012"},
        {"00-00", 1234, "12-34"},
        {"#0#", 5, "05"},
        {"'Kshs '#,##0.00", 1500, "Kshs 1,500.00"},
        {"0.0\" %\"", 12.34, "12.3 %"},
        {"#,##0.00 CR", 15, "15.00 CR"},
        // sections
        {"#,##0.00;(#,##0.00)", -1234, "(1,234.00)"},
        {"#,##0.00;(#,##0.00)", 1234, "1,234.00"},
        {"#,##0.00;(#,##0.00)", -0.001, "0.00"},
        {"#,##0.00;;Zero", 0, "Zero"},
        {"#,##0.00;;Zero", -1234, "-1,234.00"},
        {"#,##0.00;;Zero", 0.004, "Zero"},
        {"0.00;-0.00;'-'", 0, "-"},
        {"0;'minus '0", -7, "minus 7"},
        // no mask: the general form
        {"", 1234.5, "1234.5"},
        {"", 0.1, "0.1"},
        {"", -3, "-3"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatMask(c.value, c.mask), c.shown) << "mask \"" << c.mask << "\", value " << c.value;
}

}  // namespace
}  // namespace zuna::report
