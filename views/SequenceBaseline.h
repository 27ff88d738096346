#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tv {

class Baseline;
class Model;

// What a sequence-table column shows of its variable: the model's value, the baseline's,
// or the model's deviation from the baseline (absolute or in percent of the baseline).
enum class SequenceColumnKind { Value, Baseline, Deviation, DeviationPercent };

struct SequenceColumn {
    int Var = 0;
    SequenceColumnKind Kind = SequenceColumnKind::Value;
    bool operator==(const SequenceColumn&) const = default;
};

// Which comparison columns a table adds per variable while a baseline exists. By default
// only the absolute deviation: it is the answer to "what did the policy change?", and a
// rate in percent is compared in points, not in percent of itself.
struct BaselineColumnChoice {
    bool Values = false;
    bool Deviation = true;
    bool Percent = false;
    bool operator==(const BaselineColumnChoice&) const = default;
};

// The columns for the given variables (ascending): each variable's own column, followed,
// only when there is a baseline, by the chosen comparison columns.
std::vector<SequenceColumn> SequenceTableColumns(const std::vector<int>& vars, bool hasBaseline,
                                                 const BaselineColumnChoice& choice);

// A cell of a column in period t; the difference table compares differences with the
// baseline's differences. None where the baseline has no such period, and for a percent
// deviation from a baseline value of 0.
std::optional<double> SequenceCell(const Model& m, const Baseline* baseline, int t,
                                   const SequenceColumn& column, bool differences);

// The heading: the variable's heading, then " Basis", " Abw." or " Abw. %" (English "Base",
// "Dev.", "Dev. %").
std::string SequenceColumnHeader(const SequenceColumn& column, bool differences, int language);

} // namespace tv
