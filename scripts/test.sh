#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: first the normal build, then
# the same suite built with the address and undefined-behaviour sanitizers, then the fuzz
# target replaying its seed corpus and every input that once failed, then the browser edition:
# the core's suite compiled to WebAssembly under node, and the page in Chromium, and last the
# Windows edition, cross-built with MinGW-w64 and tested under wine. Those two link GMP built
# from Debian's source for them, once per machine (scripts/build-gmp.sh; a few minutes the first
# time, nothing after). Last, a release of the commit is built into dist/ and checked as its user
# would check it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh all
cmake --workflow --preset default
cmake --workflow --preset sanitize
cmake --workflow --preset fuzz
bash scripts/build-gmp.sh web
cmake --workflow --preset web
bash scripts/build-gmp.sh windows
cmake --workflow --preset windows
bash tests/configure-writes-nothing.sh

bash scripts/release.sh
cmake -DSOURCE="$PWD" -P tests/release/check_dist.cmake
