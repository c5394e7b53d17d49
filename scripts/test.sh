#!/usr/bin/env bash
# Sets everything up, builds and runs every test.
#   VELTO_BUILD_DIR        build folder (default build-test)
#   VELTO_CMAKE_ARGS       more configure arguments
#   VELTO_CUPS_DIR         the folder of a private printer that already runs
#                          (scripts/start-printer.sh); otherwise this run starts
#                          its own in a new folder and stops it at the end
#   VELTO_REQUIRE_PRINTER  1: fail when the printer does not start
#   VELTO_PG_DIR           the folder of a private PostgreSQL server that already
#                          runs (scripts/start-database.sh); otherwise this run
#                          starts its own and stops it at the end
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh run test
BUILD="${VELTO_BUILD_DIR:-build-test}"
LAUNCHER=()
if command -v ccache >/dev/null; then
  # Rebuilds of another checkout of the same code reuse the objects.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# shellcheck disable=SC2086
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTO_BUILD_BENCH=OFF -DVELTO_WERROR=ON \
  "${LAUNCHER[@]}" ${VELTO_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"$(nproc)"

# The printing tests use a private CUPS server only, never the machine's
# printers: the caller's (.ci/run starts one for all its runs) or one of this
# run's own, in a folder of its own so that no other run can stop it.
running_printer() { # the caller's folder, when its server still runs
  local pid
  [ -n "${VELTO_CUPS_DIR:-}" ] && [ -e "$VELTO_CUPS_DIR/env" ] || return 1
  pid="$(cat "$VELTO_CUPS_DIR/cupsd.pid" 2>/dev/null)" && [ -n "$pid" ] && [ -e "/proc/$pid" ]
}
if running_printer; then
  # shellcheck disable=SC1091
  source "$VELTO_CUPS_DIR/env"
else
  VELTO_CUPS_DIR="$(mktemp -d "${TMPDIR:-/tmp}/velto-cups.XXXXXX")"
  export VELTO_CUPS_DIR
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  # The folder goes with the server, unless the tests failed: then its logs
  # and PDFs stay for a look.
  stop_printer() {
    local rc=$?
    bash scripts/stop-printer.sh || true
    if [ "$rc" = 0 ]; then
      $SUDO rm -rf "$VELTO_CUPS_DIR"
    else
      echo "printer logs and PDFs kept in $VELTO_CUPS_DIR" >&2
    fi
  }
  trap stop_printer EXIT
  if bash scripts/start-printer.sh; then
    # shellcheck disable=SC1091
    source "$VELTO_CUPS_DIR/env"
  elif [ "${VELTO_REQUIRE_PRINTER:-0}" = 1 ]; then
    echo "the private printer queue did not start" >&2
    exit 1
  else
    echo "printer queue not available; the printing tests skip" >&2
    export CUPS_SERVER="$VELTO_CUPS_DIR/cups.sock" VELTO_PDF_DIR="$VELTO_CUPS_DIR/pdf"
  fi
fi

# The database tests use a private PostgreSQL server only (a Unix socket in
# a folder of its own, no TCP port). It must start: the tests fail without it.
running_database() {
  [ -n "${VELTO_PG_DIR:-}" ] && [ -e "$VELTO_PG_DIR/env" ] && [ -e "$VELTO_PG_DIR/data/postmaster.pid" ]
}
if ! running_database; then
  VELTO_PG_DIR="$(mktemp -d "${TMPDIR:-/tmp}/velto-pg.XXXXXX")"
  export VELTO_PG_DIR
  stop_database() {
    local rc=$?
    bash scripts/stop-database.sh || true
    rm -rf "$VELTO_PG_DIR"
    return "$rc"
  }
  # Both servers go at the end, whichever of them this run started; the
  # printer's folder stays when the tests failed.
  if [ -n "$(trap -p EXIT)" ]; then trap 'stop_database; stop_printer' EXIT; else trap stop_database EXIT; fi
  bash scripts/start-database.sh
fi
# shellcheck disable=SC1091
source "$VELTO_PG_DIR/env"

QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD" --output-on-failure -j2
