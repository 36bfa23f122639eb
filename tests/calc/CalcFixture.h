// A small payroll database for computation tests: prepared, logged in as ADMIN, with the tax
// tables, pay codes and employees each test sets explicitly (the prepared defaults are cleared).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "calc/Zunacalc.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "support/TempDir.h"

namespace zuna::test {

using Fields = std::vector<std::pair<std::string, Value>>;
using Bands = std::vector<std::array<double, 3>>;  // lower, upper, amount

class CalcFixture {
public:
    static constexpr const char* kPassword = "PW";

    // A company of the country whose period is the month given; PERIOD (the month of the tax
    // year) is the month itself unless given.
    CalcFixture(const std::string& country, int year, int month, std::optional<int> period = std::nullopt) {
        PrepareOptions o;
        o.folder = dir_.sub("db");
        o.country = country;
        o.company = "Test Company Ltd";
        o.year = year;
        o.month = month;
        o.password = kPassword;
        PrepareDatabase(o);
        dm_ = std::make_unique<TdmPayroll>(o.folder);
        LoginActivate(*dm_);
        if (!LoginUser(*dm_, "ADMIN", kPassword)) throw std::runtime_error("fixture login refused");
        ActivateMain(*dm_);
        if (period) system({{"PERIOD", Value(*period)}});
        clearReferenceData();
    }

    TdmPayroll& dm() { return *dm_; }
    Database& db() { return dm_->db(); }

    // The company's row of tax parameters: every number 0, then the values given.
    void tax(const Fields& values) {
        Table& m = dm_->payMain;
        m.first();
        m.edit();
        m.setValue("COUNTRY", Value(fmVarGlobal().CountryCode));
        for (int i = 0; i < m.fieldCount(); ++i) {
            const FieldDef& f = m.fieldDef(i);
            if (f.type == FieldType::Float || f.type == FieldType::SmallInt) m.setValue(i, Value(0));
        }
        for (const auto& [n, v] : values) m.setValue(n, v);
        m.post();
    }
    void nhif(const Bands& bands) { setBands(dm_->paynhif, bands, 16, [](int i) {
        return std::array<std::string, 3>{"Nhif" + std::to_string(i), "Nhif0" + std::to_string(i), "Nhif_" + std::to_string(i)};
    }); }
    void lasc(const Bands& bands) { setBands(dm_->paylasc, bands, 10, [](int i) {
        return std::array<std::string, 3>{"LASC" + std::to_string(i), "LASC" + std::to_string(10 + i), "LASC_" + std::to_string(i)};
    }); }
    void system(const Fields& values) { edit(dm_->paysys, values); }

    void code(int fno, bool taxable = true, const std::string& loanType = "0", std::optional<double> intrate = 0.0,
              bool recur = true) {
        Table t(db(), "payrf03");
        t.open();
        t.append();
        t.setInteger("FNO", fno);
        t.setString("FNAME", "Code " + std::to_string(fno));
        t.setBoolean("TAXABLE", taxable);
        t.setBoolean("RECUR", recur);
        t.setString("LOAN_TYPE", loanType);
        if (intrate) t.setFloat("INTRATE", *intrate);
        else t.setNull("INTRATE");
        t.post();
    }

    // An employee (new-record defaults, then the fields given) and, unless withTransactions is
    // false, the transaction record (defaults, then trans).
    void employee(const std::string& empno, const Fields& master, const Fields& trans = {}, bool withTransactions = true) {
        insert("payrf01", empno, master);
        if (withTransactions) insert("payrf00", empno, trans);
    }
    void insert(const std::string& table, const std::string& empno, const Fields& values) {
        Table t(db(), table);
        t.open();
        t.append();
        if (!empno.empty()) t.setString("EMPNO", empno);
        for (const auto& [n, v] : values) t.setValue(n, v);
        t.post();
    }
    void benefit(const std::string& empno, double rate, double vamount, bool active = true) {
        insert("payrf07", empno, {{"CODE", Value(1)}, {"RATE", Value(rate)}, {"VAMOUNT", Value(vamount)}, {"BActive", Value(active)}});
    }
    // Changes fields of rows already stored (where: "EMPNO = 'K001'").
    void update(const std::string& table, const std::string& where, const Fields& values) {
        Table t(db(), table);
        t.setFilter(where);
        t.setFiltered(true);
        t.open();
        for (t.first(); !t.eof(); t.next()) {
            t.edit();
            for (const auto& [n, v] : values) t.setValue(n, v);
            t.post();
        }
    }

    // The main window's activation, then the run, as the compute window does it.
    void compute(Zunacalc* calc = nullptr) {
        ActivateMain(*dm_);
        Zunacalc own(*dm_);
        (calc ? *calc : own).Processpay();
    }

    // One stored value: field of the row where the key fields equal the values.
    Value get(const std::string& table, const std::string& field, const Fields& key) {
        db().flushPending();
        std::string sql = "SELECT \"" + field + "\" FROM " + table + " WHERE ";
        for (size_t k = 0; k < key.size(); ++k) sql += (k ? " AND \"" : "\"") + key[k].first + "\" = ?" + std::to_string(k + 1);
        Stmt s = db().prepare(sql);
        for (size_t k = 0; k < key.size(); ++k) s.bind(static_cast<int>(k + 1), key[k].second);
        if (!s.step()) return Value("<no row>");
        return s.column(0);
    }
    double emp(const std::string& e, const std::string& f) { return num(get("payrf01", f, {{"EMPNO", Value(e)}}), "payrf01", e, f); }
    double trans(const std::string& e, const std::string& f) { return num(get("payrf00", f, {{"EMPNO", Value(e)}}), "payrf00", e, f); }
    double hist(const std::string& e, const std::string& f, const std::string& month = "01") {
        return num(get("payrf04", f, {{"EMPNO", Value(e)}, {"TMONTH", Value(month)}}), "payrf04", e, f);
    }
    double coin(const std::string& e, const std::string& f) { return num(get("payrf05", f, {{"EMPNO", Value(e)}}), "payrf05", e, f); }
    double anal(const std::string& brch, const std::string& dept, const std::string& f, const std::string& table = "payanal") {
        return num(get(table, f, {{"EMPBRCH", Value(brch)}, {"EMPDEPT", Value(dept)}}), table, brch + "/" + dept, f);
    }
    long long count(const std::string& table, const std::string& where = "1") {
        db().flushPending();
        Stmt s = db().prepare("SELECT count(*) FROM " + table + " WHERE " + where);
        s.step();
        return s.columnInt(0);
    }

    // Every stored row of the tables the run writes, in stored order, as text.
    std::string dump() {
        db().flushPending();
        std::ostringstream out;
        for (const char* t : {"payrf01", "payrf00", "payrf04", "payrf05", "payanal", "paytanal", "payrf03", "paysys"}) {
            Stmt s = db().prepare(std::string("SELECT * FROM ") + t + " ORDER BY rowid");
            out << "[" << t << "]\n";
            while (s.step()) {
                for (int i = 0; i < s.columnCount(); ++i) {
                    Value v = s.column(i);
                    out << (v.isNull() ? "NULL" : v.toString()) << ";";
                }
                out << "\n";
            }
        }
        return out.str();
    }

private:
    static double num(const Value& v, const std::string& table, const std::string& key, const std::string& field) {
        if (v.isText() && v.text() == "<no row>") {
            ADD_FAILURE() << "no row " << key << " in " << table << " (field " << field << ")";
            return -999999;
        }
        return v.toDouble();
    }
    void edit(Table& t, const Fields& values) {
        t.first();
        t.edit();
        for (const auto& [n, v] : values) t.setValue(n, v);
        t.post();
    }
    template <class Names>
    void setBands(Table& t, const Bands& bands, int n, Names names) {
        t.first();
        t.edit();
        for (int i = 1; i <= n; ++i) {
            auto f = names(i);
            const bool have = i <= static_cast<int>(bands.size());
            for (size_t k = 0; k < 3; ++k)
                t.setValue(f[k], have ? Value(bands[static_cast<size_t>(i - 1)][k]) : Value(0));
        }
        t.post();
    }
    void clearReferenceData() {
        for (const char* table : {"payrf03", "payrf01", "payrf00", "payrf04", "payrf07", "payrf06", "paytemp0", "paytemp1"}) {
            Table t(db(), table);
            t.open();
            while (t.recordCount() > 0) {
                t.first();
                t.remove();
            }
        }
        nhif({});
        lasc({});
        system({{"LASCACC", Value(0)}, {"HELBACC", Value(0)}, {"BRANCHCHK", Value(false)}});
    }

    TempDir dir_;
    std::unique_ptr<TdmPayroll> dm_;
};

}  // namespace zuna::test
