#!/usr/bin/env bash
# Many effect changes ("f") in the real saver leave its memory flat, and the
# trace shows that every change started a new effect; also at depth 24 with
# true colour cycling on, where the effects draw into an off-screen picture.
source "$(dirname "$0")/harness.sh"
e2e_begin engine_no_leak

# Resident and virtual size of the saver's process, in KiB.
memory_of() { awk '/^VmRSS:/ { rss = $2 } /^VmSize:/ { size = $2 } END { print rss, size }' "/proc/$1/status"; }

press_f() {
  local i
  for ((i = 0; i < $1; i++)); do
    e2e_key f
    sleep 0.1
  done
}

for run in 24 8 24-cycling; do
  depth=${run%-cycling}
  e2e_depth "$depth"
  e2e_clear_settings
  [ "$run" != "$depth" ] && e2e_ini_set "true colour cycling" yes
  rm -f "$(e2e_temp)"/*.txt
  e2e_warm
  e2e_start /s -l -d -r 6060
  e2e_wait_window "Quorix ScreenSaver" 20 >/dev/null
  sleep 1
  press_f 20
  read -r rss_before size_before < <(memory_of "$E2E_PID")
  press_f 100
  sleep 0.5
  read -r rss_after size_after < <(memory_of "$E2E_PID")
  e2e_log "$run: resident $rss_before -> $rss_after KiB, virtual $size_before -> $size_after KiB"
  e2e_check "$run: the saver survives 120 effect changes" e2e_running
  e2e_check "$run: resident memory stays flat ($rss_before -> $rss_after KiB)" \
    test $((rss_after - rss_before)) -lt 2048
  e2e_check "$run: virtual memory stays flat ($size_before -> $size_after KiB)" \
    test $((size_after - size_before)) -lt 4096
  e2e_key D x
  e2e_check "$run: a key ends the saver" e2e_wait_exit 15
  changes=$(grep -c ', 32b, 6060, ' "$(e2e_temp)/trace.txt")
  e2e_check "$run: every f started a new effect ($changes summary lines)" test "$changes" -ge 100
done

e2e_end
