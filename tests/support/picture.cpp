// Frames compared as pictures; see picture.h.
#include "tests/support/picture.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "main/MAIN.h"
#include "platform/headless.h"
#include "tests/support/harness.h"

namespace proof {

namespace {

void Put_Be32(std::string* out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(char(v >> shift));
}

void Put_Chunk(std::string* png, const char* type, const std::string& data) {
  Put_Be32(png, std::uint32_t(data.size()));
  const std::string body = type + data;
  *png += body;
  Put_Be32(png,
           std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

std::string Shots_Dir() {
  const char* dir = std::getenv("ORBOLAN_SHOTS");
  const std::string path = dir && *dir ? dir : ORBOLAN_SHOTS_DIR;
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace

Picture Frame_Picture() {
  Picture p{494, 420, {}};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.pixels.push_back(plat::headless::surface_pixel(v_screen, x, y));
  return p;
}

bool Write_Png(const std::string& path, const Picture& picture) {
  std::string rows;  // each row: filter "none", then R, G, B per pixel
  for (int y = 0; y < picture.height; ++y) {
    rows.push_back(0);
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t p = picture.pixels[std::size_t(y) * picture.width + x];
      rows += {char(p >> 16), char(p >> 8), char(p)};
    }
  }
  uLongf packed_size = compressBound(uLong(rows.size()));
  std::string packed(packed_size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
                reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()), 6) != Z_OK)
    return false;
  packed.resize(packed_size);
  std::string header;
  Put_Be32(&header, std::uint32_t(picture.width));
  Put_Be32(&header, std::uint32_t(picture.height));
  header += {8, 2, 0, 0, 0};  // 8 bits per channel, RGB, deflate, no filter choice, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  Put_Chunk(&png, "IHDR", header);
  Put_Chunk(&png, "IDAT", packed);
  Put_Chunk(&png, "IEND", "");
  return bool(std::ofstream(path, std::ios::binary) << png);
}

std::string Compare_Pictures(const Picture& expected, const Picture& actual,
                             const std::string& name) {
  if (expected.width != actual.width || expected.height != actual.height)
    return "the pictures differ in size";
  int first = -1, left = actual.width, top = actual.height, right = -1, bottom = -1;
  for (int y = 0; y < actual.height; ++y)
    for (int x = 0; x < actual.width; ++x) {
      const std::size_t k = std::size_t(y) * actual.width + x;
      if (expected.pixels[k] == actual.pixels[k]) continue;
      if (first < 0) first = int(k);
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  if (first < 0) return "";
  const std::string base = Shots_Dir() + "/" + name;
  Write_Png(base + "-expected.png", expected);
  Write_Png(base + "-actual.png", actual);
  char said[512];
  std::snprintf(said, sizeof said,
                "first difference at (%d, %d): expected %06X, got %06X; every difference within "
                "x %d..%d, y %d..%d; the pictures: %s-expected.png, %s-actual.png",
                first % actual.width, first / actual.width, expected.pixels[std::size_t(first)],
                actual.pixels[std::size_t(first)], left, right, top, bottom, base.c_str(),
                base.c_str());
  return said;
}

}  // namespace proof
