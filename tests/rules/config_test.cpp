// The file "orbolan.cfg": its byte layout, whole, short and long files, and saves that fail
// or are cut short without costing the old file.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/config.h"
#include "tests/rules/recorder.h"

using namespace rules_test;
using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

namespace {

// Field f of the file, in little-endian bytes {f + 1, 0x22, 0x33, 0x80}, holds
// 0x80332201 + f: no game type, no sound or animation switch, a negative statistic.
Bytes sample(std::size_t size = CONFIG_FILE_SIZE) {
  const unsigned char upper[4] = {0, 0x22, 0x33, 0x80};
  Bytes b(size, 0xAB);  // past the 60 bytes that count
  for (std::size_t k = 0; k < std::min(size, CONFIG_FILE_SIZE); ++k)
    b[k] = k % 4 == 0 ? static_cast<unsigned char>(k / 4 + 1) : upper[k % 4];
  return b;
}
void write_file(const Bytes& b) {
  std::ofstream("orbolan.cfg", std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
Bytes read_file(const char* name = "orbolan.cfg") {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Every test runs in a fresh temporary folder of its own, with records unlike the sample.
struct ConfigFile : ::testing::Test {
  const fs::path home = fs::current_path();
  std::string folder = (fs::temp_directory_path() / "orbolan-cfg-XXXXXX").string();
  void SetUp() override {
    reset_world();
    setup_data = {2, 1, 0};
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    fs::current_path(folder);
  }
  void TearDown() override { fs::current_path(home); fs::remove_all(folder); }
};

TEST_F(ConfigFile, ReadTakesTheFirstSixtyBytesOrNothing) {
  const struct { int size; bool read; const char* said; } cases[] = {  // -1: no file at all
      {-1, false, ""}, {0, false, "holds 0 bytes"}, {59, false, "holds 59 bytes"},
      {60, true, ""}, {100, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    fs::remove("orbolan.cfg");
    if (c.size >= 0) write_file(sample(static_cast<std::size_t>(c.size)));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read_Config(), c.read);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(*c.said ? said.find(c.said) != std::string::npos : said.empty()) << said;
    if (!c.read) {  // not even the complete fields of a short file are taken
      EXPECT_EQ(setup_data.game_type, 2);
      continue;
    }
    const auto& [no, co, sh, me] = score_statistic;
    const std::array fields = {setup_data.game_type, setup_data.play_sounds, setup_data.animations,
                               no.games, no.scores, no.high, co.games, co.scores, co.high,
                               sh.games, sh.scores, sh.high, me.games, me.scores, me.high};
    for (int32 f = 0; f < 15; ++f) EXPECT_EQ(fields[f], static_cast<int32>(0x80332201u + f)) << f;
    ASSERT_TRUE(Write_Config());
    EXPECT_EQ(read_file(), sample()) << "not byte for byte";
  }
}

// Writing to a full disk fails; the save says so and the old file stays whole.
TEST_F(ConfigFile, AFailedWriteSaysSoAndKeepsTheOldFile) {
  write_file(sample());
  fs::create_symlink("/dev/full", "orbolan.cfg.tmp");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Write_Config());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("cannot save orbolan.cfg, the previous file is kept"), std::string::npos);
  EXPECT_EQ(read_file(), sample());
  EXPECT_FALSE(fs::exists(fs::symlink_status("orbolan.cfg.tmp")));
}

TEST_F(ConfigFile, ACrashBeforeTheRenameKeepsTheOldFile) {
  write_file(sample());
  EXPECT_EXIT((rename_mode = RenameMode::Crash, Write_Config()), testing::ExitedWithCode(3), "");
  EXPECT_EQ(read_file(), sample());
  EXPECT_EQ(read_file("orbolan.cfg.tmp").size(), CONFIG_FILE_SIZE) << "written before the rename";
  ASSERT_TRUE(Write_Config()) << "the next save goes through the stale temporary file";
  EXPECT_FALSE(fs::exists("orbolan.cfg.tmp"));
}

}  // namespace
