#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing QUARVEL need, and only those
# that are missing. Run as root, or as a user who may use sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-liberation2 locales
  desktop-file-utils appstream dpkg-dev
  binutils-mingw-w64-x86-64
  clang-14 libclang-rt-14-dev
  emscripten chromium
  g++-mingw-w64-x86-64-posix wine wine64 icoutils nsis zip unzip python3-pefile
)
# The browser edition's tests run under Node.js; a machine that has its own Node.js and npm
# keeps them.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

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
