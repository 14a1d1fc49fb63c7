#!/usr/bin/env bash
# A long run of the saver in the "separate" monitors mode with true colour
# cycling, on the two-monitor Xorg display: effects must go on changing on both
# monitors, and the saver's memory must stay flat. Not a test: it prints what it
# saw and ends with 0 when both held.
# Usage: scripts/soak.sh [BUILD_DIR] [SECONDS]   (default build/x86_64, 300 s)
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/wine-env.sh"
build=$(cd "${1:-$quorix_root/build/x86_64}" && pwd)
seconds=${2:-300}
sample_every=30
[ -f "$build/quorix.scr" ] || { echo "soak: $build/quorix.scr is missing; build first" >&2; exit 1; }

export QUORIX_WINEPREFIX="$quorix_root/build/wine-soak"
read -r display xorg < <(quorix_xorg_start) || { echo "soak: the two-monitor display did not start" >&2; exit 1; }
export QUORIX_DISPLAY_MM=$display QUORIX_DEPTH=mm
cleanup() { quorix_wineserver_stop; kill "$xorg" 2>/dev/null; }
trap cleanup EXIT
quorix_xorg_two_monitors "$display"
quorix_wine_prepare_one
quorix_wine_env
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
printf '[Screen Saver.Quorix]\r\nmonitors=separate\r\ntrue colour cycling=yes\r\n' >"$WINEPREFIX/drive_c/windows/control.ini"
temp="$WINEPREFIX/drive_c/quorix-temp"
rm -f "$temp"/*.txt

xdotool mousemove 400 300
wine "$build/quorix.scr" /s -l -d -r 4242 >/dev/null 2>&1 &
wine_pid=$!
saver=""
for _ in $(seq 100); do
  saver=$(pgrep -f 'quorix\.scr /s' | while read -r pid; do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$pid"; done | head -n 1)
  [ -n "$saver" ] && break
  sleep 0.1
done
[ -n "$saver" ] || { echo "soak: the saver did not start" >&2; exit 1; }

# Resident and private memory of the saver, in KiB.
memory() { awk '/^VmRSS/ { r = $2 } /^RssAnon/ { a = $2 } END { print r, a }' "/proc/$saver/status"; }
effects() {
  local trace="$temp/trace.txt"
  printf '%s %s' "$(grep -ac ', 32b, ' "$trace" 2>/dev/null)" "$(grep -ac '^monitor 2: effect' "$trace" 2>/dev/null)"
}
echo "second  resident KiB  anonymous KiB  effects ended (primary)  effects started (monitor 2)"
first_anon=""
for ((t = 0; t <= seconds; t += sample_every)); do
  [ "$t" -gt 0 ] && sleep "$sample_every"
  kill -0 "$saver" 2>/dev/null || { echo "soak: the saver ended by itself after $t s" >&2; exit 1; }
  read -r rss anon < <(memory)
  read -r ended started < <(effects)
  printf '%6d  %12s  %13s  %23s  %27s\n' "$t" "$rss" "$anon" "$ended" "$started"
  [ -z "$first_anon" ] && [ "$t" -ge 60 ] && first_anon=$anon
  last_anon=$anon
done
xdotool key D x
wait "$wine_pid"
status=$?
read -r ended started < <(effects)
growth=$(( ${last_anon:-0} - ${first_anon:-0} ))
echo "exit code $status; anonymous memory grew by $growth KiB after the first minute"
ok=0
[ "$status" -eq 0 ] || ok=1
# An effect lasts a little over a minute: both monitors must have changed.
[ "$ended" -ge $((seconds / 90)) ] || { echo "soak: too few effects ended on the primary"; ok=1; }
[ "$started" -ge $((seconds / 90 + 1)) ] || { echo "soak: too few effects started on monitor 2"; ok=1; }
# Flat: less than a megabyte after the first minute, whatever the effects drew.
[ "$growth" -lt 1024 ] || { echo "soak: memory grew"; ok=1; }
exit "$ok"
