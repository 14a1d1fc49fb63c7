#!/usr/bin/env bash
# Builds the release twice, from two fresh copies of this tree in folders of
# different lengths (or once, beside a tree built from nothing: see below),
# with different time zones, umasks and locales, and checks
# that both give the same bytes: the two quorix.scr builds, the archive, the
# installer and SHA256SUMS (which sha256sum -c must accept). When the tree's
# own build/ and dist/ hold a release, it must be the same too.
# The copies take the working tree as it is, uncommitted files included.
# QUORIX_FRESH_TREE=1 says that this tree's release was itself built from
# nothing (the test command in a fresh clone, as CI runs it): it is then one of
# the two clean builds, and one copy is built. QUORIX_REPRO_JOBS sets the
# builds' parallel jobs (default: one per processor).
# Ends with 0 when all is the same; prints what differs otherwise.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
cd "$root"
source scripts/lib/source-date.sh
started=$(date +%s)

say() { echo "reproducible: $*"; }

# The copies are no git checkouts: their packages get the tree's own time.
# The builds get none, as a plain build of a user gets none.
epoch=$(quorix_source_date_epoch "$root") || exit 1
unset SOURCE_DATE_EPOCH

work=$(mktemp -d "${TMPDIR:-/tmp}/quorix-repro.XXXXXX") || exit 1
copies=("$work/a/quorix" "$work/second-copy/of/the/quorix/tree")
tree_is_a_copy=""
if [ -n "${QUORIX_FRESH_TREE:-}" ] && [ -f build/i686/quorix.scr ] && [ -f dist/SHA256SUMS ]; then
  copies=("$work/second-copy/of/the/quorix/tree")
  tree_is_a_copy=1
fi

# Tracked and untracked files that git does not ignore, as they are on disk.
tree_files() {
  if git rev-parse --show-toplevel >/dev/null 2>&1 &&
    [ "$(git rev-parse --show-toplevel)" = "$root" ]; then
    git ls-files -z --cached --others --exclude-standard |
      while IFS= read -r -d '' f; do
        if [ -e "$f" ] || [ -L "$f" ]; then printf '%s\0' "$f"; fi
      done
  else
    find . -path ./build -prune -o -path ./dist -prune -o -path ./out -prune \
      -o -path ./.git -prune -o \( -type f -o -type l \) -print0
  fi
}

copy_tree() {
  mkdir -p "$1" && tree_files | tar --null -T - -cf - | tar -xf - -C "$1"
}

# Builds the saver of both presets and packages them in the copy at $1.
build_copy() {
  local preset
  cd "$1" || return 1
  for preset in i686 x86_64; do
    cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" --target quorix -j "${QUORIX_REPRO_JOBS:-$(nproc)}" >/dev/null || return 1
  done
  SOURCE_DATE_EPOCH=$epoch bash scripts/package.sh >/dev/null
}

failed=0
for copy in "${copies[@]}"; do
  copy_tree "$copy" || { say "cannot copy the tree to $copy"; exit 1; }
done
say "SOURCE_DATE_EPOCH=$epoch; copies in $work"
if [ -z "$tree_is_a_copy" ]; then
  (umask 022; export TZ=UTC LC_ALL=C; build_copy "${copies[0]}") ||
    { say "the build in ${copies[0]} failed"; exit 1; }
fi
(umask 077; export TZ=Asia/Tokyo LC_ALL=C.UTF-8; build_copy "${copies[-1]}") ||
  { say "the build in ${copies[-1]} failed"; exit 1; }
built=$(date +%s)

version=$(sed -n 's/^#define QUORIX_VERSION_TEXT "\(.*\)"$/\1/p' \
  "${copies[0]}/build/i686/generated/res/version.h")
artefacts=(build/i686/quorix.scr build/x86_64/quorix.scr
  "dist/quorix-$version.zip" "dist/quorix-setup-$version.exe" dist/SHA256SUMS)

# Shows how two files differ: the first differing bytes, the PE headers, and
# whether a copy's folder made its way into them.
show_difference() {
  local one="$1" two="$2"
  cmp -l "$one" "$two" | head -n 8
  if [[ "$one" == *.scr || "$one" == *.exe ]]; then
    diff <(x86_64-w64-mingw32-objdump -p "$one" | tail -n +3) \
      <(x86_64-w64-mingw32-objdump -p "$two" | tail -n +3) | head -n 20
  fi
  local copy
  for copy in "${copies[@]}"; do
    grep -qaF "$copy" "$one" "$two" && say "  the folder $copy is in it"
  done
}

# Compares every artefact of the folder $1 with the first copy's.
compare_with_first() {
  local other="$1" what="$2" file same=0
  for file in "${artefacts[@]}"; do
    if [ ! -f "$other/$file" ] || [ ! -f "${copies[0]}/$file" ]; then
      say "$file is missing in $what"
      failed=$((failed + 1))
    elif cmp -s "${copies[0]}/$file" "$other/$file"; then
      same=$((same + 1))
    else
      say "$file differs between the first copy and $what:"
      show_difference "${copies[0]}/$file" "$other/$file"
      failed=$((failed + 1))
    fi
  done
  say "$same of ${#artefacts[@]} files the same in the first copy and $what"
}

if [ -n "$tree_is_a_copy" ]; then
  say "this tree was built from nothing: it is the second clean build"
  compare_with_first "$root" "this tree's build"
else
  compare_with_first "${copies[1]}" "the second copy"
  if [ -f "dist/quorix-setup-$version.exe" ] && [ -f build/i686/quorix.scr ]; then
    compare_with_first "$root" "this tree's build"
  else
    say "this tree has no release built: only the copies are compared"
  fi
fi

for dir in "${copies[0]}/dist" "$root/dist"; do
  [ -f "$dir/SHA256SUMS" ] || continue
  (cd "$dir" && sha256sum -c SHA256SUMS) | sed "s|^|reproducible: sha256sum -c in $dir: |"
  [ "${PIPESTATUS[0]}" -eq 0 ] || failed=$((failed + 1))
done
sed 's/^/reproducible: SHA256SUMS: /' "${copies[0]}/dist/SHA256SUMS"

ended=$(date +%s)
say "copies built in $((built - started)) s, whole check in $((ended - started)) s"
if [ "$failed" -eq 0 ]; then
  rm -rf "$work"
  say "the same bytes from both copies"
else
  say "$failed differences; the copies stay in $work"
fi
[ "$failed" -eq 0 ]
