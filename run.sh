#!/usr/bin/env bash
# Installs what is missing, builds and starts TERVALIS; arguments go to the program.
# Without arguments the first example model opens.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target tervalis
if [ $# -eq 0 ]; then
    set -- "$PWD/examples/01-keynesian-cross.TV5"
fi
exec ./build/tervalis "$@"
