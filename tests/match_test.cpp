// The match frame: its order, the pause, the panel buttons while paused, the win rule and the
// clouds' drift.
#include "game/match.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/state.h"
#include "shell/shell.h"
#include "support/coded_sheets.h"
#include "support/fake_input.h"
#include "support/planes.h"

namespace {

class MatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    fake::Install();
    ReturnToMenu();
    for (int32_t i = 0; i < kCloudCount; ++i) clouds[i].x = 40 * i;
    gameMode = MODE_MATCH;
    coded::Install();
  }
  void TearDown() override {
    coded::Uninstall();
    fake::Uninstall();
    platform::ClearMessages();
    ResetShell();
  }
  // Puts plane `index` in level flight at (x, y).
  static void Fly(int32_t index, double x, double y, double speed = 8.0) {
    testplanes::PutInAir(index, x, y, 0, speed);
  }
  // A bullet of plane `shooter` sitting on the middle of plane `target`'s picture.
  static void BulletOn(int32_t shooter, int32_t target) {
    Plane& p = planes[shooter];
    Bullet& b = p.bullets[p.bulletCount++];
    b = Bullet{};
    b.x = planes[target].screenX + 14.0;
    b.y = planes[target].screenY + 14.0;
    b.vx = 20.0;
    b.life = 20;
  }
};

TEST_F(MatchTest, CloudsDriftByTheirStepsAndWrapPastThePlayfield) {
  for (int32_t i = 0; i < kCloudCount; ++i) clouds[i].x = 100;
  DriftClouds();
  const int32_t expected[kCloudCount] = {102, 102, 103, 101, 102, 102, 103, 101, 102};
  for (int32_t i = 0; i < kCloudCount; ++i) EXPECT_EQ(clouds[i].x, expected[i]) << i;
  clouds[0].x = playAreaWidth - 1;  // step 2 takes it past the edge: back to 0 at once
  clouds[1].x = playAreaWidth - 2;  // lands exactly on the edge: stays there this frame
  clouds[3].x = playAreaWidth;      // step 1 goes past
  DriftClouds();
  EXPECT_EQ(clouds[0].x, 0);
  EXPECT_EQ(clouds[1].x, playAreaWidth);
  EXPECT_EQ(clouds[3].x, 0);
  EXPECT_EQ(clouds[8].y, 171);
}

TEST_F(MatchTest, ARunningFrameMovesEverythingAndTheClouds) {
  cpuPlayers = 0;
  fake::keys[platform::VK_CONTROL] = true;  // player 1's gas
  fake::keys[platform::VK_MENU] = true;     // player 2's gas
  MatchFrame();
  EXPECT_DOUBLE_EQ(planes[0].speed, 0.65);
  EXPECT_DOUBLE_EQ(planes[0].x, 10.65);
  EXPECT_DOUBLE_EQ(planes[1].speed, 0.65);
  EXPECT_EQ(clouds[2].x, 83);
}

TEST_F(MatchTest, ThePictureComesFirstAndShowsThePreviousState) {
  // A plane whose fire is in its last frame: the drawing brings the timer to 0 and the update of
  // the same frame puts the plane back on its runway.
  Fly(1, 200.0, 200.0);
  planes[1].crashed = 1;
  planes[1].crashTimer = 1;
  MatchFrame();
  EXPECT_EQ(coded::At(200, 200), coded::FireFrame(7));
  EXPECT_EQ(planes[1].crashed, 0);
  EXPECT_EQ(planes[1].onGround, 1);
  EXPECT_DOUBLE_EQ(planes[1].x, 312.65);  // the computer's gas in the same frame
  // The integer position is taken before the respawn, so the next picture still shows the plane
  // where it went down; the one after shows it on its runway.
  MatchFrame();
  EXPECT_EQ(coded::At(201, 201), coded::PlaneCell(0, 1));
  MatchFrame();
  EXPECT_EQ(coded::At(313, 421), coded::PlaneCell(0, 1));
}

TEST_F(MatchTest, ComputerPlayersDecideWhoFliesWhichPlane) {
  // One human: the computer gives gas on its runway, player 2's keys do nothing.
  cpuPlayers = 1;
  fake::keys[platform::VK_MENU] = true;
  MatchFrame();
  EXPECT_DOUBLE_EQ(planes[1].speed, 0.65);
  EXPECT_DOUBLE_EQ(planes[0].speed, 0.0);
  // Two humans: player 2's keys fly plane 2, nobody else does.
  ReturnToMenu();
  gameMode = MODE_MATCH;
  cpuPlayers = 0;
  fake::keys[platform::VK_MENU] = false;
  MatchFrame();
  EXPECT_DOUBLE_EQ(planes[1].speed, 0.0);
  // Two computers: player 1's keys do nothing, both planes roll.
  ReturnToMenu();
  gameMode = MODE_MATCH;
  cpuPlayers = 2;
  MatchFrame();
  EXPECT_DOUBLE_EQ(planes[0].speed, 0.65);
  EXPECT_DOUBLE_EQ(planes[1].speed, 0.65);
}

TEST_F(MatchTest, PausedFrameMovesNothingButTheFireRunsOn) {
  cpuPlayers = 0;
  paused = 1;
  Fly(0, 100.0, 100.0);
  Fly(1, 150.0, 300.0);
  planes[1].crashed = 1;
  planes[1].crashTimer = 8;
  BulletOn(0, 0);  // its own plane: never hit; it would move 20 px if the frame ran
  planes[0].bullets[0].x = 50.0;
  fake::keys[platform::VK_CONTROL] = true;
  Cloud before[kCloudCount];
  std::memcpy(before, clouds, sizeof clouds);
  for (int i = 0; i < 10; ++i) MatchFrame();
  EXPECT_EQ(std::memcmp(before, clouds, sizeof clouds), 0);
  EXPECT_EQ(planes[0].x, 100.0);
  EXPECT_EQ(planes[0].speed, 8.0);
  EXPECT_EQ(planes[0].bullets[0].x, 50.0);
  // The match screen counted the fire down to 0 and the plane vanished...
  EXPECT_EQ(planes[1].crashTimer, 0);
  EXPECT_EQ(planes[1].crashed, 1);
  EXPECT_EQ(coded::At(150, 300), coded::kBackground);
  // ...and it respawns in the first running frame.
  paused = 0;
  MatchFrame();
  EXPECT_EQ(planes[1].crashed, 0);
  EXPECT_EQ(planes[1].x, 312.0);
}

TEST_F(MatchTest, TheMatchEndsInTheFrameAScoreReachesTheTarget) {
  cpuPlayers = 0;
  planes[0].score = 3;
  planes[0].kills = 2;
  planes[0].crashes = 1;
  Fly(0, 100.0, 100.0);
  Fly(1, 300.0, 100.0);
  BulletOn(0, 1);
  MatchFrame();
  EXPECT_EQ(planes[0].score, 5);
  EXPECT_EQ(matchOver, 1);
  EXPECT_EQ(paused, 1);
  // The next frames only redraw.
  const double x = planes[0].x;
  MatchFrame();
  MatchFrame();
  EXPECT_EQ(planes[0].x, x);
  EXPECT_EQ(planes[0].score, 5);
}

TEST_F(MatchTest, BothReachingTheTargetInOneFrameAlsoEndsIt) {
  cpuPlayers = 0;
  planes[0].score = 3;
  planes[1].score = 4;
  Fly(0, 100.0, 100.0);
  Fly(1, 300.0, 100.0);
  BulletOn(0, 1);
  BulletOn(1, 0);
  MatchFrame();
  EXPECT_EQ(planes[0].score, 5);
  EXPECT_EQ(planes[1].score, 6);
  EXPECT_EQ(matchOver, 1);
  EXPECT_EQ(paused, 1);
}

TEST_F(MatchTest, PausedPanelButtonsNeedTheCursorRightOfThePlayfield) {
  paused = 1;
  fake::Click(playAreaWidth, 430, 3);  // the column itself belongs to no button
  MatchFrame();
  EXPECT_EQ(gameMode, MODE_MATCH);
  fake::Click(playAreaWidth + 1, 430, 3);
  fake::buttonPolls = 0;
  MatchFrame();
  EXPECT_EQ(gameMode, MODE_MENU);
  EXPECT_GE(fake::buttonPolls, 4);  // waited for the release before acting
  EXPECT_EQ(paused, 0);
}

TEST_F(MatchTest, PausedClickOnTheRowBetweenTheButtonsDoesNothing) {
  paused = 1;
  fake::Click(600, screenHeight - spriteHeight);
  MatchFrame();
  EXPECT_EQ(gameMode, MODE_MATCH);
  EXPECT_FALSE(IsQuitting());
  fake::Click(600, 416);  // the top edge of "Main Menu" is outside it too
  MatchFrame();
  EXPECT_EQ(gameMode, MODE_MATCH);
}

TEST_F(MatchTest, HoldingQuitWhilePausedWaitsForTheReleaseThenEnds) {
  paused = 1;
  fake::Click(600, 460, 50);
  MatchFrame();
  EXPECT_TRUE(IsQuitting());
  EXPECT_EQ(fake::buttonPollsLeft, 0);  // every poll of the held button was used up first
}

TEST_F(MatchTest, MainMenuAfterTheEndThenPlayStartsAFreshMatch) {
  cpuPlayers = 0;
  planes[0].score = 5;
  planes[1].score = 2;
  planes[0].bulletCount = 3;
  planes[1].color = 4;
  Fly(1, 200.0, 100.0);
  MatchFrame();
  ASSERT_EQ(matchOver, 1);
  fake::Click(600, 430);
  MatchFrame();
  EXPECT_EQ(gameMode, MODE_MENU);
  gameMode = MODE_MATCH;  // "Play!"
  EXPECT_EQ(planes[0].x, 10.0);
  EXPECT_EQ(planes[1].x, 312.0);
  EXPECT_EQ(planes[1].onGround, 1);
  EXPECT_EQ(planes[0].score, 0);
  EXPECT_EQ(planes[0].bulletCount, 0);
  EXPECT_EQ(planes[1].color, 1);
  EXPECT_EQ(matchOver, 0);
  EXPECT_EQ(paused, 0);
}

TEST_F(MatchTest, MainMenuWhileRunningLetsTheRestOfTheFrameRun) {
  cpuPlayers = 1;
  Fly(0, 100.0, 100.0);
  planes[1].score = 3;
  fake::Click(600, 430);
  MatchFrame();
  EXPECT_EQ(gameMode, MODE_MENU);
  // The computer's plane gave gas on its runway after the reset: it enters the next match
  // already rolling.
  EXPECT_DOUBLE_EQ(planes[1].speed, 0.65);
  EXPECT_DOUBLE_EQ(planes[1].x, 312.65);
  EXPECT_EQ(planes[1].score, 0);
  EXPECT_EQ(clouds[0].x, 2);
}

}  // namespace
