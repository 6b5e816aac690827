#include "tools/sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "tools/raster.h"

namespace art {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Noise(Rng& rng) { return rng.Uniform() * 2.0 - 1.0; }

// Coefficient of a one-pole low-pass filter with the given cut-off.
double PoleCoefficient(double hz) { return 1.0 - std::exp(-kTwoPi * hz / kSampleRate); }

struct LowPass {
  double y = 0.0;
  double Step(double x, double hz) { return y += PoleCoefficient(hz) * (x - y); }
};

// Removes the DC offset and the inaudible lowest rumble.
void HighPass(std::vector<double>& s, double hz) {
  double rc = 1.0 / (kTwoPi * hz), dt = 1.0 / kSampleRate, a = rc / (rc + dt);
  double prevX = 0.0, prevY = 0.0;
  for (double& v : s) {
    double y = a * (prevY + v - prevX);
    prevX = v;
    prevY = v = y;
  }
}

// Subtracts what offset is left, in proportion to the loudness envelope so that the silent
// start and end stay silent, then fades the tail out and scales to the wanted peak.
std::vector<int16_t> Finish(std::vector<double> s, const std::vector<double>& envelope,
                            double fadeSeconds, double peak) {
  double mean = 0.0, envSum = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    mean += s[i];
    envSum += envelope[i];
  }
  for (size_t i = 0; i < s.size(); ++i) s[i] -= mean * envelope[i] / envSum;
  size_t fade = static_cast<size_t>(fadeSeconds * kSampleRate);
  for (size_t i = 0; i < fade && i < s.size(); ++i) {
    double t = static_cast<double>(i) / fade;
    s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * t);
  }
  double top = 0.0;
  for (double v : s) top = std::max(top, std::abs(v));
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i)
    out[i] = static_cast<int16_t>(std::lround(s[i] / top * peak * 32767.0));
  return out;
}

}  // namespace

std::vector<int16_t> SynthShot() {
  const size_t n = static_cast<size_t>(0.12 * kSampleRate);
  std::vector<double> s(n), env(n);
  Rng rng(0x5407);
  LowPass body, bodyB, crackHp;
  double phase = 0.0;
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    double attack = std::min(1.0, t / 0.0006);
    double w = Noise(rng);
    // The crack: bright noise that is gone within a few milliseconds.
    double crack = (w - crackHp.Step(w, 2500.0)) * std::exp(-t / 0.006);
    // The report: noise whose brightness falls quickly.
    double cutoff = 500.0 + 5000.0 * std::exp(-t / 0.012);
    double report = bodyB.Step(body.Step(w, cutoff), cutoff) * 2.2 * std::exp(-t / 0.03);
    // The thump of the breech, a falling tone.
    phase += kTwoPi * (70.0 + 130.0 * std::exp(-t / 0.01)) / kSampleRate;
    double thump = std::sin(phase) * 0.55 * std::exp(-t / 0.022);
    env[i] = attack * std::exp(-t / 0.03);
    s[i] = attack * (crack * 0.9 + report + thump);
  }
  HighPass(s, 40.0);
  return Finish(std::move(s), env, 0.02, 0.86);
}

std::vector<int16_t> SynthExplosion() {
  const size_t n = static_cast<size_t>(1.25 * kSampleRate);
  std::vector<double> s(n), env(n);
  Rng rng(0xB00F);
  LowPass blastA, blastB, rumbleA, rumbleB, rollLp, crackleA, crackleB, roarHi, roarLo;
  double brown = 0.0, phase = 0.0, crackle = 0.0;
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    double attack = std::min(1.0, t / 0.004);
    double w = Noise(rng);
    // The blast: a wide burst that darkens fast.
    double cutoff = 250.0 + 5500.0 * std::exp(-t / 0.05);
    double blast = blastB.Step(blastA.Step(w, cutoff), cutoff) * 2.0 * std::exp(-t / 0.16);
    // The rumble: deep brown noise rolling in slow waves, dying away over the second.
    brown = brown * 0.995 + w * 0.1;
    double roll = 0.65 + 0.7 * std::abs(rollLp.Step(Noise(rng), 6.0)) * 8.0;
    double rumble =
        rumbleB.Step(rumbleA.Step(brown, 160.0), 160.0) * 2.6 * roll * std::exp(-t / 0.42);
    // The roar of the fire in the middle range, so small speakers carry the explosion too.
    double roar =
        (roarHi.Step(w, 900.0) - roarLo.Step(w, 250.0)) * 1.3 * roll * std::exp(-t / 0.28);
    // A falling sub-bass thud under it.
    phase += kTwoPi * (32.0 + 40.0 * std::exp(-t / 0.08)) / kSampleRate;
    double thud = std::sin(phase) * 0.7 * std::exp(-t / 0.25);
    // Crackling debris: sparse bursts, rarer as the fire dies.
    if (t > 0.03 && rng.Uniform() < 0.002 * std::exp(-t / 0.3)) crackle = 0.5 + rng.Uniform();
    crackle *= 0.985;
    double crackles = crackleB.Step(crackleA.Step(crackle * w, 1800.0), 1800.0) * 0.9;
    env[i] = attack * (0.4 * std::exp(-t / 0.16) + 0.6 * std::exp(-t / 0.42));
    s[i] = attack * (blast + rumble + roar + thud + crackles);
  }
  HighPass(s, 25.0);
  // Gentle saturation gives the blast weight without ever clipping.
  double top = 0.0;
  for (double v : s) top = std::max(top, std::abs(v));
  for (double& v : s) v = std::tanh(1.8 * v / top);
  return Finish(std::move(s), env, 0.15, 0.89);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate) {
  std::vector<uint8_t> out;
  auto put = [&](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
  uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  tag("RIFF");
  put(36 + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  put(16, 4);
  put(1, 2);  // PCM
  put(1, 2);  // mono
  put(static_cast<uint32_t>(rate), 4);
  put(static_cast<uint32_t>(rate) * 2, 4);  // bytes per second
  put(2, 2);                                // bytes per frame
  put(16, 2);                               // bits per sample
  tag("data");
  put(dataBytes, 4);
  for (int16_t v : samples) put(static_cast<uint16_t>(v), 2);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace art
