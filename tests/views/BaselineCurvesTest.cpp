// The frozen baseline beside the model in the diagram data and the sequence graph data.

#include "views/BaselineCurves.h"
#include "TestModels.h"
#include "core/Baseline.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/AsAdCurves.h"
#include "views/DiagramExport.h"
#include "views/IncomeDiagrams.h"
#include "views/SequenceGraphData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

using namespace tv;

namespace {

Model Solved(Model m) {
    SilentHost host;
    Solve(m, host);
    return m;
}

// The closed IS-LM model frozen, then the money supply raised from period 5 and solved.
struct Experiment {
    Model scenario;
    std::unique_ptr<Baseline> base;
    Experiment() {
        Model m = Solved(test::ClosedISLMModel());
        base = std::make_unique<Baseline>(m);
        test::SetFrom(m, 5, {{par::MNAut, 660}});
        m.Periods.LastSolved = 4;
        scenario = Solved(std::move(m));
        scenario.Periods.CurrentPeriod = 12;
    }
};

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every stored value of periods up to 200 and the period bookkeeping, bit for bit.
bool SameSolution(const Model& a, const Model& b) {
    for (int t = FirstVarPeriod; t <= 200; ++t)
        for (int n = 1; n <= VarCount; ++n)
            if (!Same(a.ModelVar(t, n), b.ModelVar(t, n))) return false;
    for (int t = FirstParPeriod; t <= 200; ++t)
        for (int n = 1; n <= ParCount; ++n)
            if (!Same(a.ModelPar(t, n), b.ModelPar(t, n))) return false;
    const PeriodState &p = a.Periods, &q = b.Periods;
    return p.LeftEdge == q.LeftEdge && p.CurrentPeriod == q.CurrentPeriod &&
           p.LastSolved == q.LastSolved && p.RightEdge == q.RightEdge &&
           a.ScratchMode == b.ScratchMode;
}

bool SameNumbers(const DiagramNumbers& a, const DiagramNumbers& b) {
    if (a.Curves.size() != b.Curves.size()) return false;
    for (size_t i = 0; i < a.Curves.size(); ++i) {
        const ExportedCurve &c = a.Curves[i], &d = b.Curves[i];
        if (c.Name != d.Name || c.Points.size() != d.Points.size()) return false;
        for (size_t k = 0; k < c.Points.size(); ++k)
            if (!Same(c.Points[k].X, d.Points[k].X) || !Same(c.Points[k].Y, d.Points[k].Y))
                return false;
    }
    return true;
}

const ExportedCurve* Find(const DiagramNumbers& d, const std::string& name) {
    for (const ExportedCurve& c : d.Curves)
        if (c.Name == name) return &c;
    return nullptr;
}

TEST(BaselineCurves, DiagramDataCarryTheFrozenModelsCurves) {
    Experiment e;
    const int t = e.scenario.Periods.CurrentPeriod;
    const struct {
        const char* diagram;
        const char* curve; // one baseline curve that must be there
    } cases[] = {{"is-lm", "LM(12) Basis"},
                 {"income-expenditure", "goods:D(12) Basis"},
                 {"income-expenditure", "capital:dKN(12) Basis"},
                 {"as-ad", "AD(12) Basis"},
                 {"dynamic-as-ad", "DAD(12) Basis"}};
    for (const auto& c : cases) {
        DiagramRequest plain{t, 0, 10};
        DiagramRequest request = plain;
        request.BaselineRun = e.base.get();
        const DiagramResult without = ComputeDiagramNumbers(e.scenario, c.diagram, plain);
        const DiagramResult with = ComputeDiagramNumbers(e.scenario, c.diagram, request);
        ASSERT_TRUE(without.Ok && with.Ok) << c.diagram;
        ASSERT_TRUE(Find(with.Numbers, c.curve)) << c.diagram;
        // Without the baseline curves the data are the model's own, unchanged.
        DiagramNumbers own;
        for (const ExportedCurve& curve : with.Numbers.Curves) {
            const std::string& name = curve.Name;
            if (name.size() < 6 || name.substr(name.size() - 6) != " Basis")
                own.Curves.push_back(curve);
            else // only the current period's curves, not the reference's nor the path
                EXPECT_NE(name.find("(12)"), std::string::npos) << name;
        }
        EXPECT_TRUE(SameNumbers(own, without.Numbers)) << c.diagram;
        EXPECT_GT(with.Numbers.Curves.size(), own.Curves.size()) << c.diagram;
    }
}

TEST(BaselineCurves, BaselineCurvesEqualTheFrozenModelComputedAlone) {
    Experiment e;
    const int t = 12;
    // IS-LM and the goods market: closed-form curves over the model's axes.
    Model alone = e.base->Frozen();
    alone.Periods.LeftEdge = alone.Periods.CurrentPeriod = t;
    {
        const IncomeInterestOptions o;
        const AxisRange axes = AxesFor(IncomeInterestRanges(e.scenario), false);
        Plot plot = IncomeInterestCurves(e.scenario, o, axes);
        const size_t own = plot.Curves.size();
        AddBaselineCurves(plot, e.base.get(), t,
                          [&](const Model& f) { return IncomeInterestCurves(f, o, axes); });
        const Plot frozen = IncomeInterestCurves(alone, o, axes);
        size_t k = own;
        for (const Curve& c : frozen.Curves) {
            if (c.Style != CurveStyle::Current) continue;
            ASSERT_LT(k, plot.Curves.size());
            const Curve& b = plot.Curves[k++];
            EXPECT_EQ(b.Name, c.Name + " Basis");
            EXPECT_EQ(b.Style, CurveStyle::Baseline);
            EXPECT_TRUE(b.Labels.empty());
            ASSERT_EQ(b.Points.size(), c.Points.size());
            for (size_t i = 0; i < c.Points.size(); ++i)
                EXPECT_TRUE(Same(b.Points[i].X, c.Points[i].X) &&
                            Same(b.Points[i].Y, c.Points[i].Y))
                    << c.Name;
        }
        EXPECT_EQ(k, plot.Curves.size());
        EXPECT_GE(k - own, 2u); // IS, LM (the closed model has no Z)
    }
    // AS-AD: sampled curves, each demand point a search of the frozen model.
    for (AsAdPlane plane : {AsAdPlane::Price, AsAdPlane::Inflation}) {
        AsAdOptions o;
        o.Raster = 12;
        const AsAdDiagram d = ComputeAsAdDiagram(e.scenario, plane, o, false, e.base.get());
        AsAdOptions current = o;
        current.Path = false;
        current.Reference = false;
        const std::vector<NamedPolyline> frozen =
            ComputeAsAdCurves(alone, plane, current, d.Axes, nullptr);
        std::vector<NamedPolyline> added;
        for (const NamedPolyline& c : d.Curves)
            if (c.Baseline) added.push_back(c);
        ASSERT_EQ(added.size(), frozen.size());
        ASSERT_FALSE(added.empty());
        for (size_t i = 0; i < frozen.size(); ++i) {
            EXPECT_EQ(added[i].Name, frozen[i].Name + " Basis");
            ASSERT_EQ(added[i].Points.size(), frozen[i].Points.size());
            for (size_t k = 0; k < frozen[i].Points.size(); ++k)
                EXPECT_TRUE(Same(added[i].Points[k].X, frozen[i].Points[k].X) &&
                            Same(added[i].Points[k].Y, frozen[i].Points[k].Y))
                    << added[i].Name << " " << k;
        }
    }
}

TEST(BaselineCurves, AskingForTheDataLeavesBothSolutionsBitIdentical) {
    Experiment e;
    const Model scenarioBefore = e.scenario;
    const Model frozenBefore = e.base->Frozen();
    DiagramRequest request{12, 0, 10};
    request.BaselineRun = e.base.get();
    for (const std::string& name : DiagramNames()) {
        const DiagramResult first = ComputeDiagramNumbers(e.scenario, name, request);
        const DiagramResult second = ComputeDiagramNumbers(e.scenario, name, request);
        ASSERT_TRUE(first.Ok && second.Ok) << name;
        EXPECT_TRUE(SameNumbers(first.Numbers, second.Numbers)) << name;
        EXPECT_TRUE(SameSolution(e.scenario, scenarioBefore)) << name;
        EXPECT_TRUE(SameSolution(e.base->Frozen(), frozenBefore)) << name;
    }
}

TEST(BaselineCurves, NoneWhereTheBaselineHasNoSolvedPeriod) {
    Experiment e;
    Plot plot;
    const auto curves = [](const Model& f) {
        return IncomeInterestCurves(f, IncomeInterestOptions{}, {0, 2000, 0, 20});
    };
    for (int t : {e.base->From() - 1, e.base->To() + 1}) {
        AddBaselineCurves(plot, e.base.get(), t, curves);
        EXPECT_TRUE(plot.Curves.empty()) << t;
    }
    AddBaselineCurves(plot, nullptr, 12, curves);
    EXPECT_TRUE(plot.Curves.empty());
    AddBaselineCurves(plot, e.base.get(), e.base->To(), curves);
    EXPECT_TRUE(HasBaselineCurves(plot));
    EXPECT_TRUE(ComputeAsAdBaselineCurves(e.base.get(), AsAdPlane::Price, {}, {0, 2000, 0, 2},
                                          e.base->To() + 1, nullptr)
                    .empty());
}

TEST(BaselineSequences, ChartAndQuickGraphShowTheBaselinesValues) {
    Experiment e;
    SeriesFlags params{}, vars{};
    params[par::MNAut] = true;
    vars[var::Y] = true;
    const SequenceChartData plain = BuildSequenceChart(e.scenario, params, vars, 1);
    const SequenceChartData with = BuildSequenceChart(e.scenario, params, vars, 1, e.base.get());
    EXPECT_TRUE(plain.BaselineSeries.empty());
    EXPECT_EQ(with.Series, plain.Series);
    ASSERT_EQ(with.BaselineSeries.size(), 2u);
    for (size_t p = 0; p < with.Periods.size(); ++p) {
        const int t = with.Periods[p];
        EXPECT_EQ(with.BaselineSeries[0][p], e.base->Par(t, par::MNAut));
        EXPECT_EQ(with.BaselineSeries[1][p], e.base->Var(t, var::Y));
    }
    EXPECT_GE(with.DataMax, plain.DataMax);
    EXPECT_LE(with.DataMin, plain.DataMin);
    // The baseline stays at the old money supply where the scenario has the new one.
    EXPECT_EQ(with.Series[0][10], 660);
    EXPECT_EQ(with.BaselineSeries[0][10], e.base->Par(4, par::MNAut));

    // A wider interval than the baseline's: no values beyond its right edge.
    Model wider = e.scenario;
    wider.Periods.RightEdge = e.base->To() + 5;
    const SequenceChartData beyond = BuildSequenceChart(wider, params, vars, 1, e.base.get());
    EXPECT_TRUE(std::isnan(beyond.BaselineSeries[1].back()));

    QuickSlot slot{SeriesKind::Variable, var::Y, false, 1};
    const QuickGraphOptions o;
    const auto own = QuickSegments(e.scenario, slot, o);
    const auto base = QuickBaselineSegments(*e.base, e.scenario, slot, o);
    ASSERT_EQ(base.size(), own.size());
    for (size_t k = 0; k < base.size(); ++k) {
        const int t = static_cast<int>(base[k].X2);
        EXPECT_EQ(base[k].X1, own[k].X1);
        EXPECT_EQ(base[k].Y2, e.base->Var(t, var::Y) - e.base->Var(t - 1, var::Y));
    }
    QuickSlots slots{};
    slots[0] = slot;
    const QuickRanges r = QuickGraphRanges(e.scenario, slots, o);
    const QuickRanges rb = QuickGraphRanges(e.scenario, slots, o, e.base.get());
    EXPECT_LT(rb.YMin, r.YMin);
    EXPECT_GE(rb.YMax, r.YMax);
    // The read-out gives the baseline's value beside the model's.
    const std::string line = QuickInfoLines(e.scenario, slots, 10, o, 2, e.base.get())[0];
    const std::string expected =
        " [baseline: " + e.scenario.FormatNumber(e.base->Var(10, var::Y) - e.base->Var(9, var::Y)) +
        "]";
    EXPECT_EQ(line.substr(line.size() - expected.size()), expected);
    EXPECT_EQ(QuickInfoLines(e.scenario, slots, 10, o, 2)[0],
              line.substr(0, line.size() - expected.size()));
    // A baseline value far above the model's widens the axis up to it.
    e.base->Frozen().SetModelVar(10, var::Y, e.base->Var(9, var::Y) + 1e6);
    EXPECT_GE(QuickGraphRanges(e.scenario, slots, o, e.base.get()).YMax, 1e6);
    // A baseline value that is no number leaves the axis finite.
    e.base->Frozen().SetModelVar(10, var::Y, INFINITY);
    const QuickRanges blown = QuickGraphRanges(e.scenario, slots, o, e.base.get());
    EXPECT_TRUE(std::isfinite(blown.YMin) && std::isfinite(blown.YMax));
}

} // namespace
