#include "net/online_script.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/input.h"
#include "net/rollback.h"
#include "platform/net_transport.h"

namespace net {

namespace {

constexpr uint32_t kScriptFrames = 1 << 16;

bool active = false;
int32_t speed = 0;
uint8_t inputs[kScriptFrames];
const char* logPrefix = nullptr;
std::FILE* frameLog = nullptr;
uint32_t heapAtStart = 0;

void LogConfirmed(void*, uint32_t frame, uint64_t hash) {
  std::fprintf(frameLog, "%" PRIu32 " %016" PRIx64 "\n", frame, hash);
}

bool ReadScript(const char* path, char* why, size_t whyLen) {
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) {
    std::snprintf(why, whyLen, "cannot read the input script %s", path);
    return false;
  }
  char line[128];
  bool ok = true;
  for (int32_t number = 1; ok && std::fgets(line, sizeof line, file) != nullptr; ++number) {
    unsigned frame = 0;
    unsigned bits = 0;
    char end = '\0';
    if (std::sscanf(line, "speed %u %c", &frame, &end) == 1 && frame >= 1 && frame <= 5) {
      speed = static_cast<int32_t>(frame);
    } else if (std::sscanf(line, "%u %x %c", &frame, &bits, &end) == 2 && frame < kScriptFrames &&
               (bits & ~static_cast<unsigned>(kAllInputBits)) == 0) {
      inputs[frame] = static_cast<uint8_t>(bits);
    } else {
      std::snprintf(why, whyLen, "%s line %d: not \"speed N\" or \"FRAME HEX\"", path, number);
      ok = false;
    }
  }
  std::fclose(file);
  return ok;
}

}  // namespace

bool ScriptOpen(char* why, size_t whyLen) {
  const char* script = std::getenv("CORVANE_NET_SCRIPT");
  if (script != nullptr && *script != '\0') {
    if (!ReadScript(script, why, whyLen)) return false;
    active = true;
  }
  logPrefix = std::getenv("CORVANE_NET_LOG");
  if (logPrefix != nullptr && *logPrefix != '\0') {
    char path[1024];
    std::snprintf(path, sizeof path, "%s-frames.txt", logPrefix);
    frameLog = std::fopen(path, "w");
    if (frameLog == nullptr) {
      std::snprintf(why, whyLen, "cannot write %s", path);
      return false;
    }
  }
  return true;
}

bool ScriptActive() { return active; }

int32_t ScriptSpeed() { return speed; }

uint8_t ScriptInput(uint32_t frame) { return frame < kScriptFrames ? inputs[frame] : 0; }

void ScriptMatchStarted(Rollback* rb) {
  if (frameLog == nullptr) return;
  rb->onConfirmed = LogConfirmed;
  heapAtStart = platform::NetHeapAllocations();
}

void ScriptMatchEnded(const Rollback& rb) {
  if (frameLog == nullptr) return;
  std::fflush(frameLog);
  char why[256];
  if (!WriteDesyncRecord(rb, logPrefix, why, sizeof why))
    std::fprintf(stderr, "corvane-altor: %s\n", why);
  char path[1024];
  std::snprintf(path, sizeof path, "%s-stats.txt", logPrefix);
  std::FILE* file = std::fopen(path, "w");
  if (file == nullptr) return;
  const RollbackStats& s = rb.stats;
  std::fprintf(file,
               "confirmed %" PRIu32 "\nrollbacks %" PRIu32 "\nresimulated %" PRIu32
               "\nlongest %" PRIu32 "\nwaits %" PRIu32 "\nstalls %" PRIu32 "\nhashes %" PRIu32
               "\npackets %" PRIu32 "\nheap %" PRIu32 "\n",
               rb.confirmed, s.rollbacks, s.resimulatedFrames, s.longestRollback, s.waits, s.stalls,
               s.hashesCompared, s.packetsIn, platform::NetHeapAllocations() - heapAtStart);
  std::fclose(file);
}

}  // namespace net
