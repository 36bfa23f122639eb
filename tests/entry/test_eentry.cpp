// The employee window's rules: creation, moving by number, save, date left, housing, deferred
// loan 1, the split of basic pay, the photograph, the rent dialog and the benefits window.
#include <fstream>
#include <filesystem>

#include "entry/EntryCommon.h"
#include "entry/EntryFixture.h"
#include "entry/Eentry.h"

namespace zuna::test {
namespace {

class EmployeeEntry : public EntryFixture {
protected:
    void SetUp() override {
        EntryFixture::SetUp();
        logic = std::make_unique<EmployeeEntryLogic>(*dm);
        logic->Open();
    }
    void TearDown() override {
        logic.reset();
        EntryFixture::TearDown();
    }
    long long rows(const std::string& table, const std::string& empno) {
        return count("SELECT count(*) FROM " + table + " WHERE EMPNO = '" + empno + "'");
    }
    std::unique_ptr<EmployeeEntryLogic> logic;
};

TEST_F(EmployeeEntry, CreatingANewNumberWritesMasterTransactionAndTwelveHistoryRows) {
    std::string asked;
    auto r = logic->NumberBoxExit("0007", [&](const std::string& q) {
        asked = q;
        return true;
    });
    EXPECT_EQ(r, EmployeeEntryLogic::NumberResult::Created);
    EXPECT_EQ(asked, "You are about to create a New Employee !!!. Proceeed ?");
    EXPECT_EQ(logic->CurrentEmpno(), "0007");

    EXPECT_EQ(rows("payrf01", "0007"), 1);
    EXPECT_EQ(stored("payrf01", "0007", "ESTATUS").toString(), "A");

    // Every amount and quantity slot of the transaction record is a stored 0, not null.
    ASSERT_EQ(rows("payrf00", "0007"), 1);
    std::vector<std::string> slots;
    for (int n = 1; n <= 25; ++n) slots.insert(slots.end(), {"E" + std::to_string(n), "RATE" + std::to_string(n)});
    for (int n = 1; n <= 15; ++n) slots.insert(slots.end(), {"D" + std::to_string(n), "DRATE" + std::to_string(n)});
    for (int n = 1; n <= 10; ++n)
        for (const char* p : {"L", "LN", "LBAL", "S", "SBAL", "I", "IBAL"}) slots.push_back(p + std::to_string(n));
    for (const auto& f : slots) {
        Value v = stored("payrf00", "0007", f);
        EXPECT_FALSE(v.isNull()) << f;
        EXPECT_EQ(v.toDouble(), 0) << f;
    }

    // Twelve history rows, "01".."12", amounts at 0.
    Stmt s = dm->db().prepare("SELECT TMONTH, PAY, TAXDED FROM payrf04 WHERE EMPNO = '0007' ORDER BY TMONTH");
    std::vector<std::string> months;
    while (s.step()) {
        months.push_back(s.column(0).toString());
        EXPECT_FALSE(s.columnIsNull(1));
        EXPECT_EQ(s.columnDouble(2), 0);
    }
    EXPECT_EQ(months, (std::vector<std::string>{"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"}));
    EXPECT_EQ(dm->payhist.recordCount(), 12);  // the detail follows the new employee
}

TEST_F(EmployeeEntry, NumberBoxFindsOrLeavesAloneWithoutCreating) {
    addEmployee("0001", "ACTIVE");
    addEmployee("0002", "DEPARTED", "", "D");
    long long before = count("SELECT count(*) FROM payrf01");

    struct Case {
        const char* typed;
        EmployeeEntryLogic::NumberResult result;
        const char* current;
    };
    for (const Case& c : {Case{"0002", EmployeeEntryLogic::NumberResult::Moved, "0002"},
                          Case{"0001", EmployeeEntryLogic::NumberResult::Moved, "0001"},
                          Case{"", EmployeeEntryLogic::NumberResult::Nothing, "0001"},
                          Case{"   ", EmployeeEntryLogic::NumberResult::Nothing, "0001"},
                          Case{"0099", EmployeeEntryLogic::NumberResult::Cancelled, "0001"}}) {
        bool asked = false;
        auto r = logic->NumberBoxExit(c.typed, [&](const std::string&) {
            asked = true;
            return false;
        });
        EXPECT_EQ(r, c.result) << c.typed;
        EXPECT_EQ(asked, c.result == EmployeeEntryLogic::NumberResult::Cancelled) << c.typed;
        EXPECT_EQ(logic->CurrentEmpno(), c.current) << c.typed;
    }
    EXPECT_EQ(count("SELECT count(*) FROM payrf01"), before);
    EXPECT_EQ(rows("payrf00", "0099") + rows("payrf04", "0099"), 0);
}

TEST_F(EmployeeEntry, CreationLandsWholeOrNotAtAll) {
    // A transaction record left behind for 0009 (by an earlier import, say) blocks the creation:
    // no master record and no history rows may be written without it.
    dm->Transactions.clearMaster();
    dm->Transactions.append();
    dm->Transactions.setString("EMPNO", "0009");
    dm->Transactions.post();
    dm->Transactions.setMaster(&dm->payroll, "EMPNO", "EMPNO");

    EXPECT_THROW(logic->NumberBoxExit("0009", [](const std::string&) { return true; }), EngineError);
    EXPECT_EQ(rows("payrf01", "0009"), 0);
    EXPECT_EQ(rows("payrf04", "0009"), 0);
    EXPECT_FALSE(dm->payroll.editing());
    EXPECT_FALSE(dm->Transactions.editing());

    // The next creation works as usual.
    EXPECT_EQ(logic->NumberBoxExit("0010", [](const std::string&) { return true; }),
              EmployeeEntryLogic::NumberResult::Created);
    EXPECT_EQ(rows("payrf04", "0010"), 12);
}

TEST_F(EmployeeEntry, CreationUnderAFilterThatHidesTheNewEmployee) {
    // Another caller (an import) may create employees while the job-group filter is on.
    restrictUser("J01");
    ApplyUserFilters(*dm);
    CreateEmployee(*dm, "0050");
    EXPECT_EQ(rows("payrf01", "0050"), 1);
    EXPECT_EQ(rows("payrf00", "0050"), 1);
    EXPECT_EQ(count("SELECT count(*) FROM payrf04 WHERE EMPNO = '0050' AND TMONTH BETWEEN '01' AND '12'"), 12);
    EXPECT_EQ(count("SELECT count(*) FROM payrf00 WHERE EMPNO IS NULL") + count("SELECT count(*) FROM payrf04 WHERE EMPNO IS NULL"), 0);
}

TEST_F(EmployeeEntry, SaveSetsStatusFromDateLeftAndComposesTheName) {
    // The period starts on 01/01/2009.
    struct Case {
        Date terdate;
        const char* status;
    };
    addEmployee("0001", "X");
    for (const Case& c : {Case{Date(), "A"}, Case{Date(2008, 12, 31), "D"}, Case{Date(2009, 1, 1), "A"},
                          Case{Date(2009, 1, 15), "A"}}) {
        ASSERT_TRUE(logic->GoTo("0001"));
        Table& p = dm->payroll;
        p.edit();
        p.setDate("TERDATE", c.terdate);
        p.setString("OTHERNAMES", "JOHN MWANGI   ");
        p.setString("SURNAME", "   KAMAU");
        logic->Save();
        EXPECT_EQ(stored("payrf01", "0001", "ESTATUS").toString(), c.status) << c.terdate.dmy();
        EXPECT_EQ(stored("payrf01", "0001", "EMPNAME").toString(), "JOHN MWANGI KAMAU");
    }
    EXPECT_EQ(EmployeeEntryLogic::ComposedName("", "  OTIENO "), "OTIENO");
}

TEST_F(EmployeeEntry, SaveAlsoStoresBasicPayBeingEdited) {
    addEmployee("0001", "X");
    dm->Transactions.edit();
    dm->Transactions.setFloat("E1", 25000);
    dm->Transactions.setFloat("E2", 5000);
    logic->Save();
    EXPECT_FALSE(dm->Transactions.editing());
    EXPECT_EQ(stored("payrf00", "0001", "E1").toDouble(), 25000);
    EXPECT_EQ(stored("payrf00", "0001", "E2").toDouble(), 5000);
}

TEST_F(EmployeeEntry, DateLeftAfterTodayIsRefusedAndCleared) {
    addEmployee("0001", "X");
    Date today(2009, 1, 20);
    struct Case {
        Date d;
        bool refused;
    };
    for (const Case& c : {Case{Date(2009, 1, 21), true}, Case{Date(2010, 5, 1), true}, Case{Date(2009, 1, 20), false},
                          Case{Date(2009, 1, 2), false}, Case{Date(), false}}) {
        dm->payroll.edit();
        dm->payroll.setDate("TERDATE", c.d);
        EXPECT_EQ(logic->DateLeftExit(today), c.refused) << c.d.dmy();
        EXPECT_EQ(dm->payroll.asDate("TERDATE"), c.refused ? Date() : c.d) << c.d.dmy();
        dm->payroll.cancel();
    }
}

TEST_F(EmployeeEntry, HousingAndOwnerOccupierClearTheirAmountsWhenUnticked) {
    addEmployee("0001", "X");
    Table& p = dm->payroll;
    p.edit();
    p.setBoolean("HOUSED", true);
    p.setFloat("RENT", 3000);
    p.setFloat("DROUGHT", 2500);
    p.setBoolean("MORTGAGE", true);
    p.setFloat("MORTINT", 9000);
    p.post();

    // Ticked: nothing changes, and "Rent Paid" opens the dialog.
    logic->HousedExit();
    logic->MortgageExit();
    EXPECT_TRUE(logic->RentPaidClick());
    EXPECT_EQ(p.asFloat("RENT"), 3000);
    EXPECT_EQ(p.asFloat("MORTINT"), 9000);

    p.edit();
    p.setBoolean("HOUSED", false);
    p.setBoolean("MORTGAGE", false);
    logic->HousedExit();
    logic->MortgageExit();
    EXPECT_EQ(p.asFloat("RENT"), 0);
    EXPECT_EQ(p.asFloat("DROUGHT"), 0);
    EXPECT_EQ(p.asFloat("MORTINT"), 0);

    p.setFloat("RENT", 1200);
    EXPECT_FALSE(logic->RentPaidClick());
    EXPECT_EQ(p.asFloat("RENT"), 0);
}

TEST_F(EmployeeEntry, DeferringLoan1ParksTheInstalmentAndGivesItBack) {
    addEmployee("0001", "X");
    setTrans("0001", {{"L1", Value(500.0)}});

    logic->DeferLoan1(true);
    EXPECT_EQ(stored("payrf00", "0001", "L1").toDouble(), 0);
    EXPECT_EQ(stored("payrf01", "0001", "XL1").toDouble(), 500);
    EXPECT_EQ(stored("payrf01", "0001", "LOAN1DEF").toInt(), 1);

    logic->DeferLoan1(false);
    EXPECT_EQ(stored("payrf00", "0001", "L1").toDouble(), 500);
    EXPECT_EQ(stored("payrf01", "0001", "XL1").toDouble(), 0);
    EXPECT_EQ(stored("payrf01", "0001", "LOAN1DEF").toInt(), 0);

    // Nothing to park: no instalment moves.
    setTrans("0001", {{"L1", Value(0.0)}});
    logic->DeferLoan1(true);
    EXPECT_EQ(dm->payroll.asFloat("XL1"), 0);
    EXPECT_EQ(dm->Transactions.asFloat("L1"), 0);
    EXPECT_TRUE(dm->payroll.asBoolean("LOAN1DEF"));
}

TEST_F(EmployeeEntry, SplitOfBasicIntoHousing) {
    struct Case {
        double basic, newBasic, housing;
    };
    const Case cases[] = {{11500, 10000, 1500}, {1000, 870, 130}, {0, 0, 0}, {23000, 20000, 3000}};
    for (const Case& c : cases) {
        BasicSplit s = SplitBasicToHousing(c.basic);
        EXPECT_EQ(s.basic, c.newBasic) << c.basic;
        EXPECT_EQ(s.housing, c.housing) << c.basic;
    }

    // On the record: the split replaces the house allowance and is posted.
    addEmployee("0001", "X");
    setTrans("0001", {{"E1", Value(11500.0)}, {"E2", Value(700.0)}});
    logic->SplitBasic();
    EXPECT_EQ(stored("payrf00", "0001", "E1").toDouble(), 10000);
    EXPECT_EQ(stored("payrf00", "0001", "E2").toDouble(), 1500);
}

TEST_F(EmployeeEntry, WindowWalksEveryEmployeeAndGivesTheFilterBack) {
    addEmployee("0001", "ACTIVE");
    addEmployee("0002", "GONE", "", "D");
    addEmployee("0003", "OTHER GROUP", "J02");
    restrictUser("J01");
    ApplyUserFilters(*dm);
    logic->Open();
    EXPECT_EQ(dm->payroll.recordCount(), 3);
    EXPECT_TRUE(logic->GoTo("0002"));
    logic->Close();
    EXPECT_TRUE(dm->payroll.filtered());
    EXPECT_EQ(dm->payroll.filter(), "Estatus = 'A' and Empjobt = 'J01'");
    EXPECT_EQ(dm->payroll.recordCount(), 0);
}

TEST_F(EmployeeEntry, EducationRowsBelongToTheEmployeeShown) {
    addEmployee("0001", "X");
    addEmployee("0002", "Y");
    ASSERT_TRUE(logic->GoTo("0001"));
    dm->Education.append();
    dm->Education.setDate("Date", Date(2005, 6, 1));
    dm->Education.setString("Grade", "A");
    dm->Education.post();
    ASSERT_TRUE(logic->GoTo("0002"));
    EXPECT_EQ(dm->Education.recordCount(), 0);
    logic->Close();
    EXPECT_EQ(count("SELECT count(*) FROM payrf11 WHERE Empno = '0001'"), 1);
    EXPECT_EQ(dm->Education.master(), nullptr);
}

TEST_F(EmployeeEntry, PhotographIsThePictureOfTheCurrentNumber) {
    addEmployee("0001", "X");
    addEmployee("0002", "Y");
    std::filesystem::create_directories(dm->db().picturesFolder());
    std::string pic = dm->db().picturesFolder() + "/0001.jpg";
    std::ofstream(pic) << "jpeg";
    ASSERT_TRUE(logic->GoTo("0001"));
    EXPECT_EQ(std::filesystem::path(logic->PhotoPath()), std::filesystem::path(pic));
    ASSERT_TRUE(logic->GoTo("0002"));
    EXPECT_EQ(logic->PhotoPath(), "");
}

TEST_F(EmployeeEntry, RentDialogCancelPutsBackWhatItStartedWith) {
    addEmployee("0001", "X");
    Table& p = dm->payroll;
    p.edit();
    p.setFloat("RENT", 3000);
    p.post();
    HouseDlgLogic dlg(*dm);
    dlg.Show();
    p.edit();
    p.setFloat("RENT", 4500);
    p.setFloat("DROUGHT", 4000);
    dlg.Cancel();
    EXPECT_EQ(p.asFloat("RENT"), 3000);
    EXPECT_TRUE(p.isNull("DROUGHT"));
}

TEST_F(EmployeeEntry, BenefitChosenTakesTheBenefitCodesRate) {
    addEmployee("0001", "X");
    Table& b = dm->Benefits;
    b.append();
    b.setInteger("CODE", 3);
    b.setString("DESCRIPTION", "Car");
    b.setFloat("RATE", 250);
    b.post();

    EmployeeBenefitsLogic w(*dm);
    w.Activate();
    w.Add();
    EXPECT_TRUE(w.Editing());
    w.SetEmployee("0001");
    dm->EmpBenefits.setInteger("CODE", 3);
    w.BenefitChosen();
    EXPECT_EQ(dm->EmpBenefits.asFloat("RATE"), 250);
    w.Ok();
    EXPECT_FALSE(w.Editing());
    EXPECT_EQ(stored("payrf07", "0001", "RATE").toDouble(), 250);
}

}  // namespace
}  // namespace zuna::test
