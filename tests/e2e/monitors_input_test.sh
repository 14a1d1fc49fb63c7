#!/usr/bin/env bash
# Input over the second monitor's cover follows the saver window's rules: with
# a password a click there opens the wake-up dialog over the saver, with
# "ignore mouse" it does nothing while a key still wakes. The covers are topmost
# for the whole run; with "stay on top" the saver window is too, lowered around
# the options dialog, and the password dialog over it stays above the covers.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_input

e2e_ini_set password "$(stored_form abc)"
monitors_start_saver
monitors_walk_to 1000
no_wake_dialog() { sleep 0.8; ! e2e_window_exists "$VERSIONED_TITLE"; }
e2e_check "a slow walk onto the second monitor opens no dialog" no_wake_dialog
e2e_click 1
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
e2e_check "with a password a click there opens the password dialog" [ -n "$window" ]
e2e_focus "$window"
e2e_type abc
e2e_key Return
e2e_check "the right password ends the saver with exit code 0" shell_ended_cleanly
e2e_eq "no cover window is left after the password" 0 "$(monitors_cover_count)"

e2e_clear_settings
e2e_ini_set "ignore mouse" yes
monitors_start_saver
e2e_mouse_move 1000 300
e2e_click 1
e2e_click 3
e2e_check "with \"ignore mouse\" a move and clicks there do nothing" shell_still_running
e2e_key Escape
e2e_check "with \"ignore mouse\" a key still wakes it" shell_ended_cleanly
e2e_eq "no cover window is left after the key" 0 "$(monitors_cover_count)"

# "stay on top": the saver window is lowered around the options dialog, the
# covers stay topmost.
e2e_clear_settings
e2e_ini_set "stay on top" yes
e2e_ini_set password "$(stored_form abc)"
monitors_start_saver
# Prints whether the saver and its cover are topmost, e.g. "topmost topmost".
topmost_states() {
  local covers
  covers=$(monitors_covers)
  echo "$(monitors_value saver) ${covers##* }"
}
e2e_eq "with \"stay on top\" the saver and its cover are topmost" "topmost topmost" "$(topmost_states)"
e2e_key s
wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE" >/dev/null
e2e_eq "with the options dialog the saver is lowered, its cover is not" "not-topmost topmost" "$(topmost_states)"
e2e_eq "... and the dialog is above the saver window" "#32770 WindowsScreenSaverClass" \
  "$(monitors_value order | tr ' ' '\n' | grep -v QuorixMonitorCover | tr '\n' ' ' | sed 's/ $//')"
focus_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_key Escape
wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_eq "after it both are topmost again" "topmost topmost" "$(topmost_states)"
e2e_mouse_move 1000 300
e2e_click 1
wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY" >/dev/null
e2e_eq "the password dialog over a topmost saver is above the cover" "#32770" \
  "$(monitors_covers >/dev/null; monitors_value order | cut -d' ' -f1)"
focus_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY"
e2e_type abc
e2e_key Return
e2e_check "the right password ends it" shell_ended_cleanly

e2e_clear_settings
e2e_end
