#include "views/SequenceData.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "views/BaselineCurves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tv {

SeriesFlags DefaultSequenceSet(const Model& m) {
    SeriesFlags s{};
    s[31] = s[36] = s[37] = true;
    if (m.Sw(17) != 0) s[13] = true;
    if (m.Sw(12) != 0) s[15] = s[47] = s[48] = true;
    if (m.Sw(14) != 0) s[50] = s[55] = true;
    return s;
}

std::vector<int> SequenceColumns(const SeriesFlags& visible) {
    std::vector<int> cols;
    for (int v = 1; v <= 63; ++v)
        if (visible[v]) cols.push_back(v);
    return cols;
}

double SequenceValue(const Model& m, int t, int var, bool differences) {
    const double x = m.GetVar(t, var);
    return differences ? x - m.GetVar(t - 1, var) : x;
}

std::string SequenceHeader(int var, bool differences, int language) {
    return (differences ? "d" : "") + VarSymbol(var, language);
}

RangeStatistics ComputeRangeStatistics(const std::vector<std::pair<int, double>>& cells) {
    RangeStatistics s;
    if (cells.empty()) return s;
    s.Count = static_cast<int>(cells.size());
    s.Min = s.Max = cells.front().second;
    s.MinPeriod = s.MaxPeriod = cells.front().first;
    for (const auto& [t, x] : cells) {
        s.Sum += x;
        if (x < s.Min) s.Min = x, s.MinPeriod = t;
        if (x > s.Max) s.Max = x, s.MaxPeriod = t;
    }
    s.Mean = s.Sum / s.Count;
    const double first = cells.front().second;
    if (first != 0) {
        s.HasGrowth = true;
        s.Growth = (cells.back().second - first) / first * 100;
    }
    return s;
}

std::vector<std::string> RangeStatisticsLines(const RangeStatistics& s, const Model& m,
                                              int language) {
    auto tr = [language](const char* text) { return Translate(text, language); };
    std::vector<std::string> lines{
        tr("Summe##Sum") + ": " + m.FormatNumber(s.Sum),
        tr("Durchschnitt##Average") + ": " + m.FormatNumber(s.Mean),
        tr("Minimum##Minimum") + ": " + m.FormatNumber(s.Min) +
            " (t = " + std::to_string(s.MinPeriod) + ")",
        tr("Maximum##Maximum") + ": " + m.FormatNumber(s.Max) +
            " (t = " + std::to_string(s.MaxPeriod) + ")",
    };
    if (s.HasGrowth)
        lines.push_back(tr("Wachstumsrate##Growth Rate") + ": " + m.FormatNumber(s.Growth) + " %");
    return lines;
}

namespace {

int KindCount(SeriesKind kind) {
    return kind == SeriesKind::Parameter ? 64 : 63;
}

const std::string& KindName(SeriesKind kind, int n, bool moneyCreation) {
    return kind == SeriesKind::Parameter ? ParamName(n, moneyCreation) : VarName(n);
}

} // namespace

std::vector<SeriesListItem> HiddenSeries(SeriesKind kind, const SeriesFlags& shown, int language,
                                         bool moneyCreation) {
    std::vector<SeriesListItem> items;
    for (int n = 1; n <= KindCount(kind); ++n) {
        const std::string& name = KindName(kind, n, moneyCreation);
        // The catalogue's empty slots.
        if (shown[n] || name.find("nicht belegt") != std::string::npos) continue; // verbatim
        items.push_back({n, Translate(name, language)});
    }
    return items;
}

std::vector<SeriesListItem> VisibleSeries(SeriesKind kind, const SeriesFlags& shown, int language,
                                          bool moneyCreation) {
    std::vector<SeriesListItem> items;
    for (int n = 1; n <= KindCount(kind); ++n)
        if (shown[n]) items.push_back({n, Translate(KindName(kind, n, moneyCreation), language)});
    return items;
}

SeriesFlags FinishTableSelection(SeriesFlags shown) {
    shown[0] = false;
    if (CountShown(shown, SeriesKind::Variable) == 0) shown[37] = true;
    return shown;
}

int CountShown(const SeriesFlags& shown, SeriesKind kind) {
    int count = 0;
    for (int n = 1; n <= KindCount(kind); ++n)
        count += shown[n] ? 1 : 0;
    return count;
}

SeriesRef FindSeriesBySymbol(const std::string& symbol) {
    if (symbol.empty()) return {};
    for (int n = 1; n <= 63; ++n)
        if (VarSymbol(n, 1) == symbol || VarSymbol(n, 2) == symbol)
            return {SeriesKind::Variable, n};
    for (int n = 1; n <= 64; ++n)
        if (ParamSymbol(n, 1, 1) == symbol || ParamSymbol(n, 1, 2) == symbol)
            return {SeriesKind::Parameter, n};
    return {};
}

int SlotLag(const Model& m, int diffOp) {
    if (diffOp == 16) return m.TZR();
    if (diffOp == 17) return m.MZZR();
    return diffOp;
}

std::string SlotOperatorText(int diffOp) {
    if (diffOp == 0) return "(t)";
    if (diffOp == 16) return "(t-TZR)";
    if (diffOp == 17) return "(t-MZZR)";
    return "(t-" + std::to_string(diffOp) + ")";
}

double SlotValue(const Model& m, const QuickSlot& slot, int t, bool revolving) {
    if (slot.Number == 0) return 0;
    const bool var = slot.Kind == SeriesKind::Variable;
    const double x = var ? m.GetVar(t, slot.Number) : m.GetPar(t, slot.Number);
    if (slot.DiffOp == 0) return x;
    const int k = SlotLag(m, slot.DiffOp);
    if (var) return x - m.GetVar(t - k, slot.Number);
    if (!revolving) return x - m.GetPar(std::max(0, t - k), slot.Number);
    if (t - k > 0) return x - m.GetPar(t - k, slot.Number);
    return x - m.PrehistoryPar(t - k, slot.Number);
}

bool ClipZoomBand(double bandLeft, double bandRight, int leftEdge, int rightEdge, XRange& out) {
    double lo = std::max(std::min(bandLeft, bandRight), 0.0);
    double hi = std::max(std::max(bandLeft, bandRight), 1.0);
    lo = std::max(lo, static_cast<double>(leftEdge));
    hi = std::min(hi, static_cast<double>(rightEdge));
    if (!(lo < hi)) return false; // wholly outside, or empty: the band is ignored
    out = {lo, hi};
    return true;
}

namespace {

// The extremes are those of the values themselves: a series that moves far from zero keeps
// its movement visible.
void TakeExtreme(SequenceChartData& d, double x) {
    if (!std::isfinite(x)) return;
    d.DataMax = std::max(d.DataMax, x);
    d.DataMin = std::min(d.DataMin, x);
}

std::vector<double> BaselineValues(const Baseline& b, SeriesKind kind, int n, int left, int right,
                                   SequenceChartData& d) {
    std::vector<double> values;
    for (int t = left; t <= right; ++t) {
        if (!BaselineShows(b, t)) {
            values.push_back(std::numeric_limits<double>::quiet_NaN());
            continue;
        }
        const double x = kind == SeriesKind::Parameter ? b.Par(t, n) : b.Var(t, n);
        values.push_back(x);
        TakeExtreme(d, x);
    }
    return values;
}

} // namespace

SequenceChartData BuildSequenceChart(const Model& m, const SeriesFlags& params,
                                     const SeriesFlags& vars, int language,
                                     const Baseline* baseline) {
    SequenceChartData d;
    d.DataMax = -std::numeric_limits<double>::infinity();
    d.DataMin = std::numeric_limits<double>::infinity();
    SeriesFlags v = vars;
    if (CountShown(params, SeriesKind::Parameter) == 0 &&
        CountShown(vars, SeriesKind::Variable) == 0)
        v[31] = true;
    const int left = m.Periods.LeftEdge, right = m.Periods.RightEdge;
    for (int t = left; t <= right; ++t)
        d.Periods.push_back(t);
    auto add = [&](SeriesKind kind, int n) {
        std::vector<double> values;
        for (int t = left; t <= right; ++t) {
            const double x = kind == SeriesKind::Parameter ? m.GetPar(t, n) : m.GetVar(t, n);
            values.push_back(x);
            TakeExtreme(d, x);
        }
        d.Series.push_back(std::move(values));
        d.Legends.push_back(Translate(KindName(kind, n, m.Sw(18) == 1), language));
        if (baseline)
            d.BaselineSeries.push_back(BaselineValues(*baseline, kind, n, left, right, d));
    };
    for (int n = 1; n <= 64; ++n)
        if (params[n]) add(SeriesKind::Parameter, n);
    for (int n = 1; n <= 63; ++n)
        if (v[n]) add(SeriesKind::Variable, n);
    if (!std::isfinite(d.DataMin)) d.DataMin = 0; // nothing finite to plot
    if (!(d.DataMax >= 1e-9)) d.DataMax = 1;
    return d;
}

double ChartAxisMinimum(const SequenceChartData& d, int entry) {
    return entry == 0 ? d.DataMin : entry * d.DataMax / 10;
}

StructureColumn StructureValues(const Model& m, int t) {
    StructureColumn c;
    for (int k = 0; k < 4; ++k)
        c.Demand[k] = m.GetVar(t, 27 + k);
    for (int k = 0; k < 3; ++k)
        c.Supply[k] = m.GetVar(t, 38 + k);
    return c;
}

bool NeedsBars(const StructureColumn& c) {
    for (double x : c.Demand)
        if (!(x >= 0)) return true;
    for (double x : c.Supply)
        if (!(x >= 0)) return true;
    return false;
}

} // namespace tv
