#pragma once

// The data behind a diagram: its curves as named polylines in model units, with the axis
// ranges they were computed for. Windows paint exactly these; the same data can be listed
// as numbers.

#include "views/CoordinateSystem.h"

#include <optional>
#include <string>
#include <vector>

namespace tv {

struct GraphStyle;

// How a curve is drawn: the three kinds of the graph options, grey guide lines, and the
// baseline run's curves (dashed in the current curves' pen).
enum class CurveStyle { Reference, Current, Path, Guide, Baseline };

// Where a segment carries the curve's name: beside its (clipped) start or end, or only
// where the curve enters or leaves the plot.
enum class LabelAt { Start, End, Entry, Exit };

struct CurvePoint {
    double X = 0, Y = 0;
};

struct CurveLabel {
    int Segment = 0; // segment k runs from point k to point k + 1
    LabelAt At = LabelAt::End;
};

struct Curve {
    std::string Name; // as labelled: "IS(0)", "LM(5)", "Pfad"
    CurveStyle Style = CurveStyle::Current;
    std::vector<CurvePoint> Points;
    std::vector<CurveLabel> Labels;
};

// The path's marks: a circle at its first period, a cross at the current one.
enum class MarkShape { Circle, Cross };
struct Mark {
    MarkShape Shape = MarkShape::Circle;
    double X = 0, Y = 0;
};

struct AxisRange {
    double XMin = 0, XMax = 1, YMin = 0, YMax = 1;
};

// The two range sets of a plot: the whole analysis interval with the origin, and tight
// around the data.
struct RangeSets {
    AxisRange Fixed, Auto;
};

// One coordinate system's content.
struct Plot {
    AxisRange Axes; // the axis limits the curves span
    std::vector<Curve> Curves;
    std::vector<Mark> Marks;
};

// The axis limits the graph engine chooses for the data range.
AxisRange AxesFor(const AxisRange& data);
// The axis limits of the chosen range set.
AxisRange AxesFor(const RangeSets& sets, bool autoRange);

// What the frame around the equilibria holds in one plot: the equilibrium points of the
// shown periods and of the path, and a vertical line (the capacity) taken in when near.
struct FrameContent {
    std::vector<CurvePoint> Points;
    std::optional<double> VerticalX;
};
// The data range of that frame: the points with a quarter of their width and height as the
// margin on each side (the axes round it to whole units); the vertical line is taken in
// when it lies within twice that margin. Points that are not numbers are left out; no
// value without a point.
std::optional<AxisRange> FrameAround(const FrameContent& content);
// The points of a plot's path curves and marks, and where two curves of one period cross
// (reference with reference, current with current).
std::vector<CurvePoint> EquilibriumPoints(const Plot& plot);

// Draws marks with the current pen; they grow with the diagram's text size.
void DrawMarks(CoordinateSystem& cs, const std::vector<Mark>& marks);
// Draws the curves and marks through a coordinate system whose frame is drawn.
void DrawPlot(CoordinateSystem& cs, const Plot& plot, const GraphStyle& style);

// Collects a range: non-finite values (a division by a zero parameter) are left out.
struct RangeBuilder {
    double Min, Max;
    RangeBuilder(double min, double max) : Min(min), Max(max) {}
    void Take(double v);
    void TakeMax(double v);
    void TakeMin(double v);
};

// The widening every range set gets before it is used: a fixed minimum within 1e-10 of
// zero becomes 0, the minimum is scaled by 0.99 and the maximum by 1.01, and a range
// narrower than 1e-9 grows by 1.
void WidenRange(AxisRange& r, bool fixedSet);

} // namespace tv
