// The search dialog: who sees which employees and pay codes, the name filter, the search button.
#include "entry/EntryFixture.h"
#include "entry/ZunaSrchDlg.h"

namespace zuna::test {
namespace {

class SearchDialog : public EntryFixture {
protected:
    void SetUp() override {
        EntryFixture::SetUp();
        addEmployee("0001", "KAMAU", "J01");
        addEmployee("0002", "OTIENO", "J02");
        addEmployee("0003", "KARIUKI", "J01", "D");
        addEmployee("0004", "O'NEIL", "J01");
        addEmployee("0005", "KAMAU ODHIAMBO", "J02");
        setCodes({{1, "Basic Pay", "K", 0, false}, {5, "Overtime", "H", 1.5, true}, {41, "Car Loan", "K", 0, true}});
    }
    std::vector<std::string> listed(SearchDlgLogic& s) {
        std::vector<std::string> out;
        Dataset& d = s.List();
        for (d.first(); !d.eof(); d.next()) out.push_back(d.asString(s.CodeField()));
        return out;
    }
    using V = std::vector<std::string>;
};

TEST_F(SearchDialog, EmployeePickShowsActiveEmployeesOfTheUsersJobGroup) {
    struct Case {
        const char* group;
        const char* typed;
        V expected;
    };
    const Case cases[] = {
        {"000", "", V{"0001", "0002", "0004", "0005"}},
        {"J01", "", V{"0001", "0004"}},
        {"000", "kam", V{"0001", "0005"}},
        // The name filter keeps the job-group restriction.
        {"J01", "kam", V{"0001"}},
        // A quote in the typed name is part of the name, not of the filter.
        {"000", "o'n", V{"0004"}},
        {"000", "zzz", V{}},
    };
    for (const Case& c : cases) {
        if (std::string(c.group) == "000") {
            fmVarGlobal().UserJobGroup = "000";
        } else {
            restrictUser(c.group);
        }
        SearchDlgLogic s(*dm);
        s.SetupEmployee();
        EXPECT_EQ(s.Caption(), "Select an Employee");
        s.Activate();
        s.TextChanged(c.typed);
        EXPECT_EQ(listed(s), c.expected) << c.group << " / " << c.typed;
        EXPECT_EQ(s.SearchEnabled(), std::string(c.typed) != "");
        // Emptying the text gives the job group's list back.
        s.TextChanged("");
        EXPECT_EQ(listed(s).size(), std::string(c.group) == "000" ? 4u : 2u);
    }
}

TEST_F(SearchDialog, SearchButtonLocatesPartlyAndWithoutCase) {
    SearchDlgLogic s(*dm);
    s.SetupEmployee();
    s.Activate();
    EXPECT_EQ(s.SearchFields(), (V{"Empname", "EmpNo"}));
    s.TextChanged("otie");
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(s.ChosenEmpno(), "0002");

    s.ChooseSearchField(1);
    EXPECT_EQ(s.Text(), "");
    s.TextChanged("0005");
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(s.ChosenEmpno(), "0005");
    s.TextChanged("0009");
    EXPECT_FALSE(s.Search());
}

TEST_F(SearchDialog, PayCodePickFollowsTheUsersRights) {
    SearchDlgLogic s(*dm);
    s.SetupPayCode();
    EXPECT_EQ(s.Caption(), "Select a Pay Code");
    EXPECT_EQ(s.SearchFields(), (V{"FName", "FNo"}));
    s.Activate();
    EXPECT_EQ(listed(s), (V{"1", "5", "41"}));

    restrictUser("000");
    s.Activate();
    EXPECT_EQ(listed(s), (V{"5", "41"}));

    // Searching by number takes digits only and finds the code; the current pay code is the choice.
    s.ChooseSearchField(1);
    EXPECT_FALSE(s.AcceptsChar('a'));
    EXPECT_TRUE(s.AcceptsChar('4'));
    EXPECT_TRUE(s.AcceptsChar(' '));
    s.TextChanged("41");
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(dm->Paycodes.asInteger("FNO"), 41);
    s.ChooseSearchField(0);
    EXPECT_TRUE(s.AcceptsChar('a'));
    s.TextChanged("over");
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(dm->Paycodes.asInteger("FNO"), 5);
}

}  // namespace
}  // namespace zuna::test
