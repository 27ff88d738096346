#include "core/Period.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/PeriodSteps.h"
#include "core/RuleServer.h"
#include "core/StepInputs.h"
#include "core/Symbols.h"
#include "core/UserHost.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace tv {

double PeriodExpectation(const Model& m, int k, int t) {
    const Expectation& rec = m.Expect[k];
    const int a = rec.SourceVariable, e = rec.TargetVariable;
    if (rec.Method == 2) {
        double sum = 0;
        for (int j = 1; j <= rec.Lags; ++j)
            sum += m.GetVar(std::max(t - j, -m.ScratchDepth), a);
        return sum / rec.Lags;
    }
    // adaptive
    const double prev = m.GetVar(t - 1, e);
    return prev + (m.GetVar(t - 1, a) - prev) * rec.Weight / 100;
}

double WagePeriodExpectation(const Model& m, int k, int t) {
    const Expectation& rec = m.Expect[k];
    const int a = rec.SourceVariable, e = rec.TargetVariable;
    const int tzr = m.TZR();
    if (rec.Method == 2) {
        double sum = 0;
        for (int j = 1; j <= rec.Lags; ++j) {
            int c = t - (j - 1) * tzr;
            while (c - tzr < -m.ScratchDepth)
                c += tzr;
            for (int l = 1; l <= tzr; ++l)
                sum += m.GetVar(c - l, a);
        }
        return sum / rec.Lags / tzr;
    }
    double sum = 0;
    for (int l = 1; l <= tzr; ++l) {
        const double prev = m.GetVar(t - l, e);
        sum += prev + (m.GetVar(t - l, a) - prev) * rec.Weight / 100;
    }
    return sum / tzr;
}

int FormExpectation(Model& m, int k, int t) {
    Expectation& rec = m.Expect[k];
    const int code = rec.Method;
    if (code == 2 || code == 3) {
        const double value =
            rec.PerWagePeriod == 1 ? WagePeriodExpectation(m, k, t) : PeriodExpectation(m, k, t);
        m.SetVar(t, rec.TargetVariable, value);
    }
    if (!m.ScratchMode && rec.RuleBased == 1 && !rec.Antecedents.empty()) {
        double value = 0;
        if (m.Rules) {
            if ((t == 1 || t == m.Periods.LeftEdge) && m.Rules->Serves(k))
                m.Rules->StartPeriod(k, t);
            value = m.Rules->Forecast(k, t);
        }
        m.SetVar(t, rec.TargetVariable, value);
        return 0;
    }
    return code;
}

int ExpectationCode(const Model& m, int k) {
    const Expectation& rec = m.Expect[k];
    if (!m.ScratchMode && rec.RuleBased == 1 && !rec.Antecedents.empty()) return 0;
    return rec.Method;
}

namespace {

double Sign(double x) {
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

// Each step reads what earlier steps of the period stored, so the table's functions give the
// same doubles as one function with local variables would.
inline double Par(const Model& m, int t, int n) {
    return m.GetPar(t, n);
}
inline double Var(const Model& m, int t, int n) {
    return m.GetVar(t, n);
}

using namespace var;

void StepPA(Model& m, int t, const StepContext&) {
    if (m.Sw(11) == 0)
        m.SetVar(t, PA, Par(m, t, par::PAExog));
    else if (m.Sw(11) == 1)
        m.SetVar(t, PA, Var(m, t - m.TZR(), PA) * (Par(m, t, par::gPAExog) / 100 + 1));
}

void StepK(Model& m, int t, const StepContext&) {
    double k;
    if (t == 0 || m.Sw(8) == 1)
        k = Par(m, t, par::KExog);
    else if (m.Sw(8) == 0)
        k = Var(m, t - 1, K) + Var(m, t - 1, I) + Var(m, t - 1, IUnw);
    else
        k = Var(m, t, K);
    m.SetVar(t, K, k);
}

void StepR(Model& m, int t, const StepContext&) {
    m.SetVar(t, R, Par(m, t, par::dK) * Var(m, t, K));
}

void StepNErw(Model& m, int t, const StepContext& c) {
    if (FormExpectation(m, 3, t) == 1) m.SetVar(t, NErw, Var(m, c.run == 1 ? t - 1 : t, N));
}

// Production planned from expected demand and imports; code 4 plans imports together with
// production at the previous period's real exchange rate.
double PlannedOutput(const Model& m, int t, int code) {
    const double nErw = Var(m, t, NErw);
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
        return nErw - Var(m, t, ImErw);
    case 4:
        return (nErw - ImportDemand(m, t, PrevRealExchangeRate(m, t), 0)) /
               (1 + Par(m, t, par::mY));
    default:
        return Var(m, t, Y);
    }
}

void StepImErw(Model& m, int t, const StepContext& c) {
    const int code = FormExpectation(m, 4, t);
    if (code == 1)
        m.SetVar(t, ImErw, Var(m, c.run == 1 ? t - 1 : t, Im));
    else if (code == 4)
        m.SetVar(t, ImErw, Var(m, t, NErw) - PlannedOutput(m, t, 4));
}

void StepDErw(Model& m, int t, const StepContext&) {
    m.SetVar(t, DErw, PlannedOutput(m, t, ExpectationCode(m, 4)));
}

void StepY(Model& m, int t, const StepContext&) {
    double y = Var(m, t, DErw);
    if (m.Sw(7) == 1) y = std::min(y, PotentialOutput(m, t));
    m.SetVar(t, Y, y);
}

void StepA(Model& m, int t, const StepContext&) {
    m.SetVar(t, A, LabourRequirement(m, t, Var(m, t, Y)));
}

void StepGa(Model& m, int t, const StepContext&) {
    const int tzr = m.TZR();
    const double y = Var(m, t, Y), yLag = Var(m, t - tzr, Y);
    double g;
    if (yLag == 0)
        g = 0;
    else if (y == 0)
        g = -100 * Sign(yLag);
    else
        g = ((y / Var(m, t, A)) / (yLag / Var(m, t - tzr, A)) - 1) * 100;
    m.SetVar(t, ga, g);
}

void StepU(Model& m, int t, const StepContext&) {
    m.SetVar(t, u, (1 - Var(m, t, A) / Par(m, t, par::APot)) * 100);
}

void StepGPErw(Model& m, int t, const StepContext&) {
    const int tzr = m.TZR();
    switch (FormExpectation(m, 5, t)) {
    case 1:
        m.SetVar(t, gPErw, 0);
        break;
    case 4:
        m.SetVar(t, gPErw,
                 ((Var(m, t - 1, M) * Var(m, t - 1, P)) /
                      (Var(m, t - tzr - 1, M) * Var(m, t - tzr - 1, P)) -
                  1) *
                     100);
        break;
    case 5:
        m.SetVar(t, gPErw,
                 (PlannedMoneySupply(m, t, IsMonetaryPeriodStart(m, t)) /
                      (Var(m, t - tzr, M) * Var(m, t - tzr, P)) -
                  1) *
                     100);
        break;
    default:
        break;
    }
}

void StepGaErw(Model& m, int t, const StepContext&) {
    if (FormExpectation(m, 6, t) == 1) m.SetVar(t, gaErw, 0);
}

void StepUErw(Model& m, int t, const StepContext&) {
    if (FormExpectation(m, 7, t) == 1) m.SetVar(t, uErw, Var(m, t, u));
}

void StepWN(Model& m, int t, const StepContext&) {
    m.SetVar(t, wN, NominalWage(m, t, m.WageRoundFlag, Var(m, t, uErw)));
}

void StepGwN(Model& m, int t, const StepContext&) {
    m.SetVar(t, gwN, NominalWageGrowth(m, t));
}

void StepLSK(Model& m, int t, const StepContext&) {
    m.SetVar(t, LSK, UnitLabourCost(m, t, Var(m, t, wN), Var(m, t, Y)));
}

void StepYP(Model& m, int t, const StepContext&) {
    m.SetVar(t, YP, m.Sw(12) == 0 ? Var(m, t, Y) : PriceOrientedSupply(m, t, Var(m, t - 1, P)));
}

// The price level moves by s percent of the relative excess of production over
// price-oriented supply, and never below the floor.
void StepP(Model& m, int t, const StepContext&) {
    const int sw12 = m.Sw(12), sw6 = m.Sw(6);
    if (sw12 == 0) {
        m.SetVar(t, P, Par(m, t, par::PExog));
        return;
    }
    const double y = Var(m, t, Y), yp = Var(m, t, YP), wn = Var(m, t, wN);
    const double pPrev = Var(m, t - 1, P);
    double floor = 0;
    if (sw12 == 1 && sw6 == 0)
        floor = UnitLabourCost(m, t, wn, 0);
    else if (sw12 == 2)
        floor = std::max(Par(m, t, par::Pu), MarkupPrice(m, t, wn, y));
    const double s = m.Sw(13);
    double p;
    if (yp == 0 && y == 0)
        p = pPrev;
    else if (yp == 0)
        p = (sw12 == 2 || (sw12 == 1 && sw6 == 0)) ? floor : pPrev * (1 + Sign(y) * s / 100);
    else
        p = std::max(floor, pPrev * (1 + (y - yp) * (s / 100) / yp));
    m.SetVar(t, P, p);
}

void StepGP(Model& m, int t, const StepContext&) {
    m.SetVar(t, gP, (Var(m, t, P) / Var(m, t - m.TZR(), P) - 1) * 100);
}

void StepW(Model& m, int t, const StepContext&) {
    m.SetVar(t, w, Var(m, t, wN) / Var(m, t, P));
}

void StepLQ(Model& m, int t, const StepContext&) {
    const double y = Var(m, t, Y);
    double lq;
    if ((m.Sw(15) == 0 && m.Sw(14) == 0 && m.Sw(12) == 0) || y == 0)
        lq = Par(m, t, par::LQExog);
    else
        lq = std::min(100.0, Var(m, t, wN) * Var(m, t, A) / Var(m, t, P) / y * 100);
    m.SetVar(t, LQ, lq);
}

void StepYL(Model& m, int t, const StepContext&) {
    m.SetVar(t, YL, Var(m, t, LQ) / 100 * Var(m, t, Y));
}

void StepYU(Model& m, int t, const StepContext&) {
    m.SetVar(t, YU, Var(m, t, Y) - Var(m, t, YL));
}

void StepYLErw(Model& m, int t, const StepContext&) {
    if (FormExpectation(m, 1, t) == 1) m.SetVar(t, YLErw, Var(m, t, YL));
}

void StepYUErw(Model& m, int t, const StepContext&) {
    if (FormExpectation(m, 2, t) == 1) m.SetVar(t, YUErw, Var(m, t, YU));
}

void StepYErw(Model& m, int t, const StepContext&) {
    m.SetVar(t, YErw, Var(m, t, YLErw) + Var(m, t, YUErw));
}

void StepYLVErw(Model& m, int t, const StepContext&) {
    m.SetVar(t, YLVErw, DispWageIncomeExp(m, t, Var(m, t, YErw)));
}

void StepYUVErw(Model& m, int t, const StepContext&) {
    m.SetVar(t, YUVErw, DispProfitIncomeExp(m, t, Var(m, t, YErw)));
}

void StepYVErw(Model& m, int t, const StepContext&) {
    m.SetVar(t, YVErw, Var(m, t, YLVErw) + Var(m, t, YUVErw));
}

// The interest rate and the money stock it leaves: on the complete bond market with reserve
// flows, the rate is the mean over the money substeps.
void StepInterestAndMoney(Model& m, int t, const StepContext&) {
    const double y = Var(m, t, Y), yErw = Var(m, t, YErw);
    double money = PlannedRealMoney(m, t, m.MonetaryRoundFlag);
    double i = Var(m, t, var::i);
    const double li = Par(m, t, par::li), iu = Par(m, t, par::iu);
    switch (m.Sw(17)) {
    case 0:
        i = Par(m, t, par::iExog);
        money += ReserveInflow(m, t, i);
        break;
    case 1:
        if (ReserveInflowFactor(m, t) == 0) {
            i = InterestRate(m, t, money);
        } else {
            const int n = MoneySubsteps(m, t);
            double sum = 0;
            for (int step = 0; step < n; ++step) {
                const double ik = InterestRate(m, t, money);
                money += ReserveInflowStep(m, t, ik);
                sum += ik;
            }
            i = sum / n;
        }
        break;
    case 2: {
        const double q = ReserveInflowFactor(m, t);
        const double fNK = Par(m, t, par::fNK);
        double num = MoneyDemand(m, t, 0, y, yErw) - money -
                     q * (TradeBalance(m, t, PrevRealExchangeRate(m, t), ImportIncome(m, t)) +
                          CapitalInflow(m, t, fNK, 0));
        double den = li + (1 - fNK) * q * Par(m, t, par::kdi);
        if (den == 0) {
            i = std::max(iu, Var(m, t - 1, var::i));
        } else {
            i = std::max(iu, num / den);
            if (Par(m, t, par::LAut) - li * i < 0) {
                num = num - Par(m, t, par::LAut);
                den = den - li;
                i = den != 0 ? std::max(iu, num / den) : std::max(iu, Var(m, t - 1, var::i));
            }
        }
        money += ReserveInflow(m, t, i);
        break;
    }
    default:
        break;
    }
    m.SetVar(t, var::i, i);
    m.SetVar(t, M, std::max(money, 1E-9));
}

void StepRealRate(Model& m, int t, const StepContext&) {
    m.SetVar(t, r, RealRate(m, t, Var(m, t, var::i)));
}

void StepRErw(Model& m, int t, const StepContext&) {
    m.SetVar(t, rErw, ExpectedRealRate(m, t, Var(m, t, var::i)));
}

void StepMN(Model& m, int t, const StepContext&) {
    m.SetVar(t, MN, Var(m, t, M) * Var(m, t, P));
}

void StepGMN(Model& m, int t, const StepContext&) {
    const double mn = Var(m, t, MN), mnLag = Var(m, t - m.MZZR(), MN);
    m.SetVar(t, gMN, mnLag == 0 ? 0 : (mn / mnLag - 1) * 100);
}

void StepLT(Model& m, int t, const StepContext&) {
    m.SetVar(t, LT, Par(m, t, par::lY) * (Var(m, t, YErw) + Var(m, t, Y)) / 2);
}

void StepLS(Model& m, int t, const StepContext&) {
    const double i = Var(m, t, var::i);
    m.SetVar(t, LS,
             i == Par(m, t, par::iu)
                 ? Var(m, t, M) - Var(m, t, LT)
                 : std::max(0.0, Par(m, t, par::LAut) - Par(m, t, par::li) * i));
}

void StepL(Model& m, int t, const StepContext&) {
    m.SetVar(t, L, Var(m, t, LT) + Var(m, t, LS));
}

// Flexible rates with trade that does not react to the exchange rate cannot balance the
// foreign exchange market: the solution stops there.
bool RateCannotBalance(const Model& m, int t) {
    return t > 0 && (Par(m, t, par::xe) == 0 || Par(m, t, par::me) == 0);
}

void StepEN(Model& m, int t, const StepContext& c) {
    if (m.Sw(21) == 1) {
        if (RateCannotBalance(m, t)) {
            c.host.PlaySound("SoNicht.wav");
            c.host.ShowMessage("So nicht!##Not possible!",
                               FillIn("Exporte und/oder Importe sind in t = %1 nicht "
                                      "wechselkursabhängig. Lösung wird abgebrochen.##Exports "
                                      "and/or imports do not depend on the exchange rate in t = "
                                      "%1. The solution is stopped.",
                                      {std::to_string(t)}));
            m.SolveAborted = 1;
            return;
        }
        const double xe = Par(m, t, par::xe), me = Par(m, t, par::me);
        const double h =
            (CapitalInflow(m, t, Par(m, t, par::fNK), Var(m, t, var::i)) + Par(m, t, par::ExAut) -
             Par(m, t, par::ImAut) - Par(m, t, par::mY) * ImportIncome(m, t)) /
            (2 * xe);
        const double eStar = std::sqrt(h * h + me / xe) - h;
        m.SetVar(t, eN, Var(m, t, P) * eStar / Var(m, t, PA));
    } else if (m.Sw(21) == 0) {
        m.SetVar(t, eN, Par(m, t, par::eNExog));
    }
}

void StepZ(Model& m, int t, const StepContext&) {
    if (m.Sw(21) == 1) {
        if (!RateCannotBalance(m, t)) m.SetVar(t, Z, 0);
    } else if (m.Sw(21) == 0) {
        m.SetVar(t, Z,
                 BopSurplus(m, t, Par(m, t, par::fNK), Var(m, t, var::i), RealExchangeRate(m, t),
                            ImportIncome(m, t)));
    }
}

void StepE(Model& m, int t, const StepContext&) {
    m.SetVar(t, e, RealExchangeRate(m, t));
}

void StepNK(Model& m, int t, const StepContext&) {
    m.SetVar(t, NK, CapitalInflow(m, t, Par(m, t, par::fNK), Var(m, t, var::i)));
}

void StepC(Model& m, int t, const StepContext&) {
    m.SetVar(t, C, Consumption(m, t, Var(m, t, rErw), Var(m, t, YErw)));
}

void StepI(Model& m, int t, const StepContext&) {
    m.SetVar(t, I, Investment(m, t, Var(m, t, rErw), Var(m, t, YErw)));
}

void StepG(Model& m, int t, const StepContext&) {
    m.SetVar(t, G, GovernmentPurchases(m, t, Var(m, t, YErw)));
}

void StepEx(Model& m, int t, const StepContext&) {
    m.SetVar(t, Ex, ExportDemand(m, t, Var(m, t, e)));
}

void StepN(Model& m, int t, const StepContext&) {
    m.SetVar(t, N, Var(m, t, C) + Var(m, t, I) + Var(m, t, G) + Var(m, t, Ex));
}

void StepIm(Model& m, int t, const StepContext&) {
    m.SetVar(t, Im, ImportDemand(m, t, Var(m, t, e), ImportIncome(m, t)));
}

void StepD(Model& m, int t, const StepContext&) {
    m.SetVar(t, D, Var(m, t, N) - Var(m, t, Im));
}

void StepX(Model& m, int t, const StepContext&) {
    m.SetVar(t, X, Var(m, t, Y) + Var(m, t, Im));
}

void StepS(Model& m, int t, const StepContext&) {
    m.SetVar(t, S, SavingExp(m, t, Var(m, t, rErw), Var(m, t, YErw)));
}

void StepBS(Model& m, int t, const StepContext&) {
    m.SetVar(t, BS, BudgetSurplusExp(m, t, Var(m, t, YErw)));
}

void StepAB(Model& m, int t, const StepContext&) {
    m.SetVar(t, AB, Var(m, t, Ex) - Var(m, t, Im));
}

void StepYLV(Model& m, int t, const StepContext&) {
    m.SetVar(t, YLV, DispWageIncome(m, t, Var(m, t, Y)));
}

void StepYUV(Model& m, int t, const StepContext&) {
    m.SetVar(t, YUV, DispProfitIncome(m, t, Var(m, t, Y)));
}

void StepYV(Model& m, int t, const StepContext&) {
    m.SetVar(t, YV, Var(m, t, YLV) + Var(m, t, YUV));
}

void StepT(Model& m, int t, const StepContext&) {
    m.SetVar(t, T, Taxes(m, t, Var(m, t, Y)));
}

void StepTr(Model& m, int t, const StepContext&) {
    m.SetVar(t, Tr, TransfersTotal(m, t));
}

void StepSUnpl(Model& m, int t, const StepContext&) {
    m.SetVar(t, SUnpl, Var(m, t, YV) - Var(m, t, YVErw));
}

void StepSUnw(Model& m, int t, const StepContext&) {
    m.SetVar(t, SUnw, Consumption(m, t, Var(m, t, r), Var(m, t, Y)) - Var(m, t, C));
}

void StepIUnpl(Model& m, int t, const StepContext&) {
    m.SetVar(t, IUnpl, Var(m, t, Y) - Var(m, t, D));
}

void StepIUnw(Model& m, int t, const StepContext&) {
    const double y = Var(m, t, Y);
    double iUnw = y - Var(m, t, D) + Var(m, t, I) - Investment(m, t, Var(m, t, r), y);
    if (m.Sw(3) == 1)
        iUnw += Par(m, t, par::bdY) * ((Var(m, t - 1, YErw) - Var(m, t - 2, YErw)) -
                                       (Var(m, t - 1, Y) - Var(m, t - 2, Y)));
    m.SetVar(t, IUnw, iUnw);
}

namespace in = step_inputs;

constexpr PeriodStep kSteps[] = {
    {"PA", {PA, 0}, in::PA, StepPA},
    {"K", {K, 0}, in::K, StepK},
    {"R", {R, 0}, in::R, StepR},
    {"NErw", {NErw, 0}, in::NErw, StepNErw},
    {"ImErw", {ImErw, 0}, in::ImErw, StepImErw},
    {"DErw", {DErw, 0}, in::DErw, StepDErw},
    {"Y", {Y, 0}, in::Y, StepY},
    {"A", {A, 0}, in::A, StepA},
    {"ga", {ga, 0}, in::ga, StepGa},
    {"u", {u, 0}, in::u, StepU},
    {"gPErw", {gPErw, 0}, in::gPErw, StepGPErw},
    {"gaErw", {gaErw, 0}, in::gaErw, StepGaErw},
    {"uErw", {uErw, 0}, in::uErw, StepUErw},
    {"wN", {wN, 0}, in::wN, StepWN},
    {"gwN", {gwN, 0}, in::gwN, StepGwN},
    {"LSK", {LSK, 0}, in::LSK, StepLSK},
    {"YP", {YP, 0}, in::YP, StepYP},
    {"P", {P, 0}, in::P, StepP},
    {"gP", {gP, 0}, in::gP, StepGP},
    {"w", {w, 0}, in::w, StepW},
    {"LQ", {LQ, 0}, in::LQ, StepLQ},
    {"YL", {YL, 0}, in::YL, StepYL},
    {"YU", {YU, 0}, in::YU, StepYU},
    {"YLErw", {YLErw, 0}, in::YLErw, StepYLErw},
    {"YUErw", {YUErw, 0}, in::YUErw, StepYUErw},
    {"YErw", {YErw, 0}, in::YErw, StepYErw},
    {"YLVErw", {YLVErw, 0}, in::YLVErw, StepYLVErw},
    {"YUVErw", {YUVErw, 0}, in::YUVErw, StepYUVErw},
    {"YVErw", {YVErw, 0}, in::YVErw, StepYVErw},
    {"i, M", {var::i, M}, in::InterestAndMoney, StepInterestAndMoney},
    {"r", {r, 0}, in::r, StepRealRate},
    {"rErw", {rErw, 0}, in::rErw, StepRErw},
    {"MN", {MN, 0}, in::MN, StepMN},
    {"gMN", {gMN, 0}, in::gMN, StepGMN},
    {"LT", {LT, 0}, in::LT, StepLT},
    {"LS", {LS, 0}, in::LS, StepLS},
    {"L", {L, 0}, in::L, StepL},
    {"eN", {eN, 0}, in::eN, StepEN},
    {"Z", {Z, 0}, in::Z, StepZ},
    {"e", {e, 0}, in::e, StepE},
    {"NK", {NK, 0}, in::NK, StepNK},
    {"C", {C, 0}, in::C, StepC},
    {"I", {I, 0}, in::I, StepI},
    {"G", {G, 0}, in::G, StepG},
    {"Ex", {Ex, 0}, in::Ex, StepEx},
    {"N", {N, 0}, in::N, StepN},
    {"Im", {Im, 0}, in::Im, StepIm},
    {"D", {D, 0}, in::D, StepD},
    {"X", {X, 0}, in::X, StepX},
    {"S", {S, 0}, in::S, StepS},
    {"BS", {BS, 0}, in::BS, StepBS},
    {"AB", {AB, 0}, in::AB, StepAB},
    {"YLV", {YLV, 0}, in::YLV, StepYLV},
    {"YUV", {YUV, 0}, in::YUV, StepYUV},
    {"YV", {YV, 0}, in::YV, StepYV},
    {"T", {T, 0}, in::T, StepT},
    {"Tr", {Tr, 0}, in::Tr, StepTr},
    {"SUnpl", {SUnpl, 0}, in::SUnpl, StepSUnpl},
    {"SUnw", {SUnw, 0}, in::SUnw, StepSUnw},
    {"IUnpl", {IUnpl, 0}, in::IUnpl, StepIUnpl},
    {"IUnw", {IUnw, 0}, in::IUnw, StepIUnw},
};

// Runs the table; unrolled over the constant table, so that the compiler sees each step's
// function and can inline it as if the steps were written one after the other.
template <size_t... K>
inline void RunSteps(Model& m, int t, const StepContext& c, std::index_sequence<K...>) {
    (kSteps[K].compute(m, t, c), ...);
}

void ComputeRun(Model& m, int t, int run, UserHost& host) {
    const StepContext c{run, host};
    RunSteps(m, t, c, std::make_index_sequence<std::size(kSteps)>{});
}

} // namespace

std::span<const PeriodStep> PeriodSteps() {
    return kSteps;
}

const PeriodStep* StepFor(int n) {
    static const auto index = [] {
        std::array<const PeriodStep*, VarCount + 1> a{};
        for (const PeriodStep& s : kSteps)
            for (int o : s.outputs)
                if (o) a[o] = &s;
        return a;
    }();
    return n >= 1 && n <= VarCount ? index[n] : nullptr;
}

bool ComputePeriod(Model& m, int t, UserHost& host) {
    int run = m.Expect[3].Method;
    do {
        ComputeRun(m, t, run, host);
        ++run;
    } while (run <= 2);
    if (!m.ScratchMode && m.Rules && m.Rules->Consent) {
        for (int k = 0; k < ExpectationCount; ++k) {
            const Expectation& e = m.Expect[k];
            if (e.RuleBased == 1 && !e.Antecedents.empty()) m.Rules->SendSolvedPeriod(m, k, t);
        }
    }
    return true;
}

} // namespace tv
