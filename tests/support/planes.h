// A fresh match to start from, and planes put where a test needs them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "fake_input.h"
#include "game/state.h"
#include "shell/shell.h"

namespace testplanes {

// Plane `index` in the air at (x, y), its integer position to match, nose at `heading`.
inline Plane& PutInAir(int32_t index, double x, double y, int32_t heading, double speed) {
  Plane& p = planes[index];
  std::tie(p.x, p.y, p.headingIndex, p.speed, p.onGround, p.crashed) =
      std::tuple(x, y, heading, speed, 0, 0);
  p.screenX = static_cast<int32_t>(x), p.screenY = static_cast<int32_t>(y);
  return p;
}

// A match of two human players just begun: both planes on their runways, nothing drawn (no
// pictures loaded), the fake keyboard, mouse and clock installed.
class Fresh : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    ResetShell();
    platform::ClearMessages();
    ReturnToMenu();
    gameMode = MODE_MATCH;
    cpuPlayers = 0;
    fake::Install();
  }
  void TearDown() override {
    fake::Uninstall();
    platform::ClearMessages();
    ResetShell();
  }
};

}  // namespace testplanes
