// The file "orbolan.cfg": its explicit byte layout, reading whole, short, long and damaged
// files, and saves that fail or are cut short without costing the old file.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/GAME.h"
#include "game/config.h"
#include "tests/rules/recorder.h"

using namespace rules_test;
using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

namespace {

TEST(ConfigLayout, FifteenLittleEndianInt32InFileOrder) {
  const sSETUP_DATA setup = {3, 1, -2};
  const sSCORE_STATISTIC stats = {
      {0x01020304, -1, INT_MIN}, {INT_MAX, 0, 256}, {5, 6, 7}, {8, 9, 0x7F80FF00}};
  unsigned char b[CONFIG_FILE_SIZE];
  Encode_Config(setup, stats, b);
  const Bytes expect = {
      3,    0,    0,    0,    1,    0,    0,    0,    0xFE, 0xFF, 0xFF, 0xFF,  // setup
      4,    3,    2,    1,    0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0x80,  // normal
      0xFF, 0xFF, 0xFF, 0x7F, 0,    0,    0,    0,    0,    1,    0,    0,     // continuous
      5,    0,    0,    0,    6,    0,    0,    0,    7,    0,    0,    0,     // shifter
      8,    0,    0,    0,    9,    0,    0,    0,    0,    0xFF, 0x80, 0x7F,  // megashift
  };
  EXPECT_EQ(Bytes(b, b + CONFIG_FILE_SIZE), expect);
  sSETUP_DATA setup_back = {};
  sSCORE_STATISTIC stats_back = {};
  Decode_Config(b, &setup_back, &stats_back);
  EXPECT_EQ(std::memcmp(&setup_back, &setup, sizeof setup), 0);
  EXPECT_EQ(std::memcmp(&stats_back, &stats, sizeof stats), 0);
}

// Every test runs in a fresh temporary folder of its own.
class ConfigFile : public ::testing::Test {
 protected:
  fs::path home = fs::current_path(), folder;

  void SetUp() override {
    reset_world();
    std::string pattern = (fs::temp_directory_path() / "orbolan-cfg-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    fs::current_path(folder);
  }
  void TearDown() override {
    fs::current_path(home);
    fs::remove_all(folder);
    reset_world();
  }

  // `size` bytes of known content, every value out of its range; past 60 bytes, 0xAB.
  static Bytes sample(std::size_t size = CONFIG_FILE_SIZE) {
    Bytes b(size, 0xAB);
    for (std::size_t k = 0; k < std::min(size, CONFIG_FILE_SIZE); ++k)
      b[k] = static_cast<unsigned char>(0x11 * (k % 15) + k);
    return b;
  }
  static void write_file(const Bytes& b) {
    std::ofstream("orbolan.cfg", std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  static Bytes read_file(const char* name = "orbolan.cfg") {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void set_other_records() {
    setup_data = {2, 1, 0};
    score_statistic.megashift = {9, 12345, 678};
  }
};

TEST_F(ConfigFile, ReadTakesTheFirstSixtyBytesOrNothing) {
  // size -1: no file; -2: a folder in its place
  const struct { int size; bool read; const char* said; } cases[] = {
      {-1, false, ""},           {-2, false, "cannot read orbolan.cfg"},
      {0, false, "holds 0 bytes"}, {59, false, "holds 59 bytes"},
      {60, true, ""},            {100, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    fs::remove_all("orbolan.cfg");
    if (c.size == -2) fs::create_directory("orbolan.cfg");
    if (c.size >= 0) write_file(sample(static_cast<std::size_t>(c.size)));
    set_other_records();
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read_Config(), c.read);
    const std::string said = testing::internal::GetCapturedStderr();
    if (*c.said == '\0') {
      EXPECT_EQ(said, "");
    } else {
      EXPECT_NE(said.find(c.said), std::string::npos) << said;
    }
    if (!c.read) {  // not even the complete fields of a short file are taken
      EXPECT_EQ(setup_data.game_type, 2);
      EXPECT_EQ(score_statistic.megashift.scores, 12345);
      continue;
    }
    EXPECT_EQ(setup_data.game_type, 0x36241200) << "taken as read, game type or not";
    ASSERT_TRUE(Write_Config());
    EXPECT_EQ(read_file(), sample()) << "not byte for byte";
    EXPECT_FALSE(fs::exists("orbolan.cfg.tmp"));
  }
}

TEST_F(ConfigFile, AFailedSaveSaysSoAndKeepsTheOldFile) {
  const struct { const char* what; bool full_disk; RenameMode rename; const char* said; } cases[] = {
      {"full disk", true, RenameMode::Real, "No space left"},
      {"rename fails", false, RenameMode::Fail, "Input/output error"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(sample());
    if (c.full_disk) fs::create_symlink("/dev/full", "orbolan.cfg.tmp");
    set_other_records();
    set_rename_mode(c.rename);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Write_Config());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot save orbolan.cfg"), std::string::npos) << said;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_EQ(read_file(), sample());
    EXPECT_FALSE(fs::exists(fs::symlink_status("orbolan.cfg.tmp")));
  }
}

TEST_F(ConfigFile, ACrashBeforeTheRenameKeepsTheOldFile) {
  write_file(sample());
  set_other_records();
  EXPECT_EXIT(
      {
        set_rename_mode(RenameMode::Crash);
        Write_Config();
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(read_file(), sample());
  unsigned char expect[CONFIG_FILE_SIZE];
  Encode_Config(setup_data, score_statistic, expect);
  EXPECT_EQ(read_file("orbolan.cfg.tmp"), Bytes(expect, expect + CONFIG_FILE_SIZE))
      << "the new file was complete before the rename";
  // The next start reads the old file, and its save replaces the stale temporary one.
  reset_world();
  ASSERT_TRUE(Read_Config());
  ASSERT_TRUE(Write_Config());
  EXPECT_EQ(read_file(), sample());
  EXPECT_FALSE(fs::exists("orbolan.cfg.tmp"));
}

}  // namespace
