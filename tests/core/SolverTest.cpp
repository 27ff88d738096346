#include "core/Solver.h"
#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Period.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tv {
namespace {

using test::RecordingHost;

// Relative tolerance of a start equilibrium found with the default accuracy.
constexpr double kRel = 1e-6;

TEST(StartEquilibrium, KeynesianCrossIsAutonomousDemandTimesTheMultiplier) {
    // Y = (C,aut + I,aut + G,aut) / (1 - c[Y]) = 300 / 0.2
    Model m = test::KeynesianModel();
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_NEAR(m.GetVar(0, var::Y), 1500, 1500 * kRel);
    EXPECT_NEAR(m.GetVar(100, var::Y), 1500, 1500 * kRel);
    for (int n = 1; n <= VarCount; ++n) // the whole start period comes from the search
        EXPECT_EQ(m.GetVar(0, n), m.ScratchVar(0, n)) << n;

    // With a proportional tax: Y = (C,aut + I,aut + G,aut) / (1 - c[Y](1 - t[Y])) = 300 / 0.4
    Model taxed = test::KeynesianModel();
    test::SetFrom(taxed, 0, {{par::tY, 0.25}});
    Solve(taxed, host);
    EXPECT_EQ(taxed.GetPar(-1, par::tY), 0.25); // the period before takes the start's parameters
    EXPECT_NEAR(taxed.GetVar(0, var::Y), 750, 750 * kRel);
    EXPECT_NEAR(taxed.GetVar(0, var::T), 187.5, 187.5 * kRel);

    // The accelerator rests in the stationary start; b[Y], kept from before, takes no part.
    Model accelerated = test::KeynesianModel();
    accelerated.Switch[3] = 1;
    test::SetAll(accelerated, {{par::bY, 0.1}, {par::bdY, 0.5}});
    Solve(accelerated, host);
    EXPECT_NEAR(accelerated.GetVar(0, var::Y), 1500, 1500 * kRel);
}

TEST(StartEquilibrium, ClosedISLMIsTheIntersectionOfBothLines) {
    // IS: Y = 100 + 0.75*0.8*Y - 4i + 150 + 0.05*Y - 10i + 200  =>  0.35 Y = 450 - 14 i
    // LM: 600 = 100 - 20 i + 0.5 Y                             =>  Y = 1000 + 40 i
    // => i = 100/28, Y = 1000 + 4000/28
    Model m = test::ClosedISLMModel();
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_NEAR(m.GetVar(0, var::i), 100.0 / 28, 1e-4);
    EXPECT_NEAR(m.GetVar(0, var::Y), 1000 + 4000.0 / 28, 1142 * kRel);
    EXPECT_NEAR(m.GetVar(50, var::Y), m.GetVar(0, var::Y), 1142 * kRel);
}

TEST(StartEquilibrium, OpenEconomyWithFlexibleRatesBalancesTheForeignAccounts) {
    // Capital flows finance the trade balance: Ex - Im = -((i - iA) k[di] + NK,aut).
    // IS: 0.425 Y = 80 + 120 + 180 - 10 + 4*20 - (3 + 8 + 20) i = 450 - 31 i
    // LM: 150 / (1 - 0.8*0.9) = 100 - 15 i + 0.5 Y
    const double money = 150 / (1 - 0.8 * 0.9);
    const double i = (450 - 0.425 * 2 * (money - 100)) / (31 + 0.425 * 30);
    const double y = 2 * (money - 100) + 30 * i;
    Model m = test::OpenFlexibleModel();
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_NEAR(m.GetVar(0, var::i), i, 1e-4);
    EXPECT_NEAR(m.GetVar(0, var::Y), y, y * kRel);
    EXPECT_NEAR(m.GetVar(0, var::AB), -((i - 4) * 20 + 10), 1e-3);
    EXPECT_NEAR(m.GetVar(0, var::M), money, money * 1e-12);
}

TEST(StartEquilibrium, PricesAndWagesSettleAtTheNaturalRate) {
    Model m = test::BondMarketModel();
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    // Stationary wages need u = u,nat: Y = a * A,pot * (1 - 5/100).
    EXPECT_NEAR(m.GetVar(0, var::u), 5, 1e-3);
    EXPECT_NEAR(m.GetVar(0, var::Y), 1140, 1140 * 1e-5);
    // The price is the mark-up on unit labour cost.
    const double p = (1 + 0.25 + 1140 * 0.1 / 1200) * m.GetVar(0, var::wN);
    EXPECT_NEAR(m.GetVar(0, var::P), p, p * 1e-5);
    // Changes from period 1 on leave the start alone.
    Model later = test::BondMarketModel();
    test::SetFrom(later, 1, {{par::wNExog, 3}, {par::PExog, 2}});
    Solve(later, host);
    for (int t : {-1, 0})
        for (int n = 1; n <= VarCount; ++n)
            EXPECT_EQ(later.GetVar(t, n), m.GetVar(t, n)) << t << " " << n;
}

// The whole history the start leaves is finite, also with an exogenous interest rate under
// flexible rates, where the first round weighs the trade balance at the exchange rate of the
// period before with a zero factor.
TEST(StartEquilibrium, LeavesAFiniteHistory) {
    Model m = test::OpenFlexibleModel();
    m.Switch[17] = 0;
    RecordingHost host(1);
    Solve(m, host);
    for (int t = FirstVarPeriod; t <= 0; ++t)
        for (int n = 1; n <= VarCount; ++n)
            ASSERT_TRUE(std::isfinite(m.GetVar(t, n))) << t << " " << n;
}

// Five contract periods of 216 averaged in period 3 would reach back to -1077, a period
// before the history: the average stops at its start and stays within what it averages.
TEST(StartEquilibrium, AWagePeriodAverageStopsAtTheStartOfTheHistory) {
    Model m = test::KeynesianModel();
    m.Switch[23] = 216;
    m.Expect[3].Method = 2;
    m.Expect[3].Lags = 5;
    m.Expect[3].PerWagePeriod = 1;
    RecordingHost host(1);
    Solve(m, host);
    double low = m.GetVar(0, var::N), high = low;
    for (int t = FirstVarPeriod; t <= 2; ++t)
        low = std::min(low, m.GetVar(t, var::N)), high = std::max(high, m.GetVar(t, var::N));
    EXPECT_GE(m.GetVar(3, var::NErw), low);
    EXPECT_LE(m.GetVar(3, var::NErw), high);
}

// With a growing money supply the price level of the start is 1; nominal quantities
// follow it.
TEST(StartEquilibrium, WithGrowingMoneyThePriceLevelStartsAtOne) {
    Model m = test::BondMarketModel();
    m.Switch[20] = 1;
    test::SetAll(m, {{par::gMNAut, 4}, {par::eNExog, 2}});
    RecordingHost host(1);
    host.answers = {false}; // the search need not settle for this
    Solve(m, host);
    EXPECT_DOUBLE_EQ(m.GetVar(0, var::P), 1);
    EXPECT_DOUBLE_EQ(m.GetVar(0, var::wN), m.GetVar(0, var::w));
    EXPECT_DOUBLE_EQ(m.GetVar(0, var::MN), m.GetVar(0, var::M));
    EXPECT_DOUBLE_EQ(m.GetVar(0, var::eN), m.GetPar(0, par::eNExog));
    // Inflation is expected from the growth of nominal money over a wage contract of four.
    EXPECT_NEAR(m.GetVar(0, var::gPErw), (std::pow(1.04, 4) - 1) * 100, 1e-9);
}

// The search sets the expectations its own way, so the start does not depend on the user's.
TEST(StartEquilibrium, FormsTheExpectationsItsOwnWay) {
    // Output per worker that moves with output gives productivity gains while it searches.
    Model substitutional = test::BondMarketModel();
    substitutional.Switch[6] = 1;
    test::SetAll(substitutional,
                 {{par::q, 0.845}, {par::alpha, 0.7}, {par::beta, 0.3}, {par::wga, 0.5}});
    substitutional.UpdateActiveParams();
    for (Model m : {test::OpenFlexibleModel(), test::BondMarketModel(), substitutional}) {
        Model other = m;
        for (int k : {0, 1, 2, 3, 4, 6}) {
            other.Expect[k].Method = 3;
            other.Expect[k].Weight = 20;
            other.Expect[k].Lags = 3;
        }
        for (int t = -5; t <= 0; ++t)
            other.SetVar(t, var::gaErw, 5); // left from an earlier solution
        RecordingHost host(1);
        Solve(m, host);
        Solve(other, host);
        for (int n = 1; n <= VarCount; ++n)
            EXPECT_EQ(m.GetVar(0, n), other.GetVar(0, n)) << n;
    }
}

// A growing foreign price level starts at 1, its level moving into the exchange rate.
TEST(StartEquilibrium, TheForeignPriceLevelStartsAtOneOnlyWhenItGrows) {
    for (int growing : {0, 1}) {
        Model m = test::KeynesianModel();
        test::SetAll(m, {{par::PAExog, 2}, {par::eNExog, 1.5}});
        test::SetFrom(m, 1, {{par::PAExog, 4}}); // a later change leaves the start alone
        m.Switch[11] = static_cast<uint8_t>(growing);
        RecordingHost host(1);
        Solve(m, host);
        const double pa = growing ? 1 : 2, eN = growing ? 3 : 1.5;
        for (int t : {-1, 0}) {
            EXPECT_EQ(m.GetVar(t, var::PA), pa) << growing;
            EXPECT_EQ(m.GetVar(t, var::eN), eN) << growing;
        }
        EXPECT_EQ(m.GetPar(0, par::eNExog), eN);
    }
}

TEST(FillUndefinedPeriods, FillsOnlyUndefinedPeriodsAndUnsolvesFromThePeriodBeforeTheFirst) {
    struct Case {
        const char* what;
        int holeFrom, holeTo; // periods left undefined (P,exog = 0)
        int from, to;         // the range filled
        int lastSolvedBefore, lastSolvedAfter;
    };
    const Case cases[] = {
        {"hole in the middle", 40, 45, 0, 100, 100, 39},
        {"beyond the old solution", 121, 150, 0, 150, 150, 120},
        {"start period", 0, 0, 0, 100, 100, -1},
        {"hole outside the range", 40, 45, 50, 100, 100, 100},
        {"nothing undefined", 1, 0, 0, 100, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Model m = test::StartModel();
        test::SetAll(m, {{par::CAut, 77}});
        for (int t = 101; t <= 150; ++t)
            for (int n = 1; n <= ParCount; ++n)
                m.SetModelPar(t, n, n == par::PExog ? 1 : n == par::CAut ? 77 : 0);
        for (int t = c.holeFrom; t <= c.holeTo; ++t) {
            m.SetModelPar(t, par::PExog, 0);
            m.SetModelPar(t, par::fNK, 0.5); // the last parameter is filled too
        }
        m.Periods.LastSolved = c.lastSolvedBefore;
        FillUndefinedPeriods(m, c.from, c.to);
        EXPECT_EQ(m.Periods.LastSolved, c.lastSolvedAfter);
        for (int t = -1; t <= 150; ++t) {
            const bool filled = t >= c.holeFrom && t <= c.holeTo && t >= c.from && t <= c.to;
            ASSERT_EQ(m.ModelPar(t, par::CAut), filled ? DefaultPar(t, par::CAut) : 77)
                << "t = " << t;
            if (filled) {
                ASSERT_EQ(m.ModelPar(t, par::dMHNAut), DefaultPar(t, par::dMHNAut)) << t;
                ASSERT_EQ(m.ModelPar(t, par::fNK), 0) << t;
            }
        }
    }
}

TEST(Solve, TheSearchNeedsTenIterationsAndStopsAtWholeRounds) {
    // Zero income everywhere counts as converged; the iteration count shows in the STOP
    // polls, one per iteration.
    Model zero = test::StartModel();
    zero.Periods.LastSolved = -1;
    RecordingHost host(1);
    Solve(zero, host);
    ASSERT_EQ(host.windowPolls.size(), 2u); // search, then interval
    EXPECT_EQ(host.windowPolls[0], 10);
    EXPECT_EQ(host.windowPolls[1], 100);
    EXPECT_EQ(host.Status(), "Ok");

    zero.Switch[23] = 4;
    zero.Periods.LastSolved = -1;
    Solve(zero, host);
    EXPECT_EQ(host.windowPolls[2], 12);

    // How many iterations the start search takes for a model.
    const auto searchLength = [&host](Model model) {
        host.windowPolls.clear();
        Solve(model, host);
        return host.windowPolls.at(0);
    };
    Model m = test::KeynesianModel();
    m.Switch[23] = 3;
    m.Switch[22] = 2;
    // The search forms demand adaptively and income by extrapolation, whatever the model's
    // own expectations: that sets how many iterations it takes.
    const int first = searchLength(m);
    EXPECT_EQ(first % 6, 0);
    EXPECT_EQ(first, 198);
    // With wage rounds it also waits for output and the real wage to repeat over a round.
    EXPECT_EQ(searchLength(test::BondMarketModel()), 252);
    // Slow wages leave the real wage moving after output has settled.
    Model slow = test::BondMarketModel();
    test::SetAll(slow, {{par::wu, 0.1}});
    slow.Options.MaxIterations = 2000;
    EXPECT_EQ(searchLength(slow), 1216);
    // Prices set from outside: the wage may keep moving, the search waits only for output.
    Model fixedPrices = test::BondMarketModel();
    fixedPrices.Switch[12] = 0;
    EXPECT_EQ(searchLength(fixedPrices), 112);
    // With growing money, output must also repeat over a monetary round.
    Model growing = test::KeynesianModel();
    growing.Switch[20] = 1;
    growing.Switch[22] = 3;
    EXPECT_EQ(searchLength(growing), 204);
    // Income that dies away has settled once two successive iterations are below 1e-11.
    Model decay = test::KeynesianModel();
    Solve(decay, host);
    test::SetAll(decay, {{par::CAut, 0}, {par::IAut, 0}, {par::GAut, 0}});
    decay.Periods.LastSolved = -1;
    host.windowPolls.clear();
    Solve(decay, host);
    EXPECT_EQ(host.windowPolls[0], 452);
}

TEST(Solve, LeftEdgeAboveZeroSolvesOnTheStoredStartPeriod) {
    Model m = test::KeynesianModel();
    m.Periods.LeftEdge = 10;
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.windowPolls.size(), 1u); // no equilibrium search, only the interval
    EXPECT_EQ(m.RecalcEquilibrium, 1);
    // The period-0 row was never solved: its zero price level gives period 1 an infinite
    // inflation rate and money that is not a number, so the solution ends before period 1.
    EXPECT_EQ(m.Periods.LastSolved, 0);
    EXPECT_EQ(host.Status(), "Lösungsabbruch nach t = 0");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("In t = 1 ist LS keine Zahl"), std::string::npos);
    // Period 1 expects last period's zero demand, and period 2 reacts to the autonomous
    // demand of period 1.
    EXPECT_EQ(m.GetVar(0, var::Y), 0);
    EXPECT_EQ(m.GetVar(1, var::Y), 0);
    EXPECT_EQ(m.GetVar(2, var::Y), 300);

    m.RecalcInterval = 1;
    m.Periods.LastSolved = 100;
    Solve(m, host);
    EXPECT_EQ(m.RecalcInterval, 0);
    EXPECT_EQ(m.RecalcEquilibrium, 1);
}

// Nominal money grows at the start of each monetary period of three and stays within it;
// wages are set anew at the start of each contract period of four. Both solved at once
// and period by period.
TEST(Solve, MoneyAndWagesChangeAtTheStartOfTheirRounds) {
    for (int stepwise : {0, 1}) {
        Model m = test::BondMarketModel();
        m.Switch[14] = 1;
        m.Switch[20] = 1;
        m.Switch[22] = 3;
        test::SetFrom(m, 1, {{par::gMNAut, 6}});
        m.Options.StepwiseSolve = static_cast<uint8_t>(stepwise);
        RecordingHost host(1);
        do
            Solve(m, host);
        while (m.Periods.LastSolved < 12);
        for (int t = 1; t <= 12; ++t) {
            EXPECT_DOUBLE_EQ(m.GetVar(t, var::MN) / m.GetVar(t - 1, var::MN), t % 3 == 0 ? 1.06 : 1)
                << t;
            EXPECT_EQ(m.GetVar(t, var::wN) == m.GetVar(t - 1, var::wN), t % 4 != 0) << t;
        }
    }
}

TEST(Solve, StepwiseAdvancesOnePeriodPerCall) {
    Model m = test::KeynesianModel();
    m.Periods.RightEdge = 3;
    m.Options.StepwiseSolve = 1;
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 0);
    EXPECT_TRUE(host.controlVisible);
    EXPECT_EQ(host.Status(), "Lösung bis t = 0");
    Solve(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Lösung bis t = 2");
    Solve(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 3);
    EXPECT_FALSE(host.controlVisible);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_EQ(m.Periods.MaxSolved, 3);
    EXPECT_EQ(host.sounds.back(), "LoesEnde.wav");
    const size_t sounds = host.sounds.size();
    Solve(m, host); // nothing left to solve: no sound
    EXPECT_EQ(host.sounds.size(), sounds);
}

// Each of these flags alone has the start equilibrium searched again.
TEST(Solve, EachRecalculationFlagSearchesTheStartAgain) {
    for (auto flag : {&Model::RecalcAll, &Model::RecalcEquilibrium, &Model::EquilibriumInexact}) {
        Model m = test::KeynesianModel();
        RecordingHost host(1);
        Solve(m, host);
        test::SetAll(m, {{par::GAut, 200}});
        m.*flag = 1;
        Solve(m, host);
        EXPECT_NEAR(m.GetVar(0, var::Y), 2000, 2000 * kRel);
    }
}

TEST(Solve, InexactStartEquilibriumAsksAndReports) {
    Model m = test::BondMarketModel();
    m.Options.MaxIterations = 12;
    m.Options.Accuracy = 1e-15;
    RecordingHost host(1);
    host.answers = {true, false}; // go on once, then give up
    Solve(m, host);
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.questions[0].rfind("Was nun?: Die Ergebnisse für das Ausgangsgleichgewicht "
                                      "(t=0) haben nach 12 Iterationen",
                                      0),
              0u);
    EXPECT_NE(host.questions[1].find("nach 24 Iterationen"), std::string::npos);
    EXPECT_NE(host.questions[1].find("%. Berechnung fortsetzen?"), std::string::npos);
    EXPECT_EQ(host.Status(), "GG-Lösung ungenau");
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().rfind("Hinweis: Der Lösungsvorgang für das "
                                         "Ausgangsgleichgewicht in t=0 wurde vor Erreichen",
                                         0),
              0u);
    EXPECT_EQ(m.EquilibriumInexact, 1);
    // The maximum label grew by MaxIterations after the "yes".
    EXPECT_NE(std::find(host.progress.begin(), host.progress.end(), "max 24"), host.progress.end());
    EXPECT_EQ(host.windowPolls.at(0), 24); // twelve rounds more after it
    // The next Solve searches again.
    m.Options.Accuracy = 0.00001;
    m.Options.MaxIterations = 500;
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_EQ(m.EquilibriumInexact, 0);
}

// A real wage of zero has no relative change: the search never settles and reports twice
// the accuracy.
TEST(Solve, AZeroRealWageNeverSettles) {
    Model m = test::BondMarketModel();
    test::SetAll(m, {{par::wNExog, 0}});
    RecordingHost host(1);
    host.answers = {false};
    Solve(m, host);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].find("beträgt 0.002000000%"), std::string::npos);
}

TEST(Solve, TheHourglassComesAndGoesInPairs) {
    for (bool answer : {true, false}) {
        Model m = test::BondMarketModel();
        m.Options.ShowSolveInfo = 0;
        m.Options.MaxIterations = 12;
        m.Options.Accuracy = 1e-15;
        RecordingHost host(1);
        host.answers = {answer, false};
        Solve(m, host);
        EXPECT_EQ(host.busyDepth, 0) << answer;
        EXPECT_FALSE(host.busyUnbalanced) << answer;
        EXPECT_TRUE(host.windowPolls.empty()); // no information window, no STOP
    }
}

TEST(Solve, InformationWindowLabelsEndWithDotsInBothLanguages) {
    Model m = test::BondMarketModel();
    m.Options.ShowSolveInfo = 1;
    RecordingHost host(1);
    EquilibriumSearch(m, host, true);
    ASSERT_GE(host.gauge.size(), 2u);
    EXPECT_DOUBLE_EQ(host.gauge[1], 5.0 / m.Options.MaxIterations); // every fifth iteration
    RecordingHost longer(1); // a long search: every hundredth of the maximum
    m.Options.MaxIterations = 1000;
    EquilibriumSearch(m, longer, true);
    EXPECT_DOUBLE_EQ(longer.gauge.at(1), 0.01);
    SolveInterval(m, host, 1, 3, true);
    int opened = 0;
    for (const std::string& p : host.progress) {
        if (p.rfind("open ", 0) != 0) continue;
        ++opened;
        const std::string label = p.substr(5, p.find(" | ") - 5);
        for (int language : {1, 2}) {
            const std::string text = Translate(label, language);
            EXPECT_EQ(text.substr(text.size() - 4), " ...") << text;
        }
    }
    EXPECT_EQ(opened, 2);
    // A short interval moves the gauge every fifth period.
    host.gauge.clear();
    SolveInterval(m, host, 1, 12, true);
    EXPECT_EQ(host.gauge, (std::vector<double>{0, 4.0 / 11, 9.0 / 11}));
}

TEST(Solve, StopDuringTheSearchMakesItInexact) {
    Model m = test::BondMarketModel();
    RecordingHost host(1);
    host.stopAtPoll = 5;
    Solve(m, host);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(host.Status(), "GG-Lösung ungenau");
    EXPECT_EQ(m.Periods.LastSolved, 100); // the interval is still solved
}

TEST(Solve, StopIsOneEventEvenWhenTheHostKeepsReportingIt) {
    // STOP in the first iteration sets k to 500; the search ends at the next whole round,
    // k = 501 (a multiple of 3), after two iterations. The interval ends after period 1.
    Model m = test::KeynesianModel();
    m.Switch[23] = 3;
    RecordingHost host(1);
    host.keepStopping = true;
    ASSERT_NO_THROW(Solve(m, host));
    ASSERT_EQ(host.windowPolls.size(), 2u);
    EXPECT_EQ(host.windowPolls[0], 2);
    EXPECT_EQ(m.Periods.LastSolved, 1);
    EXPECT_EQ(host.Status(), "GG-Lösung ungenau und Lösungsabbruch nach t = 1");
}

TEST(Solve, AStartEquilibriumThatIsNotANumberIsNeverConverged) {
    Model m = test::KeynesianModel();
    test::SetAll(m, {{par::CAut, NAN}});
    RecordingHost host(1);
    host.answers = {false};
    Solve(m, host);
    EXPECT_TRUE(std::isnan(m.GetVar(0, var::Y)));
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].find("nach 500 Iterationen"), std::string::npos);
    EXPECT_EQ(host.Status(), "GG-Lösung ungenau");
    EXPECT_EQ(m.EquilibriumInexact, 1);
}

// A solution that overflows is no solution: one message names the first period and variable
// that are not finite, that period stays unsolved and the status is not "Ok". Everything
// before it is the solution it always was.
TEST(Solve, AResultThatIsNotFiniteEndsAsNotSolved) {
    struct Case {
        const char* name;
        int from; // the first period with the value
        int param;
        double value;
        int first; // the first period that overflows
        const char* says;
        const char* status;
        bool stepwise = false; // solved period by period up to the first one with the value
    };
    const Case cases[] = {
        {"huge purchases", 3, par::GAut, 1e308, 4, "unendlich", "Lösungsabbruch nach t = 3"},
        {"infinite purchases", 20, par::GAut, INFINITY, 20, "unendlich",
         "Lösungsabbruch nach t = 19"},
        {"not a number", 7, par::CAut, NAN, 7, "keine Zahl", "Lösungsabbruch nach t = 6"},
        {"start not a number", 0, par::CAut, NAN, 0, "keine Zahl", "GG-Lösung ungenau"},
        {"only at the right edge", 100, par::GAut, INFINITY, 100, "unendlich",
         "Lösungsabbruch nach t = 99"},
        {"step by step", 3, par::CAut, NAN, 3, "keine Zahl", "Lösungsabbruch nach t = 2", true},
    };
    Model plain = test::KeynesianModel();
    RecordingHost plainHost(1);
    Solve(plain, plainHost);
    for (const Case& c : cases) {
        Model m = test::KeynesianModel();
        test::SetFrom(m, c.from, {{c.param, c.value}});
        m.Options.StepwiseSolve = c.stepwise;
        RecordingHost before(1);
        while (c.stepwise && m.Periods.LastSolved + 1 < c.from)
            Solve(m, before);
        RecordingHost host(1);
        host.answers = {false}; // no further iterations of a start that is not a number
        Solve(m, host);
        int n = 1;
        while (n < VarCount && std::isfinite(m.GetVar(c.first, n)))
            ++n;
        ASSERT_EQ(host.messages.size(), 1u) << c.name;
        EXPECT_EQ(host.messages[0], "Lösung unbrauchbar: In t = " + std::to_string(c.first) +
                                        " ist " + VarSymbol(n, 1) + " " + c.says +
                                        ": Die Lösung ist unbrauchbar. Prüfen Sie die Eingaben "
                                        "dieser und der vorangehenden Perioden.");
        EXPECT_EQ(host.Status(), c.status) << c.name;
        // A start that is not finite leaves every later period unsolved too.
        EXPECT_EQ(m.Periods.LastSolved, std::max(c.first - 1, 0)) << c.name;
        for (int t = 0; t < c.from; ++t)
            for (int k = 1; k <= VarCount; ++k)
                ASSERT_EQ(m.GetVar(t, k), plain.GetVar(t, k)) << c.name << " " << t << "/" << k;

        // Solving again starts at the unsolved period and says it again.
        RecordingHost again(2);
        again.answers = {false};
        Solve(m, again);
        ASSERT_EQ(again.messages.size(), 1u) << c.name;
        EXPECT_EQ(again.messages[0].rfind("Solution not usable: In t = " + std::to_string(c.first) +
                                              ", " + VarSymbol(n, 2),
                                          0),
                  0u)
            << again.messages[0];
        EXPECT_NE(again.Status(), "Ok");
    }
}

TEST(Solve, StopDuringTheIntervalEndsIt) {
    Model m = test::KeynesianModel();
    RecordingHost host(1);
    Solve(m, host); // equilibrium first
    const long searchPolls = host.polls;
    m.Periods.LastSolved = 0;
    host.polls = 0;
    host.stopAtPoll = 30;
    Solve(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 30);
    EXPECT_EQ(host.Status(), "Lösungsabbruch nach t = 30");
    EXPECT_EQ(host.messages.back(),
              "Hinweis: Der Lösungsvorgang für das Analyseintervall wurde nach Periode 30 "
              "abgebrochen.");
    (void)searchPolls;
    // Solving again continues after the abort, with the period after it.
    host.stopAtPoll = -1;
    host.progress.clear();
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_EQ(host.progress.at(0), "open Intervall-Berechnung läuft ... | Perioden | 31 | 100");
}

TEST(Solve, AnIntervalPastTheLastPeriodEndsThere) {
    Model m = test::KeynesianModel();
    RecordingHost host(1);
    SolveInterval(m, host, LastPeriod - 1, LastPeriod + 3, false);
    EXPECT_EQ(m.Periods.LastSolved, LastPeriod);
}

TEST(Solve, FlexibleRatesRefusedInPeriodZero) {
    Model m = test::OpenFlexibleModel();
    test::SetAll(m, {{par::me, 0}});
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Alles lösen!");
    EXPECT_EQ(host.messages.back(), "So nicht!: Exporte und/oder Importe sind in t = 0 nicht "
                                    "wechselkursabhängig. Modell nicht lösbar!");
    EXPECT_EQ(host.sounds.back(), "SoNicht.wav");
    EXPECT_EQ(m.EquilibriumInexact, 1);
    EXPECT_EQ(host.broadcasts, 1);
}

TEST(Solve, FlexibleRatesRefusedInALaterPeriodEndTheInterval) {
    Model m = test::OpenFlexibleModel();
    test::SetFrom(m, 30, {{par::xe, 0}});
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 29);
    EXPECT_EQ(host.Status(), "Lösungsabbruch nach t = 29");
    EXPECT_EQ(host.messages.back(), "So nicht!: Exporte und/oder Importe sind in t = 30 nicht "
                                    "wechselkursabhängig. Lösung wird abgebrochen.");
}

TEST(Solve, InfiniteMultiplierAsksFirst) {
    Model m = test::KeynesianModel();
    test::SetAll(m, {{par::cY, 1}});
    RecordingHost host(1);
    host.answers = {false};
    Solve(m, host);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0],
              "Wollen Sie wirklich?: Der einfache Einkommensmultiplikator für t=0 ist unendlich "
              "(Instabilitätsgefahr!). Lösung trotzdem beginnen?");
    EXPECT_EQ(host.Status(), "Alles lösen!");
    EXPECT_EQ(m.Periods.LastSolved, -1);
}

TEST(Solve, RecalculationCommandsAndFollowingTheSolution) {
    Model m = test::KeynesianModel();
    RecordingHost host(1);
    Solve(m, host);
    m.Periods.LeftEdge = 5;
    m.Options.FollowSolution = 1;
    RecalculateInterval(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 100);
    EXPECT_EQ(m.Periods.CurrentPeriod, 100);
    m.Periods.LeftEdge = 0;
    host.windowPolls.clear();
    RecalculateAll(m, host);
    EXPECT_EQ(host.windowPolls.size(), 2u); // the start equilibrium again
    EXPECT_EQ(host.Status(), "Ok");
    MarkUnsolvedFrom(m, 40);
    EXPECT_EQ(m.Periods.LastSolved, 40);
    MarkUnsolvedFrom(m, 60);
    EXPECT_EQ(m.Periods.LastSolved, 40);
}

// After an archiving shift the left edge is above 0 and its period is solved from the stored
// period before it; every recalculation (a switch, the expectations, the accuracy, a file
// opened) computes the left-edge period itself again, and none of the periods before it.
TEST(Solve, RecalculationsRecomputeTheLeftEdgePeriod) {
    const std::pair<const char*, std::function<void(Model&, RecordingHost&)>> ways[] = {
        {"all", [](Model& m, RecordingHost& h) { RecalculateAll(m, h); }},
        {"interval", [](Model& m, RecordingHost& h) { RecalculateInterval(m, h); }},
        {"flag all",
         [](Model& m, RecordingHost& h) {
             m.RecalcAll = 1;
             Solve(m, h);
         }},
        {"flag interval",
         [](Model& m, RecordingHost& h) {
             m.RecalcInterval = 1;
             Solve(m, h);
         }},
    };
    Model solved = test::KeynesianModel();
    test::SetFrom(solved, 8, {{par::GAut, 150}});
    RecordingHost host(1);
    Solve(solved, host);
    solved.Periods.LeftEdge = 10;
    for (const auto& [name, recalculate] : ways) {
        Model m = solved;
        for (int n = 1; n <= VarCount; ++n)
            if (n != var::GSM) m.SetVar(10, n, -1); // the money multiplier is no period result
        m.SetVar(2, var::Y, -1);
        m.SetVar(9, var::SUnpl, NAN); // a stored period, not one this solution computes
        RecordingHost again(1);
        recalculate(m, again);
        EXPECT_EQ(again.Status(), "Ok") << name;
        EXPECT_EQ(m.GetVar(2, var::Y), -1) << name;
        for (int n = 1; n <= VarCount; ++n) {
            const double x = m.GetVar(10, n), want = solved.GetVar(10, n);
            EXPECT_TRUE(x == want || (std::isnan(x) && std::isnan(want))) << name << " " << n;
        }
    }
}

TEST(Solve, ProgramStartSolvesEverything) {
    Model m = test::StartModel();
    RecordingHost host(1);
    SolveAtProgramStart(m, host);
    EXPECT_EQ(m.Periods.LastSolved, 100);
    EXPECT_EQ(m.Periods.MaxSolved, 100);
    EXPECT_EQ(host.sounds.back(), "Start.wav");
    EXPECT_TRUE(std::isfinite(m.GetVar(0, var::e)));
}

TEST(EquilibriumAtPrice, RestoresEverythingItTouches) {
    Model m = test::BondMarketModel();
    RecordingHost host(1);
    Solve(m, host);
    const Model before = m;
    const double p = m.GetVar(20, var::P);
    EquilibriumAtPrice(m, host, 20, 200, p * 1.1, 1e-7);
    const double yHigh = m.ScratchVar(20, var::Y);
    EquilibriumAtPrice(m, host, 20, 200, p * 0.9, 1e-7);
    const double yLow = m.ScratchVar(20, var::Y);
    EXPECT_GT(yLow, yHigh); // aggregate demand falls with the price level

    EXPECT_FALSE(m.ScratchMode);
    EXPECT_EQ(m.Switch, before.Switch);
    EXPECT_EQ(m.Options.MaxIterations, before.Options.MaxIterations);
    EXPECT_EQ(m.Options.Accuracy, before.Options.Accuracy);
    EXPECT_EQ(m.EquilibriumInexact, before.EquilibriumInexact);
    EXPECT_EQ(m.ScratchDepth, before.ScratchDepth);
    EXPECT_EQ(m.WageBase, before.WageBase);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(m.Expect[k].Method, before.Expect[k].Method);
        EXPECT_EQ(m.Expect[k].Weight, before.Expect[k].Weight);
        EXPECT_EQ(m.Expect[k].Lags, before.Expect[k].Lags);
    }
    for (int t = -5; t <= 100; ++t)
        for (int n = 1; n <= 63; ++n)
            ASSERT_EQ(m.GetVar(t, n), before.GetVar(t, n)) << t << "/" << n;
    for (int n = 1; n <= 64; ++n)
        ASSERT_EQ(m.GetPar(20, n), before.GetPar(20, n));
}

TEST(EquilibriumAtPrice, AtTheSolvedPriceItFindsTheSolvedDemand) {
    // A stationary model: the demand-side equilibrium at the model's own price level is the
    // model's own income.
    // An open economy with fixed rates and no reserve flows keeps them out of the search.
    Model open = test::OpenFlexibleModel();
    open.Switch[21] = 0;
    test::SetAll(open, {{par::nWR, 0}});
    // A growing foreign price level keeps its own level, not the exogenous one.
    Model growing = open;
    growing.Switch[11] = 1;
    test::SetAll(growing, {{par::PAExog, 2}});
    for (Model m : {test::ClosedISLMModel(), open, growing, test::BondMarketModel()}) {
        RecordingHost host(1);
        Solve(m, host);
        EquilibriumAtPrice(m, host, 30, 500, m.GetVar(30, var::P), 1e-9);
        EXPECT_NEAR(m.ScratchVar(30, var::Y), m.GetVar(30, var::Y), 1e-3);
    }
}

// The search at a given price forms expectations and structure its own way: the model's own
// forms of the records and switches it sets change nothing, also when it stops before it settles.
TEST(EquilibriumAtPrice, FormsTheExpectationsItSetsItsOwnWay) {
    Model m = test::BondMarketModel();
    RecordingHost host(1);
    Solve(m, host);
    m.SetVar(20, var::gPErw, 2); // carried forward, not reset by the own records
    // Sources apart from their expectations: the history is period 20's row, so a method
    // left as it was would give another expectation.
    for (int k = 1; k <= 4; ++k) {
        const int n = m.Expect[k].SourceVariable;
        m.SetVar(20, n, m.GetVar(20, n) + 7);
    }
    m.SetVar(20, var::SUnw, 5); // would feed consumption under switch 2
    Model other = m;
    for (int k = 0; k <= 5; ++k) {
        other.Expect[k].Method = 3;
        other.Expect[k].Weight = 20;
        other.Expect[k].Lags = 3;
    }
    // So do the switches it sets.
    for (int k : {2, 5, 10, 11, 20})
        other.Switch[k] = 1;
    other.Switch[22] = 3;
    test::SetAll(other, {{par::gMNAut, 3}, {par::gPAExog, 4}});
    const double p = m.GetVar(20, var::P) * 1.1;
    EquilibriumAtPrice(m, host, 20, 12, p, 1e-15);
    EquilibriumAtPrice(other, host, 20, 12, p, 1e-15);
    for (int n = 1; n <= VarCount; ++n)
        EXPECT_EQ(m.ScratchVar(20, n), other.ScratchVar(20, n)) << VarSymbol(n);
    EXPECT_EQ(m.ScratchVar(20, var::gPErw), 2);
}

// With prices or wages set by the model the search, which holds both, keeps the labour share
// they imply; with both given it is the exogenous one.
TEST(EquilibriumAtPrice, TheLabourShareFollowsPricesOrWagesSetByTheModel) {
    Model prices = test::BondMarketModel();
    prices.Switch[14] = 0;
    for (Model m : {test::ClosedISLMModel(), prices}) {
        RecordingHost host(1);
        Solve(m, host);
        const bool set = m.Switch[12] != 0;
        EquilibriumAtPrice(m, host, 20, 200, m.GetVar(20, var::P) * 1.1, 1e-7);
        const auto v = [&](int n) { return m.ScratchVar(20, n); };
        EXPECT_DOUBLE_EQ(v(var::LQ), set ? v(var::wN) * v(var::A) / v(var::P) / v(var::Y) * 100
                                         : m.GetPar(20, par::LQExog))
            << set;
    }
}

// The start's money stock with money creation through the base (times the multiplier of
// period 0) and with balance-of-payments influence (the stock before the first inflow).
TEST(StartEquilibrium, MoneyStockOfEachMoneySupplyRule) {
    const double multiplier = 1 / (1 - 0.8 * 0.9);
    const struct {
        int bop, base;
        double money;
    } cases[] = {{1, 1, 100 * multiplier}, {1, 0, 200}, {0, 1, 300 * multiplier}, {0, 0, 400}};
    for (auto c : cases) {
        Model m = test::KeynesianModel();
        m.Switch[19] = static_cast<uint8_t>(c.bop);
        m.Switch[18] = static_cast<uint8_t>(c.base);
        test::SetAll(m, {{par::bM, 0.2}, {par::rSE, 0.1}, {par::MBNAut, 300}, {par::MNAut, 400}});
        test::SetFrom(m, 1, {{par::bM, 0.5}});
        for (int t : {-1, 0}) {
            m.SetModelPar(t, par::dMBHNAut, 100);
            m.SetModelPar(t, par::dMHNAut, 200);
        }
        RecordingHost host(1);
        Solve(m, host);
        EXPECT_NEAR(m.GetVar(0, var::MN), c.money, 1e-9) << c.bop << c.base;
    }
}

TEST(Solve, TalksInTheHostsLanguage) {
    struct Case {
        const char* name;
        std::function<void(Model&, RecordingHost&)> setUp;
        const char* status;
        const char* question; // start of the first question, or null
        const char* message;  // start of the last message, or null
    };
    const std::vector<Case> cases = {
        {"infinite multiplier",
         [](Model& m, RecordingHost& h) {
             test::SetAll(m, {{par::cY, 1}});
             h.answers = {false};
         },
         "Solve all!",
         "Are you sure?: The simple income multiplier for t=0 is infinite (risk of "
         "instability!). Start the solution anyway?",
         nullptr},
        {"inexact equilibrium",
         [](Model& m, RecordingHost& h) {
             m = test::BondMarketModel();
             m.Options.MaxIterations = 12;
             m.Options.Accuracy = 1e-15;
             h.answers = {false};
         },
         "Equilibrium inexact",
         "Please decide: After 12 iterations the results for the initial equilibrium (t=0) "
         "have not yet reached the required accuracy.",
         "Note: The solution of the initial equilibrium in t=0 was stopped before"},
        {"trade without the exchange rate",
         [](Model& m, RecordingHost&) {
             m = test::OpenFlexibleModel();
             test::SetFrom(m, 30, {{par::xe, 0}});
         },
         "Solution stopped after t = 29", nullptr,
         "Not possible!: Exports and/or imports do not depend on the exchange rate in t = 30. "
         "The solution is stopped."},
        {"stepwise",
         [](Model& m, RecordingHost&) {
             m.Periods.RightEdge = 3;
             m.Options.StepwiseSolve = 1;
         },
         "Solved up to t = 0", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Model m = test::KeynesianModel();
        RecordingHost host(2);
        c.setUp(m, host);
        Solve(m, host);
        EXPECT_EQ(host.Status(), c.status);
        if (c.question) {
            ASSERT_FALSE(host.questions.empty());
            EXPECT_EQ(host.questions[0].rfind(c.question, 0), 0u) << host.questions[0];
        }
        if (c.message) {
            ASSERT_FALSE(host.messages.empty());
            EXPECT_EQ(host.messages.back().rfind(c.message, 0), 0u) << host.messages.back();
        }
        // Every text the host saw has an English half.
        std::vector<std::string> all = host.statuses;
        all.insert(all.end(), host.questions.begin(), host.questions.end());
        all.insert(all.end(), host.messages.begin(), host.messages.end());
        all.insert(all.end(), host.progress.begin(), host.progress.end());
        for (const std::string& s : all) {
            EXPECT_EQ(s.find("##"), std::string::npos) << s;
            EXPECT_EQ(s.find("ä"), std::string::npos) << s;
            EXPECT_EQ(s.find("ö"), std::string::npos) << s;
            EXPECT_EQ(s.find("ü"), std::string::npos) << s;
        }
    }
}

} // namespace
} // namespace tv
