#include "data/ZunaData.h"

#include "app/fmVarGlobal.h"

namespace zuna {

namespace {
const char* kPassword = Database::kTablePassword;
}

TdmPayroll::TdmPayroll(const std::string& folder)
    : TdmPayroll(Database::open(folder.empty() ? Database::resolveAlias("Zuna") : folder)) {}

TdmPayroll::TdmPayroll(std::unique_ptr<Database> db)
    : payroll(*db, "payrf01"),
      Transactions(*db, "payrf00"),
      payhist(*db, "payrf04"),
      paycoin(*db, "payrf05"),
      Benefits(*db, "payrf06"),
      EmpBenefits(*db, "payrf07"),
      Paycodes(*db, "payrf03"),
      paysys(*db, "paysys"),
      payMain(*db, "payrf08"),
      paynhif(*db, "paynhif"),
      paylasc(*db, "paylasc"),
      PayBatch(*db, "payrf09"),
      PayCBatch(*db, "paybatch"),
      Payanal(*db, "payanal"),
      PayTanal(*db, "paytanal"),
      Paytemp00(*db, "paytemp0"),
      paytemp01(*db, "paytemp1"),
      taPayrecords(*db, "payy2005"),
      taMessages(*db, "payrf50"),
      PayUsers(*db, "payusrs"),
      PayLog(*db, "paylog"),
      Jobtitles(*db, "payjobt"),
      Sections(*db, "paysect"),
      Departments(*db, "paydept"),
      taBranch(*db, "PayBranch"),
      taBanks(*db, "payrf02m"),
      PayBanks(*db, "payrf02"),
      Courses(*db, "payrf13"),
      Academics(*db, "payrf15"),
      CoursesAtt(*db, "payrf10"),
      Education(*db, "payrf11"),
      Family(*db, "payrf12"),
      QryPayroll(*db),
      QueryTransfer(*db),
      Qsavings(*db),
      Birthdays(*db),
      PayQuery1(*db),
      P9Query(*db),
      ConfirmYes([](const std::string&) { return true; }),
      db_(std::move(db)) {
    setUp();
    // The bank and bank-branch tables are open from load; then every table.
    taBanks.open();
    PayBanks.open();
    OpenAllTables();
}

TdmPayroll::~TdmPayroll() {
    try {
        CloseAllTables();
        taBanks.close();
        PayBanks.close();
    } catch (...) {
    }
}

std::vector<Table*> TdmPayroll::allTables() {
    return {&Jobtitles, &Sections,  &taBranch,    &payhist,   &payroll,  &Transactions, &Departments, &Benefits,
            &PayBanks,  &paynhif,   &paylasc,     &paysys,    &payMain,  &paycoin,      &Paycodes,    &PayUsers,
            &EmpBenefits, &Paytemp00, &paytemp01, &Payanal,   &PayBatch, &PayCBatch,    &PayTanal,    &PayLog,
            &Courses,   &Education, &Family,      &CoursesAtt, &Academics, &taPayrecords, &taMessages, &taBanks};
}

Table* TdmPayroll::tableByName(const std::string& name) {
    for (Table* t : allTables())
        if (iequals(t->tableName(), name)) return t;
    return nullptr;
}

void TdmPayroll::OpenAllTables() {
    // The fixed order of the shell: tables, the pension-scheme query and the birthday query in their places.
    // Each table registers the table password as it opens (afterOpen, see setUp).
    auto openT = [](Table& t) { t.open(); };
    openT(Jobtitles);
    openT(Sections);
    openT(taBranch);
    openT(payhist);
    openT(payroll);
    openT(Transactions);
    openT(Departments);
    openT(Benefits);
    openT(PayBanks);
    openT(paynhif);
    openT(paylasc);
    openT(paysys);
    openT(payMain);
    openT(paycoin);
    openT(Paycodes);
    openT(PayUsers);
    openT(EmpBenefits);
    openT(Paytemp00);
    openT(paytemp01);
    openT(Payanal);
    openT(PayBatch);
    openT(PayCBatch);
    openT(PayTanal);
    openT(PayLog);
    openT(Courses);
    openT(Education);
    openT(Family);
    openT(CoursesAtt);
    Qsavings.open();
    // The birthday query needs its month; it is opened by the main window's activation.
    openT(Academics);
    openT(taPayrecords);
    openT(taMessages);
}

void TdmPayroll::CloseAllTables() {
    for (Table* t : allTables())
        if (t != &taBanks && t != &PayBanks) t->close();
    Qsavings.close();
    Birthdays.close();
}

void TdmPayroll::RefreshAllTables() {
    for (Table* t : allTables())
        if (t->active()) t->refresh();
    if (Qsavings.active()) {
        Qsavings.close();
        Qsavings.open();
    }
}

void TdmPayroll::setUp() {
    struct Named {
        Dataset& d;
        const char* n;
    };
    for (auto [d, n] : {Named{payroll, "payroll"}, Named{Transactions, "Transactions"}, Named{payhist, "payhist"},
                        Named{paycoin, "paycoin"}, Named{Benefits, "Benefits"}, Named{EmpBenefits, "EmpBenefits"},
                        Named{Paycodes, "Paycodes"}, Named{paysys, "paysys"}, Named{payMain, "payMain"},
                        Named{paynhif, "paynhif"}, Named{paylasc, "paylasc"}, Named{PayBatch, "PayBatch"},
                        Named{PayCBatch, "PayCBatch"}, Named{Payanal, "Payanal"}, Named{PayTanal, "PayTanal"},
                        Named{Paytemp00, "Paytemp00"}, Named{paytemp01, "paytemp01"}, Named{taPayrecords, "taPayrecords"},
                        Named{taMessages, "taMessages"}, Named{PayUsers, "PayUsers"}, Named{PayLog, "PayLog"},
                        Named{Jobtitles, "Jobtitles"}, Named{Sections, "Sections"}, Named{Departments, "Departments"},
                        Named{taBranch, "taBranch"}, Named{taBanks, "taBanks"}, Named{PayBanks, "PayBanks"},
                        Named{Courses, "Courses"}, Named{Academics, "Academics"}, Named{CoursesAtt, "CoursesAtt"},
                        Named{Education, "Education"}, Named{Family, "Family"}, Named{QryPayroll, "QryPayroll"},
                        Named{QueryTransfer, "QueryTransfer"}, Named{Qsavings, "Qsavings"},
                        Named{Birthdays, "Birthdays"}, Named{PayQuery1, "PayQuery1"}, Named{P9Query, "P9Query"}})
        d.setName(n);

    // Every table registers the table password for itself right after it opens; every query
    // registers it for the tables its text names before it opens.
    for (Table* t : allTables())
        t->afterOpen = [](Dataset& d) {
            const Table& t = static_cast<const Table&>(d);
            t.database().registerPassword(t.tableName(), kPassword);
        };
    struct QueryTables {
        Query& q;
        std::vector<const char*> tables;
    };
    for (auto& [q, tables] : {QueryTables{QryPayroll, {"Payrf01", "Paydept"}},
                              QueryTables{QueryTransfer, {"Payrf02", "Payrf01", "Payrf02m"}},
                              QueryTables{Qsavings, {"Payrf03"}}, QueryTables{Birthdays, {"Payrf01", "Paydept"}},
                              QueryTables{PayQuery1, {"Payrf01", "Payrf00"}}, QueryTables{P9Query, {"Payrf04", "Payrf01"}}})
        q.beforeOpen = [tables](Dataset& d) {
            for (const char* t : tables) static_cast<Query&>(d).registerPassword(t, kPassword);
        };

    // Record rules and calculated fields.
    for (Table* t : allTables()) AttachRecordRules(*t);
    setUpCalculatedFields();
    setUpBatchCancel();

    // Indexes.
    for (Table* t : {&payroll, &Transactions, &payhist, &paycoin, &Benefits, &Paycodes, &paysys, &PayBatch,
                     &PayCBatch, &Payanal, &PayTanal, &Paytemp00, &paytemp01, &taMessages, &PayUsers, &Jobtitles,
                     &Sections, &Departments, &taBanks, &PayBanks, &Courses, &Academics, &CoursesAtt, &Education,
                     &Family})
        t->setIndexName("PRIMARY");
    EmpBenefits.setIndexName("PRIMARY");
    taPayrecords.setIndexFields("EMPNO;PAYMONTH;PAYYEAR");

    // Standing filters.
    payroll.setFilter("Estatus='A'");
    payroll.setFiltered(true);

    // Detail links.
    Transactions.setMaster(&payroll, "EMPNO", "EMPNO");
    payhist.setMaster(&payroll, "EMPNO", "EMPNO");
    CoursesAtt.setMaster(&payroll, "Empno", "EMPNO");
    Family.setMaster(&payroll, "EmpNo", "EMPNO");
    PayBatch.setMaster(&PayCBatch, "BATCH", "BATCH");

    // Lookup fields.
    paysys.addLookupField({"BankCode", FieldType::Text, 3}, "BANK", "payrf02", "BANKREF", "BANK");
    paysys.addLookupField({"BankName", FieldType::Text, 40}, "BankCode", "payrf02m", "CODE", "DESCRIPTION");
    paysys.addLookupField({"Code", FieldType::Text, 3}, "BANK", "payrf02", "BANKREF", "CODE");
    PayBanks.addLookupField({"Name", FieldType::Text, 30}, "BANK", "payrf02m", "CODE", "DESCRIPTION");
    PayBanks.addLookupField({"BankAbbr", FieldType::Text, 4}, "BANK", "payrf02m", "CODE", "BANKABBR");
    EmpBenefits.addLookupField({"Name", FieldType::Text, 20}, "EMPNO", "payrf01", "EMPNO", "EMPNAME");
    EmpBenefits.addLookupField({"Factor", FieldType::Float}, "CODE", "payrf06", "CODE", "FACTOR");
    PayBatch.addLookupField({"Empname", FieldType::Text, 40}, "EMPNO", "payrf01", "EMPNO", "EMPNAME");
    PayBatch.addLookupField({"Transdesc", FieldType::Text, 20}, "TRANSCODE", "payrf03", "FNO", "FNAME");
    CoursesAtt.addLookupField({"Description", FieldType::Text, 20}, "Code", "payrf13", "Code", "Description");
    Education.addLookupField({"Description", FieldType::Text, 20}, "Code", "payrf13", "Code", "Description");

    // Shared queries.
    QryPayroll.setSql(
        "SELECT empno, empjobt, empbrch, empsect, empname, othernames, engdate, surname, empdept, payment, nett, nssf, "
        "nhif, paye, IDno,lasc, pinno, nssfno, nhifno, lascno, Estatus, code, department , PayNoTax,VNSSF,odcr\n"
        "from payrf01 a, paydept b\n"
        "where a.empdept = b.code\n"
        "and paye > 0 \n"
        "order by a.empdept,a.empno;");
    QryPayroll.setFilter("Estatus = 'A'");
    QryPayroll.addLookupField({"Section", FieldType::Text, 40}, "EMPSECT", "paysect", "CODE", "SECTION");
    QryPayroll.addLookupField({"Branch", FieldType::Text, 40}, "EMPBRCH", "PayBranch", "CODE", "DESCRIPTION");
    QueryTransfer.setSql(
        "Select * from payrf01 a, payrf02 b, payrf02m c\n"
        "    where payment = 3\n"
        "    And a.Bankref = b.Bankref\n"
        "   And b.Bank = c.Code\n"
        "   And Estatus = 'A'\n"
        "Order by b.Bank, b.Code,BankAc,empno");
    Qsavings.setSql("Select * from Payrf03\nwhere fno between 50 and 60\nOrder by Fno");
    Birthdays.setSql(
        "SELECT empno, empjobt, birthdate, empbrch, empsect, empname, othernames, engdate, surname, empdept, IDno, "
        "Estatus, code, department \n"
        "from payrf01 a, paydept b\n"
        "where a.empdept = b.code\n"
        "and month(Birthdate) = :pmonth \n"
        "order by a.empbrch,a.empdept,a.empno;");
    PayQuery1.setSql(
        "Select * from payrf00 a, payrf01 b\n"
        "where a.Empno = b.Empno\n"
        "And b.payment = 3\n"
        "And b.Estatus = 'A'\n"
        "Order by a.empno");
    PayQuery1.setFilter("payment = 3");
    PayQuery1.setFiltered(true);
    PayQuery1.addLookupField({"SortCode", FieldType::Text, 3}, "BANKREF", "payrf02", "BANKREF", "CODE");
}

}  // namespace zuna
