#include "ExplanationChecks.h"
#include "OpenedModel.h"
#include "core/Explanation.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

namespace tv {
namespace {

const char* const kExamples[] = {"01-keynesian-cross.TV5",        "02-closed-is-lm.TV5",
                                 "03-as-ad-prices-and-wages.TV5", "04-open-fixed-rates.TV5",
                                 "05-open-flexible-rates.TV5",    "06-money-creation.TV5"};

// Every variable of every solved period of every example, against the period before.
TEST(ExplainExamples, ContributionsAddUpInEveryPeriod) {
    for (const char* name : kExamples) {
        SCOPED_TRACE(name);
        Model m;
        ASSERT_TRUE(test::OpenAsTheProgramDoes(m, std::string(EXAMPLES_DIR) + "/" + name));
        const int last = std::min(m.Periods.LastSolved, m.Periods.RightEdge);
        ASSERT_GT(last, 1);
        Explainer explainer(m);
        for (int t = 1; t <= last; ++t)
            for (int n = 1; n <= VarCount; ++n) {
                const ExplanationNode root = explainer.Explain(n, t, t - 1, 1);
                ASSERT_TRUE(test::Same(root.newValue, m.ModelVar(t, n)));
                ASSERT_TRUE(test::Same(root.oldValue, m.ModelVar(t - 1, n)));
                if (root.newValue != root.oldValue) {
                    EXPECT_TRUE(test::Same(root.change, root.newValue - root.oldValue));
                }
                test::CheckExplanation(root, "t=" + std::to_string(t));
                // The inputs explain everything but a change of the period's structure:
                // period 0 is the start equilibrium, and the wage of a new wage round
                // follows another equation than the one before it.
                const bool structural =
                    t == 1 || (n == var::wN && t % m.TZR() == 0 && m.Sw(14) == 2);
                for (const ExplanationNode& c : root.children)
                    if (c.kind == ExplanationNode::Remainder) {
                        EXPECT_TRUE(structural) << "variable " << n << " t=" << t;
                    }
            }
    }
}

} // namespace
} // namespace tv
