// Table definitions: the shape of a table as the engine creates it.
// A definition is plain data; the catalogue of the payroll database is a list of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zuna {

enum class FieldType {
    Text,      // text(n): cut to n characters on write
    SmallInt,  // 16-bit signed integer
    Float,     // 8-byte floating point
    Date,      // calendar date, stored as YYYY-MM-DD
    Time,      // time of day, stored as HH:MM:SS
    Logical,   // true/false, stored as 0/1
    Binary,    // variable-length bytes
    Integer,   // 64-bit integer (engine-internal use; not a field type of the system's tables)
};

const char* fieldTypeName(FieldType t);

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int width = 0;  // characters, for Text only (0 means 20, the system's default width)
    // Value a new record receives, as text in the field's own form ("0", "true", "A", "1");
    // empty means the field stays null.
    std::string newValue;

    FieldDef() = default;
    FieldDef(std::string n, FieldType t, int w = 0, std::string nv = {})
        : name(std::move(n)), type(t), width(w), newValue(std::move(nv)) {}
    int textWidth() const { return type == FieldType::Text ? (width > 0 ? width : 20) : 0; }
};

struct IndexDef {
    std::string name;                 // "PRIMARY", "payrf01Dept", ...
    std::vector<std::string> fields;  // in key order
    bool unique = false;
};

struct TableDef {
    std::string name;  // table (file) name as the system spells it: "payrf01", "PayBranch"
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;

    const FieldDef* field(const std::string& fieldName) const;  // any letter case
    int fieldIndex(const std::string& fieldName) const;          // -1 when absent
    const IndexDef* index(const std::string& indexName) const;   // any letter case
    const IndexDef* primary() const { return index("PRIMARY"); }
};

// Helpers for building definitions of numbered families ("E1".."E25").
void addFamily(std::vector<FieldDef>& out, const std::string& prefix, int from, int to, FieldType t,
               int width = 0, const std::string& newValue = {});

}  // namespace zuna
