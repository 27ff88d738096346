#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tv {

// A colour as the settings file stores it: 0x00BBGGRR.
using Colour = uint32_t;

constexpr Colour Black = 0x000000;
constexpr Colour White = 0xFFFFFF;
constexpr Colour Grey = 0x808080;

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Bottom };

// What a diagram needs of a drawing target, in device pixels. The Qt side implements it
// with a QPainter; tests record the calls.
class GraphCanvas {
  public:
    virtual ~GraphCanvas() = default;
    virtual void SetFont(const char* family, int pointSize, bool italic) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
    virtual void SetPen(Colour colour, int width) = 0;
    // How many device pixels a pen width of 1 covers (more on a printer).
    virtual double PenScale() const { return 1; }
    // Dotted lines for the pen set next and after (reference curves).
    virtual void SetDotted(bool /*dotted*/) {}
    // Dashed lines for the pen set next and after (baseline curves); with dots as well,
    // dash-dotted (capacity lines).
    virtual void SetDashed(bool /*dashed*/) {}
    virtual void SetBrush(Colour colour) = 0;
    virtual void SetFontColour(Colour colour) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    // Fills left..right x top..bottom (inclusive) with the brush, no outline.
    virtual void FillRect(int left, int top, int right, int bottom) = 0;
    // (x, y) is the aligned corner or edge; opaque text sits on the brush colour.
    virtual void Text(int x, int y, const std::string& text, HAlign h, VAlign v, bool opaque) = 0;
};

// What a frame is drawn onto. An image is the black-and-white clipboard copy.
enum class GraphTarget { Screen, Image, Printer };

// The axis a data range gets: whole display units, a tick count that divides the axis
// evenly, and the tick labels in display units.
struct AxisScale {
    double Min = 0, Max = 1; // the data range after the guards
    double AxisMin = 0, AxisMax = 1, Span = 1;
    double Unit = 1; // display unit
    int Units = 1;   // whole units spanned
    int Intervals = 10;
    std::vector<std::string> Labels; // Intervals + 1
};

// Chooses the axis for a data range. Non-finite bounds give 0..1, inverted bounds are
// swapped, a zero-width range is widened to include 0 (or to 0..1).
AxisScale ScaleAxis(double min, double max, char decimalSeparator);
// The general number format: up to 15 significant digits, no trailing zeros.
std::string FormatGeneral(double x, char decimalSeparator);
// The axis title with its '#' unit marker resolved; empty when the title is not written
// (it begins with '#').
std::string AxisTitle(const std::string& title, double unit, char decimalSeparator);

// Clips the segment to [0, width] x [0, height]; false when nothing of it lies inside or an
// end is not a finite number.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double width, double height);

// A rectangle in device pixels (the zoom band).
struct DeviceRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct DevicePoint {
    int X = 0, Y = 0;
};

// A line drawn in a plot: a curve's piece (Curve: the curve's number) or anything else
// (Curve -1: frame, axes, ticks, grid, marks, leader lines).
struct DrawnLine {
    DevicePoint A, B;
    int Width = 1;
    int Curve = -1;
};

// The coordinate system of one diagram: world values (model values) are mapped onto a
// logical 0..1000 grid (margins and tick lengths are given in it, so a diagram looks alike
// at every size), which is mapped onto the device pixels of the target. It chooses the
// axes, draws the frame and draws clipped segments and labels.
//
// A diagram per paint: SetViewport, fill the fixed and automatic range sets, UpdateRange
// (which honours a user zoom), set the titles, DrawFrame, then the curves; EndPaint when
// the target goes away. The mapping of the last frame stays for mouse read-outs and zoom.
class CoordinateSystem {
  public:
    // The logical grid on the target, in 1/10000 of the target's width and height.
    int ZoomOffsetX = 0, ZoomOffsetY = 0, ZoomFactorX = 10000, ZoomFactorY = 10000;
    int DeviceWidth = 0, DeviceHeight = 0;
    // The axis box, logical.
    int PlotLeft = 100, PlotRight = 980, PlotTop = 75, PlotBottom = 925;
    bool Printing = false;
    bool Monochrome = false;
    bool AutoRange = false;
    // The whole analysis interval, origin included / tight around the data.
    double FixedXMin = 0, FixedXMax = 1, FixedYMin = 0, FixedYMax = 1;
    double AutoXMin = 0, AutoXMax = 1, AutoYMin = 0, AutoYMax = 1;
    // The data range to show (Y2: the right axis, none while 0..0).
    double XMin = 0, XMax = 1, YMin = 0, YMax = 1, Y2Min = 0, Y2Max = 0;
    double XAxisMin = 0, XAxisMax = 1, YAxisMin = 0, YAxisMax = 1, Y2AxisMin = 0, Y2AxisMax = 1;
    double XSpan = 1, YSpan = 1, Y2Span = 1;
    double XUnit = 1, YUnit = 1, Y2Unit = 1;
    // Titles (already in the user's language) with one '#' unit marker.
    std::string XTitle, YTitle, Y2Title;
    bool ForceRightAxis = false;
    bool RightZeroLine = false;
    bool FixedMargins = false;
    bool Zoomed = false;
    bool ZoomPending = false;
    Colour Background = White;
    char DecimalSeparator = ',';
    // Point size of the diagram's texts; pens widen with it (8 points: as set).
    int FontSize = 8;
    // Labels of a paint are collected and placed together when the paint ends, so that
    // none covers another and lines drawn later do not cover them; otherwise each label
    // is written at once.
    bool DeferLabels = false;
    // Where two collected labels want one place, the lower priority keeps it.
    int LabelPriority = 0;

    void SetViewport(int offsetX, int offsetY, int factorX, int factorY);

    int ToDeviceX(int l) const;
    int ToDeviceY(int l) const;
    int ToLogicalX(int d) const;
    int ToLogicalY(int d) const;
    int WorldToLogicalX(double x) const;
    int WorldToLogicalY(double y) const;
    int WorldToDeviceX(double x) const { return ToDeviceX(WorldToLogicalX(x)); }
    int WorldToDeviceY(double y) const { return ToDeviceY(WorldToLogicalY(y)); }
    double DeviceToWorldX(int d) const;
    double DeviceToWorldY(int d) const;
    double DeviceToWorldY2(int d) const;
    // The axis box in device pixels.
    DeviceRect PlotBox() const;

    // Takes the automatic or the fixed range set as the data range.
    void SelectRange();
    // Before each frame: the range set, unless a user zoom is in force; a zoom band that has
    // just arrived becomes the data range through the mapping of the previous frame. True
    // when a band was applied (the diagram may then bound the range).
    bool UpdateRange(const DeviceRect& band);

    bool RightAxisShown() const { return Y2Min != Y2Max || Y2Max != 0 || ForceRightAxis; }

    // Binds the target and draws background, axes, ticks, labels, titles, frame and zero
    // lines. False, with nothing drawn, when the target or the axis box has no area.
    bool DrawFrame(GraphCanvas& canvas, GraphTarget target, int width, int height);
    // Writes the collected labels and forgets the target; later drawing calls do nothing.
    void EndPaint() {
        DrawLabels();
        canvas_ = nullptr;
    }
    bool Bound() const { return canvas_ != nullptr; }

    // Pen, brush and font colour; black pens and fonts and a white brush on the printer and
    // on black-and-white copies.
    void SetPenColour(Colour c);
    void SetPenWidth(int width);
    void SetPenDotted(bool dotted);
    void SetPenDashed(bool dashed);
    void SetBrushColour(Colour c);
    void SetFontColour(Colour c);

    // World coordinates; clipped to the axis box, skipped when an end is not a number.
    void DrawSegment(double x1, double y1, double x2, double y2);
    // The same against the right axis.
    void DrawSegmentRight(double x1, double y1, double x2, double y2);
    // The clipped segment with a text beside each clipped end (empty: none); the pen stays
    // at the clipped end.
    void DrawLabelledSegment(const std::string& startText, const std::string& endText, double x1,
                             double y1, double x2, double y2);
    // The clipped segment, labelled where the curve enters (or leaves) the axis box.
    void DrawSegmentEntryLabel(const std::string& text, double x1, double y1, double x2, double y2);
    void DrawSegmentExitLabel(const std::string& text, double x1, double y1, double x2, double y2);
    // A legend entry above the axis box (at its right end, or in the middle when there is
    // a right axis): a sample of the current pen, then the text.
    void DrawKey(const std::string& text);
    // Writes a text beside the pen position, inside the axis box where it fits.
    void LabelAtPen(const std::string& text);
    // The pieces drawn between BeginCurve and EndCurve form one curve: its labels may move
    // along them when their place is taken.
    void BeginCurve();
    void EndCurve();
    // The visible pieces of the open curve so far, in device pixels.
    const std::vector<std::vector<DevicePoint>>& CurveTrack() const;
    // The labels collected so far in this paint.
    size_t CollectedLabels() const { return pending_.size(); }
    // A text beside a point in device pixels, as LabelAtPen.
    void LabelAtDevice(int x, int y, const std::string& text);
    // Places and writes the collected labels (EndPaint does it).
    void DrawLabels();
    struct WrittenLabel {
        std::string Text;
        DeviceRect Rect;
        int Curve = -1; // the number its curve's lines carry in DrawnLines
        std::optional<DrawnLine> Leader;
    };
    // The labels the last paint wrote after placing them.
    const std::vector<WrittenLabel>& WrittenLabels() const { return written_; }
    // How many collected labels found no free place in the last paint.
    int LabelsLeftOut() const { return leftOut_; }
    // Every line the last paint drew, leader lines aside.
    const std::vector<DrawnLine>& DrawnLines() const { return lines_; }
    // A pen width of the graph options at the diagram's text size.
    int ScaledWidth(int width) const;

    // A line in device pixels with the current pen (marks of a path).
    void DeviceLine(int x1, int y1, int x2, int y2);
    // Lines in logical coordinates.
    void LogicalLine(int x1, int y1, int x2, int y2);
    void LogicalLineTo(int x, int y);

    // The pen position in device pixels.
    int PenX() const { return penX_; }
    int PenY() const { return penY_; }
    // The tick labels of the last frame.
    const AxisScale& XScale() const { return xScale_; }
    const AxisScale& YScale() const { return yScale_; }
    const AxisScale& Y2Scale() const { return y2Scale_; }

  private:
    // Clips in world coordinates and draws; false when nothing was drawn. The clipped ends
    // come back in device pixels.
    bool DrawClipped(double x1, double y1, double x2, double y2, int& dx1, int& dy1, int& dx2,
                     int& dy2, bool& startInside, bool& endInside);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void DrawAxisX(GraphCanvas& c);
    void DrawAxisY(GraphCanvas& c, const AxisScale& s, bool right);
    void ApplyPen();
    void SwapRightAxis();

    GraphCanvas* canvas_ = nullptr;
    GraphTarget target_ = GraphTarget::Screen;
    int penX_ = 0, penY_ = 0;
    Colour pen_ = Black, brush_ = White;
    int penWidth_ = 1;
    bool dotted_ = false;
    bool dashed_ = false;
    AxisScale xScale_, yScale_, y2Scale_;

    struct PendingLabel {
        std::string Text;
        int X = 0, Y = 0;
        Colour Pen = Black;
        int Curve = -1; // index into tracks_, -1: none
        int Priority = 0;
    };
    std::vector<PendingLabel> pending_;
    std::vector<std::vector<std::vector<DevicePoint>>> tracks_;
    bool inCurve_ = false;
    std::vector<WrittenLabel> written_;
    std::vector<DrawnLine> lines_;
    int leftOut_ = 0;
};

} // namespace tv
