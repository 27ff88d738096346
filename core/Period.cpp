#include "core/Period.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/RuleServer.h"
#include "core/Symbols.h"
#include "core/UserHost.h"

#include <algorithm>
#include <cmath>
#include <string>

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

namespace {

double Sign(double x) {
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

void ComputeRun(Model& m, int t, int run, UserHost& host) {
    using namespace var;
    const int tzr = m.TZR(), mzzr = m.MZZR();
    auto par = [&m, t](int n) { return m.GetPar(t, n); };
    auto get = [&m](int p, int n) { return m.GetVar(p, n); };
    auto set = [&m, t](int n, double x) { m.SetVar(t, n, x); };

    // 1. foreign price level
    if (m.Sw(11) == 0)
        set(PA, par(par::PAExog));
    else if (m.Sw(11) == 1)
        set(PA, get(t - tzr, PA) * (par(par::gPAExog) / 100 + 1));
    // 2. capital stock
    double k;
    if (t == 0 || m.Sw(8) == 1)
        k = par(par::KExog);
    else if (m.Sw(8) == 0)
        k = get(t - 1, K) + get(t - 1, I) + get(t - 1, IUnw);
    else
        k = get(t, K);
    set(K, k);
    // 3. depreciation
    set(R, par(par::dK) * k);
    // 4. expected demand
    if (FormExpectation(m, 3, t) == 1) set(NErw, run == 1 ? get(t - 1, N) : get(t, N));
    const double nErw = get(t, NErw);
    // 5. real exchange rate of the previous period's prices
    const double e0 = PrevRealExchangeRate(m, t);
    // 6. expected imports and production
    double y = get(t, Y);
    switch (FormExpectation(m, 4, t)) {
    case 1:
        set(ImErw, run == 1 ? get(t - 1, Im) : get(t, Im));
        y = nErw - get(t, ImErw);
        break;
    case 0:
    case 2:
    case 3:
        y = nErw - get(t, ImErw);
        break;
    case 4:
        y = (nErw - ImportDemand(m, t, e0, 0)) / (1 + par(par::mY));
        set(ImErw, nErw - y);
        break;
    default:
        break;
    }
    // 7., 8. planned net demand, capacity limit
    set(DErw, y);
    if (m.Sw(7) == 1) y = std::min(y, PotentialOutput(m, t));
    set(Y, y);
    // 9. employment
    const double a = LabourRequirement(m, t, y);
    set(A, a);
    // 10. productivity growth
    const double yLag = get(t - tzr, Y);
    double ga;
    if (yLag == 0)
        ga = 0;
    else if (y == 0)
        ga = -100 * Sign(yLag);
    else
        ga = ((y / a) / (yLag / get(t - tzr, A)) - 1) * 100;
    set(var::ga, ga);
    // 11. unemployment
    const double u = (1 - a / par(par::APot)) * 100;
    set(var::u, u);
    // 12. expected inflation
    switch (FormExpectation(m, 5, t)) {
    case 1:
        set(gPErw, 0);
        break;
    case 4:
        set(gPErw,
            ((get(t - 1, M) * get(t - 1, P)) / (get(t - tzr - 1, M) * get(t - tzr - 1, P)) - 1) *
                100);
        break;
    case 5:
        set(gPErw, (PlannedMoneySupply(m, t, IsMonetaryPeriodStart(m, t)) /
                        (get(t - tzr, M) * get(t - tzr, P)) -
                    1) *
                       100);
        break;
    default:
        break;
    }
    // 13., 14. expected productivity growth and unemployment
    if (FormExpectation(m, 6, t) == 1) set(gaErw, 0);
    if (FormExpectation(m, 7, t) == 1) set(uErw, u);
    // 15. wages
    const double wn = NominalWage(m, t, m.WageRoundFlag, get(t, uErw));
    set(wN, wn);
    set(gwN, NominalWageGrowth(m, t));
    set(LSK, UnitLabourCost(m, t, wn, y));
    // 16. price level
    double p;
    const int sw12 = m.Sw(12), sw6 = m.Sw(6);
    const double pPrev = get(t - 1, P);
    if (sw12 == 0) {
        p = par(par::PExog);
        set(YP, y);
    } else {
        const double yp = PriceOrientedSupply(m, t, pPrev);
        set(YP, yp);
        double floor = 0;
        if (sw12 == 1 && sw6 == 0)
            floor = UnitLabourCost(m, t, wn, 0);
        else if (sw12 == 2)
            floor = std::max(par(par::Pu), MarkupPrice(m, t, wn, y));
        const double s = m.Sw(13);
        if (yp == 0 && y == 0)
            p = pPrev;
        else if (yp == 0)
            p = (sw12 == 2 || (sw12 == 1 && sw6 == 0)) ? floor : pPrev * (1 + Sign(y) * s / 100);
        else
            p = std::max(floor, pPrev * (1 + (y - yp) * (s / 100) / yp));
    }
    set(P, p);
    // 17. inflation, real wage
    set(gP, (p / get(t - tzr, P) - 1) * 100);
    set(w, wn / p);
    // 18., 19. wage share and functional incomes
    double lq;
    if ((m.Sw(15) == 0 && m.Sw(14) == 0 && sw12 == 0) || y == 0)
        lq = par(par::LQExog);
    else
        lq = std::min(100.0, wn * a / p / y * 100);
    set(LQ, lq);
    const double yl = lq / 100 * y;
    set(YL, yl);
    set(YU, y - yl);
    // 20. expected incomes
    if (FormExpectation(m, 1, t) == 1) set(YLErw, yl);
    if (FormExpectation(m, 2, t) == 1) set(YUErw, y - yl);
    const double yErw = get(t, YLErw) + get(t, YUErw);
    set(YErw, yErw);
    // 21. expected disposable incomes
    const double ylvErw = DispWageIncomeExp(m, t, yErw);
    const double yuvErw = DispProfitIncomeExp(m, t, yErw);
    set(YLVErw, ylvErw);
    set(YUVErw, yuvErw);
    set(YVErw, ylvErw + yuvErw);
    // 22. money and interest
    double money = PlannedRealMoney(m, t, m.MonetaryRoundFlag);
    double i = get(t, var::i);
    const double li = par(par::li), iu = par(par::iu);
    switch (m.Sw(17)) {
    case 0:
        i = par(par::iExog);
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
        const double fNK = par(par::fNK);
        double num = MoneyDemand(m, t, 0, y, yErw) - money -
                     q * (TradeBalance(m, t, PrevRealExchangeRate(m, t), ImportIncome(m, t)) +
                          CapitalInflow(m, t, fNK, 0));
        double den = li + (1 - fNK) * q * par(par::kdi);
        if (den == 0) {
            i = std::max(iu, get(t - 1, var::i));
        } else {
            i = std::max(iu, num / den);
            if (par(par::LAut) - li * i < 0) {
                num = num - par(par::LAut);
                den = den - li;
                i = den != 0 ? std::max(iu, num / den) : std::max(iu, get(t - 1, var::i));
            }
        }
        money += ReserveInflow(m, t, i);
        break;
    }
    default:
        break;
    }
    // 23. interest rates
    set(var::i, i);
    set(r, RealRate(m, t, i));
    set(rErw, ExpectedRealRate(m, t, i));
    // 24. money stock
    money = std::max(money, 1E-9);
    set(M, money);
    const double mn = money * p;
    set(MN, mn);
    const double mnLag = get(t - mzzr, MN);
    set(gMN, mnLag == 0 ? 0 : (mn / mnLag - 1) * 100);
    // 25. money demand
    const double lt = par(par::lY) * (yErw + y) / 2;
    const double ls = i == iu ? money - lt : std::max(0.0, par(par::LAut) - li * i);
    set(LT, lt);
    set(LS, ls);
    set(L, lt + ls);
    // 26. exchange rate and balance of payments
    const double fNK = par(par::fNK);
    if (m.Sw(21) == 1) {
        const double xe = par(par::xe), me = par(par::me);
        if (t > 0 && (xe == 0 || me == 0)) {
            host.PlaySound("SoNicht.wav");
            host.ShowMessage("So nicht!##Not possible!",
                             FillIn("Exporte und/oder Importe sind in t = %1 nicht "
                                    "wechselkursabhängig. Lösung wird abgebrochen.##Exports "
                                    "and/or imports do not depend on the exchange rate in t = "
                                    "%1. The solution is stopped.",
                                    {std::to_string(t)}));
            m.SolveAborted = 1;
        } else {
            const double h = (CapitalInflow(m, t, fNK, i) + par(par::ExAut) - par(par::ImAut) -
                              par(par::mY) * ImportIncome(m, t)) /
                             (2 * xe);
            const double eStar = std::sqrt(h * h + me / xe) - h;
            set(eN, p * eStar / get(t, PA));
            set(Z, 0);
        }
    } else if (m.Sw(21) == 0) {
        set(eN, par(par::eNExog));
        set(Z, BopSurplus(m, t, fNK, i, RealExchangeRate(m, t), ImportIncome(m, t)));
    }
    // 27. real exchange rate, capital flows
    const double e = RealExchangeRate(m, t);
    set(var::e, e);
    set(NK, CapitalInflow(m, t, fNK, i));
    // 28. goods demand
    const double rE = get(t, rErw), rr = get(t, r);
    const double c = Consumption(m, t, rE, yErw);
    const double inv = Investment(m, t, rE, yErw);
    const double g = GovernmentPurchases(m, t, yErw);
    const double ex = ExportDemand(m, t, e);
    const double n = c + inv + g + ex;
    const double im = ImportDemand(m, t, e, ImportIncome(m, t));
    const double d = n - im;
    set(C, c);
    set(I, inv);
    set(G, g);
    set(Ex, ex);
    set(N, n);
    set(Im, im);
    set(D, d);
    set(X, y + im);
    // 29. saving, budget, trade, disposable incomes
    set(S, SavingExp(m, t, rE, yErw));
    set(BS, BudgetSurplusExp(m, t, yErw));
    set(AB, ex - im);
    const double ylv = DispWageIncome(m, t, y), yuv = DispProfitIncome(m, t, y);
    set(YLV, ylv);
    set(YUV, yuv);
    const double yv = ylv + yuv;
    set(YV, yv);
    set(T, Taxes(m, t, y));
    set(Tr, TransfersTotal(m, t));
    // 30. disequilibrium measures
    set(SUnpl, yv - get(t, YVErw));
    set(SUnw, Consumption(m, t, rr, y) - c);
    set(IUnpl, y - d);
    double iUnw = y - d + inv - Investment(m, t, rr, y);
    if (m.Sw(3) == 1)
        iUnw += par(par::bdY) *
                ((get(t - 1, YErw) - get(t - 2, YErw)) - (get(t - 1, Y) - get(t - 2, Y)));
    set(IUnw, iUnw);
}

} // namespace

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
