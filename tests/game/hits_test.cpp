// Where presses count, in one table: the first and last pixel of cells at the board's edges
// and between two cells (the gap beside a bubble belongs to its cell), the borders of a button
// and of a setup box (just inside counts, the border itself does not), and the two presses on
// the board (a press on another group only drops the selection; a second press on the same
// group removes it).
#include <gtest/gtest.h>

#include <array>

#include "game/geometry.h"
#include "platform/headless.h"
#include "tests/support/harness.h"

namespace {

using namespace proof;
namespace hl = plat::headless;

// A board without groups but one pair: cell (i, j) and its neighbour below (`down`) or to the
// right (else), away from the edge each row probes.
void One_Pair(int32 i, int32 j, bool down) {
  const int32 pi = down ? i : (i == FIELD_COLUMNS - 1 ? i - 1 : i + 1);
  const int32 pj = down ? (j == FIELD_ROWS - 1 ? j - 1 : j + 1) : j;
  Set_Board([&](int32 x, int32 y) {
    return (x == i && y == j) || (x == pi && y == pj) ? 3 : 1 + (x + y) % 2;
  });
}

constexpr int Mid(int32 k) { return BUBBLE_LEFT + CELL_SIZE * k + CELL_SIZE / 2; }
constexpr int First(int32 k) { return BUBBLE_LEFT + CELL_SIZE * k; }
constexpr int Last(int32 k) { return First(k) + CELL_SIZE - 1; }  // the gap beside the bubble

struct Row {
  const char* what;
  int32 i, j;  // the cell holding the pair; the press probes across x (down pair) or y
  bool across_x;
  int x, y;
  bool hits;
};

TEST(Hits, PressesCountExactlyWherePlayersPress) {
  Work_Dir dir("hits");
  ASSERT_TRUE(Restart({0, 0, 0}));  // normal games, no sounds, no animations
  Press(BTN_NEW);
  const Row board[] = {
      {"first pixel column of the first column", 0, 3, true, First(0), Mid(3), true},
      {"left of the first column (the board's edge)", 0, 3, true, First(0) - 1, Mid(3), false},
      {"the gap right of a bubble", 0, 3, true, Last(0), Mid(3), true},
      {"the gap right of a bubble is not the next cell's", 1, 3, true, Last(0), Mid(3), false},
      {"first pixel column of the next cell", 1, 3, true, First(1), Mid(3), true},
      {"first pixel column of the last column", 9, 3, true, First(9), Mid(3), true},
      {"last column, last pixel inside the board", 9, 3, true, BOARD_RIGHT - 1, Mid(3), true},
      {"last column, on the board's right edge", 9, 3, true, BOARD_RIGHT, Mid(3), false},
      {"first pixel row of the top row", 4, 0, false, Mid(4), First(0), true},
      {"above the top row (the board's edge)", 4, 0, false, Mid(4), First(0) - 1, false},
      {"the gap below a bubble", 4, 0, false, Mid(4), Last(0), true},
      {"the gap below a bubble is not the next row's", 4, 1, false, Mid(4), Last(0), false},
      {"bottom row, last pixel inside the board", 4, 6, false, Mid(4), BOARD_BOTTOM - 1, true},
      {"bottom row, on the board's bottom edge", 4, 6, false, Mid(4), BOARD_BOTTOM, false},
  };
  for (const Row& r : board) {
    One_Pair(r.i, r.j, r.across_x);
    Click(r.x, r.y);
    EXPECT_EQ(number_bubbles_marked == 2 && PlayField[r.i][r.j].marked == 1, r.hits)
        << r.what << " at (" << r.x << ", " << r.y << ")";
  }

  // Two presses: another group only drops the selection, the same group goes.
  Set_Board([](int32 i, int32 j) { return (i / 2 + j) % 5 + 1; });  // pairs across each row
  const int32 first = PlayField[0][6].type, above = PlayField[3][5].type;
  Click(Mid(0), Mid(6)), Click(Mid(2), Mid(6));
  EXPECT_EQ((std::array{bubbles_marked, PlayField[2][6].marked, PlayField[0][6].type}),
            (std::array{0, 0, first}))
      << "a press on another group while one is selected only drops the selection";
  Click(Mid(2), Mid(6)), Click(Mid(2), Mid(6));
  EXPECT_EQ(PlayField[3][6].type, above) << "the second press on the selected pair removes it";

  // A button's face and a setup box count strictly inside their borders.
  Press(BTN_END), Press(BTN_DONE);
  const sBUTTON& scores = buttons[BTN_SCORES];
  const POINT at[] = {{scores.topleft.x, scores.topleft.y + 19},
                      {scores.topleft.x + 1, scores.topleft.y + 19},
                      {scores.bottomright.x - 1, scores.topleft.y + 19},
                      {scores.bottomright.x, scores.topleft.y + 19},
                      {scores.topleft.x + 31, scores.topleft.y},
                      {scores.topleft.x + 31, scores.bottomright.y - 1},
                      {scores.topleft.x + 31, scores.bottomright.y}};
  const bool acts[] = {false, true, true, false, false, true, false};
  for (std::size_t k = 0; k < std::size(at); ++k) {
    Click(at[k].x, at[k].y);
    EXPECT_EQ(mode == MODE_SCORES, acts[k])
        << "Scores pressed at (" << at[k].x << ", " << at[k].y << ")";
    if (mode == MODE_SCORES) Press(BTN_OK_SCORES);
  }
  Press(BTN_SETUP);
  const int mid_y = (SHIFTER_BOX_TOP + SHIFTER_BOX_BOTTOM) / 2;
  const POINT box[] = {{TYPE_BOX_LEFT, mid_y},         {TYPE_BOX_LEFT + 1, mid_y},
                       {SHIFTER_BOX_RIGHT - 1, mid_y}, {SHIFTER_BOX_RIGHT, mid_y},
                       {150, SHIFTER_BOX_TOP},         {150, SHIFTER_BOX_BOTTOM - 1}};
  const bool chooses[] = {false, true, true, false, false, true};
  for (std::size_t k = 0; k < std::size(box); ++k) {
    setup_data.game_type = 0;
    Click(box[k].x, box[k].y);
    EXPECT_EQ(setup_data.game_type == 2, chooses[k])
        << "the Shifter box pressed at (" << box[k].x << ", " << box[k].y << ")";
  }
  hl::reset();
}

}  // namespace
