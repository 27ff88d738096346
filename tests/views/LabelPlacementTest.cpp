// Where curve labels go: a label keeps its place unless a line crosses it, it collides,
// leaves the plot or lies nearer another curve; then it moves beside its own curve, else to
// the nearest free place with a leader line; the diagrams write their labels after every
// line and on a piece of the curve that shows.

#include "views/LabelPlacement.h"
#include "views/DiagramData.h"
#include "views/GraphStyle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace tv;

namespace {

const DeviceRect Box{100, 50, 700, 450};
constexpr int GapX = 6, GapY = 4;

LabelRequest Label(int x, int y, std::vector<std::vector<DevicePoint>> track = {}, int priority = 0,
                   int width = 40, int height = 12) {
    LabelRequest r;
    r.Width = width;
    r.Height = height;
    r.Anchor = {x, y};
    r.Track = std::move(track);
    r.Priority = priority;
    return r;
}

// Distance of a rectangle to the nearest point of a polyline, in pixels.
double DistanceTo(const DeviceRect& r, const std::vector<std::vector<DevicePoint>>& track) {
    double best = 1e18;
    for (const auto& piece : track)
        for (size_t k = 1; k < piece.size(); ++k)
            for (int s = 0; s <= 100; ++s) {
                const double x = piece[k - 1].X + (piece[k].X - piece[k - 1].X) * s / 100.0;
                const double y = piece[k - 1].Y + (piece[k].Y - piece[k - 1].Y) * s / 100.0;
                const double dx = std::max({r.Left - x, 0.0, x - r.Right});
                const double dy = std::max({r.Top - y, 0.0, y - r.Bottom});
                best = std::min(best, std::hypot(dx, dy));
            }
    return best;
}

// The rectangles of the placed labels; none left out.
std::vector<std::optional<DeviceRect>> Places(const std::vector<DrawnLine>& lines,
                                              const std::vector<LabelRequest>& labels) {
    std::vector<std::optional<DeviceRect>> out;
    for (const auto& p : PlaceLabels(Box, GapX, GapY, lines, labels))
        out.push_back(p ? std::optional<DeviceRect>(p->Rect) : std::nullopt);
    return out;
}

void ExpectReadable(const std::vector<std::optional<DeviceRect>>& placed) {
    for (size_t i = 0; i < placed.size(); ++i) {
        ASSERT_TRUE(placed[i].has_value()) << "label " << i << " left out";
        EXPECT_TRUE(Inside(Box, *placed[i])) << "label " << i;
        for (size_t j = i + 1; j < placed.size(); ++j)
            EXPECT_FALSE(Overlap(*placed[i], *placed[j])) << "labels " << i << " and " << j;
    }
}

} // namespace

TEST(LabelPlacement, ALabelBesideAPointFollowsTheWrittenRule) {
    struct Case {
        DevicePoint p;
        DeviceRect expected;
    } cases[] = {
        {{300, 300}, {306, 284, 346, 296}}, // right of and above the point
        {{680, 300}, {634, 284, 674, 296}}, // too close to the right edge: left of it
        {{300, 60}, {306, 64, 346, 76}},    // too close to the top: below it
    };
    for (const Case& c : cases) {
        const DeviceRect r = LabelBeside(Box, GapX, GapY, 40, 12, c.p);
        EXPECT_EQ(r.Left, c.expected.Left) << c.p.X << "," << c.p.Y;
        EXPECT_EQ(r.Top, c.expected.Top);
        EXPECT_EQ(r.Right, c.expected.Right);
        EXPECT_EQ(r.Bottom, c.expected.Bottom);
    }
}

TEST(LabelPlacement, LabelsThatCollideWithNothingKeepTheirPlaces) {
    // The last one fills the box's bottom right corner.
    const std::vector<LabelRequest> labels = {Label(200, 200), Label(400, 300), Label(600, 400),
                                              Label(654, 454)};
    const auto placed = Places({}, labels);
    for (size_t i = 0; i < labels.size(); ++i) {
        const DeviceRect want = LabelBeside(Box, GapX, GapY, 40, 12, labels[i].Anchor);
        ASSERT_TRUE(placed[i]);
        EXPECT_EQ(placed[i]->Left, want.Left);
        EXPECT_EQ(placed[i]->Top, want.Top);
    }
    // A label of no curve ignores which curve lies nearest.
    const auto loose =
        Places({{{150, 440}, {650, 440}, 1, -1}, {{260, 50}, {260, 450}, 1, 0}}, {Label(200, 200)});
    EXPECT_EQ(loose[0]->Left, 206);
    EXPECT_EQ(loose[0]->Top, 184);
    // Side by side, two labels keep three pixels between them: two are too few.
    for (int second : {243, 242}) {
        const auto pair = Places({}, {Label(200, 200), Label(second, 200)});
        EXPECT_EQ(pair[1]->Left == second + GapX, second == 243) << second;
    }
    // One above the other, they keep a pixel between them: touching is too near.
    for (int second : {213, 212}) {
        const auto pair = Places({}, {Label(200, 200), Label(200, second)});
        EXPECT_EQ(pair[1]->Left == 206 && pair[1]->Top == second - GapY - 12, second == 213)
            << second;
    }
}

// A thin line keeps three pixels between itself and a label that stays in place.
TEST(LabelPlacement, ALineTooNearALabelMovesIt) {
    for (auto [lineY, stays] : {std::pair{198, false}, {199, true}}) {
        const auto placed = Places({{{150, lineY}, {250, lineY}, 1, -1}}, {Label(200, 200)});
        ASSERT_TRUE(placed[0]);
        EXPECT_EQ(placed[0]->Top == 184, stays) << lineY; // written from 184 to 196
    }
    // So does a line that starts just left of it.
    for (auto [startX, stays] : {std::pair{203, false}, {202, true}}) {
        const auto placed = Places({{{startX, 190}, {150, 190}, 1, -1}}, {Label(200, 200)});
        EXPECT_EQ(placed[0]->Left == 206, stays) << startX;
    }
    // A line just above the box still reaches the box's top row of pixels.
    EXPECT_NE(Places({{{150, 47}, {250, 47}, 1, -1}}, {Label(200, 46)})[0]->Top, 50);
    // Moved off a line, a narrow label takes the free place nearest its written one, to the
    // pixel.
    const auto narrow = Places({{{309, 50}, {309, 450}, 1, -1}}, {Label(300, 300, {}, 0, 6)});
    ASSERT_TRUE(narrow[0]);
    EXPECT_EQ(narrow[0]->Left, 297);
    EXPECT_EQ(narrow[0]->Top, 294);
    // Moved off a line, a label does not land on one that kept its written place below it.
    ExpectReadable(Places({{{300, 275}, {360, 275}, 1, -1}}, {Label(300, 300), Label(300, 280)}));
    // A line along the right edge leaves the left edge free.
    const auto placed = Places({{{700, 50}, {700, 450}, 1, -1}}, {Label(94, 200)});
    ASSERT_TRUE(placed[0]);
    EXPECT_EQ(placed[0]->Left, 100);
}

TEST(LabelPlacement, ACollidingLabelMovesAlongItsOwnCurve) {
    // Two straight curves from one point; the reference (priority 1) gives way.
    const std::vector<std::vector<DevicePoint>> current = {{{300, 300}, {600, 100}}};
    const std::vector<std::vector<DevicePoint>> reference = {{{300, 300}, {600, 420}}};
    const std::vector<LabelRequest> labels = {Label(300, 300, reference, 1),
                                              Label(300, 300, current, 0)};
    const auto placed = Places({}, labels);
    ExpectReadable(placed);
    const DeviceRect kept = LabelBeside(Box, GapX, GapY, 40, 12, {300, 300});
    EXPECT_EQ(placed[1]->Left, kept.Left);
    EXPECT_EQ(placed[1]->Top, kept.Top);
    // Beside its own curve, not far from where it was written.
    EXPECT_LE(DistanceTo(*placed[0], reference), GapX + GapY);
    EXPECT_LT(std::abs(placed[0]->Left - kept.Left), 80);
}

TEST(LabelPlacement, EveryLabelFindsAFreePlaceWhereManyCurvesMeet) {
    struct Case {
        const char* name;
        DevicePoint meet;
    } cases[] = {{"middle", {400, 250}},
                 {"top left corner", {100, 50}},
                 {"right edge", {700, 250}},
                 {"bottom edge", {400, 450}}};
    for (const Case& c : cases) {
        std::vector<LabelRequest> labels;
        for (int k = 0; k < 8; ++k) {
            const double angle = k * 0.7;
            const DevicePoint far{c.meet.X + int(300 * std::cos(angle)),
                                  c.meet.Y + int(300 * std::sin(angle))};
            labels.push_back(Label(c.meet.X, c.meet.Y, {{c.meet, far}}, k % 2));
        }
        SCOPED_TRACE(c.name);
        ExpectReadable(Places({}, labels));
    }
}

TEST(LabelPlacement, WithoutAFreePlaceOnItsCurveALabelTakesTheNearestFreePlace) {
    // Three labels at one spot: two of curves that are single points, one without a curve.
    const std::vector<LabelRequest> labels = {Label(400, 250, {{{400, 250}}}),
                                              Label(400, 250, {{{400, 250}}}), Label(400, 250)};
    const auto placed = Places({}, labels);
    ExpectReadable(placed);
    // The first keeps its place, the second turns round its point, the third stays near.
    const DeviceRect kept = LabelBeside(Box, GapX, GapY, 40, 12, {400, 250});
    EXPECT_EQ(placed[0]->Left, kept.Left);
    EXPECT_EQ(placed[0]->Top, kept.Top);
    for (size_t k : {1u, 2u})
        EXPECT_LT(std::hypot((placed[k]->Left + placed[k]->Right) / 2.0 - 400,
                             (placed[k]->Top + placed[k]->Bottom) / 2.0 - 250),
                  60)
            << k;
}

namespace {

// A curve as drawn lines and as the track of its label.
struct TestCurve {
    std::vector<DevicePoint> Points;
    int Number;
    void AddTo(std::vector<DrawnLine>& lines) const {
        for (size_t k = 1; k < Points.size(); ++k)
            lines.push_back({Points[k - 1], Points[k], 2, Number});
    }
};

std::vector<LabelOnPlot> OnPlot(const std::vector<std::optional<LabelPlace>>& placed,
                                const std::vector<LabelRequest>& labels) {
    std::vector<LabelOnPlot> out;
    for (size_t k = 0; k < placed.size(); ++k) {
        if (!placed[k]) continue;
        LabelOnPlot l{placed[k]->Rect, labels[k].Curve, std::nullopt};
        if (placed[k]->Leader)
            l.Leader = DrawnLine{placed[k]->LeaderFrom, placed[k]->LeaderTo, 1, labels[k].Curve};
        out.push_back(l);
    }
    return out;
}

} // namespace

TEST(LabelPlacement, ALabelLiesBesideItsOwnCurveCrossedByNoLine) {
    struct Case {
        const char* name;
        std::vector<TestCurve> curves;     // each labelled at its last point
        std::vector<DrawnLine> otherLines; // axes, guides
    } cases[] = {
        // The reference curve's written place lies on the current one.
        {"parallel shift", {{{{150, 400}, {650, 300}}, 0}, {{{150, 385}, {650, 285}}, 1}}, {}},
        {"crossing curves", {{{{150, 100}, {650, 400}}, 0}, {{{150, 400}, {650, 100}}, 1}}, {}},
        {"vertical next to a vertical",
         {{{{400, 440}, {400, 60}}, 0}, {{{412, 440}, {412, 60}}, 1}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DrawnLine> lines = c.otherLines;
        std::vector<LabelRequest> labels;
        for (const TestCurve& curve : c.curves) {
            curve.AddTo(lines);
            LabelRequest r =
                Label(curve.Points.back().X, curve.Points.back().Y, {curve.Points}, curve.Number);
            r.Curve = curve.Number;
            labels.push_back(r);
        }
        const auto placed = PlaceLabels(Box, GapX, GapY, lines, labels);
        for (size_t k = 0; k < placed.size(); ++k) {
            ASSERT_TRUE(placed[k]) << k;
            EXPECT_FALSE(placed[k]->Leader) << k;
            EXPECT_LE(DistanceTo(placed[k]->Rect, labels[k].Track), 3 * GapX) << k;
        }
        const LabelFaults faults = CountLabelFaults(lines, OnPlot(placed, labels));
        EXPECT_EQ(faults.CrossedByALine, 0);
        EXPECT_EQ(faults.NearerAnotherCurve, 0);
    }
}

TEST(LabelPlacement, WhereNothingBesideItsCurveIsFreeALeaderLineTiesTheLabelToIt) {
    // A short curve inside a dense hatching: the label goes to the nearest free place.
    std::vector<DrawnLine> lines;
    for (int y = 157; y <= 357; y += 6)
        lines.push_back({{250, y}, {550, y}, 1, -1});
    const TestCurve curve{{{390, 240}, {410, 260}}, 0};
    curve.AddTo(lines);
    LabelRequest r = Label(410, 260, {curve.Points});
    r.Curve = 0;
    const auto placed = PlaceLabels(Box, GapX, GapY, lines, {r});
    ASSERT_TRUE(placed[0]);
    ASSERT_TRUE(placed[0]->Leader);
    const DevicePoint from = placed[0]->LeaderFrom;
    EXPECT_LE(DistanceTo(placed[0]->Rect, {{from, from}}), 1);
    EXPECT_LE(std::hypot(placed[0]->LeaderTo.X - 400.0, placed[0]->LeaderTo.Y - 250.0), 20);
    EXPECT_EQ(CountLabelFaults(lines, OnPlot(placed, {r})).CrossedByALine, 0);
    // The grid search's nearest free row, above the hatching over the curve's start.
    const DeviceRect& at = placed[0]->Rect;
    EXPECT_EQ((std::vector<int>{at.Left, at.Top, at.Right, at.Bottom, from.X, from.Y}),
              (std::vector<int>{356, 138, 396, 150, 390, 149}));
    // A curve that shows only as a dot gets its leader too.
    LabelRequest dot = Label(400, 250, {{{400, 250}}});
    dot.Curve = 0;
    const auto atDot = PlaceLabels(Box, GapX, GapY, lines, {dot});
    ASSERT_TRUE(atDot[0] && atDot[0]->Leader);
    EXPECT_EQ((std::vector<int>{atDot[0]->LeaderTo.X, atDot[0]->LeaderTo.Y}),
              (std::vector<int>{400, 250}));
    // The only free place is a pocket above a long curve drawn leftwards: the leader stands
    // upright on the first point of the curve, in steps of two pixels, under the label.
    std::vector<DrawnLine> bars;
    for (int x = 104; x <= 698; x += 6)
        bars.push_back({{x, x > 370 && x < 450 ? 150 : 52}, {x, 448}, 1, -1});
    const TestCurve across{{{560, 250}, {205, 250}}, 0};
    across.AddTo(bars);
    LabelRequest q = Label(205, 250, {across.Points});
    q.Curve = 0;
    const auto pocket = PlaceLabels(Box, GapX, GapY, bars, {q});
    ASSERT_TRUE(pocket[0] && pocket[0]->Leader);
    const DevicePoint up = pocket[0]->LeaderFrom, down = pocket[0]->LeaderTo;
    EXPECT_EQ((std::vector<int>{up.X, up.Y, down.X, down.Y}),
              (std::vector<int>{414, 143, 414, 250}));
    // A curve bent down under the pocket: the leader ends on the curve, not on the chord
    // between its ends that passes just below the pocket.
    std::vector<DrawnLine> vBars(bars.begin(), bars.end() - 1);
    const TestCurve vee{{{205, 160}, {414, 440}, {623, 160}}, 0};
    vee.AddTo(vBars);
    LabelRequest v = Label(205, 160, {vee.Points});
    v.Curve = 0;
    const auto bent = PlaceLabels(Box, GapX, GapY, vBars, {v});
    ASSERT_TRUE(bent[0] && bent[0]->Leader);
    const DevicePoint end = bent[0]->LeaderTo;
    EXPECT_LE(DistanceTo({end.X, end.Y, end.X, end.Y}, {vee.Points}), 1.5);
}

// Hatching across the curve round its anchor: the label goes to the nearest point along the
// curve, in steps of three pixels, that has room beside it (left of the second point).
TEST(LabelPlacement, ALabelWalksAlongItsCurveToTheNearestRoom) {
    std::vector<DrawnLine> lines;
    for (int x = 200; x <= 260; x += 6)
        lines.push_back({{x, 250}, {x, 350}, 1, -1});
    const TestCurve curve{{{200, 300}, {600, 300}}, 0};
    curve.AddTo(lines);
    LabelRequest r = Label(230, 300, {curve.Points});
    r.Curve = 0;
    const auto placed = PlaceLabels(Box, GapX, GapY, lines, {r});
    ASSERT_TRUE(placed[0]);
    EXPECT_EQ(placed[0]->Rect.Left, 203 - GapX - 40);
    EXPECT_EQ(placed[0]->Rect.Top, 300 - GapY - 12);
}

// A line close above (or, at the top, below) a level curve: the label goes to the other side
// at the same point of the curve (the sample nearest the anchor, x = 299).
TEST(LabelPlacement, ALabelBlockedOnOneSideOfItsCurveTakesTheOther) {
    const struct {
        int curveY, lineY;
        DeviceRect expected;
    } cases[] = {{300, 290, {305, 304, 345, 316}}, {66, 76, {305, 50, 345, 62}}};
    for (const auto& c : cases) {
        const std::vector<DevicePoint> curve = {{200, c.curveY}, {400, c.curveY}};
        const std::vector<DrawnLine> lines = {{curve[0], curve[1], 1, -1},
                                              {{150, c.lineY}, {450, c.lineY}, 1, -1}};
        const auto placed = Places(lines, {Label(300, c.curveY, {curve})});
        ASSERT_TRUE(placed[0]);
        EXPECT_TRUE(placed[0]->Left == c.expected.Left && placed[0]->Top == c.expected.Top)
            << c.curveY << ": " << placed[0]->Left << "," << placed[0]->Top;
    }
}

// Lines just above and below the anchor of an upright curve: the label stands beside the
// curve at the anchor's height.
TEST(LabelPlacement, BetweenTwoLinesALabelStandsBesideItsCurveAtMidHeight) {
    const std::vector<DevicePoint> curve = {{400, 100}, {400, 400}};
    const std::vector<DrawnLine> lines = {{curve[0], curve[1], 1, -1},
                                          {{300, 240}, {500, 240}, 1, -1},
                                          {{300, 260}, {500, 260}, 1, -1}};
    const auto placed = Places(lines, {Label(400, 250, {curve})});
    ASSERT_TRUE(placed[0]);
    EXPECT_EQ(placed[0]->Left, 406);
    EXPECT_EQ(placed[0]->Top, 244);
    EXPECT_EQ(placed[0]->Right, 446);
}

// A small free pocket between a curve and the nearest place for its wide label: the leader
// line runs through the pocket, so a small label anchored there goes elsewhere.
TEST(LabelPlacement, NoLabelLiesOnAnotherLabelsLeader) {
    std::vector<DrawnLine> lines;
    for (int y = 150; y <= 350; y += 6)
        if (y < 294 || y > 336) {
            lines.push_back({{250, y}, {550, y}, 1, -1});
        } else {
            lines.push_back({{250, y}, {390, y}, 1, -1});
            lines.push_back({{430, y}, {550, y}, 1, -1});
        }
    const TestCurve curve{{{390, 260}, {410, 280}}, 0};
    curve.AddTo(lines);
    LabelRequest wide = Label(410, 280, {curve.Points}, 0, 80);
    wide.Curve = 0;
    const std::vector<LabelRequest> labels = {wide, Label(410, 315, {}, 0, 20)};
    const auto placed = PlaceLabels(Box, GapX, GapY, lines, labels);
    ASSERT_TRUE(placed[0] && placed[1]);
    ASSERT_TRUE(placed[0]->Leader);
    EXPECT_EQ(placed[0]->LeaderTo.X, 410); // through the pocket
    EXPECT_EQ(CountLabelFaults(lines, OnPlot(placed, labels)).CrossedByALine, 0);
}

TEST(LabelPlacement, TheCheckCountsCrossedLabelsAndLabelsNearerAnotherCurve) {
    const std::vector<DrawnLine> lines = {{{100, 100}, {300, 100}, 1, 0},
                                          {{100, 130}, {300, 130}, 1, 1},
                                          {{-500, 1100}, {1100, -500}, 1, 2}};
    struct Case {
        const char* name;
        LabelOnPlot label;
        int crossed, nearer;
    } cases[] = {
        {"beside its curve", {{150, 104, 190, 116}, 0, std::nullopt}, 0, 0},
        {"on a line", {{150, 95, 190, 107}, 0, std::nullopt}, 1, 0},
        {"nearer the other curve", {{150, 114, 190, 126}, 0, std::nullopt}, 0, 1},
        {"just above its curve", {{150, 118, 190, 130}, 1, std::nullopt}, 0, 0},
        {"its last pixel row on its curve", {{150, 119, 190, 131}, 1, std::nullopt}, 1, 0},
        {"beside a long slanting curve", {{350, 262, 390, 274}, 2, std::nullopt}, 0, 0},
        {"tied by a leader",
         {{150, 114, 190, 126}, 0, DrawnLine{{170, 114}, {170, 100}, 1, 0}},
         0,
         0},
    };
    for (const Case& c : cases) {
        const LabelFaults f = CountLabelFaults(lines, {c.label});
        EXPECT_EQ(f.CrossedByALine, c.crossed) << c.name;
        EXPECT_EQ(f.NearerAnotherCurve, c.nearer) << c.name;
    }
}

TEST(LabelPlacement, ALabelWiderThanThePlotIsLeftOut) {
    const auto placed = Places({}, {Label(400, 250, {}, 0, 900)});
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_FALSE(placed[0].has_value());
}

namespace {

// Records the order of lines and texts and the pen style of each line.
class OrderCanvas : public GraphCanvas {
  public:
    struct Event {
        bool text;
        std::string what;
        int x, y;
    };
    void SetFont(const char*, int size, bool) override { fontSize = size; }
    int TextWidth(const std::string& t) override { return 6 * int(t.size()); }
    int TextHeight(const std::string&) override { return 10; }
    void SetPen(Colour c, int w) override { width = w, colour = c; }
    void SetBrush(Colour) override {}
    void SetFontColour(Colour) override {}
    void Line(int x1, int y1, int, int) override { events.push_back({false, "", x1, y1}); }
    void FillRect(int, int, int, int) override {}
    void Text(int x, int y, const std::string& t, HAlign, VAlign, bool opaque) override {
        if (opaque) events.push_back({true, t, x, y});
    }
    std::vector<Event> events;
    int fontSize = 0, width = 0;
    Colour colour = 0;
};

CoordinateSystem Frame(OrderCanvas& canvas, int fontSize = 8) {
    CoordinateSystem cs;
    cs.FixedXMin = cs.AutoXMin = 0;
    cs.FixedXMax = cs.AutoXMax = 10;
    cs.FixedYMin = cs.AutoYMin = 0;
    cs.FixedYMax = cs.AutoYMax = 10;
    cs.SelectRange();
    cs.FontSize = fontSize;
    cs.DeferLabels = true;
    EXPECT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    canvas.events.clear();
    return cs;
}

} // namespace

TEST(DiagramLabels, AreWrittenAfterEveryLineAndOnAPieceThatShows) {
    OrderCanvas canvas;
    CoordinateSystem cs = Frame(canvas);
    Plot plot;
    // The reference curve's labelled first piece lies below the plot.
    plot.Curves.push_back(
        {"LM(0)", CurveStyle::Reference, {{0, -5}, {4, -5}, {8, 6}}, {{0, LabelAt::Start}}});
    plot.Curves.push_back({"LM(12)", CurveStyle::Current, {{0, 2}, {10, 9}}, {{0, LabelAt::End}}});
    plot.Marks.push_back({MarkShape::Cross, 9, 1});
    DrawPlot(cs, plot, GraphStyle{});
    EXPECT_EQ(cs.DrawnLines().back().Curve, -1); // the mark belongs to no curve
    EXPECT_EQ(canvas.colour, GraphStyle{}.ColourOf(CurveKind::Path)); // drawn as the path
    cs.EndPaint();
    size_t lastLine = 0, firstText = canvas.events.size();
    for (size_t k = 0; k < canvas.events.size(); ++k) {
        if (canvas.events[k].text)
            firstText = std::min(firstText, k);
        else
            lastLine = k;
    }
    EXPECT_LT(lastLine, firstText);
    ASSERT_EQ(cs.WrittenLabels().size(), 2u);
    const auto& ref = cs.WrittenLabels()[0];
    EXPECT_EQ(ref.Text, "LM(0)");
    // Beside where the rising piece enters the plot at its bottom edge.
    const int entryX = cs.WorldToDeviceX(4 + 4 * 5 / 11.0);
    EXPECT_LT(std::abs(ref.Rect.Left - entryX), 40);
    EXPECT_TRUE(Inside(cs.PlotBox(), ref.Rect));
}

TEST(DiagramLabels, ALabelStandsAtItsOwnPiece) {
    OrderCanvas canvas;
    CoordinateSystem cs = Frame(canvas);
    Plot plot;
    plot.Curves.push_back(
        {"P", CurveStyle::Current, {{0, 1}, {5, 5}, {10, 1}}, {{0, LabelAt::End}}});
    DrawPlot(cs, plot, GraphStyle{});
    cs.EndPaint();
    ASSERT_EQ(cs.WrittenLabels().size(), 1u);
    const DeviceRect r = cs.WrittenLabels()[0].Rect;
    EXPECT_LT(std::abs((r.Left + r.Right) / 2 - cs.WorldToDeviceX(5)), 60); // the first piece's end
}

TEST(DiagramLabels, TextAndPensGrowWithTheDiagramTextSize) {
    struct Case {
        int size;
        int thickPen;
    } cases[] = {{8, 2}, {12, 3}, {16, 4}, {24, 6}};
    for (const Case& c : cases) {
        OrderCanvas canvas;
        CoordinateSystem cs = Frame(canvas, c.size);
        EXPECT_EQ(canvas.fontSize, c.size);
        cs.SetPenWidth(2);
        EXPECT_EQ(canvas.width, c.thickPen) << c.size;
    }
    // Guide lines are thin and grey whatever was drawn before them.
    OrderCanvas canvas;
    CoordinateSystem cs = Frame(canvas);
    Plot plot;
    plot.Curves = {{"", CurveStyle::Current, {{1, 1}, {2, 2}}, {}},
                   {"", CurveStyle::Guide, {{1, 2}, {2, 1}}, {}}};
    DrawPlot(cs, plot, GraphStyle{});
    EXPECT_EQ(canvas.colour, Grey);
    EXPECT_EQ(canvas.width, 1);
    // And a curve after them is drawn with its own kind's pen again.
    plot.Curves.erase(plot.Curves.begin());
    plot.Curves.push_back({"", CurveStyle::Current, {{1, 1}, {2, 2}}, {}});
    DrawPlot(cs, plot, GraphStyle{});
    EXPECT_EQ(canvas.width, GraphStyle{}.WidthOf(CurveKind::Current));
}

// A label with no room beside its own curve (a line close above and below it) is tied to
// that curve by a leader line: the diagram hands its curve's track to the placement.
TEST(DiagramLabels, ALabelWithoutRoomBesideItsCurveGetsALeader) {
    OrderCanvas canvas;
    CoordinateSystem cs = Frame(canvas);
    Plot plot;
    plot.Curves.push_back({"A", CurveStyle::Current, {{0, 5}, {10, 5}}, {{0, LabelAt::End}}});
    for (double y : {4.7, 5.3})
        plot.Curves.push_back({"B", CurveStyle::Current, {{0, y}, {10, y}}, {}});
    DrawPlot(cs, plot, GraphStyle{});
    cs.EndPaint();
    ASSERT_EQ(cs.WrittenLabels().size(), 1u);
    EXPECT_TRUE(cs.WrittenLabels()[0].Leader.has_value());
}

// Where a reference curve's label and the current one's want one place, the current keeps it.
TEST(DiagramLabels, TheCurrentCurvesLabelGoesFirst) {
    auto placeOfC = [](bool withReference) {
        OrderCanvas canvas;
        CoordinateSystem cs = Frame(canvas);
        Plot plot;
        if (withReference)
            plot.Curves.push_back(
                {"R", CurveStyle::Reference, {{0, 0}, {5, 5}}, {{0, LabelAt::End}}});
        plot.Curves.push_back({"C", CurveStyle::Current, {{0, 10}, {5, 5}}, {{0, LabelAt::End}}});
        DrawPlot(cs, plot, GraphStyle{});
        cs.EndPaint();
        return cs.WrittenLabels().back().Rect;
    };
    const DeviceRect alone = placeOfC(false), shared = placeOfC(true);
    EXPECT_EQ(shared.Left, alone.Left);
    EXPECT_EQ(shared.Top, alone.Top);
}
