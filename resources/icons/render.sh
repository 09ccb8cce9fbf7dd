#!/usr/bin/env bash
# Renders the icon's PNG sizes and the Windows .ico from vocell-utility.svg
# (needs rsvg-convert from librsvg2-bin and convert from imagemagick).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 128 256; do
    rsvg-convert -w "$size" -h "$size" vocell-utility.svg -o "vocell-utility-$size.png"
done
convert vocell-utility-{16,24,32,48,256}.png vocell-utility.ico
rm vocell-utility-24.png
