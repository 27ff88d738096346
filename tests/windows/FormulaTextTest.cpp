#include "windows/FormulaText.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

// Every character 10 pixels wide, 12 high (14 on a printer), 8 points.
class FixedMetrics : public FormulaMetrics {
  public:
    explicit FixedMetrics(bool printer = false) : printer_(printer) {}
    int Width(std::string_view text) const override {
        int n = 0;
        for (unsigned char c : text)
            n += (c & 0xC0) != 0x80; // count code points
        return 10 * n;
    }
    int Height(std::string_view) const override { return printer_ ? 14 : 12; }
    int PointSize() const override { return 8; }
    bool Printer() const override { return printer_; }

  private:
    bool printer_;
};

constexpr FormulaRect Rect{100, 50, 300, 20}; // base y = 50 + 20 - 12 - 4 = 54

struct LayoutCase {
    const char* name;
    std::string text;
    std::string highlight;
    bool centred;
    int language;
    std::vector<FormulaRun> runs;
};

class FormulaLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(FormulaLayout, Runs) {
    const LayoutCase& c = GetParam();
    FixedMetrics metrics;
    EXPECT_EQ(LayoutFormulaText(metrics, Rect, 5, c.highlight, c.text, c.centred, c.language),
              c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    Markup, FormulaLayout,
    testing::Values(LayoutCase{"Empty", "", "", false, 1, {}},
                    LayoutCase{"Plain", "I = 100", "", false, 1, {{"I = 100", 105, 54, 0, false}}},
                    LayoutCase{"Raised",
                               "C~aut~",
                               "",
                               false,
                               1,
                               {{"C", 105, 54, 0, false}, {"aut", 115, 50, 4, false}}},
                    LayoutCase{"Lowered",
                               "c\xC2\xA7YL\xC2\xA7*Y",
                               "",
                               false,
                               1,
                               {{"c", 105, 54, 0, false},
                                {"YL", 115, 58, -4, false},
                                {"\xE2\x80\xA2Y", 135, 54, 0, false}}},
                    // A lowering mark ends a raised run at once and vice versa.
                    LayoutCase{"SwitchDirectly",
                               "a~b\xC2\xA7"
                               "c~d",
                               "",
                               false,
                               1,
                               {{"a", 105, 54, 0, false},
                                {"b", 115, 50, 4, false},
                                {"c", 125, 58, -4, false},
                                {"d", 135, 50, 4, false}}},
                    // Centred on the width without markup: 5 characters of 10 in 300.
                    LayoutCase{"Centred",
                               "Y~erw~ü",
                               "",
                               true,
                               1,
                               {{"Y", 225, 54, 0, false},
                                {"erw", 235, 50, 4, false},
                                {"ü", 265, 54, 0, false}}},
                    LayoutCase{"English",
                               "Y~erw~ = mittel[Y~tats~]",
                               "",
                               false,
                               2,
                               {{"Y", 105, 54, 0, false},
                                {"exp", 115, 50, 4, false},
                                {" = mean[Y", 145, 54, 0, false},
                                {"act", 235, 50, 4, false},
                                {"]", 265, 54, 0, false}}},
                    LayoutCase{"GermanKeepsAbbreviations",
                               "mit: sonst:",
                               "",
                               false,
                               1,
                               {{"mit: sonst:", 105, 54, 0, false}}},
                    LayoutCase{"Highlight",
                               "C = C~aut~",
                               "C",
                               false,
                               1,
                               {{"C", 105, 54, 0, true},
                                {" = ", 115, 54, 0, false},
                                {"C", 145, 54, 0, true},
                                {"aut", 155, 50, 4, false}}},
                    // Occurrences are searched again after the end of each one found.
                    LayoutCase{"HighlightDoesNotOverlap",
                               "aaa",
                               "aa",
                               false,
                               1,
                               {{"aa", 105, 54, 0, true}, {"a", 125, 54, 0, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormulaText, PrinterRaisesByHalfTheCharacterHeight) {
    FixedMetrics printer(true);
    // Height 14: c = (20 - 14) / 2 = 3, base y = 50 + 20 - 14 - 3 = 53.
    const auto runs = LayoutFormulaText(printer, Rect, 0, "", "K~beta~", false, 1);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].Shift, 7);
    EXPECT_EQ(runs[1].Y, 46);
}

TEST(FormulaText, StripAndEnglishReading) {
    EXPECT_EQ(StripMarkup("c\xC2\xA7YL\xC2\xA7 + C~aut~"), "cYL + Caut");
    EXPECT_EQ(StripMarkup("Gütermarkt"), "Gütermarkt");
    EXPECT_EQ(EnglishFormula("S,ungepl mit: x sonst: y ~erw~ tats mittel["),
              "S,unpl with: x else: y ~exp~ act mean[");
}

} // namespace
} // namespace tv
