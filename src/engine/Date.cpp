#include "engine/Date.h"

#include <cstdio>
#include <cstdlib>

namespace zuna {

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

const char* monthName(int m) {
    static const char* names[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
    return m >= 1 && m <= 12 ? names[m - 1] : "";
}

bool Date::valid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

// Civil-from-days after H. Hinnant's algorithm, shifted so that 1899-12-30 is day 0.
static long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}
static const long kEpoch = daysFromCivil(1899, 12, 30);

long Date::serial() const { return isNull() ? 0 : daysFromCivil(year, month, day) - kEpoch; }

Date Date::fromSerial(long s) {
    long z = s + kEpoch + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Date(static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d));
}

std::string Date::iso() const {
    if (isNull()) return {};
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", year, month, day);
    return b;
}

std::string Date::dmy() const {
    if (isNull()) return {};
    char b[16];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", day, month, year);
    return b;
}

static bool readInt(const std::string& s, size_t& i, int minDigits, int maxDigits, int& out) {
    size_t start = i;
    int v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && static_cast<int>(i - start) < maxDigits) {
        v = v * 10 + (s[i] - '0');
        ++i;
    }
    if (static_cast<int>(i - start) < minDigits) return false;
    out = v;
    return true;
}

std::optional<Date> Date::parse(const std::string& raw) {
    size_t b = raw.find_first_not_of(' ');
    if (b == std::string::npos) return std::nullopt;
    size_t e = raw.find_last_not_of(' ');
    std::string s = raw.substr(b, e - b + 1);
    // Allow a time part after an ISO date ("2009-01-31 00:00:00" or "2009-01-31T00:00:00").
    size_t i = 0;
    int a = 0, m = 0, c = 0;
    Date d;
    if (s.size() >= 10 && s[4] == '-') {
        if (!readInt(s, i, 4, 4, a) || i >= s.size() || s[i++] != '-' || !readInt(s, i, 1, 2, m) ||
            i >= s.size() || s[i++] != '-' || !readInt(s, i, 1, 2, c))
            return std::nullopt;
        if (i != s.size() && s[i] != ' ' && s[i] != 'T') return std::nullopt;
        d = Date(a, m, c);
    } else {
        if (!readInt(s, i, 1, 2, a) || i >= s.size() || s[i++] != '/' || !readInt(s, i, 1, 2, m) ||
            i >= s.size() || s[i++] != '/' || !readInt(s, i, 4, 4, c) || i != s.size())
            return std::nullopt;
        d = Date(c, m, a);
    }
    if (!d.valid()) return std::nullopt;
    return d;
}

}  // namespace zuna
