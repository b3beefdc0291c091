// The modes and the game's lifecycle: the transitions a player makes, returning to a running
// game, ending a game by hand, the owed end-of-game screen, start-up and shutdown.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/GFX.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

namespace hl = plat::headless;

constexpr int32 EXIT = 1, LOGO = 2, SETUP = 3, SCORES = 4, NEW = 5, END = 6, OK_SETUP = 7,
                OK_CREDITS = 8, OK_SCORES = 9, DONE = 11, NEW_AFTER_GAME = 12, UNDO = 13;

class ModeTest : public GameTest {
 protected:
  struct Snapshot {
    int32 types[FIELD_COLUMNS][FIELD_ROWS];
    int32 marked[FIELD_COLUMNS][FIELD_ROWS];
    int32 score, bubbles_marked, number, points;
    bool operator==(const Snapshot& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
  };
  static Snapshot Take() {
    Snapshot s{};
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        s.types[i][j] = PlayField[i][j].type;
        s.marked[i][j] = PlayField[i][j].marked;
      }
    s.score = game_score.score;
    s.bubbles_marked = bubbles_marked;
    s.number = number_bubbles_marked;
    s.points = bubble_points;
    return s;
  }
  static int Count(const std::string& command) {
    const auto& log = hl::sound_log();
    return static_cast<int>(std::count(log.begin(), log.end(), command));
  }
  // A board with a pair of 5s at the bottom left and another at the top right: removing one
  // pair leaves the other, so the game goes on.
  void Two_Pairs() {
    Set_Board([](int32 i, int32 j) {
      return (j == 6 && i < 2) || (j == 0 && i >= 8) ? 5 : Pattern_Colour(i, j);
    });
  }
  // One move: select the group under cell (i, j) and remove it.
  void Move(int32 i, int32 j) {
    Click(Cell_X(i), Cell_Y(j));
    Click(Cell_X(i), Cell_Y(j));
  }
};

// ---- Transitions --------------------------------------------------------------------------

TEST_F(ModeTest, NewFromTheStartScreenAndFromTheEndOfGameScreenDealsABoard) {
  Start(nullptr);
  EXPECT_EQ(mode, MODE_START);
  Click_Button(NEW);
  EXPECT_EQ(mode, MODE_GAME);
  EXPECT_EQ(Count_Bubbles(), 70);
  Two_Pairs();
  Move(0, 6);
  ASSERT_EQ(game_score.score, 2);
  Click_Button(END);
  ASSERT_EQ(mode, MODE_GAME_SCORE);
  Click_Button(NEW_AFTER_GAME);
  EXPECT_EQ(mode, MODE_GAME);
  EXPECT_EQ(game_score.score, 0);
  EXPECT_EQ(Count_Bubbles(), 70);
  Click_Button(END);
  Click_Button(DONE);
  EXPECT_EQ(mode, MODE_START);
  EXPECT_EQ(main_btn_mask, 0);
}

TEST_F(ModeTest, AScreenOpenedDuringAGameReturnsToTheSameBoardAndSelection) {
  Start(nullptr);
  Click_Button(NEW);
  Two_Pairs();
  Move(0, 6);
  Click(Cell_X(9), Cell_Y(0));  // select the other pair
  ASSERT_EQ(number_bubbles_marked, 2);
  const Snapshot before = Take();
  const std::pair<int32, int32> trips[] = {{SETUP, OK_SETUP}, {LOGO, OK_CREDITS},
                                           {SCORES, OK_SCORES}};
  for (const auto& [open, ok] : trips) {
    Click_Button(open);
    EXPECT_NE(mode, MODE_GAME);
    EXPECT_EQ(last_mode, MODE_GAME);
    EXPECT_EQ(main_btn_mask, 1);
    Click_Button(ok);
    EXPECT_EQ(mode, MODE_GAME) << "button " << open;
    EXPECT_EQ(last_mode, 0);
    EXPECT_EQ(main_btn_mask, 0);
    EXPECT_TRUE(Take() == before) << "button " << open;
  }
  // The selection still works: the second press removes the pair.
  Click(Cell_X(8), Cell_Y(0));
  EXPECT_EQ(game_score.score, 4);
}

TEST_F(ModeTest, AScreenOpenedFromTheStartScreenReturnsToIt) {
  Start(nullptr);
  for (const auto& [open, ok] : {std::pair{SETUP, OK_SETUP}, std::pair{LOGO, OK_CREDITS},
                                 std::pair{SCORES, OK_SCORES}}) {
    Click_Button(open);
    Click_Button(ok);
    EXPECT_EQ(mode, MODE_START);
    EXPECT_EQ(last_mode, 0);
  }
}

TEST_F(ModeTest, ScreensFromAGameShowEndWhereTheBackgroundHasNew) {
  Start(nullptr);
  Click_Button(NEW);
  Click_Button(SETUP);
  const Picture frame = Grab_Frame();
  const sBUTTON& end = buttons[END];
  int checked = 0;
  for (int y = 0; y < 38; ++y)
    for (int x = 0; x < 62; ++x) {
      if (hl::surface_pixel(btnmask, x, y) == 0) continue;  // darkened by the mask
      ++checked;
      ASSERT_EQ(frame.at(end.topleft.x + x, end.topleft.y + y),
                hl::surface_pixel(end.bmp_normal, x, y))
          << "at +(" << x << ", " << y << "); " << Save_Picture(frame, "frame");
    }
  EXPECT_GT(checked, 0);
}

TEST_F(ModeTest, AValueOutsideTheTableMovesOnlyLastModeAndDrawsNothing) {
  Start(nullptr);
  Click_Button(NEW);
  const Snapshot before = Take();
  const int presents = hl::present_count();
  {
    std::lock_guard lock(plat::world_lock());
    change_mode(7);
    mode = 7;  // a mode without a screen composes and presents nothing
    Create_Screen();
    mode = MODE_GAME;
  }
  EXPECT_EQ(mode, MODE_GAME);
  EXPECT_EQ(last_mode, MODE_GAME);
  EXPECT_EQ(main_btn_mask, 0);
  EXPECT_EQ(hl::present_count(), presents);
  EXPECT_TRUE(Take() == before);
}

TEST_F(ModeTest, GameScoreMessageSwitchesInEveryMode) {
  struct Route {
    std::vector<int32> buttons;
  };
  const Route routes[] = {{{}},         {{NEW}},    {{LOGO}}, {{SETUP}},
                          {{SCORES}},   {{NEW, END}}};
  for (const Route& r : routes) {
    Restart(nullptr);
    for (int32 b : r.buttons) Click_Button(b);
    const int32 from = mode;
    hl::post(GAME_SCORE_MSG, 0, 0);
    Pump();
    EXPECT_EQ(mode, MODE_GAME_SCORE) << "from mode " << from;
    EXPECT_EQ(main_btn_mask, 1);
    EXPECT_EQ(last_mode, from);
  }
}

// ---- Ending a game -------------------------------------------------------------------------

TEST_F(ModeTest, EndCountsTheGameWithoutItsScore) {
  CfgValues cfg;
  cfg.game_type = 2;
  cfg.play_sounds = 1;
  const int32 stats[12] = {1, 10, 10, 2, 20, 20, 3, 300, 200, 4, 40, 40};
  std::copy(std::begin(stats), std::end(stats), cfg.stats);
  Start(&cfg);
  Click_Button(NEW);
  Two_Pairs();
  Move(0, 6);
  ASSERT_EQ(game_score.score, 2);
  hl::clear_sound_log();
  Click_Button(END);
  EXPECT_EQ(mode, MODE_GAME_SCORE);
  EXPECT_EQ(score_statistic.shifter.games, 4);
  EXPECT_EQ(score_statistic.shifter.scores, 300);
  EXPECT_EQ(score_statistic.shifter.high, 200);
  EXPECT_EQ(score_statistic.normal.games, 1);
  EXPECT_EQ(score_statistic.megashift.games, 4);
  EXPECT_EQ(highscore, 0);
  EXPECT_EQ(hl::sound_log(), std::vector<std::string>{"play score wait"});
  EXPECT_STREQ(info1, "2");
  EXPECT_STREQ(info2, "0");
  EXPECT_STREQ(info3, "2");
  EXPECT_STREQ(info4, "75") << "the average drops: 300 over 4 games";
  EXPECT_STREQ(info5, "4");
  EXPECT_STREQ(Status_Text, "Game Over!");
}

TEST_F(ModeTest, EndOfAGameTypeFromADamagedFileTouchesNoBlock) {
  CfgValues cfg;
  cfg.game_type = 9;
  for (int k = 0; k < 12; ++k) cfg.stats[k] = 7;
  Start(&cfg);
  Click_Button(NEW);
  ASSERT_EQ(game_type, 9);
  Click_Button(END);
  EXPECT_EQ(mode, MODE_GAME_SCORE);
  const int32* fields = &score_statistic.normal.games;
  for (int k = 0; k < 12; ++k) EXPECT_EQ(fields[k], 7) << "field " << k;
  EXPECT_STREQ(info4, "0");
  EXPECT_STREQ(info5, "0");
}

TEST_F(ModeTest, TheResultSoundFollowsTheNewBest) {
  Start_With(0, 1, 0);
  Click_Button(NEW);
  // One pair to remove, after which nothing is left to play: the game ends at once.
  Set_Board([](int32 i, int32 j) { return j == 6 && i < 2 ? 5 : Pattern_Colour(i, j); });
  hl::clear_sound_log();
  Move(0, 6);
  ASSERT_EQ(mode, MODE_GAME_SCORE);
  EXPECT_EQ(highscore, 1);
  EXPECT_EQ(hl::sound_log(), (std::vector<std::string>{"play pop", "play highscore wait"}));
  EXPECT_EQ(Count("play score wait"), 0);
  EXPECT_STREQ(Status_Text, "You have a new highscore!!");
}

TEST_F(ModeTest, WhileTheEndScreenIsOwedEndAndUndoDoNothing) {
  Start_With(0, 0, 1);
  Click_Button(NEW);
  // Removing the pair at the bottom of column 0 ends the game; the column above falls.
  Set_Board([](int32 i, int32 j) { return i == 0 && j >= 5 ? 5 : Pattern_Colour(i, j); });
  Move(0, 6);
  ASSERT_EQ(waitanim, 1);
  ASSERT_EQ(score_statistic.normal.games, 1);
  const Snapshot after_move = Take();
  Click_Button(END);
  Click_Button(UNDO);
  EXPECT_EQ(mode, MODE_GAME);
  EXPECT_EQ(score_statistic.normal.games, 1) << "the game is counted once";
  EXPECT_TRUE(Take() == after_move) << "the last move stays";
  for (int n = 0; n < 100 && mode == MODE_GAME; ++n) {
    hl::tick();
    Pump();
  }
  EXPECT_EQ(mode, MODE_GAME_SCORE);
  EXPECT_EQ(score_statistic.normal.games, 1);
}

TEST_F(ModeTest, EndDuringAnAnimationOfARunningGameIsTaken) {
  Start_With(0, 0, 1);
  Click_Button(NEW);
  Two_Pairs();
  Move(0, 6);
  ASSERT_EQ(game_busy, 1);
  ASSERT_EQ(waitanim, 0);
  Click_Button(END);
  EXPECT_EQ(mode, MODE_GAME_SCORE);
  EXPECT_EQ(score_statistic.normal.games, 1);
  hl::tick(20);  // the tick redraws the end-of-game screen until the bubbles rest
  Pump();
  EXPECT_EQ(mode, MODE_GAME_SCORE);
  EXPECT_EQ(game_busy, 0);
}

// ---- Start-up and shutdown -----------------------------------------------------------------

TEST_F(ModeTest, StartUpPrimesPopAndPlaysClickOnlyWithSoundsOn) {
  Start_With(0, 0, 0);
  EXPECT_EQ(Count("play pop"), 1);
  EXPECT_EQ(Count("play click"), 0);
  EXPECT_EQ(mode, MODE_START);
  EXPECT_EQ(game_initialized, 1);
  EXPECT_EQ(button_ctr, 13);
  EXPECT_GE(hl::present_count(), 2) << "the loading screen, then the start screen";
  CfgValues sounds_on;
  sounds_on.play_sounds = 1;
  Restart(&sounds_on);
  EXPECT_EQ(Count("play pop"), 1);
  EXPECT_EQ(Count("play click"), 1);
}

TEST_F(ModeTest, TheCloseBoxSavesWhateverTheMode) {
  Start_With(0, 0, 0);
  Click_Button(SETUP);
  Click(150, 170);  // Shifter
  Click(300, 90);   // sounds on
  hl::post(WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(hl::quit_posted(nullptr));
  EXPECT_FALSE(hl::timer_alive());
  const auto bytes = Read_File("orbolan.cfg");
  std::vector<std::uint8_t> expected(60, 0);
  expected[0] = 2;
  expected[4] = 1;
  EXPECT_EQ(bytes, expected);
}

TEST_F(ModeTest, ALostSurfaceIsReloadedAndTheScreenRedrawn) {
  Start(nullptr);
  Click_Button(NEW);
  const Picture good = Grab_Frame();
  // The background's memory is gone: wiped black.
  FillSurface(bk_pic, 0, 0, 494, 420, 0);
  hl::post(SURFACE_LOST_MSG, 0, 0);
  Pump();
  const Picture reloaded = Grab_Frame();
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x)
      ASSERT_EQ(reloaded.at(x, y), good.at(x, y))
          << "at (" << x << ", " << y << "); " << Save_Picture(reloaded, "frame");
  // A surface that stays lost is not redrawn over and over.
  hl::mark_surface_lost(bk_pic, true);
  hl::post(SURFACE_LOST_MSG, 0, 0);
  EXPECT_LT(hl::pump(), 5);
  hl::mark_surface_lost(bk_pic, false);
}

}  // namespace
}  // namespace orbolan_test
