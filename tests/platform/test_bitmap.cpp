// The bitmap reader on good, padded, top-down, damaged and truncated files (random bytes are
// the fuzz target's).
#include <gtest/gtest.h>

#include "platform/bitmap_io.h"

namespace {

std::vector<std::uint32_t> Pattern(int w, int h) {  // every pixel distinct
  std::vector<std::uint32_t> p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.push_back(0x010203u * std::uint32_t(x + 1) + 0x100000u * std::uint32_t(y));
  return p;
}
void Put(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) f[at + i] = std::uint8_t(v >> (8 * i));
}
// The picture stored bottom-up, or top-down: the upside-down rows under a negative height.
std::vector<std::uint8_t> File(int w, int h, bool top_down = false) {
  auto p = Pattern(w, h);
  if (top_down)
    for (int y = 0; y < h / 2; ++y)
      std::swap_ranges(p.begin() + y * w, p.begin() + (y + 1) * w, p.end() - (y + 1) * w);
  auto f = plat::encode_bmp(p.data(), w, h, w);
  if (top_down) Put(f, 22, std::uint32_t(-h));
  return f;
}

TEST(BitmapReader, ReadsEveryRowPaddingBothRowOrdersAndRefusesDamageAndEveryTruncation) {
  for (auto [w, top_down] :
       {std::pair{1, false}, {2, false}, {3, false}, {4, false}, {46, false}, {5, true}}) {
    const auto f = File(w, 3, top_down);  // 3 bytes a pixel: row padding of 3, 2, 1, 0, 2 bytes
    const auto bmp = plat::load_bitmap_memory(f.data(), f.size());
    ASSERT_TRUE(bmp) << w;
    EXPECT_EQ(bmp->pixels, Pattern(w, 3)) << "width " << w << (top_down ? ", top-down" : "");
    for (std::size_t n = 0; n < f.size(); ++n)
      ASSERT_FALSE(plat::load_bitmap_memory(f.data(), n)) << "cut to " << n;
  }
  const struct {
    const char* what;
    std::size_t at;
    std::uint32_t value;
    int bytes;
  } damages[] = {{"zero width", 18, 0, 4},
                 {"negative width", 18, 0xFFFFFFF0u, 4},
                 {"lowest height", 22, 0x80000000u, 4},
                 {"huge width", 18, 0x7FFFFFFFu, 4},
                 {"info header past the end", 14, 4000, 4},
                 {"pixels past the end", 10, 0xFFFFFF00u, 4}};
  for (const auto& d : damages) {
    auto f = File(4, 4);
    Put(f, d.at, d.value, d.bytes);
    EXPECT_FALSE(plat::load_bitmap_memory(f.data(), f.size())) << d.what;
  }
}

}  // namespace
