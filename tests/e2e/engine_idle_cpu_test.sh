#!/usr/bin/env bash
# Processor use of a running saver, read from /proc: a light configuration, whose
# pace the frame period sets, sleeps between frames; a paused saver, and one
# with its options dialog open, sleep throughout. The figures are reported; the check has a wide margin (half a
# core), and scripts/bench.sh carries the real target.
source "$(dirname "$0")/dialogs_lib.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin engine_idle_cpu
e2e_clear_settings
e2e_warm
hz=$(getconf CLK_TCK)

# Percent of one core that the last started program used over SECONDS.
cpu_percent() {
  local seconds="$1" before after t0 t1
  t0=$(date +%s%N); before=$(awk '{ print $14 + $15 }' "/proc/$E2E_PID/stat")
  sleep "$seconds"
  t1=$(date +%s%N); after=$(awk '{ print $14 + $15 }' "/proc/$E2E_PID/stat")
  awk -v d=$((after - before)) -v hz="$hz" -v ns=$((t1 - t0)) 'BEGIN { printf "%.0f", 100 * d / hz / (ns / 1e9) }'
}

under_half_a_core() { [ "$1" -lt 50 ]; }

e2e_mouse_move 400 300
e2e_start_program "$QUORIX_BUILD/effects_bench.exe" --saver light
e2e_wait_window "$SHELL_TITLE" 30 >/dev/null
sleep 1
light=$(cpu_percent 3)
e2e_log "light configuration: ${light} % of a core"
e2e_check "the light configuration uses under half a core (${light} %)" under_half_a_core "$light"
e2e_key q
e2e_check "the light run ends with exit code 0" shell_ended_cleanly

shell_start_saver /s -r7
e2e_key p f
sleep 1
paused=$(cpu_percent 3)
e2e_log "paused saver: ${paused} % of a core"
e2e_check "a paused saver uses under half a core (${paused} %)" under_half_a_core "$paused"
e2e_key q
e2e_check "the paused run ends with exit code 0" shell_ended_cleanly
shell_stop_saver

shell_start_saver /s -r7
e2e_key s
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")
e2e_check "\"s\" opens the options over the saver" test -n "$window"
sleep 1
dialog=$(cpu_percent 3)
e2e_log "options dialog open: ${dialog} % of a core"
e2e_check "a saver under its options dialog uses under half a core (${dialog} %)" under_half_a_core "$dialog"
e2e_focus "$window"
e2e_key Escape
e2e_check "Cancel closes the options" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_key q
e2e_check "the run ends with exit code 0 after the options" shell_ended_cleanly
shell_stop_saver
e2e_end
