#!/usr/bin/env bash
# Installs what is missing, builds and starts TERVALIS; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tervalis
exec ./build/tervalis "$@"
