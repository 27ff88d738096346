#include "logic/ModelChange.h"
#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Model.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

using test::RecordingHost;

TEST(ModelChange, ExpectationsTheStructureNoLongerAllowsAreSwitched) {
    struct Case {
        int sw, value; // the structure change
        int record, method, expected;
    };
    const Case cases[] = {
        {21, 1, 0, 1, 2}, {21, 1, 1, 1, 2}, // flexible rates: no actual income expectation
        {21, 1, 2, 1, 2}, {17, 1, 3, 1, 2}, // income no longer the only endogenous quantity
        {12, 2, 4, 1, 2}, {9, 0, 4, 1, 2},  // supply-driven imports
        {9, 1, 4, 4, 2},                    // demand-driven imports cannot be synchronised
        {9, 0, 4, 4, 4},                    // supply-driven imports can
        {9, 1, 4, 1, 1},                    // demand-driven imports keep the actual
        {0, 0, 3, 1, 1},                    // the simple model keeps actual demand
        {0, 0, 0, 1, 1},
    };
    for (const Case& c : cases) {
        Model m = test::KeynesianModel();
        if (c.sw) m.Switch[c.sw] = static_cast<uint8_t>(c.value);
        for (int k : {0, 1, 2}) // each income record decides on its own
            m.Expect[k].Method = 2;
        m.Expect[c.record].Method = static_cast<uint8_t>(c.method);
        RecordingHost host;
        EnforceExpectationRules(m, host);
        EXPECT_EQ(m.Expect[c.record].Method, c.expected) << c.sw << "/" << c.record;
        EXPECT_EQ(host.messages.empty(), c.method == c.expected) << c.sw << "/" << c.record;
    }
}

TEST(ModelChange, ImportExpectationNameFollowsTheImportSwitch) {
    Model m = test::KeynesianModel();
    RecordingHost host;
    m.Switch[9] = 0;
    EnforceExpectationRules(m, host);
    EXPECT_EQ(m.Expect[4].Name, "Importbedarfsplanung heimischer Anbieter##Import Requirement "
                                "Planning of Domestic Firms");
    m.Switch[9] = 1;
    EnforceExpectationRules(m, host);
    EXPECT_EQ(m.Expect[4].Name, "Importnachfrageerwartung heimischer Anbieter##Import Demand "
                                "Expectation of Domestic Firms");
}

TEST(ModelChange, RecalculationFlagsMarkPeriodsUnsolved) {
    Model m = test::KeynesianModel();
    // The interval from its left edge; the start stays solved.
    for (auto [left, solved] : {std::pair{30, 29}, {1, 0}, {0, 0}}) {
        m.Periods.LastSolved = 100;
        m.Periods.LeftEdge = left;
        m.RecalcInterval = 1;
        MarkWhatMustBeRecomputed(m);
        EXPECT_EQ(m.Periods.LastSolved, solved) << left;
    }
    m.RecalcAll = 1;
    MarkWhatMustBeRecomputed(m);
    EXPECT_EQ(m.Periods.LastSolved, -1);
}

} // namespace
} // namespace tv
