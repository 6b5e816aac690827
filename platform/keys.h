// Virtual-key codes, the numbering the game's key rules are written in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_SHIFT = 0x10;    // either shift key
constexpr int VK_CONTROL = 0x11;  // either ctrl key
constexpr int VK_MENU = 0x12;     // either alt key
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
// Letters and digits use their upper-case ASCII codes ('A'..'Z', '0'..'9').
constexpr int VK_KEY_C = 'C';
constexpr int VK_KEY_P = 'P';
constexpr int VK_KEY_V = 'V';
constexpr int VK_KEY_Z = 'Z';
// A pad's Start button, posted as a key-down: P in a match, "Play!" in the menu.
constexpr int VK_PAD_START = 0xFA;

// Keys with no code above, as the controls file may name them: SDL's key code with this bit set.
constexpr int32_t kNamedKey = 0x20000000;

// The key the controls file calls name: SDL's key names in any case ("Z", "Left", "Left Ctrl",
// "Keypad 0"), and "Ctrl", "Shift" and "Alt" for either of the two keys. False when none is.
bool KeyFromName(const char* name, int32_t* key);
// The name KeyFromName reads back as key ("" for 0).
void KeyName(int32_t key, char* out, size_t outLen);
// The either-side key that one side's key belongs to (Left Ctrl: VK_CONTROL); other keys as given.
int32_t KeyBothSides(int32_t key);

}  // namespace platform
