// The constructed points of the LM, IS and Z derivations against closed forms written out
// from the parameters, on every partial line they pass and on the derived curve itself.

#include "TestModels.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/ModelFile.h"
#include "views/CurveDerivations.h"
#include "views/DiagramExport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

using namespace tv;
using namespace tv::test;

namespace {

void ExpectNear(double expected, double actual, const std::string& what) {
    EXPECT_NEAR(expected, actual, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

Model Solved(Model m) {
    SilentHost host;
    Solve(m, host);
    return m;
}

Model FromExample(const char* file) {
    Model m;
    m.InitialiseForProgramStart();
    SilentHost host;
    SolveAtProgramStart(m, host);
    ModelFile f(m, host, ".");
    EXPECT_TRUE(f.OpenModel(std::string(EXAMPLES_DIR) + "/" + file));
    Solve(m, host);
    return m;
}

std::array<AxisRange, 4> Axes(const Model& m, DerivationKind kind) {
    std::array<AxisRange, 4> axes{};
    const auto ranges = DerivationRanges(m, kind);
    for (int k = 0; k < 4; ++k)
        axes[k] = AxesFor(ranges[k]);
    return axes;
}

const Curve* Find(const Plot& p, const std::string& name) {
    for (const Curve& c : p.Curves)
        if (c.Name == name) return &c;
    return nullptr;
}

// Distance of a point from a polyline, in units of the axis spans.
double Distance(const Curve& c, CurvePoint q, const AxisRange& a) {
    const double sx = a.XMax - a.XMin, sy = a.YMax - a.YMin;
    double best = INFINITY;
    for (size_t k = 0; k + 1 < c.Points.size(); ++k) {
        const double ax = c.Points[k].X / sx, ay = c.Points[k].Y / sy;
        const double bx = c.Points[k + 1].X / sx, by = c.Points[k + 1].Y / sy;
        const double px = q.X / sx, py = q.Y / sy;
        const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
        double s = len > 0 ? ((px - ax) * dx + (py - ay) * dy) / len : 0;
        s = std::clamp(s, 0.0, 1.0);
        best = std::min(best, std::hypot(px - ax - s * dx, py - ay - s * dy));
    }
    return best;
}

// The constructed point lies on the drawn line `name` of quadrant k.
void ExpectOnLine(const std::array<Plot, 4>& plots, const std::array<AxisRange, 4>& axes, int k,
                  const std::string& name, CurvePoint p) {
    const Curve* c = Find(plots[k - 1], name);
    ASSERT_TRUE(c) << name;
    EXPECT_LT(Distance(*c, p, axes[k - 1]), 1e-9) << name;
}

struct Case {
    const char* name;
    std::function<Model()> make;
    std::vector<int> periods;
};

class Derivations : public ::testing::TestWithParam<Case> {};

TEST_P(Derivations, LMPointsLieOnEveryPartialLineAndOnLM) {
    Model m = GetParam().make();
    for (int t : GetParam().periods) {
        SCOPED_TRACE("t = " + std::to_string(t));
        m.Periods.CurrentPeriod = t;
        auto p = [&](int n) { return m.GetPar(t, n); };
        const double money = m.GetVar(t, var::M);
        const auto axes = Axes(m, DerivationKind::LM);
        const auto levels = ConstructionLevels(m, DerivationKind::LM, axes);
        const double yk = (money + p(par::li) * p(par::iu) - p(par::LAut)) / p(par::lY);
        const double ym = money / p(par::lY);
        for (double y : levels) {
            const ConstructionPoint c = Construct(m, DerivationKind::LM, y);
            ASSERT_TRUE(c.Valid);
            ExpectNear(p(par::lY) * y, c.Transactions, "on the transactions line");
            ExpectNear(money, c.Transactions + c.Speculative, "on the equilibrium line");
            ExpectNear(p(par::LAut) - p(par::li) * c.Rate, c.Speculative,
                       "on the speculative line");
            ExpectNear((p(par::lY) * y + p(par::LAut) - money) / p(par::li), c.Rate, "on LM");
            // A floor exists in these models: both points lie on the rising part.
            EXPECT_GT(y, yk);
            EXPECT_LT(y, ym);
        }
        DerivationOptions o{true, true, true};
        const auto plots = DerivationPlots(m, DerivationKind::LM, o, axes);
        const std::string n = "(" + std::to_string(t) + ")";
        for (int k : {1, 2}) {
            const ConstructionPoint c = Construct(m, DerivationKind::LM, levels[k - 1]);
            // On every drawn line it passes, and on the derived curve.
            ExpectOnLine(plots, axes, 1, "LT" + n, {c.Income, c.Transactions});
            ExpectOnLine(plots, axes, 2, "M" + n, {c.Speculative, c.Transactions});
            ExpectOnLine(plots, axes, 3, "LS" + n, {c.Speculative, c.Rate});
            ExpectOnLine(plots, axes, 4, "LM" + n, {c.Income, c.Rate});
            const Curve* drawn = Find(plots[3], "P" + std::to_string(k));
            ASSERT_TRUE(drawn);
            EXPECT_LT(Distance(*drawn, {c.Income, c.Rate}, axes[3]), 1e-12);
        }
    }
}

TEST_P(Derivations, ISPointsLieOnTheDemandLinesAndOnIS) {
    Model m = GetParam().make();
    for (int t : GetParam().periods) {
        SCOPED_TRACE("t = " + std::to_string(t));
        m.Periods.CurrentPeriod = t;
        auto p = [&](int n) { return m.GetPar(t, n); };
        const double cd = DomesticSpendingPropensity(m, t), d0 = AutonomousNetDemand(m, t);
        const double slope = p(par::br) + p(par::cr);
        const auto axes = Axes(m, DerivationKind::IS);
        const auto levels = ConstructionLevels(m, DerivationKind::IS, axes);
        const double r0 = (d0 + m.GetVar(t, var::rErw) * slope) / slope;
        ExpectNear(r0 / 3, levels[0], "first rate");
        ExpectNear(2 * r0 / 3, levels[1], "second rate");
        for (double r : levels) {
            const ConstructionPoint c = Construct(m, DerivationKind::IS, r);
            ASSERT_TRUE(c.Valid);
            const double a = d0 - (r - m.GetVar(t, var::rErw)) * slope;
            ExpectNear(a, c.Autonomous, "on the autonomous-demand line");
            ExpectNear(c.Income, c.Autonomous + cd * c.Income, "demand meets the 45° line");
            ExpectNear(a / (1 - cd), c.Income, "on IS");
        }
        DerivationOptions o{true, true, true};
        const auto plots = DerivationPlots(m, DerivationKind::IS, o, axes);
        const std::string n = "(" + std::to_string(t) + ")";
        for (double r : levels) {
            const ConstructionPoint c = Construct(m, DerivationKind::IS, r);
            ExpectOnLine(plots, axes, 1, "A" + n, {c.Autonomous, c.Rate});
            ExpectOnLine(plots, axes, 2, "45°", {c.Income, c.Income});
            ExpectOnLine(plots, axes, 3, "IS" + n, {c.Income, c.Rate});
        }
    }
}

TEST_P(Derivations, ZPointsBalanceTheExternalAccountAndLieOnZ) {
    Model m = GetParam().make();
    for (int t : GetParam().periods) {
        SCOPED_TRACE("t = " + std::to_string(t));
        m.Periods.CurrentPeriod = t;
        auto p = [&](int n) { return m.GetPar(t, n); };
        if (p(par::mY) == 0 || p(par::kdi) == 0) continue; // a closed economy has no Z line
        const double e = m.GetVar(t, var::e);
        auto trade = [&](double y) {
            return p(par::ExAut) + p(par::xe) * e - p(par::mY) * y - p(par::ImAut) - p(par::me) / e;
        };
        const auto axes = Axes(m, DerivationKind::Z);
        for (double i : ConstructionLevels(m, DerivationKind::Z, axes)) {
            const ConstructionPoint c = Construct(m, DerivationKind::Z, i);
            ASSERT_TRUE(c.Valid);
            ExpectNear((i - p(par::iA)) * p(par::kdi) + p(par::NKAut), c.CapitalImports,
                       "on the capital-import line");
            ExpectNear(-c.CapitalImports, c.TradeBalance, "on the balance line");
            ExpectNear(trade(c.Income), c.TradeBalance, "on the trade-balance line");
            const double z =
                (-trade(c.Income) - (p(par::NKAut) - p(par::iA) * p(par::kdi))) / p(par::kdi);
            ExpectNear(z, i, "on Z");
        }
        DerivationOptions o{true, true, true};
        const auto plots = DerivationPlots(m, DerivationKind::Z, o, axes);
        const std::string n = "(" + std::to_string(t) + ")";
        for (double i : ConstructionLevels(m, DerivationKind::Z, axes)) {
            const ConstructionPoint c = Construct(m, DerivationKind::Z, i);
            ExpectOnLine(plots, axes, 1, "NK" + n, {c.CapitalImports, c.Rate});
            ExpectOnLine(plots, axes, 2, "AB+NK=0", {c.CapitalImports, c.TradeBalance});
            ExpectOnLine(plots, axes, 3, "AB" + n, {c.Income, c.TradeBalance});
            ExpectOnLine(plots, axes, 4, "Z" + n, {c.Income, c.Rate});
        }
        // The capital-import line spans its quadrant's height.
        const Curve* nk = Find(plots[0], "NK" + n);
        ASSERT_TRUE(nk);
        EXPECT_EQ(nk->Points.front().Y, axes[0].YMin);
        EXPECT_EQ(nk->Points.back().Y, axes[0].YMax);
    }
}

Model OpenWithFiscalShock() {
    Model m = OpenFlexibleModel();
    SetFrom(m, 5, {{par::GAut, 198}});
    return Solved(m);
}

Model ClosedWithMoneyShock() {
    Model m = ClosedISLMModel();
    SetFrom(m, 5, {{par::MNAut, 660}});
    return Solved(m);
}

INSTANTIATE_TEST_SUITE_P(
    Models, Derivations,
    ::testing::Values(
        Case{"ClosedWithRateFloor",
             [] {
                 Model m = ClosedWithMoneyShock();
                 SetAll(m, {{par::iu, 2}});
                 return m;
             },
             {0, 100}},
        Case{"ClosedMoneyShock", ClosedWithMoneyShock, {0, 4, 100}},
        Case{"OpenFlexibleFiscalShock", OpenWithFiscalShock, {0, 6, 100}},
        Case{"ExampleClosed", [] { return FromExample("02-closed-is-lm.TV5"); }, {0, 100}},
        Case{"ExampleOpenFixed", [] { return FromExample("04-open-fixed-rates.TV5"); }, {0, 100}},
        Case{"ExampleOpenFlexible",
             [] { return FromExample("05-open-flexible-rates.TV5"); },
             {0, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

// The batch tool's numbers are the quadrants the window paints, quadrant by quadrant.
TEST(Derivations, ExportedNumbersAreTheQuadrantPlots) {
    const std::pair<const char*, DerivationKind> cases[] = {{"lm-derivation", DerivationKind::LM},
                                                            {"is-derivation", DerivationKind::IS},
                                                            {"z-derivation", DerivationKind::Z}};
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        Model m = OpenWithFiscalShock();
        const DiagramResult r = ComputeDiagramNumbers(
            m, name, {m.Periods.CurrentPeriod, m.Periods.LeftEdge, DefaultDiagramRaster});
        ASSERT_TRUE(r.Ok) << r.Error;
        const std::array<AxisRange, 4> ranges = DerivationRanges(m, kind);
        std::array<AxisRange, 4> axes{};
        for (int k = 0; k < 4; ++k)
            axes[k] = AxesFor(ranges[k]);
        const std::array<Plot, 4> plots = DerivationPlots(m, kind, {}, axes);
        size_t c = 0;
        for (int k = 1; k <= QuadrantCount(kind); ++k)
            for (const Curve& curve : plots[k - 1].Curves) {
                ASSERT_LT(c, r.Numbers.Curves.size());
                const ExportedCurve& e = r.Numbers.Curves[c++];
                EXPECT_EQ(e.Name, "q" + std::to_string(k) + ":" + curve.Name);
                ASSERT_EQ(e.Points.size(), curve.Points.size());
                for (size_t j = 0; j < e.Points.size(); ++j) {
                    EXPECT_EQ(e.Points[j].X, curve.Points[j].X);
                    EXPECT_EQ(e.Points[j].Y, curve.Points[j].Y);
                }
            }
        EXPECT_EQ(c, r.Numbers.Curves.size());
        EXPECT_GT(c, 0u);
    }
}

// Quadrants in one row share the y scale, quadrants in one column the x scale: otherwise a
// construction would not join up across them.
TEST(Derivations, QuadrantsShareTheirCommonAxisAndCarryBothConstructions) {
    const Model m = OpenWithFiscalShock();
    for (DerivationKind kind : {DerivationKind::LM, DerivationKind::IS, DerivationKind::Z}) {
        const auto ranges = DerivationRanges(m, kind);
        const int n = QuadrantCount(kind);
        for (int a = 1; a <= n; ++a)
            for (int b = a + 1; b <= n; ++b) {
                const QuadrantPlace pa = PlaceOf(kind, a), pb = PlaceOf(kind, b);
                SCOPED_TRACE(std::to_string(int(kind)) + ": " + std::to_string(a) + "/" +
                             std::to_string(b));
                EXPECT_FALSE(pa.Column == pb.Column && pa.Row == pb.Row);
                if (pa.Row == pb.Row) {
                    EXPECT_EQ(ranges[a - 1].YMin, ranges[b - 1].YMin);
                    EXPECT_EQ(ranges[a - 1].YMax, ranges[b - 1].YMax);
                }
                if (pa.Column == pb.Column) {
                    EXPECT_EQ(ranges[a - 1].XMin, ranges[b - 1].XMin);
                    EXPECT_EQ(ranges[a - 1].XMax, ranges[b - 1].XMax);
                }
            }
        // The quadrants fill the window's four corners; only the IS derivation leaves its
        // top left empty.
        for (int column : {0, 1})
            for (int row : {0, 1})
                EXPECT_EQ(kind == DerivationKind::IS && column == 0 && row == 0,
                          QuadrantAt(kind, column, row) == 0);
        EXPECT_EQ(n, kind == DerivationKind::IS ? 3 : 4);
        EXPECT_EQ(QuadrantNames(kind).size(), size_t(n) + 1);
        // Both constructions run through every quadrant; the result quadrant names and marks
        // them.
        const auto axes = Axes(m, kind);
        const auto plots = DerivationPlots(m, kind, {true, true, false}, axes);
        for (int k = 1; k <= 4; ++k) {
            size_t paths = 0, labels = 0;
            const AxisRange& a = axes[k - 1];
            for (const Curve& c : plots[k - 1].Curves) {
                for (const CurveLabel& l : c.Labels) // a label off the curve is never drawn
                    EXPECT_LT(size_t(l.Segment) + 1, c.Points.size()) << k << " " << c.Name;
                if (c.Style != CurveStyle::Path) continue;
                ++paths, labels += c.Labels.size();
                // A construction comes in from its quadrant's edge and leaves across one.
                for (const CurvePoint& p : {c.Points.front(), c.Points.back()})
                    EXPECT_TRUE(p.X == a.XMin || p.X == a.XMax || p.Y == a.YMin || p.Y == a.YMax)
                        << k << " " << c.Name;
            }
            const bool result = k == (kind == DerivationKind::IS ? 3 : 4);
            EXPECT_EQ(paths, k <= n ? 2u : 0u) << k;
            EXPECT_EQ(labels, result ? 2u : 0u) << k;
            EXPECT_EQ(plots[k - 1].Marks.size(), result ? 2u : 0u) << k;
        }
        // The first construction alone, with the derived curve and no other.
        const auto first = DerivationPlots(m, kind, {true, false, true}, Axes(m, kind));
        std::string names;
        for (const Curve& c : first[kind == DerivationKind::IS ? 2 : 3].Curves)
            if (c.Style == CurveStyle::Path) names += c.Name.substr(0, c.Name.find('(')) + " ";
        EXPECT_EQ(names, kind == DerivationKind::LM   ? "LM P1 "
                         : kind == DerivationKind::IS ? "IS P1 "
                                                      : "Z P1 ");
    }
}

TEST(Derivations, RangesStayWhenTheCurrentPeriodMoves) {
    Model m = ClosedWithMoneyShock();
    for (DerivationKind kind : {DerivationKind::LM, DerivationKind::IS, DerivationKind::Z}) {
        m.Periods.CurrentPeriod = 0;
        const auto before = DerivationRanges(m, kind);
        m.Periods.CurrentPeriod = 50;
        const auto after = DerivationRanges(m, kind);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(before[k].XMax, after[k].XMax);
            EXPECT_EQ(before[k].YMax, after[k].YMax);
        }
    }
}

// Only a propensity of exactly 1 makes the multiplier infinite; -1 halves autonomous demand.
TEST(Derivations, InfiniteMultiplierOnlyAtAPropensityOfOne) {
    struct Row {
        double cd;
        bool infinite;
    };
    for (const Row row : {Row{-1, false}, Row{1, true}, Row{0.5, false}}) {
        SCOPED_TRACE(row.cd);
        Model m = ClosedWithMoneyShock();
        m.Periods.LeftEdge = 0;
        m.Periods.CurrentPeriod = 3;
        const double now = DomesticSpendingPropensity(m, 3);
        SetAll(m, {{par::mY, m.GetPar(3, par::mY) + now - row.cd}});
        ASSERT_EQ(row.cd, DomesticSpendingPropensity(m, 3));
        const auto notices = DerivationNotices(m, DerivationKind::IS);
        // Both edges carry the propensity: two notices, the left edge first.
        ASSERT_EQ(row.infinite ? 2u : 0u, notices.size());
        if (row.infinite) {
            EXPECT_NE(std::string::npos, notices[0].find("linken Analyserand"));
            EXPECT_NE(std::string::npos, notices[1].find("aktuelle Periode"));
        }
        const auto axes = Axes(m, DerivationKind::IS);
        // With or without IS lines, the income axis reaches the solved income.
        EXPECT_GE(DerivationRanges(m, DerivationKind::IS)[2].XMax, 1.1 * m.GetVar(3, var::Y));
        const ConstructionPoint c = Construct(m, DerivationKind::IS, 2.0);
        EXPECT_EQ(!row.infinite, c.Valid);
        if (!row.infinite) ExpectNear(c.Autonomous / (1 - row.cd), c.Income, "multiplier");
        const auto plots = DerivationPlots(m, DerivationKind::IS, {true, true, true}, axes);
        EXPECT_EQ(!row.infinite, Find(plots[2], "IS(3)") != nullptr);
        EXPECT_EQ(!row.infinite, Find(plots[2], "P1") != nullptr);
    }
    // The other derivations have nothing to say.
    Model m = ClosedWithMoneyShock();
    SetAll(m, {{par::mY, m.GetPar(0, par::mY) + DomesticSpendingPropensity(m, 0) - 1}});
    EXPECT_TRUE(DerivationNotices(m, DerivationKind::LM).empty());
}

// Autonomous net demand below zero takes the demand quadrant below the rate quadrant's floor;
// the drop from the 45° line ends on its own.
TEST(Derivations, ISDropEndsOnTheDemandQuadrantsFloor) {
    Model m = OpenWithFiscalShock();
    SetAll(m, {{par::ImAut, 2000}});
    const auto axes = Axes(m, DerivationKind::IS);
    ASSERT_LT(axes[1].YMin, axes[0].YMin);
    const auto plots = DerivationPlots(m, DerivationKind::IS, {true, true, false}, axes);
    for (const Curve& c : plots[1].Curves)
        if (c.Style == CurveStyle::Path) {
            EXPECT_EQ(c.Points.back().Y, axes[1].YMin);
        }
}

TEST(Derivations, LMWithoutInterestResponseConstructsAtThirdsOfTheLimitIncome) {
    Model m = ClosedWithMoneyShock();
    m.Periods.CurrentPeriod = 10;
    SetAll(m, {{par::li, 0}});
    const double ym = m.GetVar(10, var::M) / m.GetPar(10, par::lY);
    const auto axes = Axes(m, DerivationKind::LM);
    const auto levels = ConstructionLevels(m, DerivationKind::LM, axes);
    ExpectNear(ym / 3, levels[0], "income 1");
    ExpectNear(2 * ym / 3, levels[1], "income 2");
    const auto plots = DerivationPlots(m, DerivationKind::LM, {false, false, false}, axes);
    const Curve* ls = Find(plots[2], "LS(10)");
    ASSERT_TRUE(ls);
    ASSERT_EQ(2u, ls->Points.size());
    EXPECT_EQ(m.GetPar(10, par::LAut), ls->Points[0].X);
    EXPECT_EQ(ls->Points[0].X, ls->Points[1].X);
}

// Without a rate response of demand (IS) or of capital flows (Z) the points sit at a third
// and two thirds of the result quadrant's rate axis.
TEST(Derivations, WithoutRateResponseLevelsAreThirdsOfTheRateAxis) {
    std::array<AxisRange, 4> axes{};
    for (AxisRange& a : axes)
        a.YMax = 9;
    Model is = OpenWithFiscalShock(), z = is;
    SetAll(is, {{par::br, 0}, {par::cr, 0}});
    SetAll(z, {{par::kdi, 0}});
    const std::array<double, 2> thirds{3, 6};
    EXPECT_EQ(ConstructionLevels(is, DerivationKind::IS, axes), thirds);
    EXPECT_EQ(ConstructionLevels(z, DerivationKind::Z, axes), thirds);
}

TEST(Derivations, ReferenceLinesOnlyWhenTheLeftEdgeDiffers) {
    Model m = ClosedWithMoneyShock();
    m.Periods.LeftEdge = 0;
    for (int c : {0, 7}) {
        m.Periods.CurrentPeriod = c;
        const auto plots = DerivationPlots(m, DerivationKind::LM, {}, Axes(m, DerivationKind::LM));
        EXPECT_EQ(c == 0 ? 1u : 2u, plots[0].Curves.size());
        if (c != 0) {
            EXPECT_EQ(CurveStyle::Reference, Find(plots[0], "LT(0)")->Style);
        }
        EXPECT_EQ(CurveStyle::Current, Find(plots[0], "LT(" + std::to_string(c) + ")")->Style);
        // Without the curve button the result quadrant stays empty.
        EXPECT_TRUE(plots[3].Curves.empty());
    }
}

} // namespace

// Large capital imports make the balancing rate at income 0 negative: the construction
// starts at rate 0, so both levels lie at or above 0, a third and two thirds of the way up
// to the balancing rate at the right edge or the top of the rate axis, whichever is lower.
TEST(Derivations, ZLevelsStartAtRateZeroWhenTheBalancingRateIsNegative) {
    for (double capitalImports : {10.0, 80.0}) {
        SCOPED_TRACE("NK,aut " + std::to_string(capitalImports));
        Model m = OpenFlexibleModel();
        SetAll(m, {{par::NKAut, capitalImports}});
        m = Solved(m);
        const int t = m.Periods.CurrentPeriod = 100;
        const auto axes = Axes(m, DerivationKind::Z);
        ASSERT_LT(BalancingRate(m, t, 0), 0);
        const double top = std::min(BalancingRate(m, t, axes[3].XMax), axes[3].YMax);
        ASSERT_GT(top, 0);
        const auto levels = ConstructionLevels(m, DerivationKind::Z, axes);
        ExpectNear(top / 3, levels[0], "first rate");
        ExpectNear(2 * top / 3, levels[1], "second rate");
        for (double i : levels)
            EXPECT_TRUE(Construct(m, DerivationKind::Z, i).Valid) << i;
        EXPECT_FALSE(
            Construct(m, DerivationKind::Z, std::numeric_limits<double>::infinity()).Valid);
    }
}

// Each quadrant names its axes; the enlarged view adds the title a neighbour carries otherwise.
TEST(Derivations, QuadrantAxisTitles) {
    const std::string nominal = "Nominal Interest Rate (i)#%", real = "Real Interest Rate#%";
    const std::string capital = "Capital Account Surplus (NK)#", trade = "Trade Balance (AB)#";
    const struct {
        DerivationKind kind;
        int quadrant;
        bool enlarged;
        std::string x, y;
    } rows[] = {
        {DerivationKind::LM, 1, true, "Income#", "Transactions Balances#"},
        {DerivationKind::LM, 1, false, "", "Transactions Balances#"},
        {DerivationKind::LM, 2, false, "Speculative Balances#", "Transactions Balances#"},
        {DerivationKind::LM, 3, false, "Speculative Balances#", nominal},
        {DerivationKind::LM, 4, false, "Income#", nominal},
        {DerivationKind::Z, 1, true, capital, nominal},
        {DerivationKind::Z, 1, false, "", nominal},
        {DerivationKind::Z, 2, false, capital, trade},
        {DerivationKind::Z, 3, false, "Income (Y)#", trade},
        {DerivationKind::Z, 4, true, "Income (Y)#", nominal},
        {DerivationKind::Z, 4, false, "", nominal},
        {DerivationKind::IS, 1, false, "not income-induced Net Demand#", real},
        {DerivationKind::IS, 2, true, "Income#", "Net Demand (D)#"},
        {DerivationKind::IS, 2, false, "", "Net Demand (D)#"},
        {DerivationKind::IS, 3, false, "Income (Y)#", real},
    };
    for (const auto& r : rows) {
        const QuadrantTitles t = TitlesOf(r.kind, r.quadrant, r.enlarged, 2);
        EXPECT_EQ(t.X, r.x) << int(r.kind) << " " << r.quadrant;
        EXPECT_EQ(t.Y, r.y) << int(r.kind) << " " << r.quadrant;
    }
}

// The quadrants' ranges and the construction levels of five models, pinned: closed, open
// with a fiscal shock, flooded with money (rate 0), and without an interest response below a
// low floor (rate axis to 15), and one whose autonomous demand turns negative.
TEST(Derivations, RangesAndConstructionLevelsOfKnownModels) {
    const Model closed = ClosedWithMoneyShock(), open = OpenWithFiscalShock();
    Model floor = closed;
    SetAll(floor, {{par::li, 0}, {par::iu, 0.5}});
    Model flooded = ClosedISLMModel(); // so much money that the rate stays at 0
    SetAll(flooded, {{par::MNAut, 1300}});
    flooded = Solved(flooded);
    // A file may hold demand that rises with the rate, and faster than income.
    Model perverse = closed;
    SetAll(perverse, {{par::br, -1000}, {par::cY, 1.5}});
    const struct {
        const Model& m;
        DerivationKind kind;
        std::array<AxisRange, 4> ranges;
        std::array<double, 2> levels;
    } rows[] = {
        {closed,
         DerivationKind::LM,
         {{{0, 1452, 0, 660}, {0, 660, 0, 660}, {0, 660, 0, 5.5}, {0, 1452, 0, 5.5}}},
         {1066.666667, 1133.333333}},
        {open,
         DerivationKind::LM,
         {{{0, 1178.571429, 0, 535.7142857},
           {0, 535.7142857, 0, 535.7142857},
           {0, 535.7142857, 0, 7.333333333},
           {0, 1178.571429, 0, 7.333333333}}},
         {938.0952381, 1004.761905}},
        {open,
         DerivationKind::IS,
         {{{0, 573.3543336, 0, 52.12312124},
           {0, 1092.103493, 0, 1092.103493},
           {0, 1092.103493, 0, 52.12312124},
           {0, 1, 0, 1}}},
         {15.33927137, 30.67854275}},
        {open,
         DerivationKind::Z,
         {{{-144.9971059, 144.9971059, -3.090777543, 4.932071857},
           {-144.9971059, 144.9971059, -144.9971059, 144.9971059},
           {0, 1388.155509, -144.9971059, 144.9971059},
           {0, 1388.155509, -3.090777543, 4.932071857}}},
         {1.666666667, 3.333333333}},
        {closed,
         DerivationKind::IS,
         {{{0, 495, 0, 35.35714286},
           {0, 1414.285714, 0, 1414.285714},
           {0, 1414.285714, 0, 35.35714286},
           {0, 1, 0, 1}}},
         {10.71428571, 21.42857143}},
        {closed,
         DerivationKind::Z,
         {{{-1.1, 1.1, 0, 3.928571244},
           {-1.1, 1.1, -1.1, 1.1},
           {0, 1323.142857, -1.1, 1.1},
           {0, 1323.142857, 0, 3.928571244}}},
         {1.333333333, 2.666666667}},
        {perverse,
         DerivationKind::IS,
         {{{-4227.142664, 2836.59563, 0, 4.244119141},
           {0, 16908.57066, -330.7857143, 16908.57066},
           {0, 16908.57066, 0, 4.244119141},
           {0, 1, 0, 1}}},
         {1.286094994, 2.572189989}},
        {flooded,
         DerivationKind::Z,
         {{{-1.1, 1.1, 0, 1.1},
           {-1.1, 1.1, -1.1, 1.1},
           {0, 1414.285714, -1.1, 1.1},
           {0, 1414.285714, 0, 1.1}}},
         {0.6666666667, 1.333333333}},
        {floor,
         DerivationKind::LM,
         {{{0, 1452, 0, 660}, {0, 660, 0, 660}, {0, 660, 0, 15}, {0, 1452, 0, 15}}},
         {400, 800}},
    };
    auto near = [](double expected, double actual) {
        EXPECT_NEAR(expected, actual, 1e-8 * std::max(1.0, std::fabs(expected)));
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(int(r.kind));
        const auto ranges = DerivationRanges(r.m, r.kind);
        for (int k = 0; k < 4; ++k) {
            near(r.ranges[k].XMin, ranges[k].XMin);
            near(r.ranges[k].XMax, ranges[k].XMax);
            near(r.ranges[k].YMin, ranges[k].YMin);
            near(r.ranges[k].YMax, ranges[k].YMax);
        }
        const auto levels = ConstructionLevels(r.m, r.kind, Axes(r.m, r.kind));
        near(r.levels[0], levels[0]);
        near(r.levels[1], levels[1]);
    }
    // Rate responses adding up to one: the rate axis still reaches where demand vanishes.
    Model unit = closed;
    SetAll(unit, {{par::br, 0.5}, {par::cr, 0.5}});
    near(480.4392107, DerivationRanges(unit, DerivationKind::IS)[0].YMax);
    // A model of zeros still gets axes with room in every quadrant.
    for (DerivationKind kind : {DerivationKind::LM, DerivationKind::IS, DerivationKind::Z})
        for (const AxisRange& a : DerivationRanges(Model{}, kind))
            EXPECT_TRUE(a.XMax > a.XMin && a.YMax > a.YMin) << int(kind);
    // Headroom goes only on an income the money reaches, not on the unit floor.
    const auto empty = DerivationRanges(Model{}, DerivationKind::LM);
    EXPECT_EQ(empty[0].XMax, 1);
    EXPECT_EQ(empty[1].XMax, 1); // money axis 0..1
}
