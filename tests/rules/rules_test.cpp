// Hand-made boards for each game type: gravity, close-up, refill, row packing, the end
// bonus and the best, a damaged game type, sums that wrap, the owed end-of-game screen.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

struct Rules : ::testing::Test {
  void SetUp() override { reset_world(); }
};

// Selects the group at (i, j) and confirms it, the generator seeded for the confirmation.
void play(int32 i, int32 j, unsigned seed = 1) {
  Check_Bubbles_Clicked(48 * i + 31, 48 * j + 31);
  ASSERT_EQ(bubbles_marked, 1) << "no group at " << i << "," << j << "\n" << board_text();
  std::srand(seed);
  Check_Bubbles_Clicked(48 * i + 31, 48 * j + 31);
}

using Motion = std::array<int32, 4>;  // old cell x, y; drawing position x, y
Motion motion(int32 i, int32 j) {
  const sBUBBLE_FIELD& c = PlayField[i][j];
  return {c.old_pos.x, c.old_pos.y, c.move_pos.x, c.move_pos.y};
}
Motion from(int32 i, int32 j) { return {i, j, 48 * i + 8, 48 * j + 8}; }

TEST_F(Rules, GravityKeepsOrderAndEmptiedColumnsCloseUpToTheRight) {
  set_board({"..1.......", "..2.......", "1.3.......", "2133......", "3243512345"});
  play(2, 4);  // the four 3s: column 3 empties, 1 and 2 fall two rows in column 2
  EXPECT_EQ(board_text(), "..........\n..........\n..........\n..........\n"
                          ".1.1......\n.212......\n.324512345\n");
  EXPECT_EQ(motion(3, 4), from(2, 2));
  EXPECT_EQ(motion(3, 5), from(2, 3));
  EXPECT_EQ(motion(1, 6), from(0, 6));
  for (int32 j = 0; j < 7; ++j) EXPECT_EQ(motion(0, j), (Motion{-1, -1, AT_REST, AT_REST}));
  Undo_Move();  // every bubble slides back from where it stands now
  EXPECT_EQ(motion(2, 2), (Motion{-1, -1, 48 * 3 + 8, 48 * 4 + 8}));
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
}

// Refilled columns: the rightmost draws first, each from the top; all start one block of
// as many columns to the left, old cell (-1, -1), and slide in along their rows. Megashift
// then packs rows 0..4 to the right.
TEST_F(Rules, RefillSlidesNewColumnsInAndMegashiftPacksAfterIt) {
  for (const int32 type : {1, 3}) {
    SCOPED_TRACE(type);
    reset_world();
    set_board({".........1", "........23", "11......45"});
    game_type = type;
    play(0, 6, 7);  // columns 0..7 are empty and refilled
    std::srand(7);
    int32 drawn[8][FIELD_ROWS];
    for (int32 c = 7; c >= 0; --c)
      for (int32 j = 0; j < FIELD_ROWS; ++j) drawn[c][j] = std::rand() % 5 + 1;
    for (int32 j = 0; j < FIELD_ROWS; ++j)
      for (int32 c = 0, shift = type == 1 || j > 4 ? 0 : j == 4 ? 1 : 2; c < 8; ++c) {
        EXPECT_EQ(PlayField[c + shift][j].type, drawn[c][j]) << c << "," << j;
        EXPECT_EQ(motion(c + shift, j), (Motion{-1, -1, -376 + 48 * c, AT_REST})) << c << "," << j;
      }
    EXPECT_EQ(Count_Bubbles(), 61);
  }
}

// The stored best is one below the result for odd `left`, equal to it for even: only a
// strictly greater result is a new best.
TEST_F(Rules, EndBonusByBubblesLeftAndTheBest) {
  const int32 bonus[] = {500, 200, 100, 50, 25, 0, 0, 0};
  for (const int32 type : {0, 2})
    for (int left = 0; left <= 7; ++left) {
      SCOPED_TRACE("type " + std::to_string(type) + ", left " + std::to_string(left));
      reset_world();  // row 6: a pair to remove, then `left` singles
      set_board({("33" + std::string("1212121", left) + std::string(8 - left, '.')).c_str()});
      game_type = type;
      sSTATISTIC_BLOCK& b = type == 0 ? score_statistic.normal : score_statistic.shifter;
      const int32 result = 2 + bonus[left];
      b = {4, 1000, result - left % 2};
      play(0, 6);
      EXPECT_EQ((std::array{game_score.bubble_bonus, b.games, b.scores, b.high, highscore}),
                (std::array{bonus[left], 5, 1000 + result, result, left % 2}));
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
    const sSCORE_STATISTIC zero = {};
    EXPECT_EQ(std::memcmp(&score_statistic, &zero, sizeof zero), 0);
    EXPECT_EQ((std::array{game_score.bubble_bonus, highscore, count_events("mode 9"), game_type}),
              (std::array{0, 0, 1, type}));
  }
}

TEST_F(Rules, SumsWrapAroundAndUndoWrapsBack) {
  set_board({"33......11"});
  game_score.score = INT_MAX - 1;
  play(0, 6);
  EXPECT_EQ(game_score.score, INT_MIN);
  PlayField[0][0].old_pos = {10, 0};  // old cells off the board are skipped, never written
  PlayField[0][1].old_pos = {-5, 2};
  Undo_Move();
  EXPECT_EQ(game_score.score, INT_MAX - 1);
  EXPECT_EQ(board_text().substr(66), "33......11\n");
  score_statistic.normal = {INT_MAX, INT_MAX, INT_MAX};
  play(0, 6);
  play(8, 6);  // 4 points and the 500 bonus
  const sSTATISTIC_BLOCK& s = score_statistic.normal;  // a wrapped result is no new best
  EXPECT_EQ((std::array{s.games, s.scores, s.high}), (std::array{INT_MIN, 501, INT_MAX}));
}

TEST_F(Rules, ANewGameDropsTheEndScreenOwedByTheLastOne) {
  setup_data.animations = 1;
  set_board({"33121....."});
  play(0, 6);
  ASSERT_EQ(waitanim, 1);
  New_Game();
  for (int t = 0; t < 40; ++t) animate(0, 0, 0, 0, 0);
  EXPECT_EQ(game_busy + count_events("post 999"), 0);
}

TEST_F(Rules, PressesOutsideTheGridAreIgnored) {
  set_board({"1111111111"});
  for (const uint32 x : {0u, 7u, 488u, ~0u}) Check_Bubbles_Clicked(x, 300);
  for (const uint32 y : {0u, 7u, 344u, ~0u}) Check_Bubbles_Clicked(100, y);
  EXPECT_TRUE(events.empty());
}

}  // namespace
