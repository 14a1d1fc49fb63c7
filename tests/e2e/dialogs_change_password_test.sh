#!/usr/bin/env bash
# The change-password dialog ("/a") typed into like a user: the stored form,
# the four input errors with their focus, the length and character limits,
# and removing protection.
source "$(dirname "$0")/dialogs_lib.sh"
e2e_begin dialogs_change_password
e2e_clear_settings

password_absent() { ! e2e_ini_get password >/dev/null; }

# Ends the dialog still open after an error with Escape and collects the program.
cancel_dialog() {
  focus_dialog "$PLAIN_TITLE" "$ID_PROTECTED"
  e2e_key Escape
  e2e_wait_exit 10
}

# -- A first password, typed with capitals, is stored lower-cased.
e2e_start /a
window=$(wait_dialog "$PLAIN_TITLE" "$ID_PROTECTED")
e2e_check "/a shows the change-password dialog" test -n "$window"
e2e_eq "nothing stored: the box starts cleared" 0 "$(dialog_probe checked "$PLAIN_TITLE" "$ID_PROTECTED")"
e2e_eq "nothing stored: the old password box is disabled" 0 "$(dialog_probe enabled "$PLAIN_TITLE" "$ID_OLD")"
e2e_eq "nothing stored: the new password box is disabled" 0 "$(dialog_probe enabled "$PLAIN_TITLE" "$ID_NEW")"
e2e_focus "$window"
e2e_key alt+p
e2e_eq "checking the box enables the new password box" 1 "$(dialog_probe enabled "$PLAIN_TITLE" "$ID_NEW")"
e2e_eq "checking the box leaves the old password box disabled" 0 "$(dialog_probe enabled "$PLAIN_TITLE" "$ID_OLD")"
e2e_eq "the new password box takes 19 characters" 19 "$(dialog_probe limit "$PLAIN_TITLE" "$ID_NEW")"
fill_field "$ID_NEW" "Open SESAME"
e2e_key Tab
e2e_type "open Sesame"
save_screenshot change_password "$PLAIN_TITLE" "$ID_PROTECTED"
e2e_key Return
e2e_check "OK ends the dialog" e2e_wait_exit 10
e2e_eq "exit code after OK" 0 "$E2E_EXIT"
stored=$(e2e_ini_get password)
e2e_eq "the stored form has 3n + 2 characters" $((3 * 11 + 2)) "${#stored}"
e2e_eq "the stored form is that of the lower-cased password" "$(stored_form "open sesame")" "$stored"

# -- Errors keep the dialog open, with the focus on the field to correct.
change_password 1 "wrong" "" ""
box_owner() { wait_dialog "$ERROR_TITLE" >/dev/null && dialog_probe owner "$ERROR_TITLE"; }
e2e_eq "the error box is owned by the dialog, so it shows above it" "$PLAIN_TITLE" "$(box_owner)"
e2e_eq "an empty new password is reported first, even with a wrong old one" \
  "Enter new password" "$(read_error_box)"
e2e_eq "... and the focus goes to the new password" "$ID_NEW" "$(dialog_probe focus "$PLAIN_TITLE")"
cancel_dialog

change_password 1 "wrong" "next" "next"
e2e_eq "a wrong old password is reported" "Old password is not correct" "$(read_error_box)"
e2e_eq "... and the focus goes to the old password" "$ID_OLD" "$(dialog_probe focus "$PLAIN_TITLE")"
# The dialog stays open for correction: type the right one in other capitals.
fill_field "$ID_OLD" "OPEN sesame"
e2e_key Return
e2e_check "... and the corrected dialog is accepted" e2e_wait_exit 10
e2e_eq "the old password in any mix of cases allows the change" "$(stored_form "next")" "$(e2e_ini_get password)"

change_password 1 "" "other" "other"
e2e_eq "an empty old password with one stored is not correct" "Old password is not correct" "$(read_error_box)"
cancel_dialog

change_password 1 "next" "other" "othre"
e2e_eq "a different retyped password is reported" \
  "Retyped password is not the same as the new password" "$(read_error_box)"
e2e_eq "... and the focus goes to the new password" "$ID_NEW" "$(dialog_probe focus "$PLAIN_TITLE")"
cancel_dialog

# xdotool types a key missing from the keymap by mapping a spare key for a
# moment, and a busy Wine may read the keymap after it was put back and lose
# the letter: give é a key of its own while it is typed. Wine ignores the
# highest key codes, so the lowest spare one.
spare=$(xmodmap -pke | awk 'NF == 3 { print $2; exit }')
xmodmap -e "keycode $spare = eacute Eacute"
change_password 1 "next" "café" "café"
e2e_eq "a character the wake-up entry cannot match is refused" \
  "New password may hold only unaccented letters, digits, spaces and punctuation" "$(read_error_box)"
cancel_dialog
xmodmap -e "keycode $spare ="
e2e_eq "no failed attempt changed the stored password" "$(stored_form "next")" "$(e2e_ini_get password)"

# -- Typing beyond 19 characters stops at 19, which the wake-up entry takes.
change_password 1 "next" "abcdefghijklmnopqrstuvwxy" "abcdefghijklmnopqrstuvwxy"
e2e_check "a long password is accepted as typed up to the limit" e2e_wait_exit 10
e2e_eq "only 19 characters were taken" "$(stored_form "abcdefghijklmnopqrs")" "$(e2e_ini_get password)"

# -- Clearing the box removes protection, with the right old password only.
change_password 0 "" "" ""
e2e_eq "clearing the box asks for the old password" "Enter old password" "$(read_error_box)"
e2e_eq "... with the focus on it" "$ID_OLD" "$(dialog_probe focus "$PLAIN_TITLE")"
fill_field "$ID_OLD" "ABCDEFGHIJKLMNOPQRS"
e2e_key Return
e2e_check "the right old password closes the dialog" e2e_wait_exit 10
e2e_check "the password key is deleted" password_absent

# -- A cleared box with nothing stored writes nothing.
change_password 0 "" "" ""
e2e_check "OK with nothing stored closes the dialog" e2e_wait_exit 10
e2e_eq "... and writes no key" "" "$(e2e_ini_keys | tr '\n' ' ')"

e2e_end
