#!/usr/bin/env bash
# Installs the Debian 12 packages that QUARVEL needs, and only those that are missing. Run as
# root, or as a user who may use sudo.
#   bash scripts/install-deps.sh run          what building the window and opening it need
#                                             (scripts/run.sh)
#   bash scripts/install-deps.sh [all]        everything: every edition, every test, the release
#                                             (scripts/test.sh, CI)
#   bash scripts/install-deps.sh --list SET   prints the set, one package a line; installs nothing
#   bash scripts/install-deps.sh --size SET   what the set takes with everything it depends on, on
#                                             a Debian 12 of only its required packages, as apt
#                                             works it out from its package lists; installs nothing
set -euo pipefail

# Building the window and opening it, on a display or under Xvfb: the compiler, CMake and Ninja,
# GMP (the core's big numbers), Qt (its development package brings OpenGL's headers and the
# platform plugins), Xvfb and the xauth that xvfb-run needs, and the fonts with the metrics of
# the window's own.
run_set=(cmake ninja-build g++ libgmp-dev qt6-base-dev xvfb xauth fonts-liberation2)

# Everything else that the tests, the benchmarks and the release use: GoogleTest and Google
# Benchmark, a locale for reading with a decimal comma, the validators of the menu entry and
# the AppStream data, dpkg-dev and zip for the release, clang for the fuzz target, emscripten
# and Chromium for the browser edition, MinGW-w64, wine, NSIS and pefile for the Windows edition,
# and for building GMP for those two from Debian's source package (scripts/build-gmp.sh),
# dpkg-dev's dpkg-source and m4.
test_set=(
  pkg-config libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  locales
  desktop-file-utils appstream dpkg-dev m4
  binutils-mingw-w64-x86-64
  clang-14 libclang-rt-14-dev
  emscripten chromium
  g++-mingw-w64-x86-64-posix wine wine64 icoutils nsis zip unzip python3-pefile
)

mode=install
case "${1:-}" in
  --list | --size)
    mode=${1#--}
    shift
    ;;
esac
case "${1:-all}" in
  run) packages=("${run_set[@]}") ;;
  all)
    packages=("${run_set[@]}" "${test_set[@]}")
    # The browser edition's tests run under Node.js; a machine that has its own Node.js and npm
    # keeps them.
    { [ "$mode" != size ] && command -v node >/dev/null; } || packages+=(nodejs)
    { [ "$mode" != size ] && command -v npm >/dev/null; } || packages+=(npm)
    ;;
  *)
    echo "usage: $0 [--list | --size] [run | all]" >&2
    exit 2
    ;;
esac

if [ "$mode" = list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

if [ "$mode" = size ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  : >"$scratch/status"
  apt-cache dumpavail >"$scratch/available"
  # What apt would install on a system with nothing installed, as "package version" lines.
  would_install() {
    apt-get -s -o Dir::State::status="$scratch/status" install --no-install-recommends "$@" \
      2>/dev/null | sed -n 's/^Inst \([^ ]*\) \(\[[^]]*\] \)\?(\([^ ]*\) .*/\1 \3/p' | sort
  }
  mapfile -t required < <(awk '/^Package:/ {p = $2} /^Priority: required/ {print p}' \
    "$scratch/available" | sort -u)
  would_install "${required[@]}" >"$scratch/base"
  would_install "${required[@]}" "${packages[@]}" >"$scratch/with-set"
  mapfile -t added < <(comm -13 "$scratch/base" "$scratch/with-set" | tr ' ' '=')
  apt-cache show --no-all-versions "${added[@]}" | awk '/^Installed-Size:/ {kib += $2; n++}
    END {printf "%d packages, %d MiB installed\n", n, kib / 1024}'
  exit 0
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "All required packages are installed."
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
