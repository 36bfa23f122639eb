// Report engine: lay out and write 10,000 rows of a 10-field dataset, as a list and as
// payslips two to a page. Pages are written as they complete; peak_rss_MB shows the memory
// stays flat from 1,000 to 10,000 rows.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/Database.h"
#include "engine/Dataset.h"
#include "reports/engine/Layout.h"
#include "reports/engine/Render.h"

namespace {

using namespace zuna;
using namespace zuna::report;

constexpr int kRows = 10000;
const char* kAmounts[] = {"BASIC", "HOUSE", "GROSS", "PAYE", "NSSF", "NHIF", "NETT"};

// The application lives until the process ends: destroyed among the exit handlers it would
// outlive parts of Qt it needs.
void ensureApp() {
    static QGuiApplication* app = nullptr;
    if (app) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_report_engine";
    static char* argv[] = {name, nullptr};
    app = new QGuiApplication(argc, argv);
}

// A database of kRows employees with 10 fields, made once per run.
struct BenchDb {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("zuna-bench-report-" + std::to_string(getpid()));
    std::unique_ptr<Database> db;
    BenchDb() {
        std::filesystem::remove_all(dir);
        db = Database::create(dir.string());
        TableDef def{"bench",
                     {FieldDef("EMPNO", FieldType::Text, 4), FieldDef("EMPNAME", FieldType::Text, 30), FieldDef("EMPDEPT", FieldType::Text, 3)},
                     {IndexDef{"PRIMARY", {"EMPNO"}, true}}};
        for (const char* a : kAmounts) def.fields.emplace_back(a, FieldType::Float);
        db->createTable(def);
        Transaction tx(*db);
        Table t(*db, "bench");
        t.open();
        for (int i = 0; i < kRows; ++i) {
            char no[8];
            std::snprintf(no, sizeof no, "%04d", i);
            t.append();
            t.setString("EMPNO", no);
            t.setString("EMPNAME", "Employee " + std::to_string(i) + " Mwangi");
            t.setString("EMPDEPT", "D" + std::to_string(i / 500));
            for (int k = 0; k < 7; ++k) t.setFloat(kAmounts[k], 1000.0 * (k + 1) + i * 0.37);
            t.post();
        }
        tx.commit();
    }
    ~BenchDb() { std::filesystem::remove_all(dir); }
};

BenchDb& benchDb() {
    static BenchDb b;
    return b;
}

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

std::unique_ptr<Query> openRows(int n) {
    auto q = std::make_unique<Query>(*benchDb().db, "SELECT * FROM bench WHERE rowid <= :n ORDER BY EMPNO");
    q->setParam("n", Value(n));
    q->open();
    return q;
}

// A columnar list with department groups and sums and "Page x of y".
void declareList(Report& r, Query& q) {
    r.name = "Payroll list";
    r.page.orientation = Orientation::Landscape;
    r.font.size = 8;
    r.setDataset(q);
    r.pageHeader().height = 10;
    r.pageHeader().addLabel("PAYROLL LIST - January 2009", 0, 0, 150, 5).bold().fontSize(11);
    r.pageHeader().addHLine(0, 8, r.page.printableWidth());
    Group& dept = r.addGroup("dept", [&q] { return q.asString("EMPDEPT"); });
    dept.header().height = 6;
    dept.header().addField("EMPDEPT", 0, 0, 30, 5).bold();
    r.detail().height = 4.5;
    r.detail().addField("EMPNO", 0, 0, 12, 4);
    r.detail().addField("EMPNAME", 12, 0, 45, 4);
    r.detail().addField("EMPDEPT", 57, 0, 10, 4);
    Sum& nett = r.addSum("NETT");
    for (int k = 0; k < 7; ++k) r.detail().addField(kAmounts[k], 67 + k * 28, 0, 28, 4, "###,###,##0.00").alignRight();
    dept.footer().height = 6;
    dept.footer().addNumber([&nett, &dept] { return nett.group(dept); }, 67 + 6 * 28, 0, 28, 4, "###,###,##0.00").alignRight().bold();
    r.summary().height = 6;
    r.summary().addNumber([&nett] { return nett.total(); }, 67 + 6 * 28, 0, 28, 4, "###,###,##0.00").alignRight().bold();
    r.pageFooter().height = 5;
    r.pageFooter().addText([&r] { return "Page " + std::to_string(r.pageNumber()) + " of " + std::to_string(r.pageCount()); },
                           0, 0, r.page.printableWidth(), 4).alignRight();
}

// Payslip-like: one employee per column, two columns a page, 25 lines each.
void declarePayslips(Report& r, Query& q) {
    r.name = "Payslips";
    r.page.columns = 2;
    r.page.columnGap = 3;
    r.page.leftMargin = 10, r.page.rightMargin = 5;
    r.font.size = 9;
    r.setDataset(q);
    Group& slip = r.addGroup("slip", [&q] { return q.asString("EMPNO"); });
    Band& h = slip.header();
    h.newColumn = true;
    h.height = 30;
    h.addLabel("ZUNA DEMO COMPANY LIMITED", 0, 0, 90, 5).bold().alignCentre();
    h.addLabel("PAYSLIP - January 2009", 0, 5, 90, 5).alignCentre();
    h.addHLine(0, 11, 90);
    h.addText([&q] { return "Employee No. : " + q.asString("EMPDEPT") + "/" + q.asString("EMPNO"); }, 0, 12, 90, 5);
    h.addLabel("P.I.N. No. : A001234567Z", 0, 17, 90, 5);
    h.addText([&q] { return "Employee Name : " + q.asString("EMPNAME"); }, 0, 22, 90, 5).bold();
    Band& d = r.detail();
    d.height = 90;
    for (int line = 0; line < 18; ++line) {
        const char* f = kAmounts[line % 7];
        d.addLabel(std::string(f) + " LINE " + std::to_string(line + 1), 0, line * 5.0, 55, 5);
        d.addField(f, 55, line * 5.0, 35, 5, "###,###,##0.00").alignRight();
    }
    Band& foot = slip.footer();
    foot.height = 12;
    foot.alignToBottom = true;
    foot.addLabel("NET PAY DUE ==========>", 0, 0, 55, 5).bold();
    foot.addField("NETT", 55, 0, 35, 5, "###,###,##0.00").alignRight().bold();
    foot.addLabel("Paid : Bank Transfer", 0, 6, 90, 5);
}

template <void (*Declare)(Report&, Query&)>
void toPdf(benchmark::State& state) {
    ensureApp();
    int n = static_cast<int>(state.range(0));
    auto q = openRows(n);
    std::string path = (benchDb().dir / "out.pdf").string();
    int pages = 0;
    for (auto _ : state) {
        Report r;
        Declare(r, *q);
        pages = exportReport(r, path, Format::Pdf);
    }
    state.counters["pages"] = pages;
    state.counters["rows"] = n;
    state.counters["pdf_MB"] = std::filesystem::file_size(path) / 1048576.0;
    state.counters["peak_rss_MB"] = peakRssMb();
}

void BM_ListToPdf(benchmark::State& s) { toPdf<declareList>(s); }
void BM_PayslipsToPdf(benchmark::State& s) { toPdf<declarePayslips>(s); }

template <void (*Declare)(Report&, Query&)>
void layoutOnly(benchmark::State& state) {
    ensureApp();
    auto q = openRows(static_cast<int>(state.range(0)));
    struct Count : PageSink {
        int pages = 0;
        void page(Page&&) override { ++pages; }
    };
    for (auto _ : state) {
        Report r;
        Declare(r, *q);
        Count c;
        layout(r, c);
        benchmark::DoNotOptimize(c.pages);
    }
}

void BM_ListLayoutOnly(benchmark::State& s) { layoutOnly<declareList>(s); }
void BM_PayslipsLayoutOnly(benchmark::State& s) { layoutOnly<declarePayslips>(s); }

void BM_ListToText(benchmark::State& state) {
    ensureApp();
    auto q = openRows(static_cast<int>(state.range(0)));
    std::string path = (benchDb().dir / "out.txt").string();
    for (auto _ : state) {
        Report r;
        declareList(r, *q);
        exportReport(r, path, Format::Text);
    }
}

void BM_ListToXlsx(benchmark::State& state) {
    ensureApp();
    auto q = openRows(static_cast<int>(state.range(0)));
    std::string path = (benchDb().dir / "out.xlsx").string();
    for (auto _ : state) {
        Report r;
        declareList(r, *q);
        exportReport(r, path, Format::Xlsx);
    }
}

BENCHMARK(BM_ListLayoutOnly)->Arg(kRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PayslipsLayoutOnly)->Arg(kRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListToText)->Arg(kRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListToXlsx)->Arg(kRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListToPdf)->Arg(1000)->Arg(kRows)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PayslipsToPdf)->Arg(1000)->Arg(kRows)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
