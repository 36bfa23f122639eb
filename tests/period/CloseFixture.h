// A small prepared database for month-close tests: ADMIN logged in as the main window would,
// pay codes, employees, transaction records, benefits and tax history set up directly, with the
// result fields an already computed month would have.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "engine/Dataset.h"
#include "support/TempDir.h"

namespace zuna::test {

using Row = std::map<std::string, Value>;

constexpr const char* kPassword = "SECRET";

struct CloseShop {
    TempDir dir;
    std::string folder;
    std::unique_ptr<TdmPayroll> dm;

    explicit CloseShop(const std::string& country = "K", int year = 2009, int month = 1, bool demo = false) {
        folder = dir.sub("db");
        PrepareOptions o;
        o.folder = folder;
        o.country = country;
        o.company = "Close Test Ltd";
        o.year = year;
        o.month = month;
        o.password = kPassword;
        o.demo = demo;
        PrepareDatabase(o);
        open();
        if (!demo) {  // each test declares the pay codes it needs
            db().exec("DELETE FROM payrf03");
            db().bump(db().tableState("payrf03"));
        }
    }

    void open() {
        dm = std::make_unique<TdmPayroll>(folder);
        LoginActivate(*dm);
        if (!LoginUser(*dm, "ADMIN", kPassword)) throw std::runtime_error("fixture login refused");
        ActivateMain(*dm);
    }
    void shut() { dm.reset(); }

    Database& db() { return dm->db(); }

    // Appends one row to a table through a dataset of its own (stored defaults apply).
    void add(const std::string& table, const Row& fields) {
        Table t(db(), table);
        t.open();
        t.append();
        for (const auto& [name, value] : fields) t.setValue(name, value);
        t.post();
    }
    void payCode(int fno, bool recur) {
        add("payrf03", {{"FNO", fno}, {"FNAME", "Code " + std::to_string(fno)}, {"RECUR", recur}});
    }
    // An active employee and his transaction record.
    void employee(const std::string& empno, Row master = {}, Row transactions = {}) {
        master.emplace("EMPNO", empno);
        master.emplace("EMPNAME", "EMPLOYEE " + empno);
        transactions.emplace("EMPNO", empno);
        add("payrf01", master);
        add("payrf00", transactions);
    }

    // The value of one field of the first row matching a condition (values bound in order).
    Value cell(const std::string& table, const std::string& field, const std::string& where = "1",
               const std::vector<Value>& binds = {}) {
        db().flushPending();
        Stmt s = db().prepare("SELECT " + quoteIdent(field) + " FROM " + quoteIdent(table) + " WHERE " + where +
                              " ORDER BY rowid");
        for (size_t i = 0; i < binds.size(); ++i) s.bind(static_cast<int>(i + 1), binds[i]);
        return s.step() ? s.column(0) : Value();
    }
    // One field of every row of a table, in the order the rows were written.
    std::vector<Value> column(const std::string& table, const std::string& field) {
        db().flushPending();
        std::vector<Value> out;
        Stmt s = db().prepare("SELECT " + quoteIdent(field) + " FROM " + quoteIdent(table) + " ORDER BY rowid");
        while (s.step()) out.push_back(s.column(0));
        return out;
    }
    // Sets fields of an employee's row of a table as a window would.
    void set(const std::string& table, const std::string& empno, const Row& fields) {
        Table t(db(), table);
        t.open();
        if (!t.locate("EMPNO", Value(empno))) throw std::runtime_error("fixture: no " + empno + " in " + table);
        t.edit();
        for (const auto& [name, value] : fields) t.setValue(name, value);
        t.post();
    }
    Value of(const std::string& table, const std::string& empno, const std::string& field) {
        return cell(table, field, "EMPNO = ?1", {Value(empno)});
    }
    double num(const std::string& table, const std::string& empno, const std::string& field) {
        return of(table, empno, field).toDouble();
    }
    long long count(const std::string& table, const std::string& where = "1", const std::vector<Value>& binds = {}) {
        db().flushPending();
        Stmt s = db().prepare("SELECT count(*) FROM " + quoteIdent(table) + " WHERE " + where);
        for (size_t i = 0; i < binds.size(); ++i) s.bind(static_cast<int>(i + 1), binds[i]);
        s.step();
        return s.columnInt(0);
    }
    // Every stored row of every table, as text: equal dumps mean an unchanged database.
    std::map<std::string, std::string> dump() {
        db().flushPending();
        std::map<std::string, std::string> out;
        for (const std::string& t : db().tableNames()) {
            std::string rows;
            Stmt s = db().prepare("SELECT * FROM " + quoteIdent(t) + " ORDER BY rowid");
            while (s.step()) {
                for (int i = 0; i < s.columnCount(); ++i) {
                    Value v = s.column(i);
                    rows += v.isNull() ? std::string("<null>") : v.toString();
                    rows += '|';
                }
                rows += '\n';
            }
            out[t] = rows;
        }
        return out;
    }
    Date periodEnd() { return cell("paysys", "EDATE").toDate(); }
};

}  // namespace zuna::test
