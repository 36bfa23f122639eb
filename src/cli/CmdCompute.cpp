// zuna compute: the monthly computation run for the logged-in user's employees.
#include "calc/Zunacalc.h"
#include "cli/Cli.h"

namespace {

int compute(zuna::cli::Context& c) {
    zuna::TdmPayroll& dm = c.session();
    // The Compute command is shown to users with the Compute right.
    if (!dm.PayUsers.asBoolean("MENU3"))
        throw zuna::cli::CliError("user " + dm.PayUsers.asString("USER") + " has no right to compute the payroll (Compute)", 1);
    zuna::Zunacalc calc(dm);
    c.progress(0, zuna::Zunacalc::kCaption);
    calc.Processpay([&c](int gauge) { c.progress(gauge, zuna::Zunacalc::kCaption); });
    c.out << zuna::Zunacalc::kComplete << "\n";
    c.out << calc.computedCount() << " employee" << (calc.computedCount() == 1 ? "" : "s") << " computed";
    if (calc.skippedCount() > 0) c.out << ", " << calc.skippedCount() << " not computed (leaving date outside the period)";
    c.out << "\n";
    return 0;
}

}  // namespace

ZUNA_COMMAND({"compute", "run the payroll computation of the current month for your employees", "",
              [](zuna::cli::Context& c) -> int { return compute(c); }});
