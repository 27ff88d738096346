#include "core/ExpectationSettings.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Catalogue.h"
#include "core/MonitorText.h"
#include "core/Period.h"
#include "core/RuleServer.h"
#include "core/Solver.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>

namespace tv {
namespace {

using namespace expect;

struct Sw {
    int k, value;
};

Model With(std::initializer_list<Sw> switches, std::initializer_list<Sw> methods = {}) {
    Model m = test::StartModel();
    for (auto [k, v] : switches)
        m.Switch[k] = static_cast<uint8_t>(v);
    for (auto [k, v] : methods)
        m.Expect[k].Method = static_cast<uint8_t>(v);
    return m;
}

TEST(ExpectationEnabling, FollowsStructureAndTheOtherRecords) {
    struct Case {
        const char* what;
        std::initializer_list<Sw> switches, methods;
        int k, method;
        bool enabled;
    };
    const Case cases[] = {
        {"actual income with fixed rates", {}, {{Demand, 2}, {Imports, 2}}, Income, 1, true},
        {"actual income with flexible rates",
         {{21, 1}},
         {{Demand, 2}, {Imports, 2}},
         ProfitIncome,
         1,
         false},
        {"actual income while demand is actual", {}, {{Demand, 1}}, WageIncome, 1, false},
        {"actual income while imports are actual",
         {},
         {{Demand, 2}, {Imports, 1}},
         Income,
         1,
         false},
        {"actual demand while an income is actual",
         {},
         {{Income, 2}, {WageIncome, 1}},
         Demand,
         1,
         false},
        {"actual demand while profit income is actual",
         {},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 1}},
         Demand,
         1,
         false},
        {"actual demand, income the only endogenous quantity",
         {},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 2}},
         Demand,
         1,
         true},
        {"actual demand with endogenous prices",
         {{12, 1}},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 2}},
         Demand,
         1,
         false},
        {"actual demand with money from the monetary base",
         {{18, 1}},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 2}},
         Demand,
         1,
         true},
        {"actual demand with endogenous interest",
         {{17, 2}},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 2}},
         Demand,
         1,
         false},
        {"actual import value, demand-driven imports",
         {{9, 1}},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 2}},
         Imports,
         1,
         true},
        {"actual import value, supply-driven imports",
         {{9, 0}},
         {{Income, 2}, {WageIncome, 2}, {ProfitIncome, 2}},
         Imports,
         1,
         false},
        {"synchronised imports, demand-driven", {{9, 1}}, {}, Imports, 4, false},
        {"synchronised imports, supply-driven", {{9, 0}}, {}, Imports, 4, true},
        {"extrapolative always", {{21, 1}, {12, 1}}, {{Demand, 1}}, Income, 2, true},
        {"zero inflation always", {{21, 1}}, {}, Inflation, 1, true},
    };
    for (const Case& c : cases) {
        const Model m = With(c.switches, c.methods);
        EXPECT_EQ(MethodEnabled(m, c.k, c.method), c.enabled) << c.what;
    }
}

TEST(ExpectationEdit, RefusesMethodsNotOffered) {
    Model m = With({{21, 1}});
    ExpectationEdit edit(m);
    EXPECT_FALSE(edit.SetMethod(Income, 1));   // flexible rates
    EXPECT_FALSE(edit.SetMethod(Demand, 5));   // not a method of demand
    EXPECT_TRUE(edit.SetMethod(Inflation, 5)); // announced money growth
    EXPECT_EQ(m.Expect[Inflation].Method, 5);
    // The order is the order of the dialog's choices.
    EXPECT_EQ(MethodsOf(Imports), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(MethodsOf(Inflation), (std::vector<int>{1, 4, 5, 2, 3}));
    EXPECT_EQ(MethodsOf(Demand), (std::vector<int>{1, 2, 3}));
}

TEST(ExpectationEdit, SpinValuesStayInRange) {
    Model m = test::StartModel();
    ExpectationEdit edit(m);
    const struct {
        int lags, weight, wantLags, wantWeight;
    } cases[] = {{0, 0, 1, 1}, {9, 250, 5, 100}, {3, 40, 3, 40}};
    for (auto c : cases) {
        edit.SetLags(Demand, c.lags);
        edit.SetWeight(Demand, c.weight);
        EXPECT_EQ(m.Expect[Demand].Lags, c.wantLags);
        EXPECT_EQ(m.Expect[Demand].Weight, c.wantWeight);
    }
}

TEST(ExpectationEdit, WageAndProfitIncomeFollowTheGeneralSettingsUnlessOwn) {
    Model m = test::StartModel();
    ExpectationEdit edit(m);
    edit.SetOwnSettings(ProfitIncome, true);
    edit.SetMethod(ProfitIncome, 3);
    edit.SetMethod(Income, 2);
    EXPECT_EQ(m.Expect[WageIncome].Method, 2); // at once
    edit.SetLags(Income, 4);
    EXPECT_EQ(m.Expect[WageIncome].Lags, 4); // at once as well
    edit.Accept();
    EXPECT_EQ(m.Expect[WageIncome].Method, 2);
    EXPECT_EQ(m.Expect[WageIncome].Lags, 4);
    EXPECT_EQ(m.Expect[ProfitIncome].Method, 3);
    EXPECT_EQ(m.Expect[ProfitIncome].OwnSettings, 1);
    edit.SetOwnSettings(ProfitIncome, false); // follows at once
    EXPECT_EQ(m.Expect[ProfitIncome].Method, 2);
    edit.SetWeight(Income, 40);
    EXPECT_EQ(m.Expect[WageIncome].Weight, 40); // at once too
}

// Whether closing with OK marks the interval for recomputation.
TEST(ExpectationEdit, OkMarksTheIntervalWhenAnExpectationIsFormedDifferently) {
    struct Case {
        const char* what;
        std::function<void(ExpectationEdit&)> change;
        bool recalc;
        bool ruleBasedBefore = false; // demand formed by a rule base with one antecedent
        int methodBefore = 2;         // of demand
    };
    const Case cases[] = {
        {"nothing", [](ExpectationEdit&) {}, false},
        {"method", [](ExpectationEdit& e) { e.SetMethod(Demand, 3); }, true},
        {"lags of the extrapolative rule", [](ExpectationEdit& e) { e.SetLags(Demand, 2); }, true},
        {"weight the extrapolative rule does not use",
         [](ExpectationEdit& e) { e.SetWeight(Demand, 50); }, false},
        {"weight of the adaptive rule", [](ExpectationEdit& e) { e.SetWeight(Demand, 50); }, true,
         false, 3},
        {"lags the adaptive rule does not use", [](ExpectationEdit& e) { e.SetLags(Demand, 2); },
         false, false, 3},
        {"rule-based without antecedents", [](ExpectationEdit& e) { e.SetRuleBased(Demand, true); },
         false},
        {"rule-based with antecedents",
         [](ExpectationEdit& e) {
             e.AddAntecedents(Demand, {64 + var::N});
             e.SetRuleBased(Demand, true);
         },
         true},
        {"antecedents of a conventional expectation",
         [](ExpectationEdit& e) { e.AddAntecedents(Demand, {64 + var::N}); }, false},
        {"rule base initialised anew", [](ExpectationEdit& e) { e.RuleBaseChanged(Demand); }, true,
         true},
        {"rule base left as it was", [](ExpectationEdit&) {}, false, true},
        {"back to conventional", [](ExpectationEdit& e) { e.SetRuleBased(Demand, false); }, true,
         true},
    };
    for (const Case& c : cases) {
        Model m = test::StartModel();
        m.Expect[Demand].Method = static_cast<uint8_t>(c.methodBefore);
        if (c.ruleBasedBefore) {
            m.Expect[Demand].RuleBased = 1;
            m.Expect[Demand].Antecedents = {1};
        }
        m.RecalcInterval = 0;
        ExpectationEdit edit(m);
        c.change(edit);
        edit.Accept();
        EXPECT_EQ(m.RecalcInterval != 0, c.recalc) << c.what;
    }
}

TEST(ExpectationEdit, CancelRestoresEveryRecord) {
    Model m = test::StartModel();
    m.Expect[Demand].Antecedents = {3, 70};
    const Expectations before = m.Expect;
    m.RecalcInterval = 0;
    ExpectationEdit edit(m);
    edit.SetMethod(Demand, 3);
    edit.RemoveAntecedents(Demand, {3});
    edit.AddAntecedents(Demand, {5, 70, 500, 0, 1}); // 70 is there already, 500 and 0 no series
    EXPECT_EQ(m.Expect[Demand].Antecedents, (std::vector<int32_t>{70, 5, 1}));
    edit.SetRuleBased(Inflation, true);
    edit.SetInitTo(Inflation, 30); // learning runs from period 0
    EXPECT_EQ(m.Expect[Inflation].InitFrom, 0);
    EXPECT_EQ(m.Expect[Inflation].InitTo, 30);
    edit.SetInitTo(Inflation, 9999);
    EXPECT_EQ(m.Expect[Inflation].InitTo, m.Periods.RightEdge);
    edit.Cancel();
    for (int k = 0; k < ExpectationCount; ++k) {
        EXPECT_EQ(m.Expect[k].Method, before[k].Method);
        EXPECT_EQ(m.Expect[k].RuleBased, before[k].RuleBased);
        EXPECT_EQ(m.Expect[k].Antecedents, before[k].Antecedents);
        EXPECT_EQ(m.Expect[k].InitTo, before[k].InitTo);
    }
    EXPECT_EQ(m.RecalcInterval, 0);
}

// Cancel restores the records, but a rule base learnt anew meanwhile forecasts differently.
TEST(ExpectationEdit, CancelAfterTheRuleBaseLearntAnewStillRecomputes) {
    Model m = test::StartModel();
    m.Expect[Income].RuleBased = 1;
    m.Expect[Income].Antecedents = {1};
    m.RecalcInterval = 0;
    ExpectationEdit edit(m);
    edit.RuleBaseChanged(Income);
    edit.Cancel();
    EXPECT_EQ(m.RecalcInterval, 1);
}

TEST(ExpectationEdit, AvailableSeriesExcludeTheAntecedents) {
    Model m = test::StartModel();
    m.Expect[Imports].Antecedents = {64 + var::Y, 2};
    ExpectationEdit edit(m);
    const auto available = edit.Available(Imports);
    EXPECT_EQ(available.size(), size_t(SeriesCount - 2));
    EXPECT_EQ(available.front(), 1);
    EXPECT_EQ(std::count(available.begin(), available.end(), 2), 0);
    EXPECT_EQ(SeriesName(m, 1, 1).empty(), false);
    EXPECT_EQ(SeriesName(m, 64 + var::Y, 1).empty(), false);
    EXPECT_EQ(SeriesName(m, 65, 1), Translate(VarName(1), 1)); // the first variable
    EXPECT_EQ(SeriesName(m, SeriesCount, 2).empty(), false);
    EXPECT_EQ(SeriesName(m, SeriesCount + 1, 2).empty(), true);
    EXPECT_EQ(SeriesName(m, 0, 2).empty(), true);
}

TEST(ExpectationEdit, Parameter54IsNamedAfterTheMoneyCreationSwitch) {
    Model m = test::StartModel();
    m.Switch[18] = 0;
    EXPECT_NE(SeriesName(m, 54, 1).find("gMN,aut"), std::string::npos);
    m.Switch[18] = 1;
    EXPECT_NE(SeriesName(m, 54, 1).find("gMBN,aut"), std::string::npos);
    EXPECT_EQ(ParamSymbol(54, 3, 1, true), "gMBN,aut");
    EXPECT_EQ(ParamSymbol(54, 3, 1, false), "gMN,aut");
    // The refusal of an input names it the same way.
    test::RecordingHost host;
    std::array<double, 64> row{};
    EXPECT_FALSE(CheckParameter(m, host, 54, 5, std::nan(""), row));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("gMBN,aut"), std::string::npos) << host.messages[0];
}

// A server whose antecedent list is scripted.
class ListServer : public LeastSquaresRuleServer {
  public:
    explicit ListServer(std::vector<std::string> list) : list_(std::move(list)) {}
    std::vector<std::string> AntecedentList() override { return list_; }

  private:
    std::vector<std::string> list_;
};

TEST(AdoptAntecedents, UnknownSymbolsAreLeftOutAndNamed) {
    struct Case {
        std::vector<std::string> list;
        int result;
        std::vector<int32_t> antecedents; // after the call
        std::vector<std::string> unknown;
    };
    const std::string n = VarSymbol(var::N);
    const Case cases[] = {
        {{n, "Y", "Quatsch"}, 0, {64 + var::Y}, {"Quatsch"}},
        {{n, "Quatsch"}, 3, {7}, {"Quatsch"}},
        {{n}, 3, {7}, {}},
        {{"not available"}, 1, {7}, {}},
        {{"Y", "N"}, 2, {7}, {}},
        {{n, "Y", "Y"}, 0, {64 + var::Y}, {}},
    };
    for (const Case& c : cases) {
        Model m = test::StartModel();
        m.Expect[Demand].Antecedents = {7};
        RuleBaseLink link([&c] { return std::make_unique<ListServer>(c.list); });
        ASSERT_TRUE(link.Connect(m, Demand));
        std::vector<std::string> unknown;
        EXPECT_EQ(link.AdoptAntecedents(m, Demand, &unknown), c.result) << c.list.back();
        EXPECT_EQ(m.Expect[Demand].Antecedents, c.antecedents) << c.list.back();
        EXPECT_EQ(unknown, c.unknown) << c.list.back();
    }
}

TEST(MonitorText, LinesFollowTheSwitches) {
    struct Case {
        std::initializer_list<Sw> switches;
        MonitorQuantity q;
        int language;
        const char* text;
    };
    using Q = MonitorQuantity;
    const Case cases[] = {
        {{{17, 0}}, Q::InterestRate, 1, ": exogen"},
        {{{17, 2}}, Q::InterestRate, 1, ": endogen [geldmarkträumend]"},
        {{{17, 1}}, Q::InterestRate, 2, ": endogenous [clearing the complete bond market]"},
        {{{19, 0}, {18, 0}, {20, 0}}, Q::MoneySupply, 1, ": exogen"},
        {{{19, 1}, {18, 1}, {20, 1}}, Q::MoneySupply, 1, ": endogen [dyn. mult. Geldschöpfung]"},
        {{{19, 0}, {18, 0}, {20, 1}}, Q::MoneySupply, 2, ": exogenous [dyn.]"},
        {{{19, 0}, {18, 1}, {20, 0}}, Q::MoneySupply, 2, ": exogenous [mult. Money Creation]"},
        {{{12, 1}, {6, 1}},
         Q::PriceLevel,
         1,
         ": endogen [gewinnmax. Preissetzung; substitut. Techn.]"},
        {{{12, 2}, {6, 0}}, Q::PriceLevel, 2, ": endogenous [markup pricing; limit. techn.]"},
        {{{12, 0}}, Q::PriceLevel, 2, ": exogenous"},
        {{{14, 2}}, Q::WageLevel, 1, ": endogen [mit Effektivlohnanpassung]"},
        {{{14, 1}}, Q::WageLevel, 2, ": endogenous [without Adjustment of Actual Wages]"},
        {{{14, 0}, {13, 1}}, Q::WageLevel, 1, ": exogen"},
        {{{21, 1}}, Q::ExchangeRate, 1, ": flexibel"},
        {{{21, 0}}, Q::ExchangeRate, 2, ": fix"},
    };
    for (const Case& c : cases) {
        const Model m = With(c.switches);
        EXPECT_EQ(MonitorLine(m, c.q, c.language), c.text);
    }
}

TEST(MonitorText, BarsStayWithinTheirGroup) {
    // Group 316 wide, bars 8 from the left: 300 inner pixels, the basic bar 120.
    const struct {
        int length, width;
    } cases[] = {{15, 300}, {1, 120}, {0, 120}, {10, 200}, {255, 300}, {16, 300}};
    for (auto c : cases)
        EXPECT_EQ(MonitorBarWidth(120, 316, 8, c.length), c.width) << c.length;
    EXPECT_EQ(MonitorBarWidth(400, 316, 8, 1), 300); // a group narrower than the basic bar
    EXPECT_EQ(MonitorBarWidth(120, 10, 8, 15), 0);
}

// An exact linear rule comes back, also when the first antecedent's pivot is small beside
// its covariance with the third (1, -1 alternating; the target is 10 + 2 x the first).
TEST(LeastSquaresRuleServer, FitsAnExactRule) {
    LeastSquaresRuleServer s;
    const std::vector<std::vector<double>> rows = {
        {0, 1, 1, 4}, {12, -1, 1, -4}, {8, 1, -1, 2}, {12, -1, -1, -2}, {8, 1, 1, 4}};
    for (int r = 0; r < 5; ++r)
        s.PutRow(rows[r], r, false);
    s.PutRow({1000, 1}, 5, false); // other antecedents: kept out of the fit
    EXPECT_NEAR(s.Forecast(5), 12, 1e-9);
    // An antecedent of tiny scale leaves a pivot below the threshold; the row beneath takes
    // its place (the target is 10 + 1e7 x the first + 2 x the second).
    LeastSquaresRuleServer tiny;
    const std::vector<std::vector<double>> small = {
        {0, 1e-7, 1}, {13, 1e-7, -1}, {9, 1e-7, 1}, {13, -1e-7, -1}, {7, 1e-7, -1}};
    for (int r = 0; r < 5; ++r)
        tiny.PutRow(small[r], r, false);
    EXPECT_NEAR(tiny.Forecast(5), 9, 1e-6);
    // A pivot of about 3e-12 still counts: the fit is made (the target is 5 + 1e6 x the
    // antecedent), not the last value kept.
    LeastSquaresRuleServer near;
    const double antecedent[] = {0, 2e-6, 0, 2e-6};
    for (int r = 0; r < 4; ++r)
        near.PutRow({r == 0 ? 0 : 5 + 1e6 * antecedent[r - 1], antecedent[r]}, r, false);
    EXPECT_NEAR(near.Forecast(4), 7, 1e-6);
    // Half the antecedent: a pivot of about 7e-13, below the threshold; the last value stands.
    LeastSquaresRuleServer below;
    for (int r = 0; r < 4; ++r)
        below.PutRow({r == 0 ? 0 : 5 + 1e6 * antecedent[r - 1] / 2, antecedent[r] / 2}, r, false);
    EXPECT_EQ(below.Forecast(4), 5);
    // An antecedent far from zero beside one uncorrelated with it: each pivot is the largest
    // entry of its own column, never a zero beneath (the target is 5 + 2 x the first + 3 x
    // the second).
    LeastSquaresRuleServer offset;
    const double x[][2] = {{11, 1}, {9, 1}, {11, -1}, {9, -1}, {10, 0}, {9, -1}};
    for (int r = 0; r < 6; ++r)
        offset.PutRow({r == 0 ? 0 : 5 + 2 * x[r - 1][0] + 3 * x[r - 1][1], x[r][0], x[r][1]}, r,
                      false);
    EXPECT_NEAR(offset.Forecast(6), 20, 1e-9);
    offset.PutRow({20, 10}, 6, false); // a narrower row: forecast from the antecedents it has
    EXPECT_NEAR(offset.Forecast(7), 25, 1e-9);
    // One pair cannot fix two coefficients: the last value stands, also where round-off
    // leaves the singular pivot above the threshold.
    LeastSquaresRuleServer few;
    few.PutRow({5, 12345.678}, 0, false);
    few.PutRow({7, 2}, 1, false);
    EXPECT_EQ(few.Forecast(2), 7);
}

// Connecting tells the server who its client is; initialising sends one row per period,
// each closed before the next.
TEST(RuleBaseLink, InitialiseClosesEveryRow) {
    struct Counting : LeastSquaresRuleServer {
        int done = 0;
        std::string client;
        void RowDone() override { ++done; }
        void SetClientName(const std::string& name) override { client = name; }
    };
    Counting* server = nullptr;
    RuleBaseLink link([&] {
        auto s = std::make_unique<Counting>();
        server = s.get();
        return s;
    });
    const Model m = test::StartModel();
    ASSERT_TRUE(link.Connect(m, Demand));
    EXPECT_EQ(server->client, "TERVALIS");
    link.Initialise(m, Demand, 0, 30);
    EXPECT_EQ(server->done, 31);
    link.SendSolvedPeriod(m, Demand, 31); // a solved period is a row too
    EXPECT_EQ(server->done, 32);
    // A computed period reaches the server only when its record is rule based and has
    // antecedents.
    Model run = m;
    run.Rules = &link;
    test::RecordingHost host;
    for (auto [ruleBased, antecedents] :
         {std::pair{0, std::vector<int32_t>{1}}, {1, {}}, {1, {1}}}) {
        run.Expect[Demand].RuleBased = static_cast<uint8_t>(ruleBased);
        run.Expect[Demand].Antecedents = antecedents;
        const int before = server->done;
        ComputePeriod(run, 1, host);
        EXPECT_EQ(server->done - before, ruleBased == 1 && !antecedents.empty() ? 1 : 0);
    }
    // The end of a run reaches the first record's server too.
    ASSERT_TRUE(link.Connect(m, Income));
    Model ended = m;
    ended.Expect[Income].RuleBased = 1;
    ended.Expect[Income].Antecedents = {1};
    link.RunEnded(ended);
    EXPECT_EQ(server->RunsEnded(), 1);
    // Without a server available the record stays unconnected.
    RuleBaseLink none([] { return std::unique_ptr<RuleServer>(); });
    EXPECT_FALSE(none.Connect(m, Demand));
}

// The rule base learns from the solved periods and forms the expectation: the solution
// differs from the conventional one, and recomputing it after OK is due.
TEST(ExpectationEdit, RuleBasedExpectationChangesTheSolution) {
    Model m = test::KeynesianModel();
    test::SetFrom(m, 20, {{par::GAut, 150}});
    test::RecordingHost host;
    Solve(m, host);
    const double conventional = m.GetVar(25, var::NErw);
    RuleBaseLink link([] { return std::make_unique<LeastSquaresRuleServer>(); });
    m.Rules = &link;
    ExpectationEdit edit(m);
    edit.SetRuleBased(Demand, true);
    edit.AddAntecedents(Demand, {64 + var::N, par::GAut});
    ASSERT_TRUE(link.Connect(m, Demand));
    link.SendNames(m, Demand);
    link.Initialise(m, Demand, 0, 30);
    edit.RuleBaseChanged(Demand);
    m.RecalcInterval = 0;
    edit.Accept();
    ASSERT_EQ(m.RecalcInterval, 1);
    Solve(m, host);
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_NE(m.GetVar(25, var::NErw), conventional);
    EXPECT_NEAR(m.GetVar(60, var::NErw), m.GetVar(59, var::N), 1e-3 * m.GetVar(59, var::N));
}

} // namespace
} // namespace tv
