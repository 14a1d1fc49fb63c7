#!/usr/bin/env bash
# Nothing can be written: control.ini is closed and the per-user key refuses
# writes. The options dialog's Save and "/a" say so and end as Cancel does; T
# still traces the run; the saver runs and wakes as usual. A key that refuses
# writes cannot be deleted again, so this runs in a prefix of its own, kept
# between runs like the test command's.
source "$(dirname "$0")/settings_lib.sh"
e2e_begin settings_refused 24
export QUORIX_WINEPREFIX="$QUORIX_BUILD/wine-refused"
trap 'e2e_cleanup; wineserver -k 2>/dev/null' EXIT
quorix_wine_prepare_one
quorix_wineserver_start_one
rm -rf "$(e2e_temp)"
mkdir -p "$(e2e_temp)"
e2e_log "prefix $WINEPREFIX"

# Effects started so far, by their trace entries.
effects_started() {
  grep -c ' : svr = ' "$(e2e_temp)/trace.txt" 2>/dev/null
}

settings_close
e2e_check "the per-user key refuses writes" \
  wine "$QUORIX_BUILD/registry_lock.exe" 'Control Panel\Screen Saver.Quorix'

# -- Save: the message, then the options end as Cancel: nothing applies.
settings_start_saver -l
e2e_key shift+d
e2e_check "Save is pressed on the options" settings_save_ignore_mouse
e2e_eq "a message says that the options were not saved, and why" \
  "The options were not saved. Access denied." "$(settings_read_not_saved)"
e2e_check "the options close" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
sleep 0.5
e2e_eq "... as Cancel does: no new effect" 1 "$(effects_started)"
settings_shake_mouse
e2e_check "... and \"ignore mouse\" does not apply: a click wakes the saver" e2e_wait_exit 10
e2e_eq "exit code" 0 "$E2E_EXIT"
e2e_check "nothing was stored" settings_user_value_absent "ignore mouse"

# -- T: the run traces although "trace" cannot be kept.
rm -f "$(e2e_temp)/trace.txt"
settings_start_saver
e2e_key T
sleep 1
e2e_check "T traces the run though nothing can be saved" test -s "$(e2e_temp)/trace.txt"
e2e_key x
e2e_check "a key ends the saver" e2e_wait_exit 10
e2e_eq "exit code" 0 "$E2E_EXIT"

# The refusal lives in the prefix's server: a server that ended in an idle
# moment and started again has forgotten it, and every check after would fail
# for a reason they cannot name.
e2e_check "the per-user key still refuses writes" \
  bash -c '! wine reg add "$1" /v "refusal check" /d 1 /f >/dev/null 2>&1' _ "$E2E_USER_KEY"

# -- "/a": the message, and no password claimed afterwards.
change_password 1 "" "secret" "secret"
e2e_eq "a message says that the password was not saved, and why" \
  "The password was not saved. Access denied." "$(settings_read_not_saved)"
e2e_check "/a ends" e2e_wait_exit 10
e2e_start /a
wait_dialog "$PLAIN_TITLE" "$ID_PROTECTED" >/dev/null
e2e_eq "the next /a claims no password" 0 "$(dialog_probe checked "$PLAIN_TITLE" "$ID_PROTECTED")"
focus_dialog "$PLAIN_TITLE" "$ID_PROTECTED"
e2e_key Escape
e2e_wait_exit 10

settings_start_saver
e2e_key x
e2e_check "the saver runs and a key ends it, with no password" e2e_wait_exit 10
e2e_eq "exit code" 0 "$E2E_EXIT"

wineserver -k 2>/dev/null
e2e_end
