// Moves on hand-made boards for each game type: gravity, close-up, refill, row packing,
// scoring, the end bonus, the statistics and the calls made at the end of a game.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

class Moves : public ::testing::Test {
 protected:
  void SetUp() override { reset_world(); }
  // Selects the group at (i, j) and confirms it with a second press.
  static void play(int32 i, int32 j) {
    click_cell(i, j);
    ASSERT_EQ(bubbles_marked, 1) << "no group at " << i << "," << j << "\n" << board_text();
    click_cell(i, j);
  }
};

void expect_cell(int32 i, int32 j, POINT old_cell, POINT move_pos) {
  const sBUBBLE_FIELD& cell = PlayField[i][j];
  EXPECT_EQ(cell.old_pos.x, old_cell.x) << "old_pos of " << i << "," << j;
  EXPECT_EQ(cell.old_pos.y, old_cell.y) << "old_pos of " << i << "," << j;
  EXPECT_EQ(cell.move_pos.x, move_pos.x) << "move_pos of " << i << "," << j;
  EXPECT_EQ(cell.move_pos.y, move_pos.y) << "move_pos of " << i << "," << j;
}

POINT rest(int32 i, int32 j) { return {48 * i + 8, 48 * j + 8}; }

// Confirms the group at (i, j) with the generator seeded, and returns the colours a refill
// of columns r..0 draws from that seed: column r first, each column from the top down.
std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS> confirm_seeded(int32 i, int32 j,
                                                                       unsigned seed, int32 r) {
  click_cell(i, j);
  std::srand(seed);
  click_cell(i, j);
  std::srand(seed);
  std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS> fresh{};
  for (int32 c = r; c >= 0; --c)
    for (int32 row = 0; row < FIELD_ROWS; ++row) fresh[c][row] = std::rand() % 5 + 1;
  return fresh;
}

// ---- Gravity and close-up (every game type) -----------------------------------------------

TEST_F(Moves, EmptiedColumnClosesUpToTheRight) {
  set_board({"..........", "..........", "..........", "..........", "1.........",
             "21..5.....", "3241512345"});
  play(4, 5);
  EXPECT_EQ(board_text(), std::string("..........\n..........\n..........\n..........\n"
                                      ".1........\n.21.......\n.324112345\n"));
  expect_cell(1, 4, {0, 4}, rest(0, 4));  // slides one column right
  expect_cell(4, 6, {3, 6}, rest(3, 6));
  expect_cell(7, 6, {7, 6}, rest(7, 6));  // untouched: already home
  for (int32 j = 0; j < FIELD_ROWS; ++j) expect_cell(0, j, {-1, -1}, {AT_REST, AT_REST});
  EXPECT_EQ(game_score.score, 2);
  EXPECT_EQ(undo_score, 2);
  EXPECT_EQ(bubble_points, 0);
  EXPECT_EQ(number_bubbles_marked, 0);
}

TEST_F(Moves, GroupFromTheMiddleLetsItsColumnFallAndNothingElse) {
  const std::array<const char*, FIELD_ROWS> before = {
      "4414545454", "5525454545", "4434545454", "5535454545",
      "4434545454", "5545454545", "4454545454"};
  set_board(before);
  play(2, 3);
  const std::string after = board_text();
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      if (i != 2) {
        EXPECT_EQ(after[j * 11 + i], before[j][i]) << i << "," << j;
      }
  EXPECT_EQ(PlayField[2][0].type, 0);
  EXPECT_EQ(PlayField[2][2].type, 0);
  EXPECT_EQ(PlayField[2][3].type, 1);
  EXPECT_EQ(PlayField[2][4].type, 2);
  EXPECT_EQ(PlayField[2][5].type, 4);
  expect_cell(2, 3, {2, 0}, rest(2, 0));  // falls three rows from where it was drawn
  expect_cell(2, 4, {2, 1}, rest(2, 1));
  expect_cell(2, 5, {2, 5}, rest(2, 5));
  expect_cell(5, 5, {5, 5}, rest(5, 5));
  EXPECT_EQ(game_score.score, 6);
}

// ---- Refill (continuous, megashift) ---------------------------------------------------------

TEST_F(Moves, ContinuousAddsNothingWhenNoColumnEmpties) {
  set_board({"4414545454", "5525454545", "4434545454", "5535454545",
             "4434545454", "5545454545", "4454545454"});
  game_type = 1;
  play(2, 3);
  EXPECT_EQ(Count_Bubbles(), 67);
  EXPECT_EQ(PlayField[2][0].type, 0);
}

TEST_F(Moves, ContinuousRefillsEmptiedColumnsAsOneSlidingBlock) {
  set_board({"..........", "..........", "..........", "..........", "..........",
             "13.4...545", "3141222545"});
  game_type = 1;
  // Columns 4..6 emptied: old columns 0..3 close up into 3..6, three new ones come in.
  const auto fresh = confirm_seeded(4, 6, 99, 2);
  for (int32 c = 0; c < 3; ++c) {
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      EXPECT_EQ(PlayField[c][j].type, fresh[c][j]) << c << "," << j;
      // Each new column starts 144 pixels left of its cell; only x moves.
      expect_cell(c, j, {-1, -1}, {8 - (2 - c + 1) * 48, AT_REST});
    }
  }
  EXPECT_EQ(PlayField[0][0].move_pos.x, -136);
  EXPECT_EQ(PlayField[2][6].move_pos.x, -40);
  const std::string rows = board_text();
  EXPECT_EQ(rows.substr(5 * 11 + 3, 7), "13.4545");
  EXPECT_EQ(rows.substr(6 * 11 + 3, 7), "3141545");
  expect_cell(3, 5, {0, 5}, rest(0, 5));
  EXPECT_EQ(Count_Bubbles(), 13 + 21);
}

TEST_F(Moves, FillRowsIgnoresColumnsOffTheBoard) {
  set_board({"..........", "..........", "..........", "..........", "..........",
             "..........", ".........."});
  Fill_Rows(-1);
  Fill_Rows(10);
  EXPECT_EQ(Count_Bubbles(), 0);
  Fill_Rows(0);
  EXPECT_EQ(Count_Bubbles(), 7);
  EXPECT_EQ(PlayField[0][3].move_pos.x, -40);
}

// ---- Row packing (shifter, megashift) -----------------------------------------------------

TEST_F(Moves, ShifterPacksEveryRowRightAndAddsNothing) {
  set_board({"..........", "..........", "..........", "1.........", "2.........",
             "3.......4.", "4.....5512"});
  game_type = 2;
  play(6, 6);
  EXPECT_EQ(board_text(), std::string("..........\n..........\n..........\n.........1\n"
                                      ".........2\n........34\n.......412\n"));
  expect_cell(9, 3, {0, 3}, rest(0, 3));  // the tall column lends its top to the right
  expect_cell(8, 5, {0, 5}, rest(0, 5));
  expect_cell(9, 5, {8, 5}, rest(8, 5));
  expect_cell(9, 6, {9, 6}, rest(9, 6));
  // Nothing pairs up any more: seven left earn no bonus; a first result is a new best.
  EXPECT_EQ(game_score.bubble_bonus, 0);
  EXPECT_EQ(score_statistic.shifter.games, 1);
  EXPECT_EQ(score_statistic.shifter.high, 2);
  EXPECT_EQ(highscore, 1);
}

TEST_F(Moves, MegashiftRefillsBeforePacking) {
  set_board({"..........", "..........", "..........", "..........", ".........1",
             "........23", "11......45"});
  game_type = 3;
  const auto fresh = confirm_seeded(0, 6, 7, 7);
  // Rows 0..3 hold eight new bubbles packed against the right edge, row 4 eight new ones
  // and the old 1; rows 5 and 6 are the new block beside the old columns.
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    const int32 shift = j <= 3 ? 2 : j == 4 ? 1 : 0;
    for (int32 c = 0; c < 8; ++c) {
      EXPECT_EQ(PlayField[c + shift][j].type, fresh[c][j]) << c << "," << j;
      expect_cell(c + shift, j, {-1, -1}, {8 - (8 - c) * 48, AT_REST});
    }
  }
  expect_cell(9, 4, {9, 4}, rest(9, 4));
  expect_cell(8, 5, {8, 5}, rest(8, 5));
  EXPECT_EQ(PlayField[0][0].type, 0);
  EXPECT_EQ(PlayField[1][3].type, 0);
  EXPECT_EQ(PlayField[0][4].type, 0);
  EXPECT_EQ(Count_Bubbles(), 61);
}

// A type outside 0..3 (a damaged file) plays gravity and close-up only, and its end
// touches no statistics block.
TEST_F(Moves, UnknownGameTypeUpdatesNoStatistics) {
  for (const int32 type : {4, -1, INT_MAX, INT_MIN}) {
    reset_world();
    set_board({"..........", "..........", "..........", "..........", "..........",
               "..........", "11......2."});
    setup_data.game_type = type;
    game_type = type;
    play(0, 6);
    EXPECT_EQ(board_text().substr(66, 10), ".........2");
    EXPECT_EQ(game_score.bubble_bonus, 0);
    EXPECT_EQ(highscore, 0);
    EXPECT_EQ(count_events("mode 9"), 1);
    const sSCORE_STATISTIC zero = {};
    EXPECT_EQ(std::memcmp(&score_statistic, &zero, sizeof zero), 0);
    EXPECT_EQ(game_type, type);
    EXPECT_EQ(setup_data.game_type, type);
  }
}

// ---- End of game: bonus, statistics, sounds, end-of-game screen ---------------------------

// Row 6: a pair to remove, then `left` single bubbles in alternating colours.
void set_ending_board(int left) {
  static char row[11];
  for (int i = 0; i < 10; ++i) row[i] = '.';
  row[10] = '\0';
  row[0] = row[1] = '3';
  for (int k = 0; k < left; ++k) row[2 + k] = k % 2 ? '2' : '1';
  set_board({"..........", "..........", "..........", "..........", "..........",
             "..........", row});
}

TEST_F(Moves, BonusForFewBubblesLeftInNormalAndShifter) {
  const int32 bonus[] = {500, 200, 100, 50, 25, 0, 0, 0};
  for (const int32 type : {0, 2}) {
    for (int left = 0; left <= 7; ++left) {
      reset_world();
      set_ending_board(left);
      game_type = type;
      play(0, 6);
      EXPECT_EQ(game_score.bubble_bonus, bonus[left]) << "type " << type << ", left " << left;
      const sSTATISTIC_BLOCK& block = *Statistic_Block(type);
      EXPECT_EQ(block.games, 1);
      EXPECT_EQ(block.scores, 2 + bonus[left]);
      EXPECT_EQ(block.high, 2 + bonus[left]);
    }
  }
}

TEST_F(Moves, OnlyAStrictlyGreaterResultIsANewBest) {
  const struct { int32 high; int32 expect_high; int32 expect_flag; } cases[] = {
      {502, 502, 0}, {501, 502, 1}, {503, 503, 0}, {-5, 502, 1}};
  for (const auto& c : cases) {
    reset_world();
    set_ending_board(0);  // 2 points and the 500 bonus
    score_statistic.normal = {4, 1000, c.high};
    setup_data.play_sounds = 1;
    play(0, 6);
    EXPECT_EQ(score_statistic.normal.high, c.expect_high) << "stored best " << c.high;
    EXPECT_EQ(highscore, c.expect_flag) << "stored best " << c.high;
    EXPECT_EQ(score_statistic.normal.games, 5);
    EXPECT_EQ(score_statistic.normal.scores, 1502);
  }
}

TEST_F(Moves, EndWithoutAnimationShowsTheScoresAtOnceAfterThePop) {
  set_ending_board(3);
  setup_data.play_sounds = 1;
  play(0, 6);
  EXPECT_EQ(events(), (std::vector<std::string>{"screen", "screen", "play pop", "mode 9"}));
  EXPECT_EQ(game_busy, 0);
  EXPECT_EQ(waitanim, 0);
  EXPECT_EQ(undo, 1);
}

TEST_F(Moves, EndWithAnimationOwesTheScoresUntilEverythingRests) {
  set_ending_board(3);
  setup_data.animations = 1;
  play(0, 6);
  EXPECT_EQ(count_events("play pop"), 0) << "sounds are off";
  EXPECT_EQ(count_events("mode 9"), 0);
  EXPECT_EQ(game_busy, 1);
  EXPECT_EQ(waitanim, 1);
  EXPECT_EQ(score_statistic.normal.games, 1) << "the result is recorded with the move";
  // The three singles close up five columns to the right: 240 pixels in 30 steps of 8,
  // and one more tick to find them at rest.
  EXPECT_EQ(run_animation(), 31);
  EXPECT_EQ(count_events("post 999"), 1);
  EXPECT_EQ(waitanim, 0);
  for (int k = 0; k < 20; ++k) animate(0, 0, 0, 0, 0);
  EXPECT_EQ(count_events("post 999"), 1);
  EXPECT_EQ(count_events("mode 9"), 0) << "the tick never changes modes itself";
}

TEST_F(Moves, EveryMovePopsWhenSoundsAreOn) {
  set_board({"..........", "..........", "..........", "..........", "..........",
             "11........", "2334512345"});
  setup_data.play_sounds = 1;
  play(0, 5);
  EXPECT_EQ(count_events("play pop"), 1);
  EXPECT_EQ(count_events("mode 9"), 0);
  EXPECT_EQ(score_statistic.normal.games, 0);
}

// ---- Sums wrap in two's complement ---------------------------------------------------------

TEST_F(Moves, ScoresAndStatisticsWrapInsteadOfOverflowing) {
  set_ending_board(0);
  game_score.score = INT_MAX - 1;  // + 2 points + 500 bonus
  score_statistic.normal = {INT_MAX, INT_MAX, INT_MAX};
  play(0, 6);
  EXPECT_EQ(game_score.score, INT_MIN);
  EXPECT_EQ(score_statistic.normal.games, INT_MIN);
  EXPECT_EQ(score_statistic.normal.scores, INT_MIN + 500 + INT_MAX);
  EXPECT_EQ(score_statistic.normal.high, INT_MAX) << "a wrapped result is no new best";
  EXPECT_EQ(highscore, 0);
}

}  // namespace
