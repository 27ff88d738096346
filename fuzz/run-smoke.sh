#!/usr/bin/env bash
# Builds the fuzzers of the workbook reader and the model-file loader with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a short
# while on a copy of its seed corpus. Exits non-zero when a fuzzer finds a crash, a hang or
# a runaway allocation.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
seconds=${FUZZ_SECONDS:-30}
model_seconds=${FUZZ_MODEL_SECONDS:-15}
mkdir -p "$out"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I. fuzz/workbook_fuzz.cpp workbook/*.cpp -o "$out/workbook_fuzz"
rm -rf "$out/corpus"
cp -r fuzz/corpus/workbook "$out/corpus"
# Inputs are at most 256 KiB; more than 64 MiB for one of them would be out of proportion.
"$out/workbook_fuzz" -max_total_time="$seconds" -timeout=5 -max_len=262144 \
    -malloc_limit_mb=64 -rss_limit_mb=1024 -artifact_prefix="$out/" -print_final_stats=1 \
    "$out/corpus"

# The model-file loader, seeded with model files the writer made (some with period lengths
# and lags out of range).
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I. fuzz/modelfile_fuzz.cpp logic/ModelFile.cpp core/*.cpp workbook/*.cpp \
    -o "$out/modelfile_fuzz"
rm -rf "$out/model-corpus"
mkdir -p "$out/model-corpus"
cp fuzz/corpus/workbook/writer_model.tv5 fuzz/corpus/workbook/xlwt_mixed.xls \
    fuzz/corpus/model/* "$out/model-corpus/"
"$out/modelfile_fuzz" -max_total_time="$model_seconds" -timeout=5 -max_len=262144 \
    -malloc_limit_mb=128 -rss_limit_mb=1024 -artifact_prefix="$out/" -print_final_stats=1 \
    "$out/model-corpus"
