// The arithmetic of the computation stages, case by case, at the edges where a wrong
// comparison, rounding direction or order of operations changes the amount.
#include <gtest/gtest.h>

#include "calc/CalcRules.h"

using namespace zuna;
using namespace zuna::calc;

namespace {

// The schedule of the examples: five bands of 10000 with 10, 15, 20, 25, 30 percent.
TaxSchedule exampleSchedule() {
    return {{{10000, 20000, 10, 0}, {20000, 30000, 15, 1000}, {30000, 40000, 20, 2500}, {40000, 50000, 25, 4500},
             {50000, 99999999, 30, 7000}}};
}

Date d(int y, int m, int day) { return Date(y, m, day); }

}  // namespace

TEST(ProRating, JoinersLeaversAndTheMonthAfter) {
    struct Case {
        const char* what;
        Date start, end, engaged, left;
        double e1, cpay;
        double wantE1, wantCpay;
        int wantDays;
        bool whole = true;
    } cases[] = {
        {"joiner on the 21st of June", d(2009, 6, 1), d(2009, 6, 30), d(2009, 6, 21), {}, 30000, 0, 10000, 30000, 10},
        {"joiner's second run keeps CPAY", d(2009, 6, 1), d(2009, 6, 30), d(2009, 6, 21), {}, 10000, 30000, 10000, 30000, 10},
        {"month after joining: full pay back", d(2009, 7, 1), d(2009, 7, 31), d(2009, 6, 21), {}, 10000, 30000, 30000, 0, 0},
        {"leaver on the last day", d(2009, 7, 1), d(2009, 7, 31), d(2001, 1, 1), d(2009, 7, 31), 31000, 0, 30000, 31000, 30},
        {"leaver on the first day is paid nothing", d(2009, 7, 1), d(2009, 7, 31), {}, d(2009, 7, 1), 31000, 0, 0, 31000, 0},
        {"joining and leaving: the joiner's figure wins", d(2009, 7, 1), d(2009, 7, 31), d(2009, 7, 11), d(2009, 7, 20), 31000, 0,
         21000, 31000, 21},
        {"a tie goes to the even unit: 2.5 to 2", d(2009, 6, 1), d(2009, 6, 30), d(2009, 6, 30), {}, 75, 0, 2, 75, 1},
        {"a tie goes to the even unit: 3.5 to 4", d(2009, 6, 1), d(2009, 6, 30), d(2009, 6, 30), {}, 105, 0, 4, 105, 1},
        {"to the nearest 0.05 without whole units", d(2009, 6, 1), d(2009, 6, 30), d(2009, 6, 21), {}, 1000.7, 0, 333.55,
         1000.7, 10, false},
        {"no dates: nothing changes", d(2009, 6, 1), d(2009, 6, 30), {}, {}, 30000, 0, 30000, 0, 0},
        {"a future joiner keeps CPAY where it is", d(2009, 6, 1), d(2009, 6, 30), d(2009, 8, 1), {}, 30000, 12000, 30000,
         12000, 0},
    };
    for (const Case& c : cases) {
        BasicPay p;
        p.e1 = c.e1;
        p.cpay = c.cpay;
        ProRateBasic(c.start, c.end, c.engaged, c.left, c.whole, p);
        EXPECT_DOUBLE_EQ(static_cast<double>(p.e1), c.wantE1) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(p.cpay), c.wantCpay) << c.what;
        EXPECT_EQ(p.daysWorked, c.wantDays) << c.what;
    }
}

TEST(Nssf, EachCountryItsBaseRoundingAndCap) {
    TaxParameters p;
    p.NSSF = 5;
    p.MAXNSSF = 200;
    p.MAXNSSF2 = 600;
    struct Case {
        const char* what;
        Nssf got;
        double nssf, vnssf;
    } cases[] = {
        {"Kenya 200.05 truncates to 200.0", NssfKenya(p, true, 4001, 0), 200, 0},
        {"Kenya 200.95 truncates to 200.5", [&] { TaxParameters q = p; q.MAXNSSF = 1000; return NssfKenya(q, true, 4019, 0); }(),
         200.5, 0},
        {"Kenya cap applies at equality", NssfKenya(p, true, 4000, 0), 200, 0},
        {"Kenya cap", NssfKenya(p, true, 90000, 300), 200, 300},
        {"Kenya non-member", NssfKenya(p, false, 90000, 300), 0, 0},
        {"Kenya negative pay gives 0", NssfKenya(p, true, -5000, 0), 0, 0},
        {"Uganda 6172.5 to the nearest 5, tie to even: 6170", NssfUganda(p, true, 123450), 6170, 0},
        {"Uganda has no cap", NssfUganda(p, true, 100000), 5000, 0},
        {"Rwanda 2500.75 -> 2500.5 -> 2500", NssfRwanda(p, true, 50015, 50), 2500, 50},
        {"Rwanda has no cap", NssfRwanda(p, true, 100000, 0), 5000, 0},
        {"Tanzania on basic pay, truncated to 0.5", NssfTanzania(p, true, 4019), 200.5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(static_cast<double>(c.got.nssf), c.nssf) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(c.got.vnssf), c.vnssf) << c.what;
    }
}

TEST(Nssf, VoluntaryPartIsCarriedInsideNssf) {
    struct Case {
        const char* what;
        bool voluntary;
        double nssf, vnssf, max2;
        double wantNssf, wantVnssf;
    } cases[] = {
        {"over the ceiling: cut to what fits, NSSF at the ceiling", true, 200, 500, 600, 600, 400},
        {"under the ceiling: added", true, 200, 500, 800, 700, 500},
        {"exactly at the ceiling: added", true, 200, 400, 600, 600, 400},
        {"no voluntary flag: dropped", false, 200, 500, 800, 200, 0},
        {"a ceiling under the statutory part takes nothing voluntary", true, 200, 500, 100, 200, 0},
    };
    for (const Case& c : cases) {
        TaxParameters p;
        p.MAXNSSF2 = c.max2;
        Nssf n{c.nssf, c.vnssf};
        VoluntaryNssf(p, c.voluntary, n);
        EXPECT_DOUBLE_EQ(static_cast<double>(n.nssf), c.wantNssf) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(n.vnssf), c.wantVnssf) << c.what;
        // Whatever the case, the standard part is what the reports print.
        EXPECT_GE(static_cast<double>(n.nssf - n.vnssf), 0) << c.what;
    }
}

TEST(BandTables, HighestBandContainingTheValue) {
    NhifTable nhif{};
    nhif[0] = {0, 5999, 150};
    nhif[1] = {6000, 7999, 300};
    nhif[2] = {7000, 7500, 280};  // overlaps band 2: the later band wins
    struct Case {
        double value, want;
    } cases[] = {{5999.5, 0}, {6000, 300}, {5999, 150}, {1, 150}, {7200, 280}, {7600, 300}, {7999.01, 0}, {1e9, 0},
                 {0, 0} /* the unused bands 0 to 0 come later and hold 0 */};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(static_cast<double>(BandAmount(nhif, c.value)), c.want) << c.value;
    LascTable empty{};
    EXPECT_DOUBLE_EQ(static_cast<double>(BandAmount(empty, 12345)), 0);
}

TEST(BandTax, KenyaAndRwandaFiveBands) {
    TaxSchedule s = exampleSchedule();
    TaxSchedule gap = s;
    gap[1].lower = 20001;
    struct Case {
        const char* what;
        const TaxSchedule& schedule;
        double c, want;
    } cases[] = {
        {"at the first lower bound", s, 10000, 0},
        {"below it", s, 5000, 0},
        {"nothing chargeable", s, 0, 0},
        {"negative", s, -100, 0},
        {"top of band 1", s, 20000, 1000},
        {"inside band 2", s, 25000, 1750},
        {"band 5 is open", s, 60000, 10000},
        {"just into band 2, the band's part rounded", s, 20000.5, 1000},
        {"a tie in the band's part goes to even", s, 48250, 6562},
        {"between an upper bound and the next lower bound", gap, 20000.5, 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(static_cast<double>(BandTaxKenya(c.schedule, c.c)), c.want) << c.what;
}

TEST(BandTax, UgandaProgressiveAndReliefExempt) {
    TaxSchedule s = exampleSchedule();
    struct Case {
        const char* what;
        double c;
        bool exempt;
        double want;
    } cases[] = {
        {"exempt: flat rate of band 2 on all of it", 25000, true, 3750},
        {"exempt: band 4 has no upper bound", 45000, true, 11250},
        {"exempt: above band 4's stated upper bound still band 4", 55000, true, 13750},
        {"exempt below the first band", 9000, true, 0},
        {"progressive band 1", 15000, false, 500},
        {"progressive band 3", 35000, false, 3500},
        {"progressive band 4 is open", 55000, false, 8250},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(static_cast<double>(BandTaxUganda(s, c.c, c.exempt)), c.want) << c.what;
}

TEST(BandTax, TanzaniaIsNotRounded) {
    TaxSchedule s = exampleSchedule();
    EXPECT_DOUBLE_EQ(static_cast<double>(BandTaxTanzania(s, 25000.5)), 1750.075);
    EXPECT_DOUBLE_EQ(static_cast<double>(BandTaxTanzania(s, 10000)), 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(BandTaxTanzania(s, 45000)), 5750);  // band 4 is open
    EXPECT_DOUBLE_EQ(static_cast<double>(BandTaxTanzania(s, 15000.01)), 500.001);
}

TEST(Reliefs, InsuranceReliefCappedAndPersonalReliefUnlessExempt) {
    TaxParameters p;
    p.RELF1 = 1162;
    p.RELF2 = 5000;
    p.RELF3 = 15;
    struct Case {
        double premium;
        bool exempt;
        double insurance, personal;
    } cases[] = {{60000, false, 750, 1162}, {600000, false, 5000, 1162}, {0, false, 0, 1162}, {-100, true, 0, 0},
                 {1000, false, 12, 1162} /* 12.5 to even */};
    for (const Case& c : cases) {
        Reliefs r = ReliefsOf(p, c.exempt, c.premium);
        EXPECT_DOUBLE_EQ(static_cast<double>(r.insurance), c.insurance) << c.premium;
        EXPECT_DOUBLE_EQ(static_cast<double>(r.personal), c.personal) << c.premium;
    }
}

TEST(ChargeablePay, HousingLessRentIsNotTruncatedAndPayeLiabilityGates) {
    ChargeableInputs in;
    in.taxablePay = 40000;
    in.otherSource = 5000;
    in.housingBenefit = 6000;
    in.rent = 999.5;
    in.benefitPounds = 10;
    in.pensionAllowable = 1200;
    in.mortgageRelief = 3000;
    EXPECT_DOUBLE_EQ(static_cast<double>(ChargeablePayOf(in, true)), 40000 + 5000 + 5000.5 + 200 - 1200 - 3000);
    EXPECT_DOUBLE_EQ(static_cast<double>(ChargeablePayOf(in, false)), 40000 + 5000.5 + 200 - 1200 - 3000);
    in.liable = false;
    EXPECT_DOUBLE_EQ(static_cast<double>(ChargeablePayOf(in, true)), 0);
}

TEST(TaxSettlement, ReliefBroughtForwardAbsorbsTheTax) {
    struct Case {
        const char* what;
        double adj, charged, personal, insurance, relcfwd;
        double due, taxded, cfwd, paye, misc9;
    } cases[] = {
        {"relief brought forward larger than the tax", 0, 3000, 1200, 0, 2000, 1800, 0, 200, 0, -1800},
        {"no relief brought forward", 0, 3000, 1200, 0, 0, 1800, 1800, 0, 1800, 0},
        {"exactly used up", 0, 3000, 1200, 0, 1800, 1800, 0, 0, 0, -1800},
        {"not liable: the reliefs are unused", 0, 0, 1162, 300, 0, -1462, 0, 1462, 0, 1462},
        {"tax adjustment adds", 500, 3000, 1200, 100, 0, 2200, 2200, 0, 2200, 0},
        {"tax paid elsewhere exceeds the tax", 0, -700, 1162, 0, 0, -1862, 0, 1862, 0, 1862},
    };
    for (const Case& c : cases) {
        TaxSettlement t = SettleTax(c.adj, c.charged, Reliefs{c.personal, c.insurance}, c.relcfwd);
        EXPECT_DOUBLE_EQ(static_cast<double>(t.taxDue), c.due) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(t.taxDeducted), c.taxded) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(t.reliefCarried), c.cfwd) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(t.paye), c.paye) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(t.misc9), c.misc9) << c.what;
    }
}

TEST(Pension, PercentagesAlternativeSchemeAndAllowance) {
    TaxParameters p;
    p.PEN_SELF = 5;
    p.PEN_COMP = 10;
    p.PEN_FIXED = 20000;
    struct Case {
        const char* what;
        bool pensionable;
        double pfself, pfcomp, basic;
        std::optional<Money> alt;
        double self, company, alternative;
    } cases[] = {
        {"company rates when the employee's are 0, truncated to 0.05", true, 0, 0, 10001.4, std::nullopt, 500.05, 1000.10},
        {"500.049 becomes 500", true, 0, 0, 10000.98, std::nullopt, 500.0, 1000.05},
        {"500.5 stays", true, 0, 0, 10010, std::nullopt, 500.5, 1001},
        {"the employee's own rates", true, 7, 3, 20000, std::nullopt, 1400, 600},
        {"not pensionable", false, 7, 3, 20000, std::nullopt, 0, 0},
        {"alternative scheme replaces the percentages", true, 0, 0, 20000, Money(2500), 0, 0},
    };
    for (const Case& c : cases) {
        Pension r = PensionOf(p, c.pensionable, c.pfself, c.pfcomp, c.basic, c.alt);
        EXPECT_NEAR(static_cast<double>(r.self), c.self, 1e-9) << c.what;
        EXPECT_NEAR(static_cast<double>(r.company), c.company, 1e-9) << c.what;
        EXPECT_DOUBLE_EQ(static_cast<double>(r.alternative), c.alt ? static_cast<double>(*c.alt) : 0) << c.what;
    }
    // Only a savings code of a pensionable employee names an alternative scheme.
    EXPECT_EQ(AlternativeSchemeSlot(true, 55), 5);
    EXPECT_EQ(AlternativeSchemeSlot(true, 51), 1);
    EXPECT_EQ(AlternativeSchemeSlot(true, 60), 10);
    EXPECT_EQ(AlternativeSchemeSlot(true, 50), 0);
    EXPECT_EQ(AlternativeSchemeSlot(true, 61), 0);
    EXPECT_EQ(AlternativeSchemeSlot(false, 55), 0);
    EXPECT_DOUBLE_EQ(static_cast<double>(PensionAllowance(p, 20000)), 20000);
    EXPECT_DOUBLE_EQ(static_cast<double>(PensionAllowance(p, 20000.5)), 20000);
    EXPECT_DOUBLE_EQ(static_cast<double>(PensionAllowance(p, 1234.5)), 1234.5);
}

TEST(MortgageRelief, InterestPaidUpToTheCap) {
    TaxParameters p;
    p.MAXMORT = 12500;
    EXPECT_DOUBLE_EQ(static_cast<double>(MortgageReliefOf(p, true, 9000)), 9000);
    EXPECT_DOUBLE_EQ(static_cast<double>(MortgageReliefOf(p, true, 12500)), 12500);
    EXPECT_DOUBLE_EQ(static_cast<double>(MortgageReliefOf(p, true, 15000)), 12500);
    EXPECT_DOUBLE_EQ(static_cast<double>(MortgageReliefOf(p, false, 9000)), 0);
}

TEST(Housing, EachCountryTheGreaterOrTheSmallerOfTheRent) {
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueKenya(40000, 0, 5000))), 6000);
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueKenya(40000, 0, 8000))), 8000);
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueKenya(40000, 2000, 5000))), 6300);
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueUganda(40000, 0, 5000))), 5000);
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueUganda(20000, 0, 5000))), 3750);
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueRwanda(200000, 0, 1000, 8000, 0, 10000))), 38200);
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(HousingValueRwanda(20000, 0, 1000, 600, 0, 10000))), 10000);
    // The fraction is dropped; the net value is the whole part of benefit less rent.
    EXPECT_DOUBLE_EQ(static_cast<double>(HousingBenefitOf(6000.75)), 6000);
    EXPECT_DOUBLE_EQ(static_cast<double>(NetHousingOf(6000, 999.5)), 5000);
    EXPECT_DOUBLE_EQ(static_cast<double>(NetHousingOf(0, 1500)), -1500);
}

TEST(Benefits, TaxableValueInPoundsAtLeastTheRate) {
    EXPECT_DOUBLE_EQ(static_cast<double>(BenefitAddition(true, 1500, 100)), 100);  // 75 pounds < 100
    EXPECT_DOUBLE_EQ(static_cast<double>(BenefitAddition(true, 2500, 100)), 125);
    EXPECT_DOUBLE_EQ(static_cast<double>(BenefitAddition(true, 2510, 100)), 126);  // 125.5 to even
    EXPECT_DOUBLE_EQ(static_cast<double>(BenefitAddition(false, 140.4, 100)), 140);  // already in pounds
    EXPECT_DOUBLE_EQ(static_cast<double>(BenefitAddition(false, 60, 100)), 100);
}

TEST(UnionDues, PercentageWithCapAndTheScaleOnBasicPay) {
    TaxParameters p;
    p.UTYPE = 1;
    p.URATE = 2;
    p.UNIONMAX = 400;
    p.UCOTU = 20;
    EXPECT_DOUBLE_EQ(static_cast<double>(UnionDuesOf(p, 20000, 5000).union_), 400);  // 500 capped
    EXPECT_DOUBLE_EQ(static_cast<double>(UnionDuesOf(p, 10000, 2500).union_), 250);
    EXPECT_DOUBLE_EQ(static_cast<double>(UnionDuesOf(p, 10000, 2500).cotu), 20);
    p.URATE = 0;
    EXPECT_DOUBLE_EQ(static_cast<double>(UnionDuesOf(p, 20000, 5000).union_), 0);

    TaxParameters s;
    s.UTYPE = 0;
    s.URANGE_ = {5000, 10000, 20000, 40000, 80000};
    s.URATE_ = {100, 150, 200, 300, 400, 500};
    struct Case {
        double basic, want;
    } cases[] = {{0, 100}, {5000, 100}, {5000.01, 150}, {10000, 150}, {20000, 200}, {40000, 300},
                 {80000, 400}, {80000.5, 500}, {1e7, 500}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(static_cast<double>(UnionDuesOf(s, c.basic, 99999).union_), c.want) << c.basic;
}

TEST(Loans, RepaymentNeverExceedsWhatIsOwed) {
    EXPECT_DOUBLE_EQ(static_cast<double>(LoanRepayment(1000, 0, 1500)), 1000);
    EXPECT_DOUBLE_EQ(static_cast<double>(LoanRepayment(1000, 500, 1500)), 1500);
    EXPECT_DOUBLE_EQ(static_cast<double>(LoanRepayment(1000, 0, 300)), 300);
    EXPECT_DOUBLE_EQ(static_cast<double>(LoanRepayment(0, 0, 0)), 0);
}

TEST(Loans, InterestAndLowInterestBenefit) {
    TaxParameters p;
    p.LOWINT1 = 18;
    p.LOWINT2 = 5000;
    struct Case {
        const char* what;
        double balance, newLoan;
        std::optional<Money> rate;
        bool low;
        bool whole;
        double interest, benefit;
    } cases[] = {
        {"ordinary loan at 1 %", 10000, 0, Money(1), false, true, 100, 0},
        {"low interest: 1.5 % a month prescribed, 1 % charged", 6000, 4000, Money(1), true, true, 100, 50},
        {"low interest under the minimum loan", 4000, 0, Money(1), true, true, 40, 0},
        {"low interest at a rate above the prescribed one", 10000, 0, Money(2), true, true, 200, -50},
        {"no rate: no interest", 10000, 0, std::nullopt, true, true, 0, 0},
        {"interest to whole units, tie to even", 250, 0, Money(1), false, true, 2, 0},
        {"interest to 0.05 without whole units", 1234, 0, Money(1), false, false, 12.35, 0},
    };
    for (const Case& c : cases) {
        LoanInterest r = LoanInterestOf(p, c.balance, c.newLoan, c.rate, c.low, c.whole);
        EXPECT_NEAR(static_cast<double>(r.interest), c.interest, 1e-9) << c.what;
        EXPECT_NEAR(static_cast<double>(r.benefit), c.benefit, 1e-9) << c.what;
    }
}

TEST(NetPay, OverdraftCarriedWhenDeductionsExceedPay) {
    struct Case {
        double gross, deductions, net, nett, odcr;
    } cases[] = {{50000, 12000, 38000, 38000, 0}, {10000, 10000, 0, 0, 0}, {10000, 10300, -300, 0, 300}};
    for (const Case& c : cases) {
        calc::NetPay n = NetPayOf(c.gross, c.deductions);
        EXPECT_DOUBLE_EQ(static_cast<double>(n.net), c.net);
        EXPECT_DOUBLE_EQ(static_cast<double>(n.nett), c.nett);
        EXPECT_DOUBLE_EQ(static_cast<double>(n.odcr), c.odcr);
    }
}

TEST(Coins, NotesAndCoinsOfACashPayment) {
    using A = std::array<std::int64_t, 15>;
    auto flat = [](const CoinCounts& c) {
        return A{c.twentyThousand, c.tenThousand, c.fiveThousand, c.thousand, c.fiveHundred, c.twoHundred, c.hundred, c.fifty,
                 c.twenty, c.ten, c.five, c.one, c.halfUnit, c.tenCents, c.fiveCents};
    };
    struct Case {
        const char* what;
        double net;
        bool uganda;
        A want;
    } cases[] = {
        // 20000 10000 5000 | 1000 500 200 100 50 20 10 5 1 0.50 0.10 0.05
        {"2,745.65 outside Uganda", 2745.65, false, {0, 0, 0, 2, 1, 1, 0, 0, 2, 0, 1, 0, 1, 1, 1}},
        {"large notes only in Uganda", 35000, true, {1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"the same outside Uganda", 35000, false, {0, 0, 0, 35, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"whole multiples of ten cents count exactly", 0.3, false, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0}},
        {"fifteen cents", 1.15, false, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1}},
        {"cents under five are not paid out", 1234.04, false, {0, 0, 0, 1, 0, 1, 0, 0, 1, 1, 0, 4, 0, 0, 0}},
        {"nothing", 0, true, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(flat(CoinsOf(c.net, c.uganda)), c.want) << c.what;
}

TEST(RunGauge, StepsByTheRowCount) {
    auto trace = [](int n) {
        RunGauge g(n);
        std::vector<int> v;
        for (int i = 0; i < n; ++i) v.push_back(g.row());
        return v;
    };
    // 50 employees: 2 per row.
    auto g50 = trace(50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(g50[static_cast<size_t>(i)], 2 * (i + 1));
    // 3 employees: 33 per row (the end of the run shows 100).
    EXPECT_EQ(trace(3), (std::vector<int>{33, 66, 99}));
    // 400 employees: step 25 at the 76th row, then every 75th; full long before the end.
    auto g400 = trace(400);
    EXPECT_EQ(g400[74], 0);
    EXPECT_EQ(g400[75], 25);
    EXPECT_EQ(g400[149], 25);
    EXPECT_EQ(g400[150], 50);
    EXPECT_EQ(g400[225], 75);
    EXPECT_EQ(g400[300], 100);
    EXPECT_EQ(g400[399], 100);
    // 100 employees: the whole step at the first row.
    EXPECT_EQ(trace(100)[0], 100);
    // 160: 62.5 rounds to 63 and is added at the 39th row; the second step fills it.
    auto g160 = trace(160);
    EXPECT_EQ(g160[37], 0);
    EXPECT_EQ(g160[38], 63);
    EXPECT_EQ(g160[76], 100);
    RunGauge none(0);
    EXPECT_EQ(none.row(), 0);
    none.finish();
    EXPECT_EQ(none.value(), 100);
}
