#!/usr/bin/env bash
# Renders the hicolor PNG icons from the scalable one:
#   tools/render_icons.sh
# Needs rsvg-convert (Debian package librsvg2-bin). The same librsvg version
# gives the same bytes, so the committed PNGs can be checked by running this
# again; the PNGs carry no time stamp.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons/hicolor"
for size in 16 32 48 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" --output "${size}x${size}/apps/quillon.png" \
    scalable/apps/quillon.svg
  echo "wrote resources/icons/hicolor/${size}x${size}/apps/quillon.png"
done
