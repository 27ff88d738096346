#pragma once

// Where the curve labels of one plot go, so that no label covers another and none leaves
// the plot. Plain geometry in device pixels; the coordinate system collects the labels of a
// paint and writes them where this puts them.

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
    // Lower goes first where two labels want the same place (current curves before
    // reference curves).
    int Priority = 0;
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

// A label keeps its place beside the anchor when that place collides with no other label
// and lies inside the box. Otherwise it moves along its own curve to the nearest free place
// inside the box, else to the nearest free place beside the box's edge; a label with no free
// place anywhere is left out (no value).
std::vector<std::optional<DeviceRect>> PlaceLabels(const DeviceRect& box, int gapX, int gapY,
                                                   const std::vector<LabelRequest>& labels);

} // namespace tv
