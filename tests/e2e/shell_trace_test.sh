#!/usr/bin/env bash
# The trace file in TEMP: "-l" starts it with the seed, an old file moves to the
# first free numbered copy, a normal end deletes it and "D" keeps it.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_trace
e2e_clear_settings
e2e_warm
temp=$(e2e_temp)
rm -f "$temp"/tr*.txt

shell_start_saver /s -l -r4242
e2e_eq "\"-l\" begins trace.txt with the seed entry" "savewin line 431 : app.rand.seed() = 4242" \
  "$(head -n 1 "$temp/trace.txt" 2>/dev/null | tr -d '\r')"
e2e_key q
e2e_check "the traced run ends with exit code 0" shell_ended_cleanly
e2e_check "a traced run that ends normally leaves no trace.txt" test ! -e "$temp/trace.txt"

printf 'old run\r\n' >"$temp/trace.txt"
printf 'copy 0\r\n' >"$temp/tr0.txt"
printf 'copy 1\r\n' >"$temp/tr1.txt"
shell_start_saver /s -l
e2e_eq "the old trace file becomes copy 2" "old run" "$(tr -d '\r' <"$temp/tr2.txt" 2>/dev/null)"
e2e_eq "copy 0 is untouched" "copy 0" "$(tr -d '\r' <"$temp/tr0.txt")"
e2e_eq "copy 1 is untouched" "copy 1" "$(tr -d '\r' <"$temp/tr1.txt")"
e2e_check "a new trace file is begun" grep -q "savewin line 431" "$temp/trace.txt"
e2e_key D
e2e_check "D does not wake the saver" shell_still_running
e2e_key q
e2e_check "the run with D ends with exit code 0" shell_ended_cleanly
e2e_check "after D the trace file is kept" grep -q "savewin line 431" "$temp/trace.txt"

rm -f "$temp"/tr*.txt
e2e_end
