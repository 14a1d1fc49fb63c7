#!/usr/bin/env bash
# Settings where control.ini cannot be written and no mapping exists, as for a
# standard user on Windows: the options dialog's Save, "/a" and the key T keep
# their values in the per-user key, and the next runs use them. First, with
# control.ini open, everything goes to control.ini and no per-user key is made.
source "$(dirname "$0")/settings_lib.sh"
e2e_begin settings_closed 24

restore() {
  settings_open
  wine reg delete "$E2E_USER_KEY" /f >/dev/null 2>&1
}
trap 'e2e_cleanup; restore' EXIT
version=1.0.4.1

# The section of control.ini, "key=value" separated by spaces.
section_text() {
  local key values=()
  while IFS= read -r key; do values+=("$key=$(e2e_ini_get "$key")"); done < <(e2e_ini_keys)
  echo "${values[*]}"
}

# Saves "ignore mouse" over a running saver, turns tracing on with T, ends it.
save_in_a_run() {
  settings_start_saver
  e2e_check "Save closes the options" settings_save_ignore_mouse
  e2e_check "... without a message" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
  e2e_check "... and no box says that anything was not saved" \
    test -z "$(dialog_probe exists "$PLAIN_TITLE" 65535)"
  e2e_key T
  sleep 0.5
  e2e_key x
  e2e_check "a key ends the saver" e2e_wait_exit 10
}

# -- control.ini open: today's values, byte for byte, and no per-user key.
e2e_log "control.ini open"
save_in_a_run
change_password 1 "" "Secret" "Secret"
e2e_check "/a ends" e2e_wait_exit 10
e2e_eq "control.ini holds every value" \
  "version=$version hide mouse=no ignore mouse=yes stay on top=no true colour cycling=no preview=no monitors=primary trace=yes password=$(stored_form secret)" \
  "$(section_text)"
e2e_check "no per-user key is made" settings_user_key_absent
e2e_clear_settings

# -- control.ini closed: the per-user key keeps what the user saves.
e2e_log "control.ini closed"
settings_close
save_in_a_run
e2e_eq "the options are in the per-user key" "yes primary" \
  "$(settings_user_value "ignore mouse") $(settings_user_value monitors)"
e2e_eq "T's trace is there too" yes "$(settings_user_value trace)"
e2e_eq "... and the saver's version stamp" "$version" "$(settings_user_value version)"

settings_start_saver
settings_shake_mouse
e2e_check "the next run keeps \"ignore mouse\": a click does not wake it" e2e_running
e2e_check "... and traces, as T asked" test -s "$(e2e_temp)/trace.txt"
e2e_key x
e2e_check "a key ends it" e2e_wait_exit 10

change_password 1 "" "Secret" "Secret"
e2e_check "/a ends" e2e_wait_exit 10
e2e_eq "the password is in the per-user key" "$(stored_form secret)" "$(settings_user_value password)"
settings_start_saver
e2e_key x
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
e2e_check "the next run asks for the password" test -n "$window"
e2e_focus "$window"
e2e_type "secret"
e2e_key Return
e2e_check "the password ends it" e2e_wait_exit 10
e2e_eq "exit code" 0 "$E2E_EXIT"
e2e_check "control.ini stayed closed: nothing was written there" test -d "$(e2e_ini_file)"

restore
e2e_end
