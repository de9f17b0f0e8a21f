#!/usr/bin/env bash
# Installs what building and opening the window need (the running set of install-deps.sh),
# builds QUARVEL's window and opens it. Where no display exists, the window is opened under Xvfb
# instead, and a picture of it is saved and named.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run

# The tests and benchmarks need GoogleTest and Google Benchmark, which only the full set brings:
# without them the build is configured without its tests, until the default workflow (which
# asks for them) configures it again.
configure=()
for package in libgtest-dev libbenchmark-dev; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    configure=(-DBRINDAQ_BUILD_TESTS=OFF -DBRINDAQ_BUILD_BENCH=OFF)
  fi
done
cmake --preset default "${configure[@]}"
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
