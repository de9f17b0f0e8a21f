#!/usr/bin/env bash
# Takes the picture of brindaq.exe for the README: the Windows build's window under wine, on a
# virtual X screen, after A = 360 and PRIME FACTORS OF A. Needs the windows preset built
# (cmake --workflow --preset windows). Writes docs/window-windows.png, or the file given.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/window-windows.png}"
build="$PWD/build/windows"
command -v convert >/dev/null || apt-get install -y -qq --no-install-recommends imagemagick

bash tests/win32/wine.sh start "$build/wineprefix"
trap 'bash tests/win32/wine.sh stop "$build/wineprefix"' EXIT
picture="$build/window-windows.bmp"
rm -f "$picture"
bash tests/win32/window_test.sh "$build/wineprefix" "$build/tests/win32/window_driver.exe" \
  "$build/win32/brindaq.exe" --show "Z:$picture"
convert "$picture" -strip "$out"
echo "Wrote $out"
