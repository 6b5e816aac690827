// The main menu: what it shows, its highlight and its clicks.
#include "menu/menu.h"

#include <gtest/gtest.h>

#include "game/state.h"
#include "shell/shell.h"
#include "support/coded_sheets.h"
#include "support/fake_input.h"

namespace {

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    fake::Install();
    ReturnToMenu();
    coded::Install();
  }
  void TearDown() override {
    coded::Uninstall();
    fake::Uninstall();
    platform::ClearMessages();
    ResetShell();
  }
  // The cursor somewhere that touches no item.
  void Idle() { fake::cursorX = fake::cursorY = 5; }
  void FrameAt(int32_t x, int32_t y, bool click) {
    fake::cursorX = x;
    fake::cursorY = y;
    fake::buttonPollsLeft = click ? 1 : 0;
    MenuFrame();
  }
};

TEST_F(MenuTest, FirstFrameShowsTheStartingSettings) {
  Idle();
  MenuFrame();
  EXPECT_EQ(coded::At(0, 0), coded::kTitle);
  EXPECT_EQ(coded::TextAt(320, 150, 5, 2), "Play!");
  EXPECT_EQ(coded::TextAt(320, 180, 17, 2), "Video Resolution:");
  EXPECT_EQ(coded::TextAt(150, 180, 10, 1), "640x480x16");
  EXPECT_EQ(coded::TextAt(320, 210, 11, 2), "Game Speed:");
  EXPECT_EQ(coded::DigitsAt(160, 210, 1, 1, 4), "2");
  EXPECT_EQ(coded::TextAt(320, 240, 7, 2), "Bullets");
  EXPECT_EQ(coded::DigitsAt(160, 240, 1, 1, 4), "6");
  EXPECT_EQ(coded::TextAt(320, 270, 9, 2), "Player(s)");
  EXPECT_EQ(coded::DigitsAt(160, 270, 1, 1, 4), "1");
  EXPECT_EQ(coded::TextAt(320, 300, 9, 2), "CPU Level");
  EXPECT_EQ(coded::TextAt(157, 300, 4, 1), "Easy");
  EXPECT_EQ(coded::TextAt(404, 300, 10, 2), "          ");  // no "CPU2 Level"
  EXPECT_EQ(coded::TextAt(220, 300, 4, 1), "    ");
  EXPECT_EQ(coded::TextAt(320, 330, 15, 2), "Player 1 Color:");
  EXPECT_EQ(coded::TextAt(320, 360, 15, 2), "Player 2 Color:");
  EXPECT_EQ(coded::TextAt(320, 390, 13, 2), "Score to win:");
  EXPECT_EQ(coded::DigitsAt(160, 390, 1, 1, 4), "5");
  EXPECT_EQ(coded::TextAt(320, 420, 4, 2), "Quit");
  // Both planes facing right (column 0), in their own colours, a quarter sprite above the rows.
  EXPECT_EQ(coded::At(150, 322), coded::PlaneCell(0, 0));
  EXPECT_EQ(coded::At(181, 351), coded::PlaneCell(0, 0));
  // Plane 2's picture overlaps the last two rows of plane 1's.
  EXPECT_EQ(coded::At(150, 321), coded::kTitle);
  EXPECT_EQ(coded::At(150, 352), coded::PlaneCell(0, 1));
  EXPECT_EQ(coded::At(181, 383), coded::PlaneCell(0, 1));
  EXPECT_EQ(matchFramePeriod, 30);
}

TEST_F(MenuTest, KeyLegendsOfBothPlayers) {
  Idle();
  MenuFrame();
  EXPECT_EQ(coded::TextAt(10, 410, 21, 2), "  Player 1 Controls  ");
  EXPECT_EQ(coded::TextAt(10, 420, 21, 2), "---------------------");
  EXPECT_EQ(coded::TextAt(10, 430, 21, 2), "Gas              CTRL");
  EXPECT_EQ(coded::TextAt(10, 440, 21, 2), "Fire            SHIFT");
  EXPECT_EQ(coded::TextAt(10, 450, 21, 2), "Nose up    LEFT ARROW");
  EXPECT_EQ(coded::TextAt(10, 460, 21, 2), "Nose down RIGHT ARROW");
  EXPECT_EQ(coded::TextAt(10, 470, 21, 2), "---------------------");
  EXPECT_EQ(coded::TextAt(472, 410, 21, 2), "  Player 2 Controls  ");
  EXPECT_EQ(coded::TextAt(472, 430, 21, 2), "Gas               ALT");
  EXPECT_EQ(coded::TextAt(472, 440, 21, 2), "Fire                Z");
  EXPECT_EQ(coded::TextAt(472, 450, 21, 2), "Nose up             C");
  EXPECT_EQ(coded::TextAt(472, 460, 21, 2), "Nose down           V");
  EXPECT_EQ(coded::At(639, 470), coded::Letter('-', 2));  // the lines end at the right edge
}

TEST_F(MenuTest, HighlightFollowsTheStrictAndInclusiveBoxEdges) {
  FrameAt(320, 150, false);  // the column x = C itself belongs to no item
  EXPECT_EQ(coded::TextAt(320, 150, 5, 2), "Play!");
  FrameAt(321, 150, false);
  EXPECT_EQ(coded::TextAt(320, 150, 5, 6), "Play!");
  FrameAt(321, 179, false);  // bottom row included
  EXPECT_EQ(coded::TextAt(320, 150, 5, 6), "Play!");
  FrameAt(359, 179, false);  // last column inside: C + 40 is outside
  EXPECT_EQ(coded::TextAt(320, 150, 5, 6), "Play!");
  FrameAt(360, 160, false);
  EXPECT_EQ(coded::TextAt(320, 150, 5, 2), "Play!");
  FrameAt(330, 180, false);  // between "Play!" and "Game Speed:"
  EXPECT_EQ(coded::TextAt(320, 150, 5, 2), "Play!");
  EXPECT_EQ(coded::TextAt(320, 210, 11, 2), "Game Speed:");
  FrameAt(407, 239, false);
  EXPECT_EQ(coded::TextAt(320, 210, 11, 6), "Game Speed:");
  FrameAt(351, 449, false);
  EXPECT_EQ(coded::TextAt(320, 420, 4, 6), "Quit");
  FrameAt(330, 240, false);  // "Bullets" does not answer the mouse
  EXPECT_EQ(coded::TextAt(320, 240, 7, 2), "Bullets");
}

TEST_F(MenuTest, GameSpeedCyclesAndSetsTheMatchPeriod) {
  const int32_t expected[] = {3, 4, 5, 1, 2, 3};
  for (int32_t speed : expected) {
    FrameAt(330, 220, true);
    EXPECT_EQ(gameSpeed, speed);
  }
  // The period follows in the next frame, before its click.
  FrameAt(5, 5, false);
  EXPECT_EQ(matchFramePeriod, 20);
  // A click needs C < x: the column itself does nothing, nor does "Bullets".
  FrameAt(320, 220, true);
  FrameAt(330, 250, true);
  EXPECT_EQ(gameSpeed, 3);
}

TEST_F(MenuTest, AHeldButtonStepsOnceInEveryFrame) {
  fake::cursorX = 330;
  fake::cursorY = 215;
  for (int i = 0; i < 4; ++i) {
    fake::buttonPollsLeft = 1;  // seen down in each of the four frames
    MenuFrame();
  }
  EXPECT_EQ(gameSpeed, 1);
  // The value drawn in a frame is the one before that frame's click.
  EXPECT_EQ(coded::DigitsAt(160, 210, 1, 1, 4), "5");
}

TEST_F(MenuTest, PlayersTogglesTheComputerRow) {
  FrameAt(330, 280, true);
  EXPECT_EQ(cpuPlayers, 0);
  FrameAt(5, 5, false);
  EXPECT_EQ(coded::DigitsAt(160, 270, 1, 1, 4), "2");
  EXPECT_EQ(coded::TextAt(320, 300, 9, 2), "         ");
  EXPECT_EQ(coded::TextAt(157, 300, 4, 1), "    ");
  FrameAt(330, 280, true);
  EXPECT_EQ(cpuPlayers, 1);
  FrameAt(5, 5, false);
  EXPECT_EQ(coded::DigitsAt(160, 270, 1, 1, 4), "1");
  EXPECT_EQ(coded::TextAt(320, 300, 9, 2), "CPU Level");
}

TEST_F(MenuTest, PlayersClickBoxIsNarrowerThanItsLabel) {
  FrameAt(385, 280, true);  // C + 65: lit up, but no change
  EXPECT_EQ(coded::TextAt(320, 270, 9, 6), "Player(s)");
  EXPECT_EQ(cpuPlayers, 1);
  FrameAt(379, 280, true);  // C + 59: inside the click box
  EXPECT_EQ(cpuPlayers, 0);
}

TEST_F(MenuTest, ComputerAgainstComputerShowsBothLevels) {
  cpuPlayers = 2;
  cpuLevel = 1;
  cpu2Level = 9;
  FrameAt(5, 5, false);
  EXPECT_EQ(coded::TextAt(320, 300, 9, 2), "CPU Level");
  EXPECT_EQ(coded::TextAt(404, 300, 10, 2), "CPU2 Level");
  EXPECT_EQ(coded::TextAt(157, 300, 6, 1), "Medium");
  EXPECT_EQ(coded::TextAt(220, 300, 4, 1), "Hard");
  EXPECT_EQ(coded::DigitsAt(160, 270, 1, 1, 4), "0");
}

TEST_F(MenuTest, PlayStartsAMatchAtTheShownSpeed) {
  gameSpeed = 5;
  FrameAt(330, 160, true);
  EXPECT_EQ(gameMode, MODE_MATCH);
  EXPECT_EQ(matchFramePeriod, 0);
}

TEST_F(MenuTest, QuitEndsTheGame) {
  FrameAt(340, 430, true);
  EXPECT_TRUE(IsQuitting());
}

TEST_F(MenuTest, LabelsFollowTheCentreAndValuesStayAtTheLeftAt1024) {
  coded::Uninstall();
  SetScreenSize(1024, 768);
  coded::Install();
  Idle();
  MenuFrame();
  EXPECT_EQ(coded::TextAt(512, 150, 5, 2), "Play!");
  EXPECT_EQ(coded::TextAt(150, 180, 11, 1), "1024x768x16");
  EXPECT_EQ(coded::DigitsAt(160, 210, 1, 1, 4), "2");
  EXPECT_EQ(coded::TextAt(856, 698, 21, 2), "  Player 2 Controls  ");
  EXPECT_EQ(coded::TextAt(10, 758, 21, 2), "---------------------");
  FrameAt(513, 215, true);
  EXPECT_EQ(gameSpeed, 3);
}

}  // namespace
