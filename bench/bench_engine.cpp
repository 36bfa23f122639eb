// The table-engine layer on 100,000 rows of the wide transaction record:
// locate each row by key, edit two fields and post, all in one transaction, then walk in index order;
// and opening the employee table with its standing filter.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "data/Catalogue.h"
#include "engine/Dataset.h"

using namespace zuna;

namespace {

constexpr int kRows = 100000;

std::string key(int i) {
    char b[8];
    std::snprintf(b, sizeof b, "%04X", i);  // 4 characters cover 65,536 in hex: widen the key set below
    return b;
}

struct Db {
    std::filesystem::path dir;
    std::unique_ptr<Database> db;
    std::vector<std::string> keys;
    Db() {
        dir = std::filesystem::temp_directory_path() / "zuna-bench-engine";
        std::filesystem::remove_all(dir);
        db = Database::create(dir.string());
        db->createTable(*catalogueTable("payrf00"));
        db->createTable(*catalogueTable("payrf01"));
        // 100,000 distinct 4-character keys.
        const char* alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (int i = 0; static_cast<int>(keys.size()) < kRows; ++i) {
            std::string k = {alphabet[(i / 46656) % 36], alphabet[(i / 1296) % 36], alphabet[(i / 36) % 36], alphabet[i % 36]};
            keys.push_back(k);
        }
        Transaction t(*db);
        Table tr(*db, "payrf00");
        Table em(*db, "payrf01");
        tr.open();
        em.open();
        for (int i = 0; i < kRows; ++i) {
            tr.append();
            tr.setString("EMPNO", keys[static_cast<size_t>(i)]);
            tr.setFloat("E1", 10000 + i);
            tr.setFloat("E2", 2000);
            tr.post();
            em.append();
            em.setString("EMPNO", keys[static_cast<size_t>(i)]);
            em.setString("ESTATUS", i % 10 == 0 ? "D" : "A");
            em.setString("EMPNAME", "EMPLOYEE " + keys[static_cast<size_t>(i)]);
            em.post();
        }
        t.commit();
    }
    ~Db() {
        db.reset();
        std::filesystem::remove_all(dir);
    }
};

Db& fixture() {
    static Db d;
    return d;
}

void BM_LocateEditPostWalk100k(benchmark::State& state) {
    Db& d = fixture();
    for (auto _ : state) {
        using clk = std::chrono::steady_clock;
        auto t0 = clk::now();
        Transaction t(*d.db);
        Table tr(*d.db, "payrf00");
        tr.setIndexName("PRIMARY");
        tr.open();
        int e1 = tr.field("E1"), e3 = tr.field("E3");
        for (int i = kRows - 1; i >= 0; --i) {  // a different order from the index
            if (!tr.locate("EMPNO", Value(d.keys[static_cast<size_t>(i)]))) std::abort();
            tr.edit();
            tr.setFloat(e1, tr.asFloat(e1) + 1);
            tr.setFloat(e3, 500);
            tr.post();
        }
        auto t1 = clk::now();
        double sum = 0;
        for (tr.first(); !tr.eof(); tr.next()) sum += tr.asFloat(e3);
        if (sum != 500.0 * kRows) std::abort();
        auto t2 = clk::now();
        t.commit();
        auto t3 = clk::now();
        auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
        state.counters["update_ms"] = ms(t0, t1);
        state.counters["walk_ms"] = ms(t1, t2);
        state.counters["commit_ms"] = ms(t2, t3);
    }
}
BENCHMARK(BM_LocateEditPostWalk100k)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_OpenFiltered100k(benchmark::State& state) {
    Db& d = fixture();
    for (auto _ : state) {
        Table em(*d.db, "payrf01");
        em.setFilter("Estatus='A'");
        em.setFiltered(true);
        em.setIndexName("PRIMARY");
        em.open();
        if (em.recordCount() != kRows - kRows / 10) std::abort();
    }
}
BENCHMARK(BM_OpenFiltered100k)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
