#!/usr/bin/env bash
# Debian has GMP, the core's big-number library, for Linux only (libgmp-dev). The Windows and
# browser editions link it statically, so this builds it for them from Debian's own source
# package of the same version, once per machine, into a cache outside the checkout that
# cmake/gmp.cmake finds. A complete build in the cache is kept and this returns at once; a build
# that was cut short is started again. The source comes with apt, from a source list of its own:
# the machine's apt lists are left as they are.
#   bash scripts/build-gmp.sh windows     GMP for MinGW-w64 (x86_64-w64-mingw32, posix compilers)
#   bash scripts/build-gmp.sh web         GMP for emscripten (WebAssembly)
#   bash scripts/build-gmp.sh --cache     prints the cache folder
#   bash scripts/build-gmp.sh --source    prints the files of GMP's source package in the cache,
#                                         the .dsc first (there once a target has been built)
# The cache is $BRINDAQ_GMP_CACHE, else ${XDG_CACHE_HOME:-~/.cache}/brindaq/gmp-<version>: a
# folder for each target (include/gmp.h, lib/libgmp.a, share/doc/gmp/ with GMP's licences), and
# source/, Debian's source package as apt fetched it, which a release carries beside the
# editions that hold GMP.
# With BRINDAQ_GMP_SOURCE=<folder of a GMP source tree>, it builds that tree instead, always,
# for rebuilding an edition with another GMP (docs/release.md); give it a BRINDAQ_GMP_CACHE of
# its own.
set -euo pipefail
# Folders that the environment names are taken from where this was started.
own_source=""
[ -z "${BRINDAQ_GMP_SOURCE:-}" ] || own_source=$(realpath -e "$BRINDAQ_GMP_SOURCE")
[ -z "${BRINDAQ_GMP_CACHE:-}" ] || BRINDAQ_GMP_CACHE=$(realpath -m "$BRINDAQ_GMP_CACHE")
cd "$(dirname "$0")/.."

version=$(sed -n 's/^set(BRINDAQ_GMP_VERSION "\(.*\)")$/\1/p' cmake/gmp.cmake)
[ -n "$version" ] || { echo "build-gmp.sh: no BRINDAQ_GMP_VERSION in cmake/gmp.cmake" >&2; exit 1; }
cache=${BRINDAQ_GMP_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brindaq/gmp-$version}

dsc=$cache/source/gmp_$version.dsc

case "${1:-}" in
  --cache)
    echo "$cache"
    exit 0
    ;;
  --source)
    [ -f "$dsc" ] || { echo "build-gmp.sh: no $dsc: build a target first" >&2; exit 1; }
    echo "$dsc"
    sed -n '/^Files:/,/^$/ s|^ [0-9a-f]\{32\} [0-9]\{1,\} \(.*\)$|'"$cache/source/"'\1|p' "$dsc"
    exit 0
    ;;
  windows | web) target=$1 ;;
  *)
    echo "usage: $0 windows | web | --cache | --source" >&2
    exit 2
    ;;
esac

export LC_ALL=C TZ=UTC
build=$(gcc -dumpmachine)
common=(--build="$build" --enable-static --disable-shared --disable-cxx)
case "$target" in
  windows)
    tool=x86_64-w64-mingw32-gcc-posix
    configure=(./configure --host=x86_64-w64-mingw32 "${common[@]}" CC="$tool")
    make=(make)
    ;;
  web)
    # emcc needs acorn, which Debian keeps in /usr/share/nodejs (a Node.js from elsewhere does not
    # look there). Without a malloc'ed alloca, GMP's TMP_ALLOC does not build for WebAssembly.
    export NODE_PATH=/usr/share/nodejs
    tool=emcc
    configure=(emconfigure ./configure --host=none --disable-assembly --enable-alloca=malloc-reentrant
               "${common[@]}" CFLAGS=-O3)
    make=(emmake make)
    ;;
esac
command -v "$tool" >/dev/null || {
  echo "build-gmp.sh: $tool is missing: bash scripts/install-deps.sh all" >&2
  exit 1
}

# What a complete build was made from: the version, the compiler and the configure line. A
# build from anything else (another compiler after an upgrade, other options) is made again.
compiler=$("$tool" --version)
recipe="gmp $version for $target
${compiler%%$'\n'*}
${configure[*]}"
if [ -n "$own_source" ]; then
  recipe+="
from $own_source"
fi
prefix=$cache/$target
ready() { [ -z "$own_source" ] && [ "$(cat "$prefix/complete" 2>/dev/null)" = "$recipe" ]; }
if ready; then
  echo "GMP $version for $target: $prefix"
  exit 0
fi

mkdir -p "$cache"
# One build of a target at a time, also from two checkouts on the machine.
exec 9>"$cache/lock-$target"
flock 9
if ready; then
  echo "GMP $version for $target: $prefix"
  exit 0
fi

for program in dpkg-source m4 apt-get; do
  command -v "$program" >/dev/null || {
    echo "build-gmp.sh: $program is missing: bash scripts/install-deps.sh all" >&2
    exit 1
  }
done

scratch=$cache/scratch-$target
rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
log=$cache/build-$target.log
: >"$log"
# step TITLE COMMAND...: runs the command into the log, timed; on failure, shows the log's end.
step() {
  local title=$1 start=$SECONDS
  shift
  echo "== $title" >>"$log"
  if ! "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "build-gmp.sh: $title failed; the whole log is $log" >&2
    exit 1
  fi
  echo "GMP for $target: $title, $((SECONDS - start)) s"
}

# Debian's source package, as the archive signs it: the .dsc and its tarballs, fetched once for
# both targets.
fetch() {
  local lists=$scratch/apt dsc_name
  mkdir -p "$lists/lists/partial" "$lists/cache/archives/partial" "$scratch/source"
  cat >"$lists/debian-sources.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  local apt=(-o Dir::Etc::SourceList="$lists/debian-sources.sources" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$lists/lists" -o Dir::Cache="$lists/cache"
             -o APT::Sandbox::User="$(id -un)")
  apt-get "${apt[@]}" update
  # Debian gives GMP the epoch 2, which names no file.
  (cd "$scratch/source" && apt-get "${apt[@]}" source --download-only "gmp=2:$version")
  dsc_name=gmp_$version.dsc
  [ -f "$scratch/source/$dsc_name" ] || { echo "no $dsc_name" >&2; return 1; }
  rm -rf "$cache/source"
  mv "$scratch/source" "$cache/source"
}
if [ -z "$own_source" ] && [ ! -f "$dsc" ]; then
  step "fetching Debian's source package of GMP $version with apt" fetch
fi

# Debian's tree, with its patches, or a copy of the one given. Debian's has no doc/ (left out for
# its licence), but configure still writes doc/Makefile: an empty one stands in.
tree=$scratch/gmp
unpack() {
  if [ -n "$own_source" ]; then
    cp -R "$own_source" "$tree"
  else
    dpkg-source -x "$dsc" "$tree"
  fi
  [ -f "$tree/doc/Makefile.in" ] && return
  mkdir -p "$tree/doc"
  printf '%s\n' '# Stands in for the manual, which the Debian source leaves out.' \
    'all install install-data install-exec uninstall check clean distclean mostlyclean maintainer-clean:' \
    '.PHONY: all install install-data install-exec uninstall check clean distclean mostlyclean maintainer-clean' \
    >"$tree/doc/Makefile.in"
}
step "unpacking ${own_source:-$(basename "$dsc")}" unpack

# The same source gives the same library: no time of the build in it, archives without times
# or owners (Debian's binutils and llvm-ar make them so).
if [ -f "$tree/debian/changelog" ]; then
  SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$tree/debian/changelog" -STimestamp)
  export SOURCE_DATE_EPOCH
fi
cd "$tree"
step "configure" "${configure[@]}"
step "make" "${make[@]}" -j"$(nproc)"
step "make install" make install DESTDIR="$scratch/installed" prefix=/gmp

# Only what the project links, and the licences, go into the cache, in place of an earlier
# build only once they are all there; the mark that the build is complete comes last.
result=$scratch/result
mkdir -p "$result/include" "$result/lib" "$result/share/doc/gmp"
cp "$scratch/installed/gmp/include/gmp.h" "$result/include/"
cp "$scratch/installed/gmp/lib/libgmp.a" "$result/lib/"
cp COPYING.LESSERv3 COPYINGv3 COPYINGv2 README "$result/share/doc/gmp/"
[ ! -f debian/copyright ] || cp debian/copyright "$result/share/doc/gmp/"
rm -rf "$prefix"
mv "$result" "$prefix"
printf '%s\n' "$recipe" >"$prefix/complete"
echo "GMP $version for $target: $prefix ($(du -k "$prefix/lib/libgmp.a" | cut -f1) KiB libgmp.a)"
