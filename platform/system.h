// The operating-system side of the game: the window, its message queue, polled key and mouse
// state, the millisecond timer and the modal message box.
//
// Everything goes through `backend`, a table of plain functions. It starts out pointing at the
// SDL implementation; tests swap in their own functions to drive windows, keys, the cursor and time
// deterministically without a display.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct Window;

enum MessageType : int32_t {
  MSG_NONE = 0,
  MSG_KEYDOWN = 1,  // wParam: virtual-key code; auto-repeats arrive as further key-downs
  MSG_DESTROY = 2,  // the window is being closed
  MSG_PAINT = 3,    // the window needs repainting
  MSG_QUIT = 4,     // posted by PostQuitMessage; wParam: exit code
};

struct Message {
  MessageType type = MSG_NONE;
  int32_t wParam = 0;
};

struct Backend {
  // Creates the one full-screen window whose picture is width x height game pixels.
  // On failure returns null and writes the reason into why.
  Window* (*createWindow)(const char* title, int32_t width, int32_t height, char* why,
                          size_t whyLen);
  void (*destroyWindow)(Window* window);
  // Moves whatever the system has to say into the message queue (PostMessage).
  void (*pumpMessages)();
  // Whether a key or mouse button (virtual-key code) is held down right now. Never consumes
  // queued messages.
  bool (*isKeyDown)(int32_t virtualKey);
  // The mouse cursor in game pixels; (-1, -1) when it is not over the picture (over a black bar
  // beside it, or outside the window), where no button or menu item lies.
  void (*cursorPos)(int32_t* x, int32_t* y);
  bool (*isMinimised)(Window* window);
  // Milliseconds since some fixed point; wraps after 2^32.
  uint32_t (*timeMs)();
  // A modal box with one OK button; returns false when no box could be shown.
  bool (*messageBox)(Window* owner, const char* caption, const char* text);
  // Whether the window has the keyboard: false from the moment the player switches to another
  // window until they come back. Up to date with every pump, messages taken or not.
  bool (*hasFocus)(Window* window);
  // Whether a request to close the window has arrived and not yet become a message.
  bool (*closeRequested)();
  // Sleeps until the system has something for the message queue or ms milliseconds have passed;
  // may wake early, and may overrun by a millisecond or so.
  void (*waitForMessages)(uint32_t ms);
};

extern Backend backend;
extern const Backend sdlBackend;

// How createWindow opens the window: false (the default) on the whole screen, true in a
// resizable window. Alt+Enter switches between the two at any time.
extern bool startWindowed;

// The window's default size: the picture (width x height) at the largest whole multiple that
// leaves room for a window's borders within the desktop's usable area; at least the picture.
void DefaultWindowSize(int32_t usableWidth, int32_t usableHeight, int32_t width, int32_t height,
                       int32_t* windowWidth, int32_t* windowHeight);

// ---- The message queue (fixed size; the oldest message is taken first) ----
void PostMessage(const Message& message);
void PostQuitMessage(int32_t exitCode);
// Looks at the next message without removing it; false when none is waiting.
bool PeekMessage(Message* message);
// Takes the next message; returns false when it is the quit message.
bool GetMessage(Message* message);
// Whether messages are in the queue already, without asking the system for more.
bool MessagesWaiting();
// Empties the queue (for a fresh start in tests).
void ClearMessages();

// ---- Convenience wrappers over `backend` ----
inline bool IsKeyDown(int32_t virtualKey) { return backend.isKeyDown(virtualKey); }
inline void GetCursorPos(int32_t* x, int32_t* y) { backend.cursorPos(x, y); }
inline uint32_t TimeMs() { return backend.timeMs(); }
inline bool HasFocus(Window* window) { return backend.hasFocus(window); }
inline bool CloseRequested() { return backend.closeRequested(); }

// Shows a modal box; where none can be shown, the text goes to standard error instead.
void ShowMessageBox(Window* owner, const char* caption, const char* text);

}  // namespace platform
