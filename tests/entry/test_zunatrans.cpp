// The transaction window's rules: rows from the visible pay codes, slots by code number,
// computed amounts, rounding on save, loan interest, savings, bad input, moving between employees.
#include "entry/EntryCommon.h"
#include "entry/EntryFixture.h"
#include "entry/Zunatrans.h"

namespace zuna::test {
namespace {

TEST(ComputedAmount, ByInputType) {
    // Basic 30000, house allowance 6000, 240 hours a month.
    struct Case {
        char type;
        double factor, qty;
        bool whole;
        double expected;
    };
    const Case cases[] = {
        {'H', 1.5, 10, true, 1875.00},  // 30000 / 240 x 10 x 1.5
        {'D', 1, 2, true, 2400.00},     // 36000 / 240 x 8 x 2
        {'M', 0.5, 1, true, 18000.00},  // 36000 x 1 x 0.5
        {'C', 1, 10, true, 1500.00},    // 36000 / 240 x 10
        {'K', 2, 7, true, 14.00},       // any other type: quantity x factor
        {'R', 1, 2.5, true, 2.00},      // half to even
        {'R', 1, 3.5, true, 4.00},
        {'R', 1, 1.2345, true, 1.00},
        {'R', 1, 1.2345, false, 1.25},  // to the nearest 0.05
        {'H', 1, 1, false, 125.00},
        {'h', 1.5, 10, true, 1875.00},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputedAmount(c.type, c.factor, c.qty, 30000, 6000, 240, c.whole), c.expected)
            << c.type << " " << c.factor << " " << c.qty;
}

class TransactionEntry : public EntryFixture {
protected:
    void SetUp() override {
        EntryFixture::SetUp();
        setCodes({{1, "Basic Pay"},
                  {2, "House Allowance"},
                  {5, "Overtime 1.5", "H", 1.5},
                  {6, "Days Worked", "D", 1},
                  {7, "Months Pay", "M", 0.5},
                  {10, "Arrears"},
                  {26, "Mid-Month Advance"},
                  {33, "Welfare"},
                  {41, "Car Loan", "K", 0, true, 1.5},
                  {42, "Salary Advance", "K", 0, true, 0},
                  {47, "Helb Loan"},
                  {51, "Staff Savings"},
                  {55, "Pension Scheme"}});
        addEmployee("0001", "KAMAU");
        addEmployee("0002", "OTIENO");
        setTrans("0001", {{"E1", Value(30000.0)}, {"E2", Value(6000.0)}});
        logic = std::make_unique<TransactionEntryLogic>(*dm);
        logic->FormCreate();
    }
    void TearDown() override {
        logic.reset();
        EntryFixture::TearDown();
    }
    int rowOf(int fno) {
        const auto& rows = logic->Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].fno == fno) return static_cast<int>(i);
        ADD_FAILURE() << "no row for code " << fno;
        return 0;
    }
    std::vector<int> codesShown() {
        std::vector<int> out;
        for (const auto& r : logic->Rows()) out.push_back(r.fno);
        return out;
    }
    void go(const std::string& empno) { ASSERT_EQ(logic->EmpnumExit(empno), TransactionEntryLogic::ExitResult::Found); }
    std::unique_ptr<TransactionEntryLogic> logic;
};

TEST_F(TransactionEntry, QuantitiesGiveComputedAmountsOnClickAndSave) {
    go("0001");
    ASSERT_EQ(codesShown(), (std::vector<int>{1, 2, 5, 6, 7, 10}));
    EXPECT_EQ(logic->Cell(rowOf(1), 0), "Basic Pay");
    EXPECT_EQ(logic->Cell(rowOf(1), 2), "30000.00");
    EXPECT_EQ(logic->Cell(rowOf(1), 1), "");  // no quantity for a value code
    EXPECT_EQ(logic->Cell(rowOf(5), 1), "0.00");

    logic->SetCell(rowOf(5), 1, "10");
    logic->SetCell(rowOf(6), 1, "2");
    logic->SetCell(rowOf(7), 1, "1");
    EXPECT_EQ(logic->Click(rowOf(5)), 1);
    EXPECT_EQ(logic->Click(rowOf(10)), 2);
    EXPECT_EQ(logic->Cell(rowOf(5), 2), "1875.00");
    EXPECT_EQ(logic->Cell(rowOf(6), 2), "2400.00");
    EXPECT_EQ(logic->Cell(rowOf(7), 2), "18000.00");
    EXPECT_EQ(logic->Cell(rowOf(5), 1), "10.00");

    logic->Save();
    EXPECT_FALSE(dm->Transactions.editing());
    struct Stored {
        const char* field;
        double v;
    };
    for (const Stored& s : {Stored{"E5", 1875}, Stored{"RATE5", 10}, Stored{"E6", 2400}, Stored{"RATE6", 2},
                            Stored{"E7", 18000}, Stored{"RATE7", 1}, Stored{"E1", 30000}})
        EXPECT_EQ(stored("payrf00", "0001", s.field).toDouble(), s.v) << s.field;

    // A new basic pay keyed on the same page is used by the computed rows at once.
    logic->SetCell(rowOf(1), 2, "24000");
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0001", "E5").toDouble(), 1500);  // 24000 / 240 x 10 x 1.5
}

TEST_F(TransactionEntry, KeyedAmountIsRoundedOnSaveOnly) {
    go("0001");
    logic->SetCell(rowOf(10), 2, "1234.56");
    logic->Click(rowOf(10));
    EXPECT_TRUE(dm->Transactions.editing());
    EXPECT_EQ(dm->Transactions.asFloat("E10"), 1234.56);
    EXPECT_EQ(stored("payrf00", "0001", "E10").toDouble(), 0);
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0001", "E10").toDouble(), 1235);
    EXPECT_EQ(logic->Cell(rowOf(10), 2), "1235.00");
}

TEST_F(TransactionEntry, EachPageWritesTheSlotsNumberedAfterItsCodes) {
    go("0001");
    struct Case {
        TransPage page;
        int fno;
        std::vector<std::string> typed;  // the value columns
        std::vector<std::pair<const char*, double>> expected;
    };
    const Case cases[] = {
        {TransPage::Deductions, 26, {"", "1500"}, {{"D1", 1500}}},
        {TransPage::Deductions, 33, {"", "250.4"}, {{"D8", 250}}},
        {TransPage::Loans, 47, {"20000", "5000", "1000"}, {{"LBAL7", 20000}, {"LN7", 5000}, {"L7", 1000}, {"I7", 0}}},
        {TransPage::Savings, 55, {"12000", "4", "800"}, {{"SBAL5", 12000}, {"SPER5", 4}, {"S5", 800}}},
    };
    for (const Case& c : cases) {
        logic->SetPage(c.page);
        int row = rowOf(c.fno);
        for (size_t k = 0; k < c.typed.size(); ++k) logic->SetCell(row, static_cast<int>(k + 1), c.typed[k]);
        logic->Save();
        for (auto& [f, v] : c.expected) EXPECT_EQ(stored("payrf00", "0001", f).toDouble(), v) << f;
    }
    EXPECT_EQ(stored("payrf00", "0001", "LBAL1").toDouble(), 0);
    EXPECT_EQ(stored("payrf00", "0001", "S1").toDouble(), 0);
}

TEST_F(TransactionEntry, LoanInterestFromTheCodesRate) {
    go("0001");
    setTrans("0001", {{"IRATE2", Value(3.0)}});
    logic->SetPage(TransPage::Loans);
    EXPECT_EQ(logic->Rows()[static_cast<size_t>(rowOf(41))].intRate, 1.5);
    logic->SetCell(rowOf(41), 1, "10000");
    logic->SetCell(rowOf(41), 2, "0");
    logic->SetCell(rowOf(42), 1, "10000");
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0001", "I1").toDouble(), 150);
    EXPECT_EQ(stored("payrf00", "0001", "IRATE1").toDouble(), 1.5);
    EXPECT_EQ(stored("payrf00", "0001", "I2").toDouble(), 0);
    EXPECT_EQ(stored("payrf00", "0001", "IRATE2").toDouble(), 3);  // a code without a rate leaves it
    EXPECT_EQ(logic->Cell(rowOf(41), 1), "10000.00");
}

TEST_F(TransactionEntry, SavingsRowWithoutBalanceIsLeftAlone) {
    setTrans("0001", {{"SBAL1", Value(9000.0)}, {"S1", Value(300.0)}, {"SPER1", Value(5)}});
    go("0001");
    logic->SetPage(TransPage::Savings);
    int row = rowOf(51);
    EXPECT_EQ(logic->Cell(row, 1), "9000.00");
    logic->SetCell(row, 1, "");
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0001", "SBAL1").toDouble(), 9000);
    EXPECT_EQ(stored("payrf00", "0001", "S1").toDouble(), 300);

    // A contribution typed beside an empty balance is refused, not dropped.
    logic->SetCell(row, 1, "");
    logic->SetCell(row, 3, "450");
    EXPECT_THROW(logic->Save(), EntryError);
    EXPECT_EQ(stored("payrf00", "0001", "S1").toDouble(), 300);

    logic->SetCell(row, 2, "2.5");
    logic->SetCell(row, 1, "9000");
    EXPECT_THROW(logic->Save(), EntryError);  // a period is a whole number of contributions
    logic->SetCell(row, 2, "6");
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0001", "S1").toDouble(), 450);
    EXPECT_EQ(stored("payrf00", "0001", "SPER1").toInt(), 6);
}

TEST_F(TransactionEntry, RestrictedUserSeesChangingCodesOnlyAndWritesTheirOwnSlots) {
    setCodes({{1, "Basic Pay", "K", 0, false}, {2, "House Allowance", "K", 0, false}, {5, "Overtime", "H", 1.5, true},
              {9, "Bonus", "K", 0, true}, {43, "Fixed Loan", "K", 0, false}, {44, "Advance", "K", 0, true}});
    restrictUser("000");
    TransactionEntryLogic w(*dm);
    w.FormCreate();
    ASSERT_EQ(logic->Rows().size(), 6u);  // the full-rights window opened earlier saw every code
    ASSERT_EQ(w.Rows().size(), 2u);
    EXPECT_EQ(w.Rows()[0].fno, 5);
    EXPECT_EQ(w.Rows()[1].fno, 9);
    w.SetCell(1, 2, "700");  // the second row: Bonus
    w.Save();
    EXPECT_EQ(stored("payrf00", "0001", "E9").toDouble(), 700);
    EXPECT_EQ(stored("payrf00", "0001", "E2").toDouble(), 6000);

    w.SetPage(TransPage::Loans);
    ASSERT_EQ(w.Rows().size(), 1u);
    w.SetCell(0, 3, "400");
    w.Save();
    EXPECT_EQ(stored("payrf00", "0001", "L4").toDouble(), 400);
    EXPECT_EQ(stored("payrf00", "0001", "L3").toDouble(), 0);
}

TEST_F(TransactionEntry, HoursOfAMonthBySection) {
    addEmployee("0003", "WANJIRU", "", "A", "SCT");
    go("0003");
    EXPECT_EQ(logic->HoursPerMonth(), 200);
    go("0001");
    EXPECT_EQ(logic->HoursPerMonth(), 240);

    setTrans("0003", {{"E1", Value(20000.0)}});
    go("0003");
    logic->SetCell(rowOf(5), 1, "10");
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0003", "E5").toDouble(), 1500);  // 20000 / 200 x 10 x 1.5
}

TEST_F(TransactionEntry, CellThatDoesNotConvertStopsTheSaveAndWritesNothing) {
    go("0001");
    logic->SetCell(rowOf(1), 2, "31000");
    logic->SetCell(rowOf(10), 2, "12x");
    try {
        logic->Save();
        FAIL() << "the save went through";
    } catch (const EntryError& e) {
        EXPECT_NE(std::string(e.what()).find("'12x'"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Arrears"), std::string::npos) << e.what();
    }
    EXPECT_EQ(logic->Cell(rowOf(10), 2), "12x");
    EXPECT_EQ(dm->Transactions.asFloat("E1"), 30000);
    // Moving on is refused as well, so nothing half-typed lands with the move.
    EXPECT_THROW(logic->Navigate(TransactionEntryLogic::Move::Next), EntryError);
    EXPECT_EQ(dm->payroll.asString("EMPNO"), "0001");
    EXPECT_EQ(stored("payrf00", "0001", "E1").toDouble(), 30000);

    // Loan cells are taken as typed: an emptied one is refused too.
    logic->SetCell(rowOf(10), 2, "");
    logic->Navigate(TransactionEntryLogic::Move::Next);
    EXPECT_EQ(dm->payroll.asString("EMPNO"), "0002");
    EXPECT_EQ(stored("payrf00", "0001", "E1").toDouble(), 31000);
    logic->SetPage(TransPage::Loans);
    logic->SetCell(rowOf(41), 2, " ");
    EXPECT_THROW(logic->Save(), EntryError);
}

TEST_F(TransactionEntry, WithoutHoursOfAMonthHourlyCodesAreRefused) {
    setHours(0, 0);
    go("0001");
    EXPECT_EQ(logic->Cell(rowOf(5), 2), "0.00");  // shown as stored
    logic->SetCell(rowOf(5), 1, "10");
    EXPECT_THROW(logic->Click(rowOf(5)), EntryError);
    EXPECT_FALSE(dm->Transactions.editing());
    logic->SetCell(rowOf(5), 1, "0");
    logic->SetCell(rowOf(7), 1, "1");  // by the month needs no hours
    EXPECT_THROW(logic->Save(), EntryError);
}

TEST_F(TransactionEntry, NumberBoxFindsOrFallsBackToTheFirstEmployee) {
    go("0002");
    EXPECT_EQ(logic->BoxNumber(), "0002");
    EXPECT_EQ(logic->EmpnumExit(""), TransactionEntryLogic::ExitResult::Restored);
    EXPECT_EQ(logic->BoxNumber(), "0002");
    EXPECT_EQ(logic->EmpnumExit("0099"), TransactionEntryLogic::ExitResult::NotFound);
    EXPECT_EQ(logic->BoxNumber(), "0001");
    EXPECT_EQ(logic->Cell(rowOf(1), 2), "30000.00");  // the page follows the employee
    EXPECT_EQ(logic->EmpnumExit("0002"), TransactionEntryLogic::ExitResult::Found);
    EXPECT_EQ(logic->Cell(rowOf(1), 2), "0.00");
}

TEST_F(TransactionEntry, NothingTypedForOneEmployeeReachesTheNext) {
    go("0001");
    logic->SetCell(rowOf(10), 1, "5");  // a quantity beside a value code
    logic->Click(rowOf(10));
    logic->Navigate(TransactionEntryLogic::Move::Next);
    EXPECT_EQ(logic->BoxNumber(), "0002");
    EXPECT_EQ(logic->Cell(rowOf(10), 1), "");
    logic->SetCell(rowOf(2), 2, "100");
    logic->Save();
    EXPECT_EQ(stored("payrf00", "0002", "RATE10").toDouble(), 0);
    EXPECT_EQ(stored("payrf00", "0002", "E2").toDouble(), 100);
}

TEST_F(TransactionEntry, EmployeeListFollowsTheJobGroupAndStaysFilteredAfterClosing) {
    addEmployee("0003", "MUTUA", "J01");
    addEmployee("0004", "GONE", "J01", "D");
    restrictUser("J01");
    TransactionEntryLogic w(*dm);
    w.FormCreate();
    EXPECT_EQ(w.BoxNumber(), "0003");
    EXPECT_EQ(dm->payroll.recordCount(), 1);
    EXPECT_EQ(w.EmpnumExit("0001"), TransactionEntryLogic::ExitResult::NotFound);
    w.FormClose();
    EXPECT_TRUE(dm->payroll.filtered());
    EXPECT_EQ(dm->payroll.recordCount(), 1);
}

TEST_F(TransactionEntry, LeaveAndOffsSaveStoresTheDays) {
    go("0001");
    logic->SetPage(TransPage::LeaveOffs);
    dm->payroll.edit();
    dm->payroll.setInteger("DaysTaken", 3);
    logic->Save();
    EXPECT_FALSE(dm->payroll.editing());
    EXPECT_EQ(stored("payrf01", "0001", "DaysTaken").toInt(), 3);
    EXPECT_EQ(TransactionEntryLogic::PageCaption(TransPage::LeaveOffs), "Leave && Offs");
}

}  // namespace
}  // namespace zuna::test
