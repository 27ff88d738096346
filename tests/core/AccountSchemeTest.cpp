#include "core/AccountScheme.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <numeric>
#include <tuple>

namespace tv {
namespace {

using A = SchemeAccount;

// A solved model over 0..10 whose current period is `current`.
Model Solved(Model m, const std::function<void(Model&)>& change = {}, int current = 5) {
    m.Periods.RightEdge = 10;
    if (change) change(m);
    test::RecordingHost host;
    SolveAtProgramStart(m, host);
    m.Periods.CurrentPeriod = current;
    return m;
}

// An open economy with government and exogenous interest; government purchases rise in
// period 5, so that output and demand differ there (unplanned change of stocks).
Model OpenRealModel() {
    return Solved(test::KeynesianModel(), [](Model& m) {
        test::SetAll(m, {{par::tY, 0.2},
                         {par::SBAut, 20},
                         {par::SubAut, 10},
                         {par::ExAut, 50},
                         {par::ImAut, 10},
                         {par::mY, 0.1}});
        test::SetFrom(m, 5, {{par::GAut, 140}});
    });
}

// An open economy with a complete bond market, fixed exchange rates and money supply that
// follows the balance of payments; a policy change in period 5.
Model OpenFixedModel(std::pair<int, double> change = {par::GAut, 220}) {
    return Solved(test::OpenFlexibleModel(), [&](Model& m) {
        m.Switch[21] = 0;
        m.Switch[19] = 1;
        test::SetAll(m, {{par::nWR, 0.4}});
        test::SetFrom(m, 5, {change});
        m.UpdateActiveParams();
    });
}

double Tolerance(double a, double b) {
    return 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

void ExpectBalanced(const AccountScheme& s, const std::string& what) {
    for (A a : {A::Households, A::Firms, A::Financial, A::Government, A::World}) {
        if (!s.Visible(a)) continue;
        const double l = s.ColumnSum(a, 0), r = s.ColumnSum(a, 1);
        EXPECT_NEAR(l, r, Tolerance(l, r)) << what << " account " << static_cast<int>(a);
    }
    // Each booking explains itself in one first line, numbered as counted.
    std::vector<int> tags, expected(s.BookingCount());
    std::iota(expected.begin(), expected.end(), 1);
    for (const SchemeLine& line : s.State().Lines)
        if (line.Kind == SchemeLine::First) tags.push_back(line.Tag);
    EXPECT_EQ(tags, expected) << what;
}

// The markets' closings state the sums of both sides.
void ExpectMarketClosings(const AccountScheme& s, const Model& m, const std::string& what) {
    for (const auto& [a, sides] :
         {std::pair{A::BondMarket, "WA = WN = "}, std::pair{A::ForexMarket, "FN = FA = "}}) {
        if (!s.Visible(a) || s.State().Column(a, 0).empty()) continue;
        for (int c : {0, 1}) {
            const std::string& closing = s.State().Column(a, c).back().Text;
            const std::string sum =
                std::string(sides + 5 * c, 5) + m.FormatNumber(s.ColumnSum(a, c));
            EXPECT_TRUE(closing.ends_with(sum)) << closing << " " << what;
        }
    }
}

TEST(AccountScheme, RealBookingsAreThePeriodsSolvedFlows) {
    const Model m = OpenRealModel();
    AccountScheme s(m);
    s.Load();
    ASSERT_FALSE(s.Monetary());
    s.Finish();
    auto v = [&](int n) { return m.GetVar(5, n); };
    const std::vector<double> expected = {
        v(var::Y),
        v(var::Im),
        v(var::T),
        m.GetPar(5, par::SBAut) + m.GetPar(5, par::SubAut),
        v(var::C),
        v(var::G),
        v(var::Ex),
        v(var::YV) - v(var::C),
        (v(var::Y) - v(var::YV)) - v(var::G),
        v(var::Ex) - v(var::Im),
        v(var::I) + (v(var::X) - v(var::N)),
    };
    ASSERT_NE(v(var::X) - v(var::N), 0.0); // the period has an unplanned change of stocks
    EXPECT_EQ(s.BookedAmounts(), expected);
    EXPECT_EQ(s.BookingCount(), 11);
    EXPECT_TRUE(s.Finished());
    for (A a : {A::Households, A::Firms, A::Government, A::World, A::BondMarket})
        EXPECT_TRUE(s.Visible(a));
    EXPECT_FALSE(s.Visible(A::Financial));
    EXPECT_FALSE(s.Visible(A::ForexMarket));
    // Tags and colours follow the count: booking 3 is the taxes.
    const auto& hh = s.State().Column(A::Households, 0);
    // Every column opens with the stock of the period before.
    for (const auto& [a, left, right] : {std::tuple{A::Households, "W(t-1)", "GV(t-1)"},
                                         {A::Firms, "SV(t-1)", "-W(t-1)"},
                                         {A::Government, "W(t-1)", "GV(t-1)"},
                                         {A::World, "W(t-1)", "GV(t-1)"}}) {
        EXPECT_EQ(s.State().Column(a, 0).at(0).Text, left);
        EXPECT_EQ(s.State().Column(a, 1).at(0).Text, right);
    }
    bool taxes = false;
    for (const SchemeEntry& e : hh)
        taxes = taxes || (e.Text == "3) dW = -T" && e.Tag == 3 && !e.Counter);
    EXPECT_TRUE(taxes);
    EXPECT_EQ(s.State().Lines.back().Kind, SchemeLine::End);
    EXPECT_EQ(s.State().Lines.back().Text, "Ende der Periode t = 5");
}

TEST(AccountScheme, RealScriptBalancesAndClearsTheBondMarket) {
    for (const auto& [name, m] : std::vector<std::pair<std::string, Model>>{
             {"open", OpenRealModel()},
             {"closed", Solved(test::KeynesianModel())},
             {"deficit", Solved(test::KeynesianModel(),
                                [](Model& m) {
                                    test::SetFrom(m, 5, {{par::GAut, 300}, {par::ImAut, 80}});
                                })},
             // Saldos between 0 and 1: saving and investment 0.5, then a surplus of 0.5 and
             // a deficit abroad of 0.5.
             {"small saldos", Solved(test::KeynesianModel(),
                                     [](Model& m) {
                                         test::SetAll(m, {{par::IAut, 0.5}, {par::TAut, 100}});
                                     })},
             {"small surplus", Solved(test::KeynesianModel(), [](Model& m) {
                  test::SetAll(m, {{par::IAut, 0.5}, {par::TAut, 100.5}, {par::ImAut, 0.5}});
              })}}) {
        AccountScheme s(m);
        s.Load();
        s.Finish();
        ExpectBalanced(s, name);
        const double wa = s.ColumnSum(A::BondMarket, 0), wn = s.ColumnSum(A::BondMarket, 1);
        EXPECT_NEAR(wa, wn, Tolerance(wa, wn)) << name;
        EXPECT_GT(wa, 0) << name;
        // A saldo's sign decides its side and its sentence.
        for (int c : {0, 1})
            for (const SchemeEntry& e : s.State().Column(A::BondMarket, c))
                EXPECT_GE(e.Amount, 0) << name << " " << e.Text;
        // The sentences of negative saldos.
        std::vector<std::string> wrong;
        if (name == "small saldos") wrong = {"< 0"};
        if (name == "small surplus") wrong = {"(-BS)", "überschuss AB"};
        for (const SchemeLine& line : s.State().Lines)
            for (const std::string& w : wrong)
                if (line.Kind == SchemeLine::First) {
                    EXPECT_EQ(line.Text.find(w), line.Text.npos) << name << " " << line.Text;
                }
    }
}

TEST(AccountScheme, ClosedEconomyWithoutGovernmentShowsThreePanelsAndFourBookings) {
    const Model m = Solved(test::KeynesianModel(), [](Model& m) {
        // Transfers that cancel are no government either.
        test::SetAll(m, {{par::GAut, 0}, {par::IAut, 150}, {par::SBAut, 10}, {par::SubAut, -10}});
    });
    AccountScheme s(m);
    s.Load();
    s.Finish();
    const auto v = [&](int n) { return m.GetVar(5, n); };
    EXPECT_EQ(s.BookedAmounts(), (std::vector<double>{v(var::Y), v(var::C), v(var::YV) - v(var::C),
                                                      v(var::I) + (v(var::X) - v(var::N))}));
    EXPECT_EQ(s.ColumnSum(A::BondMarket, 0), v(var::I) + (v(var::X) - v(var::N)));
    EXPECT_TRUE(s.Visible(A::Households) && s.Visible(A::Firms) && s.Visible(A::BondMarket));
    EXPECT_FALSE(s.Visible(A::Government) || s.Visible(A::World) || s.Visible(A::Financial));
    // Booking 5 of the script (consumption) carries tag 2.
    EXPECT_TRUE(s.Done(2) && s.Done(5));
    EXPECT_EQ(s.State().Column(A::Households, 0).at(3).Text, "2) dW = -C");
    // The closing names the change of assets and shows the saldo on the liabilities side.
    EXPECT_EQ(s.State().Column(A::Households, 0).back().Text, "3) dW = S");
    EXPECT_EQ(s.State().Column(A::Households, 1).back().Text,
              "3) dGV = " + m.FormatNumber(v(var::YV) - v(var::C)));
}

TEST(AccountScheme, ColumnHeadingsNameTheSidesOfSectorsAndMarkets) {
    EXPECT_STREQ(SchemeColumnHeading(A::Firms, 1), "P");
    EXPECT_STREQ(SchemeColumnHeading(A::BondMarket, 0), "WA");
    EXPECT_STREQ(SchemeColumnHeading(A::ForexMarket, 1), "FA");
}

TEST(AccountScheme, StepUndoAndTheEndLine) {
    const Model m = OpenRealModel();
    AccountScheme s(m);
    s.Load();
    EXPECT_EQ(s.BookingCount(), 0);
    EXPECT_TRUE(s.Step());
    EXPECT_TRUE(s.Step());
    EXPECT_EQ(s.BookingCount(), 2);
    s.Undo();
    EXPECT_EQ(s.BookingCount(), 1);
    EXPECT_EQ(s.BookedAmounts().size(), 1u);
    s.Finish();
    EXPECT_TRUE(s.Finished());
    EXPECT_FALSE(s.Step());
    const size_t lines = s.State().Lines.size();
    // Undo after the end line removes the last booking, not only the end line.
    s.Undo();
    EXPECT_FALSE(s.Finished());
    EXPECT_EQ(s.BookingCount(), 10);
    EXPECT_LT(s.State().Lines.size(), lines - 1);
    EXPECT_TRUE(s.Step()); // booking 11 again
    EXPECT_FALSE(s.Finished());
    EXPECT_TRUE(s.Step()); // the end line
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(s.State().Lines.size(), lines);
    s.Restart();
    EXPECT_EQ(s.BookingCount(), 0);
    EXPECT_FALSE(s.Done(1));
}

TEST(AccountScheme, AnAmountThatFormatsToZeroGetsNoTag) {
    Model m = Solved(test::KeynesianModel(), [](Model& m) {
        test::SetAll(m, {{par::SBAut, 0.004}});
    });
    AccountScheme s(m);
    s.Load();
    s.Finish();
    const int twoDecimals = s.BookingCount();
    EXPECT_TRUE(s.Done(4));
    m.DecimalPlaces = 3;
    s.Refresh(); // the same number of bookings; one is left now
    EXPECT_FALSE(s.Finished());
    EXPECT_EQ(s.BookingCount(), twoDecimals);
    s.Finish();
    EXPECT_EQ(s.BookingCount(), twoDecimals + 1);
    // The transfers now carry tag 2, consumption moves to 3.
    EXPECT_EQ(s.State().Column(A::Households, 0).at(3).Text, "2) dW = +Tr");
    EXPECT_EQ(s.State().Column(A::Households, 0).at(4).Text, "3) dW = -C");
    m.DecimalPlaces = 2;
    s.Refresh(); // finished, and nothing left: the end line comes back
    EXPECT_TRUE(s.Finished());
    EXPECT_EQ(s.BookingCount(), twoDecimals);
}

TEST(AccountScheme, MonetaryPhasesFollowTheMoneyMarketDates) {
    struct Case {
        double lY;
        int phases;
    };
    for (const Case c : {Case{0.5, 4}, Case{2, 1}, Case{1, 2}, Case{0.3, 7}}) {
        const Model m = Solved(test::ClosedISLMModel(), [&](Model& m) {
            test::SetAll(m, {{par::lY, c.lY}});
        });
        AccountScheme s(m);
        s.Load();
        EXPECT_TRUE(s.Monetary());
        EXPECT_EQ(s.PhaseCount(), c.phases) << c.lY;
        s.SetPhase(c.phases);
        s.Finish();
        const std::string end = c.phases > 1 ? "Ende der " + std::to_string(c.phases) +
                                                   ". Transaktionsphase von Periode t = 5"
                                             : "Ende der Periode t = 5";
        EXPECT_EQ(s.State().Lines.back().Text, end);
    }
}

TEST(AccountScheme, MonetaryScriptBalancesEveryAccountInEveryPhase) {
    const std::vector<std::pair<std::string, Model>> models = {
        {"closed", Solved(test::ClosedISLMModel())},
        {"bond market", Solved(test::BondMarketModel())},
        {"open flexible", Solved(test::OpenFlexibleModel())},
        {"open fixed", OpenFixedModel()},
        // Foreign prices move the balance of payments away from the one planned.
        {"foreign prices", OpenFixedModel({par::PAExog, 1.2})},
        {"capital inflow", OpenFixedModel({par::NKAut, 200})},
        {"start period", Solved(test::OpenFlexibleModel(), {}, 0)},
        {"transfers", Solved(test::ClosedISLMModel(),
                             [](Model& m) {
                                 test::SetAll(m, {{par::SBAut, 20}});
                             })},
    };
    for (const auto& [name, m] : models) {
        AccountScheme s(m);
        s.Load();
        for (int k = 1; k <= s.PhaseCount(); ++k) {
            s.SetPhase(k);
            s.Finish();
            ExpectBalanced(s, name + " phase " + std::to_string(k));
            ExpectMarketClosings(s, m, name + " phase " + std::to_string(k));
            // The sector closing, the last booking, restates the households' changes.
            int restated = 0;
            for (const SchemeEntry& e : s.State().Column(A::Households, 0)) {
                restated += e.Tag == s.BookingCount();
                // Only a booking's lines carry its tag: the window marks and picks them by it.
                if (e.Tag != 0) {
                    EXPECT_EQ(e.Text.rfind(std::to_string(e.Tag), 0), 0u) << e.Text;
                }
            }
            EXPECT_GT(restated, 0) << name << " phase " << k;
            // ... under a line drawn across both columns.
            const auto& left = s.State().Column(A::Households, 0);
            const auto closing = std::ranges::find(left, s.BookingCount(), &SchemeEntry::Tag);
            const auto under = static_cast<size_t>(closing - left.begin()) - 1;
            for (int c : {0, 1})
                EXPECT_EQ(s.State().Column(A::Households, c).at(under).Text, std::string(50, '-'))
                    << name << " phase " << k;
            // Each phase pays its equal share of the period's goods flows.
            const std::vector<double>& booked = s.BookedAmounts();
            for (int n : {var::Y, var::Tr, var::C, var::G, var::T, var::Ex, var::Im}) {
                const double share = m.GetVar(m.Periods.CurrentPeriod, n) / s.PhaseCount();
                EXPECT_TRUE(share == 0 || std::ranges::count(booked, share) > 0)
                    << name << " phase " << k << " variable " << n;
            }
            if (s.Visible(A::ForexMarket) && m.Sw(21) == 0) {
                const double fn = s.ColumnSum(A::ForexMarket, 0);
                const double fa = s.ColumnSum(A::ForexMarket, 1);
                EXPECT_NEAR(fn, fa, Tolerance(fn, fa)) << name << " phase " << k;
                // A surplus is bought on the demand side, a deficit sold on the supply side.
                for (int c : {0, 1})
                    for (const SchemeEntry& e : s.State().Column(A::ForexMarket, c))
                        EXPECT_GE(e.Amount, 0) << name << " phase " << k << ": " << e.Text;
            }
        }
    }
}

TEST(AccountScheme, MonetaryBondMarketClearsAtThePhaseRate) {
    // A stationary closed economy: the carried balances equal last period's money, so the
    // phase rate clears the bond market exactly.
    const Model m = Solved(test::ClosedISLMModel(), {}, 3);
    AccountScheme s(m);
    s.Load();
    for (int k = 1; k <= s.PhaseCount(); ++k) {
        s.SetPhase(k);
        s.Finish();
        const double wa = s.ColumnSum(A::BondMarket, 0), wn = s.ColumnSum(A::BondMarket, 1);
        EXPECT_NEAR(wa, wn, 1e-7 * std::max(1.0, wa)) << "phase " << k;
        ExpectMarketClosings(s, m, "phase " + std::to_string(k));
        for (const SchemeLine& line : s.State().Lines) // above the floor: no trap note
            EXPECT_EQ(line.Text.find("Liquid"), std::string::npos) << line.Text;
    }
}

TEST(AccountScheme, LaterPhasesOpenWithTheMoneyThePhaseBeforeLeft) {
    // Reserve inflows change the money supply, and so the rate, from phase to phase. A
    // phase opens with the money of the phase before plus that phase's inflow, and what
    // the transactions balances do not hold of it is the speculative balance.
    const Model m = OpenFixedModel();
    AccountScheme s(m);
    s.Load();
    ASSERT_GE(s.PhaseCount(), 3);
    for (int k = 2; k <= s.PhaseCount(); ++k) {
        const SchemePhase& before = s.PhaseData(k - 1);
        const SchemePhase& p = s.PhaseData(k);
        ASSERT_NE(before.Rate, p.Rate) << "phase " << k;
        EXPECT_EQ(p.OpeningMoney, before.Money + ReserveInflowStep(m, s.Period(), before.Rate))
            << "phase " << k;
        const double speculative = p.OpeningMoney - p.Households - p.Firms - p.Government;
        EXPECT_EQ(p.Speculative, speculative) << "phase " << k;
        s.SetPhase(k);
        EXPECT_EQ(s.State().Column(A::Households, 0).at(1).Text,
                  "LS(t-1) = " + m.FormatNumber(speculative));
        EXPECT_EQ(s.State().Column(A::Financial, 0).at(0).Text, "W(t-1)"); // the banks' bonds
        EXPECT_EQ(s.State().Column(A::Financial, 1).at(0).Text,
                  "M = " + m.FormatNumber(p.OpeningMoney));
    }
}

TEST(AccountScheme, ReloadingKeepsThePhaseWhileThePeriodHasIt) {
    struct Case {
        int phase;
        double lY; // on reload: 2 / l[Y] phases
        int expected;
    };
    for (const Case c : {Case{4, 0.5, 4}, Case{2, 0.5, 2}, Case{4, 1, 1}}) {
        SCOPED_TRACE("phase " + std::to_string(c.phase) + ", l[Y] " + std::to_string(c.lY));
        Model m = OpenFixedModel();
        AccountScheme s(m);
        s.Load();
        ASSERT_EQ(s.PhaseCount(), 4);
        s.SetPhase(c.phase);
        s.Step();
        m.SetModelPar(5, par::lY, c.lY);
        s.Load();
        EXPECT_EQ(s.Phase(), c.expected);
        EXPECT_EQ(s.BookingCount(), 0); // the initial state of that phase
        EXPECT_EQ(s.State().Lines.front().Text,
                  c.expected == 1
                      ? std::string("Ausgangssituation am Beginn der Periode t = 5:")
                      : "Ausgangssituation am Beginn der " + std::to_string(c.expected) +
                            ". Transaktionsphase von Periode t = 5:");
    }
}

// Amounts too small to show still make their sector's panel appear.
TEST(AccountScheme, ASectorThatTaxesSpendsTransfersOrTradesIsShown) {
    for (const auto& [p, a] : {std::pair{par::TAut, A::Government},
                               {par::GAut, A::Government},
                               {par::SBAut, A::Government},
                               {par::ExAut, A::World},
                               {par::ImAut, A::World}}) {
        const Model m = Solved(test::KeynesianModel(), [p = p](Model& m) {
            test::SetAll(m, {{par::GAut, 0}, {p, 0.001}});
        });
        AccountScheme s(m);
        s.Load();
        EXPECT_TRUE(s.Visible(a)) << p;
    }
}

TEST(AccountScheme, AnAccountWithBookingsIsShownEvenWhenItsConditionFails) {
    // Government abolished in period 5: no taxes, purchases or transfers, but the
    // transactions balance carried from period 4 is still sold on the bond market.
    const Model m = Solved(test::ClosedISLMModel(), [](Model& m) {
        test::SetFrom(m, 5, {{par::tY, 0}, {par::GAut, 0}});
    });
    ASSERT_EQ(m.GetVar(5, var::T), 0);
    ASSERT_EQ(m.GetVar(5, var::G), 0);
    AccountScheme s(m);
    s.Load();
    EXPECT_TRUE(s.Visible(A::Government));
    s.Finish();
    ExpectBalanced(s, "abolished government");
}

TEST(AccountScheme, TheMostPhasesAreComputedInOnePass) {
    const Model m = Solved(test::OpenFlexibleModel(), [](Model& m) {
        m.Switch[21] = 0;
        m.Switch[19] = 1;
        test::SetAll(m, {{par::nWR, 0.5}});
        test::SetFrom(m, 5, {{par::lY, 1e-6}});
    });
    const auto start = std::chrono::steady_clock::now();
    AccountScheme s(m);
    s.Load();
    ASSERT_EQ(s.PhaseCount(), 65535);
    s.SetPhase(65535);
    s.Finish();
    s.SetPhase(65534);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 30.0); // replaying the earlier phases at each step would take hours
    // Each phase's money is the previous one's plus its reserve inflow.
    const SchemePhase& a = s.PhaseData(65534);
    const SchemePhase& b = s.PhaseData(65535);
    EXPECT_EQ(b.Money, a.Money + ReserveInflowStep(m, 5, a.Rate));
    EXPECT_EQ(s.Phase(), 65534);
}

TEST(AccountScheme, LanguageAndNumberFormatReplayTheSameState) {
    Model m = OpenRealModel();
    AccountScheme s(m);
    s.Load();
    s.Step();
    s.Step();
    s.Step();
    m.Language = 2;
    s.Refresh();
    EXPECT_EQ(s.BookingCount(), 3);
    EXPECT_EQ(s.State().Lines.front().Text, "Initial situation at the beginning of period t = 5:");
    m.DecimalPlaces = 0;
    s.Refresh();
    EXPECT_EQ(s.BookingCount(), 3);
    EXPECT_EQ(s.State().Column(A::Households, 1).at(2).Text,
              "1') dGV = " + m.FormatNumber(m.GetVar(5, var::Y)));
}

} // namespace
} // namespace tv
