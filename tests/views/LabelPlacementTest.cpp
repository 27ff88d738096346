// Where curve labels go: a label keeps its place unless it collides or leaves the plot;
// then it moves along its own curve, else beside the plot's edge; the diagrams write their
// labels after every line and on a piece of the curve that shows.

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
    const std::vector<LabelRequest> labels = {Label(200, 200), Label(400, 300), Label(600, 400)};
    const auto placed = PlaceLabels(Box, GapX, GapY, labels);
    for (size_t i = 0; i < labels.size(); ++i) {
        const DeviceRect want = LabelBeside(Box, GapX, GapY, 40, 12, labels[i].Anchor);
        ASSERT_TRUE(placed[i]);
        EXPECT_EQ(placed[i]->Left, want.Left);
        EXPECT_EQ(placed[i]->Top, want.Top);
    }
}

TEST(LabelPlacement, ACollidingLabelMovesAlongItsOwnCurve) {
    // Two straight curves from one point; the reference (priority 1) gives way.
    const std::vector<std::vector<DevicePoint>> current = {{{300, 300}, {600, 100}}};
    const std::vector<std::vector<DevicePoint>> reference = {{{300, 300}, {600, 420}}};
    const std::vector<LabelRequest> labels = {Label(300, 300, reference, 1),
                                              Label(300, 300, current, 0)};
    const auto placed = PlaceLabels(Box, GapX, GapY, labels);
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
        ExpectReadable(PlaceLabels(Box, GapX, GapY, labels));
    }
}

TEST(LabelPlacement, WithoutAFreePlaceOnItsCurveALabelStacksBesideTheEdge) {
    // Three labels at one spot: two of curves that are single points, one without a curve.
    const std::vector<LabelRequest> labels = {Label(400, 250, {{{400, 250}}}),
                                              Label(400, 250, {{{400, 250}}}), Label(400, 250)};
    const auto placed = PlaceLabels(Box, GapX, GapY, labels);
    ExpectReadable(placed);
    auto besideEdge = [](const DeviceRect& r) {
        return r.Left == Box.Left + GapX || r.Right == Box.Right - GapX ||
               r.Top == Box.Top + GapY || r.Bottom == Box.Bottom - GapY;
    };
    // The first keeps its place, the second turns round its point, the third has no curve.
    EXPECT_FALSE(besideEdge(*placed[0]));
    EXPECT_FALSE(besideEdge(*placed[1]));
    EXPECT_TRUE(besideEdge(*placed[2]));
}

TEST(LabelPlacement, ALabelWiderThanThePlotIsLeftOut) {
    const auto placed = PlaceLabels(Box, GapX, GapY, {Label(400, 250, {}, 0, 900)});
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
    void SetPen(Colour, int w) override { width = w; }
    void SetBrush(Colour) override {}
    void SetFontColour(Colour) override {}
    void Line(int x1, int y1, int, int) override { events.push_back({false, "", x1, y1}); }
    void FillRect(int, int, int, int) override {}
    void Text(int x, int y, const std::string& t, HAlign, VAlign, bool opaque) override {
        if (opaque) events.push_back({true, t, x, y});
    }
    std::vector<Event> events;
    int fontSize = 0, width = 0;
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
    DrawPlot(cs, plot, GraphStyle{});
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
}
