#include "sound/effects.h"

#include "game/state.h"

// Silent until the audio layer lands.
void InitDirectSound() {}
void LoadDirectSound(platform::SoundBuffer** buffer, const char*) { *buffer = nullptr; }
void PlaySoundEffect(int32_t) {}
void ReleaseDirectSound() { directSound = nullptr; }
