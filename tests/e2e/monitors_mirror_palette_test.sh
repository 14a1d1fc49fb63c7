#!/usr/bin/env bash
# Mirror on a two-monitor palette display of depth 8: the second monitor shows
# the picture too (captures there are not colour-accurate, and may see black
# where Wine keeps its colours in a colormap of its own, so lit pixels are
# counted as Wine reads the screen; captures check the absence of the desktop
# colour, and the likeness is reported).
# One hardware palette serves both monitors, so "separate" shows the mirror too:
# a traced run has no line of a second monitor's effects.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_mirror_palette 8

for mode in mirror separate; do
  e2e_ini_set monitors "$mode"
  # A seed whose first effect is lit: some effects draw black on a palette
  # display for a while (a brightness that follows the length of short lines).
  monitors_start_saver -r 4242
  sleep 1
  capture="$E2E_OUT/$mode-8.png"
  monitors_wine_lit || true
  e2e_check "depth 8, $mode: the mirror is lit as Wine reads the screen (lit pixels, mirror/primary: $MONITORS_LIT)" \
    monitors_wine_lit_once
  monitors_capture_lit "$capture" || true
  e2e_eq "depth 8, $mode: no patch of the desktop colour on the second monitor" 0 \
    "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
  monitors_mirror_lit "$capture" || true
  e2e_log "depth 8, $mode: lit pixels in a capture, mirror/primary: $MONITORS_LIT"
  e2e_log "depth 8, $mode: likeness of the mirror to the primary: $(monitors_mirror_likeness "$capture")"

  e2e_click 1
  e2e_check "depth 8, $mode: a click on the mirror wakes it with exit code 0" shell_ended_cleanly
  e2e_eq "depth 8, $mode: no mirror window is left" 0 "$(monitors_mirror_count)"
done

e2e_ini_set monitors separate
monitors_check_summary "depth 8, separate: " "the trace has the primary's summary" ', 4242, 800 x 600, ' '^monitor '
e2e_ini_set monitors mirror

# The summary of a traced run tells what the saver took the display for.
monitors_check_summary "depth 8: " "a palette display of 236 entries at 8 bits" ', 800 x 600, 236, 8, '

e2e_clear_settings
# This display goes with the scenario, and so does its server.
quorix_wineserver_stop_one
e2e_end
