#include "core/Explanation.h"
#include "ExplanationChecks.h"
#include "TestModels.h"
#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/PeriodSteps.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace tv {
namespace {

Model Solved(Model m) {
    SilentHost host(false);
    Solve(m, host);
    return m;
}

const ExplanationNode* Child(const ExplanationNode& node, ExplanationNode::Kind kind, int n) {
    for (const ExplanationNode& c : node.children)
        if (c.kind == kind && c.number == n) return &c;
    return nullptr;
}

void ForEachNode(const ExplanationNode& n, const std::function<void(const ExplanationNode&)>& f) {
    f(n);
    for (const ExplanationNode& c : n.children)
        ForEachNode(c, f);
}

TEST(PeriodSteps, EveryVariableButTheMoneyMultiplierHasOneStep) {
    std::vector<int> owners(VarCount + 1, 0);
    for (const PeriodStep& s : PeriodSteps())
        for (int o : s.outputs)
            if (o) ++owners[o];
    for (int n = 1; n <= VarCount; ++n) {
        EXPECT_EQ(owners[n], n == var::GSM ? 0 : 1) << "variable " << n;
        EXPECT_EQ(StepFor(n) != nullptr, n != var::GSM) << "variable " << n;
    }
}

TEST(PeriodSteps, InputListsHaveTheSameShapeInEveryPeriod) {
    const Model models[] = {test::KeynesianModel(), test::BondMarketModel(),
                            test::OpenFlexibleModel()};
    for (const Model& m : models)
        for (const PeriodStep& s : PeriodSteps()) {
            std::vector<StepInput> a, b;
            s.inputs(m, 7, 2, a);
            s.inputs(m, 8, 2, b);
            ASSERT_EQ(a.size(), b.size()) << s.name;
            for (size_t k = 0; k < a.size(); ++k) {
                EXPECT_EQ(a[k].kind, b[k].kind) << s.name;
                EXPECT_EQ(a[k].number, b[k].number) << s.name;
            }
        }
}

// Generated models: the start model and the test models, each with a policy change from
// period 5, so that variables move in both directions and some inputs stay as they are.
struct Generated {
    const char* name;
    std::function<Model()> make;
};

const Generated kGenerated[] = {
    {"start", [] { return test::StartModel(); }},
    {"keynesian, fiscal",
     [] {
         Model m = test::KeynesianModel();
         test::SetFrom(m, 5, {{par::GAut, 150}});
         return m;
     }},
    {"bond market, monetary",
     [] {
         Model m = test::BondMarketModel();
         test::SetFrom(m, 5, {{par::MNAut, 1100}, {par::tY, 0.25}});
         return m;
     }},
    {"open flexible, exports",
     [] {
         Model m = test::OpenFlexibleModel();
         test::SetFrom(m, 5, {{par::ExAut, 130}});
         return m;
     }},
    {"bond market, money grows by a set amount",
     [] {
         Model m = test::BondMarketModel();
         m.Switch[19] = 1;
         test::SetFrom(m, 5, {{par::dMHNAut, 20}});
         return m;
     }},
    {"keynesian, capital from investment and changing inventories",
     [] {
         Model m = test::KeynesianModel();
         m.Switch[8] = 0;
         test::SetFrom(m, 5, {{par::GAut, 150}});
         return m;
     }},
    {"keynesian, output capped at a potential that grows",
     [] {
         Model m = test::KeynesianModel();
         m.Switch[7] = 1;
         test::SetAll(m, {{par::APot, 1600}, {par::KExog, 1600}});
         test::SetFrom(m, 5, {{par::GAut, 200}});
         test::SetFrom(m, 10, {{par::APot, 1700}, {par::KExog, 1700}});
         return m;
     }},
    {"keynesian, actual wage income and extrapolated profits expected",
     [] {
         Model m = test::KeynesianModel();
         m.Expect[1].Method = 1;
         m.Expect[2].Method = 2;
         test::SetFrom(m, 5, {{par::GAut, 150}});
         return m;
     }},
    {"closed IS-LM, adaptive expectations",
     [] {
         Model m = test::ClosedISLMModel();
         m.Expect[3].Method = 3;
         m.Expect[3].Weight = 50;
         test::SetFrom(m, 5, {{par::IAut, 180}});
         return m;
     }},
};

TEST(Explanation, ContributionsAddUpInGeneratedModels) {
    for (const Generated& g : kGenerated) {
        SCOPED_TRACE(g.name);
        const Model m = Solved(g.make());
        Explainer explainer(m);
        for (int t = 1; t <= 30; ++t)
            for (int n = 1; n <= VarCount; ++n) {
                const ExplanationNode root = explainer.Explain(n, t, t - 1, 1);
                EXPECT_TRUE(test::Same(root.newValue, m.ModelVar(t, n)));
                EXPECT_TRUE(test::Same(root.oldValue, m.ModelVar(t - 1, n)));
                test::CheckExplanation(root, "t=" + std::to_string(t));
            }
    }
}

// Inputs the step table forgets show up as a remainder: in these models every period after
// the first has the structure of the one before it.
TEST(Explanation, InputsExplainEverythingOnceThePeriodsLookAlike) {
    for (const Generated& g : kGenerated) {
        SCOPED_TRACE(g.name);
        const Model m = Solved(g.make());
        Explainer explainer(m);
        for (int t = 2; t <= 30; ++t)
            for (int n = 1; n <= VarCount; ++n) {
                const ExplanationNode root = explainer.Explain(n, t, t - 1, 1);
                if (!std::isfinite(root.oldValue) || !std::isfinite(root.newValue)) continue;
                EXPECT_EQ(Child(root, ExplanationNode::Remainder, 0), nullptr)
                    << "variable " << n << " t=" << t;
            }
    }
}

TEST(Explanation, LinearAndBilinearStepsSplitAsTheirClosedForms) {
    Model m = test::KeynesianModel();
    test::SetFrom(m, 5, {{par::GAut, 150}, {par::CAut, 110}});
    m = Solved(m);
    const ExplanationNode n = Explain(m, var::N, 5, {4, nullptr}, 1);
    for (int part : {var::C, var::I, var::G, var::Ex}) {
        const ExplanationNode* c = Child(n, ExplanationNode::Var, part);
        ASSERT_NE(c, nullptr) << part;
        EXPECT_NEAR(c->contribution, m.ModelVar(5, part) - m.ModelVar(4, part), 1e-9) << part;
    }
    // C = C,aut + c[Y] * YV,erw - c[r] * r,erw: the autonomous part moves by its own change.
    const ExplanationNode c = Explain(m, var::C, 5, {4, nullptr}, 1);
    const ExplanationNode* cAut = Child(c, ExplanationNode::Par, par::CAut);
    ASSERT_NE(cAut, nullptr);
    EXPECT_NEAR(cAut->contribution, 10, 1e-9);
    const ExplanationNode* cY = Child(c, ExplanationNode::Par, par::cY);
    ASSERT_NE(cY, nullptr);
    EXPECT_EQ(cY->contribution, 0.0); // unchanged

    // MN = M * P: each factor gets its change times the mean of the other factor.
    Model b = test::BondMarketModel();
    test::SetFrom(b, 5, {{par::MNAut, 1200}});
    b = Solved(b);
    const ExplanationNode mn = Explain(b, var::MN, 6, {5, nullptr}, 1);
    const double m0 = b.ModelVar(5, var::M), m1 = b.ModelVar(6, var::M);
    const double p0 = b.ModelVar(5, var::P), p1 = b.ModelVar(6, var::P);
    const ExplanationNode* dm = Child(mn, ExplanationNode::Var, var::M);
    const ExplanationNode* dp = Child(mn, ExplanationNode::Var, var::P);
    ASSERT_TRUE(dm && dp);
    ASSERT_NE(p0, p1);
    const double dmExpected = (m1 - m0) * (p0 + p1) / 2, dpExpected = (p1 - p0) * (m0 + m1) / 2;
    EXPECT_NEAR(dm->contribution, dmExpected, 1e-9 * std::fabs(dmExpected));
    EXPECT_NEAR(dp->contribution, dpExpected, 1e-9 * std::fabs(dpExpected));
}

TEST(Explanation, ComparesWithTheBaselineAndLeavesBothModelsAsTheyWere) {
    const Model before = Solved(test::BondMarketModel());
    const Baseline base(before);
    Model m = test::BondMarketModel();
    test::SetFrom(m, 5, {{par::GAut, 260}});
    m = Solved(m);
    const Model copy = m;
    const ExplanationNode y = Explain(m, var::Y, 8, {-1, &base.Frozen()}, 4);
    EXPECT_EQ(y.oldValue, base.Var(8, var::Y));
    EXPECT_EQ(y.newValue, m.ModelVar(8, var::Y));
    test::CheckExplanation(y, "baseline");
    // Somewhere below Y the change of G,aut shows with its full size in G.
    const ExplanationNode g = Explain(m, var::G, 8, {-1, &base.Frozen()}, 1);
    const ExplanationNode* gAut = Child(g, ExplanationNode::Par, par::GAut);
    ASSERT_NE(gAut, nullptr);
    EXPECT_NEAR(gAut->contribution, 60, 1e-9);
    for (int t = -1; t <= 100; ++t) {
        for (int n = 1; n <= VarCount; ++n)
            ASSERT_EQ(m.ModelVar(t, n), copy.ModelVar(t, n)) << t << " " << n;
        for (int n = 1; n <= ParCount; ++n)
            ASSERT_EQ(m.ModelPar(t, n), copy.ModelPar(t, n)) << t << " " << n;
    }
    EXPECT_EQ(m.WageBase, copy.WageBase);
    EXPECT_EQ(base.Var(8, var::Y), before.ModelVar(8, var::Y));
}

// A period with two runs: expected demand is the demand of the first run.
TEST(Explanation, TheSecondRunExpectsTheDemandOfTheFirst) {
    Model m = test::KeynesianModel();
    m.Expect[3].Method = 1;
    test::SetFrom(m, 5, {{par::IAut, 120}});
    m = Solved(m);
    const ExplanationNode n = Explain(m, var::NErw, 5, {4, nullptr}, 1);
    ASSERT_EQ(n.children.size(), 1u);
    const ExplanationNode& first = n.children[0];
    EXPECT_EQ(first.kind, ExplanationNode::FirstRunVar);
    EXPECT_EQ(first.number, var::N);
    EXPECT_EQ(first.newValue, m.ModelVar(5, var::NErw));
    EXPECT_EQ(first.contribution, n.change);
    EXPECT_EQ(Translate(first.Symbol(), 2), "N (1st run)");
}

// Many inputs changed at once (a baseline with other parameters): the contributions still
// add up, also past the number of inputs whose subsets are all evaluated.
// Against a baseline that computes the capital stock another way, the inputs cannot explain
// the change: it is a rest, and a rest has no values of its own.
TEST(Explanation, AStructureChangedAgainstTheBaselineIsARest) {
    Model m = test::KeynesianModel();
    const Model before = Solved(m);
    m.Switch[8] = 0;
    m = Solved(m);
    const ExplanationNode k = Explain(m, var::K, 5, {-1, &before}, 1);
    test::CheckExplanation(k, "K");
    const ExplanationNode* rest = Child(k, ExplanationNode::Remainder, 0);
    ASSERT_NE(rest, nullptr);
    EXPECT_NE(ExplanationCsv(k).find("\n1,K/Rest,Rest,5,0,0,0,"), std::string::npos);
}

TEST(Explanation, ManyChangedInputsStillAddUp) {
    // Fixed rates: the interest rate also reads the money stock of the period before.
    Model m = test::OpenFlexibleModel();
    m.Switch[21] = 0;
    m.Switch[19] = 1;
    m.UpdateActiveParams();
    const Model before = Solved(m);
    for (int n = 1; n <= ParCount; ++n)
        if (m.ModelPar(5, n) != 0) test::SetFrom(m, 0, {{n, m.ModelPar(5, n) * 1.01}});
    m = Solved(m);
    for (int n : {var::i, var::eN, var::C, var::Y}) {
        const ExplanationNode e = Explain(m, n, 6, {-1, &before}, 2);
        test::CheckExplanation(e, "variable " + std::to_string(n));
        ForEachNode(
            e, [](const ExplanationNode& c) { EXPECT_NE(c.kind, ExplanationNode::Remainder); });
    }
    const ExplanationNode i = Explain(m, var::i, 6, {-1, &before}, 1);
    int changed = 0;
    for (const ExplanationNode& c : i.children)
        changed += c.oldValue != c.newValue;
    EXPECT_GT(changed, 16); // more than the exact evaluation takes
}

// The last period of the store reads its own parameters and variables like any other.
TEST(Explanation, TheLastPeriodSplitsLikeAnyOther) {
    Model m = test::KeynesianModel();
    for (int t : {LastPeriod - 1, LastPeriod}) {
        m.SetModelPar(t, par::GAut, 100);
        m.SetModelPar(t, par::gT, 0.5);
        m.SetModelVar(t, var::YErw, 500);
    }
    const ExplanationNode g = Explain(m, var::G, LastPeriod, {LastPeriod - 1, nullptr}, 1);
    ASSERT_EQ(g.children.size(), 7u);
    for (const ExplanationNode& c : g.children)
        EXPECT_EQ(c.newValue, c.oldValue) << c.number;
    // Equal contributions keep the order in which the step reads its inputs.
    EXPECT_EQ(g.children[0].number, par::GAut);
    EXPECT_EQ(g.children[6].number, par::tY);
}

// In the first periods a wage round reaches back before period 0: those values count too.
TEST(Explanation, TheFirstPeriodsReadValuesFromBeforePeriodZero) {
    const Model m = Solved(test::BondMarketModel()), before = m;
    const ExplanationNode w = Explain(m, var::wN, 1, {-1, &before}, 1);
    int early = 0;
    for (const ExplanationNode& c : w.children) {
        if (c.kind != ExplanationNode::Var || c.period >= FirstParPeriod) continue;
        ++early;
        EXPECT_EQ(c.newValue, m.ModelVar(c.period, c.number));
        EXPECT_EQ(c.oldValue, before.ModelVar(c.period, c.number));
    }
    EXPECT_GT(early, 0);
}

// The start model leaves the speculative balance of period 1 undefined: a change that is
// not a number has no share to hand down.
TEST(Explanation, AChangeThatIsNotANumberHasNoDrivers) {
    const Model m = Solved(test::StartModel());
    ASSERT_TRUE(std::isnan(m.ModelVar(1, var::LS)));
    EXPECT_TRUE(ComputeDrivers(m, var::LS, 1, {0, nullptr}).empty());
}

TEST(Explanation, DepthLimitsTheTree) {
    const Model m = Solved(test::BondMarketModel());
    for (int depth : {0, 1, 2, 3}) {
        const ExplanationNode root = Explain(m, var::Y, 6, {5, nullptr}, depth);
        std::function<int(const ExplanationNode&)> deepest = [&](const ExplanationNode& n) {
            int d = 0;
            for (const ExplanationNode& c : n.children)
                d = std::max(d, 1 + deepest(c));
            return d;
        };
        EXPECT_LE(deepest(root), depth);
    }
}

// ---- lagged values and drivers ----

// A model with a policy change from period 5 and the baseline without it.
struct Experiment {
    const char* name;
    std::function<Model()> make;
    std::vector<std::pair<int, double>> change;
};

Model WithChange(const Experiment& e) {
    Model m = e.make();
    for (const auto& [n, value] : e.change)
        test::SetFrom(m, 5, {{n, value}});
    return Solved(m);
}

const Experiment kExperiments[] = {
    {"keynesian, government purchases", [] { return test::KeynesianModel(); }, {{par::GAut, 150}}},
    {"keynesian, two runs per period",
     [] {
         Model m = test::KeynesianModel();
         m.Expect[3].Method = 1;
         return m;
     },
     {{par::IAut, 120}}},
    {"wage rounds, money", [] { return test::BondMarketModel(); }, {{par::MNAut, 1100}}},
    {"money targets, two runs per period",
     [] {
         Model m = test::ClosedISLMModel();
         m.Expect[3].Method = 1;
         m.Switch[20] = 1;
         m.Switch[22] = 3;
         m.UpdateActiveParams();
         return m;
     },
     {{par::gMNAut, 3}}},
    {"wage rounds, tax rate", [] { return test::BondMarketModel(); }, {{par::tY, 0.25}}},
    {"flexible rates, exports", [] { return test::OpenFlexibleModel(); }, {{par::ExAut, 130}}},
    {"wage rounds, two parameters",
     [] { return test::BondMarketModel(); },
     {{par::GAut, 260}, {par::MNAut, 1100}}},
};

TEST(Explanation, DeepTreesOpenLaggedValuesAndAddUpAtEveryNode) {
    for (const Experiment& e : kExperiments) {
        SCOPED_TRACE(e.name);
        const Model base = Solved(e.make());
        const Model m = WithChange(e);
        Explainer againstBase(m, &base), againstPeriod(m);
        for (Explainer* x : {&againstBase, &againstPeriod}) {
            const ExplanationNode root = x->Explain(var::Y, 9, 8, 6);
            test::CheckExplanation(root, "Y");
            bool lagged = false, firstRun = false;
            ForEachNode(root, [&](const ExplanationNode& n) {
                lagged |= n.period < 9 && n.kind == ExplanationNode::Var && !n.children.empty();
                firstRun |= n.kind == ExplanationNode::FirstRunVar && !n.children.empty();
                if (n.change == 0) {
                    EXPECT_TRUE(n.children.empty()) << n.number; // nothing to explain
                }
                EXPECT_NE(n.kind, ExplanationNode::Remainder) << n.period;
            });
            // Two runs: the first run's values open before the lagged ones.
            EXPECT_TRUE(m.Expect[3].Method == 1 ? firstRun : lagged);
            // What the explainer computed before leaves no trace in the next tree.
            Explainer fresh(m, x == &againstBase ? &base : nullptr);
            EXPECT_EQ(ExplanationCsv(x->Explain(var::Y, 10, 9, 6)),
                      ExplanationCsv(fresh.Explain(var::Y, 10, 9, 6)));
        }
    }
}

TEST(Explanation, DriversAddUpAndNameOnlyTheChangedParameters) {
    for (const Experiment& e : kExperiments) {
        SCOPED_TRACE(e.name);
        const Model base = Solved(e.make());
        const Model m = WithChange(e);
        for (int n : {var::Y, var::C, var::i, var::P})
            for (int t : {6, 20}) {
                const double change = m.ModelVar(t, n) - base.ModelVar(t, n);
                const std::vector<Driver> drivers = ComputeDrivers(m, n, t, {-1, &base});
                // Relative to the values, as at every node: a change may be rounding.
                double sum = 0, magnitude = std::max(std::fabs(m.ModelVar(t, n)),
                                                     std::fabs(base.ModelVar(t, n)));
                std::set<int> named;
                for (const Driver& d : drivers) {
                    sum += d.contribution;
                    magnitude += std::fabs(d.contribution);
                    EXPECT_EQ(d.kind, Driver::Par) << n << " t=" << t;
                    EXPECT_GE(d.period, 5);
                    named.insert(d.number);
                }
                EXPECT_NEAR(sum, change, 1e-9 * magnitude) << n << " t=" << t;
                std::set<int> expected;
                for (const auto& [p, value] : e.change)
                    expected.insert(p);
                if (change != 0 && e.change.size() == 1) {
                    EXPECT_EQ(named, expected) << n;
                }
                for (int p : named)
                    EXPECT_TRUE(expected.count(p)) << p;
            }
    }
}

TEST(Explanation, TwoParametersShareTheChangeOfIncome) {
    const Experiment& e = kExperiments[std::size(kExperiments) - 1];
    const Model base = Solved(e.make());
    const std::vector<Driver> drivers = ComputeDrivers(WithChange(e), var::Y, 12, {-1, &base});
    std::set<int> named;
    for (const Driver& d : drivers)
        named.insert(d.number);
    EXPECT_EQ(named, (std::set<int>{par::GAut, par::MNAut}));
}

TEST(Explanation, ADriverOfOneUnitCounts) {
    const Model base = Solved(test::KeynesianModel());
    const std::vector<Driver> drivers = ComputeDrivers(
        WithChange({"", test::KeynesianModel, {{par::GAut, 101}}}), var::G, 6, {-1, &base});
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].contribution, 1.0);
}

// Once a model has settled, one period equals another in every value.
TEST(Explanation, PeriodsOfAStationaryModelDifferInNothing) {
    const Model m = Solved(test::ClosedISLMModel());
    Explainer explainer(m);
    for (int n : {var::Y, var::C, var::i}) {
        EXPECT_TRUE(explainer.Drivers(n, 100, 90).empty());
        ForEachNode(explainer.Explain(n, 100, 90, 6),
                    [&](const ExplanationNode& node) { EXPECT_EQ(node.contribution, 0.0); });
    }
}

// Against the period before the shock the path reaches the start equilibrium; against the
// period before a wage round or a money target period, its start is a driver of its own.
TEST(Explanation, APeriodComparisonEndsAtTheStartEquilibrium) {
    const struct {
        const Experiment& experiment;
        int n, t, previous;
        Driver::Kind leaf;
    } cases[] = {{kExperiments[0], var::Y, 20, 4, Driver::Start},
                 {kExperiments[3], var::Y, 9, 8, Driver::MonetaryRoundFlag},
                 {kExperiments[2], var::Y, 8, 7, Driver::WageRoundFlag}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.experiment.name);
        const Model m = WithChange(c.experiment);
        double sum = 0;
        int leaves = 0;
        for (const Driver& d : ComputeDrivers(m, c.n, c.t, {c.previous, nullptr})) {
            sum += d.contribution;
            if (d.kind != c.leaf) continue;
            ++leaves;
            EXPECT_EQ(d.number, 0);
        }
        const double change = m.ModelVar(c.t, c.n) - m.ModelVar(c.previous, c.n);
        EXPECT_NEAR(sum, change, 1e-9 * std::fabs(change));
        EXPECT_GT(leaves, 0);
    }
}

TEST(Explanation, TheSentenceNamesTheLargestDrivers) {
    const Model base = Solved(test::KeynesianModel());
    const Model m = WithChange(kExperiments[0]);
    const double change = m.ModelVar(20, var::Y) - base.ModelVar(20, var::Y);
    const std::string sentence = DriversSentence(m, var::Y, 20, {-1, &base}, change,
                                                 ComputeDrivers(m, var::Y, 20, {-1, &base}));
    const std::string size = m.FormatNumber(change);
    const std::string step = m.FormatNumber(m.ModelPar(5, par::GAut) - base.ModelPar(5, par::GAut));
    EXPECT_EQ(Translate(sentence, 2), "Y is " + size + " higher in t = 20 than in the baseline: " +
                                          "G,aut (Government Purchases,autonomous) +" + step +
                                          " from t = 5: 100 %.")
        << sentence;
    EXPECT_EQ(
        Translate(sentence, 1).rfind("Y ist in t = 20 um " + size + " höher als im Basislauf", 0),
        0u)
        << sentence;
    EXPECT_EQ(sentence, Translate(sentence, 1) + "##" + Translate(sentence, 2));
    EXPECT_NE(sentence.find("G,aut (Staatsnachfrage,autonom) +"), std::string::npos) << sentence;
    // English symbols in the English half.
    const std::string expected =
        Translate(DriversSentence(m, var::YErw, 20, {-1, &base}, 0, {}), 2);
    EXPECT_EQ(expected, "Y,exp is the same in t = 20 as in the baseline.");
}

// Drivers as a student reads them: one group per symbol with its periods and steps, the
// largest three named (two when others follow), groups below half a percent among the others.
TEST(Explanation, DriversGroupBySymbolAndReadAsASentence) {
    const Model m = test::KeynesianModel();
    std::vector<Driver> drivers = {
        {Driver::Par, par::GAut, 7, 100, 120, 6}, {Driver::Par, par::GAut, 5, 100, 110, 4},
        {Driver::Rest, 0, 0, 0, 0, -3},           {Driver::Par, par::GAut, 6, 100, 110, 2},
        {Driver::Par, par::tY, 5, 0.2, 0.25, -1}, {Driver::Start, 0, 0, 0, 0, 0.001}};
    const std::vector<DriverGroup> groups = GroupDrivers(drivers);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].contribution, 12);
    EXPECT_EQ(groups[0].Periods(8), "ab t = 5##from t = 5");
    EXPECT_EQ(groups[0].Periods(9), "t = 5\u20137");
    EXPECT_EQ(groups[0].Change(m), "+10.00 bis +20.00##+10.00 to +20.00");
    EXPECT_EQ(groups[1].kind, Driver::Rest);
    EXPECT_EQ(groups[1].Periods(8) + groups[1].Change(m), "");
    EXPECT_EQ(groups[2].Periods(8) + " " + groups[2].Change(m), "t = 5 +0.05");
    for (const auto& [periods, text] : std::vector<std::pair<std::vector<int>, std::string>>{
             {{5, 7}, "t = 5, 7"}, {{1, 3, 5, 7, 9}, "t = 1, 3, 5, 7, \u2026"}}) {
        DriverGroup g{Driver::Par, par::GAut, 1, {}};
        for (int p : periods)
            g.members.push_back({Driver::Par, par::GAut, p, 1, 2, 1});
        EXPECT_EQ(g.Periods(20), text);
    }
    const std::string sentence = DriversSentence(m, var::Y, 20, {4, nullptr}, 8.001, drivers);
    EXPECT_EQ(sentence.substr(0, sentence.find(':')), "Y ist in t = 20 um 8.00 höher als in t = 4");
    EXPECT_EQ(Translate(sentence, 2),
              "Y is 8.00 higher in t = 20 than in t = 4: G,aut (Government Purchases,autonomous) "
              "+10.00 to +20.00 in t = 5\u20137: 150 %; a rest that cannot be split: -37 %; t[Y] "
              "(Tax Rate,marginal) +0.05 in t = 5: -12 %.");
    drivers.push_back({Driver::WageRoundFlag, 0, 8, 0, 1, 2});
    EXPECT_EQ(Translate(DriversSentence(m, var::Y, 20, {4, nullptr}, -10.001, drivers), 2),
              "Y is 10.00 lower in t = 20 than in t = 4: G,aut (Government Purchases,autonomous) "
              "+10.00 to +20.00 in t = 5\u20137: -120 %; a rest that cannot be split: 30 %; "
              "other causes: -10 %.");
    // Before period 1 the money changes stand for the opening stocks.
    drivers.push_back({Driver::Par, par::dMBHNAut, 0, 1000, 1100, 1});
    EXPECT_EQ(DriversCsv({drivers[0], drivers[2], drivers[4], drivers[6], drivers[7]}),
              "symbol,period,old,new,contribution\n\"G,aut\",7,100,120,6\nRest,,,,-3\n"
              "t[Y],5,0.2,0.25,-1\nTVP,8,0,1,2\nMBN(-oo),0,1000,1100,1\n");
}

TEST(Explanation, TheTreeAsCsvNamesOtherPeriodsByTheirDistance) {
    ExplanationNode root{ExplanationNode::Var, var::Y, 9, 1000, 1010, 10, 10, {}};
    root.children = {{ExplanationNode::Var, var::C, 8, 500, 508, 8, 8, {}},
                     {ExplanationNode::Par, par::GAut, 9, 100, 102, 2, 2.5, {}},
                     {ExplanationNode::Remainder, 0, 9, 0, 0, 0, -0.5, {}}};
    root.children[0].children = {{ExplanationNode::Var, var::YErw, 8, 1, 2, 1, 8, {}}};
    EXPECT_EQ(ExplanationCsv(root), "depth,path,symbol,period,old,new,change,contribution\n"
                                    "0,Y,Y,9,1000,1010,10,10\n"
                                    "1,Y/C(-1),C(-1),8,500,508,8,8\n"
                                    "2,\"Y/C(-1)/Y,erw(-1)\",\"Y,erw(-1)\",8,1,2,1,8\n"
                                    "1,\"Y/G,aut\",\"G,aut\",9,100,102,2,2.5\n"
                                    "1,Y/Rest,Rest,9,0,0,0,-0.5\n");
}

TEST(Explanation, VariablesByTheirSymbolInEitherLanguage) {
    const struct {
        const char* symbol;
        int n;
    } cases[] = {{"Y", var::Y}, {"Y,erw", var::YErw}, {"Y,exp", var::YErw},
                 {"i", var::i}, {"I,unw", var::IUnw}, {"Nonsense", 0},
                 {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(VariableBySymbol(c.symbol), c.n) << c.symbol;
}

} // namespace
} // namespace tv
