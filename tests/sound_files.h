// Helpers for the sound tests: WAV files built byte by byte in a temporary directory, the error
// box's texts caught instead of shown, and the audio driver chosen per test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/system.h"

namespace soundtest {

using Bytes = std::vector<uint8_t>;

inline void PutU16(Bytes* out, uint32_t v) {
  out->insert(out->end(), {uint8_t(v), uint8_t(v >> 8)});
}
inline void PutU32(Bytes* out, uint32_t v) {
  PutU16(out, v & 0xFFFFu);
  PutU16(out, v >> 16);
}
inline void PutId(Bytes* out, const char* id) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(id[i]));
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// A chunk whose header states `claimed` bytes whatever the payload really holds; no pad byte.
inline Bytes ChunkClaiming(const char* id, uint32_t claimed, const Bytes& payload) {
  Bytes out;
  PutId(&out, id);
  PutU32(&out, claimed);
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

// A well-formed chunk: its true size, and a zero pad byte after an odd-sized payload.
inline Bytes Chunk(const char* id, const Bytes& payload) {
  Bytes out = ChunkClaiming(id, static_cast<uint32_t>(payload.size()), payload);
  if (payload.size() % 2 != 0) out.push_back(0);
  return out;
}

inline Bytes Riff(const Bytes& body, const char* form = "WAVE") {
  Bytes payload;
  PutId(&payload, form);
  payload.insert(payload.end(), body.begin(), body.end());
  return Chunk("RIFF", payload);
}

// A "fmt " chunk of `size` bytes (16, or 18 and more with cbSize = size - 18).
inline Bytes Fmt(uint32_t tag, uint32_t channels, uint32_t rate, uint32_t bits,
                 uint32_t size = 16) {
  Bytes p;
  PutU16(&p, tag);
  PutU16(&p, channels);
  PutU32(&p, rate);
  PutU32(&p, rate * channels * (bits / 8));
  PutU16(&p, channels * (bits / 8));
  PutU16(&p, bits);
  if (size >= 18) PutU16(&p, size - 18);
  p.resize(size, 0);
  return Chunk("fmt ", p);
}

inline Bytes Samples16(const std::vector<int16_t>& samples) {
  Bytes out;
  for (int16_t s : samples) PutU16(&out, static_cast<uint16_t>(s));
  return out;
}

inline Bytes Wav(uint32_t channels, uint32_t rate, uint32_t bits, const Bytes& data) {
  return Riff(Cat({Fmt(1, channels, rate, bits), Chunk("data", data)}));
}

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-sound-XXXXXX");
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  std::string Write(const std::string& name, const Bytes& bytes) const {
    const std::string file = Path(name);
    std::ofstream out(file, std::ios::binary);
    EXPECT_TRUE(out) << file;
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::string path_;
};

// Catches every error box while alive and puts the real message box back afterwards.
class ErrorBoxes {
 public:
  ErrorBoxes() : saved_(platform::backend) {
    texts().clear();
    captions().clear();
    platform::backend.messageBox = [](platform::Window*, const char* caption, const char* text) {
      captions().push_back(caption);
      texts().push_back(text);
      return true;
    };
  }
  ~ErrorBoxes() { platform::backend = saved_; }
  ErrorBoxes(const ErrorBoxes&) = delete;
  ErrorBoxes& operator=(const ErrorBoxes&) = delete;

  static std::vector<std::string>& texts() {
    static std::vector<std::string> shown;
    return shown;
  }
  static std::vector<std::string>& captions() {
    static std::vector<std::string> shown;
    return shown;
  }
  void Clear() {
    texts().clear();
    captions().clear();
  }

 private:
  platform::Backend saved_;
};

// Sets an environment variable for the life of the object and then puts its old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value)
      : name_(name), had_(getenv(name) != nullptr), old_(had_ ? getenv(name) : "") {
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  bool had_;
  std::string old_;
};

}  // namespace soundtest
