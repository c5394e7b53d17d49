#!/usr/bin/env bash
# Renders the README's pictures of the windows into docs/screenshots/ (a
# full ward, offscreen on a 1920x1080 screen): the board at 1280x800 and
# maximised, on the wall, on a past day, with names hidden, the record
# window, the options' display tab, the three summary pages and the history
# and statistics windows over a year of the ward.
#   VELTO_BUILD_DIR  build folder (default build-test)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh run test
BUILD="${VELTO_BUILD_DIR:-build-test}"
LAUNCHER=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD" --target screenshots -j"$(nproc)"
mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen "$BUILD/tools/screenshots" docs/screenshots
for n in 1 2 3; do
  pdftoppm -png -r 60 -singlefile "docs/screenshots/summary_$n.pdf" "docs/screenshots/summary-page$n"
  rm -f "docs/screenshots/summary_$n.pdf"
done
