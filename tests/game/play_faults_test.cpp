// Statistics that must reach the disk at once, and a settings file that could not be read,
// which no save may destroy.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "game/config.h"
#include "platform/headless.h"
#include "tests/support/harness.h"

namespace proof {
namespace {

namespace hl = plat::headless;
namespace fs = std::filesystem;

Cfg On_Disk() {  // the machine is little-endian, like the file
  Cfg cfg{};
  std::ifstream(CONFIG_FILE_NAME, std::ios::binary).read(reinterpret_cast<char*>(cfg.data()), 60);
  return cfg;
}

// No two orthogonal neighbours alike, in colours 1 to 4: colour 5 is free for a test's group.
int32 Pattern(int32 i, int32 j) { return (i + 2 * j) % 4 + 1; }

class PlayFaults : public ::testing::Test {
 protected:
  void TearDown() override {
    hl::reset();
    Clear_Game_Globals();
  }
  Work_Dir dir_{"play-faults"};
};

TEST_F(PlayFaults, StatisticsAreSavedAsSoonAsTheyChange) {
  ASSERT_TRUE(Restart({0, 0, 1, 4, 40, 20}));  // animations on; four normal games played
  Press(NEW);
  // A pair of colour 5 at the bottom of column 9: removing it ends the game, and the five
  // bubbles above it still have to slide down.
  Set_Board([](int32 i, int32 j) { return i == 9 && j >= 5 ? 5 : Pattern(i, j); });
  for (int k = 0; k < 2; ++k) Click(Cell_X(9), Cell_Y(6));  // select, then remove
  ASSERT_EQ(waitanim, 1) << "the end screen should still be owed";
  EXPECT_EQ(On_Disk(), (Cfg{0, 0, 1, 5, 42, 20})) << "the finished game is on disk before it rests";

  hl::tick(20);
  hl::pump();
  Press(DONE);
  Press(SCORES);
  Press(RESET);  // answered OK
  EXPECT_EQ(On_Disk(), (Cfg{0, 0, 1})) << "Reset confirmed";
}

// Where an unreadable file cannot be set aside as "orbolan.cfg.damaged" (a folder holds that
// name), it stays and nothing is saved over it. (The file set aside is the real-window tests'.)
TEST_F(PlayFaults, AnUnreadableFileThatCannotBeSetAsideIsNeverSavedOver) {
  const std::string short_file = "half a file";
  fs::create_directories(std::string(CONFIG_DAMAGED_FILE_NAME) + "/x");
  std::ofstream(CONFIG_FILE_NAME) << short_file;
  EXPECT_FALSE(Read_Config());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Write_Config());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be set aside"), std::string::npos);
  EXPECT_EQ(Read_File(CONFIG_FILE_NAME), short_file);
  EXPECT_FALSE(fs::exists(CONFIG_TEMP_FILE_NAME));
}

}  // namespace
}  // namespace proof
