#pragma once

// Where the curve labels of one plot go: beside the curve each names, crossed by no drawn
// line, nearer its own curve than any other, covering no other label and inside the plot.
// Plain geometry in device pixels; the coordinate system collects the lines and labels of
// a paint and writes the labels where this puts them.

#include "views/CoordinateSystem.h"

#include <optional>
#include <vector>

namespace tv {

// One label: its text size, the point it is written beside, and the visible pieces of its
// curve (each a polyline in device pixels; none for a label without a curve).
struct LabelRequest {
    int Width = 0, Height = 0;
    DevicePoint Anchor;
    std::vector<std::vector<DevicePoint>> Track;
    // The number its curve's lines carry; -1: none.
    int Curve = -1;
    // Lower goes first where two labels want the same place (current curves before
    // reference curves).
    int Priority = 0;
};

// Where a label went; a label far from every free place beside its curve is tied to the
// curve by a short leader line.
struct LabelPlace {
    DeviceRect Rect;
    bool Leader = false;
    DevicePoint LeaderFrom, LeaderTo; // on the label's edge, on the curve
};

// The text's rectangle beside a point as the diagrams write it: right of the point unless
// it would run past the box's right edge, above the point unless too close to the top;
// gapX and gapY away from it. Right and Bottom are exclusive.
DeviceRect LabelBeside(const DeviceRect& box, int gapX, int gapY, int width, int height,
                       DevicePoint p);

// True when the rectangles share a pixel (Right and Bottom exclusive).
bool Overlap(const DeviceRect& a, const DeviceRect& b);
// True when r lies within the box (its frame included).
bool Inside(const DeviceRect& box, const DeviceRect& r);

// A label keeps its written place beside the anchor when no line runs through it, no other
// label covers it, it lies inside the box and nearer its own curve than any other. Otherwise
// it takes the free place beside its own curve nearest to the anchor; where there is none,
// the free place nearest to its curve with a leader line; a label with no free place at all
// is left out (no value).
std::vector<std::optional<LabelPlace>> PlaceLabels(const DeviceRect& box, int gapX, int gapY,
                                                   const std::vector<DrawnLine>& lines,
                                                   const std::vector<LabelRequest>& labels);

// A written label as a check sees it.
struct LabelOnPlot {
    DeviceRect Rect;
    int Curve = -1;
    std::optional<DrawnLine> Leader;
};

struct LabelFaults {
    int CrossedByALine = 0;
    int NearerAnotherCurve = 0;
};

// Counts the labels a drawn line runs through (their own leader line aside) and the labels
// nearer another curve than their own (a leader line counts as part of its curve).
LabelFaults CountLabelFaults(const std::vector<DrawnLine>& lines,
                             const std::vector<LabelOnPlot>& labels);

} // namespace tv
