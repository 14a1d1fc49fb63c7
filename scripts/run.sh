#!/usr/bin/env bash
# Builds the 32-bit saver (the 64-bit one on a machine that starts no 32-bit
# program) and runs it under Wine. With a display ($DISPLAY) it
# runs there until you wake it. Without one it runs a few seconds on a virtual
# display, saves a capture under out/, wakes it and reports the exit code.
# Extra arguments go to the saver (for example -r 12345 to choose the seed).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh >/dev/null || exit 1
source scripts/lib/wine-env.sh
preset=i686
quorix_runs_32bit || preset=x86_64
cmake --preset "$preset" >/dev/null || exit 1
cmake --build --preset "$preset" --target quorix >/dev/null || exit 1
saver="$root/build/$preset/quorix.scr"
# A prefix of its own, apart from the tests'; a server still running from an
# earlier display would hand the saver that display's size, so it starts anew.
export QUORIX_WINEPREFIX="$root/build/wine-run"
unset QUORIX_DISPLAY_24 QUORIX_DISPLAY_8
quorix_wineserver_stop

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: starting the saver on $DISPLAY; move the mouse or press a key to end it"
  quorix_wine_prepare
  wine "$saver" /s "$@"
  code=$?
  echo "run: the saver ended with exit code $code"
  exit "$code"
fi

read -r display xvfb_pid < <(quorix_xvfb_start 24 1024x768) || exit 1
export DISPLAY="$display"
trap 'quorix_wineserver_stop; kill "$xvfb_pid" 2>/dev/null' EXIT
quorix_wine_prepare
quorix_wineserver_start
wine cmd /c exit >/dev/null 2>&1      # a cold start moves the pointer; warm up first
xdotool mousemove 100 100

echo "run: no display; running the saver on virtual display $display (1024x768, 24 bits)"
wine "$saver" /s "$@" &
saver_pid=$!
sleep "${QUORIX_RUN_SECONDS:-5}"
mkdir -p out
capture="out/quorix-$(date +%Y%m%d-%H%M%S).png"
import -window root "$capture"
xdotool mousemove 400 400              # a jump of more than 19 pixels wakes the saver
for _ in $(seq 1 100); do
  kill -0 "$saver_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$saver_pid" 2>/dev/null; then
  echo "run: the saver did not end after the mouse jump" >&2
  kill -9 "$saver_pid"
  exit 1
fi
wait "$saver_pid"
code=$?
echo "run: capture saved to $root/$capture"
echo "run: the saver ended with exit code $code"
exit "$code"
