#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, the sanitizer
# build of the Qt-free libraries, and a short fuzz run of the workbook reader.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERVALIS_SANITIZE=ON \
    -DTERVALIS_QT=OFF -DTERVALIS_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

if [ -x fuzz/run-smoke.sh ]; then
    fuzz/run-smoke.sh
fi
