#!/usr/bin/env bash
# Another program taking the foreground (as the Windows key's Start menu, or a
# program activating itself) is waking input: without a password the saver
# ends with exit code 0 within a second, also with "ignore mouse"; with one,
# the password dialog opens in front and the right password ends it, also
# when the options dialog was open, which ends as Cancel. The saver's own
# dialogs and a second "/s" do not wake it.
source "$(dirname "$0")/dialogs_lib.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin dialogs_foreground 24
e2e_clear_settings
e2e_warm

# Another program takes the foreground while the saver runs; prints how many
# milliseconds after that the saver window was gone, -1 when it stayed.
take_foreground() {
  stand_in_start foreground "${1:-3000}"
  e2e_until 50 0.1 stand_in_value foreground >/dev/null
  e2e_eq "$2: the other program got the foreground" 1 "$(stand_in_value foreground)"
}

# Waits for the stand-in's verdict on the saver window and checks it.
gone_within_a_second() {
  local gone
  e2e_until 100 0.1 stand_in_value saver_gone_ms >/dev/null
  gone=$(stand_in_value saver_gone_ms)
  e2e_check "$1: the saver window goes within a second ($gone ms)" test "${gone:--1}" -ge 0 -a "${gone:--1}" -lt 1000
}

shell_start_saver /s
e2e_check "no password: the saver runs" e2e_running
take_foreground 3000 "no password"
e2e_check "no password: the run ends with exit code 0" shell_ended_cleanly
gone_within_a_second "no password"
stand_in_stop

e2e_ini_set "ignore mouse" yes
shell_start_saver /s
take_foreground 3000 "\"ignore mouse\""
e2e_check "\"ignore mouse\": the run ends with exit code 0" shell_ended_cleanly
gone_within_a_second "\"ignore mouse\""
stand_in_stop

# The saver's own activation changes: the options dialog ("s") and a second
# "/s", which finds the first and ends at once.
e2e_clear_settings
shell_start_saver /s
e2e_key s
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")
e2e_check "\"s\" opens the options dialog" test -n "$window"
e2e_focus "$window"
e2e_key Escape
e2e_check "... which Cancel closes" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_check "... leaving the saver running" shell_still_running
e2e_check "a second /s ends at once" shell_ends_at_once 20 /s
e2e_check "... leaving the first running" shell_still_running
e2e_key q
e2e_check "a key still ends it with exit code 0" shell_ended_cleanly

# With a password the other program only makes the saver ask.
e2e_ini_set password "$(stored_form abc)"
shell_start_saver /s
take_foreground 6000 "a password"
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
e2e_check "a password: the password dialog opens instead" test -n "$window"
e2e_check "... and the saver still runs" e2e_running
e2e_eq "... the dialog has the foreground" "$VERSIONED_TITLE" "$(dialog_probe foreground saver)"
e2e_eq "... and is owned by the saver window" "$PLAIN_TITLE" \
  "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")"
# Another program while the dialog asks: the dialog comes back in front.
first_stand_in=$STAND_IN_PID
take_foreground 3000 "a password, the dialog open"
dialog_in_front() { [ "$(dialog_probe foreground saver)" = "$VERSIONED_TITLE" ]; }
e2e_check "... the dialog takes the foreground back" e2e_until 20 0.1 dialog_in_front
e2e_check "... and the saver still runs" e2e_running
stand_in_stop
STAND_IN_PID=$first_stand_in
e2e_focus "$window"
e2e_type abc
e2e_key Return
e2e_check "a password: the right one ends the run with exit code 0" shell_ended_cleanly
stand_in_stop

# The options dialog is no way past the password: it ends as Cancel and the
# saver asks.
shell_start_saver /s
e2e_key s
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")
e2e_check "a password, the options dialog open: \"s\" opened it" test -n "$window"
take_foreground 6000 "a password, the options dialog open"
e2e_check "... the options dialog ends" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
e2e_check "... the password dialog opens instead" test -n "$window"
e2e_eq "... in front" "$VERSIONED_TITLE" "$(dialog_probe foreground saver)"
e2e_check "... and the saver still runs" e2e_running
e2e_focus "$window"
e2e_type abc
e2e_key Return
e2e_check "... the right password ends the run with exit code 0" shell_ended_cleanly
stand_in_stop

e2e_clear_settings
e2e_end
