#include "app/Session.h"

#include <chrono>
#include <ctime>

#include "app/fmVarGlobal.h"

namespace zuna {

void LoginActivate(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    dm.paysys.first();
    std::string c = dm.paysys.asString("COUNTRY");
    g.CountryCode = c.empty() ? std::string() : c.substr(0, 1);
    dm.payMain.setFilter("Country = '" + g.CountryCode + "'");
    dm.payMain.setFiltered(true);
}

std::string ProposedLoginName(TdmPayroll& dm) {
    bool wasOpen = dm.PayLog.active();
    if (!wasOpen) dm.PayLog.open();
    dm.PayLog.last();
    std::string n = dm.PayLog.isEmpty() ? std::string() : Trim(dm.PayLog.asString("UserName"));
    if (!wasOpen) dm.PayLog.close();
    return n.empty() ? "ADMIN" : n;
}

void WriteAuditRow(TdmPayroll& dm) {
    auto& g = fmVarGlobal();
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char t[16];
    std::snprintf(t, sizeof t, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    if (!dm.PayLog.active()) dm.PayLog.open();
    // The log table is closed again whatever happens.
    try {
        dm.PayLog.append();
        dm.PayLog.setString("UserName", cutToChars(g.CurrentUser, 6));
        dm.PayLog.setDate("LoginDate", Date(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday));
        dm.PayLog.setString("LoginTime", t);
        dm.PayLog.post();
    } catch (...) {
        if (dm.PayLog.editing()) dm.PayLog.cancel();
        dm.PayLog.close();
        throw;
    }
    dm.PayLog.close();
}

bool LoginUser(TdmPayroll& dm, const std::string& name, const std::string& password) {
    auto& g = fmVarGlobal();
    g.CurrentUser = cutToChars(name, 10);
    // Exact match: a password longer than the stored field can never equal a stored one (the
    // engine would cut it to the field's width before comparing).
    const FieldDef& pw = dm.PayUsers.fieldDef(dm.PayUsers.field("TPASSWORD"));
    bool fits = cutToChars(password, pw.textWidth()) == password;
    if (!fits || !dm.PayUsers.locate("User;TPassWord", {Value(g.CurrentUser), Value(password)})) {
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
    // The "Test Pay Enabled" switch of the main window stores "A"; "T" is accepted as well.
    std::string status = dm.paysys.asString("STATUS");
    g.TestPayEnabled = status == "T" || status == "A";
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
