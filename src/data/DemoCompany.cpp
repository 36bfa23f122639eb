// The demo company: code lists, banks, thirty employees and their month. Every figure is made
// up; the mix is chosen so that each stage of the computation has something to do: joiner and
// leaver pro-rating, housing with rent, pensions (one through an alternative scheme), union and
// COTU dues, insurance relief, an owner occupier, loans (one at low interest), savings, benefits
// in kind, overtime from hours, a mid-month advance, all three modes of payment.
#include "data/DemoCompany.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "app/fmVarGlobal.h"
#include "data/EmployeeRecords.h"
#include "data/Prepare.h"
#include "data/ZunaData.h"

namespace zuna {

namespace {

struct Staff {
    const char* empno;
    const char* surname;
    const char* othernames;
    int sex;      // 0 male, 1 female
    int mstatus;  // 0 single, 1 married
    int branch;   // index into the branches of the country
    const char* dept;
    const char* sect;
    const char* job;
    int category;  // 0 other, 1 junior management, 2 senior management
    double basic;  // monthly, in Kenya shillings; scaled for other currencies
    double house;
    int payment;  // 1 cash, 2 cheque, 3 bank transfer
};

const Staff kStaff[] = {
    {"0001", "KAMAU", "PETER NJOROGE", 0, 1, 0, "ADM", "HRS", "M01", 2, 185000, 45000, 3},
    {"0002", "ODHIAMBO", "GRACE AKINYI", 1, 1, 0, "FIN", "ACC", "M01", 2, 150000, 35000, 3},
    {"0003", "WANJIKU", "MARY NYAMBURA", 1, 0, 0, "ADM", "HRS", "M01", 2, 120000, 28000, 3},
    {"0004", "MUTUA", "JOSEPH KIOKO", 0, 1, 0, "FIN", "ACC", "S01", 1, 68000, 15000, 3},
    {"0005", "CHEBET", "RUTH JEPKOECH", 1, 1, 0, "SAL", "CUS", "S01", 1, 72000, 16000, 3},
    {"0006", "OTIENO", "SAMUEL OUMA", 0, 0, 0, "OPS", "STO", "S01", 1, 55000, 12000, 3},
    {"0007", "NJERI", "ANN WAMBUI", 1, 0, 0, "FIN", "ACC", "C01", 0, 38000, 8000, 3},
    {"0008", "KIPROTICH", "DANIEL KIBET", 0, 1, 0, "OPS", "TRN", "T01", 0, 32000, 7000, 2},
    {"0009", "ACHIENG", "BEATRICE ADHIAMBO", 1, 0, 0, "SAL", "CUS", "C01", 0, 30000, 6500, 3},
    {"0010", "MWANGI", "JOHN KARIUKI", 0, 1, 0, "OPS", "SCT", "S01", 1, 28000, 0, 1},
    {"0011", "HASSAN", "ALI OMAR", 0, 1, 1, "OPS", "STO", "S01", 1, 52000, 11000, 3},
    {"0012", "MWAKA", "FATUMA ZAWADI", 1, 1, 1, "SAL", "CUS", "C01", 0, 29000, 6000, 3},
    {"0013", "BARASA", "MOSES WEKESA", 0, 0, 1, "OPS", "PRD", "T01", 0, 34000, 7000, 3},
    {"0014", "KAHINDI", "JOYCE MAPENZI", 1, 0, 1, "FIN", "ACC", "C01", 0, 27000, 6000, 2},
    {"0015", "NDUNGU", "PAUL GITAU", 0, 1, 1, "OPS", "SCT", "G01", 0, 18000, 0, 1},
    {"0016", "KARISA", "SAIDI CHARO", 0, 1, 1, "OPS", "PRD", "G01", 0, 16500, 3500, 1},
    {"0017", "WAFULA", "ESTHER NAFULA", 1, 1, 1, "ADM", "HRS", "C01", 0, 31000, 6500, 3},
    {"0018", "OMONDI", "GEORGE OKOTH", 0, 0, 2, "OPS", "TRN", "T01", 0, 26000, 5500, 3},
    {"0019", "AWINO", "LILIAN ATIENO", 1, 0, 2, "SAL", "CUS", "C01", 0, 24000, 5000, 3},
    {"0020", "KIMANI", "STEPHEN MACHARIA", 0, 1, 2, "OPS", "PRD", "S01", 1, 46000, 10000, 3},
    {"0021", "NAFULA", "AGNES NEKESA", 1, 1, 2, "FIN", "ACC", "C01", 0, 28500, 6000, 3},
    {"0022", "OCHIENG", "BRIAN OTIENO", 0, 0, 2, "OPS", "STO", "G01", 0, 17000, 3500, 1},
    {"0023", "MUTHONI", "CAROLINE WANJIRU", 1, 0, 2, "SAL", "CUS", "C01", 0, 23000, 5000, 3},
    {"0024", "ONYANGO", "FREDRICK OMOLO", 0, 1, 2, "OPS", "TRN", "T01", 0, 25000, 5000, 2},
    {"0025", "JUMA", "RASHID SALIM", 0, 1, 0, "OPS", "TRN", "T01", 0, 24500, 5000, 1},
    {"0026", "KORIR", "NANCY CHEPKEMOI", 1, 0, 0, "ADM", "HRS", "C01", 0, 26000, 5500, 3},
    {"0027", "MAINA", "DAVID KAMAU", 0, 0, 0, "FIN", "ACC", "C01", 0, 22000, 4500, 3},
    {"0028", "WERE", "SHARON AUMA", 1, 0, 1, "SAL", "CUS", "C01", 0, 27500, 6000, 3},
    {"0029", "LANGAT", "KEVIN KIPKORIR", 0, 0, 2, "OPS", "PRD", "T01", 0, 33000, 7000, 3},
    {"0030", "ATIENO", "PAMELA AKOTH", 1, 1, 1, "OPS", "STO", "G01", 0, 17500, 3500, 1},
};

struct Place {
    const char* code;
    const char* name;
};

// Branch codes and towns of each country; the first is the head office.
const std::map<std::string, std::vector<Place>>& branchesByCountry() {
    static const std::map<std::string, std::vector<Place>> m = {
        {"K", {{"NBI", "Nairobi"}, {"MSA", "Mombasa"}, {"KSM", "Kisumu"}}},
        {"U", {{"KLA", "Kampala"}, {"JIN", "Jinja"}, {"MBR", "Mbarara"}}},
        {"T", {{"DAR", "Dar es Salaam"}, {"ARU", "Arusha"}, {"MWZ", "Mwanza"}}},
        {"R", {{"KGL", "Kigali"}, {"HUY", "Huye"}, {"MUS", "Musanze"}}},
    };
    return m;
}

// How many units of the country's currency make one Kenya shilling of the demo's figures.
double currencyScale(const std::string& country) {
    if (country == "U") return 30;
    if (country == "T") return 20;
    if (country == "R") return 8;
    return 1;
}

class Demo {
public:
    explicit Demo(TdmPayroll& dm) : dm_(dm), db_(dm.db()) {
        dm_.paysys.first();
        country_ = Trim(dm_.paysys.asString("COUNTRY"));
        sdate_ = dm_.paysys.asDate("SDATE");
        edate_ = dm_.paysys.asDate("EDATE");
        scale_ = currencyScale(country_);
        auto it = branchesByCountry().find(country_);
        if (it == branchesByCountry().end()) throw EngineError("No demo company for country " + country_);
        branches_ = it->second;
        Table tax(db_, "payrf08");
        tax.open();
        hours_ = tax.lookupValue("COUNTRY", {Value(country_)}, "HOURS").toDouble();
        hours2_ = tax.lookupValue("COUNTRY", {Value(country_)}, "HOURS2").toDouble();
    }

    void run() {
        codeLists();
        banks();
        company();
        employees();
        benefits();
        personnel();
        message();
    }

private:
    // An amount of the demo in the country's currency, in whole hundreds outside Kenya.
    double money(double kes) const {
        if (scale_ == 1) return kes;
        return static_cast<double>(Round(kes * scale_ / 100) * 100);
    }
    Date inPeriod(int day) const { return Date(edate_.year, edate_.month, std::min(day, edate_.day)); }
    Date yearsAgo(int years, int month, int day) const { return Date(edate_.year - years, month, day); }

    void codeLists() {
        for (const Place& b : branches_) {
            dm_.taBranch.append();
            dm_.taBranch.setString("CODE", b.code);
            dm_.taBranch.setString("DESCRIPTION", b.name);
            dm_.taBranch.post();
        }
        // Names are typed in capitals here on purpose: the tables store them title-cased.
        struct Code {
            Table& t;
            const char* field;
            std::vector<Place> rows;
        };
        for (const Code& c : {Code{dm_.Departments, "DEPARTMENT",
                                   {{"ADM", "ADMINISTRATION"}, {"FIN", "FINANCE"}, {"OPS", "OPERATIONS"},
                                    {"SAL", "SALES AND MARKETING"}}},
                              Code{dm_.Sections, "SECTION",
                                   {{"ACC", "ACCOUNTS"}, {"HRS", "HUMAN RESOURCES"}, {"STO", "STORES"},
                                    {"TRN", "TRANSPORT"}, {"CUS", "CUSTOMER SERVICE"}, {"PRD", "PRODUCTION"},
                                    {"SCT", "SECURITY"}}},
                              Code{dm_.Jobtitles, "JOBTITLE",
                                   {{"M01", "MANAGEMENT"}, {"S01", "SUPERVISORY"}, {"C01", "CLERICAL"},
                                    {"T01", "TECHNICAL"}, {"G01", "GENERAL SUPPORT"}}}}) {
            for (const Place& r : c.rows) {
                c.t.append();
                c.t.setString("CODE", r.code);
                c.t.setString(c.field, r.name);
                c.t.post();
            }
        }
        struct Course {
            const char* table;
            const char* code;
            const char* description;
        };
        for (const Course& c : {Course{"payrf13", "CPA", "Certified Public Accountant"},
                                Course{"payrf13", "FAID", "First Aid"},
                                Course{"payrf13", "DRV", "Defensive Driving"},
                                Course{"payrf13", "SUP", "Supervisory Skills"},
                                Course{"payrf15", "DEG", "Bachelor's Degree"},
                                Course{"payrf15", "DIP", "Diploma"},
                                Course{"payrf15", "CERT", "Certificate"},
                                Course{"payrf15", "SEC", "Secondary School"}}) {
            Table& t = std::string(c.table) == "payrf13" ? dm_.Courses : dm_.Academics;
            t.append();
            t.setString("Code", c.code);
            t.setString("Description", c.description);
            t.post();
        }
        struct Benefit {
            int code;
            const char* description;
            double rate;  // prescribed value, pounds
            double factor;
        };
        for (const Benefit& b : {Benefit{1, "Motor Car", 0, 2}, Benefit{2, "Furniture", 0, 1},
                                 Benefit{3, "Telephone", 150, 0}, Benefit{4, "House Servant", 150, 0},
                                 Benefit{5, "Water And Electricity", 100, 0}}) {
            dm_.Benefits.append();
            dm_.Benefits.setInteger("CODE", b.code);
            dm_.Benefits.setString("DESCRIPTION", b.description);
            dm_.Benefits.setFloat("RATE", money(b.rate));
            dm_.Benefits.setFloat("FACTOR", b.factor);
            dm_.Benefits.post();
        }
    }

    void banks() {
        struct Bank {
            const char* code;
            const char* name;
            const char* abbr;
        };
        const Bank banks[] = {{"01", "Harambee Trust Bank", "HTB"},
                              {"02", "Savanna Commercial Bank", "SCB"},
                              {"03", "Lake Region Bank", "LRB"}};
        for (const Bank& b : banks) {
            dm_.taBanks.append();
            dm_.taBanks.setString("CODE", b.code);
            dm_.taBanks.setString("DESCRIPTION", b.name);
            dm_.taBanks.setString("BANKABBR", b.abbr);
            dm_.taBanks.post();
        }
        // Two branches of each bank, in the head-office town and in one other.
        int n = 0;
        for (const Bank& b : banks) {
            const int bank = static_cast<int>(&b - banks);
            for (int k = 0; k < 2; ++k, ++n) {
                const Place& town = branches_[static_cast<size_t>(k == 0 ? 0 : 1 + bank % 2)];
                dm_.PayBanks.append();
                dm_.PayBanks.setString("BANK", b.code);
                dm_.PayBanks.setString("CODE", std::string(b.code) + (k == 0 ? "100" : "2" + std::to_string(10 + n)));
                dm_.PayBanks.setString("BRANCH", std::string(town.name) + (k == 0 ? " Main" : ""));
                dm_.PayBanks.setString("ADRS1", "P.O. Box " + std::to_string(30100 + 17 * n));
                dm_.PayBanks.setString("ADRS2", town.name);
                dm_.PayBanks.post();
                std::string ref = Trim(dm_.PayBanks.asString("BANKREF"));
                if (ref.empty()) throw EngineError("demo: a bank branch got no internal reference");
                bankRefs_.push_back(ref);
            }
        }
    }

    void company() {
        dm_.paysys.first();
        dm_.paysys.edit();
        dm_.paysys.setString("ADDRESS1", "P.O. Box 40512");
        dm_.paysys.setString("ADDRESS2", branches_[0].name);
        dm_.paysys.setString("TELEPHONE", "0700 555 100");
        dm_.paysys.setString("FAX", "0700 555 101");
        dm_.paysys.setString("EMAIL", "payroll@demo.example");
        dm_.paysys.setString("PINNO", "P051234567X");
        dm_.paysys.setString("BANK", bankRefs_[0]);
        dm_.paysys.setString("ACCOUNT", "0100123456789");
        dm_.paysys.setString("COMP_NSSF", "NSSF-0123456");
        dm_.paysys.setString("COMP_PAYE", "PAYE-01234");
        dm_.paysys.setString("COMP_LASC", "LASC-0123");
        dm_.paysys.setString("COMP_NHIF", "NHIF-01234");
        dm_.paysys.setString("EMPLNO", kStaff[std::size(kStaff) - 1].empno);
        dm_.paysys.setFloat("MINHOUSING", money(3000));
        dm_.paysys.setInteger("LEAVEDAYS", 21);
        dm_.paysys.setBoolean("BankDetails", true);
        dm_.paysys.post();
    }

    void employees() {
        EmployeeRecordMaker maker(db_);
        Table trans(db_, "payrf00");
        trans.open();
        int i = 0;
        for (const Staff& s : kStaff) {
            ++i;
            const std::string no = s.empno;
            Table& e = dm_.payroll;
            e.append();
            e.setString("EMPNO", no);
            e.setString("EMPCOMP", "001");
            e.setString("EMPBRCH", branches_[static_cast<size_t>(s.branch)].code);
            e.setString("EMPDEPT", s.dept);
            e.setString("EMPSECT", s.sect);
            e.setString("EMPJOBT", s.job);
            e.setInteger("EMPCAT", s.category);
            e.setString("STAFFNO", "S" + no);
            e.setString("SURNAME", s.surname);
            e.setString("OTHERNAMES", s.othernames);
            e.setString("EMPNAME", std::string(s.othernames) + " " + s.surname);
            e.setString("PINNO", "A00" + std::to_string(4810000 + 137 * i) + "K");
            e.setString("IDNO", std::to_string(21000000 + 7919 * i));
            e.setString("NSSFNO", std::to_string(300100000 + 4421 * i));
            e.setString("NHIFNO", std::to_string(5100000 + 311 * i));
            e.setString("PAYENO", "PY" + std::to_string(70000 + i));
            e.setInteger("SEX", s.sex);
            e.setInteger("MSTATUS", s.mstatus);
            // Two staff have their birthday in the period month.
            int birthMonth = (no == "0007" || no == "0019") ? edate_.month : 1 + (i * 5) % 12;
            e.setDate("BIRTHDATE", yearsAgo(24 + (i * 7) % 32, birthMonth, 1 + (i * 3) % 28));
            e.setDate("ENGDATE", yearsAgo(1 + (i * 3) % 14, 1 + (i * 7) % 12, 1 + (i * 11) % 28));
            e.setString("ADDRESS1", std::to_string(10000 + 97 * i));
            e.setString("ADDRESS2", branches_[static_cast<size_t>(s.branch)].name);
            e.setString("TELEPHONE", "0722 " + std::to_string(100000 + 4217 * i));
            e.setString("NextofKin", s.mstatus == 1 ? "SPOUSE OF " + std::string(s.surname) : "PARENT OF " + std::string(s.surname));
            e.setString("Relationship", s.mstatus == 1 ? "Spouse" : "Parent");
            e.setInteger("PAYMENT", s.payment);
            if (s.payment == 3) {
                e.setString("BANKREF", bankRefs_[static_cast<size_t>((i * 5) % bankRefs_.size())]);
                e.setString("BANKAC", "01" + std::to_string(1000300 + 1531 * i));
            }
            if (country_ == "U") e.setBoolean("LAFLAG", true);  // local service tax, charged in July
            masterExtras(e, no);
            e.post();

            maker.create(no);
            if (!trans.locate("EMPNO", Value(no))) throw EngineError("demo: no transaction record for " + no);
            trans.edit();
            trans.setFloat("E1", money(s.basic));
            trans.setFloat("E2", money(s.house));
            const double hours = std::string(s.sect) == "SCT" ? hours2_ : hours_;
            transactionExtras(trans, no, money(s.basic), hours);
            trans.post();
        }
    }

    // Flags, reliefs and special cases of single employees.
    void masterExtras(Table& e, const std::string& no) {
        auto is = [&](std::initializer_list<const char*> list) {
            for (const char* n : list)
                if (no == n) return true;
            return false;
        };
        if (is({"0001", "0002", "0003", "0004", "0005", "0006", "0011", "0020"})) e.setBoolean("PENFLAG", true);
        if (no == "0002") {
            e.setInteger("ALTPENS", 52);  // pays into the company pension scheme instead of the percentage
            e.setString("PENSACCNO", "PS-2002-0417");
        }
        if (no == "0003") {
            e.setFloat("PFSELF", 7.5);
            e.setFloat("PFCOMP", 15);
        }
        if (is({"0007", "0008", "0009", "0010", "0012", "0013", "0014", "0015", "0016", "0018", "0019", "0021",
                "0022", "0023", "0024", "0025"}))
            e.setBoolean("UNFLAG", true);
        struct Policy {
            const char* empno;
            double premium;  // a year
        };
        for (const Policy& p : {Policy{"0001", 60000}, Policy{"0004", 36000}, Policy{"0011", 24000},
                                Policy{"0020", 18000}, Policy{"0026", 12000}}) {
            if (no != p.empno) continue;
            e.setString("INS_POLICY", "LIFE-" + no + "-" + std::to_string(edate_.year - 3));
            e.setFloat("INSURANCE", money(p.premium));
        }
        if (no == "0001") {
            e.setBoolean("MORTGAGE", true);  // owner occupier, interest above the relief's cap
            e.setFloat("MORTINT", money(15000));
        }
        if (no == "0010" || no == "0015") {
            e.setBoolean("HOUSED", true);
            e.setFloat("RENT", money(no == "0010" ? 1000 : 500));
            e.setFloat("DROUGHT", money(no == "0010" ? 6000 : 4000));  // the actual rent of the house
        }
        if (no == "0004" || no == "0017") {
            e.setBoolean("NSFLAG2", true);
            e.setFloat("VNSSF", money(no == "0004" ? 500 : 300));
        }
        if (no == "0005") {
            e.setFloat("OSOURCE", money(20000));  // emoluments from a second employment
            e.setFloat("OTAX", money(2500));
        }
        if (no == "0026") e.setBoolean("REXEMPT", true);
        if (no == "0024") e.setFloat("ODBFWD", money(1200));
        if (no == "0017") e.setFloat("TAXADJ", money(500));
        if (no == "0006") e.setInteger("CurrDays", 2);
        if (no == "0008") {
            e.setInteger("AccruedDays", 5);
            e.setInteger("CurrDays", 2);
            e.setInteger("DaysTaken", 3);
        }
        if (no == "0027" && StudentLoanCode(country_)) {
            e.setString("UREGNO", "HL/2005/04417");
            e.setString("UNIVERSITY", "University Of The Highlands");
        }
        if (no == "0028") e.setDate("TERDATE", inPeriod(20));  // leaves during the period
        if (no == "0029") e.setDate("ENGDATE", inPeriod(11));  // joins during the period
        if (no == "0030") {
            // Left before this period: kept in the file, no longer active.
            e.setDate("TERDATE", sdate_.addDays(-12));
            e.setString("ESTATUS", "D");
        }
    }

    // The month's input beside basic pay and house allowance.
    void transactionExtras(Table& t, const std::string& no, double basic, double hours) {
        auto set = [&](const std::string& f, double v) { t.setFloat(f, v); };
        // Overtime from hours: basic / hours of the month x hours x factor.
        auto overtime = [&](int code, double factor, double qty) {
            set("RATE" + std::to_string(code), qty);
            set("E" + std::to_string(code), static_cast<double>(UnitRound(basic / hours * qty * factor, true)));
        };
        struct Hours {
            const char* empno;
            double at15, at2;
        };
        for (const Hours& h : {Hours{"0008", 12, 0}, Hours{"0010", 16, 8}, Hours{"0013", 10, 0}, Hours{"0015", 0, 8},
                               Hours{"0016", 20, 4}, Hours{"0018", 6, 4}, Hours{"0022", 8, 0}}) {
            if (no != h.empno) continue;
            if (h.at15 > 0) overtime(5, 1.5, h.at15);
            if (h.at2 > 0) overtime(6, 2, h.at2);
        }
        struct Amount {
            const char* empno;
            const char* field;
            double kes;
        };
        static const Amount amounts[] = {
            // Earnings
            {"0004", "E3", 6000}, {"0005", "E3", 8000}, {"0006", "E3", 5000}, {"0011", "E3", 5000},
            {"0020", "E3", 6000}, {"0006", "E8", 4000}, {"0005", "E9", 12000}, {"0009", "E9", 4500},
            {"0012", "E9", 3800}, {"0005", "E12", 3500}, {"0008", "E7", 3000}, {"0024", "E7", 2500},
            {"0003", "E4", 15000},
            // Deductions: mid-month advance, canteen
            {"0009", "D1", 5000}, {"0016", "D1", 3000}, {"0022", "D1", 4000}, {"0013", "D3", 1200},
            {"0018", "D3", 800},
            // Loans: staff loan (slot 1), car loan at low interest (2), emergency (3), student (4), mortgage (5)
            {"0004", "LBAL1", 120000}, {"0004", "L1", 10000}, {"0013", "LBAL1", 30000}, {"0013", "L1", 3000},
            {"0021", "LN1", 20000}, {"0021", "L1", 2000}, {"0002", "LBAL2", 800000}, {"0002", "L2", 25000},
            {"0006", "LBAL2", 350000}, {"0006", "L2", 12000}, {"0016", "LBAL3", 6000}, {"0016", "L3", 2000},
            {"0025", "LBAL3", 1500}, {"0025", "L3", 2000}, {"0001", "LBAL5", 2500000}, {"0001", "L5", 45000},
            // Savings: provident fund (1), pension scheme (2), sacco (3)
            {"0004", "S1", 3000}, {"0004", "SBAL1", 36000}, {"0011", "S1", 2500}, {"0011", "SBAL1", 15000},
            {"0020", "S1", 2000}, {"0020", "SBAL1", 10000}, {"0002", "S2", 7500}, {"0002", "SBAL2", 90000},
            {"0007", "S3", 2000}, {"0007", "SBAL3", 24000}, {"0012", "S3", 1500}, {"0012", "SBAL3", 9000},
            {"0017", "S3", 2500}, {"0017", "SBAL3", 5000}, {"0023", "S3", 1000}, {"0023", "SBAL3", 4000},
        };
        for (const Amount& a : amounts)
            if (no == a.empno) set(a.field, money(a.kes));
        static const std::pair<const char*, const char*> periods[] = {
            {"0004", "SPER1"}, {"0011", "SPER1"}, {"0020", "SPER1"}, {"0002", "SPER2"},
            {"0007", "SPER3"}, {"0012", "SPER3"}, {"0017", "SPER3"}, {"0023", "SPER3"},
        };
        for (const auto& [empno, field] : periods)
            if (no == empno) t.setInteger(field, 12 - (std::stoi(no) % 7));
        if (int helb = StudentLoanCode(country_); helb && (no == "0027" || no == "0019")) {
            const std::string slot = std::to_string(helb - 40);
            set("LBAL" + slot, money(no == "0027" ? 85000 : 40000));
            set("L" + slot, money(no == "0027" ? 3500 : 2000));
        }
        // A standing staff-welfare contribution of the unionised staff (the union and COTU dues
        // slots are filled by the computation from the union scale).
        static const char* const members[] = {"0007", "0008", "0009", "0010", "0012", "0013", "0014", "0015",
                                              "0016", "0018", "0019", "0021", "0022", "0023", "0024", "0025"};
        for (const char* m : members)
            if (no == m) set("D2", money(200));
    }

    void benefits() {
        struct Held {
            const char* empno;
            int code;
            double value;  // cost of a car or furniture, monthly value otherwise
            double rate;   // pounds
            bool active;
        };
        Table t(db_, "payrf07");
        t.open();
        for (const Held& h : {Held{"0001", 1, 2400000, 0, true}, Held{"0001", 4, 2000, 150, true},
                              Held{"0002", 2, 500000, 0, true}, Held{"0003", 3, 4000, 150, true},
                              Held{"0006", 1, 1200000, 0, false}, Held{"0011", 5, 1500, 100, true}}) {
            t.append();
            t.setString("EMPNO", h.empno);
            t.setInteger("CODE", h.code);
            t.setDate("BENDATE", yearsAgo(1, 1 + h.code, 1));
            t.setFloat("VAMOUNT", money(h.value));
            t.setFloat("RATE", money(h.rate));
            t.setInteger("COUNTER", h.active ? edate_.month - 1 : 0);
            t.setBoolean("BActive", h.active);
            t.setFloat("YTDAMOUNT", 0);
            t.setFloat("ACCRAMOUNT", 0);
            t.post();
        }
    }

    void personnel() {
        Table family(db_, "payrf12");
        family.open();
        struct Member {
            const char* empno;
            const char* relation;
            const char* name;
            const char* sex;
            int yearsOld;
        };
        for (const Member& m : {Member{"0001", "Spouse", "JANE WANGARI KAMAU", "Female", 48},
                                Member{"0001", "Child", "BRIAN NJOROGE KAMAU", "Male", 17},
                                Member{"0004", "Spouse", "MARTHA MWIKALI", "Female", 39},
                                Member{"0008", "Child", "FAITH CHEBET", "Female", 9}}) {
            family.append();
            family.setString("EmpNo", m.empno);
            family.setString("RelationShip", m.relation);
            family.setString("Name", m.name);
            family.setString("Sex", m.sex);
            family.setDate("DateofBirth", yearsAgo(m.yearsOld, 3, 14));
            family.post();
        }
        Table courses(db_, "payrf10");
        courses.open();
        struct Attended {
            const char* empno;
            const char* code;
            const char* place;
            const char* grade;
        };
        for (const Attended& a : {Attended{"0008", "DRV", "Head Office", "A"}, Attended{"0010", "FAID", "Head Office", "B"},
                                  Attended{"0006", "SUP", "Training", "B+"}}) {
            courses.append();
            courses.setString("Empno", a.empno);
            courses.setDate("FromDate", yearsAgo(1, 6, 2));
            courses.setDate("Todate", yearsAgo(1, 6, 6));
            courses.setString("Code", a.code);
            courses.setString("Place", a.place);
            courses.setString("Grade", a.grade);
            courses.post();
        }
        Table education(db_, "payrf11");
        education.open();
        education.append();
        education.setString("Empno", "0002");
        education.setDate("Date", yearsAgo(15, 11, 30));
        education.setString("Code", "CPA");
        education.setString("Grade", "Pass");
        education.setString("Comment", "Final level");
        education.post();
    }

    void message() {
        dm_.taMessages.setFiltered(false);
        dm_.taMessages.append();
        dm_.taMessages.setString("TMonth", MonthKey(edate_.month));
        dm_.taMessages.setString("TYear", std::to_string(edate_.year));
        dm_.taMessages.setString("TMessage",
                                 "Salaries are paid on the last working day. Please check your bank details with HR.");
        dm_.taMessages.post();
    }

    TdmPayroll& dm_;
    Database& db_;
    std::string country_;
    Date sdate_, edate_;
    double scale_ = 1;
    double hours_ = 0, hours2_ = 0;
    std::vector<Place> branches_;
    std::vector<std::string> bankRefs_;
};

}  // namespace

void AddDemoCompany(TdmPayroll& dm) {
    Transaction t(dm.db());
    Demo(dm).run();
    t.commit();
}

}  // namespace zuna
