#include "core/EquationText.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using namespace tv;

namespace {

struct Case {
    int sector, category;
    std::vector<std::pair<int, int>> switches; // on top of all switches 0
    const char* main;
    const char* second;
    const char* third;
};

Switches With(const std::vector<std::pair<int, int>>& values) {
    Switches s{};
    for (auto [k, v] : values)
        s[k] = static_cast<uint8_t>(v);
    return s;
}

} // namespace

// Every switch combination that changes a text, with the texts as the pages show them.
TEST(EquationText, FormulaLinesBySwitches) {
    const Case cases[] = {
        {1, 1, {}, "C = C~aut~ + c§Y§*YV - c§r§*r", "", ""},
        {1, 1, {{1, 1}}, "C = C~aut~ + c§YL§*YLV + c§YU§*YUV - c§r§*r", "", ""},
        {1, 1, {{2, 1}}, "C = C~aut~ + c§Y§*YV - c§r§*r + S~unw~(t-1)", "", ""},
        {1,
         1,
         {{1, 1}, {2, 1}},
         "C = C~aut~ + c§YL§*YLV + c§YU§*YUV - c§r§*r + S~unw~(t-1)",
         "",
         ""},
        {1, 2, {}, "I = I~aut~ + b§Y§*Y + b§YU§*YUV - b§r§*r", "", ""},
        {1, 2, {{4, 1}}, "I = I~aut~ + b§Y§*Y + b§YU§*YUV - b§r§*r", "", ""},
        {1, 2, {{3, 1}}, "I = I~aut~ + b§dY§*dY + b§YU§*YUV - b§r§*r", "", ""},
        {1,
         2,
         {{3, 1}, {4, 1}},
         "I = I~aut~ + b§dY§*dY + b§YU§*YUV - b§r§*r",
         "b§dY§*dY >= - d§K§*K",
         ""},
        {1,
         2,
         {{3, 1}, {4, 1}, {5, 1}},
         "I = I~aut~ + b§dY§*dY + b§YU§*YUV - b§r§*r - I~unw~(t-1)",
         "b§dY§*dY >= - d§K§*K",
         ""},
        {1, 2, {{5, 1}}, "I = I~aut~ + b§Y§*Y + b§YU§*YUV - b§r§*r - I~unw~(t-1)", "", ""},
        {1, 3, {}, "G = G~aut~ + g§T§*T", "", ""},
        {1, 4, {}, "Ex = Ex~aut~ + x§e§*e", "", ""},
        {2, 1, {}, "Y = min(a*A, k*K)", "K = K(-1) + I~tats~(-1) für t>0", ""},
        {2, 1, {{6, 1}, {8, 1}}, "Y = q*(A~alpha~)*(K~beta~)", "", ""},
        {2, 2, {}, "Im = Im~aut~ + m§Y§*Y + m§e§/e", "PA = PA~exog~", ""},
        {2,
         2,
         {{9, 1}, {10, 1}, {11, 1}},
         "Im = Im~aut~ + m§Y§*Y~erw~ + m§e§/e - Im~unw~(t-1)",
         "PA = (1 + gPA%)*PA(-TZR);  gPA = gPA~exog~",
         ""},
        {2,
         2,
         {{11, 1}},
         "Im = Im~aut~ + m§Y§*Y + m§e§/e",
         "PA = (1 + gPA%)*PA(-TZR);  gPA = gPA~exog~",
         ""},
        {2, 3, {}, "P = P~exog~", "", ""},
        {2, 3, {{12, 1}}, "P = (dA/dY)*w~nom~", "", ""},
        {2,
         3,
         {{12, 2}},
         "P = [1 + j~aut~ + j§Y§*(Y/Y~pot~)]*LSK",
         "Preisuntergrenze: P >= P~u~",
         ""},
        {2,
         3,
         {{12, 3}},
         "P = (Y/X)*[1 + j~aut~ + j§Y§*(Y/Y~pot~)]*LSK + (Im/X)*e~nom~*PA",
         "Preisuntergrenze: P >= P~u~",
         ""},
        {2, 3, {{12, 4}}, "", "", ""},
        {2, 4, {}, "wN = wN~exog~", "", ""},
        {2,
         4,
         {{14, 1}, {23, 4}},
         "wN = (1 + gwN(TVP)%)*wN(-4))",
         "gwN = w§gP§*gP~erw~ + w§ga§*ga~erw~ + w§u§*(u~nat~-u~erw~) + w§V§",
         ""},
        {2,
         4,
         {{14, 2}, {23, 12}},
         "wN = (1 + gwNV(TVP)% + gwNM%)*wN(TVP-12)",
         "gwNV = w§gP§*gP~erw~ + w§ga§*ga~erw~ + w§V§",
         "gwNM = w§u§*(u~nat~-u~erw~)"},
        {3, 1, {}, "Y = YL + YU = LQ%*Y + (1-LQ%)*Y", "mit: LQ = LQ~exog~", ""},
        {3, 1, {{15, 1}}, "Y = YL + YU = LQ%*Y + (1-LQ%)*Y", "mit: LQ = (w~nom~*A)/(P*Y)*100", ""},
        {3, 1, {{12, 2}}, "Y = YL + YU = LQ%*Y + (1-LQ%)*Y", "mit: LQ = (w~nom~*A)/(P*Y)*100", ""},
        {3, 1, {{14, 1}}, "Y = YL + YU = LQ%*Y + (1-LQ%)*Y", "mit: LQ = (w~nom~*A)/(P*Y)*100", ""},
        {3, 2, {}, "T = T~aut~ + t§Y§*Y", "", ""},
        {3, 2, {{16, 1}}, "T = TL~aut~ + TU~aut~ + t§YL§*YL + t§YU§*YU", "", ""},
        {3, 3, {}, "Tr = SB~aut~ + Sub~aut~", "", ""},
        {4, 2, {}, "L = LT + LS", "LT = l§Y§*Y", "LS =  L~aut~ - l§i§*i  mit:  i >= i~u"},
        {4,
         3,
         {{20, 1}, {19, 1}, {18, 1}},
         "MN = BGN + SEN   und   MBN = BGN + MRN",
         "BGN = b§M§*MN  MRN = r§SE§*SEN  MBN = MBN(-1) + dMBHN + dWRN",
         "tGP: dMBNH = gMBN/100*MBN(-1) - n§WR§*dWRN; sonst: dMBHN = -n§WR§*dWRN"},
        {4,
         3,
         {{20, 1}, {19, 1}},
         "MN = MN(-1) + dMHN + dWRN",
         "tGP: dMHN = gMN/100*MN(-1) - n§WR§*dWRN; sonst: dMHN = -n§WR§*dWRN",
         "dWRN = Z*P"},
        {4,
         3,
         {{20, 1}, {18, 1}, {22, 6}},
         "MN = BGN + SEN und MBN = BGN + MRN",
         "BGN = b§M§*MN  MRN = r§SE§*SEN  MBN = (1+gMBN/100)*MBN(-6)",
         ""},
        {4, 3, {{20, 1}, {22, 3}}, "MN = (1+gMN/100)*MN(-3)", "", ""},
        {4,
         3,
         {{19, 1}, {18, 1}},
         "MN = BGN + SEN   und   MBN = BGN + MRN",
         "BGN = b§M§*MN  MRN = r§SE§*SEN  dMBN = dMBHN + dWRN",
         "dMBHN = dMBHN~aut~ - n§WR§*dWRN   mit: WRN = P*Z"},
        {4,
         3,
         {{19, 1}},
         "MN = MN(-1) + dMHN + dWRN",
         "dMHN = dMHN~aut~ - n§WR§*dWRN",
         "dWRN = P*Z"},
        {4,
         3,
         {{18, 1}},
         "MN = BGN + SEN  MBN = BGN + MRN",
         "BGN = b§M§*MN  MRN = r§SE§*SEN  MBN = MBN~aut~",
         ""},
        {4, 3, {}, "MN = MN~aut~", "", ""},
        {4, 3, {{17, 2}}, "MN = MN~aut~", "", ""}, // the bond market's form does not count
        {5, 2, {}, "NK = f§NK§*NK(-1) + (1-f§NK§)*(NK~aut~ + k§di§*(i - iA))", "", ""},
        {6, 1, {}, "", "", ""},
        {1, 5, {}, "", "", ""},
    };
    for (const Case& c : cases) {
        const EquationLines e = EquationText(With(c.switches), 1, c.sector, c.category);
        SCOPED_TRACE(std::to_string(c.sector) + "/" + std::to_string(c.category) + " " + c.main);
        EXPECT_EQ(e.Main, c.main);
        EXPECT_EQ(e.Second, c.second);
        EXPECT_EQ(e.Third, c.third);
    }
}

TEST(EquationText, NotesFollowSwitchesAndLanguage) {
    EXPECT_TRUE(EquationText(With({}), 1, 2, 3).Notes.empty());
    const auto pricing = EquationText(With({{12, 1}}), 2, 2, 3).Notes;
    ASSERT_EQ(pricing.size(), 1u);
    EXPECT_EQ(pricing[0].substr(0, 30), "With profit-maximising pricing");
    EXPECT_NE(pricing[0].find("is reached.\r\nAn explicit"), std::string::npos);
    const auto pricingDe = EquationText(With({{12, 1}}), 1, 2, 3).Notes;
    ASSERT_EQ(pricingDe.size(), 1u);
    EXPECT_EQ(pricingDe[0].substr(0, 39), "Bei gewinnmaximierendem Preissetzungsve");
    EXPECT_NE(pricingDe[0].find("erreicht ist.\r\nEine explizite"), std::string::npos);

    EXPECT_TRUE(EquationText(With({}), 1, 3, 1).Notes.empty());
    EXPECT_EQ(EquationText(With({{15, 1}}), 1, 3, 1).Notes.size(), 1u);

    const auto bonds = EquationText(With({}), 1, 4, 1);
    EXPECT_EQ(bonds.LineCount(), 0);
    EXPECT_EQ(bonds.Notes, (std::vector<std::string>{"Wertpapiernachfrage = Wertpapierangebot\r\n",
                                                     "Nachfrage: WN = M\r\nAngebot: WA = L"}));
    EXPECT_EQ(EquationText(With({{17, 1}}), 2, 4, 1).Notes,
              (std::vector<std::string>{"Demand for Bonds = Supply of Bonds\r\n",
                                        "Demand: WN = KA + M\r\nSupply: WA = KN + L"}));

    // Fixed exchange rates: four empty parts.
    EXPECT_EQ(EquationText(With({}), 1, 5, 1), EquationLines{});
    const auto flexDe = EquationText(With({{21, 1}}), 1, 5, 1).Notes;
    ASSERT_EQ(flexDe.size(), 1u);
    EXPECT_NE(flexDe[0].find("gebracht werden.\r\n Die Möglichkeit"), std::string::npos);
    const auto flexEn = EquationText(With({{21, 1}}), 2, 5, 1).Notes;
    ASSERT_EQ(flexEn.size(), 1u);
    EXPECT_EQ(flexEn[0].substr(0, 14), "\r\nThe exchange");
}

TEST(EquationText, LineCountDecidesTheFormulaRows) {
    EXPECT_EQ(EquationText(With({}), 1, 1, 3).LineCount(), 1);
    EXPECT_EQ(EquationText(With({}), 1, 2, 1).LineCount(), 2);
    EXPECT_EQ(EquationText(With({}), 1, 4, 2).LineCount(), 3);
}

// In English no page shows a German word; the formulas stay the same in both languages.
TEST(EquationText, EnglishPagesHaveNoGermanWords) {
    const std::vector<std::vector<std::pair<int, int>>> settings = {
        {},
        {{8, 0}, {12, 1}, {15, 1}, {21, 1}},
        {{12, 2}, {18, 1}, {19, 1}},
        {{12, 3}, {18, 1}, {19, 1}, {20, 1}, {22, 4}},
        {{19, 1}, {20, 1}, {22, 4}},
        {{18, 1}, {20, 1}, {22, 4}},
    };
    const char* german[] = {" und ", "mit:", "sonst:", "für", "Preis", "ä", "ö", "ü", "##"};
    for (const auto& s : settings) {
        for (int sector = 1; sector <= 5; ++sector) {
            for (int category = 1; category <= 4; ++category) {
                const EquationLines en = EquationText(With(s), 2, sector, category);
                const EquationLines de = EquationText(With(s), 1, sector, category);
                std::vector<std::string> lines = {en.Main, en.Second, en.Third};
                lines.insert(lines.end(), en.Notes.begin(), en.Notes.end());
                for (const std::string& line : lines)
                    for (const char* word : german)
                        EXPECT_EQ(line.find(word), std::string::npos)
                            << sector << "/" << category << ": " << line;
                EXPECT_EQ(en.LineCount(), de.LineCount()) << sector << "/" << category;
            }
        }
    }
}
