#include "views/DiagramExport.h"

#include "core/Model.h"
#include "core/NumberFormat.h"
#include "views/BaselineCurves.h"
#include "views/CurveDerivations.h"
#include "views/IncomeDiagrams.h"

#include <algorithm>

namespace tv {

namespace {

void IncomeExpenditureNumbers(Model& m, int, const Baseline* b, DiagramNumbers& out) {
    const IncomeExpenditureOptions o;
    const int t = m.Periods.CurrentPeriod;
    const AxisRange goodsAxes = AxesFor(GoodsMarketRanges(m, o), false);
    Plot goods = GoodsMarketCurves(m, o, goodsAxes);
    AddBaselineCurves(goods, b, t,
                      [&](const Model& f) { return GoodsMarketCurves(f, o, goodsAxes); });
    AppendPlot(out, goods, "goods:");
    const AxisRange capitalAxes = AxesFor(CapitalMarketRanges(m), false);
    Plot capital = CapitalMarketCurves(m, o, capitalAxes);
    AddBaselineCurves(capital, b, t,
                      [&](const Model& f) { return CapitalMarketCurves(f, o, capitalAxes); });
    AppendPlot(out, capital, "capital:");
}

void IncomeInterestNumbers(Model& m, int, const Baseline* b, DiagramNumbers& out) {
    const IncomeInterestOptions o;
    const AxisRange axes = AxesFor(IncomeInterestRanges(m), false);
    Plot plot = IncomeInterestCurves(m, o, axes);
    AddBaselineCurves(plot, b, m.Periods.CurrentPeriod,
                      [&](const Model& f) { return IncomeInterestCurves(f, o, axes); });
    AppendPlot(out, plot);
}

void AsAdNumbers(Model& m, AsAdPlane plane, int raster, const Baseline* b, DiagramNumbers& out) {
    AsAdOptions o;
    o.Raster = raster;
    AppendPolylines(out, ComputeAsAdDiagram(m, plane, o, false, b).Curves);
}

void PriceNumbers(Model& m, int raster, const Baseline* b, DiagramNumbers& out) {
    AsAdNumbers(m, AsAdPlane::Price, raster, b, out);
}

void InflationNumbers(Model& m, int raster, const Baseline* b, DiagramNumbers& out) {
    AsAdNumbers(m, AsAdPlane::Inflation, raster, b, out);
}

void DerivationNumbers(Model& m, DerivationKind kind, DiagramNumbers& out) {
    const std::array<AxisRange, 4> ranges = DerivationRanges(m, kind);
    std::array<AxisRange, 4> axes{};
    for (int k = 0; k < 4; ++k)
        axes[k] = AxesFor(ranges[k]);
    AppendQuadrants(out, kind, DerivationPlots(m, kind, DerivationOptions{}, axes));
}

// The derivations show no baseline.
void IsDerivationNumbers(Model& m, int, const Baseline*, DiagramNumbers& out) {
    DerivationNumbers(m, DerivationKind::IS, out);
}
void LmDerivationNumbers(Model& m, int, const Baseline*, DiagramNumbers& out) {
    DerivationNumbers(m, DerivationKind::LM, out);
}
void ZDerivationNumbers(Model& m, int, const Baseline*, DiagramNumbers& out) {
    DerivationNumbers(m, DerivationKind::Z, out);
}

struct DiagramEntry {
    const char* Name;
    void (*Compute)(Model& m, int raster, const Baseline* b, DiagramNumbers& out);
};

// One line per diagram.
constexpr DiagramEntry Diagrams[] = {
    {"income-expenditure", IncomeExpenditureNumbers},
    {"is-lm", IncomeInterestNumbers},
    {"as-ad", PriceNumbers},
    {"dynamic-as-ad", InflationNumbers},
    {"is-derivation", IsDerivationNumbers},
    {"lm-derivation", LmDerivationNumbers},
    {"z-derivation", ZDerivationNumbers},
};

std::string Table(const DiagramNumbers& numbers, char column, char separator, bool csv) {
    std::string out = std::string("curve") + column + "k" + column + "x" + column + "y\n";
    char buf[ShortestTextSize];
    auto number = [&](double v) {
        char* end = FormatShortest(buf, v);
        if (separator != '.') std::replace(buf, end, '.', separator);
        out.append(buf, end);
    };
    for (const ExportedCurve& c : numbers.Curves) {
        const std::string name = csv ? CsvField(c.Name) : c.Name;
        for (size_t k = 0; k < c.Points.size(); ++k) {
            out += name;
            out += column;
            out += std::to_string(k);
            out += column;
            number(c.Points[k].X);
            out += column;
            number(c.Points[k].Y);
            out += '\n';
        }
    }
    return out;
}

} // namespace

void AppendPlot(DiagramNumbers& out, const Plot& plot, const std::string& prefix) {
    for (const Curve& c : plot.Curves)
        out.Curves.push_back({prefix + c.Name, c.Points});
}

void AppendPolylines(DiagramNumbers& out, const std::vector<NamedPolyline>& curves) {
    for (const NamedPolyline& c : curves) {
        ExportedCurve e{c.Name, {}};
        e.Points.reserve(c.Points.size());
        for (const WorldPoint& p : c.Points)
            e.Points.push_back({p.X, p.Y});
        out.Curves.push_back(std::move(e));
    }
}

std::vector<std::string> DiagramNames() {
    std::vector<std::string> names;
    for (const DiagramEntry& d : Diagrams)
        names.emplace_back(d.Name);
    return names;
}

DiagramResult ComputeDiagramNumbers(Model& m, const std::string& name,
                                    const DiagramRequest& request) {
    DiagramResult r;
    const DiagramEntry* entry = nullptr;
    for (const DiagramEntry& d : Diagrams)
        if (name == d.Name) entry = &d;
    if (!entry) {
        r.Error = "unknown diagram \"" + name + "\"";
        return r;
    }
    const PeriodState saved = m.Periods;
    const int right = saved.RightEdge;
    const int t = request.Period < 0 ? right : request.Period;
    const int l = request.Reference < 0 ? std::min(saved.LeftEdge, t) : request.Reference;
    if (m.ScratchMode) {
        r.Error = "a solution is running";
    } else if (t > right) {
        r.Error = "the period " + std::to_string(t) + " lies after the right edge " +
                  std::to_string(right);
    } else if (t > saved.LastSolved) {
        r.Error = "the model is solved only up to period " + std::to_string(saved.LastSolved) +
                  ", not up to " + std::to_string(t);
    } else if (l > t) {
        r.Error = "the reference period " + std::to_string(l) + " lies after the period " +
                  std::to_string(t);
    } else if (request.Raster < MinRaster || request.Raster > MaxRaster) {
        r.Error = "the raster must lie between " + std::to_string(MinRaster) + " and " +
                  std::to_string(MaxRaster);
    }
    if (!r.Error.empty()) return r;

    // The diagrams take the reference period from the left edge and T from the current
    // period, as a window shows them after the user moved there.
    m.Periods.LeftEdge = l;
    m.Periods.CurrentPeriod = t;
    r.Numbers.Diagram = entry->Name;
    entry->Compute(m, request.Raster, request.BaselineRun, r.Numbers);
    m.Periods = saved;
    r.Ok = true;
    return r;
}

std::string DiagramCsv(const DiagramNumbers& numbers) {
    return Table(numbers, ',', '.', true);
}

std::string DiagramTabText(const DiagramNumbers& numbers, char separator) {
    return Table(numbers, '\t', separator, false);
}

void AppendQuadrants(DiagramNumbers& out, DerivationKind kind, const std::array<Plot, 4>& plots) {
    for (int k = 1; k <= QuadrantCount(kind); ++k)
        AppendPlot(out, plots[k - 1], "q" + std::to_string(k) + ":");
}

} // namespace tv
