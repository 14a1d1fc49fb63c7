#!/usr/bin/env bash
# The options dialog over the running saver (key "s"): Cancel changes nothing,
# Save writes the options, and the saver applies them at once and starts a new
# effect (counted in the trace, which "-l" turns on and the key "D" keeps).
source "$(dirname "$0")/dialogs_lib.sh"
e2e_begin dialogs_saver_options
e2e_clear_settings

# The key "s" opens the options; prints the X window id of the dialog.
open_options() {
  e2e_key s
  wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
}

# Moves the pointer far and clicks, which wakes a saver that minds the mouse.
shake_mouse() {
  e2e_mouse_move 100 100
  sleep 0.3
  e2e_mouse_move 700 500
  e2e_click 1
  sleep 1
}

# Effects started so far, by their trace entries.
effects_started() {
  cat "$(e2e_temp)/trace.txt" 2>/dev/null | grep -c ' : svr = '
}

e2e_warm
e2e_mouse_move 400 300
e2e_start /s -l
e2e_wait_window "$PLAIN_TITLE" 15 >/dev/null
sleep 1
e2e_key shift+d
e2e_eq "one effect runs at the start" 1 "$(effects_started)"

# -- Cancel: nothing written, the effect goes on.
window=$(open_options)
e2e_check "\"s\" opens the options over the running saver" test -n "$window"
e2e_eq "... owned by the saver window" "$PLAIN_TITLE" "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")"
e2e_focus "$window"
e2e_key alt+w
e2e_key Escape
e2e_check "Cancel closes the options" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_check "... and writes nothing" test -z "$(e2e_ini_get "ignore mouse")"
e2e_check "the saver goes on after the options" e2e_running
sleep 0.5
e2e_eq "... with the same effect" 1 "$(effects_started)"

# -- Save: "ignore mouse" written and applied, so the mouse no longer wakes it.
window=$(open_options)
e2e_focus "$window"
# Tab from Save reaches the first box; Space checks it.
e2e_key Tab Tab space
e2e_eq "Tab and Space check the second box" 1 "$(dialog_probe checked "$VERSIONED_TITLE" "$ID_IGNORE_MOUSE")"
e2e_key alt+s
e2e_check "Save closes the options" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_eq "Save writes \"ignore mouse\"" yes "$(e2e_ini_get "ignore mouse")"
e2e_eq "Save writes \"hide mouse\"" no "$(e2e_ini_get "hide mouse")"
sleep 0.5
e2e_eq "Save starts a new effect" 2 "$(effects_started)"
shake_mouse
e2e_check "the saved option applies at once: the mouse does not wake the saver" e2e_running
e2e_key x
e2e_check "a key still ends it" e2e_wait_exit 10
e2e_eq "exit code" 0 "$E2E_EXIT"

e2e_end
