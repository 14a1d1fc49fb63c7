#!/usr/bin/env bash
# Makes docs/captures/cycling.gif: the real quorix.scr with "true colour
# cycling" on, on a 24-bit virtual display of its own, captured a few times a
# second while the second effect of seed 331 ("f") cycles the colour it filled
# the screen with. Needs a build of the i686 preset.
# Usage: scripts/make-cycling-gif.sh [BUILD_DIR]   (default build/i686)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/wine-env.sh"

build=$(cd "${1:-$quorix_root/build/i686}" && pwd)
scr="$build/quorix.scr"
[ -f "$scr" ] || { echo "gif: $scr is missing; build first" >&2; exit 1; }
out="$quorix_root/docs/captures/cycling.gif"
frames=30          # at about 8 a second: a little under four seconds
size=640x480

export QUORIX_WINEPREFIX="$quorix_root/build/wine-gif"
unset QUORIX_DISPLAY_8
read -r display xvfb_pid < <(quorix_xvfb_start 24 "$size")
export QUORIX_DISPLAY_24="$display" QUORIX_DEPTH=24
work=$(mktemp -d)
saver_pid=""
cleanup() {
  [ -z "$saver_pid" ] || kill "$saver_pid" 2>/dev/null
  quorix_wineserver_stop
  kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
quorix_wine_env
quorix_wine_prepare_one
# A server may still run from preparing a new prefix, and then -p says so.
quorix_wineserver_start_one || true
wine cmd /c exit >/dev/null 2>&1      # a cold start moves the pointer; warm up first
xdotool mousemove 10 10

printf '[Screen Saver.Quorix]\r\ntrue colour cycling=yes\r\n' >"$WINEPREFIX/drive_c/windows/control.ini"
wine "$scr" /s -r 331 &
saver_pid=$!
for ((i = 0; i < 100; i++)); do
  xdotool search --name '^Quorix ScreenSaver$' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1
xdotool key f
sleep 1
for ((i = 0; i < frames; i++)); do
  import -window root "$work/$(printf '%03d' "$i").png"
  sleep 0.05
done
xdotool key x
wait "$saver_pid" || true
saver_pid=""

convert -delay 12 -loop 0 "$work"/*.png -resize 50% -colors 128 -layers Optimize "$out"
bytes=$(stat -c %s "$out")
echo "gif: $out, $frames frames, $bytes bytes"
[ "$bytes" -lt $((2 * 1024 * 1024)) ] || { echo "gif: larger than 2 MB" >&2; exit 1; }
