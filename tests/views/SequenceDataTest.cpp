// Sequence tables, sequence graphs and the structure graph: the data side.

#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "views/SequenceData.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

SeriesFlags Flags(std::initializer_list<int> numbers) {
    SeriesFlags f{};
    for (int n : numbers)
        f[n] = true;
    return f;
}

// A model (by default the bond-market one) with a rise of government purchases from
// period 3, solved.
Model ShockedModel(Model m = test::BondMarketModel()) {
    test::SetFrom(m, 3, {{par::GAut, m.GetPar(3, par::GAut) + 50}});
    m.Periods.RightEdge = 12;
    test::RecordingHost host;
    Solve(m, host);
    return m;
}

} // namespace

TEST(SequenceTableTest, ColumnsKeepTheirVariableNumbers) {
    // Variable 4's symbol is cut short in the catalogue; its column still reads variable 4.
    EXPECT_EQ(VarSymbol(4), "YV,er");
    const auto cols = SequenceColumns(Flags({37, 4, 63, 0})); // slot 0 is no variable
    EXPECT_EQ(cols, (std::vector<int>{4, 37, 63}));
    EXPECT_EQ(SequenceHeader(4, true, 1), "dYV,er");
    EXPECT_EQ(SequenceHeader(37, false, 2), "Y");
}

TEST(SequenceTableTest, CellsAreTheSolvedValuesAndTheirDifferences) {
    const Model m = ShockedModel();
    for (int t = 0; t <= m.Periods.RightEdge; ++t)
        for (int v : {var::Y, var::i, var::P, var::YVErw}) {
            SCOPED_TRACE(testing::Message() << "t " << t << " v " << v);
            EXPECT_EQ(SequenceValue(m, t, v, false), m.GetVar(t, v));
            EXPECT_EQ(SequenceValue(m, t, v, true), m.GetVar(t, v) - m.GetVar(t - 1, v));
        }
    // The shock shows in the difference table at its period.
    EXPECT_NEAR(SequenceValue(m, 3, var::G, true), 50, 1e-9);
}

TEST(SequenceTableTest, DefaultSetFollowsTheSwitches) {
    Model m;
    m.Switch.fill(0);
    EXPECT_EQ(SequenceColumns(DefaultSequenceSet(m)), (std::vector<int>{31, 36, 37}));
    m.Switch[17] = 1;
    m.Switch[12] = 2;
    m.Switch[14] = 1;
    EXPECT_EQ(SequenceColumns(DefaultSequenceSet(m)),
              (std::vector<int>{13, 15, 31, 36, 37, 47, 48, 50, 55}));
}

TEST(SequenceTableTest, RangeStatistics) {
    struct Case {
        std::vector<std::pair<int, double>> cells;
        double sum, mean, min;
        int minT;
        double max;
        int maxT;
        bool growth;
        double rate;
    };
    const Case cases[] = {
        {{{3, 2}, {4, 5}, {5, 5}, {6, 1}}, 13, 3.25, 1, 6, 5, 4, true, -50},
        {{{0, 0}, {1, 4}}, 4, 2, 0, 0, 4, 1, false, 0},
        {{{7, -1}, {8, -1}}, -2, -1, -1, 7, -1, 7, true, 0},
    };
    for (const Case& c : cases) {
        const RangeStatistics s = ComputeRangeStatistics(c.cells);
        EXPECT_EQ(s.Count, static_cast<int>(c.cells.size()));
        EXPECT_DOUBLE_EQ(s.Sum, c.sum);
        EXPECT_DOUBLE_EQ(s.Mean, c.mean);
        EXPECT_EQ(s.Min, c.min);
        EXPECT_EQ(s.MinPeriod, c.minT);
        EXPECT_EQ(s.Max, c.max);
        EXPECT_EQ(s.MaxPeriod, c.maxT);
        EXPECT_EQ(s.HasGrowth, c.growth);
        if (c.growth) {
            EXPECT_DOUBLE_EQ(s.Growth, c.rate);
        }
    }
    Model m;
    const auto lines = RangeStatisticsLines(ComputeRangeStatistics(cases[0].cells), m, 2);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Sum: " + m.FormatNumber(13));
    EXPECT_EQ(lines[2], "Minimum: " + m.FormatNumber(1) + " (t = 6)");
    EXPECT_EQ(lines[4], "Growth Rate: " + m.FormatNumber(-50) + " %");
    EXPECT_EQ(RangeStatisticsLines(ComputeRangeStatistics(cases[1].cells), m, 1).size(), 4u);
}

TEST(SequenceSelectionTest, ListsAndFallback) {
    const SeriesFlags shown = Flags({31, 37});
    const auto hidden = HiddenSeries(SeriesKind::Variable, shown, 1, false);
    const auto visible = VisibleSeries(SeriesKind::Variable, shown, 2, false);
    EXPECT_EQ(hidden.size(), 61u);
    ASSERT_EQ(visible.size(), 2u);
    EXPECT_EQ(visible[1].Number, 37);
    EXPECT_EQ(visible[1].Text, "Income (Y)");
    EXPECT_EQ(HiddenSeries(SeriesKind::Parameter, {}, 1, false).size(), 64u);
    // Round trip through the lists gives the same set.
    SeriesFlags back{};
    for (const auto& item : visible)
        back[item.Number] = true;
    EXPECT_EQ(back, shown);

    // An empty table selection shows income; a parameter selection never gains
    // parameter 37 from that fallback.
    EXPECT_EQ(SequenceColumns(FinishTableSelection({})), (std::vector<int>{37}));
    EXPECT_EQ(CountShown(SeriesFlags{}, SeriesKind::Parameter), 0);
    EXPECT_EQ(CountShown(shown, SeriesKind::Variable), 2);
    const SequenceChartData d = BuildSequenceChart(Model(), SeriesFlags{}, SeriesFlags{}, 1);
    ASSERT_EQ(d.Legends.size(), 1u);
    EXPECT_EQ(d.Legends[0], Translate(VarName(31), 1));
}

TEST(SequenceSelectionTest, SymbolsAreCaseSensitive) {
    const struct {
        const char* symbol;
        SeriesKind kind;
        int number;
    } cases[] = {
        {"i", SeriesKind::Variable, var::i},        {"I", SeriesKind::Variable, var::I},
        {"r", SeriesKind::Variable, var::r},        {"R", SeriesKind::Variable, var::R},
        {"A", SeriesKind::Variable, var::A},        {"a", SeriesKind::Parameter, par::a},
        {"K", SeriesKind::Variable, var::K},        {"k", SeriesKind::Parameter, par::k},
        {"YV,er", SeriesKind::Variable, 4},         {"G,aut", SeriesKind::Parameter, par::GAut},
        {"Y,erw", SeriesKind::Variable, var::YErw}, // the first variable
        {"nope", SeriesKind::Parameter, 0},         {"", SeriesKind::Parameter, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symbol);
        EXPECT_EQ(FindSeriesBySymbol(c.symbol), (SeriesRef{c.kind, c.number}));
    }
    EXPECT_EQ(FindSeriesBySymbol("I,unw"), (SeriesRef{SeriesKind::Variable, var::IUnw})); // last
    EXPECT_EQ(FindSeriesBySymbol("MN(-oo)"), SeriesRef{}); // a start value's, no series' symbol
}

TEST(QuickGraphTest, SlotValues) {
    Model m = ShockedModel();
    const QuickSlot level{SeriesKind::Variable, var::Y, false, 0};
    const QuickSlot lag3{SeriesKind::Variable, var::Y, false, 3};
    EXPECT_EQ(SlotValue(m, level, 5), m.GetVar(5, var::Y));
    // Period 1 minus three reads the store's period -2.
    EXPECT_EQ(SlotValue(m, lag3, 1), m.GetVar(1, var::Y) - m.GetVar(-2, var::Y));
    const QuickSlot parLag{SeriesKind::Parameter, par::GAut, false, 5};
    // A lag reaching before period 0 reads period 0, not the first period.
    m.SetPar(1, par::GAut, m.GetPar(0, par::GAut) + 7);
    EXPECT_EQ(SlotValue(m, parLag, 4), m.GetPar(4, par::GAut) - m.GetPar(0, par::GAut));
    EXPECT_EQ(SlotValue(m, QuickSlot{}, 4), 0);
    m.Switch[23] = 4;
    m.Switch[22] = 3;
    EXPECT_EQ(SlotLag(m, 16), 4);
    EXPECT_EQ(SlotLag(m, 17), 3);
    EXPECT_EQ(SlotOperatorText(16), "(t-TZR)");
    EXPECT_EQ(SlotOperatorText(17), "(t-MZZR)");
    EXPECT_EQ(SlotOperatorText(7), "(t-7)");
}

TEST(QuickGraphTest, ZoomBandIsClippedToTheInterval) {
    const struct {
        double left, right;
        bool used;
        double min, max;
    } cases[] = {
        {2, 6, true, 2, 6},   {6, 2, true, 2, 6},    {-3, 4, true, 1, 4},
        {8, 40, true, 8, 10}, {12, 30, false, 0, 0}, {10.5, 11, false, 0, 0},
    };
    for (const auto& c : cases) {
        XRange r;
        EXPECT_EQ(ClipZoomBand(c.left, c.right, 1, 10, r), c.used) << c.left;
        if (c.used) {
            EXPECT_EQ(r.Min, c.min);
            EXPECT_EQ(r.Max, c.max);
        }
    }
    // An interval reaching before period 0: the band lies within 0 .. at least 1.
    XRange r;
    EXPECT_TRUE(ClipZoomBand(0.5, 0.7, -5, 10, r) && r.Min == 0.5 && r.Max == 1);
    EXPECT_TRUE(ClipZoomBand(-2, 4, -5, 10, r) && r.Min == 0);
}

TEST(SequenceGraphTest, DataRangeAndOrdinateMinimum) {
    Model zero;
    zero.ClearVariables();
    zero.Periods.LeftEdge = 0;
    zero.Periods.RightEdge = 4;
    const SequenceChartData d = BuildSequenceChart(zero, {}, Flags({37}), 1);
    EXPECT_EQ(d.DataMax, 1);
    EXPECT_EQ(d.DataMin, 0);
    EXPECT_EQ(d.Periods, (std::vector<int>{0, 1, 2, 3, 4}));
    zero.SetModelVar(2, var::Y, 5e-10); // noise keeps the unit axis
    EXPECT_EQ(BuildSequenceChart(zero, {}, Flags({37}), 1).DataMax, 1);
    zero.SetModelVar(2, var::Y, 1e-9); // from 1e-9 on a tiny series keeps its own scale
    EXPECT_EQ(BuildSequenceChart(zero, {}, Flags({37}), 1).DataMax, 1e-9);

    const Model m = ShockedModel();
    const SequenceChartData s = BuildSequenceChart(m, Flags({par::GAut}), Flags({var::Y}), 2);
    ASSERT_EQ(s.Series.size(), 2u);
    EXPECT_EQ(s.Legends[0], Translate(ParamName(par::GAut), 2)); // parameters first
    Model creation = m; // money creation renames the money growth rate
    creation.Switch[18] = 1;
    EXPECT_EQ(BuildSequenceChart(creation, Flags({54}), {}, 2).Legends[0],
              "Money Base Growth Rate,nom. (gMBN,aut)");
    EXPECT_EQ(s.Series[1][3], m.GetVar(m.Periods.LeftEdge + 3, var::Y));
    EXPECT_EQ(ChartAxisMinimum(s, 0), s.DataMin);
    EXPECT_GT(s.DataMin, 0); // the smallest value, not zero: income's movement stays visible
    EXPECT_DOUBLE_EQ(ChartAxisMinimum(s, 5), s.DataMax / 2);
}

TEST(StructureGraphTest, ValuesAndChartKind) {
    const Model m = ShockedModel(test::OpenFlexibleModel()); // with imports
    const StructureColumn c = StructureValues(m, 3);
    const int demand[] = {var::C, var::I, var::G, var::Ex}, supply[] = {var::YL, var::YU, var::Im};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(c.Demand[k], m.GetVar(3, demand[k])) << k;
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(c.Supply[k], m.GetVar(3, supply[k])) << k;
    EXPECT_NE(c.Demand[3], 0); // exports shown
    StructureColumn negative = c;
    EXPECT_FALSE(NeedsBars(StructureColumn{{1, 2, 3, 4}, {1, 2, 3}}));
    EXPECT_FALSE(NeedsBars(StructureColumn{{0, 0.5, 3, 4}, {0.5, 0, 3}})); // small slices
    EXPECT_TRUE(NeedsBars(StructureColumn{{1, 2, 3, 4}, {1, -0.5, 3}}));
    negative.Demand[1] = -5; // disinvestment cannot be a slice
    EXPECT_TRUE(NeedsBars(negative));
}
