// Test waves: well-formed PCM files of a chosen length, written to a private temporary folder.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline void put_le(std::vector<std::uint8_t>& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

// A mono 16-bit tone of `ms` milliseconds at `rate` frames per second.
inline std::vector<std::uint8_t> make_wave(std::uint32_t ms, std::uint32_t rate = 8000, int channels = 1, int bits = 16) {
  const std::uint32_t frames = rate * ms / 1000, align = std::uint32_t(channels * bits / 8);
  std::vector<std::uint8_t> b{'R', 'I', 'F', 'F'};
  put_le(b, 36 + frames * align, 4);
  for (char c : std::string("WAVEfmt ")) b.push_back(std::uint8_t(c));
  put_le(b, 16, 4), put_le(b, 1, 2), put_le(b, channels, 2), put_le(b, rate, 4);
  put_le(b, rate * align, 4), put_le(b, align, 2), put_le(b, bits, 2);
  for (char c : std::string("data")) b.push_back(std::uint8_t(c));
  put_le(b, frames * align, 4);
  for (std::uint32_t i = 0; i < frames * channels; ++i) {
    const double v = 0.3 * std::sin(i * 0.2);
    if (bits == 16) put_le(b, std::uint32_t(std::int16_t(v * 32767)) & 0xFFFF, 2);
    else b.push_back(std::uint8_t(128 + v * 127));
  }
  return b;
}

// A folder of its own for each test process, removed with the object.
struct TempDir {
  std::filesystem::path path;
  TempDir() : path(std::filesystem::temp_directory_path() / ("orbolan-sound-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(path / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return (path / name).string();
  }
};
