# Shared by the preview scenarios: the host program that stands in for the
# screen saver settings (tests/e2e/programs/preview_host.cpp) and what it
# reports, and pixel counts inside its client area.
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

PREVIEW_TITLE="Quorix Preview Host"
# The host's background, which no pixel may show while the preview runs.
PREVIEW_BACKGROUND="rgb(37,201,113)"
PREVIEW_REPORT=""

# The Windows path of a Unix file (drive Z: is the Unix root).
preview_windows_path() { echo "Z:${1//\//\\}"; }

# Starts the host in the background: preview_start HOLD_MS HANDLE [ARGUMENT...].
# HANDLE "self" passes the host window's handle, "none" nothing after "/p".
preview_start() {
  local hold="$1"
  shift
  PREVIEW_REPORT="$E2E_OUT/host-$RANDOM.txt"
  rm -f "$PREVIEW_REPORT"
  e2e_start_program "$QUORIX_BUILD/preview_host.exe" "$(preview_windows_path "$PREVIEW_REPORT")" \
    "$hold" "$(preview_windows_path "$QUORIX_BUILD/quorix.scr")" "$@"
}

# One value of the host's report: preview_value NAME.
preview_value() {
  [ -f "$PREVIEW_REPORT" ] || return 1
  awk -v name="$1" '{ sub(/\r$/, "") } $1 == name { $1 = ""; sub(/^ /, ""); print; found = 1 } END { exit !found }' "$PREVIEW_REPORT"
}

# Waits until the host has written where its client area is.
preview_wait_client() { e2e_until 200 0.1 preview_value client >/dev/null 2>&1; }

# ImageMagick's crop of the client area: WIDTHxHEIGHT+LEFT+TOP.
preview_geometry() {
  local left top width height
  read -r left top width height < <(preview_value client)
  echo "${width}x${height}+${left}+${top}"
}

# Captures the client area alone into the file.
preview_capture_client() {
  local whole="$1.whole.png"
  e2e_capture "$whole"
  convert "$whole" -crop "$(preview_geometry)" +repage "$1"
  rm -f "$whole"
}

# Pixels of a capture in the host's own background colour.
preview_background_pixels() {
  convert "$1" -fill black +opaque "$PREVIEW_BACKGROUND" -fill white -opaque "$PREVIEW_BACKGROUND" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Pixels that are neither black nor the host's background: drawn lines.
preview_line_pixels() {
  convert "$1" -fill black -opaque "$PREVIEW_BACKGROUND" -fill white +opaque black \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Captures the client area until no pixel of the background shows, for at
# most SECONDS; prints the last count.
preview_wait_covered() {
  local shot="$1" seconds="${2:-10}" waited=0 count
  while :; do
    preview_capture_client "$shot"
    count=$(preview_background_pixels "$shot")
    if [ "$count" -eq 0 ] || [ "$waited" -ge $((seconds * 4)) ]; then
      echo "$count"
      return 0
    fi
    sleep 0.25
    waited=$((waited + 1))
  done
}
