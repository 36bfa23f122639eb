// Payslip lines and the two-across payslip form.
#include "reports/forms/RptPayslips.h"

#include <cmath>
#include <map>

#include <QString>

#include "app/fmVarGlobal.h"

namespace zuna::report {

namespace {
const char* kAmountMask = "###,###,##0.00";
const char* kUnitsMask = "###,##0.00";
const char* kDaysMask = "###,##0";

std::string money(double v) { return FormatMask(v, kAmountMask); }
double whole(double v) { return static_cast<double>(Trunc(v)); }
}  // namespace

PayslipRow::PayslipRow(Dataset& ds) : ds_(ds) {
    auto c = [&](const std::string& n) { return ds.fieldIndex(n); };
    empno = c("EMPNO"), empdept = c("EMPDEPT"), empbrch = c("EMPBRCH"), payment = c("PAYMENT");
    othernames = c("OTHERNAMES"), surname = c("SURNAME"), pinno = c("PINNO"), bankac = c("BANKAC"), bankref = c("BANKREF");
    nett = c("NETT"), pay = c("PAY"), penTax = c("PEN_TAX"), nssf = c("NSSF"), paye = c("PAYE"), lasc = c("LASC");
    nhif = c("NHIF"), mpr = c("MPR"), pensions = c("PENSIONS"), benefit = c("BENEFIT"), hallow = c("HALLOW");
    rent = c("RENT"), odbfwd = c("ODBFWD"), odlm = c("ODLM"), odcr = c("ODCR"), relcfwd = c("RELCFWD");
    misc9 = c("MISC9"), round = c("ROUND"), totearn = c("TOTEARN"), totded = c("TOTDED"), mortgage2 = c("MORTGAGE2");
    insrlf = c("INSRLF"), osource = c("OSOURCE"), otax = c("OTAX"), accruedDays = c("ACCRUEDDAYS");
    currDays = c("CURRDAYS"), daysTaken = c("DAYSTAKEN"), ytdPens = c("YTD_PENS"), ytdPenc = c("YTD_PENC");
    pensionc = c("PENSIONC");
    for (int n = 1; n <= 25; ++n) e[n] = c("E" + std::to_string(n)), rate[n] = c("RATE" + std::to_string(n));
    for (int n = 1; n <= 15; ++n) d[n] = c("D" + std::to_string(n)), drate[n] = c("DRATE" + std::to_string(n));
    for (int n = 1; n <= 10; ++n) {
        const std::string k = std::to_string(n);
        l[n] = c("L" + k), s[n] = c("S" + k), i[n] = c("I" + k), ln[n] = c("LN" + k), lbal[n] = c("LBAL" + k);
        sbal[n] = c("SBAL" + k);
    }
}

double PayslipRow::num(int idx) const { return idx < 0 ? 0.0 : ds_.value(idx).toDouble(); }
std::string PayslipRow::text(int idx) const { return idx < 0 ? std::string() : Trim(ds_.asString(idx)); }

std::string payslipColumns() {
    std::string cols =
        "b.Empno, b.EmpCat, b.Empbrch, b.Payment, b.Empdept, b.empjobt, b.Othernames, b.Surname, b.Pinno, b.Nett, "
        "b.pay, b.pen_tax, b.nssf, b.paye, b.lasc, b.nhif, b.mpr, b.pensions, b.benefit, b.hallow, b.rent, b.odbfwd, "
        "b.odlm, b.odcr, b.relcfwd, b.misc9, b.round, b.totearn, b.totded, b.Estatus, b.mortgage2, b.Insrlf, "
        "b.osource, b.otax, b.AccruedDays, b.CurrDays, b.DaysTaken, b.ytd_pens, b.ytd_penc, b.pensionc, b.BankRef, "
        "b.BankAc";
    auto fam = [&](const char* p, int n) {
        for (int k = 1; k <= n; ++k) cols += std::string(", a.") + p + std::to_string(k);
    };
    fam("E", 25), fam("Rate", 25), fam("D", 15), fam("DRate", 15), fam("L", 10), fam("S", 10), fam("I", 10);
    fam("LN", 10), fam("LBAL", 10), fam("SBAL", 10);
    return cols;
}

std::vector<PayslipLine> payslipLines(PayslipRow& r, const std::vector<PayCode>& codes, const PayslipSettings& s,
                                      bool three, const BankLookup& bank) {
    std::vector<PayslipLine> out;
    out.reserve(48);
    auto add = [&](SlipLine k, std::string cap, std::string a1 = {}, std::string a2 = {}, std::string a3 = {}) {
        out.push_back(PayslipLine{k, std::move(cap), std::move(a1), std::move(a2), std::move(a3)});
    };
    auto amount = [&](const std::string& cap, double v, bool bold = false) {
        add(bold ? SlipLine::AmountBold : SlipLine::Amount, cap, money(v));
    };
    const bool kenya = s.country == "K";

    // Heading.
    add(SlipLine::Company, s.company);
    add(SlipLine::Title, s.title);
    add(SlipLine::Rule, {});
    add(SlipLine::Text, "Employee No. : " + r.text(r.empdept) + "/" + r.text(r.empno));
    add(SlipLine::Text, (s.country == "U" ? "T.I.N. No. : " : "P.I.N. No. : ") + r.text(r.pinno));
    add(SlipLine::TextBold, (three ? "Name : " : "Employee Name : ") + r.text(r.othernames) + " " + r.text(r.surname));
    add(SlipLine::Rule, {});
    add(SlipLine::ColumnHeads, "E A R N I N G S", "Amount", "Units");

    const double paye = r.num(r.paye);
    auto taxWorking = [&] {
        amount("TOTAL EARNINGS", r.num(r.totearn));
        add(SlipLine::SmallHead, "P.A.Y.E Calculations");
        amount("LIABLE PAY", r.num(r.pay));
        if (kenya && r.num(r.penTax) > 0) amount("LESS:- PENSION/NSSF", whole(r.num(r.penTax)));
        if (r.num(r.mortgage2) > 0) amount("INTEREST PAID", whole(r.num(r.mortgage2)));
        if (r.num(r.benefit) > 0) amount("ADD:- BENEFITS", r.num(r.benefit) * 20);
        if (r.num(r.hallow) + r.num(r.rent) > 0) amount("HOUSING - RENT PAID", r.num(r.hallow) > 0 ? r.num(r.hallow) : 0);
        if (r.num(r.osource) > 0) amount("ADD - OTHER INCOME ", r.num(r.osource));
        if (kenya) amount("CHARGEABLE AMT", r.num(r.round));
        double charged = 0;
        if (paye > 0)
            charged = paye + r.num(r.mpr) + r.num(r.relcfwd) + r.num(r.otax) + r.num(r.insrlf);
        else if (paye == 0)
            charged = r.num(r.mpr) - r.num(r.misc9);
        amount("TAX CHARGED", charged);
        if (r.num(r.mpr) + r.num(r.insrlf) > 0) amount("PERSONAL RELIEF(s)", r.num(r.mpr) + r.num(r.insrlf));
        const double unused = r.num(r.relcfwd) + r.num(r.misc9);
        if (unused > 0) amount("UNUSED RELIEF", paye == 0 ? unused : 0);
        if (r.num(r.otax) > 0) amount("LESS:- OTHER TAX", r.num(r.otax));

        add(SlipLine::SectionHead, "D E D U C T I O N S");
        amount("P.A.Y.E.", paye);
        if (r.num(r.nssf) > 0) amount(s.cnssf, r.num(r.nssf));
        if (r.num(r.nhif) > 0) amount("N.H.I.F.", r.num(r.nhif));
        if (r.num(r.lasc) > 0) amount(s.clasc, r.num(r.lasc));
        if (r.num(r.pensions) > 0) amount("PENSION - SELF", r.num(r.pensions));
        const double odLast = r.num(r.odbfwd) + r.num(r.odlm);
        if (odLast > 0) amount("OVERDRAWN LAST MONTH", odLast);
    };

    std::string loanName[11], savingName[11];
    bool deductions = false;
    for (const PayCode& c : codes) {
        const int f = c.fno;
        if (f > 25 && !deductions) {
            taxWorking();
            deductions = true;
        }
        if (f >= 41 && f <= 50) loanName[f - 40] = c.name;
        if (f >= 51 && f <= 60) savingName[f - 50] = c.name;
        double v = 0, units = 0;
        if (f >= 1 && f <= 25) {
            v = r.num(r.e[f]), units = r.num(r.rate[f]);
        } else if (f >= 26 && f <= 40) {
            v = r.num(r.d[f - 25]), units = r.num(r.drate[f - 25]);
        } else if (f >= 41 && f <= 50) {
            const int n = f - 40;
            v = r.num(r.l[n]);
            // A repayment beyond what is owed shows what was owed.
            if (Round(r.num(r.lbal[n])) + Round(r.num(r.ln[n])) - Round(v) < 0) v = r.num(r.lbal[n]);
        } else if (f >= 51 && f <= 60) {
            v = r.num(r.s[f - 50]);
        } else if (f >= 61 && f <= 70) {
            v = r.num(r.i[f - 60]);
        } else {
            continue;
        }
        if (v == 0) continue;
        add(SlipLine::Amount, c.name, money(v), (f <= 40 && units > 0) ? FormatMask(units, kUnitsMask) : std::string());
    }
    if (!deductions) taxWorking();

    // Totals, payment and the overdraft.
    amount("TOTAL DEDUCTIONS", r.num(r.totded));
    amount("NET PAY DUE ==========>", r.num(r.nett), true);
    const double odcr = r.num(r.odcr);
    const int payment = static_cast<int>(r.num(r.payment));
    if (odcr == 0 && s.bankDetails) {
        static const char* two[] = {"", "Cash", "Cheque", "Bank Transfer"};
        static const char* threeCol[] = {"", "Cash", "By Cheque", "By Bank Transfer"};
        add(SlipLine::Text, std::string("Paid : ") + (payment >= 1 && payment <= 3 ? (three ? threeCol : two)[payment] : ""));
        if (payment == 3) {
            add(SlipLine::Text, "Account : " + r.text(r.bankac));
            add(SlipLine::Text, "Bank : " + bank.name);
            add(SlipLine::Text, "Branch : " + bank.branch);
        }
    }
    if (odcr > 0) amount("OVERDRAWN ==========>", odcr, true);

    // Balances.
    double grand = 0;
    for (int n = 1; n <= 10; ++n)
        grand += r.num(r.l[n]) + r.num(r.ln[n]) + r.num(r.lbal[n]) + r.num(r.sbal[n]) + r.num(r.s[n]);
    const double days = r.num(r.accruedDays) + r.num(r.currDays) - r.num(r.daysTaken);
    const double penc = r.num(r.pensionc) + r.num(r.ytdPenc);
    const double pens = r.num(r.pensions) + r.num(r.ytdPens);
    if (grand > 0 || days > 0 || penc > 0 || pens > 0) add(SlipLine::SummaryHeads, "SUMMARY", "B/F+NEW", "CURR.", "C/FWD");
    for (int n = 1; n <= 10; ++n) {
        const double L = r.num(r.l[n]), LN = r.num(r.ln[n]), LB = r.num(r.lbal[n]);
        if (loanName[n].empty() || L + LN + LB <= 0) continue;
        const double owed = LN + LB;
        if (owed > L)
            add(SlipLine::Summary, loanName[n], money(owed), money(L), money(owed - L));
        else
            add(SlipLine::Summary, loanName[n], money(owed), money(owed), money(0));
    }
    for (int n = 1; n <= 10; ++n) {
        const double SB = r.num(r.sbal[n]), S = r.num(r.s[n]);
        if (savingName[n].empty() || SB + S <= 0) continue;
        add(SlipLine::Summary, savingName[n], money(SB), money(S), money(SB + S));
    }
    if (days > 0)
        add(SlipLine::Summary, "Off Days", FormatMask(r.num(r.accruedDays) + r.num(r.currDays), kDaysMask),
            FormatMask(r.num(r.daysTaken), kDaysMask), FormatMask(days, kDaysMask));
    if (pens > 0)
        add(SlipLine::Summary, "P/F Self", money(r.num(r.ytdPens)), money(r.num(r.pensions)), money(pens));
    if (penc > 0)
        add(SlipLine::Summary, "P/F Company", money(r.num(r.ytdPenc)), money(r.num(r.pensionc)), money(penc));
    if (three) add(SlipLine::Message, s.message);
    return out;
}

// ------------------------------------------------------------------ the row source

// One row per printed line: the employee dataset is read one employee at a time and each
// employee's lines are built when the layout reaches them, so memory does not grow with
// the number of payslips.
class PayslipForm::Source : public RowSource {
public:
    explicit Source(bool three) : three_(three) {}
    void set(Dataset& ds, std::vector<PayCode> codes, PayslipSettings s, std::map<std::string, BankLookup> banks) {
        ds_ = &ds;
        row_ = std::make_unique<PayslipRow>(ds);
        codes_ = std::move(codes), s_ = std::move(s), banks_ = std::move(banks);
        cur_ = {}, prev_ = {};
    }

    enum Field { Key, Branch, Payment, Kind, Caption, A1, A2, A3, Empno };

    bool first() override {
        if (!ds_) return false;
        if (!ds_->active()) ds_->open();
        ds_->first();
        prev_ = {};
        if (ds_->eof()) return false;
        load(cur_);
        pos_ = 0, inPrev_ = false;
        return true;
    }
    bool next() override {
        if (inPrev_) {
            inPrev_ = false;
            pos_ = 0;
            return true;
        }
        if (pos_ + 1 < cur_.lines.size()) {
            ++pos_;
            return true;
        }
        ds_->next();
        if (ds_->eof()) return false;
        prev_ = std::move(cur_);
        load(cur_);
        pos_ = 0;
        return true;
    }
    void prior() override {
        if (inPrev_) return;
        if (pos_ > 0)
            --pos_;
        else if (!prev_.lines.empty())
            inPrev_ = true;
    }
    int fieldIndex(const std::string& name) const override {
        static const char* names[] = {"KEY", "BRANCH", "PAYMENT", "KIND", "CAPTION", "A1", "A2", "A3", "EMPNO"};
        for (int i = 0; i < 9; ++i)
            if (QString::fromStdString(name).compare(names[i], Qt::CaseInsensitive) == 0) return i;
        return -1;
    }
    std::string text(int f) override {
        const Employee& e = inPrev_ ? prev_ : cur_;
        const PayslipLine& l = line();
        switch (f) {
            case Key: return e.key;
            case Branch: return e.branch;
            case Payment: return e.payment;
            case Kind: return std::to_string(static_cast<int>(l.kind));
            case Caption: return l.caption;
            case A1: return l.a1;
            case A2: return l.a2;
            case A3: return l.a3;
            case Empno: return e.empno;
        }
        return {};
    }
    double number(int) override { return 0; }
    const PayslipLine& line() const { return inPrev_ ? prev_.lines.back() : cur_.lines[pos_]; }

private:
    struct Employee {
        std::string key, branch, payment, empno;
        std::vector<PayslipLine> lines;
    };
    void load(Employee& e) {
        PayslipRow& r = *row_;
        e.empno = r.text(r.empno);
        e.branch = r.text(r.empbrch);
        e.payment = r.text(r.payment);
        e.key = (three_ ? e.branch + "\x1f" : std::string()) + r.text(r.empdept) + "\x1f" + e.empno;
        auto b = banks_.find(r.text(r.bankref));
        e.lines = payslipLines(r, codes_, s_, three_, b == banks_.end() ? BankLookup{} : b->second);
    }
    Dataset* ds_ = nullptr;
    std::unique_ptr<PayslipRow> row_;
    std::vector<PayCode> codes_;
    PayslipSettings s_;
    bool three_;
    std::map<std::string, BankLookup> banks_;
    Employee cur_, prev_;
    size_t pos_ = 0;
    bool inPrev_ = false;
};

// ------------------------------------------------------------------ the forms

PayslipForm::PayslipForm(bool threeColumns) : three_(threeColumns) {}
PayslipForm::~PayslipForm() = default;

void PayslipForm::prepare(Dataset& employees, std::vector<PayCode> codes, PayslipSettings settings,
                          std::vector<std::pair<std::string, BankLookup>> banks) {
    settings_ = settings;
    report_.name = settings.title;
    std::map<std::string, BankLookup> m(banks.begin(), banks.end());
    if (!source_) {
        source_ = std::make_unique<Source>(three_);
        build();
    }
    source_->set(employees, std::move(codes), std::move(settings), std::move(m));
}

void PayslipForm::build() {
    Report& r = report_;
    r.setDataSource(source_.get());
    const double W = r.page.columnWidth();
    const double h = three_ ? 25.4 / 8 : 25.4 / 6;  // one line of the text export
    const double size = three_ ? 7 : 9;
    Source* src = source_.get();

    Group& g = r.addGroup("employee", [src] { return src->text(Source::Key); });
    g.header().height = 0;
    if (three_) {
        g.header().beforePrint = [this, src](Band& b) {
            const std::string branch = src->text(Source::Branch), payment = src->text(Source::Payment);
            if (settings_.byPayType ? (payment != lastPayment_ || branch != lastBranch_) : branch != lastBranch_)
                b.breakPageBefore();
            lastBranch_ = branch, lastPayment_ = payment;
            return true;
        };
    }
    // The next payslip starts in a new column.
    g.footer().height = 0;
    g.footer().alignToBottom = true;

    Band& d = r.detail();
    d.height = h;
    auto txt = [src](int f) { return [src, f] { return src->text(f); }; };
    Font normal{"Arial", size, false, false};
    Element& centre = d.addText(txt(Source::Caption), 0, 0, W, h).alignCentre().setFont(normal).named("centre");
    Element& cap = d.addText(txt(Source::Caption), 0, 0, W * 0.52, h).setFont(normal).named("caption");
    Element& capWide = d.addText(txt(Source::Caption), 0, 0, W * 0.70, h).setFont(normal).named("captionWide");
    Element& wide = d.addText(txt(Source::Caption), 0, 0, W, h).setFont(normal).named("text");
    Element& amt = d.addText(txt(Source::A1), W * 0.52, 0, W * 0.28, h).alignRight().setFont(normal).named("amount");
    Element& amtWide = d.addText(txt(Source::A1), W * 0.52, 0, W * 0.48, h).alignRight().setFont(normal).named("amountWide");
    Element& units = d.addText(txt(Source::A2), W * 0.80, 0, W * 0.20, h).alignRight().setFont(normal).named("units");
    Element& sCap = d.addText(txt(Source::Caption), 0, 0, W * 0.26, h).setFont(normal).named("sumName");
    Element& s1 = d.addText(txt(Source::A1), W * 0.26, 0, W * 0.24, h).alignRight().setFont(normal).named("sumBf");
    Element& s2 = d.addText(txt(Source::A2), W * 0.50, 0, W * 0.24, h).alignRight().setFont(normal).named("sumCurr");
    Element& s3 = d.addText(txt(Source::A3), W * 0.74, 0, W * 0.26, h).alignRight().setFont(normal).named("sumCfwd");
    Element& rule = d.addHLine(0, h * 0.3, W).named("rule");
    const double small = three_ ? 6 : 7.5;  // the balances block needs four figures across
    d.beforePrint = [=, &centre, &cap, &capWide, &wide, &amt, &amtWide, &units, &sCap, &s1, &s2, &s3, &rule](Band&) {
        for (Element* e : {&centre, &cap, &capWide, &wide, &amt, &amtWide, &units, &sCap, &s1, &s2, &s3, &rule}) e->visible = false;
        Font f = normal;
        const SlipLine k = src->line().kind;
        auto show = [&](std::initializer_list<Element*> es) {
            for (Element* e : es) e->visible = true, e->font = f;
        };
        switch (k) {
            case SlipLine::Company: f.bold = true, f.size = size + 1; show({&centre}); break;
            case SlipLine::Title: f.bold = true; show({&centre}); break;
            case SlipLine::Rule: rule.visible = true; break;
            case SlipLine::Text: show({&wide}); break;
            case SlipLine::TextBold: f.bold = true; show({&wide}); break;
            case SlipLine::ColumnHeads: f.bold = true; show({&cap, &amt, &units}); break;
            case SlipLine::Amount: show({&cap, &amt, &units}); break;
            case SlipLine::AmountBold: f.bold = true; show({&capWide, &amtWide}); break;
            case SlipLine::SmallHead: f.bold = true, f.size = small; show({&wide}); break;
            case SlipLine::SectionHead: f.bold = true; show({&wide}); break;
            case SlipLine::SummaryHeads: f.bold = true, f.size = small; show({&sCap, &s1, &s2, &s3}); break;
            case SlipLine::Summary: f.size = small; show({&sCap, &s1, &s2, &s3}); break;
            case SlipLine::Message: f.bold = true, f.italic = true, f.size = three_ ? 8 : size; show({&centre}); break;
        }
        return true;
    };
    r.onStart = [this] {
        lastBranch_.clear(), lastPayment_.clear();
        if (source_ && source_->first()) {
            lastBranch_ = source_->text(Source::Branch);
            lastPayment_ = source_->text(Source::Payment);
        }
    };
}

TfmPayslips::TfmPayslips() : PayslipForm(false) {
    PageSetup& p = report_.page;
    p.paper = Paper::A4, p.orientation = Orientation::Portrait;
    p.columns = 2, p.columnGap = 3;
    p.topMargin = p.bottomMargin = 10, p.leftMargin = 10, p.rightMargin = 5;
    description = "Payslips, two to a page.";
}

}  // namespace zuna::report
