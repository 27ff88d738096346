#include "windows/EquationSystem.h"

#include "TestModels.h"
#include "core/Model.h"
#include "core/RuleServer.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace tv {
namespace {

using test::SetAll;

// One expected line: its exact text and code.
struct Line {
    std::string text;
    int code;
};

struct TreeCase {
    const char* name;
    std::function<void(Model&)> setup;
    int period;
    std::vector<Line> present;
    std::vector<std::string> absentPrefixes;
    int language = 1;
};

Model Base() {
    Model m = test::KeynesianModel();
    m.Periods.RightEdge = 10;
    return m;
}

void Switches(Model& m, std::initializer_list<std::pair<int, int>> sw) {
    for (auto [k, v] : sw)
        m.Switch[k] = static_cast<uint8_t>(v);
}

const std::vector<TreeCase>& Cases() {
    static const std::vector<TreeCase> cases = {
        {"KeynesianPeriod1",
         [](Model&) {},
         1,
         {{"Gütermarkt", 10},
          {"Nachfrage: N = C + I + G", 10},
          {"C = 100 + 0.8*YV~erw~", 11},
          {"I = 100", 12},
          {"G = 100", 13},
          {"Y~erw~ = Y~tats~", 60},
          {"Angebot: X = Y", 20},
          {"Y = N~erw~", 61},
          {"N~erw~ = N(-1)", 63},
          {"P = 1", 23},
          {"(Um-) Verteilung", 30},
          {"LQ = 50 %", 31},
          {"Verfügbares Einkommen: YV = Y", 31},
          {"nachrichtlich: Kapitalmarkt (Ströme)", 40},
          {"Nachfrage: dKN = I", 40},
          {"Angebot: dKA = S + BS", 40},
          {"S = YV~erw~ - C", 0},
          {"BS = - G", 0}},
         {"Ex =", "Im =", "r~erw~", "Arbeitsmarkt", "Wertpapiermarkt", "Devisenmarkt"}},
        {"Period0CarriesTheEquilibriumCondition",
         [](Model&) {},
         0,
         {{"Gütermarkt: N = X (GG-Bed)", 10}},
         {}},
        {"NoConsumptionLineWhenAllCoefficientsAreZero",
         [](Model& m) {
             SetAll(m, {{par::CAut, 0}, {par::cY, 0}});
         },
         1,
         {{"Nachfrage: N = I + G", 10}, {"S = YV~erw~", 0}},
         {"C ="}},
        {"EmptyDemandReadsZero",
         [](Model& m) {
             SetAll(m, {{par::CAut, 0}, {par::cY, 0}, {par::IAut, 0}, {par::GAut, 0}});
         },
         1,
         {{"Nachfrage: N = 0", 10}, {"Nachfrage: dKN = 0", 40}},
         {"C =", "I =", "G =", "Y~erw~ =", "BS ="}},
        {"CoefficientOneIsWrittenWithoutFactor",
         [](Model& m) {
             SetAll(m, {{par::CAut, 0}, {par::cY, 1}});
         },
         1,
         {{"C = YV~erw~", 11}},
         {}},
        {"ConsumptionByIncomeTypeWithErrorCorrection",
         [](Model& m) {
             Switches(m, {{1, 1}, {2, 1}});
             SetAll(m, {{par::cYL, 0.9}, {par::cYU, 0.4}, {par::cr, 2}});
         },
         1,
         {{"C = 100 + 0.9*YLV~erw~ + 0.4*YUV~erw~ - 2*r~erw~ + S~unw~(-1)", 11},
          {"r~erw~ = i = 0%", 41}},
         {"gP~erw~"}},
        {"AcceleratorWithFloorAndErrorCorrection",
         [](Model& m) {
             Switches(m, {{3, 1}, {4, 1}, {5, 1}});
             SetAll(m, {{par::bdY, 0.5}, {par::dK, 0.1}, {par::bYU, 0.2}, {par::br, 3}});
         },
         2,
         {{"I = 100 + 0.5*dY~erw~ + 0.2*YUV~erw~ - 3*r~erw~ - I~unw~(-1)", 12},
          {"b[dY]*dY~erw~ >= -0.1*K", 12}},
         {}},
        {"AcceleratorFloorWithoutDepreciationIsZero",
         [](Model& m) {
             Switches(m, {{3, 1}, {4, 1}});
             SetAll(m, {{par::bdY, 0.5}});
         },
         2,
         {{"I = 100 + 0.5*dY~erw~", 12}, {"b[dY]*dY~erw~ >= 0", 12}},
         {}},
        {"IncomeTermInvestmentNegativeTaxSpending",
         [](Model& m) {
             SetAll(m, {{par::bY, 0.1}, {par::gT, -0.5}, {par::tY, 0.2}});
         },
         1,
         {{"I = 100 + 0.1*Y~erw~", 12},
          {"G = 100 - 0.5*T~erw~", 13},
          {"T = 0.2*Y", 32},
          {"Verfügbares Einkommen: YV = Y - T", 31},
          {"BS = T~erw~ - G", 0}},
         {"b[dY]"}},
        {"ExportsAndSupplyDrivenImports",
         [](Model& m) {
             Switches(m, {{9, 0}, {10, 1}});
             SetAll(m, {{par::ExAut, 50},
                        {par::xe, 10},
                        {par::ImAut, 20},
                        {par::mY, 0.1},
                        {par::me, 40}});
         },
         1,
         {{"Nachfrage: N = C + I + G + Ex", 10},
          {"Ex = 50 + 10*e", 14},
          {"Angebot: X = Y + Im", 20},
          {"Y = N~erw~ - Im~erw~", 61},
          {"Im~erw~ = Im(-1)", 64},
          {"Im = 20 + 0.1*Y + 40/e - Im~unw~(-1)", 22},
          {"Nachfrage: dKN = I + AB", 40},
          {"AB = Ex - Im", 0}},
         {"Devisenmarkt"}},
        {"ExpectationForms",
         [](Model& m) {
             m.Expect[0].Method = 3;
             m.Expect[0].Weight = 50;
             m.Expect[3].Lags = 3;
             m.Expect[4].Method = 4;
             SetAll(m, {{par::mY, 0.1}});
         },
         1,
         {{"Y~erw~ = Y~erw~(-1) + 0.5*[Y(-1) - Y~erw~(-1)]", 60},
          {"N~erw~ = mittel[N(-1),..,N(-3)]", 63},
          {"Im~erw~ = X - Y", 64}},
         {}},
        {"ExpectationFormsTwoLagsAndFullWeight",
         [](Model& m) {
             m.Expect[0].Method = 3;
             m.Expect[3].Lags = 2;
             m.Expect[3].Method = 2;
         },
         1,
         {{"Y~erw~ = Y(-1)", 60}, {"N~erw~ = mittel[N(-1),N(-2)]", 63}},
         {}},
        {"ExogenousInterestWithEndogenousPrices",
         [](Model& m) {
             Switches(m, {{12, 2}});
             SetAll(m, {{par::cr, 4}, {par::iExog, 5}, {par::jAut, 0.25}, {par::Pu, 0.5}});
             m.Expect[5].Method = 4;
         },
         1,
         {{"r~erw~ = i - gP~erw~ = 5% - gP~erw~", 41},
          {"gP~erw~ = gMN(-1)", 65},
          {"Y  = min(A;1000) (Prod.fkt.)", 21},
          {"P = [1 + 0.25]*LSK", 23},
          {"LSK = wN*A/Y", 24},
          {"P >= P,u = 0.5", 23},
          {"Arbeitsmarkt: wN = 0.5", 24},
          {"Nachfrage: A = Y", 21},
          {"Angebot: A~pot~ = 1000", 21},
          {"LQ = (wN*A)/(P*Y)*100", 31}},
         {"P = 1"}},
        {"ProfitMaximisingSubstitutional",
         [](Model& m) {
             Switches(m, {{12, 1}, {6, 1}});
         },
         1,
         {{"Y  = (A~0.5~)*(1000~0.5~) (Prod.fkt.)", 21},
          {"P = (dA/dY)*wN", 23},
          {"Nachfrage: w = dY/dA", 21}},
         {"LSK ="}},
        {"MarkupWithImportedInputs",
         [](Model& m) {
             Switches(m, {{12, 3}, {6, 1}});
             SetAll(m, {{par::jY, 0.1}});
         },
         1,
         {{"P = (Y/X)*[1 + 0.1*(Y/Y~pot~)]*LSK + (Im/X)*e,nom*PA", 23},
          {"Nachfrage: A = A(Y)", 21}},
         {}},
        {"WageEquationInAndOutsideTheRound",
         [](Model& m) {
             Switches(m, {{12, 2}, {14, 1}, {23, 4}});
             SetAll(m, {{par::wgP, 1}, {par::wu, 0.5}, {par::uNat, 5}, {par::wV, 2}});
         },
         4,
         {{"Arbeitsmarkt: wN = [1 + (gP~erw~ + 0.5*(5 - u~erw~) + 2)/100]*wN(-4)", 24},
          {"gP~erw~ = 0", 65},
          {"u~erw~ = u(-1)", 67}},
         {}},
        {"WageEquationBetweenRounds",
         [](Model& m) {
             Switches(m, {{12, 2}, {14, 1}, {23, 4}});
             SetAll(m, {{par::wgP, 1}});
         },
         5,
         {{"Arbeitsmarkt: wN = wN(-1)", 24}},
         {"u~erw~ ="}},
        {"WageBargainingBetweenRounds",
         [](Model& m) {
             Switches(m, {{12, 2}, {14, 2}, {23, 4}});
             SetAll(m, {{par::wga, 1}, {par::wu, 0.5}, {par::uNat, 5}});
             m.Expect[6].Method = 1;
         },
         5,
         {{"Arbeitsmarkt: wN = [1 + (gwNV(TVP) + 0.5*(5 - u~erw~))/100]*wN(TVP-4)", 24}},
         {"ga~erw~ ="}},
        {"WageBargainingInTheRound",
         [](Model& m) {
             Switches(m, {{12, 2}, {14, 2}, {23, 4}});
             SetAll(m, {{par::wga, 1}});
         },
         8,
         {{"Arbeitsmarkt: wN = [1 + (ga~erw~)/100]*wN(-4)", 24}, {"ga~erw~ = 0", 66}},
         {}},
        {"SeparateTaxesAndTransfers",
         [](Model& m) {
             Switches(m, {{16, 1}, {15, 1}});
             SetAll(m, {{par::SBAut, 10},
                        {par::SubAut, 5},
                        {par::TLAut, 3},
                        {par::tYL, 0.2},
                        {par::tYU, 0.3}});
         },
         1,
         {{"Verfügbares Einkommen: YV = YLV + YUV", 31},
          {"YLV = YL + Tr - TL", 31},
          {"Tr = 10", 33},
          {"TL = 3 + 0.2*YL", 32},
          {"YUV = YU + Sub - TU", 31},
          {"Sub = 5", 33},
          {"TU = 0.3*YU", 32},
          {"LQ = (wN*A)/(P*Y)*100", 31},
          {"BS = T~erw~ - G - Tr", 0}},
         {}},
        {"CommonTaxWithTransfers",
         [](Model& m) {
             SetAll(m, {{par::SBAut, 10}, {par::SubAut, 5}, {par::TAut, 20}});
         },
         1,
         {{"Verfügbares Einkommen: YV = Y + Tr - T", 31},
          {"Tr = 10 + 5", 33},
          {"T = 20", 32},
          {"YLV = LQ/100*YV bzw. YUV = (1-LQ/100)*YV", 31}},
         {}},
        {"CompleteBondMarketWithMoneyCreation",
         [](Model& m) {
             Switches(m, {{17, 1}, {18, 1}});
             SetAll(m, {{par::bM, 0.2},
                        {par::rSE, 0.1},
                        {par::MBNAut, 150},
                        {par::li, 20},
                        {par::LAut, 100},
                        {par::lY, 0.5},
                        {par::iu, 1}});
         },
         1,
         {{"Wertpapiermarkt: WN = WA (GG-Bed)", 40},
          {"Nachfrage: WN = KA + M", 40},
          {"dKA = S + BS", 0},
          {"M = MN/P", 43},
          {"MN = BGU + SE", 43},
          {"BGU = 0.2*MN", 43},
          {"MR = 0.1*SE", 43},
          {"MB = BGU + MR (GG-Bed)", 43},
          {"MB = 150", 43},
          {"Angebot: WA = KN + L", 40},
          {"dKN = I", 0},
          {"L = LT + LS", 42},
          {"LT = 0.5*Y", 42},
          {"LS = 100 - 20*i", 42},
          {"Zinsuntergrenze: i,u = 1", 42}},
         // A closed economy under fixed rates has no foreign-exchange market to show.
         {"nachrichtlich", "Devisenmarkt"}},
        {"ClosedEconomyWithBalanceOfPaymentsInfluence",
         [](Model& m) {
             Switches(m, {{17, 1}, {19, 1}});
         },
         1,
         {{"Devisenmarkt: Z = FA - FN", 50}, {"Nachfrage: FN = 0", 50}, {"Angebot: FA = 0", 50}},
         {"NK ="}},
        {"ReducedBondMarketCurrencyOnlyDynamicBase",
         [](Model& m) {
             Switches(m, {{17, 2}, {18, 1}, {20, 1}, {22, 2}});
             SetAll(m, {{par::bM, 1}, {par::gMNAut, 5}});
         },
         1,
         {{"Nachfrage: WN = M", 40},
          {"MN = BGU", 43},
          {"BGU = MN", 43},
          {"MB = BGU (GG-Bed)", 43},
          {"MB = 1.05*MB(-2)", 43},
          {"Angebot: WA = L", 40},
          {"nachrichtlich: Kapitalmarkt (Ströme)", 40}},
         {"MR =", "WN = KA"}},
        {"BalanceOfPaymentsInfluenceFlexibleRate",
         [](Model& m) {
             Switches(m, {{17, 1}, {19, 1}, {21, 1}});
             SetAll(m, {{par::dMHNAut, -5},
                        {par::xe, 10},
                        {par::me, 10},
                        {par::kdi, 20},
                        {par::iA, 4},
                        {par::NKAut, 10},
                        {par::fNK, 0.3}});
         },
         3,
         {{"MN = MN(-1) - 5", 43},
          {"Devisenmarkt: FN = FA (GG-Bed)", 50},
          {"Nachfrage: FN = Im", 50},
          {"Angebot: FA = Ex + NK", 50},
          {"NK = 0.3*NK(-1) + (1-0.3)*(10 + 20*(i - 4))", 52}},
         {}},
        {"BalanceOfPaymentsInfluenceFixedRate",
         [](Model& m) {
             Switches(m, {{17, 1}, {19, 1}});
             SetAll(m, {{par::nWR, 0.5}, {par::kdi, 20}});
         },
         3,
         {{"MN = MN(-1) + dMNH + dWR", 43},
          {"dMNH = - 0.5*dWR", 43},
          {"dWR = P*Z", 43},
          {"NK = 20*i", 52}},
         {"MN(-oo)"}},
        {"BalanceOfPaymentsInfluenceFixedRatePeriod0",
         [](Model& m) {
             Switches(m, {{17, 1}, {19, 1}});
         },
         0,
         {{"MN(-oo) = 1000", 43}, {"dMNH = - dWR", 43}},
         {}},
        {"BalanceOfPaymentsWithGrowthAtTargetStart",
         [](Model& m) {
             Switches(m, {{17, 1}, {19, 1}, {20, 1}, {22, 2}});
             SetAll(m, {{par::gMNAut, 4}, {par::nWR, 0}});
         },
         4,
         {{"dMNH = 0.04*MN(-1)", 43}},
         {}},
        {"BalanceOfPaymentsWithGrowthOutsideTargetStart",
         [](Model& m) {
             Switches(m, {{17, 1}, {19, 1}, {20, 1}, {22, 2}});
             SetAll(m, {{par::gMNAut, 4}});
         },
         3,
         {{"dMNH = - dWR", 43}},
         {}},
        {"English",
         [](Model& m) {
             SetAll(m, {{par::cr, 1}});
         },
         0,
         {{"Goods Market: N = X (Equ.-Cond.)", 10},
          {"Demand: N = C + I + G", 10},
          {"(Re-) Distribution", 30},
          {"YLV = LQ/100*YV resp. YUV = (1-LQ/100)*YV", 31},
          {"additional information: Capital Market (Flows)", 40}},
         {"Gütermarkt"},
         2},
    };
    return cases;
}

class EquationTree : public testing::TestWithParam<TreeCase> {};

TEST_P(EquationTree, LinesAndCodes) {
    const TreeCase& c = GetParam();
    Model m = Base();
    c.setup(m);
    const EquationSystem s = BuildEquationSystem(m, c.period, c.language);
    std::string dump;
    for (const auto& l : s.Lines)
        dump += std::to_string(l.Code) + " " + std::string(l.Level * 3, ' ') + l.Text + "\n";
    SCOPED_TRACE(dump);
    EXPECT_EQ(s.Period, c.period);
    for (const Line& want : c.present) {
        bool found = false;
        for (const auto& l : s.Lines)
            if (l.Text == want.text) {
                found = true;
                EXPECT_EQ(l.Code, want.code) << want.text;
            }
        EXPECT_TRUE(found) << "missing: " << want.text;
    }
    for (const std::string& prefix : c.absentPrefixes)
        for (const auto& l : s.Lines)
            EXPECT_EQ(l.Text.find(prefix), std::string::npos) << "unexpected: " << l.Text;

    // Invariants of every tree: a well-formed outline, no leading plus, no factor 1,
    // and only codes the dialogs know.
    static const std::set<int> known = {0,  10, 11, 12, 13, 14, 20, 21, 22, 23, 24,
                                        30, 31, 32, 33, 40, 41, 42, 43, 50, 52, 60,
                                        63, 64, 65, 66, 67, 61, 70, 73, 74, 75};
    ASSERT_FALSE(s.Lines.empty());
    EXPECT_EQ(s.Lines.front().Level, 0);
    for (size_t k = 0; k < s.Lines.size(); ++k) {
        const auto& l = s.Lines[k];
        if (k > 0) {
            EXPECT_LE(l.Level, s.Lines[k - 1].Level + 1) << l.Text;
        }
        EXPECT_EQ(l.Text.find("= +"), std::string::npos) << l.Text;
        EXPECT_EQ(l.Text.find(" 1*"), std::string::npos) << l.Text;
        EXPECT_EQ(l.Text.find("+ -"), std::string::npos) << l.Text;
        EXPECT_TRUE(known.count(l.Code)) << l.Code << " " << l.Text;
    }
}

INSTANTIATE_TEST_SUITE_P(Switches, EquationTree, testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EquationTree, RuleBaseExpectationOnlyAfterPeriod0) {
    Model m = Base();
    RuleBaseLink link([] { return std::make_unique<LeastSquaresRuleServer>(); });
    m.Rules = &link;
    m.Expect[3].RuleBased = 1;
    m.Expect[3].Antecedents = {64 + var::N};
    ASSERT_TRUE(link.Connect(m, 3));
    const EquationSystem s1 = BuildEquationSystem(m, 1, 1);
    const int k = s1.Find("N~erw~ = f(rule base)");
    ASSERT_GE(k, 0);
    EXPECT_EQ(s1.Lines[k].Code, 73);
    EXPECT_EQ(BuildEquationSystem(m, 0, 1).Find("N~erw~ = f(rule base)"), -1);
    // A record marked rule-based without a connection keeps its ordinary rule.
    link.Disconnect(3);
    EXPECT_GE(BuildEquationSystem(m, 1, 1).Find("N~erw~ = N(-1)"), 0);
}

TEST(EquationTree, NegativeZeroAndDecimalSeparator) {
    EXPECT_EQ(EquationValue(-0.0), "0");
    EXPECT_EQ(EquationValue(0.1 + 0.2), "0.3");
    EXPECT_EQ(EquationValue(1e20), "1E+20");
    EXPECT_EQ(EquationValue(2.5, ','), "2,5");
    Model m = Base();
    m.DecimalSeparator = ',';
    SetAll(m, {{par::cY, 0.75}, {par::CAut, -0.0}});
    EXPECT_GE(BuildEquationSystem(m, 1, 1).Find("C = 0,75*YV~erw~"), 0);
}

TEST(LineCodes, TableFollowsTheTreeAndDialogPages) {
    Model m = Base();
    const EquationSystem s = BuildEquationSystem(m, 1, 1);
    LineCodeTable table;
    table.Assign(s);
    EXPECT_EQ(table.Size(), static_cast<int>(s.Lines.size()));
    for (int k = 0; k < table.Size(); ++k)
        EXPECT_EQ(table.CodeOf(k), s.Lines[k].Code);
    EXPECT_EQ(table.CodeOf(-1), 0);
    EXPECT_EQ(table.CodeOf(table.Size()), 0);
    EXPECT_TRUE(table.Has(11));
    EXPECT_FALSE(table.Has(14));
    table.Clear();
    EXPECT_FALSE(table.Has(11));

    struct {
        int code;
        DialogPage page;
    } const pages[] = {{10, {1, 1}}, {12, {1, 2}},  {14, {1, 4}}, {20, {2, 1}}, {24, {2, 4}},
                       {30, {3, 1}}, {33, {3, 3}},  {40, {4, 1}}, {43, {4, 3}}, {50, {5, 1}},
                       {52, {5, 2}}, {60, {6, 0}},  {65, {6, 5}}, {68, {6, 8}}, {70, {6, 0}},
                       {73, {6, 3}}, {80, {6, 10}}, {0, {}},      {15, {}},     {34, {}},
                       {44, {}},     {53, {}},      {69, {}},     {81, {}}};
    for (auto [code, page] : pages)
        EXPECT_EQ(DialogForCode(code), page) << code;
}

TEST(EquationTitle, BothLanguages) {
    EXPECT_EQ(EquationTitle(7, 1), " Modellstruktur für t=7");
    EXPECT_EQ(EquationTitle(7, 2), " Model Structure for t=7");
}

} // namespace
} // namespace tv
