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
monitors_capture_lit "$capture"
e2e_eq "depth 8: no patch of the desktop colour on the second monitor" 0 "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
monitors_mirror_lit "$capture" || true
e2e_check "depth 8: the mirror is lit (lit pixels, mirror/primary: $MONITORS_LIT)" monitors_mirror_lit "$capture"
e2e_log "depth 8: likeness of the mirror to the primary: $(monitors_mirror_likeness "$capture")"
e2e_click 1
e2e_check "depth 8: a click on the mirror wakes it with exit code 0" shell_ended_cleanly
e2e_eq "no mirror window is left" 0 "$(monitors_mirror_count)"

# The summary of a traced run tells what the saver took the display for.
monitors_check_summary "depth 8: " "a palette display of 236 entries at 8 bits" ', 800 x 600, 236, 8, '

e2e_clear_settings
# This display goes with the scenario, and so does its server.
quorix_wineserver_stop_one
e2e_end
