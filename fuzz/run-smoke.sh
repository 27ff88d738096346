#!/usr/bin/env bash
# Builds the workbook reader's fuzzer with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs it for a short while on a copy of the
# seed corpus. Exits non-zero when the fuzzer finds a crash, a hang or a runaway allocation.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-fuzz
seconds=${FUZZ_SECONDS:-30}
mkdir -p "$out"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I. fuzz/workbook_fuzz.cpp workbook/*.cpp -o "$out/workbook_fuzz"
rm -rf "$out/corpus"
cp -r fuzz/corpus/workbook "$out/corpus"
# Inputs are at most 256 KiB; more than 64 MiB for one of them would be out of proportion.
"$out/workbook_fuzz" -max_total_time="$seconds" -timeout=5 -max_len=262144 \
    -malloc_limit_mb=64 -rss_limit_mb=1024 -artifact_prefix="$out/" -print_final_stats=1 \
    "$out/corpus"
