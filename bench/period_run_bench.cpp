// The period run at delay 0 with the base windows, the income-expenditure, IS-LM and AS-AD
// diagrams and the flow chart (all flows shown) open: periods per second over a run from the
// left to the right edge. Each step is one pass of the event loop, painting included.

#include "app/MainWindow.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "logic/AnalysisInterval.h"
#include "services/QtUserHost.h"
#include "views/FlowChartWindow.h"
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
        for (const char* diagram : {"MIAufbEAGrafik", "MIAufbEZGrafik", "MIAufbEPGrafik"})
            w->Action(QString::fromLatin1(diagram))->trigger();
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
