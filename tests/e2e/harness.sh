# End-to-end harness: drives real Win32 programs under Wine on Xvfb.
# A scenario sources this file, calls e2e_begin NAME, runs its checks and ends
# with e2e_end, whose exit status is the scenario's result.

e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$e2e_here/../../scripts/lib/wine-env.sh"

E2E_NAME=""
E2E_CHECKS=0
E2E_FAILS=0
E2E_PID=""
E2E_EXIT=""
E2E_OWN_PIDS=()
E2E_SECTION="Screen Saver.Quorix"

e2e_log() { echo "[$E2E_NAME] $*"; }

# Prepares displays (its own when the test command gave none), the prefix, a
# running wineserver and an empty TEMP folder; artefacts go to $E2E_OUT.
# e2e_begin NAME [DEPTH...]: the depths the scenario uses (24 and 8 when none
# are given; mm for the two-monitor display). Only theirs are touched, so a
# scenario on another display can run at the same time.
e2e_begin() {
  E2E_NAME="$1"
  shift
  local depths=("$@")
  E2E_FIRST_DEPTH="${1:-${QUORIX_DEPTH:-24}}"
  [ "${#depths[@]}" -gt 0 ] || depths=(24 8)
  : "${QUORIX_BUILD:?QUORIX_BUILD must name the build directory}"
  E2E_OUT="$QUORIX_BUILD/e2e-out/$E2E_NAME"
  rm -rf "$E2E_OUT"
  mkdir -p "$E2E_OUT"
  trap e2e_cleanup EXIT
  local depth display pid
  for depth in "${depths[@]}"; do
    [[ "$depth" =~ ^[0-9]+$ ]] || continue
    local var="QUORIX_DISPLAY_$depth"
    if [ -z "${!var:-}" ]; then
      read -r display pid < <(quorix_xvfb_start "$depth" 800x600) || return 1
      export "$var=$display"
      E2E_OWN_PIDS+=("$pid")
    fi
  done
  # Each depth has its prefix, so its own TEMP folder and control.ini. Both
  # start empty of the saver's files and settings, whatever ran before.
  for depth in "${depths[@]}"; do
    e2e_depth "$depth"
    quorix_wine_prepare_one
    quorix_wineserver_start_one
    rm -rf "$(e2e_temp)"
    mkdir -p "$(e2e_temp)"
    e2e_clear_settings
    e2e_no_window_left
  done
  e2e_depth "$E2E_FIRST_DEPTH"
  e2e_log "begin on display $DISPLAY (depth $QUORIX_DEPTH)"
}

# A saver window or dialog that an earlier scenario left open on this display
# makes the next saver or settings dialog end at once, as a second instance
# does: such a run is named here and its prefix's programs are ended, instead
# of failing later checks for no visible reason.
e2e_no_window_left() {
  local waited=0 left
  while left=$(xdotool search --name "^Quorix ScreenSaver( Version .*)?\$" 2>/dev/null | tr '\n' ' ') &&
    [ -n "$left" ]; do
    if [ "$waited" -ge 50 ]; then
      local window pid
      for window in $left; do
        pid=$(xdotool getwindowpid "$window" 2>/dev/null)
        e2e_log "left open on $DISPLAY: \"$(xdotool getwindowname "$window" 2>/dev/null)\" of $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | sed 's/ *$//' | grep . || echo "an unknown process")"
      done
      e2e_log "ending the programs of $WINEPREFIX"
      quorix_wineserver_stop_one
      quorix_wineserver_start_one
      return 0
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
}

# Chooses the display of the given depth (8 or 24) for what follows.
e2e_depth() {
  export QUORIX_DEPTH="$1"
  quorix_wine_env
}

# The Unix path of the folder that Wine programs see as TEMP.
e2e_temp() { echo "$WINEPREFIX/drive_c/quorix-temp"; }

e2e_ini_file() { echo "$WINEPREFIX/drive_c/windows/control.ini"; }

# Prints the value of KEY in $E2E_SECTION; fails when the key is absent.
e2e_ini_get() {
  local file
  file=$(e2e_ini_file)
  [ -f "$file" ] || return 1
  awk -v section="[$E2E_SECTION]" -v key="$1" '
    { sub(/\r$/, "") }
    /^\[/ { inside = (tolower($0) == tolower(section)); next }
    inside {
      split($0, pair, "=")
      if (tolower(pair[1]) == tolower(key)) { print substr($0, length(pair[1]) + 2); found = 1; exit }
    }
    END { exit found ? 0 : 1 }' "$file"
}

# Lists the keys of $E2E_SECTION, one a line.
e2e_ini_keys() {
  local file
  file=$(e2e_ini_file)
  [ -f "$file" ] || return 0
  awk -v section="[$E2E_SECTION]" '
    { sub(/\r$/, "") }
    /^\[/ { inside = (tolower($0) == tolower(section)); next }
    inside && /=/ { split($0, pair, "="); print pair[1] }' "$file"
}

# Sets KEY to VALUE in $E2E_SECTION (no program of ours may be running).
e2e_ini_set() {
  local file tmp
  file=$(e2e_ini_file)
  tmp=$(mktemp)
  touch "$file"
  awk -v section="[$E2E_SECTION]" -v key="$1" -v value="$2" '
    { sub(/\r$/, "") }
    /^\[/ {
      if (inside && !done) { print key "=" value; done = 1 }
      inside = (tolower($0) == tolower(section))
      if (inside) seen = 1
      print; next
    }
    inside { split($0, pair, "="); if (tolower(pair[1]) == tolower(key)) { if (!done) print key "=" value; done = 1; next } }
    { print }
    END {
      if (!seen) print section
      if (!done) print key "=" value
    }' "$file" | sed 's/$/\r/' >"$tmp"
  mv "$tmp" "$file"
}

# The per-user key that holds the settings where control.ini cannot be written.
E2E_USER_KEY='HKCU\Control Panel\Screen Saver.Quorix'

# Prints a registry value (KEY NAME [VIEW: 32 or 64]); fails when it is absent.
e2e_reg_value() {
  local out
  out=$(wine reg query "$1" /v "$2" ${3:+"/reg:$3"} 2>/dev/null | tr -d '\r') || return 1
  awk -v name="$2" '{ line = $0; sub(/^[ \t]+/, "", line) }
    substr(line, 1, length(name)) == name && substr(line, length(name) + 1) ~ /^[ \t]+REG_/ {
      line = substr(line, length(name) + 1); sub(/^[ \t]+REG_[A-Z_]+[ \t]*/, "", line)
      print line; found = 1 }
    END { exit found ? 0 : 1 }' <<<"$out"
}

e2e_reg_key_absent() {
  ! wine reg query "$1" ${2:+"/reg:$2"} >/dev/null 2>&1
}

# Removes the whole $E2E_SECTION, as on a first run, and the per-user key (the
# registry file names it once the server has saved it; a scenario that made it
# deletes it itself).
e2e_clear_settings() {
  local file tmp
  file=$(e2e_ini_file)
  if grep -qF 'Control Panel\\Screen Saver.Quorix]' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg delete "$E2E_USER_KEY" /f >/dev/null 2>&1
  fi
  [ -f "$file" ] || return 0
  tmp=$(mktemp)
  awk -v section="[$E2E_SECTION]" '
    { line = $0; sub(/\r$/, "", line) }
    /^\[/ { inside = (tolower(line) == tolower(section)) }
    !inside { print }' "$file" >"$tmp"
  mv "$tmp" "$file"
}

# Starts quorix.scr with the given arguments in the background.
e2e_start() {
  e2e_start_program "$QUORIX_BUILD/quorix.scr" "$@"
}

# Starts a Windows program in the background; e2e_wait_exit collects it.
# Wine joins the arguments with spaces into the command line (quoting any that
# hold a space), so pass the words of a command line as separate arguments.
e2e_start_program() {
  local program="$1"
  shift
  E2E_EXIT=""
  wine "$program" "$@" &
  E2E_PID=$!
}

# True while the last started program runs.
e2e_running() {
  [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null
}

# Waits for the last started program to end and sets E2E_EXIT to its exit code.
# Fails (and kills the program) when it is still running after SECONDS.
e2e_wait_exit() {
  local seconds="${1:-10}" waited=0
  while e2e_running; do
    if [ "$waited" -ge $((seconds * 10)) ]; then
      e2e_log "still running after ${seconds}s"
      kill -9 "$E2E_PID" 2>/dev/null
      wait "$E2E_PID" 2>/dev/null
      E2E_EXIT="timeout"
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$E2E_PID" 2>/dev/null
  E2E_EXIT=$?
  E2E_PID=""
  return 0
}

# Prints the X window id of the first window with exactly this title.
e2e_wait_window() {
  local title="$1" seconds="${2:-10}" waited=0 id
  while [ "$waited" -lt $((seconds * 10)) ]; do
    id=$(xdotool search --name "^${title}\$" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  return 1
}

# Runs the command until it succeeds, at most TRIES times with PAUSE seconds
# between: e2e_until TRIES PAUSE COMMAND [ARG...]. False when it never did.
e2e_until() {
  local tries="$1" pause="$2" try
  shift 2
  for ((try = 1; try <= tries; try++)); do
    "$@" && return 0
    [ "$try" -lt "$tries" ] && sleep "$pause"
  done
  return 1
}

# True when a window with exactly this title exists now.
e2e_window_exists() {
  [ -n "$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)" ]
}

# Keyboard focus to a window (dialogs need it before they take typed keys).
e2e_focus() { xdotool windowfocus --sync "$1"; }

e2e_key() { xdotool key --delay 30 "$@"; }

e2e_type() { xdotool type --delay 30 -- "$1"; }

e2e_mouse_move() { xdotool mousemove "$1" "$2"; }

e2e_click() { xdotool click "${1:-1}"; }

# Runs a trivial Wine program: after a cold start Wine moves the X pointer to
# the screen centre, so warm up before placing the pointer for a test.
e2e_warm() {
  wine cmd /c exit >/dev/null 2>&1
}

# Saves a PNG of the whole screen.
e2e_capture() { import -window root "$1"; }

# Prints "R G B" (0-255) of one pixel of a capture.
e2e_pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# Prints the number of pixels of a capture that are not black.
e2e_lit_pixels() {
  convert "$1" -fill white +opaque black -fill black -opaque black -format '%[fx:int(mean*w*h+0.5)]' info:
}

# A trace as two runs of one seed write it alike: the date, the minutes since
# start and whether a message happened to be waiting are masked.
e2e_normalised_trace() {
  sed -E -e 's/^[0-9]{2}-[A-Za-z]{3}-[0-9]{4}( [0-9:]{8})?, /DATE, /' \
    -e 's/(dur = )[0-9]+$/\1N/' \
    -e 's/(no_msg\(\) = )[01]$/\1F/' \
    -e 's/(<< \*current_saver = )[01]$/\1F/' "$1"
}

# Counts a check: runs the command, records a failure with the description.
e2e_check() {
  local description="$1"
  shift
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if "$@"; then
    e2e_log "ok   $description"
  else
    E2E_FAILS=$((E2E_FAILS + 1))
    e2e_log "FAIL $description"
  fi
}

e2e_eq() {
  local description="$1" expected="$2" actual="$3"
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if [ "$expected" = "$actual" ]; then
    e2e_log "ok   $description"
  else
    E2E_FAILS=$((E2E_FAILS + 1))
    e2e_log "FAIL $description: expected '$expected', got '$actual'"
  fi
}

# Ends every process this scenario started, by its own id.
e2e_cleanup() {
  if e2e_running; then
    kill -9 "$E2E_PID" 2>/dev/null
    wait "$E2E_PID" 2>/dev/null
  fi
  local pid
  for pid in "${E2E_OWN_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
  done
  E2E_OWN_PIDS=()
}

e2e_end() {
  e2e_cleanup
  trap - EXIT
  e2e_log "$((E2E_CHECKS - E2E_FAILS)) passed, $E2E_FAILS failed"
  [ "$E2E_FAILS" -eq 0 ] && [ "$E2E_CHECKS" -gt 0 ]
}
