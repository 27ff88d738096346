#pragma once

// The curves of the income-price diagram (aggregate demand and supply) and of its dynamic
// form in the income-inflation plane, without any drawing: the window paints exactly the
// polylines computed here, and the batch side can write them out.
//
// Aggregate demand has no closed form: each point is the demand-side equilibrium of the
// period at a prescribed price level (EquilibriumAtPrice), which restores the model, so
// computing curves never changes a later solution. Messages of these searches are not shown:
// a painted curve is no place for questions.

#include "views/GraphStyle.h"
#include "views/PositionReadouts.h"

#include <string>
#include <vector>

namespace tv {

class Baseline;
class Model;

enum class AsAdPlane { Price, Inflation };

struct WorldPoint {
    double X = 0, Y = 0;
};

// One curve as drawn: label ("AD(3)", "LAS(0)", "Pfad"), pen kind and points in model
// units. A piece with an end that is not a number is not drawn.
struct NamedPolyline {
    std::string Name;
    CurveKind Style = CurveKind::Current;
    bool Capacity = false; // the capacity line (drawn dash-dotted)
    std::vector<WorldPoint> Points;
    bool Baseline = false; // a curve of the frozen baseline run (drawn dashed, unlabelled)
};

// The two range sets of the diagram (whole analysis interval / tight around the data),
// already widened.
struct AsAdRanges {
    double FixedXMin = 0, FixedXMax = 1, FixedYMin = 0, FixedYMax = 1;
    double AutoXMin = 0, AutoXMax = 1, AutoYMin = 0, AutoYMax = 1;
};

// The axis limits the samples are spread over.
struct AsAdAxes {
    double XMin = 0, XMax = 1, YMin = 0, YMax = 1;
    bool operator==(const AsAdAxes&) const = default;
};

struct AsAdOptions {
    bool Reference = true; // curves of the left edge, when it differs from the current period
    bool Demand = true;
    bool Supply = true;
    bool LongRun = true;
    bool Path = true;
    bool WageRoundsOnly = false; // path between wage-bargaining periods (inflation plane)
    int Raster = 54;             // linear pieces per curve
};

constexpr int MinRaster = 2;
constexpr int MaxRaster = 1000;

// Demand and supply samples of one period, kept between paints: each demand point is a
// full solution of the period.
struct AsAdSamples {
    int Period = -1; // -1: not computed
    int Raster = 0;
    AsAdAxes Axes; // a zoom samples anew
    std::vector<WorldPoint> Demand, Supply;
};

struct AsAdCache {
    AsAdSamples Reference, Current;
    void Clear() { Reference.Period = Current.Period = -1; }
};

// False when the model is not solved up to the current period (nothing can be drawn).
bool AsAdDrawable(const Model& m);
// The bilingual text shown instead of the diagram then.
const char* AsAdUnsolvedText(AsAdPlane plane);

AsAdRanges ComputeAsAdRanges(const Model& m, AsAdPlane plane);
// A zoom band keeps the range within what the diagram can show.
void BoundAsAdZoom(AsAdPlane plane, double& xMin, double& xMax, double& yMin, double& yMax);

// Long-run output (the vertical supply line) of period t.
double LongRunOutput(const Model& m, int t);
// Whether the long-run line exists for period t (wages respond to unemployment).
bool HasLongRunLine(const Model& m, int t);
// Whether the long-run check box is usable: in the left edge or the current period.
bool LongRunAvailable(const Model& m);

// The realised point of period t: income and price level or inflation.
WorldPoint AsAdPathPoint(const Model& m, AsAdPlane plane, int t);

// Demand samples of period t: Raster + 1 points (income, price level or inflation).
std::vector<WorldPoint> SampleDemand(Model& m, AsAdPlane plane, int t, const AsAdAxes& axes,
                                     int raster);
// Supply samples of period t: Raster + 1 points; empty in the inflation plane with
// exogenous prices.
std::vector<WorldPoint> SampleSupply(const Model& m, AsAdPlane plane, int t, const AsAdAxes& axes,
                                     int raster);

// Every curve to draw, reference curves first, then the current ones, then the path. The
// cache (may be null) keeps samples for the same period and raster. Call only while no
// solution run uses the model (during one, nothing is computed).
std::vector<NamedPolyline> ComputeAsAdCurves(Model& m, AsAdPlane plane, const AsAdOptions& options,
                                             const AsAdAxes& axes, AsAdCache* cache);

// The income the demand side reaches at a price level (inflation rate) of period t, and the
// income the supply side offers there (up to capacity; none below its lowest price).
double DemandAt(Model& m, AsAdPlane plane, int t, double v);
double SupplyAt(const Model& m, AsAdPlane plane, int t, double v);

// The position read-out of the point (income y, price level or inflation v) for the
// current period: the position, then demand and supply at that price and the market state.
// Nothing is computed while a solution run uses the model.
PositionReadout AsAdReadout(Model& m, AsAdPlane plane, double y, double v, int language);

class CoordinateSystem;

// Draws the curves through a coordinate system whose frame is drawn: reference curves dotted,
// the capacity line dashed, the baseline's curves dashed and unlabelled; a reference curve
// is named at the start of its first visible piece, a current one at the end of its last.
void DrawAsAdCurves(CoordinateSystem& cs, const std::vector<NamedPolyline>& curves,
                    const GraphStyle& style, int language);

// The whole diagram without a window (no zoom): ranges, axes as the frame would choose
// them, curves. Drawable false: the model is not solved far enough, no curves.
struct AsAdDiagram {
    bool Drawable = false;
    AsAdRanges Ranges;
    AsAdAxes Axes;
    std::vector<NamedPolyline> Curves;
};
// With a baseline, its curves (ComputeAsAdBaselineCurves) follow the model's.
AsAdDiagram ComputeAsAdDiagram(Model& m, AsAdPlane plane, const AsAdOptions& options,
                               bool autoRange = false, const Baseline* baseline = nullptr);

// The baseline's current curves of period t (demand, supply, long run; no path), sampled
// from the frozen model over the model's axes and named with the baseline suffix. None
// without a baseline or when it does not show t. The cache (may be null) keeps the samples.
std::vector<NamedPolyline> ComputeAsAdBaselineCurves(const Baseline* b, AsAdPlane plane,
                                                     const AsAdOptions& options,
                                                     const AsAdAxes& axes, int t,
                                                     AsAdSamples* cache);

} // namespace tv
