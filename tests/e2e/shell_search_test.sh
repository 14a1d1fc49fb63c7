#!/usr/bin/env bash
# "-t" without a number and "-b" with one that comes late search for their start
# value with the window already shown, so a key ends the search and the run.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_search
e2e_clear_settings
e2e_warm

search_window_shows() { e2e_wait_window "$SHELL_TITLE" 2 >/dev/null; }

for switch in -t -b123456789; do
  e2e_mouse_move 400 300
  e2e_start /s "$switch"
  e2e_check "\"/s $switch\" shows its window within 2 s" search_window_shows
  sleep 0.5
  e2e_check "\"/s $switch\" is still searching" e2e_running
  e2e_key q
  e2e_check "a key ends \"/s $switch\" with exit code 0" shell_ended_cleanly
  shell_stop_saver
done
e2e_end
