// The worksheet export read back by an independent reader, and the booking calls as the
// stand-in application records them.

#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/Booking.h"
#include "logic/WorksheetExport.h"
#include "workbook/XlsWrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tv {
namespace {

std::string Hex(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%a", v);
    return buf;
}

Model SolvedModel() {
    Model m = test::KeynesianModel();
    SilentHost host;
    SolveInterval(m, host, 0, 12, false);
    return m;
}

// Writes the workbook and the cells expected in it, and lets xlrd compare them exactly.
TEST(WorksheetExport, XlrdReadsSolvedValuesHeadersAndTimeIndex) {
    const Model m = SolvedModel();
    struct Case {
        const char* name;
        bool timeIndex, symbolsOnly;
        int from, to, language;
        bool moneyCreation;
    };
    const Case cases[] = {{"reversed_time_index", true, false, 10, 5, 2, true},
                          {"symbols_german", false, true, 3, 3, 1, false},
                          {"clamped", true, true, -50, 2, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Model lm = m;
        lm.Language = uint8_t(c.language);
        lm.Switch[17] = 1; // the neighbouring switches must not rename parameter 54
        lm.Switch[18] = c.moneyCreation;
        ExportChoice choice;
        // Variable 59 (labour share) and parameter 38 share name text in English: they
        // must still get their own values. A number beyond the table is a header alone,
        // number 0 nothing at all. Parameter 54 is named after the money-creation switch.
        choice.items = {
            {false, var::Y},     {true, par::LQExog}, {false, var::LQ}, {true, ParCount + 1},
            {true, par::gMNAut}, {false, VarCount},   {true, 1},        {false, 0}};
        choice.timeIndex = c.timeIndex;
        choice.symbolsOnly = c.symbolsOnly;
        choice.from = c.from;
        choice.to = c.to;
        const std::string book = std::string(TEST_OUT_DIR) + "/export_" + c.name + ".xls";
        const std::string tsvName = std::string(TEST_OUT_DIR) + "/export_" + c.name + ".tsv";
        std::filesystem::remove(book); // the check reads what this run wrote
        XlsWriter w;
        ExportWorksheet(lm, choice, w, book);

        const auto [first, last] = ExportRange(c.from, c.to);
        std::ofstream tsv(tsvName);
        tsv << "sheet\t0\tTERVALIS\n";
        const int offset = c.timeIndex ? 1 : 0;
        if (c.timeIndex) {
            tsv << "0\t0\t0\ts\tt\n";
            for (int t = first; t <= last; ++t)
                tsv << "0\t" << t - first + 1 << "\t0\ts\t" << t << "\n";
        }
        for (size_t j = 0; j < choice.items.size(); ++j) {
            const ExportItem& item = choice.items[j];
            const int col = offset + int(j);
            std::string header = ExportHeader(ExportItemText(item, c.language, c.moneyCreation),
                                              c.symbolsOnly, c.language);
            if (!header.empty()) tsv << "0\t0\t" << col << "\ts\t" << header << "\n";
            if (item.number < 1 || item.number > (item.parameter ? ParCount : VarCount)) continue;
            for (int t = first; t <= last; ++t) {
                const double x =
                    item.parameter ? lm.ModelPar(t, item.number) : lm.ModelVar(t, item.number);
                tsv << "0\t" << t - first + 1 << "\t" << col << "\tn\t" << Hex(x) << "\n";
            }
        }
        tsv.close();
        const std::string cmd = std::string("/usr/bin/python3 ") + TEST_WORKBOOK_DIR +
                                "/xlrd_compare.py " + book + " " + tsvName;
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
}

TEST(WorksheetExport, RangeAndHeaders) {
    EXPECT_EQ(ExportRange(10, 5), std::make_pair(5, 10));
    EXPECT_EQ(ExportRange(-9999, 99999), std::make_pair(FirstParPeriod, LastPeriod));
    EXPECT_EQ(ExportHeader("Volkseinkommen (Y)", true, 1), "Y");
    EXPECT_EQ(ExportHeader("Volkseinkommen (Y)", false, 1), "Volkseinkommen (Y)");
    EXPECT_EQ(ExportHeader("ohne Symbol", true, 1), "nicht belegt");
    EXPECT_EQ(ExportHeader("no symbol", true, 2), "no entry");
    const ExportItem y{false, var::Y}, lq{true, par::LQExog};
    EXPECT_NE(ExportItemText(y, 2, false), ExportItemText(lq, 2, false));
    EXPECT_NE(ExportItemText({false, VarCount}, 2, false), ""); // the first and last have names
    EXPECT_NE(ExportItemText({true, 1}, 2, false), "");
}

Model BookingModel() {
    Model m;
    m.Periods.LeftEdge = 3;
    m.Periods.RightEdge = 4;
    for (int t = 3; t <= 4; ++t) {
        for (int n = 1; n <= VarCount; ++n)
            m.SetModelVar(t, n, 0);
        m.SetModelVar(t, var::Ex, 100);
        m.SetModelVar(t, var::Im, 100);
        m.SetModelVar(t, var::NK, 7);
        m.SetModelVar(t, var::Z, -2);
    }
    return m;
}

TEST(Booking, JournalHoldsTheCallsInOrder) {
    const Model m = BookingModel();
    // The calls of a released link stay readable.
    struct Kept : BookingJournal {
        std::vector<std::string>* released;
        explicit Kept(std::vector<std::string>* r) : released(r) {}
        ~Kept() override { *released = Calls; }
    };
    std::vector<std::string> released;
    BookingJournal* journal = nullptr;
    BookingLinks links([&] {
        auto j = std::make_unique<Kept>(&released);
        journal = j.get();
        return j;
    });
    BookingShares shares;
    shares.importServices = 30;
    EXPECT_EQ(links.Transfer(m, BookingBpm, shares, {}), "");
    ASSERT_TRUE(journal);
    const std::string period = "7 {t} 1 S.1 FIN_D 1 4753.. 7\n"
                               "7 {t} 1 S.1 RES 2 4802.. -2\n"
                               "7 {t} 1 S.1 CUR_A 1 2100.. 50\n"
                               "7 {t} 1 S.1 CUR_B 1 2200.. 50\n"
                               "7 {t} 1 S.1 CUR_A 2 3100.. 70\n"
                               "7 {t} 1 S.1 CUR_B 2 3200.. 30\n";
    auto at = [&](int t) {
        std::string s = period;
        for (size_t k; (k = s.find("{t}")) != std::string::npos;)
            s.replace(k, 3, std::to_string(t));
        return s;
    };
    EXPECT_EQ(journal->Text(), "10 TERVALIS\n8\n5 1\n6 3 1 4 1 1\n16 4\n" + at(3) +
                                   "2 3 1\n16 5\n" + at(4) + "2 4 1\n9\n13\n");
    EXPECT_TRUE(links.IsOpen(BookingBpm));
    EXPECT_FALSE(links.IsOpen(BookingEsa));
    // A second transfer greets the open link; closing it sends the close call.
    journal->Calls.clear();
    links.Transfer(m, BookingBpm, shares, {});
    EXPECT_EQ(journal->Calls.at(0), "1");
    EXPECT_EQ(journal->Calls.at(1), "10 TERVALIS");
    links.Close(BookingBpm);
    EXPECT_FALSE(links.IsOpen(BookingBpm));
    EXPECT_EQ(released.back(), "4");
}

TEST(Booking, EsaSplitsByShares) {
    const Model m = BookingModel();
    const auto b = PeriodBookings(m, 3, BookingEsa, BookingShares{});
    ASSERT_EQ(b.size(), 22u);
    EXPECT_EQ(b[4].transaction, "P.61");
    EXPECT_EQ(b[4].value, 50);
    EXPECT_EQ(b[5].transaction, "P.62");
    EXPECT_EQ(b[5].value, 50);
    EXPECT_EQ(b[21].transaction, "D.39");
    // Each variable holding its own number pins every side and amount.
    Model n = m;
    for (int k = 1; k <= VarCount; ++k)
        n.SetModelVar(3, k, k);
    n.SetModelPar(3, par::SBAut, 45);
    n.SetModelPar(3, par::SubAut, 46);
    std::ostringstream rows;
    for (const AccountBooking& r : PeriodBookings(n, 3, BookingEsa, {20, 30, 40, 10}))
        rows << r.side << ":" << r.value << " ";
    EXPECT_EQ(rows.str(), "1:-33 1:142 1:5.8 1:23.2 1:18 1:12 2:90 1:38 2:38 1:39 2:39 2:36 2:4 "
                          "1:12.3 2:12.3 1:28.7 2:28.7 1:53 1:45 2:45 2:46 1:-46 ");
}

TEST(Booking, TransferLimitsStopsAndCancels) {
    Model m = BookingModel();
    m.Periods.LeftEdge = 0;
    m.Periods.RightEdge = 300;
    BookingJournal j;
    int opened = 0, closed = 0;
    TransferProgress progress;
    progress.Open = [&](int n) { opened = n; };
    progress.Close = [&] { ++closed; };
    EXPECT_EQ(TransferBookings(m, j, BookingBpm, {}, progress), "");
    EXPECT_EQ(opened, 250);
    EXPECT_EQ(j.Calls.at(2), "6 0 1 249 1 1");

    BookingJournal stop;
    stop.StopAtPeriod = 2;
    EXPECT_EQ(TransferBookings(m, stop, BookingBpm, {}, {}),
              "Data transfer interrupted by user in period 2");
    EXPECT_EQ(stop.Calls.back(), "13");

    BookingJournal cancel;
    progress.Step = [](int done) { return done < 1; };
    EXPECT_EQ(TransferBookings(m, cancel, BookingBpm, {}, progress), "");
    EXPECT_EQ(cancel.Calls.size(), 3u + 1 + 6 + 1 + 2);
    EXPECT_EQ(cancel.Calls.back(), "13");
}

TEST(Booking, DeadLinkIsReleasedAndRetriedOnce) {
    const Model m = BookingModel();
    int made = 0, closed = 0;
    TransferProgress progress;
    progress.Close = [&] { ++closed; };
    BookingJournal* last = nullptr;
    BookingLinks links([&] {
        auto j = std::make_unique<BookingJournal>();
        if (made++ < 2) j->FailAfterCalls = 8; // dies during the first period
        last = j.get();
        return j;
    });
    EXPECT_NE(links.Transfer(m, BookingEsa, {}, progress), "");
    EXPECT_EQ(made, 2);
    EXPECT_EQ(closed, 2);
    EXPECT_FALSE(links.IsOpen(BookingEsa));
    // The next transfer makes a fresh link and succeeds.
    EXPECT_EQ(links.Transfer(m, BookingEsa, {}, progress), "");
    EXPECT_EQ(last->Calls.back(), "13");

    // A failing first try is retried once.
    made = 1;
    BookingLinks once([&] {
        auto j = std::make_unique<BookingJournal>();
        if (made++ < 2) j->FailAfterCalls = 0; // dies at its first call
        return j;
    });
    EXPECT_EQ(once.Transfer(m, BookingEsa, {}, progress), "");
    EXPECT_TRUE(once.IsOpen(BookingEsa));
    EXPECT_EQ(made, 3);
    BookingJournal j; // the journal fails only once
    j.FailAfterCalls = 0;
    EXPECT_THROW(j.Reconnect(), BookingError);
    EXPECT_NO_THROW(j.Reconnect());
}

// A link that dies part-way is made anew once; the new link books only the periods after
// the last one the dead link confirmed, so no period is booked twice.
TEST(Booking, RetryResumesAfterTheLastConfirmedPeriod) {
    const Model m = BookingModel(); // periods 3..4
    // Notes every period the partner confirmed and every period begun, across links (a
    // dead link is destroyed when it is released).
    struct Partner : BookingJournal {
        std::vector<int>* confirmed = nullptr;
        std::vector<int>* begun = nullptr;
        int BeginPeriod(int periodPlusOne) override {
            const int r = BookingJournal::BeginPeriod(periodPlusOne);
            begun->push_back(periodPlusOne - 1);
            return r;
        }
        void EndPeriod(int period, int one) override {
            BookingJournal::EndPeriod(period, one);
            confirmed->push_back(period);
        }
    };
    // A live link's calls up to the end of the first period, plus its client-name call.
    BookingJournal bare;
    TransferBookings(m, bare, BookingEsa, {}, {});
    const int endOfFirst =
        static_cast<int>(std::find(bare.Calls.begin(), bare.Calls.end(), "2 3 1") -
                         bare.Calls.begin()) +
        1;
    struct Case {
        const char* name;
        int failAfterCalls;    // of the first link
        int firstBegunOnRetry; // the retry's first period
    } cases[] = {
        {"dies in the first period", 8, 3},
        {"dies in the second period", endOfFirst + 2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> confirmed, begun;
        int made = 0;
        size_t begunBeforeRetry = 0;
        BookingLinks links([&] {
            auto j = std::make_unique<Partner>();
            j->confirmed = &confirmed;
            j->begun = &begun;
            if (made++ == 0)
                j->FailAfterCalls = c.failAfterCalls;
            else
                begunBeforeRetry = begun.size();
            return j;
        });
        EXPECT_EQ(links.Transfer(m, BookingEsa, {}, {}), "");
        EXPECT_EQ(made, 2);
        EXPECT_EQ(confirmed, (std::vector<int>{3, 4})); // each period once, in order
        ASSERT_LT(begunBeforeRetry, begun.size());
        EXPECT_EQ(begun[begunBeforeRetry], c.firstBegunOnRetry);
    }
}

TEST(Booking, DataTextHoldsTheEdgesAndSeventeenValues) {
    Model m = BookingModel();
    m.Periods.CurrentPeriod = 3;
    const std::pair<int, double> vars[] = {
        {var::Y, 1000}, {var::YL, 600},  {var::YU, 390}, {var::R, 5},     {var::T, 250},
        {var::C, 700},  {var::SUnpl, 3}, {var::I, 150},  {var::IUnpl, 4}, {var::G, 200},
        {var::Ex, 90},  {var::S, 160},   {var::AB, 20}};
    for (auto [n, x] : vars)
        m.SetModelVar(3, n, x);
    m.SetModelPar(3, par::SBAut, 30);
    m.SetModelPar(3, par::SubAut, 10);
    const std::string s = BookingDataText(m);
    EXPECT_EQ(s.rfind("tv5_data§1$3§2$4§3$3§4$1§5$1~", 0), 0u);
    std::string values = "~";
    for (double x : {1000.0, 600.0, 400.0, 5.0, 100.0, 250.0, 30.0, 10.0, 697.0, 155.0, 4.0, 200.0,
                     90.0, 163.0, 154.0, BudgetSurplus(m, 3, 1000), 20.0})
        values += m.FormatNumber(x) + "#";
    EXPECT_EQ(s.substr(s.find('~')), values + "~");
}

} // namespace
} // namespace tv
