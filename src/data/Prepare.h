// Preparing a new payroll database: every table of the catalogue, the one system-parameters
// record, the country's tax tables, the standard pay codes and the first user.
#pragma once

#include <string>

namespace zuna {

struct PrepareOptions {
    std::string folder;
    std::string country = "K";  // K, U, T or R
    std::string company;
    int year = 2009;
    int month = 1;
    std::string password;         // the ADMIN user's password
    std::string managerPassword;  // MPASSWORD; the user's password when empty
    std::string adminPassword;    // PASSWORD; the user's password when empty
    bool demo = false;            // add the demo company's employees and month
};

// Creates the folder and the database; EngineError when one exists already or an option is bad.
// The whole preparation lands at once or not at all.
void PrepareDatabase(const PrepareOptions& o);

class Database;
// Every table of the catalogue, empty (used by the preparation and by test fixtures).
void CreatePayrollTables(Database& db);

// Loan pay codes of the standard codes that system parameters point at: the student loan
// (HELBACC, Kenya) and the local service tax instalments (LASCACC, Uganda); 0 elsewhere.
int StudentLoanCode(const std::string& country);
int LocalServiceTaxCode(const std::string& country);

}  // namespace zuna
