// The sound output: one device on the system's default output, shared with other programs, and
// sound buffers that each hold one whole sound and play as one voice.
//
// A buffer is filled the way a WAV loader wants it: created for the file's own PCM format and data
// size, locked, filled with the file's bytes, unlocked. Unlocking converts the sound once into the
// device's format; playing never converts, allocates or waits.
#pragma once

#include <cstdint>

namespace platform {

struct AudioDevice;
struct SoundBuffer;

struct AudioFormat {
  int32_t channels = 0;          // interleaved
  int32_t samplesPerSecond = 0;  // sample frames per second
  int32_t bitsPerSample = 0;     // 8: unsigned, 16: signed little-endian
};

// What a sound buffer accepts (the same range DirectSound takes).
constexpr int32_t kMinSoundRate = 100;
constexpr int32_t kMaxSoundRate = 200000;
constexpr int32_t kMaxSoundBuffers = 8;

// Opens the default output; null when there is none.
AudioDevice* OpenAudioDevice();
// Stops the output and frees the device and every buffer made for it. Null is allowed.
void CloseAudioDevice(AudioDevice* device);
// The device's output format: 16-bit signed samples, interleaved.
AudioFormat GetAudioDeviceFormat(const AudioDevice* device);

// A silent buffer for `bytes` of sound in `format`. Null without a device, for a format other than
// 1 or 2 channels of 8 or 16 bits at kMinSoundRate..kMaxSoundRate, for a size that is zero or not
// a whole number of sample frames, when the converted sound would be unreasonably large, or when
// the device already has kMaxSoundBuffers buffers.
SoundBuffer* CreateSoundBuffer(AudioDevice* device, const AudioFormat& format, uint32_t bytes);
// The buffer's bytes in the format it was created with (zeroed at first), to be filled before
// UnlockSoundBuffer; *bytes receives their number. Null once the buffer has been unlocked.
void* LockSoundBuffer(SoundBuffer* buffer, uint32_t* bytes);
// Converts the filled bytes into the device's format; from then on the buffer can play. False
// when the conversion failed: the buffer then stays silent.
bool UnlockSoundBuffer(SoundBuffer* buffer);
// Plays the buffer once from its beginning; a buffer that is still sounding starts over. Returns
// at once. Null is allowed and plays nothing.
void PlaySoundBuffer(SoundBuffer* buffer);
// Frees one buffer before its device closes. Null is allowed.
void ReleaseSoundBuffer(SoundBuffer* buffer);

// The mixer SDL's audio thread runs for every block of output: takes the start requests, then
// fills `bytes` of `stream` with the sounding buffers of `device` summed and clipped. Tests call it
// directly rather than waiting on a real output.
void MixVoices(void* device, uint8_t* stream, int bytes);

// The converted sound: its length in sample frames and its samples in the device's format.
uint32_t SoundBufferFrames(const SoundBuffer* buffer);
const int16_t* SoundBufferSamples(const SoundBuffer* buffer);

}  // namespace platform
