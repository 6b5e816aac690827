#include "game/state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class StateTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGameState(); }
};

TEST_F(StateTest, ReturnToMenuPutsBothPlanesOnTheirRunways) {
  planes[0].score = 4;
  planes[1].x = 99.0;
  planes[1].bulletCount = 3;
  planes[0].cpuPhase = 3;
  planes[1].crashTimer = 5;
  gameMode = MODE_MATCH;
  paused = 1;
  matchOver = 1;
  ReturnToMenu();
  EXPECT_EQ(planes[0].x, 10.0);
  EXPECT_EQ(planes[1].x, 312.0);
  EXPECT_EQ(planes[0].y, 420.0);
  EXPECT_EQ(planes[1].y, 420.0);
  EXPECT_EQ(planes[0].screenX, 10);
  EXPECT_EQ(planes[1].screenX, 312);
  EXPECT_EQ(planes[1].screenY, 420);
  EXPECT_EQ(planes[0].color, 0);
  EXPECT_EQ(planes[1].color, 1);
  EXPECT_EQ(planes[0].playerNumber, 1);
  EXPECT_EQ(planes[1].playerNumber, 2);
  EXPECT_EQ(planes[0].score, 0);
  EXPECT_EQ(planes[1].bulletCount, 0);
  EXPECT_EQ(planes[0].onGround, 1);
  EXPECT_EQ(gameMode, MODE_MENU);
  EXPECT_EQ(paused, 0);
  EXPECT_EQ(matchOver, 0);
  // The pilot's memory and the crash timer are left alone.
  EXPECT_EQ(planes[0].cpuPhase, 3);
  EXPECT_EQ(planes[1].crashTimer, 5);
}

TEST_F(StateTest, ScreenSizeDerivesPlayAreaAndLabel) {
  SetScreenSize(800, 600);
  EXPECT_EQ(playAreaWidth, 720);
  EXPECT_EQ(screenRect.right, 800);
  EXPECT_EQ(screenRect.bottom, 600);
  EXPECT_STREQ(resolutionLabel, "800x600x16");
  ReturnToMenu();
  EXPECT_EQ(planes[1].x, 392.0);
  EXPECT_EQ(planes[0].y, 525.0);
}

TEST_F(StateTest, InitialSettings) {
  EXPECT_EQ(gameSpeed, 2);
  EXPECT_EQ(cpuPlayers, 1);
  EXPECT_EQ(cpuLevel, 0);
  EXPECT_EQ(cpu2Level, 0);
  EXPECT_EQ(scoreToWin, 5);
  EXPECT_EQ(maxBullets, 6);
  EXPECT_STREQ(resolutionLabel, "640x480x16");
  EXPECT_STREQ(windowTitle, "Corvane Altor v1.2");
  EXPECT_EQ(surfacesValid, 1);
  EXPECT_EQ(clouds[8].y, 171);
}

}  // namespace
