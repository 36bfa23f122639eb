// CSV export and import of tables: the text format, round trips, updates and inserts with the
// record rules, and bad files refused with one line and nothing written.
#include <gtest/gtest.h>

#include <sstream>

#include "Fixture.h"
#include "data/Catalogue.h"
#include "data/CsvTransfer.h"

using namespace zuna;
using zuna::test::PreparedDb;

namespace {

std::string exported(TdmPayroll& dm, const std::string& table) {
    std::ostringstream out;
    ExportCsv(dm.db(), table, out);
    return out.str();
}

// Every table of the database as exported text: the whole content, to compare states.
std::string everything(TdmPayroll& dm) {
    std::string all;
    for (const std::string& t : dm.db().tableNames()) all += "== " + t + "\n" + exported(dm, t);
    return all;
}

ImportResult importText(TdmPayroll& dm, const std::string& table, const std::string& text, bool replace = false) {
    std::istringstream in(text);
    return ImportCsv(dm, table, in, "people.csv", replace);
}

std::string importError(TdmPayroll& dm, const std::string& table, const std::string& text) {
    try {
        importText(dm, table, text);
    } catch (const EngineError& e) {
        return e.what();
    }
    return "(accepted)";
}

}  // namespace

TEST(Csv, ParsingQuotedFieldsAndLineEnds) {
    std::istringstream in(
        "\xEF\xBB\xBF"
        "A,B,C\r\n"
        "1,\"two, three\",\"say \"\"hi\"\"\"\n"
        "\n"
        "x,\"multi\nline\",\r\n"
        "\"\",,last");
    auto recs = ParseCsv(in, "f.csv");
    ASSERT_EQ(recs.size(), 4u);
    EXPECT_EQ(recs[0].fields[0].text, "A");
    EXPECT_EQ(recs[1].line, 2);
    EXPECT_EQ(recs[1].fields[1].text, "two, three");
    EXPECT_EQ(recs[1].fields[2].text, "say \"hi\"");
    EXPECT_EQ(recs[2].line, 4);
    EXPECT_EQ(recs[2].fields[1].text, "multi\nline");
    ASSERT_EQ(recs[2].fields.size(), 3u);
    EXPECT_EQ(recs[2].fields[2].text, "");
    EXPECT_EQ(recs[3].line, 6);
    EXPECT_TRUE(recs[3].fields[0].quoted);
    EXPECT_FALSE(recs[3].fields[1].quoted);
    EXPECT_EQ(recs[3].fields[2].text, "last");

    for (const char* bad : {"A,\"open\n", "A,\"x\"y,B\n"}) {
        std::istringstream b(bad);
        EXPECT_THROW(ParseCsv(b, "f.csv"), EngineError) << bad;
    }
    struct Quote {
        const char* text;
        const char* written;
    };
    for (const Quote& q : {Quote{"plain", "plain"}, Quote{"a,b", "\"a,b\""}, Quote{"", "\"\""},
                           Quote{" lead", "\" lead\""}, Quote{"q\"q", "\"q\"\"q\""}, Quote{"l\nf", "\"l\nf\""}})
        EXPECT_EQ(CsvQuote(q.text), q.written);

    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    for (size_t n : {0, 1, 2, 3, 4, 255, 256}) {
        std::string part = bytes.substr(0, n), back;
        ASSERT_TRUE(Base64Decode(Base64Encode(part), back)) << n;
        EXPECT_EQ(back, part) << n;
    }
    EXPECT_EQ(Base64Encode("Man"), "TWFu");
    EXPECT_EQ(Base64Encode("Ma"), "TWE=");
    std::string out;
    EXPECT_FALSE(Base64Decode("TWF", out));
    EXPECT_FALSE(Base64Decode("TW!u", out));
}

TEST(Csv, ExportFormat) {
    PreparedDb db;
    TdmPayroll& dm = *db;
    dm.payroll.append();
    dm.payroll.setString("EMPNO", "0001");
    dm.payroll.setString("SURNAME", "O'NEIL, \"JR\"");
    dm.payroll.setDate("BIRTHDATE", Date(1980, 2, 29));
    dm.payroll.setFloat("INSURANCE", 0.1);
    dm.payroll.setFloat("OLDPAY", 1500000);
    dm.payroll.setFloat("MORTINT", -2745.65);
    dm.payroll.setString("IDNO", "");
    dm.payroll.setValue("EMPPICT", Value::blob(std::string("\x00\xff\x10", 3)));
    dm.payroll.post();
    std::istringstream in(exported(dm, "payrf01"));
    auto recs = ParseCsv(in, "x");
    ASSERT_EQ(recs.size(), 2u);
    const TableDef& def = *catalogueTable("payrf01");
    ASSERT_EQ(recs[0].fields.size(), def.fields.size());
    for (size_t i = 0; i < def.fields.size(); ++i) EXPECT_EQ(recs[0].fields[i].text, def.fields[i].name);
    auto cell = [&](const char* f) { return recs[1].fields[static_cast<size_t>(def.fieldIndex(f))]; };
    EXPECT_EQ(cell("SURNAME").text, "O'NEIL, \"JR\"");
    EXPECT_EQ(cell("BIRTHDATE").text, "1980-02-29");
    EXPECT_EQ(cell("INSURANCE").text, "0.1");
    EXPECT_EQ(cell("OLDPAY").text, "1500000");
    EXPECT_EQ(cell("MORTINT").text, "-2745.65");
    EXPECT_EQ(cell("NSFLAG").text, "true");
    EXPECT_EQ(cell("HOUSED").text, "false");
    EXPECT_EQ(cell("PAYMENT").text, "1");
    EXPECT_EQ(cell("EMPPICT").text, "AP8Q");
    EXPECT_TRUE(cell("IDNO").quoted);  // empty text, not null
    EXPECT_EQ(cell("IDNO").text, "");
    EXPECT_FALSE(cell("TERDATE").quoted);
    EXPECT_EQ(cell("TERDATE").text, "");
    EXPECT_THROW(exported(dm, "payrf99"), EngineError);
}

// Export everything, import it back over an emptied database: the same content.
TEST(Csv, RoundTripOfTheDemoDatabase) {
    PreparedDb db("K", true);
    db.login();
    TdmPayroll& dm = *db;
    // Pay-code names as the system stores them on any save (the import posts them).
    for (dm.Paycodes.first(); !dm.Paycodes.eof(); dm.Paycodes.next()) {
        dm.Paycodes.edit();
        dm.Paycodes.post();
    }
    const std::string before = everything(dm);
    for (const TableDef& def : catalogue()) {
        if (iequals(def.name, "paylog")) continue;  // the login wrote to it; the log only grows
        std::string text = exported(dm, def.name);
        ImportResult r = importText(dm, def.name, text, true);
        EXPECT_EQ(r.rows, r.inserted) << def.name;
        EXPECT_EQ(r.updated, 0) << def.name;
    }
    EXPECT_EQ(everything(dm), before);
}

TEST(Csv, ImportUpdatesAndInsertsWithTheRecordRules) {
    PreparedDb db("K", true);
    db.login();
    TdmPayroll& dm = *db;
    Database& d = dm.db();
    auto count = [&](const char* sql) {
        Stmt s = d.prepare(sql);
        s.step();
        return s.columnInt(0);
    };
    const auto history = count("SELECT count(*) FROM payrf04");
    const auto transactions = count("SELECT count(*) FROM payrf00");

    // A subset of fields in another order, names in another case: 0001 is updated in those
    // fields only, 0101 is new.
    ImportResult r = importText(dm, "PAYRF01",
                                "insurance,EmpNo,othernames,SURNAME,EMPDEPT\n"
                                "24000,0001,PETER,KAMAU,FIN\n"
                                "12000,0101,JOY,\"WAN JIRU\",OPS\n");
    EXPECT_EQ(r.inserted, 1);
    EXPECT_EQ(r.updated, 1);
    EXPECT_EQ(r.detailRows, 13);
    dm.payroll.setFiltered(false);
    ASSERT_TRUE(dm.payroll.locate("EMPNO", Value("0001")));
    EXPECT_EQ(dm.payroll.asString("OTHERNAMES"), "PETER");
    EXPECT_EQ(dm.payroll.asString("EMPDEPT"), "FIN");
    EXPECT_EQ(dm.payroll.asFloat("INSRLF"), 300);             // recomputed on posting
    EXPECT_EQ(dm.payroll.asInteger("PAYMENT"), 3);            // not in the file: kept
    EXPECT_EQ(dm.payroll.asString("EMPNAME"), "PETER NJOROGE KAMAU");
    ASSERT_TRUE(dm.payroll.locate("EMPNO", Value("0101")));
    EXPECT_EQ(dm.payroll.asString("ESTATUS"), "A");           // new-record values
    EXPECT_TRUE(dm.payroll.asBoolean("NSFLAG"));
    EXPECT_EQ(dm.payroll.asFloat("INSRLF"), 150);
    EXPECT_EQ(count("SELECT count(*) FROM payrf04"), history + 12);
    EXPECT_EQ(count("SELECT count(*) FROM payrf04 WHERE EMPNO = '0101' AND TMONTH = '12' AND PAY = 0"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM payrf00"), transactions + 1);
    EXPECT_EQ(count("SELECT count(*) FROM payrf00 WHERE EMPNO = '0101' AND E1 = 0 AND LBAL10 = 0"), 1);

    // An empty cell clears a stored value; on a new row it leaves the value for new records.
    importText(dm, "payrf01", "EMPNO,MORTINT,NSFLAG\n0001,,\n0102,,\n");
    ASSERT_TRUE(dm.payroll.locate("EMPNO", Value("0001")));
    EXPECT_TRUE(dm.payroll.isNull("MORTINT"));
    EXPECT_TRUE(dm.payroll.isNull("NSFLAG"));
    ASSERT_TRUE(dm.payroll.locate("EMPNO", Value("0102")));
    EXPECT_TRUE(dm.payroll.asBoolean("NSFLAG"));

    // Names of departments come in title-cased; a single-record table has its record updated.
    importText(dm, "paydept", "CODE,DEPARTMENT\nFIN,FINANCE AND ADMINISTRATION\nICT,INFORMATION TECHNOLOGY\n");
    ASSERT_TRUE(dm.Departments.locate("CODE", Value("ICT")));
    EXPECT_EQ(dm.Departments.asString("DEPARTMENT"), "Information Technology");
    r = importText(dm, "paysys", "TELEPHONE,MINHOUSING\n020 123456,4500\n");
    EXPECT_EQ(r.updated, 1);
    dm.paysys.first();
    EXPECT_EQ(dm.paysys.recordCount(), 1);
    EXPECT_EQ(dm.paysys.asString("TELEPHONE"), "020 123456");
    EXPECT_EQ(dm.paysys.asString("COMP_NAME"), "Test Company Ltd");

    // A new bank branch by its reference; a benefit row by employee and code.
    r = importText(dm, "payrf02", "BANKREF,BANK,CODE,BRANCH\n106,01,01300,Eldoret\n100,01,01100,Nairobi Main Hall\n");
    EXPECT_EQ(r.inserted, 1);
    EXPECT_EQ(r.updated, 1);
    r = importText(dm, "payrf07", "EMPNO,CODE,VAMOUNT\n0001,1,2500000\n0001,3,3000\n");
    EXPECT_EQ(r.updated, 1);
    EXPECT_EQ(r.inserted, 1);
    EXPECT_EQ(count("SELECT count(*) FROM payrf07 WHERE EMPNO = '0001'"), 3);
}

// Bad files: one line naming the file, the line, the field and the value; nothing written.
TEST(Csv, RefusedImportsLeaveTheDatabaseUntouched) {
    PreparedDb db("K", true);
    db.login();
    TdmPayroll& dm = *db;
    const std::string before = everything(dm);
    struct Case {
        const char* table;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"payrf99", "EMPNO\n0001\n", "There is no table payrf99"},
        {"payrf01", "EMPNO,SURNAME,WAGES\n0001,KAMAU,100\n", "people.csv line 1, field WAGES: table payrf01 has no such field"},
        {"payrf01", "EMPNO,SURNAME,EMPNO\n0001,A,0001\n", "people.csv line 1, field EMPNO: the header names the field twice"},
        {"payrf01", "SURNAME,INSURANCE\nKAMAU,100\n", "people.csv line 1: the header has no field EMPNO"},
        {"payrf01", "EMPNO,INSURANCE\n0001,100\n0002,12O00\n", "people.csv line 3, field INSURANCE: '12O00' is not a number"},
        {"payrf01", "EMPNO,BIRTHDATE\n0001,1980-02-30\n", "people.csv line 2, field BIRTHDATE: '1980-02-30' is not a date"},
        {"payrf01", "EMPNO,PAYMENT\n0001,2.5\n", "people.csv line 2, field PAYMENT: '2.5' is not a whole number"},
        {"payrf01", "EMPNO,EMPCAT\n0001,40000\n", "people.csv line 2, field EMPCAT: '40000' is outside the range"},
        {"payrf01", "EMPNO,HOUSED\n0001,maybe\n", "people.csv line 2, field HOUSED: 'maybe' is not true or false"},
        {"payrf01", "EMPNO,EMPPICT\n0001,%%%%\n", "people.csv line 2, field EMPPICT: '%%%%' is not base64"},
        {"payrf01", "EMPNO,SURNAME\n00011,KAMAU\n", "people.csv line 2, field EMPNO: '00011' is longer than the 4 characters"},
        {"payrf01", "EMPNO,SURNAME\n,KAMAU\n", "people.csv line 2, field EMPNO: the field identifies the row and is empty"},
        {"payrf01", "EMPNO,SURNAME\n0101,A\n0102,B\n0101,C\n", "people.csv line 4, field EMPNO: '0101' repeats the row of line 2"},
        {"payrf01", "EMPNO,SURNAME\n0101,A\n0102,B,extra\n", "people.csv line 3: 3 fields where the header names 2"},
        {"payrf01", "EMPNO,SURNAME\n0101,\"A\n", "people.csv line 2: a quoted field is not closed"},
        {"paysys", "TELEPHONE\n1\n2\n", "people.csv line 3: table paysys holds a single record"},
        {"payrf02", "BANKREF,BANK,CODE\n10011,01,X\n", "people.csv line 2, field BANKREF: '10011' is longer than the 4"},
        {"payrf02", "BANKREF,BANK,CODE\n107,01,X\n108,01,Y\n1000,01,Z\n", "people.csv line 4: The internal reference '1000'"},
        {"payrf01", "", "people.csv: the file is empty"},
    };
    for (const Case& c : cases) {
        std::string msg = importError(dm, c.table, c.text);
        EXPECT_NE(msg.find(c.message), std::string::npos) << c.text << "\n got: " << msg;
        EXPECT_EQ(msg.find('\n'), std::string::npos) << msg;
    }
    EXPECT_EQ(everything(dm), before);

    // A failure while writing (the third branch's reference is refused by the posting rule)
    // takes back the rows written before it and the emptying of a replace.
    std::istringstream in("BANKREF,BANK,CODE\n107,01,X\n108,01,Y\n1000,01,Z\n");
    EXPECT_THROW(ImportCsv(dm, "payrf02", in, "people.csv", true), EngineError);
    EXPECT_EQ(everything(dm), before);
}
