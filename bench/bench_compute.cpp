// The monthly computation run on generated Kenya payrolls of 1,000, 10,000 and 100,000
// employees with a realistic mix: overtime, loans (some at a low interest rate), savings, an
// alternative pension scheme, benefits in kind, housed employees with rent, union members,
// owner occupiers, cash, cheque and bank payments, joiners and leavers, twelve tax-history rows
// per employee. Each size is generated once into a folder under /tmp and kept for later runs.
//
//   bench_compute --benchmark_filter=Compute/10000
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "calc/Zunacalc.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"

using namespace zuna;

namespace {

const char* kPassword = "BENCH";

std::string empno(int i) {
    static const char* a = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return {a[(i / 46656) % 36], a[(i / 1296) % 36], a[(i / 36) % 36], a[i % 36]};
}

void generate(const std::string& folder, int employees) {
    PrepareOptions o;
    o.folder = folder;
    o.country = "K";
    o.company = "Benchmark Holdings Ltd";
    o.year = 2009;
    o.month = 3;
    o.password = kPassword;
    PrepareDatabase(o);
    auto db = Database::open(folder);
    Transaction t(*db);
    Table codes(*db, "payrf03");
    codes.open();
    auto code = [&](int fno, const char* name, bool taxable, const char* loanType = "0", double rate = 0) {
        if (codes.locate("FNO", Value(fno))) codes.edit();
        else codes.append();
        codes.setInteger("FNO", fno);
        codes.setString("FNAME", name);
        codes.setBoolean("TAXABLE", taxable);
        codes.setString("LOAN_TYPE", loanType);
        codes.setFloat("INTRATE", rate);
        codes.post();
    };
    code(1, "Basic Pay", true);
    code(2, "House Allowance", true);
    code(5, "Overtime 1.5", true);
    code(8, "Meal Allowance", false);
    code(41, "Salary Advance", false, "0", 0);
    code(42, "Car Loan", false, "2", 0.5);
    code(43, "Welfare Loan", false, "0", 1);
    code(51, "Provident Fund", false);
    code(52, "Sacco Savings", false);

    Table sys(*db, "paysys");
    sys.open();
    sys.edit();
    sys.setInteger("PERIOD", 3);
    sys.post();

    Table emp(*db, "payrf01"), tr(*db, "payrf00"), hist(*db, "payrf04"), ben(*db, "payrf07");
    emp.open();
    tr.open();
    hist.open();
    ben.open();
    const int iE[] = {tr.field("E1"), tr.field("E2"), tr.field("E5"), tr.field("E8")};
    const char* depts[] = {"ADM", "FIN", "OPS", "SAL", "ICT", "HRM"};
    const char* branches[] = {"NBI", "MSA", "KSM"};
    for (int i = 0; i < employees; ++i) {
        const std::string e = empno(i);
        emp.append();
        emp.setString("EMPNO", e);
        emp.setString("SURNAME", "SURNAME" + std::to_string(i % 977));
        emp.setString("OTHERNAMES", "OTHER " + std::to_string(i % 311));
        emp.setString("EMPDEPT", depts[i % 6]);
        emp.setString("EMPBRCH", branches[i % 3]);
        emp.setString("EMPJOBT", "00" + std::to_string(i % 5));
        emp.setInteger("PAYMENT", i % 10 < 3 ? 1 : (i % 10 < 4 ? 2 : 3));
        emp.setDate("ENGDATE", i % 97 == 0 ? Date(2009, 3, 10 + i % 15) : Date(2000 + i % 9, 1 + i % 12, 1 + i % 28));
        if (i % 211 == 0) emp.setDate("TERDATE", Date(2009, 3, 5 + i % 20));
        emp.setBoolean("HOUSED", i % 10 == 5);
        if (i % 10 == 5) {
            emp.setFloat("DROUGHT", 4000 + i % 7 * 500);
            emp.setFloat("RENT", 1500);
        }
        emp.setBoolean("UNFLAG", i % 5 < 2);
        emp.setBoolean("PENFLAG", i % 5 == 1);
        if (i % 25 == 1) emp.setInteger("ALTPENS", 51);
        emp.setBoolean("NSFLAG2", i % 40 == 3);
        if (i % 40 == 3) emp.setFloat("VNSSF", 300);
        emp.setBoolean("MORTGAGE", i % 50 == 7);
        if (i % 50 == 7) emp.setFloat("MORTINT", 9000 + i % 9 * 1000);
        if (i % 8 == 2) emp.setFloat("INSURANCE", 24000 + i % 5 * 6000);
        emp.post();

        tr.append();
        tr.setString("EMPNO", e);
        double basic = 12000 + (i * 7919) % 180000;
        tr.setFloat(iE[0], basic);
        tr.setFloat(iE[1], i % 3 == 0 ? 5000 : 0);
        if (i % 4 == 0) {
            tr.setFloat(iE[2], 1500 + i % 13 * 100);
            tr.setFloat("RATE5", 10 + i % 9);
        }
        if (i % 6 == 0) tr.setFloat(iE[3], 2200);
        if (i % 7 == 0) tr.setFloat("D1", 5000);
        if (i % 10 < 3) {
            tr.setFloat("LBAL1", 20000);
            tr.setFloat("L1", 2500);
        }
        if (i % 15 == 4) {
            tr.setFloat("LBAL2", 300000);
            tr.setFloat("L2", 10000);
        }
        if (i % 20 == 9) tr.setFloat("LN3", 15000);
        if (i % 20 == 9) tr.setFloat("L3", 1500);
        if (i % 5 < 1) tr.setFloat("S2", 1000 + i % 4 * 500);
        if (i % 25 == 1) tr.setFloat("S1", 3000);
        tr.post();

        for (int m = 1; m <= 12; ++m) {
            hist.append();
            hist.setString("EMPNO", e);
            char mm[8];
            std::snprintf(mm, sizeof mm, "%02d", m);
            hist.setString("TMONTH", mm);
            hist.post();
        }
        if (i % 10 == 8) {
            ben.append();
            ben.setString("EMPNO", e);
            ben.setInteger("CODE", 1);
            ben.setFloat("RATE", 100 + i % 5 * 25);
            ben.setFloat("VAMOUNT", 1500 + i % 11 * 250);
            ben.setBoolean("BActive", true);
            ben.post();
        }
    }
    t.commit();
}

std::string folderFor(int employees) {
    auto dir = std::filesystem::temp_directory_path() / ("zuna-bench-compute-" + std::to_string(employees));
    if (!std::filesystem::exists(dir / Database::kFileName)) {
        std::filesystem::remove_all(dir);
        auto t0 = std::chrono::steady_clock::now();
        generate(dir.string(), employees);
        auto s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::fprintf(stderr, "generated %d employees in %.1f s\n", employees, s);
    }
    return dir.string();
}

long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_Compute(benchmark::State& state) {
    const int employees = static_cast<int>(state.range(0));
    std::string folder = folderFor(employees);
    TdmPayroll dm(folder);
    LoginActivate(dm);
    if (!LoginUser(dm, "ADMIN", kPassword)) std::abort();
    ActivateMain(dm);
    long before = maxRssKb();
    for (auto _ : state) {
        Zunacalc calc(dm);
        calc.Processpay();
        if (calc.computedCount() == 0) std::abort();
        state.counters["computed"] = calc.computedCount();
    }
    state.counters["maxrss_MB"] = static_cast<double>(maxRssKb()) / 1024;
    state.counters["rss_growth_MB"] = static_cast<double>(maxRssKb() - before) / 1024;
}
BENCHMARK(BM_Compute)->Name("Compute")->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
