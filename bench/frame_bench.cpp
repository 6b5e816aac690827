// What a frame costs, with the game's real pictures on SDL's headless video driver, at the
// smallest and the largest screen size: the simulation of a running match, drawing the match,
// presenting it, whole menu and match frames, and the bare present of an untouched back buffer,
// which is the floor under every frame.
//
//   make bench        (runs from build/data, where the pictures are)
//
// Input is faked (no key held, the cursor in the top-left corner, no event polling), so the
// numbers are the game's own work. No sound device is opened: a played effect is only a flag.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "game/controls.h"
#include "game/flight.h"
#include "game/guns.h"
#include "game/input.h"
#include "game/match.h"
#include "game/pilot.h"
#include "game/state.h"
#include "graphics/display.h"
#include "graphics/match_screen.h"
#include "menu/menu.h"
#include "net/rollback.h"
#include "platform/display.h"
#include "platform/surface.h"
#include "platform/system.h"
#include "shell/shell.h"

namespace {

using Clock = std::chrono::steady_clock;

bool NoKeyDown(int32_t) { return false; }
void CursorInCorner(int32_t* x, int32_t* y) {
  *x = 0;
  *y = 0;
}
void NoPump() {}

int32_t openWidth = 0;
int32_t openHeight = 0;
platform::Surface* untouched = nullptr;

// The match as it stood after the warm-up, so every benchmark starts from the same scene.
struct Scene {
  Plane planes[2];
  Cloud clouds[kCloudCount];
  int32_t paused;
  int32_t matchOver;
} scene;

void SaveScene() {
  std::memcpy(scene.planes, planes, sizeof planes);
  std::memcpy(scene.clouds, clouds, sizeof clouds);
  scene.paused = paused;
  scene.matchOver = matchOver;
}

void LoadScene() {
  std::memcpy(planes, scene.planes, sizeof planes);
  std::memcpy(clouds, scene.clouds, sizeof clouds);
  paused = scene.paused;
  matchOver = scene.matchOver;
  gameMode = MODE_MATCH;
}

// A finished match starts over at once, as if "Play!" had been chosen again.
void RestartFinishedMatch() {
  if (matchOver == 1) {
    ReturnToMenu();
    gameMode = MODE_MATCH;
  }
}

void CloseGame() {
  platform::FreeSurface(untouched);
  untouched = nullptr;
  if (mainWindow != nullptr) {
    ReleaseDisplay();
    platform::backend.destroyWindow(mainWindow);
    mainWindow = nullptr;
  }
  openWidth = 0;
  openHeight = 0;
}

// The game open at width x height with its pictures loaded, in a match of computer against
// computer that has run long enough for planes and bullets to be in the air.
bool OpenGame(int32_t width, int32_t height, benchmark::State& state) {
  if (openWidth == width && openHeight == height) {
    LoadScene();
    return true;
  }
  CloseGame();
  SetScreenSize(width, height);
  if (CreateMainWindow() != 1) {
    state.SkipWithError("no window");
    return false;
  }
  if (InitDirectDraw() == 0) {
    state.SkipWithError(displayFailure);
    return false;
  }
  LoadBitmaps();
  untouched = platform::CreateSurface(width, height);
  std::srand(20240601u);
  PlaceClouds();
  ReturnToMenu();
  cpuPlayers = 2;
  gameMode = MODE_MATCH;
  platform::Surface* screen = primarySurface;
  primarySurface = nullptr;  // the warm-up need not be shown
  for (int32_t frame = 0; frame < 700; ++frame) {
    MatchFrame();
    RestartFinishedMatch();
  }
  primarySurface = screen;
  SaveScene();
  openWidth = width;
  openHeight = height;
  return true;
}

// The median of each repetition's per-frame times, by benchmark name.
std::map<std::string, std::vector<double>> medians;

// Times every call of frame on its own, so that the median of the frames can be reported next to
// Google Benchmark's mean (a frame now and then slowed down by another process moves the mean,
// not the median).
template <typename Frame>
void TimeFrames(benchmark::State& state, const char* name, Frame frame) {
  std::vector<double> ns;
  ns.reserve(
      static_cast<size_t>(std::min<benchmark::IterationCount>(state.max_iterations, 50'000'000)));
  for (auto _ : state) {
    const Clock::time_point t0 = Clock::now();
    frame();
    const Clock::time_point t1 = Clock::now();
    ns.push_back(std::chrono::duration<double, std::nano>(t1 - t0).count());
  }
  if (ns.empty()) return;
  std::nth_element(ns.begin(), ns.begin() + ns.size() / 2, ns.end());
  const double median = ns[ns.size() / 2];
  state.counters["frame_p50_us"] = median / 1000.0;
  medians[std::string(name) + "/" + std::to_string(openWidth) + "x" + std::to_string(openHeight)]
      .push_back(median);
}

// Everything a running match frame does apart from DrawMatchScreen.
void SimulateOneFrame() {
  ::SimulateMatchFrame();
  RestartFinishedMatch();
}

void BM_Simulation(benchmark::State& state, int32_t w, int32_t h) {
  if (!OpenGame(w, h, state)) return;
  TimeFrames(state, "Simulation", [] { SimulateOneFrame(); });
}

void BM_DrawMatchScreen(benchmark::State& state, int32_t w, int32_t h) {
  if (!OpenGame(w, h, state)) return;
  // Without a screen PresentFrame shows nothing, which leaves the drawing alone.
  platform::Surface* screen = primarySurface;
  primarySurface = nullptr;
  TimeFrames(state, "DrawMatchScreen", [] { DrawMatchScreen(); });
  primarySurface = screen;
}

void BM_PresentFrame(benchmark::State& state, int32_t w, int32_t h) {
  if (!OpenGame(w, h, state)) return;
  platform::Surface* screen = primarySurface;
  primarySurface = nullptr;
  DrawMatchScreen();
  primarySurface = screen;
  TimeFrames(state, "PresentFrame", [] { PresentFrame(); });
}

void BM_MenuFrame(benchmark::State& state, int32_t w, int32_t h) {
  if (!OpenGame(w, h, state)) return;
  gameMode = MODE_MENU;
  TimeFrames(state, "MenuFrame", [] { MenuFrame(); });
  gameMode = MODE_MATCH;
}

void BM_MatchFrame(benchmark::State& state, int32_t w, int32_t h) {
  if (!OpenGame(w, h, state)) return;
  TimeFrames(state, "MatchFrame", [] {
    MatchFrame();
    RestartFinishedMatch();
  });
}

void BM_BarePresent(benchmark::State& state, int32_t w, int32_t h) {
  if (!OpenGame(w, h, state)) return;
  const Rect whole{0, 0, w, h};
  TimeFrames(state, "BarePresent", [&] {
    benchmark::DoNotOptimize(platform::PresentToScreen(primarySurface, *untouched, whole));
  });
}

// Online play at speed 5 whose other side's inputs arrive 100 frames late and each differ from the
// one before, so that every frame first goes back 100 frames and runs them again (without sound),
// then runs its own; or, with `mispredicted` false, whose late inputs are as predicted.
net::Rollback rollback;

uint8_t PilotInput(uint32_t frame) {
  return INPUT_GAS | ((frame / 30) % 2 == 1 ? INPUT_NOSE_UP | INPUT_FIRE : 0);
}

void BM_RollbackFrame(benchmark::State& state, bool mispredicted) {
  constexpr uint32_t kLate = 100;
  ResetGameState();
  std::srand(4242);
  PlaceClouds();
  ReturnToMenu();
  gameMode = MODE_MATCH;
  scoreToWin = 1000;
  net::RollbackStart(&rollback, 0, 5);
  for (uint32_t f = 0; f < kLate; ++f) net::RollbackAdvance(&rollback, PilotInput(f));
  const auto remote = [mispredicted](uint32_t f) {
    return mispredicted && f % 2 == 1 ? INPUT_GAS | INPUT_FIRE : INPUT_GAS | INPUT_NOSE_UP;
  };
  openWidth = openHeight = 0;  // no screen: its medians go under 0x0
  const uint32_t before = rollback.stats.resimulatedFrames;
  const uint32_t frameBefore = rollback.frame;
  TimeFrames(state, mispredicted ? "RollbackFrame100" : "RollbackFrame0", [&] {
    net::InputPacket late{};
    late.ack = rollback.frame;
    late.first = rollback.remoteNext;
    late.count = 1;
    late.advantage = static_cast<int8_t>(kLate);
    late.hashFrame = net::kNoFrame;
    late.inputs[0] = remote(late.first);
    net::RollbackTakeInput(&rollback, late);
    net::RollbackAdvance(&rollback, PilotInput(rollback.frame));
  });
  const uint32_t frames = rollback.frame - frameBefore;
  state.counters["resimulated_per_frame"] =
      frames > 0 ? static_cast<double>(rollback.stats.resimulatedFrames - before) / frames : 0.0;
}

double MedianOf(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

double MedianUs(const char* name, int32_t w, int32_t h) {
  const std::string key = std::string(name) + "/" + std::to_string(w) + "x" + std::to_string(h);
  const auto found = medians.find(key);
  return found == medians.end() ? 0.0 : MedianOf(found->second) / 1000.0;
}

void Judge(const char* what, double value, double limit, int* misses) {
  const bool ok = value > 0.0 && value <= limit;
  if (!ok) ++*misses;
  std::printf("  %-44s %10.2f us  (target <= %.2f us)  %s\n", what, value, limit,
              ok ? "ok" : "MISSED");
}

int Summarise() {
  int misses = 0;
  std::printf("\nMedian frame times (median over repetitions of the per-frame median):\n");
  // Other processes slow the frames down; the load says how busy the machine was.
  double load[3] = {0.0, 0.0, 0.0};
  if (getloadavg(load, 3) == 3)
    std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
  const int32_t sizes[2][2] = {{640, 480}, {1024, 768}};
  for (const auto& size : sizes) {
    const int32_t w = size[0];
    const int32_t h = size[1];
    std::printf("%dx%d\n", w, h);
    const char* names[] = {"Simulation", "DrawMatchScreen", "PresentFrame",
                           "MenuFrame",  "MatchFrame",      "BarePresent"};
    for (const char* name : names) std::printf("  %-44s %10.2f us\n", name, MedianUs(name, w, h));
    const double match = MedianUs("MatchFrame", w, h);
    const double floor = MedianUs("BarePresent", w, h);
    Judge("simulation", MedianUs("Simulation", w, h), 5.0, &misses);
    Judge("whole match frame", match, w == 640 ? 500.0 : 1000.0, &misses);
    Judge("whole match frame against 2 x bare present", match, 2.0 * floor, &misses);
  }
  // Online play: the budget of a frame at speed 5 is 1 ms, drawing and presenting included.
  std::printf("online, speed 5\n");
  std::printf("  %-44s %10.2f us\n", "frame, predictions right", MedianUs("RollbackFrame0", 0, 0));
  Judge("frame with a 100-frame re-simulation", MedianUs("RollbackFrame100", 0, 0), 300.0, &misses);
  return misses == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // Headless unless told otherwise, with the pictures of the data directory.
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  if (chdir(CORVANE_DATA_DIR) != 0) {
    std::fprintf(stderr, "corvane_bench: cannot enter %s\n", CORVANE_DATA_DIR);
    return 1;
  }
  ResetGameState();
  ResetShell();
  platform::backend = platform::sdlBackend;
  platform::backend.isKeyDown = NoKeyDown;
  platform::backend.cursorPos = CursorInCorner;
  platform::backend.pumpMessages = NoPump;

  // Grouped by size, so each size's window and pictures are set up once.
  const int32_t sizes[2][2] = {{640, 480}, {1024, 768}};
  using Fn = void (*)(benchmark::State&, int32_t, int32_t);
  const std::pair<const char*, Fn> benches[] = {
      {"Simulation", BM_Simulation},     {"DrawMatchScreen", BM_DrawMatchScreen},
      {"PresentFrame", BM_PresentFrame}, {"MenuFrame", BM_MenuFrame},
      {"MatchFrame", BM_MatchFrame},     {"BarePresent", BM_BarePresent},
  };
  for (const auto& size : sizes) {
    for (const auto& [name, fn] : benches) {
      const std::string label =
          std::string(name) + "/" + std::to_string(size[0]) + "x" + std::to_string(size[1]);
      benchmark::RegisterBenchmark(label.c_str(), fn, size[0], size[1])
          ->Unit(benchmark::kMicrosecond)
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
    }
  }
  for (bool mispredicted : {false, true}) {
    benchmark::RegisterBenchmark(mispredicted ? "RollbackFrame100" : "RollbackFrame0",
                                 BM_RollbackFrame, mispredicted)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const int status = Summarise();
  CloseGame();
  return status;
}
