#!/usr/bin/env bash
# Input over the second monitor's cover follows the saver window's rules: with
# a password a click there opens the wake-up dialog over the saver, with
# "ignore mouse" it does nothing while a key still wakes.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_input

e2e_ini_set password "$(stored_form abc)"
monitors_start_saver
for x in $(seq 415 15 1000); do
  e2e_mouse_move "$x" 300
  sleep 0.05
done
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

e2e_clear_settings
e2e_end
