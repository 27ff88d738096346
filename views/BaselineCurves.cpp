#include "views/BaselineCurves.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "views/GraphStyle.h"

namespace tv {

// The baseline keeps only the periods it solved.
bool BaselineShows(const Baseline& b, int t) { return b.Covers(t); }

void WithFrozenAt(const Baseline& b, int t, const std::function<void(Model&)>& compute) {
    Model& frozen = b.Frozen();
    const PeriodState saved = frozen.Periods;
    frozen.Periods.LeftEdge = t;
    frozen.Periods.CurrentPeriod = t;
    compute(frozen);
    frozen.Periods = saved;
}

void AppendBaselineCurves(Plot& plot, const Plot& frozen) {
    for (const Curve& c : frozen.Curves) {
        if (c.Style != CurveStyle::Current) continue;
        plot.Curves.push_back({c.Name + BaselineSuffix, CurveStyle::Baseline, c.Points, {}});
    }
}

void AddBaselineCurves(Plot& plot, const Baseline* b, int t,
                       const std::function<Plot(const Model&)>& curves) {
    if (!b || !BaselineShows(*b, t)) return;
    WithFrozenAt(*b, t, [&](Model& frozen) { AppendBaselineCurves(plot, curves(frozen)); });
}

bool HasBaselineCurves(const Plot& plot) {
    for (const Curve& c : plot.Curves)
        if (c.Style == CurveStyle::Baseline) return true;
    return false;
}

void DrawBaselineKey(CoordinateSystem& cs, const GraphStyle& style, int language) {
    cs.SetPenWidth(style.WidthOf(CurveKind::Current));
    cs.SetPenColour(style.ColourOf(CurveKind::Current));
    cs.SetPenDotted(false);
    cs.SetPenDashed(true);
    cs.SetFontColour(style.ColourOf(CurveKind::Current));
    cs.DrawKey(Translate(BaselineKeyText, language));
    cs.SetPenDashed(false);
}

} // namespace tv
