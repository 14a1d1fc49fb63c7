#!/usr/bin/env bash
# Mirror on a two-monitor palette display of depth 8: the second monitor shows
# the picture too (captures there are not colour-accurate, so only lit pixels
# and the absence of the desktop colour are checked, and the likeness of the two
# pictures only coarsely). One hardware palette serves both monitors, so
# "separate" shows the mirror too.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_mirror_palette 8

for mode in mirror separate; do
  e2e_ini_set monitors "$mode"
  monitors_start_saver
  sleep 1
  capture="$E2E_OUT/$mode-8.png"
  monitors_capture_lit "$capture"
  e2e_eq "depth 8, $mode: no patch of the desktop colour on the second monitor" 0 \
    "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
  monitors_mirror_lit "$capture" || true
  e2e_check "depth 8, $mode: the mirror is lit (lit pixels, mirror/primary: $MONITORS_LIT)" monitors_mirror_lit "$capture"
  likeness=$(monitors_mirror_likeness "$capture")
  e2e_check "depth 8, $mode: the second monitor shows the primary's picture (likeness $likeness)" \
    awk -v v="$likeness" 'BEGIN { exit !(v + 0 > 0.6) }'

  e2e_click 1
  e2e_check "depth 8, $mode: a click on the mirror wakes it with exit code 0" shell_ended_cleanly
  e2e_eq "depth 8, $mode: no mirror window is left" 0 "$(monitors_mirror_count)"
done

# The summary of a traced run tells what the saver took the display for.
monitors_check_summary "depth 8: " "a palette display of 236 entries at 8 bits" ', 800 x 600, 236, 8, '

e2e_clear_settings
# This display goes with the scenario, and so does its server.
quorix_wineserver_stop_one
e2e_end
