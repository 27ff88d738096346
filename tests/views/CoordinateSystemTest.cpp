// The graph engine without a window: axis choice, titles, clipping, mappings, the frame and
// the guards against numbers that are not numbers.

#include "views/CoordinateSystem.h"
#include "logic/Settings.h"
#include "views/BaselineCurves.h"
#include "views/DiagramData.h"
#include "views/GraphStyle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <tuple>

using namespace tv;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// Records what is drawn; every character is 6 pixels wide, every line 10 high (unless set).
class RecordingCanvas : public GraphCanvas {
  public:
    struct Stroke {
        int x1, y1, x2, y2;
        Colour colour;
        bool dashed = false, dotted = false;
    };
    struct Written {
        int x, y;
        std::string text;
        Colour colour;
        bool opaque;
    };
    void SetFont(const char*, int, bool) override {}
    int TextWidth(const std::string& t) override { return charWidth * int(t.size()); }
    int TextHeight(const std::string&) override { return lineHeight; }
    void SetPen(Colour c, int w) override {
        pen = c;
        width = w;
        pens.push_back(c);
    }
    void SetBrush(Colour c) override { brush = c; }
    void SetFontColour(Colour c) override { font = c; }
    void SetDashed(bool d) override { dashed = d; }
    void SetDotted(bool d) override { dotted = d; }
    void Line(int x1, int y1, int x2, int y2) override {
        lines.push_back({x1, y1, x2, y2, pen, dashed, dotted});
    }
    void FillRect(int l, int t, int r, int b) override { fills.push_back({l, t, r, b, brush}); }
    void Text(int x, int y, const std::string& t, HAlign, VAlign, bool opaque) override {
        texts.push_back({x, y, t, font, opaque});
    }
    bool HasText(const std::string& t) const {
        for (const auto& x : texts)
            if (x.text == t) return true;
        return false;
    }
    void Clear() {
        lines.clear();
        texts.clear();
        fills.clear();
        pens.clear();
    }

    Colour pen = Black, brush = White, font = Black;
    int width = 1, charWidth = 6, lineHeight = 10;
    bool dashed = false, dotted = false;
    std::vector<Stroke> lines, fills;
    std::vector<Colour> pens;
    std::vector<Written> texts;
};

CoordinateSystem WithRange(double x0, double x1, double y0, double y1) {
    CoordinateSystem cs;
    cs.FixedXMin = x0, cs.FixedXMax = x1, cs.FixedYMin = y0, cs.FixedYMax = y1;
    cs.SelectRange();
    return cs;
}

} // namespace

struct AxisCase {
    const char* name;
    double min, max;
    double axisMin, axisMax, unit;
    int intervals;
    const char* first;
    const char* second;
    const char* last;
};

TEST(AxisScale, RangeTickAndUnitChoice) {
    const AxisCase cases[] = {
        {"zero width at 0", 0, 0, 0, 1, 1, 10, "0", "0,1", "1"},
        {"positive point", 3, 3, 0, 3, 1, 6, "0", "0,5", "3"},
        {"negative point", -2, -2, -2, 0, 1, 8, "-2", "-1,75", "0"},
        {"thousands", 0, 1234, 0, 2000, 1000, 8, "0", "0,25", "2"},
        {"exactly one unit", 0, 1000, 0, 1000, 100, 10, "0", "1", "10"},
        {"tenths", 0.05, 0.95, 0, 1, 0.1, 10, "0", "1", "10"},
        {"small span keeps one unit", 0, 5, 0, 5, 1, 10, "0", "0,5", "5"},
        {"across zero", -3.5, 7.2, -10, 10, 10, 8, "-1", "-0,75", "1"},
        {"inverted", 1234, 0, 0, 2000, 1000, 8, "0", "0,25", "2"},
        {"not a number", NaN, 5, 0, 1, 1, 10, "0", "0,1", "1"},
        {"infinite", -Inf, Inf, 0, 1, 1, 10, "0", "0,1", "1"},
        {"overflowing span", -1e308, 1e308, 0, 1, 1, 10, "0", "0,1", "1"},
        {"rounded to ten digits", 0, 9.99999999999, 0, 10, 1, 10, "0", "1", "10"},
    };
    for (const AxisCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AxisScale s = ScaleAxis(c.min, c.max, ',');
        EXPECT_DOUBLE_EQ(s.AxisMin, c.axisMin);
        EXPECT_DOUBLE_EQ(s.AxisMax, c.axisMax);
        EXPECT_DOUBLE_EQ(s.Unit, c.unit);
        EXPECT_EQ(s.Intervals, c.intervals);
        ASSERT_EQ(int(s.Labels.size()), s.Intervals + 1);
        EXPECT_EQ(s.Labels[0], c.first);
        EXPECT_EQ(s.Labels[1], c.second);
        EXPECT_EQ(s.Labels.back(), c.last);
        EXPECT_GE(s.Min, s.AxisMin);
        EXPECT_LE(s.Max, s.AxisMax + 1e-9 * s.Span);
    }
    EXPECT_FALSE(std::signbit(ScaleAxis(-0.0, -0.0, '.').AxisMin));
}

TEST(AxisScale, EveryUnitCountGivesATickCountThatDividesTheAxis) {
    // n whole units spanned -> major intervals (12 cannot arise but is in the table).
    const int expected[] = {0, 10, 8, 6, 8, 10, 6, 7, 8, 9, 10, 11};
    for (int n = 2; n <= 11; ++n) {
        // From -0.5 the range spans n units of 1 (9.4 keeps the range below 10).
        const AxisScale s = ScaleAxis(-0.5, n == 11 ? 9.4 : n - 1.5, '.');
        SCOPED_TRACE(n);
        EXPECT_EQ(s.Units, n);
        EXPECT_EQ(s.Intervals, expected[n]);
        EXPECT_DOUBLE_EQ(s.AxisMin, -1);
    }
}

TEST(AxisScale, LabelsWithoutRoundingNoise) {
    const AxisScale s = ScaleAxis(-0.3, 0.3, '.');
    for (const std::string& l : s.Labels)
        EXPECT_LE(l.size(), 4u) << l; // "-0.3" at most, never "-2.77555756156289E-17"
}

TEST(AxisScale, GeneralNumberFormat) {
    EXPECT_EQ(FormatGeneral(0.1, ','), "0,1");
    EXPECT_EQ(FormatGeneral(-0.0, ','), "0");
    EXPECT_EQ(FormatGeneral(1000, '.'), "1000");
    EXPECT_EQ(FormatGeneral(1e20, '.'), "1E20");
    EXPECT_EQ(FormatGeneral(1.5e-7, ','), "1,5E-7");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, '.'), "0.3");
}

TEST(AxisTitle, UnitMarker) {
    struct {
        const char* title;
        double unit;
        const char* shown;
    } cases[] = {
        {"Einkommen (Y)#", 1000, "Einkommen (Y) in 1000"},
        {"Zins (i)#%", 0.1, "Zins (i) in 0,1%"},
        {"Zins (i)#%", 1, "Zins (i) in %"},
        {"Einkommen (Y)#", 1, "Einkommen (Y)"},
        {"#Preis", 10, ""},
        {"Preis", 10, "Preis"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AxisTitle(c.title, c.unit, ','), c.shown) << c.title;
}

TEST(Clipping, Segments) {
    struct {
        const char* name;
        double x1, y1, x2, y2;
        bool drawn;
        double cx1, cy1, cx2, cy2;
    } cases[] = {
        {"inside", 1, 1, 9, 9, true, 1, 1, 9, 9},
        {"both ends above", 1, 11, 9, 12, false, 0, 0, 0, 0},
        {"both ends left", -1, 1, -3, 9, false, 0, 0, 0, 0},
        {"vertical partly outside is clamped", 5, -5, 5, 15, true, 5, 0, 5, 10},
        {"diagonal through the box", -10, -10, 20, 20, true, 0, 0, 10, 10},
        {"horizontal across", -5, 4, 15, 4, true, 0, 4, 10, 4},
        {"leaves at the top", 5, 5, 15, 15, true, 5, 5, 10, 10},
        {"leaves through the top", 5, 5, 7, 15, true, 5, 5, 6, 10},
        {"enters through the top", 7, 15, 5, 5, true, 6, 10, 5, 5},
        {"leaves through the bottom", 5, 5, 7, -5, true, 5, 5, 6, 0},
        {"passes by a corner", -1, 9, 2, 13, false, 0, 0, 0, 0},
        {"half a millionth beside a corner", -1, 9.5 + 2.5e-6, 1, 10.5 + 2.5e-6, true, 0, 10, 0,
         10},
        {"leaves from a point on the lower edge", 5, 0, 7, -5, true, 5, 0, 5, 0},
        {"leaves from a point on the left edge", 0, 5, -2, 7, true, 0, 5, 0, 5},
        {"on the upper edge", 0, 10, 10, 10, true, 0, 10, 10, 10},
        {"a hair beyond the corner", 1, 1, 10 + 5e-10, 10 + 5e-10, true, 1, 1, 10, 10},
        {"ends a hair beyond the right edge", 11, 5, 10 + 1e-9, 5, true, 10, 5, 10, 5},
        {"enters from the right, ends near the left edge", 12, 5, 0.5, 5, true, 10, 5, 0.5, 5},
        {"end not a number", 1, 1, NaN, 5, false, 0, 0, 0, 0},
        {"upright, end infinite", 1, 1, 1, Inf, false, 0, 0, 0, 0},
        {"overflowing slope", -1e308, -1e308, 1e308, 1e308, false, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
        const bool drawn = ClipSegment(x1, y1, x2, y2, 10, 10);
        EXPECT_EQ(drawn, c.drawn);
        if (!drawn || !c.drawn) continue;
        EXPECT_NEAR(x1, c.cx1, 1e-12);
        EXPECT_NEAR(y1, c.cy1, 1e-12);
        EXPECT_NEAR(x2, c.cx2, 1e-12);
        EXPECT_NEAR(y2, c.cy2, 1e-12);
    }
    // In a box of tiny world units, an end a little above the top is cut, not dropped.
    double x1 = 0, y1 = 0, x2 = 2, y2 = 1e-5 + 2e-10;
    ASSERT_TRUE(ClipSegment(x1, y1, x2, y2, 10, 1e-5));
    EXPECT_NEAR(x2, 2 / (1 + 2e-5), 1e-12);
    EXPECT_EQ(y2, 1e-5);
}

TEST(Mapping, LogicalDeviceAndWorld) {
    CoordinateSystem cs = WithRange(0, 1234, 0, 10);
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 1000, 700));
    EXPECT_EQ(cs.ToDeviceX(500), 500);
    EXPECT_EQ(cs.ToDeviceY(500), 350);
    EXPECT_EQ(cs.ToLogicalY(350), 500);
    // The axis ends map onto the box edges and back.
    EXPECT_EQ(cs.WorldToLogicalX(0), cs.PlotLeft);
    EXPECT_EQ(cs.WorldToLogicalX(2000), cs.PlotRight);
    EXPECT_EQ(cs.WorldToLogicalY(0), cs.PlotBottom);
    EXPECT_EQ(cs.WorldToLogicalY(10), cs.PlotTop);
    EXPECT_NEAR(cs.DeviceToWorldX(cs.WorldToDeviceX(1000)), 1000, 2000.0 / 800);
    EXPECT_NEAR(cs.DeviceToWorldY(cs.WorldToDeviceY(5)), 5, 10.0 / 800);

    // The printed grid: 5 % .. 100 % of the width, 5 % .. 95 % of the height.
    cs.SetViewport(500, 500, 9500, 9000);
    EXPECT_EQ(cs.ToDeviceX(0), 50);
    EXPECT_EQ(cs.ToDeviceX(1000), 1000);
    EXPECT_EQ(cs.ToDeviceY(1000), 665);
    EXPECT_EQ(cs.ToLogicalX(50), 0);
    cs.DeviceWidth = 1; // a device one pixel wide still maps its far edge
    EXPECT_EQ(cs.ToLogicalX(1), 1000);
    cs.DeviceWidth = 1000;
    // On a short page the box leaves room for a text line above and two below it.
    for (auto [height, top, bottom] : {std::tuple{400, 75, 914}, {150, 88, 821}}) {
        ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Printer, 1000, height));
        EXPECT_EQ(cs.PlotTop, top) << height;
        EXPECT_EQ(cs.PlotBottom, bottom) << height;
    }
}

TEST(Frame, LabelsTitlesAndBackground) {
    CoordinateSystem cs = WithRange(0, 1234, 0, 0.95);
    cs.XTitle = "Einkommen (Y)#";
    cs.YTitle = "Zins (i)#%";
    cs.Background = 0x00FFFF;
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    EXPECT_DOUBLE_EQ(cs.XAxisMax, 2000);
    EXPECT_DOUBLE_EQ(cs.XUnit, 1000);
    EXPECT_TRUE(canvas.HasText("Einkommen (Y) in 1000"));
    EXPECT_TRUE(canvas.HasText("Zins (i) in 0,1%"));
    for (const char* label : {"0", "0,25", "1,75", "2", "10"})
        EXPECT_TRUE(canvas.HasText(label)) << label;
    // The axis box is filled with the background on the screen only.
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0].colour, 0x00FFFFu);
    const DeviceRect box = cs.PlotBox();
    EXPECT_EQ(canvas.fills[0].x1, box.Left);
    EXPECT_EQ(canvas.fills[0].y2, box.Bottom);
    // Left margin wide enough for the widest left label.
    EXPECT_GE(box.Left, 6 * 4 + 20);

    for (GraphTarget t : {GraphTarget::Printer, GraphTarget::Image}) {
        canvas.Clear();
        ASSERT_TRUE(cs.DrawFrame(canvas, t, 800, 600));
        EXPECT_TRUE(canvas.fills.empty());
        for (Colour c : canvas.pens)
            EXPECT_EQ(c, Black);
        cs.SetPenColour(0x0000FF);
        EXPECT_EQ(canvas.pen, Black);
        cs.SetBrushColour(0x0000FF);
        EXPECT_EQ(canvas.brush, White);
        cs.SetFontColour(0x0000FF);
        EXPECT_EQ(canvas.font, Black);
    }

    // In a small frame the tick labels thin out instead of running together.
    canvas.Clear();
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 150, 90));
    std::map<int, std::vector<int>> rows; // the x axis labels share one row
    std::vector<int> xs;
    for (const auto& w : canvas.texts)
        if (rows[w.y].push_back(w.x), rows[w.y].size() > xs.size()) xs = rows[w.y];
    ASSERT_GE(xs.size(), 2u);
    for (size_t k = 1; k < xs.size(); ++k)
        EXPECT_GE(xs[k] - xs[k - 1], 6 * 4 + 6); // "1,75" and a gap
    std::map<int, std::vector<int>> columns;     // so do the left axis labels, a line and 2 apart
    for (const auto& w : canvas.texts)
        columns[w.x].push_back(w.y);
    const auto& ys = columns[cs.ToDeviceX(cs.PlotLeft - 20)];
    ASSERT_GE(ys.size(), 2u);
    for (size_t k = 1; k < ys.size(); ++k)
        EXPECT_GE(std::abs(ys[k] - ys[k - 1]), 10 + 2);
}

// At 1000 x 1000 pixels a logical unit is a pixel: ticks and their labels at fixed distances.
TEST(Frame, TicksAndTickLabelsKeepTheirDistancesFromTheBox) {
    CoordinateSystem cs = WithRange(0, 10, 0, 10);
    cs.Y2Max = 10;
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 1000, 1000));
    std::map<std::string, int> ticks;
    std::vector<std::pair<int, int>> labelAt; // where each major tick wants its label
    for (const auto& l : canvas.lines) {
        const bool major = std::abs(l.x2 - l.x1) == 12 || l.y2 - l.y1 == 20;
        if (l.x1 == l.x2 && l.y1 >= cs.PlotBottom && l.y2 > l.y1) {
            ticks["x " + std::to_string(l.y1 - cs.PlotBottom) + ".." +
                  std::to_string(l.y2 - cs.PlotBottom)]++;
            if (major) labelAt.push_back({l.x1, cs.PlotBottom + 21});
        } else if (l.y1 == l.y2 && std::abs(l.x2 - l.x1) <= 20) {
            ticks[(l.x1 == cs.PlotLeft ? "left " : "right ") + std::to_string(l.x2 - l.x1)]++;
            if (major) labelAt.push_back({l.x1 + (l.x2 - l.x1) * 20 / 12, l.y1 - 5});
        }
    }
    const std::map<std::string, int> expected{{"x 0..20", 11}, {"x 5..15", 90},  {"left -12", 11},
                                              {"left -7", 40}, {"right 12", 11}, {"right 7", 40}};
    EXPECT_EQ(ticks, expected);
    for (auto [x, y] : labelAt) {
        bool found = false;
        for (const auto& t : canvas.texts)
            found = found || (t.x == x && t.y == y);
        EXPECT_TRUE(found) << x << "," << y;
    }
}

// A label written at once stands a hundredth of the box away, above the point where it fits.
TEST(Segments, LabelAtPenStandsAHundredthOfTheBoxAway) {
    CoordinateSystem cs = WithRange(0, 10, 0, 10);
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 1000, 1000));
    const DeviceRect box = cs.PlotBox();
    const int g = int(std::nearbyint(0.01 * (box.Right - box.Left)));
    const int h = int(std::nearbyint(0.01 * (box.Bottom - box.Top)));
    struct {
        int px, py, x, y;
    } cases[] = {{500, 500, 500 + g, 500 - h},
                 {box.Right - 5, 500, box.Right - 5 - g - 12, 500 - h},
                 {500, box.Top + 3, 500 + g, box.Top + 3 + h}};
    for (const auto& c : cases) {
        canvas.Clear();
        cs.LabelAtDevice(c.px, c.py, "AB");
        ASSERT_EQ(canvas.texts.size(), 1u);
        EXPECT_EQ(canvas.texts[0].x, c.x) << c.px << "," << c.py;
        EXPECT_EQ(canvas.texts[0].y, c.y) << c.px << "," << c.py;
    }
    // Two labels on one place: the current curve's (priority 0) keeps the place it has
    // alone, also when written second.
    cs.DeferLabels = true;
    std::vector<std::pair<int, int>> at;
    for (const auto& priorities : {std::vector<int>{0}, std::vector<int>{1, 0}}) {
        canvas.Clear();
        for (int priority : priorities) {
            cs.LabelPriority = priority;
            cs.LabelAtDevice(500, 500, priority ? "REF" : "CUR");
        }
        cs.DrawLabels();
        for (const auto& t : canvas.texts)
            if (t.text == "CUR") at.push_back({t.x, t.y});
    }
    ASSERT_EQ(at.size(), 2u);
    EXPECT_EQ(at[0], at[1]);
}

// The key's sample line is at least 28 pixels and three text lines long, its text a space
// (at least 6 pixels) after it; above the box's right end, or its middle beside a right axis.
TEST(Frame, KeyAboveTheBox) {
    struct {
        int charWidth, lineHeight;
        bool rightAxis;
        int sample, gap;
    } cases[] = {{6, 10, false, 30, 6}, {2, 5, true, 28, 6}, {8, 4, false, 28, 8}};
    for (const auto& c : cases) {
        CoordinateSystem cs = WithRange(0, 10, 0, 10);
        if (c.rightAxis) cs.Y2Max = 10;
        RecordingCanvas canvas;
        canvas.charWidth = c.charWidth, canvas.lineHeight = c.lineHeight;
        ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 1000, 1000));
        canvas.Clear();
        cs.DrawKey("Key");
        const DeviceRect box = cs.PlotBox();
        const int width = c.sample + c.gap + 3 * c.charWidth;
        const int left = c.rightAxis ? (box.Left + box.Right) / 2 - width / 2 : box.Right - width;
        const int y = box.Top - c.lineHeight / 2 - 2;
        SCOPED_TRACE(c.lineHeight);
        ASSERT_EQ(canvas.lines.size(), 1u);
        EXPECT_EQ(std::vector<int>({canvas.lines[0].x1, canvas.lines[0].y1, canvas.lines[0].x2,
                                    canvas.lines[0].y2}),
                  std::vector<int>({left, y, left + c.sample, y}));
        ASSERT_EQ(canvas.texts.size(), 1u);
        EXPECT_EQ(canvas.texts[0].x, left + c.sample + c.gap);
        EXPECT_EQ(canvas.texts[0].y, y - c.lineHeight / 2);
    }
    // The baseline's key is dashed in the current curves' colour and width, and the pen is solid
    // again after it.
    CoordinateSystem cs = WithRange(0, 10, 0, 10);
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 1000, 1000));
    GraphStyle style;
    style.Colours[1] = 0x00AA00;
    style.Widths[1] = 3;
    cs.SetPenDotted(true); // as a reference curve left it
    DrawBaselineKey(cs, style, 1);
    EXPECT_EQ(canvas.width, 3);
    EXPECT_EQ(cs.DrawnLines().back().Width, 3); // labels keep clear of the whole stroke
    EXPECT_FALSE(canvas.lines.back().dotted);
    EXPECT_EQ(canvas.texts.back().colour, 0x00AA00);
    EXPECT_EQ(canvas.lines.back().colour, 0x00AA00);
    cs.DrawKey("Key");
    ASSERT_GE(canvas.lines.size(), 2u);
    EXPECT_TRUE(canvas.lines[canvas.lines.size() - 2].dashed);
    EXPECT_FALSE(canvas.lines.back().dashed);
}

// A path's cross is 9 pixels across at 8 points and grows with the text; marks are placed on an
// axis that does not start at 0.
TEST(Frame, MarksGrowWithTheText) {
    for (auto [font, half] : {std::pair{8, 4}, {16, 8}}) {
        CoordinateSystem cs = WithRange(10, 20, 0, 10);
        cs.FontSize = font;
        RecordingCanvas canvas;
        ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 1000, 1000));
        canvas.Clear();
        DrawMarks(cs, {{MarkShape::Cross, 15, 5}});
        ASSERT_EQ(canvas.lines.size(), 2u);
        for (const auto& l : canvas.lines) { // two diagonals crossing at the mark
            EXPECT_EQ(std::abs(l.x2 - l.x1), 2 * half) << font;
            EXPECT_EQ(std::abs(l.y2 - l.y1), 2 * half) << font;
            EXPECT_EQ(l.x1 + l.x2, 2 * cs.WorldToDeviceX(15));
        }
        // A circle's twelve pieces join up.
        canvas.Clear();
        DrawMarks(cs, {{MarkShape::Circle, 15, 5}});
        ASSERT_EQ(canvas.lines.size(), 12u);
        for (size_t k = 0; k < 12; ++k) {
            const auto &a = canvas.lines[k], &b = canvas.lines[(k + 1) % 12];
            EXPECT_TRUE(a.x2 == b.x1 && a.y2 == b.y1) << k;
        }
        // Marks on or near the axes' ends are drawn, those beyond them not.
        canvas.Clear();
        DrawMarks(cs, {{MarkShape::Cross, 10.5, 0.5},
                       {MarkShape::Cross, 20, 10},
                       {MarkShape::Cross, 9.5, 5},
                       {MarkShape::Cross, 15, 10.5}});
        EXPECT_EQ(canvas.lines.size(), 4u);
    }
}

TEST(Frame, RightAxisAndZeroLines) {
    CoordinateSystem cs = WithRange(-5, 5, -1, 3);
    cs.Y2Min = -2, cs.Y2Max = 40;
    cs.Y2Title = "Zins (i)#%";
    cs.RightZeroLine = true;
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    EXPECT_LT(cs.PlotRight, 980);
    const int zx = cs.WorldToDeviceX(0), zy = cs.WorldToDeviceY(0);
    bool vertical = false, horizontal = false;
    for (const auto& l : canvas.lines) {
        vertical = vertical || (l.x1 == zx && l.x2 == zx && l.y1 != l.y2);
        horizontal = horizontal || (l.y1 == zy && l.y2 == zy && l.x1 != l.x2);
    }
    EXPECT_TRUE(vertical);
    EXPECT_TRUE(horizontal);
    EXPECT_DOUBLE_EQ(cs.Y2AxisMax, 40);
    EXPECT_TRUE(canvas.HasText("4")); // in units of 10
    EXPECT_TRUE(canvas.HasText("Zins (i) in 10%"));
    // Read-outs of axes that do not start at 0 (-10..10, -1..3 and -10..40).
    EXPECT_NEAR(cs.DeviceToWorldX(zx), 0, 20.0 / 600);
    EXPECT_NEAR(cs.DeviceToWorldY(zy), 0, 4.0 / 400);
    EXPECT_NEAR(cs.DeviceToWorldY2(cs.WorldToDeviceY(1)), 15, 50.0 / 400);
    // Set margins still leave room for the right axis.
    cs.FixedMargins = true;
    cs.PlotRight = 980;
    for (int width : {800, 1000}) {
        ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, width, 600));
        EXPECT_LT(cs.PlotRight, 980);
        EXPECT_EQ(cs.PlotLeft + cs.PlotRight, 1000) << width; // both sides keep the sample's room
    }
    // A right range given upside down makes the same frame, its zero line included.
    auto linesWith = [](double y2a, double y2b) {
        CoordinateSystem f = WithRange(0, 10, 0, 10);
        f.Y2Min = y2a, f.Y2Max = y2b;
        f.RightZeroLine = true;
        RecordingCanvas drawn;
        EXPECT_TRUE(f.DrawFrame(drawn, GraphTarget::Screen, 800, 600));
        return drawn.lines.size();
    };
    EXPECT_EQ(linesWith(40, -10), linesWith(-10, 40));
}

TEST(Guards, NothingIsDrawnWithoutArea) {
    // The last two leave no room beside the right axis labels or under the x axis labels.
    for (auto [w, h] : {std::pair{0, 0}, {0, 500}, {500, 0}, {-3, 20}, {40, 600}, {800, 20}}) {
        CoordinateSystem cs = WithRange(0, 10, 0, 10);
        cs.Y2Max = 1000;
        RecordingCanvas canvas, before; // before: where the box drew when it still had room
        ASSERT_TRUE(cs.DrawFrame(before, GraphTarget::Screen, 800, 600));
        before.Clear();
        EXPECT_FALSE(cs.DrawFrame(canvas, GraphTarget::Screen, w, h));
        cs.DrawSegment(1, 1, 9, 9);
        cs.LabelAtPen("Y");
        EXPECT_TRUE(canvas.lines.empty() && canvas.texts.empty() && canvas.fills.empty());
        EXPECT_TRUE(before.lines.empty() && before.texts.empty());
        // The read-outs of a box without area are numbers, not a division by zero.
        EXPECT_TRUE(std::isfinite(cs.DeviceToWorldX(10)));
        EXPECT_TRUE(std::isfinite(cs.DeviceToWorldY(10)));
        if (w <= 0) {
            EXPECT_EQ(cs.ToLogicalX(10), 0);
        }
        if (h <= 0) {
            EXPECT_EQ(cs.ToLogicalY(10), 0);
        }
    }
    // A viewport squeezed to nothing in either direction.
    // A factor of one ten-thousandth still draws on a large enough device.
    for (auto [fx, fy, h] : {std::tuple{0, 10000, 600}, {10000, 0, 600}, {10000, 1, 6000000}}) {
        CoordinateSystem cs = WithRange(0, 10, 0, 10);
        cs.SetViewport(0, 0, fx, fy);
        RecordingCanvas canvas;
        EXPECT_EQ(cs.DrawFrame(canvas, GraphTarget::Screen, 800, h), fy == 1) << fx;
    }
    // Wide or tall labels that leave a box of one logical unit still let it be drawn.
    const struct {
        int charWidth, lineHeight, w, h;
        bool drawn;
    } tight[] = {{237, 10, 998, 600, false},
                 {237, 10, 999, 600, true},
                 {6, 179, 800, 559, false},
                 {6, 179, 800, 560, true}};
    for (const auto& c : tight) {
        CoordinateSystem cs = WithRange(0, 10, 0, 10);
        RecordingCanvas canvas;
        canvas.charWidth = c.charWidth;
        canvas.lineHeight = c.lineHeight;
        EXPECT_EQ(cs.DrawFrame(canvas, GraphTarget::Screen, c.w, c.h), c.drawn)
            << c.w << "x" << c.h;
    }
}

TEST(Guards, ModelValuesThatAreNotNumbers) {
    CoordinateSystem cs = WithRange(NaN, Inf, 7, 3);
    cs.Y2Min = NaN;
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    EXPECT_DOUBLE_EQ(cs.XAxisMin, 0);
    EXPECT_DOUBLE_EQ(cs.XAxisMax, 1);
    EXPECT_DOUBLE_EQ(cs.YAxisMin, 3);
    EXPECT_DOUBLE_EQ(cs.YAxisMax, 7);
    canvas.Clear();
    cs.DrawSegment(NaN, 0.5, 0.5, 5);
    cs.DrawSegment(0.1, Inf, 0.5, 5);
    cs.DrawLabelledSegment("A", "B", 0.2, NaN, 0.5, 5);
    EXPECT_TRUE(canvas.lines.empty());
    EXPECT_TRUE(canvas.texts.empty());
    cs.DrawSegment(0.1, 4, 0.5, 5);
    EXPECT_EQ(canvas.lines.size(), 1u);
}

TEST(Segments, LabelsAtEntryAndExit) {
    CoordinateSystem cs = WithRange(0, 10, 0, 10);
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    const DeviceRect box = cs.PlotBox();

    canvas.Clear();
    cs.DrawSegmentEntryLabel("IS", 2, 2, 5, 5); // starts inside: no label
    EXPECT_TRUE(canvas.texts.empty());
    cs.DrawSegmentEntryLabel("IS", -5, 5, 5, 5); // enters at the left edge
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_GT(canvas.texts[0].x, box.Left);
    EXPECT_TRUE(canvas.texts[0].opaque);

    canvas.Clear();
    cs.SetPenColour(0x0000FF);
    cs.DrawSegmentExitLabel("LM", 5, 5, 20, 5); // leaves at the right edge
    ASSERT_EQ(canvas.texts.size(), 1u);
    // Beside the right edge the text goes to the left of the point, in the pen colour.
    EXPECT_LE(canvas.texts[0].x + 6 * 2, box.Right);
    EXPECT_EQ(canvas.texts[0].colour, 0x0000FFu);
    EXPECT_EQ(cs.PenX(), box.Right);

    canvas.Clear();
    cs.DrawLabelledSegment("A", "", 1, 1, 9, 9);
    ASSERT_EQ(canvas.texts.size(), 1u);
    EXPECT_EQ(canvas.texts[0].text, "A");
    EXPECT_LT(canvas.texts[0].x, cs.WorldToDeviceX(5)); // the start's text at the start
    EXPECT_EQ(cs.PenX(), cs.WorldToDeviceX(9));         // the pen stays at the end

    canvas.Clear();
    cs.DrawSegment(1, 11, 9, 12); // above the box
    EXPECT_TRUE(canvas.lines.empty());
}

TEST(Zoom, BandBecomesTheDataRangeAndUndoRestoresTheRangeSet) {
    CoordinateSystem cs = WithRange(0, 10, 0, 10);
    cs.AutoXMin = 2, cs.AutoXMax = 4, cs.AutoYMin = 1, cs.AutoYMax = 2;
    RecordingCanvas canvas;
    ASSERT_TRUE(cs.DrawFrame(canvas, GraphTarget::Screen, 800, 600));
    const DeviceRect band{cs.WorldToDeviceX(2), cs.WorldToDeviceY(8), cs.WorldToDeviceX(6),
                          cs.WorldToDeviceY(4)};
    cs.Zoomed = cs.ZoomPending = true;
    EXPECT_TRUE(cs.UpdateRange(band));
    EXPECT_FALSE(cs.ZoomPending);
    EXPECT_NEAR(cs.XMin, 2, 0.02);
    EXPECT_NEAR(cs.XMax, 6, 0.02);
    EXPECT_NEAR(cs.YMin, 4, 0.02);
    EXPECT_NEAR(cs.YMax, 8, 0.02);
    // While zoomed, later paints keep the band's range.
    cs.FixedXMax = 50;
    EXPECT_FALSE(cs.UpdateRange(band));
    EXPECT_NEAR(cs.XMax, 6, 0.02);
    // Undo: the range set again; automatic ranges when switched on.
    cs.Zoomed = false, cs.ZoomPending = true;
    EXPECT_FALSE(cs.UpdateRange(band));
    EXPECT_FALSE(cs.ZoomPending);
    EXPECT_EQ(cs.XMax, 50);
    cs.AutoRange = true;
    cs.UpdateRange(band);
    EXPECT_EQ(cs.XMin, 2);
    EXPECT_EQ(cs.YMax, 2);
}

TEST(GraphStyleTest, SettingsAndColourConflicts) {
    Settings s;
    s.BackgroundColour = -1; // an out-of-range value in the file
    s.CurrentCurveWidth = 7;
    s.ReferenceCurveWidth = 2, s.PathWidth = 1;
    GraphStyle g = GraphStyleFromSettings(s);
    EXPECT_EQ(g.BackgroundColour(), 0xFFFFFFu);
    EXPECT_EQ(g.WidthOf(CurveKind::Current), 2);
    EXPECT_EQ(g.WidthOf(CurveKind::Reference), 2);
    EXPECT_EQ(g.WidthOf(CurveKind::Path), 1);
    EXPECT_EQ(g.ColourOf(CurveKind::Path), 0x0000FFu);

    g.Colours = {Grey, Black, 0x0000FF, White};
    EXPECT_EQ(ColourConflict(g, 1, White), 1); // curve as background
    EXPECT_EQ(ColourConflict(g, 1, 0x00FF00), -1);
    EXPECT_EQ(ColourConflict(g, 0, 0xFF000000 | White), 0); // only the colour bits count
    EXPECT_EQ(ColourConflict(g, -1, Black), -1);            // no such item
    EXPECT_EQ(ColourConflict(g, 3, Black), 1);              // background as a curve
    g.Colours[2] = Black;
    EXPECT_EQ(ColourConflict(g, 3, Black), 2);  // the last curve kind with it
    EXPECT_EQ(ColourConflict(g, 3, White), -1); // unchanged background
    EXPECT_EQ(ColourConflict(g, 3, Grey), 0);   // the first curve kind

    EXPECT_EQ(ColourConflictText(2),
              "Hintergrund- und Kurvenfarbe\r\n(Anpassungsprozesse/Herleitungen)\r\nsollten "
              "nicht identisch sein!##Background and curve color\r\n(Adjustment "
              "processes/Constructions)\r\nshould not be the same.");

    Settings back;
    g.Colours[3] = 0x123456;
    StoreGraphStyle(g, back);
    EXPECT_EQ(back.BackgroundColour, 0x123456);
    EXPECT_EQ(back.PathColour, 0);
    EXPECT_EQ(back.CurrentCurveWidth, 2);
    EXPECT_EQ(back.PathWidth, 1);
    // Each item keeps its own entry there and back.
    g.Colours = {0x111111, 0x222222, 0x333333, 0x444444};
    g.Widths = {2, 1, 2};
    StoreGraphStyle(g, back);
    EXPECT_EQ(GraphStyleFromSettings(back).Colours, g.Colours);
    EXPECT_EQ(GraphStyleFromSettings(back).Widths, g.Widths);
    const char* items[] = {"Referenzkurven##Reference curves",
                           "Kurven für aktuelle Periode##Curves for current period",
                           "Anpassungsprozesse/Herleitungen##Adjustment processes/Constructions",
                           "Hintergrund##Background"};
    for (int k = 0; k < 4; ++k)
        EXPECT_STREQ(GraphItemName(k), items[k]);
}

TEST(GraphStyle, DiagramTextSizeIsKeptWithinItsRange) {
    struct Case {
        int stored, taken;
    } cases[] = {{8, 8}, {16, 16}, {24, 24}, {3, 6}, {40, 24}, {-1, 6}};
    for (const Case& c : cases) {
        Settings s;
        s.DiagramTextSize = c.stored;
        const GraphStyle g = GraphStyleFromSettings(s);
        EXPECT_EQ(g.TextSize, c.taken) << c.stored;
        Settings back;
        StoreGraphStyle(g, back);
        EXPECT_EQ(back.DiagramTextSize, c.taken) << c.stored;
    }
    EXPECT_EQ(GraphStyle{}.TextSize, 8);
    EXPECT_EQ(Settings{}.DiagramTextSize, 8);
}
