// Tables to and from CSV files (RFC 4180): a header of field names as the catalogue spells them,
// numbers in shortest round-trip form, dates YYYY-MM-DD (dd/mm/yyyy also read), times HH:MM:SS,
// logicals true/false, null as an empty field, binary fields in base64.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zuna {

class Database;
class TdmPayroll;

// Writes every stored row of a table, whatever filters the program's datasets have, in key
// order (natural order for tables without a key). Returns the number of rows written.
// EngineError when the table does not exist.
int ExportCsv(Database& db, const std::string& table, std::ostream& out);

struct ImportResult {
    int rows = 0;
    int inserted = 0;
    int updated = 0;
    int detailRows = 0;  // transaction and tax-history rows made for new employees
};

// Reads a CSV file into a table, all of it in one transaction. The file may hold any subset of
// the table's fields in any order, names in any letter case, but it must hold the fields that
// identify a row (ImportKey). A row whose key is stored already is updated in the fields the
// file holds; any other row is inserted with the table's new-record values and posting rules.
// A single-record table (paysys, paynhif, paylasc) has its one record updated. replace empties
// the table first. A new employee of payrf01 also gets its transaction record and its twelve
// tax-history rows. Bad input throws EngineError with one line naming the file, the line, the
// field and the value; nothing is written then.
ImportResult ImportCsv(TdmPayroll& dm, const std::string& table, const std::string& path, bool replace);
ImportResult ImportCsv(TdmPayroll& dm, const std::string& table, std::istream& in, const std::string& fileName,
                       bool replace);

// The fields that identify a row of a table for the import: the unique key where the table has
// one, otherwise the fields that tell its rows apart (an employee's benefit by its code, a bank
// branch by its internal reference). Empty for the audit log (rows are appended) and for the
// single-record tables.
std::vector<std::string> ImportKey(Database& db, const std::string& table);
bool IsSingleRecordTable(const std::string& table);

// RFC 4180 reading and writing, exposed for the tests and other exports.
struct CsvField {
    std::string text;
    bool quoted = false;
};
struct CsvRecord {
    int line = 0;  // line of the file where the record starts
    std::vector<CsvField> fields;
};
// Every record of a text; EngineError for a quoted field that is not closed.
std::vector<CsvRecord> ParseCsv(std::istream& in, const std::string& fileName);
std::string CsvQuote(const std::string& text);  // quoted when it needs to be

std::string Base64Encode(const std::string& bytes);
bool Base64Decode(const std::string& text, std::string& bytes);

}  // namespace zuna
