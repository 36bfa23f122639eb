// Data commands: prepare a database, list its tables, export a table to CSV, import one from CSV.
#include <fstream>
#include <map>
#include <iomanip>
#include <sstream>

#include "app/fmVarGlobal.h"
#include "cli/Cli.h"
#include "data/Catalogue.h"
#include "data/CsvTransfer.h"
#include "data/Prepare.h"

namespace zuna::cli {

namespace {

const char* countryName(const std::string& c) {
    if (c == "K") return "Kenya";
    if (c == "U") return "Uganda";
    if (c == "T") return "Tanzania";
    if (c == "R") return "Rwanda";
    return "";
}

// "2009-01" -> year and month.
bool parsePeriod(const std::string& s, int& year, int& month) {
    if (s.size() != 7 || s[4] != '-') return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (i != 4 && (s[i] < '0' || s[i] > '9')) return false;
    year = std::stoi(s.substr(0, 4));
    month = std::stoi(s.substr(5, 2));
    return month >= 1 && month <= 12 && year >= 1900;
}

// Exports and imports see every row, whatever job group the user is restricted to.
void requireFullRights(const char* what) {
    if (!fmVarGlobal().fullRights())
        throw CliError(std::string(what) + " needs a user with full rights (category A, level 9)", 1);
}

// What a table holds, for the table list.
std::string contentOf(const std::string& name) {
    static const std::map<std::string, std::string> content = {
        {"payrf01", "employee master"},
        {"payrf00", "transactions of the month"},
        {"payrf04", "tax history of the tax year"},
        {"payrf05", "coin analysis of cash pay"},
        {"payrf06", "benefit codes"},
        {"payrf07", "benefits held by employees"},
        {"payrf03", "pay codes"},
        {"paysys", "system and company parameters"},
        {"payrf08", "tax and statutory parameters per country"},
        {"paynhif", "NHIF bands"},
        {"paylasc", "LASC bands"},
        {"payrf09", "batch lines"},
        {"paybatch", "batch headers"},
        {"payanal", "payroll analysis of the month"},
        {"paytanal", "analysis of last and this month"},
        {"paytemp0", "closed months' transactions"},
        {"paytemp1", "closed months' employee records"},
        {"payy2005", "closed months' transactions (arrears)"},
        {"payrf50", "payslip messages"},
        {"payusrs", "users and their rights"},
        {"paylog", "audit log"},
        {"payjobt", "job groups"},
        {"paysect", "sections"},
        {"paydept", "departments"},
        {"paybranch", "branches"},
        {"payrf02m", "banks"},
        {"payrf02", "bank branches"},
        {"payrf13", "course codes"},
        {"payrf15", "academic qualification codes"},
        {"payrf10", "courses attended"},
        {"payrf11", "education"},
        {"payrf12", "family members"},
        {"payhist", "pay adjustments of the arrears update"},
    };
    const std::string n = toLower(name);
    auto it = content.find(n);
    if (it != content.end()) return it->second;
    auto archive = [&](const char* prefix, size_t digits) {
        return n.size() == std::string(prefix).size() + digits && n.rfind(prefix, 0) == 0 &&
               n.find_first_not_of("0123456789", std::string(prefix).size()) == std::string::npos;
    };
    if (archive("paym", 6)) return "employee master of " + n.substr(4, 2) + "/" + n.substr(6);
    if (archive("payt", 6)) return "transactions of " + n.substr(4, 2) + "/" + n.substr(6);
    if (archive("payp9", 4)) return "tax history of the year " + n.substr(5);
    return {};
}

int rowCount(Database& db, const std::string& table) {
    Stmt s = db.prepare("SELECT count(*) FROM " + quoteIdent(table));
    s.step();
    return static_cast<int>(s.columnInt(0));
}

}  // namespace

ZUNA_COMMAND({"init", "prepare a new payroll database (optionally with a demo company)",
              "--data DIR --country K|U|T|R --company NAME --period YYYY-MM --password PW "
              "[--manager-password PW] [--admin-password PW] [--demo]",
              [](Context& c) -> int {
                  PrepareOptions o;
                  o.folder = c.dataFolder();
                  o.country = toUpper(c.args.get("country", "K"));
                  o.company = c.args.get("company");
                  std::string period = c.args.get("period");
                  if (period.empty()) throw CliError("the first pay period is missing (--period YYYY-MM)", 2);
                  if (!parsePeriod(period, o.year, o.month))
                      throw CliError("the period '" + period + "' is not a month YYYY-MM", 2);
                  o.password = c.args.get("password");
                  o.managerPassword = c.args.get("manager-password");
                  o.adminPassword = c.args.get("admin-password");
                  o.demo = c.args.has("demo");
                  PrepareDatabase(o);
                  c.out << "Prepared the payroll database of " << Trim(o.company) << " (" << countryName(o.country)
                        << ") in " << o.folder << "\n"
                        << "First pay period: " << MonthYearText(Date(o.year, o.month, 1)) << "\n"
                        << "Log in as ADMIN with the password given (letters count as capitals).\n";
                  if (o.demo) c.out << "The demo company's employees, banks and month's input are in place.\n";
                  c.out << "The tax tables are examples: review them before the first computation.\n";
                  return 0;
              }});

ZUNA_COMMAND({"tables", "list the tables of the database with their rows and fields", "", [](Context& c) -> int {
                  TdmPayroll& dm = c.session();
                  Database& db = dm.db();
                  for (const std::string& name : db.tableNames()) {
                      const TableDef& def = db.schema(name);
                      c.out << std::left << std::setw(12) << name << std::right << std::setw(8) << rowCount(db, name)
                            << " rows " << std::setw(4) << def.fields.size() << " fields";
                      std::string what = contentOf(name);
                      if (!what.empty()) c.out << "  " << what;
                      c.out << "\n";
                  }
                  return 0;
              }});

ZUNA_COMMAND({"export", "write every row of a table as CSV", "TABLE [--out FILE]", [](Context& c) -> int {
                  if (c.args.positional.size() != 1) throw CliError("name one table: zuna export TABLE [--out FILE]", 2);
                  TdmPayroll& dm = c.session();
                  requireFullRights("Exporting a table");
                  const std::string table = c.args.positional[0];
                  if (!dm.db().tableExists(table))
                      throw CliError("there is no table " + table + " in the database (zuna tables lists them)", 1);
                  if (!c.args.has("out")) {
                      ExportCsv(dm.db(), table, c.out);
                      return 0;
                  }
                  const std::string file = c.args.get("out");
                  std::ostringstream text;
                  int rows = ExportCsv(dm.db(), table, text);
                  std::ofstream out(file, std::ios::binary | std::ios::trunc);
                  if (!(out << text.str()) || !out.flush()) throw CliError("cannot write the file " + file, 1);
                  c.err << "Wrote " << rows << " rows of " << dm.db().storedName(table) << " to " << file << "\n";
                  return 0;
              }});

ZUNA_COMMAND({"import", "read a CSV file into a table (rows with a known key are updated)", "TABLE FILE [--replace]",
              [](Context& c) -> int {
                  if (c.args.positional.size() != 2)
                      throw CliError("name a table and a file: zuna import TABLE FILE [--replace]", 2);
                  TdmPayroll& dm = c.session();
                  requireFullRights("Importing into a table");
                  const std::string table = c.args.positional[0];
                  const std::string file = c.args.positional[1];
                  ImportResult r = ImportCsv(dm, table, file, c.args.has("replace"));
                  c.out << "Imported " << r.rows << " rows into " << dm.db().storedName(table) << ": " << r.inserted
                        << " added, " << r.updated << " updated";
                  if (r.detailRows > 0)
                      c.out << "; " << r.detailRows << " transaction and tax-history rows made for new employees";
                  c.out << "\n";
                  return 0;
              }});

}  // namespace zuna::cli
