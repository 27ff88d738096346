#include "views/SequenceGraphData.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "logic/Settings.h"
#include "views/BaselineCurves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tv {

namespace {

int CountOf(SeriesKind kind) {
    return kind == SeriesKind::Parameter ? 64 : 63;
}

std::string SymbolOf(SeriesKind kind, int n, int language) {
    return kind == SeriesKind::Parameter ? ParamSymbol(n, 1, language) : VarSymbol(n, language);
}

// The quantity of the given kind whose symbol is written exactly so (either language).
int FindOfKind(SeriesKind kind, const std::string& symbol) {
    if (symbol.empty()) return 0;
    for (int n = 1; n <= CountOf(kind); ++n)
        if (SymbolOf(kind, n, 1) == symbol || SymbolOf(kind, n, 2) == symbol) return n;
    return 0;
}

} // namespace

SeriesFlags ReadSeriesFlags(const WindowSettings& ws, const std::string& section,
                            const std::string& prefix, SeriesKind kind,
                            const SeriesFlags& fallback) {
    SeriesFlags flags{};
    for (int n = 1; n <= CountOf(kind); ++n)
        flags[n] = ws.Flag(section, prefix + std::to_string(n), fallback[n]);
    return flags;
}

void WriteSeriesFlags(WindowSettings& ws, const std::string& section, const std::string& prefix,
                      SeriesKind kind, const SeriesFlags& flags) {
    for (int n = 1; n <= CountOf(kind); ++n)
        ws.SetFlag(section, prefix + std::to_string(n), flags[n]);
}

const char* SequenceTableSection(bool differences) {
    return differences ? "SequDiff" : "SequAbs";
}

std::string SequenceChartSection(int tag) {
    return "SequGraph" + std::to_string(tag);
}

QuickSlots DefaultQuickSlots() {
    QuickSlots slots{};
    slots[0] = {SeriesKind::Variable, var::Y, false, 0};
    return slots;
}

QuickSlots ReadQuickSlots(const WindowSettings& ws) {
    bool stored = false;
    for (int i = 1; i <= QuickSlotCount; ++i)
        stored = stored || ws.Get(QuickGraphSection, "Symbol" + std::to_string(i)).has_value();
    if (!stored) return DefaultQuickSlots();
    QuickSlots slots{};
    for (int i = 0; i < QuickSlotCount; ++i) {
        const std::string n = std::to_string(i + 1);
        QuickSlot& s = slots[i];
        const auto art = ws.Get(QuickGraphSection, "Art" + n);
        s.Kind = art && *art == "2" ? SeriesKind::Variable : SeriesKind::Parameter;
        s.Number = FindOfKind(s.Kind, ws.Get(QuickGraphSection, "Symbol" + n).value_or(""));
        s.RightAxis = ws.Flag(QuickGraphSection, "RightAxis" + n, false);
        const auto diff = ws.Get(QuickGraphSection, "Diff" + n);
        int op = 0;
        if (diff) try {
                op = std::stoi(*diff);
            } catch (...) {
                op = 0;
            }
        s.DiffOp = op >= 0 && op <= 17 ? op : 0;
    }
    return slots;
}

void WriteQuickSlots(WindowSettings& ws, const QuickSlots& slots) {
    for (int i = 0; i < QuickSlotCount; ++i) {
        const std::string n = std::to_string(i + 1);
        const QuickSlot& s = slots[i];
        ws.Set(QuickGraphSection, "Art" + n, std::to_string(static_cast<int>(s.Kind)));
        ws.Set(QuickGraphSection, "Symbol" + n, s.Number ? SymbolOf(s.Kind, s.Number, 1) : "xxx");
        ws.SetFlag(QuickGraphSection, "RightAxis" + n, s.RightAxis);
        ws.Set(QuickGraphSection, "Diff" + n, std::to_string(s.DiffOp));
    }
}

std::vector<SlotEntry> SlotEntries(int diffOp, int language) {
    const std::string op = SlotOperatorText(diffOp);
    std::vector<SlotEntry> entries;
    entries.push_back({{}, Translate(" leer## none", language)});
    for (int n = 1; n <= 63; ++n)
        entries.push_back({{SeriesKind::Variable, n}, VarSymbol(n, language) + op});
    for (int n = 1; n <= 64; ++n)
        entries.push_back({{SeriesKind::Parameter, n}, ParamSymbol(n, 1, language) + op});
    return entries;
}

int SlotEntryIndex(const std::vector<SlotEntry>& entries, const QuickSlot& slot) {
    if (slot.Number == 0) return 0;
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].Ref == SeriesRef{slot.Kind, slot.Number}) return static_cast<int>(i);
    return 0;
}

std::vector<std::string> DiffOpTexts() {
    std::vector<std::string> texts{"0"};
    for (int k = 1; k <= 15; ++k)
        texts.push_back("-" + std::to_string(k));
    texts.push_back("-TZR");
    texts.push_back("-MZZR");
    return texts;
}

ChartAxis SequenceChartAxis(const SequenceChartData& d, StackMode mode, int minimumEntry,
                            bool dataChanged) {
    if (mode == StackMode::Percent) return {0, 100};
    double max = d.DataMax, min = d.DataMin;
    if (mode == StackMode::Stacked) {
        max = 0, min = 0;
        for (size_t p = 0; p < d.Periods.size(); ++p) {
            double up = 0, down = 0;
            for (const auto& s : d.Series)
                (s[p] > 0 ? up : down) += std::isfinite(s[p]) ? s[p] : 0;
            max = std::max(max, up);
            min = std::min(min, down);
        }
        if (max < 1e-9) max = 1;
    }
    ChartAxis a;
    a.Max = max;
    a.Min = minimumEntry == 0 ? (dataChanged ? min : 0) : minimumEntry * max / 10;
    if (!(a.Min < a.Max)) a.Min = std::min(min, a.Max - 1);
    return a;
}

double PadMax(double max) {
    return max > 0 ? max * 1.001 : max * 0.999;
}

double PadMin(double min) {
    return min > 0 ? min * 0.999 : min * 1.001;
}

QuickRanges QuickGraphRanges(const Model& m, const QuickSlots& slots, const QuickGraphOptions& o,
                             const Baseline* baseline) {
    QuickRanges r;
    const int left = m.Periods.LeftEdge, right = m.Periods.RightEdge;
    r.XMin = left;
    r.XMax = right;
    bool started[2] = {o.AlwaysZero, o.AlwaysZero};
    double lo[2] = {0, 0}, hi[2] = {0, 0};
    for (const QuickSlot& s : slots) {
        r.ForceRightAxis = r.ForceRightAxis || s.RightAxis;
        const int axis = s.RightAxis ? 1 : 0;
        if (s.Number == 0 || started[axis]) continue;
        const double v = SlotValue(m, s, left, o.Revolving);
        if (v != 0 && std::isfinite(v)) {
            lo[axis] = hi[axis] = v;
            started[axis] = true;
        }
    }
    for (int t = left; t <= right; ++t)
        for (const QuickSlot& s : slots) {
            if (s.Number == 0) continue;
            const int axis = s.RightAxis ? 1 : 0;
            const double v = SlotValue(m, s, t, o.Revolving);
            if (!std::isfinite(v)) continue; // an unsolved value must not blow the axis up
            lo[axis] = std::min(lo[axis], v);
            hi[axis] = std::max(hi[axis], v);
            if (!baseline || !BaselineShows(*baseline, t)) continue;
            const double b = SlotValue(baseline->Frozen(), s, t, o.Revolving);
            if (!std::isfinite(b)) continue;
            lo[axis] = std::min(lo[axis], b);
            hi[axis] = std::max(hi[axis], b);
        }
    r.YMin = PadMin(lo[0]);
    r.YMax = PadMax(hi[0]);
    r.Y2Min = PadMin(lo[1]);
    r.Y2Max = PadMax(hi[1]);
    return r;
}

int QuickEndPeriod(const Model& m, const QuickGraphOptions& o) {
    return o.UntilCurrent ? std::min(m.Periods.CurrentPeriod, m.Periods.RightEdge)
                          : m.Periods.RightEdge;
}

namespace {

template <class Value>
std::vector<QuickSegment> Segments(const Model& m, const QuickSlot& slot,
                                   const QuickGraphOptions& o, Value value) {
    std::vector<QuickSegment> out;
    if (slot.Number == 0) return out;
    const int end = QuickEndPeriod(m, o);
    double prev = value(m.Periods.LeftEdge);
    for (int t = m.Periods.LeftEdge + 1; t <= end; ++t) {
        const double v = value(t);
        if (o.Steps) {
            out.push_back({double(t - 1), prev, double(t), prev});
            out.push_back({double(t), prev, double(t), v});
        } else {
            out.push_back({double(t - 1), prev, double(t), v});
        }
        prev = v;
    }
    return out;
}

} // namespace

std::vector<QuickSegment> QuickSegments(const Model& m, const QuickSlot& slot,
                                        const QuickGraphOptions& o) {
    return Segments(m, slot, o, [&](int t) { return SlotValue(m, slot, t, o.Revolving); });
}

std::vector<QuickSegment> QuickBaselineSegments(const Baseline& b, const Model& m,
                                                const QuickSlot& slot, const QuickGraphOptions& o) {
    return Segments(m, slot, o, [&](int t) {
        return BaselineShows(b, t) ? SlotValue(b.Frozen(), slot, t, o.Revolving)
                                   : std::numeric_limits<double>::quiet_NaN();
    });
}

std::vector<std::string> QuickInfoLines(const Model& m, const QuickSlots& slots, int t,
                                        const QuickGraphOptions& o, int language,
                                        const Baseline* baseline) {
    const std::vector<std::string> ops = DiffOpTexts();
    std::vector<std::string> lines;
    for (const QuickSlot& s : slots) {
        if (s.Number == 0) {
            lines.push_back(Translate("nicht belegt##no entry", language));
            continue;
        }
        const std::string& name =
            s.Kind == SeriesKind::Variable ? VarName(s.Number) : ParamName(s.Number, m.Sw(18) == 1);
        std::string line =
            Translate(name, language) + ": " + m.FormatNumber(SlotValue(m, s, t, o.Revolving));
        if (s.DiffOp != 0 && s.DiffOp < static_cast<int>(ops.size()))
            line += Translate(" (Diff. zu t## (diff. to t", language) + ops[s.DiffOp] + ")";
        if (baseline && BaselineShows(*baseline, t))
            line += " [" + Translate("Basislauf##baseline", language) + ": " +
                    m.FormatNumber(SlotValue(baseline->Frozen(), s, t, o.Revolving)) + "]";
        lines.push_back(line);
    }
    return lines;
}

int QuickInfoPeriod(double worldX, double axisMin, double axisMax) {
    if (!std::isfinite(worldX)) return static_cast<int>(std::lround(axisMin));
    const double x = std::clamp(worldX, std::min(axisMin, axisMax), std::max(axisMin, axisMax));
    return static_cast<int>(std::lround(x));
}

} // namespace tv
