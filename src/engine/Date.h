// Calendar dates: stored as YYYY-MM-DD, shown and parsed as dd/mm/yyyy.
#pragma once

#include <optional>
#include <string>

namespace zuna {

struct Date {
    int year = 0, month = 0, day = 0;  // all zero: no date

    Date() = default;
    Date(int y, int m, int d) : year(y), month(m), day(d) {}

    bool isNull() const { return year == 0; }
    bool valid() const;
    // Days since 1899-12-30 (the day count of the system's date arithmetic); 0 for no date.
    long serial() const;
    static Date fromSerial(long serial);
    Date addDays(long n) const { return fromSerial(serial() + n); }

    std::string iso() const;  // "2009-01-31"; "" for no date
    std::string dmy() const;  // "31/01/2009"; "" for no date

    // "YYYY-MM-DD" or "dd/mm/yyyy" (also d/m/yyyy); nullopt when the text is not a valid date.
    static std::optional<Date> parse(const std::string& text);

    friend bool operator==(const Date& a, const Date& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day;
    }
    friend bool operator!=(const Date& a, const Date& b) { return !(a == b); }
    friend bool operator<(const Date& a, const Date& b) { return a.serial() < b.serial(); }
    friend bool operator<=(const Date& a, const Date& b) { return a.serial() <= b.serial(); }
    friend bool operator>(const Date& a, const Date& b) { return a.serial() > b.serial(); }
    friend bool operator>=(const Date& a, const Date& b) { return a.serial() >= b.serial(); }
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
// English month name, 1..12 ("January").
const char* monthName(int month);

}  // namespace zuna
