// A small company for the report tests: our own pay codes, departments, banks and employees
// whose result fields are set directly.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/Session.h"
#include "app/fmVarGlobal.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"
#include "reports/ReportItems.h"
#include "reports/engine/Layout.h"
#include "support/TempDir.h"

namespace zuna::test {

using Fields = std::vector<std::pair<std::string, Value>>;

class ReportsFixture {
public:
    explicit ReportsFixture(const std::string& country = "K", int payType = 1) {
        PrepareOptions o;
        o.folder = dir_.sub("db");
        o.country = country;
        o.company = "Test Company Ltd";
        o.password = "PW";
        PrepareDatabase(o);
        dm_ = std::make_unique<TdmPayroll>(o.folder);
        LoginActivate(*dm_);
        if (!LoginUser(*dm_, "ADMIN", "PW")) throw std::runtime_error("fixture login refused");
        ActivateMain(*dm_);
        fmVarGlobal().TestPayEnabled = false;
        edit(dm_->paysys, {{"PAYTYPE", Value(payType)}, {"BankDetails", Value(true)}, {"CNSSF", Value("N.S.S.F.")},
                           {"CLASC", Value("L.A.S.C.")}, {"COMP_NAME", Value("Test Company Ltd")}});
        clear("payrf03");
        for (auto [fno, name] : std::vector<std::pair<int, const char*>>{
                 {1, "Basic Pay"}, {2, "House Allowance"}, {3, "Overtime"}, {26, "Advance"}, {27, "Welfare"},
                 {41, "Staff Loan"}, {51, "Sacco"}})
            insert("payrf03", {{"FNO", Value(fno)}, {"FNAME", Value(name)}});
        clear("paydept");
        insert("paydept", {{"CODE", Value("ADM")}, {"DEPARTMENT", Value("Administration")}});
        insert("paydept", {{"CODE", Value("OPS")}, {"DEPARTMENT", Value("Operations")}});
        clear("payrf02");
        clear("payrf02m");
        insert("payrf02m", {{"CODE", Value("01")}, {"DESCRIPTION", Value("Lake Region Bank")}});
        insert("payrf02", {{"BANK", Value("01")}, {"CODE", Value("001")}, {"BANKREF", Value("B1")}, {"BRANCH", Value("Kisumu")}});
    }

    TdmPayroll& dm() { return *dm_; }
    void system(const Fields& v) { edit(dm_->paysys, v); }

    void employee(const std::string& empno, Fields master, const Fields& trans = {}) {
        Fields m = {{"EMPNO", Value(empno)}, {"EMPDEPT", Value("ADM")}, {"EMPBRCH", Value("001")},
                    {"SURNAME", Value("Surname" + empno)}, {"OTHERNAMES", Value("Given")},
                    {"EMPNAME", Value("Given Surname" + empno)}, {"PINNO", Value("P" + empno)}};
        m.insert(m.end(), master.begin(), master.end());
        insert("payrf01", m);
        Fields t = {{"EMPNO", Value(empno)}};
        t.insert(t.end(), trans.begin(), trans.end());
        insert("payrf00", t);
    }

    void insert(const std::string& table, const Fields& values) {
        Table t(dm_->db(), table);
        t.open();
        t.append();
        for (const auto& [n, v] : values) t.setValue(n, v);
        t.post();
    }
    void clear(const std::string& table) {
        Table t(dm_->db(), table);
        t.open();
        while (t.recordCount() > 0) {
            t.first();
            t.remove();
        }
    }
    static void edit(Table& t, const Fields& values) {
        t.first();
        t.edit();
        for (const auto& [n, v] : values) t.setValue(n, v);
        t.post();
    }

    // The current report as plain text, with the export's own settings.
    static std::string text(report::ReportPreparer& p) {
        report::Document doc = report::layout(*p.current());
        return report::renderText(doc, p.textOptions());
    }

private:
    TempDir dir_;
    std::unique_ptr<TdmPayroll> dm_;
};

// The rows of a text rendering that contain a text, each with runs of blanks squeezed to one.
inline std::vector<std::string> rowsWith(const std::string& text, const std::string& what) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\n\f", start);
        if (end == std::string::npos) end = text.size();
        std::string row = text.substr(start, end - start);
        std::string squeezed;
        for (char c : row)
            if (!(c == ' ' && (squeezed.empty() || squeezed.back() == ' '))) squeezed += c;
        while (!squeezed.empty() && squeezed.back() == ' ') squeezed.pop_back();
        if (squeezed.find(what) != std::string::npos) out.push_back(squeezed);
        start = end + 1;
    }
    return out;
}

}  // namespace zuna::test
