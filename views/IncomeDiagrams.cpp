#include "views/IncomeDiagrams.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

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

// The reference curves' names sit at their start, the current ones' at their end, so the
// two never share a place.
CurveLabel Ends(bool reference, int lastSegment) {
    return reference ? CurveLabel{0, LabelAt::Start} : CurveLabel{lastSegment, LabelAt::End};
}

// The periods whose curves are drawn: the left edge (when asked and different) and the
// current period.
struct Periods {
    int left, current, right;
    bool reference;
};

Periods PeriodsOf(const Model& m, bool reference) {
    const PeriodState& p = m.Periods;
    return {p.LeftEdge, p.CurrentPeriod, p.RightEdge, reference && p.LeftEdge != p.CurrentPeriod};
}

} // namespace

double RealOfNominal(const Model& m, int t, double i) {
    return ((1 + i / 100) / (1 + X(m, t, var::gPErw) / 100) - 1) * 100;
}

double NominalOfReal(const Model& m, int t, double r) {
    return (X(m, t, var::gPErw) / 100 + 1) * (r + 100) - 100;
}

bool InfiniteMultiplier(const Model& m, int t) {
    // Only exactly 1: a propensity of -1 has the multiplier one half.
    return DomesticSpendingPropensity(m, t) == 1;
}

const char* InfiniteMultiplierTitle() {
    return "So nicht!##Not possible!";
}

std::vector<std::string> InfiniteMultiplierNotices(const Model& m) {
    std::vector<std::string> out;
    const int l = m.Periods.LeftEdge, c = m.Periods.CurrentPeriod;
    if (l != c && InfiniteMultiplier(m, l)) {
        const std::string t = std::to_string(l);
        out.push_back(FillIn("Der Multiplikator für den linken Analyserand ist unendlich. -> keine "
                             "IS-Kurve für t = %1.##The multiplier for the left border of the "
                             "analysis interval is infinite. -> no IS curve for t = %1.",
                             t));
    }
    if (InfiniteMultiplier(m, c)) {
        const std::string t = std::to_string(c);
        out.push_back(FillIn("Der Multiplikator für die aktuelle Periode ist unendlich. -> keine "
                             "IS-Kurve für t = %1.##The multiplier for the current period is "
                             "infinite. -> no IS curve for t = %1.",
                             t));
    }
    return out;
}

// ------------------------------------------------------------------ income-interest

RangeSets IncomeInterestRanges(const Model& m) {
    const Periods ps = PeriodsOf(m, false);
    const int l = ps.left;
    RangeBuilder fx(0, 1), fy(0, 1);
    RangeBuilder ax(X(m, l, var::Y), X(m, l, var::Y));
    RangeBuilder ay(std::min(X(m, l, var::i), X(m, l, var::rErw)),
                    std::max(X(m, l, var::i), X(m, l, var::rErw)));
    for (int t = l; t <= ps.right; ++t) {
        const double y = X(m, t, var::Y);
        fx.TakeMax(y);
        ax.Take(y);
        fx.TakeMax(X(m, t, var::M) / P(m, t, par::lY));
        if (P(m, t, par::cr) == 0 && P(m, t, par::br) == 0 && !InfiniteMultiplier(m, t))
            fx.TakeMax(ISIncome(m, t, 0));
        for (int n : {var::i, var::rErw}) {
            fy.TakeMax(X(m, t, n));
            ay.Take(X(m, t, n));
        }
        const double li = P(m, t, par::li);
        if (li != 0) {
            const double limit = P(m, t, par::LAut) / li;
            fy.TakeMax(limit);
            fy.TakeMax(RealOfNominal(m, t, limit));
        }
        fy.TakeMin(RealOfNominal(m, t, P(m, t, par::iu)));
    }
    RangeSets r;
    r.Fixed = {fx.Min, fx.Max, fy.Min, fy.Max};
    r.Auto = {ax.Min, ax.Max, ay.Min, ay.Max};
    WidenRange(r.Fixed, true);
    WidenRange(r.Auto, false);
    return r;
}

namespace {

struct RateAxis {
    const Model& m;
    int t;
    bool real;
    // A nominal rate of period t as the axis shows it.
    double Show(double i) const { return real ? RealOfNominal(m, t, i) : i; }
    // The nominal rate of an axis value.
    double Nominal(double y) const { return real ? NominalOfReal(m, t, y) : y; }
    // The real rate of an axis value.
    double Real(double y) const { return real ? y : RealOfNominal(m, t, y); }
};

void AddIS(std::vector<Curve>& out, const Model& m, int t, bool reference, const RateAxis& a,
           const AxisRange& ax) {
    if (InfiniteMultiplier(m, t)) return;
    Curve c{Name("IS", t), reference ? CurveStyle::Reference : CurveStyle::Current, {}, {}};
    c.Points = {{ISIncome(m, t, a.Real(ax.YMax)), ax.YMax},
                {ISIncome(m, t, a.Real(ax.YMin)), ax.YMin}};
    // The reference at its lower end, the current at its upper end.
    c.Labels = {{0, reference ? LabelAt::End : LabelAt::Start}};
    out.push_back(std::move(c));
}

void AddLM(std::vector<Curve>& out, const Model& m, int t, bool reference, const RateAxis& a,
           const AxisRange& ax) {
    const double li = P(m, t, par::li), lY = P(m, t, par::lY), laut = P(m, t, par::LAut);
    const double iu = P(m, t, par::iu), money = X(m, t, var::M);
    Curve c{Name("LM", t), reference ? CurveStyle::Reference : CurveStyle::Current, {}, {}};
    auto& pts = c.Points;
    if (lY == 0) {
        // Money demand without an income term: the rate does not depend on income.
        const double i = LMRate(m, t, 0);
        pts = {{ax.XMin, a.Show(i)}, {ax.XMax, a.Show(i)}};
    } else if (li != 0) {
        const double limit = SpeculationLimitRate(m, t);
        const double ym = money / lY;
        if (limit > iu) {
            const double yk = (money - laut + li * iu) / lY;
            pts = {{0, a.Show(iu)}, {yk, a.Show(iu)}, {ym, a.Show(limit)}};
        } else {
            // The speculative demand ends at the floor: the floor runs up to the vertical.
            pts = {{0, a.Show(iu)}, {ym, a.Show(iu)}};
        }
        if (a.Show(limit) < ax.YMax) pts.push_back({ym, ax.YMax});
    } else {
        const double y = (money - laut) / lY;
        pts = {{ax.XMin, a.Show(iu)}, {y, a.Show(iu)}, {y, ax.YMax}};
    }
    const int segments = static_cast<int>(pts.size()) - 1;
    if (reference) {
        c.Labels.push_back({0, LabelAt::Start});
        if (li != 0 && lY != 0 && segments >= 2) c.Labels.push_back({1, LabelAt::Entry});
    } else {
        // Each piece where it leaves the plot; the last one, which ends on the plot's edge
        // (or beyond), at its end, so that the current LM always carries its name.
        for (int k = 0; k + 1 < segments; ++k)
            c.Labels.push_back({k, LabelAt::Exit});
        c.Labels.push_back({segments - 1, LabelAt::End});
    }
    out.push_back(std::move(c));
}

void AddZ(std::vector<Curve>& out, const Model& m, int t, bool reference, const RateAxis& a,
          const AxisRange& ax) {
    Curve c{Name("Z", t), reference ? CurveStyle::Reference : CurveStyle::Current, {}, {}};
    if (P(m, t, par::kdi) != 0) {
        c.Points = {{0, a.Show(BalancingRate(m, t, 0))},
                    {ax.XMax, a.Show(BalancingRate(m, t, ax.XMax))}};
    } else if (P(m, t, par::mY) != 0) {
        const double y =
            (TradeBalance(m, t, X(m, t, var::e), 0) + CapitalInflow(m, t, 0, 0)) / P(m, t, par::mY);
        c.Points = {{y, ax.YMin}, {y, ax.YMax}};
    } else {
        return;
    }
    c.Labels = {Ends(reference, 0)};
    out.push_back(std::move(c));
}

void AddLF(std::vector<Curve>& out, const Model& m, int t, bool reference, const RateAxis& a,
           const AxisRange& ax) {
    Curve c{Name("LF", t), reference ? CurveStyle::Reference : CurveStyle::Current, {}, {}};
    const double iu = P(m, t, par::iu), limit = SpeculationLimitRate(m, t);
    const double top = a.Nominal(ax.YMax);
    auto& pts = c.Points;
    if (limit > iu) {
        pts = {{0, a.Show(iu)},
               {BondMarketIncome(m, t, iu), a.Show(iu)},
               {BondMarketIncome(m, t, limit), a.Show(limit)}};
        if (a.Show(limit) < ax.YMax) pts.push_back({BondMarketIncomeNoSpec(m, t, top), ax.YMax});
    } else {
        pts = {{0, a.Show(iu)},
               {BondMarketIncomeNoSpec(m, t, iu), a.Show(iu)},
               {BondMarketIncomeNoSpec(m, t, top), ax.YMax}};
    }
    c.Labels = {{static_cast<int>(pts.size()) - 2, LabelAt::End}};
    out.push_back(std::move(c));
}

} // namespace

Plot IncomeInterestCurves(const Model& m, const IncomeInterestOptions& o, const AxisRange& axes) {
    Plot plot;
    plot.Axes = axes;
    const Periods ps = PeriodsOf(m, o.Reference);
    for (int pass = ps.reference ? 0 : 1; pass < 2; ++pass) {
        const bool reference = pass == 0;
        const int t = reference ? ps.left : ps.current;
        const RateAxis a{m, t, o.RealRate};
        if (o.IS) AddIS(plot.Curves, m, t, reference, a, axes);
        if (o.LM) AddLM(plot.Curves, m, t, reference, a, axes);
        if (o.Z) AddZ(plot.Curves, m, t, reference, a, axes);
        if (o.LF) AddLF(plot.Curves, m, t, reference, a, axes);
    }
    auto point = [&](int t) {
        const double i = X(m, t, var::i);
        return CurvePoint{X(m, t, var::Y), o.RealRate ? RealOfNominal(m, t, i) : i};
    };
    if (o.Path) {
        Curve path{"Pfad", CurveStyle::Path, {}, {}}; // verbatim
        if (o.WageRounds) {
            // From the first wage round starting in the interval, round by round.
            const int step = m.TZR();
            int t = ps.left + (step - ps.left % step) % step;
            for (; t <= ps.current; t += step)
                path.Points.push_back(point(t));
        } else {
            for (int t = ps.left; t <= ps.current; ++t)
                path.Points.push_back(point(t));
        }
        if (path.Points.size() >= 2) plot.Curves.push_back(std::move(path));
        const CurvePoint first = point(ps.left);
        plot.Marks.push_back({MarkShape::Circle, first.X, first.Y});
    }
    // The current crossing is marked, with or without the path.
    if (!o.Path || ps.current > ps.left) {
        const CurvePoint last = point(ps.current);
        plot.Marks.push_back({MarkShape::Cross, last.X, last.Y});
    }
    return plot;
}

Plot IncomeInterestPlot(const Model& m, const IncomeInterestOptions& o, bool autoRange) {
    return IncomeInterestCurves(m, o, AxesFor(IncomeInterestRanges(m), autoRange));
}

// ------------------------------------------------------------------ income-expenditure

// The fixed income axis of both panels: up to the largest income or demand of the interval,
// so that the goods panel's axes carry one unit (its 45° line is the diagonal) and the
// capital panel below shows the same incomes.
namespace {
double IncomeAxisMax(const Model& m, const Periods& ps) {
    RangeBuilder r(0, 0);
    for (int t = ps.left; t <= ps.right; ++t) {
        r.TakeMax(X(m, t, var::Y));
        r.TakeMax(X(m, t, var::N));
    }
    return r.Max;
}
} // namespace

RangeSets GoodsMarketRanges(const Model& m, const IncomeExpenditureOptions& o) {
    const Periods ps = PeriodsOf(m, false);
    const int l = ps.left;
    RangeBuilder ax(X(m, l, var::Y), X(m, l, var::Y));
    const int first = o.Gross ? var::X : var::Y, second = o.Gross ? var::N : var::D;
    for (int t = l; t <= ps.right; ++t) {
        ax.Take(X(m, t, var::Y));
        ax.Take(X(m, t, first));
        ax.Take(X(m, t, second));
    }
    const double top = IncomeAxisMax(m, ps);
    RangeSets r;
    r.Fixed = {0, top, 0, top};
    r.Auto = {ax.Min, ax.Max, ax.Min, ax.Max};
    WidenRange(r.Fixed, true);
    WidenRange(r.Auto, false);
    return r;
}

Plot GoodsMarketCurves(const Model& m, const IncomeExpenditureOptions& o, const AxisRange& axes) {
    Plot plot;
    plot.Axes = axes;
    const Periods ps = PeriodsOf(m, o.Reference);
    const double x0 = axes.XMin, x1 = axes.XMax;
    if (!o.Gross)
        plot.Curves.push_back({"45°", CurveStyle::Guide, {{0, 0}, {axes.YMax, axes.YMax}}, {}});
    for (int pass = ps.reference ? 0 : 1; pass < 2; ++pass) {
        const bool reference = pass == 0;
        const int t = reference ? ps.left : ps.current;
        const CurveStyle style = reference ? CurveStyle::Reference : CurveStyle::Current;
        if (o.Gross) {
            const double e = X(m, t, var::e);
            plot.Curves.push_back(
                {Name("X", t),
                 style,
                 {{x0, x0 + ImportDemand(m, t, e, x0)}, {x1, x1 + ImportDemand(m, t, e, x1)}},
                 {Ends(reference, 0)}});
            const double n0 = AutonomousDemand(m, t), cn = SpendingPropensity(m, t);
            plot.Curves.push_back({Name("N", t),
                                   style,
                                   {{x0, n0 + cn * x0}, {x1, n0 + cn * x1}},
                                   {Ends(reference, 0)}});
        } else {
            const double d0 = AutonomousNetDemand(m, t), cd = DomesticSpendingPropensity(m, t);
            plot.Curves.push_back(
                {Name("D", t), style, {{0, d0}, {x1, d0 + cd * x1}}, {Ends(reference, 0)}});
        }
    }
    const int demand = o.Gross ? var::N : var::D, supply = o.Gross ? var::X : var::Y;
    auto at = [&](int t, int n) { return CurvePoint{X(m, t, var::Y), X(m, t, n)}; };
    if (o.Path) {
        // Producers who plan with last period's demand move vertically to the new demand
        // first; otherwise income moves first.
        const Expectation& demandExp = m.Expect[3];
        const bool followsDemand = demandExp.Method == 1 && !demandExp.RuleBased;
        Curve path{"Pfad", CurveStyle::Path, {}, {}}; // verbatim
        path.Points.push_back(at(ps.left, followsDemand ? supply : demand));
        for (int t = ps.left; t < ps.current; ++t) {
            if (followsDemand) {
                path.Points.push_back({X(m, t, var::Y), X(m, t + 1, demand)});
                path.Points.push_back(at(t + 1, supply));
            } else {
                path.Points.push_back(at(t + 1, supply));
                path.Points.push_back(at(t + 1, demand));
            }
        }
        if (path.Points.size() >= 2) plot.Curves.push_back(std::move(path));
        const CurvePoint first = at(ps.left, demand);
        plot.Marks.push_back({MarkShape::Circle, first.X, first.Y});
    }
    if (!o.Path || ps.current > ps.left) {
        const CurvePoint last = at(ps.current, demand);
        plot.Marks.push_back({MarkShape::Cross, last.X, last.Y});
    }
    return plot;
}

namespace {

double CapitalDemandRealised(const Model& m, int t) {
    return X(m, t, var::I) + X(m, t, var::Ex) - X(m, t, var::Im);
}

double CapitalSupplyRealised(const Model& m, int t) {
    return X(m, t, var::YV) - X(m, t, var::C) + BudgetSurplus(m, t, X(m, t, var::YErw));
}

double CapitalSupplyAt(const Model& m, int t, double y) {
    return Saving(m, t, X(m, t, var::rErw), y) + BudgetSurplus(m, t, y);
}

double CapitalDemandAt(const Model& m, int t, double y) {
    return Investment(m, t, X(m, t, var::rErw), y) + TradeBalance(m, t, X(m, t, var::e), y);
}

} // namespace

RangeSets CapitalMarketRanges(const Model& m) {
    const Periods ps = PeriodsOf(m, false);
    const int l = ps.left;
    RangeBuilder fx(0, 1), fy(0, 1);
    RangeBuilder ax(X(m, l, var::Y), X(m, l, var::Y));
    RangeBuilder ay(CapitalDemandRealised(m, l), CapitalDemandRealised(m, l));
    for (int t = l; t <= ps.right; ++t) {
        ax.Take(X(m, t, var::Y));
        const double kn = CapitalDemandRealised(m, t), ka = CapitalSupplyRealised(m, t);
        for (double v : {kn, ka, CapitalDemandAt(m, t, 0), CapitalSupplyAt(m, t, 0)})
            fy.Take(v);
        ay.Take(kn);
        ay.Take(ka);
    }
    RangeSets r;
    fx.TakeMax(IncomeAxisMax(m, ps));
    r.Fixed = {0, fx.Max, fy.Min, fy.Max};
    r.Auto = {ax.Min, ax.Max, ay.Min, ay.Max};
    WidenRange(r.Fixed, true);
    WidenRange(r.Auto, false);
    return r;
}

std::vector<CurvePoint> CapitalMarketEquilibria(const Model& m) {
    const Periods ps = PeriodsOf(m, true);
    std::vector<CurvePoint> out;
    for (int t = ps.left; t <= ps.current; ++t) {
        out.push_back({X(m, t, var::Y), CapitalDemandRealised(m, t)});
        out.push_back({X(m, t, var::Y), CapitalSupplyRealised(m, t)});
    }
    return out;
}

Plot CapitalMarketCurves(const Model& m, const IncomeExpenditureOptions& o, const AxisRange& axes) {
    Plot plot;
    plot.Axes = axes;
    const Periods ps = PeriodsOf(m, o.Reference);
    const double x0 = axes.XMin, x1 = axes.XMax;
    for (int pass = ps.reference ? 0 : 1; pass < 2; ++pass) {
        const bool reference = pass == 0;
        const int t = reference ? ps.left : ps.current;
        const CurveStyle style = reference ? CurveStyle::Reference : CurveStyle::Current;
        plot.Curves.push_back({Name("dKA", t),
                               style,
                               {{x0, CapitalSupplyAt(m, t, x0)}, {x1, CapitalSupplyAt(m, t, x1)}},
                               {Ends(reference, 0)}});
        plot.Curves.push_back({Name("dKN", t),
                               style,
                               {{x0, CapitalDemandAt(m, t, x0)}, {x1, CapitalDemandAt(m, t, x1)}},
                               {Ends(reference, 0)}});
    }
    return plot;
}

} // namespace tv
