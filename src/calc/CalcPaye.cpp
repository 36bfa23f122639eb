// Reliefs, chargeable pay, the band tax of each country and the settlement of the month's tax
// against the relief brought forward.
#include "app/fmVarGlobal.h"
#include "calc/CalcRules.h"

namespace zuna::calc {

Reliefs ReliefsOf(const TaxParameters& p, bool reliefExempt, Money insurancePremium) {
    Reliefs r;
    r.insurance = insurancePremium > 0 ? Round(insurancePremium * p.RELF3 / 100 / 12) : 0;
    if (r.insurance > p.RELF2) r.insurance = p.RELF2;
    r.personal = reliefExempt ? 0 : p.RELF1;
    return r;
}

Money ChargeablePayOf(const ChargeableInputs& in, bool withOtherSource) {
    Money liable = in.liable ? 1 : 0;
    Money c = in.taxablePay;
    if (withOtherSource) c = c + in.otherSource;
    c = c + (in.housingBenefit - in.rent) + in.benefitPounds * 20 - in.pensionAllowable - in.mortgageRelief;
    return c * liable;
}

Money BandTaxKenya(const TaxSchedule& s, Money c) {
    if (c == 0) return 0;
    const TaxBand &b1 = s[0], &b2 = s[1], &b3 = s[2], &b4 = s[3], &b5 = s[4];
    if (c <= b1.lower) return 0;
    if (b1.lower < c && c <= b1.upper) return b1.constant + Round(b1.rate / 100 * (c - b1.lower));
    if (b2.lower < c && c <= b2.upper) return b2.constant + Round(b2.rate / 100 * (c - b1.upper));
    if (b3.lower < c && c <= b3.upper) return b3.constant + Round(b3.rate / 100 * (c - b2.upper));
    if (b4.lower < c && c <= b4.upper) return b4.constant + Round(b4.rate / 100 * (c - b3.upper));
    if (b5.lower < c) return b5.constant + Round(b5.rate / 100 * (c - b4.upper));
    return 0;
}

Money BandTaxUganda(const TaxSchedule& s, Money c, bool reliefExempt) {
    if (c == 0) return 0;
    const TaxBand &b1 = s[0], &b2 = s[1], &b3 = s[2], &b4 = s[3];
    if (c <= b1.lower) return 0;
    if (reliefExempt) {
        if (b1.lower < c && c <= b1.upper) return Round(b1.rate / 100 * c);
        if (b2.lower < c && c <= b2.upper) return Round(b2.rate / 100 * c);
        if (b3.lower < c && c <= b3.upper) return Round(b3.rate / 100 * c);
        if (b4.lower < c) return Round(b4.rate / 100 * c);
        return 0;
    }
    if (b1.lower < c && c <= b1.upper) return b1.constant + Round(b1.rate / 100 * (c - b1.lower));
    if (b2.lower < c && c <= b2.upper) return b2.constant + Round(b2.rate / 100 * (c - b1.upper));
    if (b3.lower < c && c <= b3.upper) return b3.constant + Round(b3.rate / 100 * (c - b2.upper));
    if (b4.lower < c) return b4.constant + Round(b4.rate / 100 * (c - b3.upper));
    return 0;
}

Money BandTaxTanzania(const TaxSchedule& s, Money c) {
    if (c == 0) return 0;
    const TaxBand &b1 = s[0], &b2 = s[1], &b3 = s[2], &b4 = s[3];
    if (c <= b1.lower) return 0;
    if (b1.lower < c && c <= b1.upper) return b1.constant + b1.rate / 100 * (c - b1.lower);
    if (b2.lower < c && c <= b2.upper) return b2.constant + b2.rate / 100 * (c - b1.upper);
    if (b3.lower < c && c <= b3.upper) return b3.constant + b3.rate / 100 * (c - b2.upper);
    if (b4.lower < c) return b4.constant + b4.rate / 100 * (c - b3.upper);
    return 0;
}

TaxSettlement SettleTax(Money taxAdjustment, Money taxCharged, const Reliefs& r, Money reliefBroughtForward) {
    TaxSettlement t;
    t.taxDue = taxAdjustment + taxCharged - (r.personal + r.insurance);
    Money d = t.taxDue - reliefBroughtForward;
    if (d >= 0) {
        t.taxDeducted = d;
        t.reliefCarried = 0;
    } else {
        t.reliefCarried = reliefBroughtForward - t.taxDue;
        t.taxDeducted = 0;
    }
    if (d > 0) {
        t.paye = d;
        t.misc9 = 0;
    } else {
        // The relief of the month not used; the month close carries it forward.
        t.paye = 0;
        t.misc9 = -t.taxDue;
    }
    return t;
}

}  // namespace zuna::calc
