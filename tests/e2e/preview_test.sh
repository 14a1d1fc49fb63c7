#!/usr/bin/env bash
# "/p HANDLE" without the option, and with it but no window to draw in, ends
# at once with exit code 0 and leaves the host's background alone. With the
# option on, the preview writes a trace only with its own "-l", and "/s"
# started while a preview runs is a full saver run of its own.
source "$(dirname "$0")/preview_lib.sh"
e2e_begin preview

e2e_depth 24
client_pixels=$((152 * 112))

# Runs the host for a short hold and checks that the preview ended during it
# with 0 and that the host's client area kept its background.
ends_at_once() {
  local what="$1"
  shift
  preview_start 4000 "$@"
  local host
  host=$(e2e_wait_window "$PREVIEW_TITLE" 20)
  e2e_check "$what: the host window appears" test -n "$host"
  preview_wait_client
  sleep 2
  local shot="$E2E_OUT/kept-$RANDOM.png"
  preview_capture_client "$shot"
  e2e_eq "$what: the window keeps its background" "$client_pixels" "$(preview_background_pixels "$shot")"
  e2e_check "$what: the host ends after its time" e2e_wait_exit 30
  local ended
  ended=$(preview_value ended_during_hold_ms)
  e2e_check "$what: the preview ends at once ($ended ms after its start)" test "$ended" -ge 0 -a "$ended" -lt 3000
  e2e_eq "$what: exit code" 0 "$(preview_value exit)"
}

e2e_clear_settings
e2e_warm
ends_at_once "option absent" self
e2e_ini_set preview no
ends_at_once "option no" self
e2e_ini_set preview Yes
ends_at_once "option Yes" self

e2e_ini_set preview yes
ends_at_once "option on, a handle that is no window" 4000000000
ends_at_once "option on, handle 0" 0
ends_at_once "option on, no handle" none
ends_at_once "option on, a handle that is no number" abc

# The setting "trace" is for full-screen runs: a preview leaves no trace.
e2e_ini_set trace yes
preview_start 5000 self -r 77
e2e_wait_window "$PREVIEW_TITLE" 20 >/dev/null
e2e_check "option on: the preview runs the host's whole time" e2e_wait_exit 30
e2e_eq "option on: the preview was still running at the end" "-1" "$(preview_value ended_during_hold_ms)"
e2e_check "a preview writes no trace without its own -l" test ! -e "$(e2e_temp)/trace.txt"

# With "-l" it traces its own run; a saver started meanwhile runs as usual.
e2e_ini_set trace no
preview_start 14000 self -r 77 -l
e2e_wait_window "$PREVIEW_TITLE" 20 >/dev/null
preview_wait_client
sleep 2
host_pid=$E2E_PID
e2e_mouse_move 700 500
e2e_start /s -r 4242
saver=$(e2e_wait_window "Quorix ScreenSaver" 20)
e2e_check "/s while a preview runs: the saver window appears" test -n "$saver"
sleep 1
e2e_check "/s while a preview runs: the saver runs" e2e_running
e2e_mouse_move 400 300
e2e_check "/s while a preview runs: a mouse jump ends the saver" e2e_wait_exit 15
e2e_eq "/s while a preview runs: exit code" 0 "$E2E_EXIT"
E2E_PID=$host_pid
e2e_check "the host ends after its time" e2e_wait_exit 30
e2e_eq "the preview outlived the saver run" "-1" "$(preview_value ended_during_hold_ms)"
e2e_eq "the preview's exit code" 0 "$(preview_value exit)"
trace="$(e2e_temp)/trace.txt"
e2e_check "with -l the preview traces its run from its own seed" \
  grep -q "savewin line 431 : app.rand.seed() = 77" "$trace"

e2e_end
