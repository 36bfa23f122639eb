// NSSF of each country with the voluntary part, mortgage relief and pension.
#include "app/fmVarGlobal.h"
#include "calc/CalcRules.h"

namespace zuna::calc {

Nssf NssfKenya(const TaxParameters& p, bool member, Money grossPay, Money employeeVnssf) {
    Nssf n;
    if (member) {
        n.nssf = TruncTo05(p.NSSF * grossPay / 100);
        n.vnssf = employeeVnssf;
    }
    if (n.nssf < 0) n.nssf = 0;
    if (n.nssf >= p.MAXNSSF) n.nssf = p.MAXNSSF;
    return n;
}

Nssf NssfUganda(const TaxParameters& p, bool member, Money grossPay) {
    Nssf n;
    if (member) {
        Money x = p.NSSF * grossPay / 100;
        n.nssf = TruncTo05(Round(x / 5) * 5);
    }
    return n;
}

Nssf NssfRwanda(const TaxParameters& p, bool member, Money grossPay, Money employeeVnssf) {
    Nssf n;
    if (member) {
        Money x = p.NSSF * grossPay / 100;
        n.nssf = Round(TruncTo05(x));
        n.vnssf = employeeVnssf;
    }
    if (n.nssf < 0) n.nssf = 0;
    return n;
}

Nssf NssfTanzania(const TaxParameters& p, bool member, Money basicPay) {
    Nssf n;
    if (member) n.nssf = TruncTo05(p.NSSF * basicPay / 100);
    return n;
}

void VoluntaryNssf(const TaxParameters& p, bool voluntary, Nssf& n) {
    if (!voluntary) {
        n.vnssf = 0;
        return;
    }
    if (n.nssf + n.vnssf > p.MAXNSSF2) {
        // Only what fits under the ceiling is taken, and never less than nothing: a ceiling
        // below the statutory part leaves the statutory part alone.
        n.vnssf = p.MAXNSSF2 - n.nssf;
        if (n.vnssf < 0) n.vnssf = 0;
    }
    n.nssf = n.nssf + n.vnssf;
}

Money MortgageReliefOf(const TaxParameters& p, bool ownerOccupier, Money interestPaid) {
    if (!ownerOccupier) return 0;
    return interestPaid <= p.MAXMORT ? interestPaid : p.MAXMORT;
}

int AlternativeSchemeSlot(bool pensionable, int altpens) {
    int a = pensionable ? altpens : 0;
    return a >= 51 && a <= 60 ? a - 50 : 0;
}

Pension PensionOf(const TaxParameters& p, bool pensionable, Money pfself, Money pfcomp, Money basicPay,
                  std::optional<Money> altSaving) {
    Pension r;
    if (altSaving) {
        r.alternative = *altSaving;
        return r;
    }
    if (pensionable) {
        r.company = TruncTo005((pfcomp != 0 ? pfcomp : p.PEN_COMP) * basicPay / 100);
        r.self = TruncTo005((pfself != 0 ? pfself : p.PEN_SELF) * basicPay / 100);
    }
    return r;
}

Money PensionAllowance(const TaxParameters& p, Money sum) { return sum > p.PEN_FIXED ? p.PEN_FIXED : sum; }

}  // namespace zuna::calc
