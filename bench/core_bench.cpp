// Period computation, start-equilibrium search, interval solving and one AS-AD point on
// three representative models.

#include "TestModels.h"
#include "core/Model.h"
#include "core/Period.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/UserHost.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tv;

Model ByIndex(int64_t k) {
    switch (k) {
    case 0:
        return test::KeynesianModel();
    case 1:
        return test::BondMarketModel();
    default:
        return test::OpenFlexibleModel();
    }
}

const char* const kNames[] = {"keynesian", "bond market, prices and wages",
                              "open, flexible rates, money creation"};

Model Solved(int64_t k, int rightEdge = 100) {
    Model m = ByIndex(k);
    m.Periods.RightEdge = rightEdge;
    for (int t = 101; t <= rightEdge; ++t)
        for (int n = 1; n <= 64; ++n)
            m.SetModelPar(t, n, m.ModelPar(100, n));
    SilentHost host(false);
    Solve(m, host);
    return m;
}

void BM_ComputePeriod(benchmark::State& state) {
    Model m = Solved(state.range(0));
    SilentHost host;
    int t = 1;
    for (auto _ : state) {
        m.WageRoundFlag = t % m.TZR() == 0;
        m.MonetaryRoundFlag = t % m.MZZR() == 0;
        ComputePeriod(m, t, host);
        benchmark::DoNotOptimize(m.GetVar(t, var::Y));
        t = t == 100 ? 1 : t + 1;
    }
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_ComputePeriod)->DenseRange(0, 2);

void BM_StartEquilibrium(benchmark::State& state) {
    Model m = Solved(state.range(0));
    SilentHost host(false);
    for (auto _ : state) {
        EquilibriumSearch(m, host, false);
        benchmark::DoNotOptimize(m.GetVar(0, var::Y));
    }
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_StartEquilibrium)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_SolveInterval5000(benchmark::State& state) {
    Model m = Solved(state.range(0), 5000);
    SilentHost host(false);
    for (auto _ : state) {
        SolveInterval(m, host, 1, 5000, false);
        benchmark::DoNotOptimize(m.GetVar(5000, var::Y));
    }
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_SolveInterval5000)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_EquilibriumAtPrice(benchmark::State& state) {
    Model m = Solved(state.range(0));
    SilentHost host(false);
    const double p = m.GetVar(20, var::P);
    for (auto _ : state) {
        EquilibriumAtPrice(m, host, 20, 500, p * 1.05, m.Options.Accuracy);
        benchmark::DoNotOptimize(m.ScratchVar(20, var::Y));
    }
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_EquilibriumAtPrice)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
