// Union dues, loan repayments and interest, net pay with the overdraft, the coin split, and
// the progress gauge of the run.
#include <string>

#include "app/fmVarGlobal.h"
#include "calc/CalcRules.h"

namespace zuna::calc {

UnionDues UnionDuesOf(const TaxParameters& p, Money basic, Money houseAllowance) {
    UnionDues u;
    if (p.UTYPE != 0) {
        if (p.URATE != 0) {
            u.union_ = Round((basic + houseAllowance) * p.URATE / 100);
            if (u.union_ > p.UNIONMAX) u.union_ = p.UNIONMAX;
        }
    } else {
        const Money b = basic;
        const auto& r = p.URANGE_;
        const auto& a = p.URATE_;
        if (b <= r[0]) u.union_ = a[0];
        else if (r[0] < b && b <= r[1]) u.union_ = a[1];
        else if (r[1] < b && b <= r[2]) u.union_ = a[2];
        else if (r[2] < b && b <= r[3]) u.union_ = a[3];
        else if (r[3] < b && b <= r[4]) u.union_ = a[4];
        else if (r[4] < b) u.union_ = a[5];
    }
    u.cotu = p.UCOTU;
    return u;
}

Money LoanRepayment(Money balance, Money newLoan, Money repayment) {
    return balance + newLoan - repayment >= 0 ? repayment : balance + newLoan;
}

LoanInterest LoanInterestOf(const TaxParameters& p, Money balance, Money newLoan, std::optional<Money> rate,
                            bool lowInterest, bool wholeUnits) {
    LoanInterest r;
    Money owed = balance + newLoan;
    Money interest = 0, prescribed = 0;
    if (rate) {
        interest = owed * *rate / 100;
        if (lowInterest) prescribed = owed * (p.LOWINT1 / 12) / 100;
    }
    r.interest = UnitRound(interest, wholeUnits);
    r.benefit = lowInterest && owed >= p.LOWINT2 ? prescribed - r.interest : 0;
    return r;
}

NetPay NetPayOf(Money grossPay, Money totalDeductions) {
    NetPay n;
    n.net = grossPay - totalDeductions;
    n.overdraft = n.net < 0 ? -n.net : 0;
    if (n.net > 0) {
        n.nett = n.net;
        n.odcr = n.overdraft;
    } else {
        n.nett = 0;
        n.odcr = n.overdraft;
    }
    return n;
}

CoinCounts CoinsOf(Money netPay, bool uganda) {
    CoinCounts c;
    Money cents = Round(netPay * 100);
    if (!(cents > 0)) return c;
    std::int64_t r = static_cast<std::int64_t>(cents);
    auto take = [&r](std::int64_t& count, std::int64_t denomination) {
        count = r / denomination;
        r -= count * denomination;
    };
    if (uganda) {
        take(c.twentyThousand, 2000000);
        take(c.tenThousand, 1000000);
        take(c.fiveThousand, 500000);
    }
    take(c.thousand, 100000);
    take(c.fiveHundred, 50000);
    take(c.twoHundred, 20000);
    take(c.hundred, 10000);
    take(c.fifty, 5000);
    take(c.twenty, 2000);
    take(c.ten, 1000);
    take(c.five, 500);
    take(c.one, 100);
    take(c.halfUnit, 50);
    take(c.tenCents, 10);
    c.fiveCents = r / 5;
    return c;
}

RunGauge::RunGauge(int recordCount) : n_(recordCount) {
    if (n_ <= 0) return;
    const long double p = 100.0L / n_;
    if (p > 1) {
        perRowMode_ = true;
        perRow_ = 100 / n_;
        return;
    }
    const long double x = 100.0L / n_ * 100;
    step_ = std::stoi(FormatMask(static_cast<double>(x), "0"));
    threshold_ = 100 - static_cast<int>(Trunc(x));
}

int RunGauge::row() {
    if (n_ <= 0) return value_;
    if (perRowMode_) {
        value_ += perRow_;
    } else if (counter_ >= threshold_) {
        value_ += step_;
        counter_ = 0;
    }
    if (value_ > 100) value_ = 100;
    ++counter_;
    return value_;
}

}  // namespace zuna::calc
