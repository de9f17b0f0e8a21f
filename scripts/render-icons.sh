#!/usr/bin/env bash
# Renders the application icon from its SVG into the PNG sizes that desktops ask for. The PNGs
# are kept in the repository, so that building needs no SVG renderer; run this after changing
# the SVG (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" org.example.brindaq.svg -o "brindaq-$size.png"
done
