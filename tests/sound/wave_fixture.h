// Test waves (PCM tones of a chosen length) written to a private folder removed with it.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> make_wave(std::uint32_t ms, std::uint32_t rate = 8000,
                                           int channels = 1, int bits = 16) {
  const std::uint32_t frames = rate * ms / 1000, align = std::uint32_t(channels * bits / 8);
  std::vector<std::uint8_t> b;
  auto put = [&b](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
  };
  auto tag = [&b](const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(t[i]));
  };
  tag("RIFF"), put(36 + frames * align, 4), tag("WAVE"), tag("fmt "), put(16, 4), put(1, 2),
      put(channels, 2);
  put(rate, 4), put(rate * align, 4), put(align, 2), put(bits, 2), tag("data"),
      put(frames * align, 4);
  for (std::uint32_t i = 0; i < frames * channels; ++i)
    put(std::uint32_t(int(std::sin(i * 0.2) * 0.3 * (bits == 16 ? 32767 : 127)) +
                      (bits == 16 ? 0 : 128)),
        bits / 8);
  return b;
}

struct TempDir {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("orbolan-sound-" + std::to_string(::getpid()));
  TempDir() { std::filesystem::create_directories(path); }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(path / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return (path / name).string();
  }
};
