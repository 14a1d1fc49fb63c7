#!/usr/bin/env bash
# The settings section: a first run stamps only the version, "hide mouse" needs
# an exact "yes", and the T and t keys switch the "trace" setting.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_settings
e2e_clear_settings
e2e_warm
trace="$(e2e_temp)/trace.txt"
rm -f "$(e2e_temp)"/tr*.txt

shell_start_saver /s
e2e_key q
e2e_check "the first run ends with exit code 0" shell_ended_cleanly
e2e_eq "a first run writes only the version" "version" "$(e2e_ini_keys | tr '\n' ' ' | sed 's/ $//')"
e2e_eq "the version is the program's" "1.0.4.1" "$(e2e_ini_get version)"

e2e_ini_set "hide mouse" yes
shell_start_saver /s
xdotool mousemove_relative 2 2
e2e_check "\"hide mouse\" = \"yes\" hides the cursor" shell_eventually shell_cursor_is hidden
e2e_key q
e2e_check "the saver with a hidden cursor ends" shell_ended_cleanly

e2e_ini_set "hide mouse" YES
shell_start_saver /s
xdotool mousemove_relative 2 2
e2e_check "\"hide mouse\" = \"YES\" leaves the cursor visible" shell_eventually shell_cursor_is shown
e2e_key q
e2e_check "the saver with a visible cursor ends" shell_ended_cleanly

shell_start_saver /s
e2e_check "without the setting nothing is traced" test ! -e "$trace"
e2e_key T
e2e_check "T writes \"trace\" = \"yes\"" shell_eventually shell_ini_is trace yes
e2e_check "T starts the trace file with the current effect" \
  shell_eventually grep -q "savewin line 761 : \*current_saver = " "$trace"
e2e_key t
e2e_check "t deletes the \"trace\" setting" shell_eventually shell_ini_lacks trace
e2e_check "t deletes the trace file" shell_eventually test ! -e "$trace"
e2e_check "T and t do not wake the saver" e2e_running
e2e_key q
e2e_check "the saver ends with exit code 0" shell_ended_cleanly

e2e_clear_settings
e2e_end
