// The sequence windows over a long interval: the table of 5000 periods x 20 variables
// opened and painted (goal: at most 100 ms), scrolled by a page, and the sequence chart of
// the same interval with three series.

#include "core/Model.h"
#include "core/UserHost.h"
#include "services/WindowFrame.h"
#include "views/ChartWindows.h"
#include "views/SequenceTableWindow.h"

#include <QApplication>
#include <QMdiArea>
#include <QPrinter>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

class BenchFrame : public tv::WindowFrame {
  public:
    BenchFrame() { area.resize(1000, 700); }
    tv::Model& model() override { return m; }
    tv::UserHost& host() override { return silent; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return {0, 0, 1000, 700}; }
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

// Periods 0..5000 with values in every variable, twenty of them shown.
void LongModel(tv::Model& m) {
    m.Periods.LeftEdge = 0;
    m.Periods.RightEdge = tv::LastPeriod;
    m.Periods.CurrentPeriod = 2500;
    for (int t = -1; t <= tv::LastPeriod; ++t)
        for (int v = 1; v <= 63; ++v)
            m.SetVar(t, v, 1000 + v * std::sin(t * 0.01 * v));
}

tv::SeriesFlags Twenty() {
    tv::SeriesFlags s{};
    for (int v = 21; v <= 40; ++v)
        s[v] = true;
    return s;
}

void BM_SequenceTableOpen(benchmark::State& state) {
    BenchFrame frame;
    LongModel(frame.m);
    tv::SharedSequenceTableState() = {};
    tv::SharedSequenceTableState().HasSet[0] = true;
    tv::SharedSequenceTableState().Sets[0] = Twenty();
    for (auto _ : state) {
        auto* w = tv::WorkingWindow::Create<tv::SequenceTableWindow>(frame, false);
        frame.area.addSubWindow(w);
        w->show();
        QImage picture = w->grab().toImage(); // the first paint
        benchmark::DoNotOptimize(picture.constBits());
        if (w->TableModel->rowCount() != tv::LastPeriod + 1 || w->TableModel->columnCount() != 20)
            state.SkipWithError("wrong table size");
        delete w;
    }
}
BENCHMARK(BM_SequenceTableOpen)->Unit(benchmark::kMillisecond);

void BM_SequenceTableScroll(benchmark::State& state) {
    BenchFrame frame;
    LongModel(frame.m);
    tv::SharedSequenceTableState() = {};
    tv::SharedSequenceTableState().HasSet[0] = true;
    tv::SharedSequenceTableState().Sets[0] = Twenty();
    auto* w = tv::WorkingWindow::Create<tv::SequenceTableWindow>(frame, false);
    frame.area.addSubWindow(w);
    w->show();
    QScrollBar* bar = w->Grid->verticalScrollBar();
    int row = 0;
    for (auto _ : state) {
        row = (row + 997) % tv::LastPeriod;
        bar->setValue(row);
        QImage picture = w->Grid->viewport()->grab().toImage();
        benchmark::DoNotOptimize(picture.constBits());
    }
    delete w;
}
BENCHMARK(BM_SequenceTableScroll)->Unit(benchmark::kMillisecond);

void BM_SequenceChartOpen(benchmark::State& state) {
    BenchFrame frame;
    LongModel(frame.m);
    for (auto _ : state) {
        auto* w = tv::WorkingWindow::Create<tv::SequenceChartWindow>(frame, 1);
        frame.area.addSubWindow(w);
        w->show();
        QImage picture = w->grab().toImage();
        benchmark::DoNotOptimize(picture.constBits());
        delete w;
    }
}
BENCHMARK(BM_SequenceChartOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
