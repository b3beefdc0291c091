// The file "orbolan.cfg": its explicit byte layout, reading whole, short, long and damaged
// files, and saves that fail or are cut short without costing the old file.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "game/GAME.h"
#include "game/config.h"
#include "tests/rules/recorder.h"

using namespace rules_test;
using Bytes = std::vector<unsigned char>;

namespace {

// Every test runs in a fresh temporary folder of its own.
class ConfigFile : public ::testing::Test {
 protected:
  std::filesystem::path home, folder;

  void SetUp() override {
    reset_world();
    home = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "orbolan-cfg-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    std::filesystem::current_path(folder);
  }
  void TearDown() override {
    std::filesystem::current_path(home);
    chmod(folder.c_str(), 0700);
    std::filesystem::remove_all(folder);
    reset_world();
  }

  static void write_file(const char* name, const Bytes& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static Bytes read_file(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static bool exists(const char* name) { return std::filesystem::exists(name); }

  // A file of known content, and the records it stands for.
  static Bytes sample_file() {
    Bytes b(CONFIG_FILE_SIZE);
    for (std::size_t k = 0; k < b.size(); ++k) b[k] = static_cast<unsigned char>(0x11 * (k % 15) + k);
    return b;
  }
  static void set_other_records() {
    setup_data = {2, 1, 0};
    score_statistic.megashift = {9, 12345, 678};
  }
};

void expect_records_zero() {
  const sSETUP_DATA zero_setup = {};
  const sSCORE_STATISTIC zero_stats = {};
  EXPECT_EQ(std::memcmp(&setup_data, &zero_setup, sizeof zero_setup), 0);
  EXPECT_EQ(std::memcmp(&score_statistic, &zero_stats, sizeof zero_stats), 0);
}

// ---- Byte layout -------------------------------------------------------------------------

TEST(ConfigLayout, FifteenLittleEndianInt32InFileOrder) {
  const sSETUP_DATA setup = {3, 1, -2};
  sSCORE_STATISTIC stats;
  stats.normal = {0x01020304, -1, INT_MIN};
  stats.continuous = {INT_MAX, 0, 256};
  stats.shifter = {5, 6, 7};
  stats.megashift = {8, 9, 0x7F80FF00};
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

TEST(ConfigLayout, AnySixtyBytesDecodeAndEncodeBackUnchanged) {
  std::mt19937 rng(20240601);
  for (int round = 0; round < 2000; ++round) {
    unsigned char in[CONFIG_FILE_SIZE], out[CONFIG_FILE_SIZE];
    for (auto& byte : in) byte = static_cast<unsigned char>(rng());
    sSETUP_DATA setup;
    sSCORE_STATISTIC stats;
    Decode_Config(in, &setup, &stats);
    Encode_Config(setup, stats, out);
    ASSERT_EQ(Bytes(in, in + CONFIG_FILE_SIZE), Bytes(out, out + CONFIG_FILE_SIZE)) << "round " << round;
  }
}

TEST(ConfigLayout, StatisticBlocksByGameTypeAndNoneOutsideIt) {
  EXPECT_EQ(Statistic_Block(0), &score_statistic.normal);
  EXPECT_EQ(Statistic_Block(1), &score_statistic.continuous);
  EXPECT_EQ(Statistic_Block(2), &score_statistic.shifter);
  EXPECT_EQ(Statistic_Block(3), &score_statistic.megashift);
  for (const int32 type : {-1, 4, 255, INT_MIN, INT_MAX}) EXPECT_EQ(Statistic_Block(type), nullptr);
}

// ---- Reading -------------------------------------------------------------------------------

TEST_F(ConfigFile, RoundTripIsByteForByte) {
  const Bytes file = sample_file();
  write_file("orbolan.cfg", file);
  ASSERT_TRUE(Read_Config());
  EXPECT_EQ(setup_data.game_type, 0x36241200);
  ASSERT_TRUE(Write_Config());
  EXPECT_EQ(read_file("orbolan.cfg"), file);
  EXPECT_FALSE(exists("orbolan.cfg.tmp"));
}

TEST_F(ConfigFile, SixtyZeroBytesGiveTheStartValues) {
  set_other_records();
  write_file("orbolan.cfg", Bytes(60, 0));
  ASSERT_TRUE(Read_Config());
  expect_records_zero();
}

TEST_F(ConfigFile, ValuesAreTakenAsReadEvenOutsideTheirRange) {
  Bytes file(60, 0);
  file[0] = 7;                  // no such game type
  file[4] = 5;                  // sounds: any non-zero is on
  file[8] = file[9] = 0xFF;     // animations 0xFFFF
  write_file("orbolan.cfg", file);
  ASSERT_TRUE(Read_Config());
  EXPECT_EQ(setup_data.game_type, 7);
  EXPECT_EQ(setup_data.play_sounds, 5);
  EXPECT_EQ(setup_data.animations, 0xFFFF);
}

TEST_F(ConfigFile, MissingFileKeepsTheRecordsSilently) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Read_Config());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  expect_records_zero();
}

TEST_F(ConfigFile, ShortFileIsIgnoredAsAWholeAndSaysSo) {
  for (const std::size_t size : {0, 1, 12, 59}) {
    set_other_records();
    Bytes file = sample_file();
    file.resize(size);
    write_file("orbolan.cfg", file);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Read_Config()) << size;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("orbolan.cfg"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "one line: " << said;
    EXPECT_EQ(setup_data.game_type, 2) << "not even the complete fields are taken";
    EXPECT_EQ(score_statistic.megashift.scores, 12345);
  }
}

TEST_F(ConfigFile, LongFileGivesItsFirstSixtyBytes) {
  Bytes file = sample_file();
  for (int k = 0; k < 40; ++k) file.push_back(0xAB);
  write_file("orbolan.cfg", file);
  ASSERT_TRUE(Read_Config());
  ASSERT_TRUE(Write_Config());
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
}

TEST_F(ConfigFile, UnreadableFileIsReportedAndIgnored) {
  std::filesystem::create_directory("orbolan.cfg");
  set_other_records();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Read_Config());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("orbolan.cfg"), std::string::npos);
  EXPECT_EQ(setup_data.game_type, 2);
}

// ---- Saving -----------------------------------------------------------------------------------

TEST_F(ConfigFile, SaveCreatesReplacesAndLeavesNoTemporaryFile) {
  set_other_records();
  ASSERT_TRUE(Write_Config());
  unsigned char expect[CONFIG_FILE_SIZE];
  Encode_Config(setup_data, score_statistic, expect);
  EXPECT_EQ(read_file("orbolan.cfg"), Bytes(expect, expect + CONFIG_FILE_SIZE));
  // A stale temporary file from an earlier crash is simply overwritten.
  write_file("orbolan.cfg.tmp", Bytes(100, 0x55));
  score_statistic.normal.games = 3;
  ASSERT_TRUE(Write_Config());
  Encode_Config(setup_data, score_statistic, expect);
  EXPECT_EQ(read_file("orbolan.cfg"), Bytes(expect, expect + CONFIG_FILE_SIZE));
  EXPECT_FALSE(exists("orbolan.cfg.tmp"));
}

TEST_F(ConfigFile, AFolderThatCannotBeWrittenKeepsTheOldFile) {
  write_file("orbolan.cfg", sample_file());
  set_other_records();
  // The child gives up the rights to the folder (root ignores permission bits, so it
  // becomes nobody instead) and tries to save there.
  EXPECT_EXIT(
      {
        if (geteuid() == 0) {
          if (setgid(65534) != 0 || setuid(65534) != 0) _exit(9);
        } else if (chmod(".", 0555) != 0) {
          _exit(9);
        }
        _exit(Write_Config() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "cannot save orbolan.cfg, the previous file is kept");
  chmod(".", 0700);
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
}

TEST_F(ConfigFile, AWriteCutShortKeepsTheOldFile) {
  write_file("orbolan.cfg", sample_file());
  set_other_records();
  // A file size limit of 30 bytes makes the 60-byte write fail half way, as a full disk
  // would.
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 30;
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  // Standard error goes to a pipe meanwhile: a pipe knows no file size limit.
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  const int saved_stderr = dup(2);
  dup2(pipe_fds[1], 2);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved_ok = Write_Config();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  dup2(saved_stderr, 2);
  close(saved_stderr);
  close(pipe_fds[1]);
  char text[512] = {};
  const ssize_t got = read(pipe_fds[0], text, sizeof text - 1);
  close(pipe_fds[0]);
  const std::string said(text, got > 0 ? static_cast<std::size_t>(got) : 0);
  EXPECT_FALSE(saved_ok);
  EXPECT_NE(said.find("cannot save orbolan.cfg"), std::string::npos) << said;
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
  EXPECT_FALSE(exists("orbolan.cfg.tmp"));
}

TEST_F(ConfigFile, AFullDiskKeepsTheOldFile) {
  write_file("orbolan.cfg", sample_file());
  std::filesystem::create_symlink("/dev/full", "orbolan.cfg.tmp");
  set_other_records();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Write_Config());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("No space left"), std::string::npos);
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
}

TEST_F(ConfigFile, AFailedRenameKeepsTheOldFile) {
  write_file("orbolan.cfg", sample_file());
  set_other_records();
  set_rename_mode(RenameMode::Fail);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Write_Config());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot save orbolan.cfg"), std::string::npos);
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
  EXPECT_FALSE(exists("orbolan.cfg.tmp"));
}

TEST_F(ConfigFile, ACrashBeforeTheRenameKeepsTheOldFile) {
  write_file("orbolan.cfg", sample_file());
  set_other_records();
  EXPECT_EXIT(
      {
        set_rename_mode(RenameMode::Crash);
        Write_Config();
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
  unsigned char expect[CONFIG_FILE_SIZE];
  Encode_Config(setup_data, score_statistic, expect);
  EXPECT_EQ(read_file("orbolan.cfg.tmp"), Bytes(expect, expect + CONFIG_FILE_SIZE))
      << "the new file was complete before the rename";
  // The next start reads the old file; the next save goes through.
  reset_world();
  ASSERT_TRUE(Read_Config());
  EXPECT_EQ(setup_data.game_type, 0x36241200);
  ASSERT_TRUE(Write_Config());
  EXPECT_EQ(read_file("orbolan.cfg"), sample_file());
  EXPECT_FALSE(exists("orbolan.cfg.tmp"));
}

}  // namespace
