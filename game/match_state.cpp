#include "game/match_state.h"

#include <cstring>
#include <initializer_list>

namespace {

// FNV-1a, 64 bits.
struct Fnv {
  uint64_t hash = 1469598103934665603ull;
  void Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash ^= bytes[i];
      hash *= 1099511628211ull;
    }
  }
  void Int(int32_t v) { Add(&v, sizeof v); }
  void Real(double v) { Add(&v, sizeof v); }
};

}  // namespace

void SaveMatchState(MatchState* state) {
  state->gameMode = gameMode;
  state->paused = paused;
  state->matchOver = matchOver;
  std::memcpy(state->planes, planes, sizeof planes);
  std::memcpy(state->clouds, clouds, sizeof clouds);
}

void RestoreMatchState(const MatchState& state) {
  gameMode = state.gameMode;
  paused = state.paused;
  matchOver = state.matchOver;
  std::memcpy(planes, state.planes, sizeof planes);
  std::memcpy(clouds, state.clouds, sizeof clouds);
}

uint64_t HashMatchState(const MatchState& s) {
  Fnv h;
  for (int32_t v :
       {s.gameMode, s.paused, s.matchOver, scoreToWin, maxBullets, cpuPlayers, cpuLevel, cpu2Level})
    h.Int(v);
  for (const Cloud& c : s.clouds) {
    h.Int(c.x);
    h.Int(c.y);
  }
  for (const Plane& p : s.planes) {
    for (int32_t v : {p.playerNumber, p.screenX, p.screenY, p.headingIndex, p.onGround, p.crashed,
                      p.crashTimer, p.bulletCount, p.color, p.score, p.kills, p.crashes, p.fired,
                      p.cpuPhase, p.cpuClimbFrames})
      h.Int(v);
    for (double v : {p.x, p.y, p.speed, p.vx, p.vy}) h.Real(v);
    for (int32_t i = 0; i < p.bulletCount && i < kBulletSlots; ++i) {
      const Bullet& b = p.bullets[i];
      h.Int(b.screenX);
      h.Int(b.screenY);
      h.Int(b.life);
      for (double v : {b.x, b.y, b.vx, b.vy}) h.Real(v);
    }
  }
  return h.hash;
}

uint64_t HashCurrentMatch() {
  MatchState state;
  SaveMatchState(&state);
  return HashMatchState(state);
}
