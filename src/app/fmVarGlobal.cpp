#include "app/fmVarGlobal.h"

#include "app/Mask.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace zuna {

VarGlobal& fmVarGlobal() {
    static VarGlobal g;
    return g;
}

std::string VarGlobal::employeeFilter() const {
    if (!UserJobGroup.empty() && Trim(UserJobGroup) != "000")
        return "Estatus = 'A' and Empjobt = '" + Trim(UserJobGroup) + "'";
    return "Estatus = 'A'";
}

long double Round(long double x) { return std::nearbyintl(x); }
long double Trunc(long double x) { return std::truncl(x); }
long double UnitRound(long double x, bool whole) { return whole ? Round(x) : Round(x * 20) / 20; }
long double UnitRound(long double x) { return UnitRound(x, fmVarGlobal().RoundToWholeUnits); }
long double TruncTo005(long double x) { return Trunc(x * 20) / 20; }
long double TruncTo05(long double x) { return Trunc(x * 2) / 2; }

std::string TitleCase(const std::string& s) {
    std::string r = s;
    for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool afterSpace = true;
    for (auto& c : r) {
        if (afterSpace && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        afterSpace = c == ' ';
    }
    return r;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string FormatMask(double v, const std::string& mask) { return report::formatMask(v, mask); }

std::string MonthYearText(const Date& d) { return d.isNull() ? std::string() : std::string(monthName(d.month)) + " " + std::to_string(d.year); }

std::string LongDateText(const Date& d) {
    if (d.isNull()) return {};
    static const char* days[] = {"Sat", "Sun", "Mon", "Tue", "Wed", "Thu", "Fri"};
    long s = d.serial();  // day 0 (30/12/1899) was a Saturday
    const char* dn = days[((s % 7) + 7) % 7];
    char b[64];
    std::snprintf(b, sizeof b, "%s %02d, %s %04d", dn, d.day, monthName(d.month), d.year);
    return b;
}

static std::tm localNow() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

Date Today() {
    std::tm tm = localNow();
    return Date(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::string TimeOfDayText() {
    std::tm tm = localNow();
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return b;
}

void DerivePeriod(VarGlobal& g, const Date& e) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", e.month);
    g.PeriodMonth = b;
    std::snprintf(b, sizeof b, "%04d", e.year);
    g.PeriodYear = b;
    g.PeriodYearNumber = e.year;
}

}  // namespace zuna
