#include "app/Session.h"

#include <chrono>
#include <ctime>

#include "app/fmVarGlobal.h"

namespace zuna {

static Date today(int* h = nullptr, int* m = nullptr, int* s = nullptr) {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    if (h) *h = tm.tm_hour;
    if (m) *m = tm.tm_min;
    if (s) *s = tm.tm_sec;
    return Date(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

void LoginActivate(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    dm.paysys.first();
    std::string c = dm.paysys.asString("COUNTRY");
    g.CountryCode = c.empty() ? std::string() : c.substr(0, 1);
    dm.payMain.setFilter("Country = '" + g.CountryCode + "'");
    dm.payMain.setFiltered(true);
}

std::string ProposedLoginName(TdmPayroll& dm) {
    if (!dm.PayLog.active()) dm.PayLog.open();
    dm.PayLog.last();
    std::string n = dm.PayLog.isEmpty() ? std::string() : Trim(dm.PayLog.asString("UserName"));
    return n.empty() ? "ADMIN" : n;
}

void WriteAuditRow(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    int h, m, s;
    Date d = today(&h, &m, &s);
    char t[16];
    std::snprintf(t, sizeof t, "%02d:%02d:%02d", h, m, s);
    if (!dm.PayLog.active()) dm.PayLog.open();
    try {
        dm.PayLog.append();
        dm.PayLog.setString("UserName", g.CurrentUser.substr(0, 6));
        dm.PayLog.setDate("LoginDate", d);
        dm.PayLog.setString("LoginTime", t);
        dm.PayLog.post();
    } catch (...) {
        if (dm.PayLog.editing()) dm.PayLog.cancel();
        throw;
    }
}

bool LoginUser(TdmPayroll& dm, const std::string& name, const std::string& password) {
    auto& g = fmVarGlobal();
    g.CurrentUser = cutToChars(name, 10);
    if (!dm.PayUsers.locate("User;TPassWord", {Value(g.CurrentUser), Value(password)})) {
        g.LoginAccepted = false;
        return false;
    }
    g.LoginAccepted = true;
    dm.paysys.first();
    g.ShowBankDetails = dm.paysys.asBoolean("BankDetails");
    g.BirthdayReminder = dm.paysys.asBoolean("HRDATA");
    g.PayTypeSetting = static_cast<int>(dm.paysys.asInteger("PAYTYPE"));
    g.CurrentUser = cutToChars(dm.PayUsers.asString("USER"), 10);
    std::string cat = dm.PayUsers.asString("CATEGORY");
    g.UserCategory = cat.empty() ? std::string() : cat.substr(0, 1);
    g.UserLevel = static_cast<int>(dm.PayUsers.asInteger("LEVEL"));
    g.UserJobGroup = dm.PayUsers.asString("JOBGROUP");
    g.TestPayEnabled = dm.paysys.asString("STATUS") == "T";
    WriteAuditRow(dm);
    return true;
}

bool PasswordGate(TdmPayroll& dm, GatePassword which, const std::string& typed) {
    dm.paysys.first();
    std::string stored = dm.paysys.asString(which == GatePassword::Manager ? "MPASSWORD" : "PASSWORD");
    if (stored != typed) return false;
    WriteAuditRow(dm);
    return true;
}

void ApplyUserFilters(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    if (g.fullRights()) {
        dm.Paycodes.setFiltered(false);
    } else {
        dm.Paycodes.setFilter("Recur <> false");
        dm.Paycodes.setFiltered(true);
    }
    dm.payroll.setFilter(g.employeeFilter());
    dm.payroll.setFiltered(true);
}

void ActivateMain(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    dm.paysys.first();
    Date e = dm.paysys.asDate("EDATE");
    DerivePeriod(g, e);
    dm.Birthdays.close();
    dm.Birthdays.setParam("pmonth", Value(g.PeriodMonth));
    dm.taMessages.setFilter("Tmonth = '" + g.PeriodMonth + "' and TYear = '" + g.PeriodYear + "'");
    dm.taMessages.setFiltered(true);
    dm.taMessages.first();
    g.MonthMessage = dm.taMessages.isEmpty() ? std::string() : dm.taMessages.asString("TMessage");
    g.RoundToWholeUnits = true;
    g.BranchAnalysis = dm.paysys.asBoolean("BRANCHCHK");
    g.HelbLoanCode = static_cast<int>(dm.paysys.asInteger("HELBACC"));
    ApplyUserFilters(dm);
    g.CurrencyLabel = dm.paysys.asString("COUNTRY") == "R" ? "RWF." : "SHS.";
}

std::string PeriodPanelText(TdmPayroll& dm) {
    dm.paysys.first();
    return "Month : " + MonthYearText(dm.paysys.asDate("EDATE"));
}

}  // namespace zuna
