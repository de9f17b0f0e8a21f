#!/usr/bin/env bash
# Builds the release of the current commit twice, in two fresh clones at different paths, and
# compares the two dist/ folders byte for byte. Where a file differs, diffoscope (when installed)
# shows which bytes. Takes a few minutes: two whole release builds.
#   bash scripts/check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
first=$scratch/one/brindaq
second=$scratch/another-place/quarvel-clone
SECONDS=0
for clone in "$first" "$second"; do
  git clone -q . "$clone"
  echo "== release in $clone"
  bash "$clone/scripts/release.sh" >"$clone.log" 2>&1 || {
    tail -n 30 "$clone.log"
    exit 1
  }
done
echo "Two releases in $SECONDS s"

status=0
for file in "$first"/dist/*; do
  name=$(basename "$file")
  if cmp -s "$file" "$second/dist/$name"; then
    echo "same bytes: $name"
  else
    echo "DIFFERENT:  $name"
    status=1
    if command -v diffoscope >/dev/null; then
      diffoscope --text - "$file" "$second/dist/$name" | head -n 80 || true
    fi
  fi
done
if ! diff <(ls "$first/dist") <(ls "$second/dist") >/dev/null; then
  echo "DIFFERENT file lists:"
  diff <(ls "$first/dist") <(ls "$second/dist") || true
  status=1
fi
[ "$status" -eq 0 ] && echo "REPRODUCIBLE: every file of dist/ is the same in both builds"
exit "$status"
