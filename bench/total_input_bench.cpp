// Total input: opening all 64 parameters over 5000 periods (the sheet, the table model and
// the first paint of the view) and scrolling through them.

#include "core/Model.h"
#include "core/TotalInput.h"
#include "core/UserHost.h"
#include "input/TotalInputWindow.h"

#include "services/WindowFrame.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>
#include <vector>

namespace {

std::vector<int> AllParameters() {
    std::vector<int> all(tv::ParCount);
    std::iota(all.begin(), all.end(), 1);
    return all;
}

struct Grid {
    tv::Model m;
    tv::SilentHost host;
    tv::TotalInputSheet sheet{m};
    std::unique_ptr<tv::TotalInputModel> model;
    std::unique_ptr<QTableView> view;

    Grid() {
        m.Periods.RightEdge = tv::LastPeriod;
        m.InitialiseForProgramStart();
        for (int t = 0; t <= tv::LastPeriod; ++t)
            for (int n = 1; n <= tv::ParCount; ++n)
                m.SetModelPar(t, n, t * 0.001 + n / 7.0);
    }
    // What opening the window does: rows and columns, the table model, the view.
    void Open() {
        sheet.SetRows(0, tv::LastPeriod);
        sheet.SetColumns(AllParameters());
        model = std::make_unique<tv::TotalInputModel>(sheet, host);
        view = std::make_unique<QTableView>();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(20);
        view->setModel(model.get());
        view->resize(1000, 700);
    }
    void Paint(QImage& image) {
        image.fill(Qt::white);
        view->render(&image);
    }
};

void BM_SheetAndModel(benchmark::State& state) {
    Grid g;
    for (auto _ : state) {
        g.Open();
        benchmark::DoNotOptimize(g.model->rowCount());
    }
    state.counters["cells"] = 64.0 * (tv::LastPeriod + 1);
}
BENCHMARK(BM_SheetAndModel)->Unit(benchmark::kMillisecond);

void BM_OpenAndFirstPaint(benchmark::State& state) {
    Grid g;
    QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        g.Open();
        g.Paint(image);
    }
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond);

// One screen further down per iteration (a page-down scroll and its paint), with edits in
// the sheet so that every cell looks its edit up.
void BM_ScrollPage(benchmark::State& state) {
    Grid g;
    g.Open();
    for (int t = 0; t <= tv::LastPeriod; t += 3)
        g.sheet.Enter(g.host, t, t % 64, 1.5);
    QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
    QScrollBar* bar = g.view->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(
            bar->value() + bar->pageStep() > bar->maximum() ? 0 : bar->value() + bar->pageStep());
        g.Paint(image);
    }
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

// The real window: tabs, detail list, column widths and the first paint of everything.
class Frame : public tv::WindowFrame {
  public:
    tv::Model& model() override { return g.m; }
    tv::UserHost& host() override { return g.host; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return QRect(0, 0, 1000, 700); }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(); }
    QFont screenFont() const override { return QFont(); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return 0; }

    Grid g;
    QMdiArea area;
    QPrinter printer_;
};

void BM_WindowOpenAndFirstPaint(benchmark::State& state) {
    Frame f;
    f.g.m.Switch[18] = 1; // as many active parameters as the model has
    f.g.m.Switch[19] = 1;
    QImage image(1000, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto* w = tv::WorkingWindow::Create<tv::TotalInputWindow>(f);
        w->SelectTabs(6, 0);
        w->resize(1000, 700);
        image.fill(Qt::white);
        w->render(&image);
        delete w;
    }
}
BENCHMARK(BM_WindowOpenAndFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
