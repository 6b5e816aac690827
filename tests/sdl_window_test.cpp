// The SDL window: a game with no display to show itself on must say so, not run unseen.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/system.h"

namespace {

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (hadOld_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool hadOld_ = false;
  std::string old_;
};

class SdlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test chooses its own video driver, so none may be running yet.
    ASSERT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
  }
  void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
};

TEST_F(SdlWindowTest, NoDisplayAndNoDriverAskedForGivesNoWindowAndSaysWhy) {
  ScopedEnv driver("SDL_VIDEODRIVER", nullptr);
  // No DISPLAY at all: with a made-up one, D-Bus's search for a session bus keeps memory that
  // LeakSanitizer reports.
  ScopedEnv display("DISPLAY", nullptr);
  ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  char why[256] = "";
  platform::Window* window = platform::sdlBackend.createWindow("t", 640, 480, why, sizeof why);
  EXPECT_EQ(window, nullptr);
  if (window != nullptr) platform::sdlBackend.destroyWindow(window);
  EXPECT_NE(std::string(why).find("no display"), std::string::npos) << why;
  // Nothing is left running that a later attempt would take for a usable display.
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(SdlWindowTest, AnInvisibleDriverAskedForByNameStillGivesAWindow) {
  ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
  char why[256] = "";
  platform::Window* window = platform::sdlBackend.createWindow("t", 640, 480, why, sizeof why);
  ASSERT_NE(window, nullptr) << why;
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "dummy");
  platform::sdlBackend.destroyWindow(window);
}

}  // namespace
