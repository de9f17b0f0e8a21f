#!/usr/bin/env bash
# Builds the Debian package brindaq_1.00_amd64.deb and checks it as a user would meet it:
# lintian reads it, apt-get installs it, the installed brindaq-cli answers, and the installed
# brindaq is started under Xvfb and photographed. Run as root, or as a user who may use sudo; it
# installs the package system-wide.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

bash scripts/install-deps.sh
export DEBIAN_FRONTEND=noninteractive
for tool in lintian:lintian import:imagemagick dpkg-shlibdeps:dpkg-dev; do
  command -v "${tool%%:*}" >/dev/null || "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${tool#*:}"
done

cmake --preset default
cmake --build --preset default --target brindaq brindaq_documents brindaq-cli brindaq_cli_documents
(cd build/default && cpack -G DEB)
deb="$PWD/build/default/brindaq_1.00_amd64.deb"

echo "== lintian"
lintian --pedantic "$deb" || true
errors=$(lintian "$deb" 2>/dev/null | grep -c '^E:' || true)
echo "lintian errors: $errors"

echo "== apt-get install"
"${as_root[@]}" apt-get install -y -qq "$deb"
command -v brindaq

echo "== the installed brindaq-cli"
(unset DISPLAY; brindaq-cli goldbach 100)

echo "== the installed brindaq under Xvfb"
shot="$PWD/build/installed-window.png"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
xvfb-run -a -s "-screen 0 800x640x24" bash -c "
  brindaq & pid=\$!
  sleep 2
  import -window root '$shot'
  kill \$pid"
echo "screenshot: $shot"
[ "$errors" -eq 0 ]
