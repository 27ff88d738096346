#include "views/CurveDerivations.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "views/IncomeDiagrams.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

double X(const Model& m, int t, int n) {
    return m.GetVar(t, n);
}

double P(const Model& m, int t, int n) {
    return m.GetPar(t, n);
}

std::string Name(const char* letter, int t) {
    return std::string(letter) + "(" + std::to_string(t) + ")";
}

// Demand at real rate r that does not depend on income.
double Autonomous(const Model& m, int t, double r) {
    return NetDemandAt(m, t, r, 0);
}

double TakeMax(double a, double v) {
    return std::isfinite(v) ? std::max(a, v) : a;
}

double TakeMin(double a, double v) {
    return std::isfinite(v) ? std::min(a, v) : a;
}

// The result quadrant: where the derived curve and the constructed points are.
int ResultQuadrant(DerivationKind kind) {
    return kind == DerivationKind::IS ? 3 : 4;
}

// The left edge first (when it differs and is asked for), then the current period.
std::vector<std::pair<int, bool>> PeriodsDrawn(const Model& m) {
    const PeriodState& ps = m.Periods;
    std::vector<std::pair<int, bool>> out;
    if (ps.LeftEdge != ps.CurrentPeriod) out.push_back({ps.LeftEdge, true});
    out.push_back({ps.CurrentPeriod, false});
    return out;
}

Curve Line(const std::string& name, bool reference, std::vector<CurvePoint> points) {
    Curve c{name, reference ? CurveStyle::Reference : CurveStyle::Current, std::move(points), {}};
    // The reference names sit at the start, the current ones at the end: never on top of
    // each other when both lines coincide.
    const int last = static_cast<int>(c.Points.size()) - 2;
    c.Labels = {reference ? CurveLabel{0, LabelAt::Start} : CurveLabel{last, LabelAt::End}};
    return c;
}

Curve Construction(int k, std::vector<CurvePoint> points, bool labelled) {
    Curve c{"P" + std::to_string(k), CurveStyle::Path, std::move(points), {}};
    // Labelled at the constructed point, which every result polyline reaches at its
    // first segment's end.
    if (labelled) c.Labels = {{0, LabelAt::End}};
    return c;
}

} // namespace

int QuadrantCount(DerivationKind kind) {
    return kind == DerivationKind::IS ? 3 : 4;
}

QuadrantPlace PlaceOf(DerivationKind kind, int quadrant) {
    switch (kind) {
    case DerivationKind::LM: {
        static constexpr QuadrantPlace lm[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        return lm[std::clamp(quadrant, 1, 4) - 1];
    }
    case DerivationKind::Z: {
        static constexpr QuadrantPlace z[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        return z[std::clamp(quadrant, 1, 4) - 1];
    }
    case DerivationKind::IS:
    default: {
        static constexpr QuadrantPlace is[4] = {{0, 1}, {1, 0}, {1, 1}, {0, 0}};
        return is[std::clamp(quadrant, 1, 4) - 1];
    }
    }
}

int QuadrantAt(DerivationKind kind, int column, int row) {
    for (int k = 1; k <= QuadrantCount(kind); ++k) {
        const QuadrantPlace p = PlaceOf(kind, k);
        if (p.Column == column && p.Row == row) return k;
    }
    return 0;
}

std::vector<std::string> QuadrantNames(DerivationKind kind) {
    switch (kind) {
    case DerivationKind::LM:
        return {"nichts##none", "Transaktionskasse##Transactions Balances",
                "Gleichgewichts-Bed.##Equilibrium Cond.", "Spekulationskasse##Speculative Balances",
                "LM-Kurve##LM Curve"};
    case DerivationKind::Z:
        return {"nichts##none", "Kapitalverkehr##Capital Flows",
                "Gleichgewichts-Bed.##Equilibrium Cond.", "Außenhandel##Foreign Trade",
                "Z-Kurve##Z Curve"};
    case DerivationKind::IS:
    default:
        return {"nichts##none", "auton. Nachfr.##auton. Demand",
                "Eink.-Ausg.-Mod.##Inc.-Exp. Model", "IS-Kurve##IS Curve"};
    }
}

QuadrantTitles TitlesOf(DerivationKind kind, int quadrant, bool enlarged, int language) {
    auto tr = [language](const char* s) { return Translate(s, language); };
    const std::string income = tr("Einkommen##Income");
    const std::string nominal = tr("Nominalzins##Nominal Interest Rate") + " (i)#%";
    switch (kind) {
    case DerivationKind::LM: {
        const std::string transactions = tr("Transaktionskasse##Transactions Balances") + "#";
        const std::string speculative = tr("Spekulationskasse##Speculative Balances") + "#";
        switch (quadrant) {
        case 1:
            return {enlarged ? income + "#" : "", transactions};
        case 2:
            return {speculative, transactions};
        case 3:
            return {speculative, nominal};
        default:
            return {income + "#", nominal};
        }
    }
    case DerivationKind::Z: {
        const std::string capital = tr("Nettokapitalimporte##Capital Account Surplus") + " (NK)#";
        const std::string trade = tr("Außenbeitrag##Trade Balance") + " (AB)#";
        switch (quadrant) {
        case 1:
            return {enlarged ? capital : "", nominal};
        case 2:
            return {capital, trade};
        case 3:
            return {income + " (Y)#", trade};
        default:
            return {enlarged ? income + " (Y)#" : "", nominal};
        }
    }
    case DerivationKind::IS:
    default: {
        const std::string real = tr("Realzins##Real Interest Rate") + "#%";
        switch (quadrant) {
        case 1:
            return {tr("einkommensunabh.##not income-induced") + " " +
                        tr("Nettonachfrage##Net Demand") + "#",
                    real};
        case 2:
            return {enlarged ? income + "#" : "", tr("Nettonachfrage##Net Demand") + " (D)#"};
        default:
            return {income + " (Y)#", real};
        }
    }
    }
}

// ------------------------------------------------------------------ ranges

std::array<AxisRange, 4> DerivationRanges(const Model& m, DerivationKind kind) {
    const int left = m.Periods.LeftEdge, right = m.Periods.RightEdge;
    std::array<AxisRange, 4> r{};
    switch (kind) {
    case DerivationKind::LM: {
        double iMax = 1, mMax = 1, yMax = 1;
        for (int t = left; t <= right; ++t) {
            const double li = P(m, t, par::li);
            if (li != 0) iMax = TakeMax(iMax, P(m, t, par::LAut) / li);
            iMax = TakeMax(iMax, P(m, t, par::iu));
            mMax = TakeMax(mMax, X(m, t, var::M));
            yMax = TakeMax(yMax, X(m, t, var::M) / P(m, t, par::lY));
        }
        iMax = iMax == 1 ? 15 : 1.1 * iMax;
        if (yMax != 1) yMax *= 1.1;
        r[0] = {0, yMax, 0, mMax};
        r[1] = {0, mMax, 0, mMax};
        r[2] = {0, mMax, 0, iMax};
        r[3] = {0, yMax, 0, iMax};
        break;
    }
    case DerivationKind::IS: {
        double rMin = 0, rMax = 1;
        for (int t = left; t <= right; ++t) {
            const double s = P(m, t, par::br) + P(m, t, par::cr);
            if (s != 0) rMax = TakeMax(rMax, Autonomous(m, t, 0) / s);
            rMax = TakeMax(rMax, X(m, t, var::rErw));
            rMin = TakeMin(rMin, X(m, t, var::rErw));
        }
        // Demand falls with the rate: its largest value at the lowest rate; it is shown down
        // to zero (and below only where the realised rate takes it).
        double aMin = 0, aMax = 1, dMin = 0, yMax = 1;
        for (int t = left; t <= right; ++t) {
            for (double rate : {rMin, rMax}) {
                aMax = TakeMax(aMax, Autonomous(m, t, rate));
                if (!InfiniteMultiplier(m, t)) yMax = TakeMax(yMax, ISIncome(m, t, rate));
            }
            aMin = TakeMin(aMin, Autonomous(m, t, rMin));
            aMin = TakeMin(aMin, AutonomousNetDemand(m, t));
            dMin = TakeMin(dMin, AutonomousNetDemand(m, t));
            yMax = TakeMax(yMax, X(m, t, var::Y));
        }
        yMax = TakeMax(yMax, aMax);
        rMin *= 1.1, rMax *= 1.1, aMin *= 1.1, aMax *= 1.1, dMin *= 1.1, yMax *= 1.1;
        r[0] = {aMin, aMax, rMin, rMax};
        r[1] = {0, yMax, dMin, yMax};
        r[2] = {0, yMax, rMin, rMax};
        r[3] = {0, 1, 0, 1};
        break;
    }
    case DerivationKind::Z:
    default: {
        double yMax = 1;
        for (int t = left; t <= right; ++t) {
            yMax = TakeMax(yMax, X(m, t, var::Y));
            const double mY = P(m, t, par::mY);
            // The income of external balance.
            if (mY != 0) yMax = TakeMax(yMax, TradeBalance(m, t, X(m, t, var::e), 0) / mY);
        }
        yMax *= 1.1;
        double trade = 1, iMin = 0, iMax = 1;
        for (int t = left; t <= right; ++t) {
            const double e = X(m, t, var::e);
            for (double y : {0.0, yMax})
                trade = TakeMax(trade, std::fabs(TradeBalance(m, t, e, y)));
            trade = TakeMax(trade, std::fabs(X(m, t, var::AB)));
            iMax = TakeMax(iMax, X(m, t, var::i));
            if (P(m, t, par::kdi) != 0)
                for (double y : {0.0, yMax}) {
                    iMax = TakeMax(iMax, BalancingRate(m, t, y));
                    iMin = TakeMin(iMin, BalancingRate(m, t, y));
                }
        }
        iMin *= 1.1, iMax *= 1.1;
        // Capital imports balance the trade balance: both share one symmetric scale.
        for (int t = left; t <= right; ++t)
            for (double i : {iMin, iMax})
                trade = TakeMax(trade, std::fabs(CapitalInflow(m, t, 0, i)));
        trade *= 1.1;
        r[0] = {-trade, trade, iMin, iMax};
        r[1] = {-trade, trade, -trade, trade};
        r[2] = {0, yMax, -trade, trade};
        r[3] = {0, yMax, iMin, iMax};
        break;
    }
    }
    return r;
}

// ------------------------------------------------------------------ construction

std::array<double, 2> ConstructionLevels(const Model& m, DerivationKind kind,
                                         const std::array<AxisRange, 4>& axes) {
    const int c = m.Periods.CurrentPeriod;
    const AxisRange& result = axes[ResultQuadrant(kind) - 1];
    switch (kind) {
    case DerivationKind::LM: {
        const double li = P(m, c, par::li), lY = P(m, c, par::lY), laut = P(m, c, par::LAut);
        const double iu = P(m, c, par::iu), money = X(m, c, var::M);
        const double ym = money / lY;
        if (li != 0 && iu < laut / li) {
            // Between the kink and the speculation limit: on the rising part of LM.
            const double yk = (money + li * iu - laut) / lY;
            const double y1 = 2.0 / 3 * yk + 1.0 / 3 * ym;
            if (y1 >= 0) return {y1, 1.0 / 3 * yk + 2.0 / 3 * ym};
        }
        return {ym / 3, 2 * ym / 3};
    }
    case DerivationKind::IS: {
        const double s = P(m, c, par::br) + P(m, c, par::cr);
        if (s != 0) {
            // The real rate at which the demand not induced by income vanishes.
            const double r0 = Autonomous(m, c, 0) / s;
            return {r0 / 3, 2 * r0 / 3};
        }
        return {result.YMax / 3, 2 * result.YMax / 3};
    }
    case DerivationKind::Z:
    default: {
        if (P(m, c, par::kdi) != 0) {
            const double lo = std::max(BalancingRate(m, c, 0), 0.0);
            const double hi = std::min(BalancingRate(m, c, result.XMax), result.YMax);
            return {lo + (hi - lo) / 3, lo + 2 * (hi - lo) / 3};
        }
        return {result.YMax / 3, 2 * result.YMax / 3};
    }
    }
}

ConstructionPoint Construct(const Model& m, DerivationKind kind, double level) {
    const int c = m.Periods.CurrentPeriod;
    ConstructionPoint p;
    switch (kind) {
    case DerivationKind::LM:
        p.Income = level;
        p.Transactions = P(m, c, par::lY) * level;
        p.Speculative = X(m, c, var::M) - p.Transactions;
        p.Rate = LMRate(m, c, level);
        p.Valid = std::isfinite(p.Income) && std::isfinite(p.Speculative) && std::isfinite(p.Rate);
        break;
    case DerivationKind::IS:
        p.Rate = level;
        p.Autonomous = Autonomous(m, c, level);
        p.Income = ISIncome(m, c, level);
        p.Valid = !InfiniteMultiplier(m, c) && std::isfinite(p.Autonomous) &&
                  std::isfinite(p.Income) && std::isfinite(level);
        break;
    case DerivationKind::Z:
    default: {
        p.Rate = level;
        p.CapitalImports = CapitalInflow(m, c, 0, level);
        p.TradeBalance = -p.CapitalImports;
        const double mY = P(m, c, par::mY);
        // The trade balance falls by m[Y] per unit of income.
        p.Income = (TradeBalance(m, c, X(m, c, var::e), 0) - p.TradeBalance) / mY;
        p.Valid = mY != 0 && std::isfinite(p.Income) && std::isfinite(level);
        break;
    }
    }
    return p;
}

// ------------------------------------------------------------------ plots

namespace {

void LMLines(const Model& m, std::array<Plot, 4>& q) {
    for (auto [t, reference] : PeriodsDrawn(m)) {
        const double lY = P(m, t, par::lY), li = P(m, t, par::li), laut = P(m, t, par::LAut);
        const double iu = P(m, t, par::iu), money = X(m, t, var::M);
        const AxisRange& a1 = q[0].Axes;
        q[0].Curves.push_back(Line(Name("LT", t), reference, {{0, 0}, {a1.XMax, lY * a1.XMax}}));
        q[1].Curves.push_back(Line(Name("M", t), reference, {{0, money}, {money, 0}}));
        const AxisRange& a3 = q[2].Axes;
        std::vector<CurvePoint> ls;
        if (li == 0) {
            ls = {{laut, a3.YMin}, {laut, a3.YMax}};
        } else if (laut / li > iu) {
            ls = {{0, laut / li}, {laut - li * iu, iu}, {a3.XMax, iu}};
        } else {
            ls = {{0, iu}, {a3.XMax, iu}};
        }
        q[2].Curves.push_back(Line(Name("LS", t), reference, std::move(ls)));
    }
}

void LMConstruction(const ConstructionPoint& p, int k, std::array<Plot, 4>& q) {
    const double y = p.Income, lt = p.Transactions, ls = p.Speculative, i = p.Rate;
    q[0].Curves.push_back(
        Construction(k, {{y, q[0].Axes.YMin}, {y, lt}, {q[0].Axes.XMax, lt}}, false));
    q[1].Curves.push_back(
        Construction(k, {{q[1].Axes.XMin, lt}, {ls, lt}, {ls, q[1].Axes.YMin}}, false));
    q[2].Curves.push_back(
        Construction(k, {{ls, q[2].Axes.YMax}, {ls, i}, {q[2].Axes.XMin, i}}, false));
    q[3].Curves.push_back(
        Construction(k, {{q[3].Axes.XMax, i}, {y, i}, {y, q[3].Axes.YMax}}, true));
    q[3].Marks.push_back({MarkShape::Cross, y, i});
}

void ISLines(const Model& m, std::array<Plot, 4>& q) {
    const AxisRange& a1 = q[0].Axes;
    const AxisRange& a2 = q[1].Axes;
    q[1].Curves.push_back({"45°", CurveStyle::Guide, {{0, 0}, {a2.XMax, a2.XMax}}, {}});
    for (auto [t, reference] : PeriodsDrawn(m)) {
        q[0].Curves.push_back(
            Line(Name("A", t), reference,
                 {{Autonomous(m, t, a1.YMin), a1.YMin}, {Autonomous(m, t, a1.YMax), a1.YMax}}));
        const double d0 = AutonomousNetDemand(m, t), cd = DomesticSpendingPropensity(m, t);
        q[1].Curves.push_back(
            Line(Name("D", t), reference, {{0, d0}, {a2.XMax, d0 + cd * a2.XMax}}));
    }
}

void ISConstruction(const ConstructionPoint& p, int k, std::array<Plot, 4>& q) {
    const double r = p.Rate, a = p.Autonomous, y = p.Income;
    q[0].Curves.push_back(
        Construction(k, {{a, q[0].Axes.YMin}, {a, r}, {q[0].Axes.XMax, r}}, false));
    // The demand line of that rate starts at its autonomous part and meets the 45° line at
    // the income of the point.
    q[1].Curves.push_back(Construction(k, {{0, a}, {y, y}, {y, q[1].Axes.YMin}}, false));
    q[2].Curves.push_back(
        Construction(k, {{q[2].Axes.XMin, r}, {y, r}, {y, q[2].Axes.YMax}}, true));
    q[2].Marks.push_back({MarkShape::Cross, y, r});
}

void ZLines(const Model& m, std::array<Plot, 4>& q) {
    const AxisRange& a1 = q[0].Axes;
    const AxisRange& a2 = q[1].Axes;
    const AxisRange& a3 = q[2].Axes;
    q[1].Curves.push_back({"AB+NK=0",
                           CurveStyle::Current,
                           {{a2.XMin, -a2.XMin}, {a2.XMax, -a2.XMax}},
                           {{0, LabelAt::End}}});
    for (auto [t, reference] : PeriodsDrawn(m)) {
        q[0].Curves.push_back(Line(Name("NK", t), reference,
                                   {{CapitalInflow(m, t, 0, a1.YMin), a1.YMin},
                                    {CapitalInflow(m, t, 0, a1.YMax), a1.YMax}}));
        const double e = X(m, t, var::e);
        q[2].Curves.push_back(
            Line(Name("AB", t), reference,
                 {{0, TradeBalance(m, t, e, 0)}, {a3.XMax, TradeBalance(m, t, e, a3.XMax)}}));
    }
}

void ZConstruction(const ConstructionPoint& p, int k, std::array<Plot, 4>& q) {
    const double i = p.Rate, nk = p.CapitalImports, ab = p.TradeBalance, y = p.Income;
    q[0].Curves.push_back(
        Construction(k, {{q[0].Axes.XMax, i}, {nk, i}, {nk, q[0].Axes.YMin}}, false));
    q[1].Curves.push_back(
        Construction(k, {{nk, q[1].Axes.YMax}, {nk, ab}, {q[1].Axes.XMax, ab}}, false));
    q[2].Curves.push_back(
        Construction(k, {{q[2].Axes.XMin, ab}, {y, ab}, {y, q[2].Axes.YMax}}, false));
    q[3].Curves.push_back(
        Construction(k, {{q[3].Axes.XMin, i}, {y, i}, {y, q[3].Axes.YMin}}, true));
    q[3].Marks.push_back({MarkShape::Cross, y, i});
}

} // namespace

std::array<Plot, 4> DerivationPlots(const Model& m, DerivationKind kind, const DerivationOptions& o,
                                    const std::array<AxisRange, 4>& axes) {
    std::array<Plot, 4> q;
    for (int k = 0; k < 4; ++k)
        q[k].Axes = axes[k];
    switch (kind) {
    case DerivationKind::LM:
        LMLines(m, q);
        break;
    case DerivationKind::IS:
        ISLines(m, q);
        break;
    case DerivationKind::Z:
        ZLines(m, q);
        break;
    }
    const int result = ResultQuadrant(kind) - 1;
    if (o.Curve) {
        // The derived curve is the current one of the income-interest diagram.
        IncomeInterestOptions io;
        io.Reference = io.Path = false;
        io.IS = kind == DerivationKind::IS;
        io.LM = kind == DerivationKind::LM;
        io.Z = kind == DerivationKind::Z;
        io.LF = false;
        io.RealRate = kind == DerivationKind::IS;
        Plot curve = IncomeInterestCurves(m, io, axes[result]);
        for (Curve& c : curve.Curves) {
            c.Style = CurveStyle::Path;
            q[result].Curves.push_back(std::move(c));
        }
    }
    const std::array<double, 2> levels = ConstructionLevels(m, kind, axes);
    for (int k = 1; k <= 2; ++k) {
        if (!(k == 1 ? o.Point1 : o.Point2)) continue;
        const ConstructionPoint p = Construct(m, kind, levels[k - 1]);
        if (!p.Valid) continue;
        switch (kind) {
        case DerivationKind::LM:
            LMConstruction(p, k, q);
            break;
        case DerivationKind::IS:
            ISConstruction(p, k, q);
            break;
        case DerivationKind::Z:
            ZConstruction(p, k, q);
            break;
        }
    }
    return q;
}

std::vector<std::string> DerivationNotices(const Model& m, DerivationKind kind) {
    std::vector<std::string> out;
    if (kind != DerivationKind::IS) return out;
    const int l = m.Periods.LeftEdge, c = m.Periods.CurrentPeriod;
    if (l != c && InfiniteMultiplier(m, l))
        out.push_back("Der Multiplikator für den linken Analyserand ist unendlich. -> IS-Kurve "
                      "kann daher hierfür nicht erzeugt werden (horizontaler Verlauf für jedes "
                      "beliebige Zinsniveau).##The multiplier for the left border of the analysis "
                      "interval is infinite. -> so no IS curve can be derived for it (horizontal "
                      "for every interest rate).");
    if (InfiniteMultiplier(m, c))
        out.push_back("Der Multiplikator für die aktuelle Periode ist unendlich. -> IS-Kurve kann "
                      "daher hierfür nicht erzeugt werden (horizontaler Verlauf für jedes "
                      "beliebige Zinsniveau).##The multiplier for the current period is "
                      "infinite. -> so no IS curve can be derived for it (horizontal for every "
                      "interest rate).");
    return out;
}

} // namespace tv
