#!/usr/bin/env bash
# The panel's "Main Menu" button leaves a match for the menu, whether the match runs or is paused,
# and the next "Play!" starts afresh: scores and statistics 0, not paused.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu 5
press_at 330 160
xdotool mousemove 5 300

echo "player 1 rolls into the tower with gas alone: a crash, the score drops to -1"
hold Control_L
echo "text 578 115 1 6 -" | wait_screen check crashed 8
release Control_L
expect_screen check "$LAST_SHOT" <<'END'
text 568 100 2 4 Player 1
END

echo "\"Main Menu\" while the match runs: the menu, as at start-up"
press_at 600 430
menu_drawings 2 1 | wait_screen frame menu_again 5

echo "\"Play!\": scores 0 again, player 1's statistics 0, plane 1 back at its start"
press_at 330 160
xdotool mousemove 5 300
{
  match_static_drawings 0 0
  echo "plane 10 420 0 0"
  echo "region 0 380 250 480"
  echo "region 564 0 640 480"  # a bullet at the panel edge may cover its first columns
} | wait_screen frame new_match 5
{
  statistics_drawings
  for y in 10 20 30 40; do echo "number 186 $y 3 4 0"; done
  echo "notext 272 176 2 4 PAUSED"
} | expect_screen check "$LAST_SHOT"

echo "P, then \"Main Menu\" while paused: the menu again; the next match is not paused"
key p
echo "text 272 176 2 4 PAUSED" | wait_screen check paused 5
press_at 600 430
menu_drawings 2 1 | wait_screen frame menu_third 5
press_at 330 160
xdotool mousemove 5 300
{
  match_static_drawings 0 0
  echo "plane 10 420 0 0"
  echo "region 0 380 250 480"
  echo "region 564 0 640 480"  # a bullet at the panel edge may cover its first columns
} | wait_screen frame third_match 5
echo "notext 272 176 2 4 PAUSED" | expect_screen check "$LAST_SHOT"

key Escape
wait_exit 10
echo "ok: \"Main Menu\" returns to the menu and a new match starts from scratch"
