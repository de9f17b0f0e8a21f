#!/usr/bin/env bash
# wine.sh start|stop PREFIX: starts wine's server and background services for the tests, or stops
# them. They are started here with no pipes attached: started by a test's own wine process, they
# would inherit its output, and whoever reads that output would wait until they end.
set -euo pipefail
export WINEPREFIX="$2" WINEDEBUG=-all
case "$1" in
  start)
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1 || true  # one already running serves as well
    # A new prefix would offer to install wine's .NET and HTML engines, which nothing here needs.
    WINEDLLOVERRIDES="mscoree=;mshtml=" wine wineboot -u </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true  # nothing to stop is no fault
    ;;
esac
