// The file "orbolan.cfg": whole, short and long files, and a save that fails without costing
// the old file. Its byte layout is checked by the golden replay and the fuzz target.
#include <gtest/gtest.h>

#include <filesystem>

#include "game/config.h"
#include "tests/support/harness.h"

namespace {

namespace fs = std::filesystem;
const proof::Cfg kSample = {2, 1, 0, 4, -5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

TEST(ConfigFile, ReadTakesTheFirstSixtyBytesOrNothingAndAFailedSaveKeepsTheOldFile) {
  proof::Work_Dir dir("cfg");
  const struct {
    int size;
    bool read;
    const char* said;
  } cases[] = {// -1: no file at all
               {-1, false, ""},
               {0, false, "holds 0 bytes"},
               {59, false, "holds 59 bytes"},
               {60, true, ""},
               {100, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    proof::Write_Cfg(kSample);
    if (c.size >= 0)
      fs::resize_file("orbolan.cfg", c.size);  // a longer file ends in zeros
    else
      fs::remove("orbolan.cfg");
    setup_data = {3, 0, 1};
    score_statistic = {};
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read_Config(), c.read);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(*c.said ? said.find(c.said) != std::string::npos : said.empty()) << said;
    EXPECT_EQ((std::array{setup_data.game_type, score_statistic.normal.scores}),
              (c.read ? std::array{2, -5} : std::array{3, 0}))
        << "a short file is not taken in part";
  }
  // A full disk: the save says so and the old file stays whole.
  proof::Write_Cfg(kSample);
  const std::string old = proof::Read_File("orbolan.cfg");
  fs::create_symlink("/dev/full", "orbolan.cfg.tmp");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Write_Config());
  EXPECT_NE(testing::internal::GetCapturedStderr().find(
                "cannot save orbolan.cfg, the previous file is kept"),
            std::string::npos);
  EXPECT_EQ(proof::Read_File("orbolan.cfg"), old);
  EXPECT_FALSE(fs::exists(fs::symlink_status("orbolan.cfg.tmp")));
}

}  // namespace
