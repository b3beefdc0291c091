// The board: a fresh board from the generator, the flood fill, the game-over query and the
// two-press selection protocol with its click geometry.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

class Board : public ::testing::Test {
 protected:
  void SetUp() override { reset_world(); }
};

const std::array<const char*, FIELD_ROWS> kCheckerboard = {
    "1212121212", "2121212121", "1212121212", "2121212121",
    "1212121212", "2121212121", "1212121212"};

// ---- New board -------------------------------------------------------------------------

TEST_F(Board, NewGameDrawsColoursRowByRowFromTheTop) {
  setup_data.game_type = 3;
  game_score = {77, 25};
  PlayField[4][4].old_pos = {2, 3};  // a new game leaves old cells alone
  std::srand(4242);
  New_Game();
  std::srand(4242);
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      ASSERT_EQ(PlayField[i][j].type, std::rand() % 5 + 1) << "cell " << i << "," << j;
      EXPECT_EQ(PlayField[i][j].move_pos.x, AT_REST);
      EXPECT_EQ(PlayField[i][j].move_pos.y, AT_REST);
    }
  }
  EXPECT_EQ(Count_Bubbles(), 70);
  EXPECT_EQ(game_type, 3);
  EXPECT_EQ(game_score.score, 0);
  EXPECT_EQ(game_score.bubble_bonus, 0);
  EXPECT_EQ(PlayField[4][4].old_pos.x, 2);
  EXPECT_EQ(PlayField[4][4].old_pos.y, 3);
}

TEST_F(Board, NewGameDropsSelectionUndoAndAnOwedEndScreen) {
  set_board({"11........", "..........", "..........", "..........", "..........",
             "..........", ".........."});
  click_cell(0, 0);
  ASSERT_EQ(bubbles_marked, 1);
  undo = 1;
  waitanim = 1;
  New_Game();
  EXPECT_EQ(bubbles_marked, 0);
  EXPECT_EQ(number_bubbles_marked, 0);
  EXPECT_EQ(bubble_points, 0);
  EXPECT_EQ(undo, 0);
  EXPECT_EQ(waitanim, 0);
  for (auto& column : PlayField)
    for (auto& cell : column) EXPECT_EQ(cell.marked, 0);
  // The old animation ends at the next tick without asking for an end-of-game screen.
  game_busy = 1;
  animate(0, 0, 0, 0, 0);
  EXPECT_EQ(game_busy, 0);
  EXPECT_EQ(count_events("post 999"), 0);
}

// ---- Flood fill and game over ----------------------------------------------------------

TEST_F(Board, FloodFillCountsOrthogonalSameColourOnceAndIgnoresEmpty) {
  set_board({"1.1.......", ".1........", "11122.....", "..1.2.....", "..........",
             "..........", "3........."});
  EXPECT_EQ(Check_Bubble(1, 1, 1), 5);  // (1,1),(1,2),(0,2),(2,2),(2,3); diagonals not
  EXPECT_EQ(Check_Bubble(1, 1, 1), 0);  // already marked
  EXPECT_EQ(PlayField[0][0].marked, 0);
  EXPECT_EQ(PlayField[2][0].marked, 0);
  EXPECT_EQ(Check_Bubble(4, 2, 2), 3);  // (3,2),(4,2),(4,3)
  EXPECT_EQ(Check_Bubble(0, 6, 1), 0);  // colour differs
  EXPECT_EQ(Check_Bubble(5, 5, 0), 0);  // empty cells never form a group
  EXPECT_EQ(Check_Bubble(9, 6, 3), 0);
  EXPECT_EQ(Check_Bubble(0, 6, 3), 1);
}

TEST_F(Board, GameIsOverOnlyWithoutTwoEqualNeighbours) {
  set_board({"..........", "..........", "..........", "..........", "..........",
             "..........", ".........."});
  EXPECT_EQ(Check_Game_Over(), 1);
  set_board(kCheckerboard);
  EXPECT_EQ(Check_Game_Over(), 1);
  EXPECT_EQ(Count_Bubbles(), 70);
  // One pair anywhere keeps the game going: first and last scan positions, both axes.
  const POINT pairs[][2] = {{{0, 0}, {1, 0}}, {{9, 5}, {9, 6}}, {{4, 3}, {4, 4}}, {{8, 6}, {9, 6}}};
  for (const auto& pair : pairs) {
    set_board(kCheckerboard);
    PlayField[pair[1].x][pair[1].y].type = PlayField[pair[0].x][pair[0].y].type;
    EXPECT_EQ(Check_Game_Over(), 0) << pair[0].x << "," << pair[0].y;
  }
  // Diagonal neighbours do not count.
  set_board({"3.........", ".3........", "..........", "..........", "..........",
             "..........", ".........."});
  EXPECT_EQ(Check_Game_Over(), 1);
  EXPECT_EQ(Count_Bubbles(), 2);
}

// ---- Selection protocol ----------------------------------------------------------------

TEST_F(Board, GroupValuesAreNTimesNMinusOne) {
  const struct { const char* row; int32 n; } cases[] = {
      {"22........", 2}, {"222.......", 3}, {"22222.....", 5}, {"5555555555", 10}};
  for (const auto& c : cases) {
    reset_world();
    set_board({c.row, "..........", "..........", "..........", "..........", "..........",
               ".........."});
    click_cell(0, 0);
    EXPECT_EQ(bubbles_marked, 1);
    EXPECT_EQ(number_bubbles_marked, c.n);
    EXPECT_EQ(bubble_points, c.n * (c.n - 1));
    EXPECT_EQ(count_events("screen"), 1);
    EXPECT_EQ(events().size(), 1u) << "selecting plays no sound";
  }
}

TEST_F(Board, SingleOrEmptyPressSelectsNothingButRedraws) {
  set_board({"12........", "..........", "..........", "..........", "..........",
             "..........", ".........."});
  click_cell(0, 0);
  EXPECT_EQ(bubbles_marked, 0);
  EXPECT_EQ(bubble_points, 0);
  EXPECT_EQ(number_bubbles_marked, 0);
  // The flag left on the single bubble is not a selection: a press on it removes nothing.
  ASSERT_EQ(PlayField[0][0].marked, 1);
  click_cell(0, 0);
  EXPECT_EQ(bubbles_marked, 0);
  EXPECT_EQ(Count_Bubbles(), 2);
  click_cell(5, 5);
  EXPECT_EQ(bubbles_marked, 0);
  EXPECT_EQ(PlayField[0][0].marked, 0);
  EXPECT_EQ(count_events("screen"), 3);
}

TEST_F(Board, PressBesideSelectionOnlyDeselectsThenNextPressSelects) {
  set_board({"1122......", "..........", "..........", "..........", "..........",
             "..........", ".........."});
  click_cell(0, 0);
  click_cell(2, 0);  // another group: only clears
  EXPECT_EQ(bubbles_marked, 0);
  EXPECT_EQ(bubble_points, 0);
  for (auto& column : PlayField)
    for (auto& cell : column) EXPECT_EQ(cell.marked, 0);
  click_cell(2, 0);
  EXPECT_EQ(bubbles_marked, 1);
  EXPECT_EQ(PlayField[3][0].marked, 1);
  EXPECT_EQ(PlayField[0][0].marked, 0);
  EXPECT_EQ(Count_Bubbles(), 4);
}

TEST_F(Board, AnyBubbleOfTheSelectionConfirmsTheMove) {
  set_board({"..........", "..........", "..........", "..........", "..........",
             "3.........", "3334......"});
  click_cell(0, 6);
  click_cell(2, 6);  // not the bubble first pressed
  EXPECT_EQ(Count_Bubbles(), 1);
  EXPECT_EQ(game_score.score, 12);
  EXPECT_EQ(undo, 1);
  EXPECT_EQ(bubbles_marked, 0);
}

// The clickable area is 7 < x < 486, 7 < y < 342; the gap right of or below a bubble
// belongs to that bubble's cell.
TEST_F(Board, ClickGeometryMapsPixelsToCells) {
  const struct { uint32 x, y; int32 i, j; } cases[] = {
      {8, 8, 0, 0}, {485, 341, 9, 6}, {54, 8, 0, 0}, {55, 8, 0, 0},
      {56, 8, 1, 0}, {8, 55, 0, 0}, {8, 56, 0, 1}, {440, 296, 9, 6}, {439, 295, 8, 5}};
  for (const auto& c : cases) {
    reset_world();
    set_board({"..........", "..........", "..........", "..........", "..........",
               "..........", ".........."});
    PlayField[c.i][c.j].type = 4;
    Check_Bubbles_Clicked(c.x, c.y);
    EXPECT_EQ(PlayField[c.i][c.j].marked, 1) << c.x << "," << c.y;
    EXPECT_EQ(count_events("screen"), 1);
  }
}

TEST_F(Board, PressOutsideTheGridChangesNothing) {
  set_board(kCheckerboard);
  const uint32 outside[][2] = {{0, 100}, {7, 100}, {100, 0}, {100, 7}, {488, 100},
                               {100, 344}, {0xFFFFFFFFu, 100}, {100, 0xFFFFFFFFu}};
  for (const auto& p : outside) Check_Bubbles_Clicked(p[0], p[1]);
  EXPECT_TRUE(events().empty());
  EXPECT_EQ(board_text(), std::string("1212121212\n2121212121\n1212121212\n2121212121\n"
                                      "1212121212\n2121212121\n1212121212\n"));
}

}  // namespace
