// One diagram painted by the graph engine into an image the size of a large window: frame
// with axes, ticks, labels and titles, then 2,000 clipped line segments in the three curve
// pens, a few of them labelled.

#include "views/CoordinateSystem.h"
#include "views/QtGraphCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void PaintDiagram(QImage& image, int thickPen) {
    image.fill(Qt::lightGray);
    QPainter p(&image);
    tv::QtGraphCanvas canvas(p);
    tv::CoordinateSystem cs;
    cs.FixedXMin = 0, cs.FixedXMax = 1234, cs.FixedYMin = -2.5, cs.FixedYMax = 9.5;
    cs.SelectRange();
    cs.XTitle = "Einkommen (Y)#";
    cs.YTitle = "Zins (i)#%";
    cs.Background = 0xF0FFFF;
    cs.DrawFrame(canvas, tv::GraphTarget::Screen, image.width(), image.height());
    // Four curves of 500 segments; parts run outside the axis box and are clipped.
    for (int curve = 0; curve < 4; ++curve) {
        cs.SetPenWidth(curve == 1 ? thickPen : 1);
        cs.SetPenColour(curve == 0 ? 0x808080 : curve == 1 ? 0x000000 : 0x0000FF);
        double px = 0, py = 0;
        for (int i = 0; i <= 500; ++i) {
            const double x = i * 2.8;
            const double y = 4 + 7 * std::sin(x / 150.0 + curve) - curve;
            if (i > 0) {
                if (i == 250)
                    cs.DrawLabelledSegment("", curve == 1 ? "IS" : "", px, py, x, y);
                else
                    cs.DrawSegment(px, py, x, y);
            }
            px = x, py = y;
        }
    }
    cs.EndPaint();
}

void BM_DiagramIntoImage(benchmark::State& state) {
    QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        PaintDiagram(image, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_DiagramIntoImage)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_AxisScaling(benchmark::State& state) {
    double max = 1234;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tv::ScaleAxis(-3.7, max, ','));
        max += 0.5;
    }
}
BENCHMARK(BM_AxisScaling);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
