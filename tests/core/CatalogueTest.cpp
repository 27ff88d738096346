#include "core/Catalogue.h"
#include "RecordingHost.h"
#include "core/Model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tv {
namespace {

TEST(Catalogue, TranslatePicksTheHalfForTheLanguage) {
    EXPECT_EQ(Translate("Konsum##Consumption", 1), "Konsum");
    EXPECT_EQ(Translate("Konsum##Consumption", 2), "Consumption");
    EXPECT_EQ(Translate("Ok", 1), "Ok");
    EXPECT_EQ(Translate("Ok", 2), "Ok");
    EXPECT_EQ(Translate("Perioden##", 2), "Perioden");
    EXPECT_EQ(Translate("##only english", 1), "");
    EXPECT_EQ(Translate("a##b##c", 2), "b");
    EXPECT_EQ(TranslateCapitalised("übertragungen##transfers", 1), "Übertragungen");
    EXPECT_EQ(TranslateCapitalised("&datei##&file", 2), "&File");
    EXPECT_EQ(TranslateCapitalised("", 2), "");
}

TEST(Catalogue, FillInReplacesPlaceholdersInBothHalves) {
    struct Case {
        const char* text;
        std::initializer_list<std::string_view> args;
        const char* filled;
    };
    const Case cases[] = {
        {"bis t = %1##up to t = %1", {"7"}, "bis t = 7##up to t = 7"},
        {"%2 nach %1##%1 before %2", {"a", "b"}, "b nach a##a before b"},
        {"%1%.##%1%.", {"12,5"}, "12,5%.##12,5%."},            // a percent sign after a placeholder
        {"%1 und %3##%1 and %3", {"x"}, "x und %3##x and %3"}, // no argument: kept
        {"%1##%1", {"%2"}, "%2##%2"},                          // arguments are not scanned again
        {"100% ##100% ", {}, "100% ##100% "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillIn(c.text, c.args), c.filled) << c.text;
}

TEST(Catalogue, SymbolsComeFromTheFirstParenthesis) {
    EXPECT_EQ(ParamSymbol(55, 0), "MN(-oo)");
    EXPECT_EQ(ParamSymbol(56, -3), "MBN(-oo)");
    EXPECT_EQ(ParamSymbol(55, 1), "dMHN,aut");
    EXPECT_EQ(ParamSymbol(51, 1), "i,u");
    EXPECT_EQ(ParamSymbol(8, 1), "b[dY]");
    EXPECT_EQ(ParamSymbol(1, 1), "C,aut");
    EXPECT_EQ(ParamSymbol(0, 1, 2), "no entry");
    EXPECT_EQ(VarSymbol(4), "YV,er"); // its parenthesis closes after the English half
    EXPECT_EQ(VarSymbol(37), "Y");
    EXPECT_EQ(VarSymbol(59), "LQ");
}

TEST(Catalogue, NamesKeepTheProgramsOwnTexts) {
    EXPECT_EQ(ParamName(0), " nicht belegt##no entry");
    EXPECT_EQ(ParamName(8), "Akzelerator (b[dY])##Accelerator (b[dY)");
    EXPECT_EQ(
        ParamName(64),
        "Friktionskoeff. des Kapitalverk. (f[NK])##Capital Flows Friction Coefficient (f[NK])");
    EXPECT_EQ(VarName(1), "Einkommmen, erw. (Y,erw)##Income, exp. (Y,exp)");
    EXPECT_EQ(VarName(63), "Investitionen,ungew. (I,unw)##Investment,unw. (I,unw)");
    EXPECT_EQ(SectorTitle(4), "&Wertpapiermarkt##&Bond Market");
    EXPECT_EQ(CategoryTitle(5, 2), "Internationaler Kapitalverkehr##International Capital Flows");
    EXPECT_EQ(CategoryTitle(3, 4), "");
    EXPECT_EQ(CategoryLongTitle(2, 4), "Nominallohnbildung##Nominal Wage Development");
    // The first and last entries of the title tables.
    EXPECT_EQ(SectorTitle(6), "&Erwartungen##E&xpectations");
    EXPECT_EQ(CategoryTitle(1, 1), "Konsum##Consumption");
    EXPECT_EQ(CategoryTitle(1, 4), "Exporte##Exports");
    EXPECT_EQ(CategoryLongTitle(1, 1), "Konsum der privaten Haushalte##Private Consumption");
    EXPECT_EQ(CategoryLongTitle(5, 2), "Nettokapitalimporte##Capital Account Surplus");
}

TEST(Catalogue, MarkupAndSymbolLookup) {
    EXPECT_EQ(ToMarkup("c[YL]"), "c\xC2\xA7YL\xC2\xA7");
    EXPECT_EQ(ToMarkup("C,aut"), "C~aut");
    EXPECT_EQ(ToMarkup("dMHN,aut"), "dMHN~aut");
    EXPECT_EQ(ToMarkup("Y"), "Y");
    EXPECT_EQ(SymbolIndex("C"), 64 + 27);
    EXPECT_EQ(SymbolIndex("C,aut"), 1);
    EXPECT_EQ(SymbolIndex("MN(-oo)"), 55);
    EXPECT_EQ(SymbolIndex("MBN(-oo)"), 56);
    EXPECT_EQ(SymbolIndex("nothing"), 0);
    EXPECT_EQ(SymbolIndex("Y"), 64 + 37);
    EXPECT_EQ(FindParamByText("Akzelerator"), 8);
    EXPECT_EQ(FindVarByText("Geldmenge, real"), 22);
    EXPECT_EQ(FindVarByText("nowhere"), 0);
    EXPECT_EQ(FindParamByText("nowhere"), 0);
    EXPECT_EQ(FindParamByText("(f[NK])"), 64); // the last one
}

TEST(Catalogue, CategoryRanges) {
    struct Range {
        int sector, category, first, last;
    };
    const Range ranges[] = {
        {1, 1, 1, 5},   {1, 2, 6, 11},  {1, 3, 12, 13}, {1, 4, 14, 15}, {2, 1, 16, 22},
        {2, 2, 23, 27}, {2, 3, 28, 31}, {2, 4, 32, 37}, {3, 1, 38, 38}, {3, 2, 39, 44},
        {3, 3, 45, 46}, {4, 1, 47, 47}, {4, 2, 48, 51}, {4, 3, 52, 59}, {5, 1, 60, 60},
        {5, 2, 61, 64}, {1, 0, 1, 15},  {2, 0, 16, 37}, {5, 0, 60, 64},
    };
    for (const auto& r : ranges) {
        EXPECT_EQ(CategoryFirst(r.sector, r.category), r.first) << r.sector << "/" << r.category;
        EXPECT_EQ(CategoryLast(r.sector, r.category), r.last) << r.sector << "/" << r.category;
        EXPECT_EQ(CategorySize(r.sector, r.category), r.last - r.first + 1);
    }
    for (auto [sector, count] : {std::pair{0, 0}, {3, 3}, {5, 2}, {6, 0}})
        EXPECT_EQ(CategoryCount(sector), count) << sector;
}

// The admissible ranges, one line per rule: parameters, a refused and an accepted value.
struct RangeRule {
    std::vector<int> params;
    std::vector<double> refused, accepted;
    const char* minimum;
    const char* maximum;
};

TEST(Catalogue, CheckParameterRanges) {
    const RangeRule rules[] = {
        {{1,  5,  6,  8,  10, 11, 12, 14, 15, 23, 25, 28, 29,
          33, 35, 39, 41, 42, 45, 46, 47, 49, 50, 51, 62, 63},
         {-0.001},
         {0, 1e9},
         "0 <= ",
         nullptr},
        {{2, 3, 4, 7, 24, 34, 40, 43, 44, 57, 58, 59}, {-0.1, 1.01}, {0.5, 1}, "0 <= ", "1 >= "},
        {{16, 17, 18, 21, 22, 26, 30, 31, 32, 48, 52, 53, 60}, {0, -1}, {0.001}, "0 < ", nullptr},
        {{19, 20}, {0, 1}, {0.5}, "0 < ", "1 > "},
        {{36, 38}, {-1, 100.5}, {0, 100}, "0 <= ", "100 >= "},
        {{64}, {1, -0.5}, {0, 0.99}, "0 <= ", "1 > "},
        {{9, 13, 27, 37, 54, 61}, {}, {-1e6, 0, 1e6}, nullptr, nullptr},
    };
    std::array<double, 64> row{};
    row.fill(0.5);
    Model m;
    for (const auto& rule : rules) {
        for (int n : rule.params) {
            for (double x : rule.accepted) {
                test::RecordingHost host(1);
                EXPECT_TRUE(CheckParameter(m, host, n, 3, x, row)) << n << " " << x;
                EXPECT_TRUE(host.messages.empty());
            }
            for (double x : rule.refused) {
                test::RecordingHost host(1);
                EXPECT_FALSE(CheckParameter(m, host, n, 3, x, row)) << n << " " << x;
                ASSERT_EQ(host.messages.size(), 1u);
                const std::string& msg = host.messages[0];
                EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});
                const std::string symbol = ParamSymbol(n, 3);
                EXPECT_EQ(msg.find(std::string("Minimum: ") + rule.minimum + symbol) !=
                              std::string::npos,
                          true)
                    << msg;
                if (rule.maximum)
                    EXPECT_NE(msg.find(std::string("\r\nMaximum: ") + rule.maximum + symbol),
                              std::string::npos)
                        << msg;
                else
                    EXPECT_EQ(msg.find("Maximum"), std::string::npos);
            }
        }
    }
    for (int n : {-1, 0, 65}) // no parameter, no range
        EXPECT_EQ(AdmissibleRange(n).kind, ParameterRange::Free) << n;
}

TEST(Catalogue, CheckParameterMessageText) {
    Model m;
    std::array<double, 64> row{};
    test::RecordingHost host(1);
    EXPECT_FALSE(CheckParameter(m, host, 2, 4, 1.5, row));
    EXPECT_EQ(host.messages[0],
              "Parameter Check: Unzulässige Eingabe für Konsumquote,marg. (c[Y]) in t = 4\r\n"
              "\r\nMinimum: 0 <= c[Y]\r\nMaximum: 1 >= c[Y] | Bisheriger Wert wird "
              "wiederhergestellt.");
    m.Language = 2;
    EXPECT_FALSE(CheckParameter(m, host, 48, 7, 0, row));
    EXPECT_EQ(host.messages[1],
              "Parameter Check: Invalid input data for Income-Sensitivity of Money Demand (l[Y]) "
              "in t = 7\r\n\r\nMinimum: 0 < l[Y] | Previous value will be restored.");
}

// Magnitudes above 1E15 overflow the solution and are refused with the range message;
// what is not a number is called so, without a range.
TEST(Catalogue, CheckParameterRefusesHugeValuesAndNonNumbers) {
    struct Case {
        int n;
        double x;
        bool accepted;
        const char* says; // a line of the message, nullptr when accepted
    };
    const Case cases[] = {
        {54, 1e15, true, nullptr},
        {54, -1e15, true, nullptr},
        {1, 1e15, true, nullptr},
        {54, 1.0000001e15, false, "\r\nMaximum: 1E15 >= |gMN,aut|"},
        {54, -1e308, false, "\r\nMaximum: 1E15 >= |gMN,aut|"},
        {13, INFINITY, false, "\r\nMaximum: 1E15 >= |"},
        {1, 1e16, false, "\r\nMinimum: 0 <= C,aut\r\nMaximum: 1E15 >= |C,aut|"},
        {1, -1e16, false, "\r\nMinimum: 0 <= C,aut | "}, // the minimum says it
        {2, 1e16, false, "\r\nMaximum: 1 >= c[Y] | "},   // the maximum says it
        {13, NAN, false, "in t = 3\r\n\r\nDie Eingabe ist keine Zahl. | "},
        {2, NAN, false, "in t = 3\r\n\r\nDie Eingabe ist keine Zahl. | "},
    };
    std::array<double, 64> row{};
    row.fill(0.5);
    Model m;
    for (const Case& c : cases) {
        test::RecordingHost host(1);
        EXPECT_EQ(CheckParameter(m, host, c.n, 3, c.x, row), c.accepted) << c.n << " " << c.x;
        if (c.accepted) {
            EXPECT_TRUE(host.messages.empty());
            continue;
        }
        ASSERT_EQ(host.messages.size(), 1u) << c.n << " " << c.x;
        EXPECT_NE(host.messages[0].find(c.says), std::string::npos) << host.messages[0];
        EXPECT_EQ(host.sounds, std::vector<std::string>{"SoNicht.wav"});
        if (std::isnan(c.x)) {
            EXPECT_EQ(host.messages[0].find("imum"), std::string::npos);
        }
    }
    m.Language = 2;
    test::RecordingHost host(1);
    EXPECT_FALSE(CheckParameter(m, host, 13, 3, NAN, row));
    EXPECT_NE(host.messages[0].find("\r\n\r\nThe entry is not a number."), std::string::npos);
}

TEST(Catalogue, MoneyStocksArePositiveOnlyInPeriodZero) {
    Model m;
    std::array<double, 64> row{};
    test::RecordingHost host(1);
    EXPECT_FALSE(CheckParameter(m, host, 55, 0, 0, row));
    EXPECT_NE(host.messages[0].find("Minimum: 0 < MN(-oo)"), std::string::npos);
    EXPECT_TRUE(CheckParameter(m, host, 55, 1, -5, row));
    EXPECT_TRUE(CheckParameter(m, host, 56, 2, 0, row));
}

TEST(Catalogue, CurrencyRatioAndReserveRatioNotBothZero) {
    Model m;
    std::array<double, 64> row{};
    row[56] = 0;   // b[M]
    row[57] = 0.1; // r[SE]
    test::RecordingHost host(1);
    EXPECT_TRUE(CheckParameter(m, host, 57, 2, 0, row));
    row[57] = 0;
    EXPECT_FALSE(CheckParameter(m, host, 57, 2, 0, row));
    EXPECT_FALSE(CheckParameter(m, host, 58, 2, 0, row));
    EXPECT_TRUE(CheckParameter(m, host, 58, 2, 0.2, row));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0],
              "Parameter Check: Bargeldquote b[M] und Mindestreservesatz r[SE] in t = 2 sind null "
              "(-> unendl. Geldschöpfungsmultiplikator). | Bisheriger Wert wird "
              "wiederhergestellt.");
}

} // namespace
} // namespace tv
