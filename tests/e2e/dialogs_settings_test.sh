#!/usr/bin/env bash
# The settings dialog (no switch and the configure request) and the options
# dialog opened from it: what Save and Cancel write, the exact "yes" rule, and a
# password changed from the options dialog.
source "$(dirname "$0")/dialogs_lib.sh"
e2e_begin dialogs_settings
e2e_clear_settings

OPTION_KEYS=("hide mouse" "ignore mouse" "stay on top" "true colour cycling" "preview")
OPTION_IDS=("$ID_HIDE_MOUSE" "$ID_IGNORE_MOUSE" "$ID_STAY_ON_TOP" "$ID_TRUE_COLOUR_CYCLING" "$ID_PREVIEW")

settings_dialog() { wait_dialog "$VERSIONED_TITLE" "$ID_OPTIONS"; }
settings_shown() { settings_dialog >/dev/null; }

# Clicks "Options..." in the settings dialog and waits for the options dialog.
open_options() {
  click_control "$VERSIONED_TITLE" "$ID_OPTIONS"
  wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
}

# -- No switch: the settings dialog, the options over it, Save without changes.
e2e_start
settings_window=$(settings_dialog)
e2e_check "no switch shows the settings dialog" test -n "$settings_window"
save_screenshot settings "$VERSIONED_TITLE" "$ID_OPTIONS"
options_window=$(open_options)
e2e_check "Options... opens the options dialog" test -n "$options_window"
e2e_eq "the options dialog is owned by the settings dialog" "$VERSIONED_TITLE" \
  "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")"
for id in "${OPTION_IDS[@]}"; do
  e2e_eq "absent option $id starts unchecked" 0 "$(dialog_probe checked "$VERSIONED_TITLE" "$id")"
  e2e_check "the check square of box $id shows" check_square_visible "$VERSIONED_TITLE" "$id"
done
e2e_eq "an absent \"monitors\" shows the first item, primary only" 0 \
  "$(dialog_probe selection "$VERSIONED_TITLE" "$ID_MONITORS")"
save_screenshot options "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_focus "$options_window"
e2e_key Return
e2e_check "Save closes the options dialog" wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_check "the settings dialog stays open" settings_shown
for key in "${OPTION_KEYS[@]}"; do
  e2e_eq "Save without changes writes \"no\" for absent \"$key\"" no "$(e2e_ini_get "$key")"
done
e2e_eq "... and \"primary\" for absent \"monitors\"" primary "$(e2e_ini_get monitors)"
click_control "$VERSIONED_TITLE" "$ID_CANCEL" "$ID_OPTIONS"
e2e_check "Cancel closes the settings dialog" e2e_wait_exit 10
e2e_eq "exit code after Cancel" 0 "$E2E_EXIT"

# -- "/c:1234": only an exact "yes" checks a box, and Save writes what is shown.
e2e_ini_set "hide mouse" "Yes"
e2e_ini_set "stay on top" "yes"
e2e_ini_set "true colour cycling" "Yes"
e2e_ini_set "monitors" "mirror"
e2e_start /c:1234
e2e_check "the configure request /c:1234 shows the settings dialog" settings_shown
open_options >/dev/null
e2e_eq "\"Yes\" leaves its box unchecked" 0 "$(dialog_probe checked "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")"
e2e_eq "\"yes\" checks its box" 1 "$(dialog_probe checked "$VERSIONED_TITLE" "$ID_STAY_ON_TOP")"
e2e_eq "\"Yes\" leaves the colour cycling box unchecked" 0 \
  "$(dialog_probe checked "$VERSIONED_TITLE" "$ID_TRUE_COLOUR_CYCLING")"
e2e_eq "a stored \"mirror\" shows the third item" 2 "$(dialog_probe selection "$VERSIONED_TITLE" "$ID_MONITORS")"
click_control "$VERSIONED_TITLE" "$ID_TRUE_COLOUR_CYCLING"
click_control "$VERSIONED_TITLE" "$ID_PREVIEW"
click_control "$VERSIONED_TITLE" "$ID_IGNORE_MOUSE"
e2e_eq "a click checks a box" 1 "$(dialog_probe checked "$VERSIONED_TITLE" "$ID_IGNORE_MOUSE")"
# The label's mnemonic reaches the list; Up picks the item above.
focus_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_key alt+n Up
e2e_eq "Alt+N and Up choose \"Span all monitors\"" 1 "$(dialog_probe selection "$VERSIONED_TITLE" "$ID_MONITORS")"
click_control "$VERSIONED_TITLE" "$ID_OK" "$ID_HIDE_MOUSE"
wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_eq "Save writes \"no\" over \"Yes\"" no "$(e2e_ini_get "hide mouse")"
e2e_eq "Save writes the clicked box" yes "$(e2e_ini_get "ignore mouse")"
e2e_eq "Save keeps \"yes\"" yes "$(e2e_ini_get "stay on top")"
e2e_eq "Save writes the clicked colour cycling box" yes "$(e2e_ini_get "true colour cycling")"
e2e_eq "Save writes the clicked preview box" yes "$(e2e_ini_get preview)"
e2e_eq "Save writes the chosen monitors mode" span "$(e2e_ini_get monitors)"
focus_dialog "$VERSIONED_TITLE" "$ID_OPTIONS"
e2e_key Return
e2e_check "Enter closes the settings dialog" e2e_wait_exit 10

# -- "/c 1234": Cancel in the options dialog writes no option but keeps a new password.
e2e_clear_settings
e2e_start /c 1234
e2e_check "the configure request /c 1234 shows the settings dialog" settings_shown
open_options >/dev/null
click_control "$VERSIONED_TITLE" "$ID_STAY_ON_TOP"
click_control "$VERSIONED_TITLE" "$ID_PASSWORD_BUTTON"
window=$(wait_dialog "$PLAIN_TITLE" "$ID_PROTECTED")
e2e_check "Password... opens the change-password dialog" test -n "$window"
e2e_eq "... owned by the options dialog" "$VERSIONED_TITLE" "$(dialog_probe owner "$PLAIN_TITLE")"
e2e_focus "$window"
e2e_key alt+p
fill_field "$ID_NEW" "Kept"
fill_field "$ID_RETYPE" "KEPT"
e2e_key Return
e2e_check "the change-password dialog closes" wait_dialog_gone "$PLAIN_TITLE"
e2e_eq "the password is written at once" "$(stored_form kept)" "$(e2e_ini_get password)"
focus_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_key Escape
wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
focus_dialog "$VERSIONED_TITLE" "$ID_OPTIONS"
e2e_key Escape
e2e_check "Escape closes the settings dialog" e2e_wait_exit 10
e2e_eq "Cancel in the options dialog keeps the new password" "$(stored_form kept)" "$(e2e_ini_get password)"
e2e_eq "... and writes no option" "password" "$(e2e_ini_keys | tr '\n' ' ' | sed 's/ $//')"

e2e_end
