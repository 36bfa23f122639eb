// The program-wide state and the shared helpers: who is logged in, the period, the switches,
// the rounding vocabulary of the computation, masks and TitleCase. No Qt.
#pragma once

#include <array>
#include <string>

#include "engine/Date.h"

namespace zuna {

struct VarGlobal {
    bool LoginAccepted = false;
    std::string CurrentUser;     // at most 10 characters
    std::string UserCategory;    // one character; "A" administrative
    int UserLevel = 0;           // 9 is the highest
    std::string UserJobGroup;    // "000": all job groups
    bool TestPayEnabled = false;
    bool ShowBankDetails = false;
    bool BirthdayReminder = false;
    int PayTypeSetting = 0;
    std::string CountryCode;     // "K", "U", "T", "R"
    bool SortByDepartment = true;
    bool RoundToWholeUnits = true;
    std::string PeriodMonth;     // "01".."12"
    std::string PeriodYear;      // "2009"
    int PeriodYearNumber = 0;
    std::string CurrencyLabel = "SHS.";
    bool BranchAnalysis = false;
    int HelbLoanCode = 0;
    std::string MonthMessage;
    std::string QuarterEndText;
    bool MidMonthAdvanceOutput = false;
    std::array<std::string, 4> SelectedLoanFields;

    bool fullRights() const { return UserCategory == "A" && UserLevel == 9; }
    // Employee filter of the user's job group (active employees only).
    std::string employeeFilter() const;
};

VarGlobal& fmVarGlobal();  // the one instance for the whole run

// --- rounding: intermediate arithmetic in extended precision, ties to even
long double Round(long double x);            // nearest integer, a tie to the even neighbour
long double Trunc(long double x);            // toward zero
long double UnitRound(long double x);        // Round, or to the nearest 0.05 when RoundToWholeUnits is off
long double UnitRound(long double x, bool wholeUnits);
long double TruncTo005(long double x);       // Trunc(x * 20) / 20
long double TruncTo05(long double x);        // Trunc(x * 2) / 2

// --- texts
// Lower-case, then capitalise every letter a-z that follows a blank or starts the text.
std::string TitleCase(const std::string& s);
std::string Trim(const std::string& s);
// Display masks such as "###,###,##0.00", "###.##", "#,##0", "0.00" (sections ';' positive;negative;zero).
std::string FormatMask(double value, const std::string& mask);
// "January 2009"
std::string MonthYearText(const Date& d);
// "ddd dd, mmmm yyyy": "Sat 31, January 2009"
std::string LongDateText(const Date& d);

// Today's date and the time of day ("HH:MM:SS") on this computer's clock.
Date Today();
std::string TimeOfDayText();

// Period variables from the period end date: PeriodMonth, PeriodYear, PeriodYearNumber.
void DerivePeriod(VarGlobal& g, const Date& edate);

}  // namespace zuna
