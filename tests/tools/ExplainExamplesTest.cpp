#include "ExplanationChecks.h"
#include "OpenedModel.h"
#include "core/Explanation.h"
#include "core/Model.h"
#include "core/NumberFormat.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

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
                // period 0 is the start equilibrium.
                const bool structural = t == 1;
                for (const ExplanationNode& c : root.children)
                    if (c.kind == ExplanationNode::Remainder) {
                        EXPECT_TRUE(structural) << "variable " << n << " t=" << t;
                    }
            }
    }
}

// Each example against itself without its shock: deep trees add up at every node, and the
// drivers put all of the change on the shocked parameter.
TEST(ExplainExamples, AgainstTheRunWithoutTheShockEverythingComesFromIt) {
    const struct {
        const char* file;
        int shocked;
    } cases[] = {{kExamples[0], par::GAut},  {kExamples[1], par::MNAut}, {kExamples[2], par::GAut},
                 {kExamples[3], par::ExAut}, {kExamples[4], par::GAut},  {kExamples[5], par::rSE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Model m;
        ASSERT_TRUE(test::OpenAsTheProgramDoes(m, std::string(EXAMPLES_DIR) + "/" + c.file));
        const Model base = test::Changed(m, 5, {{c.shocked, m.ModelPar(4, c.shocked)}});
        Explainer explainer(m, &base);
        test::CheckExplanation(explainer.Explain(var::Y, 30, -1, 6), "Y, depth 6");
        for (int n : {var::Y, var::P, var::i}) {
            const double change = m.ModelVar(60, n) - base.ModelVar(60, n);
            if (n == var::Y) {
                EXPECT_NE(change, 0); // the shock has an effect
            }
            double sum = 0;
            for (const Driver& d : explainer.Drivers(n, 60, -1)) {
                sum += d.contribution;
                EXPECT_EQ(d.kind, Driver::Par);
                EXPECT_EQ(d.number, c.shocked);
            }
            EXPECT_NEAR(sum, change, 1e-9 * std::fabs(m.ModelVar(60, n))) << n;
        }
    }
}

// ---- the batch tool's --explain ----

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

ToolRun Batch(const std::string& args) {
    const std::string base = ::testing::TempDir() + "explain-" + std::to_string(::getpid());
    const std::string cmd =
        std::string(BATCH_TOOL) + " " + args + " >" + base + ".out 2>" + base + ".err";
    const int status = std::system(cmd.c_str());
    ToolRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    for (auto [file, text] : {std::pair{".out", &r.out}, std::pair{".err", &r.err}}) {
        std::ifstream in(base + file);
        std::stringstream all;
        all << in.rdbuf();
        *text = all.str();
        std::remove((base + file).c_str());
    }
    return r;
}

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::stringstream in(csv);
    for (std::string line; std::getline(in, line);)
        rows.push_back(CsvFields(line));
    return rows;
}

std::string Example(const char* name) {
    return std::string(EXAMPLES_DIR) + "/" + name;
}

TEST(ExplainBatch, PrintsTheTreeWithTheSolutionsNumbers) {
    const std::string file = Example("03-as-ad-prices-and-wages.TV5");
    const ToolRun r = Batch(file + " --explain Y --period 6 --depth 2");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_GT(rows.size(), 3u);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "depth,path,symbol,period,old,new,change,contribution");
    // The root carries the solved values, exactly as the solution CSV prints them.
    const ToolRun solution = Batch(file);
    const auto solved = Rows(solution.out);
    ASSERT_GT(solved.size(), 7u);
    EXPECT_EQ(rows[1][0], "0");
    EXPECT_EQ(rows[1][1], "Y");
    EXPECT_EQ(rows[1][3], "6");
    EXPECT_EQ(rows[1][4], solved[6][var::Y]); // row of period 5 (after the header)
    EXPECT_EQ(rows[1][5], solved[7][var::Y]);
    double sum = 0;
    int deepest = 0;
    for (size_t k = 1; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].size(), 8u) << k;
        const int depth = std::stoi(rows[k][0]);
        deepest = std::max(deepest, depth);
        // The path ends in the row's own symbol and has one element per level.
        const std::string& path = rows[k][1];
        EXPECT_EQ(path.substr(path.size() - rows[k][2].size()), rows[k][2]);
        EXPECT_EQ(std::count(path.begin(), path.end(), '/'), depth) << path;
        if (depth == 1) sum += std::stod(rows[k][7]);
    }
    EXPECT_EQ(deepest, 2);
    EXPECT_NEAR(sum, std::stod(rows[1][6]), 1e-9 * std::fabs(std::stod(rows[1][5])));
}

TEST(ExplainBatch, AgainstTheSameModelAsBaselineNothingChanged) {
    const std::string file = Example("02-closed-is-lm.TV5");
    const ToolRun r = Batch(file + " --explain C --period 10 --baseline " + file + " --depth 3");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_GT(rows.size(), 2u);
    for (size_t k = 1; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k][6], "0") << rows[k][1];
        EXPECT_EQ(rows[k][7], "0") << rows[k][1];
    }
}

// Against an early period the path runs back to the start equilibrium.
TEST(ExplainBatch, DriversAreOneLinePerParameterValueLargestFirst) {
    const std::string file = Example("01-keynesian-cross.TV5");
    const ToolRun r = Batch(file + " --explain Y --period 20 --vs-period 4 --drivers");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_GT(rows.size(), 2u);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "symbol,period,old,new,contribution");
    const auto tree = Rows(Batch(file + " --explain Y --period 20 --vs-period 4 --depth 0").out);
    double sum = 0, before = HUGE_VAL;
    int start = 0;
    for (size_t k = 1; k < rows.size(); ++k) {
        ASSERT_EQ(rows[k].size(), 5u) << k;
        const double contribution = std::stod(rows[k][4]);
        EXPECT_LE(std::fabs(contribution), before);
        before = std::fabs(contribution);
        sum += contribution;
        start += rows[k][0] == "start";
        if (rows[k][0] != "start") {
            EXPECT_EQ(rows[k][0], "G,aut");
            EXPECT_EQ(std::stod(rows[k][3]) - std::stod(rows[k][2]), 10);
        }
    }
    EXPECT_EQ(start, 1);
    EXPECT_NEAR(sum, std::stod(tree[1][6]), 1e-9 * std::stod(tree[1][5]));
}

TEST(ExplainBatch, WrongQuestionsExitWithTwoAndAMessage) {
    const std::string file = Example("01-keynesian-cross.TV5");
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {" --explain Nonsense --period 5", "unknown variable"},
        {" --explain Y --period 4000", "outside the solved interval"},
        {" --explain Y --period 5 --vs-period 4000", "outside the solved interval"},
        {" --explain Y --period 0", "outside the solved interval"},
        {" --explain Y", "needs --period"},
        {" --explain Y --period 5 --baseline /nonexistent/base.TV5", ""},
        {" --explain Y --period 5 --vs-period 3 --baseline x.TV5", "exclude each other"},
        {" --depth 2", "belong to --explain"},
        {" --drivers", "belong to --explain"},
        {" --explain Y --period 5 --drivers --depth 2", "--depth belongs to the tree"},
    };
    for (const auto& c : cases) {
        const ToolRun r = Batch(file + c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
    }
}

} // namespace
} // namespace tv
