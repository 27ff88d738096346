#include "windows/ResultTable.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "windows/EquationSystem.h"

#include <gtest/gtest.h>

#include <functional>

namespace tv {
namespace {

// A solved model whose interval is 0..10 with the current period 5.
Model Solved(Model m, const std::function<void(Model&)>& change = {}) {
    m.Periods.RightEdge = 10;
    if (change) change(m);
    test::RecordingHost host;
    SolveAtProgramStart(m, host);
    m.Periods.CurrentPeriod = 5;
    return m;
}

struct Window {
    ResultTable table;
    LineCodeTable codes;
};

Window Build(const Model& m, int window, int shown, ResultGroups groups = {},
             ResultOptions options = {}, int language = 1) {
    Window w;
    w.codes.Assign(BuildEquationSystem(m, shown, language));
    w.table = BuildResultTable(m, w.codes, SetupResultPeriods(window, shown, m.Periods), options,
                               groups, language);
    return w;
}

ResultGroups AllOpen() {
    ResultGroups g;
    g.Expanded.fill(true);
    return g;
}

const ResultRow* Row(const ResultTable& t, const std::string& label) {
    const int k = t.Find(label);
    return k < 0 ? nullptr : &t.Rows[k];
}

TEST(ResultPeriods, AssignmentDecidesValueAndDifferencePeriods) {
    PeriodState p;
    p.LeftEdge = 2;
    p.CurrentPeriod = 5;
    p.RightEdge = 9;
    struct {
        int window, shown;
        ResultPeriods want;
        const char* value;
        const char* diff;
    } const cases[] = {
        {1, 5, {5, 2, 5}, "Wert (t=5)", "t=5 \u2212 t=2"},
        {1, 2, {2, 2, 5}, "Wert (t=2)", "t=5 \u2212 t=2"},
        {2, 5, {5, 5, 9}, "Wert (t=5)", "t=9 \u2212 t=5"},
        {2, 9, {9, 5, 9}, "Wert (t=9)", "t=9 \u2212 t=5"},
    };
    Model m;
    LineCodeTable none;
    for (const auto& c : cases) {
        const ResultPeriods got = SetupResultPeriods(c.window, c.shown, p);
        EXPECT_EQ(got, c.want) << c.window << " " << c.shown;
        const ResultTable t = BuildResultTable(m, none, got, {}, {}, 1);
        ASSERT_EQ(t.Headings.size(), 3u);
        EXPECT_EQ(t.Headings[0], "Größe");
        EXPECT_EQ(t.Headings[1], c.value);
        EXPECT_EQ(t.Headings[2], c.diff);
    }
}

// Which rows a window shows for a set of switch combinations: a row needs its equation.
struct RowsCase {
    const char* name;
    std::function<Model()> model;
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

class ResultRows : public testing::TestWithParam<RowsCase> {};

TEST_P(ResultRows, FollowTheEquationWindow) {
    const RowsCase& c = GetParam();
    const Model m = c.model();
    const Window w = Build(m, 1, 5, AllOpen());
    std::string dump;
    for (const auto& r : w.table.Rows)
        dump += r.Label + "\n";
    SCOPED_TRACE(dump);
    for (const auto& label : c.present)
        EXPECT_NE(Row(w.table, label), nullptr) << "missing: " << label;
    for (const auto& label : c.absent)
        EXPECT_EQ(Row(w.table, label), nullptr) << "unexpected: " << label;
    for (const auto& r : w.table.Rows)
        EXPECT_EQ(r.Cells.size(), 2u) << r.Label;
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ResultRows,
    testing::Values(
        RowsCase{"Keynesian",
                 [] { return Solved(test::KeynesianModel()); },
                 {"Güternachfrage <<", "...Konsum", "...Investitionen", "...Staatsnachfrage",
                  "Güterangebot <<", "Einkommen <<", "Multiplikator (einfach) <<",
                  "...Marg. Absorptionsquote (%)", "Private Ersparnis", "Staatl. Budgetsaldo",
                  "Erwartetes Einkommen <<", "Erwartete Güternachfrage"},
                 {"...Exporte", "...Importe", "Außenbeitrag", "Nettokapitalimporte",
                  "Zinsniveau,nom. (%)", "Geldmenge (real) <<", "Devisenbilanzsaldo",
                  "Preisniveau <<", "Wechselkurs,nom.", "Wechselkurs,real", "Erwartete Importe"}},
        RowsCase{"NoGovernmentNoBudgetRow",
                 [] {
                     return Solved(test::KeynesianModel(), [](Model& m) {
                         test::SetAll(m, {{par::GAut, 0}});
                     });
                 },
                 {"Güternachfrage <<"},
                 {"...Staatsnachfrage", "Staatl. Budgetsaldo"}},
        RowsCase{"BondMarket",
                 [] { return Solved(test::BondMarketModel()); },
                 {"Zinsniveau,nom. (%)", "Multiplikator (zinserweitert)", "Geldnachfrage",
                  "Geldmenge (real) <<", "...Geldmenge (nom.)", "Devisenbilanzsaldo",
                  "Preisniveau <<", "...Inflationsrate (%)", "...Lohnquote (%)"},
                 {"...Geldschöpfungsmultiplikator", "Wechselkurs,nom.", "Außenbeitrag"}},
        RowsCase{"OpenFlexible",
                 [] { return Solved(test::OpenFlexibleModel()); },
                 {"...Exporte", "...Importe", "Außenbeitrag", "Nettokapitalimporte",
                  "Wechselkurs,nom.", "Wechselkurs,real", "...Geldschöpfungsmultiplikator",
                  "...Monetäre Basis", "...Bargeldumlauf", "...Sichteinlagen", "...Mindestreserve",
                  "Erwartete Importe"},
                 {"Devisenbilanzsaldo", "Preisniveau <<"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResultTable, ClosedGroupsShowOnlyTheirHeaders) {
    const Model m = Solved(test::OpenFlexibleModel());
    const Window w = Build(m, 1, 5);
    for (const auto& r : w.table.Rows) {
        EXPECT_NE(r.Label.rfind("...", 0), 0u) << r.Label;
        if (r.Header) {
            EXPECT_TRUE(r.Label.ends_with(" >>")) << r.Label;
        }
    }
    // Groups 1, 2, 3, 4, 5, 6, 8 head rows; 7 (prices) is not part of this model.
    for (int g = 1; g <= 8; ++g) {
        if (g == 7) {
            EXPECT_EQ(w.table.HeaderRow[g], 255);
            continue;
        }
        const int row = w.table.HeaderRow[g];
        ASSERT_GE(row, 1) << g;
        EXPECT_TRUE(w.table.Rows[row - 1].Header);
        EXPECT_EQ(w.table.GroupAtRow(row), g);
    }
    EXPECT_EQ(w.table.HeaderRow[1], 1);
    EXPECT_EQ(w.table.GroupAtRow(0), 0);
}

TEST(ResultTable, PlainRowsWhenTheEquationWindowShowsNoComponents) {
    const Model m = Solved(test::KeynesianModel());
    LineCodeTable none;
    const ResultTable t =
        BuildResultTable(m, none, SetupResultPeriods(1, 5, m.Periods), {}, AllOpen(), 1);
    EXPECT_NE(Row(t, "Güternachfrage"), nullptr);
    EXPECT_NE(Row(t, "Einkommen"), nullptr);
    EXPECT_EQ(Row(t, "...Konsum"), nullptr);
    EXPECT_EQ(Row(t, "...Lohneinkommen"), nullptr);
    EXPECT_EQ(Row(t, "Staatl. Budgetsaldo"), nullptr);
    EXPECT_EQ(t.HeaderRow[1], 255);
    EXPECT_EQ(t.HeaderRow[3], 255);
}

TEST(ResultTable, ToggleAllFollowsGroupOne) {
    ResultGroups g;
    g.Expanded[4] = true;
    g.ToggleAll();
    for (int k = 1; k <= 8; ++k)
        EXPECT_TRUE(g.Expanded[k]);
    g.Toggle(1);
    g.ToggleAll();
    for (int k = 1; k <= 8; ++k)
        EXPECT_TRUE(g.Expanded[k]);
    g.ToggleAll();
    for (int k = 1; k <= 8; ++k)
        EXPECT_FALSE(g.Expanded[k]);
}

// Values and differences for both windows and both assignments after a policy change.
TEST(ResultTable, ValuesAndDifferences) {
    const Model m = Solved(test::KeynesianModel(), [](Model& m) {
        test::SetFrom(m, 3, {{par::GAut, 150}});
    });
    auto y = [&](int t) { return m.GetVar(t, var::Y); };
    auto f = [&](double x) { return m.FormatNumber(x); };
    ASSERT_NE(y(10), y(0));
    struct {
        int window, shown, from, to;
    } const cases[] = {{1, 5, 0, 5}, {1, 0, 0, 5}, {2, 5, 5, 10}, {2, 10, 5, 10}};
    for (const auto& c : cases) {
        const Window w = Build(m, c.window, c.shown, AllOpen());
        const ResultRow* income = Row(w.table, "Einkommen <<");
        ASSERT_NE(income, nullptr);
        EXPECT_EQ(income->Cells[0], f(y(c.shown))) << c.window << " " << c.shown;
        EXPECT_EQ(income->Cells[1], f(y(c.to) - y(c.from))) << c.window << " " << c.shown;
        const ResultRow* g = Row(w.table, "...Staatsnachfrage");
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->Cells[1], f(m.GetVar(c.to, var::G) - m.GetVar(c.from, var::G)));
        const ResultRow* trade = Row(w.table, "Private Ersparnis");
        ASSERT_NE(trade, nullptr);
        EXPECT_EQ(trade->Cells[0], f(m.GetVar(c.shown, var::S)));
    }
}

TEST(ResultTable, PlanAndActualColumnsFollowTheOptions) {
    Model m = Solved(test::KeynesianModel(), [](Model& m) {
        test::SetFrom(m, 3, {{par::GAut, 150}});
    });
    m.Periods.CurrentPeriod = 3;
    ResultOptions all;
    all.Ticked.fill(true);
    const Window w = Build(m, 1, 3, AllOpen(), all);
    ASSERT_EQ(w.table.Headings.size(), 6u);
    auto v = [&](int t, int n) { return m.GetVar(t, n); };
    auto f = [&](double x) { return m.FormatNumber(x); };
    auto invActual = [&](int t) { return v(t, var::I) + v(t, var::NErw) - v(t, var::N); };
    const ResultRow* inv = Row(w.table, "...Investitionen");
    ASSERT_NE(inv, nullptr);
    ASSERT_EQ(inv->Cells.size(), 5u);
    // Shown = 3 = PeriodTo; From = 0.
    EXPECT_EQ(inv->Cells[0], f(v(3, var::I)));
    EXPECT_EQ(inv->Cells[1], f(v(3, var::I) - v(0, var::I)));
    EXPECT_EQ(inv->Cells[2], f(v(3, var::I) - invActual(3)));
    EXPECT_EQ(inv->Cells[3], f(invActual(3)));
    EXPECT_EQ(inv->Cells[4], f(invActual(3) - invActual(0)));
    const ResultRow* demand = Row(w.table, "Güternachfrage <<");
    ASSERT_NE(demand, nullptr);
    EXPECT_EQ(demand->Cells[3], f(v(3, var::X)));
    // A simple row fills value and difference only.
    const ResultRow* income = Row(w.table, "Einkommen <<");
    ASSERT_NE(income, nullptr);
    EXPECT_EQ(income->Cells[0], f(v(3, var::Y)));
    EXPECT_EQ(income->Cells[2], "");
}

TEST(ResultTable, Multipliers) {
    // Parameters only: the multipliers read no solved values.
    Model m = test::BondMarketModel();
    m.Periods.CurrentPeriod = 2;
    LineCodeTable none;
    const ResultPeriods p = SetupResultPeriods(1, 2, m.Periods); // from 0 to 2
    auto cells = [&](const std::string& label, int language = 1) {
        const ResultTable t = BuildResultTable(m, none, p, {}, {}, language);
        const ResultRow* r = Row(t, label);
        return r ? r->Cells : std::vector<std::string>{"missing"};
    };
    const double d = DomesticSpendingPropensity(m, 2);
    EXPECT_EQ(cells("Multiplikator (einfach) >>"),
              (std::vector<std::string>{m.FormatNumber(1 / (1 - d)), m.FormatNumber(0)}));
    EXPECT_EQ(cells("Multiplikator (zinserweitert)"),
              (std::vector<std::string>{m.FormatNumber(Multiplier(m, 2)), m.FormatNumber(0)}));

    // A ratio of 1 or more in the period shown: infinite.
    test::SetFrom(m, 2, {{par::cY, 1}, {par::tY, 0}, {par::bY, 0.5}});
    EXPECT_EQ(cells("Multiplikator (einfach) >>"), (std::vector<std::string>{"unendlich", "xxx"}));
    EXPECT_EQ(cells("Multiplier (simple) >>", 2), (std::vector<std::string>{"infinite", "xxx"}));
    // Unstable interest-augmented multiplier.
    EXPECT_EQ(cells("Multiplikator (zinserweitert)")[0], "-oo");
    EXPECT_EQ(cells("Multiplikator (zinserweitert)")[1], "");

    // Finite in the period shown, infinite at the other end: no difference.
    const ResultPeriods back{0, 0, 2};
    const ResultTable t = BuildResultTable(m, none, back, {}, {}, 1);
    const ResultRow* r = Row(t, "Multiplikator (einfach) >>");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Cells[1], "");
    EXPECT_NE(r->Cells[0], "unendlich");

    // A vertical money demand curve leaves no room for the interest-augmented effect.
    test::SetAll(m, {{par::li, 0}});
    EXPECT_EQ(cells("Multiplikator (zinserweitert)")[0], m.FormatNumber(0));
}

TEST(ResultTable, LargeValuesInExponentFormat) {
    const Model m = Solved(test::KeynesianModel(), [](Model& m) {
        test::SetAll(m, {{par::CAut, 3e6}});
    });
    const Window w = Build(m, 1, 5);
    const ResultRow* income = Row(w.table, "Einkommen >>");
    ASSERT_NE(income, nullptr);
    ASSERT_GE(m.GetVar(5, var::Y), 1e7);
    EXPECT_NE(income->Cells[0].find("E+"), std::string::npos) << income->Cells[0];
}

struct FitCase {
    int client, widest, columns, need;
    std::vector<int> widths;
};

TEST(ResultColumns, FitTheClientWidthAndGiveNumbersTheirRoom) {
    const FitCase cases[] = {
        {400, 100, 2, 50, {124, 137, 137}},              // labels + 25, the rest shared
        {400, 300, 2, 50, {198, 100, 100}},              // long labels take at most half
        {400, 300, 2, 130, {136, 131, 131}},             // wide numbers push the labels back
        {400, 300, 2, 190, {98, 150, 150}},              // but labels keep a quarter
        {600, 50, 5, 40, {73, 105, 105, 105, 105, 105}}, // all five content options
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client << " " << c.widest << " " << c.need);
        const std::vector<int> w = FitResultColumns(c.client, c.widest, c.columns, c.need);
        EXPECT_EQ(w, c.widths);
        int total = 0;
        for (int x : w)
            total += x;
        EXPECT_EQ(total, c.client - 2);
    }
    EXPECT_EQ(FitResultColumns(0, 100, 2, 50), std::vector<int>{0}); // not laid out yet
}

} // namespace
} // namespace tv

namespace tv {
namespace {

// The rows a user can ask "why?" about name the variable whose value they show.
TEST(ResultTable, RowsNameTheVariableTheyShow) {
    for (const Model& base : {test::ClosedISLMModel(), test::OpenFlexibleModel()}) {
        const Model m = Solved(base);
        ResultGroups open;
        open.Expanded.fill(true);
        const Window w = Build(m, 1, 5, open);
        int asked = 0;
        for (const ResultRow& row : w.table.Rows) {
            if (row.Variable == 0) continue;
            ++asked;
            ASSERT_FALSE(row.Cells.empty()) << row.Label;
            EXPECT_EQ(row.Cells[0], m.FormatNumber(m.GetVar(5, row.Variable))) << row.Label;
        }
        EXPECT_GT(asked, 15);
    }
}

} // namespace
} // namespace tv
