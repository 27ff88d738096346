#include "views/CoordinateSystem.h"

#include "views/LabelPlacement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tv {

namespace {

// The integer nearest to v, ties to even. Values far outside any device (and NaN) are
// limited first: converting them to int would be undefined.
int Nearest(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -1e9, 1e9)));
}

// The decimal exponent of x > 0 as written in scientific notation with 10 significant
// digits (9.9999999999 counts as 1.000000000E+01).
int DecimalExponent(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9e", x);
    const char* e = std::strchr(buf, 'e');
    return e ? std::atoi(e + 1) : 0;
}

// Major intervals for the number of whole units spanned (index 1..12).
constexpr std::array<int, 13> MajorIntervals = {10, 10, 8, 6, 8, 10, 6, 7, 8, 9, 10, 11, 6};

std::string DecimalSample(char separator) {
    return std::string("0") + separator + "00";
}

// Every how many major ticks a label stands, so that labels of `extent` pixels at
// `spacing` pixels apart keep a gap between them (large text on a small diagram).
int LabelStride(double spacing, int extent) {
    int k = 1;
    while (k < 12 && k * spacing < extent)
        ++k;
    return k;
}

} // namespace

std::string FormatGeneral(double x, char decimalSeparator) {
    if (x == 0) return "0"; // also -0
    if (!std::isfinite(x)) return std::isnan(x) ? "NAN" : (x > 0 ? "INF" : "-INF");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", x);
    std::string s = buf;
    // "1E+20" reads "1E20", "1E-05" reads "1E-5".
    const auto e = s.find('E');
    if (e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        const int exponent = std::atoi(s.c_str() + e + 1);
        s = mantissa + "E" + std::to_string(exponent);
    }
    if (decimalSeparator != '.') std::replace(s.begin(), s.end(), '.', decimalSeparator);
    return s;
}

AxisScale ScaleAxis(double min, double max, char decimalSeparator) {
    // A NaN or an infinity anywhere in the model must not reach the scaling.
    if (!std::isfinite(min) || !std::isfinite(max)) min = 0, max = 1;
    if (min > max) std::swap(min, max);
    min += 0.0, max += 0.0; // a -0 would reach the exported axis points as "-0"
    if (min == max && max > 0) min = 0;
    if (min == max && min < 0) max = 0;
    if (min == 0 && max == 0) max = 1;
    double unit = 0;
    if (std::isfinite(max - min)) unit = std::pow(10.0, DecimalExponent(max - min));
    if (!(unit > 0) || !std::isfinite(unit) || !std::isfinite(max / unit) ||
        !std::isfinite(min / unit)) {
        // Overflowing or vanishing ranges.
        min = 0, max = 1, unit = 1;
    }
    AxisScale s;
    s.Min = min;
    s.Max = max;
    const double low = std::floor(min / unit), high = std::ceil(max / unit);
    const int n = static_cast<int>(std::clamp(high - low, 1.0, 12.0));
    s.AxisMin = low * unit;
    s.AxisMax = high * unit;
    s.Span = n * unit;
    s.Units = (n == 1 && s.Span >= 10) ? 10 : n;
    s.Intervals = MajorIntervals[s.Units];
    s.Unit = s.Span / s.Units;
    const double step = s.Span / s.Intervals;
    s.Labels.reserve(s.Intervals + 1);
    for (int k = 0; k <= s.Intervals; ++k) {
        double v = (s.AxisMin + k * step) / s.Unit;
        // Rounding noise such as -2.8E-17 where the axis crosses zero reads 0.
        if (std::fabs(v) < 1e-9 * s.Units) v = 0;
        s.Labels.push_back(FormatGeneral(v, decimalSeparator));
    }
    return s;
}

std::string AxisTitle(const std::string& title, double unit, char decimalSeparator) {
    if (!title.empty() && title.front() == '#') return {};
    std::string t = title;
    const auto mark = t.find('#');
    if (mark == std::string::npos) return t;
    if (unit != 1)
        t.replace(mark, 1, " in " + FormatGeneral(unit, decimalSeparator));
    else if (mark + 1 == t.size())
        t.erase(mark);
    else
        t.replace(mark, 1, " in ");
    return t;
}

bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double width, double height) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return false;
    const double w = width, h = height;
    // A hair beyond the far edges is rounding, relative to the box: an absolute hair would be
    // wider than the final tolerance in a box of tiny world units and drop a segment inside.
    const double ex = 1e-10 * w, ey = 1e-10 * h;
    if ((y1 > h + ey && y2 > h + ey) || (y1 < 0 && y2 < 0) || (x1 > w + ex && x2 > w + ex) ||
        (x1 < 0 && x2 < 0))
        return false;
    if (x1 == x2) {
        x1 = x2 = std::clamp(x1, 0.0, w);
        y1 = std::clamp(y1, 0.0, h);
        y2 = std::clamp(y2, 0.0, h);
        return true;
    }
    // Each cut moves one end onto a bound along the line.
    auto cutX = [](double& xa, double& ya, double xb, double yb, double bound) {
        if (xb == xa) return false;
        ya = ya + (yb - ya) * (bound - xa) / (xb - xa);
        xa = bound;
        return true;
    };
    auto cutY = [](double& xa, double& ya, double xb, double yb, double bound) {
        if (yb == ya) return false;
        xa = xa + (xb - xa) * (bound - ya) / (yb - ya);
        ya = bound;
        return true;
    };
    bool ok = true;
    if (ok && x1 < 0) ok = cutX(x1, y1, x2, y2, 0);
    if (ok && x2 < 0) ok = cutX(x2, y2, x1, y1, 0);
    if (ok && x2 > w + ex) ok = cutX(x2, y2, x1, y1, w);
    if (ok && x1 > w + ex) ok = cutX(x1, y1, x2, y2, w);
    if (ok && y2 > h + ey) ok = cutY(x2, y2, x1, y1, h);
    if (ok && y1 > h + ey) ok = cutY(x1, y1, x2, y2, h);
    if (ok && y1 < 0) ok = cutY(x1, y1, x2, y2, 0);
    if (ok && y2 < 0) ok = cutY(x2, y2, x1, y1, 0);
    if (!ok) return false;
    // A segment that passes by a corner is cut to a piece outside the box; that piece is
    // not drawn (it would leave a stray dot beside the frame).
    const double tx = 1e-6 * std::max(w, 1e-300), ty = 1e-6 * std::max(h, 1e-300);
    for (double x : {x1, x2})
        if (!(x >= -tx && x <= w + tx)) return false;
    for (double y : {y1, y2})
        if (!(y >= -ty && y <= h + ty)) return false;
    x1 = std::clamp(x1, 0.0, w);
    x2 = std::clamp(x2, 0.0, w);
    y1 = std::clamp(y1, 0.0, h);
    y2 = std::clamp(y2, 0.0, h);
    return true;
}

void CoordinateSystem::SetViewport(int offsetX, int offsetY, int factorX, int factorY) {
    ZoomOffsetX = offsetX;
    ZoomOffsetY = offsetY;
    ZoomFactorX = factorX;
    ZoomFactorY = factorY;
}

int CoordinateSystem::ToDeviceX(int l) const {
    return Nearest((l / 1000.0 * ZoomFactorX + ZoomOffsetX) / 10000.0 * DeviceWidth);
}

int CoordinateSystem::ToDeviceY(int l) const {
    return Nearest((l / 1000.0 * ZoomFactorY + ZoomOffsetY) / 10000.0 * DeviceHeight);
}

int CoordinateSystem::ToLogicalX(int d) const {
    if (DeviceWidth <= 0 || ZoomFactorX == 0) return 0;
    return Nearest((static_cast<double>(d) / DeviceWidth * 10000.0 - ZoomOffsetX) / ZoomFactorX *
                   1000.0);
}

int CoordinateSystem::ToLogicalY(int d) const {
    if (DeviceHeight <= 0 || ZoomFactorY == 0) return 0;
    return Nearest((static_cast<double>(d) / DeviceHeight * 10000.0 - ZoomOffsetY) / ZoomFactorY *
                   1000.0);
}

int CoordinateSystem::WorldToLogicalX(double x) const {
    return Nearest((x - XAxisMin) / XSpan * (PlotRight - PlotLeft) + PlotLeft);
}

int CoordinateSystem::WorldToLogicalY(double y) const {
    return Nearest(PlotBottom - (y - YAxisMin) / YSpan * (PlotBottom - PlotTop));
}

double CoordinateSystem::DeviceToWorldX(int d) const {
    const int w = PlotRight - PlotLeft;
    if (w == 0) return XAxisMin;
    return static_cast<double>(ToLogicalX(d) - PlotLeft) * XSpan / w + XAxisMin;
}

double CoordinateSystem::DeviceToWorldY(int d) const {
    const int h = PlotBottom - PlotTop;
    if (h == 0) return YAxisMin;
    return static_cast<double>(PlotBottom - ToLogicalY(d)) * YSpan / h + YAxisMin;
}

double CoordinateSystem::DeviceToWorldY2(int d) const {
    const int h = PlotBottom - PlotTop;
    if (h == 0) return Y2AxisMin;
    return static_cast<double>(PlotBottom - ToLogicalY(d)) * Y2Span / h + Y2AxisMin;
}

DeviceRect CoordinateSystem::PlotBox() const {
    return {ToDeviceX(PlotLeft), ToDeviceY(PlotTop), ToDeviceX(PlotRight), ToDeviceY(PlotBottom)};
}

void CoordinateSystem::SelectRange() {
    if (AutoRange) {
        XMin = AutoXMin, XMax = AutoXMax, YMin = AutoYMin, YMax = AutoYMax;
    } else {
        XMin = FixedXMin, XMax = FixedXMax, YMin = FixedYMin, YMax = FixedYMax;
    }
}

bool CoordinateSystem::UpdateRange(const DeviceRect& band) {
    if (!Zoomed) {
        ZoomPending = false;
        SelectRange();
        return false;
    }
    if (!ZoomPending) return false;
    ZoomPending = false;
    if (DeviceWidth <= 0 || DeviceHeight <= 0) {
        // No frame yet to read the band through: show the range set instead.
        SelectRange();
        return false;
    }
    const double xa = DeviceToWorldX(band.Left), xb = DeviceToWorldX(band.Right);
    const double ya = DeviceToWorldY(band.Bottom), yb = DeviceToWorldY(band.Top);
    XMin = std::min(xa, xb), XMax = std::max(xa, xb);
    YMin = std::min(ya, yb), YMax = std::max(ya, yb);
    return true;
}

int CoordinateSystem::ScaledWidth(int width) const {
    if (FontSize <= 8) return width;
    return std::max(1, int(std::lround(width * FontSize / 8.0)));
}

void CoordinateSystem::ApplyPen() {
    if (!canvas_) return;
    canvas_->SetPen(pen_, ScaledWidth(penWidth_));
    canvas_->SetDotted(dotted_);
    canvas_->SetDashed(dashed_);
}

void CoordinateSystem::SetPenDashed(bool dashed) {
    dashed_ = dashed;
    ApplyPen();
}

void CoordinateSystem::DrawKey(const std::string& text) {
    if (!canvas_) return;
    GraphCanvas& c = *canvas_;
    // The sample is three lines of text long: long enough for a dash pattern on paper too.
    const int gap = std::max(6, c.TextWidth(" ")), sample = std::max(28, 3 * c.TextHeight(text));
    // The left axis title stands at the left end of the same strip, a right one at the
    // right end: then the key goes to the middle.
    const int width = sample + gap + c.TextWidth(text);
    const int left = RightAxisShown() ? ToDeviceX((PlotLeft + PlotRight) / 2) - width / 2
                                      : ToDeviceX(PlotRight) - width;
    const int y = ToDeviceY(PlotTop) - c.TextHeight(text) / 2 - 2;
    DeviceLine(left, y, left + sample, y);
    c.Text(left + sample + gap, y - c.TextHeight(text) / 2, text, HAlign::Left, VAlign::Top, false);
}

void CoordinateSystem::SetPenDotted(bool dotted) {
    dotted_ = dotted;
    ApplyPen();
}

void CoordinateSystem::SetPenColour(Colour c) {
    pen_ = (Printing || Monochrome) ? Black : c;
    ApplyPen();
}

void CoordinateSystem::SetPenWidth(int width) {
    penWidth_ = std::max(width, 1);
    ApplyPen();
}

void CoordinateSystem::SetBrushColour(Colour c) {
    brush_ = (Printing || Monochrome) ? White : c;
    if (canvas_) canvas_->SetBrush(brush_);
}

void CoordinateSystem::SetFontColour(Colour c) {
    if (canvas_) canvas_->SetFontColour((Printing || Monochrome) ? Black : c);
}

void CoordinateSystem::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void CoordinateSystem::LineTo(int x, int y) {
    if (canvas_) {
        canvas_->Line(penX_, penY_, x, y);
        lines_.push_back(
            {{penX_, penY_},
             {x, y},
             std::max(1, int(std::lround(ScaledWidth(penWidth_) * canvas_->PenScale()))),
             inCurve_ ? int(tracks_.size()) - 1 : -1});
    }
    penX_ = x;
    penY_ = y;
}

void CoordinateSystem::DeviceLine(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
}

void CoordinateSystem::LogicalLine(int x1, int y1, int x2, int y2) {
    MoveTo(ToDeviceX(x1), ToDeviceY(y1));
    LineTo(ToDeviceX(x2), ToDeviceY(y2));
}

void CoordinateSystem::LogicalLineTo(int x, int y) {
    LineTo(ToDeviceX(x), ToDeviceY(y));
}

bool CoordinateSystem::DrawFrame(GraphCanvas& c, GraphTarget target, int width, int height) {
    canvas_ = nullptr;
    DeviceWidth = width;
    DeviceHeight = height;
    target_ = target;
    Printing = target == GraphTarget::Printer;
    Monochrome = target == GraphTarget::Image;
    // A minimised window or an empty copy: the mappings would divide by zero.
    if (width <= 0 || height <= 0 || ZoomFactorX <= 0 || ZoomFactorY <= 0) return false;

    pending_.clear();
    tracks_.clear();
    inCurve_ = false;
    written_.clear();
    lines_.clear();
    leftOut_ = 0;
    c.SetFont("Arial", FontSize, false);
    c.SetFontColour(Black);
    const std::string sample = DecimalSample(DecimalSeparator);
    const int sampleWidth = c.TextWidth(sample);
    const int th = c.TextHeight("0");
    const bool right = RightAxisShown();

    PlotLeft = ToLogicalX(ToDeviceX(0) + sampleWidth) + 30;
    PlotRight = right ? ToLogicalX(ToDeviceX(1000) - sampleWidth) - 30 : 980;
    PlotTop = ToDeviceY(65) - ToDeviceY(0) >= th ? 75 : ToLogicalY(ToDeviceY(0) + th) + 10;
    PlotBottom = ToDeviceY(45) - ToDeviceY(0) >= 2 * th
                     ? 925
                     : 1000 - ToLogicalY(2 * th) + ToLogicalY(0) - 30;

    xScale_ = ScaleAxis(XMin, XMax, DecimalSeparator);
    yScale_ = ScaleAxis(YMin, YMax, DecimalSeparator);
    XMin = xScale_.Min, XMax = xScale_.Max;
    YMin = yScale_.Min, YMax = yScale_.Max;
    XAxisMin = xScale_.AxisMin, XAxisMax = xScale_.AxisMax, XSpan = xScale_.Span;
    YAxisMin = yScale_.AxisMin, YAxisMax = yScale_.AxisMax, YSpan = yScale_.Span;
    XUnit = xScale_.Unit, YUnit = yScale_.Unit;
    if (right) {
        y2Scale_ = ScaleAxis(Y2Min, Y2Max, DecimalSeparator);
        Y2Min = y2Scale_.Min, Y2Max = y2Scale_.Max;
        Y2AxisMin = y2Scale_.AxisMin, Y2AxisMax = y2Scale_.AxisMax, Y2Span = y2Scale_.Span;
        Y2Unit = y2Scale_.Unit;
    } else {
        y2Scale_ = AxisScale{};
    }

    auto widest = [&](const AxisScale& s) {
        int w = sampleWidth;
        for (const std::string& l : s.Labels)
            w = std::max(w, c.TextWidth(l));
        return w;
    };
    if (!FixedMargins) {
        PlotLeft = ToLogicalX(ToDeviceX(0) + widest(yScale_)) + 30;
        if (right) PlotRight = ToLogicalX(ToDeviceX(1000) - widest(y2Scale_)) - 30;
    }
    // Labels wider than a tiny window leave no room for the axis box.
    if (PlotRight - PlotLeft < 1 || PlotBottom - PlotTop < 1) return false;

    canvas_ = &c;
    penWidth_ = 1;
    dotted_ = false;
    dashed_ = false;
    SetPenColour(Grey);
    DrawAxisX(c);
    DrawAxisY(c, yScale_, false);
    if (right) DrawAxisY(c, y2Scale_, true);

    const DeviceRect box = PlotBox();
    if (target == GraphTarget::Screen) {
        const Colour previous = brush_;
        SetBrushColour(Background);
        c.FillRect(box.Left, box.Top, box.Right, box.Bottom);
        SetBrushColour(previous);
    }
    // A sunken frame; black on the printer and in black and white.
    SetPenColour(Grey);
    LogicalLine(PlotLeft, PlotBottom, PlotLeft, PlotTop);
    LogicalLineTo(PlotRight, PlotTop);
    SetPenColour(White);
    LogicalLineTo(PlotRight, PlotBottom);
    LogicalLineTo(PlotLeft, PlotBottom);

    SetPenColour(Grey);
    if (XMin < 0) DrawSegment(0, YAxisMin, 0, YAxisMax);
    if (YMin < 0) DrawSegment(XAxisMin, 0, XAxisMax, 0);
    if (right && RightZeroLine && Y2Min < 0) DrawSegmentRight(XAxisMin, 0, XAxisMax, 0);
    return true;
}

void CoordinateSystem::DrawAxisX(GraphCanvas& c) {
    const int m = xScale_.Intervals;
    const int width = PlotRight - PlotLeft;
    int widest = 0;
    for (const std::string& label : xScale_.Labels)
        widest = std::max(widest, c.TextWidth(label));
    const int stride = LabelStride((ToDeviceX(PlotRight) - ToDeviceX(PlotLeft)) / double(m),
                                   widest + c.TextWidth("0"));
    for (int s = 0; s <= 10 * m; ++s) {
        const int x = PlotLeft + Nearest(s / 10.0 * width / m);
        if (s % 10 != 0) {
            LogicalLine(x, PlotBottom + 5, x, PlotBottom + 15);
        } else {
            LogicalLine(x, PlotBottom, x, PlotBottom + 20);
            if (s / 10 % stride == 0)
                c.Text(ToDeviceX(x), ToDeviceY(PlotBottom + 21), xScale_.Labels[s / 10],
                       HAlign::Centre, VAlign::Top, false);
        }
    }
    const std::string title = AxisTitle(XTitle, XUnit, DecimalSeparator);
    if (!title.empty())
        c.Text(ToDeviceX((PlotLeft + PlotRight) / 2),
               ToDeviceY(PlotBottom + 25) + c.TextHeight(title), title, HAlign::Centre, VAlign::Top,
               false);
}

void CoordinateSystem::DrawAxisY(GraphCanvas& c, const AxisScale& scale, bool right) {
    const int m = scale.Intervals;
    const int height = PlotBottom - PlotTop;
    const int edge = right ? PlotRight : PlotLeft;
    const int dir = right ? 1 : -1;
    const int half = c.TextHeight("0") / 2;
    const int stride =
        LabelStride((ToDeviceY(PlotBottom) - ToDeviceY(PlotTop)) / double(m), 2 * half + 2);
    for (int s = 0; s <= 5 * m; ++s) {
        const int y = PlotBottom - Nearest(s / 5.0 * height / m);
        if (s % 5 != 0) {
            LogicalLine(edge, y, edge + dir * 7, y);
        } else {
            LogicalLine(edge, y, edge + dir * 12, y);
            if (s / 5 % stride == 0)
                c.Text(ToDeviceX(edge + dir * 20), ToDeviceY(y) - half, scale.Labels[s / 5],
                       right ? HAlign::Left : HAlign::Right, VAlign::Top, false);
        }
    }
    const std::string title = right ? AxisTitle(Y2Title, Y2Unit, DecimalSeparator)
                                    : AxisTitle(YTitle, YUnit, DecimalSeparator);
    if (!title.empty())
        c.Text(ToDeviceX(edge), ToDeviceY(PlotTop), title, right ? HAlign::Right : HAlign::Left,
               VAlign::Bottom, false);
}

bool CoordinateSystem::DrawClipped(double x1, double y1, double x2, double y2, int& dx1, int& dy1,
                                   int& dx2, int& dy2, bool& startInside, bool& endInside) {
    if (!canvas_) return false;
    double a = x1 - XAxisMin, b = y1 - YAxisMin, c = x2 - XAxisMin, d = y2 - YAxisMin;
    auto inside = [this](double x, double y) {
        return x >= 0 && x <= XSpan && y >= 0 && y <= YSpan;
    };
    startInside = inside(a, b);
    endInside = inside(c, d);
    if (!ClipSegment(a, b, c, d, XSpan, YSpan)) return false;
    dx1 = WorldToDeviceX(a + XAxisMin);
    dy1 = WorldToDeviceY(b + YAxisMin);
    dx2 = WorldToDeviceX(c + XAxisMin);
    dy2 = WorldToDeviceY(d + YAxisMin);
    MoveTo(dx1, dy1);
    LineTo(dx2, dy2);
    if (inCurve_) {
        auto& pieces = tracks_.back();
        if (pieces.empty() || pieces.back().back().X != dx1 || pieces.back().back().Y != dy1)
            pieces.push_back({{dx1, dy1}});
        pieces.back().push_back({dx2, dy2});
    }
    return true;
}

void CoordinateSystem::DrawSegment(double x1, double y1, double x2, double y2) {
    int a, b, c, d;
    bool s, e;
    DrawClipped(x1, y1, x2, y2, a, b, c, d, s, e);
}

void CoordinateSystem::SwapRightAxis() {
    std::swap(YMin, Y2Min);
    std::swap(YMax, Y2Max);
    std::swap(YAxisMin, Y2AxisMin);
    std::swap(YAxisMax, Y2AxisMax);
    std::swap(YSpan, Y2Span);
    std::swap(YUnit, Y2Unit);
}

void CoordinateSystem::DrawSegmentRight(double x1, double y1, double x2, double y2) {
    SwapRightAxis();
    DrawSegment(x1, y1, x2, y2);
    SwapRightAxis();
}

void CoordinateSystem::DrawLabelledSegment(const std::string& startText, const std::string& endText,
                                           double x1, double y1, double x2, double y2) {
    int a, b, c, d;
    bool s, e;
    if (!DrawClipped(x1, y1, x2, y2, a, b, c, d, s, e)) return;
    LabelAtPen(endText);
    MoveTo(a, b);
    LabelAtPen(startText);
    MoveTo(c, d);
}

void CoordinateSystem::DrawSegmentEntryLabel(const std::string& text, double x1, double y1,
                                             double x2, double y2) {
    int a, b, c, d;
    bool s, e;
    if (!DrawClipped(x1, y1, x2, y2, a, b, c, d, s, e) || s) return;
    MoveTo(a, b);
    LabelAtPen(text);
    MoveTo(c, d);
}

void CoordinateSystem::DrawSegmentExitLabel(const std::string& text, double x1, double y1,
                                            double x2, double y2) {
    int a, b, c, d;
    bool s, e;
    if (!DrawClipped(x1, y1, x2, y2, a, b, c, d, s, e) || e) return;
    LabelAtPen(text);
}

void CoordinateSystem::BeginCurve() {
    tracks_.emplace_back();
    inCurve_ = true;
}

void CoordinateSystem::EndCurve() {
    inCurve_ = false;
}

const std::vector<std::vector<DevicePoint>>& CoordinateSystem::CurveTrack() const {
    static const std::vector<std::vector<DevicePoint>> none;
    return inCurve_ ? tracks_.back() : none;
}

void CoordinateSystem::LabelAtDevice(int x, int y, const std::string& text) {
    const int px = penX_, py = penY_;
    MoveTo(x, y);
    LabelAtPen(text);
    MoveTo(px, py);
}

void CoordinateSystem::DrawLabels() {
    if (!canvas_ || pending_.empty()) {
        pending_.clear();
        return;
    }
    GraphCanvas& c = *canvas_;
    c.SetFont("Arial", FontSize, false);
    const DeviceRect box = PlotBox();
    const int gapX = Nearest(0.01 * (box.Right - box.Left));
    const int gapY = Nearest(0.01 * (box.Bottom - box.Top));
    std::vector<LabelRequest> requests;
    requests.reserve(pending_.size());
    for (const PendingLabel& p : pending_) {
        LabelRequest r;
        r.Width = c.TextWidth(p.Text);
        r.Height = c.TextHeight(p.Text);
        r.Anchor = {p.X, p.Y};
        if (p.Curve >= 0) r.Track = tracks_[size_t(p.Curve)];
        r.Curve = p.Curve;
        r.Priority = p.Priority;
        requests.push_back(std::move(r));
    }
    const std::vector<std::optional<LabelPlace>> places =
        PlaceLabels(box, gapX, gapY, lines_, requests);
    const Colour savedBrush = brush_;
    SetBrushColour(Background);
    for (size_t k = 0; k < pending_.size(); ++k) {
        if (!places[k]) {
            ++leftOut_;
            continue;
        }
        const LabelPlace& place = *places[k];
        std::optional<DrawnLine> leader;
        if (place.Leader) {
            leader = DrawnLine{place.LeaderFrom, place.LeaderTo, 1, pending_[k].Curve};
            c.SetPen(pending_[k].Pen, 1);
            c.SetDotted(false);
            c.SetDashed(false);
            c.Line(leader->A.X, leader->A.Y, leader->B.X, leader->B.Y);
        }
        c.SetFontColour(pending_[k].Pen);
        c.Text(place.Rect.Left, place.Rect.Top, pending_[k].Text, HAlign::Left, VAlign::Top, true);
        written_.push_back({pending_[k].Text, place.Rect, pending_[k].Curve, leader});
    }
    SetBrushColour(savedBrush);
    ApplyPen();
    pending_.clear();
}

void CoordinateSystem::LabelAtPen(const std::string& text) {
    if (!canvas_ || text.empty()) return;
    if (DeferLabels) {
        pending_.push_back(
            {text, penX_, penY_, pen_, inCurve_ ? int(tracks_.size()) - 1 : -1, LabelPriority});
        return;
    }
    const int px = penX_, py = penY_;
    const Colour savedBrush = brush_;
    canvas_->SetFontColour(pen_);
    if (!Printing && !Monochrome) SetBrushColour(Background);
    const DeviceRect box = PlotBox();
    const int g = Nearest(0.01 * (box.Right - box.Left));
    const int h = Nearest(0.01 * (box.Bottom - box.Top));
    const int tw = canvas_->TextWidth(text);
    const int th = canvas_->TextHeight(text);
    const int x = px + tw + g > box.Right ? px - g - tw : px + g;
    if (box.Top + th + h < py)
        canvas_->Text(x, py - h, text, HAlign::Left, VAlign::Bottom, true);
    else
        canvas_->Text(x, py + h, text, HAlign::Left, VAlign::Top, true);
    MoveTo(px, py);
    SetBrushColour(savedBrush);
}

} // namespace tv
