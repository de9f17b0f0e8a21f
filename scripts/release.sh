#!/usr/bin/env bash
# Builds a release of the current commit into dist/: every edition's files, the source, the
# release notes and SHA256SUMS. The release is built from the commit itself (git archive), never
# from the work tree, so it holds no file that git does not track, and the same commit gives the
# same bytes wherever it is built: times come from the commit (SOURCE_DATE_EPOCH), the build path
# is mapped away, archives are sorted with fixed owners. The Windows and browser editions hold
# GMP, linked in statically, so the release also carries GMP's source as they are built from it:
# Debian's source package, as apt fetched it into the cache of scripts/build-gmp.sh.
#   bash scripts/release.sh        (after bash scripts/install-deps.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

if [ -n "$(git status --porcelain --untracked-files=all)" ]; then
  echo "release.sh: the work tree differs from the last commit; commit or stash these first:" >&2
  git status --short --untracked-files=all >&2
  exit 1
fi

version=$(sed -n 's/^project(brindaq VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022  # the archives keep the modes of the files they hold
commit=$(git rev-parse --short=12 HEAD)
echo "Release $version of $commit, dated $(date -u -d "@$SOURCE_DATE_EPOCH" +%F)"
SECONDS=0

# The commit's files, in a folder named as the source archive names it.
work=$top/build/release
source_dir=$work/brindaq-$version
dist=$top/dist
rm -rf "$work" "$dist"
mkdir -p "$source_dir" "$dist"
git archive --format=tar HEAD | tar -x -C "$source_dir"
git archive --format=tar --prefix="brindaq-$version/" HEAD | gzip -9n >"$dist/brindaq-$version.tar.gz"

# The notes of VERSION, from its entry in data/changelog: the date, then the entry's items.
release_notes() {
  awk -v version="$1" '
    $0 ~ "^brindaq \\(" version "\\)" { inside = 1; next }
    inside && /^ -- / { sub(/^ -- [^>]*>  /, ""); date = $0; exit }
    inside && /^  \* / { sub(/^  \* /, ""); items = items "- " $0 "\n"; next }
    inside && /^    / { sub(/^    /, "  "); items = items $0 "\n"; next }
    END {
      if (date == "") { print "no changelog entry for " version > "/dev/stderr"; exit 1 }
      printf "# QUARVEL %s\n\nReleased %s.\n\n%s", version, date, items
      printf "\nCheck what you downloaded against the checksums: sha256sum -c --ignore-missing SHA256SUMS\n"
    }' data/changelog
}

# A sorted archive with fixed owners and times, compressed without a name or time of its own.
#   pack ARCHIVE FOLDER NAME    packs FOLDER/NAME as NAME/...
pack() {
  tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$SOURCE_DATE_EPOCH" \
    --pax-option=exthdr.name=%d/PaxHeaders/%f,delete=atime,delete=ctime --format=posix \
    -C "$2" -cf - "$3" | gzip -9n >"$1"
}

cd "$source_dir"

echo "== Debian package"
cmake --preset release-linux >/dev/null
cmake --build --preset release-linux
(cd build/release-linux && cpack -G DEB >/dev/null)
cp "build/release-linux/brindaq_${version}_amd64.deb" "$dist/"

echo "== browser edition and npm package"
bash scripts/build-gmp.sh web
cmake --preset release-web >/dev/null
cmake --build --preset release-web
rm -rf "$work/web" && mkdir -p "$work/web"
cp -R build/release-web/site "$work/web/brindaq-$version-web"
pack "$dist/brindaq-$version-web.tar.gz" "$work/web" "brindaq-$version-web"
cp build/release-web/brindaq-*.tgz "$dist/"

echo "== Windows"
bash scripts/build-gmp.sh windows
cmake --preset release-windows >/dev/null
cmake --build --preset release-windows
cp "build/release-windows/brindaq-$version-windows-x86_64.zip" \
   "build/release-windows/brindaq-$version-windows-x86_64-setup.exe" "$dist/"

echo "== GMP's source"
gmp_source=$(bash scripts/build-gmp.sh --source)
mapfile -t gmp_source <<<"$gmp_source"
cp "${gmp_source[@]}" "$dist/"

cd "$top"
release_notes "$version" >"$dist/brindaq-$version-release-notes.md"
(cd "$dist" && sha256sum -- * >SHA256SUMS)

echo "== dist/ ($SECONDS s)"
(cd "$dist" && ls -l --time-style=+ -- * | awk '{print $5, $6}' && cat SHA256SUMS)
