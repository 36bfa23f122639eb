// zuna close-month: the period end behind the manager password.
#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "cli/Cli.h"
#include "period/fmClose.h"

namespace zuna::cli {

namespace {

// The main window offers Period End only with the Tools menu (MENU2) and the Period End item (MENU14).
void requirePeriodEndRight(TdmPayroll& dm) {
    const std::string user = fmVarGlobal().CurrentUser;
    if (!dm.PayUsers.locate("USER", Value(user))) throw CliError("The user " + user + " is not in the users table", 1);
    if (!dm.PayUsers.asBoolean("MENU2") || !dm.PayUsers.asBoolean("MENU14"))
        throw CliError("The user " + user + " has no right to the Period End command", 1);
}

std::string counted(int n, const std::string& what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

int closeMonth(Context& c) {
    if (!c.args.has("manager-password"))
        throw CliError("close-month needs the manager password: --manager-password PW", 2);
    TdmPayroll& dm = c.session();
    requirePeriodEndRight(dm);
    // The password box turns every letter into a capital.
    if (!PasswordGate(dm, GatePassword::Manager, toUpper(c.args.get("manager-password"))))
        throw CliError(kNoAccessRights, 1);

    TfmCloseLogic close(dm);
    close.Closemonth([&c](int position) { c.progress(position, "Period end"); });
    c.progress(100, "Period end");

    const CloseSummary& s = close.summary();
    std::string archives;
    for (const auto& a : s.archives) archives += (archives.empty() ? "" : ", ") + a;
    c.out << "Closed " << MonthYearText(s.closedEnd) << " (" << counted(s.employees, "active employee") << ", "
          << counted(s.transactionRecords, "transaction record") << "); archives " << archives << "\n";
    if (s.yearChange) c.out << "The new tax year has started.\n";
    c.out << PeriodPanelText(dm) << "\n";
    return 0;
}

}  // namespace

ZUNA_COMMAND({"close-month", "period end: archive the month, roll the balances and open the next month",
              "--manager-password PW", closeMonth});

}  // namespace zuna::cli
