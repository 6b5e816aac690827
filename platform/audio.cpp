// The SDL implementation of the sound output. SDL's audio thread calls MixVoices for every block
// of output; the game's thread only flips a voice's start request, so playing never waits for it.
#include "platform/audio.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace platform {

struct SoundBuffer {
  AudioDevice* device = nullptr;
  SDL_AudioCVT cvt{};       // from the file's format to the device's, set up when created
  uint8_t* data = nullptr;  // the file's bytes until unlocked, then the converted sound
  uint32_t fileBytes = 0;
  bool unlocked = false;
  // Written under the device lock once the sound is converted; the mixer reads them.
  const int16_t* samples = nullptr;
  uint32_t sampleCount = 0;  // a whole number of device frames
  // Set by PlaySoundBuffer, taken by the mixer at the start of its next block.
  std::atomic<bool> startRequested{false};
  // The mixer's own: where the voice is, and whether it is sounding.
  uint32_t position = 0;
  bool sounding = false;
};

struct AudioDevice {
  SDL_AudioDeviceID id = 0;
  SDL_AudioSpec output{};                       // what the device really plays
  SoundBuffer* buffers[kMaxSoundBuffers] = {};  // changed only under the device lock
  int32_t bufferCount = 0;
};

namespace {

// Converting a sound may need several times its converted size while it runs; game effects are a
// few hundred kilobytes, so a file that would need more than this is refused rather than risk
// exhausting memory.
constexpr uint64_t kMaxConversionBytes = 64u << 20;
constexpr int kMixBlockSamples = 1024;

}  // namespace

void MixVoices(void* userdata, Uint8* stream, int len) {
  AudioDevice* device = static_cast<AudioDevice*>(userdata);
  int16_t* out = reinterpret_cast<int16_t*>(stream);
  const int total = len / static_cast<int>(sizeof(int16_t));

  // Restarts happen here, at a block boundary, so a voice always starts on a whole frame.
  for (int32_t v = 0; v < device->bufferCount; ++v) {
    SoundBuffer* voice = device->buffers[v];
    if (voice->startRequested.exchange(false, std::memory_order_acquire)) {
      voice->position = 0;
      voice->sounding = true;
    }
  }

  int32_t mix[kMixBlockSamples];
  for (int done = 0; done < total;) {
    const int n = std::min(kMixBlockSamples, total - done);
    std::fill(mix, mix + n, 0);
    for (int32_t v = 0; v < device->bufferCount; ++v) {
      SoundBuffer* voice = device->buffers[v];
      if (!voice->sounding) continue;
      const uint32_t left = voice->sampleCount - std::min(voice->position, voice->sampleCount);
      const uint32_t count = std::min(left, static_cast<uint32_t>(n));
      const int16_t* src = voice->samples + voice->position;
      for (uint32_t i = 0; i < count; ++i) mix[i] += src[i];
      voice->position += count;
      if (voice->position >= voice->sampleCount) voice->sounding = false;
    }
    for (int i = 0; i < n; ++i) {
      out[done + i] = static_cast<int16_t>(std::clamp(mix[i], -32768, 32767));
    }
    done += n;
  }
}

namespace {

void FreeBuffer(SoundBuffer* buffer) {
  std::free(buffer->data);
  delete buffer;
}

}  // namespace

AudioDevice* OpenAudioDevice() {
  // Audio starts on its own: a broken audio driver must not take the display down with it.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
  AudioDevice* device = new AudioDevice;
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 512;  // about 12 ms: a shot is heard with its muzzle flash
  want.callback = MixVoices;
  want.userdata = device;
  // Default output, shared with other programs. Rate and channel count are the system's choice;
  // the sounds are converted to them when loaded.
  device->id =
      SDL_OpenAudioDevice(nullptr, 0, &want, &device->output,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (device->id == 0) {
    delete device;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return nullptr;
  }
  SDL_PauseAudioDevice(device->id, 0);
  return device;
}

void CloseAudioDevice(AudioDevice* device) {
  if (device == nullptr) return;
  // Waits for the mixer to finish its block, so nothing touches the buffers afterwards.
  SDL_CloseAudioDevice(device->id);
  for (int32_t i = 0; i < device->bufferCount; ++i) FreeBuffer(device->buffers[i]);
  delete device;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

AudioFormat GetAudioDeviceFormat(const AudioDevice* device) {
  AudioFormat format;
  if (device == nullptr) return format;
  format.channels = device->output.channels;
  format.samplesPerSecond = device->output.freq;
  format.bitsPerSample = 16;
  return format;
}

SoundBuffer* CreateSoundBuffer(AudioDevice* device, const AudioFormat& format, uint32_t bytes) {
  if (device == nullptr || device->bufferCount >= kMaxSoundBuffers) return nullptr;
  if (format.channels < 1 || format.channels > 2) return nullptr;
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return nullptr;
  if (format.samplesPerSecond < kMinSoundRate || format.samplesPerSecond > kMaxSoundRate) {
    return nullptr;
  }
  const uint32_t frameBytes =
      static_cast<uint32_t>(format.channels) * static_cast<uint32_t>(format.bitsPerSample / 8);
  if (bytes == 0 || bytes % frameBytes != 0) return nullptr;

  SoundBuffer* buffer = new SoundBuffer;
  const SDL_AudioFormat source = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  if (SDL_BuildAudioCVT(&buffer->cvt, source, static_cast<Uint8>(format.channels),
                        format.samplesPerSecond, AUDIO_S16SYS, device->output.channels,
                        device->output.freq) < 0) {
    delete buffer;
    return nullptr;
  }
  // The conversion runs in place, so the buffer holds the file's bytes and room for the result.
  const uint64_t room = static_cast<uint64_t>(bytes) * static_cast<uint64_t>(buffer->cvt.len_mult);
  if (buffer->cvt.len_mult < 1 || room > kMaxConversionBytes) {
    delete buffer;
    return nullptr;
  }
  buffer->data = static_cast<uint8_t*>(std::calloc(room, 1));
  if (buffer->data == nullptr) {
    delete buffer;
    return nullptr;
  }
  buffer->device = device;
  buffer->fileBytes = bytes;

  SDL_LockAudioDevice(device->id);
  device->buffers[device->bufferCount++] = buffer;
  SDL_UnlockAudioDevice(device->id);
  return buffer;
}

void* LockSoundBuffer(SoundBuffer* buffer, uint32_t* bytes) {
  *bytes = 0;
  if (buffer == nullptr || buffer->unlocked) return nullptr;
  *bytes = buffer->fileBytes;
  return buffer->data;
}

bool UnlockSoundBuffer(SoundBuffer* buffer) {
  if (buffer == nullptr || buffer->unlocked) return false;
  buffer->unlocked = true;
  buffer->cvt.buf = buffer->data;
  buffer->cvt.len = static_cast<int>(buffer->fileBytes);
  if (SDL_ConvertAudio(&buffer->cvt) != 0 || buffer->cvt.len_cvt <= 0) return false;
  // Give back the room the conversion needed.
  const size_t converted = static_cast<size_t>(buffer->cvt.len_cvt);
  if (void* smaller = std::realloc(buffer->data, converted)) {
    buffer->data = static_cast<uint8_t*>(smaller);
  }
  const uint32_t frameSamples = buffer->device->output.channels;
  const uint32_t samples = static_cast<uint32_t>(converted / sizeof(int16_t));

  SDL_LockAudioDevice(buffer->device->id);
  buffer->samples = reinterpret_cast<const int16_t*>(buffer->data);
  buffer->sampleCount = samples - samples % frameSamples;
  SDL_UnlockAudioDevice(buffer->device->id);
  return true;
}

void PlaySoundBuffer(SoundBuffer* buffer) {
  if (buffer == nullptr) return;
  buffer->startRequested.store(true, std::memory_order_release);
}

void ReleaseSoundBuffer(SoundBuffer* buffer) {
  if (buffer == nullptr) return;
  AudioDevice* device = buffer->device;
  SDL_LockAudioDevice(device->id);
  int32_t kept = 0;
  for (int32_t i = 0; i < device->bufferCount; ++i) {
    if (device->buffers[i] != buffer) device->buffers[kept++] = device->buffers[i];
  }
  device->bufferCount = kept;
  SDL_UnlockAudioDevice(device->id);
  FreeBuffer(buffer);
}

uint32_t SoundBufferFrames(const SoundBuffer* buffer) {
  if (buffer == nullptr) return 0;
  return buffer->sampleCount / buffer->device->output.channels;
}

const int16_t* SoundBufferSamples(const SoundBuffer* buffer) {
  return buffer != nullptr ? buffer->samples : nullptr;
}

}  // namespace platform
