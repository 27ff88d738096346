#include "core/InputSession.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

using namespace tv;

namespace {

// All parameters of periods -1..right edge, to compare stores.
std::vector<double> Params(const Model& m) {
    std::vector<double> all;
    for (int t = -1; t <= m.Periods.RightEdge; ++t)
        for (int n = 1; n <= ParCount; ++n)
            all.push_back(m.ModelPar(t, n));
    return all;
}

Model Solved(int current) {
    Model m = test::StartModel();
    m.Periods.CurrentPeriod = current;
    m.Periods.LastSolved = m.Periods.RightEdge;
    return m;
}

} // namespace

TEST(InputSession, AllOkWritesOnlyTheEditedParameterOverItsValidity) {
    Model m = Solved(0);
    test::SetFrom(m, 5, {{par::GAut, 250}}); // a government path entered earlier
    const double gBefore = m.ModelPar(0, par::GAut);
    InputSession s(m, 1, true);
    test::RecordingHost host(1);
    const double cy = 0.1 + 0.2 + 0.33; // not representable in 15 digits
    ASSERT_TRUE(s.Enter(host, par::cY, cy));
    s.Close(InputClose::All, 3);
    for (int t = 0; t <= 100; ++t)
        EXPECT_EQ(m.ModelPar(t, par::cY), cy) << t;
    EXPECT_EQ(m.ModelPar(-1, par::cY), m.ModelPar(-1, par::cY));
    EXPECT_EQ(m.ModelPar(0, par::GAut), gBefore);
    EXPECT_EQ(m.ModelPar(5, par::GAut), 250);
    EXPECT_EQ(m.ModelPar(100, par::GAut), 250);
    EXPECT_EQ(m.Periods.LastSolved, -1);
    EXPECT_TRUE(host.messages.empty());
}

TEST(InputSession, EveryParameterOpensWithItsValueInTheCurrentPeriod) {
    Model m = Solved(4);
    for (int sector = 1; sector <= 5; ++sector) {
        InputSession s(m, sector, true);
        for (int page = 1; page <= s.PageCount(); ++page)
            for (int n = s.FirstParam(page); n <= s.LastParam(page); ++n)
                EXPECT_EQ(s.OpeningValue(n), m.ModelPar(4, n)) << n;
    }
}

TEST(InputSession, ClosingWithoutEditsChangesNothing) {
    for (InputClose how : {InputClose::All, InputClose::Page, InputClose::Cancel}) {
        Model m = Solved(4);
        test::SetFrom(m, 7, {{par::IAut, 120}});
        const auto before = Params(m);
        InputSession s(m, 1, true);
        test::RecordingHost host(1);
        ASSERT_TRUE(s.Enter(host, par::IAut, s.WorkValue(par::IAut))); // retyped as it was
        s.Close(how, 2);
        EXPECT_EQ(Params(m), before);
        EXPECT_EQ(m.Periods.LastSolved, 100);
        EXPECT_EQ(m.RecalcAll + m.RecalcInterval, 0);
    }
}

TEST(InputSession, PageOkWritesTheCurrentPageAndEachPageKeepsItsValidity) {
    Model m = Solved(10);
    InputSession s(m, 1, false);
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, par::CAut, 111)); // page 1
    ASSERT_TRUE(s.Enter(host, par::GAut, 222)); // page 3
    s.SetPeriods(1, 3);
    s.SetPermanent(3, true);
    {
        Model copy = m;
        InputSession page(copy, 1, false);
        ASSERT_TRUE(page.Enter(host, par::CAut, 111));
        ASSERT_TRUE(page.Enter(host, par::GAut, 222));
        page.Close(InputClose::Page, 3);
        EXPECT_EQ(copy.ModelPar(10, par::CAut), m.ModelPar(10, par::CAut));
        EXPECT_EQ(copy.ModelPar(10, par::GAut), 222);
        EXPECT_EQ(copy.ModelPar(11, par::GAut), m.ModelPar(11, par::GAut)); // one period
    }
    s.Close(InputClose::All, 1);
    EXPECT_EQ(m.ModelPar(9, par::CAut), m.ModelPar(8, par::CAut));
    for (int t = 10; t <= 12; ++t)
        EXPECT_EQ(m.ModelPar(t, par::CAut), 111);
    EXPECT_NE(m.ModelPar(13, par::CAut), 111);
    EXPECT_EQ(m.ModelPar(100, par::GAut), 222);
    EXPECT_EQ(m.Periods.LastSolved, 9);
}

TEST(InputSession, ValidityStopsAtTheRightEdge) {
    Model m = Solved(98);
    InputSession s(m, 2, false);
    EXPECT_EQ(s.SetPeriods(1, 3), 3);
    EXPECT_EQ(s.SetPeriods(2, 50), 3);
    EXPECT_EQ(s.SetPeriods(3, 0), 1);
    EXPECT_EQ(s.SetPeriods(4, -4), 1);
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, par::a, 7.5));
    s.Close(InputClose::Page, 1);
    EXPECT_EQ(m.ModelPar(98, par::a), 7.5);
    EXPECT_EQ(m.ModelPar(100, par::a), 7.5);
    EXPECT_NE(m.ModelPar(101, par::a), 7.5);
    EXPECT_NE(m.ModelPar(97, par::a), 7.5);
}

TEST(InputSession, OnlyPeriodsWhoseValueDiffersAreMarkedUnsolved) {
    Model m = Solved(2);
    test::SetFrom(m, 2, {{par::cY, 0.5}});
    test::SetFrom(m, 6, {{par::cY, 0.7}});
    InputSession s(m, 1, true);
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, par::cY, 0.7));
    s.Close(InputClose::Page, 1);
    EXPECT_EQ(m.Periods.LastSolved, 1);
    EXPECT_EQ(m.ModelPar(5, par::cY), 0.7);

    Model same = Solved(6);
    test::SetFrom(same, 2, {{par::cY, 0.5}});
    test::SetFrom(same, 8, {{par::cY, 0.7}});
    InputSession later(same, 1, true);
    ASSERT_TRUE(later.Enter(host, par::cY, 0.7));
    later.Close(InputClose::Page, 1);
    EXPECT_EQ(same.Periods.LastSolved, 5); // period 6 changed first; 8.. were equal already
}

TEST(InputSession, RefusedEntriesKeepTheWorkingValue) {
    Model m = Solved(3);
    InputSession s(m, 1, true);
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Entry {
        int n;
        double x;
    };
    // Out of range, infinite and not a number, also where any value is admissible (d[K]).
    for (Entry e : {Entry{par::cY, 1.5}, Entry{par::cY, nan}, Entry{par::CAut, inf},
                    Entry{par::dK, nan}, Entry{par::dK, -inf}}) {
        test::RecordingHost host(1);
        const double before = s.WorkValue(e.n);
        EXPECT_FALSE(s.Enter(host, e.n, e.x)) << e.n << " " << e.x;
        EXPECT_EQ(s.WorkValue(e.n), before);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});
    }
    test::RecordingHost host(1);
    EXPECT_FALSE(s.Enter(host, par::dK, nan));
    EXPECT_EQ(host.messages[0],
              "Parameter Check: Unzulässige Eingabe für Abschreibungsrate (d[K]) "
              "in t = 3\r\n\r\nDie Eingabe ist keine Zahl. | Bisheriger Wert wird "
              "wiederhergestellt.");
    EXPECT_FALSE(s.Enter(host, par::bM, 0.3)); // admissible, but not a goods-demand parameter
    s.Close(InputClose::All, 1);
    EXPECT_EQ(m.Periods.LastSolved, 100);
}

TEST(InputSession, CashAndReserveRatioAreTestedInEveryTargetPeriod) {
    Model m = Solved(3);
    m.Switch[18] = 1;
    test::SetFrom(m, 3, {{par::rSE, 0.1}});
    test::SetFrom(m, 7, {{par::rSE, 0}}); // reserve requirement abolished from period 7
    const auto before = Params(m);
    InputSession s(m, 4, false);
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, par::bM, 0)); // fine in period 3
    s.SetPeriods(3, 4);                     // periods 3..6
    EXPECT_TRUE(s.CheckTargets(host, InputClose::Page, 3));
    s.SetPermanent(3, true);
    EXPECT_TRUE(s.CheckTargets(host, InputClose::Page, 2)); // page 3 not written
    EXPECT_FALSE(s.CheckTargets(host, InputClose::All, 1));
    EXPECT_TRUE(s.CheckTargets(host, InputClose::Cancel, 1)); // cancel stores nothing
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "Parameter Check: Bargeldquote b[M] und Mindestreservesatz r[SE] in t = 7 sind null "
              "(-> unendl. Geldschöpfungsmultiplikator). | Es wurde noch nichts übernommen.");
    EXPECT_EQ(Params(m), before);
    // Writing a reserve ratio along with it makes the path admissible.
    ASSERT_TRUE(s.Enter(host, par::rSE, 0.05));
    EXPECT_TRUE(s.CheckTargets(host, InputClose::All, 1));
    // Each ratio is checked against the other one's value as entered.
    ASSERT_TRUE(s.Enter(host, par::bM, 0.2));
    EXPECT_TRUE(s.Enter(host, par::rSE, 0));
    EXPECT_FALSE(s.Enter(host, par::bM, 0));
}

TEST(InputSession, AutonomousMoneyChangeAtTheStartIsALevel) {
    // A level of 1 as well: no value may escape the reset. Written for two periods only,
    // period 1 is reset all the same and the later ones keep theirs.
    for (auto [n, level, periods] :
         {std::tuple{par::dMHNAut, 900.0, 0}, {par::dMBHNAut, 1.0, 0}, {par::dMHNAut, 900.0, 2}}) {
        Model m = Solved(0);
        m.Switch[19] = 1;
        m.Switch[18] = n == par::dMBHNAut; // the money base is set autonomously
        test::SetFrom(m, 4, {{n, 30}});
        InputSession s(m, 4, periods == 0);
        if (periods != 0) s.SetPeriods(s.PageOfParam(n), periods);
        test::RecordingHost host(1);
        ASSERT_TRUE(s.Enter(host, n, level)) << n;
        s.Close(InputClose::All, 3);
        EXPECT_EQ(m.ModelPar(0, n), level);
        for (int t = 1; t <= 100; ++t)
            EXPECT_EQ(m.ModelPar(t, n), periods == 0 || t < 4 ? 0 : 30) << n << " " << t;
        EXPECT_EQ(m.Periods.LastSolved, -1);
    }
}

TEST(InputSession, SwitchChangesSetTheirRecalculationFlags) {
    struct Case {
        int sw;
        int from, to;
        std::vector<std::pair<int, int>> others; // other switches at opening and closing
        bool all, interval;
    };
    const Case cases[] = {
        {1, 0, 1, {}, true, false},        {2, 0, 1, {}, false, true},
        {3, 0, 1, {}, false, true},        {4, 0, 1, {{3, 1}}, false, true},
        {4, 0, 1, {{3, 0}}, false, false}, {5, 0, 1, {}, false, true},
        {6, 0, 1, {}, true, false},        {7, 0, 1, {}, true, false},
        {8, 0, 1, {}, true, false},        {9, 0, 1, {}, false, true},
        {10, 0, 1, {}, false, true},       {11, 0, 1, {}, false, true},
        {12, 0, 2, {}, true, false},       {13, 1, 5, {}, true, false},
        {14, 0, 1, {}, true, false},       {23, 4, 8, {}, true, false},
        {15, 0, 1, {}, true, false},       {16, 0, 1, {}, true, false},
        {17, 0, 1, {}, true, false},       {17, 2, 0, {}, true, false},
        {17, 1, 2, {}, false, true},       {18, 0, 1, {}, true, false},
        {19, 0, 1, {}, true, false},       {20, 0, 1, {}, true, false},
        {22, 1, 3, {}, true, false},       {21, 0, 1, {}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("switch " + std::to_string(c.sw));
        Model m = Solved(0);
        for (auto [k, v] : c.others)
            m.Switch[k] = static_cast<uint8_t>(v);
        m.Switch[c.sw] = static_cast<uint8_t>(c.from);
        InputSession s(m, 1, true);
        m.Switch[c.sw] = static_cast<uint8_t>(c.to); // an option of any page or dialog
        s.Close(InputClose::Page, 4);
        EXPECT_EQ(m.RecalcAll != 0, c.all);
        EXPECT_EQ(m.RecalcInterval != 0, c.interval);
    }
    // An exchange-rate system left as it was does not clear a pending recalculation.
    Model m = Solved(0);
    m.RecalcAll = 1;
    InputSession s(m, 5, true);
    s.Close(InputClose::All, 1);
    EXPECT_EQ(m.RecalcAll, 1);
}

TEST(InputSession, CancelRestoresTheSwitches) {
    Model m = Solved(0);
    const Switches before = m.Switch;
    InputSession s(m, 1, true);
    m.Switch[1] = 1;
    m.Switch[3] = 1;
    EXPECT_EQ(s.VisibleParams(1), (std::vector<int>{1, 3, 4, 5}));
    EXPECT_FALSE(s.VisibleParams(2).empty());
    EXPECT_TRUE(s.VisibleParams(0).empty()); // no page
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, par::cYL, 0.4));
    s.Close(InputClose::Cancel, 1);
    EXPECT_EQ(m.Switch, before);
    EXPECT_EQ(s.VisibleParams(1), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(m.RecalcAll + m.RecalcInterval, 0);
    EXPECT_NE(m.ModelPar(0, par::cYL), 0.4);
}

TEST(InputSession, FlexibleRatesEndActualExpectationsOfEveryIncomeRecord) {
    struct Case {
        int rate;   // switch 21
        int record; // the one record at method 1 (actual value)
        bool changed;
    };
    const Case cases[] = {
        {1, 0, true},  {1, 1, true}, {1, 2, true}, // income, wage income, profit income
        {1, 3, false},                             // demand is no income expectation
        {0, 2, false},                             // fixed rates keep actual incomes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("switch 21 = " + std::to_string(c.rate) + ", record " +
                     std::to_string(c.record));
        Model m = Solved(5);
        m.Switch[21] = static_cast<uint8_t>(c.rate);
        for (int i = 0; i <= 3; ++i)
            m.Expect[i].Method = i == c.record ? 1 : 3;
        m.RecalcInterval = 0;
        EXPECT_EQ(SwitchIncomeExpectationsForFlexibleRates(m), c.changed);
        // The record at method 1 becomes extrapolative (2); the others stay.
        for (int i = 0; i <= 3; ++i)
            EXPECT_EQ(m.Expect[i].Method, i != c.record ? 3 : c.changed ? 2 : 1) << i;
        EXPECT_EQ(m.RecalcInterval, c.changed ? 1 : 0);
    }
}
