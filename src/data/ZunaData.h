// The data module: owns the database connection, one dataset per table of the catalogue,
// the shared queries, their links, standing filters, lookup and calculated fields and the
// record rules of the tables. Every window and every command works on these shared datasets.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Dataset.h"

namespace zuna {

// A confirmation answered No: the operation stops where it is, without a message. The windows
// catch it and show nothing; the record keeps its state (a header being inserted stays inserted).
struct SilentAbort : std::exception {
    const char* what() const noexcept override { return "Operation abandoned"; }
};

class TdmPayroll {
public:
    // Opens the database of a folder (the alias "Zuna" when folder is empty) and every table
    // (OpenAllTables). EngineError when the database cannot be opened.
    explicit TdmPayroll(const std::string& folder = {});
    // Over an open database (tests, preparation).
    explicit TdmPayroll(std::unique_ptr<Database> db);
    ~TdmPayroll();
    TdmPayroll(const TdmPayroll&) = delete;
    TdmPayroll& operator=(const TdmPayroll&) = delete;

    Database& db() { return *db_; }

    // --- tables, under their component names
    Table payroll;        // payrf01, employee master; filter "Estatus='A'" on from load
    Table Transactions;   // payrf00, detail of payroll by EMPNO
    Table payhist;        // payrf04, detail of payroll by EMPNO
    Table paycoin;        // payrf05
    Table Benefits;       // payrf06
    Table EmpBenefits;    // payrf07, ordered by EMPNO
    Table Paycodes;       // payrf03
    Table paysys;         // paysys, one record
    Table payMain;        // payrf08, filtered to the company's country at login
    Table paynhif;        // paynhif, one record
    Table paylasc;        // paylasc, one record
    Table PayBatch;       // payrf09, detail of PayCBatch by BATCH
    Table PayCBatch;      // paybatch
    Table Payanal;        // payanal
    Table PayTanal;       // paytanal
    Table Paytemp00;      // paytemp0
    Table paytemp01;      // paytemp1
    Table taPayrecords;   // payy2005
    Table taMessages;     // payrf50
    Table PayUsers;       // payusrs
    Table PayLog;         // paylog
    Table Jobtitles;      // payjobt
    Table Sections;       // paysect
    Table Departments;    // paydept
    Table taBranch;       // PayBranch
    Table taBanks;        // payrf02m
    Table PayBanks;       // payrf02
    Table Courses;        // payrf13
    Table Academics;      // payrf15
    Table CoursesAtt;     // payrf10, detail of payroll by EMPNO
    Table Education;      // payrf11
    Table Family;         // payrf12, detail of payroll by EMPNO

    // --- shared queries
    Query QryPayroll;
    Query QueryTransfer;
    Query Qsavings;
    Query Birthdays;
    Query PayQuery1;
    Query P9Query;

    // Open, close or refresh every dataset of the fixed list, in its order.
    void OpenAllTables();
    void CloseAllTables();
    void RefreshAllTables();
    // Every table of the module, in the fixed order.
    std::vector<Table*> allTables();
    Table* tableByName(const std::string& fileName);  // payrf01, PayBranch, ... (any case); null if none

    // Questions the record rules ask the user ("Delete all items in this batch?"): the windows
    // answer with a message box, tests and the command line answer directly. Default: yes.
    std::function<bool(const std::string& question)> ConfirmYes;

    // Deletes every line of the current batch header (PayCBatch), in one transaction.
    void DeleteItems();

    // The record rules of a table, by its name: new-record values beyond the stored defaults and the
    // posting rules (INSRLF of an employee, title-cased names, bank-branch references). The module's
    // own tables carry them; a further Table on the same file (imports, bulk work) gets them here.
    void AttachRecordRules(Table& t);

    // The question asked before a new batch header with lines is cancelled.
    static constexpr const char* kCancelBatchQuestion = "Cancel Transaction being inserted and delete all line items?";

private:
    void setUp();
    void setUpCalculatedFields();
    void setUpBatchCancel();
    // Monthly insurance relief from the annual premium and the company's tax parameters.
    double insuranceRelief(double annualPremium);
    std::unique_ptr<Database> db_;
};

}  // namespace zuna
