#!/usr/bin/env bash
# A whole match, player 1 against the computer, played to its end: player 1 takes off and climbs
# again and again until the computer's kills (2 points each) reach the score to win, 5. Then the
# match stands still: no "PAUSED", the final scores in the panel, and neither P nor the flying
# keys change a single pixel any more.
source "$(dirname "$0")/lib.sh" "$@"
start_xvfb
start_game
xdotool mousemove 5 5
menu_drawings 2 1 | wait_screen frame menu 5
press_at 330 160
xdotool mousemove 5 300

echo "playing (the match is stepped with P, so that a busy machine cannot spoil the timing)"
log="$SHOT_DIR/duel.log"
result=$(python3 "$E2E_DIR/duel.py" "$DATA_DIR" "$SHOT_DIR" 100 | tee "$log" | tail -n 1) ||
  fail "the match did not end in time; see $SHOT_DIR/duel.log"
read -r word score1 score2 <<<"$result"
[ "$word" = over ] || fail "unexpected end of the duel: $result"
echo "  final scores: player 1 $score1, player 2 $score2 ($(grep -c '^step' "$log") steps)"
[ "$score2" -ge 5 ] || fail "the computer (player 2) should have won, scores $score1 : $score2"

# Let a last fire burn out (8 frames), then the picture must stand still.
sleep 0.5
first=$(shot over)
# The whole panel as predicted, the final scores in it.
{
  echo "picture right 560 0 80 480"
  echo "picture buttons 560 416 80 64"
  echo "text 568 100 2 4 Player 1"
  if [ "$score1" -lt 0 ]; then
    echo "number 590 115 1 6 $((-score1))"
    echo "text 578 115 1 6 -"
  else
    echo "number 590 115 1 6 $score1"
  fi
  echo "text 568 200 2 4 Player 2"
  echo "number 590 215 1 6 $score2"
  echo "text 572 5 6 4 Corvane"
  echo "text 580 15 6 4 Altor"
  echo "text 576 380 2 4 To win:"
  echo "number 592 394 1 6 5"
  echo "text 564 428 1 4 Main Menu"
  echo "text 584 460 1 4 Quit"
  # A bullet that stopped within 4 pixels of the panel's edge is drawn over it: not predicted.
  echo "region 564 0 640 480"
} | expect_screen frame "$first"
# No notice: the match is over, not paused, and no tie.
expect_screen check "$first" <<'END'
notext 272 176 2 4 PAUSED
notext 240 176 2 4 Its a tie!
END

echo "P does not resume a finished match, and the flying keys do nothing"
key p
hold Control_L Left Shift_L
sleep 0.5
release Control_L Left Shift_L
second=$(shot over_later)
changed=$(screen diff "$first" "$second")
[ "$changed" -eq 0 ] || fail "$changed pixels changed after the end of the match"

key Escape
wait_exit 10
echo "ok: the match ended at the score to win and stands still"
