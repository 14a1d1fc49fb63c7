# Shared by the settings scenarios: control.ini closed as for a standard user on
# Windows, the per-user key, and the steps that save each kind of setting.

source "$(dirname "${BASH_SOURCE[0]}")/dialogs_lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/shell_lib.sh"

# As root, Wine writes any file it can open: a folder in control.ini's place
# makes every profile write fail with error 5, as a closed Windows folder does.
# An old control.ini is put aside and comes back with settings_open.
settings_close() {
  local file
  file=$(e2e_ini_file)
  if [ -f "$file" ]; then mv "$file" "$file.quorix-aside"; fi
  mkdir -p "$file"
}

settings_open() {
  local file
  file=$(e2e_ini_file)
  [ -d "$file" ] && rmdir "$file"
  if [ -f "$file.quorix-aside" ]; then mv "$file.quorix-aside" "$file"; fi
  return 0
}

settings_user_value() { e2e_reg_value "$E2E_USER_KEY" "$1"; }

settings_user_key_absent() { e2e_reg_key_absent "$E2E_USER_KEY"; }

# The options over a running saver ("s"); prints the X window id of the dialog.
settings_open_options() {
  e2e_key s
  wait_dialog "$VERSIONED_TITLE" "$ID_HIDE_MOUSE"
}

# Starts the saver ("/s" and the switches given) with the pointer parked, once
# Wine is warm, and gives it a moment past its window's showing.
settings_start_saver() {
  e2e_warm
  shell_start_saver /s "$@"
  sleep 0.5
}

# Over a running saver: checks "ignore mouse" in the options and presses Save.
settings_save_ignore_mouse() {
  local window
  window=$(settings_open_options) || return 1
  e2e_focus "$window"
  # Tab from Save reaches the first box; Space checks the second.
  e2e_key Tab Tab space
  [ "$(dialog_probe checked "$VERSIONED_TITLE" "$ID_IGNORE_MOUSE")" = 1 ] || return 1
  e2e_key alt+s
}

# Moves the pointer far and clicks, which wakes a saver that minds the mouse.
settings_shake_mouse() {
  e2e_mouse_move 100 100
  sleep 0.3
  e2e_mouse_move 700 500
  e2e_click 1
  sleep 1
}

# Answers the message box captioned "Quorix ScreenSaver" with Enter and prints
# its text on one line. The box holds the static text of id 65535, which tells
# it from the dialogs of that caption.
settings_read_not_saved() {
  local window text
  window=$(wait_dialog "$PLAIN_TITLE" 65535) || return 1
  text=$(dialog_probe message "$PLAIN_TITLE" 65535)
  e2e_focus "$window"
  e2e_key Return
  wait_dialog_gone "$PLAIN_TITLE" 65535 || return 1
  tr '\r\n' '  ' <<<"$text" | sed 's/  */ /g; s/ $//'
}

settings_user_value_absent() { ! settings_user_value "$1" >/dev/null; }
