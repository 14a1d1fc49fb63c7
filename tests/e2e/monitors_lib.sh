# Shared by the two-monitor scenarios: the Xorg display (started here when the
# test command gave none), its own prefix, and checks on the second monitor.
source "$(dirname "${BASH_SOURCE[0]}")/dialogs_lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/shell_lib.sh"

MONITORS_DESKTOP='#204080'
# The second monitor right of the 800x600 primary; the saver window's extra
# column covers x = 800, the cover the rest.
MONITORS_SECOND_X=801
MONITORS_SECOND_W=639
MONITORS_SECOND_H=480

monitors_begin() {
  if [ -z "${QUORIX_DISPLAY_MM:-}" ]; then
    local display pid
    read -r display pid < <(quorix_xorg_start) || return 1
    export QUORIX_DISPLAY_MM="$display"
    E2E_OWN_PIDS+=("$pid")
  fi
  e2e_begin "$1"
  e2e_depth mm
  # Wine reads the monitors when its server starts: start it afresh here.
  quorix_wineserver_stop_one
  quorix_wineserver_start_one
  rm -rf "$(e2e_temp)"
  mkdir -p "$(e2e_temp)"
  e2e_clear_settings
  xsetroot -solid "$MONITORS_DESKTOP"
  e2e_warm
}

# Starts the saver with the pointer on the primary and waits for its window.
monitors_start_saver() {
  e2e_mouse_move 400 300
  e2e_start /s
  e2e_wait_window "$PLAIN_TITLE" 30 >/dev/null
  sleep 1
}

# Number of pixels of the desktop colour on the second monitor in a capture.
monitors_desktop_pixels() {
  convert "$1" -crop "${MONITORS_SECOND_W}x${MONITORS_SECOND_H}+${MONITORS_SECOND_X}+0" +repage \
    -fill white -opaque "$MONITORS_DESKTOP" -fill black +opaque white \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Number of cover windows of Quorix on the X display.
monitors_cover_count() {
  xwininfo -root -tree | grep -c '("quorix.scr" "quorix.scr")  639x480+801+0'
}

# Ends a saver that a check expected to keep running.
monitors_stop_saver() {
  if e2e_running; then
    kill "$E2E_PID" 2>/dev/null
    e2e_wait_exit 10 || true
  fi
}
