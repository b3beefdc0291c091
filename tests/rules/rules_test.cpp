// Hand-made boards for each game type: a new board, gravity, close-up, refill, row
// packing, the end bonus and statistics, sums that wrap, and the owed end-of-game screen.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

class Rules : public ::testing::Test {
 protected:
  void SetUp() override { reset_world(); }
};

using Motion = std::array<int32, 4>;  // old cell x, y; drawing position x, y
Motion motion(int32 i, int32 j) {
  const sBUBBLE_FIELD& c = PlayField[i][j];
  return {c.old_pos.x, c.old_pos.y, c.move_pos.x, c.move_pos.y};
}
// Came from cell (i, j) and is drawn there as the slide starts.
Motion from(int32 i, int32 j) { return {i, j, 48 * i + 8, 48 * j + 8}; }
// New, sliding in along the row from x.
Motion fresh_from(int32 x) { return {-1, -1, x, AT_REST}; }

// Row 6: a pair of 3s to remove, then `left` single bubbles in alternating colours.
void set_ending_board(int left) {
  std::string row = "33........";
  for (int k = 0; k < left; ++k) row[2 + k] = k % 2 ? '2' : '1';
  set_board({row.c_str()});
}

TEST_F(Rules, NewGameDrawsRowsFromTheTopAndForgetsTheLastGame) {
  set_board({"11........"});
  click_cell(0, 6);
  setup_data.game_type = 3;
  game_score = {77, 25};
  undo = waitanim = 1;
  std::srand(4242);
  New_Game();
  std::srand(4242);
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      ASSERT_EQ(PlayField[i][j].type, std::rand() % 5 + 1) << i << "," << j;
      ASSERT_EQ(PlayField[i][j].marked, 0) << i << "," << j;
    }
  EXPECT_EQ(game_type, 3);
  EXPECT_EQ((std::vector<int32>{game_score.score, game_score.bubble_bonus, bubbles_marked,
                                number_bubbles_marked, bubble_points, undo, waitanim}),
            std::vector<int32>(7, 0));
}

TEST_F(Rules, GravityKeepsOrderAndEmptiedColumnsCloseUpToTheRight) {
  set_board({"..1.......", "..2.......", "1.3.......", "2133......", "3243512345"});
  game_score.score = 5;
  play(2, 4);  // the four 3s: column 3 empties, 1 and 2 fall two rows in column 2
  EXPECT_EQ(board_text(), "..........\n..........\n..........\n..........\n"
                          ".1.1......\n.212......\n.324512345\n");
  EXPECT_EQ(motion(3, 4), from(2, 2));
  EXPECT_EQ(motion(3, 5), from(2, 3));
  EXPECT_EQ(motion(1, 6), from(0, 6));
  EXPECT_EQ(motion(4, 6), from(4, 6));
  for (int32 j = 0; j < FIELD_ROWS; ++j) EXPECT_EQ(motion(0, j), (Motion{-1, -1, AT_REST, AT_REST}));
  EXPECT_EQ(game_score.score, 17);
  EXPECT_EQ(undo_score, 12);
}

TEST_F(Rules, ContinuousRefillsEmptiedColumnsAsOneBlockFromTheLeft) {
  set_board({"13.4...545", "3141222545"});
  game_type = 1;
  click_cell(4, 6);
  std::srand(99);
  click_cell(4, 6);  // columns 4..6 empty: 0..3 close up into 3..6, 0..2 are new
  std::srand(99);
  const int32 start_x[] = {-136, -88, -40};
  for (int32 c = 2; c >= 0; --c)  // the rightmost new column draws first, each from the top
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      EXPECT_EQ(PlayField[c][j].type, std::rand() % 5 + 1) << c << "," << j;
      EXPECT_EQ(motion(c, j), fresh_from(start_x[c])) << c << "," << j;
    }
  EXPECT_EQ(board_text().substr(5 * 11 + 3), "13.4545\n3141545\n");
  EXPECT_EQ(motion(3, 5), from(0, 5));
}

TEST_F(Rules, ShifterPacksEveryRowRightAndAddsNothing) {
  set_board({"1.........", "2.........", "3.......4.", "4.....5512"});
  game_type = 2;
  play(6, 6);
  EXPECT_EQ(board_text(), "..........\n..........\n..........\n.........1\n"
                          ".........2\n........34\n.......412\n");
  EXPECT_EQ(motion(9, 3), from(0, 3));
  EXPECT_EQ(motion(8, 5), from(0, 5));
  EXPECT_EQ(motion(9, 5), from(8, 5));
  EXPECT_EQ(motion(9, 6), from(9, 6));
  // Nothing pairs up: seven left earn no bonus, and a first result is a new best.
  EXPECT_EQ(game_score.bubble_bonus, 0);
  EXPECT_EQ(score_statistic.shifter.games, 1);
  EXPECT_EQ(score_statistic.shifter.high, 2);
  EXPECT_EQ(highscore, 1);
}

TEST_F(Rules, MegashiftRefillsBeforePacking) {
  set_board({".........1", "........23", "11......45"});
  game_type = 3;
  click_cell(0, 6);
  std::srand(7);
  click_cell(0, 6);  // columns 0..7 empty and are refilled; then rows 0..4 pack right
  std::srand(7);
  int32 drawn[8][FIELD_ROWS];
  for (int32 c = 7; c >= 0; --c)
    for (int32 j = 0; j < FIELD_ROWS; ++j) drawn[c][j] = std::rand() % 5 + 1;
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    const int32 shift = j <= 3 ? 2 : j == 4 ? 1 : 0;
    for (int32 c = 0; c < 8; ++c) {
      EXPECT_EQ(PlayField[c + shift][j].type, drawn[c][j]) << c << "," << j;
      EXPECT_EQ(motion(c + shift, j), fresh_from(-376 + 48 * c)) << c << "," << j;
    }
  }
  EXPECT_EQ(motion(9, 4), from(9, 4));
  EXPECT_EQ(motion(8, 5), from(8, 5));
  EXPECT_EQ(Count_Bubbles(), 61);
}

TEST_F(Rules, EndBonusByBubblesLeftInNormalAndShifter) {
  const int32 bonus[] = {500, 200, 100, 50, 25, 0, 0, 0};
  for (const int32 type : {0, 2})
    for (int left = 0; left <= 7; ++left) {
      SCOPED_TRACE("type " + std::to_string(type) + ", left " + std::to_string(left));
      reset_world();
      set_ending_board(left);
      game_type = type;
      setup_data.play_sounds = 1;
      play(0, 6);
      EXPECT_EQ(game_score.bubble_bonus, bonus[left]);
      const sSTATISTIC_BLOCK& b = type == 0 ? score_statistic.normal : score_statistic.shifter;
      EXPECT_EQ((std::array{b.games, b.scores, b.high}), (std::array{1, 2 + bonus[left], 2 + bonus[left]}));
      // Without animation the scores come at once, after the pop.
      EXPECT_EQ(std::vector(events().end() - 2, events().end()),
                (std::vector<std::string>{"play pop", "mode 9"}));
    }
}

TEST_F(Rules, OnlyAStrictlyGreaterResultIsANewBest) {
  const struct { int32 high, expect_high, expect_flag; } cases[] = {
      {502, 502, 0}, {501, 502, 1}, {503, 503, 0}, {-5, 502, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.high);
    reset_world();
    set_ending_board(0);  // 2 points and the 500 bonus
    score_statistic.normal = {4, 1000, c.high};
    play(0, 6);
    EXPECT_EQ(score_statistic.normal.high, c.expect_high);
    EXPECT_EQ(highscore, c.expect_flag);
  }
}

TEST_F(Rules, AGameTypeOutsideTheFourPlaysPlainlyAndRecordsNothing) {
  for (const int32 type : {4, -1, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(type);
    reset_world();
    set_board({"11......2."});
    game_type = type;
    play(0, 6);
    EXPECT_EQ(board_text().substr(66), ".........2\n");  // gravity and close-up only
    EXPECT_EQ(game_score.bubble_bonus, 0);
    EXPECT_EQ(highscore, 0);
    EXPECT_EQ(count_events("mode 9"), 1);
    const sSCORE_STATISTIC zero = {};
    EXPECT_EQ(std::memcmp(&score_statistic, &zero, sizeof zero), 0);
    EXPECT_EQ(game_type, type);
  }
}

TEST_F(Rules, SumsWrapAroundAndUndoWrapsBack) {
  set_ending_board(0);
  game_score.score = INT_MAX - 1;  // + 2 points + 500 bonus
  score_statistic.normal = {INT_MAX, INT_MAX, INT_MAX};
  play(0, 6);
  EXPECT_EQ(game_score.score, INT_MIN);
  EXPECT_EQ(score_statistic.normal.games, INT_MIN);
  EXPECT_EQ(score_statistic.normal.scores, 499);  // INT_MAX + INT_MIN + 500
  EXPECT_EQ(score_statistic.normal.high, INT_MAX) << "a wrapped result is no new best";
  // Old cells off the board are skipped by undo rather than written.
  PlayField[9][0].old_pos = {10, 0};
  PlayField[9][1].old_pos = {3, 7};
  PlayField[9][2].old_pos = {-5, 2};
  Undo_Move();
  EXPECT_EQ(game_score.score, INT_MAX - 1);
  EXPECT_EQ(board_text().substr(66), "33........\n");
}

TEST_F(Rules, AnEndOwedToTheAnimationIsPostedOnceAndOnlyInItsOwnGame) {
  setup_data.animations = 1;
  set_board({"33121....."});
  play(0, 6);
  EXPECT_EQ(waitanim, 1);
  EXPECT_EQ(score_statistic.normal.games, 1) << "the result is recorded with the move";
  const std::string after = board_text();
  Undo_Move();  // refused: the recorded game would count twice
  EXPECT_EQ(board_text(), after);
  // The singles close up five columns: 240 pixels at 8 a tick, and a tick to find the rest.
  EXPECT_EQ(run_animation(), 31);
  for (int t = 0; t < 10; ++t) animate(0, 0, 0, 0, 0);
  EXPECT_EQ(count_events("post 999"), 1);
  EXPECT_EQ(count_events("mode 9"), 0) << "the tick leaves mode changes to the window thread";
  // A new game started meanwhile ends the old animation without its screen.
  reset_world();
  setup_data.animations = 1;
  set_board({"33121....."});
  play(0, 6);
  New_Game();
  animate(0, 0, 0, 0, 0);
  EXPECT_EQ(game_busy, 0);
  EXPECT_EQ(count_events("post 999"), 0);
}

TEST_F(Rules, PressesOutsideTheGridAreIgnored) {
  set_board({"1111111111"});
  const uint32 outside[][2] = {{0, 300}, {7, 300}, {488, 300}, {0xFFFFFFFFu, 300},
                               {100, 7}, {100, 344}, {100, 0xFFFFFFFFu}};
  for (const auto& p : outside) Check_Bubbles_Clicked(p[0], p[1]);
  EXPECT_TRUE(events().empty());
  EXPECT_EQ(bubbles_marked, 0);
}

}  // namespace
