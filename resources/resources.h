// The pictures built into the program: each picture, the icon and the cursor is stored as a
// whole BMP file (24-bit, uncompressed) and found by its numeric resource id (game/ORBOLAN.h).
#pragma once

#include <cstddef>

namespace res {

struct Blob {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

// The embedded BMP file of resource `id`; an empty Blob when there is none.
// Icon and cursor pictures use magenta (255, 0, 255) for their transparent pixels.
Blob find(int id);

}  // namespace res
