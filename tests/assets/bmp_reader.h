// A tiny reader of the embedded 24-bit BMP files, independent of the game's own loader.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "resources/resources.h"

struct Picture {
  int w = 0, h = 0, bits = 0, compression = -1;
  std::vector<std::uint32_t> px;  // 0xRRGGBB, top row first
  std::uint32_t at(int x, int y) const { return px[std::size_t(y) * w + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

inline std::uint32_t le(const unsigned char* p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

// Empty picture (w = 0) when the resource is missing or not a BMP this reader understands.
inline Picture load_picture(int id) {
  Picture p;
  res::Blob b = res::find(id);
  if (b.size < 54 || b.data[0] != 'B' || b.data[1] != 'M') return p;
  const std::uint32_t offset = le(b.data + 10, 4);
  const int w = int(le(b.data + 18, 4)), h = int(std::int32_t(le(b.data + 22, 4)));
  p.bits = int(le(b.data + 28, 2)), p.compression = int(le(b.data + 30, 4));
  if (p.bits != 24 || w <= 0 || h <= 0) return p;
  const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
  if (offset + stride * h > b.size) return p;
  p.w = w, p.h = h, p.px.resize(std::size_t(w) * h);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = b.data + offset + stride * (h - 1 - y);  // bottom row first
    for (int x = 0; x < w; ++x)
      p.px[std::size_t(y) * w + x] = std::uint32_t(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
  }
  return p;
}

inline double luminance(std::uint32_t c) {
  return 0.299 * (c >> 16 & 0xFF) + 0.587 * (c >> 8 & 0xFF) + 0.114 * (c & 0xFF);
}
