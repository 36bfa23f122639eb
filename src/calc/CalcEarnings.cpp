// Pro-rated basic pay of joiners and leavers, benefits in kind and housing.
#include "app/fmVarGlobal.h"
#include "calc/CalcRules.h"

namespace zuna::calc {

namespace {
// A date counts as set when it is present and not the day count's origin.
bool isSet(const Date& d) { return !d.isNull() && d.serial() != 0; }
}  // namespace

void ProRateBasic(const Date& start, const Date& end, const Date& engaged, const Date& left, bool wholeUnits,
                  BasicPay& pay) {
    const bool jSet = isSet(engaged), tSet = isSet(left);
    const long s = start.serial(), e = end.serial();
    const long j = jSet ? engaged.serial() : 0, t = tSet ? left.serial() : 0;
    const long double daysInPeriod = end.day;

    // Back to full pay the month after a joiner's or leaver's month.
    if (!(jSet && j >= s) && !tSet && pay.cpay > 0) {
        pay.e1 = pay.cpay;
        pay.cpay = 0;
        pay.wroteE1 = pay.wroteCpay = true;
    }
    const bool joiner = jSet && s <= j && j <= e;
    const bool leaver = tSet && s <= t && t <= e;
    // A joiner keeps the full pay in CPAY (once: a second run finds it there).
    if (joiner && pay.cpay == 0) {
        pay.cpay = pay.e1;
        pay.wroteCpay = true;
    }
    // A leaver is paid the days before the leaving day.
    if (leaver) {
        pay.daysWorked = static_cast<int>(t - s);
        if (pay.cpay == 0) {
            pay.cpay = pay.e1;
            pay.wroteCpay = true;
        }
        pay.e1 = UnitRound(pay.cpay / daysInPeriod * pay.daysWorked, wholeUnits);
        pay.wroteE1 = true;
    }
    // A joiner is paid from the day of joining to the end of the period.
    if (joiner) {
        pay.daysWorked = static_cast<int>(e - j + 1);
        pay.e1 = UnitRound(pay.cpay / daysInPeriod * pay.daysWorked, wholeUnits);
        pay.wroteE1 = true;
    }
}

Money BenefitAddition(bool kenya, Money vactual, Money rate) {
    Money v = kenya ? Round(vactual / 20) : Round(vactual);
    return v >= rate ? v : rate;
}

Money HousingValueKenya(Money taxablePay, Money benefit20, Money actualRent) {
    Money h = (taxablePay + benefit20) * 0.15L;
    return h < actualRent ? actualRent : h;
}

Money HousingValueUganda(Money taxablePay, Money benefit20, Money actualRent) {
    Money h = (taxablePay + benefit20 + actualRent) * 0.15L;
    return h > actualRent ? actualRent : h;
}

Money HousingValueRwanda(Money taxablePay, Money benefit20, Money nhif, Money nssf, Money lasc, Money actualRent) {
    Money h = (taxablePay + benefit20 - nhif - nssf - lasc) * 0.2L;
    return h < actualRent ? actualRent : h;
}

Money HousingBenefitOf(Money h) { return Trunc(Trunc(h * 20) / 20); }

Money NetHousingOf(Money housingBenefit, Money rent) { return Trunc(housingBenefit - rent); }

}  // namespace zuna::calc
