// Online play's packets: what goes over the wire, byte by byte, and the checks every packet passes
// before anything in it is believed. No library headers: plain bytes in, plain records out.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/match_state.h"

namespace net {

// Bumped whenever a packet's layout or meaning changes.
constexpr uint32_t kProtocolVersion = 1;
// The game's own version, as shown in the window title (major << 8 | minor).
constexpr uint16_t kGameVersion = 0x0102;
// UDP port a host listens on unless told otherwise.
constexpr uint16_t kDefaultPort = 27461;

// Frames of saved match states, and of inputs one packet may carry.
constexpr int32_t kStateRing = 128;
constexpr int32_t kMaxInputsPerPacket = kStateRing;
// Inputs are kept twice as far: the other machine may run up to a window ahead of this one.
constexpr int32_t kInputRing = 2 * kStateRing;

constexpr uint32_t kNoFrame = 0xFFFFFFFFu;

enum PacketType : uint8_t {
  PACKET_INPUT = 1,     // inputs channel (unreliable, sequenced)
  PACKET_HELLO = 2,     // the rest on the session channel (reliable, ordered)
  PACKET_SETTINGS = 3,  // the host's settings, for the joining player's menu
  PACKET_START = 4,     // settings and the whole match state at frame 0
  PACKET_PAUSE = 5,     // the pause set or cleared in the menu
  PACKET_LEAVE = 6,     // the sender leaves; the byte says why
};

enum LeaveReason : uint8_t {
  LEAVE_QUIT = 1,      // Escape, "Quit" or the window closed
  LEAVE_MISMATCH = 2,  // versions, rules or screen sizes differ
  LEAVE_DESYNC = 3,    // the two matches went apart
  LEAVE_BUSY = 4,      // the host already has its opponent
};

// Layout of an input packet, little-endian:
//   0 type (1)  1 ack u32  5 first u32  9 count u8  10 advantage i8  11 hashFrame u32  15 hash u64
//   23 count input bytes (InputBits of frames first .. first + count - 1)
constexpr size_t kInputHeaderBytes = 23;
constexpr size_t kMaxPacketBytes = 2600;

struct InputPacket {
  uint32_t ack;        // the sender has every input of the receiver's before this frame
  uint32_t first;      // frame of inputs[0]
  uint8_t count;       // 0 .. kMaxInputsPerPacket
  int8_t advantage;    // how far the sender sees itself ahead of the receiver, in frames
  uint32_t hashFrame;  // a confirmed frame of the sender's, or kNoFrame
  uint64_t hash;       // HashMatchState after that frame
  uint8_t inputs[kMaxInputsPerPacket];
};

struct Hello {
  uint32_t protocol;
  uint16_t gameVersion;
  uint16_t screenWidth;
  uint16_t screenHeight;
  uint64_t rulesChecksum;
};

// The settings a match runs by; online there are always two human players.
struct MatchSettings {
  int32_t gameSpeed;   // 1..5
  int32_t scoreToWin;  // 1..kMaxScoreToWin
  int32_t maxBullets;  // 1..kBulletSlots
};
constexpr int32_t kMaxScoreToWin = 1000;

struct Message {
  PacketType type;
  InputPacket input;
  Hello hello;
  MatchSettings settings;  // SETTINGS and START
  MatchState state;        // START
  uint8_t value;           // PAUSE: 0 or 1; LEAVE: a LeaveReason
};

enum DecodeResult : int32_t {
  DECODE_OK = 0,
  DECODE_EMPTY,
  DECODE_UNKNOWN_TYPE,
  DECODE_WRONG_SIZE,      // not the size its type and count make
  DECODE_TOO_MANY,        // more inputs than one packet may carry
  DECODE_OUTSIDE_WINDOW,  // a frame number the receiver cannot be at
  DECODE_BAD_INPUT,       // input bits that mean nothing
  DECODE_BAD_VALUE,       // a session field out of its range
  DECODE_RESULT_COUNT,
};
const char* DecodeResultName(DecodeResult result);

// The frames a receiver can take: remote inputs from `remoteNext` (the first it lacks) and its own
// next frame `localFrame`.
struct FrameWindow {
  uint32_t remoteNext;
  uint32_t localFrame;
};

// Checks and reads one packet. Anything that fails a check leaves *out unusable.
DecodeResult DecodePacket(const uint8_t* data, size_t size, const FrameWindow& window,
                          Message* out);

// Writes a packet into out (at least kMaxPacketBytes); returns its size.
size_t EncodeInput(const InputPacket& packet, uint8_t* out);
size_t EncodeHello(const Hello& hello, uint8_t* out);
size_t EncodeSettings(const MatchSettings& settings, uint8_t* out);
size_t EncodeStart(const MatchSettings& settings, const MatchState& state, uint8_t* out);
size_t EncodeByte(PacketType type, uint8_t value, uint8_t* out);  // PAUSE and LEAVE

}  // namespace net
