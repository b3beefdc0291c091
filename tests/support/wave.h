// Silent test waves, 8-bit mono PCM at 8000 Hz, of a chosen length.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace proof {

inline std::string Silent_Wave(std::uint32_t ms) {
  std::string wave = "RIFF";
  auto put = [&wave](std::uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) wave += static_cast<char>(v >> (8 * k));
  };
  const std::uint32_t samples = 8 * ms;
  put(36 + samples, 4);
  wave += "WAVEfmt ";
  for (std::uint32_t v : {16u, 1u, 1u, 8000u, 8000u, 1u, 8u}) put(v, v >= 16 ? 4 : 2);
  wave += "data";
  put(samples, 4);
  return wave.append(samples, '\x80');
}

// Writes a silent wave of `ms` to `path` and returns the path.
inline std::string Write_Wave(const std::string& path, std::uint32_t ms) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << Silent_Wave(ms);
  return path;
}

}  // namespace proof
