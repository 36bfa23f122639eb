// The table catalogue of the payroll database.
//
// One function per table builds its definition: fields in record order (the order in which
// whole records are copied and analysis rows are filled by position), new-record values,
// and indexes. "PRIMARY" is the key index wherever a table has one; the tables read in their
// natural order (tax parameters and bands, the audit log, branches) get no index.
#include "data/Catalogue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>

namespace zuna {

namespace {

constexpr FieldType Txt = FieldType::Text;
constexpr FieldType Int = FieldType::SmallInt;
constexpr FieldType Flt = FieldType::Float;
constexpr FieldType Dat = FieldType::Date;
constexpr FieldType Tim = FieldType::Time;
constexpr FieldType Log = FieldType::Logical;
constexpr FieldType Bin = FieldType::Binary;

using Fields = std::vector<FieldDef>;

void append(Fields& out, std::initializer_list<FieldDef> more) { out.insert(out.end(), more); }

// A run of float fields that share one new-record value.
void addFloats(Fields& out, std::initializer_list<const char*> names, const std::string& newValue = {}) {
    for (const char* n : names) out.emplace_back(n, Flt, 0, newValue);
}

IndexDef key(std::vector<std::string> fields, bool unique = true) {
    return IndexDef{"PRIMARY", std::move(fields), unique};
}

std::string num(int n) { return std::to_string(n); }

// A field of a source definition copied under its own name, without its new-record value:
// snapshot rows take every value from the record they copy.
FieldDef copied(const TableDef& source, const std::string& name) {
    for (const FieldDef& f : source.fields) {
        if (f.name == name) return FieldDef(f.name, f.type, f.width);
    }
    throw std::logic_error("catalogue: " + source.name + " has no field " + name);
}

// ---------------------------------------------------------------------------------------------
// Employee master and monthly transaction record

// payrf01: employee master, one row per EMPNO.
TableDef employeeMaster() {
    Fields f;
    append(f, {
        {"EMPNO", Txt, 4},
        {"EMPCOMP", Txt, 3},
        {"EMPBRCH", Txt, 3},
        {"EMPDEPT", Txt, 3},
        {"EMPSECT", Txt, 3},
        {"EMPJOBT", Txt, 3},
        {"EMPCAT", Int, 0, "0"},
        {"SURNAME", Txt, 20},
        {"OTHERNAMES", Txt, 20},
        {"EMPNAME", Txt, 40},
        {"EMPPICT", Bin},
        {"PINNO", Txt, 20},
        {"IDNO", Txt, 15},
        {"BIRTHDATE", Dat},
        {"EMSTA", Int},
        {"SEX", Int},
        {"ADDRESS1", Txt, 16},
        {"ADDRESS2", Txt, 16},
        {"ESTATE", Txt, 15},
        {"HOUSENO", Txt, 15},
        {"TELEPHONE", Txt, 15},
        {"ENGDATE", Dat},
        {"MSTATUS", Int},
        {"AVAILCODE", Int},
        {"AVAILDATE", Dat},
        {"PERMCODE", Int, 0, "1"},
        {"PERMDATE", Dat},
        {"HOUSED", Log, 0, "false"},
        {"PAYMENT", Int, 0, "1"},
        {"BANKREF", Txt, 3},
        {"BANKAC", Txt, 20},
        {"OLDPAY", Flt},
        {"INCRDATE", Dat},
        {"INCRAMNT", Flt},
        {"LEAVETYPE", Txt, 1},
        {"LOANDATE", Dat},
        {"LASTLVDATE", Dat},
        {"ODBFWD", Flt, 0, "0"},
        {"MPR", Flt},
        {"NSFLAG", Log, 0, "true"},
        {"NSFLAG2", Log, 0, "false"},
        {"NHFLAG", Log, 0, "true"},
        {"PAFLAG", Log, 0, "true"},
        {"LAFLAG", Log, 0, "false"},
        {"UNFLAG", Log, 0, "false"},
        {"HOSP", Log, 0, "false"},
        {"MORTGAGE", Log, 0, "false"},
        {"NSSFNO", Txt, 20},
        {"NHIFNO", Txt, 10},
        {"PAYENO", Txt, 10},
        {"HALLOW", Flt},
        {"NHFLAG2", Int},
        {"VNSSF", Flt, 0, "0"},
        {"ODCR", Flt},
        {"TOTEARN", Flt, 0, "0"},
        {"TOTDED", Flt, 0, "0"},
        {"NETT", Flt, 0, "0"},
        {"RELCFWD", Flt, 0, "0"},
        {"BENEFIT", Flt},
        {"RENT", Flt, 0, "0"},
        {"PENSIONS", Flt},
        {"PENSIONC", Flt},
        {"PENFLAG", Log, 0, "false"},
        {"MISC9", Flt},
        {"MISC10", Flt, 0, "0"},
        {"LASCNO", Txt, 10},
    });
    // Year-to-date and accumulated totals, rolled by the month close.
    addFloats(f, {"YTD_EARN", "YTD_GROSS", "YTD_PAYE", "YTD_NSSF", "YTD_NHIF", "YTD_LASC"});
    addFloats(f, {"YTD_PENC", "YTD_PENS"}, "0");
    addFloats(f, {"ACC_EARN", "ACC_GROSS", "ACC_NSSF", "ACC_PENC", "ACC_PENS", "ROUND"});
    append(f, {
        {"PAY", Flt, 0, "0"},
        {"TERDATE", Dat},
        {"PEN_TAX", Flt},
        {"ACCUMLV", Flt},
        {"LASTLVDAYS", Flt},
        {"PASTLNS", Int},
        {"PFSELF", Flt},
        {"PFCOMP", Flt},
        {"PENSACCNO", Txt, 50},
        {"ALTPENS", Int},
        {"INSRLF", Flt},
        {"NCGSFLAG", Int},
        {"INS_POLICY", Txt, 30},
        {"INSURANCE", Flt},
    });
    addFloats(f, {"TAXADJ", "PAYE", "NHIF", "NSSF", "LASC", "DROUGHT", "SAVINGS", "MORTGAGE2"});
    addFloats(f, {"ODLM", "OSOURCE", "OTAX"}, "0");
    append(f, {
        {"ESTATUS", Txt, 1, "A"},
        {"REXEMPT", Log, 0, "false"},
        {"NextofKin", Txt, 40},
        {"Relationship", Txt, 20},
        {"Kinaddress1", Txt, 40},
        {"Kinaddress2", Txt, 20},
        {"KinTelephone", Txt, 20},
        {"AccruedDays", Int, 0, "0"},
        {"CurrDays", Int, 0, "0"},
        {"DaysTaken", Int, 0, "0"},
        // totaldays (AccruedDays + CurrDays - DaysTaken) is calculated on fetch, not stored.
        {"PayNoTax", Flt},
    });
    for (int n = 1; n <= 10; ++n) f.emplace_back("LOAN" + num(n) + "DEF", Log, 0, "false");
    addFamily(f, "XL", 1, 10, Flt, 0, "0");
    append(f, {
        {"ARRFLAG", Log},
        {"STAFFNO", Txt, 6},
        {"DEPT", Txt, 6},
        {"UREGNO", Txt, 50},
        {"UNIVERSITY", Txt, 30},
        {"MORTINT", Flt},
    });
    return TableDef{"payrf01", std::move(f),
                    {key({"EMPNO"}), IndexDef{"payrf01Dept", {"EMPDEPT", "EMPNO"}, false}}};
}

// payrf00: the current month's transaction record, one row per employee. Pay code n owns
// E n (1..25), D n-25 (26..40), loan slot n-40 (41..50) and savings slot n-50 (51..60).
TableDef transactionRecord() {
    Fields f;
    append(f, {{"EMPNO", Txt, 4}, {"CPAY", Flt}, {"NEWPAY", Flt}});
    addFamily(f, "E", 1, 25, Flt, 0, "0");
    addFamily(f, "D", 1, 15, Flt, 0, "0");
    addFamily(f, "LBAL", 1, 10, Flt, 0, "0");
    addFamily(f, "L", 1, 10, Flt, 0, "0");
    addFamily(f, "LN", 1, 10, Flt, 0, "0");
    addFamily(f, "LPER", 1, 10, Int);
    addFamily(f, "S", 1, 10, Flt, 0, "0");
    addFamily(f, "SPER", 1, 10, Int);
    addFamily(f, "SBAL", 1, 10, Flt, 0, "0");
    addFamily(f, "RATE", 1, 25, Flt, 0, "0");
    addFamily(f, "DRATE", 1, 15, Flt, 0, "0");
    f.emplace_back("TAXADJ", Flt);
    addFamily(f, "I", 1, 10, Flt, 0, "0");
    addFamily(f, "IBAL", 1, 10, Flt, 0, "0");
    addFamily(f, "IRATE", 1, 10, Flt);
    addFamily(f, "LSTAT", 1, 10, Log);
    return TableDef{"payrf00", std::move(f), {key({"EMPNO"})}};
}

// ---------------------------------------------------------------------------------------------
// History, archive and working tables

// payrf04: tax history of the tax year, one row per (EMPNO, TMONTH).
TableDef taxHistory() {
    Fields f;
    append(f, {{"EMPNO", Txt, 4}, {"TMONTH", Txt, 2}, {"EMPDEPT", Txt, 3}, {"EMPBRCH", Txt, 3}});
    // The sixteen amounts a new row starts at 0 (and the year change clears).
    addFloats(f, {"PAY", "ROUND", "PEN_TAX", "BENEFIT", "HOUSING", "RPLUSH", "TAXCH", "MPR", "UNUSED",
                  "CFWD", "TAXDED", "NSSF", "NHIF", "LASC", "DROUGHT", "INTEREST"},
              "0");
    addFloats(f, {"SAVINGS", "LOWINT", "PENC", "PENS", "VNSSF", "BASIC", "HALLOWANCE", "INSRLF"});
    return TableDef{"payrf04", std::move(f), {key({"EMPNO", "TMONTH"})}};
}

// payrf05: coin analysis of cash pay, one row per employee paid in cash.
TableDef coinAnalysis() {
    Fields f;
    append(f, {{"EMPNO", Txt, 4}, {"EMPDEPT", Txt, 3}, {"EMPBRCH", Txt, 3}, {"EMPNAME", Txt, 40}});
    addFloats(f, {"NETT", "THAO", "HUND5", "HUND2", "HUND", "FIFTY", "TWENT", "TEN", "FIVE", "ONE",
                  "SUMUNI", "PENNY", "NDURU", "TWENTYTHAO", "TENTHAO", "FIVETHAO"});
    return TableDef{"payrf05", std::move(f), {key({"EMPNO"})}};
}

// payrf07: benefits held by employees, several per employee, ordered by EMPNO.
TableDef employeeBenefits() {
    return TableDef{"payrf07",
                    {
                        {"EMPNO", Txt, 4},
                        {"CODE", Int},
                        {"BENDATE", Dat},
                        {"RATE", Flt},
                        {"VAMOUNT", Flt},
                        {"COUNTER", Int},
                        {"BActive", Log},
                        {"YTDAMOUNT", Flt},
                        {"ACCRAMOUNT", Flt},
                    },
                    {key({"EMPNO"}, false)}};
}

// payrf09: batch lines, shown per batch header.
TableDef batchLines() {
    return TableDef{"payrf09",
                    {
                        {"BATCH", Txt, 8},
                        {"BATCHDATE", Dat},
                        {"LN", Int},
                        {"EMPNO", Txt, 4},
                        {"TRANSCODE", Int},
                        {"DAYS", Int},
                        {"HOURS", Flt},
                        {"MINS", Int},
                        {"THOURS", Flt},
                        {"AMOUNT", Flt},
                    },
                    {key({"BATCH", "LN"}, false)}};
}

// paybatch: batch headers, one row per BATCH. BATCHDATE of a new header is today (record event).
TableDef batchHeaders() {
    return TableDef{"paybatch", {{"BATCH", Txt, 6}, {"BATCHDATE", Dat}}, {key({"BATCH"})}};
}

// The amount columns of the month analysis, in record order.
void addAnalysisAmounts(Fields& f) {
    addFamily(f, "E", 1, 25, Flt);
    addFamily(f, "D", 1, 15, Flt);
    addFamily(f, "L", 1, 10, Flt);
    addFamily(f, "S", 1, 10, Flt);
    f.emplace_back("TAXADJ", Flt);
    addFamily(f, "I", 1, 10, Flt);
    addFloats(f, {"NSSF", "NHIF", "LASC", "ODLM", "ODCR", "PENSIONS", "TOTEARN", "TOTDED", "PAYE", "NETT"});
}

// The three codes of an analysis row: ("XXXX", branch or "XXX", department or "XXX").
void addAnalysisCodes(Fields& f) {
    append(f, {{"EMPCOMP", Txt, 4}, {"EMPBRCH", Txt, 4}, {"EMPDEPT", Txt, 4}});
}

// payanal: the month's totals per department (or per branch) and a grand-total row.
// Keyed on all three codes so that branch rows, department rows and the total row can coexist.
TableDef monthAnalysis() {
    Fields f;
    addAnalysisCodes(f);
    addAnalysisAmounts(f);
    f.emplace_back("VNSSF", Flt);
    addFamily(f, "RATE", 1, 25, Flt);
    addFamily(f, "DRATE", 1, 15, Flt);
    return TableDef{"payanal", std::move(f), {key({"EMPCOMP", "EMPBRCH", "EMPDEPT"})}};
}

// paytanal: last month's total of every amount followed by this month's ("N" + name).
TableDef monthComparison() {
    Fields amounts;
    addAnalysisAmounts(amounts);
    Fields f;
    addAnalysisCodes(f);
    for (const FieldDef& a : amounts) {
        f.emplace_back(a.name, Flt);
        f.emplace_back("N" + a.name, Flt);
    }
    return TableDef{"paytanal", std::move(f), {key({"EMPCOMP", "EMPBRCH", "EMPDEPT"})}};
}

// paytemp0: every closed month's transaction records, one row per (PayMonth, PayYear, EMPNO).
TableDef transactionSnapshots(const TableDef& transactions) {
    Fields f;
    append(f, {{"PayMonth", Txt, 4}, {"PayYear", Txt, 4}});
    for (const FieldDef& t : transactions.fields) f.push_back(copied(transactions, t.name));
    return TableDef{"paytemp0", std::move(f), {key({"PayMonth", "PayYear", "EMPNO"})}};
}

// paytemp1: every closed month's employee master records, one row per (PayMonth, PayYear, EMPNO).
// The snapshot keeps its own field order and leaves out the student-loan fields.
TableDef masterSnapshots(const TableDef& master) {
    static const char* const before[] = {
        "EMPNO", "EMPCOMP", "EMPBRCH", "EMPDEPT", "EMPSECT", "EMPJOBT", "EMPCAT", "STAFFNO", "SURNAME",
        "OTHERNAMES", "EMPNAME", "EMPPICT", "PINNO", "IDNO", "BIRTHDATE", "EMSTA", "SEX", "ADDRESS1",
        "ADDRESS2", "ESTATE", "HOUSENO", "TELEPHONE", "ENGDATE", "MSTATUS", "AVAILCODE", "AVAILDATE",
        "PERMCODE", "PERMDATE", "HOUSED", "PAYMENT", "BANKREF", "BANKAC", "OLDPAY", "INCRDATE",
        "INCRAMNT", "LEAVETYPE", "LOANDATE", "LASTLVDATE", "ODBFWD", "MPR", "NSFLAG", "NSFLAG2",
        "NHFLAG", "PAFLAG", "LAFLAG", "UNFLAG", "HOSP", "MORTGAGE", "NSSFNO", "NHIFNO", "PAYENO",
        "HALLOW", "NHFLAG2", "VNSSF", "ODCR", "TOTEARN", "TOTDED", "NETT", "RELCFWD", "BENEFIT", "RENT",
        "PENSIONS", "PENSIONC", "PENFLAG", "MISC9", "MISC10", "LASCNO", "YTD_EARN", "YTD_GROSS",
        "YTD_PAYE", "YTD_NSSF", "YTD_NHIF", "YTD_LASC", "YTD_PENC", "YTD_PENS", "ACC_EARN",
        "ACC_GROSS", "ACC_NSSF", "ACC_PENC", "ACC_PENS", "ROUND", "PAY", "TERDATE", "PEN_TAX",
        "ACCUMLV", "LASTLVDAYS", "PASTLNS", "PFSELF", "PFCOMP", "PENSACCNO", "ALTPENS", "INSRLF",
        "NCGSFLAG", "INS_POLICY", "INSURANCE", "TAXADJ", "PAYE", "NHIF", "NSSF", "LASC", "DROUGHT",
        "SAVINGS", "MORTGAGE2", "ODLM", "OSOURCE", "OTAX", "ESTATUS", "REXEMPT", "NextofKin",
        "Relationship", "Kinaddress1", "Kinaddress2", "KinTelephone", "AccruedDays", "CurrDays",
        "DaysTaken", "PayNoTax"};
    static const char* const after[] = {"ARRFLAG", "DEPT", "MORTINT"};

    Fields f;
    append(f, {{"PayMonth", Txt, 2}, {"PayYear", Txt, 4}});
    for (const char* n : before) f.push_back(copied(master, n));
    for (int n = 1; n <= 10; ++n) f.push_back(copied(master, "LOAN" + num(n) + "DEF"));
    for (int n = 1; n <= 10; ++n) f.push_back(copied(master, "XL" + num(n)));
    for (const char* n : after) f.push_back(copied(master, n));
    return TableDef{"paytemp1", std::move(f), {key({"PayMonth", "PayYear", "EMPNO"})}};
}

// payy2005: the closed months' transaction records read by the arrears computations; the file
// keeps this name in every year. One row per (EMPNO, PAYMONTH, PAYYEAR).
TableDef yearTransactions(const TableDef& transactions) {
    Fields f;
    append(f, {{"EMPNO", Txt, 4}, {"Paymonth", Txt, 2}, {"PayYear", Txt, 4}});
    for (const FieldDef& t : transactions.fields) {
        if (t.name != "EMPNO") f.push_back(copied(transactions, t.name));
    }
    return TableDef{"payy2005", std::move(f),
                    {key({"EMPNO", "Paymonth", "PayYear"}), IndexDef{"EmpMonth", {"EMPNO", "Paymonth"}, false}}};
}

// payrf50: the payslip message of each month, one row per (TMonth, TYear).
TableDef payslipMessages() {
    return TableDef{"payrf50",
                    {{"TMonth", Txt, 2}, {"TYear", Txt, 4}, {"TMessage", Txt, 100}},
                    {key({"TMonth", "TYear"})}};
}

// payrf10: courses attended, shown per employee.
TableDef coursesAttended() {
    return TableDef{"payrf10",
                    {
                        {"Empno", Txt, 4},
                        {"FromDate", Dat},
                        {"Todate", Dat},
                        {"Code", Txt, 4},
                        {"Place", Txt, 10},
                        {"Marks", Flt},
                        {"Grade", Txt, 4},
                        {"Comment", Txt, 50},
                    },
                    {key({"Empno", "FromDate"}, false)}};
}

// payrf11: education records.
TableDef education() {
    return TableDef{"payrf11",
                    {
                        {"Empno", Txt, 4},
                        {"Date", Dat},
                        {"Code", Txt, 4},
                        {"Marks", Flt},
                        {"Grade", Txt, 4},
                        {"Comment", Txt, 50},
                    },
                    {key({"Empno", "Date"}, false)}};
}

// payrf12: family members, shown per employee.
TableDef family() {
    return TableDef{"payrf12",
                    {
                        {"EmpNo", Txt, 4},
                        {"DateofBirth", Dat},
                        {"RelationShip", Txt, 20},
                        {"Name", Txt, 20},
                        {"Sex", Txt, 10},
                        {"Address", Txt, 20},
                    },
                    {key({"EmpNo"}, false)}};
}

// payhist: pay adjustments written by the arrears update, one row per employee.
TableDef payAdjustments() {
    return TableDef{"payhist",
                    {
                        {"EMPNO", Txt, 4},
                        {"TRANSDATE", Dat},
                        {"TRANSTYPE", Int},
                        {"AMOUNT", Flt},
                        {"DETAILS", Txt, 30},
                        {"STATUS", Txt, 2},
                    },
                    {key({"EMPNO"})}};
}

// ---------------------------------------------------------------------------------------------
// Users and audit log

// payusrs: users and their hundred right flags, one row per USER.
TableDef users() {
    Fields f;
    append(f, {
        {"USER", Txt, 10},
        {"TPASSWORD", Txt, 20},
        {"NAME", Txt, 30},
        {"LEVEL", Int},
        {"CATEGORY", Txt, 1},
        {"JOBGROUP", Txt, 3},
    });
    addFamily(f, "MENU", 1, 100, Log);
    return TableDef{"payusrs", std::move(f), {key({"USER"})}};
}

// paylog: audit log of logins and administrator actions, rows in the order written.
TableDef auditLog() {
    return TableDef{"paylog",
                    {{"UserName", Txt, 6}, {"LoginDate", Dat}, {"LoginTime", Tim}, {"LogOutTime", Tim}},
                    {}};
}

// ---------------------------------------------------------------------------------------------
// System parameters, pay codes, tax and statutory tables

// paysys: system and company parameters, exactly one record.
TableDef systemParameters() {
    return TableDef{"paysys",
                    {
                        {"COMP_NAME", Txt, 40},
                        {"ADDRESS1", Txt, 30},
                        {"ADDRESS2", Txt, 15},
                        {"TELEPHONE", Txt, 15},
                        {"FAX", Txt, 15},
                        {"TELEX", Txt, 15},
                        {"EMAIL", Txt, 30},
                        {"PASSWORD", Txt, 20},
                        {"PERIOD", Int},
                        {"SDATE", Dat},
                        {"EDATE", Dat},
                        {"EMPLNO", Txt, 10},
                        {"PINNO", Txt, 20},
                        {"BANK", Txt, 3},
                        {"ACCOUNT", Txt, 20},
                        {"COMP_NSSF", Txt, 20},
                        {"COMP_PAYE", Txt, 10},
                        {"COMP_LASC", Txt, 10},
                        {"COMP_NHIF", Txt, 10},
                        {"FIXED", Flt},
                        {"MINHOUSING", Flt},
                        {"PAYTYPE", Int},
                        {"LEAVEDAYS", Int},
                        {"STATUS", Txt, 1},
                        {"COUNTRY", Txt, 1},
                        {"DATAPATH", Txt, 100},
                        {"ALIAS", Txt, 50},
                        {"MPASSWORD", Txt, 30},
                        {"AMONTHS", Int},
                        {"CUTTOFF", Dat},
                        {"BankDetails", Log},
                        {"HRDATA", Log},
                        {"BRANCHCHK", Log},
                        {"LASCACC", Int},
                        {"HELBACC", Int},
                        {"UCAT", Txt, 1},
                        {"CNSSF", Txt, 10},
                        {"CPAYE", Txt, 10},
                        {"CLASC", Txt, 10},
                        {"CNHIF", Txt, 10},
                        {"CPIN", Txt, 10},
                    },
                    {key({"COMP_NAME"})}};
}

// payrf03: pay codes 1..60, one row per FNO.
TableDef payCodes() {
    return TableDef{"payrf03",
                    {
                        {"FNO", Int},
                        {"FNAME", Txt, 20},
                        {"TAXABLE", Log, 0, "true"},
                        {"RECUR", Log, 0, "true"},
                        {"REC_TYPE", Txt, 1, "K"},
                        {"FACTOR", Flt, 0, "0"},
                        {"INTRATE", Flt, 0, "0"},
                        {"LINKTO", Int},
                        {"LOAN_TYPE", Txt, 1, "0"},
                    },
                    {key({"FNO"})}};
}

// payrf08: tax and statutory parameters, one row per country (read through a filter on COUNTRY).
TableDef taxParameters() {
    Fields f;
    addFloats(f, {"NSSF", "MAXNSSF", "NHIF", "RELF1", "RELF2", "RELF3", "HOURS", "HOURS2", "BRACKET"});
    f.emplace_back("NO_BRACK", Int);
    // PAYE bands 1..5: lower bound, upper bound, tax at the lower bound, rate.
    for (int k = 1; k <= 5; ++k) {
        f.emplace_back("BRACKET_" + num(k), Flt);
        f.emplace_back("BRACKET_" + num(k) + "1", Flt);
        f.emplace_back("CONST_" + num(k), Flt);
        f.emplace_back("NRATE_" + num(k), Flt);
    }
    addFamily(f, "RATE_", 0, 10, Flt);
    addFloats(f, {"PEN_SELF", "PEN_COMP", "PEN_FIXED", "NHIF_BRACKET"});
    addFamily(f, "NHIF_", 1, 16, Flt);
    f.emplace_back("NEW_NHIF", Log);
    // Union dues scale: rate of band k, then the upper bound of band k.
    for (int k = 1; k <= 6; ++k) {
        f.emplace_back("URATE" + num(k), Flt);
        f.emplace_back("URANGE" + num(k), Flt);
    }
    f.emplace_back("UCOTU", Flt);
    f.emplace_back("ALT_PENS", Int);
    addFloats(f, {"INTEREST", "INTEREST2", "SAVINGS"});
    addFamily(f, "LOWINT", 1, 12, Flt);
    append(f, {
        {"UTYPE", Int},
        {"URATE", Flt},
        {"COTUACC", Int},
        {"TAWUACC", Int},
        {"MAXNSSF2", Flt},
        {"COUNTRY", Txt, 1},
        {"UNIONMAX", Flt},
        {"MAXMORT", Flt},
    });
    return TableDef{"payrf08", std::move(f), {}};
}

// paynhif: the sixteen NHIF bands in one record: lower bound Nhif i, upper bound Nhif0 i
// ("Nhif01".."Nhif016") and contribution Nhif_ i, band after band.
TableDef nhifBands() {
    Fields f;
    for (int i = 1; i <= 16; ++i) {
        f.emplace_back("Nhif" + num(i), Flt);
        f.emplace_back("Nhif0" + num(i), Flt);
        f.emplace_back("Nhif_" + num(i), Flt);
    }
    return TableDef{"paynhif", std::move(f), {}};
}

// paylasc: the ten LASC bands in one record: lower bound LASC i, upper bound LASC 10+i and
// charge LASC_ i, band after band.
TableDef lascBands() {
    Fields f;
    for (int i = 1; i <= 10; ++i) {
        f.emplace_back("LASC" + num(i), Flt);
        f.emplace_back("LASC" + num(10 + i), Flt);
        f.emplace_back("LASC_" + num(i), Flt);
    }
    return TableDef{"paylasc", std::move(f), {}};
}

// ---------------------------------------------------------------------------------------------
// Banks and code lists

// A code list of two text columns keyed on its code.
TableDef codeList(const char* table, const char* code, int codeWidth, const char* name, int nameWidth,
                  bool keyed = true) {
    std::vector<IndexDef> indexes;
    if (keyed) indexes.push_back(key({code}));
    return TableDef{table, {{code, Txt, codeWidth}, {name, Txt, nameWidth}}, std::move(indexes)};
}

// payrf06: benefit codes.
TableDef benefitCodes() {
    return TableDef{"payrf06",
                    {{"CODE", Int}, {"DESCRIPTION", Txt, 30}, {"RATE", Flt}, {"FACTOR", Flt}},
                    {key({"CODE"})}};
}

// payrf02m: banks.
TableDef banks() {
    return TableDef{"payrf02m",
                    {{"CODE", Txt, 3}, {"DESCRIPTION", Txt, 30}, {"BANKABBR", Txt, 10}},
                    {key({"CODE"})}};
}

// payrf02: bank branches; employees and the company refer to a branch by BANKREF.
TableDef bankBranches() {
    // BANKREF of a new branch is the row count plus 100, set by the record event.
    return TableDef{"payrf02",
                    {
                        {"BANK", Txt, 3},
                        {"CODE", Txt, 6},
                        {"BANKREF", Txt, 4},
                        {"BRANCH", Txt, 30},
                        {"ADRS1", Txt, 25},
                        {"ADRS2", Txt, 25},
                    },
                    {key({"BANK", "CODE", "BANKREF"})}};
}

std::vector<TableDef> buildCatalogue() {
    const TableDef master = employeeMaster();
    const TableDef transactions = transactionRecord();
    return {
        master,
        transactions,
        taxHistory(),
        coinAnalysis(),
        benefitCodes(),
        employeeBenefits(),
        payCodes(),
        systemParameters(),
        taxParameters(),
        nhifBands(),
        lascBands(),
        batchLines(),
        batchHeaders(),
        monthAnalysis(),
        monthComparison(),
        transactionSnapshots(transactions),
        masterSnapshots(master),
        yearTransactions(transactions),
        payslipMessages(),
        users(),
        auditLog(),
        codeList("payjobt", "CODE", 3, "JOBTITLE", 30),
        codeList("paysect", "CODE", 3, "SECTION", 30),
        codeList("paydept", "CODE", 3, "DEPARTMENT", 30),
        codeList("PayBranch", "CODE", 3, "DESCRIPTION", 30, false),
        banks(),
        bankBranches(),
        codeList("payrf13", "Code", 4, "Description", 40),
        codeList("payrf15", "Code", 4, "Description", 40),
        coursesAttended(),
        education(),
        family(),
        payAdjustments(),
    };
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const TableDef& sourceTable(const char* name) {
    const TableDef* t = catalogueTable(name);
    if (!t) throw std::logic_error(std::string("catalogue: no table ") + name);
    return *t;
}

void checkPeriod(int month, int year) {
    if (month < 1 || month > 12) throw std::invalid_argument("archive month out of range: " + num(month));
    if (year < 1000 || year > 9999) throw std::invalid_argument("archive year must have four digits: " + num(year));
}

// An archive holds the rows of its source as they were: the same fields in the same order and
// the source's key, so that it can be read back by key.
TableDef archiveOf(const TableDef& source, std::string name) {
    TableDef t{std::move(name), source.fields, {}};
    for (const IndexDef& ix : source.indexes) {
        if (ix.name == "PRIMARY") t.indexes.push_back(ix);
    }
    return t;
}

std::string twoDigits(int month) {
    char buf[3];
    std::snprintf(buf, sizeof buf, "%02d", month);
    return buf;
}

}  // namespace

const std::vector<TableDef>& catalogue() {
    static const std::vector<TableDef> tables = buildCatalogue();
    return tables;
}

const TableDef* catalogueTable(const std::string& name) {
    for (const TableDef& t : catalogue()) {
        if (sameName(t.name, name)) return &t;
    }
    return nullptr;
}

TableDef monthArchiveDef(int month, int year) {
    checkPeriod(month, year);
    return archiveOf(sourceTable("payrf01"), "PayM" + twoDigits(month) + num(year));
}

TableDef monthTransArchiveDef(int month, int year) {
    checkPeriod(month, year);
    return archiveOf(sourceTable("payrf00"), "PayT" + twoDigits(month) + num(year));
}

TableDef yearArchiveDef(int year) {
    checkPeriod(1, year);
    return archiveOf(sourceTable("payrf04"), "PayP9" + num(year));
}

}  // namespace zuna
