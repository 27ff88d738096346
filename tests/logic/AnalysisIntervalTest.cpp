#include "logic/AnalysisInterval.h"

#include "RecordingHost.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <memory>

namespace tv {
namespace {

class IntervalTest : public ::testing::Test {
  protected:
    IntervalTest() : m(std::make_unique<Model>()), iv(*m, host) {
        m->InitialiseForProgramStart();
        m->Periods.LastSolved = 100;
        iv.OnPeriodChanged = [this](int k) { kinds.push_back(k); };
        iv.OnModelChanged = [this] { ++modelChanges; };
    }
    void Interval(int left, int right, int current, int lastSolved) {
        PeriodState& ps = m->Periods;
        ps.LeftEdge = left;
        ps.RightEdge = right;
        ps.CurrentPeriod = current;
        ps.LastSolved = lastSolved;
    }
    bool Said(const std::string& part) const {
        for (const auto& s : host.messages)
            if (s.find(part) != std::string::npos) return true;
        return false;
    }
    void ExpectConsistent() const {
        const PeriodState& ps = m->Periods;
        EXPECT_GE(ps.LeftEdge, 0);
        EXPECT_LT(ps.LeftEdge, ps.RightEdge);
        EXPECT_LE(ps.RightEdge, LastPeriod);
        EXPECT_GE(ps.CurrentPeriod, ps.LeftEdge);
        EXPECT_LE(ps.CurrentPeriod, ps.RightEdge);
        if (iv.Revolving()) {
            EXPECT_EQ(ps.LeftEdge, 1);
        }
    }

    test::RecordingHost host;
    std::unique_ptr<Model> m;
    AnalysisInterval iv;
    std::vector<int> kinds;
    int modelChanges = 0;
};

TEST_F(IntervalTest, SetIntervalCorrectsToTheNearestAllowedValue) {
    struct Case {
        int left, right, lastSolved; // starting state
        int newLeft, newRight;
        int wantLeft, wantRight;
        const char* message; // part of the message, or "" for none
    };
    const Case cases[] = {
        {0, 100, 10, 50, 100, 0, 100, "liegt im Bereich ungelöster Perioden."},
        {0, 100, 100, 11, 100, 11, 100, ""},
        {0, 100, 10, 11, 100, 11, 100, ""}, // the first unsolved period itself is allowed
        {0, 100, 10, 12, 100, 0, 100, "ungelöster"},
        {0, 100, -1, 1, 100, 0, 100, "ungelöster"}, // nothing solved: only period 0
        {0, 100, 100, 0, 6000, 0, 5000, "zu groß (max. = 5000)"},
        {0, 100, 100, 0, 5001, 0, 5000, "Maximalwert wird gesetzt."},
        {0, 100, 100, 0, 5000, 0, 5000, ""},
        {0, 100, 100, 100, 100, 99, 100, "(100)\r\nist nicht kleiner als der rechte."},
        {0, 100, 100, 150, 100, 99, 100, "ist nicht kleiner"},
        {20, 100, 100, 20, 20, 20, 21, "(20)\r\nist nicht größer als der linke."},
        {20, 100, 100, 20, 0, 20, 21, "ist nicht größer"},
        {20, 100, 100, -1, 100, 20, 100, ""}, // a negative left edge is ignored
        // Both edges at once: the left check sees the uncorrected right edge.
        {0, 100, 5000, 5001, 6000, 4999, 5000, "zu groß"},
        {10, 100, 100, 30, 5, 4, 5, "ist nicht kleiner"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.newLeft) + ", " + std::to_string(c.newRight));
        Interval(c.left, c.right, c.left, c.lastSolved);
        host.messages.clear();
        host.sounds.clear();
        iv.SetInterval(c.newLeft, c.newRight, true);
        EXPECT_EQ(m->Periods.LeftEdge, c.wantLeft);
        EXPECT_EQ(m->Periods.RightEdge, c.wantRight);
        if (*c.message) {
            EXPECT_TRUE(Said(c.message)) << (host.messages.empty() ? "" : host.messages[0]);
            EXPECT_EQ(host.sounds.front(), "SoNicht.wav");
        } else {
            EXPECT_TRUE(host.messages.empty()) << host.messages[0];
        }
        ExpectConsistent();
    }
}

TEST_F(IntervalTest, SetIntervalWithoutMessagesIsSilentAndKeepsPreviousEdges) {
    Interval(0, 100, 50, 100);
    iv.SetInterval(10, 6000, false);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_EQ(m->Periods.PrevLeftEdge, 0);
    EXPECT_EQ(m->Periods.PrevRightEdge, 100);
    EXPECT_EQ(m->Periods.RightEdge, 5000);
    EXPECT_EQ(kinds, (std::vector<int>{KindLeftEdge, KindRightEdge}));

    kinds.clear();
    iv.SetInterval(10, 5000, false); // nothing changes: no period-changed step
    EXPECT_TRUE(kinds.empty());
    EXPECT_EQ(m->Periods.PrevRightEdge, 100);
}

TEST_F(IntervalTest, CurrentPeriodIsClampedWhenTheIntervalShrinks) {
    Interval(0, 100, 90, 100);
    iv.SetInterval(0, 50, true);
    EXPECT_EQ(m->Periods.CurrentPeriod, 50);
    iv.SetInterval(40, 50, true);
    iv.SetInterval(45, 50, true);
    EXPECT_EQ(m->Periods.CurrentPeriod, 50);
    m->Periods.CurrentPeriod = 46;
    iv.SetInterval(48, 50, true);
    EXPECT_EQ(m->Periods.CurrentPeriod, 48);
    m->Periods.CurrentPeriod = 60; // left outside, e.g. by a loaded file: unchanged edges clamp too
    iv.SetInterval(48, 50, true);
    EXPECT_EQ(m->Periods.CurrentPeriod, 50);
}

TEST_F(IntervalTest, RevolvingRightEdgeIsAMultipleOfBothRoundLengths) {
    struct Case {
        int tzr, mzzr, requested, want;
        bool adjusted;
    };
    const Case cases[] = {
        {4, 3, 20, 36, true},     // (nearest(20/12) + 1) * 12
        {4, 3, 24, 24, false},    // a multiple of both
        {4, 3, 18, 36, true},     // 18/12 = 1.5 rounds to even 2
        {4, 3, 30, 36, true},     // 30/12 = 2.5 rounds to even 2
        {4, 3, 4999, 4992, true}, // 418*12 = 5016 is too big, and 5004 still
        {1, 1, 77, 77, false},
        {100, 60, 100, 100, true}, // no multiple of 6000 fits: the request stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        m->Switch[23] = static_cast<uint8_t>(c.tzr);
        m->Switch[22] = static_cast<uint8_t>(c.mzzr);
        Interval(0, 240, 0, 240);
        iv.SetAnalysisForm(true);
        host.messages.clear();
        iv.SetInterval(1, c.requested, true);
        EXPECT_EQ(m->Periods.LeftEdge, 1);
        EXPECT_EQ(m->Periods.RightEdge, c.want);
        EXPECT_EQ(Said("Intervallänge ist kein Vielfaches"), c.adjusted);
        ExpectConsistent();
        iv.SetAnalysisForm(false);
    }
}

TEST_F(IntervalTest, RevolvingAdjustmentDefinesThePeriodsItAdds) {
    m->Switch[23] = 4;
    m->Switch[22] = 3;
    Interval(0, 100, 0, 100);
    iv.SetAnalysisForm(true);
    EXPECT_EQ(m->Periods.RightEdge, 108);
    EXPECT_EQ(m->ModelPar(108, 31), 1);
    EXPECT_EQ(m->ModelPar(109, 31), 0);
    EXPECT_EQ(m->Periods.LastSolved, 100);
    iv.SetAnalysisForm(false); // back without a shift: the edge it moved comes back
    EXPECT_EQ(m->Periods.RightEdge, 100);
}

TEST_F(IntervalTest, SwitchingToRevolvingNeedsASolvedStartPeriod) {
    Interval(0, 100, 0, -1);
    iv.SetAnalysisForm(true);
    EXPECT_FALSE(iv.Revolving());
    EXPECT_TRUE(Said("Startperiode (t=0) noch nicht gelöst."));
    EXPECT_EQ(m->Periods.LeftEdge, 0);
    // The start period alone is enough.
    Interval(0, 100, 0, 0);
    iv.SetAnalysisForm(true);
    EXPECT_TRUE(iv.Revolving());
}

TEST_F(IntervalTest, RevolvingFormFixesTheLeftEdgeAndFillsTheArchive) {
    std::vector<bool> forms;
    iv.OnFormChanged = [&](bool r) { forms.push_back(r); };
    Interval(0, 1, 0, 1);
    m->SetModelPar(0, 2, 0.77);
    m->SetPrehistoryPar(-500, 2, 0.1);
    iv.SetAnalysisForm(true);
    EXPECT_TRUE(iv.Revolving());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(m->Periods.LeftEdge, 1);
    EXPECT_EQ(m->Periods.RightEdge, 2);
    EXPECT_EQ(m->PrehistoryPar(-500, 2), 0.77);
    EXPECT_EQ(forms, std::vector<bool>{true});

    // The left edge cannot be moved, whatever is asked.
    iv.LeftEdgeToZero();
    iv.SetInterval(0, 1, true);
    ExpectConsistent();
    iv.SetInterval(0, 50, true);
    EXPECT_EQ(m->Periods.LeftEdge, 1);
    ExpectConsistent();

    // Back to archiving without a shift: the left edge comes back, the right edge the user
    // chose stays, and the model has not changed.
    kinds.clear();
    iv.SetAnalysisForm(false);
    EXPECT_FALSE(iv.Revolving());
    EXPECT_EQ(kinds, std::vector<int>{KindLeftEdge});
    EXPECT_EQ(m->Periods.LeftEdge, 0);
    EXPECT_EQ(m->Periods.RightEdge, 50);
    EXPECT_EQ(modelChanges, 0);
    EXPECT_EQ(m->Periods.LastSolved, 1);
}

TEST_F(IntervalTest, SettingTheActiveFormAgainKeepsTheShiftedHistory) {
    Interval(0, 10, 0, 10);
    iv.SetAnalysisForm(true);
    iv.ApplyShift(0, ShiftKeepData);
    m->Periods.LastSolved = 10;
    const double archived = m->PrehistoryPar(0, 31);
    m->SetPrehistoryPar(-3, 2, 0.123);
    iv.SetAnalysisForm(true);
    EXPECT_EQ(iv.ShiftCount(), 1);
    EXPECT_EQ(m->PrehistoryPar(-3, 2), 0.123);
    EXPECT_EQ(m->PrehistoryPar(0, 31), archived);
}

TEST_F(IntervalTest, ToggleTheFormPlaysItsSound) {
    iv.ToggleAnalysisForm();
    EXPECT_TRUE(iv.Revolving());
    EXPECT_EQ(host.sounds.front(), "Umschalt.wav");
    iv.ToggleAnalysisForm();
    EXPECT_FALSE(iv.Revolving());
}

TEST_F(IntervalTest, CurrentPeriodKeysWrapAndRoundsStayInside) {
    struct Case {
        int current;
        int direction;
        StepSize size;
        bool key; // key or button
        int want;
    };
    // Interval [10, 100], TZR 4, MZZR 6.
    const Case cases[] = {
        {100, +1, StepSize::One, true, 10},          {10, -1, StepSize::One, true, 100},
        {50, +1, StepSize::One, true, 51},           {100, +1, StepSize::One, false, 100},
        {10, -1, StepSize::One, false, 10},          {98, +1, StepSize::WageRound, true, 98},
        {96, +1, StepSize::WageRound, true, 100},    {14, -1, StepSize::WageRound, true, 10},
        {13, -1, StepSize::WageRound, false, 13},    {94, +1, StepSize::MonetaryRound, true, 100},
        {95, +1, StepSize::MonetaryRound, true, 95}, {20, -1, StepSize::MonetaryRound, false, 14},
    };
    m->Switch[23] = 4;
    m->Switch[22] = 6;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + " " + std::to_string(c.direction));
        Interval(10, 100, c.current, 100);
        if (c.key)
            iv.CurrentKeyStep(c.direction, c.size);
        else
            iv.CurrentStep(c.direction, c.size);
        EXPECT_EQ(m->Periods.CurrentPeriod, c.want);
    }
}

TEST_F(IntervalTest, EnteringAPeriodOutsideTheIntervalIsCorrected) {
    Interval(10, 100, 50, 100);
    EXPECT_TRUE(iv.EnterCurrentPeriod("60"));
    EXPECT_EQ(m->Periods.CurrentPeriod, 60);
    EXPECT_FALSE(iv.EnterCurrentPeriod("101"));
    EXPECT_EQ(m->Periods.CurrentPeriod, 100);
    EXPECT_TRUE(Said("liegt nicht innerhalb des aktuellen Analyseintervalls"));
    EXPECT_FALSE(iv.EnterCurrentPeriod(""));
    EXPECT_EQ(m->Periods.CurrentPeriod, 10);
    EXPECT_FALSE(iv.EnterCurrentPeriod("99999999999999999999"));
    EXPECT_EQ(m->Periods.CurrentPeriod, 100);
    EXPECT_EQ(kinds.back(), KindCurrentPeriod);
    EXPECT_FALSE(iv.EnterCurrentPeriod("5x")); // no number: refused, nothing changes
    EXPECT_EQ(m->Periods.CurrentPeriod, 100);
    EXPECT_TRUE(Said("Die Eingabe ist keine Zahl."));
}

TEST_F(IntervalTest, LeftEdgeFieldAndButtons) {
    Interval(0, 100, 40, 100);
    iv.EnterLeftEdge("30");
    EXPECT_EQ(m->Periods.LeftEdge, 30);
    iv.LeftEdgeStep(+1);
    EXPECT_EQ(m->Periods.LeftEdge, 31);
    iv.LeftEdgePrevious();
    EXPECT_EQ(m->Periods.LeftEdge, 30);
    iv.LeftEdgeToCurrent();
    EXPECT_EQ(m->Periods.LeftEdge, 40);
    iv.LeftEdgeToZero();
    EXPECT_EQ(m->Periods.LeftEdge, 0);
    iv.LeftEdgeStep(-1); // stays at 0, silently
    EXPECT_EQ(m->Periods.LeftEdge, 0);
    m->Periods.CurrentPeriod = 100;
    iv.LeftEdgeToCurrent();
    EXPECT_EQ(m->Periods.LeftEdge, 99);
    EXPECT_TRUE(host.messages.empty());
    // Numbers beyond an int saturate at half its range and are shown in the refusal.
    iv.EnterLeftEdge("99999999999");
    iv.EnterRightEdge("-99999999999");
    EXPECT_TRUE(Said("(1073741823)"));
    EXPECT_TRUE(Said("(-1073741824)"));
    // No number: refused, both edges stay.
    const auto edges = std::pair(m->Periods.LeftEdge, m->Periods.RightEdge);
    host.messages.clear();
    iv.EnterLeftEdge("x");
    iv.EnterRightEdge("x");
    EXPECT_EQ(std::pair(m->Periods.LeftEdge, m->Periods.RightEdge), edges);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[1], host.messages[0]);
    EXPECT_TRUE(Said("Die Eingabe ist keine Zahl."));
}

TEST_F(IntervalTest, GrowingTheRightEdgeCanContinueTheEdgeData) {
    Interval(0, 100, 0, 100);
    for (int n = 1; n <= ParCount; ++n)
        m->SetModelPar(100, n, 1000 + n);
    host.answers = {true};
    iv.EnterRightEdge("120");
    EXPECT_EQ(m->Periods.RightEdge, 120);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_NE(host.questions[0].find("Daten des bisherigen rechten"), std::string::npos);
    EXPECT_EQ(host.sounds.back(), "WasNun.wav");
    for (int t : {101, 110, 120})
        for (int n = 1; n <= ParCount; ++n)
            EXPECT_EQ(m->ModelPar(t, n), 1000 + n) << t << " " << n;
    EXPECT_EQ(m->ModelPar(121, 7), 0);
    EXPECT_EQ(m->Periods.LastSolved, 100);
    EXPECT_EQ(modelChanges, 1);
}

TEST_F(IntervalTest, GrowingTheRightEdgeWithoutContinuingFillsDefaults) {
    Interval(0, 100, 0, 100);
    m->SetModelPar(100, 7, 55);
    host.answers = {false};
    iv.EnterRightEdge("110");
    EXPECT_EQ(m->ModelPar(105, 7), DefaultPar(105, 7));
    EXPECT_EQ(m->ModelPar(105, 31), 1);
    EXPECT_EQ(m->Periods.LastSolved, 100);
}

TEST_F(IntervalTest, ContinuedDataAreSolvedAgainEvenWhenSolvedBefore) {
    // Solved up to 200, then shrunk to 100: periods 101.. still count as solved.
    Interval(0, 100, 0, 200);
    iv.FillUndefinedPeriods(101, 200);
    m->Periods.LastSolved = 200;
    m->SetModelPar(100, 7, 55);
    host.answers = {true};
    iv.EnterRightEdge("120");
    EXPECT_EQ(m->Periods.LastSolved, 100);
}

TEST_F(IntervalTest, ShrinkingTheRightEdgeReportsOkWhenSolved) {
    Interval(0, 100, 0, 100);
    iv.EnterRightEdge("90");
    EXPECT_EQ(host.Status(), "Ok");
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(modelChanges, 0);

    host.statuses.clear();
    Interval(0, 100, 0, 50);
    iv.RightEdgeDown();
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_EQ(m->Periods.RightEdge, 99);
    m->Periods.LastSolved = 98; // solved up to the new edge exactly
    iv.RightEdgeDown();
    EXPECT_EQ(host.Status(), "Ok");
}

TEST_F(IntervalTest, RightEdgeKeysAndButtons) {
    Interval(0, 100, 60, 100);
    m->SetModelPar(100, 10, 42.5);
    host.answers = {true};
    iv.RightEdgeUp();
    EXPECT_EQ(m->Periods.RightEdge, 101);
    EXPECT_EQ(m->ModelPar(101, 31), 1); // filled
    // The same question as Enter: yes continues the data of the old edge.
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].rfind("Was nun?", 0), 0u);
    EXPECT_EQ(m->ModelPar(101, 10), 42.5);
    EXPECT_EQ(m->Periods.LastSolved, 100);
    EXPECT_EQ(modelChanges, 1);
    iv.RightEdgeToCurrent();
    EXPECT_EQ(m->Periods.RightEdge, 60);
    iv.RightEdgePrevious();
    EXPECT_EQ(m->Periods.RightEdge, 101);
    EXPECT_EQ(modelChanges, 2);

    Interval(0, LastPeriod, 0, LastPeriod);
    iv.RightEdgeUp();
    EXPECT_EQ(m->Periods.RightEdge, LastPeriod);
    EXPECT_EQ(modelChanges, 2);

    Interval(30, 100, 30, 100); // current at the left edge: the nearest right edge, silently
    iv.RightEdgeToCurrent();
    EXPECT_EQ(m->Periods.RightEdge, 31);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(IntervalTest, DoubleClickAndCoverAllDataReachTheLastDefinedPeriod) {
    Interval(20, 50, 20, 100);
    m->SetModelPar(70, par::Pu, 0); // a zero input leaves the period defined
    iv.RightEdgeToLastDefined();
    EXPECT_EQ(m->Periods.RightEdge, 100); // 101 is undefined
    EXPECT_EQ(modelChanges, 1);
    iv.RightEdgeToLastDefined();
    EXPECT_EQ(modelChanges, 1);

    Interval(20, 50, 20, 100);
    iv.CoverAllData();
    EXPECT_EQ(m->Periods.LeftEdge, 0);
    EXPECT_EQ(m->Periods.RightEdge, 100);
    EXPECT_EQ(modelChanges, 2);
    iv.CoverAllData();
    EXPECT_EQ(modelChanges, 2);
    Interval(0, 50, 0, 100); // the left edge already in place: the right one still moves
    iv.CoverAllData();
    EXPECT_EQ(m->Periods.RightEdge, 100);

    iv.FillUndefinedPeriods(101, LastPeriod);
    EXPECT_EQ(iv.LastDefinedPeriod(), LastPeriod);
}

TEST_F(IntervalTest, FillAndResetLowerTheLastSolvedPeriod) {
    Interval(0, 100, 0, 100);
    iv.FillUndefinedPeriods(0, 100); // all defined: nothing happens
    EXPECT_EQ(m->Periods.LastSolved, 100);
    m->SetModelPar(60, 31, 0);
    m->SetModelPar(60, 2, 9);
    iv.FillUndefinedPeriods(0, 100);
    EXPECT_EQ(m->ModelPar(60, 2), DefaultPar(60, 2));
    EXPECT_EQ(m->Periods.LastSolved, 59);

    m->Periods.LastSolved = 100;
    m->SetModelPar(70, 5, 3);
    m->SetModelPar(80, 5, 3);
    iv.ResetToDefaults(0, 100);
    EXPECT_EQ(m->ModelPar(70, 5), DefaultPar(70, 5));
    EXPECT_EQ(m->ModelPar(80, 5), DefaultPar(80, 5));
    EXPECT_EQ(m->Periods.LastSolved, 69);

    // Bounds beyond the stored periods are cut to them.
    m->SetModelPar(-1, 5, 7);
    iv.ResetToDefaults(-20, 2 * LastPeriod);
    EXPECT_EQ(m->ModelPar(-1, 5), DefaultPar(-1, 5));
}

TEST_F(IntervalTest, ShiftIsRefusedWhileUnsolvedOrAtTheEnd) {
    Interval(0, 100, 0, 99);
    EXPECT_FALSE(iv.PrepareShift());
    EXPECT_TRUE(Said("noch nicht vollständig gelöst"));
    Interval(0, LastPeriod, 0, LastPeriod);
    EXPECT_FALSE(iv.PrepareShift());
    EXPECT_TRUE(Said("Maximale Ausdehnung"));
    iv.ApplyShift(LastPeriod, ShiftKeepData); // stray calls change nothing
    Interval(0, 100, 0, 99);
    iv.ApplyShift(200, ShiftKeepData);
    EXPECT_EQ(modelChanges, 0);
    Interval(0, 100, 0, 100);
    iv.ApplyShift(10000, ShiftKeepData); // at most 500 periods on
    EXPECT_EQ(m->Periods.RightEdge, 600);
    Interval(0, 100, 0, 100);
    iv.ApplyShift(0, ShiftKeepData); // and at least one
    EXPECT_EQ(m->Periods.RightEdge, 101);
    EXPECT_EQ(modelChanges, 2); // one for each shift made
}

TEST_F(IntervalTest, ArchivingShiftOffersAnIntervalOfTheSameLength) {
    struct Case {
        int left, right, from, max, start;
    };
    const Case cases[] = {
        {0, 100, 101, 600, 200},
        {50, 100, 101, 600, 151},
        {0, 1000, 1001, 1500, 1500}, // the default end is kept inside the track
        {0, 4800, 4801, 5000, 4999},
    };
    for (const Case& c : cases) {
        Interval(c.left, c.right, c.left, c.right);
        const auto o = iv.PrepareShift();
        ASSERT_TRUE(o);
        EXPECT_EQ(Translate(o->caption, 1), "Intervall verschieben (archivierend)");
        EXPECT_EQ(o->helpContext, 212);
        EXPECT_EQ(Translate(o->fromText, 1), "von Periode " + std::to_string(c.from));
        EXPECT_EQ(Translate(o->fromText, 2), "from period " + std::to_string(c.from));
        EXPECT_EQ(o->trackMin, c.from);
        EXPECT_EQ(o->trackMax, c.max);
        EXPECT_EQ(o->trackStart, c.start);
    }
    EXPECT_EQ(host.sounds.back(), "WasNun.wav");
    EXPECT_EQ(ShiftEndText(200), "bis Periode 200");
    EXPECT_EQ(ShiftEndText(200, 2), "up to period 200");
}

TEST_F(IntervalTest, ArchivingShiftByChoice) {
    for (int choice : {ShiftKeepData, ShiftContinueData, ShiftInitialise}) {
        SCOPED_TRACE(choice);
        auto mm = std::make_unique<Model>();
        AnalysisInterval a(*mm, host);
        mm->InitialiseForProgramStart();
        mm->Periods.LastSolved = 150; // solved beyond a since shrunk right edge
        for (int n = 1; n <= ParCount; ++n)
            mm->SetModelPar(100, n, 2000 + n);
        mm->SetModelPar(101, 31, 1);
        mm->SetModelPar(150, 31, 1); // a defined period with its own input
        mm->SetModelPar(150, 2, 0.42);
        ASSERT_TRUE(a.PrepareShift());
        a.ApplyShift(200, choice);
        EXPECT_EQ(mm->Periods.LeftEdge, 101);
        EXPECT_EQ(mm->Periods.RightEdge, 200);
        EXPECT_EQ(mm->Periods.LastSolved, 100);
        EXPECT_EQ(a.LastShiftChoice(), choice);
        EXPECT_EQ(host.sounds.back(), "AIVersch.wav");
        const double want150 = choice == ShiftKeepData       ? 0.42
                               : choice == ShiftContinueData ? 2002
                                                             : DefaultPar(150, 2);
        EXPECT_EQ(mm->ModelPar(150, 2), want150);
        const double want120 = choice == ShiftContinueData ? 2002 : DefaultPar(120, 2);
        EXPECT_EQ(mm->ModelPar(120, 2), want120);
        if (choice == ShiftContinueData) {
            EXPECT_EQ(mm->ModelPar(101, 2), 2002);
        }
        EXPECT_NE(mm->ModelPar(199, 31), 0);
        EXPECT_NE(mm->ModelPar(200, 31), 0); // defined up to the new right edge
        mm->Periods.LastSolved = 200;
        EXPECT_EQ(a.PrepareShift()->choice, choice);
    }
}

TEST_F(IntervalTest, RevolvingShiftMovesTheRightEdgeToPeriodZero) {
    m->Switch[23] = 2;
    m->Switch[22] = 1;
    Interval(0, 10, 0, 10);
    iv.SetAnalysisForm(true);
    ASSERT_EQ(m->Periods.RightEdge, 10);
    for (int t = -5; t <= 10; ++t)
        m->SetModelVar(t, 37, 100 + t);
    for (int t = 1; t <= 10; ++t)
        m->SetModelPar(t, 2, 0.5 + t / 100.0);
    m->Periods.LastSolved = 10;

    const auto o = iv.PrepareShift();
    ASSERT_TRUE(o);
    EXPECT_EQ(Translate(o->caption, 1), "Intervall verschieben (revolvierend)");
    EXPECT_EQ(o->helpContext, 213);
    EXPECT_EQ(Translate(o->countText, 1), "bisherige Intervallverschiebungen: 0");
    iv.ApplyShift(0, ShiftContinueData);

    EXPECT_EQ(iv.ShiftCount(), 1);
    EXPECT_EQ(iv.ShiftedPeriods(), 10);
    EXPECT_EQ(m->Periods.LastSolved, 0);
    EXPECT_EQ(m->ModelVar(0, 37), 110);
    EXPECT_EQ(m->ModelVar(-3, 37), 107);
    EXPECT_EQ(m->PrehistoryPar(0, 2), 0.6);
    EXPECT_EQ(m->PrehistoryPar(-9, 2), 0.51);
    EXPECT_EQ(m->PrehistoryPar(-10, 2), m->ModelPar(0, 2)); // the old archive, shifted
    for (int t = 1; t <= 9; ++t)
        EXPECT_EQ(m->ModelPar(t, 2), 0.6);
    EXPECT_EQ(modelChanges, 1);

    // A second shift takes period 0 from the archive, where the first one put it.
    m->Periods.LastSolved = 10;
    iv.ApplyShift(0, ShiftKeepData);
    EXPECT_EQ(iv.ShiftedPeriods(), 20);
    EXPECT_EQ(m->PrehistoryPar(-10, 2), 0.6);
    EXPECT_EQ(m->ModelPar(5, 2), 0.6); // kept
    m->Periods.LastSolved = 10;
    EXPECT_EQ(Translate(iv.PrepareShift()->totalText, 1), "bislang verschobene Perioden: 20");

    // Back to archiving after shifts: everything is recalculated.
    iv.SetAnalysisForm(false);
    EXPECT_EQ(m->Periods.LastSolved, -1);
    EXPECT_EQ(iv.ShiftCount(), 0);
}

TEST_F(IntervalTest, SliderPositionAndDragAreInverse) {
    // Rail 200, slider 40: positions 1..159.
    EXPECT_EQ(AnalysisInterval::SliderPosition(0, 0, 100, 200, 40), 1);
    EXPECT_EQ(AnalysisInterval::SliderPosition(100, 0, 100, 200, 40), 159);
    EXPECT_EQ(AnalysisInterval::SliderPosition(50, 0, 100, 200, 40), 80);
    EXPECT_EQ(AnalysisInterval::SliderPosition(50, 0, 100, 30, 40), 1);
    EXPECT_EQ(AnalysisInterval::SliderPosition(6, 5, 5, 200, 40), 1); // an interval of one period
    EXPECT_EQ(AnalysisInterval::SliderPosition(60, 20, 100, 200, 40), 80); // from the left edge
    EXPECT_EQ(AnalysisInterval::PeriodAtSlider(1, 0, 100, 200, 40), 0);
    EXPECT_EQ(AnalysisInterval::PeriodAtSlider(159, 0, 100, 200, 40), 100);
    EXPECT_EQ(AnalysisInterval::PeriodAtSlider(80, 0, 100, 200, 40), 50);
    EXPECT_EQ(AnalysisInterval::PeriodAtSlider(1, 10, 5000, 200, 40), 10);
    EXPECT_EQ(AnalysisInterval::PeriodAtSlider(159, 10, 5000, 200, 40), 5000);
    for (int t = 0; t <= 100; ++t) {
        const int pos = AnalysisInterval::SliderPosition(t, 0, 100, 260, 40);
        EXPECT_EQ(AnalysisInterval::PeriodAtSlider(pos, 0, 100, 260, 40), t);
    }
}

TEST_F(IntervalTest, MonitorClickSnapsToTheNearestRoundStart) {
    Interval(0, 100, 0, 100);
    iv.MonitorClick(50, 100, 4); // p = 50 -> 48 (12.5 rounds to 12)
    EXPECT_EQ(m->Periods.CurrentPeriod, 48);
    iv.MonitorClick(100, 100, 6); // p = 100 -> 102, clamped
    EXPECT_EQ(m->Periods.CurrentPeriod, 100);
    Interval(20, 100, 20, 100);
    iv.MonitorClick(50, 100, 4); // halfway between 20 and 100
    EXPECT_EQ(m->Periods.CurrentPeriod, 60);
    EXPECT_EQ(kinds.back(), KindCurrentPeriod);
}

TEST_F(IntervalTest, MonitorSegmentsFollowTheRounds) {
    // [0, 12], rounds of 4, strip 50 wide: boundaries at 4, 8, 12 -> x 16, 32, 48; period 4
    // opens the second round.
    auto s = AnalysisInterval::MonitorSegments(0, 12, 4, 4, 50);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].x0, 2);
    EXPECT_EQ(s[0].x1, 15);
    EXPECT_EQ(s[1].x0, 16);
    EXPECT_EQ(s[1].x1, 31);
    EXPECT_EQ(s[2].x1, 47);
    EXPECT_FALSE(s[0].current);
    EXPECT_TRUE(s[1].current);
    // A left edge in the second half of a round still starts in that round.
    s = AnalysisInterval::MonitorSegments(6, 18, 6, 4, 50);
    ASSERT_FALSE(s.empty());
    EXPECT_TRUE(s[0].current);
    EXPECT_EQ(s[0].x1, Nearest(2.0 * 48 / 12) - 1);
    EXPECT_EQ(s.back().x1, 47); // so does the part round at the right edge
    EXPECT_TRUE(AnalysisInterval::MonitorSegments(0, 12, 0, 4, 3).empty());
    EXPECT_EQ(AnalysisInterval::MonitorSegments(0, 12, 0, 4, 5).size(), 2u); // the narrowest
}

TEST_F(IntervalTest, MonitorTexts) {
    EXPECT_EQ(AnalysisInterval::WageLabel(8, 4), "TZR: 3 (4)");
    EXPECT_EQ(AnalysisInterval::WageLabel(11, 4), "TZR: 3 (4)");
    EXPECT_EQ(AnalysisInterval::WageLabel(11, 4, 2), "WP: 3 (4)");
    EXPECT_EQ(AnalysisInterval::MoneyLabel(0, 3), "MZZR:  1 (3)");
    EXPECT_EQ(AnalysisInterval::MoneyLabel(7, 0), "MZZR:  1 (0)"); // no rounds: one endless
    EXPECT_EQ(AnalysisInterval::WageStatus(8, 4), "     Tarifverhandlung  ");
    EXPECT_EQ(AnalysisInterval::WageStatus(9, 4), "Tarifvertrag läuft ...  ");
    EXPECT_EQ(AnalysisInterval::MoneyStatus(9, 3), "  aktive Geldpolitik  ");
    EXPECT_EQ(AnalysisInterval::MoneyStatus(10, 3), "passive Geldpolitik  ");
    EXPECT_EQ(AnalysisInterval::WageStatus(8, 4, 2), "     Wage bargaining  ");
    EXPECT_EQ(AnalysisInterval::MoneyStatus(9, 3, 2), "  active policy  ");
    // A round length of 0 (a damaged file) means no rounds, not a division by zero.
    EXPECT_EQ(AnalysisInterval::WageStatus(8, 0), "Tarifvertrag läuft ...  ");
    EXPECT_EQ(AnalysisInterval::MoneyStatus(9, 0), "passive Geldpolitik  ");
}

} // namespace
} // namespace tv
