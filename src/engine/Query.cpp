#include <strings.h>

#include <set>

#include "engine/Dataset.h"
#include "engine/SqlDialect.h"

namespace zuna {

Query::Query(Database& db, std::string sql) : Dataset(db), sql_(std::move(sql)) { name_ = "Query"; }

void Query::setSql(const std::string& sql) {
    close();
    sql_ = sql;
}

void Query::setParam(const std::string& name, const Value& v) { params_[toLower(name)] = v; }

void Query::checkWritable() const { throw EngineError(describe() + ": the result of a query cannot be changed"); }

std::string Query::adaptedSql() const {
    // Tables named by the statement: identifiers that are tables of the database.
    std::vector<std::string> tables;
    for (const auto& t : tokenizeSql(sql_))
        if (t.kind == SqlToken::Ident && db_.tableExists(t.text)) tables.push_back(t.text);
    auto isText = [&](const std::string& name) {
        std::string col = name;
        auto dot = col.find('.');
        if (dot != std::string::npos) col = col.substr(dot + 1);
        for (const auto& t : tables) {
            const FieldDef* f = db_.schema(t).field(col);
            if (f) return f->type == FieldType::Text;
        }
        return false;
    };
    return adaptSql(sql_, isText);
}

static FieldType typeFromDecl(const std::string& decl, FieldType fallback, int& width) {
    std::string d = toUpper(decl);
    width = 0;
    if (d.rfind("TEXT", 0) == 0) {
        auto p = d.find('(');
        width = p == std::string::npos ? 0 : std::atoi(d.c_str() + p + 1);
        return FieldType::Text;
    }
    if (d == "SMALLINT") return FieldType::SmallInt;
    if (d == "FLOAT") return FieldType::Float;
    if (d == "DATE") return FieldType::Date;
    if (d == "TIME") return FieldType::Time;
    if (d == "LOGICAL") return FieldType::Logical;
    if (d == "BINARY") return FieldType::Binary;
    if (d == "INTEGER") return FieldType::Integer;
    return fallback;
}

void Query::doOpen() {
    if (sql_.empty()) throw EngineError("The query has no SQL text");
    db_.flushPending();
    std::string text = adaptedSql();
    Stmt s = db_.prepare(text);
    // Bind the parameters the statement names.
    for (const auto& t : tokenizeSql(sql_)) {
        if (t.kind != SqlToken::Param) continue;
        auto it = params_.find(toLower(t.text));
        if (it == params_.end()) throw EngineError("The query parameter :" + t.text + " has no value");
        if (s.hasParameter(t.text)) s.bind(t.text, it->second);
    }
    data_.clear();
    int n = s.columnCount();
    std::vector<FieldDef> defs;
    std::vector<bool> typed(static_cast<size_t>(n), false);
    std::set<std::string> seen;
    for (int i = 0; i < n; ++i) {
        std::string name = s.columnName(i);
        std::string base = name;
        for (int k = 1; seen.count(toLower(name)); ++k) name = base + "_" + std::to_string(k);
        seen.insert(toLower(name));
        int w = 0;
        std::string decl = s.columnDeclType(i);
        FieldType t = typeFromDecl(decl, FieldType::Text, w);
        typed[static_cast<size_t>(i)] = !decl.empty();
        defs.emplace_back(name, t, w);
    }
    while (s.step()) {
        std::vector<Value> row(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            row[static_cast<size_t>(i)] = s.column(i);
            // An expression column takes its type from its first value.
            if (!typed[static_cast<size_t>(i)] && !row[static_cast<size_t>(i)].isNull()) {
                auto k = row[static_cast<size_t>(i)].kind();
                defs[static_cast<size_t>(i)].type = k == Value::Kind::Real  ? FieldType::Float
                                                    : k == Value::Kind::Int ? FieldType::Integer
                                                    : k == Value::Kind::Blob ? FieldType::Binary
                                                                             : FieldType::Text;
                typed[static_cast<size_t>(i)] = true;
            }
        }
        data_.push_back(std::move(row));
    }
    setupFields(std::move(defs));
    tableState_ = nullptr;
}

void Query::buildRows() {
    view_.clear();
    bool useFilter = filtered_ && filter_;
    const std::vector<Value>* cur = nullptr;
    auto get = [&](int i) -> Value { return (*cur)[static_cast<size_t>(i)]; };
    for (size_t r = 0; r < data_.size(); ++r) {
        cur = &data_[r];
        if (!useFilter || filter_->matches(get)) view_.push_back(static_cast<std::int64_t>(r));
    }
}

void Query::loadRow(int pos, std::vector<Value>& buf) {
    const auto& row = data_[static_cast<size_t>(view_[static_cast<size_t>(pos)])];
    for (int i = 0; i < storedCount_; ++i) buf[static_cast<size_t>(i)] = row[static_cast<size_t>(i)];
}

int Query::positionOf(std::int64_t id) {
    for (size_t i = 0; i < view_.size(); ++i)
        if (view_[i] == id) return static_cast<int>(i);
    return -1;
}

}  // namespace zuna
