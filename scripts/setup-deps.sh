#!/usr/bin/env bash
# Installs the Debian 12 packages of the named groups, only those missing.
# Idempotent. Usage: scripts/setup-deps.sh <group>...
#   run    build and run Velto (scripts/run.sh)
#   test   the tests besides: ccache, the private CUPS server with its PDF
#          queue, pdffonts, the PostgreSQL 15 server (scripts/test.sh)
#   fuzz   clang with libFuzzer and the sanitizers (scripts/fuzz.sh, .ci/run)
#   package  the Debian package's build and checks: dpkg-dev (shlibdeps),
#          lintian, desktop-file-validate, man (scripts/check-package.sh)
#   bench  /usr/bin/time for the memory figure, Xvfb and the xcb headers for
#          the X client that times windows drawn (scripts/bench.sh)
set -euo pipefail
[ "$#" -gt 0 ] || { echo "usage: $0 run|test|fuzz|package|bench ..." >&2; exit 2; }
PKGS=()
for group in "$@"; do
  case "$group" in
    run) PKGS+=(build-essential cmake ninja-build
                qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-gtk-platformtheme
                libgl-dev fonts-ipafont-mincho fonts-ipafont-gothic libqt6sql6-psql qt6-charts-dev) ;;
    test) PKGS+=(ccache cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
                 postgresql-15 postgresql-client-15) ;;
    fuzz) PKGS+=(clang libclang-rt-14-dev) ;;
    package) PKGS+=(dpkg-dev lintian desktop-file-utils man-db) ;;
    bench) PKGS+=(time xvfb xauth libxcb1-dev libxcb-damage0-dev libxcb-xtest0-dev) ;;
    *) echo "setup-deps: unknown group $group" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
