#!/usr/bin/env bash
# window_test.sh PREFIX DRIVER BRINDAQ ROWS | --time N | --fill N | --show BMP [DPI] |
# --show-full-range BMP [DPI] | --long-work S | --show-long-work BMP BMP: runs the window driver on
# brindaq.exe under wine, in a wine desktop of its own on an X server of its own (Xvfb on the first
# free display; BRINDAQ_DISPLAY names one to use instead). The desktop is large enough for the window at 144 dots per inch, and draws the
# window's title bar as Windows does.
set -euo pipefail
export WINEPREFIX="$1" WINEDEBUG=-all
driver="$2"
shift 2

if [ -n "${BRINDAQ_DISPLAY:-}" ]; then
  export DISPLAY="$BRINDAQ_DISPLAY"
else
  exec {display_pipe}<> <(:)
  Xvfb -displayfd "$display_pipe" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true' EXIT
  read -r -t 30 -u "$display_pipe" display
  export DISPLAY=":$display"
fi

# explorer does not pass the driver's exit status on: the driver's last line says how it went.
output=$(mktemp)
trap 'rm -f "$output"; kill "${xvfb:-}" 2>/dev/null || true' EXIT
timeout 240 wine explorer /desktop=brindaq,1000x960 "$driver" "$@" </dev/null >"$output" 2>&1 || true
tr -d '\r' <"$output"
case "${2:-}" in
  --time | --fill | --show | --show-full-range | --long-work | --show-long-work) ;;
  *) [ "$(tail -n 1 "$output" | tr -d '\r')" = "0 failed" ] ;;
esac
