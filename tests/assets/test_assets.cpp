// The generated assets: every embedded picture at its size (read by a BMP reader of our own),
// the generator's reproducible bytes and the sounds beside the program. How the pictures look
// on the screens is the golden replay's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "game/ORBOLAN.h"
#include "platform/sound/wave.h"
#include "resources/resources.h"

namespace {

struct Picture {
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;  // 0xRRGGBB, top row first
  std::uint32_t at(int x, int y) const { return px[std::size_t(y) * w + x]; }
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

std::uint32_t le(const unsigned char* p, int n) { return n == 0 ? 0 : le(p + 1, n - 1) << 8 | p[0]; }

// An empty picture (w = 0) unless the resource is an uncompressed 24-bit bottom-up BMP.
Picture load(int id) {
  Picture p;
  const res::Blob b = res::find(id);
  if (b.size < 54 || b.data[0] != 'B' || le(b.data + 28, 2) != 24 || le(b.data + 30, 4) != 0) return p;
  const int w = int(le(b.data + 18, 4)), h = int(le(b.data + 22, 4));
  const std::size_t offset = le(b.data + 10, 4), stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
  if (w <= 0 || h <= 0 || offset + stride * h > b.size) return p;
  p.w = w, p.h = h, p.px.resize(std::size_t(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.px[std::size_t(y) * w + x] = le(b.data + offset + stride * (h - 1 - y) + 3 * x, 3);
  return p;
}

const int kFaces[] = {IDB_EXIT, IDB_LOGO, IDB_SETUP, IDB_SCORES, IDB_NEW, IDB_END, IDB_OK, IDB_DONE, IDB_RESET, IDB_UNDO};

TEST(Catalogue, EveryIdIsA24BitPictureOfItsSizeAndOtherIdsFindNothing) {
  std::vector<std::array<int, 3>> all = {
      {ORBOLAN_ICON, 32, 32}, {IDC_ORBOLAN_CURSOR, 32, 32}, {IDB_BACKGROUND, 494, 420}, {IDB_PAPER_LOGO, 482, 338},
      {IDB_PAPER, 482, 338}, {IDB_TITLE, 457, 114}, {IDB_SCORE_TABLE, 351, 227}, {IDB_GAME_SCORE_TABLE, 205, 223},
      {IDB_SETUP_MAP, 347, 181}, {IDB_CHECKED_BOX, 17, 22}, {IDB_BTNMASK, 62, 38}};
  for (int id = IDB_BUBBLE_1; id <= IDB_BUBBLE_5; ++id) all.push_back({id, 46, 46});
  for (int id : kFaces) all.push_back({id, 62, 38}), all.push_back({id + 1, 62, id == IDB_UNDO ? 39 : 38});
  for (auto [id, w, h] : all) EXPECT_EQ(std::pair(load(id).w, load(id).h), std::pair(w, h)) << "id " << id;
  for (int id : {0, 3, 99, 126, 127, 136, -1}) EXPECT_EQ(res::find(id).data, nullptr) << id;
}

// ---- The generator's files ---------------------------------------------------------------

namespace fs = std::filesystem;

std::vector<std::uint8_t> slurp(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

TEST(Generator, WritesTheSameBytesEveryTimeAndAContactSheet) {
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
  EXPECT_GE(compared, 36 + 6 + 6);  // pictures, sounds, icons
  const std::vector<std::uint8_t> sheet = slurp(out / "sheet.png");
  EXPECT_EQ(std::string(sheet.begin(), sheet.begin() + std::min<std::size_t>(sheet.size(), 4)), "\x89PNG");
  fs::remove_all(out);
}

TEST(Sounds, EachFileBesideTheProgramIsShortCleanPcm) {
  const std::tuple<const char*, double, double> specs[6] = {{"intro.wav", 0.5, 3.0}, {"click.wav", 0.01, 0.15},
      {"pop.wav", 0.05, 0.4}, {"megapop.wav", 0.1, 0.8}, {"score.wav", 0.6, 1.5}, {"higscore.wav", 1.5, 2.6}};
  for (auto [file, min_s, max_s] : specs) {
    SCOPED_TRACE(file);
    const std::vector<std::uint8_t> b = slurp(fs::path(ORBOLAN_BIN_DIR) / file);
    plat::sound::WaveInfo info;
    ASSERT_TRUE(plat::sound::parse_wave(b.data(), b.size(), &info) && info.bits == 16);
    const double seconds = double(info.frames) / info.sample_rate;
    EXPECT_TRUE(seconds >= min_s && seconds <= max_s) << seconds << " s";
    int peak = 0; double energy = 0;
    auto sample = [&](std::size_t i) { return int(std::int16_t(b[info.data_offset + 2 * i] | b[info.data_offset + 2 * i + 1] << 8)); };
    for (std::size_t i = 0; i < info.frames * info.channels; ++i) peak = std::max(peak, std::abs(sample(i))), energy += sample(i) * sample(i);
    EXPECT_TRUE(peak > 8000 && peak < 32000) << "peak " << peak << ": too quiet, or clipping";
    EXPECT_GT(std::sqrt(energy / double(info.frames)), 300) << "nearly silent";
    EXPECT_LT(std::abs(sample(0)), 200) << "starts with a click";
  }
}

}  // namespace
