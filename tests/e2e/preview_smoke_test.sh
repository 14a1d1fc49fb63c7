#!/usr/bin/env bash
# With "preview" = "yes", "/p HANDLE" draws the effects inside the host's
# window: lines appear, none of the host's background shows, moves, a click
# and a key over it leave it running, and once the window is destroyed the
# preview ends with exit code 0 within a second. With QUORIX_UPDATE_CAPTURES=1
# it also retakes docs/captures/preview.png (only when its checks pass).
source "$(dirname "$0")/preview_lib.sh"
e2e_begin preview_smoke

e2e_depth 24
e2e_clear_settings
e2e_ini_set preview yes
e2e_warm
preview_start 12000 self -r 4242
host=$(e2e_wait_window "$PREVIEW_TITLE" 20)
e2e_check "the host window appears" test -n "$host"
e2e_check "the host tells where its client area is" preview_wait_client

shot="$E2E_OUT/drawn.png"
background=$(preview_wait_covered "$shot" 6)
e2e_eq "the preview covers the whole client area" 0 "$background"
sleep 1
preview_capture_client "$shot"
lines=$(preview_line_pixels "$shot")
e2e_check "lines appear inside the window ($lines pixels)" test "$lines" -gt 50
e2e_eq "no pixel of the host's background shows" 0 "$(preview_background_pixels "$shot")"
# Once the host is gone the root window's black would pass for the preview.
e2e_check "the host still held its window at the captures" e2e_running

if [ -n "${QUORIX_UPDATE_CAPTURES:-}" ] && [ "$E2E_FAILS" -eq 0 ]; then
  # The host window with its frame, as a settings dialog would show it.
  eval "$(xdotool getwindowgeometry --shell "$host")"
  whole="$E2E_OUT/whole.png"
  e2e_capture "$whole"
  mkdir -p "$QUORIX_SOURCE/docs/captures"
  convert "$whole" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -strip \
    "$QUORIX_SOURCE/docs/captures/preview.png"
fi

read -r left top width height < <(preview_value client)
e2e_mouse_move $((left + 20)) $((top + 20))
sleep 0.2
e2e_mouse_move $((left + 120)) $((top + 90))
sleep 0.2
e2e_click 1
sleep 0.2
e2e_focus "$host" 2>/dev/null
e2e_key x
e2e_key f
sleep 0.5
after="$E2E_OUT/after-input.png"
preview_capture_client "$after"
e2e_eq "after moves, a click and keys the preview still covers the window" 0 \
  "$(preview_background_pixels "$after")"
lines=$(preview_line_pixels "$after")
e2e_check "and goes on drawing ($lines pixels)" test "$lines" -gt 50
e2e_check "the host still held its window then" e2e_running

e2e_check "the host ends after its time" e2e_wait_exit 30
e2e_eq "the preview was still running when the window was destroyed" "-1" \
  "$(preview_value ended_during_hold_ms)"
ended=$(preview_value ended_after_destroy_ms)
e2e_check "the preview ends within a second of the destruction ($ended ms)" \
  test "$ended" != late -a "$ended" -ge 0 -a "$ended" -lt 1000
e2e_eq "the preview's exit code" 0 "$(preview_value exit)"

e2e_end
