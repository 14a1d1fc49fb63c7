#!/usr/bin/env bash
# With "monitors" = "mirror" the second monitor shows the primary's picture,
# scaled to fit: alike in a capture, no desktop colour. The effect keeps the
# primary's size; input over the mirror follows the covers' rules.
source "$(dirname "$0")/monitors_lib.sh"
monitors_begin monitors_mirror

e2e_ini_set monitors mirror
# A seed whose first effect is lit: some effects stay dark for a while.
monitors_start_saver -r 4242
sleep 1
capture="$E2E_OUT/mirror.png"
monitors_capture_lit "$capture"
e2e_eq "no patch of the desktop colour on the second monitor" 0 "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
monitors_mirror_lit "$capture" || true
e2e_check "the mirror is lit (lit pixels, mirror/primary: $MONITORS_LIT)" monitors_mirror_lit "$capture"
likeness=$(monitors_mirror_likeness "$capture")
e2e_check "the mirror shows the primary's picture (likeness $likeness of 1)" \
  awk -v v="$likeness" 'BEGIN { exit !(v + 0 > 0.6) }'
# The same measure between the primary and the mirror's picture turned upside
# down must fail, or the bound above would pass any busy picture.
convert "$capture" -crop 640x480+800+0 +repage -flip "$E2E_OUT/flipped.png"
convert "$capture" -crop 800x600+0+0 +repage "$E2E_OUT/flipped.png" +swap -geometry +800+0 \
  -background black -extent 1440x600 -composite "$E2E_OUT/wrong.png"
wrong=$(monitors_mirror_likeness "$E2E_OUT/wrong.png")
e2e_check "... which an unrelated picture does not reach (likeness $wrong)" \
  awk -v v="$wrong" -v good="$likeness" 'BEGIN { exit !(v + 0 < 0.6 && v + 0 < good + 0) }'
monitors_probe
e2e_eq "one mirror window over the whole second monitor" "800 0 1440 480 visible topmost" \
  "$(monitors_value mirror)"
e2e_eq "... and no cover" "0" "$(monitors_value covers)"
e2e_eq "the saver window keeps the primary's size and a pixel more" "0 0 801 601" "$(monitors_value saver_rect)"
if [ -n "${QUORIX_UPDATE_CAPTURES:-}" ] && [ "$E2E_FAILS" -eq 0 ]; then
  mkdir -p "$QUORIX_SOURCE/docs/captures"
  convert "$capture" -strip "$QUORIX_SOURCE/docs/captures/mirror.png"
fi
monitors_walk_to 1000
e2e_check "a slow walk onto the mirror does not wake the saver" shell_still_running
e2e_click 1
e2e_check "a click on the mirror wakes it with exit code 0" shell_ended_cleanly
e2e_eq "no mirror window is left" 0 "$(monitors_mirror_count)"

# A traced run draws at the primary's size.
monitors_check_summary "" "the trace's summary shows the primary's size" ', 4242, 800 x 600, '

e2e_ini_set password "$(stored_form abc)"
monitors_start_saver
monitors_walk_to 1000
e2e_click 1
window=$(wait_dialog "$VERSIONED_TITLE" "$ID_PASSWORD_ENTRY")
e2e_check "with a password a click on the mirror opens the password dialog" [ -n "$window" ]
e2e_check "... and the saver still runs" e2e_running
e2e_check "the right password ends the saver with exit code 0" monitors_answer_password "$window" abc

# With true colour cycling the mirror shows the cycling picture, colours and all.
e2e_clear_settings
e2e_ini_set monitors mirror
e2e_ini_set "true colour cycling" yes
monitors_start_saver -r 4242
sleep 1
capture="$E2E_OUT/mirror-cycling.png"
monitors_capture_lit "$capture"
e2e_eq "cycling: no patch of the desktop colour on the second monitor" 0 "$(monitors_desktop_patches_in "$capture" 640x480+800+0)"
likeness=$(monitors_mirror_likeness "$capture")
e2e_check "cycling: the mirror shows the primary's picture (likeness $likeness of 1)" \
  awk -v v="$likeness" 'BEGIN { exit !(v + 0 > 0.6) }'
e2e_key q
e2e_check "cycling: a key ends it with exit code 0" shell_ended_cleanly

e2e_clear_settings
e2e_end
