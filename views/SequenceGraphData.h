#pragma once

// The data side of the sequence charts, the quick graph and the structure graph beyond
// SequenceData.h: kept settings, selector entries, axis ranges, read-outs and shares.

#include "views/SequenceData.h"

#include <array>
#include <string>
#include <vector>

namespace tv {

class Baseline;
class Model;
struct WindowSettings;

constexpr int QuickSlotCount = 5;
using QuickSlots = std::array<QuickSlot, QuickSlotCount>;

// ---------------------------------------------------------------- kept settings

// Flags of one kind under prefix + number ("E31", or "31" for the tables); a missing key
// keeps the fallback's flag.
SeriesFlags ReadSeriesFlags(const WindowSettings& ws, const std::string& section,
                            const std::string& prefix, SeriesKind kind,
                            const SeriesFlags& fallback);
void WriteSeriesFlags(WindowSettings& ws, const std::string& section, const std::string& prefix,
                      SeriesKind kind, const SeriesFlags& flags);
// The section of a sequence table's visible set.
const char* SequenceTableSection(bool differences);
// The section of the tables' synchronisation switch ("Synchron").
constexpr const char* SequenceGeneralSection = "SequGeneral";
// The section of sequence chart 1 or 2.
std::string SequenceChartSection(int tag);

// The quick graph's slots: kind, symbol ("xxx" when empty), right axis, difference
// operator. A symbol that names no quantity of its kind leaves the slot empty. Settings that
// never held the slots give DefaultQuickSlots.
QuickSlots ReadQuickSlots(const WindowSettings& ws);
// What a quick graph shows before anyone chose: income in the first slot.
QuickSlots DefaultQuickSlots();
void WriteQuickSlots(WindowSettings& ws, const QuickSlots& slots);
constexpr const char* QuickGraphSection = "SequRapidGraph";

// ---------------------------------------------------------------- sequence charts

// How the chart stacks its series.
enum class StackMode { None = 0, Stacked = 1, Percent = 2 };

// The value axis of a sequence chart: DataMax and the chosen ordinate minimum; stacked bars
// reach the largest sum of a period instead (else the stacks would be cut off), stacking to
// 100 % shows 0..100.
struct ChartAxis {
    double Min = 0, Max = 1;
};
ChartAxis SequenceChartAxis(const SequenceChartData& d, StackMode mode, int minimumEntry,
                            bool dataChanged);

// ---------------------------------------------------------------- quick graph

// One entry of a series selector: the empty entry, then variables 1..63, then parameters
// 1..64, each written as its symbol and the operator text ("Y(t-2)").
struct SlotEntry {
    SeriesRef Ref; // Number 0: the empty entry
    std::string Text;
};
std::vector<SlotEntry> SlotEntries(int diffOp, int language);
// The selector position of a slot's quantity (0 for an empty slot).
int SlotEntryIndex(const std::vector<SlotEntry>& entries, const QuickSlot& slot);
// The texts of the difference selector: "0", "-1", ..., "-15", "-TZR", "-MZZR".
std::vector<std::string> DiffOpTexts();

// What the quick graph shows.
struct QuickGraphOptions {
    bool UntilCurrent = false; // series end at the current period
    bool Steps = false;        // constant within each period
    bool AlwaysZero = false;   // ordinate ranges always reach zero
    bool Revolving = false;    // the analysis interval revolves
};

// The data ranges before any zoom: x over the analysis interval, left and right y over
// every period of the interval and every slot on that axis, each bound moved outward by
// 0.1 %. ForceRightAxis: some slot asks for the right axis.
struct QuickRanges {
    double XMin = 0, XMax = 1, YMin = 0, YMax = 0, Y2Min = 0, Y2Max = 0;
    bool ForceRightAxis = false;
};
// A baseline's values of the slots count as well.
QuickRanges QuickGraphRanges(const Model& m, const QuickSlots& slots, const QuickGraphOptions& o,
                             const Baseline* baseline = nullptr);
// A data bound moved outward by 0.1 % (towards larger magnitude for a maximum above 0).
double PadMax(double max);
double PadMin(double min);

// One drawn piece of a slot's curve, in world coordinates.
struct QuickSegment {
    double X1, Y1, X2, Y2;
};
// The segments of one slot from the left edge to the end period.
std::vector<QuickSegment> QuickSegments(const Model& m, const QuickSlot& slot,
                                        const QuickGraphOptions& o);
int QuickEndPeriod(const Model& m, const QuickGraphOptions& o);
// The baseline's segments of a slot over the same periods; a piece with a period the
// baseline does not have is not a number (and is not drawn).
std::vector<QuickSegment> QuickBaselineSegments(const Baseline& b, const Model& m,
                                                const QuickSlot& slot, const QuickGraphOptions& o);

// The position read-out for period t: one line per slot; with a baseline that has period
// t, its value follows in brackets.
std::vector<std::string> QuickInfoLines(const Model& m, const QuickSlots& slots, int t,
                                        const QuickGraphOptions& o, int language,
                                        const Baseline* baseline = nullptr);
// The period under world x: the nearest whole period within the x axis limits.
int QuickInfoPeriod(double worldX, double axisMin, double axisMax);

// ---------------------------------------------------------------- structure graph

// Each value's part of the sum of the composition (all 0 when the sum is 0).
template <size_t N> std::array<double, N> Shares(const std::array<double, N>& values) {
    double sum = 0;
    for (double x : values)
        sum += x;
    std::array<double, N> out{};
    if (sum != 0)
        for (size_t i = 0; i < N; ++i)
            out[i] = values[i] / sum;
    return out;
}
// A composition can be shown as slices only when no value is negative (or not a number).
template <size_t N> bool NeedsBarChart(const std::array<double, N>& values) {
    for (double x : values)
        if (!(x >= 0)) return true;
    return false;
}

} // namespace tv
