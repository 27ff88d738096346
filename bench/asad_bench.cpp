// The income-price diagram with raster 100 redrawn into an image the size of a large window:
// frame, reference and current demand (each point a demand-side solution of the period),
// supply and long-run lines, path. Cold: every sample computed anew (a new raster or a model
// change); warm: the samples kept (zoom, resize, repaint).

#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "views/AsAdCurves.h"
#include "views/QtGraphCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

tv::Model SolvedModel() {
    tv::Model m = tv::test::BondMarketModel();
    tv::test::SetFrom(m, 5, {{tv::par::GAut, 260}});
    m.Periods.RightEdge = 20;
    tv::SilentHost host;
    tv::Solve(m, host);
    m.Periods.LeftEdge = 2;
    m.Periods.CurrentPeriod = 12;
    return m;
}

void Redraw(tv::Model& m, QImage& image, tv::AsAdCache* cache) {
    image.fill(Qt::lightGray);
    QPainter p(&image);
    tv::QtGraphCanvas canvas(p);
    tv::CoordinateSystem cs;
    const tv::AsAdRanges r = tv::ComputeAsAdRanges(m, tv::AsAdPlane::Price);
    cs.FixedXMin = r.FixedXMin, cs.FixedXMax = r.FixedXMax;
    cs.FixedYMin = r.FixedYMin, cs.FixedYMax = r.FixedYMax;
    cs.SelectRange();
    cs.XTitle = "Einkommen#";
    cs.YTitle = "Preisniveau#";
    cs.DrawFrame(canvas, tv::GraphTarget::Screen, image.width(), image.height());
    tv::AsAdOptions o;
    o.Raster = 100;
    const auto curves = tv::ComputeAsAdCurves(
        m, tv::AsAdPlane::Price, o, {cs.XAxisMin, cs.XAxisMax, cs.YAxisMin, cs.YAxisMax}, cache);
    for (const tv::NamedPolyline& c : curves) {
        cs.SetPenWidth(c.Style == tv::CurveKind::Current ? 2 : 1);
        cs.SetPenColour(c.Style == tv::CurveKind::Path ? 0x0000FF : 0);
        for (size_t k = 1; k < c.Points.size(); ++k)
            cs.DrawLabelledSegment(k == 1 ? c.Name : "", "", c.Points[k - 1].X, c.Points[k - 1].Y,
                                   c.Points[k].X, c.Points[k].Y);
    }
    canvas.Flush();
}

void BM_IncomePriceRedrawCold(benchmark::State& state) {
    tv::Model m = SolvedModel();
    QImage image(1000, 700, QImage::Format_RGB32);
    for (auto _ : state)
        Redraw(m, image, nullptr);
}
BENCHMARK(BM_IncomePriceRedrawCold)->Unit(benchmark::kMillisecond);

void BM_IncomePriceRedrawWarm(benchmark::State& state) {
    tv::Model m = SolvedModel();
    QImage image(1000, 700, QImage::Format_RGB32);
    tv::AsAdCache cache;
    Redraw(m, image, &cache);
    for (auto _ : state)
        Redraw(m, image, &cache);
}
BENCHMARK(BM_IncomePriceRedrawWarm)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
