#!/usr/bin/env bash
# P in the menu, then "Play!": the match opens paused at its start. Background, planes on their
# runways, tower, right panel with scores 0 and the score to win, the statistics at 0 and
# "PAUSED" are all where the game's pictures predict; while paused nothing moves at all.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu 5
key p
press_at 330 160
xdotool mousemove 5 300

echo "the lower playfield and the panel, whole: planes on the runways, tower, scores 0, to win 5"
{
  match_static_drawings 0 0
  echo "plane 10 420 0 0"
  echo "plane 312 420 0 1"
} | wait_screen frame paused 5

echo "the notice, the statistics (all 0) and the title, over whatever clouds lie behind them"
{
  echo "text 272 176 2 4 PAUSED"
  statistics_drawings
  for c in 186 373; do
    for y in 10 20 30 40; do echo "number $c $y 3 4 0"; done
  done
} | expect_screen check "$LAST_SHOT"
first=$LAST_SHOT

echo "half a second later the screen is the same to the pixel: clouds and planes stay put"
sleep 0.5
second=$(shot paused_later)
changed=$(screen diff "$first" "$second")
[ "$changed" -eq 0 ] || fail "$changed pixels changed while the match was paused"

key Escape
wait_exit 10
echo "ok: the match starts paused where the pictures say"
