// What each player flies with: a key and pad inputs for each of the four flying actions. Today's
// keys and a pad mapping by default; the player's controls file may name others.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum Action : int32_t { ACTION_GAS, ACTION_FIRE, ACTION_NOSE_UP, ACTION_NOSE_DOWN, kActionCount };

constexpr int32_t kMaxPadInputs = 4;

struct ActionBinding {
  int32_t key;  // a key code of platform/keys.h; 0: none
  int32_t padCount;
  int32_t pad[kMaxPadInputs];  // inputs of platform/pads.h, on the player's own pad
};

struct Controls {
  ActionBinding players[2][kActionCount];
};

// Gas: Ctrl / Alt, A or the right trigger. Fire: Shift / Z, X or the right shoulder. Nose up:
// Left / C, the pad's left. Nose down: Right / V, the pad's right.
extern const Controls kDefaultControls;
// In use; the defaults until a controls file is read.
extern Controls controls;

// Reads a controls file from in over the defaults into `controls`. A bad line gets one line on
// err, "corvane-altor: NAME:LINE: what is wrong", and is left out; the other lines apply.
void ReadControls(FILE* in, const char* name, FILE* err);

// $XDG_CONFIG_HOME/corvane-altor/controls.conf, or ~/.config/corvane-altor/controls.conf when that
// is unset; false when neither can be made.
bool ControlsFilePath(char* out, size_t outLen);

// Reads the player's controls file; without one the defaults stay, without a word.
void LoadControls(FILE* err);

// Writes `controls` in the file's own format, ready to be saved and edited.
void PrintControls(FILE* out);
