// Reading RIFF/WAVE files: a pure parser that accepts well-formed PCM and rejects damaged files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace plat::sound {

struct WaveInfo {
  int channels = 0;             // 1 or 2
  int sample_rate = 0;          // frames per second
  int bits = 0;                 // 8 or 16
  std::size_t data_offset = 0;  // first sample byte within the file
  std::size_t frames = 0;       // whole sample frames in the data chunk
  std::uint32_t length_ms() const {
    return sample_rate
               ? std::uint32_t((std::uint64_t(frames) * 1000 + sample_rate - 1) / sample_rate)
               : 0;
  }
};

// Parses a whole file held in memory. Returns false, with a reason in *why when given, for
// anything but uncompressed 8- or 16-bit PCM with one or two channels whose chunks all lie
// inside the file.
bool parse_wave(const std::uint8_t* data, std::size_t size, WaveInfo* info,
                std::string* why = nullptr);

}  // namespace plat::sound
