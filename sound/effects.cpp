#include "sound/effects.h"

#include <algorithm>
#include <cstdint>

#include "game/state.h"
#include "platform/audio.h"
#include "platform/riff.h"
#include "shell/shell.h"

namespace {

constexpr uint32_t kWaveForm = platform::FourCC('W', 'A', 'V', 'E');
constexpr uint32_t kFormatChunk = platform::FourCC('f', 'm', 't', ' ');
constexpr uint32_t kDataChunk = platform::FourCC('d', 'a', 't', 'a');
constexpr uint16_t kFormatPcm = 1;
// The members of the format record every PCM file has; cbSize follows only in longer chunks.
constexpr uint32_t kPcmFormatBytes = 16;
constexpr uint32_t kFormatWithExtraBytes = 18;

// The WAVEFORMATEX record of a "fmt " chunk.
struct WaveFormat {
  uint16_t formatTag;
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
  uint16_t cbSize;
};

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Reads the record from the start of the format chunk: 16 bytes, and cbSize only when the chunk
// holds it (a 16-byte chunk is followed by other data, not by the record's last member).
bool ReadWaveFormat(platform::RiffFile* riff, const platform::RiffChunk& chunk, WaveFormat* wf) {
  if (chunk.size < kPcmFormatBytes) return false;
  uint8_t bytes[kFormatWithExtraBytes] = {};
  const uint32_t wanted =
      chunk.size >= kFormatWithExtraBytes ? kFormatWithExtraBytes : kPcmFormatBytes;
  if (platform::RiffRead(riff, bytes, wanted) != wanted) return false;
  wf->formatTag = ReadU16(bytes);
  wf->channels = ReadU16(bytes + 2);
  wf->samplesPerSec = ReadU32(bytes + 4);
  wf->avgBytesPerSec = ReadU32(bytes + 8);
  wf->blockAlign = ReadU16(bytes + 12);
  wf->bitsPerSample = ReadU16(bytes + 14);
  wf->cbSize = ReadU16(bytes + 16);
  return true;
}

// The sound must be something the data chunk can be measured in: whole sample frames of 8- or
// 16-bit samples. The rest (rate range, channel count) is for the buffer to accept or refuse.
bool IsUsablePcm(const WaveFormat& wf) {
  return wf.channels != 0 && wf.samplesPerSec != 0 &&
         (wf.bitsPerSample == 8 || wf.bitsPerSample == 16);
}

// Fails the load with `text`; the file is closed on every way out.
void FailLoad(platform::RiffFile* riff, const char* text) {
  platform::RiffClose(riff);
  ShowError(text);
}

}  // namespace

bool noSoundDevice = false;

void InitDirectSound() {
  if (noSoundDevice) return;
  directSound = platform::OpenAudioDevice();
  if (directSound == nullptr) {
    ShowError("InitDirectSound DirectSoundCreate");
    return;
  }
  // The output is opened shared with other programs, which is the normal cooperative level; there
  // is no level to set for mainWindow, so that step cannot fail.
}

void LoadDirectSound(platform::SoundBuffer** buffer, const char* fileName) {
  if (noSoundDevice) return;
  platform::RiffFile riff;
  if (!platform::RiffOpen(&riff, fileName)) {
    ShowError("LoadDirectSound mmioOpen");
    return;
  }
  platform::RiffChunk wave;
  if (!platform::RiffDescendForm(&riff, &wave, kWaveForm)) {
    FailLoad(&riff, "LoadDirectSound mmioDescend");
    return;
  }
  platform::RiffChunk format;
  if (!platform::RiffDescend(&riff, &format, kFormatChunk)) {
    FailLoad(&riff, "LoadDirectSound mmioDescend");
    return;
  }
  WaveFormat wf{};
  if (!ReadWaveFormat(&riff, format, &wf) || wf.formatTag != kFormatPcm || !IsUsablePcm(wf)) {
    FailLoad(&riff, "LoadDirectSound mmioRead");
    return;
  }
  platform::RiffAscend(&riff);

  platform::RiffChunk data;
  if (!platform::RiffDescend(&riff, &data, kDataChunk)) {
    FailLoad(&riff, "LoadDirectSound mmioDescend");
    return;
  }
  // A data chunk that claims more than the file holds would be read short, and one that ends
  // inside a sample frame cannot be played as it stands.
  const uint32_t frameBytes = wf.channels * (wf.bitsPerSample / 8u);
  if (data.size != data.claimedSize || data.size % frameBytes != 0) {
    FailLoad(&riff, "LoadDirectSound mmioRead");
    return;
  }

  platform::AudioFormat pcm;
  pcm.channels = wf.channels;
  // Any rate beyond the buffer's range is as unusable as the largest one.
  pcm.samplesPerSecond = static_cast<int32_t>(std::min<uint32_t>(wf.samplesPerSec, INT32_MAX));
  pcm.bitsPerSample = wf.bitsPerSample;
  *buffer = platform::CreateSoundBuffer(directSound, pcm, data.size);
  if (*buffer == nullptr) {
    FailLoad(&riff, "LoadDirectSound CreateSoundBuffer");
    return;
  }
  uint32_t bytes = 0;
  void* dest = platform::LockSoundBuffer(*buffer, &bytes);
  if (dest != nullptr) platform::RiffRead(&riff, dest, bytes);
  platform::UnlockSoundBuffer(*buffer);
  platform::RiffClose(&riff);
}

bool soundEffectsMuted = false;

void PlaySoundEffect(int32_t number) {
  if (soundEffectsMuted) return;
  if (number == 1) {
    platform::PlaySoundBuffer(fireSound);
  } else if (number == 3) {
    platform::PlaySoundBuffer(boomSound);
  }
}

void ReleaseDirectSound() {
  platform::CloseAudioDevice(directSound);
  directSound = nullptr;
  fireSound = nullptr;
  boomSound = nullptr;
}
