#include "net/packet.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "game/input.h"

namespace net {

namespace {

// Positions, speeds and counters of a sane match stay far inside this; anything beyond it would
// only lead the rules into overflow.
constexpr int32_t kIntLimit = 1000000;
constexpr double kRealLimit = 1.0e6;

class Writer {
 public:
  explicit Writer(uint8_t* out) : out_(out) {}
  void U8(uint8_t v) { out_[size_++] = v; }
  void U16(uint16_t v) {
    for (int i = 0; i < 2; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void Real(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U64(bits);
  }
  size_t Size() const { return size_; }

 private:
  uint8_t* out_;
  size_t size_ = 0;
};

// Reads fields in order; a field out of its range marks the whole packet bad.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t U8() { return static_cast<uint8_t>(Bytes(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Bytes(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Bytes(4)); }
  uint64_t U64() { return Bytes(8); }
  int32_t Int(int32_t low, int32_t high) {
    const auto v = static_cast<int32_t>(U32());
    if (v < low || v > high) bad = true;
    return v;
  }
  double Real() {
    const uint64_t bits = U64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v) || std::fabs(v) > kRealLimit) bad = true;
    return v;
  }
  bool AtEnd() const { return pos_ == size_; }
  bool bad = false;

 private:
  uint64_t Bytes(int n) {
    uint64_t v = 0;
    for (int i = 0; i < n && pos_ < size_; ++i)
      v |= static_cast<uint64_t>(data_[pos_++]) << (8 * i);
    return v;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

constexpr size_t kBulletBytes = 3 * 4 + 4 * 8;
constexpr size_t kPlaneBytes = 15 * 4 + 5 * 8 + kBulletSlots * kBulletBytes;
constexpr size_t kSettingsBytes = 4 + 4 + 1;
constexpr size_t kStartBytes = 1 + kSettingsBytes + 3 * 4 + kCloudCount * 8 + 2 * kPlaneBytes;
static_assert(kStartBytes <= kMaxPacketBytes);
constexpr size_t kHelloBytes = 1 + 4 + 2 + 2 + 2 + 8;

void WriteSettings(Writer& w, const MatchSettings& s) {
  w.I32(s.scoreToWin);
  w.I32(s.maxBullets);
  w.U8(static_cast<uint8_t>(s.gameSpeed));
}

MatchSettings ReadSettings(Reader& r) {
  MatchSettings s;
  s.scoreToWin = r.Int(1, kMaxScoreToWin);
  s.maxBullets = r.Int(1, kBulletSlots);
  s.gameSpeed = r.U8();
  if (s.gameSpeed < 1 || s.gameSpeed > 5) r.bad = true;
  return s;
}

void WriteState(Writer& w, const MatchState& s) {
  w.I32(s.gameMode);
  w.I32(s.paused);
  w.I32(s.matchOver);
  for (const Cloud& c : s.clouds) {
    w.I32(c.x);
    w.I32(c.y);
  }
  for (const Plane& p : s.planes) {
    for (int32_t v : {p.playerNumber, p.screenX, p.screenY, p.headingIndex, p.onGround, p.crashed,
                      p.crashTimer, p.bulletCount, p.color, p.score, p.kills, p.crashes, p.fired,
                      p.cpuPhase, p.cpuClimbFrames})
      w.I32(v);
    for (double v : {p.x, p.y, p.speed, p.vx, p.vy}) w.Real(v);
    for (const Bullet& b : p.bullets) {
      for (int32_t v : {b.screenX, b.screenY, b.life}) w.I32(v);
      for (double v : {b.x, b.y, b.vx, b.vy}) w.Real(v);
    }
  }
}

// A match as "Play!" starts it: every index the rules or the drawing use lies inside its array,
// and no number is near an overflow.
void ReadState(Reader& r, MatchState* s) {
  s->gameMode = r.Int(MODE_MATCH, MODE_MATCH);
  s->paused = r.Int(0, 1);
  s->matchOver = r.Int(0, s->paused);
  for (Cloud& c : s->clouds) {
    c.x = r.Int(0, 4096);
    c.y = r.Int(0, 4096);
  }
  for (int32_t i = 0; i < 2; ++i) {
    Plane& p = s->planes[i];
    const int32_t k = kIntLimit;
    p.playerNumber = r.Int(i + 1, i + 1);
    p.screenX = r.Int(-k, k);
    p.screenY = r.Int(-k, k);
    p.headingIndex = r.Int(0, 35);
    p.onGround = r.Int(0, 1);
    p.crashed = r.Int(0, 1);
    p.crashTimer = r.Int(0, 8);
    p.bulletCount = r.Int(0, kBulletSlots);
    p.color = r.Int(0, 1);
    p.score = r.Int(-k, k);
    p.kills = r.Int(0, k);
    p.crashes = r.Int(0, k);
    p.fired = r.Int(0, k);
    p.cpuPhase = r.Int(0, 3);
    p.cpuClimbFrames = r.Int(0, k);
    p.x = r.Real();
    p.y = r.Real();
    p.speed = r.Real();
    p.vx = r.Real();
    p.vy = r.Real();
    for (Bullet& b : p.bullets) {
      b.screenX = r.Int(-k, k);
      b.screenY = r.Int(-k, k);
      b.life = r.Int(-k, k);
      b.x = r.Real();
      b.y = r.Real();
      b.vx = r.Real();
      b.vy = r.Real();
    }
  }
}

DecodeResult DecodeInput(const uint8_t* data, size_t size, const FrameWindow& w, InputPacket* p) {
  if (size < kInputHeaderBytes) return DECODE_WRONG_SIZE;
  Reader r(data + 1, size - 1);
  p->ack = r.U32();
  p->first = r.U32();
  p->count = r.U8();
  p->advantage = static_cast<int8_t>(r.U8());
  p->hashFrame = r.U32();
  p->hash = r.U64();
  if (p->count > kMaxInputsPerPacket) return DECODE_TOO_MANY;
  if (size != kInputHeaderBytes + p->count) return DECODE_WRONG_SIZE;
  // The sender starts at what this side last acknowledged, so never past what it lacks, and never
  // further back than a packet reaches; it cannot be more than a window ahead of this side, nor
  // have inputs of this side's that are still to come. Its hash is of a frame it has confirmed.
  const int64_t remoteNext = w.remoteNext;
  const int64_t local = w.localFrame;
  const int64_t first = p->first;
  const int64_t end = first + p->count;
  const int64_t ack = p->ack;
  const int64_t hashed = p->hashFrame;
  const bool inside =
      first <= remoteNext && first + kMaxInputsPerPacket >= remoteNext &&
      end <= local + kStateRing && ack <= local && ack + kInputRing >= local &&
      (p->hashFrame == kNoFrame || (hashed < ack && hashed < end && hashed + kInputRing >= local));
  if (!inside) return DECODE_OUTSIDE_WINDOW;
  for (int32_t i = 0; i < p->count; ++i) {
    p->inputs[i] = r.U8();
    if ((p->inputs[i] & ~kAllInputBits) != 0) return DECODE_BAD_INPUT;
  }
  return DECODE_OK;
}

}  // namespace

const char* DecodeResultName(DecodeResult result) {
  static const char* const kNames[DECODE_RESULT_COUNT] = {
      "ok",
      "empty",
      "unknown type",
      "wrong size",
      "too many inputs",
      "frame outside the window",
      "undefined input bits",
      "value out of range",
  };
  return result >= 0 && result < DECODE_RESULT_COUNT ? kNames[result] : "?";
}

DecodeResult DecodePacket(const uint8_t* data, size_t size, const FrameWindow& window,
                          Message* out) {
  if (size == 0) return DECODE_EMPTY;
  out->type = static_cast<PacketType>(data[0]);
  Reader r(data + 1, size - 1);
  size_t expected = 0;
  switch (out->type) {
    case PACKET_INPUT:
      return DecodeInput(data, size, window, &out->input);
    case PACKET_HELLO:
      expected = kHelloBytes;
      out->hello.protocol = r.U32();
      out->hello.gameVersion = r.U16();
      out->hello.screenWidth = r.U16();
      out->hello.screenHeight = r.U16();
      out->hello.rulesChecksum = r.U64();
      break;
    case PACKET_SETTINGS:
      expected = 1 + kSettingsBytes;
      out->settings = ReadSettings(r);
      break;
    case PACKET_START:
      expected = kStartBytes;
      out->settings = ReadSettings(r);
      ReadState(r, &out->state);
      break;
    case PACKET_PAUSE:
    case PACKET_LEAVE:
      expected = 2;
      out->value = r.U8();
      r.bad |= out->type == PACKET_PAUSE ? out->value > 1
                                         : out->value < LEAVE_QUIT || out->value > LEAVE_BUSY;
      break;
    default:
      return DECODE_UNKNOWN_TYPE;
  }
  if (size != expected) return DECODE_WRONG_SIZE;
  return r.bad ? DECODE_BAD_VALUE : DECODE_OK;
}

size_t EncodeInput(const InputPacket& p, uint8_t* out) {
  Writer w(out);
  w.U8(PACKET_INPUT);
  w.U32(p.ack);
  w.U32(p.first);
  w.U8(p.count);
  w.U8(static_cast<uint8_t>(p.advantage));
  w.U32(p.hashFrame);
  w.U64(p.hash);
  for (int32_t i = 0; i < p.count && i < kMaxInputsPerPacket; ++i) w.U8(p.inputs[i]);
  return w.Size();
}

size_t EncodeHello(const Hello& h, uint8_t* out) {
  Writer w(out);
  w.U8(PACKET_HELLO);
  w.U32(h.protocol);
  w.U16(h.gameVersion);
  w.U16(h.screenWidth);
  w.U16(h.screenHeight);
  w.U64(h.rulesChecksum);
  return w.Size();
}

size_t EncodeSettings(const MatchSettings& s, uint8_t* out) {
  Writer w(out);
  w.U8(PACKET_SETTINGS);
  WriteSettings(w, s);
  return w.Size();
}

size_t EncodeStart(const MatchSettings& s, const MatchState& state, uint8_t* out) {
  Writer w(out);
  w.U8(PACKET_START);
  WriteSettings(w, s);
  WriteState(w, state);
  return w.Size();
}

size_t EncodeByte(PacketType type, uint8_t value, uint8_t* out) {
  out[0] = type;
  out[1] = value;
  return 2;
}

}  // namespace net
