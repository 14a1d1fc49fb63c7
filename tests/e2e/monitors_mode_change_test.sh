#!/usr/bin/env bash
# A monitor that goes and comes back while the picture spans or is mirrored:
# the span window follows the virtual screen and the next effect takes its
# size, a mirror comes back with the picture, no desktop shows and a key ends
# the saver with exit code 0.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_mode_change

# True once the probe reports the value for the key, within five seconds.
probe_shows() {
  monitors_probe
  [ "$(monitors_value "$1")" = "$2" ]
}
probe_becomes() {
  e2e_until 10 0.5 probe_shows "$1" "$2" && return 0
  e2e_log "$1 now: $(monitors_value "$1")"
  return 1
}

temp=$(e2e_temp)
rm -f "$temp"/tr*.txt
e2e_ini_set monitors span
e2e_mouse_move 400 300
e2e_start /s -l -r 4242
e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
sleep 1
xrandr --output DUMMY1 --off
e2e_check "span: with the second monitor off the window holds the primary" \
  probe_becomes saver_rect "0 0 801 601"
e2e_check "... and the saver runs on" e2e_running
# The first "f" ends the effect begun at the old size, the second the one after it.
e2e_key D f
sleep 1
e2e_key f
sleep 1
summaries=$(grep -a ', 32b, ' "$temp/trace.txt" 2>/dev/null | tr -d '\r')
e2e_eq "span: two effects were summed up" 2 "$(grep -c . <<<"$summaries")"
summary=$(head -n 1 <<<"$summaries")
e2e_check "span: the effect begun before the change is summed up at its size ($summary)" \
  grep -q ', 1440 x 600, ' <<<"$summary"
summary=$(tail -n 1 <<<"$summaries")
e2e_check "span: the next effect takes the new size ($summary)" grep -q ', 800 x 600, ' <<<"$summary"
quorix_xorg_two_monitors "$DISPLAY"
e2e_check "span: with it back the window spans both again" probe_becomes saver_rect "0 0 1441 601"
e2e_eq "... with no cover" 0 "$(monitors_value covers)"
capture="$E2E_OUT/span-back.png"
e2e_capture "$capture"
e2e_eq "... and no patch of the desktop colour on the second monitor" 0 \
  "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
e2e_key q
e2e_check "span: a key still ends the saver with exit code 0" shell_ended_cleanly
rm -f "$temp"/tr*.txt

e2e_ini_set monitors mirror
monitors_start_saver
e2e_check "mirror: a mirror over the second monitor at the start" \
  probe_becomes mirror "800 0 1440 480 visible topmost"
xrandr --output DUMMY1 --off
e2e_check "mirror: with the second monitor off no mirror is left" probe_becomes mirrors 0
e2e_check "... and the saver runs on" e2e_running
quorix_xorg_two_monitors "$DISPLAY"
e2e_check "mirror: with it back it is mirrored again" probe_becomes mirror "800 0 1440 480 visible topmost"
sleep 0.5
capture="$E2E_OUT/mirror-back.png"
e2e_capture "$capture"
e2e_eq "... no patch of the desktop colour on it" 0 "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
monitors_mirror_lit "$capture" || true
e2e_check "... and the picture on it (lit pixels, mirror/primary: $MONITORS_LIT)" monitors_mirror_lit "$capture"
e2e_key q
e2e_check "mirror: a key still ends the saver with exit code 0" shell_ended_cleanly
e2e_eq "no mirror window is left" 0 "$(monitors_mirror_count)"

e2e_clear_settings
e2e_end
