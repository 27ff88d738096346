#include "core/Behaviour.h"

#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

inline double Par(const Model& m, int t, int n) {
    return m.GetPar(t, n);
}
inline double Var(const Model& m, int t, int n) {
    return m.GetVar(t, n);
}

// Consumption propensities on wage and profit income.
inline double PropWage(const Model& m, int t) {
    return m.Sw(1) == 1 ? Par(m, t, par::cYL) : Par(m, t, par::cY);
}
inline double PropProfit(const Model& m, int t) {
    return m.Sw(1) == 1 ? Par(m, t, par::cYU) : Par(m, t, par::cY);
}

double DispWageWith(const Model& m, int t, double y, double s) {
    if (m.Sw(16) == 1)
        return Par(m, t, par::SBAut) + y * (1 - Par(m, t, par::tYL)) * s / 100 -
               Par(m, t, par::TLAut);
    return Par(m, t, par::SBAut) + y * (1 - Par(m, t, par::tY)) * s / 100 -
           s / 100 * Par(m, t, par::TAut);
}

double DispProfitWith(const Model& m, int t, double y, double s) {
    if (m.Sw(16) == 1)
        return Par(m, t, par::SubAut) + y * (1 - Par(m, t, par::tYU)) * (1 - s / 100) -
               Par(m, t, par::TUAut);
    return Par(m, t, par::SubAut) + y * (1 - Par(m, t, par::tY)) * (1 - s / 100) -
           (1 - s / 100) * Par(m, t, par::TAut);
}

double TaxesWith(const Model& m, int t, double y, double s) {
    if (m.Sw(16) == 1)
        return Par(m, t, par::TLAut) + Par(m, t, par::TUAut) + y * s / 100 * Par(m, t, par::tYL) +
               y * (1 - s / 100) * Par(m, t, par::tYU);
    return Par(m, t, par::TAut) + Par(m, t, par::tY) * y;
}

double AccelTerm(const Model& m, int t) {
    const double acc = Par(m, t, par::bdY) * (Var(m, t, var::YErw) - Var(m, t - 1, var::YErw));
    if (m.Sw(4) == 1) return std::max(-Par(m, t, par::dK) * Var(m, t, var::K), acc);
    return acc;
}

// Denominator of the multiplier together with the sign code (+1, -1, 0, -2).
struct Stability {
    int sign;
    double d;
};

Stability StabilityOf(const Model& m, int t) {
    const double li = Par(m, t, par::li);
    double d;
    if (m.Sw(21) == 1) {
        if (li == 0) return {0, 0};
        d = (InterestSens(m, t) + Par(m, t, par::kdi)) * Par(m, t, par::lY) / li + 1 -
            SpendingPropensity(m, t);
    } else if (m.Sw(19) == 1 && Par(m, t, par::nWR) != 1) {
        const double kdi = Par(m, t, par::kdi);
        const double mY = Par(m, t, par::mY);
        if (kdi == 0 && mY == 0) return {-2, 0};
        if (kdi == 0) return {0, 0};
        d = InterestSens(m, t) * mY / kdi + 1 - DomesticSpendingPropensity(m, t);
    } else {
        if (li == 0) return {0, 0};
        d = InterestSens(m, t) * Par(m, t, par::lY) / li + 1 - DomesticSpendingPropensity(m, t);
    }
    return {d > 0 ? 1 : -1, d};
}

} // namespace

// ---- Income distribution and disposable income ----

double ExpWageShare(const Model& m, int t) {
    const double yErw = Var(m, t, var::YErw);
    if (yErw == 0) return Par(m, t, par::LQExog);
    return std::min(100 * Var(m, t, var::YLErw) / yErw, 100.0);
}

double DispWageIncomeExp(const Model& m, int t, double y) {
    return DispWageWith(m, t, y, ExpWageShare(m, t));
}
double DispProfitIncomeExp(const Model& m, int t, double y) {
    return DispProfitWith(m, t, y, ExpWageShare(m, t));
}
double DispIncomeExp(const Model& m, int t, double y) {
    return DispWageIncomeExp(m, t, y) + DispProfitIncomeExp(m, t, y);
}
double DispWageIncome(const Model& m, int t, double y) {
    return DispWageWith(m, t, y, Var(m, t, var::LQ));
}
double DispProfitIncome(const Model& m, int t, double y) {
    return DispProfitWith(m, t, y, Var(m, t, var::LQ));
}
double DispIncome(const Model& m, int t, double y) {
    return DispWageIncome(m, t, y) + DispProfitIncome(m, t, y);
}
double TaxesExp(const Model& m, int t, double y) {
    return TaxesWith(m, t, y, ExpWageShare(m, t));
}
double Taxes(const Model& m, int t, double y) {
    return TaxesWith(m, t, y, Var(m, t, var::LQ));
}
double TransfersTotal(const Model& m, int t) {
    return Par(m, t, par::SBAut) + Par(m, t, par::SubAut);
}
double BudgetSurplusExp(const Model& m, int t, double y) {
    return TaxesExp(m, t, y) - GovernmentPurchases(m, t, y) - Par(m, t, par::SBAut) -
           Par(m, t, par::SubAut);
}
double BudgetSurplus(const Model& m, int t, double y) {
    return Taxes(m, t, y) - GovernmentPurchases(m, t, y) - Par(m, t, par::SBAut) -
           Par(m, t, par::SubAut);
}

// ---- Goods demand ----

double Consumption(const Model& m, int t, double r, double y) {
    double c = Par(m, t, par::CAut) + PropWage(m, t) * DispWageIncomeExp(m, t, y) +
               PropProfit(m, t) * DispProfitIncomeExp(m, t, y) - Par(m, t, par::cr) * r;
    if (m.Sw(2) == 1) c += Var(m, t - 1, var::SUnw);
    return c;
}

double Investment(const Model& m, int t, double r, double y) {
    double i = Par(m, t, par::IAut) + Par(m, t, par::bYU) * DispProfitIncomeExp(m, t, y) -
               Par(m, t, par::br) * r;
    if (m.Sw(3) == 0)
        i += Par(m, t, par::bY) * y;
    else if (m.Sw(3) == 1)
        i += AccelTerm(m, t);
    if (m.Sw(5) == 1) i -= Var(m, t - 1, var::IUnw);
    return i;
}

double GovernmentPurchases(const Model& m, int t, double y) {
    return Par(m, t, par::GAut) + Par(m, t, par::gT) * TaxesExp(m, t, y);
}
double ExportDemand(const Model& m, int t, double e) {
    return Par(m, t, par::ExAut) + Par(m, t, par::xe) * e;
}
double ImportDemand(const Model& m, int t, double e, double y) {
    return Par(m, t, par::mY) * y + Par(m, t, par::ImAut) + Par(m, t, par::me) / e;
}
double TradeBalance(const Model& m, int t, double e, double y) {
    return ExportDemand(m, t, e) - ImportDemand(m, t, e, y);
}
double ImportIncome(const Model& m, int t) {
    return m.Sw(9) == 1 ? Var(m, t, var::YErw) : Var(m, t, var::Y);
}
double Saving(const Model& m, int t, double r, double y) {
    return DispIncome(m, t, y) - Consumption(m, t, r, y);
}
double SavingExp(const Model& m, int t, double r, double y) {
    return DispIncomeExp(m, t, y) - Consumption(m, t, r, y);
}

// ---- Marginal propensities and multipliers ----

double InterestSens(const Model& m, int t) {
    return Par(m, t, par::cr) + Par(m, t, par::br);
}

double SavingPropensity(const Model& m, int t) {
    const double s = ExpWageShare(m, t);
    const double tL = m.Sw(16) == 1 ? Par(m, t, par::tYL) : Par(m, t, par::tY);
    const double tU = m.Sw(16) == 1 ? Par(m, t, par::tYU) : Par(m, t, par::tY);
    return s / 100 * (1 - PropWage(m, t)) * (1 - tL) +
           (1 - s / 100) * (1 - PropProfit(m, t)) * (1 - tU);
}

double InvestPropensity(const Model& m, int t) {
    const double s = ExpWageShare(m, t);
    const double tU = m.Sw(16) == 1 ? Par(m, t, par::tYU) : Par(m, t, par::tY);
    const double bY = m.Sw(3) == 0 ? Par(m, t, par::bY) : 0.0;
    return bY + (1 - tU) * Par(m, t, par::bYU) * (1 - s / 100);
}

double AvgTaxRate(const Model& m, int t) {
    if (m.Sw(16) == 0) return Par(m, t, par::tY);
    const double s = ExpWageShare(m, t);
    return s / 100 * Par(m, t, par::tYL) + (1 - s / 100) * Par(m, t, par::tYU);
}

double SpendingPropensity(const Model& m, int t) {
    const double s = ExpWageShare(m, t);
    const double cL = PropWage(m, t), cU = PropProfit(m, t);
    const double bYU = Par(m, t, par::bYU), gT = Par(m, t, par::gT);
    double p;
    if (m.Sw(16) == 1) {
        const double tYL = Par(m, t, par::tYL), tYU = Par(m, t, par::tYU);
        p = ((1 - tYL) * cL + tYL * gT) * s / 100 +
            ((bYU + cU) * (1 - tYU) + tYU * gT) * (1 - s / 100);
    } else {
        const double tY = Par(m, t, par::tY);
        if (m.Sw(1) == 1)
            p = (1 - tY) * cL * s / 100 + (bYU + cU) * (1 - tY) * (1 - s / 100);
        else
            p = ((1 - s / 100) * bYU + Par(m, t, par::cY)) * (1 - tY);
        p += tY * gT;
    }
    if (m.Sw(3) == 0) p += Par(m, t, par::bY);
    return p;
}

double DomesticSpendingPropensity(const Model& m, int t) {
    return SpendingPropensity(m, t) - Par(m, t, par::mY);
}
double AutonomousDemand(const Model& m, int t) {
    return Var(m, t, var::N) - SpendingPropensity(m, t) * Var(m, t, var::YErw);
}
double AutonomousNetDemand(const Model& m, int t) {
    return AutonomousDemand(m, t) - ImportDemand(m, t, Var(m, t, var::e), 0);
}
double NetDemandAt(const Model& m, int t, double r, double y) {
    return DomesticSpendingPropensity(m, t) * y + AutonomousNetDemand(m, t) -
           (r - Var(m, t, var::rErw)) * (Par(m, t, par::br) + Par(m, t, par::cr));
}
double ISIncome(const Model& m, int t, double r) {
    const double dsp = DomesticSpendingPropensity(m, t);
    if (dsp == 1) return 0;
    return NetDemandAt(m, t, r, 0) / (1 - dsp);
}
int StabilitySign(const Model& m, int t) {
    return StabilityOf(m, t).sign;
}
double Multiplier(const Model& m, int t) {
    const Stability s = StabilityOf(m, t);
    return s.sign == 1 ? 1 / s.d : s.sign;
}

// ---- Production and labour ----

double ProductionFunction(const Model& m, int t, double k, double a) {
    if (m.Sw(6) == 1)
        return Par(m, t, par::q) * std::pow(a, Par(m, t, par::alpha)) *
               std::pow(k, Par(m, t, par::beta));
    return std::min(Par(m, t, par::k) * k, Par(m, t, par::a) * a);
}
double PotentialOutput(const Model& m, int t) {
    return ProductionFunction(m, t, Var(m, t, var::K), Par(m, t, par::APot));
}
double LabourRequirement(const Model& m, int t, double y) {
    if (m.Sw(6) == 1)
        return std::pow(y / Par(m, t, par::q) / std::pow(Var(m, t, var::K), Par(m, t, par::beta)),
                        1 / Par(m, t, par::alpha));
    return y / Par(m, t, par::a);
}
double UnemploymentAt(const Model& m, int t, double y) {
    return (1 - LabourRequirement(m, t, y) / Par(m, t, par::APot)) * 100;
}
double CapitalRequirement(const Model& m, int t) {
    const double y = Var(m, t, var::Y);
    if (m.Sw(6) == 1)
        return std::pow(
            y / (Par(m, t, par::q) * std::pow(Var(m, t, var::A), Par(m, t, par::alpha))),
            1 / Par(m, t, par::beta));
    return y / Par(m, t, par::k);
}
double CapitalUtilisation(const Model& m, int t) {
    const double k = Var(m, t, var::K);
    if (k == 0) return 100;
    if (Var(m, t, var::Y) == 0) return 0;
    return 100 * CapitalRequirement(m, t) / k;
}

// ---- Wages and prices ----

bool IsWagePeriodStart(const Model& m, int t) {
    return t % m.TZR() == 0;
}
bool IsMonetaryPeriodStart(const Model& m, int t) {
    return t % m.MZZR() == 0;
}
int WageRoundStart(const Model& m, int t) {
    return t / m.TZR() * m.TZR();
}

double WageGrowthTarget(const Model& m, int t) {
    return Par(m, t, par::wgP) * Var(m, t, var::gPErw) +
           Par(m, t, par::wga) * Var(m, t, var::gaErw) + Par(m, t, par::wV);
}

double NominalWage(Model& m, int t, bool start, double uExp) {
    if (m.Sw(14) == 0) return Par(m, t, par::wNExog);
    const int tzr = m.TZR();
    const double uTerm = (Par(m, t, par::uNat) - uExp) * Par(m, t, par::wu) / 100;
    if (start) {
        const double base = Var(m, t - tzr, var::wN);
        const double growth = WageGrowthTarget(m, t);
        double x = (uTerm + 1 + growth / 100) * base;
        if (!(x >= 0)) x = 0.1 * base;
        m.WageBase = base;
        m.WageGrowthTargetMemo = growth;
        return x;
    }
    if (!m.ScratchMode) {
        const int tvp = WageRoundStart(m, t);
        m.WageBase = Var(m, tvp - tzr, var::wN);
        m.WageGrowthTargetMemo = WageGrowthTarget(m, tvp);
    }
    if (m.Sw(14) == 1) return Var(m, t - 1, var::wN);
    if (m.Sw(14) == 2) return (uTerm + 1 + m.WageGrowthTargetMemo / 100) * m.WageBase;
    return Var(m, t, var::wN); // a wage mode the model does not know keeps the stored wage
}

double NominalWageGrowth(const Model& m, int t) {
    const double prev = Var(m, t - m.TZR(), var::wN);
    if (prev == 0) return 0;
    return (Var(m, t, var::wN) - prev) / prev * 100;
}

double UnitLabourCost(const Model& m, int t, double wN, double y) {
    const double yy = std::max(y, 1E-10);
    return LabourRequirement(m, t, yy) * wN / yy;
}

double MarkupPrice(const Model& m, int t, double wN, double y) {
    return std::max(Par(m, t, par::Pu),
                    (1 + Par(m, t, par::jAut) + y * Par(m, t, par::jY) / PotentialOutput(m, t)) *
                        UnitLabourCost(m, t, wN, y));
}

double SupplyPrice(const Model& m, int t, double wN, double y) {
    if (m.Sw(12) == 0) return Par(m, t, par::PExog);
    if (m.Sw(12) == 1) {
        if (m.Sw(6) == 1) {
            if (y == 0) return 0;
            const double q = Par(m, t, par::q), alpha = Par(m, t, par::alpha);
            const double kb = std::pow(Par(m, t, par::KExog), Par(m, t, par::beta));
            const double a = std::pow(y / q / kb, 1 / alpha);
            return wN / (q * alpha * std::pow(a, alpha - 1) * kb);
        }
        if (m.Sw(6) == 0) return UnitLabourCost(m, t, wN, y);
    }
    return MarkupPrice(m, t, wN, y);
}

double PriceAt(const Model& m, int t, double y) {
    return SupplyPrice(m, t, Var(m, t, var::wN), y);
}

double PriceOrientedSupply(const Model& m, int t, double p) {
    const double k = Var(m, t, var::K), wN = Var(m, t, var::wN);
    const double yPot = PotentialOutput(m, t);
    const bool substitutional = m.Sw(6) == 1;
    const double q = Par(m, t, par::q), alpha = Par(m, t, par::alpha), beta = Par(m, t, par::beta);
    if (m.Sw(12) == 1) {
        if (!substitutional) return yPot;
        const double aStar = std::pow(q * p * alpha * std::pow(k, beta) / wN, 1 / (1 - alpha));
        return std::min(ProductionFunction(m, t, k, aStar), yPot);
    }
    if (m.Sw(12) != 2) return 0;
    if (p < Par(m, t, par::Pu)) return 0;
    const double jAut = Par(m, t, par::jAut), jY = Par(m, t, par::jY);
    if (substitutional && jY != 0) {
        if (p >= MarkupPrice(m, t, wN, yPot)) return yPot;
        const double c1 = wN / std::pow(q * std::pow(k, beta), 1 / alpha);
        const double c2 = (jAut + 1) * (1 / alpha - 1);
        const double c3 = jY / yPot / alpha;
        double y = Var(m, t, var::Y);
        // Newton steps on the mark-up price; bounded, since a start at Y = 0 can diverge.
        const int limit = std::max<int>(1, m.Options.MaxIterations);
        for (int iter = 0; iter < limit; ++iter) {
            const double pk = MarkupPrice(m, t, wN, y);
            const double d =
                (std::pow(y, 1 / alpha - 2) * c2 + std::pow(y, 1 / alpha - 1) * c3) * c1;
            y = d != 0 ? (p - (pk - y * d)) / d : yPot;
            if (m.Options.Accuracy > std::fabs(pk / p - 1)) break;
        }
        return y;
    }
    if (substitutional) {
        const double mm = p * std::pow(k, beta / alpha) * std::pow(q, 1 / alpha) / (jAut + 1) / wN;
        return std::min(yPot, std::pow(mm, alpha / (1 - alpha)));
    }
    if (jY != 0) return std::min(yPot, (p / (wN / Par(m, t, par::a)) - 1 - jAut) * yPot / jY);
    return yPot;
}

double InflationAt(const Model& m, int t, double p) {
    return (p / Var(m, t - m.TZR(), var::P) - 1) * 100;
}
double PriceFromInflation(const Model& m, int t, double g) {
    return Var(m, t - m.TZR(), var::P) * (1 + g / 100);
}

// ---- Money, interest and the external sector ----

double MoneyDemand(const Model& m, int t, double i, double y1, double y2) {
    return Par(m, t, par::LAut) - Par(m, t, par::li) * i + Par(m, t, par::lY) * (y1 + y2) / 2;
}
double MoneyMultiplier(const Model& m, int t) {
    if (m.Sw(18) != 1) return 1;
    return 1 / (1 - (1 - Par(m, t, par::bM)) * (1 - Par(m, t, par::rSE)));
}
double Currency(const Model& m, int t) {
    return Par(m, t, par::bM) * Var(m, t, var::MN);
}
double Reserves(const Model& m, int t) {
    return (Var(m, t, var::MN) - Currency(m, t)) * Par(m, t, par::rSE);
}
double MonetaryBase(const Model& m, int t) {
    return Var(m, t, var::MN) / MoneyMultiplier(m, t);
}

double PlannedMoneySupply(const Model& m, int t, bool start) {
    double money = Var(m, t - 1, var::M) * Var(m, t - 1, var::P);
    const bool multiple = m.Sw(18) == 1;
    if (m.Sw(20) == 0) {
        if (m.Sw(19) == 0) {
            money =
                multiple ? Par(m, t, par::MBNAut) * MoneyMultiplier(m, t) : Par(m, t, par::MNAut);
        } else if (t > 0) {
            money = multiple ? (money / MoneyMultiplier(m, t - 1) + Par(m, t, par::dMBHNAut)) *
                                   MoneyMultiplier(m, t)
                             : money + Par(m, t, par::dMHNAut);
        }
    } else if (m.Sw(20) == 1 && start) {
        const double g = 1 + Par(m, t, par::gMNAut) / 100;
        money =
            multiple ? g * money / MoneyMultiplier(m, t - 1) * MoneyMultiplier(m, t) : g * money;
    }
    return money;
}

double PlannedRealMoney(const Model& m, int t, bool start) {
    return PlannedMoneySupply(m, t, start) / Var(m, t, var::P);
}

double ReserveInflowFactor(const Model& m, int t) {
    if (m.Sw(19) == 0 || m.Sw(21) == 1) return 0;
    return (1 - Par(m, t, par::nWR)) * MoneyMultiplier(m, t);
}

double PrevRealExchangeRate(const Model& m, int t) {
    const double e = m.Sw(21) == 1 ? Var(m, t - 1, var::eN) : Par(m, t, par::eNExog);
    return e * Var(m, t - 1, var::PA) / Var(m, t - 1, var::P);
}

double RealExchangeRate(const Model& m, int t) {
    return Var(m, t, var::eN) * Var(m, t, var::PA) / Var(m, t, var::P);
}

double CapitalInflow(const Model& m, int t, double f, double i) {
    return f * Var(m, t - 1, var::NK) +
           ((i - Par(m, t, par::iA)) * Par(m, t, par::kdi) + Par(m, t, par::NKAut)) * (1 - f);
}

double BopSurplus(const Model& m, int t, double f, double i, double e, double y) {
    return CapitalInflow(m, t, f, i) + TradeBalance(m, t, e, y);
}

double ReserveInflow(const Model& m, int t, double i) {
    return ReserveInflowFactor(m, t) *
           BopSurplus(m, t, Par(m, t, par::fNK), i, PrevRealExchangeRate(m, t), ImportIncome(m, t));
}

// The number of money-market substeps is 2 / l[Y] rounded up, kept within 1..65535: a zero,
// negative or undefined l[Y] takes one step, a tiny one at most 65535.
int MoneySubsteps(const Model& m, int t) {
    // In IEEE arithmetic: +0 gives +inf and so the most steps; -0, negative and NaN give 1.
    const double n = std::ceil(2 / Par(m, t, par::lY));
    if (!(n >= 1)) return 1;
    if (n > 65535) return 65535;
    return static_cast<int>(n);
}

double ReserveInflowStep(const Model& m, int t, double i) {
    return ReserveInflow(m, t, i) / MoneySubsteps(m, t);
}

double RealRate(const Model& m, int t, double i) {
    return ((1 + i / 100) / (1 + Var(m, t, var::gP) / 100) - 1) * 100;
}
double ExpectedRealRate(const Model& m, int t, double i) {
    return ((1 + i / 100) / (1 + Var(m, t, var::gPErw) / 100) - 1) * 100;
}

double InterestRate(const Model& m, int t, double money) {
    const double n = MoneySubsteps(m, t);
    const double yErw = Var(m, t, var::YErw);
    const double l0 = MoneyDemand(m, t, 0, Var(m, t, var::Y), yErw);
    const double r0 = ExpectedRealRate(m, t, 0);
    const double i0 = Investment(m, t, r0, yErw);
    const double s0 = Var(m, t, var::YLVErw) + Var(m, t, var::YUVErw) - Consumption(m, t, r0, yErw);
    const double b = BudgetSurplusExp(m, t, yErw);
    const double fNK = Par(m, t, par::fNK), kdi = Par(m, t, par::kdi), li = Par(m, t, par::li);
    const double k0 = CapitalInflow(m, t, fNK, 0);
    const double a0 = TradeBalance(m, t, PrevRealExchangeRate(m, t), ImportIncome(m, t));
    const double z0 = a0 + k0;
    const double q = ReserveInflowFactor(m, t);
    const double sens =
        (Par(m, t, par::cr) + Par(m, t, par::br)) / (1 + Var(m, t, var::gPErw) / 100);
    double num, den;
    if (m.Sw(21) == 1) {
        num = i0 - s0 - b - k0 + (l0 - money) * n;
        den = sens + (1 - fNK) * kdi + li * n;
    } else {
        num = i0 + a0 - s0 - b - q * z0 + (l0 - money) * n;
        den = sens + (1 - fNK) * q * kdi + li * n;
    }
    const double iu = Par(m, t, par::iu);
    if (den == 0) return std::max(iu, Var(m, t - 1, var::i));
    const double i = std::max(iu, num / den);
    if (iu >= i) return i;
    if (Par(m, t, par::LAut) - li * i >= 0) return i;
    num = num - n * Par(m, t, par::LAut);
    den = den - n * li;
    if (den != 0) return num / den;
    return Var(m, t - 1, var::i);
}

double InterestRateStepped(const Model& m, int t) {
    double money = PlannedRealMoney(m, t, IsMonetaryPeriodStart(m, t));
    if (ReserveInflowFactor(m, t) == 0) return InterestRate(m, t, money);
    const int n = MoneySubsteps(m, t);
    double i = 0;
    for (int k = 0; k < n; ++k) {
        i = InterestRate(m, t, money);
        money = money + ReserveInflowStep(m, t, i);
    }
    return i;
}

int MoneyMarketRegime(const Model& m, int t, double i) {
    if (i == Par(m, t, par::iu)) return 0;
    const double li = Par(m, t, par::li);
    if (Par(m, t, par::LAut) - li * i >= 0 && li != 0) return 1;
    return 2;
}

double SpeculationLimitRate(const Model& m, int t) {
    const double li = Par(m, t, par::li);
    if (li == 0) return Par(m, t, par::iu);
    return std::max(Par(m, t, par::iu), Par(m, t, par::LAut) / li);
}

double LMRate(const Model& m, int t, double y) {
    const double li = Par(m, t, par::li);
    if (li == 0) return Par(m, t, par::iu);
    return std::max((Par(m, t, par::lY) * y + Par(m, t, par::LAut) - Var(m, t, var::M)) / li,
                    Par(m, t, par::iu));
}

double BalancingRate(const Model& m, int t, double y) {
    const double kdi = Par(m, t, par::kdi);
    if (kdi == 0) return 0;
    return (-TradeBalance(m, t, Var(m, t, var::e), y) - CapitalInflow(m, t, 0, 0)) / kdi;
}

namespace {

double BondIncome(const Model& m, int t, double i, bool withSpeculation) {
    const double n = MoneySubsteps(m, t);
    const double re = ExpectedRealRate(m, t, i);
    const double h = InvestPropensity(m, t) - SavingPropensity(m, t) -
                     (1 - Par(m, t, par::gT)) * AvgTaxRate(m, t);
    const double fNK = Par(m, t, par::fNK);
    double num, den;
    if (m.Sw(21) == 1) {
        num = (BudgetSurplusExp(m, t, 0) + SavingExp(m, t, re, 0) + CapitalInflow(m, t, fNK, i) -
               Investment(m, t, re, 0)) /
                  n +
              Var(m, t, var::M);
        den = h / n;
    } else {
        const double q = ReserveInflowFactor(m, t);
        const double e0 = PrevRealExchangeRate(m, t);
        num = (BudgetSurplusExp(m, t, 0) + SavingExp(m, t, re, 0) - Investment(m, t, re, 0) -
               TradeBalance(m, t, e0, 0)) /
                  n +
              PlannedRealMoney(m, t, IsMonetaryPeriodStart(m, t)) +
              q * BopSurplus(m, t, fNK, i, e0, 0);
        den = (h - Par(m, t, par::mY)) / n + q * Par(m, t, par::mY);
    }
    const double lAut = Par(m, t, par::LAut), li = Par(m, t, par::li);
    if (withSpeculation)
        num -= lAut - li * i;
    else if (li == 0)
        num -= lAut;
    den += Par(m, t, par::lY);
    return den != 0 ? num / den : 0;
}

} // namespace

double BondMarketIncome(const Model& m, int t, double i) {
    return BondIncome(m, t, i, true);
}
double BondMarketIncomeNoSpec(const Model& m, int t, double i) {
    return BondIncome(m, t, i, false);
}

} // namespace tv
