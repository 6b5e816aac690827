// The main menu: what it shows, its highlight and its clicks.
#include "menu/menu.h"

#include "support/coded_sheets.h"

class MenuTest : public coded::Test {};

TEST_F(MenuTest, Layout) {
  MenuFrame();
  // clang-format off
  ExpectShown({{"640x480x16", 150, 180, 1}, {"2", 160, 210, 1, 4, true}, {"Easy", 157, 300, 1},
               {"1", 160, 270, 1, 4, true}, {"CPU Level", 320, 300, 2},
               {"Fire                Z", 472, 440, 2}});
  // clang-format on
  // Both planes face right in their colours, a quarter sprite above their rows; plane 2 covers
  // the last two rows of plane 1.
  EXPECT_TRUE(Shows(planeSurface, 0, 0, 150, 322, 32, 30));
  EXPECT_TRUE(Shows(planeSurface, 0, 32, 150, 352, 32, 32));
  EXPECT_EQ(matchFramePeriod, 30);
  // Two computers, both levels named.
  std::tie(cpuPlayers, cpuLevel, cpu2Level) = std::tuple(2, 1, 9);
  MenuFrame();
  // clang-format off
  ExpectShown({{"0", 160, 270, 1, 4, true}, {"CPU2 Level", 404, 300, 2}, {"Medium", 157, 300, 1},
               {"Hard", 220, 300, 1}});
  // clang-format on
}

TEST_F(MenuTest, ItemBoxesOneFramePerRow) {
  // The cursor, whether the button is down, the item label that lights up or not, then the
  // settings. A held button steps a value in every frame.
  // clang-format off
  const struct { int x, y; bool click; const char* label; int top; bool lit;
                 int speed, cpuPlayers; } frames[] = {
      {321, 179, false, "Play!", 150, true, 2, 1}, {359, 150, false, "Play!", 150, true, 2, 1},
      {360, 150, false, "Play!", 150, false, 2, 1},
      {407, 239, true, "Game Speed:", 210, true, 3, 1},
      {330, 220, true, "Game Speed:", 210, true, 4, 1},
      {330, 220, true, "Game Speed:", 210, true, 5, 1},
      {330, 220, true, "Game Speed:", 210, true, 1, 1},
      // Lit, but clicks take 60 pixels only.
      {385, 280, true, "Player(s)", 270, true, 1, 1},
      {379, 280, true, "Player(s)", 270, true, 1, 0}, {379, 280, true, "Player(s)", 270, true, 1, 1},
      {330, 245, true, "Bullets", 240, false, 1, 1}};
  // clang-format on
  for (const auto& f : frames) {
    // Held through the frame when down.
    fake::Click(f.x, f.y, f.click);
    MenuFrame();
    EXPECT_TRUE(Text(f.label, 320, f.top, f.lit ? 6 : 2)) << &f - frames;
    EXPECT_EQ(gameSpeed, f.speed) << &f - frames;
    EXPECT_EQ(cpuPlayers, f.cpuPlayers) << &f - frames;
  }
}
