#!/usr/bin/env bash
# The built saver in brief (both architectures): its resources, a preview
# request, and one saver run from start to a waking key.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_smoke
e2e_warm

e2e_check "the resources of quorix.scr can be read" shell_probe resources
e2e_eq "string 1 names the saver" "Quorix" "$(shell_probe_value string1)"
e2e_eq "string 2001 is the version" "1.0.4.1" "$(shell_probe_value string2001)"
e2e_eq "the icon group APP_ICON exists" yes "$(shell_probe_value icon)"
e2e_eq "a version resource exists" yes "$(shell_probe_value version)"
e2e_eq "the manifest declares per-monitor DPI awareness" yes "$(shell_probe_value manifest_dpi)"
e2e_eq "the manifest declares Windows 10 and 11" yes "$(shell_probe_value manifest_os)"

e2e_start /p 5678
e2e_check "/p ends at once" e2e_wait_exit 10
e2e_eq "/p ends with exit code 0" 0 "$E2E_EXIT"

shell_start_saver /s
e2e_check "/s shows the saver window" test -n "$SHELL_WINDOW"
e2e_check "the saver window exists for Win32 as well" shell_probe window
e2e_eq "it spans the screen plus one pixel" "0 0 801 601" "$(shell_probe_value rect)"
e2e_capture "$E2E_OUT/saver.png"
e2e_check "the saver draws on black" test "$(e2e_lit_pixels "$E2E_OUT/saver.png")" -lt 480000
e2e_key q
e2e_check "a key ends the saver with exit code 0" shell_ended_cleanly

e2e_end
