#include "app/fmVarGlobal.h"

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

static std::string formatSection(double v, const std::string& mask) {
    // A section without digit placeholders is shown as it is ("Nil" for zero).
    if (mask.find_first_of("#0") == std::string::npos) return mask;
    // Split the mask into integer and fraction parts.
    size_t dot = mask.find('.');
    std::string ip = dot == std::string::npos ? mask : mask.substr(0, dot);
    std::string fp = dot == std::string::npos ? std::string() : mask.substr(dot + 1);
    bool thousands = ip.find(',') != std::string::npos;
    int minInt = 0;
    for (char c : ip)
        if (c == '0') ++minInt;
    int minFrac = 0, maxFrac = 0;
    for (char c : fp) {
        if (c == '0') {
            ++minFrac;
            ++maxFrac;
        } else if (c == '#') {
            ++maxFrac;
        }
    }
    // Literal text before the first and after the last digit placeholder.
    std::string prefix, suffix;
    size_t first = mask.find_first_of("#0,.");
    size_t last = mask.find_last_of("#0,.");
    if (first != std::string::npos) {
        prefix = mask.substr(0, first);
        suffix = mask.substr(last + 1);
    }
    // Round half away from zero at maxFrac digits.
    long double scale = std::pow(10.0L, maxFrac);
    long double a = std::fabs(static_cast<long double>(v));
    long double scaled = std::floor(a * scale + 0.5L + 1e-9L);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.0Lf", scaled);
    std::string digits = buf;
    if (static_cast<int>(digits.size()) <= maxFrac) digits.insert(0, static_cast<size_t>(maxFrac) + 1 - digits.size(), '0');
    std::string intPart = digits.substr(0, digits.size() - static_cast<size_t>(maxFrac));
    std::string fracPart = digits.substr(digits.size() - static_cast<size_t>(maxFrac));
    while (static_cast<int>(fracPart.size()) > minFrac && !fracPart.empty() && fracPart.back() == '0') fracPart.pop_back();
    // Leading zeros of the integer part only as the mask asks.
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    while (static_cast<int>(intPart.size()) < minInt) intPart.insert(0, "0");
    if (thousands && intPart.size() > 3) {
        std::string g;
        int n = 0;
        for (size_t i = intPart.size(); i-- > 0;) {
            g.insert(0, 1, intPart[i]);
            if (++n % 3 == 0 && i > 0) g.insert(0, ",");
        }
        intPart = g;
    }
    bool isZero = scaled == 0;
    std::string out = intPart;
    if (!fracPart.empty()) out += "." + fracPart;
    if (out.empty()) out = "0";
    return (v < 0 && !isZero ? "-" : "") + prefix + out + suffix;
}

std::string FormatMask(double v, const std::string& mask) {
    if (mask.empty()) {
        char b[64];
        std::snprintf(b, sizeof b, "%.15g", v);
        return b;
    }
    std::vector<std::string> sections;
    std::string cur;
    for (char c : mask) {
        if (c == ';') {
            sections.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    sections.push_back(cur);
    if (sections.size() >= 3 && v == 0) return formatSection(0, sections[2]);
    if (sections.size() >= 2 && v < 0) {
        std::string s = formatSection(-v, sections[1]);
        return s;
    }
    return formatSection(v, sections[0]);
}

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
