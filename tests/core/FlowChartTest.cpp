#include "core/FlowChart.h"
#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Behaviour.h"
#include "core/Model.h"
#include "core/PeriodRun.h"
#include "core/Solver.h"
#include "core/Symbols.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace tv {
namespace {

Model SolvedOpenModel() {
    Model m = test::OpenFlexibleModel();
    test::RecordingHost host;
    Solve(m, host);
    return m;
}

TEST(FlowChartData, FlowsEqualTheSolvedValues) {
    Model m = SolvedOpenModel();
    const int t = 5;
    FlowChartData d;
    d.Recompute(m, t);
    auto v = [&](int n) { return m.ModelVar(t, n); };
    using namespace var;
    const struct {
        int variable;
        double planned, realised;
    } expected[FlowCount] = {
        {Y, v(Y), v(Y)},
        {Im, v(Im), v(Im)},
        {T, TaxesExp(m, t, v(YErw)), v(T)},
        {Tr, v(Tr), v(Tr)},
        {C, v(C), v(C)},
        {G, v(G), v(G)},
        {Ex, v(Ex), v(Ex)},
        {S, v(YVErw) - v(C), v(YV) - v(C)},
        {BS, BudgetSurplusExp(m, t, v(YErw)), v(T) - v(G) - v(Tr)},
        {AB, v(AB), v(AB)},
        {I, v(I), v(I) + v(X) - v(N)},
    };
    for (int k = 0; k < FlowCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(d.Flow(k).variable, expected[k].variable);
        EXPECT_EQ(d.Flow(k).planned, expected[k].planned);
        EXPECT_EQ(d.Flow(k).realised, expected[k].realised);
        EXPECT_EQ(d.Flow(k).present, FormatsNonZero(m, v(expected[k].variable)));
    }
    // The open model has trade and a government; its income is not zero.
    EXPECT_TRUE(d.Flow(0).present);
    EXPECT_TRUE(d.ForeignPresent());
    EXPECT_TRUE(std::isfinite(d.Flow(0).planned));
}

TEST(FlowChartData, PresenceFollowsTheNumberFormat) {
    Model m;
    m.DecimalPlaces = 2;
    const struct {
        double x;
        int decimals;
        char separator;
        bool nonZero;
    } cases[] = {
        {0.001, 2, '.', false}, {0.001, 3, '.', true}, {-0.004, 2, '.', false},
        {0.005, 2, ',', true},  {12.5, 0, ',', true},  {0.0, 5, '.', false},
        {NAN, 2, '.', true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        m.DecimalPlaces = static_cast<uint8_t>(c.decimals);
        m.DecimalSeparator = c.separator;
        EXPECT_EQ(FormatsNonZero(m, c.x), c.nonZero);
    }
}

TEST(FlowChartData, ShowingAndTheTitleCount) {
    Model m = SolvedOpenModel();
    const int t = 3;
    // No trade: Ex and Im vanish, and with them the rest of the world.
    m.SetModelVar(t, var::Ex, 0);
    m.SetModelVar(t, var::Im, 0.001);
    FlowChartData d;
    d.Recompute(m, t);
    const int n = d.PresentCount();
    EXPECT_LE(n, 9);
    EXPECT_FALSE(d.ForeignPresent());
    EXPECT_EQ(d.Title(1), "Zahlungsströme (0 von " + std::to_string(n) + ")");
    d.ShowNext();
    d.ShowNext();
    EXPECT_EQ(d.Title(2), "Flows of Payments (2 of " + std::to_string(n) + ")");
    d.HideLast();
    EXPECT_EQ(d.ShownCount(), 1);
    d.ShowAll();
    d.GoodsView = true;
    EXPECT_EQ(d.Title(1),
              "Leistungsströme (" + std::to_string(n) + " von " + std::to_string(n) + ")");
    // Showing more than exists does nothing.
    d.ShowNext();
    EXPECT_EQ(d.ShownCount(), n);
    d.HideLast(); // the last band, investment, goes first
    EXPECT_FALSE(d.Flow(FlowCount - 1).shown);
    d.ShowNext();

    // A flow that disappears in another period loses its shown flag; the count follows.
    m.SetModelVar(t, var::Y, 0);
    d.Recompute(m, t);
    EXPECT_FALSE(d.Flow(0).shown);
    EXPECT_EQ(d.ShownCount(), n - 1);
    EXPECT_EQ(d.PresentCount(), n - 1);
    d.HideAll();
    EXPECT_EQ(d.ShownCount(), 0);

    // Nothing present: no title.
    Model empty;
    d.Recompute(empty, 1);
    EXPECT_EQ(d.PresentCount(), 0);
    EXPECT_EQ(d.Title(1), "");
    // Without purchases, taxes and transfers there is no government.
    d.Recompute(m, t);
    EXPECT_TRUE(d.GovernmentPresent());
    for (int g : {var::G, var::T, var::Tr})
        m.SetModelVar(t, g, 0);
    d.Recompute(m, t);
    EXPECT_FALSE(d.GovernmentPresent());
}

TEST(FlowChartData, AlwaysAllShowsEveryFlowAfterRecomputation) {
    Model m = SolvedOpenModel();
    FlowChartData d;
    d.AlwaysAll = true;
    d.Recompute(m, 2);
    EXPECT_EQ(d.ShownCount(), d.PresentCount());
    EXPECT_GT(d.PresentCount(), 0);
}

// Every band starts on the edge of the paying box, ends on the edge of the receiving one and
// crosses no other box (a band under a box is a flow nobody sees).
TEST(FlowChartLayout, BandsRunFromBoxToBoxAndClearOfTheOthers) {
    auto onEdge = [](LogicalPoint p, const LogicalRect& r) {
        return r.Contains(p) &&
               (p.x == r.left || p.x == r.right || p.y == r.top || p.y == r.bottom);
    };
    for (int k = 0; k < FlowCount; ++k) {
        SCOPED_TRACE(k);
        const FlowRoute& r = Route(k);
        ASSERT_GE(r.points.size(), 2u);
        EXPECT_TRUE(onEdge(r.points.front(), NodeRect(r.from)));
        EXPECT_TRUE(onEdge(r.points.back(), NodeRect(r.to)));
        for (size_t j = 1; j < r.points.size(); ++j) // straight runs, square corners
            EXPECT_TRUE(r.points[j].x == r.points[j - 1].x || r.points[j].y == r.points[j - 1].y);
        for (double f = 0.01; f < 1; f += 0.01) {
            const LogicalPoint p = PointAlong(r, f);
            for (int n = 0; n < FlowNodeCount; ++n) {
                const LogicalRect box = NodeRect(FlowNode(n));
                const bool inside =
                    p.x > box.left && p.x < box.right && p.y > box.top && p.y < box.bottom;
                EXPECT_FALSE(inside) << "at " << f << " inside node " << n;
            }
        }
        // Its label sits clear of the boxes and of the other labels.
        const LogicalPoint label = PointAlong(r, r.label);
        for (int n = 0; n < FlowNodeCount; ++n) {
            const LogicalRect b = NodeRect(FlowNode(n));
            EXPECT_FALSE(LogicalRect({b.left - 300, b.top - 300, b.right + 300, b.bottom + 300})
                             .Contains(label))
                << "label near node " << n;
        }
        for (int j = 0; j < k; ++j) {
            const LogicalPoint other = PointAlong(Route(j), Route(j).label);
            EXPECT_GT(std::hypot(label.x - other.x, label.y - other.y), 800) << "label " << j;
        }
    }
}

// Fractions of the whole length, whatever the segments; a segment without length is passed
// over, never divided by.
TEST(FlowChartLayout, PointAlongMeasuresTheWholeRoute) {
    const FlowRoute r{
        FlowNode::Households, FlowNode::Business, {{5, 5}, {5, 5}, {105, 5}, {105, 105}}};
    for (auto [f, x, y] :
         {std::tuple{-1.0, 5, 5}, {0.0, 5, 5}, {0.25, 55, 5}, {0.75, 105, 55}, {2.0, 105, 105}}) {
        const LogicalPoint p = PointAlong(r, f);
        EXPECT_EQ(p.x, x) << f;
        EXPECT_EQ(p.y, y) << f;
    }
}

// The sector boxes are equal squares: the households' in the corner of the 10,000-unit chart
// inside a margin of 500, business and government mirrored from it, the rest of the world on
// the diagonal; the capital market is a smaller square in the middle.
TEST(FlowChartLayout, BoxesAreSquaresInASymmetricLayout) {
    auto side = [](FlowNode n) {
        const LogicalRect r = NodeRect(n);
        EXPECT_EQ(r.right - r.left, r.bottom - r.top) << NodeName(n);
        return r.right - r.left;
    };
    const LogicalRect h = NodeRect(FlowNode::Households), b = NodeRect(FlowNode::Business),
                      g = NodeRect(FlowNode::Government), f = NodeRect(FlowNode::Foreign);
    EXPECT_EQ(h.left, 500);
    EXPECT_EQ(h.top, 500);
    for (FlowNode n :
         {FlowNode::Households, FlowNode::Business, FlowNode::Government, FlowNode::Foreign})
        EXPECT_EQ(side(n), 2500);
    EXPECT_EQ(side(FlowNode::CapitalMarket), 2000);
    EXPECT_EQ(NodeRect(FlowNode::CapitalMarket).left, 4000);
    EXPECT_EQ(NodeRect(FlowNode::CapitalMarket).top, 4000);
    EXPECT_EQ(b.left, 10000 - h.right);
    EXPECT_EQ(b.top, h.top);
    EXPECT_EQ(g.top, 10000 - h.bottom);
    EXPECT_EQ(g.left, h.left);
    EXPECT_EQ(f.left, 6250);
    EXPECT_EQ(f.top, f.left);
}

TEST(FlowChartLayout, PointingFindsShownBandsAndDrawnBoxes) {
    Model m = SolvedOpenModel();
    FlowChartData d;
    d.Recompute(m, 2);
    const int g = 5; // G turns the corner below the rest of the world
    const LogicalPoint onG = PointAlong(Route(g), 0.5);
    EXPECT_EQ(FlowAt(d, onG, 120), -1); // not shown yet
    d.ShowAll();
    EXPECT_EQ(FlowAt(d, onG, 120), g);
    EXPECT_EQ(FlowAt(d, {onG.x, onG.y + 500}, 120), -1);
    EXPECT_EQ(FlowAt(d, {5000, 1100 + 120}, 120), 0);  // Y's band, just at the tolerance
    EXPECT_EQ(FlowAt(d, {3000 - 200, 1100}, 120), -1); // in line with Y, past its end
    EXPECT_EQ(FlowAt(d, {1100 + 100, 5000}, 120), 2);  // T's vertical band, mid-way
    EXPECT_EQ(NodeAt(d, {1000, 1000}), FlowNode::Households);
    EXPECT_EQ(NodeAt(d, {5000, 5000}), FlowNode::CapitalMarket);
    EXPECT_EQ(NodeAt(d, {5000, 500}), std::nullopt);
    // Without trade there is no rest of the world to point at.
    m.SetModelVar(2, var::Ex, 0);
    m.SetModelVar(2, var::Im, 0);
    d.Recompute(m, 2);
    EXPECT_EQ(NodeAt(d, {7500, 7500}), std::nullopt);
}

// The budget identities over the boxes, for a hand-made period: the terms follow the signs
// of the value set shown and only present flows appear.
TEST(FlowChartPointing, BudgetIdentities) {
    using namespace var;
    const struct {
        const char* name;
        double s, bs, ab, i, tr;
        FlowNode node;
        bool realised;
        std::string text;
    } cases[] = {
        {"households saving", 50, 10, 5, 40, 0, FlowNode::Households, true,
         "Y = 500.00   ||   T + C + S = 500.00"},
        {"households saving little", 0.5, 10, 5, 40, 0, FlowNode::Households, true,
         "Y = 500.00   ||   T + C + S = 500.00"},
        {"households planning no saving", 50, 10, 5, 40, 0, FlowNode::Households, false,
         "Y - S = 500.00   ||   T + C = 500.00"},
        {"households dissaving", -20, 10, 5, 40, 30, FlowNode::Households, true,
         "Y + Tr - S = 550.00   ||   T + C = 550.00"},
        {"government deficit", 50, -15, 5, 40, 30, FlowNode::Government, true,
         "T + BD = 115.00   ||   G + Tr = 115.00"},
        {"government surplus", 50, 15, 5, 40, 0, FlowNode::Government, true,
         "T = 100.00   ||   G + BS = 100.00"},
        {"small government surplus", 50, 0.5, 5, 40, 0, FlowNode::Government, true,
         "T = 100.00   ||   G + BS = 100.00"},
        {"foreign surplus", 50, 15, 5, 40, 0, FlowNode::Foreign, true,
         "Im + AB = 65.00   ||   Ex = 65.00"},
        {"small foreign surplus", 50, 15, 0.5, 40, 0, FlowNode::Foreign, true,
         "Im + AB = 60.50   ||   Ex = 60.50"},
        {"foreign deficit", 50, 15, -5, 40, 0, FlowNode::Foreign, true,
         "Im = 60.00   ||   Ex - AB = 60.00"},
        {"business", 50, 15, 5, 40, 0, FlowNode::Business, true,
         "N = 560.00   ||   Y + Im = 560.00"},
        {"capital market", 50, 15, 5, 40, 0, FlowNode::CapitalMarket, true,
         "dKA = S + BS   ||   dKN = I + AB"},
        {"capital market deficits", -50, -15, -5, -40, 0, FlowNode::CapitalMarket, true,
         "dKA = - I - AB   ||   dKN = - S + BD"},
        {"capital market without flows", 0, 0, 0, 0, 0, FlowNode::CapitalMarket, true,
         "dKA = 0   ||   dKN = 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Model m;
        m.DecimalPlaces = 2;
        const int t = 1;
        const std::pair<int, double> values[] = {
            {Y, 500},        {Im, 60}, {T, 100},     {Tr, c.tr},  {C, 350}, {G, 100 - c.bs - c.tr},
            {Ex, 65},        {S, c.s}, {BS, c.bs},   {AB, c.ab},  {I, c.i}, {N, 560},
            {YV, 350 + c.s}, {X, 560}, {YVErw, 350}, {YErw, 500},
        };
        for (const auto& [n, x] : values)
            m.SetModelVar(t, n, x);
        FlowChartData d;
        d.Recompute(m, t);
        d.Realised = c.realised;
        EXPECT_EQ(NodeBalanceText(m, t, d, c.node), c.text);
    }
}

TEST(PeriodRun, StepsByTheJumpWidthUntilTheRightEdge) {
    const struct {
        int current, right, jump;
        std::vector<int> visits;
    } cases[] = {
        {0, 10, 3, {3, 6, 9}}, {10, 10, 1, {}},  {0, 4, 1, {1, 2, 3, 4}},
        {5, 10, 5, {10}},      {0, 10, 100, {}}, {2147483600, 2147483647, 100, {}},
    };
    for (const auto& c : cases) {
        PeriodRun run;
        run.SetJumpWidth(c.jump);
        std::vector<int> visited;
        for (int p = run.NextPeriod(c.current, c.right); p >= 0; p = run.NextPeriod(p, c.right))
            visited.push_back(p);
        EXPECT_EQ(visited, c.visits) << c.current << " " << c.right << " " << c.jump;
        EXPECT_EQ(run.NextPeriod(c.right, c.right), -1);
    }
}

TEST(PeriodRun, SettingsAreClampedAndCaptioned) {
    PeriodRun run;
    EXPECT_EQ(run.DelayCaption(1), "Verzögerung = 0.1s");
    run.SetDelay(25);
    EXPECT_EQ(run.DelayCaption(2), "Delay = 2.5s");
    EXPECT_EQ(run.DelayCaption(1, ','), "Verzögerung = 2,5s");
    EXPECT_EQ(run.DelayMilliseconds(), 2500);
    run.SetDelay(500);
    EXPECT_EQ(run.Delay(), 100);
    run.SetJumpWidth(0);
    EXPECT_EQ(run.JumpCaption(1), "Sprungweite = 1 Per.");
    run.SetJumpWidth(7);
    EXPECT_EQ(run.JumpCaption(2), "Steps = 7 Per.");
    run.SetJumpWidth(500);
    EXPECT_EQ(run.JumpCaption(2), "Steps = 100 Per.");
    run.SetDelay(-3);
    EXPECT_EQ(run.Delay(), 0);
}

} // namespace
} // namespace tv
