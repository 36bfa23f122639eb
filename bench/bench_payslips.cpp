// Payslips of a generated company of 10,000 employees to PDF, both layouts: the time of the
// preparation and the writing, and the peak resident memory after each run (it should stay
// flat: pages are written as they are laid out).
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "engine/Database.h"
#include "reports/ReportItems.h"

using namespace zuna;
namespace fs = std::filesystem;

namespace {

constexpr int kEmployees = 10000;

void ensureApp() {
    static QGuiApplication* app = nullptr;
    if (app) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_payslips";
    static char* argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

std::string empno(int i) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return {digits[(i / 46656) % 36], digits[(i / 1296) % 36], digits[(i / 36) % 36], digits[i % 36]};
}

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

struct Company {
    fs::path dir = fs::temp_directory_path() / ("zuna-bench-payslips-" + std::to_string(getpid()));
    std::unique_ptr<TdmPayroll> dm;
    Company() {
        fs::remove_all(dir);
        PrepareOptions o;
        o.folder = (dir / "db").string();
        o.company = "Bench Payslips Ltd";
        o.password = "BENCH";
        PrepareDatabase(o);
        dm = std::make_unique<TdmPayroll>(o.folder);
        LoginActivate(*dm);
        LoginUser(*dm, "ADMIN", "BENCH");
        ActivateMain(*dm);
        Transaction t(dm->db());
        Table m(dm->db(), "payrf01"), x(dm->db(), "payrf00");
        m.open();
        x.open();
        const char* depts[] = {"ADM", "FIN", "OPS"};
        for (int i = 0; i < kEmployees; ++i) {
            const std::string e = empno(i);
            const double basic = 15000 + (i % 97) * 500;
            m.append();
            m.setString("EMPNO", e);
            m.setString("EMPDEPT", depts[i % 3]);
            m.setString("EMPBRCH", i % 2 ? "001" : "002");
            m.setString("SURNAME", "Surname" + e);
            m.setString("OTHERNAMES", "Given Names");
            m.setString("PINNO", "A00" + e + "K");
            m.setInteger("PAYMENT", 1 + i % 3);
            m.setFloat("PAY", basic * 1.2);
            m.setFloat("TOTEARN", basic * 1.2);
            m.setFloat("PAYE", basic * 0.15);
            m.setFloat("MPR", 1162);
            m.setFloat("NSSF", 200);
            m.setFloat("NHIF", 320);
            m.setFloat("TOTDED", basic * 0.15 + 1520);
            m.setFloat("NETT", basic * 1.05 - 1520);
            m.setInteger("ACCRUEDDAYS", i % 20);
            m.post();
            x.append();
            x.setString("EMPNO", e);
            x.setFloat("E1", basic);
            x.setFloat("E2", basic * 0.2);
            x.setFloat("D2", 200);
            x.setFloat("LBAL1", 10000);
            x.setFloat("L1", 1000);
            x.post();
        }
        t.commit();
    }
    ~Company() {
        dm.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Company& company() {
    static Company c;
    return c;
}

void payslipsToPdf(benchmark::State& state, int payType) {
    ensureApp();
    Company& c = company();
    c.dm->paysys.first();
    c.dm->paysys.edit();
    c.dm->paysys.setInteger("PAYTYPE", payType);
    c.dm->paysys.post();
    const std::string out = (c.dir / "slips.pdf").string();
    int pages = 0;
    for (auto _ : state) {
        report::ReportPreparer p(*c.dm);
        p.PreparePayslips(report::PayslipVariant::All, report::Selection{});
        pages = report::ExportCurrent(p, out, report::Format::Pdf);
        state.counters["peak_MB"] = peakMb();
    }
    state.counters["pages"] = pages;
    state.counters["pdf_MB"] = fs::file_size(out) / 1048576.0;
}

}  // namespace

BENCHMARK_CAPTURE(payslipsToPdf, TwoAcross, 1)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK_CAPTURE(payslipsToPdf, ThreeAcross, 2)->Unit(benchmark::kSecond)->Iterations(2);

BENCHMARK_MAIN();
