// The sequence table's comparison columns: which columns, and cells that equal the
// difference of two independent solutions.

#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Baseline.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "views/SequenceBaseline.h"

#include <gtest/gtest.h>

using namespace tv;

namespace {

using Kind = SequenceColumnKind;

Model Solved(double extraMoney) {
    Model m = test::ClosedISLMModel();
    m.Periods.RightEdge = 12;
    if (extraMoney != 0) test::SetFrom(m, 5, {{par::MNAut, m.GetPar(5, par::MNAut) + extraMoney}});
    test::RecordingHost host;
    Solve(m, host);
    return m;
}

} // namespace

TEST(SequenceBaselineTest, ColumnsFollowTheChoiceOnlyWithABaseline) {
    struct Case {
        bool hasBaseline;
        BaselineColumnChoice choice;
        std::vector<SequenceColumn> expected;
    };
    const std::vector<int> vars{13, 37};
    const Case cases[] = {
        {false, {true, true, true}, {{13, Kind::Value}, {37, Kind::Value}}},
        {true,
         {},
         {{13, Kind::Value}, {13, Kind::Deviation}, {37, Kind::Value}, {37, Kind::Deviation}}},
        {true, {false, false, false}, {{13, Kind::Value}, {37, Kind::Value}}},
        {true,
         {true, true, true},
         {{13, Kind::Value},
          {13, Kind::Baseline},
          {13, Kind::Deviation},
          {13, Kind::DeviationPercent},
          {37, Kind::Value},
          {37, Kind::Baseline},
          {37, Kind::Deviation},
          {37, Kind::DeviationPercent}}},
        {true,
         {true, false, true},
         {{13, Kind::Value},
          {13, Kind::Baseline},
          {13, Kind::DeviationPercent},
          {37, Kind::Value},
          {37, Kind::Baseline},
          {37, Kind::DeviationPercent}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SequenceTableColumns(vars, c.hasBaseline, c.choice), c.expected);
}

// Freeze, raise the money supply, solve again: the comparison cells are the difference of
// two independent solutions, in the absolute and in the difference table.
TEST(SequenceBaselineTest, CellsEqualTheDifferenceOfTwoIndependentSolutions) {
    Model m = Solved(0);
    const Baseline b(m);
    test::SetFrom(m, 5, {{par::MNAut, m.GetPar(5, par::MNAut) + 60}});
    MarkUnsolvedFrom(m, 4);
    test::RecordingHost host;
    Solve(m, host);
    const Model base = Solved(0), scenario = Solved(60);
    ASSERT_NE(scenario.GetVar(8, var::Y), base.GetVar(8, var::Y));
    for (bool differences : {false, true})
        for (int t = 1; t <= 12; ++t)
            for (int v : {var::Y, var::i, var::M}) {
                SCOPED_TRACE(testing::Message()
                             << "differences " << differences << " t " << t << " var " << v);
                auto own = [&](const Model& x, int p) {
                    const double now = x.GetVar(p, v);
                    return differences ? now - x.GetVar(p - 1, v) : now;
                };
                const double s = own(scenario, t), z = own(base, t);
                EXPECT_EQ(SequenceCell(m, &b, t, {v, Kind::Value}, differences), s);
                EXPECT_EQ(SequenceCell(m, &b, t, {v, Kind::Baseline}, differences), z);
                EXPECT_EQ(SequenceCell(m, &b, t, {v, Kind::Deviation}, differences), s - z);
                const auto percent =
                    SequenceCell(m, &b, t, {v, Kind::DeviationPercent}, differences);
                if (z == 0)
                    EXPECT_FALSE(percent.has_value());
                else
                    EXPECT_DOUBLE_EQ(*percent, (s - z) / std::abs(z) * 100);
            }
    // Before the shock nothing deviates.
    EXPECT_EQ(SequenceCell(m, &b, 4, {var::Y, Kind::Deviation}, false), 0.0);
}

TEST(SequenceBaselineTest, PeriodsTheBaselineLacksAreEmpty) {
    Model m = Solved(0);
    m.Periods.LeftEdge = 2;
    m.Periods.LastSolved = 8; // as if the solution had stopped there
    const Baseline b(m);
    for (Kind k : {Kind::Baseline, Kind::Deviation, Kind::DeviationPercent}) {
        EXPECT_FALSE(SequenceCell(m, &b, 1, {var::Y, k}, false).has_value());
        EXPECT_TRUE(SequenceCell(m, &b, 2, {var::Y, k}, false).has_value());
        EXPECT_TRUE(SequenceCell(m, &b, 8, {var::Y, k}, false).has_value());
        EXPECT_FALSE(SequenceCell(m, &b, 9, {var::Y, k}, false).has_value());
        EXPECT_FALSE(SequenceCell(m, nullptr, 5, {var::Y, k}, false).has_value());
    }
    // The model's own column needs no baseline.
    EXPECT_EQ(SequenceCell(m, nullptr, 9, {var::Y, Kind::Value}, false), m.GetVar(9, var::Y));
}

TEST(SequenceBaselineTest, HeadersNameTheComparison) {
    struct Case {
        Kind kind;
        bool differences;
        int language;
        const char* expected;
    };
    const Case cases[] = {
        {Kind::Value, false, 1, "Y"},
        {Kind::Baseline, false, 1, "Y Basis"},
        {Kind::Baseline, false, 2, "Y Base"},
        {Kind::Deviation, true, 1, "dY Abw."},
        {Kind::Deviation, false, 2, "Y Dev."},
        {Kind::DeviationPercent, false, 1, "Y Abw. %"},
        {Kind::DeviationPercent, true, 2, "dY Dev. %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SequenceColumnHeader({var::Y, c.kind}, c.differences, c.language), c.expected);
}
