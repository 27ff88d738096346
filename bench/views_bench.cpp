// The diagram windows' repaint for a 100-period model, and one diagram painted by the graph engine
// into an image the size of a large window: frame with axes, ticks, labels and titles, then 2,000
// clipped line segments in the three curve pens, a few of them labelled.

#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "services/WindowFrame.h"
#include "views/CoordinateSystem.h"
#include "views/IncomeWindows.h"
#include "views/PaintBox.h"
#include "views/QtGraphCanvas.h"

#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>

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

// A bare main window for the diagram windows.
class BenchFrame : public tv::WindowFrame {
  public:
    explicit BenchFrame(tv::Model model) : m(std::move(model)) {}
    tv::Model& model() override { return m; }
    tv::UserHost& host() override { return silent; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return {0, 0, 800, 600}; }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(); }
    QFont screenFont() const override { return QFont(); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return 0; }

    tv::Model m;
    tv::SilentHost silent;
    QMdiArea area;
    QPrinter printer_;
};

// A 100-period model after a money-supply shock, the current period at the right edge: the
// path has 100 segments and every curve of both periods is drawn.
tv::Model HundredPeriods() {
    tv::Model m = tv::test::OpenFlexibleModel();
    tv::test::SetFrom(m, 5, {{tv::par::GAut, 198}});
    tv::SilentHost host;
    tv::Solve(m, host);
    m.Periods.LeftEdge = 0;
    m.Periods.CurrentPeriod = 100;
    return m;
}

// One repaint of a diagram window: its data from the model and the picture, 1000 x 700.
template <class W> void BM_DiagramRepaint(benchmark::State& state) {
    BenchFrame frame(HundredPeriods());
    W* w = tv::WorkingWindow::Create<W>(frame);
    QImage picture(1000, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        // The screen's drawing path, as the paint box repaints.
        picture.fill(Qt::lightGray);
        QPainter p(&picture);
        w->Box()->Render(p, picture.size());
        p.end();
        benchmark::DoNotOptimize(picture.constBits());
    }
    delete w;
}
BENCHMARK(BM_DiagramRepaint<tv::IncomeInterestWindow>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagramRepaint<tv::IncomeExpenditureWindow>)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // fonts; the diagram windows
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
