// What a game's result becomes: the end bonus and the best, statistics on disk as soon as they
// change, and the file "orbolan.cfg" read whole or not at all and never lost by a save. (Its
// byte layout is checked by the golden replay and the fuzz target.)
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "game/config.h"
#include "platform/headless.h"
#include "tests/support/harness.h"

namespace proof {
namespace {

namespace hl = plat::headless;
namespace fs = std::filesystem;

class Results : public ::testing::Test {
 protected:
  void TearDown() override { hl::reset(), Clear_Game_Globals(); }
  Work_Dir dir_{"results"};
};

// A pair removed from a bottom row of `left` singles after it. The best is one below the
// result for odd `left`, equal to it for even: only a strictly greater result is a new best.
TEST_F(Results, EndBonusByBubblesLeftAndOnlyAGreaterResultIsANewBest) {
  ASSERT_TRUE(Restart({}));
  const int32 bonus[] = {500, 200, 100, 50, 25, 0};
  for (const int32 type : {0, 2})
    for (int32 left = 0; left <= 5; ++left) {
      SCOPED_TRACE("type " + std::to_string(type) + ", left " + std::to_string(left));
      Cfg cfg{type};  // four games played, the best as below
      cfg[3 + 3 * type] = 4, cfg[4 + 3 * type] = 1000,
                  cfg[5 + 3 * type] = 2 + bonus[left] - left % 2;
      Write_Cfg(cfg);
      Read_Config();
      change_mode(MODE_GAME);
      Set_Board([&](int32 i, int32 j) {
        return j < 6 || i >= 2 + left ? 0 : i < 2 ? 3 : 1 + i % 2;
      });
      const sSTATISTIC_BLOCK& b = type == 0 ? score_statistic.normal : score_statistic.shifter;
      for (int k = 0; k < 2; ++k) Check_Bubbles_Clicked(Cell_X(0), Cell_Y(6));
      EXPECT_EQ((std::array{mode, game_score.bubble_bonus, b.games, b.scores, b.high, highscore}),
                (std::array{MODE_GAME_SCORE, bonus[left], 5, 1002 + bonus[left], 2 + bonus[left],
                            left % 2}));
    }
}

TEST_F(Results, StatisticsAreSavedAsSoonAsTheyChange) {
  ASSERT_TRUE(Restart({0, 0, 1, 4, 40, 20}));  // animations on; four normal games played
  Press(BTN_NEW);
  // A pair of colour 5 at the bottom of column 9, the rest in colours 1 to 4 with no two
  // neighbours alike: removing it ends the game, and the five bubbles above it still slide.
  Set_Board([](int32 i, int32 j) { return i == 9 && j >= 5 ? 5 : (i + 2 * j) % 4 + 1; });
  for (int k = 0; k < 2; ++k) Click(Cell_X(9), Cell_Y(6));  // select, then remove
  ASSERT_EQ(waitanim, 1) << "the end screen should still be owed";
  EXPECT_EQ(Read_Cfg(), (Cfg{0, 0, 1, 5, 42, 20}))
      << "the finished game is on disk before it rests";
  hl::tick(20);
  hl::pump();
  Press(BTN_DONE);
  Press(BTN_SCORES);
  Press(BTN_RESET);  // answered OK
  EXPECT_EQ(Read_Cfg(), (Cfg{0, 0, 1})) << "Reset confirmed";
}

TEST_F(Results, ReadTakesTheFirstSixtyBytesOrNothing) {
  const Cfg sample = {2, 1, 0, 4, -5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  const struct {
    int size;  // -1: no file at all
    bool read;
    const char* said;
  } cases[] = {{-1, false, ""},
               {0, false, "holds 0 bytes"},
               {59, false, "holds 59 bytes"},
               {60, true, ""},
               {100, true, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    Write_Cfg(sample);
    if (c.size >= 0)
      fs::resize_file(CONFIG_FILE_NAME, c.size);  // a longer file ends in zeros
    else
      fs::remove(CONFIG_FILE_NAME);
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
}

// Another copy of the game saves between this copy's saves: each save adds what this copy
// counted since its last one to what the file holds, keeps the higher best and the setup the
// file has unless it was chosen here; Reset clears what every copy counted so far.
TEST_F(Results, ASaveAddsWhatThisCopyCountedToWhatTheFileHolds) {
  Write_Cfg({0, 1, 1, 4, 40, 20});
  ASSERT_TRUE(Read_Config());
  Count_Game(0, true, 30);
  Write_Cfg({2, 0, 1, 7, 70, 25, 1, 5, 5});  // the other copy: 3 games more, setup changed
  setup_data.animations = 0;                 // changed here, not confirmed
  ASSERT_TRUE(Write_Config());
  EXPECT_EQ(Read_Cfg(), (Cfg{2, 0, 1, 8, 100, 30, 1, 5, 5}));
  EXPECT_EQ(score_statistic.normal.games, 8) << "this copy now shows every game counted";
  Write_Cfg({2, 0, 1, 9, 120, 40, 1, 5, 5});
  ASSERT_TRUE(Save_Chosen_Setup());
  EXPECT_EQ(Read_Cfg(), (Cfg{0, 1, 0, 9, 120, 40, 1, 5, 5})) << "nothing new counted here";
  ASSERT_TRUE(Reset_Statistics());
  Write_Cfg(Read_Cfg());
  Count_Game(2, false, 0);
  ASSERT_TRUE(Write_Config());
  EXPECT_EQ(Read_Cfg(), (Cfg{0, 1, 0, 0, 0, 0, 0, 0, 0, 1}));
}

// Where an unreadable file cannot be set aside as "orbolan.cfg.damaged" (a folder holds that
// name), it stays and nothing is saved over it. (The file set aside is the real-window tests'.)
TEST_F(Results, AnUnreadableFileThatCannotBeSetAsideIsNeverSavedOver) {
  fs::create_directories(std::string(CONFIG_DAMAGED_FILE_NAME) + "/x");
  std::ofstream(CONFIG_FILE_NAME) << "half a file";
  EXPECT_FALSE(Read_Config());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(Write_Config());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be set aside"), std::string::npos);
  EXPECT_EQ(Read_File(CONFIG_FILE_NAME), "half a file");
  EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), 2) << "a temporary file was left";
}

}  // namespace
}  // namespace proof
