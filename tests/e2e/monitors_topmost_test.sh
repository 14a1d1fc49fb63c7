#!/usr/bin/env bash
# Over the second monitor the saver is topmost for the whole run, whatever
# "stay on top" says, so that the monitor's own taskbar (a topmost window of
# another program, here a strip along its bottom) stays below it: in the Win32
# z-order the strip comes after the cover (primary only), the mirror (mirror)
# or the saver window (span), each of them topmost. In primary only the saver
# window keeps "stay on top" (off here), also around the options dialog; in
# span it stays topmost under the dialog, which stays above it.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_topmost

# The z-order of the saver's windows, dialogs and the strip, topmost first.
z_order() {
  monitors_probe
  monitors_value zorder
}

# True when the z-order holds windows of CLASS, each topmost and before the
# strip, and the strip.
guards_above_strip() {
  local line="$1" class="$2" entry strip=0 found=0
  for entry in $line; do
    case "$entry" in
      QuorixTaskbarStandIn:*) strip=1 ;;
      "$class:topmost") [ "$strip" = 0 ] || return 1; found=1 ;;
      "$class:"*) return 1 ;;
    esac
  done
  [ "$strip" = 1 ] && [ "$found" = 1 ]
}

# True when the first window of CLASS comes before the first of CLASS2.
comes_before() {
  local line="$1" first="$2" second="$3" entry
  for entry in $line; do
    case "$entry" in
      "$first:"*) return 0 ;;
      "$second:"*) return 1 ;;
    esac
  done
  return 1
}

# Starts the strip and then the saver. Each run has a strip of its own: when
# the saver window goes, Wine activates the strip and gives it the X keyboard
# focus, which the next saver would not take back.
start_strip_and_saver() {
  stand_in_start taskbar 600000
  order=$(z_order)
  e2e_check "$1: the strip is a topmost window over the second monitor ($order)" \
    grep -q 'QuorixTaskbarStandIn:topmost' <<<"$order"
  monitors_start_saver
}

# Checks that the windows of CLASS guard the monitor above the strip: now,
# while the options dialog ("s") is open (the dialog above the saver window)
# and after it; then ends the saver with a key and stops the strip.
check_guards() {
  local mode="$1" class="$2" order
  order=$(z_order)
  e2e_check "$mode: $class is topmost, before the strip ($order)" guards_above_strip "$order" "$class"
  [ "$mode" != primary ] ||
    e2e_check "primary: the saver window is not topmost" grep -q 'WindowsScreenSaverClass:normal' <<<"$order"
  if [ "$mode" != mirror ]; then
    e2e_key s
    wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE" >/dev/null
    order=$(z_order)
    e2e_check "$mode, options dialog: $class stays topmost, before the strip ($order)" \
      guards_above_strip "$order" "$class"
    e2e_check "$mode, options dialog: the dialog is above the saver window" \
      comes_before "$order" '#32770' WindowsScreenSaverClass
    focus_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
    e2e_key Escape
    wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
    order=$(z_order)
    e2e_check "$mode, after the dialog: $class is topmost, before the strip ($order)" \
      guards_above_strip "$order" "$class"
  fi
  e2e_key q
  e2e_check "$mode: a key ends the saver with exit code 0" shell_ended_cleanly
  stand_in_stop
}

# Primary only: the cover guards the monitor; the saver window keeps the
# normal band ("stay on top" is off), also while the options dialog is open.
start_strip_and_saver primary
check_guards primary QuorixMonitorCover

# Mirror: the mirror window guards the monitor.
e2e_ini_set monitors mirror
start_strip_and_saver mirror
check_guards mirror QuorixMonitorMirror

# Span: the saver window itself lies over the monitor and stays topmost under
# the dialog, which it owns.
e2e_ini_set monitors span
start_strip_and_saver span
check_guards span WindowsScreenSaverClass

e2e_clear_settings
e2e_end
