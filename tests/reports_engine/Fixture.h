// Helpers of the report engine tests: a small staff table and readers of laid-out pages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/Database.h"
#include "engine/Dataset.h"
#include "reports/engine/Document.h"
#include "support/TempDir.h"

namespace zuna::report::test {

struct StaffRow {
    const char* empno;
    const char* dept;
    const char* sect;
    const char* name;
    double nett;
};

// A database with one table "staff" (EMPNO, EMPDEPT, EMPSECT, EMPNAME, NETT) in row order.
class StaffDb {
public:
    explicit StaffDb(const std::vector<StaffRow>& rows) {
        db_ = Database::create(dir_.str());
        TableDef def{"staff",
                     {FieldDef("EMPNO", FieldType::Text, 4), FieldDef("EMPDEPT", FieldType::Text, 3),
                      FieldDef("EMPSECT", FieldType::Text, 3), FieldDef("EMPNAME", FieldType::Text, 30),
                      FieldDef("NETT", FieldType::Float)},
                     {IndexDef{"PRIMARY", {"EMPNO"}, true}}};
        db_->createTable(def);
        Table t(*db_, "staff");
        t.open();
        for (const auto& r : rows) {
            t.append();
            t.setString("EMPNO", r.empno);
            t.setString("EMPDEPT", r.dept);
            t.setString("EMPSECT", r.sect);
            t.setString("EMPNAME", r.name);
            t.setFloat("NETT", r.nett);
            t.post();
        }
        table_ = std::make_unique<Table>(*db_, "staff");
        table_->open();
    }
    Table& table() { return *table_; }
    Database& db() { return *db_; }

private:
    zuna::test::TempDir dir_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<Table> table_;
};

// "groupHeader:deptHeader" style names of the bands printed on a page, in order, one string.
inline std::string bandSequence(const Page& p) {
    std::string s;
    for (const auto& b : p.bands) {
        if (!s.empty()) s += ' ';
        s += b.name;
    }
    return s;
}

// Texts of the items a page printed for its n-th band.
inline std::vector<std::string> bandTexts(const Page& p, int band) {
    std::vector<std::string> out;
    for (const auto& it : p.items)
        if (it.band == band && it.kind == ItemKind::Text) out.push_back(it.text);
    return out;
}

// The first text item of the page printed by the named element; null when none.
inline const Item* itemNamed(const Page& p, const std::string& name, int nth = 0) {
    for (const auto& it : p.items)
        if (it.name == name && nth-- == 0) return &it;
    return nullptr;
}

inline int countBands(const Page& p, BandType t) {
    int n = 0;
    for (const auto& b : p.bands) n += b.type == t;
    return n;
}

}  // namespace zuna::report::test
