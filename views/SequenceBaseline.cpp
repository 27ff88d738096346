#include "views/SequenceBaseline.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "views/SequenceData.h"

namespace tv {

std::vector<SequenceColumn> SequenceTableColumns(const std::vector<int>& vars, bool hasBaseline,
                                                 const BaselineColumnChoice& choice) {
    std::vector<SequenceColumn> columns;
    for (int v : vars) {
        columns.push_back({v, SequenceColumnKind::Value});
        if (!hasBaseline) continue;
        if (choice.Values) columns.push_back({v, SequenceColumnKind::Baseline});
        if (choice.Deviation) columns.push_back({v, SequenceColumnKind::Deviation});
        if (choice.Percent) columns.push_back({v, SequenceColumnKind::DeviationPercent});
    }
    return columns;
}

std::optional<double> SequenceCell(const Model& m, const Baseline* baseline, int t,
                                   const SequenceColumn& column, bool differences) {
    const double value = SequenceValue(m, t, column.Var, differences);
    if (column.Kind == SequenceColumnKind::Value) return value;
    if (!baseline || !baseline->Covers(t)) return std::nullopt;
    const double base = SequenceValue(baseline->Frozen(), t, column.Var, differences);
    switch (column.Kind) {
    case SequenceColumnKind::Baseline:
        return base;
    case SequenceColumnKind::Deviation:
        return Deviation(value, base);
    default:
        if (base == 0) return std::nullopt;
        return DeviationPercent(value, base);
    }
}

std::string SequenceColumnHeader(const SequenceColumn& column, bool differences, int language) {
    std::string header = SequenceHeader(column.Var, differences, language);
    switch (column.Kind) {
    case SequenceColumnKind::Baseline:
        return header + " " + Translate("Basis##Base", language);
    case SequenceColumnKind::Deviation:
        return header + " " + Translate("Abw.##Dev.", language);
    case SequenceColumnKind::DeviationPercent:
        return header + " " + Translate("Abw. %##Dev. %", language);
    default:
        return header;
    }
}

} // namespace tv
