// Writing pictures as 24-bit BMP files: for tests and the headless backend's frame dumps.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace plat {

// A bottom-up 24-bit BMP file of width x height pixels 0x00RRGGBB (pitch in pixels).
std::vector<std::uint8_t> encode_bmp(const std::uint32_t* pixels, int width, int height,
                                     int pitch_pixels);
bool save_bmp(const char* path, const std::uint32_t* pixels, int width, int height,
              int pitch_pixels);

}  // namespace plat
