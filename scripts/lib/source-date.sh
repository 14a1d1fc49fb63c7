# The one time a release writes into its files (the shipped builds' PE stamp,
# the times of the files in the archive and the installer): the time of the
# commit, so that anyone who builds the same commit gets the same bytes.

# A fixed time for trees that are not a git checkout (an unpacked copy).
# 2026-01-01 00:00:00 UTC: zip cannot hold times before 1980.
quorix_fallback_epoch=1767225600

# Prints SOURCE_DATE_EPOCH for the tree at $1: the caller's own value when it
# is set, else the last commit's time when $1 is the top of a git checkout,
# else the fixed time above.
quorix_source_date_epoch() {
  local tree="$1" top
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    [[ "$SOURCE_DATE_EPOCH" =~ ^[0-9]+$ ]] || {
      echo "SOURCE_DATE_EPOCH is not a number of seconds: $SOURCE_DATE_EPOCH" >&2
      return 1
    }
    echo "$SOURCE_DATE_EPOCH"
    return
  fi
  # A copy unpacked inside some other checkout must not take that one's commit.
  top=$(git -C "$tree" rev-parse --show-toplevel 2>/dev/null) &&
    [ "$(cd "$top" && pwd -P)" = "$(cd "$tree" && pwd -P)" ] &&
    git -C "$tree" log -1 --format=%ct 2>/dev/null && return
  echo "$quorix_fallback_epoch"
}
