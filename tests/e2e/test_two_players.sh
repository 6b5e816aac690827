#!/usr/bin/env bash
# With two humans, player 2 flies with ALT (gas) and C (nose up) while plane 1 stays put; with one
# human, the computer takes plane 2 off by itself while nobody touches a key.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu 5
tap_at 330 280
menu_drawings 2 2 "Player(s)" | wait_screen frame menu_two_humans 5
key p
press_at 330 160
xdotool mousemove 5 300
{
  match_static_drawings 0 0
  echo "plane 10 420 0 0"
  echo "plane 312 420 0 1"
} | wait_screen frame paused 5

echo "two humans: player 2 takes off with ALT and C; plane 1 stays on its spot"
key p
hold Alt_L c
sleep 0.5
release c
sleep 0.3
flying=$(shot flying)
release Alt_L
expect_screen check "$flying" <<'END'
plane 10 420 0 0
picture bg 300 410 44 42
END
for try in 1 2 3 4 5; do
  found=$(screen find-plane "$flying" 1 0 0 560 480 || true)
  read -r px py column matched <<<"$found"
  if [ "$found" != none ] && [ "${matched%/*}" -eq "${matched#*/}" ]; then break; fi
  flying=$(shot "flying_$try")
done
[ "$found" != none ] && [ "${matched%/*}" -eq "${matched#*/}" ] ||
  fail "plane 2 is not seen whole in the air: $found"
[ "$py" -lt 400 ] || fail "plane 2 at ($px,$py) is not above the runway"
echo "  plane 2 drawn whole at ($px,$py), picture column $column"

echo "back to the menu; one human again; Play!: the computer flies plane 2 without any key"
press_at 600 430
xdotool mousemove 5 5
menu_drawings 2 2 | wait_screen frame menu_again 5
tap_at 330 280
menu_drawings 2 1 "Player(s)" | wait_screen frame menu_one_human 5
press_at 330 160
xdotool mousemove 5 300
# The computer gives gas on the runway from the first frame and lifts off at 6.0: within 2 s its
# spot is empty, while plane 1, whose player does nothing, stands where it started.
computer_away() {
  echo "picture bg 300 410 44 42"
  echo "plane 10 420 0 0"
}
computer_away | wait_screen check computer 5
for try in 1 2 3 4 5 6; do
  found=$(screen find-plane "$LAST_SHOT" 1 0 0 560 480 || true)
  read -r px py column matched <<<"$found"
  if [ "$found" != none ] && [ "$py" -lt 400 ]; then break; fi
  sleep 0.3
  LAST_SHOT=$(shot "computer_$try")
done
[ "$found" != none ] && [ "$py" -lt 400 ] ||
  fail "the computer's plane is not seen in the air: $found"
echo "  the computer's plane is in the air at ($px,$py)"

key Escape
wait_exit 10
echo "ok: player 2's keys fly plane 2, and the computer flies it alone"
