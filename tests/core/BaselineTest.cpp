// The frozen baseline run: which periods it keeps, that it stays as frozen, and the
// deviation arithmetic.

#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Solver.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tv;

namespace {

Model SolvedBondMarket(int rightEdge) {
    Model m = test::BondMarketModel();
    m.Periods.RightEdge = rightEdge;
    test::RecordingHost host;
    Solve(m, host);
    return m;
}

} // namespace

TEST(BaselineTest, KeepsTheSolvedPeriodsOfTheInterval) {
    struct Case {
        const char* what;
        int left, lastSolved, right;
        int from, to;
        bool empty;
    };
    const Case cases[] = {
        {"solved to the right edge", 0, 12, 12, 0, 12, false},
        {"solved beyond a right edge moved back", 0, 20, 12, 0, 12, false},
        {"stopped early", 0, 5, 12, 0, 5, false},
        {"left edge later than 0", 3, 12, 12, 3, 12, false},
        {"nothing of the interval solved", 3, 2, 12, 3, 2, true},
        {"nothing solved at all", 0, -1, 12, 0, -1, true},
    };
    Model m = SolvedBondMarket(20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m.Periods.LeftEdge = c.left;
        m.Periods.LastSolved = c.lastSolved;
        m.Periods.RightEdge = c.right;
        const Baseline b(m);
        EXPECT_EQ(b.From(), c.from);
        EXPECT_EQ(b.To(), c.to);
        EXPECT_EQ(b.Empty(), c.empty);
        EXPECT_EQ(b.Covers(c.from), !c.empty);
        EXPECT_FALSE(b.Covers(c.from - 1));
        EXPECT_FALSE(b.Covers(c.to + 1));
    }
}

TEST(BaselineTest, DeviationArithmetic) {
    struct Case {
        double scenario, baseline, deviation, percent;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {110, 100, 10, 10},
        {90, 100, -10, -10},
        // A negative baseline: the percent keeps the direction of the change.
        {-90, -100, 10, 10},
        {-110, -100, -10, -10},
        {5, 0, 5, nan},
        {0, 0, 0, nan},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.scenario << " vs " << c.baseline);
        EXPECT_DOUBLE_EQ(Deviation(c.scenario, c.baseline), c.deviation);
        if (std::isnan(c.percent))
            EXPECT_TRUE(std::isnan(DeviationPercent(c.scenario, c.baseline)));
        else
            EXPECT_DOUBLE_EQ(DeviationPercent(c.scenario, c.baseline), c.percent);
    }
}

TEST(BaselineTest, MarkNamesThePeriodsInBothLanguages) {
    Model m = SolvedBondMarket(12);
    m.Periods.LeftEdge = 2;
    m.Periods.LastSolved = 9;
    const Baseline b(m);
    EXPECT_EQ(Translate(BaselineMark(b), 1), "Basislauf 2-9");
    EXPECT_EQ(Translate(BaselineMark(b), 2), "Baseline 2-9");
}
