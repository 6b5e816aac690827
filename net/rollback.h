// Rollback: each frame runs at once with this machine's input and a prediction of the other's
// (its last known input repeated); every frame's match state is kept in a ring, and when the
// other machine's real input turns out different, the match goes back to that frame and runs the
// frames since again, silently, before the picture is drawn. Both machines compare fingerprints
// of the frames both have confirmed. Everything is fixed-size: nothing is allocated per frame.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/match_state.h"
#include "net/packet.h"

namespace net {

enum FrameResult : int32_t {
  FRAME_SIMULATED = 0,  // a new frame ran
  FRAME_WAITED = 1,     // this side is ahead of what it has confirmed: no new frame this time
  FRAME_ENDED = 2,      // the match left for the menu at a frame both sides have confirmed
  FRAME_DESYNC = 3,     // the two machines' matches differ: stop and write the record
};

// The most frames of both players' inputs a desync record can hold (17 minutes at speed 5).
constexpr int32_t kLogFrames = 1 << 20;
constexpr int32_t kAdvantageSamples = 16;
// Every this many frames the two sides' views of who is ahead are compared (time sync).
constexpr uint32_t kSyncInterval = 16;

struct RollbackStats {
  uint32_t rollbacks;          // times the match went back to correct a prediction
  uint32_t resimulatedFrames;  // frames run again, in all
  uint32_t longestRollback;    // frames run again at once, at most
  uint32_t waits;              // frames this side held back for time sync
  uint32_t stalls;             // frames held back because the other's inputs were too far behind
  uint32_t packetsIn;
  uint32_t hashesCompared;
  uint32_t badPackets[DECODE_RESULT_COUNT];
};

struct Rollback {
  int32_t localPlayer;  // 0: this machine flies plane 1 (the host), 1: plane 2
  int32_t maxPrediction;
  int32_t maxWait;
  uint32_t frame;          // the next frame to run; frames before it have run
  uint32_t frameHigh;      // the furthest `frame` has been (an ending found late can lower it)
  uint32_t remoteNext;     // the other's inputs are known for every frame before this
  uint32_t remoteLatest;   // the other's newest frame, as last heard
  uint32_t ackedByRemote;  // the other has this side's inputs for every frame before this
  uint32_t confirmed;      // frames before this ran with both real inputs, and are fingerprinted
  uint32_t firstWrong;     // the earliest frame run with a wrong prediction, or kNoFrame
  uint32_t endFrame;       // the frame after the one that left the match, or kNoFrame
  uint8_t localInputs[kInputRing];
  uint8_t remoteInputs[kInputRing];
  uint8_t usedRemote[kInputRing];  // what the last run of each frame took for the other's input
  uint32_t hashFrames[kInputRing];
  uint64_t hashes[kInputRing];
  uint32_t remoteHashFrames[kInputRing];
  uint64_t remoteHashes[kInputRing];
  int32_t advantage[kAdvantageSamples];  // this side's frame minus the other's, as last heard
  int32_t advantageSum;
  int32_t remoteAdvantage;
  int32_t waitLeft;
  uint32_t lastSyncFrame;
  bool desynced;
  uint32_t desyncFrame;
  uint64_t desyncHashes[2];  // this side's, the other's
  RollbackStats stats;
  // Told the fingerprint of every frame as it is confirmed, in order (null: nobody listens).
  void (*onConfirmed)(void* user, uint32_t frame, uint64_t hash);
  void* user;
  MatchState states[kStateRing];  // the state before frame f is in states[f % kStateRing]
  MatchState start;
  uint16_t log[kLogFrames];  // player 1's input | player 2's << 8, of every confirmed frame
};

// Begins a match at frame 0 from the match state in the globals (which the host's start message
// set on both machines). gameSpeed chooses the prediction window and the longest time-sync wait.
void RollbackStart(Rollback* rb, int32_t localPlayer, int32_t gameSpeed);

// Brings the match up to date with the other's inputs received so far: goes back to the first
// mispredicted frame, runs the frames since again without sound, and confirms what can be
// confirmed. The globals then hold the state to draw.
void RollbackCorrect(Rollback* rb);

// One due frame: corrects (as above), then runs the next frame with this machine's input (an
// InputBits value), unless this side must wait.
FrameResult RollbackAdvance(Rollback* rb, uint8_t localInput);

// The frames the next packet's numbers must lie in.
FrameWindow RollbackWindow(const Rollback& rb);

// Takes the other's inputs, acknowledgement, time-sync view and fingerprint from a checked packet.
void RollbackTakeInput(Rollback* rb, const InputPacket& packet);

// Checks and takes one packet from the inputs channel; anything bad is dropped and counted.
void RollbackReceive(Rollback* rb, const uint8_t* data, size_t size);

// The packet to send now: every input of this side's the other has not acknowledged.
size_t RollbackOutgoing(const Rollback& rb, uint8_t* out);

// Writes what a desync leaves to look into, as recorded games: PREFIX-inputs.txt (both players'
// inputs of every confirmed frame), PREFIX-hashes.txt (this side's fingerprints of the confirmed
// frames still kept) and PREFIX-start.txt (the clouds, the pause and the settings at frame 0).
// false, with the reason in why, when a file cannot be written.
bool WriteDesyncRecord(const Rollback& rb, const char* prefix, char* why, size_t whyLen);

// A confirmed frame's two inputs as one recorded-game value: player 1's flying bits, player 2's
// four bits higher, then player 1's and player 2's pause and menu bits.
uint32_t RecordedInputs(uint8_t player1, uint8_t player2);

}  // namespace net
