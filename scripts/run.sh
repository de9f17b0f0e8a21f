#!/usr/bin/env bash
# Installs what is missing, builds QUARVEL and opens its window. Where no display exists, the
# window is opened under Xvfb instead, and a picture of it is saved and named.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default --target brindaq brindaq_screenshot

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/default/app/brindaq
fi

shot="$PWD/build/window.png"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
echo "No display here: opening the window under Xvfb."
xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb \
  build/default/app/brindaq_screenshot "$shot" 360 "" "" Command10
echo "The window (after A = 360 and PRIME FACTORS OF A) is saved in $shot"
