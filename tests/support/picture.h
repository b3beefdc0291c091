// Frames compared as pictures: a difference is named by its first pixel and by the box that
// holds every differing pixel, and both pictures are saved as PNG files for a person to look
// at, in ORBOLAN_SHOTS when it is set, else in the build's tests/shots/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace proof {

struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// The off-screen frame the game composed last.
Picture Frame_Picture();

// "" when the pictures are equal; else what differs and where both were saved, as
// <name>-expected.png and <name>-actual.png.
std::string Compare_Pictures(const Picture& expected, const Picture& actual,
                             const std::string& name);

// Writes an 8-bit RGB PNG file (the generator's writer); false when it cannot be written.
bool Write_Png(const std::string& path, const Picture& picture);

}  // namespace proof
