// The content side of a period change in the base windows: the equation tree of a period,
// its line codes and the result rows that ask them.

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Solver.h"
#include "windows/EquationSystem.h"
#include "windows/ResultTable.h"

#include <benchmark/benchmark.h>

namespace {

tv::Model RichModel() {
    tv::Model m = tv::test::OpenFlexibleModel();
    m.Switch[12] = 2;
    m.Switch[14] = 2;
    m.Periods.RightEdge = 20;
    tv::test::RecordingHost host;
    tv::SolveAtProgramStart(m, host);
    return m;
}

void BM_EquationTree(benchmark::State& state) {
    const tv::Model m = RichModel();
    int t = 0;
    for (auto _ : state) {
        tv::EquationSystem s = tv::BuildEquationSystem(m, t, 1);
        benchmark::DoNotOptimize(s);
        t = (t + 1) % 20;
    }
}
BENCHMARK(BM_EquationTree);

void BM_ResultRows(benchmark::State& state) {
    const tv::Model m = RichModel();
    tv::LineCodeTable codes;
    codes.Assign(tv::BuildEquationSystem(m, 5, 1));
    tv::ResultGroups open;
    open.Expanded.fill(true);
    for (auto _ : state) {
        tv::ResultTable r = tv::BuildResultTable(m, codes, {5, 0, 5}, {}, open, 1);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ResultRows);

} // namespace

BENCHMARK_MAIN();
