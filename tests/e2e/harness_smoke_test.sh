#!/usr/bin/env bash
# Proves the harness on a small probe window: start, find by title, read the
# screen, send a key, collect the exit code, read TEMP and control.ini.
source "$(dirname "$0")/harness.sh"
e2e_begin harness_smoke

probe="$QUORIX_BUILD/harness_probe.exe"
rm -f "$(e2e_temp)/probe.txt"
E2E_SECTION="Quorix Probe"

for depth in 24 8; do
  e2e_depth "$depth"
  e2e_start_program "$probe" -x /s "depth$depth"
  window=$(e2e_wait_window "Quorix Harness Probe" 15)
  e2e_check "depth $depth: the probe window appears" test -n "$window"
  sleep 0.3
  e2e_capture "$E2E_OUT/probe-$depth.png"
  if [ "$depth" = 24 ]; then
    # Captures are colour-accurate only on true colour.
    e2e_eq "depth 24: the probe paints its colour" "200 40 90" "$(e2e_pixel "$E2E_OUT/probe-$depth.png" 60 60)"
    e2e_eq "depth 24: outside the probe the screen is black" "0 0 0" "$(e2e_pixel "$E2E_OUT/probe-$depth.png" 400 400)"
  fi
  e2e_check "depth $depth: the probe is still running" e2e_running
  e2e_key Escape
  e2e_check "depth $depth: the probe ends after Escape" e2e_wait_exit 10
  e2e_eq "depth $depth: exit code of the probe" 3 "$E2E_EXIT"
  e2e_eq "depth $depth: the command line reached control.ini" "-x /s depth$depth" "$(e2e_ini_get "command line")"
  e2e_eq "depth $depth: the command line reached TEMP" "-x /s depth$depth" "$(tr -d '\r' <"$(e2e_temp)/probe.txt")"
done

e2e_ini_set "command line" "edited"
e2e_eq "a value set by the harness reads back" "edited" "$(e2e_ini_get "command line")"
e2e_clear_settings
e2e_check "clearing the section removes its keys" test -z "$(e2e_ini_keys)"

e2e_end
