#!/usr/bin/env bash
# Options together, through the events of a real desktop. Each row of the
# table turns on a monitor mode, true colour cycling, a display depth and a
# password at once, then meets the events its row asks for: the primary's
# resolution changed and restored, the second monitor off and on, the display
# off and on (the notice sent from another process while the saver draws, as
# Windows sends it), the keys "f", "p" then "P", "+" and "-", and at the end a
# waking key or pointer jump. After each event the saver still runs, every
# monitor is covered, every monitor that shows a picture is lit (as Wine reads
# the screen) and no wake-up dialog has opened; a wrong password leaves all
# that as it was, and the run ends with exit code 0.
#
# The rows are not every combination: every pair of values of any two columns
# occurs in some row, which the scenario checks before it runs them.
source "$(dirname "$0")/monitors_lib.sh"

MATRIX_COLUMNS=(mode cycling depth password resolution second display keys wake)
MATRIX_VALUES=("primary span mirror separate" "no yes" "24 8" "no yes" "no yes" "no yes" "no yes" "no yes"
  "key pointer")
MATRIX_ROWS=(
  "primary  no  24 yes no  yes no  yes pointer"
  "primary  yes 8  no  yes no  yes no  key"
  "span     no  8  no  yes yes no  no  pointer"
  "span     yes 24 yes no  no  yes yes key"
  "mirror   yes 24 yes yes yes yes no  pointer"
  "mirror   no  8  no  no  no  no  yes key"
  "separate yes 24 no  no  no  no  no  pointer"
  "separate no  8  yes yes yes yes yes key"
)
MATRIX_PASSWORD=abc

# Prints each pair of values of two columns that no row holds, as
# "column=value column=value", one a line.
matrix_missing_pairs() {
  printf '%s\n' "${MATRIX_ROWS[@]}" | awk -v columns="${MATRIX_COLUMNS[*]}" -v values="$(printf '%s;' "${MATRIX_VALUES[@]}")" '
    { for (i = 1; i <= NF; i++) row[NR, i] = $i; rows = NR }
    END {
      n = split(columns, name, " ")
      split(values, level, ";")
      for (a = 1; a <= n; a++) for (b = a + 1; b <= n; b++) {
        na = split(level[a], va, " "); nb = split(level[b], vb, " ")
        for (i = 1; i <= na; i++) for (j = 1; j <= nb; j++) {
          found = 0
          for (r = 1; r <= rows && !found; r++) found = row[r, a] == va[i] && row[r, b] == vb[j]
          if (!found) print name[a] "=" va[i] " " name[b] "=" vb[j]
        }
      }
    }'
}

missing=$(matrix_missing_pairs)
# QUORIX_MATRIX_DEPTH=24 or 8 runs the rows of that depth only, so that the
# test command runs the two displays' rows side by side.
matrix_depths=(${QUORIX_MATRIX_DEPTH:-24 8})
monitors_begin "monitors_matrix${QUORIX_MATRIX_DEPTH:+_$QUORIX_MATRIX_DEPTH}" "${matrix_depths[@]}"
e2e_eq "every pair of values of two columns occurs in a row" "" "${missing//$'\n'/; }"

# How many monitors show a picture of the saver's, given the mode and how many
# monitors there are: primary mode shows one, the others show one on each.
matrix_lit_monitors() {
  if [ "$1" = primary ] || [ "$2" = 1 ]; then echo 1; else echo 2; fi
}

# True when the monitors that show a picture are lit as Wine reads the screen:
# spanning, the one picture may lie on either monitor, so both together count.
matrix_lit_once() {
  local mode="$1" monitors="$2" lit
  # Right after the check of the covers, their probe is fresh.
  if [ -n "${MATRIX_PROBED:-}" ]; then MATRIX_PROBED=""; else monitors_probe; fi
  mapfile -t lit < <(monitors_value lit)
  MATRIX_LIT="${lit[*]}"
  case "$mode:$monitors" in
    span:2) [ $((${lit[0]:-0} + ${lit[1]:-0})) -gt 300 ] ;;
    primary:* | *:1) [ "${lit[0]:-0}" -gt 300 ] ;;
    *) [ "${lit[0]:-0}" -gt 300 ] && [ "${lit[1]:-0}" -gt 300 ] ;;
  esac
}

matrix_no_wake_dialog() { ! e2e_window_exists "$VERSIONED_TITLE"; }

# The checks after an event: the saver runs, covers every one of MONITORS,
# shows its pictures lit and has opened no wake-up dialog. False when the
# saver no longer runs, so that the row stops there.
#   matrix_expect ROW-NAME EVENT MODE MONITORS
matrix_expect() {
  local name="$1" event="$2" mode="$3" monitors="$4"
  e2e_check "$name, $event: the saver runs" e2e_running
  e2e_running || return 1
  e2e_check "$name, $event: every monitor is covered" monitors_all_covered "$monitors"
  # A picture may be dark for a moment (a new effect clears the screen): lit
  # once within five seconds is lit.
  local lit=no
  MATRIX_PROBED=1
  e2e_until 5 1 matrix_lit_once "$mode" "$monitors" && lit=yes
  e2e_eq "$name, $event: the monitors with a picture are lit (lit pixels: $MATRIX_LIT)" yes "$lit"
  e2e_check "$name, $event: no wake-up dialog is open" matrix_no_wake_dialog
}

# Tells the saver the display went off or came on; true when it took the notice.
matrix_display() { wine "$QUORIX_BUILD/display_notice.exe" "$1" >/dev/null 2>&1; }

# The lit pixels as Wine reads them, twice half a second apart: equal while
# nothing is drawn.
matrix_holds_still() {
  local before after
  monitors_probe
  before=$(monitors_value lit | tr '\n' ' ')
  sleep 0.5
  monitors_probe
  after=$(monitors_value lit | tr '\n' ' ')
  [ "$before" = "$after" ]
}

# A far jump of the pointer: away from wherever the events left it.
matrix_jump() {
  local x
  x=$(xdotool getmouselocation | sed 's/^x:\([0-9]*\).*/\1/')
  if [ "${x:-0}" -lt 400 ]; then e2e_mouse_move 700 450; else e2e_mouse_move 100 100; fi
}

matrix_wake() { if [ "$1" = pointer ]; then matrix_jump; else e2e_key x; fi; }

# One row: its settings, its saver run, its events in a fixed order.
matrix_run_row() {
  local mode cycling depth password resolution second display keys wake
  read -r mode cycling depth password resolution second display keys wake <<<"$1"
  local name="row $2 ($mode, cycling $cycling, depth $depth, password $password)" window
  monitors_use "$depth"
  quorix_xorg_two_monitors "$DISPLAY"
  e2e_clear_settings
  e2e_ini_set monitors "$mode"
  e2e_ini_set "true colour cycling" "$cycling"
  [ "$password" = yes ] && e2e_ini_set password "$(stored_form "$MATRIX_PASSWORD")"
  # Some effects are dark for a while (a brightness that follows the length of
  # short lines comes out black on a palette display): a seed of its own makes
  # the row's effects the same on every run.
  monitors_start_saver -r $((4342 + $2))
  matrix_expect "$name" "at the start" "$mode" 2 || return 1
  if [ "$keys" = yes ]; then
    e2e_key f p P plus minus
    matrix_expect "$name" "after f, p, P, + and -" "$mode" 2 || return 1
  fi
  if [ "$resolution" = yes ]; then
    xrandr --output DUMMY0 --mode 640x480
    matrix_expect "$name" "the primary at 640x480" "$mode" 2 || return 1
    quorix_xorg_two_monitors "$DISPLAY"
    matrix_expect "$name" "the primary back at 800x600" "$mode" 2 || return 1
  fi
  if [ "$second" = yes ]; then
    xrandr --output DUMMY1 --off
    matrix_expect "$name" "the second monitor off" "$mode" "$(matrix_lit_monitors "$mode" 1)" || return 1
    quorix_xorg_two_monitors "$DISPLAY"
    matrix_expect "$name" "the second monitor back" "$mode" 2 || return 1
  fi
  if [ "$display" = yes ]; then
    e2e_check "$name: the saver takes the notice that the display went off" matrix_display off
    e2e_check "$name, the display off: nothing is drawn" e2e_until 3 0 matrix_holds_still
    e2e_check "$name: the saver takes the notice that the display came on" matrix_display on
    matrix_expect "$name" "the display back on" "$mode" 2 || return 1
  fi
  matrix_wake "$wake"
  if [ "$password" = yes ]; then
    window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
    e2e_check "$name: waking input ($wake) opens the wake-up dialog" test -n "$window"
    e2e_focus "$window"
    e2e_type "not $MATRIX_PASSWORD"
    e2e_key Return
    e2e_check "$name: a wrong password closes the dialog" wait_dialog_gone "$VERSIONED_TITLE"
    matrix_expect "$name" "after a wrong password" "$mode" 2 || return 1
    matrix_wake key
    window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
    e2e_check "$name: the right password ends the run with exit code 0" \
      monitors_answer_password "$window" "$MATRIX_PASSWORD"
  else
    e2e_check "$name: the run ends with exit code 0" shell_ended_cleanly
  fi
}

# Prints the table, with a last column when one is given: FAILED (the failed
# checks of each row, in order).
matrix_print_table() {
  local row values
  e2e_log "$(printf '%-4s' row; printf ' %-10s' "${MATRIX_COLUMNS[@]}" ${1:+"$1"})"
  for ((row = 0; row < ${#MATRIX_ROWS[@]}; row++)); do
    read -ra values <<<"${MATRIX_ROWS[row]}"
    e2e_log "$(printf '%-4s' $((row + 1)); printf ' %-10s' "${values[@]}" ${1:+"${results[row]}"})"
  done
}

e2e_log "the table to run:"
matrix_print_table
results=()
for ((row = 0; row < ${#MATRIX_ROWS[@]}; row++)); do
  # QUORIX_MATRIX_ROWS="3 5" runs only those rows, for a closer look at one.
  read -ra values <<<"${MATRIX_ROWS[row]}"
  if { [ -n "${QUORIX_MATRIX_ROWS:-}" ] && ! [[ " $QUORIX_MATRIX_ROWS " == *" $((row + 1)) "* ]]; } ||
    ! [[ " ${matrix_depths[*]} " == *" ${values[2]} "* ]]; then
    results+=("-")
    continue
  fi
  fails_before=$E2E_FAILS
  matrix_run_row "${MATRIX_ROWS[row]}" $((row + 1))
  # A row that stopped early leaves its saver, running or ended: its exit code is taken.
  if [ -n "$E2E_PID" ]; then
    e2e_running && kill "$E2E_PID" 2>/dev/null
    e2e_wait_exit 10
  fi
  # A saver that ended otherwise, or had to be ended, leaves its server in a
  # state (the keyboard's focus among others) that the next row must not inherit.
  if [ -n "$E2E_EXIT" ] && [ "$E2E_EXIT" != 0 ]; then
    e2e_log "row $((row + 1)): the saver ended with exit code $E2E_EXIT"
    quorix_wineserver_stop_one
    quorix_wineserver_start_one
  fi
  results+=("$((E2E_FAILS - fails_before))")
done

e2e_log "the table that ran, with the failed checks of each row:"
matrix_print_table failed

for depth in "${matrix_depths[@]}"; do
  monitors_use "$depth"
  quorix_xorg_two_monitors "$DISPLAY"
  e2e_clear_settings
done
e2e_end
