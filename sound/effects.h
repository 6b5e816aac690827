// The game's two sound effects: a shot (1) and an explosion (3).
#pragma once

#include <cstdint>

namespace platform {
struct SoundBuffer;
}

// --mute: no sound device is opened and no effect loaded, without a word; the game is silent.
extern bool noSoundDevice;

// Opens the default audio output into directSound; failures are shown with ShowError.
void InitDirectSound();
// Loads a WAV file into a new sound buffer stored in *buffer; failures are shown with ShowError.
void LoadDirectSound(platform::SoundBuffer** buffer, const char* fileName);
// Plays effect `number` from its beginning; numbers without an effect play nothing, and neither
// does any while the effects are muted.
void PlaySoundEffect(int32_t number);

// While set, PlaySoundEffect plays nothing: online play re-simulates frames that have already
// sounded once.
extern bool soundEffectsMuted;
// Closes the audio output; the effect buffers go with it.
void ReleaseDirectSound();
