// The curves of the income-interest and income-expenditure diagrams against closed forms
// written out from the parameters, and IS meeting LM at the solved income and rate.

#include "TestModels.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/ModelFile.h"
#include "views/DiagramExport.h"
#include "views/IncomeDiagrams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

using namespace tv;
using namespace tv::test;

namespace {

const Curve* Find(const Plot& p, const std::string& name) {
    for (const Curve& c : p.Curves)
        if (c.Name == name) return &c;
    return nullptr;
}

void ExpectNear(double expected, double actual, const std::string& what) {
    EXPECT_NEAR(expected, actual, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

// Where the line through a, b meets the line through c, d.
CurvePoint Intersection(CurvePoint a, CurvePoint b, CurvePoint c, CurvePoint d) {
    const double d1x = b.X - a.X, d1y = b.Y - a.Y, d2x = d.X - c.X, d2y = d.Y - c.Y;
    const double s = ((c.X - a.X) * d2y - (c.Y - a.Y) * d2x) / (d1x * d2y - d1y * d2x);
    return {a.X + s * d1x, a.Y + s * d1y};
}

// The IS income at real rate r, written out for models whose households spend from
// expected disposable income with one tax rate and without transfers.
double ClosedFormIS(const Model& m, int t, double r) {
    auto p = [&](int n) { return m.GetPar(t, n); };
    const double e = m.GetVar(t, var::e);
    const double spend = p(par::cY) * (1 - p(par::tY)) + p(par::bY) - p(par::mY);
    double autonomous =
        p(par::CAut) + p(par::IAut) + p(par::GAut) + p(par::ExAut) - p(par::ImAut) + p(par::xe) * e;
    if (p(par::me) != 0) autonomous -= p(par::me) / e;
    return (autonomous - (p(par::cr) + p(par::br)) * r) / (1 - spend);
}

double ClosedFormLM(const Model& m, int t, double y) {
    auto p = [&](int n) { return m.GetPar(t, n); };
    return (p(par::lY) * y + p(par::LAut) - m.GetVar(t, var::M)) / p(par::li);
}

struct Case {
    const char* name;
    std::function<Model()> make;
    std::vector<int> periods; // stationary periods: IS meets LM at the solution
};

Model Solved(Model m) {
    SilentHost host;
    Solve(m, host);
    return m;
}

Model ClosedWithMoneyShock() {
    Model m = ClosedISLMModel();
    SetFrom(m, 5, {{par::MNAut, 660}});
    return Solved(m);
}

Model OpenWithFiscalShock() {
    Model m = OpenFlexibleModel();
    SetFrom(m, 5, {{par::GAut, 198}});
    return Solved(m);
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

class ISLM : public ::testing::TestWithParam<Case> {};

TEST_P(ISLM, CurvesEqualTheirClosedFormsAndMeetAtTheSolution) {
    Model m = GetParam().make();
    for (bool real : {false, true})
        for (int t : GetParam().periods) {
            SCOPED_TRACE(std::string(real ? "real" : "nominal") + " t = " + std::to_string(t));
            m.Periods.CurrentPeriod = t;
            IncomeInterestOptions o;
            o.RealRate = real;
            const Plot plot = IncomeInterestPlot(m, o, false);
            const double gp = m.GetVar(t, var::gPErw) / 100;
            auto show = [&](double i) { return real ? ((1 + i / 100) / (1 + gp) - 1) * 100 : i; };
            auto realOf = [&](double y) { return real ? y : ((1 + y / 100) / (1 + gp) - 1) * 100; };

            const Curve* is = Find(plot, "IS(" + std::to_string(t) + ")");
            ASSERT_TRUE(is);
            ASSERT_EQ(2u, is->Points.size());
            ExpectNear(plot.Axes.YMax, is->Points[0].Y, "IS top");
            ExpectNear(plot.Axes.YMin, is->Points[1].Y, "IS bottom");
            for (const CurvePoint& p : is->Points)
                ExpectNear(ClosedFormIS(m, t, realOf(p.Y)), p.X, "IS income");

            const Curve* lm = Find(plot, "LM(" + std::to_string(t) + ")");
            ASSERT_TRUE(lm);
            ASSERT_GE(lm->Points.size(), 3u);
            const double iu = m.GetPar(t, par::iu),
                         limit = m.GetPar(t, par::LAut) / m.GetPar(t, par::li);
            const double ym = m.GetVar(t, var::M) / m.GetPar(t, par::lY);
            ExpectNear(show(iu), lm->Points[0].Y, "LM floor");
            EXPECT_EQ(0, lm->Points[0].X); // the floor from income 0
            ExpectNear(show(iu), lm->Points[1].Y, "LM kink");
            ExpectNear(show(ClosedFormLM(m, t, lm->Points[1].X)), lm->Points[1].Y, "LM at kink");
            ExpectNear(ym, lm->Points[2].X, "LM speculation limit income");
            ExpectNear(show(limit), lm->Points[2].Y, "LM speculation limit rate");

            const CurvePoint meet =
                Intersection(is->Points[0], is->Points[1], lm->Points[1], lm->Points[2]);
            // Within the accuracy the solution was searched with.
            EXPECT_NEAR(m.GetVar(t, var::Y), meet.X, 1e-5 * m.GetVar(t, var::Y));
            EXPECT_NEAR(show(m.GetVar(t, var::i)), meet.Y, 1e-4);
        }
}

// The numbers the batch tool and the context menu give: the same lines, for a period asked
// for rather than the model's current one.
TEST_P(ISLM, ExportedLinesEqualClosedFormsAndMeetAtTheSolution) {
    Model m = GetParam().make();
    for (int t : GetParam().periods) {
        SCOPED_TRACE("t = " + std::to_string(t));
        const DiagramResult r = ComputeDiagramNumbers(m, "is-lm", {t, 0, DefaultDiagramRaster});
        ASSERT_TRUE(r.Ok) << r.Error;
        EXPECT_EQ(r.Numbers.Diagram, "is-lm"); // the saved file's stem
        auto find = [&](const std::string& name) -> const ExportedCurve* {
            for (const ExportedCurve& c : r.Numbers.Curves)
                if (c.Name == name + "(" + std::to_string(t) + ")") return &c;
            return nullptr;
        };
        const ExportedCurve *is = find("IS"), *lm = find("LM");
        ASSERT_TRUE(is && lm);
        ASSERT_EQ(2u, is->Points.size());
        ASSERT_GE(lm->Points.size(), 3u);
        for (const CurvePoint& p : is->Points)
            ExpectNear(ClosedFormIS(
                           m, t, ((1 + p.Y / 100) / (1 + m.GetVar(t, var::gPErw) / 100) - 1) * 100),
                       p.X, "IS income");
        ExpectNear(ClosedFormLM(m, t, lm->Points[1].X), lm->Points[1].Y, "LM at kink");
        ExpectNear(ClosedFormLM(m, t, lm->Points[2].X), lm->Points[2].Y, "LM at limit");
        const CurvePoint meet =
            Intersection(is->Points[0], is->Points[1], lm->Points[1], lm->Points[2]);
        EXPECT_NEAR(m.GetVar(t, var::Y), meet.X, 1e-5 * m.GetVar(t, var::Y));
        EXPECT_NEAR(m.GetVar(t, var::i), meet.Y, 1e-4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Models, ISLM,
    ::testing::Values(
        Case{"ClosedMoneyShock", ClosedWithMoneyShock, {0, 4, 100}},
        Case{"OpenFlexibleFiscalShock", OpenWithFiscalShock, {0, 100}},
        Case{"BondMarketWithPrices", [] { return Solved(BondMarketModel()); }, {0}},
        Case{"ExampleClosed", [] { return FromExample("02-closed-is-lm.TV5"); }, {0, 100}},
        Case{"ExampleOpenFlexible",
             [] { return FromExample("05-open-flexible-rates.TV5"); },
             {0, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IncomeInterest, ZIsTheExternalBalanceAndVerticalWithoutCapitalFlows) {
    Model m = OpenWithFiscalShock();
    m.Periods.CurrentPeriod = 100;
    const int t = 100;
    IncomeInterestOptions o;
    const Plot plot = IncomeInterestPlot(m, o, false);
    const Curve* z = Find(plot, "Z(100)");
    ASSERT_TRUE(z);
    auto p = [&](int n) { return m.GetPar(t, n); };
    const double e = m.GetVar(t, var::e);
    for (const CurvePoint& q : z->Points) {
        const double trade =
            p(par::ExAut) + p(par::xe) * e - p(par::mY) * q.X - p(par::ImAut) - p(par::me) / e;
        const double capital = p(par::NKAut) - p(par::iA) * p(par::kdi);
        ExpectNear((-trade - capital) / p(par::kdi), q.Y, "Z rate");
    }
    // Flexible rates balance the external account: Z runs through the solution.
    const double atY = z->Points[0].Y + (z->Points[1].Y - z->Points[0].Y) /
                                            (z->Points[1].X - z->Points[0].X) *
                                            (m.GetVar(t, var::Y) - z->Points[0].X);
    EXPECT_NEAR(m.GetVar(t, var::i), atY, 1e-6);

    SetAll(m, {{par::kdi, 0}});
    const Plot degenerate = IncomeInterestPlot(m, o, false);
    const Curve* vertical = Find(degenerate, "Z(100)");
    ASSERT_TRUE(vertical);
    EXPECT_EQ(vertical->Points[0].X, vertical->Points[1].X);
    // Where trade and the autonomous capital flow balance.
    const double trade0 = p(par::ExAut) + p(par::xe) * e - p(par::ImAut) - p(par::me) / e;
    EXPECT_NEAR(vertical->Points[0].X, (trade0 + p(par::NKAut)) / p(par::mY), 1e-9);
    SetAll(m, {{par::mY, 0}});
    EXPECT_FALSE(Find(IncomeInterestPlot(m, o, false), "Z(100)"));
}

TEST(IncomeInterest, ReferencePathAndWageRounds) {
    Model m = ClosedWithMoneyShock();
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 9;
    IncomeInterestOptions o;
    Plot plot = IncomeInterestPlot(m, o, false);
    ASSERT_TRUE(Find(plot, "IS(0)"));
    EXPECT_EQ(CurveStyle::Reference, Find(plot, "LM(0)")->Style);
    EXPECT_EQ(CurveStyle::Current, Find(plot, "LM(9)")->Style);
    const Curve* path = Find(plot, "Pfad");
    ASSERT_TRUE(path);
    ASSERT_EQ(10u, path->Points.size());
    for (int t = 0; t <= 9; ++t) {
        EXPECT_EQ(m.GetVar(t, var::Y), path->Points[t].X);
        EXPECT_EQ(m.GetVar(t, var::i), path->Points[t].Y);
    }
    ASSERT_EQ(2u, plot.Marks.size());
    EXPECT_EQ(MarkShape::Circle, plot.Marks[0].Shape);
    EXPECT_EQ(m.GetVar(9, var::Y), plot.Marks[1].X);

    // Wage rounds of four: periods 0, 4 and 8 only.
    m.Switch[23] = 4;
    o.WageRounds = true;
    path = Find(plot = IncomeInterestPlot(m, o, false), "Pfad");
    ASSERT_TRUE(path);
    ASSERT_EQ(3u, path->Points.size());
    EXPECT_EQ(m.GetVar(8, var::Y), path->Points[2].X);
    m.Periods.LeftEdge = 1; // the first round within the interval starts at 4
    path = Find(plot = IncomeInterestPlot(m, o, false), "Pfad");
    ASSERT_TRUE(path);
    EXPECT_EQ(m.GetVar(4, var::Y), path->Points[0].X);

    // With the left edge at the current period there is nothing to refer to.
    m.Periods.LeftEdge = 9;
    plot = IncomeInterestPlot(m, o, false);
    EXPECT_FALSE(Find(plot, "IS(0)") || Find(plot, "IS(9)") == nullptr);
    for (const Curve& c : plot.Curves)
        EXPECT_NE(CurveStyle::Reference, c.Style) << c.Name;
    EXPECT_EQ(1u, plot.Marks.size());
}

TEST(IncomeInterest, OnlyAPropensityOfExactlyOneMakesTheMultiplierInfinite) {
    struct Row {
        double cY;
        bool infinite;
    };
    for (Row row : {Row{1, true}, Row{-1, false}, Row{0.999999, false}}) {
        Model m = KeynesianModel();
        SetAll(m, {{par::cY, row.cY}});
        m.Periods.LeftEdge = 0;
        m.Periods.CurrentPeriod = 3;
        SCOPED_TRACE(row.cY);
        EXPECT_EQ(row.infinite, InfiniteMultiplier(m, 3));
        const auto notices = InfiniteMultiplierNotices(m);
        const Plot plot = IncomeInterestPlot(m, {}, false);
        EXPECT_EQ(row.infinite, Find(plot, "IS(3)") == nullptr);
        ASSERT_EQ(row.infinite ? 2u : 0u, notices.size());
        if (row.infinite) {
            EXPECT_NE(std::string::npos, notices[0].find("linken Analyserand"));
            EXPECT_NE(std::string::npos, notices[0].find("t = 0."));
            EXPECT_NE(std::string::npos, notices[1].find("aktuelle Periode"));
            EXPECT_NE(std::string::npos, notices[1].find("t = 3."));
        }
    }
}

TEST(IncomeInterest, DegenerateMoneyDemandStaysFinite) {
    Model m = ClosedWithMoneyShock();
    m.Periods.CurrentPeriod = 10;
    // Without interest response the LM is the floor up to the income the money can carry,
    // then vertical; without an income response it is flat.
    SetAll(m, {{par::li, 0}});
    Plot plot = IncomeInterestPlot(m, {}, false);
    const Curve* lm = Find(plot, "LM(10)");
    ASSERT_TRUE(lm);
    ASSERT_EQ(3u, lm->Points.size());
    ExpectNear((m.GetVar(10, var::M) - m.GetPar(10, par::LAut)) / m.GetPar(10, par::lY),
               lm->Points[1].X, "vertical LM");
    EXPECT_EQ(lm->Points[1].X, lm->Points[2].X);
    // Speculative demand that ends below the floor: the floor runs just up to the vertical.
    SetAll(m, {{par::li, 20}, {par::LAut, 0}});
    lm = Find(plot = IncomeInterestPlot(m, {}, false), "LM(10)");
    ASSERT_TRUE(lm);
    ASSERT_EQ(3u, lm->Points.size());
    EXPECT_EQ(0, lm->Points[0].X);
    EXPECT_EQ(lm->Points[1].X, lm->Points[2].X);
    SetAll(m, {{par::lY, 0}, {par::li, 20}});
    const RangeSets r = IncomeInterestRanges(m);
    for (double v : {r.Fixed.XMin, r.Fixed.XMax, r.Fixed.YMin, r.Fixed.YMax})
        EXPECT_TRUE(std::isfinite(v));
    lm = Find(plot = IncomeInterestPlot(m, {}, false), "LM(10)");
    ASSERT_TRUE(lm);
    ASSERT_EQ(lm->Points.size(), 2u);
    EXPECT_EQ(lm->Points[0].Y, lm->Points[1].Y);
    for (const CurvePoint& p : lm->Points)
        EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
}

// Where the speculation limit (5 %) is the axis top, LM and LF end there: no piece of no length.
TEST(IncomeInterest, LinesEndAtASpeculationLimitOnTheAxisTop) {
    Model m = ClosedWithMoneyShock();
    IncomeInterestOptions o;
    o.LF = true;
    const Plot plot = IncomeInterestCurves(m, o, {0, 2000, 0, 5});
    const std::string t = std::to_string(m.Periods.CurrentPeriod);
    for (const char* line : {"LM(", "LF("}) {
        const Curve* c = Find(plot, line + t + ")");
        ASSERT_TRUE(c) << line;
        EXPECT_EQ(c->Points.size(), 3u) << line;
    }
}

TEST(IncomeExpenditure, GoodsAndCapitalLinesEqualTheirClosedForms) {
    Model m = OpenWithFiscalShock();
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 100;
    const int t = 100;
    auto p = [&](int n) { return m.GetPar(t, n); };
    const double e = m.GetVar(t, var::e), y = m.GetVar(t, var::Y);
    const double cn = p(par::cY) * (1 - p(par::tY)) + p(par::bY);
    for (bool gross : {false, true}) {
        IncomeExpenditureOptions o;
        o.Gross = gross;
        const AxisRange axes = AxesFor(GoodsMarketRanges(m, o), false);
        const Plot goods = GoodsMarketCurves(m, o, axes);
        // Demand (above income in an open economy) and income share one axis scale; the
        // capital panel below shows the same incomes.
        for (bool autoRange : {false, true}) {
            const AxisRange a = AxesFor(GoodsMarketRanges(m, o), autoRange);
            EXPECT_TRUE(a.XMin == a.YMin && a.XMax == a.YMax);
        }
        EXPECT_EQ(axes.XMax, AxesFor(CapitalMarketRanges(m), false).XMax);
        if (!gross) {
            // Net demand meets the 45 degree line at the solved income.
            const Curve* d = Find(goods, "D(100)");
            ASSERT_TRUE(d);
            const double slope =
                (d->Points[1].Y - d->Points[0].Y) / (d->Points[1].X - d->Points[0].X);
            ExpectNear(cn - p(par::mY), slope, "net propensity");
            EXPECT_NEAR(y, d->Points[0].Y + slope * y, 1e-6 * y);
            const Curve* diagonal = Find(goods, "45°");
            ASSERT_TRUE(diagonal);
            ASSERT_EQ(diagonal->Points.size(), 2u);
            EXPECT_TRUE(diagonal->Points[0].X == 0 && diagonal->Points[0].Y == 0);
            EXPECT_TRUE(diagonal->Points[1].X == axes.YMax && diagonal->Points[1].Y == axes.YMax);
        } else {
            const Curve* x = Find(goods, "X(100)");
            const Curve* n = Find(goods, "N(100)");
            ASSERT_TRUE(x && n);
            for (const CurvePoint& q : x->Points)
                ExpectNear(q.X + p(par::mY) * q.X + p(par::ImAut) + p(par::me) / e, q.Y, "supply");
            const double slope =
                (n->Points[1].Y - n->Points[0].Y) / (n->Points[1].X - n->Points[0].X);
            ExpectNear(cn, slope, "gross propensity");
            // Gross demand equals supply at the solution.
            EXPECT_NEAR(y + p(par::mY) * y + p(par::ImAut) + p(par::me) / e,
                        n->Points[0].Y + slope * (y - n->Points[0].X), 1e-6 * y);
        }
        ASSERT_TRUE(Find(goods, "Pfad"));
        EXPECT_EQ(goods.Curves.size(), gross ? 5u : 4u); // both periods' lines and the path
        EXPECT_EQ(goods.Marks.size(), 2u);               // where the path starts and ends
        EXPECT_TRUE(goods.Axes.XMax == axes.XMax && goods.Axes.YMax == axes.YMax);
    }
    IncomeExpenditureOptions o;
    const Plot capital = CapitalMarketCurves(m, o, AxesFor(CapitalMarketRanges(m), false));
    const Curve* supply = Find(capital, "dKA(100)");
    const Curve* demand = Find(capital, "dKN(100)");
    ASSERT_TRUE(supply && demand && Find(capital, "dKA(0)"));
    EXPECT_EQ(capital.Curves.size(), 4u);
    // Saving plus budget surplus equals investment plus net exports at the solved income.
    auto at = [&](const Curve* c) {
        return c->Points[0].Y + (c->Points[1].Y - c->Points[0].Y) /
                                    (c->Points[1].X - c->Points[0].X) * (y - c->Points[0].X);
    };
    EXPECT_NEAR(at(supply), at(demand), 1e-6 * y);
}

TEST(IncomeExpenditure, PathStepsAsProducersPlan) {
    Model m = KeynesianModel();
    SetFrom(m, 5, {{par::GAut, 110}});
    m = Solved(m);
    m.Periods.LeftEdge = 4;
    m.Periods.CurrentPeriod = 7;
    IncomeExpenditureOptions o;
    o.Gross = true;
    for (int method : {1, 2}) {
        m.Expect[3].Method = static_cast<uint8_t>(method);
        const Plot goods = GoodsMarketCurves(m, o, {0, 2000, 0, 2000});
        const Curve* path = Find(goods, "Pfad");
        ASSERT_TRUE(path);
        ASSERT_EQ(7u, path->Points.size());
        // After each step the path stands on a solved point: supply first, or demand first.
        for (int k = 0; k < 3; ++k) {
            const int t = 5 + k;
            const CurvePoint q = path->Points[2 + 2 * k];
            EXPECT_EQ(m.GetVar(t, var::Y), q.X);
            EXPECT_EQ(m.GetVar(t, method == 1 ? var::X : var::N), q.Y);
            EXPECT_EQ(path->Points[1 + 2 * k].X,
                      method == 1 ? m.GetVar(t - 1, var::Y) : m.GetVar(t, var::Y));
            EXPECT_EQ(path->Points[1 + 2 * k].Y, m.GetVar(t, method == 1 ? var::N : var::X));
        }
    }
    // With no step yet there is only the start mark, no path.
    m.Periods.CurrentPeriod = 4;
    EXPECT_FALSE(Find(GoodsMarketCurves(m, o, {0, 2000, 0, 2000}), "Pfad"));
}

// Each curve's name and where its labels sit: segment and S(tart), E(nd), N (entry), X (exit).
std::string LabelsOf(const Plot& plot) {
    std::string out;
    for (const Curve& c : plot.Curves) {
        out += (out.empty() ? "" : " ") + c.Name + ":";
        for (const CurveLabel& l : c.Labels)
            out += std::to_string(l.Segment) + "SENX"[static_cast<int>(l.At)];
    }
    return out;
}

// The reference curves are named at their start, the current ones at their end; the
// current LM on each piece where it leaves the plot.
TEST(IncomeDiagramLabels, ReferenceAtTheStartCurrentAtTheEnd) {
    Model m = OpenWithFiscalShock();
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 100;
    IncomeInterestOptions o;
    o.LF = true;
    IncomeExpenditureOptions gross;
    gross.Gross = true;
    const AxisRange axes = AxesFor(GoodsMarketRanges(m, gross), false);
    EXPECT_EQ(LabelsOf(IncomeInterestPlot(m, o, false)),
              "IS(0):0E LM(0):0S1N Z(0):0S LF(0):2E "
              "IS(100):0S LM(100):0X1X2E Z(100):0E LF(100):2E Pfad:");
    EXPECT_EQ(LabelsOf(GoodsMarketCurves(m, gross, axes)),
              "X(0):0S N(0):0S X(100):0E N(100):0E Pfad:");
    EXPECT_EQ(LabelsOf(GoodsMarketCurves(m, {}, AxesFor(GoodsMarketRanges(m, {}), false))),
              "45\xC2\xB0: D(0):0S D(100):0E Pfad:");
    EXPECT_EQ(LabelsOf(CapitalMarketCurves(m, gross, axes)),
              "dKA(0):0S dKN(0):0S dKA(100):0E dKN(100):0E");
}

} // namespace

TEST(EquilibriumFrame, HoldsThePointsWithAQuarterMarginAndANearVerticalLine) {
    const double nan = std::nan("");
    struct Case {
        const char* name;
        FrameContent content;
        AxisRange expected;
    } cases[] = {
        {"two points", {{{100, 1}, {140, 3}}, std::nullopt}, {90, 150, 0.5, 3.5}},
        {"one point", {{{1000, 5}, {nan, 9}}, std::nullopt}, {900, 1100, 4, 6}},
        {"a hair apart",
         {{{1000, 5}, {1000.0000005, 5}}, std::nullopt},
         {899.99999995, 1100.00000055, 4, 6}},
        {"a few hairs apart",
         {{{1000, 5}, {1000.000005, 5}}, std::nullopt},
         {999.99999875, 1000.00000625, 4, 6}},
        {"capacity near", {{{100, 1}, {140, 3}}, 155.0}, {90, 160, 0.5, 3.5}},
        {"capacity far", {{{100, 1}, {140, 3}}, 300.0}, {90, 150, 0.5, 3.5}},
        {"capacity just too far", {{{100, 1}, {140, 3}}, 165.0}, {90, 150, 0.5, 3.5}},
        {"capacity at the edge", {{{100, 1}, {140, 3}}, 160.0}, {90, 165, 0.5, 3.5}},
        {"capacity near the left", {{{100, 1}, {140, 3}}, 85.0}, {80, 150, 0.5, 3.5}},
    };
    for (const Case& c : cases) {
        const std::optional<AxisRange> r = FrameAround(c.content);
        ASSERT_TRUE(r) << c.name;
        EXPECT_DOUBLE_EQ(r->XMin, c.expected.XMin) << c.name;
        EXPECT_DOUBLE_EQ(r->XMax, c.expected.XMax) << c.name;
        EXPECT_DOUBLE_EQ(r->YMin, c.expected.YMin) << c.name;
        EXPECT_DOUBLE_EQ(r->YMax, c.expected.YMax) << c.name;
    }
    EXPECT_FALSE(FrameAround({{{nan, 1}}, std::nullopt}));
}

// The path's points, the marks, then where two curves of one style, current or reference,
// cross; lines that would cross only beyond a segment's end do not count.
TEST(EquilibriumFrame, PointsArePathMarksAndCrossings) {
    Plot plot;
    auto add = [&plot](CurveStyle style, CurvePoint a, CurvePoint b) {
        plot.Curves.push_back({"", style, {a, b}, {}});
    };
    add(CurveStyle::Current, {-1, -1}, {4, 4});
    add(CurveStyle::Current, {0, 4}, {4, 0});
    add(CurveStyle::Current, {2, -1}, {2, -0.5}); // on both lines, but below their ends
    add(CurveStyle::Reference, {-1, 1}, {4, 1});
    add(CurveStyle::Reference, {1, 0}, {1, 4});
    add(CurveStyle::Guide, {0, 3}, {4, 3});
    add(CurveStyle::Guide, {3, 0}, {3, 4});
    add(CurveStyle::Path, {7, 7}, {8, 8});
    plot.Marks.push_back({MarkShape::Cross, 9, 9});
    std::ostringstream points;
    for (const CurvePoint& p : EquilibriumPoints(plot))
        points << p.X << "," << p.Y << " ";
    EXPECT_EQ(points.str(), "7,7 8,8 9,9 2,2 1,1 ");
}

TEST(EquilibriumFrame, HoldsWhereTheCurvesOfEachShownPeriodCross) {
    Model m = ClosedWithMoneyShock();
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 9;
    const std::vector<CurvePoint> points = EquilibriumPoints(IncomeInterestPlot(m, {}, false));
    for (int t : {0, 9}) {
        bool found = false;
        for (const CurvePoint& p : points)
            found = found || (std::fabs(p.X - m.GetVar(t, var::Y)) < 1e-4 * m.GetVar(t, var::Y) &&
                              std::fabs(p.Y - m.GetVar(t, var::i)) < 1e-3);
        EXPECT_TRUE(found) << t;
    }
}

// Both range sets of the income-interest, goods (net and gross) and capital panels, pinned
// for a closed and an open model.
TEST(IncomeDiagramRanges, OfKnownModels) {
    IncomeExpenditureOptions gross;
    gross.Gross = true;
    const struct {
        Model m;
        AxisRange ranges[8]; // fixed and automatic of each panel
    } rows[] = {
        {ClosedWithMoneyShock(),
         {{0, 1333.2, 0, 5.05},
          {1131.428315, 1214.885714, 1.008054644, 3.607142687},
          {0, 1214.885714, 0, 1214.885714},
          {1131.428315, 1214.885714, 1131.428315, 1214.885714},
          {0, 1214.885714, 0, 1214.885714},
          {1131.428315, 1214.885714, 1131.428315, 1214.885714},
          {0, 1214.885714, -292.9677814, 198.9300917},
          {1131.428315, 1214.885714, 159.6036456, 198.9300917}}},
        {OpenWithFiscalShock(),
         {{0, 1082.142857, 0, 6.733333333},
          {916.7803039, 948.9343373, 1.802202056, 2.280142093},
          {0, 1097.046981, 0, 1097.046981},
          {916.7803039, 948.9343373, 916.7803039, 948.9343373},
          {0, 1097.046981, 0, 1097.046981},
          {916.7803039, 1097.485104, 916.7803039, 1097.485104},
          {0, 1097.046981, -269.1844466, 233.9490335},
          {916.7803039, 948.9343373, 166.2862473, 187.1839804}}},
    };
    for (const auto& r : rows) {
        const RangeSets sets[] = {IncomeInterestRanges(r.m), GoodsMarketRanges(r.m, {}),
                                  GoodsMarketRanges(r.m, gross), CapitalMarketRanges(r.m)};
        for (int k = 0; k < 8; ++k) {
            const AxisRange& a = k % 2 ? sets[k / 2].Auto : sets[k / 2].Fixed;
            const AxisRange& e = r.ranges[k];
            SCOPED_TRACE(k);
            for (auto [expected, actual] :
                 {std::pair{e.XMin, a.XMin}, {e.XMax, a.XMax}, {e.YMin, a.YMin}, {e.YMax, a.YMax}})
                ExpectNear(expected, actual, "range");
        }
    }
    // The fixed income axes reach an income at the right edge.
    Model late = ClosedWithMoneyShock();
    late.SetModelVar(late.Periods.RightEdge, var::Y, 5000);
    EXPECT_GE(GoodsMarketRanges(late, {}).Fixed.XMax, 5000);
    EXPECT_GE(IncomeInterestRanges(late).Fixed.XMax, 5000);
    // Incomes below one and no money: the fixed income axis still spans a unit.
    Model tiny = ClosedWithMoneyShock();
    tiny.ClearVariables();
    for (int t = tiny.Periods.LeftEdge; t <= tiny.Periods.RightEdge; ++t)
        tiny.SetModelVar(t, var::Y, 0.5);
    EXPECT_GE(IncomeInterestRanges(tiny).Fixed.XMax, 1);
    // Rates of 0 and no speculation limit: the fixed rate axis spans a unit, widened.
    SetAll(tiny, {{par::li, 0}});
    ExpectNear(1.01, IncomeInterestRanges(tiny).Fixed.YMax, "rate axis");
}

// Real and nominal rates convert by the expected inflation (Fisher, not the approximation).
TEST(IncomeInterest, RealAndNominalRates) {
    Model m = ClosedWithMoneyShock();
    m.SetModelVar(7, var::gPErw, 4);
    const double real = (1.05 / 1.04 - 1) * 100;
    ExpectNear(real, RealOfNominal(m, 7, 5), "real");
    ExpectNear(5, NominalOfReal(m, 7, real), "nominal");
    ExpectNear(-1.04 * 2 + 4, NominalOfReal(m, 7, -2), "nominal of a negative real rate");
}

// A floor above zero leaves the fixed rate axis starting at the origin.
TEST(IncomeDiagramRanges, FixedRateAxisStartsAtZero) {
    Model m = ClosedWithMoneyShock();
    SetAll(m, {{par::iu, 2}});
    EXPECT_EQ(IncomeInterestRanges(m).Fixed.YMin, 0);
}

// Without any rate response the IS is vertical: the fixed income axis reaches it.
TEST(IncomeDiagramRanges, FixedIncomeAxisHoldsAVerticalIS) {
    Model m = ClosedISLMModel();
    SetAll(m, {{par::cr, 0}, {par::br, 0}});
    SetFrom(m, 5, {{par::GAut, 300}});
    m = Solved(m);
    m.Periods.RightEdge = 6; // income still on its way to the new IS
    ExpectNear(1.01 * ClosedFormIS(m, 6, 0), IncomeInterestRanges(m).Fixed.XMax, "income axis");
}

// Ranges grow by a hundredth each way; a range without width gets one unit; only the set with
// the origin takes a minimum of rounding noise for 0.
TEST(IncomeDiagramRanges, WidenedByAHundredth) {
    const struct {
        AxisRange in;
        bool fixedSet;
        AxisRange out;
    } rows[] = {{{100, 200, -50, 50}, false, {99, 202, -49.5, 50.5}},
                {{5, 5, 0, 0}, false, {4.95, 5.05, 0, 1}},
                {{3e-7, 3e-7, 0, 0}, false, {2.97e-7, 3.03e-7, 0, 1}},
                {{1e-11, 2, 1e-11, 2}, true, {0, 2.02, 0, 2.02}},
                {{1e-11, 2, 1e-11, 2}, false, {0.99e-11, 2.02, 0.99e-11, 2.02}}};
    for (const auto& r : rows) {
        AxisRange a = r.in;
        WidenRange(a, r.fixedSet);
        for (auto [expected, actual] : {std::pair{r.out.XMin, a.XMin},
                                        {r.out.XMax, a.XMax},
                                        {r.out.YMin, a.YMin},
                                        {r.out.YMax, a.YMax}})
            EXPECT_DOUBLE_EQ(expected, actual) << r.in.XMin;
    }
}

// The bond-market line starts on the interest floor at income 0 and carries its name on its
// last piece, with and without speculative demand above the floor.
TEST(IncomeInterest, BondMarketLineStartsOnTheFloorAndIsNamedAtItsEnd) {
    for (double floor : {0.0, 50.0}) {
        Model m = ClosedWithMoneyShock();
        SetAll(m, {{par::iu, floor}});
        const int t = m.Periods.CurrentPeriod;
        IncomeInterestOptions o;
        o.LF = true;
        const Plot plot = IncomeInterestPlot(m, o, false);
        const Curve* lf = Find(plot, "LF(" + std::to_string(t) + ")");
        ASSERT_TRUE(lf);
        ASSERT_GE(lf->Points.size(), 3u);
        EXPECT_TRUE(lf->Points[0].X == 0 && lf->Points[0].Y == floor) << floor;
        EXPECT_EQ(lf->Points[1].Y, floor);
        ASSERT_EQ(lf->Labels.size(), 1u);
        EXPECT_EQ(lf->Labels[0].Segment, int(lf->Points.size()) - 2);
    }
}
