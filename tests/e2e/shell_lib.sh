# Helpers shared by the shell's scenarios (sourced after harness.sh).

SHELL_TITLE="Quorix ScreenSaver"

# Starts quorix.scr with the pointer at 400,300 and waits until its window shows.
shell_start_saver() {
  e2e_mouse_move 400 300
  e2e_start "$@"
  SHELL_WINDOW=$(e2e_wait_window "$SHELL_TITLE" 30)
  sleep 0.5
}

# True when the saver still runs a moment after the last input.
shell_still_running() {
  sleep 0.8
  e2e_running
}

# True when the saver ends by itself within a few seconds with exit code 0.
shell_ended_cleanly() {
  e2e_wait_exit 10 && [ "$E2E_EXIT" = 0 ]
}

# Ends a saver that a check expected to keep running.
shell_stop_saver() {
  if e2e_running; then
    e2e_key q
    e2e_wait_exit 10 || true
  fi
}

shell_no_saver_window() {
  ! e2e_window_exists "$SHELL_TITLE"
}

# Runs quorix.scr in the foreground; true when it ends within SECONDS with code 0.
shell_ends_at_once() {
  local seconds="$1"
  shift
  local log status
  log="$(e2e_temp)/ends-at-once.log"
  timeout "$seconds" wine "$QUORIX_BUILD/quorix.scr" "$@" >"$log" 2>&1
  status=$?
  # A failure here has been Wine's own, seldom: keep what it said.
  if [ "$status" -ne 0 ]; then
    echo "shell_ends_at_once $*: exit code $status (124: still running), Wine said:" >&2
    tail -n 5 "$log" >&2
  fi
  return "$status"
}

# Asks the probe program about the running saver or the build; its report lines
# land in $(e2e_temp)/shell_probe.txt.
shell_probe() {
  rm -f "$(e2e_temp)/shell_probe.txt"
  wine "$QUORIX_BUILD/shell_probe.exe" "$1" >/dev/null 2>&1
}

shell_probe_value() {
  tr -d '\r' <"$(e2e_temp)/shell_probe.txt" | sed -n "s/^$1=//p"
}

# True when the X cursor is "shown" or "hidden" as asked.
shell_cursor_is() {
  [ "$(python3 "$(dirname "${BASH_SOURCE[0]}")/shell_cursor.py")" = "$1" ]
}

# Retries a command for up to five seconds: keys reach the saver asynchronously.
shell_eventually() {
  local tries
  for tries in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

shell_ini_is() {
  [ "$(e2e_ini_get "$1")" = "$2" ]
}

shell_ini_lacks() {
  ! e2e_ini_get "$1" >/dev/null
}
