#!/usr/bin/env bash
# On a true-colour display with "true colour cycling" on, the saver draws into
# an 8-bit picture whose colour table is the palette, so a fill of one palette
# colour changes colour as the palette rotates; with the option off, or with
# "-p", the fill keeps its colour. The second effect ("f") of seed 331 on the
# 8-bit palette the option pretends, and of seed 68 on true colour, clears the
# screen with a palette colour; the first rotates its palette every 14 ticks.
source "$(dirname "$0")/harness.sh"
e2e_begin engine_true_colour_cycling
e2e_depth 24

screen_pixels=$((800 * 600))

# White where a capture shows the colour, black elsewhere.
colour_mask() { convert "$1" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" "$3"; }

# The fill is the commonest colour of the first capture: prints how many pixels
# have it there and how many of those still have it in the second.
fill_kept() {
  local colour
  colour=$(convert "$1" -format %c histogram:info: | sort -rn | head -n 1 | grep -oE '#[0-9A-Fa-f]{6}')
  colour_mask "$1" "$colour" "$E2E_OUT/mask-a.png"
  colour_mask "$2" "$colour" "$E2E_OUT/mask-b.png"
  convert "$E2E_OUT/mask-a.png" -format '%[fx:int(mean*w*h+0.5)] ' info:
  convert "$E2E_OUT/mask-a.png" "$E2E_OUT/mask-b.png" -compose multiply -composite \
    -format '%[fx:int(mean*w*h+0.5)]\n' info:
}

# Runs the seed's second effect with the given option value (or none) and
# extra switches; leaves captures $1-lines.png (a second after the start),
# $1-a.png and $1-b.png (250 ms apart) and the trace $1-trace.txt.
cycling_run() {
  local name="$1" seed="$2" option="$3"
  shift 3
  e2e_clear_settings
  [ -n "$option" ] && e2e_ini_set "true colour cycling" "$option"
  rm -f "$(e2e_temp)"/*.txt
  e2e_warm
  e2e_mouse_move 400 300
  e2e_start /s -l -d -r "$seed" "$@"
  e2e_wait_window "Quorix ScreenSaver" 20 >/dev/null || return 1
  sleep 1
  e2e_capture "$E2E_OUT/$name-lines.png"
  e2e_key f
  sleep 1.5
  e2e_capture "$E2E_OUT/$name-a.png"
  sleep 0.25
  e2e_capture "$E2E_OUT/$name-b.png"
  e2e_key plus
  sleep 0.3
  e2e_key D x
  e2e_wait_exit 15
  tr -d '\r' <"$(e2e_temp)/trace.txt" >"$E2E_OUT/$name-trace.txt"
}

summary_of() { grep -oE ', [0-9]+ x [0-9]+, [0-9]+, [0-9]+,' "$E2E_OUT/$1-trace.txt" | head -n 1; }

cycling_run on 331 yes
e2e_eq "option on: the saver ends with exit code 0 on a key" 0 "$E2E_EXIT"
e2e_eq "option on: the trace shows the 8-bit palette display" ", 800 x 600, 236, 8," "$(summary_of on)"
lit=$(e2e_lit_pixels "$E2E_OUT/on-lines.png")
e2e_check "option on: lines show within a second ($lit lit pixels)" test "$lit" -ge 500
read -r fill kept < <(fill_kept "$E2E_OUT/on-a.png" "$E2E_OUT/on-b.png")
e2e_check "option on: the fill covers most of the screen ($fill pixels)" test "$fill" -ge $((screen_pixels / 2))
e2e_check "option on: almost all of the fill changed colour in 250 ms ($kept of $fill kept it)" \
  test "$kept" -lt $((fill / 10))
e2e_check "option on: \"+\" halved the rotation period (13 to 6)" \
  grep -qE '^savewin line 553 : .* seed -?[0-9]+ 6$' "$E2E_OUT/on-trace.txt"

for run in "off no" "absent ''" "yes-with-p yes -p" "Yes Yes"; do
  read -r name option flag <<<"$run"
  [ "$option" = "''" ] && option=""
  cycling_run "$name" 68 "$option" $flag
  e2e_eq "$name: the saver ends with exit code 0 on a key" 0 "$E2E_EXIT"
  e2e_eq "$name: the trace shows the true-colour display" ", 800 x 600, 256, 32," "$(summary_of "$name")"
  read -r fill kept < <(fill_kept "$E2E_OUT/$name-a.png" "$E2E_OUT/$name-b.png")
  e2e_check "$name: the fill covers most of the screen ($fill pixels)" test "$fill" -ge $((screen_pixels / 2))
  # Lines drawn in those 250 ms cover a little of it; the rest keeps its colour.
  e2e_check "$name: the fill keeps its colour ($kept of $fill kept it)" test "$kept" -ge $((fill * 8 / 10))
done

e2e_end
