# Shared by the two-monitor scenarios: the Xorg display (started here when the
# test command gave none), its own prefix, and checks on the second monitor.
source "$(dirname "${BASH_SOURCE[0]}")/dialogs_lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/shell_lib.sh"

MONITORS_DESKTOP='#204080'
# The second monitor right of the 800x600 primary; its cover takes it whole,
# also the column x = 800 that the saver window's extra column lies on.
MONITORS_SECOND_X=801
MONITORS_SECOND_W=639
MONITORS_SECOND_H=480
MONITORS_COVER="800 0 1440 480"
# CTest counts this exit code as skipped (SKIP_RETURN_CODE in cmake/windows.cmake).
MONITORS_SKIP=77

# The depths after the name choose the displays: 24 (the default) for the
# two-monitor display of the test command, 8 for a palette display of depth
# 8, which the scenario starts itself, with a prefix of its own. The first one
# given is chosen at the end (see monitors_use).
#   monitors_begin NAME [DEPTH...]
monitors_begin() {
  local name="$1" depth kinds=()
  shift
  [ "$#" -gt 0 ] || set -- 24
  for depth in "$@"; do
    local kind=mm
    [ "$depth" = 8 ] && kind=mm8
    kinds+=("$kind")
    local var="QUORIX_DISPLAY_${kind^^}"
    if [ -z "${!var:-}" ]; then
      local display pid
      if ! read -r display pid < <(quorix_xorg_start "$depth"); then
        echo "[$name] skipped: no two-monitor display (Xorg with the dummy video driver did not start)"
        exit "$MONITORS_SKIP"
      fi
      export "$var=$display"
      E2E_OWN_PIDS+=("$pid")
    fi
  done
  e2e_begin "$name" "${kinds[@]}"
  local first="$1"
  for depth in "$@"; do
    monitors_use "$depth"
    # An earlier scenario may have left another layout; Wine reads the monitors
    # when its server starts, so the server starts afresh on the set layout.
    quorix_xorg_two_monitors "$DISPLAY"
    quorix_wineserver_stop_one
    quorix_wineserver_start_one
    rm -rf "$(e2e_temp)"
    mkdir -p "$(e2e_temp)"
    e2e_clear_settings
    xsetroot -solid "$MONITORS_DESKTOP"
    e2e_warm
    monitors_probe
    e2e_eq "Wine sees two monitors on $DISPLAY" 2 "$(monitors_value monitors)"
    if [ "$E2E_FAILS" -gt 0 ]; then
      e2e_log "$(tr '\n' ';' <"$(e2e_temp)/monitors_probe.txt")"
      e2e_end
      exit 1
    fi
  done
  monitors_use "$first"
}

# Chooses the two-monitor display of the depth (24 or 8) and its prefix.
monitors_use() {
  if [ "$1" = 8 ]; then e2e_depth mm8; else e2e_depth mm; fi
}

# Asks tests/e2e/programs/monitors_probe what Wine sees: monitors and covers.
monitors_probe() {
  rm -f "$(e2e_temp)/monitors_probe.txt"
  wine "$QUORIX_BUILD/monitors_probe.exe" >/dev/null 2>&1
  sed -i 's/\r$//' "$(e2e_temp)/monitors_probe.txt" 2>/dev/null
}

# Prints the values of KEY in the last probe's report, one a line.
monitors_value() {
  sed -n "s/^$1=//p" "$(e2e_temp)/monitors_probe.txt" 2>/dev/null
}

# Prints the cover windows as "left top right bottom visibility topmost", one a line.
monitors_covers() {
  monitors_probe
  monitors_value cover
}

monitors_covers_are() { [ "$(monitors_covers)" = "$1" ]; }
# True once the covers are exactly the lines given (none when no argument),
# within five seconds.
monitors_covers_become() {
  local expected
  expected=$(printf '%s\n' "$@")
  e2e_until 10 0.5 monitors_covers_are "${expected%$'\n'}" && return 0
  e2e_log "covers now: $(monitors_covers | tr '\n' ';')"
  return 1
}

# Types the password into the wake-up dialog WINDOW and presses Enter; true when
# the saver then ends with exit code 0.
monitors_answer_password() {
  e2e_focus "$1"
  e2e_type "$2"
  e2e_key Return
  shell_ended_cleanly
}

# Starts the saver with the pointer on the primary and waits for its window;
# arguments after "/s" go to it, such as a seed ("-r N").
monitors_start_saver() {
  e2e_mouse_move 400 300
  e2e_start /s "$@"
  e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
  sleep 1
}

# Walks the pointer slowly along y = 300 from where the saver started it
# (400, 300) to X, as a
# mouse of today drifts: 2-pixel steps, one every 16 ms or more (125 pixels a
# second at most, 12 or 13 pixels a tenth of a second), from one xdotool so
# the steps keep their pace.
monitors_walk_to() {
  local x steps=()
  for ((x = 402; x <= $1; x += 2)); do
    steps+=(mousemove_relative 2 0 sleep 0.016)
  done
  xdotool "${steps[@]}"
}

# Number of pixels of the desktop colour on the second monitor in a capture.
monitors_desktop_pixels() {
  convert "$1" -crop "${MONITORS_SECOND_W}x${MONITORS_SECOND_H}+${MONITORS_SECOND_X}+0" +repage \
    -fill white -opaque "$MONITORS_DESKTOP" -fill black +opaque white \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Number of cover windows of Quorix on the X display (a mirror would take the
# same place; no scenario makes both).
monitors_cover_count() {
  xwininfo -root -tree | grep -c '("quorix.scr" "quorix.scr")  640x480+800+0'
}

# Number of lit pixels in a part (WxH+X+Y) of a capture.
monitors_lit_pixels_in() {
  convert "$1" -crop "$2" +repage "$E2E_OUT/part.png"
  e2e_lit_pixels "$E2E_OUT/part.png"
}

# Captures the screen into $1 and is true when lines show on both monitors.
monitors_capture_lit_once() {
  e2e_capture "$1"
  [ "$(monitors_lit_pixels_in "$1" 800x600+0+0)" -gt 300 ] &&
    [ "$(monitors_lit_pixels_in "$1" 640x480+800+0)" -gt 300 ]
}

# Captures the screen into $1 once lines show on both monitors, or after five
# tries a second apart: a saver started on a cold display, or on a loaded
# machine, may not have drawn on both yet. The checks judge the last capture.
monitors_capture_lit() { e2e_until 5 1 monitors_capture_lit_once "$1"; }

# Number of mirror windows of Quorix on the X display (the whole second monitor).
monitors_mirror_count() {
  xwininfo -root -tree | grep -c '("quorix.scr" "quorix.scr")  640x480+800+0'
}

# How alike the primary's picture and the mirror on the second monitor are in a
# capture: both scaled to 160x120, their normalised cross-correlation (1 is the
# same picture; a black or unrelated picture gives 0 or less).
monitors_mirror_likeness() {
  convert "$1" -crop 800x600+0+0 +repage -resize '160x120!' "$E2E_OUT/primary-small.png"
  convert "$1" -crop 640x480+800+0 +repage -resize '160x120!' "$E2E_OUT/mirror-small.png"
  compare -metric NCC "$E2E_OUT/primary-small.png" "$E2E_OUT/mirror-small.png" null: 2>&1 |
    sed 's/ .*//'
}

# Number of 3x3 patches of the desktop colour in a part (WxH+X+Y) of a capture.
# Lit pictures may hold single pixels of that colour; the desktop showing
# through is a patch.
monitors_desktop_patches_in() {
  convert "$1" -crop "$2" +repage -fill white -opaque "$MONITORS_DESKTOP" -fill black +opaque white \
    -morphology Erode Square:1 -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Starts a traced saver with the seed 4242, ends its first effect ("f"), checks
# that the summary line the trace got for it holds TEXT, ends the saver with a
# key and removes the trace. The saver starts here, not in a subshell, so that
# the scenario's shell can wait for it.
#   monitors_check_summary PREFIX NAME TEXT [ABSENT]   (PREFIX begins the checks' names)
# With ABSENT, no line of the trace so far may match that pattern either.
monitors_check_summary() {
  local prefix="$1" name="$2" text="$3" absent="${4:-}" temp summary
  temp=$(e2e_temp)
  rm -f "$temp"/tr*.txt
  e2e_mouse_move 400 300
  e2e_start /s -l -r 4242
  e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
  sleep 1
  e2e_key f
  sleep 1
  summary=$(grep -a ', 32b, ' "$temp/trace.txt" 2>/dev/null | head -n 1 | tr -d '\r')
  e2e_check "$prefix$name ($summary)" grep -q "$text" <<<"$summary"
  [ -z "$absent" ] || e2e_eq "${prefix}no line of the trace matches $absent" 0 "$(grep -ac "$absent" "$temp/trace.txt")"
  e2e_key q
  e2e_check "${prefix}the traced run ends on a key with exit code 0" shell_ended_cleanly
  rm -f "$temp"/tr*.txt
}

# Sets MONITORS_LIT to "MIRROR/PRIMARY" (lit pixels) for a check's name; true
# when the primary is lit at all and the mirror about as the primary (a scaled
# picture has about 0.64 of its lit pixels; a line may have moved meanwhile).
#   monitors_lit_alike PRIMARY MIRROR
monitors_lit_alike() {
  MONITORS_LIT="$2/$1"
  [ "$1" -gt 0 ] && [ $(($2 * 6)) -gt "$1" ]
}

# True when the mirror on the second monitor of a capture is lit about as the
# primary is. Sets MONITORS_LIT.
monitors_mirror_lit() {
  monitors_lit_alike "$(monitors_lit_pixels_in "$1" 800x600+0+0)" "$(monitors_lit_pixels_in "$1" 640x480+800+0)"
}

# The same on a palette display, from Wine's own reading of the screen (the
# probe's "lit" lines, the primary first), with more than 300 lit pixels on
# each: Wine may keep its colours in a colormap that no window manager installs
# here, and a capture then sees black where the saver has drawn.
monitors_wine_lit_once() {
  local lit
  monitors_probe
  mapfile -t lit < <(monitors_value lit)
  monitors_lit_alike "${lit[0]:-0}" "${lit[1]:-0}" && [ "${lit[0]:-0}" -gt 300 ] && [ "${lit[1]:-0}" -gt 300 ]
}

# Waits up to five seconds for both monitors to be lit, as Wine reads them.
monitors_wine_lit() { e2e_until 5 1 monitors_wine_lit_once; }

# Rectangles (left top right bottom) of the saver's visible windows as Wine
# sees them: the saver window, the covers and the mirrors.
monitors_wine_rects() {
  monitors_probe
  [ "$(monitors_value saver)" != none ] && monitors_value saver_rect
  monitors_value cover | awk '$5 == "visible" { print $1, $2, $3, $4 }'
  monitors_value mirror | awk '$5 == "visible" { print $1, $2, $3, $4 }'
}

# The same, of the X windows of quorix.scr that are mapped (the input method's
# 1x1 window aside).
monitors_x_rects() {
  local id
  xwininfo -root -tree | grep '("quorix.scr" "quorix.scr")' | grep -v ' 1x1+' | awk '{ print $1 }' |
    while read -r id; do
      xwininfo -id "$id" | awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 } /Absolute upper-left Y/ { y = $2 + 0 }
        /Width/ { w = $2 + 0 } /Height/ { h = $2 + 0 } /Map State/ { viewable = $2 ~ /IsViewable/ }
        END { if (viewable) print x, y, x + w, y + h }'
    done
}

# True when every point of a 16-pixel grid over every monitor Wine reports
# lies in one of the rectangles on standard input.
monitors_grid_covered() {
  awk -v monitors="$(monitors_value monitor | awk '{ print $1, $2, $3, $4 }' | tr '\n' ';')" '
    { r[n++] = $0 }
    END {
      m = split(monitors, list, ";")
      if (m < 2) exit 1
      for (i = 1; i < m; i++) {
        split(list[i], b, " ")
        for (x = b[1]; x < b[3]; x += 16) for (y = b[2]; y < b[4]; y += 16) {
          hit = 0
          for (k = 0; k < n && !hit; k++) {
            split(r[k], c, " ")
            hit = x >= c[1] && x < c[3] && y >= c[2] && y < c[4]
          }
          if (!hit) { print "uncovered " x "," y > "/dev/stderr"; exit 1 }
        }
      }
    }'
}

monitors_covered_once() {
  local rects
  rects=$(monitors_wine_rects)
  [ "$(monitors_value monitors)" = "$1" ] || return 1
  monitors_grid_covered <<<"$rects" 2>/dev/null && monitors_x_rects | monitors_grid_covered 2>/dev/null
}

# True once Wine reports N monitors and every one is covered, within 5 s.
monitors_all_covered() {
  e2e_until 10 0.5 monitors_covered_once "$1" && return 0
  e2e_log "Wine: $(monitors_wine_rects | tr '\n' ';') X: $(monitors_x_rects | tr '\n' ';') monitors: $(monitors_value monitor | tr '\n' ';')"
  return 1
}
