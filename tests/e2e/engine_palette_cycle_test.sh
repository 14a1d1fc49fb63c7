#!/usr/bin/env bash
# While the palette cycles, every drawing slice shows new colours on the 8-bit
# display: each step is pushed into the palette object (AnimatePalette) and the
# next slice's realisation changes the display's system palette. On true colour
# the palette object still follows the steps; there is no system palette.
source "$(dirname "$0")/harness.sh"
e2e_begin engine_palette_cycle

probe="$QUORIX_BUILD/engine_palette_probe.exe"

value_of() { tr -d '\r' <"$result" | sed -n "s/^$1 //p"; }

for depth in 8 24; do
  e2e_depth "$depth"
  result="$(e2e_temp)/palette_probe.txt"
  rm -f "$result"
  e2e_warm
  e2e_start_program "$probe"
  e2e_check "depth $depth: the probe ends" e2e_wait_exit 30
  e2e_check "depth $depth: the probe wrote its counts" test -f "$result"
  cp "$result" "$E2E_OUT/palette-$depth.txt" 2>/dev/null
  e2e_eq "depth $depth: every step reached the palette object" 20 "$(value_of "logical matches")"
  if [ "$depth" = 8 ]; then
    e2e_eq "depth 8: the palette leaves the 20 reserved colours" "236 animating 1 palette_device 1" "$(value_of size)"
    # Wine now and then pushes a step to the X colormap a slice late, so a slice
    # or two may show no change of its own; without cycling none would.
    changes=$(value_of "screen changes")
    e2e_check "depth 8: the screen's colours changed at almost every slice ($changes of 19)" \
      test "${changes:-0}" -ge 15
  else
    e2e_eq "depth 24: a true-colour palette of 256" "256 animating 1 palette_device 0" "$(value_of size)"
    e2e_eq "depth 24: no system palette changes" 0 "$(value_of "screen changes")"
  fi
done

e2e_end
