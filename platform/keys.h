// Virtual-key codes, the numbering the game's key rules are written in.
#pragma once

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

}  // namespace platform
