#!/usr/bin/env bash
# Sets everything up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
BUILD="${VELTO_BUILD_DIR:-build-test}"
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VELTO_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD" --output-on-failure -j2
