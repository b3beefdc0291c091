// Built-in pictures for the toolkit tests: small known patterns in place of the artwork.
#include <map>
#include <vector>

#include "platform/bitmap_io.h"
#include "resources/resources.h"
#include "tests/platform/fixtures.h"

namespace {

std::vector<std::uint8_t> make(int id) {
  const TestPicture p = test_picture(id);
  return plat::encode_bmp(p.pixels.data(), p.width, p.height, p.width);
}

}  // namespace

TestPicture test_picture(int id) {
  TestPicture p;
  if (id == 100) {  // a background-sized gradient, every pixel different
    p.width = 494, p.height = 420;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        p.pixels.push_back(static_cast<std::uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x + y) >> 2 & 0xFF)));
  } else if (id == 129) {  // a bubble: a disc of colour on black corners
    p.width = p.height = 46;
    for (int y = 0; y < 46; ++y)
      for (int x = 0; x < 46; ++x) {
        const int dx = 2 * x - 45, dy = 2 * y - 45;
        p.pixels.push_back(dx * dx + dy * dy <= 46 * 46 ? 0x20C040u + static_cast<std::uint32_t>(x) : 0u);
      }
  }
  return p;
}

namespace res {

Blob find(int id) {
  static std::map<int, std::vector<std::uint8_t>> files;
  if (id != 100 && id != 129) return Blob{};
  auto it = files.find(id);
  if (it == files.end()) it = files.emplace(id, make(id)).first;
  return Blob{it->second.data(), it->second.size()};
}

}  // namespace res
