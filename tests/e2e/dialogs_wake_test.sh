#!/usr/bin/env bash
# Password protection over the running saver: Windows is told a saver runs,
# system commands are swallowed, the wake-up dialog takes wrong passwords,
# Cancel and Alt+F4 without ending the saver, and ends it on the right password
# in any mix of cases.
source "$(dirname "$0")/dialogs_lib.sh"
e2e_begin dialogs_wake
e2e_clear_settings
dialog_probe reset-saver-running saver >/dev/null

# Sets a password through "/a", typed as given.
set_password() {
  change_password 1 "$1" "$2" "$2"
  e2e_wait_exit 10
}

# Starts the saver with the pointer parked, and waits for its window.
start_saver() {
  e2e_warm
  e2e_mouse_move 400 300
  e2e_start /s
  e2e_wait_window "$PLAIN_TITLE" 15 >/dev/null
  sleep 1
}

# A key wakes the saver; prints the X window id of the wake-up dialog.
wake_up() {
  e2e_key x
  wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY"
}

wake_dialog_shown() { dialog_probe exists "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY" >/dev/null; }

# -- Without a password nothing is told to Windows and system commands pass.
start_saver
e2e_eq "no password: Windows is not told that a saver runs" 0 "$(dialog_probe saver-running saver)"
e2e_eq "no password: a system command reaches the window" 1 "$(dialog_probe minimize-saver saver)"
kill "$E2E_PID" 2>/dev/null
e2e_wait_exit 10

# -- With a password: wrong entries, Cancel and Alt+F4 leave the saver running.
set_password "" "Open Sesame"
start_saver
e2e_check "the saver runs" e2e_running
e2e_eq "a password: Windows is told that a saver runs" 1 "$(dialog_probe saver-running saver)"
e2e_eq "a password: a system command is swallowed" 0 "$(dialog_probe minimize-saver saver)"

window=$(wake_up)
e2e_check "a key opens the wake-up dialog instead of ending the saver" test -n "$window"
e2e_eq "the wake-up dialog is owned by the saver window" "$PLAIN_TITLE" \
  "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")"
e2e_eq "the entry has the focus" "$ID_PASSWORD_ENTRY" "$(dialog_probe focus "$VERSIONED_TITLE")"
e2e_focus "$window"
e2e_type "open says me"
save_screenshot password "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY"
e2e_key Return
e2e_check "a wrong password closes the dialog" wait_dialog_gone "$VERSIONED_TITLE"
sleep 0.5
e2e_check "... and the saver goes on" e2e_running

window=$(wake_up)
e2e_check "the dialog opens again" test -n "$window"
e2e_focus "$window"
e2e_key Escape
e2e_check "Cancel closes the dialog" wait_dialog_gone "$VERSIONED_TITLE"
sleep 0.5
e2e_check "... and the saver goes on" e2e_running

window=$(wake_up)
e2e_focus "$window"
e2e_key alt+F4
sleep 1
e2e_check "Alt+F4 leaves the wake-up dialog open" wake_dialog_shown
e2e_check "... and the saver running" e2e_running
e2e_focus "$window"
e2e_type "oPEN sESAME"
e2e_key Return
e2e_check "the right password in other capitals ends the saver" e2e_wait_exit 10
e2e_eq "exit code of the protected run" 0 "$E2E_EXIT"
e2e_eq "at the end Windows is told that no saver runs" 0 "$(dialog_probe saver-running saver)"

# -- The longest password can be typed in full into the narrow entry box.
set_password "open sesame" "Nineteen Characters"
start_saver
window=$(wake_up)
e2e_focus "$window"
e2e_type "NINETEEN characters"
e2e_key Return
e2e_check "a 19-character password ends the saver" e2e_wait_exit 10

e2e_end
