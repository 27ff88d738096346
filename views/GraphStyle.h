#pragma once

#include "logic/Settings.h"
#include "views/CoordinateSystem.h"

#include <array>
#include <string>

namespace tv {

constexpr int DefaultTextSize = 8, MinTextSize = MinDiagramTextSize,
              MaxTextSize = MaxDiagramTextSize;

// The three kinds of curve every diagram draws, and the plot background.
enum class CurveKind { Reference = 0, Current = 1, Path = 2 };
constexpr int BackgroundItem = 3;

// Colours and pen widths of the diagrams (the graph options).
struct GraphStyle {
    // Reference curves, current-period curves, adjustment paths and derivations, background.
    std::array<Colour, 4> Colours = {Grey, Black, 0x0000FF, White};
    // Pen widths in pixels of the three curve kinds: 1 thin, 2 thick.
    std::array<int, 3> Widths = {1, 2, 1};
    // Point size of the diagrams' texts; pens widen with it, so that a projected diagram
    // stays legible.
    int TextSize = DefaultTextSize;

    Colour ColourOf(CurveKind k) const { return Colours[static_cast<int>(k)]; }
    int WidthOf(CurveKind k) const { return Widths[static_cast<int>(k)]; }
    Colour BackgroundColour() const { return Colours[BackgroundItem]; }
};

// The style the settings hold (colours limited to 24 bits, widths to 1 or 2, the text size to
// MinTextSize..MaxTextSize) and back.
GraphStyle GraphStyleFromSettings(const Settings& s);
void StoreGraphStyle(const GraphStyle& style, Settings& s);

// The bilingual names of the four items of the options list.
const char* GraphItemName(int item);

// A curve colour equal to the background cannot be seen. Returns the curve kind (0..2)
// whose colour collides when item 0..3 takes `colour`, -1 when none does; for the
// background the last of the three curve kinds with that colour.
int ColourConflict(const GraphStyle& style, int item, Colour colour);
// The refusal of a conflicting colour: bilingual title and text naming the curve kind.
std::string ColourConflictTitle();
std::string ColourConflictText(int curveItem);

} // namespace tv
