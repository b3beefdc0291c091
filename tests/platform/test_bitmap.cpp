// The bitmap reader on good, padded, top-down, damaged, truncated and random data.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "platform/bitmap_io.h"

namespace {

// A w x h picture whose every pixel is distinct.
std::vector<std::uint32_t> pattern(int w, int h) {
  std::vector<std::uint32_t> p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.push_back(0x010203u * static_cast<std::uint32_t>(x + 1) + 0x100000u * y);
  return p;
}

std::vector<std::uint8_t> bmp_file(int w, int h) { return plat::encode_bmp(pattern(w, h).data(), w, h, w); }

void put(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The same picture stored top-down: the upside-down picture's rows under a negative height.
std::vector<std::uint8_t> top_down(int w, int h) {
  const auto p = pattern(w, h);
  std::vector<std::uint32_t> flipped;
  for (int y = h; y-- > 0;) flipped.insert(flipped.end(), p.begin() + y * w, p.begin() + (y + 1) * w);
  auto f = plat::encode_bmp(flipped.data(), w, h, w);
  put(f, 22, static_cast<std::uint32_t>(-h));
  return f;
}

}  // namespace

TEST(BitmapReader, ReadsBottomUpWithEveryRowPaddingAndTopDown) {
  for (int w : {1, 2, 3, 4, 46}) {  // 3 bytes per pixel: row padding of 3, 2, 1, 0 and 2 bytes
    SCOPED_TRACE(::testing::Message() << "width " << w);
    const auto f = bmp_file(w, 3);
    auto bmp = plat::load_bitmap_memory(f.data(), f.size());
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->pixels, pattern(w, 3));
  }
  const auto f = top_down(5, 4);
  auto bmp = plat::load_bitmap_memory(f.data(), f.size());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->pixels, pattern(5, 4));
}

TEST(BitmapReader, RefusesOtherFormatsAndInconsistentHeaders) {
  struct Damage { const char* what; std::size_t at; std::uint32_t value; int bytes; } const cases[] = {
      {"magic", 0, 'X', 1}, {"32 bits per pixel", 28, 32, 2}, {"RLE", 30, 1, 4}, {"zero width", 18, 0, 4},
      {"negative width", 18, 0xFFFFFFF0u, 4}, {"lowest height", 22, 0x80000000u, 4},
      {"huge width", 18, 0x7FFFFFFFu, 4}, {"info header past the end", 14, 4000, 4},
      {"pixels past the end", 10, 0xFFFFFF00u, 4},
  };
  for (const Damage& d : cases) {
    auto f = bmp_file(4, 4);
    put(f, d.at, d.value, d.bytes);
    EXPECT_FALSE(plat::load_bitmap_memory(f.data(), f.size())) << d.what;
  }
}

TEST(BitmapReader, RefusesEveryTruncation) {
  for (const auto& f : {bmp_file(5, 3), top_down(5, 3)})
    for (std::size_t n = 0; n < f.size(); ++n)
      EXPECT_FALSE(plat::load_bitmap_memory(f.data(), n)) << "first " << n << " bytes";
}

TEST(BitmapReader, SurvivesRandomAndMutatedData) {
  const unsigned seed = std::random_device{}();
  std::printf("BitmapReader random seed %u\n", seed);
  std::mt19937 rng(seed);
  const auto good = bmp_file(9, 7);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> f = good;
    if (round % 2) {  // random bytes, half of them behind a valid magic
      f.resize(rng() % 200);
      for (auto& b : f) b = static_cast<std::uint8_t>(rng());
      if (f.size() > 2 && round % 4 == 1) f[0] = 'B', f[1] = 'M';
    } else {  // a good file with damaged headers and a shortened end
      for (int flips = 1 + rng() % 4; flips > 0; --flips) f[rng() % 54] = static_cast<std::uint8_t>(rng());
      f.resize(f.size() - rng() % 8);
    }
    auto bmp = plat::load_bitmap_memory(f.data(), f.size());
    if (!bmp) continue;
    // Whatever was accepted must describe itself consistently and lie inside the data.
    const std::size_t n = bmp->pixels.size();
    ASSERT_TRUE(bmp->width > 0 && bmp->height > 0 && n == std::size_t(bmp->width) * bmp->height && n * 3 <= f.size())
        << "seed " << seed << ", round " << round;
  }
}
