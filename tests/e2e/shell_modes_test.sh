#!/usr/bin/env bash
# Mode dispatch: preview requests end at once, a second start while a saver runs
# ends at once in every mode, and every spelling of the run switch runs the saver.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_modes
e2e_warm

e2e_start /p 1234
e2e_check "/p with a handle ends at once" e2e_wait_exit 10
e2e_eq "/p ends with exit code 0" 0 "$E2E_EXIT"
e2e_check "/p shows no saver window" shell_no_saver_window

e2e_start /s /p 1234
e2e_check "/s with /p ends at once" e2e_wait_exit 10
e2e_eq "/s with /p ends with exit code 0" 0 "$E2E_EXIT"
e2e_check "/s with /p shows no saver window" shell_no_saver_window

shell_start_saver /s
e2e_check "/s shows the saver window" test -n "$SHELL_WINDOW"
e2e_check "a second /s ends at once while the saver runs" shell_ends_at_once 15 /s
e2e_check "/a ends at once while the saver runs" shell_ends_at_once 15 /a
e2e_check "the settings mode ends at once while the saver runs" shell_ends_at_once 15
e2e_check "the first saver is still running" e2e_running
e2e_key q
e2e_check "a key ends the saver with exit code 0" shell_ended_cleanly

for switch in -s /S -S run-silently; do
  shell_start_saver "$switch"
  e2e_check "\"$switch\" runs the saver" test -n "$SHELL_WINDOW"
  e2e_key q
  e2e_check "\"$switch\" saver ends with exit code 0" shell_ended_cleanly
done

e2e_end
