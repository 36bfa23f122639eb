// The system's SQL texts as they stand, adapted to SQLite: '+' between texts becomes '||',
// true/false become 1/0, 'dd/mm/yyyy' literals become ISO dates, a trailing ';' goes, and the
// functions month, year and Contains are registered with the connection.
#pragma once

#include <functional>
#include <string>

struct sqlite3;

namespace zuna {

struct SqlToken {
    enum Kind { Ident, Number, String, Param, Op, LParen, RParen, Comma, Dot, Semicolon, End } kind;
    std::string text;  // identifiers as written; strings without quotes
    size_t pos;        // offset in the source text
    size_t end = 0;    // offset just past the token
};

// Splits SQL or filter text into tokens; EngineError quoting the text and the position on a fault.
std::vector<SqlToken> tokenizeSql(const std::string& text);

// isTextColumn(name) tells whether a bare or qualified column name is a text field of a table the
// statement names; isTable(name) tells whether a name is a table.
std::string adaptSql(const std::string& sql, const std::function<bool(const std::string&)>& isTextColumn);

void registerSqlFunctions(sqlite3* db);

}  // namespace zuna
