// Input dialogs: opening a dialog, and "Alles Ok" on a 100-period model up to the end of the
// main window's model-changed step (write, solve, the base windows' contents; painting is
// left to the event loop and not measured).

#include "app/MainWindow.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "input/InputCommands.h"
#include "input/InputDialog.h"
#include "services/QtUserHost.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Program {
    QTemporaryDir dir;
    tv::Model m;
    std::unique_ptr<tv::MainWindow> w;

    Program() {
        m.InitialiseForProgramStart();
        tv::MainWindowOptions o;
        o.programDirectory = dir.path();
        o.userConfigDirectory = dir.path();
        o.readSettings = false;
        o.writeSettingsAtEnd = false;
        w = std::make_unique<tv::MainWindow>(m, o);
        w->userHost().scriptAsk = [](const QString&, const QString&) { return true; };
        w->userHost().scriptMessage = [](const QString&, const QString&) {};
        QSignalSpy done(w.get(), &tv::MainWindow::startupFinished);
        w->resize(1100, 760);
        w->show();
        done.wait(10000);
        m.Options.ShowSolveInfo = 0;
    }
};

Program& TheProgram() {
    static Program p;
    return p;
}

void BM_OpenDialog(benchmark::State& state) {
    Program& p = TheProgram();
    const int sector = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto d = tv::CreateSectorDialog(sector, p.m, p.w->userHost(), true, p.w.get());
        d->show();
        QApplication::processEvents(); // first layout and paint
        d->reject();
    }
    state.SetLabel("sector " + std::to_string(sector));
}
BENCHMARK(BM_OpenDialog)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// range(0): the current period; the solution runs from there to the right edge (100).
void BM_AllOkToModelChanged(benchmark::State& state) {
    Program& p = TheProgram();
    p.m.Periods.CurrentPeriod = static_cast<int>(state.range(0));
    double g = 100;
    for (auto _ : state) {
        state.PauseTiming();
        auto d = tv::CreateSectorDialog(1, p.m, p.w->userHost(), true, p.w.get());
        d->Tabs->setCurrentIndex(2);
        g = g == 100 ? 101 : 100;
        d->EnterText(1, QString::number(g));
        state.ResumeTiming();
        d->CloseWith(tv::InputClose::All);
        p.w->ModelChanged();
        state.PauseTiming();
        if (p.m.Periods.LastSolved != p.m.Periods.RightEdge) state.SkipWithError("not solved");
        d.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("from t = " + std::to_string(state.range(0)));
}
BENCHMARK(BM_AllOkToModelChanged)->Arg(0)->Arg(50)->Arg(99)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheProgram().w.reset();
    return 0;
}
