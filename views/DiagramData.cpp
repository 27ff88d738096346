#include "views/DiagramData.h"

#include "views/GraphStyle.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

std::optional<AxisRange> FrameAround(const FrameContent& content) {
    const double inf = std::numeric_limits<double>::infinity();
    RangeBuilder x(inf, -inf), y(inf, -inf);
    for (const CurvePoint& p : content.Points)
        if (std::isfinite(p.X) && std::isfinite(p.Y)) x.Take(p.X), y.Take(p.Y);
    if (!(x.Min <= x.Max)) return std::nullopt;
    // A single point (nothing has moved yet) gets a tenth of its size around it.
    auto margin = [](const RangeBuilder& r) {
        const double width = r.Max - r.Min;
        const double size = std::max(std::fabs(r.Min), std::fabs(r.Max));
        return width > 1e-9 * std::max(size, 1.0) ? width / 4 : std::max(size / 10, 1.0);
    };
    const double mx = margin(x), my = margin(y);
    AxisRange r{x.Min - mx, x.Max + mx, y.Min - my, y.Max + my};
    if (content.VerticalX && std::isfinite(*content.VerticalX)) {
        const double v = *content.VerticalX;
        if (v >= x.Min - 2 * mx && v <= x.Max + 2 * mx) {
            r.XMin = std::min(r.XMin, v - mx / 2);
            r.XMax = std::max(r.XMax, v + mx / 2);
        }
    }
    return r;
}

std::vector<CurvePoint> EquilibriumPoints(const Plot& plot) {
    std::vector<CurvePoint> out;
    for (const Curve& c : plot.Curves)
        if (c.Style == CurveStyle::Path) out.insert(out.end(), c.Points.begin(), c.Points.end());
    for (const Mark& m : plot.Marks)
        out.push_back({m.X, m.Y});
    // Segment against segment: the curves are short polylines.
    auto cross = [&out](CurvePoint a, CurvePoint b, CurvePoint c, CurvePoint d) {
        const double rx = b.X - a.X, ry = b.Y - a.Y, sx = d.X - c.X, sy = d.Y - c.Y;
        const double denominator = rx * sy - ry * sx;
        if (!(std::fabs(denominator) > 0)) return;
        const double u = ((c.X - a.X) * sy - (c.Y - a.Y) * sx) / denominator;
        const double v = ((c.X - a.X) * ry - (c.Y - a.Y) * rx) / denominator;
        if (u >= 0 && u <= 1 && v >= 0 && v <= 1) out.push_back({a.X + u * rx, a.Y + u * ry});
    };
    for (size_t i = 0; i < plot.Curves.size(); ++i)
        for (size_t j = i + 1; j < plot.Curves.size(); ++j) {
            const Curve &p = plot.Curves[i], &q = plot.Curves[j];
            if (p.Style != q.Style ||
                (p.Style != CurveStyle::Current && p.Style != CurveStyle::Reference))
                continue;
            for (size_t k = 1; k < p.Points.size(); ++k)
                for (size_t l = 1; l < q.Points.size(); ++l)
                    cross(p.Points[k - 1], p.Points[k], q.Points[l - 1], q.Points[l]);
        }
    return out;
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
    // Seven pixels across at 8 points, growing with the text: legible on a projector.
    const double r = 3.0 * std::max(cs.FontSize, 8) / 8.0;
    if (mark.Shape == MarkShape::Cross) {
        const int d = int(std::lround(r * 4 / 3));
        cs.DeviceLine(px - d, py - d, px + d, py + d);
        cs.DeviceLine(px - d, py + d, px + d, py - d);
        return;
    }
    constexpr int Corners = 12;
    constexpr double Pi = 3.14159265358979323846;
    for (int k = 0; k < Corners; ++k) {
        const double a = 2 * Pi * k / Corners, b = 2 * Pi * (k + 1) / Corners;
        cs.DeviceLine(
            px + int(std::lround(r * std::cos(a))), py + int(std::lround(r * std::sin(a))),
            px + int(std::lround(r * std::cos(b))), py + int(std::lround(r * std::sin(b))));
    }
}

} // namespace

void DrawMarks(CoordinateSystem& cs, const std::vector<Mark>& marks) {
    cs.SetPenDotted(false);
    cs.SetPenDashed(false);
    for (const Mark& m : marks)
        DrawMark(cs, m);
}

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
        DrawMarks(cs, plot.Marks);
    }
    cs.SetPenDotted(false);
    cs.SetPenDashed(false);
}

} // namespace tv
