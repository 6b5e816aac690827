#include <cstdio>

#include "platform/system.h"

namespace platform {

namespace {

// A ring of pending messages. Generous: a frame's worth of input is a handful of messages, and
// the loop takes one per pass before any frame work.
constexpr int32_t kQueueSize = 256;
Message queue[kQueueSize];
int32_t head = 0;
int32_t count = 0;

}  // namespace

void PostMessage(const Message& message) {
  if (count == kQueueSize) {
    // Full: the quit message must never be lost, anything else may be dropped.
    if (message.type != MSG_QUIT) return;
    head = (head + 1) % kQueueSize;
    --count;
  }
  queue[(head + count) % kQueueSize] = message;
  ++count;
}

void PostQuitMessage(int32_t exitCode) { PostMessage({MSG_QUIT, exitCode}); }

bool PeekMessage(Message* message) {
  if (count == 0) backend.pumpMessages();
  if (count == 0) return false;
  *message = queue[head];
  return true;
}

bool GetMessage(Message* message) {
  while (count == 0) backend.pumpMessages();
  *message = queue[head];
  head = (head + 1) % kQueueSize;
  --count;
  return message->type != MSG_QUIT;
}

bool MessagesWaiting() { return count > 0; }

void ClearMessages() {
  head = 0;
  count = 0;
}

void ShowMessageBox(Window* owner, const char* caption, const char* text) {
  if (!backend.messageBox(owner, caption, text)) {
    // No display to show it on: the text still reaches the person who started the game.
    std::fprintf(stderr, "%s: %s\n", caption, text);
  }
}

}  // namespace platform
