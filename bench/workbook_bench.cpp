// Writing and reading back a model file of 5000 periods: 64 number cells per period row,
// as the model file stores the parameters.

#include "workbook/XlsRead.h"
#include "workbook/XlsWrite.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int Periods = 5000;
constexpr int Columns = 64;

void WriteModel(tv::XlsWriter& w) {
    w.Sheets = {"TERVALIS"};
    w.OpenFile();
    for (int c = 0; c < 23; ++c)
        w.WriteNumber(c, 0, c);
    for (int t = -1; t <= Periods; ++t)
        for (int c = 0; c < Columns; ++c)
            w.WriteNumber(c, t + 9, t * 0.5 + c);
    w.CloseFile();
}

double ReadModel(tv::XlsReader& r) {
    double sum = 0;
    r.Open();
    tv::CellValue v;
    for (int c = 0; c < 23; ++c)
        if (r.ReadCell(0, c, 0, v)) sum += std::get<double>(v);
    r.Close();
    r.OnSheet = [](std::string_view, int index, bool& readIt) { readIt = index == 0; };
    r.OnNumberCell = [&](int col, int row, int, double value, bool) {
        if (row >= 8 && col <= 63) sum += value;
    };
    r.Read();
    return sum;
}

void BM_WriteAndReadModel(benchmark::State& state) {
    const std::string path = "workbook_bench.tv5";
    for (auto _ : state) {
        tv::XlsWriter w;
        w.FileName = path;
        WriteModel(w);
        tv::XlsReader r;
        r.FileName = path;
        benchmark::DoNotOptimize(ReadModel(r));
    }
    std::remove(path.c_str());
    state.counters["cells"] = double((Periods + 2) * Columns);
}
BENCHMARK(BM_WriteAndReadModel)->Unit(benchmark::kMillisecond);

void BM_WriteModel(benchmark::State& state) {
    const std::string path = "workbook_bench_w.tv5";
    for (auto _ : state) {
        tv::XlsWriter w;
        w.FileName = path;
        WriteModel(w);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteModel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
