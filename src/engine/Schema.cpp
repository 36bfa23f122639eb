#include "engine/Schema.h"

#include <strings.h>

namespace zuna {

const char* fieldTypeName(FieldType t) {
    switch (t) {
        case FieldType::Text: return "text";
        case FieldType::SmallInt: return "smallint";
        case FieldType::Float: return "float";
        case FieldType::Date: return "date";
        case FieldType::Time: return "time";
        case FieldType::Logical: return "logical";
        case FieldType::Binary: return "binary";
        case FieldType::Integer: return "integer";
    }
    return "?";
}

const FieldDef* TableDef::field(const std::string& n) const {
    int i = fieldIndex(n);
    return i < 0 ? nullptr : &fields[static_cast<size_t>(i)];
}

int TableDef::fieldIndex(const std::string& n) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (strcasecmp(fields[i].name.c_str(), n.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

const IndexDef* TableDef::index(const std::string& n) const {
    for (const auto& ix : indexes)
        if (strcasecmp(ix.name.c_str(), n.c_str()) == 0) return &ix;
    return nullptr;
}

void addFamily(std::vector<FieldDef>& out, const std::string& prefix, int from, int to, FieldType t, int width,
               const std::string& newValue) {
    for (int i = from; i <= to; ++i) out.emplace_back(prefix + std::to_string(i), t, width, newValue);
}

}  // namespace zuna
