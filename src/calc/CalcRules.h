// The arithmetic of the monthly computation, one function per rule, free of tables: pro-rating,
// benefits and housing, NSSF, NHIF/LASC bands, pension, mortgage relief, reliefs, chargeable pay,
// the band tax of each country, tax due and the relief carried forward, union dues, loans and
// their interest, net pay and the note-and-coin split. Zunacalc reads the tables and calls these.
//
// Amounts are long double (extended precision) from the moment they are read until they are
// stored; Round ties to even, Trunc goes toward zero (app/fmVarGlobal.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "engine/Date.h"

namespace zuna::calc {

using Money = long double;

// ------------------------------------------------------------------ parameters of the run

// One band of the PAYE schedule: lower bound, upper bound, rate in percent, tax of the bands below.
struct TaxBand {
    Money lower = 0, upper = 0, rate = 0, constant = 0;
};
using TaxSchedule = std::array<TaxBand, 5>;

// One band of the NHIF or LASC table: lower bound, upper bound, amount.
struct AmountBand {
    Money lower = 0, upper = 0, amount = 0;
};
using NhifTable = std::array<AmountBand, 16>;
using LascTable = std::array<AmountBand, 10>;

// The company's row of tax and statutory parameters (payrf08), read once per run.
struct TaxParameters {
    Money NSSF = 0, MAXNSSF = 0, MAXNSSF2 = 0;
    Money RELF1 = 0, RELF2 = 0, RELF3 = 0;
    Money PEN_SELF = 0, PEN_COMP = 0, PEN_FIXED = 0, MAXMORT = 0;
    Money LOWINT1 = 0, LOWINT2 = 0;
    TaxSchedule bands{};
    // Union dues: the scale (URATE1..6 over URANGE1..5), the percentage method and its cap, COTU.
    std::array<Money, 6> URATE_{};   // URATE1..URATE6
    std::array<Money, 5> URANGE_{};  // URANGE1..URANGE5
    Money URATE = 0, UNIONMAX = 0, UCOTU = 0;
    int UTYPE = 0;
    int TAWUACC = 0, COTUACC = 0;
};

// ------------------------------------------------------------------ pro-rating of basic pay

// E1 and CPAY of the transaction record (null read as 0), and which of them the rules wrote.
struct BasicPay {
    Money e1 = 0, cpay = 0;
    bool wroteE1 = false, wroteCpay = false;
    int daysWorked = 0;
};
// Joiners (ENGDATE inside the period) are paid their days from the full pay kept in CPAY;
// leavers (TERDATE inside the period) the days before the leaving day; the month after, the
// full pay comes back from CPAY. start/end: the period; engaged/left: null when not set.
void ProRateBasic(const Date& start, const Date& end, const Date& engaged, const Date& left, bool wholeUnits,
                  BasicPay& pay);

// ------------------------------------------------------------------ benefits and housing

// What one active benefit adds to BENEFIT (pounds): its taxable value as the benefits table
// shows it (VActual: currency units in Kenya, pounds elsewhere) in pounds, at least its RATE.
Money BenefitAddition(bool kenya, Money vactual, Money rate);

// Housing value h before truncation for a housed employee: Kenya the greater of 15 % of
// taxable pay plus benefits and the actual rent, Uganda the smaller of 15 % of those plus the
// rent and the rent, Rwanda the greater of 20 % of pay less NHIF, NSSF and LASC and the rent.
Money HousingValueKenya(Money taxablePay, Money benefit20, Money actualRent);
Money HousingValueUganda(Money taxablePay, Money benefit20, Money actualRent);
Money HousingValueRwanda(Money taxablePay, Money benefit20, Money nhif, Money nssf, Money lasc, Money actualRent);
// The housing benefit: h without its fraction.
Money HousingBenefitOf(Money h);
// What is stored as the net housing benefit: the whole part of benefit less rent.
Money NetHousingOf(Money housingBenefit, Money rent);

// ------------------------------------------------------------------ statutory contributions

struct Nssf {
    Money nssf = 0, vnssf = 0;
};
// Kenya: rate % of gross pay truncated to 0.5, capped at MAXNSSF (equality included).
Nssf NssfKenya(const TaxParameters& p, bool member, Money grossPay, Money employeeVnssf);
// Uganda: rate % of gross pay to the nearest 5 (ties to even), then truncated to 0.5; no cap.
Nssf NssfUganda(const TaxParameters& p, bool member, Money grossPay);
// Rwanda: rate % of gross pay truncated to 0.5, then to whole units; no cap.
Nssf NssfRwanda(const TaxParameters& p, bool member, Money grossPay, Money employeeVnssf);
// Tanzania: rate % of basic pay truncated to 0.5; no cap.
Nssf NssfTanzania(const TaxParameters& p, bool member, Money basicPay);
// The voluntary part (Kenya, Rwanda). Under MAXNSSF2 it is added to NSSF; over it the voluntary
// part is cut to what fits and NSSF becomes MAXNSSF2, so that NSSF always carries the voluntary
// part it declares (NSSF - VNSSF is the standard part) and a second run repeats the first.
void VoluntaryNssf(const TaxParameters& p, bool voluntary, Nssf& n);

// Band table lookup: the amount of the highest-numbered band whose bounds (both included)
// contain the value; 0 when none does.
template <size_t N>
Money BandAmount(const std::array<AmountBand, N>& bands, Money value) {
    Money amount = 0;
    for (const AmountBand& b : bands)
        if (b.lower <= value && value <= b.upper) amount = b.amount;
    return amount;
}

Money MortgageReliefOf(const TaxParameters& p, bool ownerOccupier, Money interestPaid);

struct Pension {
    Money self = 0, company = 0, alternative = 0;
};
// Percentage pension of a pensionable employee on basic pay, truncated to 0.05; the employee's
// own rates when not 0, else the company's. altSaving: the savings slot of the alternative
// scheme when ALTPENS names one (51..60), which replaces the percentage contributions.
Pension PensionOf(const TaxParameters& p, bool pensionable, Money pfself, Money pfcomp, Money basicPay,
                  std::optional<Money> altSaving);
// The pension allowed against tax: the country's sum, at most PEN_FIXED.
Money PensionAllowance(const TaxParameters& p, Money sum);
// The savings slot (1..10) of an alternative scheme, or 0: ALTPENS counts only for a pensionable
// employee and only when it is a savings code.
int AlternativeSchemeSlot(bool pensionable, int altpens);

// ------------------------------------------------------------------ PAYE

struct Reliefs {
    Money personal = 0, insurance = 0;
};
Reliefs ReliefsOf(const TaxParameters& p, bool reliefExempt, Money insurancePremium);

struct ChargeableInputs {
    Money taxablePay = 0, otherSource = 0, housingBenefit = 0, rent = 0, benefitPounds = 0;
    Money pensionAllowable = 0, mortgageRelief = 0;
    bool liable = true;  // PAFLAG
};
// Kenya, Uganda, Rwanda: taxable pay + other source + (housing - rent) + benefits x 20 - pension
// - mortgage relief, for an employee liable to PAYE (0 otherwise). Tanzania leaves out the other
// source.
Money ChargeablePayOf(const ChargeableInputs& in, bool withOtherSource);

// Band tax of chargeable pay c. Kenya and Rwanda: five bands, each band's part rounded; a c
// between one band's upper bound and the next band's lower bound pays 0.
Money BandTaxKenya(const TaxSchedule& s, Money c);
// Uganda: four bands, progressive; a relief-exempt employee pays the band's rate on the whole of c.
Money BandTaxUganda(const TaxSchedule& s, Money c, bool reliefExempt);
// Tanzania: four bands, progressive, unrounded.
Money BandTaxTanzania(const TaxSchedule& s, Money c);

// The tax-history split of the month and the PAYE handed to the employee record.
struct TaxSettlement {
    Money taxDue = 0;
    Money taxDeducted = 0;   // TAXDED
    Money reliefCarried = 0; // CFWD
    Money paye = 0;
    Money misc9 = 0;
};
// taxDue = adjustment + tax charged - reliefs; the relief brought forward absorbs it first.
TaxSettlement SettleTax(Money taxAdjustment, Money taxCharged, const Reliefs& r, Money reliefBroughtForward);

// ------------------------------------------------------------------ deductions and net pay

struct UnionDues {
    Money union_ = 0, cotu = 0;
};
// Union dues of a unionisable employee: a percentage of basic plus house allowance with a cap
// (UTYPE not 0), or the six-band scale on basic pay (UTYPE 0); COTU a fixed amount.
UnionDues UnionDuesOf(const TaxParameters& p, Money basic, Money houseAllowance);

// What a loan slot repays this month: the repayment, but never more than balance plus new loan.
Money LoanRepayment(Money balance, Money newLoan, Money repayment);

struct LoanInterest {
    Money interest = 0;  // the month's interest, unit rounded
    Money benefit = 0;   // low-interest benefit (negative when the loan's rate is above the prescribed one)
};
// rate: IRATE of the slot (no interest when null); lowInterest: the slot's pay code is a
// low-interest loan (LOAN_TYPE "2").
LoanInterest LoanInterestOf(const TaxParameters& p, Money balance, Money newLoan, std::optional<Money> rate,
                            bool lowInterest, bool wholeUnits);

struct NetPay {
    Money net = 0, overdraft = 0, nett = 0, odcr = 0;
};
NetPay NetPayOf(Money grossPay, Money totalDeductions);

// Notes and coins of a cash payment, counted in whole cents: 20000, 10000, 5000 (Uganda only),
// 1000, 500, 200, 100, 50, 20, 10, 5, 1, 0.50, 0.10, 0.05; a remainder under five cents is not paid out.
struct CoinCounts {
    std::int64_t twentyThousand = 0, tenThousand = 0, fiveThousand = 0;
    std::int64_t thousand = 0, fiveHundred = 0, twoHundred = 0, hundred = 0, fifty = 0, twenty = 0, ten = 0,
                 five = 0, one = 0, halfUnit = 0, tenCents = 0, fiveCents = 0;
};
CoinCounts CoinsOf(Money netPay, bool uganda);

// ------------------------------------------------------------------ progress

// The gauge of the run: with N employees in the view, 100 div N per row when N < 100;
// otherwise a step of 100 / N x 100 (rounded) each time the row counter reaches
// 100 - Trunc(100 / N x 100), the counter then starting again. Never above 100.
class RunGauge {
public:
    explicit RunGauge(int recordCount);
    // Called at the start of every row, computed or skipped; returns the gauge value.
    int row();
    int value() const { return value_; }
    void finish() { value_ = 100; }

private:
    int n_;
    bool perRowMode_ = false;
    int value_ = 0;
    int counter_ = 0;
    int step_ = 0;
    int threshold_ = 0;
    int perRow_ = 0;
};

}  // namespace zuna::calc
