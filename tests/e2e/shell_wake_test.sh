#!/usr/bin/env bash
# Which input wakes the saver: mouse jumps of 20 pixels (not 19), buttons unless
# "ignore mouse", Ctrl, Alt and character keys; not Shift, arrows or function keys.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/shell_lib.sh"
e2e_begin shell_wake
e2e_clear_settings
e2e_warm

shell_start_saver /s
e2e_mouse_move 419 319
e2e_check "a jump of 19 pixels on both axes does not wake the saver" shell_still_running
e2e_mouse_move 438 338
e2e_check "19 more from the dragged reference point do not wake it either" shell_still_running
e2e_mouse_move 458 338
e2e_check "a jump of 20 pixels on one axis wakes it" shell_ended_cleanly

shell_start_saver /s
e2e_click 1
e2e_check "a button wakes it" shell_ended_cleanly

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
e2e_click 1
e2e_click 3
e2e_check "with \"ignore mouse\" moves and buttons do not wake it" shell_still_running
e2e_key Escape
e2e_check "with \"ignore mouse\" a key still wakes it" shell_ended_cleanly

e2e_clear_settings
e2e_end
