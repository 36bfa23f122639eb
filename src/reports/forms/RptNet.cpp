#include "reports/forms/RptNet.h"

#include "app/fmVarGlobal.h"

namespace zuna::report {

namespace {
const char* kAmount = "###,###,##0.00";
const char* kTotal = "###,###,###.00";
}  // namespace

TfmNetpay::TfmNetpay() {
    PageSetup& p = report_.page;
    p.paper = Paper::A4, p.orientation = Orientation::Portrait;
    p.leftMargin = 15, p.rightMargin = 10, p.topMargin = 10, p.bottomMargin = 10;
    build();
}

void TfmNetpay::build() {
    Report& r = report_;
    const double W = r.page.printableWidth();
    const double h = 25.4 / 6;
    auto str = [this](const char* f) {
        return [this, f] { int i = ds_ ? ds_->fieldIndex(f) : -1; return i < 0 ? std::string() : Trim(ds_->asString(i)); };
    };
    auto amount = [this] { return ds_ && amountIdx_ >= 0 ? ds_->value(amountIdx_).toDouble() : 0.0; };

    Band& ph = r.pageHeader();
    ph.height = 7 + 2 * h;
    ph.addText([this] { return s_.company; }, 0, 0, W, 7).alignCentre().fontSize(14).bold();
    ph.addText([this] { return s_.heading; }, 0, 7, W - 30, h).bold().named("heading");
    ph.addText([&r] { return "Page : " + std::to_string(r.pageNumber()); }, W - 30, 7, 30, h).alignRight();

    Band& ch = r.columnHeader();
    ch.height = 2 * h + 1;
    ch.addLabel("Employee", 0, 0, 20, h).bold();
    ch.addLabel("Number", 0, h, 20, h).bold();
    ch.addLabel("Name", 22, h, 70, h).bold();
    ch.addLabel("Net Pay", 95, h, 30, h).bold().alignRight();
    ch.addLabel("Signature", 130, h, 50, h).bold();
    ch.addHLine(0, 2 * h + 0.5, W);

    sum_ = &r.addSum(amount);
    struct G { Group** g; const char* name; const char* key; const char* caption; const char* field; const char* footer; };
    for (G g : {G{&branch_, "branch", "EMPBRCH", "Branch : ", "Branch", "Branch Total : "},
                G{&dept_, "department", "EMPDEPT", "Department : ", "department", "Departmental Total : "},
                G{&sect_, "section", "EMPSECT", "Section : ", "Section", "Section Total : "}}) {
        Group& grp = r.addGroup(g.name, str(g.key));
        *g.g = &grp;
        grp.header().height = h + 1;
        std::string cap = g.caption;
        auto field = str(g.field);
        grp.header().addText([cap, field] { return cap + field(); }, 0, 0.5, 120, h).bold();
        grp.header().beforePrint = [this](Band&) { return s_.sortByDepartment; };
        grp.footer().height = h + 2;
        grp.footer().addLabel(g.footer, 40, 0.5, 55, h).bold().alignRight();
        Group* gp = &grp;
        grp.footer().addNumber([this, gp] { return sum_->group(*gp); }, 95, 0.5, 30, h, kTotal).bold().alignRight();
        grp.footer().addHLine(95, 0.2, 30);
    }

    Band& d = r.detail();
    d.height = h;
    d.addText(str("EMPNO"), 0, 0, 20, h).named("empno");
    d.addText(str("EMPNAME"), 22, 0, 70, h).named("empname");
    d.addNumber(amount, 95, 0, 30, h, kAmount).alignRight().named("net");
    d.addLabel("______________________________", 130, 0, 60, h);

    Band& s = r.summary();
    s.height = 2 * h + 2;
    s.alignToBottom = true;
    s.addHLine(95, 0.5, 30);
    s.addLabel("Company Total : ", 40, 1, 55, h).bold().alignRight();
    s.addNumber([this] { return sum_->total(); }, 95, 1, 30, h, kTotal).bold().alignRight().named("companyTotal");
    s.addText([this] { return "No of Employees : " + std::to_string(sum_->count()); }, 0, 1 + h, 90, h).named("count");

    Band& pf = r.pageFooter();
    pf.height = h;
    pf.addText([this] { return "Printed on : " + (s_.printedOn.empty() ? Today().dmy() + " " + TimeOfDayText() : s_.printedOn); },
               0, 0, 90, h).fontSize(8);
    pf.addText([this] { return s_.heading; }, 90, 0, W - 90, h).fontSize(8).alignRight();
}

void TfmNetpay::prepare(Dataset& rows, const NetpaySettings& s) {
    s_ = s;
    ds_ = &rows;
    report_.name = s.heading;
    report_.setDataset(rows);
    if (!rows.active()) rows.open();
    amountIdx_ = rows.field(s.amountField);
    branch_->enabled = s.branch, dept_->enabled = s.department, sect_->enabled = s.section;
    if (!s.sortByDepartment) branch_->enabled = dept_->enabled = sect_->enabled = false;
    for (Group* g : {branch_, dept_, sect_}) g->header().newPage = s.sortByDepartment;
}

}  // namespace zuna::report
