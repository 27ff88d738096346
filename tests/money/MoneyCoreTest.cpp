#include "money/AccountingSystem.h"
#include "money/MoneyRounds.h"
#include "money/MoneyWorksheet.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

namespace tv {
namespace {

constexpr int T = 5;

// Period T - 1 and T with the given ratios and money stocks; money creation switched on.
std::unique_ptr<Model> Periods(double b0, double r0, double mn0, double b1, double r1, double mn1) {
    auto m = std::make_unique<Model>();
    m->Switch[18] = 1;
    m->SetPar(T - 1, par::bM, b0);
    m->SetPar(T - 1, par::rSE, r0);
    m->SetPar(T, par::bM, b1);
    m->SetPar(T, par::rSE, r1);
    m->SetVar(T - 1, var::MN, mn0);
    m->SetVar(T, var::MN, mn1);
    m->SetVar(T, var::P, 2);
    m->Periods.CurrentPeriod = T;
    return m;
}

// b = 20 %, r = 10 %: multiplier 1 / 0.28; the base grows from 280 to 308.
std::unique_ptr<Model> Expansion() {
    return Periods(0.2, 0.1, 1000, 0.2, 0.1, 1100);
}

MoneyShares Shares(int marketSlider, int baseSlider) {
    MoneyShares s;
    s.SetMarketSlider(marketSlider);
    s.SetBaseSlider(baseSlider);
    return s;
}

TEST(MoneySharesTest, SliderValueGoesToBankB) {
    MoneyShares s = Shares(70, 0);
    EXPECT_EQ(s.MarketA, 30);
    EXPECT_EQ(s.MarketB, 70);
    EXPECT_EQ(s.BaseA, 100);
    EXPECT_EQ(s.BaseB, 0);
    s.SetMarketSlider(250); // out of range
    EXPECT_EQ(s.MarketA, 0);
    EXPECT_EQ(s.MarketB, 100);
    EXPECT_TRUE(s.Shown(1)); // base share still 100
    s.SetBaseSlider(100);
    EXPECT_FALSE(s.Shown(1));
}

// Hand-computed values of the round functions for two sets of ratios and shares.
TEST(MoneySharesTest, BankNamesAreCleaned) {
    struct Case {
        const char* a;
        const char* b;
        const char* nameA;
        const char* nameB;
    } cases[] = {
        {"Sparkasse", "Volksbank", "Sparkasse", "Volksbank"},
        {"  Nordbank ", "\tSüdbank", "Nordbank", "Südbank"},
        {"", "   ", "Bank A", "Bank B"},
        {"Eine sehr lange Bankbezeichnung AG", "B", "Eine sehr lange Bankbezeichnun", "B"},
        // 29 letters and an umlaut that would be cut in half.
        {"Aaaaaaaaaaaaaaaaaaaaaaaaaaaaaü", "x", "Aaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "x"},
    };
    for (const Case& c : cases) {
        MoneyShares s;
        s.SetNames(c.a, c.b);
        EXPECT_EQ(s.NameA, c.nameA) << c.a;
        EXPECT_EQ(s.NameB, c.nameB) << c.b;
        EXPECT_EQ(s.Name(1), s.NameA);
    }
}

// The names reach the explanations of the accounting system.
TEST(AccountingProcessTest, BankNamesAppearInTheExplanations) {
    const auto m = Expansion();
    MoneyShares s;
    s.SetNames("Nordbank", "Südbank");
    AccountingProcess p(*m, T, s);
    p.FinishRound();
    const std::string text = p.Explanation(1);
    EXPECT_NE(text.find("Nordbank"), std::string::npos) << text;
    EXPECT_NE(text.find("Südbank"), std::string::npos) << text;
    EXPECT_EQ(text.find("Bank A"), std::string::npos) << text;
}

TEST(MoneyRoundsTest, HandComputedRounds) {
    struct Case {
        const char* name;
        std::unique_ptr<Model> model;
        MoneyShares shares;
        int bank, round;
        double excess, money, currency, deposits, required;
    };
    // 2: b 20 -> 25 %, r 10 -> 5 %, base unchanged at 280; market 30/70, base 100/0.
    // D = 300 / 700; IER(A) = 24 - 15 - 0.05 * 225 = -2.25, IER(B) = 56 - 35 - 26.25 = -5.25.
    const double mn1 = 280 / 0.2875;
    Case cases[] = {
        {"expansion round 1", Expansion(), Shares(50, 50), 1, 1, 14, 1000, 200, 400, 40},
        {"expansion round 2", Expansion(), Shares(50, 50), 1, 2, 10.08, 1028, 205.6, 411.2, 41.12},
        {"expansion round 3", Expansion(), Shares(50, 50), 2, 3, 0.72 * 10.08, 1048.16, 209.632,
         419.264, 41.9264},
        {"both banks round 3", Expansion(), Shares(50, 50), 0, 3, 2 * 0.72 * 10.08, 1048.16,
         209.632, 838.528, 83.8528},
        {"ratios change, bank A", Periods(0.2, 0.1, 1000, 0.25, 0.05, mn1), Shares(70, 0), 1, 1,
         -2.25, 1000, 250, 225, 11.25},
        {"ratios change, bank B", Periods(0.2, 0.1, 1000, 0.25, 0.05, mn1), Shares(70, 0), 2, 1,
         -5.25, 1000, 250, 525, 26.25},
        {"ratios change, round 2", Periods(0.2, 0.1, 1000, 0.25, 0.05, mn1), Shares(70, 0), 1, 2,
         -7.5 * 0.7125 * 0.3, 992.5, 248.125, 0.3 * 744.375, 0.05 * 0.3 * 744.375},
        // Round 0 keeps the ratios of t - 1.
        {"round 0", Periods(0.2, 0.1, 1000, 0.25, 0.05, mn1), Shares(70, 0), 2, 0, 0, 1000, 200,
         560, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MoneyRounds r(*c.model, T, c.shares);
        EXPECT_NEAR(r.RoundExcessReserves(c.bank, c.round), c.excess, 1e-9);
        EXPECT_NEAR(r.MoneyAfterRounds(c.round), c.money, 1e-9);
        EXPECT_NEAR(r.CurrencyAfterRounds(c.round), c.currency, 1e-9);
        EXPECT_NEAR(r.DepositsAfterRounds(c.bank, c.round), c.deposits, 1e-9);
        EXPECT_NEAR(r.RequiredReserves(c.bank, c.round), c.required, 1e-9);
        EXPECT_NEAR(r.ReservesAfterRounds(c.bank, c.round), c.excess + c.required, 1e-9);
        EXPECT_NEAR(r.LoansAfterRounds(c.bank, c.round), c.deposits - c.excess - c.required, 1e-9);
        EXPECT_NEAR(r.MoneyLimit(), c.model->GetVar(T, var::MN), 1e-9);
    }
}

TEST(MoneyRoundsTest, BaseShareSplitsOnlyTheFirstRound) {
    const auto m = Expansion();
    const MoneyRounds r(*m, T, Shares(50, 0)); // base 100/0
    EXPECT_NEAR(r.BaseIncrease(0), 28, 1e-12);
    EXPECT_NEAR(r.BaseIncrease(1), 28, 1e-12);
    EXPECT_NEAR(r.BaseIncrease(2), 0, 1e-12);
    EXPECT_NEAR(r.RoundExcessReserves(1, 1), 28, 1e-12);
    EXPECT_NEAR(r.RoundExcessReserves(2, 1), 0, 1e-12);
    EXPECT_NEAR(r.RoundExcessReserves(1, 2), 10.08, 1e-12);
    EXPECT_NEAR(r.RoundExcessReserves(2, 2), 10.08, 1e-12);
    EXPECT_EQ(r.RoundExcessReserves(3, 2), 0);
    EXPECT_EQ(r.RoundExcessReserves(1, 0), 0);
}

TEST(MoneyRoundsTest, NoImpulseKeepsTheMoneyStock) {
    const auto m = Periods(0.2, 0.1, 1000, 0.2, 0.1, 1000);
    const MoneyRounds r(*m, T, MoneyShares{});
    EXPECT_FALSE(r.HasImpulse());
    for (int n : {0, 1, 2, 7, 100}) {
        EXPECT_NEAR(r.InitialExcessReserves(1), 0, 1e-12);
        EXPECT_NEAR(r.MoneyAfterRounds(n), 1000, 1e-9);
    }
}

// Cash ratio and reserve ratio both 0: the round formula is 0 / 0 and takes its limit.
TEST(MoneyRoundsTest, ZeroRatiosUseTheLimitOfTheRoundFormula) {
    EXPECT_EQ(GeometricSum(1, 0), 0);
    EXPECT_EQ(GeometricSum(1, 7), 7);
    EXPECT_DOUBLE_EQ(GeometricSum(0.5, 3), 1.75);
    const auto m = Periods(0.2, 0.1, 1000, 0, 0, 1000);
    const MoneyRounds r(*m, T, MoneyShares{});
    EXPECT_EQ(r.ReturnShare(), 1);
    for (int n : {2, 3, 50}) {
        EXPECT_TRUE(std::isfinite(r.MoneyAfterRounds(n))) << n;
        EXPECT_NEAR(r.MoneyAfterRounds(n), 1000 + (n - 1) * r.InitialExcessReserves(0), 1e-9);
    }
}

// q = 1: with excess reserves the money stock grows by them every round and has no
// limit; without, it stays where it is. Never 0 / 0.
TEST(MoneyRoundsTest, LimitWithoutLeakage) {
    struct Case {
        const char* name;
        std::unique_ptr<Model> model;
        double limit;
    };
    const double inf = std::numeric_limits<double>::infinity();
    Case cases[] = {
        {"leakage", Expansion(), 1100},
        {"no leakage, no excess reserves", Periods(0, 0, 1000, 0, 0, 1000), 1000},
        // Dropping both ratios to 0 frees no reserves: the base falls by what was held.
        {"no leakage, ratios dropped", Periods(0.2, 0.1, 1000, 0, 0, 1000), 1000},
        // A money supply that is not finite leaves excess reserves that are not a number.
        {"no leakage, supply not finite", Periods(0.2, 0.1, 1000, 0, 0, inf), inf},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MoneyRounds r(*c.model, T, MoneyShares{});
        EXPECT_FALSE(std::isnan(r.MoneyLimit()));
        if (std::isinf(c.limit))
            EXPECT_TRUE(std::isinf(r.MoneyLimit()));
        else
            EXPECT_NEAR(r.MoneyLimit(), c.limit, 1e-9);
    }
}

// The rounds of a solved model tend to its money supply: base times multiplier.
TEST(MoneyRoundsTest, RoundsConvergeToTheSolvedMoneySupply) {
    Model m = test::OpenFlexibleModel();
    test::SetFrom(m, 3, {{par::MBNAut, 170}});
    test::SetFrom(m, 5, {{par::bM, 0.25}, {par::rSE, 0.05}});
    test::RecordingHost host;
    Solve(m, host);
    ASSERT_EQ(host.Status(), "Ok");
    for (int t : {1, 3, 5, 6}) {
        SCOPED_TRACE(t);
        const MoneyRounds r(m, t, Shares(30, 80));
        const double mn = m.GetVar(t, var::MN);
        EXPECT_NEAR(mn, MonetaryBase(m, t) * MoneyMultiplier(m, t), 1e-9 * mn);
        EXPECT_NEAR(r.MoneyLimit(), mn, 1e-9 * mn);
        EXPECT_NEAR(r.MoneyAfterRounds(400), mn, 1e-9 * mn);
        EXPECT_NEAR(r.ReservesAfterRounds(0, 400), Reserves(m, t), 1e-9 * mn);
    }
}

// ---------------------------------------------------------------- worksheet

TEST(MoneyWorksheetTest, AbsoluteTableOfThreeRounds) {
    const auto m = Expansion();
    const WorksheetValues v = ComputeWorksheet(*m, T, 3);
    const WorksheetTable table = BuildWorksheetTable(*m, T, v, {}, 1);
    using Row = std::array<std::string, 9>;
    EXPECT_EQ(table.Headings,
              (Row{"Runde", "KRN", "dÜRN", "MBN", "ÜRN", "MRN", "BGN", "SEN", "MN"}));
    EXPECT_EQ(table.BaseStrip, "Monetäre Basis");
    EXPECT_EQ(table.MoneyStrip, "Geldmenge");
    ASSERT_EQ(table.Rows.size(), 7u);
    EXPECT_EQ(table.Rows[0], (Row{"0", "1000.00", "0.00", "280.00", "0.00", "80.00", "200.00",
                                  "800.00", "1000.00"}));
    EXPECT_EQ(table.Rows[1], (Row{"1", "1000.00", "28.00", "308.00", "28.00", "80.00", "200.00",
                                  "800.00", "1000.00"}));
    EXPECT_EQ(table.Rows[2], (Row{"2", "1028.00", "-7.84", "308.00", "20.16", "82.24", "205.60",
                                  "822.40", "1028.00"}));
    EXPECT_EQ(table.Rows[3], (Row{"3", "1048.16", "-5.64", "308.00", "14.52", "83.85", "209.63",
                                  "838.53", "1048.16"}));
    EXPECT_EQ(table.Rows[4][0], "...");
    EXPECT_EQ(table.Rows[4][1], "");
    EXPECT_EQ(table.Rows[5], (Row{"oo", "1100.00", "0.00", "308.00", "0.00", "88.00", "220.00",
                                  "880.00", "1100.00"}));
    EXPECT_EQ(table.Rows[6], (Row{"DIFF (-->0)", "100.00", "0.00", "28.00", "0.00", "8.00", "20.00",
                                  "80.00", "100.00"}));
}

TEST(MoneyWorksheetTest, DifferencesAndRealValues) {
    const auto m = Expansion(); // price level 2
    const WorksheetValues v = ComputeWorksheet(*m, T, 2);
    const WorksheetTable table = BuildWorksheetTable(*m, T, v, WorksheetOptions{true, true}, 2);
    using Row = std::array<std::string, 9>;
    EXPECT_EQ(table.Headings, (Row{"Round", "dKR", "ER", "dMB", "dER", "dMR", "dBG", "dSE", "dM"}));
    EXPECT_EQ(table.BaseStrip, "High-Powered Money (Change)");
    EXPECT_EQ(table.MoneyStrip, "Money Supply (Change)");
    ASSERT_EQ(table.Rows.size(), 6u);
    EXPECT_EQ(table.Rows[0],
              (Row{"0", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"}));
    // Column 2 holds ÜR, column 4 dÜR; everything halved by the price level.
    EXPECT_EQ(table.Rows[1],
              (Row{"1", "0.00", "14.00", "14.00", "14.00", "0.00", "0.00", "0.00", "0.00"}));
    EXPECT_EQ(table.Rows[2],
              (Row{"2", "14.00", "10.08", "0.00", "-3.92", "1.12", "2.80", "11.20", "14.00"}));
    EXPECT_EQ(table.Rows[4],
              (Row{"0", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00"}));
    EXPECT_EQ(table.Rows[5],
              (Row{"SUM", "50.00", "X", "14.00", "0.00", "4.00", "10.00", "40.00", "50.00"}));
}

// A limit that is not a number (money supply of a model whose ratios are both 0) reads
// "no limit", never "NAN" or "INF".
TEST(MoneyWorksheetTest, LimitThatIsNotANumberSaysSo) {
    for (double mn1 : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        const auto m = Periods(0.2, 0.1, 1000, 0, 0, mn1);
        const WorksheetValues v = ComputeWorksheet(*m, T, 3);
        for (int language : {1, 2}) {
            const WorksheetTable table = BuildWorksheetTable(*m, T, v, {}, language);
            const auto& limit = table.Rows[5];
            const auto& diff = table.Rows[6];
            const std::string none = language == 1 ? "kein Grenzwert" : "no limit";
            EXPECT_EQ(limit[8], none);
            EXPECT_EQ(diff[8], none);
            for (const auto& row : {limit, diff})
                for (const std::string& cell : row) {
                    EXPECT_EQ(cell.find("NAN"), std::string::npos) << cell;
                    EXPECT_EQ(cell.find("INF"), std::string::npos) << cell;
                }
        }
    }
}

TEST(MoneyWorksheetTest, RoundsAreClamped) {
    const auto m = Expansion();
    EXPECT_EQ(ComputeWorksheet(*m, T, 0).Rounds, 1);
    EXPECT_EQ(ComputeWorksheet(*m, T, -5).Rounds, 1);
    EXPECT_EQ(ComputeWorksheet(*m, T, 500).Rounds, 100);
    EXPECT_EQ(BuildWorksheetTable(*m, T, ComputeWorksheet(*m, T, 100), {}, 1).Rows.size(), 104u);
}

// ---------------------------------------------------------------- accounting system

// Books rounds to their end and returns how many rounds the process ran.
int RunToEnd(AccountingProcess& p) {
    int guard = 0;
    while (p.CanGoForward() && ++guard < 100000)
        p.FinishRound();
    return p.Round();
}

TEST(AccountingProcessTest, EndConditions) {
    struct Case {
        const char* name;
        std::unique_ptr<Model> model;
        int lastRound;
    };
    Case cases[] = {
        {"no impulse ends after round 1", Periods(0.2, 0.1, 1000, 0.2, 0.1, 1000), 1},
        // 14 * 0.72^24 = 0.0053 shows as 0.01, 14 * 0.72^25 = 0.0038 as 0.00.
        {"excess reserves show as zero", Expansion(), 26},
        // q = 0.998: the excess reserves shrink too slowly; the process stops at round 100.
        {"at most 100 rounds", Periods(0.2, 0.1, 1000, 0.001, 0.001, 1100), 100},
        // Both ratios 0: the base is 0 in both periods, nothing to create.
        {"zero ratios", Periods(0, 0, 1000, 0, 0, 1000), 1},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccountingProcess p(*c.model, T, MoneyShares{});
        EXPECT_EQ(RunToEnd(p), c.lastRound);
        EXPECT_TRUE(p.RoundComplete());
        EXPECT_TRUE(p.IsLastRound());
        EXPECT_FALSE(p.CanGoForward());
        p.Next(); // disabled forward steps change nothing
        p.FinishRound();
        EXPECT_EQ(p.Round(), c.lastRound);
        EXPECT_TRUE(p.RoundComplete());
    }
}

// After every round the booked stocks agree with the round functions.
TEST(AccountingProcessTest, BookedStocksFollowTheRounds) {
    struct Case {
        const char* name;
        std::unique_ptr<Model> model;
        MoneyShares shares;
    };
    Case cases[] = {
        {"expansion 50/50", Expansion(), Shares(50, 50)},
        {"base to bank A only", Expansion(), Shares(50, 0)},
        {"bank B alone in the market", Expansion(), Shares(100, 30)},
        {"ratios change, contraction", Periods(0.2, 0.1, 1000, 0.25, 0.05, 900), Shares(70, 0)},
        {"cash ratio falls", Periods(0.3, 0.1, 1000, 0.1, 0.1, 1200), Shares(20, 60)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        AccountingProcess p(*c.model, T, c.shares);
        const MoneyRounds& r = p.Rounds();
        for (int n = 0; n <= 6 && p.CanGoForward(); ++n) {
            SCOPED_TRACE(n);
            if (n > 0) p.Next(); // start of the round: nothing booked yet
            EXPECT_EQ(p.Round(), n);
            EXPECT_EQ(p.Booked(), 0);
            p.FinishRound();
            const double tol = 1e-9 * r.PreviousMoney();
            double money = 0;
            for (int k = 1; k <= 2; ++k) {
                const std::string l = k == 1 ? "A" : "B";
                EXPECT_NEAR(p.Stock(k, Liabilities, "SE," + l), r.DepositsAfterRounds(k, n), tol);
                EXPECT_NEAR(p.Stock(k, Assets, "EL," + l), r.ReservesAfterRounds(k, n), tol);
                EXPECT_NEAR(p.Stock(k, Assets, "KR," + l), r.LoansAfterRounds(k, n), tol);
                EXPECT_NEAR(p.Stock(AccountCentralBank, Liabilities, "EL," + l),
                            r.ReservesAfterRounds(k, n), tol);
                money += p.Stock(AccountNonBanks, Assets, "SE," + l);
            }
            const double cash = p.Stock(AccountNonBanks, Assets, "BG");
            EXPECT_NEAR(cash, r.CurrencyAfterRounds(n), tol);
            EXPECT_NEAR(money + cash, r.MoneyAfterRounds(n), tol);
            EXPECT_NEAR(p.Stock(AccountCentralBank, Liabilities, "BG"), cash, tol);
        }
    }
}

// A booking whose amount shows as zero is hidden, but its amount still reaches the stocks:
// they stay on the rounds to the last round, whatever the number format.
TEST(AccountingProcessTest, HiddenBookingsKeepTheirAmounts) {
    struct Case {
        const char* name;
        std::unique_ptr<Model> model;
        MoneyShares shares;
        int decimals;
    };
    Case cases[] = {
        {"expansion, two decimals", Expansion(), Shares(50, 50), 2},
        {"expansion, no decimals", Expansion(), Shares(30, 80), 0},
        {"contraction, one decimal", Periods(0.2, 0.1, 1000, 0.25, 0.05, 900), Shares(70, 0), 1},
        {"slow process, two decimals", Periods(0.05, 0.02, 1000, 0.05, 0.02, 1100), Shares(40, 40),
         2},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.model->DecimalPlaces = static_cast<uint8_t>(c.decimals);
        AccountingProcess p(*c.model, T, c.shares);
        const MoneyRounds& r = p.Rounds();
        const double tol = 1e-9 * r.PreviousMoney();
        int rounds = 0;
        while (p.CanGoForward() && rounds++ < 200) {
            p.FinishRound();
            const int n = p.Round();
            SCOPED_TRACE(n);
            double money = 0;
            for (int k = 1; k <= 2; ++k) {
                const std::string l = k == 1 ? "A" : "B";
                EXPECT_NEAR(p.Stock(k, Assets, "EL," + l), r.ReservesAfterRounds(k, n), tol);
                EXPECT_NEAR(p.Stock(k, Assets, "KR," + l), r.LoansAfterRounds(k, n), tol);
                money += p.Stock(AccountNonBanks, Assets, "SE," + l);
            }
            EXPECT_NEAR(money + p.Stock(AccountNonBanks, Assets, "BG"), r.MoneyAfterRounds(n), tol);
        }
        EXPECT_GT(p.Round(), 6);
    }
}

TEST(AccountingProcessTest, RoundZeroScriptAndSteps) {
    const auto m = Expansion();
    AccountingProcess p(*m, T, MoneyShares{});
    EXPECT_EQ(p.Round(), 0);
    EXPECT_FALSE(p.CanUndo());
    EXPECT_FALSE(p.CanRestart());
    // Loans and deposits of both banks, currency, reserves of both banks.
    ASSERT_EQ(p.Script().size(), 5u);
    EXPECT_EQ(p.Script()[0].Heading, "KREDITVERGABE DER GESCHÄFTSBANKEN (SICHTEINLAGEN)##"
                                     "LENDING BY COMMERCIAL BANKS (SIGHT DEPOSITS)");
    EXPECT_TRUE(p.Script()[1].Heading.empty());
    EXPECT_EQ(p.Script()[2].Heading.substr(0, 45), "KREDITVERGABE DER ZENTRALBANK (BARGELDUMLAUF)");
    EXPECT_EQ(p.Script()[3].Parts.size(), 3u);

    p.Next();
    ASSERT_EQ(p.Shown(AccountBankA, Assets).size(), 1u);
    EXPECT_EQ(p.Shown(AccountBankA, Assets)[0].Tag, "1a");
    EXPECT_EQ(p.Shown(AccountBankA, Assets)[0].Label, "KR,A");
    EXPECT_DOUBLE_EQ(p.Shown(AccountBankA, Assets)[0].Amount, 400);
    EXPECT_EQ(p.Explanation(1),
              "Ausgangssituation zu Beginn der Periode t = 5 (Ende der Vorperiode)\n\n"
              "KREDITVERGABE DER GESCHÄFTSBANKEN (SICHTEINLAGEN)\n"
              "1a) Entsprechend ihrem Marktanteil hat die Bank A 50% aller bisherigen "
              "Geschäftsbankkredite an Nichtbanken vergeben.\n"
              "1b) Dem stehen Sichteinlagen des Nichtbankensektors in gleicher Höhe gegenüber.");
    EXPECT_TRUE(p.CanUndo());
    p.Undo();
    EXPECT_EQ(p.Booked(), 0);
    EXPECT_TRUE(p.Shown(AccountBankA, Assets).empty());

    p.FinishRound();
    EXPECT_TRUE(p.RoundComplete());
    EXPECT_NE(p.Explanation(1).find("*** Ende von Runde 0 ***"), std::string::npos);
    EXPECT_NE(p.Explanation(2).find("*** End of round 0 ***"), std::string::npos);
    p.Next(); // round 1 starts with empty accounts
    EXPECT_EQ(p.Round(), 1);
    EXPECT_TRUE(p.Shown(AccountCentralBank, Liabilities).empty());
    EXPECT_EQ(p.Explanation(1), "Monetäre Impulsanalyse für Periode t = 5");
    p.GoTo(3, 2);
    EXPECT_EQ(p.Round(), 3);
    EXPECT_EQ(p.Booked(), 2);
    p.Restart();
    EXPECT_EQ(p.Round(), 0);
    EXPECT_EQ(p.Booked(), 0);
}

TEST(AccountingProcessTest, HiddenBankAndSingleBankMarket) {
    const auto m = Expansion();
    AccountingProcess p(*m, T, Shares(100, 100)); // bank A has no share at all
    p.GoTo(2, 1000);
    EXPECT_TRUE(p.Shown(AccountBankA, Assets).empty());
    EXPECT_TRUE(p.Shown(AccountBankA, Liabilities).empty());
    EXPECT_NE(p.Explanation(1).find("Da die Bank B allein am Markt ist"), std::string::npos);
}

TEST(AccountingProcessTest, NoImpulseIsExplained) {
    const auto m = Periods(0.2, 0.1, 1000, 0.2, 0.1, 1000);
    AccountingProcess p(*m, T, MoneyShares{});
    p.GoTo(1, 1000);
    EXPECT_NE(p.Explanation(1).find("keinen Geld- und Kreditschöpfungsprozess"), std::string::npos);
    EXPECT_FALSE(p.CanGoForward());
}

} // namespace
} // namespace tv
