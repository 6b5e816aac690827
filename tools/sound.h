// The game's two sound effects, synthesised from fixed seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace art {

constexpr int kSampleRate = 44100;

// A short, punchy machine-gun shot (about 0.12 s).
std::vector<int16_t> SynthShot();
// A deep, rumbling explosion (about 1.2 s).
std::vector<int16_t> SynthExplosion();

// 16-bit mono PCM RIFF/WAVE file with a 16-byte "fmt " chunk and a "data" chunk.
bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate);

}  // namespace art
