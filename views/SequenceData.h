#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace tv {

class Baseline;
class Model;

// One flag per quantity number (index 1..64; index 0 unused). Variables use 1..63.
using SeriesFlags = std::array<bool, 65>;

// What a selection lists: the 63 variables or the 64 parameters.
enum class SeriesKind { Parameter = 1, Variable = 2 };

// The variables a new sequence table shows: N, X and Y always, plus the quantities the
// model's endogenous interest rate, prices and wages add.
SeriesFlags DefaultSequenceSet(const Model& m);
// The variable numbers with a column, ascending. Every column keeps its number: headers
// are for the eye only (the symbol of variable 4 is cut short and would not be found again).
std::vector<int> SequenceColumns(const SeriesFlags& visible);

// The value a table cell shows: x(t, v), or x(t, v) - x(t - 1, v) in the difference table.
double SequenceValue(const Model& m, int t, int var, bool differences);
// The column heading: the variable's symbol, with a leading "d" in the difference table.
std::string SequenceHeader(int var, bool differences, int language);

// The statistics of a range of table cells (pairs of period and value, in period order).
struct RangeStatistics {
    int Count = 0;
    double Sum = 0, Mean = 0;
    double Min = 0, Max = 0;
    int MinPeriod = 0, MaxPeriod = 0; // the first period with that value
    bool HasGrowth = false;           // only when the first value is not 0
    double Growth = 0;                // in %
};
RangeStatistics ComputeRangeStatistics(const std::vector<std::pair<int, double>>& cells);
// The lines of the range-information dialog, values in the model's number format.
std::vector<std::string> RangeStatisticsLines(const RangeStatistics& s, const Model& m,
                                              int language);

// The two lists of the series selection dialog.
struct SeriesListItem {
    int Number = 0;
    std::string Text; // the catalogue name in the dialog's language
};
// Hidden quantities (entries without a name left out) and visible ones, ascending.
// moneyCreation: switch 18 = 1, under which some parameters carry another name.
std::vector<SeriesListItem> HiddenSeries(SeriesKind kind, const SeriesFlags& shown, int language,
                                         bool moneyCreation);
std::vector<SeriesListItem> VisibleSeries(SeriesKind kind, const SeriesFlags& shown, int language,
                                          bool moneyCreation);
// Takes over a selection of the table: an empty variable selection shows income (37). A
// parameter selection stays as chosen; the fallback is a variable, not parameter 37.
SeriesFlags FinishTableSelection(SeriesFlags shown);
int CountShown(const SeriesFlags& shown, SeriesKind kind);

// A quantity found by its symbol, exactly as written (i and I, r and R are different
// quantities): variables first, then parameters. Number 0 when none has that symbol.
struct SeriesRef {
    SeriesKind Kind = SeriesKind::Parameter;
    int Number = 0;
    bool operator==(const SeriesRef&) const = default;
};
SeriesRef FindSeriesBySymbol(const std::string& symbol);

// One series slot of the quick graph. DiffOp 0 is the level, 1..15 the difference to
// t - k, 16 to t - TZR, 17 to t - MZZR.
struct QuickSlot {
    SeriesKind Kind = SeriesKind::Parameter;
    int Number = 0; // 0: empty
    bool RightAxis = false;
    int DiffOp = 0;
};
int SlotLag(const Model& m, int diffOp);
// The slot's operator text: "(t)", "(t-3)", "(t-TZR)", "(t-MZZR)".
std::string SlotOperatorText(int diffOp);
// Parameters in the revolving form read periods before 0 from the shifted-out rows.
double SlotValue(const Model& m, const QuickSlot& slot, int t, bool revolving = false);

// The x range a zoom band selects, clipped to the analysis interval. A band that lies
// wholly outside the interval (beyond the right edge, say) selects nothing.
struct XRange {
    double Min = 0, Max = 0;
};
bool ClipZoomBand(double bandLeft, double bandRight, int leftEdge, int rightEdge, XRange& out);

// The data of a sequence chart: parameters first, then variables, over the interval.
struct SequenceChartData {
    std::vector<std::string> Legends;
    std::vector<std::vector<double>> Series;
    std::vector<int> Periods;
    double DataMax = 0, DataMin = 0;
    // With a baseline: each series' baseline values (NaN where the baseline has no period).
    std::vector<std::vector<double>> BaselineSeries;
};
// With nothing chosen, variable 31 (N) is shown. A baseline adds its values of the same
// quantities, and the axis covers them.
SequenceChartData BuildSequenceChart(const Model& m, const SeriesFlags& params,
                                     const SeriesFlags& vars, int language,
                                     const Baseline* baseline = nullptr);
// The ordinate minimum of menu entry k (k * 10 % of the maximum).
double ChartAxisMinimum(const SequenceChartData& d, int entry);

// The structure graph's two compositions of period t: demand C, I, G, Ex and supply
// YL, YU, Im.
struct StructureColumn {
    std::array<double, 4> Demand{};
    std::array<double, 3> Supply{};
    bool operator==(const StructureColumn&) const = default;
};
StructureColumn StructureValues(const Model& m, int t);
// Shares of a composition can only be shown as slices when no value is negative.
bool NeedsBars(const StructureColumn& c);

} // namespace tv
