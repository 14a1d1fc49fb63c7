#!/usr/bin/env bash
# Packages the two Windows builds for users: an installer and a plain archive.
#   dist/quorix-setup-VERSION.exe  NSIS installer with both builds
#   dist/quorix-VERSION.zip        quorix-x86.scr, quorix-x64.scr, README.txt, LICENSE.txt
#   dist/SHA256SUMS                the SHA-256 sums of both, as sha256sum writes them
# VERSION is the one the resources were built with (the header CMake writes
# from the project version), so it needs the i686 and x86_64 builds first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
source scripts/lib/source-date.sh

fail() { echo "package: $*" >&2; exit 1; }

# build_define ARCH NAME: a text the resources were built with.
build_define() {
  local header="build/$1/generated/res/version.h"
  [ -f "$header" ] || fail "$header is missing: build the $1 preset first"
  sed -n "s/^#define $2 \"\(.*\)\"\$/\1/p" "$header"
}

version=$(build_define i686 QUORIX_VERSION_TEXT)
[ -n "$version" ] || fail "no version text in the i686 build"
[ "$(build_define x86_64 QUORIX_VERSION_TEXT)" = "$version" ] || fail "the i686 and x86_64 builds carry different versions"
for arch in i686 x86_64; do
  [ -f "build/$arch/quorix.scr" ] || fail "build/$arch/quorix.scr is missing"
done
# The installer names the holder the builds took from LICENSE.
copyright=$(build_define i686 QUORIX_COPYRIGHT)
[ -n "$copyright" ] || fail "no copyright line in the i686 build"
[ "$(build_define x86_64 QUORIX_COPYRIGHT)" = "$copyright" ] || fail "the i686 and x86_64 builds carry different copyright lines"

# The same commit gives the same bytes: strip and makensis stamp with
# SOURCE_DATE_EPOCH instead of the clock, every packed file carries that time
# and the same mode, and zip's local times are taken in UTC.
SOURCE_DATE_EPOCH=$(quorix_source_date_epoch "$root") || fail "no SOURCE_DATE_EPOCH"
export SOURCE_DATE_EPOCH
export TZ=UTC
umask 022

stage=build/package
rm -rf "$stage"
mkdir -p "$stage" dist
# Shipped copies lose their symbols; text files get Windows line ends.
i686-w64-mingw32-strip -o "$stage/quorix-x86.scr" build/i686/quorix.scr
x86_64-w64-mingw32-strip -o "$stage/quorix-x64.scr" build/x86_64/quorix.scr
sed 's/\r*$/\r/' README.md >"$stage/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE.txt"
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

archive="dist/quorix-$version.zip"
rm -f "$archive"
(cd "$stage" && zip -q -X "$root/$archive" quorix-x86.scr quorix-x64.scr README.txt LICENSE.txt)

installer="dist/quorix-setup-$version.exe"
bash scripts/installer/make-installer.sh "$version" "$copyright" "$root/$installer"

for artefact in "$installer" "$archive"; do
  echo "package: $artefact ($(stat -c %s "$artefact") bytes)"
done
sums=dist/SHA256SUMS
(cd dist && sha256sum "${archive#dist/}" "${installer#dist/}") >"$sums"
echo "package: $sums (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
cat "$sums"
