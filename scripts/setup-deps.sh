#!/usr/bin/env bash
# Installs what Velto needs to build, run and test on Debian 12. Idempotent.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
PKGS=(
  build-essential cmake ninja-build ccache
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-gtk-platformtheme
  libgl-dev
  fonts-ipafont-mincho fonts-ipafont-gothic
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils time
  clang libclang-rt-14-dev
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "${missing[@]}"
fi
