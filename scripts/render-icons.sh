#!/usr/bin/env bash
# Renders the application icon from its SVG into the PNG sizes that desktops ask for (the one list
# of them, data/icons/sizes.txt, which the builds read too), and the two sizes of the browser
# edition's web app manifest. The PNGs are kept in the repository, so
# that building needs no SVG renderer; run this after changing the SVG (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
svg=data/icons/org.example.brindaq.svg
for size in $(grep -E '^[0-9]+$' data/icons/sizes.txt); do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "data/icons/brindaq-$size.png"
done
for size in 192 512; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "web/icons/brindaq-$size.png"
done
