// A prepared database in a temporary folder, opened by the data module, for the data tests.
#pragma once

#include <memory>
#include <string>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "support/TempDir.h"

namespace zuna::test {

struct PreparedDb {
    explicit PreparedDb(const std::string& country = "K", bool demo = false, int year = 2009, int month = 1) {
        options.folder = dir.sub("db");
        options.country = country;
        options.company = "Test Company Ltd";
        options.password = "secret";
        options.year = year;
        options.month = month;
        options.demo = demo;
        PrepareDatabase(options);
        open();
    }
    void open() {
        fmVarGlobal() = VarGlobal{};
        dm = std::make_unique<TdmPayroll>(options.folder);
    }
    void login() {
        LoginActivate(*dm);
        if (!LoginUser(*dm, "ADMIN", "SECRET")) throw std::runtime_error("fixture login refused");
        ActivateMain(*dm);
    }
    TdmPayroll& operator*() { return *dm; }
    TdmPayroll* operator->() { return dm.get(); }

    TempDir dir;
    PrepareOptions options;
    std::unique_ptr<TdmPayroll> dm;
};

}  // namespace zuna::test
