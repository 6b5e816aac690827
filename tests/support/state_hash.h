// A fingerprint of the whole game state, field by field (never struct padding), for replays.
#pragma once

#include <cstdint>
#include <cstring>

#include "game/state.h"

namespace statehash {

class Fnv {
 public:
  void Add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash_ ^= bytes[i];
      hash_ *= 1099511628211ull;
    }
  }
  void Int(int32_t v) { Add(&v, sizeof v); }
  void Real(double v) { Add(&v, sizeof v); }
  uint64_t Value() const { return hash_; }

 private:
  uint64_t hash_ = 1469598103934665603ull;
};

inline uint64_t HashGameState() {
  Fnv h;
  h.Int(gameMode);
  h.Int(gameSpeed);
  h.Int(cpuPlayers);
  h.Int(cpuLevel);
  h.Int(cpu2Level);
  h.Int(scoreToWin);
  h.Int(maxBullets);
  h.Int(paused);
  h.Int(matchOver);
  h.Int(matchFramePeriod);
  for (const Cloud& c : clouds) {
    h.Int(c.x);
    h.Int(c.y);
  }
  for (const Plane& p : planes) {
    h.Int(p.playerNumber);
    h.Real(p.x);
    h.Real(p.y);
    h.Real(p.speed);
    h.Int(p.screenX);
    h.Int(p.screenY);
    h.Int(p.headingIndex);
    h.Real(p.vx);
    h.Real(p.vy);
    h.Int(p.onGround);
    h.Int(p.crashed);
    h.Int(p.crashTimer);
    h.Int(p.bulletCount);
    for (int32_t i = 0; i < p.bulletCount; ++i) {
      const Bullet& b = p.bullets[i];
      h.Int(b.screenX);
      h.Int(b.screenY);
      h.Real(b.x);
      h.Real(b.y);
      h.Real(b.vx);
      h.Real(b.vy);
      h.Int(b.life);
    }
    h.Int(p.color);
    h.Int(p.score);
    h.Int(p.kills);
    h.Int(p.crashes);
    h.Int(p.fired);
    h.Int(p.cpuPhase);
    h.Int(p.cpuClimbFrames);
  }
  return h.Value();
}

}  // namespace statehash
