#pragma once

// The frozen baseline run in the diagrams: its current curves are computed from the frozen
// model by the same functions that compute the model's own, for the period the diagram
// shows, and join the plot dashed, named with a suffix ("IS(5) Basis").

#include "views/DiagramData.h"

#include <functional>
#include <string>

namespace tv {

class Baseline;
class CoordinateSystem;
class Model;
struct GraphStyle;

// The suffix of a baseline curve's name in the data (the same in both languages, like the
// other curve names there).
constexpr const char* BaselineSuffix = " Basis"; // verbatim
// The legend entry of the dashed curves (bilingual).
constexpr const char* BaselineKeyText = "Basislauf##Baseline";

// True when the baseline has a solved period t of its own.
bool BaselineShows(const Baseline& b, int t);

// Runs `compute` on the frozen model seen at period t: left edge and current period are t
// while it runs (one set of current curves, no reference, no path), then restored.
void WithFrozenAt(const Baseline& b, int t, const std::function<void(Model&)>& compute);

// The current curves of `frozen` (another plot's, computed from the frozen model) added to
// `plot` as baseline curves: dashed, unlabelled, the name with BaselineSuffix.
void AppendBaselineCurves(Plot& plot, const Plot& frozen);

// The baseline's curves of period t added to `plot`: `curves` computes a plot from a model
// the way the diagram computes the model's own. Nothing without a baseline or when it does
// not show t.
void AddBaselineCurves(Plot& plot, const Baseline* b, int t,
                       const std::function<Plot(const Model&)>& curves);

// True when the plot holds a baseline curve.
bool HasBaselineCurves(const Plot& plot);

// The legend entry above the axis box, in the current curves' pen, dashed.
void DrawBaselineKey(CoordinateSystem& cs, const GraphStyle& style, int language);

} // namespace tv
