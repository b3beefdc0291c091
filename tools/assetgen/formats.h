// File writers of the asset generator: 24-bit BMP, PNG (stored deflate, no library) and 16-bit PCM WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace ag {

using Bytes = std::vector<std::uint8_t>;

Bytes encode_bmp24(const Pixels& p);
// PNG of 8-bit RGB, or RGBA when `alpha` is given (one value 0..255 per pixel).
Bytes encode_png(const Pixels& p, const std::vector<std::uint8_t>* alpha = nullptr);
Bytes encode_wav16(const std::vector<float>& samples, int rate);  // mono, samples in [-1, 1]

std::uint32_t crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0);
std::uint32_t adler32(const std::uint8_t* data, std::size_t n);

bool write_file(const std::string& path, const Bytes& bytes);

}  // namespace ag
