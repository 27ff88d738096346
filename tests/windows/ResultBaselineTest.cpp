// The result table's difference columns as the deviation from a frozen baseline.

#include "windows/ResultTable.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Baseline.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "windows/EquationSystem.h"

#include <gtest/gtest.h>

#include <functional>

namespace tv {
namespace {

Model Solved(double extraMoney) {
    Model m = test::BondMarketModel();
    m.Periods.RightEdge = 10;
    if (extraMoney != 0) test::SetFrom(m, 3, {{par::MNAut, m.GetPar(3, par::MNAut) + extraMoney}});
    test::RecordingHost host;
    Solve(m, host);
    m.Periods.CurrentPeriod = 5;
    return m;
}

ResultTable Build(const Model& m, const ResultOptions& options, const Baseline* b,
                  int language = 1) {
    LineCodeTable codes;
    codes.Assign(BuildEquationSystem(m, 5, language));
    ResultGroups open;
    open.Expanded.fill(true);
    return BuildResultTable(m, codes, SetupResultPeriods(1, 5, m.Periods), options, open, language,
                            b);
}

const ResultRow& RowStarting(const ResultTable& t, const std::string& prefix) {
    for (const ResultRow& r : t.Rows)
        if (r.Label.rfind(prefix, 0) == 0) return r;
    static const ResultRow none;
    ADD_FAILURE() << "no row " << prefix;
    return none;
}

// The model frozen, then more money from period 3 and solved again.
struct Experiment {
    Experiment() : m(Solved(0)), base(Solved(0)), scenario(Solved(60)) {
        frozen = std::make_unique<Baseline>(m);
        test::SetFrom(m, 3, {{par::MNAut, m.GetPar(3, par::MNAut) + 60}});
        MarkUnsolvedFrom(m, 2);
        test::RecordingHost host;
        Solve(m, host);
    }
    Model m, base, scenario;
    std::unique_ptr<Baseline> frozen;
};

// The deviation cells equal the difference of two independent solutions in the period shown.
TEST(ResultBaseline, DeviationIsTheDifferenceOfTwoIndependentSolutions) {
    Experiment x;
    ResultOptions all;
    all.Ticked.fill(true);
    all.BaselineDeviation = true;
    const ResultTable t = Build(x.m, all, x.frozen.get());
    auto dev = [&](const std::function<double(const Model&)>& f) {
        return x.m.FormatNumber(f(x.scenario) - f(x.base));
    };
    auto var = [](int n) { return [n](const Model& m) { return m.GetVar(5, n); }; };
    struct Case {
        const char* label;
        size_t cell;
        std::function<double(const Model&)> f;
    };
    const Case cases[] = {
        {"Güternachfrage", 1, var(var::N)},
        {"Güternachfrage", 4, var(var::X)},
        {"...Konsum", 1, var(var::C)},
        {"Einkommen", 1, var(var::Y)},
        {"Zinsniveau", 1, var(var::i)},
        {"Geldmenge (real)", 1, var(var::M)},
        {"Preisniveau", 1, var(var::P)},
        {"...Heim. Potential", 1, [](const Model& m) { return PotentialOutput(m, 5); }},
        {"Multiplikator (zinserweitert)", 1, [](const Model& m) { return Multiplier(m, 5); }},
    };
    ASSERT_NE(x.scenario.GetVar(5, var::Y), x.base.GetVar(5, var::Y));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const ResultRow& r = RowStarting(t, c.label);
        ASSERT_GT(r.Cells.size(), c.cell);
        EXPECT_EQ(r.Cells[c.cell], dev(c.f));
    }
    EXPECT_EQ(t.Headings[2], "Abw. Basis");
    EXPECT_EQ(t.Headings[5], "Ist-Abw. Basis");
    EXPECT_EQ(Build(x.m, all, x.frozen.get(), 2).Headings[2], "Dev. Base");
}

// A period the baseline lacks compares with nothing: the deviation cells stay empty.
TEST(ResultBaseline, PeriodOutsideTheBaselineHasEmptyDeviations) {
    Model m = Solved(0);
    m.Periods.LastSolved = 4; // as if the baseline's solution had stopped there
    const Baseline b(m);
    m.Periods.LastSolved = 10;
    ResultOptions deviation;
    deviation.BaselineDeviation = true;
    const ResultTable t = Build(m, deviation, &b);
    for (const ResultRow& r : t.Rows) {
        EXPECT_FALSE(r.Cells[0].empty()) << r.Label;
        EXPECT_TRUE(r.Cells[1].empty()) << r.Label;
    }
}

} // namespace
} // namespace tv
