#include "data/Prepare.h"

#include <filesystem>

#include "app/fmVarGlobal.h"
#include "data/Catalogue.h"
#include "data/ZunaData.h"
#include "engine/Dataset.h"

namespace zuna {

void CreatePayrollTables(Database& db) {
    Transaction t(db);
    for (const auto& def : catalogue()) db.createTable(def);
    t.commit();
}

static void checkOptions(const PrepareOptions& o) {
    if (o.folder.empty()) throw EngineError("No database folder is given (--data DIR)");
    if (o.country != "K" && o.country != "U" && o.country != "T" && o.country != "R")
        throw EngineError("The country must be K (Kenya), U (Uganda), T (Tanzania) or R (Rwanda), not '" + o.country + "'");
    if (Trim(o.company).empty()) throw EngineError("The company needs a name (--company NAME)");
    if (o.month < 1 || o.month > 12 || o.year < 1900 || o.year > 9999)
        throw EngineError("The period must be a month YYYY-MM");
    if (o.password.empty()) throw EngineError("The ADMIN user needs a password (--password PW)");
}

void PrepareDatabase(const PrepareOptions& o) {
    checkOptions(o);
    bool existed = std::filesystem::exists(o.folder);
    std::unique_ptr<Database> db = Database::create(o.folder);
    try {
        {
            Transaction t(*db);
            CreatePayrollTables(*db);
            Table sys(*db, "paysys");
            sys.open();
            sys.append();
            sys.setString("COUNTRY", o.country);
            sys.setString("COMP_NAME", o.company);
            sys.setInteger("PERIOD", o.month);
            sys.setDate("SDATE", Date(o.year, o.month, 1));
            sys.setDate("EDATE", Date(o.year, o.month, daysInMonth(o.year, o.month)));
            sys.setString("CNSSF", "N.S.S.F.");
            sys.setString("CPAYE", "P.A.Y.E.");
            sys.setString("CLASC", "L.A.S.C.");
            sys.setString("CNHIF", "N.H.I.F.");
            sys.setString("CPIN", "P.I.N.");
            sys.setInteger("PAYTYPE", 1);
            std::string pw = toUpper(o.password);
            sys.setString("MPASSWORD", o.managerPassword.empty() ? pw : toUpper(o.managerPassword));
            sys.setString("PASSWORD", o.adminPassword.empty() ? pw : toUpper(o.adminPassword));
            sys.post();
            Table users(*db, "payusrs");
            users.open();
            users.append();
            users.setString("USER", "ADMIN");
            users.setString("TPASSWORD", pw);
            users.setString("NAME", "Administrator");
            users.setString("CATEGORY", "A");
            users.setInteger("LEVEL", 9);
            users.setString("JOBGROUP", "000");
            for (int i = 1; i <= 100; ++i) users.setBoolean("MENU" + std::to_string(i), true);
            users.post();
            t.commit();
        }
    } catch (...) {
        db.reset();
        std::error_code ec;
        std::filesystem::remove(std::filesystem::path(o.folder) / Database::kFileName, ec);
        std::filesystem::remove(std::filesystem::path(o.folder) / (std::string(Database::kFileName) + "-wal"), ec);
        std::filesystem::remove(std::filesystem::path(o.folder) / (std::string(Database::kFileName) + "-shm"), ec);
        if (!existed) std::filesystem::remove_all(o.folder, ec);
        throw;
    }
}

}  // namespace zuna
