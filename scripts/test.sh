#!/usr/bin/env bash
# Sets everything up, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh
BUILD="${VELTO_BUILD_DIR:-build-test}"
LAUNCHER=()
if command -v ccache >/dev/null; then
  # Rebuilds of another checkout of the same code reuse the objects.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTO_BUILD_BENCH=OFF "${LAUNCHER[@]}" ${VELTO_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"

# The printing tests use the private CUPS server only; started here unless
# it already runs (.ci/run starts it), and then stopped here too.
CUPS_DIR="${VELTO_CUPS_DIR:-/tmp/velto-cups}"
cups_pid="$(cat "$CUPS_DIR/cupsd.pid" 2>/dev/null || true)"
if [ -z "$cups_pid" ] || [ ! -e "/proc/$cups_pid" ]; then
  if bash scripts/start-printer.sh; then
    trap 'bash scripts/stop-printer.sh' EXIT
  elif [ "${VELTO_REQUIRE_PRINTER:-0}" = 1 ]; then
    echo "the private printer queue did not start" >&2
    exit 1
  else
    echo "printer queue not available; the printing tests skip" >&2
  fi
fi
if [ -e "$CUPS_DIR/env" ]; then
  # shellcheck disable=SC1091
  source "$CUPS_DIR/env"
else
  # Never the machine's own printers.
  export CUPS_SERVER="$CUPS_DIR/cups.sock" VELTO_PDF_DIR="$CUPS_DIR/pdf"
fi

QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD" --output-on-failure -j2
