// Preparing a new payroll database: the tables, the system parameters, the example tax tables
// of the four countries, the NHIF and LASC bands, the standard pay codes and the first user.
#include "data/Prepare.h"

#include <filesystem>

#include "app/fmVarGlobal.h"
#include "data/Catalogue.h"
#include "data/DemoCompany.h"
#include "data/ZunaData.h"
#include "engine/Dataset.h"

namespace zuna {

namespace {

// ------------------------------------------------------------------ tax parameters per country

struct Band {
    double lower, upper, rate, constant;
};

struct CountryTaxes {
    const char* country;
    double nssfRate, maxNssf, maxNssf2;
    double relf1, relf2, relf3;
    double hours, hours2;
    std::vector<Band> bands;  // as given; the rest up to five are closed at the top (see below)
    double penSelf = 0, penComp = 0, penFixed = 0, maxMort = 0, lowInt1 = 0;
    int tawuAcc = 0, cotuAcc = 0;
    double ucotu = 0;
    std::vector<double> unionRanges, unionRates;  // five upper bounds, six monthly amounts
};

constexpr double kTop = 99999999;

// Example monthly tables, to be reviewed by the clerk against the current law.
const std::vector<CountryTaxes>& countryTaxes() {
    static const std::vector<CountryTaxes> all = [] {
        std::vector<CountryTaxes> v;
        CountryTaxes k{"K", 5, 200, 1000, 1162, 3000, 15, 225, 195,
                       {{0, 10164, 10, 0},
                        {10164, 19740, 15, 1016.4},
                        {19740, 29316, 20, 2452.8},
                        {29316, 38892, 25, 4368},
                        {38892, kTop, 30, 6762}}};
        k.penSelf = 5;
        k.penComp = 10;
        k.penFixed = 20000;
        k.maxMort = 12500;
        k.lowInt1 = 10;
        k.tawuAcc = 30;
        k.cotuAcc = 31;
        k.ucotu = 20;
        k.unionRanges = {5000, 10000, 20000, 40000, 80000};
        k.unionRates = {100, 150, 200, 300, 400, 500};
        v.push_back(k);
        // The working hours of a month for section "SCT" are not set apart outside Kenya: the
        // same as the normal hours, so that no rate is divided by zero.
        v.push_back({"U", 5, 0, 0, 0, 0, 0, 208, 208,
                     {{130000, 235000, 10, 0},
                      {235000, 335000, 20, 10500},
                      {335000, 10000000, 30, 30500},
                      {10000000, kTop, 40, 2930000}}});
        v.push_back({"T", 10, 0, 0, 0, 0, 0, 208, 208,
                     {{100000, 360000, 14, 0},
                      {360000, 540000, 20, 36400},
                      {540000, 720000, 25, 72400},
                      {720000, kTop, 30, 117400}}});
        v.push_back({"R", 3, 0, 0, 0, 0, 0, 208, 208,
                     {{0, 30000, 0, 0}, {30000, 100000, 20, 0}, {100000, kTop, 30, 14000}}});
        return v;
    }();
    return all;
}

// Bands beyond those given start and end at the top bound, at the last band's rate and with the
// constant that continues the schedule, so that a value above the top is still taxed in order.
std::vector<Band> fiveBands(const std::vector<Band>& given) {
    std::vector<Band> b = given;
    while (b.size() < 5) {
        const Band& last = b.back();
        const Band& before = b.size() >= 2 ? b[b.size() - 2] : last;
        double width = last.upper - (b.size() >= 2 ? before.upper : last.lower);
        b.push_back({kTop, kTop, last.rate, static_cast<double>(Round((last.constant + last.rate / 100 * width) * 100) / 100)});
    }
    return b;
}

void writeTaxParameters(Database& db) {
    Table t(db, "payrf08");
    t.open();
    for (const CountryTaxes& c : countryTaxes()) {
        t.append();
        t.setString("COUNTRY", c.country);
        t.setFloat("NSSF", c.nssfRate);
        t.setFloat("MAXNSSF", c.maxNssf);
        t.setFloat("MAXNSSF2", c.maxNssf2);
        t.setFloat("RELF1", c.relf1);
        t.setFloat("RELF2", c.relf2);
        t.setFloat("RELF3", c.relf3);
        t.setFloat("HOURS", c.hours);
        t.setFloat("HOURS2", c.hours2);
        std::vector<Band> bands = fiveBands(c.bands);
        t.setInteger("NO_BRACK", static_cast<long long>(c.bands.size()));
        for (int k = 1; k <= 5; ++k) {
            const Band& b = bands[static_cast<size_t>(k - 1)];
            const std::string n = std::to_string(k);
            t.setFloat("BRACKET_" + n, b.lower);
            t.setFloat("BRACKET_" + n + "1", b.upper);
            t.setFloat("CONST_" + n, b.constant);
            t.setFloat("NRATE_" + n, b.rate);
        }
        t.setFloat("PEN_SELF", c.penSelf);
        t.setFloat("PEN_COMP", c.penComp);
        t.setFloat("PEN_FIXED", c.penFixed);
        t.setFloat("MAXMORT", c.maxMort);
        t.setFloat("LOWINT1", c.lowInt1);
        t.setFloat("LOWINT2", 0);
        t.setInteger("UTYPE", 0);
        t.setFloat("URATE", 0);
        t.setFloat("UNIONMAX", 0);
        t.setFloat("UCOTU", c.ucotu);
        t.setInteger("TAWUACC", c.tawuAcc);
        t.setInteger("COTUACC", c.cotuAcc);
        for (int k = 1; k <= 6; ++k) {
            const std::string n = std::to_string(k);
            t.setFloat("URATE" + n, k <= static_cast<int>(c.unionRates.size()) ? c.unionRates[static_cast<size_t>(k - 1)] : 0);
            if (k <= 5)
                t.setFloat("URANGE" + n, k <= static_cast<int>(c.unionRanges.size()) ? c.unionRanges[static_cast<size_t>(k - 1)] : 0);
        }
        t.post();
    }
}

// ------------------------------------------------------------------ NHIF and LASC bands

void writeNhifBands(Database& db) {
    static const Band bands[16] = {
        {1000, 1499, 30, 0},   {1500, 1999, 40, 0},   {2000, 2999, 60, 0},     {3000, 3999, 80, 0},
        {4000, 4999, 100, 0},  {5000, 5999, 120, 0},  {6000, 6999, 140, 0},    {7000, 7999, 160, 0},
        {8000, 8999, 180, 0},  {9000, 9999, 200, 0},  {10000, 10999, 220, 0},  {11000, 11999, 240, 0},
        {12000, 12999, 260, 0}, {13000, 13999, 280, 0}, {14000, 14999, 300, 0}, {15000, kTop, 320, 0},
    };
    Table t(db, "paynhif");
    t.open();
    t.append();
    for (int i = 1; i <= 16; ++i) {
        const std::string n = std::to_string(i);
        t.setFloat("Nhif" + n, bands[i - 1].lower);
        t.setFloat("Nhif0" + n, bands[i - 1].upper);
        t.setFloat("Nhif_" + n, bands[i - 1].rate);
    }
    t.post();
}

void writeLascBands(Database& db) {
    // An annual local service scale.
    static const Band bands[10] = {
        {0, 100000, 0, 0},          {100001, 200000, 5000, 0},  {200001, 300000, 10000, 0},
        {300001, 400000, 20000, 0}, {400001, 500000, 30000, 0}, {500001, 600000, 40000, 0},
        {600001, 700000, 60000, 0}, {700001, 800000, 70000, 0}, {800001, 900000, 80000, 0},
        {900001, kTop, 100000, 0},
    };
    Table t(db, "paylasc");
    t.open();
    t.append();
    for (int i = 1; i <= 10; ++i) {
        t.setFloat("LASC" + std::to_string(i), bands[i - 1].lower);
        t.setFloat("LASC" + std::to_string(10 + i), bands[i - 1].upper);
        t.setFloat("LASC_" + std::to_string(i), bands[i - 1].rate);
    }
    t.post();
}

// ------------------------------------------------------------------ pay codes

struct PayCode {
    int fno;
    const char* name;
    bool recur;
    const char* recType = "K";
    double factor = 0;
    double intRate = 0;
    const char* loanType = "0";
    bool taxable = true;
};

const CountryTaxes& taxesOf(const std::string& country) {
    for (const CountryTaxes& c : countryTaxes())
        if (country == c.country) return c;
    throw EngineError("No tax tables for country " + country);
}

}  // namespace

int StudentLoanCode(const std::string& country) { return country == "K" ? 44 : 0; }
int LocalServiceTaxCode(const std::string& country) { return country == "U" ? 50 : 0; }

namespace {

std::vector<PayCode> standardPayCodes(const std::string& country) {
    std::vector<PayCode> v = {
        {1, "Basic Pay", false},
        {2, "House Allowance", false},
        {3, "Transport Allowance", false},
        {4, "Leave Allowance", true},
        {5, "Overtime 1.5", true, "H", 1.5},
        {6, "Overtime 2.0", true, "H", 2},
        {7, "Fixed Overtime", false},
        {8, "Acting Allowance", false},
        {9, "Commission", true},
        {10, "Arrears", true},
        {11, "Pay Arrears", true},
        {12, "Mileage Claim", true, "K", 0, 0, "0", false},
        {19, "Overtime 1.5 Arrears", true},
        {20, "Overtime 2.0 Arrears", true},
        {26, "Mid-Month Advance", true},
        {27, "Staff Welfare", false},
        {28, "Canteen", true},
    };
    const CountryTaxes& c = taxesOf(country);
    if (c.tawuAcc > 0) v.push_back({c.tawuAcc, "Union Dues", false});
    if (c.cotuAcc > 0) v.push_back({c.cotuAcc, "Cotu Dues", false});
    v.push_back({41, "Staff Loan", true, "K", 0, 1});
    v.push_back({42, "Car Loan", true, "K", 0, 0.25, "2"});  // below the statutory rate: a taxable benefit
    v.push_back({43, "Emergency Loan", true});
    if (int helb = StudentLoanCode(country)) v.push_back({helb, "Helb Loan", true});
    v.push_back({45, "Mortgage Loan", true, "K", 0, 0, "1"});
    if (int lst = LocalServiceTaxCode(country)) v.push_back({lst, "Local Service Tax", true});
    v.push_back({51, "Provident Fund", true});
    v.push_back({52, "Pension Scheme", true});
    v.push_back({53, "Sacco Savings", true});
    return v;
}

void writePayCodes(Database& db, const std::string& country) {
    Table t(db, "payrf03");
    t.open();
    for (const PayCode& p : standardPayCodes(country)) {
        t.append();
        t.setInteger("FNO", p.fno);
        t.setString("FNAME", p.name);
        t.setBoolean("RECUR", p.recur);
        t.setBoolean("TAXABLE", p.taxable);
        t.setString("REC_TYPE", p.recType);
        t.setFloat("FACTOR", p.factor);
        t.setFloat("INTRATE", p.intRate);
        t.setString("LOAN_TYPE", p.loanType);
        t.post();
    }
}

// ------------------------------------------------------------------ system parameters, users

void writeSystemParameters(Database& db, const PrepareOptions& o) {
    Table sys(db, "paysys");
    sys.open();
    sys.append();
    sys.setString("COUNTRY", o.country);
    sys.setString("COMP_NAME", Trim(o.company));
    sys.setInteger("PERIOD", o.month);
    sys.setDate("SDATE", Date(o.year, o.month, 1));
    sys.setDate("EDATE", Date(o.year, o.month, daysInMonth(o.year, o.month)));
    sys.setString("CNSSF", "N.S.S.F.");
    sys.setString("CPAYE", "P.A.Y.E.");
    sys.setString("CLASC", "L.A.S.C.");
    sys.setString("CNHIF", "N.H.I.F.");
    sys.setString("CPIN", "P.I.N.");
    sys.setInteger("PAYTYPE", 1);
    std::string pw = toUpper(o.password);
    sys.setString("MPASSWORD", o.managerPassword.empty() ? pw : toUpper(o.managerPassword));
    sys.setString("PASSWORD", o.adminPassword.empty() ? pw : toUpper(o.adminPassword));
    std::error_code ec;
    std::filesystem::path abs = std::filesystem::absolute(o.folder, ec);
    sys.setString("DATAPATH", ec ? o.folder : abs.lexically_normal().string());
    sys.setString("ALIAS", "Zuna");
    sys.setString("EMPLNO", "");
    sys.setFloat("MINHOUSING", 0);
    sys.setInteger("AMONTHS", 0);
    sys.setBoolean("BankDetails", false);
    sys.setBoolean("HRDATA", false);
    sys.setBoolean("BRANCHCHK", false);
    sys.setInteger("LASCACC", LocalServiceTaxCode(o.country));
    sys.setInteger("HELBACC", StudentLoanCode(o.country));
    sys.post();
}

void writeAdministrator(Database& db, const PrepareOptions& o) {
    Table users(db, "payusrs");
    users.open();
    users.append();
    users.setString("USER", "ADMIN");
    users.setString("TPASSWORD", toUpper(o.password));
    users.setString("NAME", "Administrator");
    users.setString("CATEGORY", "A");
    users.setInteger("LEVEL", 9);
    users.setString("JOBGROUP", "000");
    for (int i = 1; i <= 100; ++i) users.setBoolean("MENU" + std::to_string(i), true);
    users.post();
}

void checkOptions(const PrepareOptions& o) {
    if (o.folder.empty()) throw EngineError("No database folder is given (--data DIR)");
    if (o.country != "K" && o.country != "U" && o.country != "T" && o.country != "R")
        throw EngineError("The country must be K (Kenya), U (Uganda), T (Tanzania) or R (Rwanda), not '" + o.country + "'");
    if (Trim(o.company).empty()) throw EngineError("The company needs a name (--company NAME)");
    if (cutToChars(Trim(o.company), 40) != Trim(o.company))
        throw EngineError("The company name has more than the 40 characters the system keeps");
    if (o.month < 1 || o.month > 12 || o.year < 1900 || o.year > 9999)
        throw EngineError("The period must be a month YYYY-MM");
    auto checkPassword = [](const std::string& pw, int width, const char* what) {
        if (cutToChars(pw, width) != pw)
            throw EngineError(std::string("The ") + what + " has more than the " + std::to_string(width) +
                              " characters the system keeps");
    };
    if (o.password.empty()) throw EngineError("The ADMIN user needs a password (--password PW)");
    checkPassword(o.password, 20, "password");
    checkPassword(o.managerPassword.empty() ? o.password : o.managerPassword, 30, "manager password");
    checkPassword(o.adminPassword.empty() ? o.password : o.adminPassword, 20, "administrator password");
}

}  // namespace

void CreatePayrollTables(Database& db) {
    Transaction t(db);
    for (const auto& def : catalogue()) db.createTable(def);
    t.commit();
}

void PrepareDatabase(const PrepareOptions& o) {
    checkOptions(o);
    namespace fs = std::filesystem;
    std::error_code ec;
    const bool existed = fs::exists(o.folder, ec);
    const bool hadLocks = fs::exists(fs::path(o.folder) / "locks", ec);
    const bool hadPicts = fs::exists(fs::path(o.folder) / "Picts", ec);
    std::unique_ptr<Database> db = Database::create(o.folder);
    Database* raw = db.get();
    std::unique_ptr<TdmPayroll> dm;
    try {
        Transaction t(*raw);
        CreatePayrollTables(*raw);
        writeSystemParameters(*raw, o);
        writeTaxParameters(*raw);
        writeNhifBands(*raw);
        writeLascBands(*raw);
        writePayCodes(*raw, o.country);
        writeAdministrator(*raw, o);
        if (o.demo) {
            // The demo company goes through the data module, so that its record rules apply.
            dm = std::make_unique<TdmPayroll>(std::move(db));
            AddDemoCompany(*dm);
        }
        t.commit();
    } catch (...) {
        dm.reset();
        db.reset();
        fs::remove(fs::path(o.folder) / Database::kFileName, ec);
        fs::remove(fs::path(o.folder) / (std::string(Database::kFileName) + "-wal"), ec);
        fs::remove(fs::path(o.folder) / (std::string(Database::kFileName) + "-shm"), ec);
        if (!existed) {
            fs::remove_all(o.folder, ec);
        } else {
            if (!hadLocks) fs::remove_all(fs::path(o.folder) / "locks", ec);
            if (!hadPicts) fs::remove_all(fs::path(o.folder) / "Picts", ec);
        }
        throw;
    }
}

}  // namespace zuna
