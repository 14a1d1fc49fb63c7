# Shared by the test command, CTest's Wine emulator, the run command and the
# end-to-end harness: where the private Wine prefix lives and how it is prepared.

quorix_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# True when this machine runs 32-bit Windows programs: the i686 build, the
# installer. A kernel without IA-32 emulation starts no 32-bit Linux program,
# Wine's 32-bit loader among them, and setup then leaves that loader out.
# Asked once per run.
quorix_runs_32bit() {
  if [ -z "${QUORIX_RUNS_32BIT:-}" ]; then
    QUORIX_RUNS_32BIT=no
    # Both the kernel and Wine's 32-bit half: setup leaves that out where the
    # kernel refuses 32-bit programs or the i386 packages are out of reach.
    [ -x /usr/lib/wine/wine ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1 && QUORIX_RUNS_32BIT=yes
    export QUORIX_RUNS_32BIT
  fi
  [ "$QUORIX_RUNS_32BIT" = yes ]
}

# The `wine` command (and the tools that start through `wine-stable`) prefers
# the 32-bit loader whenever it is installed; where that loader cannot start,
# every Wine command of ours goes to the 64-bit one.
quorix_wine64_only() {
  local shim="$quorix_root/build/wine64-only" name
  case ":$PATH:" in *":$shim:"*) return 0 ;; esac
  mkdir -p "$shim"
  for name in wine wine-stable; do
    if [ ! -x "$shim/$name" ]; then
      printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name.$$"
      chmod +x "$shim/$name.$$"
      mv -f "$shim/$name.$$" "$shim/$name"
    fi
  done
  export PATH="$shim:$PATH"
  export WINELOADER=/usr/lib/wine/wine64
}

if [ -x /usr/lib/wine/wine64 ] && ! quorix_runs_32bit; then
  quorix_wine64_only
fi

# A second lane of single-monitor displays, with prefixes of their own, lets
# CTest run two such scenarios at once: a scenario with QUORIX_LANE=2 (see
# cmake/windows.cmake) takes the lane's displays, or starts its own when the
# test command gave none.
if [ "${QUORIX_LANE:-}" = 2 ] && [ -z "${QUORIX_LANE_TAKEN:-}" ]; then
  export QUORIX_DISPLAY_24="${QUORIX_DISPLAY_24_LANE2:-}" QUORIX_DISPLAY_8="${QUORIX_DISPLAY_8_LANE2:-}"
  export QUORIX_WINEPREFIX="${QUORIX_WINEPREFIX:-$quorix_root/build/wine}-lane2"
  export QUORIX_LANE_TAKEN=1
fi

# Runs a command with the second lane's displays and prefixes.
quorix_in_lane2() {
  (
    unset QUORIX_LANE_TAKEN QUORIX_DISPLAY_MM QUORIX_DISPLAY_MM8
    export QUORIX_LANE=2
    source "$quorix_root/scripts/lib/wine-env.sh"
    "$@"
  )
}

# Environment for every Wine process of ours. The display follows QUORIX_DEPTH
# (8 or 24) when the test command started displays of both depths, and so does
# the prefix: a prefix (and its server) that serves displays of both depths now
# and then aborts processes on the 8-bit one with X errors. QUORIX_DEPTH=mm
# picks the two-monitor display (QUORIX_DISPLAY_MM) and a prefix of its own,
# since a server keeps the display size it saw first.
quorix_wine_env() {
  export WINEPREFIX="${QUORIX_WINEPREFIX:-$quorix_root/build/wine}-${QUORIX_DEPTH:-24}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  local depth="${QUORIX_DEPTH:-24}"
  local var="QUORIX_DISPLAY_${depth^^}"
  if [ -n "${!var:-}" ]; then
    export DISPLAY="${!var}"
  fi
}

# Creates the prefix once, then keeps it fast to start: no crash dialogs, no
# Mono or Gecko prompts, unmanaged X windows (no 2 s wait for a window manager).
quorix_wine_prepare() {
  quorix_for_each_depth quorix_wine_prepare_one
}

quorix_wine_prepare_one() {
  quorix_wine_env
  if [ ! -f "$WINEPREFIX/.quorix-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.quorix-ready"
  fi
  quorix_wine_temp
}

# Points TEMP of every Wine process at C:\quorix-temp, so tests know where the
# trace file goes. Wine reads TEMP from the prefix's registry, not from Unix.
quorix_wine_temp() {
  mkdir -p "$WINEPREFIX/drive_c/quorix-temp"
  if [ ! -f "$WINEPREFIX/.quorix-temp" ]; then
    wine reg add 'HKCU\Environment' /v TEMP /t REG_SZ /d 'C:\quorix-temp' /f >/dev/null 2>&1
    wine reg add 'HKCU\Environment' /v TMP /t REG_SZ /d 'C:\quorix-temp' /f >/dev/null 2>&1
    # The server these started lingers for 3 s, and `wineserver -p` then
    # leaves it in place instead of starting a persistent one: it would end at
    # the first idle gap, and with it what it holds only in memory (such as a
    # key's refusal of writes). A persistent server never ends: hence the bound.
    timeout 30 wineserver -w 2>/dev/null
    touch "$WINEPREFIX/.quorix-temp"
  fi
}

# Keeps one wineserver alive for the whole test run. Its output goes nowhere:
# a server started from inside a test would otherwise hold CTest's pipe open.
# The first Wine program also starts Wine's own services, which live as long as
# the server and keep the output they inherit: start them here, detached, or
# they hold the pipe of whoever runs the first program (CTest among others).
quorix_wineserver_start() {
  quorix_for_each_depth quorix_wineserver_start_one
}

quorix_wineserver_start_one() {
  quorix_wine_env
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# Stops the two-monitor server too, even when no such display is up any more.
quorix_wineserver_stop() {
  quorix_for_each_depth quorix_wineserver_stop_one
  (export QUORIX_DEPTH=mm; quorix_wineserver_stop_one)
  (export QUORIX_DEPTH=mm8; quorix_wineserver_stop_one)
  quorix_wine_env
}

# Waits for the server to end: one started at once after would find the old
# one still there.
quorix_wineserver_stop_one() {
  quorix_wine_env
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# Runs a command once for each depth's prefix (and the two-monitor one when
# that display is up), then leaves the environment at the depth chosen before.
quorix_for_each_depth() {
  local depth depths=(24 8)
  [ -n "${QUORIX_DISPLAY_MM:-}" ] && depths+=(mm)
  [ -n "${QUORIX_DISPLAY_MM8:-}" ] && depths+=(mm8)
  for depth in "${depths[@]}"; do
    (export QUORIX_DEPTH=$depth; "$@")
  done
  quorix_wine_env
}

# Starts Xvfb with the given depth and size and prints "<display> <pid>".
quorix_xvfb_start() {
  local depth="$1" size="${2:-1024x768}" fifo display="" pid
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  pid=$!
  read -r -t 20 display <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$display" ]; then
    kill "$pid" 2>/dev/null || true
    echo "xvfb: display of depth $depth did not start" >&2
    return 1
  fi
  echo ":$display $pid"
}

# Starts Xorg with the dummy driver as a two-monitor desktop: the primary
# DUMMY0 at 800x600 and DUMMY1 at 640x480 right of it (Xvfb has one output
# only, and Wine learns the monitors through XRandR), of the depth given (24
# when none is). Prints "<display> <pid>".
quorix_xorg_start() {
  local depth="${1:-24}" dir fifo display="" pid
  dir=$(mktemp -d)
  fifo="$dir/displayfd"
  mkfifo "$fifo"
  cat >"$dir/xorg.conf" <<CONF
Section "ServerFlags"
  Option "DontVTSwitch" "true"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth $depth
  SubSection "Display"
    Depth $depth
    Virtual 2048 1024
  EndSubSection
EndSection
CONF
  Xorg -displayfd 3 -config "$dir/xorg.conf" -noreset -nolisten tcp \
    -logfile "$dir/xorg.log" 3>"$fifo" </dev/null >/dev/null 2>&1 &
  pid=$!
  read -r -t 20 display <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$display" ] || ! quorix_xorg_two_monitors ":$display"; then
    kill "$pid" 2>/dev/null || true
    echo "xorg: two-monitor display did not start (log in $dir)" >&2
    return 1
  fi
  echo ":$display $pid"
}

# The closing query makes the server probe its outputs: until then its current
# configuration still reports DUMMY1 as disconnected, and Wine, which reads only
# the current configuration, would see one monitor.
quorix_xorg_two_monitors() {
  local display="$1"
  DISPLAY="$display" xrandr --output DUMMY0 --mode 800x600 &&
    DISPLAY="$display" xrandr --addmode DUMMY1 640x480 &&
    DISPLAY="$display" xrandr --output DUMMY1 --mode 640x480 --right-of DUMMY0 &&
    DISPLAY="$display" xrandr --output DUMMY0 --primary &&
    DISPLAY="$display" xrandr >/dev/null
}
