#pragma once

#include <array>
#include <string>
#include <vector>

namespace tv {

class Baseline;
class Model;
class LineCodeTable;
struct PeriodState;

// The periods of a result window: the value column shows Shown, the difference column
// value(To) - value(From).
struct ResultPeriods {
    int Shown = 0;
    int From = 0;
    int To = 0;
    bool operator==(const ResultPeriods&) const = default;
};
// Window 1 compares the left edge with the current period, window 2 the current period
// with the right edge; `shown` is the period the pair's assignment shows.
ResultPeriods SetupResultPeriods(int window, int shown, const PeriodState& periods);

// The content options, in column order: plan values, plan differences, plan-actual
// deviation, actual values, actual differences.
enum ResultOption { OptPlan, OptPlanDiff, OptPlanActual, OptActual, OptActualDiff };
struct ResultOptions {
    std::array<bool, 5> Ticked{true, true, false, false, false};
    // With a baseline, the difference columns show the deviation from the baseline in the
    // period shown instead of the change between two periods.
    bool BaselineDeviation = false;
    int ValueColumns() const;
};

// Open/closed state of the eight groups of one window (index 1..8).
struct ResultGroups {
    std::array<bool, 9> Expanded{};
    void Toggle(int group) { Expanded[group] = !Expanded[group]; }
    // All groups follow the opposite of group 1.
    void ToggleAll();
};
// The process-wide state of result windows 1 and 2 (all groups start closed).
ResultGroups& ResultGroupState(int window);

struct ResultRow {
    std::string Label;
    int Group = 0;                  // the group this row heads or belongs to; 0 for none
    bool Header = false;            // heads its group
    std::vector<std::string> Cells; // value columns 1..n
    int Variable = 0;               // the model variable the row shows, or 0
};

struct ResultTable {
    std::vector<std::string> Headings; // column 0..n
    std::vector<ResultRow> Rows;       // grid rows 1.. (row 0 holds the headings)
    std::array<int, 9> HeaderRow{};    // grid row of each group's header, 255 when not a group

    // The group whose header is at this grid row, or 0.
    int GroupAtRow(int row) const;
    // The row with this label (after translation), or -1.
    int Find(const std::string& label) const;
};

// Builds the rows for the window's periods; `codes` is the line-code table of the
// equation window of the same pair: a quantity whose equation it does not show has no row.
// With BaselineDeviation and a baseline, a row's difference cells compare with the same row
// of the baseline; they stay empty where the baseline has no such row or period.
ResultTable BuildResultTable(const Model& m, const LineCodeTable& codes, ResultPeriods periods,
                             const ResultOptions& options, const ResultGroups& groups, int language,
                             const Baseline* baseline = nullptr);
// Whether the difference columns of a table built with these arguments compare with the
// baseline.
bool ComparesWithBaseline(const ResultOptions& options, const Baseline* baseline);

// Column widths (label column first) for a grid whose visible client area is `client`
// pixels wide. The label column takes the widest label plus 25 pixels, at most half the
// width; the value columns share the rest. When that would leave a value column narrower
// than `valueNeed` (its widest heading or number), the label column gives up room, down to
// a quarter of the width: a cut label still reads, a cut number does not. The widths add
// up to client - 2.
std::vector<int> FitResultColumns(int client, int widestLabel, int valueColumns, int valueNeed);

} // namespace tv
