#!/usr/bin/env bash
# Writes an installer from the builds that scripts/package.sh staged in
# build/package: make-installer.sh VERSION COPYRIGHT OUTFILE [TARGET]. The
# shipped one is NSIS's default x86-unicode target, which runs on every
# Windows; the install scenario also makes an amd64-unicode one for machines
# that start no 32-bit program. Stamps with SOURCE_DATE_EPOCH when it is set.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
[ $# -ge 3 ] || { echo "usage: make-installer.sh VERSION COPYRIGHT OUTFILE [TARGET]" >&2; exit 2; }
stage=build/package
for file in quorix-x86.scr quorix-x64.scr LICENSE.txt; do
  [ -f "$stage/$file" ] || { echo "make-installer: $stage/$file is missing: run scripts/package.sh first" >&2; exit 1; }
done
target=()
[ -n "${4:-}" ] && target=("-DTARGET=$4")
rm -f "$3"
makensis -V2 -NOCD \
  "-DVERSION=$1" \
  "-DCOPYRIGHT=$2" \
  "-DSCR_X86=$root/$stage/quorix-x86.scr" \
  "-DSCR_X64=$root/$stage/quorix-x64.scr" \
  "-DLICENSE=$root/$stage/LICENSE.txt" \
  "-DICON=$root/src/res/quorix.ico" \
  "-DOUTFILE=$3" \
  "${target[@]}" \
  scripts/installer/quorix.nsi
