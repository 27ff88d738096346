#include "core/TotalInput.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tv;

namespace {

std::vector<double> Params(const Model& m) {
    std::vector<double> all;
    for (int t = -1; t <= m.Periods.RightEdge; ++t)
        for (int n = 1; n <= ParCount; ++n)
            all.push_back(m.ModelPar(t, n));
    return all;
}

// The start model, solved up to the right edge (20), with a cash ratio and a reserve ratio.
Model Solved() {
    Model m = test::StartModel();
    m.Periods.RightEdge = 20;
    test::SetAll(m, {{par::bM, 0.2}, {par::rSE, 0.1}});
    m.Periods.LastSolved = m.Periods.RightEdge;
    return m;
}

// A sheet over the whole interval with the given columns.
TotalInputSheet Sheet(Model& m, std::vector<int> columns) {
    TotalInputSheet s(m);
    s.SetRows(m.Periods.LeftEdge, m.Periods.RightEdge);
    s.SetColumns(std::move(columns));
    return s;
}

bool Mentions(const test::RecordingHost& h, const std::string& text) {
    for (const auto& msg : h.messages)
        if (msg.find(text) != std::string::npos) return true;
    return false;
}

} // namespace

TEST(TotalInput, AcceptWritesExactlyTheEditedCells) {
    Model m = Solved();
    // A value 15 digits cannot hold stays untouched unless it is edited.
    const double odd = 0.1 + 0.2 + 0.33;
    m.SetModelPar(9, par::cY, odd);
    const auto before = Params(m);
    auto s = Sheet(m, {par::CAut, par::cY, par::GAut});
    test::RecordingHost host(1);
    const double typed = 1.0 / 3.0;
    ASSERT_TRUE(s.Enter(host, 7, 1, typed));
    ASSERT_TRUE(s.EnterText(host, 12, 2, "250,5"));
    ASSERT_TRUE(s.Enter(host, 15, 0, m.ModelPar(15, par::CAut))); // unchanged: no edit
    EXPECT_EQ(s.EditCount(), 2);
    EXPECT_TRUE(s.Edited(7, 1));
    EXPECT_FALSE(s.Edited(15, 0));
    EXPECT_EQ(s.Accept(), 7);
    EXPECT_FALSE(s.HasEdits());
    auto after = Params(m);
    int differing = 0;
    for (size_t i = 0; i < before.size(); ++i)
        differing += before[i] != after[i];
    EXPECT_EQ(differing, 2);
    EXPECT_EQ(m.ModelPar(7, par::cY), typed);
    EXPECT_EQ(m.ModelPar(12, par::GAut), 250.5);
    EXPECT_EQ(m.ModelPar(9, par::cY), odd);
    EXPECT_EQ(m.Periods.LastSolved, 6);
    EXPECT_TRUE(host.messages.empty());
}

TEST(TotalInput, AcceptWithoutChangesMarksNothingAndRestoreForgets) {
    Model m = Solved();
    const auto before = Params(m);
    auto s = Sheet(m, {par::GAut});
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, 3, 0, 999));
    s.Restore();
    EXPECT_EQ(s.Value(3, 0), m.ModelPar(3, par::GAut));
    EXPECT_EQ(s.Accept(), -2);
    EXPECT_EQ(Params(m), before);
    EXPECT_EQ(m.Periods.LastSolved, 20);
}

TEST(TotalInput, EntriesAreCheckedForTheirPeriod) {
    struct Case {
        const char* name;
        int param;
        int period;
        const char* text;
        bool kept;
        const char* message;
    };
    const Case cases[] = {
        {"negative autonomous consumption", par::CAut, 4, "-1", false, "Unzulässige Eingabe"},
        {"propensity above 1", par::cY, 4, "1.5", false, "1 >= "},
        {"not a number", par::GAut, 4, "1.2.3", false, "Unzulässige Eingabe"},
        {"money change negative later", par::dMHNAut, 4, "-50", true, nullptr},
        {"money change 0 in period 0", par::dMHNAut, 0, "0", false, "MN(-oo)"},
        {"cash ratio 0 while reserve ratio 0", par::bM, 6, "0", false, "unendl."},
        {"cash ratio 0 while reserve ratio 0.1", par::bM, 7, "0", true, nullptr},
    };
    for (const Case& c : cases) {
        Model m = Solved();
        m.SetModelPar(6, par::rSE, 0);
        auto s = Sheet(m, {c.param});
        test::RecordingHost host(1);
        const double old = s.Value(c.period, 0);
        EXPECT_EQ(s.EnterText(host, c.period, 0, c.text), c.kept) << c.name;
        if (c.kept) {
            EXPECT_TRUE(host.messages.empty()) << c.name;
        } else {
            EXPECT_EQ(s.Value(c.period, 0), old) << c.name;
            EXPECT_FALSE(s.HasEdits()) << c.name;
            EXPECT_TRUE(Mentions(host, c.message)) << c.name;
        }
    }
}

TEST(TotalInput, EntryCheckSeesPendingEditsOfOtherColumns) {
    // r[SE] set to 0 in the grid but not yet accepted: b[M] = 0 in that period is refused
    // even after the columns changed.
    Model m = Solved();
    auto s = Sheet(m, {par::rSE});
    test::RecordingHost host(1);
    ASSERT_TRUE(s.Enter(host, 5, 0, 0));
    s.SetColumns({par::bM});
    EXPECT_FALSE(s.Enter(host, 5, 0, 0));
    EXPECT_TRUE(s.Enter(host, 6, 0, 0));
}

TEST(TotalInput, PasteWritesIntoTheCellsItIsPastedOn) {
    struct Case {
        const char* name;
        int targetRow;
        int repeat;
        int lastRow;
        std::vector<int> pastedPeriods;
        TotalInputSheet::PasteResult result;
    };
    using R = TotalInputSheet::PasteResult;
    const Case cases[] = {
        {"once", 10, 1, -1, {10, 11}, R::Done},
        {"three times", 10, 3, -1, {10, 11, 12, 13, 14, 15}, R::Done},
        {"past the right edge", 17, 5, -1, {17, 18, 19, 20}, R::RightEdge},
        {"into a selection of three rows", 4, 3, 6, {4, 5, 6}, R::Done},
    };
    for (const Case& c : cases) {
        Model m = Solved();
        m.SetModelPar(2, par::GAut, 300);
        m.SetModelPar(3, par::GAut, 301);
        m.SetModelPar(2, par::tY, 0.25);
        m.SetModelPar(3, par::tY, 0.3);
        auto s = Sheet(m, {par::GAut, par::gT, par::tY});
        s.Copy(2, 3, 2, 0); // any corner order
        // The grid now shows other columns: the block lands on them as shown.
        s.SetColumns({par::CAut, par::GAut, par::gT, par::tY});
        test::RecordingHost host(1);
        EXPECT_EQ(s.Paste(host, c.targetRow, 1, c.repeat, c.lastRow), c.result) << c.name;
        EXPECT_EQ(host.messages.size(), c.result == R::RightEdge ? 1u : 0u) << c.name;
        for (int p : c.pastedPeriods) {
            const bool top = (p - c.targetRow) % 2 == 0;
            EXPECT_EQ(s.Cell(p, par::GAut), top ? 300 : 301) << c.name << " " << p;
            EXPECT_EQ(s.Cell(p, par::tY), top ? 0.25 : 0.3) << c.name << " " << p;
        }
        // g[T] pasted onto its own value is no edit.
        EXPECT_EQ(s.EditCount(), 2 * static_cast<int>(c.pastedPeriods.size())) << c.name;
        EXPECT_EQ(s.Cell(c.pastedPeriods.back() + 1, par::GAut),
                  m.ModelPar(c.pastedPeriods.back() + 1, par::GAut))
            << c.name;
        s.Accept();
        EXPECT_EQ(m.ModelPar(c.pastedPeriods.front(), par::GAut), 300) << c.name;
        EXPECT_EQ(m.Periods.LastSolved, c.pastedPeriods.front() - 1) << c.name;
    }
}

TEST(TotalInput, PasteOnOtherColumnsWritesWhatIsShownOrIsRefused) {
    Model m = Solved();
    m.SetModelPar(2, par::CAut, 91);
    auto s = Sheet(m, {par::CAut});
    s.Copy(2, 2, 0, 0);
    s.SetColumns({par::GAut, par::ExAut});
    test::RecordingHost host(1);
    EXPECT_EQ(s.Paste(host, 6, 2, 1), TotalInputSheet::PasteResult::Nothing); // no such column
    EXPECT_EQ(s.Paste(host, 6, 1, 1), TotalInputSheet::PasteResult::Done);
    EXPECT_EQ(s.Cell(6, par::ExAut), 91);
    EXPECT_EQ(s.EditCount(), 1); // C,aut of period 6 untouched
    s.Copy(2, 2, 0, 1);
    EXPECT_EQ(s.Paste(host, 6, 1, 1), TotalInputSheet::PasteResult::Refused); // too wide
    EXPECT_TRUE(Mentions(host, "breiter als die Spalten"));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});
}

// Pastes that start outside the sheet do nothing; a reset reaching past its edges is cut to them.
TEST(TotalInput, PasteAndResetStayInsideTheSheet) {
    Model m = Solved();
    test::SetAll(m, {{par::GAut, 200}});
    TotalInputSheet s(m);
    s.SetRows(5, 8);
    s.SetColumns({par::GAut});
    test::RecordingHost host;
    using R = TotalInputSheet::PasteResult;
    EXPECT_EQ(s.Paste(host, 0, 0, 1), R::Nothing); // nothing copied yet
    ASSERT_TRUE(s.Enter(host, 0, 0, 150));
    s.Copy(0, -2, -1, 2); // row 0 alone, cut to the one column
    EXPECT_EQ(s.Paste(host, 3, 0, 1), R::Done);
    EXPECT_TRUE(s.Enter(host, 3, 0, 7));
    EXPECT_EQ(s.Paste(host, 1, 0, 9, 9), R::Done); // a last row beyond the sheet reaches its end
    EXPECT_EQ(s.Cell(8, par::GAut), 150);
    EXPECT_EQ(s.EditCount(), 4);                                             // and no further
    const int refused[][3] = {{-1, 0, 1}, {4, 0, 1}, {0, -1, 1}, {0, 0, 0}}; // row, column, repeat
    for (const auto& p : refused)
        EXPECT_EQ(s.Paste(host, p[0], p[1], p[2]), R::Nothing)
            << p[0] << "," << p[1] << "," << p[2];
    const int outside[][2] = {{-1, 0}, {4, 0}, {0, -1}, {0, 1}}; // row, column
    for (const auto& p : outside)
        EXPECT_FALSE(s.Enter(host, p[0], p[1], 1)) << p[0] << "," << p[1];
    s.ResetToDefault(host, 1, -3, -2, 5); // periods 5 and 6, the one column
    EXPECT_EQ(s.EditCount(), 4);
    EXPECT_EQ(s.Cell(7, par::GAut), 150);
    EXPECT_EQ(s.Cell(6, par::GAut), DefaultPar(6, par::GAut));
    // A copy reaching below the sheet takes the sheet's rows only: period 9 stays out.
    m.SetModelPar(9, par::GAut, 999);
    m.SetModelPar(8, par::GAut, 888);
    TotalInputSheet below(m);
    below.SetRows(5, 8);
    below.SetColumns({par::GAut});
    below.Copy(2, 9, 0, 0);
    EXPECT_EQ(below.Paste(host, 0, 0, 1), R::Done);
    EXPECT_EQ(below.Cell(6, par::GAut), 888); // the sheet's last row is in the copy
    EXPECT_EQ(below.Cell(7, par::GAut), 200);
}

TEST(TotalInput, PasteAndResetKeepTheMoneyMultiplierFinite) {
    // Periods 8 and 9 have no reserve ratio; a zero cash ratio pasted there is put back.
    Model m = Solved();
    m.SetModelPar(3, par::bM, 0);
    m.SetModelPar(8, par::rSE, 0);
    m.SetModelPar(9, par::rSE, 1e-15);
    auto s = Sheet(m, {par::bM, par::rSE});
    s.Copy(3, 3, 0, 0);
    test::RecordingHost host(1);
    EXPECT_EQ(s.Paste(host, 6, 0, 5), TotalInputSheet::PasteResult::Done);
    for (int p : {6, 7, 10})
        EXPECT_EQ(s.Cell(p, par::bM), 0) << p;
    for (int p : {8, 9})
        EXPECT_EQ(s.Cell(p, par::bM), 0.2) << p;
    EXPECT_EQ(host.messages.size(), 1u); // one dialog for the whole paste
    EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});

    // Resetting r[SE] to its start value 0 where b[M] is 0 is put back as well.
    test::RecordingHost host2;
    s.ResetToDefault(host2, 5, 7, 1, 1);
    EXPECT_EQ(s.Cell(5, par::rSE), 0);   // b[M] 0.2 there
    EXPECT_EQ(s.Cell(6, par::rSE), 0.1); // b[M] pasted 0: put back
    EXPECT_EQ(s.Cell(7, par::rSE), 0.1);
    EXPECT_EQ(s.Cell(6, par::bM), 0); // outside the reset range: left alone
    EXPECT_TRUE(Mentions(host2, "unendlichen Geldschöpfungsmultiplikator"));
}

TEST(TotalInput, MoneyChangesNeverCrossPeriod0) {
    struct Case {
        const char* name;
        int copyRow;
        int target;
        bool refused;
        int param = par::dMHNAut;
    };
    const Case cases[] = {
        {"stock of period 0 into period 1", 0, 1, true},
        {"change of period 3 into period 0", 3, 0, true},
        {"change of period 3 into period 5", 3, 5, false},
        {"base change of period 3 into period 0", 3, 0, true, par::dMBHNAut},
    };
    for (const Case& c : cases) {
        Model m = Solved();
        m.SetModelPar(3, c.param, 25);
        const auto before = Params(m);
        auto s = Sheet(m, {par::GAut, c.param});
        s.Copy(c.copyRow, c.copyRow, 0, 1);
        test::RecordingHost host(1);
        const auto result = s.Paste(host, c.target, 0, 1);
        EXPECT_EQ(result == TotalInputSheet::PasteResult::Refused, c.refused) << c.name;
        EXPECT_EQ(s.HasEdits(), !c.refused) << c.name;
        EXPECT_EQ(Mentions(host, "So nicht!"), c.refused) << c.name;

        // The copy dialog the same way.
        test::RecordingHost host2;
        const auto r = CopyParameterValues(m, host2, {c.param}, c.copyRow, c.target, c.target);
        EXPECT_EQ(r == RangeResult::Refused, c.refused) << c.name;
        EXPECT_EQ(Mentions(host2, "So nicht!"), c.refused) << c.name;
        if (c.refused) {
            EXPECT_EQ(Params(m), before) << c.name;
        }
    }
    // Cut short by the last row, a block still starts with its first row: period 0's stock.
    Model m = Solved();
    auto s = Sheet(m, {par::dMHNAut});
    s.Copy(0, 2, 0, 0);
    test::RecordingHost host;
    EXPECT_EQ(s.Paste(host, 1, 0, 1, 1), TotalInputSheet::PasteResult::Refused);
}

TEST(TotalInput, CopyDialogOverRanges) {
    struct Case {
        const char* name;
        std::vector<int> params;
        int source, from, to;
        RangeResult result;
        int first, last; // the periods that take the source values
        int lastSolved;
    };
    const Case cases[] = {
        {"same period", {par::GAut}, 5, 5, 5, RangeResult::Cancelled, 0, -1, 20},
        {"nothing chosen", {}, 5, 6, 9, RangeResult::Cancelled, 0, -1, 20},
        {"backwards range", {par::GAut, par::tY}, 5, 10, 3, RangeResult::Done, 3, 10, 2},
        {"clamped to the right edge", {par::GAut}, 5, 18, 40, RangeResult::Done, 18, 20, 17},
    };
    for (const Case& c : cases) {
        Model m = Solved();
        m.SetModelPar(5, par::GAut, 321);
        m.SetModelPar(5, par::tY, 0.125);
        m.Periods.LastSolved = 20;
        const auto before = Params(m);
        test::RecordingHost host(1);
        EXPECT_EQ(CopyParameterValues(m, host, c.params, c.source, c.from, c.to), c.result)
            << c.name;
        for (int p = 0; p <= 20; ++p) {
            const bool inside = p >= c.first && p <= c.last;
            const bool chosenG = !c.params.empty();
            EXPECT_EQ(m.ModelPar(p, par::GAut),
                      inside && chosenG ? 321 : before[(p + 1) * ParCount + par::GAut - 1])
                << c.name << " " << p;
        }
        EXPECT_EQ(m.Periods.LastSolved, c.lastSolved) << c.name;
    }
}

TEST(TotalInput, CopyAndResetRefuseAnInfiniteMultiplier) {
    Model m = Solved();
    m.SetModelPar(2, par::bM, 0);
    for (int p : {12, 14})
        m.SetModelPar(p, par::rSE, 0);
    const auto before = Params(m);
    test::RecordingHost host(1);
    EXPECT_EQ(CopyParameterValues(m, host, {par::bM}, 2, 15, 10), RangeResult::Refused);
    EXPECT_TRUE(Mentions(host, "in Periode 12 unendlich groß"));
    EXPECT_TRUE(Mentions(host, "Kopierauftrag wird nicht ausgeführt."));
    // Copying both ratios from a period where only one is 0 is fine.
    m.SetModelPar(2, par::rSE, 0.05);
    EXPECT_EQ(CopyParameterValues(m, host, {par::bM, par::rSE}, 2, 10, 15), RangeResult::Done);
    m = Model(Solved());
    m.SetModelPar(13, par::bM, 0);
    test::RecordingHost host2;
    EXPECT_EQ(ResetParameterValues(m, host2, {par::rSE}, 10, 15), RangeResult::Refused);
    EXPECT_TRUE(Mentions(host2, "in Periode 13 unendlich groß"));
    EXPECT_EQ(host2.sounds, std::vector<std::string>{"SoNicht.wav"});
    EXPECT_TRUE(Mentions(host2, "The reset would make the money and credit multiplier in period "
                                "13 infinite, since both the currency ratio and the reserve ratio "
                                "are zero.\r\nThe reset order is not carried out."));
    EXPECT_EQ(m.ModelPar(10, par::rSE), 0.1);
    (void)before;
}

// The refusal looks at every period of the range, its last one included, also when the
// range is one period; nothing is written then.
TEST(TotalInput, InfiniteMultiplierRefusalCoversTheLastPeriodOfTheRange) {
    struct Case {
        const char* name;
        bool copy;
        int from, to, bad = 15;
    };
    const Case cases[] = {
        {"copy", true, 10, 15},
        {"copy one period", true, 15, 15},
        {"reset", false, 10, 15},
        {"reset one period", false, 15, 15},
        {"copy into period 0", true, 0, 0, 0},
        {"reset of period 0", false, 0, 3, 0},
    };
    for (const Case& c : cases) {
        Model m = Solved();
        m.SetModelPar(2, par::bM, 0);     // the copy's source
        m.SetModelPar(c.bad, par::bM, 0); // with the reset's r[SE] = 0, only in that period
        m.SetModelPar(c.bad, par::rSE, c.copy ? 0 : 0.1);
        const auto before = Params(m);
        test::RecordingHost host;
        const RangeResult result = c.copy ? CopyParameterValues(m, host, {par::bM}, 2, c.from, c.to)
                                          : ResetParameterValues(m, host, {par::rSE}, c.from, c.to);
        EXPECT_EQ(result, RangeResult::Refused) << c.name;
        EXPECT_TRUE(Mentions(host, "in Periode " + std::to_string(c.bad) + " unendlich groß"))
            << c.name;
        EXPECT_EQ(Params(m), before) << c.name;
    }
}

TEST(TotalInput, ResetDialogWritesStartValues) {
    Model m = Solved();
    test::SetAll(m, {{par::GAut, 200}, {par::CAut, 77}});
    m.SetModelPar(4, par::dMHNAut, 30);
    m.SetModelPar(3, ParCount, 5); // stored next to parameter 0 of period 4
    test::RecordingHost host(1);
    // Numbers that name no parameter are left out.
    EXPECT_EQ(
        ResetParameterValues(m, host, {par::GAut, par::dMHNAut, par::CAut, 0, ParCount + 1}, 8, 0),
        RangeResult::Done);
    for (int p = 0; p <= 8; ++p) {
        EXPECT_EQ(m.ModelPar(p, par::GAut), DefaultPar(p, par::GAut)) << p;
        EXPECT_EQ(m.ModelPar(p, par::CAut), DefaultPar(p, par::CAut)) << p;
        EXPECT_EQ(m.ModelPar(p, par::dMHNAut), DefaultPar(p, par::dMHNAut)) << p;
    }
    EXPECT_EQ(m.ModelPar(9, par::GAut), 200);
    EXPECT_EQ(m.ModelPar(3, ParCount), 5);
    EXPECT_EQ(m.Periods.LastSolved, -1);
    // Values that are at their start values already mark nothing.
    m.Periods.LastSolved = 20;
    EXPECT_EQ(ResetParameterValues(m, host, {par::GAut}, 2, 8), RangeResult::Done);
    EXPECT_EQ(m.Periods.LastSolved, 20);
    // A range reaching past the right edge stops at it.
    m.SetModelPar(21, par::GAut, 200);
    EXPECT_EQ(ResetParameterValues(m, host, {par::GAut}, 25, 18), RangeResult::Done);
    EXPECT_EQ(m.ModelPar(21, par::GAut), 200);
    EXPECT_EQ(ResetParameterValues(m, host, {}, 2, 8), RangeResult::Cancelled);
    m.SetModelPar(5, ParCount, 5); // the last parameter is one to reset too
    EXPECT_EQ(ResetParameterValues(m, host, {ParCount}, 5, 5), RangeResult::Done);
    EXPECT_EQ(m.ModelPar(5, ParCount), DefaultPar(5, ParCount));
}

TEST(TotalInput, CandidatesFollowTabsAndActiveParameters) {
    Model m = test::StartModel();
    m.Switch[17] = 1; // the parameters a switch set just now activates count
    const auto all = TotalInputCandidates(m, 6, 1);
    const auto supply = TotalInputCandidates(m, 2, 5);
    const auto wages = TotalInputCandidates(m, 2, 4);
    m.UpdateActiveParams();
    int active = 0;
    for (int n = 1; n <= ParCount; ++n)
        active += m.ActiveParams[n];
    EXPECT_EQ(static_cast<int>(all.size()), active);
    for (int n : supply)
        EXPECT_TRUE(n >= 16 && n <= 37) << n;
    for (int n : wages)
        EXPECT_TRUE(n >= 32 && n <= 37) << n;
    EXPECT_LE(wages.size(), supply.size());
    const auto firstPage = TotalInputCandidates(m, 2, 1); // one category, not the sector
    EXPECT_FALSE(firstPage.empty());
    EXPECT_LT(firstPage.size(), supply.size());
}
