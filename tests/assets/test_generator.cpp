// The generator's outputs beyond the embedded pictures: reproducible bytes, the sounds beside
// the program, the PNG icons and the contact sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sound/wave.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

std::uint32_t crc32(const std::uint8_t* d, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= d[i];
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return ~c;
}

// Checks the PNG signature and every chunk's CRC; returns the IHDR size, or {0, 0}.
std::pair<std::uint32_t, std::uint32_t> png_size(const std::vector<std::uint8_t>& b) {
  static const std::uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (b.size() < 33 || !std::equal(sig, sig + 8, b.begin())) return {0, 0};
  std::size_t pos = 8;
  bool ended = false;
  while (pos + 12 <= b.size() && !ended) {
    std::uint32_t len = be32(&b[pos]);
    if (pos + 12 + len > b.size()) return {0, 0};
    if (crc32(&b[pos + 4], 4 + len) != be32(&b[pos + 8 + len])) return {0, 0};
    ended = !std::memcmp(&b[pos + 4], "IEND", 4);
    pos += 12 + len;
  }
  if (!ended || std::memcmp(&b[12], "IHDR", 4)) return {0, 0};
  return {be32(&b[16]), be32(&b[20])};
}

TEST(Generator, WritesTheSameBytesEveryTime) {
  const fs::path out = fs::temp_directory_path() / ("assetgen-test-" + std::to_string(::getpid()));
  const std::string cmd = std::string(ORBOLAN_ASSETGEN) + " --out " + out.string() + " --contact-sheet " +
                          (out / "sheet.png").string();
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(ORBOLAN_ASSET_DIR)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".S") continue;  // .S names its folder
    const fs::path again = out / fs::relative(entry.path(), ORBOLAN_ASSET_DIR);
    EXPECT_EQ(slurp(entry.path()), slurp(again)) << again;
    ++compared;
  }
  EXPECT_GE(compared, 36 + 6 + 6);
  // The contact sheet holds the six screens side by side, three to a row.
  auto [w, h] = png_size(slurp(out / "sheet.png"));
  EXPECT_GE(w, 3u * 494);
  EXPECT_GE(h, 2u * 420);
  fs::remove_all(out);
}

TEST(Generator, IconsArePngsAtEveryPackagedSize) {
  for (std::uint32_t size : {16u, 32u, 48u, 64u, 128u, 256u}) {
    const fs::path p = fs::path(ORBOLAN_ASSET_DIR) / "icons" / ("orbolan-" + std::to_string(size) + ".png");
    auto [w, h] = png_size(slurp(p));
    EXPECT_EQ(w, size) << p;
    EXPECT_EQ(h, size) << p;
  }
}

struct SoundSpec {
  const char* file;
  double min_s, max_s;
};

TEST(Sounds, EachFileBesideTheProgramIsShortCleanPcm) {
  const SoundSpec specs[6] = {{"intro.wav", 0.5, 3.0}, {"click.wav", 0.01, 0.15}, {"pop.wav", 0.05, 0.4},
                              {"megapop.wav", 0.1, 0.8}, {"score.wav", 0.6, 1.5}, {"higscore.wav", 1.5, 2.6}};
  for (const SoundSpec& s : specs) {
    const std::vector<std::uint8_t> b = slurp(fs::path(ORBOLAN_BIN_DIR) / s.file);
    plat::sound::WaveInfo info;
    std::string why;
    ASSERT_TRUE(plat::sound::parse_wave(b.data(), b.size(), &info, &why)) << s.file << ": " << why;
    EXPECT_EQ(info.bits, 16) << s.file;
    const double seconds = double(info.frames) / info.sample_rate;
    EXPECT_GE(seconds, s.min_s) << s.file;
    EXPECT_LE(seconds, s.max_s) << s.file;
    int peak = 0;
    double energy = 0;
    for (std::size_t i = 0; i < info.frames * info.channels; ++i) {
      auto v = std::int16_t(b[info.data_offset + 2 * i] | b[info.data_offset + 2 * i + 1] << 8);
      peak = std::max(peak, std::abs(int(v)));
      energy += double(v) * v;
    }
    EXPECT_LT(peak, 32000) << s.file << " clips";
    EXPECT_GT(peak, 8000) << s.file << " is too quiet";
    EXPECT_GT(std::sqrt(energy / double(info.frames)), 300) << s.file << " is nearly silent";
    // Starts and ends quietly, so there is no click at either end.
    EXPECT_LT(std::abs(std::int16_t(b[info.data_offset] | b[info.data_offset + 1] << 8)), 200) << s.file;
  }
}

}  // namespace
