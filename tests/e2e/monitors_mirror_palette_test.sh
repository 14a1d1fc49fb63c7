#!/usr/bin/env bash
# Mirror on a two-monitor palette display of depth 8: the second monitor shows
# the picture too (captures there are not colour-accurate, so only lit pixels
# and the absence of the desktop colour are checked; the likeness is reported).
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_mirror_palette 8

e2e_ini_set monitors mirror
monitors_start_saver
sleep 1
capture="$E2E_OUT/mirror-8.png"
e2e_capture "$capture"
e2e_eq "depth 8: no patch of the desktop colour on the second monitor" 0 "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
lit=$(monitors_lit_pixels_in "$capture" 640x480+800+0)
e2e_check "depth 8: the mirror is lit ($lit lit pixels)" [ "$lit" -gt 300 ]
e2e_log "depth 8: likeness of the mirror to the primary: $(monitors_mirror_likeness "$capture")"
e2e_click 1
e2e_check "depth 8: a click on the mirror wakes it with exit code 0" shell_ended_cleanly
e2e_eq "no mirror window is left" 0 "$(monitors_mirror_count)"

# The summary of a traced run tells what the saver took the display for.
temp=$(e2e_temp)
rm -f "$temp"/tr*.txt
e2e_mouse_move 400 300
e2e_start /s -l -r 4242
e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
sleep 1
e2e_key f
sleep 1
summary=$(grep -a ', 32b, ' "$temp/trace.txt" 2>/dev/null | head -n 1 | tr -d '\r')
e2e_check "depth 8: a palette display of 236 entries at 8 bits ($summary)" \
  grep -q ', 800 x 600, 236, 8, ' <<<"$summary"
e2e_key q
e2e_check "depth 8: the traced run ends on a key with exit code 0" shell_ended_cleanly
rm -f "$temp"/tr*.txt

e2e_clear_settings
# This display goes with the scenario, and so does its server.
quorix_wineserver_stop_one
e2e_end
