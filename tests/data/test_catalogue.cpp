// Checks of the table catalogue against the record layouts: shapes of the big tables, record
// order of interleaved families, keys, new-record values, snapshots and month archives.
#include "data/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace zuna {
namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> split(const std::string& list) {
    std::vector<std::string> out;
    size_t from = 0;
    while (from <= list.size()) {
        size_t to = list.find(';', from);
        if (to == std::string::npos) to = list.size();
        out.push_back(upper(list.substr(from, to - from)));
        from = to + 1;
    }
    return out;
}

std::vector<std::string> upperNames(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const auto& n : names) out.push_back(upper(n));
    return out;
}

const TableDef& table(const std::string& name) {
    const TableDef* t = catalogueTable(name);
    if (!t) throw std::runtime_error("no table " + name);
    return *t;
}

// Name, type and width; the new-record value is compared only where a test says so.
void expectSameField(const FieldDef& want, const FieldDef& got) {
    EXPECT_EQ(want.name, got.name);
    EXPECT_EQ(want.type, got.type) << want.name;
    EXPECT_EQ(want.width, got.width) << want.name;
}

TEST(Catalogue, BigTablesHaveTheirStatedShape) {
    struct Shape {
        const char* table;
        size_t fields;
        const char* first;
        const char* last;
    };
    const Shape shapes[] = {
        {"payrf01", 142, "EMPNO", "MORTINT"},     // totaldays is calculated, not stored
        {"payrf00", 194, "EMPNO", "LSTAT10"},
        {"payrf04", 28, "EMPNO", "INSRLF"},
        {"payanal", 125, "EMPCOMP", "DRATE15"},
        {"paytanal", 165, "EMPCOMP", "NNETT"},
        {"paynhif", 48, "Nhif1", "Nhif_16"},
        {"paylasc", 30, "LASC1", "LASC_10"},
        {"payusrs", 106, "USER", "MENU100"},
        {"payrf08", 99, "NSSF", "MAXMORT"},
        {"paysys", 41, "COMP_NAME", "CPIN"},
        {"payrf05", 20, "EMPNO", "FIVETHAO"},
        {"paytemp0", 196, "PayMonth", "LSTAT10"},
        {"paytemp1", 142, "PayMonth", "MORTINT"},
        {"payy2005", 196, "EMPNO", "LSTAT10"},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.table);
        const TableDef& t = table(s.table);
        ASSERT_EQ(t.fields.size(), s.fields);
        EXPECT_EQ(t.fields.front().name, s.first);
        EXPECT_EQ(t.fields.back().name, s.last);
    }
    const TableDef& users = table("payusrs");
    for (int n = 1; n <= 100; ++n) {
        const FieldDef* f = users.field("MENU" + std::to_string(n));
        ASSERT_NE(f, nullptr) << n;
        EXPECT_EQ(f->type, FieldType::Logical);
        EXPECT_EQ(users.fieldIndex(f->name), 5 + n);
    }
}

// The transaction record: slot families one after the other, in the record's order, with the
// type and new value of each family (amounts start at 0; counters, rates and status stay null).
TEST(Catalogue, TransactionRecordFamiliesInRecordOrder) {
    struct Family {
        const char* prefix;
        int count;
        FieldType type;
        const char* newValue;
    };
    const Family families[] = {
        {"E", 25, FieldType::Float, "0"},      {"D", 15, FieldType::Float, "0"},
        {"LBAL", 10, FieldType::Float, "0"},   {"L", 10, FieldType::Float, "0"},
        {"LN", 10, FieldType::Float, "0"},     {"LPER", 10, FieldType::SmallInt, ""},
        {"S", 10, FieldType::Float, "0"},      {"SPER", 10, FieldType::SmallInt, ""},
        {"SBAL", 10, FieldType::Float, "0"},   {"RATE", 25, FieldType::Float, "0"},
        {"DRATE", 15, FieldType::Float, "0"},  {"TAXADJ", 0, FieldType::Float, ""},
        {"I", 10, FieldType::Float, "0"},      {"IBAL", 10, FieldType::Float, "0"},
        {"IRATE", 10, FieldType::Float, ""},   {"LSTAT", 10, FieldType::Logical, ""},
    };
    const TableDef& t = table("payrf00");
    ASSERT_GE(t.fields.size(), 3u);
    EXPECT_EQ(t.fields[0].name, "EMPNO");
    EXPECT_EQ(t.fields[1].name, "CPAY");
    EXPECT_EQ(t.fields[2].name, "NEWPAY");
    EXPECT_EQ(t.fields[1].newValue, "");
    EXPECT_EQ(t.fields[2].newValue, "");
    size_t at = 3;
    for (const Family& fam : families) {
        const int count = std::max(fam.count, 1);
        for (int n = 1; n <= count; ++n, ++at) {
            const std::string name = fam.count ? fam.prefix + std::to_string(n) : fam.prefix;
            ASSERT_LT(at, t.fields.size()) << name;
            EXPECT_EQ(t.fields[at].name, name);
            EXPECT_EQ(t.fields[at].type, fam.type) << name;
            EXPECT_EQ(t.fields[at].newValue, fam.newValue) << name;
        }
    }
    EXPECT_EQ(at, t.fields.size());
}

// Families stored slot by slot: each slot's fields sit together in the stated order.
TEST(Catalogue, InterleavedSlotsFollowTheStatedOrder) {
    auto expectRun = [](const TableDef& t, const std::vector<std::string>& run) {
        const int start = t.fieldIndex(run.front());
        ASSERT_GE(start, 0) << run.front();
        for (size_t k = 0; k < run.size(); ++k) {
            ASSERT_LT(start + k, t.fields.size());
            EXPECT_EQ(t.fields[start + k].name, run[k]) << t.name;
        }
    };
    const TableDef& nhif = table("paynhif");
    for (int i = 1; i <= 16; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(nhif.fieldIndex("Nhif" + n), 3 * (i - 1));
        expectRun(nhif, {"Nhif" + n, "Nhif0" + n, "Nhif_" + n});
    }
    const TableDef& lasc = table("paylasc");
    for (int i = 1; i <= 10; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(lasc.fieldIndex("LASC" + n), 3 * (i - 1));
        expectRun(lasc, {"LASC" + n, "LASC" + std::to_string(10 + i), "LASC_" + n});
    }
    const TableDef& tax = table("payrf08");
    for (int k = 1; k <= 5; ++k) {
        const std::string n = std::to_string(k);
        expectRun(tax, {"BRACKET_" + n, "BRACKET_" + n + "1", "CONST_" + n, "NRATE_" + n});
    }
    expectRun(tax, {"NO_BRACK", "BRACKET_1"});
    expectRun(tax, {"NRATE_5", "RATE_0"});
    expectRun(tax, {"URATE1", "URANGE1", "URATE2", "URANGE2", "URATE3", "URANGE3", "URATE4", "URANGE4",
                    "URATE5", "URANGE5", "URATE6", "URANGE6", "UCOTU"});
    expectRun(tax, {"UTYPE", "URATE", "COTUACC", "TAWUACC", "MAXNSSF2", "COUNTRY", "UNIONMAX", "MAXMORT"});

    // Comparison table: last month's column, then this month's under the same name with "N".
    const TableDef& cmp = table("paytanal");
    for (size_t i = 3; i + 1 < cmp.fields.size(); i += 2) {
        EXPECT_EQ(cmp.fields[i + 1].name, "N" + cmp.fields[i].name) << i;
    }
    expectRun(cmp, {"E25", "NE25", "D1", "ND1"});
    expectRun(cmp, {"TAXADJ", "NTAXADJ", "I1", "NI1"});
    expectRun(table("payanal"), {"TAXADJ", "I1"});
    expectRun(table("payanal"), {"NETT", "VNSSF", "RATE1"});
}

TEST(Catalogue, NamesAreUniqueAndIndexesReferToFields) {
    std::set<std::string> tableNames;
    for (const TableDef& t : catalogue()) {
        SCOPED_TRACE(t.name);
        EXPECT_TRUE(tableNames.insert(upper(t.name)).second) << "table listed twice";
        EXPECT_FALSE(t.fields.empty());
        std::set<std::string> fieldNames;
        for (const FieldDef& f : t.fields) {
            EXPECT_FALSE(f.name.empty());
            EXPECT_TRUE(fieldNames.insert(upper(f.name)).second) << "field twice: " << f.name;
            EXPECT_GE(f.width, 0) << f.name;
            if (f.type != FieldType::Text) { EXPECT_EQ(f.width, 0) << f.name; }
        }
        std::set<std::string> indexNames;
        for (const IndexDef& ix : t.indexes) {
            EXPECT_TRUE(indexNames.insert(upper(ix.name)).second) << "index twice: " << ix.name;
            EXPECT_FALSE(ix.fields.empty()) << ix.name;
            for (const std::string& f : ix.fields) EXPECT_NE(t.field(f), nullptr) << ix.name << ": " << f;
        }
    }
}

// The key column of the catalogue. A key stated as "one row per ..." is the whole key and
// unique; one stated by its leading field only is checked for that field.
TEST(Catalogue, KeysAsTheCatalogueStatesThem) {
    enum class Uniq { Yes, No, Unstated };
    struct Key {
        const char* table;
        const char* fields;  // nullptr: the table has no index
        Uniq unique;
    };
    const Key keys[] = {
        {"payrf01", "EMPNO", Uniq::Yes},
        {"payrf00", "EMPNO", Uniq::Yes},
        {"payrf04", "EMPNO;TMONTH", Uniq::Yes},
        {"payrf05", "EMPNO", Uniq::Yes},
        {"payrf06", "CODE", Uniq::Yes},
        {"payrf07", "EMPNO", Uniq::No},  // several benefits per employee
        {"payrf03", "FNO", Uniq::Yes},
        {"paysys", "", Uniq::Unstated},
        {"payrf08", nullptr, Uniq::Unstated},
        {"paynhif", nullptr, Uniq::Unstated},
        {"paylasc", nullptr, Uniq::Unstated},
        {"payrf09", "BATCH", Uniq::No},  // many lines per batch
        {"paybatch", "BATCH", Uniq::Yes},
        {"payanal", "", Uniq::Yes},
        {"paytanal", "", Uniq::Yes},
        {"paytemp0", "PayMonth;PayYear;EMPNO", Uniq::Yes},
        {"paytemp1", "PayMonth;PayYear;EMPNO", Uniq::Yes},
        {"payy2005", "EMPNO;PAYMONTH;PAYYEAR", Uniq::Yes},
        {"payrf50", "TMonth;TYear", Uniq::Yes},
        {"payusrs", "USER", Uniq::Yes},
        {"paylog", nullptr, Uniq::Unstated},
        {"payjobt", "CODE", Uniq::Yes},
        {"paysect", "CODE", Uniq::Yes},
        {"paydept", "CODE", Uniq::Yes},
        {"PayBranch", nullptr, Uniq::Unstated},
        {"payrf02m", "CODE", Uniq::Yes},
        {"payrf02", "BANK;CODE;BANKREF", Uniq::Yes},
        {"payrf13", "Code", Uniq::Yes},
        {"payrf15", "CODE", Uniq::Yes},
        {"payrf10", "Empno", Uniq::No},
        {"payrf11", "", Uniq::Unstated},
        {"payrf12", "EmpNo", Uniq::No},
        {"payhist", "EMPNO", Uniq::Yes},
    };
    EXPECT_EQ(catalogue().size(), std::size(keys)) << "the catalogue has tables not listed here";
    for (const Key& k : keys) {
        SCOPED_TRACE(k.table);
        const TableDef* t = catalogueTable(k.table);
        ASSERT_NE(t, nullptr);
        if (!k.fields) {
            EXPECT_TRUE(t->indexes.empty());
            continue;
        }
        const IndexDef* pk = t->primary();
        ASSERT_NE(pk, nullptr);
        if (k.unique == Uniq::Yes) { EXPECT_TRUE(pk->unique); }
        if (k.unique == Uniq::No) { EXPECT_FALSE(pk->unique); }
        if (*k.fields == '\0') continue;
        const std::vector<std::string> got = upperNames(pk->fields);
        const std::vector<std::string> want = split(k.fields);
        if (k.unique == Uniq::Yes) {
            EXPECT_EQ(got, want);
        } else {
            ASSERT_GE(got.size(), want.size());
            EXPECT_TRUE(std::equal(want.begin(), want.end(), got.begin()));
        }
    }

    // Analysis rows of one department, of one branch and the total row must all fit the key.
    for (const char* name : {"payanal", "paytanal"}) {
        const IndexDef* pk = table(name).primary();
        ASSERT_NE(pk, nullptr);
        std::vector<std::string> got = upperNames(pk->fields);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, (std::vector<std::string>{"EMPBRCH", "EMPCOMP", "EMPDEPT"})) << name;
    }
}

TEST(Catalogue, SecondaryOrderings) {
    struct Ordering {
        const char* table;
        const char* index;
        const char* fields;
    };
    const Ordering orderings[] = {
        {"payrf01", "payrf01Dept", "EMPDEPT;EMPNO"},
        {"payy2005", nullptr, "EMPNO;PAYMONTH"},
    };
    for (const Ordering& o : orderings) {
        SCOPED_TRACE(o.table);
        const TableDef& t = table(o.table);
        const std::vector<std::string> want = split(o.fields);
        const IndexDef* found = nullptr;
        for (const IndexDef& ix : t.indexes) {
            if (upperNames(ix.fields) == want) found = &ix;
        }
        ASSERT_NE(found, nullptr) << o.fields;
        if (o.index) { EXPECT_EQ(found, t.index(upper(o.index))); }
    }
}

// Codes are stored in the fields that refer to them, so a reference must hold the whole code.
TEST(Catalogue, KeyWidthsAndReferences) {
    for (const TableDef& t : catalogue()) {
        for (const FieldDef& f : t.fields) {
            if (upper(f.name) == "EMPNO") {
                EXPECT_EQ(f.type, FieldType::Text) << t.name;
                EXPECT_EQ(f.textWidth(), 4) << t.name;
            }
        }
    }
    struct Reference {
        const char* table;
        const char* field;
        const char* target;
        const char* targetField;
    };
    const Reference refs[] = {
        {"payrf01", "EMPDEPT", "paydept", "CODE"},    {"payrf01", "EMPSECT", "paysect", "CODE"},
        {"payrf01", "EMPJOBT", "payjobt", "CODE"},    {"payrf01", "EMPBRCH", "PayBranch", "CODE"},
        {"payusrs", "JOBGROUP", "payjobt", "CODE"},   {"payrf02", "BANK", "payrf02m", "CODE"},
        {"payrf07", "CODE", "payrf06", "CODE"},       {"payrf09", "BATCH", "paybatch", "BATCH"},
        {"payrf09", "TRANSCODE", "payrf03", "FNO"},   {"payrf10", "Code", "payrf13", "Code"},
        {"payrf11", "Code", "payrf13", "Code"},       {"payrf04", "EMPDEPT", "paydept", "CODE"},
        {"payrf05", "EMPNAME", "payrf01", "EMPNAME"}, {"payrf01", "ALTPENS", "payrf03", "FNO"},
    };
    for (const Reference& r : refs) {
        SCOPED_TRACE(std::string(r.table) + "." + r.field + " -> " + r.target + "." + r.targetField);
        const FieldDef* from = table(r.table).field(r.field);
        const FieldDef* to = table(r.target).field(r.targetField);
        ASSERT_NE(from, nullptr);
        ASSERT_NE(to, nullptr);
        EXPECT_EQ(from->type, to->type);
        EXPECT_GE(from->textWidth(), to->textWidth());
    }
}

// A new-record value must be readable in its field's type.
TEST(Catalogue, NewValuesAreWellFormed) {
    for (const TableDef& t : catalogue()) {
        for (const FieldDef& f : t.fields) {
            if (f.newValue.empty()) continue;
            SCOPED_TRACE(t.name + "." + f.name + " = " + f.newValue);
            switch (f.type) {
                case FieldType::Logical:
                    EXPECT_TRUE(f.newValue == "true" || f.newValue == "false");
                    break;
                case FieldType::SmallInt: {
                    size_t used = 0;
                    const int v = std::stoi(f.newValue, &used);
                    EXPECT_EQ(used, f.newValue.size());
                    EXPECT_TRUE(v >= -32768 && v <= 32767);
                    break;
                }
                case FieldType::Float: {
                    size_t used = 0;
                    (void)std::stod(f.newValue, &used);
                    EXPECT_EQ(used, f.newValue.size());
                    break;
                }
                case FieldType::Text:
                    EXPECT_LE(static_cast<int>(f.newValue.size()), f.textWidth());
                    break;
                default:
                    ADD_FAILURE() << "no new value expected for this type";
            }
        }
    }
}

TEST(Catalogue, NewRecordDefaults) {
    // A new employee: active, permanent, paid in cash; NSSF, NHIF and PAYE set, every other flag clear.
    const TableDef& master = table("payrf01");
    const std::pair<const char*, const char*> employee[] = {
        {"ESTATUS", "A"},  {"PERMCODE", "1"}, {"PAYMENT", "1"},   {"EMPCAT", "0"},    {"TOTEARN", "0"},
        {"NETT", "0"},     {"RELCFWD", "0"},  {"PAY", "0"},       {"YTD_PENS", "0"},  {"ODLM", "0"},
        {"VNSSF", "0"},    {"OTAX", "0"},     {"DaysTaken", "0"}, {"LOAN10DEF", "false"},
        {"XL10", "0"},     {"EMPNO", ""},     {"TERDATE", ""},    {"YTD_EARN", ""},   {"PAYE", ""},
    };
    for (const auto& [name, value] : employee) {
        const FieldDef* f = master.field(name);
        ASSERT_NE(f, nullptr) << name;
        EXPECT_EQ(f->newValue, value) << name;
    }
    const std::set<std::string> setFlags = {"NSFLAG", "NHFLAG", "PAFLAG"};
    for (const FieldDef& f : master.fields) {
        if (f.type != FieldType::Logical) continue;
        EXPECT_EQ(f.newValue == "true", setFlags.count(f.name) == 1) << f.name;
    }

    // A new tax-history row: 0 in the sixteen amounts from PAY to INTEREST, the rest null.
    const TableDef& hist = table("payrf04");
    const int from = hist.fieldIndex("PAY");
    const int to = hist.fieldIndex("INTEREST");
    ASSERT_EQ(to - from + 1, 16);
    for (int i = 0; i < static_cast<int>(hist.fields.size()); ++i) {
        EXPECT_EQ(hist.fields[i].newValue, (i >= from && i <= to) ? "0" : "") << hist.fields[i].name;
    }

    const TableDef& codes = table("payrf03");
    const std::pair<const char*, const char*> payCode[] = {
        {"REC_TYPE", "K"}, {"FACTOR", "0"}, {"RECUR", "true"}, {"INTRATE", "0"},
        {"TAXABLE", "true"}, {"LOAN_TYPE", "0"}, {"LINKTO", ""},
    };
    for (const auto& [name, value] : payCode) {
        ASSERT_NE(codes.field(name), nullptr) << name;
        EXPECT_EQ(codes.field(name)->newValue, value) << name;
    }
}

// Snapshot tables carry the month and year in front of the record they copy, field for field.
TEST(Catalogue, SnapshotsCopyTheirSourceRecords) {
    const TableDef& trans = table("payrf00");
    const TableDef& master = table("payrf01");

    const TableDef& t0 = table("paytemp0");
    ASSERT_EQ(t0.fields.size(), trans.fields.size() + 2);
    EXPECT_EQ(t0.fields[0].name, "PayMonth");
    EXPECT_EQ(t0.fields[1].name, "PayYear");
    for (size_t i = 0; i < trans.fields.size(); ++i) expectSameField(trans.fields[i], t0.fields[i + 2]);

    const TableDef& year = table("payy2005");
    ASSERT_EQ(year.fields.size(), trans.fields.size() + 2);
    EXPECT_EQ(upper(year.fields[0].name), "EMPNO");
    EXPECT_EQ(upper(year.fields[1].name), "PAYMONTH");
    EXPECT_EQ(upper(year.fields[2].name), "PAYYEAR");
    for (size_t i = 1; i < trans.fields.size(); ++i) expectSameField(trans.fields[i], year.fields[i + 2]);

    // paytemp1 has its own order; every field has a namesake of the same type in the master,
    // and only the student-loan fields of the master are left out.
    const TableDef& t1 = table("paytemp1");
    EXPECT_EQ(t1.fields[0].name, "PayMonth");
    EXPECT_EQ(t1.fields[1].name, "PayYear");
    EXPECT_EQ(t1.fields[2].name, "EMPNO");
    EXPECT_EQ(t1.fields[9].name, "STAFFNO");
    std::set<std::string> inSnapshot;
    for (size_t i = 2; i < t1.fields.size(); ++i) {
        const FieldDef* m = master.field(t1.fields[i].name);
        ASSERT_NE(m, nullptr) << t1.fields[i].name;
        expectSameField(*m, t1.fields[i]);
        inSnapshot.insert(m->name);
    }
    std::vector<std::string> leftOut;
    for (const FieldDef& f : master.fields) {
        if (!inSnapshot.count(f.name)) leftOut.push_back(f.name);
    }
    EXPECT_EQ(leftOut, (std::vector<std::string>{"UREGNO", "UNIVERSITY"}));
}

TEST(Catalogue, MonthAndYearArchives) {
    struct Archive {
        TableDef def;
        const char* name;
        const char* source;
    };
    const Archive archives[] = {
        {monthArchiveDef(1, 2009), "PayM012009", "payrf01"},
        {monthArchiveDef(12, 2010), "PayM122010", "payrf01"},
        {monthTransArchiveDef(1, 2009), "PayT012009", "payrf00"},
        {monthTransArchiveDef(6, 2011), "PayT062011", "payrf00"},
        {yearArchiveDef(2009), "PayP92009", "payrf04"},
    };
    for (const Archive& a : archives) {
        SCOPED_TRACE(a.name);
        EXPECT_EQ(a.def.name, a.name);
        const TableDef& src = table(a.source);
        ASSERT_EQ(a.def.fields.size(), src.fields.size());
        for (size_t i = 0; i < src.fields.size(); ++i) {
            expectSameField(src.fields[i], a.def.fields[i]);
            EXPECT_EQ(src.fields[i].newValue, a.def.fields[i].newValue);
        }
        ASSERT_NE(a.def.primary(), nullptr);
        EXPECT_EQ(a.def.primary()->fields, src.primary()->fields);
        EXPECT_EQ(catalogueTable(a.name), nullptr) << "archives are made at the close, not catalogued";
    }
    EXPECT_THROW(monthArchiveDef(0, 2009), std::invalid_argument);
    EXPECT_THROW(monthArchiveDef(13, 2009), std::invalid_argument);
    EXPECT_THROW(monthTransArchiveDef(1, 209), std::invalid_argument);
    EXPECT_THROW(yearArchiveDef(20090), std::invalid_argument);
}

TEST(Catalogue, LookupByNameInAnyCase) {
    for (const char* name : {"payrf01", "PAYRF01", "PayRf01", "paybranch", "PAYBRANCH", "PayBranch", "payhist"}) {
        const TableDef* t = catalogueTable(name);
        ASSERT_NE(t, nullptr) << name;
        EXPECT_EQ(upper(t->name), upper(name));
        EXPECT_GE(t, catalogue().data());
        EXPECT_LT(t, catalogue().data() + catalogue().size());
    }
    EXPECT_EQ(catalogueTable("payhist")->fields.size(), 6u);  // the arrears table, not the tax history
    for (const char* name : {"", "payrf99", "payrf0", "payrf011", "paytemp"}) {
        EXPECT_EQ(catalogueTable(name), nullptr) << name;
    }
    EXPECT_EQ(catalogue().front().name, "payrf01");
}

}  // namespace
}  // namespace zuna
