// The bitmap reader on good, padded, top-down, damaged, truncated and random data.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "platform/bitmap_io.h"
#include "platform/platform.h"

namespace {

// A w x h picture whose every pixel is distinct.
std::vector<std::uint32_t> pattern(int w, int h) {
  std::vector<std::uint32_t> p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.push_back(0x010203u * static_cast<std::uint32_t>(x + 1) + 0x100000u * y);
  return p;
}

std::vector<std::uint8_t> bmp_file(int w, int h) {
  const auto p = pattern(w, h);
  return plat::encode_bmp(p.data(), w, h, w);
}

void put32(std::vector<std::uint8_t>& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The same picture stored top-down: negative height, rows in reading order.
std::vector<std::uint8_t> top_down(const std::vector<std::uint8_t>& bottom_up, int w, int h) {
  std::vector<std::uint8_t> f = bottom_up;
  const std::size_t stride = (w * 3 + 3) / 4 * 4;
  for (int y = 0; y < h; ++y)
    std::copy_n(bottom_up.begin() + 54 + (h - 1 - y) * stride, stride, f.begin() + 54 + y * stride);
  put32(f, 22, static_cast<std::uint32_t>(-h));
  return f;
}

}  // namespace

// ---- Good pictures -----------------------------------------------------------------------

TEST(BitmapReader, ReadsBottomUpWithAndWithoutRowPadding) {
  for (int w : {1, 2, 3, 4, 5, 46}) {  // 3 bytes per pixel: every padding of 0..3 bytes
    const auto f = bmp_file(w, 3);
    auto bmp = plat::load_bitmap_memory(f.data(), f.size());
    ASSERT_TRUE(bmp) << "width " << w;
    EXPECT_EQ(bmp->width, w);
    EXPECT_EQ(bmp->height, 3);
    EXPECT_EQ(bmp->pixels, pattern(w, 3)) << "width " << w;
  }
}

TEST(BitmapReader, ReadsTopDownAsTheSamePicture) {
  const auto f = top_down(bmp_file(5, 4), 5, 4);
  auto bmp = plat::load_bitmap_memory(f.data(), f.size());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->height, 4);
  EXPECT_EQ(bmp->pixels, pattern(5, 4));
}

TEST(BitmapReader, AcceptsLargerInfoHeadersAndTrailingBytes) {
  auto f = bmp_file(3, 2);
  // A 124-byte header: 84 more header bytes before the pixels.
  f.insert(f.begin() + 54, 84, 0);
  put32(f, 14, 124);
  put32(f, 10, 54 + 84);
  f.insert(f.end(), 7, 0xAB);
  auto bmp = plat::load_bitmap_memory(f.data(), f.size());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->pixels, pattern(3, 2));
}

TEST(BitmapReader, LoadsFilesAndRefusesMissingOnes) {
  const std::string path = ::testing::TempDir() + "reader_test.bmp";
  const auto p = pattern(7, 5);
  ASSERT_TRUE(plat::save_bmp(path.c_str(), p.data(), 7, 5, 7));
  auto bmp = plat::load_bitmap_file(path.c_str());
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->pixels, p);
  std::remove(path.c_str());
  EXPECT_FALSE(plat::load_bitmap_file(path.c_str()));
  EXPECT_FALSE(plat::load_bitmap_file(nullptr));
  EXPECT_FALSE(plat::load_bitmap_file(::testing::TempDir().c_str()));  // a directory
}

// ---- Damaged pictures --------------------------------------------------------------------

TEST(BitmapReader, RefusesOtherFormats) {
  struct Damage {
    const char* what;
    std::size_t at;
    std::uint32_t value;
    int bytes;
  };
  const Damage cases[] = {
      {"magic", 0, 'X', 1},          {"32 bits per pixel", 28, 32, 2},
      {"8 bits per pixel", 28, 8, 2}, {"RLE compression", 30, 1, 4},
      {"two planes", 26, 2, 2},       {"zero width", 18, 0, 4},
      {"negative width", 18, 0xFFFFFFF0u, 4}, {"zero height", 22, 0, 4},
      {"lowest height", 22, 0x80000000u, 4},  {"huge width", 18, 0x7FFFFFFFu, 4},
      {"small info header", 14, 12, 4},       {"info header past the end", 14, 4000, 4},
      {"pixels before headers", 10, 20, 4},   {"pixels past the end", 10, 0xFFFFFF00u, 4},
  };
  for (const Damage& d : cases) {
    auto f = bmp_file(4, 4);
    for (int i = 0; i < d.bytes; ++i) f[d.at + i] = static_cast<std::uint8_t>(d.value >> (8 * i));
    EXPECT_FALSE(plat::load_bitmap_memory(f.data(), f.size())) << d.what;
  }
  EXPECT_FALSE(plat::load_bitmap_memory(nullptr, 100));
}

TEST(BitmapReader, RefusesEveryTruncation) {
  for (const auto& f : {bmp_file(5, 3), top_down(bmp_file(5, 3), 5, 3)}) {
    for (std::size_t n = 0; n < f.size(); ++n)
      EXPECT_FALSE(plat::load_bitmap_memory(f.data(), n)) << "first " << n << " bytes";
    EXPECT_TRUE(plat::load_bitmap_memory(f.data(), f.size()));
  }
}

TEST(BitmapReader, SurvivesRandomAndMutatedData) {
  const unsigned seed = std::random_device{}();
  std::printf("BitmapReader random seed %u\n", seed);
  std::mt19937 rng(seed);
  const auto good = bmp_file(9, 7);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::uint8_t> f;
    if (round % 2) {
      f.resize(rng() % 200);
      for (auto& b : f) b = static_cast<std::uint8_t>(rng());
      if (f.size() > 2 && round % 4 == 1) f[0] = 'B', f[1] = 'M';
    } else {
      f = good;
      for (int flips = 1 + rng() % 4; flips > 0; --flips) f[rng() % 54] = static_cast<std::uint8_t>(rng());
      f.resize(f.size() - rng() % 8);
    }
    auto bmp = plat::load_bitmap_memory(f.data(), f.size());
    if (!bmp) continue;
    ++accepted;
    // Whatever was accepted must describe itself consistently and lie inside the data.
    ASSERT_GT(bmp->width, 0) << "seed " << seed;
    ASSERT_GT(bmp->height, 0) << "seed " << seed;
    ASSERT_EQ(bmp->pixels.size(), static_cast<std::size_t>(bmp->width) * bmp->height);
    ASSERT_LE(bmp->pixels.size() * 3, f.size()) << "seed " << seed;
  }
  std::printf("accepted %d of 3000\n", accepted);
}
