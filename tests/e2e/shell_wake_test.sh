#!/usr/bin/env bash
# Which input wakes the saver: the pointer 20 pixels (not 19) from where it was
# a tenth of a second before, however often the mouse reports, but not slow
# drift; buttons, wheels and side buttons unless "ignore mouse"; Ctrl, Alt and
# character keys; not Shift, arrows or function keys.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_wake
e2e_clear_settings
e2e_warm

shell_start_saver /s
e2e_mouse_move 419 319
e2e_check "a jump of 19 pixels on both axes does not wake the saver" shell_still_running
e2e_mouse_move 438 338
e2e_check "19 more a moment later do not wake it either" shell_still_running
e2e_mouse_move 458 338
e2e_check "a jump of 20 pixels on one axis wakes it" shell_ended_cleanly

# A mouse of today reports small steps often: 5 pixels a hundred times a
# second, 2 pixels 250 times a second, each 500 pixels a second.
shell_start_saver /s
xdotool $(for i in $(seq 120); do echo mousemove_relative 5 0 sleep 0.01; done)
e2e_check "a steady move in 5-pixel steps wakes it" shell_ended_cleanly
shell_start_saver /s
xdotool $(for i in $(seq 150); do echo mousemove_relative 2 0 sleep 0.004; done)
e2e_check "a steady move in 2-pixel steps wakes it" shell_ended_cleanly

shell_start_saver /s
xdotool $(for i in $(seq 150); do echo mousemove_relative 1 0 sleep 0.012; done)
e2e_check "a slow walk (a pixel every 12 ms) does not wake it" shell_still_running
e2e_click 1
e2e_check "a button wakes it" shell_ended_cleanly

# 4 to 7 are the wheels, 8 and 9 the side buttons.
for button in 4 5 6 7 8 9; do
  shell_start_saver /s
  e2e_click "$button"
  e2e_check "button $button wakes it" shell_ended_cleanly
done

shell_start_saver /s
e2e_key shift Left Right Up Down F1 F2 F3 F4 F6 F12
e2e_check "Shift, arrows and function keys other than F5 do not wake it" shell_still_running
e2e_key F5
e2e_check "F5 does not wake it" shell_still_running
e2e_key ctrl
e2e_check "Ctrl wakes it" shell_ended_cleanly

shell_start_saver /s
e2e_key alt+x
e2e_check "an Alt combination wakes it" shell_ended_cleanly

shell_start_saver /s
e2e_key q
e2e_check "a character outside the hot keys wakes it" shell_ended_cleanly

e2e_ini_set "ignore mouse" yes
shell_start_saver /s
e2e_mouse_move 600 500
for button in 1 3 4 6 8; do e2e_click "$button"; done
e2e_check "with \"ignore mouse\" moves, buttons, wheels and side buttons do not wake it" shell_still_running
e2e_key Escape
e2e_check "with \"ignore mouse\" a key still wakes it" shell_ended_cleanly

e2e_clear_settings
e2e_end
