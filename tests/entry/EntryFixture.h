// A prepared database with the ADMIN user logged in, the pay codes each test declares and a
// tax-parameter row with known hours of a month.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "entry/Eentry.h"
#include "support/TempDir.h"

namespace zuna::test {

struct Code {
    int fno;
    std::string name;
    std::string recType = "K";
    double factor = 0;
    bool recur = true;
    double intRate = 0;
};

class EntryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareOptions o;
        o.folder = dir.sub("db");
        o.company = "Test Company";
        o.password = "pw";
        o.year = 2009;
        o.month = 1;
        PrepareDatabase(o);
        folder = o.folder;
        dm = std::make_unique<TdmPayroll>(folder);
        LoginActivate(*dm);
        ASSERT_TRUE(LoginUser(*dm, "ADMIN", "PW"));
        ActivateMain(*dm);
        fmVarGlobal().TestPayEnabled = false;
        setHours(240, 200);
    }

    void TearDown() override {
        dm.reset();
        auto& g = fmVarGlobal();
        g.UserCategory = "A";
        g.UserLevel = 9;
        g.UserJobGroup = "000";
        g.RoundToWholeUnits = true;
    }

    // The tax-parameter row of the company's country with the given hours of a month.
    void setHours(double hours, double hours2) {
        Table& m = dm->payMain;
        m.setFiltered(false);
        if (m.locate("COUNTRY", Value("K"))) m.edit();
        else {
            m.append();
            m.setString("COUNTRY", "K");
        }
        m.setFloat("HOURS", hours);
        m.setFloat("HOURS2", hours2);
        m.post();
        m.setFilter("Country = 'K'");
        m.setFiltered(true);
    }

    // Replaces the pay codes by these.
    void setCodes(const std::vector<Code>& codes) {
        dm->db().exec("DELETE FROM payrf03");
        Table& p = dm->Paycodes;
        p.refresh();
        for (const Code& c : codes) {
            p.append();
            p.setInteger("FNO", c.fno);
            p.setString("FNAME", c.name);
            p.setString("REC_TYPE", c.recType);
            p.setFloat("FACTOR", c.factor);
            p.setBoolean("RECUR", c.recur);
            p.setFloat("INTRATE", c.intRate);
            p.post();
        }
    }

    // An employee with its transaction record, through the employee window's creation.
    void addEmployee(const std::string& empno, const std::string& surname, const std::string& jobGroup = "",
                     const std::string& status = "A", const std::string& section = "") {
        bool was = dm->payroll.filtered();
        dm->payroll.setFiltered(false);
        CreateEmployee(*dm, empno);
        Table& p = dm->payroll;
        p.edit();
        p.setString("SURNAME", surname);
        p.setString("EMPNAME", surname);
        p.setString("EMPJOBT", jobGroup);
        p.setString("ESTATUS", status);
        p.setString("EMPSECT", section);
        p.post();
        dm->payroll.setFiltered(was);
    }

    // A value as stored, read past every filter and dataset.
    Value stored(const std::string& table, const std::string& empno, const std::string& field) {
        Stmt s = dm->db().prepare("SELECT " + quoteIdent(field) + " FROM " + table + " WHERE EMPNO = ?1");
        s.bind(1, Value(empno));
        return s.step() ? s.column(0) : Value();
    }
    long long count(const std::string& sql) {
        Stmt s = dm->db().prepare(sql);
        return s.step() ? s.columnInt(0) : -1;
    }
    // Sets fields of an employee's transaction record and posts them.
    void setTrans(const std::string& empno, const std::vector<std::pair<std::string, Value>>& values) {
        ASSERT_TRUE(dm->payroll.locate("EMPNO", Value(empno)));
        Table& t = dm->Transactions;
        t.edit();
        for (auto& [f, v] : values) t.setValue(f, v);
        t.post();
    }

    void restrictUser(const std::string& jobGroup) {
        auto& g = fmVarGlobal();
        g.UserCategory = "B";
        g.UserLevel = 5;
        g.UserJobGroup = jobGroup;
    }

    TempDir dir;
    std::string folder;
    std::unique_ptr<TdmPayroll> dm;
};

}  // namespace zuna::test
