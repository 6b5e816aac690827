#include "net/rollback.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "game/input.h"
#include "game/match.h"
#include "sound/effects.h"

namespace net {

namespace {

// How far ahead of the other's inputs a side may run, in time; in frames it depends on the speed.
constexpr int32_t kPredictionMs = 200;

uint32_t InputSlot(uint32_t frame) { return frame % kInputRing; }
MatchState& StateBefore(Rollback* rb, uint32_t frame) { return rb->states[frame % kStateRing]; }

// What the other is taken to do in a frame whose input has not arrived: what it last did. A pause
// or a click is a single event, never repeated.
uint8_t RemoteInputFor(const Rollback& rb, uint32_t frame) {
  if (frame < rb.remoteNext) return rb.remoteInputs[InputSlot(frame)];
  if (rb.remoteNext == 0) return 0;
  return rb.remoteInputs[InputSlot(rb.remoteNext - 1)] & kFlyingBits;
}

// Runs one frame from the state in the globals and keeps the state after it. True when the frame
// left the match.
bool RunFrame(Rollback* rb, uint32_t frame) {
  const uint8_t remote = RemoteInputFor(*rb, frame);
  rb->usedRemote[InputSlot(frame)] = remote;
  FrameInput input;
  input.bits[rb->localPlayer] = rb->localInputs[InputSlot(frame)];
  input.bits[1 - rb->localPlayer] = remote;
  SetFrameInput(&input);
  SimulateMatchFrame();
  SetFrameInput(nullptr);
  SaveMatchState(&StateBefore(rb, frame + 1));
  return gameMode != MODE_MATCH;
}

void Compare(Rollback* rb, uint32_t frame) {
  const uint32_t slot = InputSlot(frame);
  if (rb->hashFrames[slot] != frame || rb->remoteHashFrames[slot] != frame) return;
  ++rb->stats.hashesCompared;
  if (rb->hashes[slot] == rb->remoteHashes[slot] || rb->desynced) return;
  rb->desynced = true;
  rb->desyncFrame = frame;
  rb->desyncHashes[0] = rb->hashes[slot];
  rb->desyncHashes[1] = rb->remoteHashes[slot];
}

// Frames run with both real inputs are final: fingerprint them, log their inputs, compare.
void Confirm(Rollback* rb) {
  const uint32_t upTo = rb->remoteNext < rb->frame ? rb->remoteNext : rb->frame;
  for (uint32_t f = rb->confirmed; f < upTo; ++f) {
    const uint32_t slot = InputSlot(f);
    rb->hashes[slot] = HashMatchState(StateBefore(rb, f + 1));
    rb->hashFrames[slot] = f;
    if (f < static_cast<uint32_t>(kLogFrames)) {
      const uint8_t local = rb->localInputs[slot];
      const uint8_t remote = rb->remoteInputs[slot];
      rb->log[f] = rb->localPlayer == 0 ? static_cast<uint16_t>(local | remote << 8)
                                        : static_cast<uint16_t>(remote | local << 8);
    }
    if (rb->onConfirmed != nullptr) rb->onConfirmed(rb->user, f, rb->hashes[slot]);
    Compare(rb, f);
  }
  if (upTo > rb->confirmed) rb->confirmed = upTo;
}

// Time sync: each side averages how far it sees itself ahead of the other (the other's frame as
// last heard, so both views carry the same delay); the side whose view exceeds the other's by two
// frames or more waits half the difference, a few frames at the most.
void SyncTime(Rollback* rb) {
  const int32_t sample =
      rb->remoteLatest == 0 ? 0 : static_cast<int32_t>(rb->frame - rb->remoteLatest);
  int32_t& slot = rb->advantage[rb->frame % kAdvantageSamples];
  rb->advantageSum += sample - slot;
  slot = sample;
  // Once per interval, not again after the wait it chose: the views need time to show its effect.
  if (rb->frame % kSyncInterval != 0 || rb->frame == rb->lastSyncFrame) return;
  rb->lastSyncFrame = rb->frame;
  const int32_t wait = (rb->advantageSum / kAdvantageSamples - rb->remoteAdvantage) / 2;
  if (wait >= 1) rb->waitLeft = wait < rb->maxWait ? wait : rb->maxWait;
}

}  // namespace

void RollbackStart(Rollback* rb, int32_t localPlayer, int32_t gameSpeed) {
  // The computer pilot draws random numbers, which the two machines do not share: online, both
  // planes are flown by people.
  cpuPlayers = 0;
  rb->localPlayer = localPlayer == 1 ? 1 : 0;
  const int32_t periodMs = gameSpeed >= 5 ? 1 : (5 - gameSpeed) * 10;
  const int32_t window = kPredictionMs / (periodMs > 0 ? periodMs : 1);
  rb->maxPrediction = window < 4 ? 4 : window > kStateRing - 8 ? kStateRing - 8 : window;
  // At speeds 1 to 4 a wait of more than two frames would be felt; at speed 5 two frames are 2 ms.
  rb->maxWait = gameSpeed >= 5 ? 8 : 2;
  rb->frame = rb->frameHigh = 0;
  rb->remoteNext = rb->remoteLatest = rb->ackedByRemote = rb->confirmed = 0;
  rb->firstWrong = rb->endFrame = kNoFrame;
  std::memset(rb->localInputs, 0, sizeof rb->localInputs);
  std::memset(rb->remoteInputs, 0, sizeof rb->remoteInputs);
  std::memset(rb->usedRemote, 0, sizeof rb->usedRemote);
  for (int32_t i = 0; i < kInputRing; ++i) rb->hashFrames[i] = rb->remoteHashFrames[i] = kNoFrame;
  std::memset(rb->advantage, 0, sizeof rb->advantage);
  rb->advantageSum = rb->remoteAdvantage = rb->waitLeft = 0;
  rb->lastSyncFrame = kNoFrame;
  rb->desynced = false;
  rb->desyncFrame = kNoFrame;
  rb->desyncHashes[0] = rb->desyncHashes[1] = 0;
  rb->stats = RollbackStats{};
  SaveMatchState(&rb->start);
  SaveMatchState(&StateBefore(rb, 0));
}

void RollbackCorrect(Rollback* rb) {
  RestoreMatchState(StateBefore(rb, rb->firstWrong < rb->frame ? rb->firstWrong : rb->frame));
  if (rb->firstWrong < rb->frame) {
    const uint32_t from = rb->firstWrong;
    // These frames have sounded once already.
    const bool wasMuted = soundEffectsMuted;
    soundEffectsMuted = true;
    uint32_t f = from;
    while (f < rb->frame) {
      if (RunFrame(rb, f++)) {
        rb->endFrame = f;
        rb->frame = f;
      }
    }
    soundEffectsMuted = wasMuted;
    ++rb->stats.rollbacks;
    rb->stats.resimulatedFrames += f - from;
    if (f - from > rb->stats.longestRollback) rb->stats.longestRollback = f - from;
  }
  rb->firstWrong = kNoFrame;
  Confirm(rb);
}

FrameResult RollbackAdvance(Rollback* rb, uint8_t localInput) {
  if (rb->desynced) return FRAME_DESYNC;
  RollbackCorrect(rb);
  if (rb->desynced) return FRAME_DESYNC;
  if (rb->endFrame != kNoFrame) {
    const bool settled = rb->confirmed >= rb->endFrame && rb->ackedByRemote >= rb->endFrame;
    return settled ? FRAME_ENDED : FRAME_WAITED;
  }
  // Too far ahead of the other's inputs to predict on, or of what one packet can carry.
  if (static_cast<int32_t>(rb->frame - rb->remoteNext) >= rb->maxPrediction ||
      static_cast<int32_t>(rb->frame - rb->ackedByRemote) >= kMaxInputsPerPacket) {
    ++rb->stats.stalls;
    return FRAME_WAITED;
  }
  SyncTime(rb);
  if (rb->waitLeft > 0) {
    --rb->waitLeft;
    ++rb->stats.waits;
    return FRAME_WAITED;
  }
  rb->localInputs[InputSlot(rb->frame)] = localInput & kAllInputBits;
  const bool left = RunFrame(rb, rb->frame);
  ++rb->frame;
  if (rb->frame > rb->frameHigh) rb->frameHigh = rb->frame;
  if (left) rb->endFrame = rb->frame;
  Confirm(rb);
  return rb->desynced ? FRAME_DESYNC : FRAME_SIMULATED;
}

FrameWindow RollbackWindow(const Rollback& rb) { return FrameWindow{rb.remoteNext, rb.frameHigh}; }

void RollbackTakeInput(Rollback* rb, const InputPacket& p) {
  ++rb->stats.packetsIn;
  if (p.ack > rb->ackedByRemote) rb->ackedByRemote = p.ack;
  for (uint32_t i = 0; i < p.count; ++i) {
    const uint32_t f = p.first + i;
    if (f != rb->remoteNext) continue;  // known already
    const uint32_t slot = InputSlot(f);
    rb->remoteInputs[slot] = p.inputs[i];
    if (f < rb->frame && rb->usedRemote[slot] != p.inputs[i] && f < rb->firstWrong)
      rb->firstWrong = f;
    rb->remoteNext = f + 1;
  }
  const uint32_t end = p.first + p.count;
  if (end > rb->remoteLatest) rb->remoteLatest = end;
  rb->remoteAdvantage = p.advantage;
  if (p.hashFrame != kNoFrame) {
    const uint32_t slot = InputSlot(p.hashFrame);
    rb->remoteHashFrames[slot] = p.hashFrame;
    rb->remoteHashes[slot] = p.hash;
    Compare(rb, p.hashFrame);
  }
}

void RollbackReceive(Rollback* rb, const uint8_t* data, size_t size) {
  static Message message;
  DecodeResult result = DecodePacket(data, size, RollbackWindow(*rb), &message);
  if (result == DECODE_OK && message.type != PACKET_INPUT) result = DECODE_UNKNOWN_TYPE;
  if (result != DECODE_OK) {
    ++rb->stats.badPackets[result];
    return;
  }
  RollbackTakeInput(rb, message.input);
}

size_t RollbackOutgoing(const Rollback& rb, uint8_t* out) {
  InputPacket p;
  p.ack = rb.remoteNext;
  p.first = rb.ackedByRemote < rb.frame ? rb.ackedByRemote : rb.frame;
  const uint32_t count = rb.frame - p.first;
  p.count = static_cast<uint8_t>(count < kMaxInputsPerPacket ? count : kMaxInputsPerPacket);
  const int32_t advantage = rb.advantageSum / kAdvantageSamples;
  p.advantage = static_cast<int8_t>(advantage > 127 ? 127 : advantage < -127 ? -127 : advantage);
  p.hashFrame = kNoFrame;
  p.hash = 0;
  if (rb.confirmed > 0) {
    const uint32_t slot = InputSlot(rb.confirmed - 1);
    p.hashFrame = rb.hashFrames[slot];
    p.hash = rb.hashes[slot];
  }
  for (uint32_t i = 0; i < p.count; ++i) p.inputs[i] = rb.localInputs[InputSlot(p.first + i)];
  return EncodeInput(p, out);
}

uint32_t RecordedInputs(uint8_t player1, uint8_t player2) {
  return static_cast<uint32_t>(player1 & kFlyingBits) |
         static_cast<uint32_t>(player2 & kFlyingBits) << 4 |
         static_cast<uint32_t>(player1 >> 4) << 8 | static_cast<uint32_t>(player2 >> 4) << 10;
}

namespace {

bool OpenRecord(const char* prefix, const char* suffix, std::FILE** file, char* why,
                size_t whyLen) {
  char path[1024];
  std::snprintf(path, sizeof path, "%s-%s.txt", prefix, suffix);
  *file = std::fopen(path, "w");
  if (*file == nullptr)
    std::snprintf(why, whyLen, "cannot write %s: %s", path, std::strerror(errno));
  return *file != nullptr;
}

void Line(std::FILE* file, uint32_t index, uint64_t value) {
  std::fprintf(file, "%" PRIu32 " %016" PRIx64 "\n", index, value);
}

}  // namespace

bool WriteDesyncRecord(const Rollback& rb, const char* prefix, char* why, size_t whyLen) {
  std::FILE* file = nullptr;
  if (!OpenRecord(prefix, "inputs", &file, why, whyLen)) return false;
  const uint32_t logged = rb.confirmed < kLogFrames ? rb.confirmed : kLogFrames;
  for (uint32_t f = 0; f < logged; ++f)
    Line(file, f,
         RecordedInputs(static_cast<uint8_t>(rb.log[f]), static_cast<uint8_t>(rb.log[f] >> 8)));
  bool ok = std::fclose(file) == 0;
  if (!OpenRecord(prefix, "hashes", &file, why, whyLen)) return false;
  const uint32_t from = rb.confirmed > kInputRing ? rb.confirmed - kInputRing : 0;
  for (uint32_t f = from; f < rb.confirmed; ++f)
    if (rb.hashFrames[InputSlot(f)] == f) Line(file, f, rb.hashes[InputSlot(f)]);
  ok = std::fclose(file) == 0 && ok;
  if (!OpenRecord(prefix, "start", &file, why, whyLen)) return false;
  uint32_t line = 0;
  for (const Cloud& cloud : rb.start.clouds) Line(file, line++, static_cast<uint32_t>(cloud.x));
  for (int32_t v : {rb.start.paused, scoreToWin, maxBullets, gameSpeed})
    Line(file, line++, static_cast<uint32_t>(v));
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::snprintf(why, whyLen, "cannot finish writing %s-*.txt", prefix);
  return ok;
}

}  // namespace net
