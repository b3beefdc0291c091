// The generated assets: the generator's reproducible bytes, the sounds beside the program, and
// the bubbles' colours and marks. How the pictures look on the screens is the golden replay's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <numeric>
#include <vector>

#include "game/ORBOLAN.h"
#include "platform/platform.h"
#include "platform/sound/wave.h"
#include "resources/resources.h"

namespace {

using Picture = plat::Bitmap;

// A picture built into the program, read by the game's reader; empty if it cannot be read.
Picture load(int id) {
  const res::Blob b = res::find(id);
  const std::unique_ptr<Picture> p = plat::load_bitmap_memory(b.data, b.size);
  return p ? *p : Picture{};
}
std::uint32_t at(const Picture& p, int x, int y) { return p.pixels[std::size_t(y) * p.width + x]; }

// ---- The generator's files ---------------------------------------------------------------

namespace fs = std::filesystem;

std::vector<std::uint8_t> slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(Generator, WritesTheSameBytesEveryTime) {
  const fs::path out = fs::temp_directory_path() / ("assetgen-test-" + std::to_string(::getpid()));
  const std::string cmd = std::string(ORBOLAN_ASSETGEN) + " --out " + out.string();
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(ORBOLAN_ASSET_DIR)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".S")
      continue;  // .S names its folder
    const fs::path again = out / fs::relative(entry.path(), ORBOLAN_ASSET_DIR);
    EXPECT_EQ(slurp(entry.path()), slurp(again)) << again;
    ++compared;
  }
  EXPECT_GE(compared, 36 + 6 + 6);  // pictures, sounds, icons
  fs::remove_all(out);
}

TEST(Sounds, EachFileBesideTheProgramIsShortCleanPcm) {
  const std::tuple<const char*, double, double> specs[6] = {
      {"intro.wav", 0.5, 3.0},   {"click.wav", 0.01, 0.15}, {"pop.wav", 0.05, 0.4},
      {"megapop.wav", 0.1, 0.8}, {"score.wav", 0.6, 1.5},   {"higscore.wav", 1.5, 2.6}};
  for (auto [file, min_s, max_s] : specs) {
    SCOPED_TRACE(file);
    const std::vector<std::uint8_t> b = slurp(fs::path(ORBOLAN_BIN_DIR) / file);
    plat::sound::WaveInfo info;
    ASSERT_TRUE(plat::sound::parse_wave(b.data(), b.size(), &info) && info.bits == 16);
    const double seconds = double(info.frames) / info.sample_rate;
    EXPECT_TRUE(seconds >= min_s && seconds <= max_s) << seconds << " s";
    int peak = 0;
    double energy = 0;
    auto sample = [&](std::size_t i) {
      return int(std::int16_t(b[info.data_offset + 2 * i] | b[info.data_offset + 2 * i + 1] << 8));
    };
    for (std::size_t i = 0; i < info.frames * info.channels; ++i)
      peak = std::max(peak, std::abs(sample(i))), energy += sample(i) * sample(i);
    EXPECT_TRUE(peak > 8000 && peak < 32000) << "peak " << peak << ": too quiet, or clipping";
    EXPECT_GT(std::sqrt(energy / double(info.frames)), 300) << "nearly silent";
    EXPECT_LT(std::abs(sample(0)), 200) << "starts with a click";
  }
}

// The smallest of d(a, b) over the ten pairs of bubbles.
double least_over_pairs(const std::function<double(int, int)>& d) {
  double least = 1e9;
  for (int a = 0; a < 5; ++a)
    for (int b = a + 1; b < 5; ++b) least = std::min(least, d(a, b));
  return least;
}

// Normal vision and the Machado, Oliveira and Fernandes (2009) dichromat simulations at full
// severity: matrices on linear RGB, row by row.
const std::pair<const char*, std::array<double, 9>> vision[] = {
    {"normal", {1, 0, 0, 0, 1, 0, 0, 0, 1}},
    {"protanopia",
     {0.152286, 1.052583, -0.204868, 0.114503, 0.786281, 0.099216, -0.003882, -0.048116, 1.051998}},
    {"deuteranopia",
     {0.367322, 0.860646, -0.227968, 0.280085, 0.672501, 0.047413, -0.011820, 0.042940, 0.968881}},
    {"tritanopia",
     {1.255528, -0.076749, -0.178779, -0.078411, 0.930809, 0.147602, 0.004733, 0.691367,
      0.303900}}};

// An 8-bit sRGB channel as linear light, 0..1.
double linear(double v) {
  return v <= 10.31475 ? v / 3294.6 : std::pow((v / 255 + 0.055) / 1.055, 2.4);
}

// A pixel seen through simulation m, as linear RGB clamped to 0..1.
std::array<double, 3> seen_through(const std::array<double, 9>& m, std::uint32_t pixel) {
  const double r = linear(pixel >> 16), g = linear(pixel >> 8 & 0xFF), b = linear(pixel & 0xFF);
  std::array<double, 3> c;
  for (int i = 0; i < 3; ++i)
    c[i] = std::clamp(m[3 * i] * r + m[3 * i + 1] * g + m[3 * i + 2] * b, 0.0, 1.0);
  return c;
}

// Each bubble's mean linear colour over its disc, seen with normal vision and through each
// simulation, in CIE L*a*b* (D65): the smallest CIE76 distance between two bubbles must leave
// them clearly apart.
TEST(Bubbles, FiveColoursStayApartUnderSimulatedColourBlindness) {
  auto f = [](double t) {
    return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
  };
  std::array<std::array<double, 3>, 5> mean{}, seen;
  for (int k = 0; k < 5; ++k) {
    const Picture p = load(IDB_BUBBLE_1 + k);
    for (int i = 0, n = 0; i < 3; ++i, n = 0) {
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
          if (std::hypot(x + 0.5 - 23, y + 0.5 - 23) < 20)
            mean[k][i] += linear(at(p, x, y) >> (16 - 8 * i) & 0xFF), ++n;
      mean[k][i] /= n;
    }
  }
  for (const auto& [name, m] : vision) {
    for (int k = 0; k < 5; ++k) {
      double c[3];
      for (int i = 0; i < 3; ++i)
        c[i] = std::clamp(
            m[3 * i] * mean[k][0] + m[3 * i + 1] * mean[k][1] + m[3 * i + 2] * mean[k][2], 0.0,
            1.0);
      const double x = f((0.4124564 * c[0] + 0.3575761 * c[1] + 0.1804375 * c[2]) / 0.95047),
                   y = f(0.2126729 * c[0] + 0.7151522 * c[1] + 0.0721750 * c[2]),
                   z = f((0.0193339 * c[0] + 0.1191920 * c[1] + 0.9503041 * c[2]) / 1.08883);
      seen[k] = {116 * y - 16, 500 * (x - y), 200 * (y - z)};
    }
    const double least = least_over_pairs([&](int a, int b) {
      return std::hypot(seen[a][0] - seen[b][0], seen[a][1] - seen[b][1], seen[a][2] - seen[b][2]);
    });
    std::printf("bubbles, %s: smallest CIE76 distance %.1f\n", name, least);
    EXPECT_GT(least, name == std::string("normal") ? 30 : 12) << name;
  }
}

// Without its hue each bubble's mark still tells it from every other: under each simulation the
// central 32 x 32 pixels as luminance (0..1) less their own mean; between two bubbles the mean
// absolute difference of these patterns. Printed: the smallest over the ten pairs.
TEST(Bubbles, MarksTellEveryPairApartUnderSimulatedColourBlindness) {
  constexpr int SIDE = 32, FROM = 23 - SIDE / 2;
  for (const auto& [name, m] : vision) {
    std::array<std::array<double, SIDE * SIDE>, 5> pattern;
    for (int k = 0; k < 5; ++k) {
      const Picture p = load(IDB_BUBBLE_1 + k);
      ASSERT_EQ(p.width, 46);
      for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
          const auto c = seen_through(m, at(p, FROM + x, FROM + y));
          pattern[k][y * SIDE + x] = 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
        }
      const double mean =
          std::accumulate(pattern[k].begin(), pattern[k].end(), 0.0) / (SIDE * SIDE);
      for (double& v : pattern[k]) v -= mean;
    }
    const char* const colours[5] = {"green", "red", "beige", "blue", "yellow"};
    double least = 1e9;
    std::string weakest;
    for (int a = 0; a < 5; ++a)
      for (int b = a + 1; b < 5; ++b) {
        double sum = 0;
        for (int n = 0; n < SIDE * SIDE; ++n) sum += std::abs(pattern[a][n] - pattern[b][n]);
        if (sum / (SIDE * SIDE) < least)
          least = sum / (SIDE * SIDE), weakest = std::string(colours[a]) + "/" + colours[b];
      }
    std::printf("marks, %s: smallest mean luminance difference %.3f (%s)\n", name, least,
                weakest.c_str());
    if (std::string(name) != "normal") {
      EXPECT_GE(least, 0.03) << name;
    }
  }
}

}  // namespace
