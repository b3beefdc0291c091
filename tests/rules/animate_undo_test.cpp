// The animation tick on hand-made moves, and undo: what comes back, where it slides from,
// and when undo refuses.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

class Tick : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_world();
    setup_data.animations = 1;
  }
  static void play(int32 i, int32 j) {
    click_cell(i, j);
    ASSERT_EQ(bubbles_marked, 1) << board_text();
    click_cell(i, j);
  }
  static void tick() { animate(0, 0, 0, 0, 0); }
};

using Undo = Tick;

// Column 4: a 3 that falls five rows once the five 4s under it go. Every column keeps a
// bubble, so nothing closes up; the pairs in columns 0 and 9 keep the game going.
const std::array<const char*, FIELD_ROWS> kFallBoard = {
    "..........", "....3.....", "....4.....", "....4.....",
    "1...4.....", "2...4....5", "2131412135"};

// ---- The tick -----------------------------------------------------------------------------

TEST_F(Tick, ABubbleFallingFiveRowsMovesEightPixelsATickThenRests) {
  set_board(kFallBoard);
  play(4, 4);
  ASSERT_EQ(PlayField[4][6].type, 3);
  const int screens_before = count_events("screen");
  for (int t = 1; t <= 30; ++t) {
    tick();
    ASSERT_EQ(PlayField[4][6].move_pos.y, 56 + 8 * t) << "tick " << t;
    ASSERT_EQ(PlayField[4][6].move_pos.x, AT_REST);
    ASSERT_EQ(game_busy, 1);
  }
  EXPECT_EQ(PlayField[4][6].move_pos.y, 296);  // home, drawn there on this tick
  tick();
  EXPECT_EQ(PlayField[4][6].move_pos.y, AT_REST);
  EXPECT_EQ(game_busy, 0);
  // One frame per tick of motion; the tick that finds everything at rest draws nothing.
  EXPECT_EQ(count_events("screen") - screens_before, 30);
  EXPECT_EQ(count_events("post 999"), 0);
}

TEST_F(Tick, AMoveThatMovesNothingEndsAtTheFirstTick) {
  // Every column keeps bubbles, so the close-up has nothing to move either.
  set_board({"3312121212", "2121212121", "1212121212", "2121212121", "1212121212",
             "2121212121", "1212121211"});
  play(0, 0);
  const int screens_before = count_events("screen");
  tick();
  EXPECT_EQ(game_busy, 0);
  EXPECT_EQ(check_all_bubbles_moved(), 1);
  EXPECT_EQ(count_events("screen"), screens_before);
}

TEST_F(Tick, HorizontalAndVerticalRunTogetherAndNegativeStartsComeHome) {
  PlayField[3][2].move_pos = {8, 296};      // 3 columns left, 4 rows below: diagonal first
  PlayField[0][0].move_pos = {-136, AT_REST};  // a refilled column 144 pixels out
  game_busy = 1;
  for (int t = 1; t <= 18; ++t) {
    tick();
    const POINT p = PlayField[3][2].move_pos;
    ASSERT_EQ(p.x, 8 + 8 * t);
    ASSERT_EQ(p.y, t <= 24 ? 296 - 8 * t : AT_REST);
  }
  EXPECT_EQ(PlayField[0][0].move_pos.x, 8);
  tick();
  EXPECT_EQ(PlayField[3][2].move_pos.x, AT_REST);
  EXPECT_EQ(PlayField[0][0].move_pos.x, AT_REST);
  EXPECT_EQ(PlayField[3][2].move_pos.y, 144);
  EXPECT_EQ(game_busy, 1) << "the vertical axis is still on its way";
  EXPECT_EQ(run_animation(), 6);
}

TEST_F(Tick, WithAnimationsOffTheTickNeverRedrawsAfterAMove) {
  setup_data.animations = 0;
  set_board(kFallBoard);
  play(4, 4);
  EXPECT_EQ(game_busy, 0);
  const int screens_before = count_events("screen");
  for (int t = 0; t < 40; ++t) tick();
  EXPECT_EQ(count_events("screen"), screens_before);
  EXPECT_EQ(check_all_bubbles_moved(), 1) << "positions still run home unseen";
  // Board presses are accepted at once.
  click_cell(9, 6);
  EXPECT_EQ(bubbles_marked, 1);
}

TEST_F(Tick, ANewGameEndsARunningAnimationAtTheNextTick) {
  set_board(kFallBoard);
  play(4, 4);
  tick();
  New_Game();
  tick();
  EXPECT_EQ(game_busy, 0);
}

// ---- Undo -----------------------------------------------------------------------------------

TEST_F(Undo, RestoresEveryColourAndTheScoreThenDoesNothingMore) {
  set_board(kFallBoard);
  const std::string before = board_text();
  game_score.score = 40;
  play(4, 4);
  EXPECT_EQ(game_score.score, 60);
  run_animation();
  Undo_Move();
  EXPECT_EQ(board_text(), before);
  EXPECT_EQ(game_score.score, 40);
  EXPECT_EQ(undo, 0);
  EXPECT_EQ(undo_score, 0);
  const auto events_after_first = events().size();
  Undo_Move();
  EXPECT_EQ(events().size(), events_after_first) << "a second undo does nothing";
  EXPECT_EQ(board_text(), before);
}

TEST_F(Undo, TheGroupIsBackInPlaceAndTheFallenSlideBackUp) {
  set_board(kFallBoard);
  play(4, 4);
  run_animation();
  Undo_Move();
  EXPECT_EQ(game_busy, 1);
  // The 3 now at (4, 6) is placed back at (4, 1), drawn first where it stands now.
  EXPECT_EQ(PlayField[4][1].type, 3);
  EXPECT_EQ(PlayField[4][1].move_pos.x, 200);
  EXPECT_EQ(PlayField[4][1].move_pos.y, 296);
  // The group's cells come back at rest in their own cells.
  for (int32 j = 2; j <= 6; ++j) {
    EXPECT_EQ(PlayField[4][j].type, 4);
    EXPECT_EQ(PlayField[4][j].move_pos.x, 200);
    EXPECT_EQ(PlayField[4][j].move_pos.y, 48 * j + 8);
  }
  for (auto& column : PlayField)
    for (auto& cell : column) {
      EXPECT_EQ(cell.old_pos.x, -1);
      EXPECT_EQ(cell.marked, 0);
    }
  EXPECT_EQ(run_animation(), 31);
}

TEST_F(Undo, RefilledBubblesVanishAndTheOldColumnsReturn) {
  const std::array<const char*, FIELD_ROWS> board = {
      "..........", "..........", "..........", "..........", "..........",
      "13.4...545", "3141222545"};
  // Continuous: old columns 0..3 went three columns right. Megashift: row packing took
  // the old bubble of (0, 5) four columns right.
  const struct { int32 type; int ticks; } cases[] = {{1, 18 + 1}, {3, 24 + 1}};
  for (const auto& c : cases) {
    reset_world();
    set_board(board);
    game_type = c.type;
    const std::string before = board_text();
    std::srand(1);
    play(4, 6);
    ASSERT_GT(Count_Bubbles(), 13);
    ASSERT_EQ(waitanim, 0);
    Undo_Move();
    EXPECT_EQ(board_text(), before) << "type " << c.type;
    EXPECT_EQ(run_animation(), c.ticks) << "type " << c.type;
  }
}

TEST_F(Undo, AlwaysAnimatedAndDropsASelectionMadeAfterTheMove) {
  setup_data.animations = 0;
  set_board(kFallBoard);
  play(4, 4);
  click_cell(0, 5);  // the 2s
  ASSERT_EQ(bubbles_marked, 1);
  Undo_Move();
  EXPECT_EQ(game_busy, 1);
  EXPECT_EQ(bubbles_marked, 0);
  EXPECT_EQ(number_bubbles_marked, 0);
  EXPECT_EQ(bubble_points, 0);
  EXPECT_EQ(count_events("screen"), 4);
}

TEST_F(Undo, DuringTheMovesAnimationTheReturnStartsFromTheNewCells) {
  set_board(kFallBoard);
  play(4, 4);
  for (int t = 0; t < 10; ++t) tick();
  Undo_Move();
  EXPECT_EQ(PlayField[4][1].move_pos.y, 296);
  EXPECT_EQ(PlayField[0][4].type, 1);
  EXPECT_EQ(PlayField[0][4].move_pos.y, 200) << "that column did not move: it rests";
}

TEST_F(Undo, NothingToTakeBackAtTheStartOfAGame) {
  set_board(kFallBoard);
  play(4, 4);
  New_Game();
  const std::string fresh = board_text();
  const auto events_before = events().size();
  Undo_Move();
  EXPECT_EQ(board_text(), fresh);
  EXPECT_EQ(events().size(), events_before);
}

// The last move of a game is recorded in the statistics the moment it is made; while the
// end-of-game screen is still owed, undo would let the same game count twice.
TEST_F(Undo, RefusedWhileTheEndOfGameScreenIsOwed) {
  set_board({"..........", "..........", "..........", "..........", "..........",
             "..........", "33121....."});
  play(0, 6);
  ASSERT_EQ(waitanim, 1);
  const std::string after = board_text();
  Undo_Move();
  EXPECT_EQ(board_text(), after);
  EXPECT_EQ(undo, 1);
  run_animation();
  EXPECT_EQ(count_events("post 999"), 1);
  EXPECT_EQ(score_statistic.normal.games, 1);
}

TEST_F(Undo, ScoreWrapsBackAndDamagedOldCellsAreSkipped) {
  set_board(kFallBoard);
  const std::string before = board_text();
  game_score.score = INT_MAX;
  play(4, 4);
  EXPECT_EQ(game_score.score, INT_MIN + 19);
  PlayField[9][0].old_pos = {10, 0};
  PlayField[9][1].old_pos = {3, 7};
  PlayField[9][2].old_pos = {-5, 2};
  Undo_Move();
  EXPECT_EQ(game_score.score, INT_MAX);
  EXPECT_EQ(board_text(), before);
}

}  // namespace
