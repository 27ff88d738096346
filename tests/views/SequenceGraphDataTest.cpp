// Sequence charts, quick graph and structure graph: kept settings, ranges, segments,
// read-outs and shares.

#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "logic/Settings.h"
#include "views/SequenceGraphData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace tv;

namespace {

SeriesFlags Flags(std::initializer_list<int> numbers) {
    SeriesFlags f{};
    for (int n : numbers)
        f[n] = true;
    return f;
}

// Income rises from 100 by 2 a period over the interval 0..10; nothing else is set.
Model Ramp() {
    Model m;
    m.ClearVariables();
    m.Periods.LeftEdge = 0;
    m.Periods.RightEdge = 10;
    m.Periods.CurrentPeriod = 4;
    for (int t = -5; t <= 10; ++t) {
        m.SetVar(t, var::Y, 100 + 2 * t);
        m.SetVar(t, var::P, 1 + 0.01 * t);
    }
    return m;
}

QuickSlots OneSlot(QuickSlot s) {
    QuickSlots slots{};
    slots[0] = s;
    return slots;
}

} // namespace

TEST(ChartSettingsTest, SelectionsAndSlotsRoundTripThroughTheSettingsFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "tervalis-chart-settings";
    fs::remove_all(dir);
    fs::create_directories(dir);
    test::RecordingHost host;
    SettingsFile file(dir.string(), (dir / "user").string(), host);

    Settings s;
    WriteSeriesFlags(s.Windows, SequenceTableSection(false), "", SeriesKind::Variable,
                     Flags({1, 4, 13, 37}));
    WriteSeriesFlags(s.Windows, SequenceChartSection(2), "P", SeriesKind::Parameter,
                     Flags({par::GAut, 64}));
    WriteSeriesFlags(s.Windows, SequenceChartSection(2), "E", SeriesKind::Variable, Flags({63}));
    QuickSlots slots{};
    slots[0] = {SeriesKind::Variable, var::YVErw, true, 3}; // symbol "YV,er"
    slots[1] = {SeriesKind::Variable, var::i, false, 16};
    slots[2] = {SeriesKind::Parameter, par::GAut, false, 0};
    WriteQuickSlots(s.Windows, slots);
    EXPECT_EQ(s.Windows.Get(QuickGraphSection, "Symbol1"), "YV,er"); // the German symbol
    ASSERT_TRUE(file.WriteSettings(s, (dir / "NEU.TV5").string()));

    const Settings back = file.ReadSettings();
    const WindowSettings& w = back.Windows;
    EXPECT_EQ(SequenceColumns(ReadSeriesFlags(w, "SequAbs", "", SeriesKind::Variable, {})),
              (std::vector<int>{1, 4, 13, 37}));
    EXPECT_EQ(ReadSeriesFlags(w, "SequGraph2", "P", SeriesKind::Parameter, {}),
              Flags({par::GAut, 64}));
    EXPECT_EQ(ReadSeriesFlags(w, "SequGraph2", "E", SeriesKind::Variable, {}), Flags({63}));
    const QuickSlots read = ReadQuickSlots(w);
    for (int k = 0; k < QuickSlotCount; ++k) {
        EXPECT_EQ(read[k].Kind, slots[k].Kind) << k;
        EXPECT_EQ(read[k].Number, slots[k].Number) << k;
        EXPECT_EQ(read[k].RightAxis, slots[k].RightAxis) << k;
        EXPECT_EQ(read[k].DiffOp, slots[k].DiffOp) << k;
    }
    EXPECT_EQ(w.Get("SequRapidGraph", "Symbol4"), "xxx");
    fs::remove_all(dir);
}

TEST(ChartSettingsTest, MissingOrForeignValuesFallBack) {
    WindowSettings w;
    w.Set("SequAbs", "31", "0");
    w.Set("SequAbs", "13", "junk");
    const SeriesFlags read =
        ReadSeriesFlags(w, "sequabs", "", SeriesKind::Variable, Flags({13, 31, 37}));
    EXPECT_EQ(SequenceColumns(read), (std::vector<int>{13, 37})); // names ignore case

    // Never stored (a key outside the slots does not count): income in the first slot, the
    // others empty.
    WindowSettings stray;
    stray.Set("SequRapidGraph", "Symbol0", "i");
    const QuickSlots fresh = ReadQuickSlots(stray);
    EXPECT_TRUE(fresh[0].Kind == SeriesKind::Variable && fresh[0].Number == var::Y);
    EXPECT_EQ(fresh[1].Number, 0);

    const struct {
        const char* art;
        std::string symbol;
        const char* diff;
        SeriesKind kind;
        int number, diffOp;
    } cases[] = {
        {"2", "i", "0", SeriesKind::Variable, var::i, 0},
        {"2", "I", "0", SeriesKind::Variable, var::I, 0}, // i and I are different quantities
        {"2", "YV,er", "99", SeriesKind::Variable, var::YVErw, 0},
        {"2", VarSymbol(var::IUnw), "0", SeriesKind::Variable, var::IUnw, 0}, // the last ones
        {"1", ParamSymbol(par::fNK, 1), "0", SeriesKind::Parameter, par::fNK, 0},
        {"1", ParamSymbol(par::CAut, 1), "0", SeriesKind::Parameter, par::CAut, 0}, // the first
        {"1", "G,aut", "-3", SeriesKind::Parameter, par::GAut, 0},
        {"1", "nonsense", "2", SeriesKind::Parameter, 0, 2},
        {"2", "xxx", "17", SeriesKind::Variable, 0, 17},
    };
    for (const auto& c : cases) {
        WindowSettings s;
        s.Set("SequRapidGraph", "Art1", c.art);
        s.Set("SequRapidGraph", "Symbol1", c.symbol);
        s.Set("SequRapidGraph", "Diff1", c.diff);
        const QuickSlot slot = ReadQuickSlots(s)[0];
        EXPECT_EQ(slot.Kind, c.kind) << c.symbol;
        EXPECT_EQ(slot.Number, c.number) << c.symbol;
        EXPECT_EQ(slot.DiffOp, c.diffOp) << c.symbol;
    }
}

TEST(QuickGraphTest, SelectorEntries) {
    const auto de = SlotEntries(0, 1);
    const auto en = SlotEntries(3, 2);
    ASSERT_EQ(de.size(), 1u + 63 + 64);
    EXPECT_EQ(de[0].Text, " leer");
    EXPECT_EQ(en[0].Text, " none");
    EXPECT_EQ(de[var::YVErw].Text, "YV,er(t)");
    EXPECT_EQ(en[var::Y].Text, "Y(t-3)");
    EXPECT_EQ(de[63 + par::dMHNAut].Text, "dMHN,aut(t)"); // the series, not its start value
    EXPECT_EQ(en[63 + par::GAut].Ref, (SeriesRef{SeriesKind::Parameter, par::GAut}));
    EXPECT_EQ(SlotEntryIndex(de, {SeriesKind::Parameter, par::GAut, false, 0}), 63 + par::GAut);
    EXPECT_EQ(SlotEntryIndex(de, {}), 0);
    EXPECT_EQ(SlotEntryIndex(de, {SeriesKind::Variable, 1, false, 0}), 1);
    EXPECT_EQ(DiffOpTexts().size(), 18u);
    EXPECT_EQ(DiffOpTexts()[16], "-TZR");
}

TEST(QuickGraphTest, Ranges) {
    const Model m = Ramp(); // Y from 100 to 120, P from 1 to 1.1
    const QuickSlot y{SeriesKind::Variable, var::Y, false, 0};
    const QuickSlot yRight{SeriesKind::Variable, var::Y, true, 0};
    const QuickSlot dy{SeriesKind::Variable, var::Y, false, 1};
    const struct {
        QuickSlots slots;
        bool zero;
        double yMin, yMax, y2Min, y2Max;
        bool force;
    } cases[] = {
        {OneSlot(y), false, 99.9, 120.12, 0, 0, false},
        {OneSlot(y), true, 0, 120.12, 0, 0, false},
        {OneSlot(yRight), false, 0, 0, 99.9, 120.12, true},
        {OneSlot(dy), false, 1.998, 2.002, 0, 0, false},
        {OneSlot({SeriesKind::Variable, var::P, false, 0}), false, 0.999, 1.1011, 0, 0, false},
        {OneSlot({SeriesKind::Variable, 0, true, 0}), false, 0, 0, 0, 0, true}, // empty, right
        {QuickSlots{}, false, 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        QuickGraphOptions o;
        o.AlwaysZero = c.zero;
        const QuickRanges r = QuickGraphRanges(m, c.slots, o);
        EXPECT_EQ(r.XMin, 0);
        EXPECT_EQ(r.XMax, 10);
        EXPECT_NEAR(r.YMin, c.yMin, 1e-9);
        EXPECT_NEAR(r.YMax, c.yMax, 1e-9);
        EXPECT_NEAR(r.Y2Min, c.y2Min, 1e-9);
        EXPECT_NEAR(r.Y2Max, c.y2Max, 1e-9);
        EXPECT_EQ(r.ForceRightAxis, c.force);
    }
    Model later = m; // the time axis starts at the left edge
    later.Periods.LeftEdge = 2;
    EXPECT_EQ(QuickGraphRanges(later, OneSlot(y), {}).XMin, 2);
    EXPECT_DOUBLE_EQ(PadMax(-10), -9.99);
    EXPECT_DOUBLE_EQ(PadMin(-10), -10.01);
    EXPECT_DOUBLE_EQ(PadMin(0.5), 0.4995);
}

TEST(QuickGraphTest, SegmentsAreTheSolvedValues) {
    Model m = test::BondMarketModel();
    test::SetFrom(m, 3, {{par::GAut, m.GetPar(3, par::GAut) + 50}});
    m.Periods.RightEdge = 12;
    test::RecordingHost host;
    Solve(m, host);
    m.Periods.CurrentPeriod = 6;
    const QuickSlot y{SeriesKind::Variable, var::Y, false, 0};
    const QuickSlot g{SeriesKind::Parameter, par::GAut, false, 2};

    QuickGraphOptions plain;
    const auto lines = QuickSegments(m, y, plain);
    ASSERT_EQ(lines.size(), 12u);
    for (const QuickSegment& s : lines) {
        EXPECT_EQ(s.Y1, m.GetVar(int(s.X1), var::Y));
        EXPECT_EQ(s.Y2, m.GetVar(int(s.X2), var::Y));
    }
    QuickGraphOptions steps;
    steps.Steps = steps.UntilCurrent = true;
    const auto stairs = QuickSegments(m, g, steps);
    ASSERT_EQ(stairs.size(), 12u);         // two pieces for each of periods 1..6
    EXPECT_EQ(stairs[4].Y1, stairs[4].Y2); // period 3: flat at the value of period 2 ...
    EXPECT_EQ(stairs[4].X1 + 1, stairs[4].X2);
    EXPECT_EQ(stairs[5].X1, stairs[5].X2); // ... then up to the shock
    EXPECT_EQ(stairs[5].Y2, 50);           // G,aut(3) - G,aut(1)
    EXPECT_TRUE(QuickSegments(m, QuickSlot{}, plain).empty());
}

TEST(QuickGraphTest, PositionReadOut) {
    Model m = Ramp();
    QuickSlots slots{};
    slots[0] = {SeriesKind::Variable, var::Y, false, 0};
    slots[2] = {SeriesKind::Variable, var::Y, true, 3};
    slots[3] = {SeriesKind::Parameter, 54, false, 0};
    m.Switch[18] = 1; // money creation through the base: parameter 54 is the base's growth
    const auto de = QuickInfoLines(m, slots, 4, {}, 1);
    ASSERT_EQ(de.size(), 5u);
    EXPECT_EQ(de[0], Translate(VarName(var::Y), 1) + ": " + m.FormatNumber(108));
    EXPECT_EQ(de[1], "nicht belegt");
    EXPECT_EQ(de[2], Translate(VarName(var::Y), 1) + ": " + m.FormatNumber(6) + " (Diff. zu t-3)");
    EXPECT_EQ(de[3].rfind("Geldbasiswachstumsrate,nom. (gMBN,aut): ", 0), 0u) << de[3];
    EXPECT_EQ(QuickInfoLines(m, slots, 4, {}, 2)[4], "no entry");

    const struct {
        double x;
        int t;
    } periods[] = {{3.4, 3}, {3.6, 4}, {-2, 0}, {14, 10}, {NAN, 0}};
    for (const auto& c : periods)
        EXPECT_EQ(QuickInfoPeriod(c.x, 0, 10), c.t) << c.x;
}

TEST(SequenceChartTest, AxisByStacking) {
    SequenceChartData d;
    d.Periods = {0, 1, 2};
    d.Series = {{10, 20, 30}, {5, -5, 40}};
    d.DataMax = 40;
    d.DataMin = -5;
    const struct {
        StackMode mode;
        int entry;
        bool dataChanged;
        double min, max;
    } cases[] = {
        {StackMode::None, 0, true, -5, 40},    {StackMode::None, 0, false, 0, 40},
        {StackMode::None, 5, true, 20, 40},    {StackMode::Stacked, 0, true, -5, 70},
        {StackMode::Stacked, 1, false, 7, 70}, {StackMode::Percent, 3, true, 0, 100},
    };
    for (const auto& c : cases) {
        const ChartAxis a = SequenceChartAxis(d, c.mode, c.entry, c.dataChanged);
        EXPECT_DOUBLE_EQ(a.Min, c.min) << int(c.mode) << c.entry;
        EXPECT_DOUBLE_EQ(a.Max, c.max) << int(c.mode) << c.entry;
    }
    // A stack of noise gets a unit axis; a small real stack keeps its own.
    for (auto [v, max] : {std::pair{5e-10, 1.0}, {5e-9, 5e-9}}) {
        d.Series = {{v, 0, 0}};
        EXPECT_EQ(SequenceChartAxis(d, StackMode::Stacked, 0, true).Max, max) << v;
    }
}

TEST(StructureGraphTest, SharesAndBars) {
    const struct {
        std::array<double, 4> values;
        std::array<double, 4> shares;
        bool bars;
    } cases[] = {
        {{50, 30, 20, 0}, {0.5, 0.3, 0.2, 0}, false},
        {{60, -10, 30, 20}, {0.6, -0.1, 0.3, 0.2}, true}, // disinvestment
        {{0, 0, 0, 0}, {0, 0, 0, 0}, false},
        {{1, NAN, 1, 1}, {NAN, NAN, NAN, NAN}, true},
    };
    for (const auto& c : cases) {
        const auto s = Shares(c.values);
        for (int k = 0; k < 4; ++k) {
            if (std::isnan(c.shares[k]))
                EXPECT_TRUE(std::isnan(s[k]));
            else
                EXPECT_DOUBLE_EQ(s[k], c.shares[k]);
        }
        EXPECT_EQ(NeedsBarChart(c.values), c.bars);
    }
}
