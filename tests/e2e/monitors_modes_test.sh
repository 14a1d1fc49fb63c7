#!/usr/bin/env bash
# Only exactly "span" or "mirror" changes what the second monitor shows: any
# other value of "monitors", and no value at all, keeps its black cover. A
# value ends in a space only when it is quoted (the quotes read as "span" do
# choose span): unquoted, the profile functions drop the spaces around it, as
# they do for every key.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_modes

for value in Span SPAN '"span "' primary Mirror absent; do
  e2e_clear_settings
  [ "$value" = absent ] || e2e_ini_set monitors "$value"
  monitors_start_saver
  capture="$E2E_OUT/mode.png"
  e2e_capture "$capture"
  convert "$capture" -crop 639x480+801+0 +repage "$E2E_OUT/second.png"
  e2e_eq "\"$value\": the second monitor is black" 0 "$(e2e_lit_pixels "$E2E_OUT/second.png")"
  e2e_eq "\"$value\": ... under a cover" "$MONITORS_COVER visible topmost" "$(monitors_covers)"
  e2e_eq "\"$value\": no mirror" 0 "$(monitors_value mirrors)"
  e2e_eq "\"$value\": the saver window holds the primary only" "0 0 801 601" "$(monitors_value saver_rect)"
  e2e_key q
  e2e_check "\"$value\": a key ends it with exit code 0" shell_ended_cleanly
done

e2e_clear_settings
e2e_end
