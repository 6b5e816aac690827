// The real main loop's frame rate and processor time: the game started as usual (window, sound
// and pictures on SDL's headless drivers, the real millisecond timer), then MainLoopPass and the
// wait between passes run for a while in the menu and at every game speed, counting the frames
// that ran and the processor time the process took.
//
//   make pacing
//
// A frame is due once the accumulated time exceeds the period, and the pass that runs it restarts
// the count, so frames come every period + 1 ms: 12.3 a second in the menu (80 ms) and 24.4,
// 32.3, 47.6, 90.9 and 1000 a second at game speeds 1 to 5 (40, 30, 20, 10 and 0 ms).
//
// Frames are counted from what each frame leaves behind: every menu frame writes the match period
// shown in the menu, and every running match frame moves the first cloud.
//
// The processor share is the process's own time (all threads, the sound's included) over the
// run's wall time. Between frames the loop sleeps, so the menu, 12 frames a second, needs at
// most 5 % of one core and game speeds 1 to 4 at most 25 %; speed 5 polls every millisecond.
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "game/state.h"
#include "shell/shell.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kSeconds = 5.0;
constexpr double kTolerance = 0.01;  // every frame rate within 1 % of the rule
constexpr double kMenuCpuLimit = 0.05;
constexpr double kMatchCpuLimit = 0.25;

struct Measured {
  int32_t frames = 0;          // frames after the first one
  double seconds = 0.0;        // from the first frame to the last
  double medianFrameUs = 0.0;  // how long a pass that ran a frame took
  long preempted = 0;          // times another process took the processor away meanwhile
  double cpuShare = 0.0;       // processor time over wall time, 1.0 = one core
  double perSecond() const { return seconds > 0.0 ? frames / seconds : 0.0; }
};

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long InvoluntarySwitches() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nivcsw;
}

// Runs loop passes for kSeconds; frameRan says, after each pass, whether that pass ran a frame
// (and readies the witness for the next one).
template <typename FrameRan>
Measured Run(FrameRan frameRan) {
  Measured m;
  int32_t exitCode = 0;
  Clock::time_point first{};
  Clock::time_point last{};
  bool started = false;
  std::vector<double> frameUs;
  frameUs.reserve(8000);
  const long switchesBefore = InvoluntarySwitches();
  const double cpuBefore = ProcessCpuSeconds();
  const Clock::time_point begin = Clock::now();
  const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                   std::chrono::duration<double>(kSeconds + 0.2));
  while (Clock::now() < end) {
    const Clock::time_point passStart = Clock::now();
    if (!MainLoopPass(&exitCode)) break;
    const bool ran = frameRan();
    const Clock::time_point now = Clock::now();
    WaitForNextPass();
    if (!ran) continue;
    frameUs.push_back(std::chrono::duration<double, std::micro>(now - passStart).count());
    if (!started) {
      // The first frame only marks the start: the rate is counted between frames.
      started = true;
      first = now;
    } else {
      ++m.frames;
    }
    last = now;
  }
  m.seconds = std::chrono::duration<double>(last - first).count();
  m.preempted = InvoluntarySwitches() - switchesBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - begin).count();
  m.cpuShare = wall > 0.0 ? (ProcessCpuSeconds() - cpuBefore) / wall : 0.0;
  if (!frameUs.empty()) {
    std::nth_element(frameUs.begin(), frameUs.begin() + frameUs.size() / 2, frameUs.end());
    m.medianFrameUs = frameUs[frameUs.size() / 2];
  }
  return m;
}

Measured RunMenu() {
  gameMode = MODE_MENU;
  matchFramePeriod = -1;
  return Run([] {
    if (matchFramePeriod == -1) return false;
    matchFramePeriod = -1;
    return true;
  });
}

Measured RunMatch(int32_t speed) {
  gameSpeed = speed;
  matchFramePeriod = (5 - gameSpeed) * 10;
  cpuPlayers = 2;
  ReturnToMenu();
  gameMode = MODE_MATCH;
  static int32_t cloudX = 0;
  cloudX = clouds[0].x;
  return Run([] {
    const bool moved = clouds[0].x != cloudX;
    cloudX = clouds[0].x;
    // A finished match starts over at once, so that the clouds keep moving.
    if (matchOver == 1) {
      ReturnToMenu();
      gameMode = MODE_MATCH;
    }
    return moved;
  });
}

// cpuLimit 0: no limit on the processor share.
bool Report(const char* what, int32_t period, const Measured& m, double floorShare,
            double cpuLimit) {
  const double rule = 1000.0 / (period + 1);
  const double got = m.perSecond();
  const double off = (got - rule) / rule;
  bool ok = std::fabs(off) <= kTolerance;
  if (floorShare > 0.0) ok = got >= floorShare * rule;
  const bool cpuOk = cpuLimit <= 0.0 || m.cpuShare <= cpuLimit;
  std::printf("%-9s %3d ms   %8.1f   %8.1f   %6d   %+6.2f %%   %6.1f %%   %8.0f   %9ld   %s\n",
              what, period, rule, got, m.frames, 100.0 * off, 100.0 * m.cpuShare, m.medianFrameUs,
              m.preempted, !ok ? "MISSED" : (cpuOk ? "ok" : "BUSY"));
  return ok && cpuOk;
}

}  // namespace

int main() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (chdir(CORVANE_DATA_DIR) != 0) {
    std::fprintf(stderr, "corvane-pacing: cannot enter %s\n", CORVANE_DATA_DIR);
    return 1;
  }
  if (StartUp() != 0) return 1;
  double load[3] = {0.0, 0.0, 0.0};
  getloadavg(load, 3);
  // Other processes take the processor away now and then; the load says how busy it was.
  std::printf("%dx%d, %.0f s each, load average %.2f\n", screenWidth, screenHeight, kSeconds,
              load[0]);
  std::printf(
      "mode      period   rule fps   measured   frames   off        cpu        frame us   "
      "preempted\n");
  bool ok = Report("menu", menuFramePeriod, RunMenu(), 0.0, kMenuCpuLimit);
  for (int32_t speed = 1; speed <= 5; ++speed) {
    char name[16];
    std::snprintf(name, sizeof name, "speed %d", speed);
    const Measured m = RunMatch(speed);
    // At speed 5 the period is 0: a frame per timer step, as long as a frame takes less than one.
    ok = Report(name, matchFramePeriod, m, speed == 5 ? 0.95 : 0.0,
                speed == 5 ? 0.0 : kMatchCpuLimit) &&
         ok;
  }
  QuitGame();
  int32_t exitCode = 0;
  while (MainLoopPass(&exitCode)) {
  }
  platform::backend.destroyWindow(mainWindow);
  mainWindow = nullptr;
  return ok ? 0 : 1;
}
