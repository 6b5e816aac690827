#!/usr/bin/env bash
# Player 1 takes off with CTRL (gas) and LEFT ARROW (nose up), climbs, and fires with SHIFT:
# the runway spot clears, the plane is found drawn whole higher up, its bullets fly and "Fired:"
# counts them. Played with two humans, so that no computer pilot shoots the plane down first;
# player 2 touches no key, and so its plane stays exactly where it stood.
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

echo "P resumes; gas and nose up together: the plane leaves the runway at 6.0 (the 10th frame of"
echo "gas) and turns up while LEFT ARROW is held; 0.5 s is 16 frames, far from a full loop"
key p
hold Control_L Left
sleep 0.5
release Left
sleep 0.15
echo "fire for 0.2 s (6 frames, as many as the bullet limit), gas held all along"
hold Shift_L
sleep 0.2
release Shift_L
flying=$(shot flying)
release Control_L

# Bullets: pixels of player 1's bullet colours anywhere in the playfield.
read -r bullet_pixels _ <<<"$(screen count "$flying" bullet:0 0 0 560 480)"
[ "$bullet_pixels" -gt 0 ] || fail "no bullet of player 1 is to be seen in $flying"
echo "  $bullet_pixels pixels of player 1's bullets"

# "Fired:" shows 1 to 6 (the bullet limit), not 0.
fired=""
for n in 1 2 3 4 5 6; do
  if echo "number 186 30 3 4 $n" | screen check "$flying" >/dev/null 2>&1; then fired=$n; fi
done
[ -n "$fired" ] || fail "\"Fired:\" of player 1 shows none of 1..6 in $flying"
echo "  \"Fired:\" shows $fired"
# Plane 1's runway spot shows the bare background (the plane lifted off at x 45, right of it);
# plane 2 stands as it stood.
expect_screen check "$flying" <<'END'
picture bg 0 410 44 42
plane 312 420 0 1
END

# The plane itself, drawn whole (a cloud may hide part of it: look again a little later then).
for try in 1 2 3 4 5; do
  found=$(screen find-plane "$flying" 0 0 0 560 480 || true)
  read -r px py column matched <<<"$found"
  if [ "$found" != none ] && [ "${matched%/*}" -eq "${matched#*/}" ]; then break; fi
  flying=$(shot "flying_$try")
done
[ "$found" != none ] || fail "plane 1 is nowhere to be seen"
[ "${matched%/*}" -eq "${matched#*/}" ] || fail "plane 1 is never seen whole: best $found"
[ "$py" -lt 400 ] || fail "plane 1 at ($px,$py) is not above the runway"
echo "  plane 1 drawn whole at ($px,$py), picture column $column, above the runway (y 420)"

key Escape
wait_exit 10
echo "ok: plane 1 took off, climbed and fired"
