#include "views/GraphStyle.h"

#include "core/Catalogue.h"
#include "logic/Settings.h"

#include <algorithm>

namespace tv {

namespace {

Colour ToColour(int v) {
    return static_cast<Colour>(v) & 0xFFFFFF;
}

int ToWidth(int v) {
    return v >= 2 ? 2 : 1;
}

} // namespace

GraphStyle GraphStyleFromSettings(const Settings& s) {
    GraphStyle g;
    g.Colours = {ToColour(s.ReferenceCurveColour), ToColour(s.CurrentCurveColour),
                 ToColour(s.PathColour), ToColour(s.BackgroundColour)};
    g.Widths = {ToWidth(s.ReferenceCurveWidth), ToWidth(s.CurrentCurveWidth), ToWidth(s.PathWidth)};
    g.TextSize = std::clamp(s.DiagramTextSize, MinTextSize, MaxTextSize);
    return g;
}

void StoreGraphStyle(const GraphStyle& g, Settings& s) {
    s.ReferenceCurveColour = static_cast<int>(g.Colours[0]);
    s.CurrentCurveColour = static_cast<int>(g.Colours[1]);
    s.PathColour = static_cast<int>(g.Colours[2]);
    s.BackgroundColour = static_cast<int>(g.Colours[3]);
    s.ReferenceCurveWidth = g.Widths[0];
    s.CurrentCurveWidth = g.Widths[1];
    s.PathWidth = g.Widths[2];
    s.DiagramTextSize = std::clamp(g.TextSize, MinTextSize, MaxTextSize);
}

const char* GraphItemName(int item) {
    switch (item) {
    case 0:
        return "Referenzkurven##Reference curves";
    case 1:
        return "Kurven für aktuelle Periode##Curves for current period";
    case 2:
        return "Anpassungsprozesse/Herleitungen##Adjustment processes/Constructions";
    default:
        return "Hintergrund##Background";
    }
}

int ColourConflict(const GraphStyle& g, int item, Colour colour) {
    colour &= 0xFFFFFF;
    if (item >= 0 && item < BackgroundItem) return colour == g.Colours[BackgroundItem] ? item : -1;
    if (item != BackgroundItem) return -1;
    for (int k = BackgroundItem - 1; k >= 0; --k)
        if (g.Colours[k] == colour) return k;
    return -1;
}

std::string ColourConflictTitle() {
    return "So nicht: Farbkonflikt!##Attention: Conflicting Colors!";
}

std::string ColourConflictText(int curveItem) {
    const char* name = GraphItemName(curveItem);
    // Each half names the curve in its own language.
    const std::string text = FillIn("Hintergrund- und Kurvenfarbe\r\n(%1)\r\nsollten nicht "
                                    "identisch sein!##Background and curve color\r\n(%2)\r\n"
                                    "should not be the same.",
                                    {Translate(name, 1), Translate(name, 2)});
    return text;
}

} // namespace tv
