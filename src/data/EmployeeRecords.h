// The records that belong to a new employee besides the master record: the month's transaction
// record and the twelve tax-history rows "01" to "12", made as employee entry makes them.
#pragma once

#include <string>

#include "engine/Dataset.h"

namespace zuna {

class EmployeeRecordMaker {
public:
    explicit EmployeeRecordMaker(Database& db);
    // Creates what is missing for the employee; rows that exist already are kept as they are.
    // Returns the number of rows created.
    int create(const std::string& empno);

private:
    Table trans_;  // payrf00
    Table hist_;   // payrf04
};

// Two-digit month key of the tax history: 1 -> "01".
std::string MonthKey(int month);

}  // namespace zuna
