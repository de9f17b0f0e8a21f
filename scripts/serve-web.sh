#!/usr/bin/env bash
# Serves QUARVEL's browser edition, as built by `cmake --workflow --preset web`, on this machine
# only, and prints the address to open. A page opened from a file:// address cannot load its
# module, hence the server. Stop it with Ctrl+C.
#   bash scripts/serve-web.sh [PORT]      (default 8080)
set -euo pipefail
cd "$(dirname "$0")/.."

port="${1:-8080}"
site=build/web/site
if [ ! -f "$site/index.html" ]; then
  echo "No site in $site: build it first with: cmake --workflow --preset web" >&2
  exit 1
fi
echo "QUARVEL is served at http://127.0.0.1:$port/ (Ctrl+C stops it)"
exec python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port"
