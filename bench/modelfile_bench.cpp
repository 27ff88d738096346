// Saving and loading a 5000-period model file, and the batch solver from process start
// to exit: on a 100-period model, and extended to 5000 periods from a 60-period model with
// the CSV going to a file. And one explanation: income at depth 3 in the AS-AD example.

#include "OpenedModel.h"
#include "TestModels.h"
#include "core/Explanation.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "core/UserHost.h"
#include "logic/ModelFile.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace tv;
namespace fs = std::filesystem;

fs::path TempDir() {
    const fs::path dir =
        fs::temp_directory_path() / ("tervalis-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

void BM_SaveAndLoad5000(benchmark::State& state) {
    const fs::path dir = TempDir();
    Model m = test::BondMarketModel();
    m.Periods.RightEdge = 5000;
    for (int t = 101; t <= 5000; ++t)
        for (int n = 1; n <= 64; ++n)
            m.SetModelPar(t, n, m.ModelPar(100, n) + t * 1e-3);
    SilentHost host;
    ModelFile file(m, host, dir.string());
    Model loaded = test::StartModel();
    ModelFile reader(loaded, host, dir.string());
    for (auto _ : state) {
        if (!file.Save()) state.SkipWithError("save failed");
        if (!reader.ReadModelFile(file.ModelFileName())) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded.ModelPar(5000, 1));
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_SaveAndLoad5000)->Unit(benchmark::kMillisecond);

void BM_BatchProcess100(benchmark::State& state) {
    const fs::path dir = TempDir();
    Model m = test::BondMarketModel();
    SilentHost host;
    ModelFile file(m, host, dir.string());
    const std::string model = (dir / "bench.TV5").string();
    file.SaveAs(model);
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>(BATCH_TOOL), const_cast<char*>(model.c_str()), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, BATCH_TOOL, &actions, nullptr, argv, environ) != 0)
            state.SkipWithError("cannot start the batch tool");
        int status = 0;
        waitpid(pid, &status, 0);
        posix_spawn_file_actions_destroy(&actions);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("batch failed");
    }
    fs::remove_all(dir);
}
BENCHMARK(BM_BatchProcess100)->Unit(benchmark::kMillisecond);

// Start to exit of "tervalis-batch MODEL --to 5000 >FILE": the start-up solution, the load,
// 4940 new periods solved and 5001 CSV lines of 63 values.
void BM_BatchTo5000(benchmark::State& state) {
    const fs::path dir = TempDir();
    Model m = test::BondMarketModel();
    for (int t = 61; t <= 100; ++t)
        m.SetModelPar(t, par::PExog, 0);
    m.Periods.RightEdge = 60;
    SilentHost host;
    ModelFile file(m, host, dir.string());
    const std::string model = (dir / "sixty.TV5").string();
    const std::string csv = (dir / "out.csv").string();
    file.WriteModelFile(model);
    // Wall time suffers when other jobs share the cores; the child's own processor time
    // (user and system) is the figure that does not.
    double childSeconds = 0;
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, csv.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char to[] = "--to", last[] = "5000";
        char* argv[] = {const_cast<char*>(BATCH_TOOL), const_cast<char*>(model.c_str()), to, last,
                        nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, BATCH_TOOL, &actions, nullptr, argv, environ) != 0)
            state.SkipWithError("cannot start the batch tool");
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        posix_spawn_file_actions_destroy(&actions);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("batch failed");
        childSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    }
    state.counters["child_cpu_ms"] =
        benchmark::Counter(childSeconds * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["csv_bytes"] = static_cast<double>(fs::file_size(csv));
    fs::remove_all(dir);
}
BENCHMARK(BM_BatchTo5000)->Unit(benchmark::kMillisecond);

#ifdef EXAMPLES_DIR
// Start to exit of a render run (the batch tool hands it to its Qt-linked companion):
// one diagram to PNG, and the handout of example 03.
void RenderRun(benchmark::State& state, std::vector<std::string> args) {
    const fs::path dir = TempDir();
    for (std::string& a : args)
        if (a.rfind("OUT/", 0) == 0) a = (dir / a.substr(4)).string();
    std::vector<char*> argv = {const_cast<char*>(BATCH_TOOL)};
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // The child's own processor time too: wall time suffers when other jobs share the cores.
    double childSeconds = 0;
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        if (posix_spawn(&pid, BATCH_TOOL, &actions, nullptr, argv.data(), environ) != 0)
            state.SkipWithError("cannot start the batch tool");
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        posix_spawn_file_actions_destroy(&actions);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("render failed");
        childSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    }
    state.counters["child_cpu_ms"] =
        benchmark::Counter(childSeconds * 1e3, benchmark::Counter::kAvgIterations);
    fs::remove_all(dir);
}

void BM_RenderDiagramPng(benchmark::State& state) {
    RenderRun(state,
              {EXAMPLES_DIR "/02-closed-is-lm.TV5", "--render", "is-lm", "-o", "OUT/is-lm.png"});
}
BENCHMARK(BM_RenderDiagramPng)->Unit(benchmark::kMillisecond);

void BM_HandoutExample03(benchmark::State& state) {
    RenderRun(state, {EXAMPLES_DIR "/03-as-ad-prices-and-wages.TV5", "--handout", "OUT/h.pdf"});
}
BENCHMARK(BM_HandoutExample03)->Unit(benchmark::kMillisecond);
#endif

} // namespace

// A question a student asks in the program: the copy of the model is part of each answer.
void BM_ExplainIncomeDepth3(benchmark::State& state) {
    Model m;
    if (!test::OpenAsTheProgramDoes(m,
                                    std::string(EXAMPLES_DIR) + "/03-as-ad-prices-and-wages.TV5")) {
        state.SkipWithError("example not found");
        return;
    }
    for (auto _ : state) {
        const ExplanationNode tree = Explain(m, var::Y, 6, {5, nullptr}, 3);
        benchmark::DoNotOptimize(tree.children.size());
    }
}
BENCHMARK(BM_ExplainIncomeDepth3)->Unit(benchmark::kMillisecond);

// The same question to an explainer that already holds its copy (a window asking again).
void BM_ExplainIncomeDepth3Again(benchmark::State& state) {
    Model m;
    if (!test::OpenAsTheProgramDoes(m,
                                    std::string(EXAMPLES_DIR) + "/03-as-ad-prices-and-wages.TV5")) {
        state.SkipWithError("example not found");
        return;
    }
    Explainer explainer(m);
    for (auto _ : state) {
        const ExplanationNode tree = explainer.Explain(var::Y, 6, 5, 3);
        benchmark::DoNotOptimize(tree.children.size());
    }
}
BENCHMARK(BM_ExplainIncomeDepth3Again)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
