// zuna report: prepares a report as the report dialog does for the logged-in user and writes it.
#include <QGuiApplication>

#include <cstdlib>
#include <sstream>

#include "app/fmVarGlobal.h"
#include "cli/Cli.h"
#include "reports/ReportItems.h"

namespace zuna::cli {

namespace {

using namespace zuna::report;

int listReports(Context& c) {
    for (const ReportItem& i : ReportItemTable())
        if (i.available) c.out << i.command << "\t" << i.caption << "\n";
    c.out << "test-pay\tTest Pay\n";
    return 0;
}

Format formatOf(Context& c, const std::string& out) {
    std::string f = c.args.get("format");
    Format fmt;
    if (f.empty()) {
        if (!formatFromPath(out, fmt)) throw CliError("Give --format pdf|txt|csv|xlsx|xml|png", 2);
        return fmt;
    }
    if (!formatFromPath("x." + f, fmt)) throw CliError("Unknown format " + f + ": use pdf, txt, csv, xlsx, xml or png", 2);
    return fmt;
}

Selection selection(Context& c) {
    Selection s;
    s.from = c.args.get("from"), s.to = c.args.get("to");
    const std::string sort = c.args.get("sort", "detailed");
    if (sort != "detailed" && sort != "list") throw CliError("--sort takes list or detailed", 2);
    s.sort.detailed = sort == "detailed";
    std::stringstream groups(c.args.get("group"));
    for (std::string g; std::getline(groups, g, ',');) {
        if (g == "branch") s.sort.branch = true;
        else if (g == "department") s.sort.department = true;
        else if (g == "section") s.sort.section = true;
        else if (!g.empty()) throw CliError("Unknown group " + g + ": use branch, department, section", 2);
    }
    return s;
}

int report(Context& c) {
    if (c.args.has("list")) return listReports(c);
    if (c.args.positional.empty()) throw CliError("Name the report (zuna report --list names them)", 2);
    const std::string name = c.args.positional[0];
    const std::string out = c.args.get("out");
    if (out.empty()) throw CliError("Give the output file: --out FILE", 2);
    const Format fmt = formatOf(c, out);
    const Selection sel = selection(c);
    const std::string variant = c.args.get("variant", "all");

    TdmPayroll& dm = c.session();
    fmVarGlobal().SortByDepartment = sel.sort.detailed;
    ReportPreparer p(dm);
    try {
        if (name == "netpay") {
            static const std::pair<const char*, NetpayVariant> v[] = {
                {"all", NetpayVariant::All}, {"cash", NetpayVariant::Cash}, {"cheque", NetpayVariant::Cheque},
                {"bank", NetpayVariant::Bank}};
            const NetpayVariant* chosen = nullptr;
            for (auto& [n, e] : v) if (variant == n) chosen = &e;
            if (!chosen) throw CliError("netpay --variant takes all, cash, cheque or bank", 2);
            p.PrepareNetpay(*chosen, sel);
        } else if (name == "payslips" || name == "previous-payslips") {
            PayslipVariant pv;
            if (variant == "all") pv = PayslipVariant::All;
            else if (variant == "paytype") pv = PayslipVariant::PayType;
            else if (variant == "category") pv = PayslipVariant::Category;
            else throw CliError("payslips --variant takes all, paytype or category", 2);
            if (name == "payslips") {
                p.PreparePayslips(pv, sel);
            } else {
                const Date edate = dm.paysys.asDate("EDATE");
                auto [m, y] = PriorPayPeriod(edate.month, edate.year);
                if (c.args.has("month")) m = std::atoi(c.args.get("month").c_str());
                if (c.args.has("year")) y = std::atoi(c.args.get("year").c_str());
                if (m < 1 || m > 12 || y < 2000 || y > 9999) throw CliError("--month takes 1 to 12, --year 2000 to 9999", 2);
                p.PreparePayslips(pv, sel);  // records the payslip order, as the dialog's menu does
                p.PreparePreviousPayslips(m, y, sel);
            }
        } else if (name == "test-pay") {
            if (!fmVarGlobal().TestPayEnabled) throw CliError("Test pay is not enabled", 1);
            p.PrepareTestPay();
        } else {
            throw CliError("Unknown report " + name + " (zuna report --list names them)", 2);
        }
    } catch (const RightsRefused& e) {
        throw CliError(e.what(), 1);
    }
    // Fonts and painting need the application object; without a display, paint off screen.
    if (!QCoreApplication::instance()) {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char arg0[] = "zuna";
        static char* argv[] = {arg0, nullptr};
        new QGuiApplication(argc, argv);  // lives until the process ends
    }
    c.progress(0, "Writing " + name);
    const int pages = ExportCurrent(p, out, fmt);
    c.progress(100, "Writing " + name);
    c.out << "Wrote " << out << " (" << pages << (pages == 1 ? " page" : " pages") << ")\n";
    return 0;
}

}  // namespace

static const bool kReportSwitches = (registerSwitches({"list"}), true);

ZUNA_COMMAND({"report", "prepare a report as the report dialog does and write it to a file",
              "NAME [--from EMPNO] [--to EMPNO] [--sort list|detailed] [--group branch,department,section] "
              "[--variant all|cash|cheque|bank|paytype|category] [--month MM --year YYYY] "
              "--format pdf|txt|csv|xlsx|xml|png --out FILE | --list",
              report});

}  // namespace zuna::cli
