#include "game/pilot.h"

#include <cmath>

#include "game/controls.h"
#include "game/state.h"

namespace {

// Steps of ten degrees per radian, as the pilot rounds it.
constexpr double kHeadingStepsPerRadian = 5.7296;

struct Skill {
  int32_t wobbleThreshold;  // out of 100: how often a patrolling pilot wanders
  int32_t aimTolerance;     // headings either side of the target at which it fires
};

Skill SkillOf(int32_t level) {
  if (level == 0) return {20, 0};  // Easy
  if (level == 1) return {15, 1};  // Medium
  return {10, 2};                  // Hard, and any other value
}

// One of the even numbers 0..100, each equally likely.
int32_t Draw() {
  int32_t value;
  do {
    value = RandomNumber() / 100 * 2;
  } while (value > 100);
  return value;
}

// The call's two random values, each drawn the first time a rule asks for it, so the sequence of
// random numbers depends on which rules ran.
struct Draws {
  int32_t r1 = 0;
  int32_t r2 = 0;
  bool r1Drawn = false;
  bool r2Drawn = false;

  int32_t R1() {
    if (!r1Drawn) {
      r1 = Draw();
      r1Drawn = true;
    }
    return r1;
  }
  int32_t R2() {
    if (!r2Drawn) {
      r2 = Draw();
      r2Drawn = true;
    }
    return r2;
  }
};

// Turns the plane toward straight up; there it alternates between headings 8 and 9.
int32_t SteerUp(const Plane& plane) {
  return plane.headingIndex >= 9 && plane.headingIndex <= 26 ? TURN_NOSE_DOWN : TURN_NOSE_UP;
}

void SetClimbTimer(Plane& plane, Draws& draws) {
  const int32_t r1 = draws.R1();
  if (r1 < 20) {
    plane.cpuClimbFrames = 5;
  } else if (r1 < 40) {
    plane.cpuClimbFrames = 8;
  } else if (r1 < 70) {
    plane.cpuClimbFrames = 10;
  } else {
    plane.cpuClimbFrames = 14;
  }
}

bool IsLow(const Plane& plane) {
  return static_cast<double>(plane.screenY) > 0.85 * screenHeight - spriteHeight;
}

// Forced climb: a running climb timer, or else a plane too near the ground starts one. Returns
// false when neither applies.
bool ForcedClimb(Plane& plane, Draws& draws, int32_t* turn) {
  if (plane.cpuClimbFrames > 0) {
    *turn = SteerUp(plane);
    plane.cpuClimbFrames -= 1;
    return true;
  }
  if (IsLow(plane)) {
    *turn = SteerUp(plane);
    SetClimbTimer(plane, draws);
    return true;
  }
  return false;
}

void ClimbOut(Plane& plane, const Plane& opponent, Draws& draws, int32_t* turn) {
  if (ForcedClimb(plane, draws, turn)) return;
  if (opponent.onGround != 1) {
    plane.cpuPhase = PHASE_ATTACK;
    return;
  }
  if (draws.R1() < 20 && plane.headingIndex < 18) *turn = TURN_NOSE_UP;
  const int32_t r2 = draws.R2();
  const double factor = r2 < 50 ? 0.8 : (r2 < 66 ? 0.75 : 0.7);
  const double levelOffLine = factor * screenHeight - spriteHeight;
  if (plane.screenY < levelOffLine) {
    // Above the line: bring the nose down to level flight, then patrol.
    if (plane.headingIndex > 0) {
      *turn = TURN_NOSE_DOWN;
    } else {
      plane.cpuPhase = PHASE_PATROL;
    }
  }
}

void Patrol(Plane& plane, const Plane& opponent, const Skill& skill, Draws& draws, int32_t* turn) {
  if (opponent.onGround != 1) {
    plane.cpuPhase = PHASE_ATTACK;
  } else if (plane.screenY > 0.8 * screenHeight - spriteHeight) {
    *turn = TURN_NOSE_UP;
  } else if (plane.screenY < 0.05 * screenHeight) {
    *turn = TURN_NOSE_DOWN;
  } else {
    // Both values are drawn even when the first alone decides.
    const int32_t r1 = draws.R1();
    const int32_t r2 = draws.R2();
    if (r1 < skill.wobbleThreshold) {
      *turn = r2 < 33 ? TURN_NOSE_UP : (r2 < 66 ? TURN_NONE : TURN_NOSE_DOWN);
    } else {
      *turn = TURN_NONE;
    }
  }
}

void Attack(int32_t flownIndex, int32_t opponentIndex, const Skill& skill, Draws& draws,
            int32_t* gas, int32_t* turn, int32_t* fire) {
  Plane& plane = planes[flownIndex];
  // With the opponent back on its runway the pilot patrols from the next frame; this frame's
  // attack rules still run.
  if (planes[opponentIndex].onGround == 1) plane.cpuPhase = PHASE_PATROL;
  if (ForcedClimb(plane, draws, turn)) return;

  const int32_t target = TargetHeading(flownIndex, opponentIndex);
  const int32_t heading = plane.headingIndex;
  if (heading == target) {
    *turn = TURN_NONE;
  } else if (heading > target) {
    *turn = TURN_NOSE_DOWN;
    if (draws.R1() < 3) *gas = 0;
  } else {
    *turn = TURN_NOSE_UP;
    if (draws.R1() < 6) *gas = 0;
  }
  if (target - skill.aimTolerance <= heading && heading <= target + skill.aimTolerance) *fire = 1;
}

}  // namespace

int32_t TargetHeading(int32_t flownIndex, int32_t opponentIndex) {
  const Plane& plane = planes[flownIndex];
  const Plane& opponent = planes[opponentIndex];
  const int32_t dx = opponent.screenX - plane.screenX;
  const int32_t dy = opponent.screenY - plane.screenY;  // > 0: the opponent is lower
  const double dist = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
  int32_t theta = 0;
  // Both planes at the same spot: no direction, aim level.
  if (dist > 0.0) {
    double sine = dy / dist;
    if (sine > 1.0) sine = 1.0;
    if (sine < -1.0) sine = -1.0;
    theta = std::abs(static_cast<int32_t>(std::asin(sine) * kHeadingStepsPerRadian));
  }
  if (dx > 0) return dy > 0 ? 36 - theta : theta;
  if (dx < 0) return dy > 0 ? 18 + theta : 18 - theta;
  return theta;
}

void ComputerControls(int32_t gas, int32_t turn, int32_t fire, int32_t planeIndex) {
  ApplyControlCommands(planeIndex, gas, turn, fire);
}

void ComputerPilot(int32_t flownIndex, int32_t opponentIndex) {
  Plane& plane = planes[flownIndex];
  const Plane& opponent = planes[opponentIndex];
  const Skill skill = SkillOf(flownIndex == 1 ? cpuLevel : cpu2Level);
  int32_t gas = 1;
  int32_t turn = TURN_NONE;
  int32_t fire = 0;
  Draws draws;

  if (plane.onGround == 1) {
    // Full gas down the runway; lift off at a random moment once fast enough.
    turn = draws.R1() < 20 ? TURN_NOSE_UP : TURN_NONE;
    ComputerControls(1, turn, 0, flownIndex);
    plane.cpuPhase = PHASE_CLIMB_OUT;
    return;
  }

  // The phases are looked at in this order, so a phase entered here decides this frame too.
  if (plane.cpuPhase == PHASE_CLIMB_OUT) ClimbOut(plane, opponent, draws, &turn);
  if (plane.cpuPhase == PHASE_PATROL) Patrol(plane, opponent, skill, draws, &turn);
  if (plane.cpuPhase == PHASE_ATTACK) {
    Attack(flownIndex, opponentIndex, skill, draws, &gas, &turn, &fire);
  }

  ComputerControls(gas, turn, fire, flownIndex);
}
