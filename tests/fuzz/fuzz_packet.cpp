// Feeds arbitrary bytes to the packet checks, as they would come from the network: whatever a
// packet claims, decoding must neither read out of bounds nor accept anything the game cannot
// use. Every accepted packet must encode back to the very same bytes, an accepted input packet
// goes into a rollback engine in the middle of a match, and an accepted start is played for a
// while (any overflow or undefined conversion in the rules then stops the run).
//
//   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON \
//         -DCORVANE_BENCH=OFF && ninja -C build-fuzz fuzz_packet
//   cp -r tests/fuzz/corpus_packet /tmp/packet-corpus
//   build-fuzz/fuzz_packet -max_total_time=60 /tmp/packet-corpus
//
// The seeds in corpus_packet/ are one packet of each kind as the encoders write them, for an
// engine at frame 30 that has no input of the other's yet, and a few broken ones.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/input.h"
#include "game/match.h"
#include "net/packet.h"
#include "net/rollback.h"
#include "sound/effects.h"

namespace {

net::Rollback engine;
MatchState start;

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_packet: %s\n", what);
  std::abort();
}

size_t Encode(const net::Message& m, uint8_t* out) {
  switch (m.type) {
    case net::PACKET_INPUT: return net::EncodeInput(m.input, out);
    case net::PACKET_HELLO: return net::EncodeHello(m.hello, out);
    case net::PACKET_SETTINGS: return net::EncodeSettings(m.settings, out);
    case net::PACKET_START: return net::EncodeStart(m.settings, m.state, out);
    default: return net::EncodeByte(m.type, m.value, out);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  soundEffectsMuted = true;
  ResetGameState();
  ReturnToMenu();
  gameMode = MODE_MATCH;
  cpuPlayers = 0;
  SaveMatchState(&start);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RestoreMatchState(start);
  net::RollbackStart(&engine, 0, 5);
  for (uint32_t f = 0; f < 30; ++f) net::RollbackAdvance(&engine, INPUT_GAS);

  static net::Message message;
  const net::DecodeResult result =
      net::DecodePacket(data, size, net::RollbackWindow(engine), &message);
  Require(result >= net::DECODE_OK && result < net::DECODE_RESULT_COUNT, "unknown result");
  if (result != net::DECODE_OK) return 0;

  static uint8_t again[net::kMaxPacketBytes];
  Require(Encode(message, again) == size && std::memcmp(again, data, size) == 0,
          "an accepted packet does not encode back to its bytes");
  if (message.type == net::PACKET_INPUT) {
    net::RollbackTakeInput(&engine, message.input);
    for (int32_t f = 0; f < 5; ++f) net::RollbackAdvance(&engine, INPUT_NOSE_UP);
  } else if (message.type == net::PACKET_START) {
    RestoreMatchState(message.state);
    const FrameInput input = {{INPUT_GAS | INPUT_FIRE, INPUT_NOSE_UP | INPUT_FIRE}};
    SetFrameInput(&input);
    for (int32_t f = 0; f < 60; ++f) SimulateMatchFrame();
    SetFrameInput(nullptr);
  }
  return 0;
}
