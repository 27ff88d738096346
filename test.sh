#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build (with the
# whole-program sweep), the sanitizer build of the Qt-free libraries and of the whole-program
# sweep with the check of the one definition rule, and a short fuzz run of the workbook
# reader.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"

# The sanitizer build: the Qt-free libraries and their tests, and the whole program (Qt itself
# not instrumented) with its sweep. The sweep runs without the leak check (see
# tests/app/CMakeLists.txt); the Qt-free tests keep it. The same objects serve the check of
# the one definition rule: the program and the batch tool linked with link-time
# optimisation, where two different types of one name anywhere in the program fail.
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTERVALIS_SANITIZE=ON \
    -DTERVALIS_QT_SWEEP_ONLY=ON -DTERVALIS_ODR_CHECK=ON -DTERVALIS_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
cmake --build build-sanitize -j "$jobs" --target tervalis tervalis-batch
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

if [ -x fuzz/run-smoke.sh ]; then
    fuzz/run-smoke.sh
fi
