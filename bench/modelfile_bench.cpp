// Saving and loading a 5000-period model file, and the batch solver from process start
// to exit on a 100-period model.

#include "TestModels.h"
#include "app/ModelFile.h"
#include "core/Model.h"
#include "core/UserHost.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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

} // namespace

BENCHMARK_MAIN();
