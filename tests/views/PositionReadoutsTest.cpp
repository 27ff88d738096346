// The position read-outs of the income-interest and income-expenditure diagrams: the state
// of each market on either side of its curve, written out from the closed forms.

#include "TestModels.h"

#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/PositionReadouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using namespace tv;
using namespace tv::test;

namespace {

Model OpenModelAt(int t) {
    Model m = OpenFlexibleModel();
    SetFrom(m, 5, {{par::GAut, 198}});
    SilentHost host;
    Solve(m, host);
    m.Periods.CurrentPeriod = t;
    return m;
}

struct MarketRow {
    const char* name;
    // Mouse position (income, nominal rate) relative to the curves of the current period.
    std::function<std::pair<double, double>(const Model&, int)> at;
    int line; // 0 goods/capital, 1 money, 2 bond, 3 foreign exchange
    const char* expected;
};

TEST(PositionReadout, IncomeInterestMarketStates) {
    const Model m = OpenModelAt(6);
    auto m0 = [](const Model& mm, int c) { return mm.GetVar(c, var::M) / mm.GetPar(c, par::lY); };
    const MarketRow rows[] = {
        {"left of IS",
         [](const Model& mm, int c) {
             return std::pair{ISIncome(mm, c, RealOfNominal(mm, c, 5)) - 10, 5.0};
         },
         0, "Goods/Capital Market: Excess Demand"},
        {"right of IS",
         [](const Model& mm, int c) {
             return std::pair{ISIncome(mm, c, RealOfNominal(mm, c, 5)) + 10, 5.0};
         },
         0, "Goods/Capital Market: Excess Supply"},
        {"on IS",
         [](const Model& mm, int c) {
             return std::pair{ISIncome(mm, c, RealOfNominal(mm, c, 5)), 5.0};
         },
         0, "Goods/Capital Market: Equilibrium"},
        {"below LM",
         [](const Model& mm, int c) {
             return std::pair{900.0, LMRate(mm, c, 900) - 1};
         },
         1, "Money Market: Excess Demand"},
        {"above LM",
         [](const Model& mm, int c) {
             return std::pair{900.0, LMRate(mm, c, 900) + 1};
         },
         1, "Money Market: Excess Supply"},
        {"beyond the speculation limit",
         [m0](const Model& mm, int c) {
             return std::pair{m0(mm, c) + 1, 1000.0};
         },
         1, "Money Market: Excess Demand"},
        {"at the speculation limit, above LM",
         [m0](const Model& mm, int c) {
             return std::pair{m0(mm, c), LMRate(mm, c, m0(mm, c)) + 1};
         },
         1, "Money Market: Excess Supply"},
        {"right of LF",
         [](const Model& mm, int c) {
             return std::pair{BondMarketIncomeNoSpec(mm, c, 50) + 5, 50.0};
         },
         2, "Bond Market: Excess Supply"},
        {"left of LF",
         [](const Model& mm, int c) {
             return std::pair{BondMarketIncome(mm, c, mm.GetPar(c, par::iu)) - 5,
                              mm.GetPar(c, par::iu)};
         },
         2, "Bond Market: Excess Demand"},
        {"surplus",
         [](const Model&, int) {
             return std::pair{0.0, 40.0};
         },
         3, "Foreign Exchange Market: Excess Supply"},
        {"deficit",
         [](const Model&, int) {
             return std::pair{5000.0, -40.0};
         },
         3, "Foreign Exchange Market: Excess Demand"},
        {"above Z",
         [](const Model& mm, int c) {
             return std::pair{900.0, BalancingRate(mm, c, 900) + 1};
         },
         3, "Foreign Exchange Market: Excess Supply"},
        {"below Z",
         [](const Model& mm, int c) {
             return std::pair{900.0, BalancingRate(mm, c, 900) - 1};
         },
         3, "Foreign Exchange Market: Excess Demand"},
    };
    IncomeInterestOptions o;
    o.LF = true;
    for (const MarketRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto [y, i] = row.at(m, 6);
        const PositionReadout r = IncomeInterestReadout(m, o, y, i, 2);
        ASSERT_EQ(2u, r.Groups.size());
        ASSERT_EQ(4u, r.Groups[1].Lines.size());
        EXPECT_EQ(row.expected, r.Groups[1].Lines[row.line]);
    }
    // The foreign-exchange rows as the balance of payments says.
    EXPECT_GT(BopSurplus(m, 6, 0, 40, m.GetVar(6, var::e), 0), 0);
    EXPECT_LT(BopSurplus(m, 6, 0, -40, m.GetVar(6, var::e), 5000), 0);
}

TEST(PositionReadout, IncomeInterestPositionCaptionsAndSwitchedOffCurves) {
    const Model m = OpenModelAt(6);
    IncomeInterestOptions o;
    o.RealRate = true;
    o.LM = false;
    const double real = 3;
    const PositionReadout r = IncomeInterestReadout(m, o, 1000, real, 1);
    EXPECT_EQ("Einkommen-Zins-Grafik-Information", r.Caption);
    EXPECT_EQ("Positionswerte", r.Groups[0].Title);
    EXPECT_EQ("Einkommen: " + m.FormatNumber(1000), r.Groups[0].Lines[0]);
    EXPECT_EQ("Nominalzins: " + m.FormatNumber(NominalOfReal(m, 6, real)) + "%",
              r.Groups[0].Lines[1]);
    EXPECT_EQ("Realzins: " + m.FormatNumber(real) + "%", r.Groups[0].Lines[2]);
    EXPECT_EQ("Marktzustand (t = 6)", r.Groups[1].Title);
    // LM and LF are off: their lines stay empty; IS and Z are shown.
    EXPECT_FALSE(r.Groups[1].Lines[0].empty());
    EXPECT_TRUE(r.Groups[1].Lines[1].empty());
    EXPECT_TRUE(r.Groups[1].Lines[2].empty());
    EXPECT_FALSE(r.Groups[1].Lines[3].empty());
    o.IS = false;
    EXPECT_TRUE(IncomeInterestReadout(m, o, 1000, real, 1).Groups[1].Lines[0].empty());
}

TEST(PositionReadout, GoodsMarketDemandSupplyAndConclusion) {
    const Model m = OpenModelAt(6);
    const int c = 6;
    const double e = m.GetVar(c, var::e);
    struct Row {
        bool gross;
        double income;
    };
    for (const Row row : {Row{false, 200}, Row{false, 5000}, Row{true, 200}, Row{true, 5000}}) {
        SCOPED_TRACE(std::to_string(row.gross) + " " + std::to_string(row.income));
        IncomeExpenditureOptions o;
        o.Gross = row.gross;
        const PositionReadout r = IncomeExpenditureReadout(m, o, true, row.income, 123, 2);
        EXPECT_EQ("Income-Expenditure-Diagram-Information (t = 6)", r.Caption);
        ASSERT_EQ(2u, r.Groups.size());
        EXPECT_EQ("Goods Market", r.Groups[1].Title);
        const double y = row.income;
        const double demand =
            row.gross ? AutonomousDemand(m, c) + SpendingPropensity(m, c) * y
                      : AutonomousNetDemand(m, c) + DomesticSpendingPropensity(m, c) * y;
        const double supply = row.gross ? y + m.GetPar(c, par::mY) * y + m.GetPar(c, par::ImAut) +
                                              m.GetPar(c, par::me) / e
                                        : y;
        const std::string d = row.gross ? "Gross Demand" : "Net Demand";
        const std::string s = row.gross ? "Supply" : "Domestic supply";
        EXPECT_EQ(d + ": " + m.FormatNumber(123), r.Groups[0].Lines[1]);
        ASSERT_EQ(3u, r.Groups[1].Lines.size());
        EXPECT_EQ(d + ": " + m.FormatNumber(demand), r.Groups[1].Lines[0]);
        EXPECT_EQ(s + ": " + m.FormatNumber(supply), r.Groups[1].Lines[1]);
        const std::string state = demand > supply ? "Excess Demand" : "Excess Supply";
        EXPECT_EQ("=> " + state + ": " + m.FormatNumber(std::fabs(demand - supply)),
                  r.Groups[1].Lines[2]);
    }
}

TEST(PositionReadout, CapitalMarketFlowsAtTheMouseIncome) {
    const Model m = OpenModelAt(6);
    const int c = 6;
    const double r = m.GetVar(c, var::rErw), e = m.GetVar(c, var::e);
    const PositionReadout out = IncomeExpenditureReadout(m, {}, false, 700, -5, 1);
    ASSERT_EQ(2u, out.Groups.size());
    EXPECT_EQ("Kapitalmarkt", out.Groups[1].Title);
    EXPECT_EQ("Kapitalströme: " + m.FormatNumber(-5), out.Groups[0].Lines[1]);
    EXPECT_EQ("Nachfrage: " + m.FormatNumber(Investment(m, c, r, 700) + TradeBalance(m, c, e, 700)),
              out.Groups[1].Lines[0]);
    EXPECT_EQ("Angebot: " + m.FormatNumber(Saving(m, c, r, 700) + BudgetSurplus(m, c, 700)),
              out.Groups[1].Lines[1]);
}

} // namespace
