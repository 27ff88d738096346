#include "views/DiagramData.h"

#include "views/GraphStyle.h"

#include <algorithm>
#include <cmath>

namespace tv {

AxisRange AxesFor(const AxisRange& data) {
    const AxisScale x = ScaleAxis(data.XMin, data.XMax, '.');
    const AxisScale y = ScaleAxis(data.YMin, data.YMax, '.');
    return {x.AxisMin, x.AxisMax, y.AxisMin, y.AxisMax};
}

AxisRange AxesFor(const RangeSets& sets, bool autoRange) {
    return AxesFor(autoRange ? sets.Auto : sets.Fixed);
}

void RangeBuilder::Take(double v) {
    TakeMin(v);
    TakeMax(v);
}

void RangeBuilder::TakeMax(double v) {
    if (std::isfinite(v)) Max = std::max(Max, v);
}

void RangeBuilder::TakeMin(double v) {
    if (std::isfinite(v)) Min = std::min(Min, v);
}

void WidenRange(AxisRange& r, bool fixedSet) {
    auto widen = [fixedSet](double& min, double& max) {
        if (fixedSet && std::fabs(min) < 1e-10) min = 0;
        min *= 0.99;
        max *= 1.01;
        if (max - min < 1e-9) max += 1;
    };
    widen(r.XMin, r.XMax);
    widen(r.YMin, r.YMax);
}

namespace {

void UseStyle(CoordinateSystem& cs, CurveStyle s, const GraphStyle& style) {
    if (s == CurveStyle::Guide) {
        cs.SetPenWidth(1);
        cs.SetPenColour(Grey);
        cs.SetPenDotted(false);
        cs.SetPenDashed(false);
        return;
    }
    const CurveKind kind = s == CurveStyle::Baseline ? CurveKind::Current
                                                     : static_cast<CurveKind>(static_cast<int>(s));
    cs.SetPenWidth(style.WidthOf(kind));
    cs.SetPenColour(style.ColourOf(kind));
    cs.SetPenDotted(s == CurveStyle::Reference);
    cs.SetPenDashed(s == CurveStyle::Baseline);
    // The current curves' labels keep their places before the reference curves' ones.
    cs.LabelPriority = s == CurveStyle::Reference ? 1 : 0;
}

void DrawMark(CoordinateSystem& cs, const Mark& mark) {
    const double x = mark.X - cs.XAxisMin, y = mark.Y - cs.YAxisMin;
    if (!(x >= 0 && x <= cs.XSpan && y >= 0 && y <= cs.YSpan)) return;
    const int px = cs.WorldToDeviceX(mark.X), py = cs.WorldToDeviceY(mark.Y);
    // Marks grow with the diagram's text.
    const int s = std::max(1, cs.ScaledWidth(1));
    if (mark.Shape == MarkShape::Cross) {
        cs.DeviceLine(px - 3 * s, py - 3 * s, px + 3 * s, py + 3 * s);
        cs.DeviceLine(px - 3 * s, py + 3 * s, px + 3 * s, py - 3 * s);
        return;
    }
    // Radius 2: an octagon is a circle at that size.
    static constexpr int ring[9][2] = {{2, -1},  {2, 1},   {1, 2},  {-1, 2}, {-2, 1},
                                       {-2, -1}, {-1, -2}, {1, -2}, {2, -1}};
    for (int k = 0; k < 8; ++k)
        cs.DeviceLine(px + s * ring[k][0], py + s * ring[k][1], px + s * ring[k + 1][0],
                      py + s * ring[k + 1][1]);
}

} // namespace

void DrawPlot(CoordinateSystem& cs, const Plot& plot, const GraphStyle& style) {
    for (const Curve& c : plot.Curves) {
        UseStyle(cs, c.Style, style);
        cs.BeginCurve();
        const size_t labelsBefore = cs.CollectedLabels();
        for (size_t k = 0; k + 1 < c.Points.size(); ++k) {
            const CurvePoint a = c.Points[k], b = c.Points[k + 1];
            const CurveLabel* label = nullptr;
            for (const CurveLabel& l : c.Labels)
                if (l.Segment == static_cast<int>(k)) label = &l;
            if (!label) {
                cs.DrawSegment(a.X, a.Y, b.X, b.Y);
                continue;
            }
            switch (label->At) {
            case LabelAt::Start:
                cs.DrawLabelledSegment(c.Name, "", a.X, a.Y, b.X, b.Y);
                break;
            case LabelAt::End:
                cs.DrawLabelledSegment("", c.Name, a.X, a.Y, b.X, b.Y);
                break;
            case LabelAt::Entry:
                cs.DrawSegmentEntryLabel(c.Name, a.X, a.Y, b.X, b.Y);
                break;
            case LabelAt::Exit:
                cs.DrawSegmentExitLabel(c.Name, a.X, a.Y, b.X, b.Y);
                break;
            }
        }
        // A curve whose labelled pieces are clipped away is named on a piece that shows:
        // the first one for a label at the start, the last one otherwise.
        const auto& track = cs.CurveTrack();
        if (cs.DeferLabels && !c.Labels.empty() && cs.CollectedLabels() == labelsBefore &&
            !track.empty()) {
            const LabelAt at = c.Labels.front().At;
            const bool atStart = at == LabelAt::Start || at == LabelAt::Entry;
            const DevicePoint p = atStart ? track.front().front() : track.back().back();
            cs.LabelAtDevice(p.X, p.Y, c.Name);
        }
        cs.EndCurve();
    }
    if (!plot.Marks.empty()) {
        UseStyle(cs, CurveStyle::Path, style);
        cs.SetPenDotted(false);
        for (const Mark& m : plot.Marks)
            DrawMark(cs, m);
    }
    cs.SetPenDotted(false);
    cs.SetPenDashed(false);
}

} // namespace tv
