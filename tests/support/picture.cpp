// Frames compared as pictures; see picture.h.
#include "tests/support/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "main/MAIN.h"
#include "platform/headless.h"
#include "tests/support/harness.h"
#include "tools/assetgen/formats.h"

namespace proof {

namespace {

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
  return ag::write_file(path,
                        ag::encode_png(ag::Pixels{picture.width, picture.height, picture.pixels}));
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
