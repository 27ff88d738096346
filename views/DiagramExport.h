#pragma once

// The numbers behind the textbook diagrams: for a solved model, the curves a diagram window
// paints with its default settings, computed by the same functions the windows paint from,
// and written as CSV (batch tool, saved file) or as tab-separated text (clipboard).
//
//   curve,k,x,y
//   AD(3),0,812.5,0.4
//   ...
//
// Points are in model units (rates and inflation in percent without the sign); numbers in
// the shortest form that reads back to the same double.

#include "views/AsAdCurves.h"
#include "views/DiagramData.h"

#include <array>
#include <string>
#include <vector>

namespace tv {

class Baseline;
class Model;

// One curve as labelled in the diagram; in a diagram of two plots the name carries the
// plot's prefix ("goods:D(3)", "capital:dKA(3)").
struct ExportedCurve {
    std::string Name;
    std::vector<CurvePoint> Points;
};

struct DiagramNumbers {
    std::string Diagram; // "as-ad", ...; the stem of a saved file's name
    std::vector<ExportedCurve> Curves;
};

// The curves of a plot, in drawing order; `prefix` goes before every name.
void AppendPlot(DiagramNumbers& out, const Plot& plot, const std::string& prefix = "");
void AppendPolylines(DiagramNumbers& out, const std::vector<NamedPolyline>& curves);
// The quadrants of a curve derivation, named "q1:" to "q4:" by their place in the window.
enum class DerivationKind;
void AppendQuadrants(DiagramNumbers& out, DerivationKind kind, const std::array<Plot, 4>& plots);

constexpr int DefaultDiagramRaster = 54; // the AS-AD windows' start raster

struct DiagramRequest {
    int Period = -1;    // the current period T; -1: the right edge
    int Reference = -1; // the reference period L (left edge); -1: the model's left edge,
                        // or T when that lies after T
    int Raster = DefaultDiagramRaster; // linear pieces of the AS-AD curves
    // A frozen baseline: its curves of period T follow the model's, named "IS(5) Basis".
    const Baseline* BaselineRun = nullptr;
};

// The names the batch tool and saved files use, in menu order.
std::vector<std::string> DiagramNames();

struct DiagramResult {
    bool Ok = false;
    std::string Error; // English, for the batch tool's standard error, when not Ok
    DiagramNumbers Numbers;
};

// The named diagram's curves for T and L with the window's default options and range set.
// The model's periods are restored afterwards; every AS-AD sample leaves the solution as it
// was. Not while a solution run uses the model.
DiagramResult ComputeDiagramNumbers(Model& m, const std::string& name,
                                    const DiagramRequest& request = {});

// "curve,k,x,y" and one line per point; a name with a comma or quote is quoted.
std::string DiagramCsv(const DiagramNumbers& numbers);
// The same table tab-separated for a spreadsheet, the decimal point as `separator`.
std::string DiagramTabText(const DiagramNumbers& numbers, char separator = '.');

} // namespace tv
