#include "views/AsAdCurves.h"

#include "core/Baseline.h"
#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/BaselineCurves.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

// The supply-side search of one demand sample: iteration limit and accuracy.
constexpr int SampleIterations = 100;
constexpr double SampleAccuracy = 0.01;
constexpr double LowestInflation = -99;
constexpr double LowestPrice = 0.001;

bool PricesExogenous(const Model& m) {
    return m.Sw(12) == 0;
}

// The price level the wage bargain of period t started from.
double BasePrice(const Model& m, int t) {
    return m.ModelVar(t - m.TZR(), var::P);
}

double InflationOf(const Model& m, int t, double p) {
    return (p / BasePrice(m, t) - 1) * 100;
}

double YValue(const Model& m, AsAdPlane plane, int t) {
    return m.ModelVar(t, plane == AsAdPlane::Price ? var::P : var::gP);
}

// Extends lo..hi by v; values that are not numbers are left out.
void Include(double& lo, double& hi, double v) {
    if (!std::isfinite(v)) return;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
}

// A hundredth more room at each end; where values may be negative (incomes of a model gone
// astray, inflation), away from zero either way.
void Widen(double& lo, double& hi, bool eitherSign, double minSpan) {
    if (std::abs(lo) < 1e-10) lo = 0;
    lo *= !eitherSign || lo > 0 ? 0.99 : 1.01;
    hi *= !eitherSign || hi > 0 ? 1.01 : 0.99;
    if (hi - lo < 1e-9) hi += minSpan;
}

std::string Label(const char* name, int t) {
    return std::string(name) + "(" + std::to_string(t) + ")";
}

NamedPolyline Vertical(std::string name, CurveKind style, double x, double y0, double y1) {
    return {std::move(name), style, false, {{x, y0}, {x, y1}}};
}

void AddPeriodCurves(Model& m, AsAdPlane plane, int t, CurveKind style, const AsAdOptions& o,
                     const AsAdAxes& axes, AsAdSamples* cache, std::vector<NamedPolyline>& out) {
    const int raster = std::clamp(o.Raster, MinRaster, MaxRaster);
    const bool price = plane == AsAdPlane::Price;
    AsAdSamples local;
    AsAdSamples& s = cache ? *cache : local;
    if (s.Period != t || s.Raster != raster || !(s.Axes == axes)) {
        s.Demand.clear();
        s.Supply.clear();
        // Only what is shown is sampled; a curve switched on later clears the cache.
        if (o.Demand) s.Demand = SampleDemand(m, plane, t, axes, raster);
        if (o.Supply) s.Supply = SampleSupply(m, plane, t, axes, raster);
        s.Period = t;
        s.Raster = raster;
        s.Axes = axes;
    }
    if (o.Demand && !s.Demand.empty())
        out.push_back({Label(price ? "AD" : "DAD", t), style, false, s.Demand});
    if (o.Supply) {
        if (price && PricesExogenous(m)) {
            const double cap = PotentialOutput(m, t);
            // The curve names are the keys of the exported numbers; the window translates
            // this one where it labels the line.
            const std::string name = Label("Kap-Max", t); // verbatim
            NamedPolyline capLine = Vertical(name, style, cap, 0, axes.YMax);
            capLine.Capacity = true;
            out.push_back(std::move(capLine));
            out.push_back({Label("P", t), style, false, s.Supply});
        } else if (!s.Supply.empty()) {
            out.push_back({Label(price ? "AS" : "DAS", t), style, false, s.Supply});
        }
    }
    if (o.LongRun && HasLongRunLine(m, t))
        out.push_back(Vertical(Label(price ? "LAS" : "LDAS", t), style, LongRunOutput(m, t),
                               std::min(0.0, axes.YMin), axes.YMax));
}

} // namespace

bool AsAdDrawable(const Model& m) {
    return m.Periods.LastSolved >= m.Periods.CurrentPeriod;
}

const char* AsAdUnsolvedText(AsAdPlane plane) {
    return plane == AsAdPlane::Price
               ? "Modell ist nicht bis zur aktuellen Periode gelöst => AD-AS-Darstellung noch "
                 "nicht möglich!##The model is not solved up to the current period => no AD-AS "
                 "diagram yet!"
               : "Modell ist nicht bis zur aktuellen Periode gelöst => DAD-DAS-Darstellung noch "
                 "nicht möglich!##The model is not solved up to the current period => no DAD-DAS "
                 "diagram yet!";
}

WorldPoint AsAdPathPoint(const Model& m, AsAdPlane plane, int t) {
    return {m.ModelVar(t, var::Y), YValue(m, plane, t)};
}

AsAdRanges ComputeAsAdRanges(const Model& m, AsAdPlane plane) {
    const int left = m.Periods.LeftEdge, right = m.Periods.RightEdge;
    AsAdRanges r;
    r.FixedXMax = 1;
    r.FixedYMin = 0;
    r.FixedYMax = LowestPrice;
    const WorldPoint start = AsAdPathPoint(m, plane, left);
    r.AutoXMin = r.AutoXMax = std::isfinite(start.X) ? start.X : 0;
    r.AutoYMin = r.AutoYMax = std::isfinite(start.Y) ? start.Y : 0;
    for (int t = left; t <= right; ++t) {
        const WorldPoint p = AsAdPathPoint(m, plane, t);
        Include(r.FixedXMin, r.FixedXMax, p.X);
        Include(r.FixedXMin, r.FixedXMax, PotentialOutput(m, t));
        const double asked = PriceAt(m, t, p.X);
        Include(r.FixedYMin, r.FixedYMax,
                plane == AsAdPlane::Price ? asked : InflationOf(m, t, asked));
        Include(r.FixedYMin, r.FixedYMax, p.Y);
        Include(r.AutoXMin, r.AutoXMax, p.X);
        Include(r.AutoYMin, r.AutoYMax, p.Y);
    }
    // Income and the price level start at the origin; inflation may lie below it.
    r.FixedXMin = 0;
    if (plane == AsAdPlane::Price) r.FixedYMin = 0;
    Widen(r.FixedXMin, r.FixedXMax, true, 1);
    Widen(r.AutoXMin, r.AutoXMax, true, 1);
    Widen(r.FixedYMin, r.FixedYMax, plane != AsAdPlane::Price, 0.1);
    Widen(r.AutoYMin, r.AutoYMax, plane != AsAdPlane::Price, 0.1);
    return r;
}

void BoundAsAdZoom(AsAdPlane plane, double& xMin, double& xMax, double& yMin, double& yMax) {
    xMin = std::max(xMin, 0.0);
    xMax = std::max(xMax, 1.0);
    if (plane == AsAdPlane::Price) {
        yMin = std::max(yMin, 0.0);
        yMax = std::max(yMax, 0.0);
    } else {
        yMin = std::max(yMin, -99.0);
        yMax = std::max(yMax, -98.0);
    }
}

double LongRunOutput(const Model& m, int t) {
    const double employment =
        (1 - (m.ModelVar(t, var::gaErw) * m.ModelPar(t, par::wga) +
              m.ModelPar(t, par::uNat) * m.ModelPar(t, par::wu) + m.ModelPar(t, par::wV)) /
                 (m.ModelPar(t, par::wu) * 100)) *
        m.ModelPar(t, par::APot);
    if (m.Sw(6) == 1) return ProductionFunction(m, t, m.ModelVar(t, var::K), employment);
    return m.ModelPar(t, par::a) * employment;
}

bool HasLongRunLine(const Model& m, int t) {
    return m.Sw(14) != 0 && m.ModelPar(t, par::wu) != 0;
}

bool LongRunAvailable(const Model& m) {
    return HasLongRunLine(m, m.Periods.LeftEdge) || HasLongRunLine(m, m.Periods.CurrentPeriod);
}

std::vector<WorldPoint> SampleDemand(Model& m, AsAdPlane plane, int t, const AsAdAxes& axes,
                                     int raster) {
    raster = std::clamp(raster, MinRaster, MaxRaster);
    SilentHost quiet;
    std::vector<WorldPoint> points;
    points.reserve(raster + 1);
    const double base = plane == AsAdPlane::Price ? 0 : BasePrice(m, t);
    const double pMin = std::max(axes.YMin, LowestPrice);
    for (int k = 0; k <= raster; ++k) {
        double y, p;
        if (plane == AsAdPlane::Price) {
            p = y = pMin + (axes.YMax - pMin) * k / raster;
        } else {
            y = std::max(axes.YMin + (axes.YMax - axes.YMin) * k / raster, LowestInflation);
            p = base * (1 + y / 100);
        }
        EquilibriumAtPrice(m, quiet, t, SampleIterations, p, SampleAccuracy);
        points.push_back({m.ScratchVar(t, var::Y), y});
    }
    return points;
}

std::vector<WorldPoint> SampleSupply(const Model& m, AsAdPlane plane, int t, const AsAdAxes& axes,
                                     int raster) {
    raster = std::clamp(raster, MinRaster, MaxRaster);
    std::vector<WorldPoint> points;
    points.reserve(raster + 1);
    const double cap = PotentialOutput(m, t);
    if (PricesExogenous(m)) {
        if (plane == AsAdPlane::Inflation) return points;
        const double p = m.ModelPar(t, par::PExog);
        for (int k = 0; k <= raster; ++k)
            points.push_back({axes.XMax * k / raster, p});
        return points;
    }
    const bool price = plane == AsAdPlane::Price;
    const double from = price ? axes.XMin : 0;
    const double to = price ? std::min(axes.XMax, cap) : cap;
    for (int k = 0; k < raster; ++k) {
        const double y = k == raster - 1 ? to : from + (to - from) * k / (raster - 1);
        const double p = PriceAt(m, t, y);
        points.push_back({y, price ? p : std::max(InflationOf(m, t, p), LowestInflation)});
    }
    // At capacity the curve turns vertical up past the top of the plot.
    const bool capacityInside = !price || cap <= axes.XMax;
    points.push_back({to, capacityInside ? 1.1 * axes.YMax : points.back().Y});
    return points;
}

std::vector<NamedPolyline> ComputeAsAdCurves(Model& m, AsAdPlane plane, const AsAdOptions& options,
                                             const AsAdAxes& axes, AsAdCache* cache) {
    std::vector<NamedPolyline> out;
    // A solution run in progress owns the scratch store.
    if (m.ScratchMode || !AsAdDrawable(m)) return out;
    const int left = m.Periods.LeftEdge, current = m.Periods.CurrentPeriod;
    AsAdOptions o = options;
    if (plane == AsAdPlane::Inflation && PricesExogenous(m)) o.Supply = false;
    if (o.Reference && left != current)
        AddPeriodCurves(m, plane, left, CurveKind::Reference, o, axes,
                        cache ? &cache->Reference : nullptr, out);
    AddPeriodCurves(m, plane, current, CurveKind::Current, o, axes,
                    cache ? &cache->Current : nullptr, out);
    if (o.Path) {
        NamedPolyline path{"Pfad", CurveKind::Path, false, {}}; // verbatim
        const int step = plane == AsAdPlane::Inflation && o.WageRoundsOnly ? m.TZR() : 1;
        for (int t = left; t <= current; ++t)
            if (step == 1 || t % step == 0) path.Points.push_back(AsAdPathPoint(m, plane, t));
        out.push_back(std::move(path));
    }
    return out;
}

std::vector<NamedPolyline> ComputeAsAdBaselineCurves(const Baseline* b, AsAdPlane plane,
                                                     const AsAdOptions& options,
                                                     const AsAdAxes& axes, int t,
                                                     AsAdSamples* cache) {
    std::vector<NamedPolyline> out;
    if (!b || !BaselineShows(*b, t)) return out;
    Model& frozen = b->Frozen();
    if (frozen.ScratchMode) return out;
    AsAdOptions o = options;
    if (plane == AsAdPlane::Inflation && PricesExogenous(frozen)) o.Supply = false;
    AddPeriodCurves(frozen, plane, t, CurveKind::Current, o, axes, cache, out);
    for (NamedPolyline& c : out) {
        c.Name += BaselineSuffix;
        c.Baseline = true;
    }
    return out;
}

double DemandAt(Model& m, AsAdPlane plane, int t, double v) {
    const double p =
        plane == AsAdPlane::Price ? v : BasePrice(m, t) * (1 + std::max(v, LowestInflation) / 100);
    SilentHost quiet;
    EquilibriumAtPrice(m, quiet, t, SampleIterations, p, SampleAccuracy);
    return m.ScratchVar(t, var::Y);
}

double SupplyAt(const Model& m, AsAdPlane plane, int t, double v) {
    const double p = plane == AsAdPlane::Price ? v : BasePrice(m, t) * (1 + v / 100);
    const double cap = PotentialOutput(m, t);
    if (PricesExogenous(m)) return p >= m.ModelPar(t, par::PExog) ? cap : 0;
    if (!(p >= PriceAt(m, t, 0))) return 0;
    if (p >= PriceAt(m, t, cap)) return cap;
    // The supply price rises with output: halve the interval that holds the price.
    double lo = 0, hi = cap;
    for (int k = 0; k < 100 && hi - lo > 1e-12 * std::max(1.0, cap); ++k) {
        const double mid = (lo + hi) / 2;
        (PriceAt(m, t, mid) < p ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

PositionReadout AsAdReadout(Model& m, AsAdPlane plane, double y, double v, int language) {
    auto tr = [language](const char* s) { return Translate(s, language); };
    auto num = [&m](double x) { return m.FormatNumber(x); };
    const bool price = plane == AsAdPlane::Price;
    const int c = m.Periods.CurrentPeriod;
    PositionReadout out;
    out.Caption = price ? tr("Einkommen-Preis-Info##Income-Price-Info")
                        : tr("Einkommen-Inflation-Info##Income-Inflation-Info");
    out.Groups.push_back({tr("Positionswerte##Position"),
                          {tr("Einkommen##Income") + ": " + num(y),
                           price ? tr("Preisniveau (P')##Price Level (P')") + ": " + num(v)
                                 : tr("Inflation (gP')##Inflation (gP')") + ": " + num(v) + "%"}});
    ReadoutGroup values{(price ? tr("AD-AS-Werte bei P'##AD-AS values at P'")
                               : tr("DAD-DAS-Werte bei gP'##DAD-DAS values at gP'")) +
                            " (t=" + std::to_string(c) + ")",
                        {}};
    if (!m.ScratchMode && AsAdDrawable(m)) {
        const double demand = DemandAt(m, plane, c, v);
        const double supply = SupplyAt(m, plane, c, v);
        values.Lines.push_back(tr("Nettonachfrage##Net Demand") + ": " + num(demand));
        values.Lines.push_back(tr("heim. Angebot##Domestic Supply") + ": " + num(supply));
        const MarketState s = demand > supply   ? MarketState::ExcessDemand
                              : demand < supply ? MarketState::ExcessSupply
                                                : MarketState::Equilibrium;
        std::string conclusion = "=> " + tr(MarketStateText(s));
        if (s != MarketState::Equilibrium) conclusion += ": " + num(std::fabs(demand - supply));
        values.Lines.push_back(conclusion);
    }
    out.Groups.push_back(std::move(values));
    return out;
}

void DrawAsAdCurves(CoordinateSystem& cs, const std::vector<NamedPolyline>& curves,
                    const GraphStyle& style, int language) {
    for (const NamedPolyline& curve : curves) {
        cs.SetPenWidth(style.WidthOf(curve.Style));
        cs.SetPenColour(style.ColourOf(curve.Style));
        // Baselines dashed, the capacity line dash-dotted, so that neither passes for the other.
        cs.SetPenDotted(!curve.Baseline && (curve.Style == CurveKind::Reference || curve.Capacity));
        cs.SetPenDashed(curve.Capacity || curve.Baseline);
        cs.LabelPriority = curve.Style == CurveKind::Reference ? 1 : 0;
        const bool labelled = curve.Style != CurveKind::Path && !curve.Baseline;
        std::string name = curve.Name;
        if (name.rfind("Kap-Max", 0) == 0) // verbatim
            name = Translate("Kap-Max##Cap-Max", language) + name.substr(7);
        // Pieces with an end that is not a number are left out; the name goes to a piece
        // that shows.
        cs.BeginCurve();
        const auto& p = curve.Points;
        for (size_t k = 1; k < p.size(); ++k)
            cs.DrawSegment(p[k - 1].X, p[k - 1].Y, p[k].X, p[k].Y);
        const auto& track = cs.CurveTrack();
        if (labelled && !track.empty()) {
            const DevicePoint at =
                curve.Style == CurveKind::Reference ? track.front().front() : track.back().back();
            cs.LabelAtDevice(at.X, at.Y, name);
        }
        cs.EndCurve();
    }
    cs.SetPenDotted(false);
    cs.SetPenDashed(false);
}

AsAdDiagram ComputeAsAdDiagram(Model& m, AsAdPlane plane, const AsAdOptions& options,
                               bool autoRange, const Baseline* baseline) {
    AsAdDiagram d;
    d.Drawable = AsAdDrawable(m);
    if (!d.Drawable) return d;
    d.Ranges = ComputeAsAdRanges(m, plane);
    const AsAdRanges& r = d.Ranges;
    const AxisScale x = autoRange ? ScaleAxis(r.AutoXMin, r.AutoXMax, '.')
                                  : ScaleAxis(r.FixedXMin, r.FixedXMax, '.');
    const AxisScale y = autoRange ? ScaleAxis(r.AutoYMin, r.AutoYMax, '.')
                                  : ScaleAxis(r.FixedYMin, r.FixedYMax, '.');
    d.Axes = {x.AxisMin, x.AxisMax, y.AxisMin, y.AxisMax};
    d.Curves = ComputeAsAdCurves(m, plane, options, d.Axes, nullptr);
    for (NamedPolyline& c : ComputeAsAdBaselineCurves(baseline, plane, options, d.Axes,
                                                      m.Periods.CurrentPeriod, nullptr))
        d.Curves.push_back(std::move(c));
    return d;
}

} // namespace tv
