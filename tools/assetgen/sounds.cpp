// Synthesis of the game's sounds: pitched pops, a soft click and two little bell jingles.
#include "tools/assetgen/sounds.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/noise.h"

namespace ag {

static constexpr float kTau = 6.28318530718f;
static constexpr float kPeak = 0.82f;  // headroom below full scale

using Buffer = std::vector<float>;

static Buffer silence(float seconds) { return Buffer(std::size_t(seconds * kSampleRate), 0.0f); }

// Scales to the common peak and softens the first and last milliseconds against clicks.
static Buffer finish(Buffer b) {
  float peak = 0;
  for (float s : b) peak = std::max(peak, std::fabs(s));
  if (peak > 0)
    for (float& s : b) s *= kPeak / peak;
  const std::size_t ramp = std::min<std::size_t>(b.size() / 4, kSampleRate / 500);
  for (std::size_t i = 0; i < ramp; ++i) {
    float g = float(i) / ramp;
    b[i] *= g, b[b.size() - 1 - i] *= g;
  }
  return b;
}

static float note_hz(int semitones_from_a4) {
  return 440.0f * std::pow(2.0f, semitones_from_a4 / 12.0f);
}

// A bubble pop: a short sine whose pitch rises quickly, with a tiny noise transient.
static void add_pop(Buffer& b, float at, float f0, float f1, float decay, float gain,
                    std::uint64_t seed) {
  Rng rng(seed);
  const std::size_t start = std::size_t(at * kSampleRate);
  const std::size_t len = std::size_t(decay * 7 * kSampleRate);
  float phase = 0, lp = 0;
  for (std::size_t i = 0; i < len && start + i < b.size(); ++i) {
    float t = float(i) / kSampleRate;
    float f = f1 + (f0 - f1) * std::exp(-t / (decay * 0.8f));
    phase += kTau * f / kSampleRate;
    float env = (1 - std::exp(-t / 0.0008f)) * std::exp(-t / decay);
    lp += 0.35f * (rng.range(-1, 1) - lp);
    float transient = lp * std::exp(-t / 0.0025f);
    b[start + i] += gain * (env * std::sin(phase) + 0.5f * transient);
  }
}

// A mallet-struck bell tone: fundamental with decaying, slightly inharmonic partials.
static void add_bell(Buffer& b, float at, float hz, float length, float gain) {
  static const float partials[4][3] = {
      {1.0f, 1.0f, 1.0f}, {2.0f, 0.45f, 0.5f}, {3.01f, 0.18f, 0.33f}, {4.2f, 0.08f, 0.2f}};
  const std::size_t start = std::size_t(at * kSampleRate);
  const std::size_t len = std::size_t(length * kSampleRate);
  for (std::size_t i = 0; i < len && start + i < b.size(); ++i) {
    float t = float(i) / kSampleRate;
    float attack = 1 - std::exp(-t / 0.003f);
    float v = 0;
    for (const auto& p : partials)
      v += p[1] * std::exp(-t / (length * 0.35f * p[2])) * std::sin(kTau * hz * p[0] * t);
    b[start + i] += gain * attack * v;
  }
}

// A soft brass-like voice for the fanfare: odd and even harmonics, gentle attack, vibrato.
static void add_horn(Buffer& b, float at, float hz, float length, float gain) {
  const std::size_t start = std::size_t(at * kSampleRate);
  const std::size_t len = std::size_t(length * kSampleRate);
  float phase = 0;
  for (std::size_t i = 0; i < len && start + i < b.size(); ++i) {
    float t = float(i) / kSampleRate;
    float vib = 1 + 0.004f * std::sin(kTau * 5.5f * t) * std::min(1.0f, t / 0.3f);
    phase += kTau * hz * vib / kSampleRate;
    float env = std::min(1.0f, t / 0.025f) * std::min(1.0f, (length - t) / 0.12f);
    float v = std::sin(phase) + 0.5f * std::sin(2 * phase) + 0.28f * std::sin(3 * phase) +
              0.12f * std::sin(4 * phase);
    b[start + i] += gain * env * v;
  }
}

std::vector<float> click_sound() {
  Buffer b = silence(0.045f);
  Rng rng(5);
  float lp = 0;
  for (std::size_t i = 0; i < b.size(); ++i) {
    float t = float(i) / kSampleRate;
    lp += 0.25f * (rng.range(-1, 1) - lp);
    b[i] = 0.6f * std::sin(kTau * 1750 * t) * std::exp(-t / 0.006f) +
           0.5f * lp * std::exp(-t / 0.002f);
  }
  Buffer out = finish(b);
  for (float& s : out) s *= 0.55f;  // a click stays softer than the pops
  return out;
}

std::vector<float> pop_sound() {
  Buffer b = silence(0.16f);
  add_pop(b, 0.0f, 380, 1150, 0.022f, 1.0f, 7);
  return finish(b);
}

std::vector<float> megapop_sound() {
  Buffer b = silence(0.42f);
  add_pop(b, 0.00f, 300, 900, 0.030f, 1.0f, 8);
  add_pop(b, 0.05f, 420, 1250, 0.022f, 0.8f, 9);
  add_pop(b, 0.10f, 520, 1500, 0.020f, 0.7f, 10);
  add_bell(b, 0.14f, note_hz(27), 0.26f, 0.22f);  // a sparkle on top
  return finish(b);
}

std::vector<float> score_sound() {
  // A short rising figure ending on the tonic: G5 C6 E6, then a C major chord.
  Buffer b = silence(1.05f);
  const int notes[3] = {10, 15, 19};
  for (int i = 0; i < 3; ++i) add_bell(b, 0.12f * i, note_hz(notes[i]), 0.5f, 0.55f);
  for (int n : {15, 19, 22, 27}) add_bell(b, 0.38f, note_hz(n), 0.66f, 0.32f);
  return finish(b);
}

std::vector<float> highscore_sound() {
  // A brighter fanfare: C5 E5 G5 C6 on horns, a held C major chord, and bells sparkling over it.
  Buffer b = silence(2.1f);
  const int notes[4] = {3, 7, 10, 15};
  for (int i = 0; i < 4; ++i) add_horn(b, 0.11f * i, note_hz(notes[i]), 0.16f, 0.35f);
  for (int n : {3, 7, 10, 15}) add_horn(b, 0.48f, note_hz(n), 1.5f, 0.2f);
  Rng rng(12);
  const int sparkle[6] = {27, 31, 34, 39, 34, 43};
  for (int i = 0; i < 6; ++i)
    add_bell(b, 0.5f + 0.17f * i + rng.range(0, 0.04f), note_hz(sparkle[i]), 0.45f, 0.16f);
  return finish(b);
}

std::vector<float> intro_sound() {
  // Bubbles rising through a chord: pops climbing in pitch over soft bells.
  Buffer b = silence(1.5f);
  for (int i = 0; i < 7; ++i)
    add_pop(b, 0.09f * i, 300 + 70.0f * i, 900 + 180.0f * i, 0.02f, 0.6f, 20 + i);
  for (int n : {3, 10, 15}) add_bell(b, 0.62f, note_hz(n), 0.85f, 0.3f);
  return finish(b);
}

}  // namespace ag
