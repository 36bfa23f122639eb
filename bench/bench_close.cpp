// Month close of a generated company: 10,000 employees (5% departed) with a computed month,
// earnings and deductions of standing and variable codes, loans with interest, savings, benefits
// and twelve tax-history rows each. Times Closemonth alone for an ordinary month (January) and
// for the year end (December, with the tax-card archive and the year change), on a fresh copy
// of the database each time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "engine/Dataset.h"
#include "period/fmClose.h"

using namespace zuna;
namespace fs = std::filesystem;

namespace {

constexpr int kEmployees = 10000;

std::string empno(int i) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return {digits[(i / 46656) % 36], digits[(i / 1296) % 36], digits[(i / 36) % 36], digits[i % 36]};
}

void insert(Database& db, const std::string& table, const std::vector<std::pair<std::string, Value>>& row) {
    std::string cols, qs;
    for (size_t k = 0; k < row.size(); ++k) {
        cols += (k ? ", " : "") + quoteIdent(row[k].first);
        qs += (k ? ", ?" : "?") + std::to_string(k + 1);
    }
    Stmt s = db.prepare("INSERT INTO " + quoteIdent(table) + " (" + cols + ") VALUES (" + qs + ")");
    for (size_t k = 0; k < row.size(); ++k) s.bind(static_cast<int>(k + 1), row[k].second);
    s.step();
}

// A folder removed when the program ends.
struct TempFolder {
    fs::path path;
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// The generated company, made once.
const fs::path& templateFolder() {
    static const TempFolder folder{[] {
        fs::path f = fs::temp_directory_path() / "zuna-bench-close-template";
        fs::remove_all(f);
        PrepareOptions o;
        o.folder = f.string();
        o.company = "Bench Close Ltd";
        o.password = "BENCH";
        PrepareDatabase(o);
        auto db = Database::open(o.folder);
        Transaction t(*db);
        insert(*db, "payrf06", {{"CODE", 1}, {"DESCRIPTION", "Car"}, {"FACTOR", 0.0}});
        for (int i = 0; i < kEmployees; ++i) {
            const std::string e = empno(i);
            const double basic = 20000 + (i % 50) * 1000;
            const bool departed = i % 20 == 7;
            insert(*db, "payrf01",
                   {{"EMPNO", e},
                    {"EMPNAME", "EMPLOYEE " + e},
                    {"EMPDEPT", "D0" + std::to_string(i % 4)},
                    {"ESTATUS", departed ? "D" : "A"},
                    {"TERDATE", i % 97 == 3 ? Value(Date(2008, 12, 15)) : Value()},
                    {"TOTEARN", basic * 1.2},
                    {"TOTDED", basic * 0.3},
                    {"NETT", basic * 0.9},
                    {"PAYE", i % 10 ? basic * 0.15 : 0.0},
                    {"MISC9", i % 10 ? 0.0 : 150.0},
                    {"NSSF", 200.0},
                    {"NHIF", 320.0},
                    {"PENSIONC", 1000.0},
                    {"PENSIONS", 500.0},
                    {"ODCR", 0.0},
                    {"YTD_EARN", basic * 5},
                    {"YTD_GROSS", basic * 5},
                    {"YTD_PAYE", basic},
                    {"ACC_EARN", basic * 40},
                    {"AccruedDays", 4},
                    {"CurrDays", 2},
                    {"DaysTaken", 1}});
            insert(*db, "payrf00",
                   {{"EMPNO", e},
                    {"E1", basic},
                    {"E2", basic * 0.15},
                    {"E5", 1500.0},
                    {"RATE5", 4.0},
                    {"D1", 2000.0},
                    {"LBAL1", i % 3 == 0 ? 50000.0 : 0.0},
                    {"L1", i % 3 == 0 ? 2500.0 : 0.0},
                    {"LPER1", 20},
                    {"I1", i % 3 == 0 ? 250.0 : 0.0},
                    {"IRATE1", 6.0},
                    {"LN2", i % 25 == 0 ? 10000.0 : 0.0},
                    {"S1", i % 5 < 2 ? 1000.0 : 0.0},
                    {"SBAL1", 12000.0},
                    {"SPER1", 12}});
            for (int m = 1; m <= 12; ++m) {
                char tm[3];
                std::snprintf(tm, sizeof tm, "%02d", m);
                insert(*db, "payrf04",
                       {{"EMPNO", e}, {"TMONTH", tm}, {"PAY", basic}, {"TAXDED", basic * 0.15}, {"BASIC", basic}});
            }
            if (i % 10 == 0)
                insert(*db, "payrf07",
                       {{"EMPNO", e},
                        {"CODE", 1},
                        {"RATE", 250.0},
                        {"VAMOUNT", 6000.0},
                        {"BActive", true},
                        {"COUNTER", 0},
                        {"YTDAMOUNT", 0.0}});
        }
        t.commit();
        return f;
    }()};
    return folder.path;
}

fs::path freshCopy(bool december) {
    fs::path work = fs::temp_directory_path() / "zuna-bench-close-work";
    fs::remove_all(work);
    fs::copy(templateFolder(), work, fs::copy_options::recursive);
    if (december) {
        auto db = Database::open(work.string());
        db->exec("UPDATE paysys SET PERIOD = 12, SDATE = '2009-12-01', EDATE = '2009-12-31'");
    }
    return work;
}

void closeMonth(benchmark::State& state, bool december) {
    for (auto _ : state) {
        state.PauseTiming();
        fs::path work = freshCopy(december);
        auto dm = std::make_unique<TdmPayroll>(work.string());
        LoginActivate(*dm);
        LoginUser(*dm, "ADMIN", "BENCH");
        ActivateMain(*dm);
        state.ResumeTiming();
        auto t0 = std::chrono::steady_clock::now();
        TfmCloseLogic close(*dm);
        close.Closemonth();
        auto t1 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        state.PauseTiming();
        state.counters["employees"] = close.summary().employees;
        dm.reset();
        fs::remove_all(work);
        state.ResumeTiming();
    }
}

void BM_CloseMonth10k(benchmark::State& state) { closeMonth(state, false); }
void BM_CloseYearEnd10k(benchmark::State& state) { closeMonth(state, true); }

}  // namespace

BENCHMARK(BM_CloseMonth10k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CloseYearEnd10k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
