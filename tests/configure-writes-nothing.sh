#!/usr/bin/env bash
# Configuring any preset writes nothing into the checkout but below build/: in a fresh clone of the
# commit, `git status --ignored` is the same before and after configuring every preset.
#   bash tests/configure-writes-nothing.sh
set -euo pipefail
cd "$(dirname "$0")/.."

clone="$(mktemp -d)"
trap 'rm -rf "$clone"' EXIT
git clone -q . "$clone"
cd "$clone"
before="$(git status --ignored --porcelain)"
mapfile -t presets < <(cmake --list-presets=configure | sed -n 's/^  "\([^"]*\)".*/\1/p')
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
done
# Only build/ may have been written.
after="$(git status --ignored --porcelain | grep -v '^!! build/$' || true)"
if [ "$after" != "$before" ]; then
  echo "configuring wrote into the checkout outside build/:" >&2
  diff <(echo "$before") <(echo "$after") >&2 || true
  exit 1
fi
echo "Configuring ${#presets[@]} presets (${presets[*]}) wrote nothing outside build/."
