# Shared by the dialog scenarios: titles, the probe that reads dialog state,
# keyboard and mouse steps on dialogs, the stored password form and screenshots.

source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

VERSIONED_TITLE="Quorix ScreenSaver Version 1.0.4.1"
PLAIN_TITLE="Quorix ScreenSaver"
ERROR_TITLE="Morvanta"
# Control ids, as in src/res/resource.h and windows.h.
ID_OK=1
ID_CANCEL=2
ID_OPTIONS=107
ID_PASSWORD_BUTTON=126
ID_HIDE_MOUSE=201
ID_IGNORE_MOUSE=210
ID_STAY_ON_TOP=212
ID_TRUE_COLOUR_CYCLING=213
ID_PREVIEW=214
ID_MONITORS=215
ID_PASSWORD_ENTRY=104
ID_OLD=123
ID_NEW=124
ID_RETYPE=125
ID_PROTECTED=128
PASSWORD_KEY="quorix.veil"

# dialog_probe QUERY TITLE [ID [HOLDING]]: prints the answer of tests/e2e/programs/dialogs_probe.
# Exit code 1 is "no such dialog or control", which waits expect; any other
# failure is Wine's own (seldom, under load): it is told, and asked once more.
dialog_probe() {
  local answer log status try
  answer="$(e2e_temp)/probe-answer.txt"
  log="$(e2e_temp)/probe.log"
  for try in 1 2; do
    rm -f "$answer"
    wine "$QUORIX_BUILD/dialogs_probe.exe" 'C:\quorix-temp\probe-answer.txt' "$@" >"$log" 2>&1
    status=$?
    [ "$status" -eq 0 ] && [ -f "$answer" ] && break
    [ "$status" -eq 1 ] && return 1
    echo "dialog_probe $* (try $try): exit code $status, answer file $([ -f "$answer" ] || echo missing), Wine said:" >&2
    tail -n 5 "$log" >&2
    [ "$try" -eq 2 ] && return 1
  done
  tr -d '\r' <"$answer"
}

# Waits until the dialog with this title (holding control ID, when given) shows;
# prints the X window id of the newest window with that title, which is the
# dialog on top when several share it.
wait_dialog() {
  local title="$1" id="${2:-}"
  # shellcheck disable=SC2086 # no ID is no argument
  if ! e2e_until 100 0.1 dialog_probe exists "$title" $id >/dev/null; then
    e2e_running || e2e_log "no \"$title\" ${id:+holding $id }shows, and the last program started has ended"
    return 1
  fi
  e2e_wait_window "$title" 5 >/dev/null || return 1
  xdotool search --name "^${title}\$" | sort -n | tail -n 1
}

# Waits until no dialog with this title (holding control ID) shows.
wait_dialog_gone() {
  local title="$1" id="${2:-}" waited=0
  while dialog_probe exists "$title" $id >/dev/null; do
    [ "$waited" -ge 100 ] && return 1
    sleep 0.1
    waited=$((waited + 1))
  done
  return 0
}

# Focuses the newest dialog with this title (holding control ID) for typed keys.
focus_dialog() {
  local window
  window=$(wait_dialog "$@") || return 1
  e2e_focus "$window"
  sleep 0.2
}

# Clicks the centre of control ID in the dialog with this title (and holding
# control HOLDING, when given).
click_control() {
  local title="$1" id="$2" holding="${3:-}" where
  where=$(dialog_probe center "$title" "$id" $holding) || return 1
  e2e_mouse_move ${where% *} ${where#* }
  sleep 0.1
  e2e_click 1
  sleep 0.2
}

# Answers the "Morvanta" message box with Enter and prints the text it showed.
read_error_box() {
  local window text
  window=$(wait_dialog "$ERROR_TITLE") || return 1
  text=$(dialog_probe message "$ERROR_TITLE")
  e2e_focus "$window"
  e2e_key Return
  wait_dialog_gone "$ERROR_TITLE" || return 1
  echo "$text"
}

# The stored form of a password, computed here independently of the program:
# per character two hex digits of (code XOR key character) and a space, then
# two hex digits of the sum of the codes.
stored_form() {
  local text="$1" form="" sum=0 i code key
  for ((i = 0; i < ${#text}; i++)); do
    code=$(printf '%d' "'${text:i:1}")
    key=$(printf '%d' "'${PASSWORD_KEY:i % ${#PASSWORD_KEY}:1}")
    form+=$(printf '%02x ' $((code ^ key)))
    sum=$((sum + code))
  done
  printf '%s%02x' "$form" $((sum % 256))
}

# Saves a picture of the dialog with this title (holding control ID) for the
# README, cut from the screen so that windows of the same title cannot hide it,
# and without time stamps, so an unchanged dialog gives an unchanged file.
save_screenshot() {
  local name="$1" title="$2" id="${3:-}" folder="$QUORIX_SOURCE/docs/dialogs" x y w h
  read -r x y w h < <(dialog_probe rect "$title" $id) || return 1
  mkdir -p "$folder"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$E2E_OUT/$name.png"
  convert "$E2E_OUT/$name.png" -strip "$folder/$name.png"
}

# Runs the change-password dialog ("/a") once: sets or clears the box as asked
# (checked / unchecked), types old, new and retyped texts, presses Enter.
# Leaves the program running; callers wait for it or read the error box.
change_password() {
  local protect="$1" old="$2" new="$3" retyped="$4" window
  e2e_start /a
  window=$(wait_dialog "$PLAIN_TITLE" "$ID_PROTECTED") || return 1
  e2e_focus "$window"
  sleep 0.2
  if [ "$(dialog_probe checked "$PLAIN_TITLE" "$ID_PROTECTED")" != "$protect" ]; then
    e2e_key alt+p
  fi
  if [ "$protect" = 1 ]; then
    fill_field "$ID_NEW" "$new"
    fill_field "$ID_RETYPE" "$retyped"
  fi
  fill_field "$ID_OLD" "$old"
  e2e_key Return
}

# Types text into an edit box of the change-password dialog, reached through
# the mnemonic of its label. An empty text does nothing, since the mnemonic of
# a disabled box's label would move the focus on to the next box.
fill_field() {
  local id="$1" text="$2"
  [ -n "$text" ] || return 0
  case "$id" in
    "$ID_OLD") e2e_key alt+l ;;
    "$ID_NEW") e2e_key alt+n ;;
    "$ID_RETYPE") e2e_key alt+r ;;
  esac
  e2e_type "$text"
}

# Succeeds when the check square of box ID (text left of it, so the square sits
# at its right end) shows in the dialog with this title: a square of the
# window colour, white, of at least 7 x 7 pixels in the box's last 16 columns.
# A label too long for its box pushes the square out of sight.
check_square_visible() {
  local title="$1" id="$2" x y w h white
  read -r x y w h < <(dialog_probe control-rect "$title" "$id") || return 1
  [ "$w" -gt 16 ] || return 1
  white=$(import -window root -crop "16x${h}+$((x + w - 16))+${y}" +repage -depth 8 txt:- |
    grep -c '#FFFFFF')
  [ "$white" -ge 49 ]
}

# Starts tests/e2e/programs/desktop_stand_in (another program on the desktop:
# MODE taskbar, foreground or settings) for HOLD_MS in the background and
# waits until its window exists. Its report is $STAND_IN_REPORT; the
# scenario's clean-up ends it at the latest.
stand_in_start() {
  local mode="$1" hold="$2"
  STAND_IN_REPORT="$E2E_OUT/stand-in-$mode-$RANDOM.txt"
  rm -f "$STAND_IN_REPORT"
  wine "$QUORIX_BUILD/desktop_stand_in.exe" "Z:${STAND_IN_REPORT//\//\\}" "$mode" "$hold" >/dev/null 2>&1 &
  STAND_IN_PID=$!
  E2E_OWN_PIDS+=("$STAND_IN_PID")
  e2e_until 200 0.1 stand_in_value handle >/dev/null
}

# The last value of NAME in the stand-in's report (the first word after it).
stand_in_value() {
  [ -f "$STAND_IN_REPORT" ] || return 1
  awk -v name="$1" '{ sub(/\r$/, "") } $1 == name { value = $2; found = 1 }
    END { if (found) print value; exit !found }' "$STAND_IN_REPORT"
}

# The whole line of NAME in the stand-in's report, without the name.
stand_in_line() {
  [ -f "$STAND_IN_REPORT" ] || return 1
  tr -d '\r' <"$STAND_IN_REPORT" | sed -n "s/^$1 //p" | tail -n 1
}

stand_in_stop() {
  kill "$STAND_IN_PID" 2>/dev/null
  wait "$STAND_IN_PID" 2>/dev/null
  return 0
}
