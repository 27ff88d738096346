// The numbers behind the income-price diagram with raster 99, as the batch tool and the
// context menu ask for them: reference and current demand (each point a demand-side
// solution of the period), supply and long-run lines, path, all computed anew. Models with
// mark-up prices and a wage equation; target: at most 20 ms.

#include "TestModels.h"

#include "core/Baseline.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/ModelFile.h"
#include "views/DiagramExport.h"

#include <benchmark/benchmark.h>

namespace {

tv::Model BondMarket() {
    tv::Model m = tv::test::BondMarketModel();
    tv::test::SetFrom(m, 5, {{tv::par::GAut, 260}});
    m.Periods.RightEdge = 20;
    tv::SilentHost host;
    tv::Solve(m, host);
    return m;
}

tv::Model Example() {
    tv::Model m;
    m.InitialiseForProgramStart();
    tv::SilentHost host;
    tv::SolveAtProgramStart(m, host);
    tv::ModelFile f(m, host, ".");
    f.OpenModel(std::string(EXAMPLES_DIR) + "/03-as-ad-prices-and-wages.TV5");
    tv::Solve(m, host);
    return m;
}

void Numbers(benchmark::State& state, tv::Model m, const char* diagram,
             const tv::Baseline* baseline = nullptr) {
    size_t points = 0;
    tv::DiagramRequest request{12, 2, 99};
    request.BaselineRun = baseline;
    for (auto _ : state) {
        const tv::DiagramResult r = tv::ComputeDiagramNumbers(m, diagram, request);
        if (!r.Ok) state.SkipWithError(r.Error.c_str());
        points = 0;
        for (const tv::ExportedCurve& c : r.Numbers.Curves)
            points += c.Points.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["points"] = double(points);
}

void BM_AsAdNumbersBondMarket(benchmark::State& state) {
    Numbers(state, BondMarket(), "as-ad");
}
void BM_AsAdNumbersExample(benchmark::State& state) {
    Numbers(state, Example(), "as-ad");
}
void BM_DynamicAsAdNumbersExample(benchmark::State& state) {
    Numbers(state, Example(), "dynamic-as-ad");
}

// With a frozen baseline (the run before G rose) its demand is sampled as well.
void BM_AsAdNumbersBondMarketWithBaseline(benchmark::State& state) {
    tv::Model base = tv::test::BondMarketModel();
    base.Periods.RightEdge = 20;
    tv::SilentHost host;
    tv::Solve(base, host);
    const tv::Baseline frozen(base);
    Numbers(state, BondMarket(), "as-ad", &frozen);
}

} // namespace

BENCHMARK(BM_AsAdNumbersBondMarket)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsAdNumbersBondMarketWithBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AsAdNumbersExample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DynamicAsAdNumbersExample)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
