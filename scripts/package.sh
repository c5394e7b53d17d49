#!/usr/bin/env bash
# Builds the Debian package build-pkg/velto_<version>-1_<arch>.deb.
# Same build type and flags as scripts/test.sh's normal build, so that
# ccache gives back every object but main.cpp's.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh run package
BUILD=build-pkg
LAUNCHER=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTO_BUILD_BENCH=OFF -DVELTO_WERROR=ON \
  "${LAUNCHER[@]}" -DVELTO_PACKAGED=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target velto
rm -f "$BUILD"/velto_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
ls "$PWD/$BUILD"/velto_*.deb
