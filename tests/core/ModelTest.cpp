#include "core/Model.h"
#include "core/LargeAllocator.h"
#include "core/NumberFormat.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <new>
#include <set>

#include <malloc.h>

namespace tv {
namespace {

// Large blocks give back their whole mapping: models are made and dropped all session long.
TEST(LargeAllocator, FreedBlocksReturnTheirAddressSpace) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the checked heap keeps freed blocks in quarantine";
#endif
    const auto mapped = [] {
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        return pages * 4096L;
    };
    const long before = mapped();
    constexpr std::size_t huge = std::size_t{2} << 20;
    for (std::size_t bytes : {std::size_t{100}, std::size_t{512} << 10, std::size_t{3} << 20,
                              std::size_t{4} << 20, std::size_t{5} << 20}) {
        for (int k = 0; k < 32; ++k) {
            const long live = mapped();
            void* p = AllocateLarge(bytes);
            // From half a megabyte on, blocks start on a huge-page boundary and keep no more
            // than whole huge pages mapped.
            if (bytes >= std::size_t{512} << 10) {
                EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % huge, 0u);
                EXPECT_LT(mapped() - live,
                          static_cast<long>((bytes + huge - 1) / huge * huge + huge / 2));
            } else {
                EXPECT_GE(malloc_usable_size(p), bytes); // smaller ones come from the heap
            }
            static_cast<char*>(p)[bytes - 1] = 1;
            FreeLarge(p, bytes);
        }
    }
    EXPECT_LT(mapped() - before, 8L << 20);
    // A small block goes back to the heap, which hands it out again for the same size.
    void* small = AllocateLarge(100);
    FreeLarge(small, 100);
    void* again = AllocateLarge(100);
    EXPECT_EQ(again, small);
    FreeLarge(again, 100);
    // A block larger than any address space is refused, not handed out.
    EXPECT_THROW(AllocateLarge(std::size_t{1} << 62), std::bad_alloc);
}

TEST(ModelStore, DefaultParametersFollowTheTable) {
    // Every parameter whose default is not 0; 55 and 56 depend on the period.
    const std::map<int, double> nonZero = {{16, 1},    {17, 1},    {18, 1}, {19, 0.5},  {20, 0.5},
                                           {21, 1000}, {22, 1000}, {26, 1}, {30, 1},    {31, 1},
                                           {32, 0.5},  {38, 50},   {48, 2}, {52, 1000}, {53, 1000},
                                           {57, 1},    {59, 1},    {60, 1}};
    for (int n = 1; n <= 64; ++n) {
        if (n == 55 || n == 56) continue;
        const auto it = nonZero.find(n);
        EXPECT_EQ(DefaultPar(1, n), it == nonZero.end() ? 0.0 : it->second) << "parameter " << n;
        EXPECT_EQ(DefaultPar(1, n), DefaultPar(0, n)) << "parameter " << n;
    }
    EXPECT_EQ(DefaultPar(0, 55), 1000);
    EXPECT_EQ(DefaultPar(-1, 56), 1000);
    EXPECT_EQ(DefaultPar(1, 55), 0);
    EXPECT_EQ(DefaultPar(7, 56), 0);
}

TEST(ModelStore, StoresCoverTheirWholeRangesIndependently) {
    Model m;
    m.SetVar(-1076, 1, 1.5);
    m.SetVar(5000, 63, 2.5);
    m.SetPar(-1, 1, 3.5);
    m.SetPar(5000, 64, 4.5);
    m.SetPrehistoryPar(-1076, 64, 5.5);
    EXPECT_EQ(m.GetVar(-1076, 1), 1.5);
    EXPECT_EQ(m.GetVar(5000, 63), 2.5);
    EXPECT_EQ(m.GetPar(-1, 1), 3.5);
    EXPECT_EQ(m.GetPar(5000, 64), 4.5);
    EXPECT_EQ(m.PrehistoryPar(-1076, 64), 5.5);
    EXPECT_EQ(m.GetVar(-1075, 1), 0);
    EXPECT_EQ(m.GetPar(0, 1), 0);
    // The program's start gives the periods up to 0 the parameters of period 0.
    m.SetPrehistoryPar(0, 1, 7);
    m.InitialiseForProgramStart();
    for (int t : {-1076, 0})
        EXPECT_EQ(m.PrehistoryPar(t, par::APot), 1000);
    EXPECT_EQ(m.PrehistoryPar(0, 1), 0);
    EXPECT_EQ(m.PrehistoryPar(-1076, 64), 0);
    m.ClearVariables();
    EXPECT_EQ(m.GetVar(5000, 63), 0);
}

TEST(ModelStore, ScratchModeLeavesTheModelAlone) {
    Model m;
    m.SetVar(3, 37, 100);
    m.SetPar(3, 16, 2);
    m.ScratchBase = 3;
    m.ScratchMode = true;
    m.SetVar(3, 37, 999);
    m.SetPar(77, 16, 5); // one parameter row for every period
    EXPECT_EQ(m.GetVar(3, 37), 999);
    EXPECT_EQ(m.GetPar(-1, 16), 5);
    m.ScratchMode = false;
    EXPECT_EQ(m.GetVar(3, 37), 100);
    EXPECT_EQ(m.GetPar(3, 16), 2);
}

TEST(ModelStore, ShiftingTheScratchHistoryAgesEveryRowByOnePeriod) {
    Model m;
    m.ScratchBase = 0;
    m.ScratchMode = true;
    for (int t = -1076; t <= 0; ++t)
        m.SetVar(t, 1, t);
    m.ShiftScratchHistory();
    EXPECT_EQ(m.GetVar(0, 1), 0);  // copy of the row just computed
    EXPECT_EQ(m.GetVar(-1, 1), 0); // the row itself, one period older
    EXPECT_EQ(m.GetVar(-2, 1), -1);
    EXPECT_EQ(m.GetVar(-1076, 1), -1075);
    m.SetVar(0, 1, 42);
    EXPECT_EQ(m.GetVar(-1, 1), 0);
    for (int k = 0; k < 2000; ++k)
        m.ShiftScratchHistory();
    EXPECT_EQ(m.GetVar(-1076, 1), 42);
}

TEST(ModelStore, StartValues) {
    Model m;
    EXPECT_EQ(m.Sw(8), 1);
    EXPECT_EQ(m.Sw(9), 1);
    EXPECT_EQ(m.Sw(13), 10);
    EXPECT_EQ(m.Sw(22), 1);
    EXPECT_EQ(m.Sw(23), 1);
    int nonZero = 0;
    for (int k = 1; k <= 23; ++k)
        nonZero += m.Sw(k) != 0;
    EXPECT_EQ(nonZero, 5);
    EXPECT_EQ(m.Periods.RightEdge, 100);
    EXPECT_EQ(m.Periods.PrevRightEdge, 100);
    EXPECT_EQ(m.Periods.LastSolved, 0);
    EXPECT_EQ(m.Options.MaxIterations, 500);
    EXPECT_DOUBLE_EQ(m.Options.Accuracy, 0.00001);
    EXPECT_EQ(m.Options.SolveAfterInput, 1);
    EXPECT_EQ(m.DecimalPlaces, 2);
    EXPECT_EQ(m.IntegerDigits, 7);

    const int method[8] = {1, 1, 1, 2, 2, 1, 1, 2};
    const int perWage[8] = {0, 0, 0, 0, 0, 1, 1, 1};
    const int target[8] = {1, 2, 3, 7, 8, 10, 11, 12};
    const int source[8] = {37, 38, 39, 31, 40, 48, 49, 50};
    for (int k = 0; k < 8; ++k) {
        const Expectation& e = m.Expect[k];
        EXPECT_EQ(e.Slot, k);
        EXPECT_EQ(e.Method, method[k]) << k;
        EXPECT_EQ(e.PerWagePeriod, perWage[k]) << k;
        EXPECT_EQ(e.TargetVariable, target[k]) << k;
        EXPECT_EQ(e.SourceVariable, source[k]) << k;
        EXPECT_EQ(e.Lags, 1);
        EXPECT_EQ(e.Weight, 100);
        EXPECT_EQ(e.RuleBased, 0);
        EXPECT_TRUE(e.Antecedents.empty());
    }
    EXPECT_EQ(m.Expect[4].Name,
              "Importnachfrageerwartung heimischer Anbieter##Import Demand Expectation of Domestic "
              "Firms");
}

TEST(ModelStore, ExpectationHelpers) {
    Expectation a;
    a.Antecedents = {3, 70};
    a.Method = 3;
    Expectation b;
    CopyExpectation(a, b);
    EXPECT_EQ(b.Method, 3);
    EXPECT_TRUE(b.HasAntecedent(70));
    EXPECT_FALSE(b.HasAntecedent(4));
    a.Antecedents.push_back(4);
    EXPECT_FALSE(b.HasAntecedent(4)); // a deep copy
}

TEST(ModelStore, NewModelFillsDefaultsUpToTheRightEdge) {
    Model m;
    m.Periods.RightEdge = 20;
    m.SetPar(50, 1, 7);
    m.Switch[12] = 2;
    m.ResetParameters();
    EXPECT_EQ(m.GetPar(-1, 31), 1);
    EXPECT_EQ(m.GetPar(20, 31), 1);
    EXPECT_EQ(m.GetPar(21, 31), 0);
    EXPECT_EQ(m.GetPar(50, 1), 0);
    EXPECT_EQ(m.GetPar(0, 55), 1000);
    EXPECT_EQ(m.GetPar(1, 55), 0);
    EXPECT_EQ(m.Sw(12), 0);
}

struct NumberCase {
    double x;
    int decimals, integers;
    const char* text;
};

TEST(ModelStore, FormatNumber) {
    const NumberCase cases[] = {
        {12345.678, 2, 7, "12345.68"},
        {123456789, 2, 7, "1.23456789E+08"},
        {-123456789, 2, 7, "-123456789.00"},
        {-123456789.4, 2, 7, "-123456789.00"}, // nine significant digits, then the decimals
        {0, 2, 7, "0.00"},
        {-0.001, 2, 7, "0.00"},
        {9999999.994, 2, 7, "9999999.99"},
        {10000000, 2, 7, "1.00000000E+07"},
        {1.6, 0, 3, "2"},
        {0.5, 3, 1, "0.500"},
        {1234.5, 3, 3, "1.23450E+03"},
        {5, 0, 0, "5E+00"},
        {-std::nan(""), 2, 7, "NAN"}, // a failed solution, whatever its sign bit
        {-HUGE_VAL, 2, 7, "-INF"},
    };
    for (const auto& c : cases) {
        Model m;
        m.DecimalPlaces = static_cast<uint8_t>(c.decimals);
        m.IntegerDigits = static_cast<uint8_t>(c.integers);
        EXPECT_EQ(m.FormatNumber(c.x), c.text) << c.x;
    }
    Model m;
    m.DecimalSeparator = ',';
    EXPECT_EQ(m.FormatNumber(12345.678), "12345,68");
}

TEST(NumberFormat, CsvFieldsAndFixedNotation) {
    const std::vector<std::string> fields = {"Y",          "Y,erw", "say \"hi\", then",
                                             "two\nlines", "",      " x "};
    std::string line;
    for (const std::string& f : fields)
        line += (line.empty() ? "" : ",") + CsvField(f);
    EXPECT_EQ(CsvFields(line), fields);
    // A closing quote at the end of a view is not doubled by the quote beyond it; a doubled
    // quote that ends the line is a quote.
    EXPECT_EQ(CsvFields(std::string_view("\"a\"\"", 3)), std::vector<std::string>{"a"});
    EXPECT_EQ(CsvFields("\"a\"\""), std::vector<std::string>{"a\""});
    EXPECT_EQ(CsvField("a\rb"), "\"a\rb\"");
    // More integer digits than significant ones: exponent notation.
    EXPECT_EQ(FormatFixed(123456789, 7, 2), "1.234568E+08");
    EXPECT_EQ(FormatFixed(-1234567, 7, 2), "-1234567.00");
    EXPECT_EQ(FormatFixed(7.25, 0, 1), "7.0");                    // at least one significant digit
    EXPECT_EQ(FormatFixed(0.5, 3, 25), "0.50000000000000000000"); // at most 20 decimals
    EXPECT_EQ(FormatFixed(1e18, 25, 0), "1.00000000000000000E+18"); // at most 18 significant digits
    EXPECT_EQ(FormatFixed(HUGE_VAL, 7, 2), "INF");
}

std::set<int> ActiveFor(std::initializer_list<std::pair<int, int>> switches) {
    Model m;
    m.Switch.fill(0);
    for (auto [k, v] : switches)
        m.Switch[k] = static_cast<uint8_t>(v);
    m.UpdateActiveParams();
    std::set<int> on;
    for (int n = 1; n <= 64; ++n)
        if (m.ActiveParams[n]) on.insert(n);
    return on;
}

TEST(ModelStore, ActiveParametersFollowTheSwitches) {
    // Everything off: the simplest model.
    EXPECT_EQ(ActiveFor({}), (std::set<int>{1,  2,  5,  6,  7,  10, 11, 12, 13, 14, 15, 16, 17,
                                            21, 22, 23, 24, 25, 26, 31, 32, 38, 39, 40, 45, 46,
                                            47, 48, 49, 50, 51, 52, 60, 61, 62, 63, 64}));
    // Separate propensities, accelerator with floor, substitutional technology, mark-up
    // prices, dynamic foreign prices, endogenous wages, separate taxes, bond market,
    // money creation, flexible rates.
    EXPECT_EQ(ActiveFor({{1, 1},
                         {3, 1},
                         {4, 1},
                         {6, 1},
                         {11, 1},
                         {12, 2},
                         {14, 1},
                         {16, 1},
                         {17, 1},
                         {18, 1},
                         {21, 1}}),
              (std::set<int>{1,  3,  4,  5,  6,  8,  9,  10, 11, 12, 13, 14, 15, 18, 19, 20,
                             21, 22, 23, 24, 25, 27, 28, 29, 30, 33, 34, 35, 36, 37, 41, 42,
                             43, 44, 45, 46, 48, 49, 50, 51, 53, 57, 58, 61, 62, 63, 64}));
    // Dynamic foreign prices alone, the wage share from the wage bill, growing money supply.
    EXPECT_EQ(
        ActiveFor({{11, 1}, {15, 1}, {20, 1}}),
        (std::set<int>{1,  2,  5,  6,  7,  10, 11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 25,
                       27, 31, 32, 39, 40, 45, 46, 47, 48, 49, 50, 51, 54, 60, 61, 62, 63, 64}));
    const auto accelerator = ActiveFor({{3, 1}}); // without its floor
    EXPECT_TRUE(accelerator.count(8) && !accelerator.count(9) && !accelerator.count(7));
    // Balance-of-payments influence: the money supply parameters switch.
    const auto bop = ActiveFor({{19, 1}});
    EXPECT_TRUE(bop.count(55) && bop.count(59));
    EXPECT_FALSE(bop.count(52) || bop.count(56) || bop.count(57) || bop.count(58));
    const auto bopMulti = ActiveFor({{19, 1}, {18, 1}});
    EXPECT_TRUE(bopMulti.count(56) && bopMulti.count(57) && bopMulti.count(58) &&
                bopMulti.count(59));
    EXPECT_FALSE(bopMulti.count(55) || bopMulti.count(53));
    const auto growing = ActiveFor({{19, 1}, {18, 1}, {20, 1}});
    EXPECT_TRUE(growing.count(54));
    EXPECT_FALSE(growing.count(56));
    EXPECT_FALSE(ActiveFor({{18, 1}, {20, 1}}).count(53)); // the base grows, no stock given
    EXPECT_FALSE(ActiveFor({{19, 1}, {20, 1}}).count(55)); // money grows, no change given
    // Profit-maximising prices: no price parameter; the wage share only when all are 0.
    const auto pm = ActiveFor({{12, 1}});
    EXPECT_FALSE(pm.count(28) || pm.count(29) || pm.count(30) || pm.count(31) || pm.count(38));
    EXPECT_FALSE(ActiveFor({{15, 1}}).count(38) || ActiveFor({{14, 1}}).count(38));
}

TEST(ModelStore, KeyVariablesDependOnTheStructure) {
    Model m;
    EXPECT_TRUE(m.IsKeyVariable(31) && m.IsKeyVariable(36) && m.IsKeyVariable(37));
    EXPECT_FALSE(m.IsKeyVariable(13) || m.IsKeyVariable(47) || m.IsKeyVariable(50));
    m.Switch[17] = 2;
    m.Switch[12] = 1;
    m.Switch[14] = 2;
    for (int n : {13, 15, 47, 48, 50, 55})
        EXPECT_TRUE(m.IsKeyVariable(n)) << n;
    EXPECT_FALSE(m.IsKeyVariable(1));
}

} // namespace
} // namespace tv
