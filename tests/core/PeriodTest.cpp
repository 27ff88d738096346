#include "core/Period.h"
#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/PeriodSteps.h"
#include "core/RuleServer.h"
#include "core/Solver.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace tv {
namespace {

using test::RecordingHost;

Model SolvedKeynes() {
    Model m = test::KeynesianModel();
    RecordingHost host(1);
    Solve(m, host);
    return m;
}

TEST(ComputePeriod, WritesEveryVariableButTheMoneyMultiplier) {
    Model m = SolvedKeynes();
    const double sentinel = -123456.789;
    for (int n = 1; n <= 63; ++n)
        m.SetVar(7, n, sentinel);
    RecordingHost host(1);
    m.Expect[3].Method = 2; // one run; demand expectation from the past
    m.Expect[4].Method = 4; // imports planned together with production
    m.Expect[0].Method = m.Expect[1].Method = m.Expect[2].Method = 1;
    EXPECT_TRUE(ComputePeriod(m, 7, host));
    for (int n = 1; n <= 63; ++n) {
        if (n == var::GSM)
            EXPECT_EQ(m.GetVar(7, n), sentinel);
        else
            EXPECT_NE(m.GetVar(7, n), sentinel) << "variable " << n;
    }
}

TEST(ComputePeriod, ActualDemandExpectationRunsTwice) {
    Model base = SolvedKeynes();
    test::SetFrom(base, 5, {{par::GAut, 180}});
    base.SetVar(6, var::N, 0); // a later period's old results must not matter
    base.SetVar(6, var::Im, 50);
    // Reference: one run with N,erw = N(t-1) (extrapolation over one lag).
    Model once = base;
    once.Expect[3].Method = 2;
    once.Expect[3].Lags = 1;
    Model twice = base;
    twice.Expect[3].Method = 1;
    RecordingHost host(1);
    ComputePeriod(once, 5, host);
    ComputePeriod(twice, 5, host);
    EXPECT_EQ(twice.GetVar(5, var::NErw), once.GetVar(5, var::N));
    EXPECT_NE(once.GetVar(5, var::N), base.GetVar(4, var::N));

    // With imports also taken as actual: first run Im(t-1), second run Im(t) of the first.
    Model open = base;
    test::SetAll(open, {{par::mY, 0.1}, {par::ImAut, 20}});
    open.Switch[9] = 0;
    Model onceOpen = open;
    onceOpen.Expect[3].Method = 2;
    onceOpen.Expect[4].Method = 2;
    onceOpen.Expect[4].Lags = 1;
    Model twiceOpen = open;
    twiceOpen.Expect[3].Method = 1;
    twiceOpen.Expect[4].Method = 1;
    ComputePeriod(onceOpen, 5, host);
    ComputePeriod(twiceOpen, 5, host);
    EXPECT_EQ(twiceOpen.GetVar(5, var::ImErw), onceOpen.GetVar(5, var::Im));
    EXPECT_EQ(twiceOpen.GetVar(5, var::NErw), onceOpen.GetVar(5, var::N));
}

TEST(ComputePeriod, ActualImportsInASingleRunUseTheStoredImports) {
    Model m = SolvedKeynes();
    m.Expect[3].Method = 2;
    m.Expect[4].Method = 1;
    m.SetVar(6, var::Im, 12.34);
    RecordingHost host(1);
    ComputePeriod(m, 6, host);
    EXPECT_EQ(m.GetVar(6, var::ImErw), 12.34);
    EXPECT_DOUBLE_EQ(m.GetVar(6, var::DErw), m.GetVar(6, var::NErw) - 12.34);
}

// Imports planned together with production: of the expected demand, production covers what
// the autonomous imports of 20 and the import share 0.1 of production leave.
TEST(ComputePeriod, ImportsPlannedTogetherWithProduction) {
    Model m = SolvedKeynes();
    test::SetAll(m, {{par::mY, 0.1}, {par::ImAut, 20}});
    m.Switch[9] = 0;
    m.Expect[3].Method = 2;
    m.Expect[4].Method = 4;
    RecordingHost host(1);
    ComputePeriod(m, 5, host);
    const double demand = m.GetVar(5, var::NErw);
    EXPECT_NEAR(m.GetVar(5, var::DErw), (demand - 20) / 1.1, 1e-9);
    EXPECT_NEAR(m.GetVar(5, var::ImErw), 20 + 0.1 * m.GetVar(5, var::DErw), 1e-9);
}

// Inflation expected from the growth of nominal money over the last wage period of two.
TEST(ComputePeriod, InflationExpectedFromMoneyGrowth) {
    Model m = SolvedKeynes();
    m.Switch[23] = 2;
    m.Expect[5].Method = 4;
    m.SetVar(4, var::M, 132);
    m.SetVar(4, var::P, 1.25);
    m.SetVar(2, var::M, 150);
    m.SetVar(2, var::P, 1);
    RecordingHost host(1);
    ComputePeriod(m, 5, host);
    EXPECT_NEAR(m.GetVar(5, var::gPErw), 10, 1e-9);
    // Or from this period's planned money over the money a wage period ago.
    m.Expect[5].Method = 5;
    m.SetVar(3, var::M, 150);
    m.SetVar(3, var::P, 1);
    test::SetAll(m, {{par::MNAut, 165}});
    ComputePeriod(m, 5, host);
    EXPECT_NEAR(m.GetVar(5, var::gPErw), 10, 1e-9);
}

TEST(ComputePeriod, MarkupFloorWhenPriceOrientedSupplyIsZero) {
    Model m = SolvedKeynes();
    m.Switch[12] = 2;
    test::SetAll(m, {{par::Pu, 5}, {par::jAut, 0.2}});
    RecordingHost host(1);
    ComputePeriod(m, 3, host);
    EXPECT_EQ(m.GetVar(3, var::YP), 0); // last period's price 1 is below P,u
    EXPECT_DOUBLE_EQ(m.GetVar(3, var::P),
                     std::max(5.0, MarkupPrice(m, 3, m.GetVar(3, var::wN), m.GetVar(3, var::Y))));
}

// The wage share is the wage bill over income once wages or distribution are modelled, also
// with exogenous prices; otherwise it is the exogenous share.
TEST(ComputePeriod, WageShareFromTheWageBillWhenWagesAreModelled) {
    for (int k : {0, 14, 15}) {
        Model m = SolvedKeynes();
        test::SetAll(m, {{par::wNExog, 0.3}});
        if (k) m.Switch[k] = 1;
        m.SetVar(2, var::wN, 0.3); // last period's wage, which a lagged wage takes over
        RecordingHost host(1);
        ComputePeriod(m, 3, host);
        const auto v = [&](int n) { return m.GetVar(3, n); };
        EXPECT_DOUBLE_EQ(v(var::LQ), k ? v(var::wN) * v(var::A) / v(var::P) / v(var::Y) * 100 : 50)
            << k;
        EXPECT_EQ(v(var::LQ) != 50, k != 0) << k; // the bill's share is not the given one here
    }
}

// Profit-maximising prices with limitational technology: demand of about 1500 against a
// potential output moves last period's price of 1 by a tenth of the relative excess, never below
// the unit labour cost w,nom / a.
TEST(ComputePeriod, PricesMoveWithExcessDemandDownToTheUnitLabourCost) {
    const struct {
        double potential, wage, price;
    } cases[] = {{1000, 0.5, 1.05}, {3000, 0.5, 0.95}, {3000, 0.99, 0.99}, {0, 0.5, 0.5}};
    for (auto c : cases) {
        Model m = SolvedKeynes();
        m.Switch[12] = 1;
        test::SetAll(m,
                     {{par::APot, c.potential}, {par::KExog, c.potential}, {par::wNExog, c.wage}});
        RecordingHost host(1);
        ComputePeriod(m, 5, host);
        EXPECT_NEAR(m.GetVar(5, var::P), c.price, 1e-6) << c.potential << " " << c.wage;
        EXPECT_NEAR(m.GetVar(5, var::gP), (c.price - 1) * 100, 1e-4) << c.potential;
    }
}

// Money for transactions is l[Y] times the mean of expected income (last period's 1500,
// extrapolated) and realised income (last period's demand of 1700).
TEST(ComputePeriod, TransactionMoneyOnTheMeanOfExpectedAndRealisedIncome) {
    Model m = SolvedKeynes();
    test::SetAll(m, {{par::lY, 0.5}});
    m.Expect[0].Method = m.Expect[1].Method = m.Expect[2].Method = 2;
    m.SetVar(4, var::N, 1700);
    RecordingHost host(1);
    ComputePeriod(m, 5, host);
    EXPECT_NEAR(m.GetVar(5, var::LT), 0.5 * (1500 + 1700) / 2, 1e-3);
}

TEST(ComputePeriod, InterestAtTheFloorMakesMoneyDemandEqualMoney) {
    Model m = SolvedKeynes(); // i,exog = i,u = 0
    for (int t : {0, 1, 50})
        EXPECT_DOUBLE_EQ(m.GetVar(t, var::L), m.GetVar(t, var::M)) << t;
    EXPECT_DOUBLE_EQ(m.GetVar(50, var::LS), m.GetVar(50, var::M) - m.GetVar(50, var::LT));
}

// A money market whose demand does not react to the rate, or no longer does above the
// speculation limit, cannot set the rate: last period's rate stays, never below the floor.
// Right at the limit (no money demanded or supplied but 20 - 10 i) the market still sets it.
TEST(ComputePeriod, MoneyMarketWithoutRateSensitiveDemandKeepsTheLastRate) {
    const struct {
        double li, LAut, iu, rate, money = 1000;
    } cases[] = {{0, 100, 1, 3}, {0, 100, 5, 5}, {10, 0, 1, 3}, {10, 0, 5, 5}, {10, 20, 1, 2, 0}};
    for (auto c : cases) {
        Model m = SolvedKeynes();
        m.Switch[17] = 2;
        test::SetAll(m, {{par::li, c.li},
                         {par::LAut, c.LAut},
                         {par::iu, c.iu},
                         {par::MNAut, c.money},
                         {par::lY, 0}});
        m.SetVar(4, var::i, 3);
        RecordingHost host(1);
        ComputePeriod(m, 5, host);
        EXPECT_EQ(m.GetVar(5, var::i), c.rate) << c.li << " " << c.iu;
        // No money at all still leaves a tiny stock, so what divides by it stays finite.
        if (c.money == 0) {
            EXPECT_EQ(m.GetVar(5, var::M), 1e-9);
        }
    }
}

// Above the speculation limit only transaction money is demanded; the reserve inflow the
// rate draws must then cover it alone.
TEST(ComputePeriod, ReserveFlowsClearTheMarketAboveTheSpeculationLimit) {
    Model m = SolvedKeynes();
    m.Switch[17] = 2;
    m.Switch[19] = 1;
    test::SetAll(m, {{par::li, 10}, {par::LAut, 20}, {par::lY, 2}, {par::kdi, 20}, {par::nWR, 0}});
    RecordingHost host(1);
    ComputePeriod(m, 5, host);
    // 1000 + 20 i = 2 * (1500 + 1500) / 2: i = 100, above the limit 20 / 10.
    EXPECT_NEAR(m.GetVar(5, var::i), 100, 1e-3);
    EXPECT_EQ(m.GetVar(5, var::LS), 0);
    EXPECT_NEAR(m.GetVar(5, var::M), m.GetVar(5, var::L), 1e-9);
    // Also when only half the capital flow answers to the rate.
    test::SetAll(m, {{par::fNK, 0.5}});
    ComputePeriod(m, 5, host);
    EXPECT_NEAR(m.GetVar(5, var::M), m.GetVar(5, var::L), 1e-9);
    // The money market's own rate draws the reserves in steps; neutralised, none come.
    m.Switch[17] = 1;
    ComputePeriod(m, 5, host);
    const double drawn = m.GetVar(5, var::M);
    test::SetAll(m, {{par::nWR, 1}});
    ComputePeriod(m, 5, host);
    EXPECT_GT(drawn - m.GetVar(5, var::M), 1);
}

TEST(ComputePeriod, ProductivityGrowthAroundZeroOutput) {
    Model m = SolvedKeynes();
    RecordingHost host(1);
    // Output per worker doubles.
    test::SetFrom(m, 5, {{par::a, 2}});
    ComputePeriod(m, 5, host);
    EXPECT_NEAR(m.GetVar(5, var::ga), 100, 1e-9);
    m.Expect[3].Method = 2;
    m.Expect[4].Method = 2;
    // Output collapses in period 10: demand expectation extrapolates N(9) = 0.
    m.SetVar(9, var::N, 0);
    m.SetVar(9, var::Im, 0);
    ComputePeriod(m, 10, host);
    EXPECT_EQ(m.GetVar(10, var::Y), 0);
    EXPECT_EQ(m.GetVar(10, var::ga), -100);
    m.SetVar(9, var::Y, -50); // from a negative output
    ComputePeriod(m, 10, host);
    EXPECT_EQ(m.GetVar(10, var::ga), 100);
    m.SetVar(9, var::Y, 0.5); // from a tiny output
    ComputePeriod(m, 10, host);
    EXPECT_EQ(m.GetVar(10, var::ga), -100);
    // The period after a zero-output period.
    m.SetVar(10, var::N, 1500);
    ComputePeriod(m, 11, host);
    EXPECT_GT(m.GetVar(11, var::Y), 0);
    EXPECT_EQ(m.GetVar(11, var::ga), 0);
}

TEST(ComputePeriod, CapitalAccumulatesRealisedInvestment) {
    Model m = SolvedKeynes();
    m.Switch[8] = 0;
    m.SetVar(4, var::K, 1000);
    m.SetVar(4, var::I, 30);
    m.SetVar(4, var::IUnw, -5);
    RecordingHost host(1);
    ComputePeriod(m, 5, host);
    EXPECT_EQ(m.GetVar(5, var::K), 1025); // no depreciation subtracted
    ComputePeriod(m, 0, host);
    EXPECT_EQ(m.GetVar(0, var::K), m.GetPar(0, par::KExog));
}

// Nominal money grows against the money of one monetary period before; unwanted saving is
// consumption at the realised real rate less planned consumption, unplanned saving the
// disposable income beyond the expected one, unwanted investment the unplanned stock change
// plus planned investment less investment at the realised rate. A model where the lag of
// one period and the expected real rate would give other values.
TEST(ComputePeriod, MoneyGrowthOverTheMonetaryPeriodAndSavingAtTheRealisedRate) {
    Model m = test::BondMarketModel();
    m.Switch[22] = 3;
    test::SetAll(m, {{par::cr, 20}});
    test::SetFrom(m, 5, {{par::MNAut, 1100}, {par::GAut, 260}});
    RecordingHost host(1);
    Solve(m, host);
    ASSERT_EQ(host.Status(), "Ok");
    bool lagMatters = false, rateMatters = false;
    for (int t = 5; t <= 20; ++t) {
        auto v = [&](int s, int n) { return m.GetVar(s, n); };
        EXPECT_NEAR(v(t, var::gMN), (v(t, var::MN) / v(t - 3, var::MN) - 1) * 100, 1e-9) << t;
        const double c = v(t, var::C), y = v(t, var::Y);
        EXPECT_NEAR(v(t, var::SUnw), Consumption(m, t, v(t, var::r), y) - c, 1e-9) << t;
        EXPECT_NEAR(v(t, var::SUnpl), v(t, var::YV) - v(t, var::YVErw), 1e-9) << t;
        EXPECT_NEAR(v(t, var::YV), DispIncome(m, t, y), 1e-9) << t;
        EXPECT_NEAR(v(t, var::IUnw),
                    y - v(t, var::D) + v(t, var::I) - Investment(m, t, v(t, var::r), y), 1e-9)
            << t;
        lagMatters |= std::fabs(v(t - 1, var::MN) - v(t - 3, var::MN)) > 1e-6;
        rateMatters |= std::fabs(Consumption(m, t, v(t, var::rErw), y) -
                                 Consumption(m, t, v(t, var::r), y)) > 1e-6;
    }
    EXPECT_TRUE(lagMatters);
    EXPECT_TRUE(rateMatters);
}

// With the accelerator, unwanted investment also holds the error of the income expected
// for the period before: its expected change less the realised one.
TEST(ComputePeriod, UnwantedInvestmentCountsLastPeriodsExpectedIncomeChange) {
    Model m = SolvedKeynes();
    m.Switch[3] = 1;
    test::SetAll(m, {{par::bdY, 0.5}});
    RecordingHost host(1);
    ComputePeriod(m, 5, host);
    const double before = m.GetVar(5, var::IUnw);
    m.SetVar(3, var::YErw, m.GetVar(3, var::YErw) - 40);
    m.SetVar(3, var::Y, m.GetVar(3, var::Y) - 10);
    ComputePeriod(m, 5, host);
    EXPECT_DOUBLE_EQ(m.GetVar(5, var::IUnw) - before, 0.5 * (40 - 10));
}

// Demand of 1500 that government purchases raise to 2000 from period 5, against a potential
// output of 1600 or 2400.
TEST(ComputePeriod, TheCapacityLimitCutsOutputAtPotentialOnlyWhenSwitchedOn) {
    struct Case {
        double potential;
        int limit;                   // switch 7
        double output, unemployment; // in period 80
    };
    const Case cases[] = {
        {1600, 0, 2000, -25},      // beyond capacity: more work than the labour force
        {1600, 1, 1600, 0},        // cut at potential, demand left unserved
        {2400, 1, 2000, 100 / 6.}, // below capacity the limit changes nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("potential " + std::to_string(c.potential) +
                     ", switch 7 = " + std::to_string(c.limit));
        Model m = test::KeynesianModel();
        test::SetAll(m, {{par::APot, c.potential}, {par::KExog, c.potential}});
        test::SetFrom(m, 5, {{par::GAut, 200}});
        m.Switch[7] = static_cast<uint8_t>(c.limit);
        RecordingHost host(1);
        Solve(m, host);
        ASSERT_EQ(host.Status(), "Ok");
        EXPECT_NEAR(m.GetVar(0, var::Y), 1500, 0.01);
        EXPECT_NEAR(m.GetVar(0, var::IUnpl), 0, 0.01); // the start sells what it makes
        EXPECT_NEAR(m.GetVar(80, var::Y), c.output, 0.01);
        EXPECT_NEAR(m.GetVar(80, var::u), c.unemployment, 1e-3);
        // Planned production is last period's demand, before any cut.
        EXPECT_DOUBLE_EQ(m.GetVar(80, var::DErw), m.GetVar(79, var::N));
        EXPECT_NEAR(m.GetVar(80, var::N), 400 + 0.8 * c.output, 0.01);
    }
}

TEST(ComputePeriod, FlexibleRatesNeedTradeThatReactsToTheExchangeRate) {
    Model solved = test::OpenFlexibleModel();
    RecordingHost host(1);
    Solve(solved, host);
    ASSERT_EQ(host.Status(), "Ok");
    // Exports or imports alone suffice. Period 1 is the first the check covers; the start
    // search never meets it.
    for (int n : {par::xe, par::me}) {
        Model m = solved;
        m.SetModelPar(1, n, 0);
        const double eN = m.GetVar(1, var::eN), z = m.GetVar(1, var::Z);
        m.SetVar(1, var::eN, 77);
        host.sounds.clear();
        ComputePeriod(m, 1, host);
        EXPECT_EQ(m.SolveAborted, 1);
        EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});
        EXPECT_EQ(m.GetVar(1, var::eN), 77);
        EXPECT_EQ(m.GetVar(1, var::Z), z);
        EXPECT_EQ(host.messages.back(), "So nicht!: Exporte und/oder Importe sind in t = 1 nicht "
                                        "wechselkursabhängig. Lösung wird abgebrochen.");
        (void)eN;
    }
}

TEST(ComputePeriod, FlexibleRateBalancesTradeAndCapitalFlows) {
    Model m = test::OpenFlexibleModel();
    test::SetFrom(m, 10, {{par::GAut, 220}});
    RecordingHost host(1);
    Solve(m, host);
    for (int t : {0, 9, 10, 11, 30, 100}) {
        EXPECT_NEAR(m.GetVar(t, var::AB) + m.GetVar(t, var::NK), 0, 1e-9) << t;
        EXPECT_EQ(m.GetVar(t, var::Z), 0);
    }
}

// Each step reads only what its input list names: a change anywhere else in the periods
// around t leaves its outputs as they were. The settings reach the lists' branches.
TEST(PeriodSteps, ReadNothingBeyondTheirInputLists) {
    struct Setting {
        std::initializer_list<std::pair<int, int>> switches;
        // record, method, lags, per wage period
        std::initializer_list<std::array<int, 4>> expectations;
        // parameters that reach a branch: no rate sensitivity, a binding accelerator floor
        std::initializer_list<std::pair<int, double>> parameters = {};
    };
    // clang-format off
    const Setting settings[] = {
        {{}, {}},
        {{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 0}, {9, 0}, {11, 1},
          {12, 1}, {14, 1}, {16, 1}, {17, 2}, {18, 1}, {19, 1}, {20, 1}, {22, 3}, {23, 4}},
         {{3, 1, 1, 0}, {4, 4, 1, 0}, {5, 4, 1, 0}, {7, 3, 2, 1}}, {{par::dK, -0.1}}},
        {{{3, 2}, {12, 2}, {14, 2}, {15, 1}, {17, 1}, {18, 1}, {21, 1}, {22, 2}, {23, 3}},
         {{0, 3, 1, 0}, {1, 3, 1, 0}, {2, 2, 3, 0}, {3, 2, 3, 0}, {4, 2, 2, 0}, {5, 5, 1, 0},
          {6, 2, 2, 1}}},
        {{{6, 1}, {12, 1}, {14, 2}, {17, 1}, {19, 1}, {20, 1}, {23, 2}},
         {{3, 1, 1, 0}, {4, 1, 1, 0}, {5, 2, 5, 1}, {6, 3, 1, 1}, {7, 1, 1, 0}}},
        {{{12, 1}, {14, 0}, {17, 2}, {19, 1}, {18, 1}, {23, 4}}, {{4, 3, 1, 0}, {5, 3, 1, 1}}},
        {{{17, 1}}, {}, {{par::li, 0}, {par::cr, 0}, {par::br, 0}, {par::kdi, 0}}},
        {{{17, 2}}, {}, {{par::li, 0}, {par::kdi, 0}}},
        {{{11, 1}, {14, 1}, {23, 3}}, {}}, // inside a wage round
        {{{12, 1}}, {}, {{par::a, 0.01}}}, // prices at the unit labour cost floor
        // a wage mode a file may hold but the model does not know; money grows through the
        // base; an accelerator without capital
        {{{3, 1}, {14, 3}, {18, 1}, {20, 1}}, {}},
        {{{3, 1}, {4, 1}, {5, 0}}, {}, {{par::dK, -0.1}}}, // a binding floor without inventories
    };
    // clang-format on
    constexpr int t = 40;
    Model solved = test::BondMarketModel();
    RecordingHost host(1);
    Solve(solved, host);
    for (int n = 1; n <= ParCount; ++n) // every term counts
        for (int s = t - 4; s <= t + 1; ++s)
            if (solved.GetPar(s, n) == 0) solved.SetModelPar(s, n, 0.01 * n + 0.1);
    for (size_t k = 0; k < std::size(settings); ++k) {
        Model m = solved;
        for (auto [sw, v] : settings[k].switches)
            m.Switch[sw] = static_cast<uint8_t>(v);
        for (auto [e, method, lags, perWagePeriod] : settings[k].expectations) {
            m.Expect[e].Method = static_cast<uint8_t>(method);
            m.Expect[e].Lags = static_cast<uint8_t>(lags);
            m.Expect[e].PerWagePeriod = static_cast<uint8_t>(perWagePeriod);
            m.Expect[e].Antecedents = {1}; // without the rule base they change nothing
        }
        for (auto [n, x] : settings[k].parameters)
            for (int s = t - 4; s <= t + 1; ++s)
                m.SetModelPar(s, n, x);
        m.WageRoundFlag = IsWagePeriodStart(m, t);
        m.MonetaryRoundFlag = IsMonetaryPeriodStart(m, t);
        for (int run : {1, 2})
            for (const PeriodStep& step : PeriodSteps()) {
                std::vector<StepInput> listed;
                step.inputs(m, t, run, listed);
                auto isListed = [&](StepInput::Kind kind, int n, int s) {
                    auto is = [&](const StepInput& in) {
                        return in.number == n && in.period == s &&
                               (in.kind == kind ||
                                (kind == StepInput::Var && in.kind == StepInput::FirstRunVar));
                    };
                    return std::any_of(listed.begin(), listed.end(), is);
                };
                std::array<double, 2> before{};
                for (int o : {0, 1})
                    if (step.outputs[o]) before[o] = m.GetVar(t, step.outputs[o]);
                auto evaluate = [&] {
                    step.compute(m, t, StepContext{run, host});
                    std::array<double, 2> after{};
                    for (int o : {0, 1})
                        if (step.outputs[o]) {
                            after[o] = m.GetVar(t, step.outputs[o]);
                            m.SetVar(t, step.outputs[o], before[o]);
                        }
                    return after;
                };
                const auto base = evaluate();
                auto probe = [&](const char* what, int n, int s, auto get, auto set) {
                    const double x = get();
                    set(x == 0 ? 1 : x * 1.5 + 0.7);
                    const auto changed = evaluate();
                    set(x);
                    for (int o : {0, 1})
                        if (!(changed[o] == base[o] ||
                              (std::isnan(changed[o]) && std::isnan(base[o]))))
                            ADD_FAILURE()
                                << "setting " << k << ", run " << run << ": step " << step.name
                                << " reads " << what << " " << n << " of period " << s;
                };
                const auto [out0, out1] = step.outputs;
                for (int n = 1; n <= VarCount; ++n)
                    for (int s = t - 26; s <= t + 4; ++s)
                        if (!isListed(StepInput::Var, n, s) &&
                            !(s == t && (n == out0 || n == out1)))
                            probe(
                                "variable", n, s, [&] { return m.GetVar(s, n); },
                                [&](double x) { m.SetVar(s, n, x); });
                for (int n = 1; n <= ParCount; ++n)
                    for (int s = t - 4; s <= t + 1; ++s)
                        if (!isListed(StepInput::Par, n, s))
                            probe(
                                "parameter", n, s, [&] { return m.GetPar(s, n); },
                                [&](double x) { m.SetPar(s, n, x); });
                for (auto [flag, kind] :
                     {std::pair{&m.WageRoundFlag, StepInput::WageRoundFlag},
                      std::pair{&m.MonetaryRoundFlag, StepInput::MonetaryRoundFlag}})
                    if (!isListed(kind, 0, t))
                        probe(
                            "round flag", kind, t, [flag] { return *flag ? 1.0 : 0.0; },
                            [flag](double x) { *flag = x == 1; });
            }
    }
}

// A rule base forecasts from what it learnt, so its expectation reads nothing of the
// period; the searches form it by the record's own rule.
TEST(PeriodSteps, ARuleBasedExpectationReadsNothingOutsideTheSearches) {
    Model m = test::KeynesianModel();
    m.Expect[3].RuleBased = 1;
    m.Expect[3].Antecedents = {1};
    for (bool search : {false, true}) {
        m.ScratchMode = search;
        std::vector<StepInput> inputs;
        StepFor(var::NErw)->inputs(m, 5, 2, inputs);
        EXPECT_EQ(inputs.empty(), !search);
    }
    // Planned output still comes from demand less imports when the import expectation is
    // rule-based: the list names both.
    m.Expect[4].RuleBased = 1;
    m.Expect[4].Antecedents = {1};
    m.ScratchMode = false;
    std::vector<StepInput> inputs;
    StepFor(var::DErw)->inputs(m, 5, 1, inputs);
    for (int n : {var::NErw, var::ImErw})
        EXPECT_TRUE(std::ranges::any_of(inputs, [n](const StepInput& in) {
            return in.number == n && in.period == 5;
        })) << n;
}

// Expectation forms, with a source series s(t) = t*t so that every mean is checkable.
class Expectations : public ::testing::Test {
  protected:
    void SetUp() override {
        m.ScratchDepth = 1076;
        for (int t = -30; t <= 40; ++t) {
            m.SetVar(t, var::N, t * t);
            m.SetVar(t, var::NErw, 10 * t);
        }
    }
    Model m;
};

TEST_F(Expectations, ExtrapolativeOverPeriodsAndWagePeriods) {
    Expectation& e = m.Expect[3];
    e.Method = 2;
    e.Lags = 3;
    EXPECT_DOUBLE_EQ(PeriodExpectation(m, 3, 20), (19 * 19 + 18 * 18 + 17 * 17) / 3.0);
    m.Switch[23] = 3;
    e.Lags = 2; // two wage periods of three: periods 19, 18, 17 and 16, 15, 14
    EXPECT_DOUBLE_EQ(WagePeriodExpectation(m, 3, 20),
                     (19 * 19 + 18 * 18 + 17 * 17 + 16 * 16 + 15 * 15 + 14 * 14) / 2.0 / 3.0);
}

TEST_F(Expectations, AdaptiveOverPeriodsAndWagePeriods) {
    Expectation& e = m.Expect[3];
    e.Method = 3;
    e.Weight = 25;
    // E(19) + (A(19) - E(19)) * 0.25
    EXPECT_DOUBLE_EQ(PeriodExpectation(m, 3, 20), 190 + (361 - 190) * 25 / 100.0);
    m.Switch[23] = 2;
    const double expected = ((190 + (361 - 190) * 0.25) + (180 + (324 - 180) * 0.25)) / 2;
    EXPECT_DOUBLE_EQ(WagePeriodExpectation(m, 3, 20), expected);
}

TEST_F(Expectations, LagsStopAtTheScratchDepth) {
    Expectation& e = m.Expect[3];
    e.Method = 2;
    e.Lags = 4;
    m.ScratchDepth = 2; // periods before -2 count as -2
    EXPECT_DOUBLE_EQ(PeriodExpectation(m, 3, 0), (1 + 4 + 4 + 4) / 4.0);
    m.Switch[23] = 2;
    e.Lags = 3; // the contract periods that would start before -2 move up
    // c = 0 -> -1, -2; c = -2 -> raised to 0 -> -1, -2; c = -4 -> 0 -> -1, -2
    EXPECT_DOUBLE_EQ(WagePeriodExpectation(m, 3, 0), (1 + 4) * 3 / 3.0 / 2.0);
}

TEST_F(Expectations, FormExpectationStoresWhatItForms) {
    m.Expect[3].Method = 2;
    m.Expect[3].Lags = 1;
    EXPECT_EQ(FormExpectation(m, 3, 5), 2);
    EXPECT_EQ(m.GetVar(5, var::NErw), 16);
    m.Expect[3].Method = 1;
    m.SetVar(5, var::NErw, -1);
    EXPECT_EQ(FormExpectation(m, 3, 5), 1);
    EXPECT_EQ(m.GetVar(5, var::NErw), -1); // the caller's business
    // Over wage periods of two; antecedents matter only to a rule base in use.
    m.Expect[3].Method = 2;
    m.Expect[3].PerWagePeriod = 1;
    m.Expect[3].Antecedents = {1};
    m.Switch[23] = 2;
    EXPECT_EQ(FormExpectation(m, 3, 5), 2);
    EXPECT_EQ(m.GetVar(5, var::NErw), (16 + 9) / 2.0);
    EXPECT_EQ(ExpectationCode(m, 3), 2);
}

TEST(RuleBasedExpectations, ForecastFromTheServerEndToEnd) {
    Model m = test::KeynesianModel();
    test::SetFrom(m, 20, {{par::GAut, 150}});
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(host.ruleNotices, 0); // no rule base in use yet
    int created = 0;
    RuleBaseLink link([&created] {
        ++created;
        return std::make_unique<LeastSquaresRuleServer>();
    });
    m.Rules = &link;
    Expectation& e = m.Expect[3];
    e.RuleBased = 1;
    e.Antecedents = {64 + var::N, par::GAut};
    ASSERT_TRUE(link.Connect(m, 3));
    link.SendNames(m, 3);
    link.Initialise(m, 3, 0, 30);
    auto* server = static_cast<LeastSquaresRuleServer*>(link.Server(3));
    EXPECT_TRUE(server->Initialised());
    EXPECT_EQ(server->Title(), "KALIRON feeded by TERVALIS for forcasting N");
    EXPECT_EQ(server->RowCount(), 31u);

    RecalculateInterval(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_EQ(host.ruleNotices, 11); // the first solve, without the link, told nothing
    EXPECT_EQ(created, 1);
    EXPECT_EQ(server->StartPeriodSeen(), 1);
    EXPECT_GE(server->RunsEnded(), 1);
    // Demand moves towards its new level geometrically; the fitted rule follows it closely.
    EXPECT_NEAR(m.GetVar(60, var::NErw), m.GetVar(59, var::N), 1e-3 * m.GetVar(59, var::N));
    EXPECT_NEAR(m.GetVar(100, var::Y), 1750, 1750 * 5e-3);
    EXPECT_EQ(link.AdoptAntecedents(m, 3), 0);
    EXPECT_EQ(e.Antecedents, (std::vector<int32_t>{64 + var::N, par::GAut}));
    // Antecedents 1-64 are parameters, 65-127 variables, anything else an empty column.
    e.Antecedents = {0, 64, 65, 127, 128};
    m.SetPar(30, 64, 0.25); // non-zero, so that the last parameter is told from a gap
    m.SetVar(30, 63, 7);
    EXPECT_EQ(RuleBaseLink::DataRow(m, 3, 30),
              (std::vector<double>{m.GetVar(30, e.SourceVariable), 0, m.GetPar(30, 64),
                                   m.GetVar(30, 1), m.GetVar(30, 63), 0}));
    // Solving one period per call ends a run of the server too.
    const int runs = server->RunsEnded();
    m.Options.StepwiseSolve = 1;
    m.RecalcInterval = 1;
    Solve(m, host);
    EXPECT_EQ(server->RunsEnded(), runs + 1);
}

// A forecast reads the row before the one asked for, also when that row is stored already.
TEST(RuleBasedExpectations, AStoredRowIsForecastFromTheRowBefore) {
    LeastSquaresRuleServer s;
    const double y[] = {1, 3, 5, 7, 20};
    for (int p = 1; p <= 5; ++p)
        s.PutRow({y[p - 1], double(p)}, p, p == 5);
    EXPECT_NE(s.Forecast(5), 20);
    EXPECT_EQ(s.Forecast(1), 0);
    // An antecedent that sums to zero leaves a zero beside the first pivot: y = 2 + 3 a(-1).
    LeastSquaresRuleServer fit;
    const double a[] = {1, -1, 1, -1, 1};
    for (int p = 1; p <= 5; ++p)
        fit.PutRow({p == 1 ? 0 : 2 + 3 * a[p - 2], a[p - 1]}, p, false);
    EXPECT_DOUBLE_EQ(fit.Forecast(5), -1);
    EXPECT_EQ(fit.Forecast(7), -1); // row 6 missing: the last value observed
}

TEST(RuleBasedExpectations, WithoutAServerTheForecastIsZero) {
    Model m = test::KeynesianModel();
    RuleBaseLink link; // no server can be created
    m.Rules = &link;
    EXPECT_FALSE(link.Connect(m, 5));
    m.Expect[5].RuleBased = 1;
    m.Expect[5].Antecedents = {64 + var::gP};
    RecordingHost host(1);
    Solve(m, host);
    EXPECT_EQ(m.GetVar(10, var::gPErw), 0);
    EXPECT_EQ(link.AdoptAntecedents(m, 5), 3);
    // Without a link no rule base is in use: the host is not asked to refresh one.
    m.Rules = nullptr;
    host.ruleNotices = 0;
    m.RecalcInterval = 1;
    Solve(m, host);
    EXPECT_EQ(host.ruleNotices, 0);
}

} // namespace
} // namespace tv
