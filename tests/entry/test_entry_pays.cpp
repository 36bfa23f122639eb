// What a clerk keys in the transaction window is what the computation pays.
#include "calc/Zunacalc.h"
#include "entry/EntryFixture.h"
#include "entry/Zunatrans.h"

using namespace zuna;

class EntryThenCompute : public test::EntryFixture {};

TEST_F(EntryThenCompute, BasicPayKeyedInTheWindowIsPaidByTheRun) {
    addEmployee("0100", "MWANGI");
    TransactionEntryLogic logic(*dm);
    logic.FormCreate();
    ASSERT_EQ(logic.EmpnumExit("0100"), TransactionEntryLogic::ExitResult::Found);
    int basic = -1;
    for (size_t i = 0; i < logic.Rows().size(); ++i)
        if (logic.Rows()[i].fno == 1) basic = static_cast<int>(i);
    ASSERT_GE(basic, 0);
    logic.SetCell(basic, 2, "30000");
    logic.Save();
    logic.FormClose();

    Zunacalc(*dm).Processpay();
    // Kenya's default tables: NSSF 5 % capped at 200; NHIF 320 above 15,000; chargeable pay
    // 30,000 - 200 = 29,800 taxed 4,368 on the first 29,316 and 25 % on the rest (121), less the
    // personal relief of 1,162: PAYE 3,327. Net pay 30,000 - 200 - 320 - 3,327.
    EXPECT_EQ(stored("payrf01", "0100", "TOTEARN").toDouble(), 30000);
    EXPECT_EQ(stored("payrf01", "0100", "NSSF").toDouble(), 200);
    EXPECT_EQ(stored("payrf01", "0100", "NHIF").toDouble(), 320);
    EXPECT_EQ(stored("payrf01", "0100", "PAYE").toDouble(), 3327);
    EXPECT_EQ(stored("payrf01", "0100", "NETT").toDouble(), 26153);
}
