#!/usr/bin/env bash
# Makes the menu's icon sizes from the program's 64-pixel icon. Run by hand
# after a change of resources/icons/velto.png (needs ImageMagick); the
# results are committed, so the build needs no image tool.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 32 48 128 256; do
  # No time stamps or other metadata: the same icon gives the same bytes.
  convert resources/icons/velto.png -filter Lanczos -resize "${size}x${size}" \
    -strip -define png:exclude-chunks=date,time "PNG32:packaging/icons/velto-${size}.png"
done
