// The period run at delay 0 with the base windows, two time-path diagrams and the flow
// chart (all flows shown) open: periods per second over a run from the left to the right
// edge. Each step is one pass of the event loop, painting included.

#include "app/AnalysisInterval.h"
#include "app/MainWindow.h"
#include "app/QtUserHost.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "views/FlowChartWindow.h"
#include "views/GraphWindow.h"
#include "views/PeriodRunWindow.h"
#include "views/ViewCommands.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A time path of one variable up to the current period.
class PathDiagram : public tv::GraphWindow {
  public:
    PathDiagram(tv::WindowFrame& f, const char* caption, int variable)
        : GraphWindow(f, caption), variable_(variable) {
        AddCoordinateSystem(cs_);
    }
    void DrawDiagram(const tv::GraphPaint& g) override {
        const tv::Model& m = frame().model();
        const int right = m.Periods.RightEdge, now = m.Periods.CurrentPeriod;
        double lo = 1e300, hi = -1e300;
        for (int t = 0; t <= right; ++t) {
            lo = std::min(lo, m.ModelVar(t, variable_));
            hi = std::max(hi, m.ModelVar(t, variable_));
        }
        cs_.FixedXMin = cs_.AutoXMin = 0;
        cs_.FixedXMax = cs_.AutoXMax = right;
        cs_.FixedYMin = cs_.AutoYMin = lo - 1;
        cs_.FixedYMax = cs_.AutoYMax = hi + 1;
        TakeRange(cs_);
        cs_.XTitle = "t#";
        cs_.YTitle = "Y#";
        if (!BeginFrame(cs_, g)) return;
        UsePen(cs_, tv::CurveKind::Current);
        for (int t = 1; t <= now; ++t)
            cs_.DrawSegment(t - 1, m.ModelVar(t - 1, variable_), t, m.ModelVar(t, variable_));
    }

  private:
    tv::CoordinateSystem cs_;
    int variable_;
};

struct Program {
    QTemporaryDir dir;
    tv::Model m;
    std::unique_ptr<tv::MainWindow> w;
    tv::PeriodRunWindow* run = nullptr;
    Program() {
        m.InitialiseForProgramStart();
        tv::MainWindowOptions o;
        o.programDirectory = dir.path();
        o.userConfigDirectory = dir.path();
        o.readSettings = false;
        o.writeSettingsAtEnd = false;
        w = std::make_unique<tv::MainWindow>(m, o);
        w->userHost().scriptMessage = [](const QString&, const QString&) {};
        w->userHost().scriptAsk = [](const QString&, const QString&) { return true; };
        tv::InstallViewCommands(*w);
        QSignalSpy done(w.get(), &tv::MainWindow::startupFinished);
        w->resize(1280, 900);
        w->show();
        done.wait(20000);
        w->OpenChild(tv::WorkingWindow::Create<PathDiagram>(*w, "Pfad Y##Path Y", tv::var::Y));
        w->OpenChild(tv::WorkingWindow::Create<PathDiagram>(*w, "Pfad P##Path P", tv::var::P));
        w->Action(QStringLiteral("MIAufbFluss"))->trigger();
        auto* chart = dynamic_cast<tv::FlowChartWindow*>(w->FindChild(tv::FlowChartCaption));
        chart->AlwaysAllButton->setChecked(true);
        w->Action(QStringLiteral("MIPeriodenDurchlauf"))->trigger();
        run = tv::FindPeriodRunWindow(*w);
        run->SetDelay(0);
        run->SetJumpWidth(1);
        QApplication::processEvents();
    }
};

std::unique_ptr<Program> theProgram;

void BM_PeriodRun(benchmark::State& state) {
    if (!theProgram) theProgram = std::make_unique<Program>();
    Program& p = *theProgram;
    const int right = p.m.Periods.RightEdge;
    for (auto _ : state) {
        state.PauseTiming();
        p.w->interval().SetCurrentPeriod(0);
        QApplication::processEvents();
        state.ResumeTiming();
        QEventLoop loop;
        QObject::connect(p.run, &tv::PeriodRunWindow::stopped, &loop, &QEventLoop::quit);
        p.run->Start();
        if (p.run->Running()) loop.exec();
        if (p.m.Periods.CurrentPeriod != right) state.SkipWithError("run stopped early");
    }
    state.counters["periods_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * right, benchmark::Counter::kIsRate);
    state.SetLabel("periods 0.." + std::to_string(right));
}
BENCHMARK(BM_PeriodRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theProgram.reset();
    return 0;
}
