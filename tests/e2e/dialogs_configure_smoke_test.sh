#!/usr/bin/env bash
# "/c:HANDLE" from the Screen Saver Settings: with HANDLE a window (here one
# of another program standing in for the settings), the settings dialog is
# owned by it and modal to it: it opens over it at the template's place, and
# the window is disabled until the dialog ends. A handle that is no window,
# and "/c" without the colon, show the dialog as without a switch.
source "$(dirname "$0")/dialogs_lib.sh"
e2e_begin dialogs_configure 24
e2e_clear_settings
e2e_warm

STAND_IN_TITLE="Quorix Settings Stand-In"
stand_in_start settings 120000
handle=$(stand_in_value handle)
e2e_check "the settings stand-in shows (handle $handle)" test -n "$handle"

settings_shown() { wait_dialog "$VERSIONED_TITLE" "$ID_OPTIONS" >/dev/null; }
# The settings dialog's top left corner on the screen.
settings_corner() { dialog_probe rect "$VERSIONED_TITLE" "$ID_OPTIONS" | cut -d' ' -f1-2; }
# The template puts the dialog at (0, 0) of its owner: Windows counts from the
# owner's client area, Wine 8 from its window's corner.
at_owners_origin() {
  local corner
  corner=$(settings_corner)
  [ "$corner" = "$(stand_in_line client)" ] || [ "$corner" = "$(stand_in_line window)" ]
}

e2e_start "/c:$handle"
e2e_check "/c:HANDLE shows the settings dialog" settings_shown
e2e_eq "... owned by HANDLE" "$STAND_IN_TITLE" "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_OPTIONS")"
e2e_check "... over it, at the template's place ($(settings_corner); HANDLE's window at $(stand_in_line window))" \
  at_owners_origin
e2e_eq "HANDLE is disabled while it is open" 0 "$(stand_in_value enabled)"
click_control "$VERSIONED_TITLE" "$ID_OPTIONS"
e2e_check "Options... opens the options dialog" focus_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_eq "... owned by the settings dialog" "$VERSIONED_TITLE" \
  "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_HIDE_MOUSE")"
click_control "$VERSIONED_TITLE" "$ID_PASSWORD_BUTTON"
e2e_check "Password... opens the change-password dialog" focus_dialog "$PLAIN_TITLE" "$ID_PROTECTED"
e2e_eq "... owned by the options dialog" "$VERSIONED_TITLE" "$(dialog_probe owner "$PLAIN_TITLE" "$ID_PROTECTED")"
click_control "$PLAIN_TITLE" "$ID_CANCEL" "$ID_PROTECTED"
wait_dialog_gone "$PLAIN_TITLE" "$ID_PROTECTED"
click_control "$VERSIONED_TITLE" "$ID_CANCEL" "$ID_HIDE_MOUSE"
wait_dialog_gone "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
e2e_eq "HANDLE stays disabled under the settings dialog" 0 "$(stand_in_value enabled)"
click_control "$VERSIONED_TITLE" "$ID_CANCEL" "$ID_OPTIONS"
e2e_check "Cancel ends it" e2e_wait_exit 10
e2e_eq "... with exit code 0" 0 "$E2E_EXIT"
e2e_eq "HANDLE is enabled again" 1 "$(stand_in_value enabled)"

# The number of changes of the stand-in's enabled state so far.
enabled_changes() { tr -d '\r' <"$STAND_IN_REPORT" | grep -c '^enabled '; }

# Shown as without a handle: no owner, at the top left of the screen, and the
# stand-in never disabled.
as_without_handle() {
  local what="$1" changes
  shift
  changes=$(enabled_changes)
  e2e_start "$@"
  e2e_check "$what: the settings dialog shows" settings_shown
  e2e_eq "$what: ... with no owner" "" "$(dialog_probe owner "$VERSIONED_TITLE" "$ID_OPTIONS")"
  e2e_eq "$what: ... at the top left of the screen" "0 0" "$(settings_corner)"
  e2e_eq "$what: the stand-in stays enabled" "1 $changes" "$(stand_in_value enabled) $(enabled_changes)"
  click_control "$VERSIONED_TITLE" "$ID_OK" "$ID_OPTIONS"
  e2e_check "$what: OK ends it" e2e_wait_exit 10
  e2e_eq "$what: ... with exit code 0" 0 "$E2E_EXIT"
}
as_without_handle "a handle that is no window" /c:4000000000
as_without_handle "/c without the colon" /c "$handle"
as_without_handle "no switch"

stand_in_stop
e2e_end
