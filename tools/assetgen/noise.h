// Deterministic hash noise (value noise and fractal sums), so every asset is reproducible.
#pragma once

#include <cmath>
#include <cstdint>

namespace ag {

inline std::uint32_t hash3(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h =
      seed * 0x9E3779B1u ^ std::uint32_t(x) * 0x85EBCA77u ^ std::uint32_t(y) * 0xC2B2AE3Du;
  h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12, h *= 0x297A2D39u, h ^= h >> 15;
  return h;
}
inline float hash01(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return (hash3(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

// Smooth value noise in [0, 1].
inline float vnoise(float x, float y, std::uint32_t seed) {
  float fx = std::floor(x), fy = std::floor(y);
  auto ix = std::int32_t(fx), iy = std::int32_t(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx), ty = ty * ty * (3 - 2 * ty);
  float a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
  float c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// Fractal sum of `octaves` noise layers, in [0, 1].
inline float fbm(float x, float y, std::uint32_t seed, int octaves = 4) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * vnoise(x, y, seed + o * 101);
    norm += amp;
    x *= 2.03f, y *= 2.03f, amp *= 0.5f;
  }
  return sum / norm;
}

// Small deterministic generator for scattered details.
struct Rng {
  std::uint64_t s;
  explicit Rng(std::uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint32_t next() {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    return std::uint32_t(s >> 33);
  }
  float uniform() { return next() * (1.0f / 2147483648.0f); }  // [0, 1)
  float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
};

}  // namespace ag
