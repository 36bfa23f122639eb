// The table catalogue of the payroll database: every table the program opens, with its fields
// in record order and its indexes, as plain definitions for the engine to create and check.
#pragma once

#include <string>
#include <vector>

#include "engine/Schema.h"

namespace zuna {

// Every table of the payroll database, in catalogue order, fields in record order.
const std::vector<TableDef>& catalogue();

// The definition of one table by name, any letter case; nullptr when unknown.
const TableDef* catalogueTable(const std::string& name);

// Month archives made at the month close, created from the definitions above.
// month is 1..12 and year has four digits; anything else throws std::invalid_argument.
TableDef monthArchiveDef(int month, int year);       // "PayM" + mm + yyyy: employee master of the closed month
TableDef monthTransArchiveDef(int month, int year);  // "PayT" + mm + yyyy: transactions of the closed month
TableDef yearArchiveDef(int year);                   // "PayP9" + yyyy: tax history of the closed tax year

}  // namespace zuna
