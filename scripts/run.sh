#!/usr/bin/env bash
# Sets everything up, installs Velto into its own folder and starts it there.
# The folder (default ~/Velto, or VELTO_HOME) holds the ward's data: DB, BackUp, log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh run
PREFIX="${VELTO_HOME:-$HOME/Velto}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTO_BUILD_TESTS=OFF -DVELTO_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)"
cmake --install build --prefix "$PREFIX"
cd "$PREFIX"
exec ./velto
