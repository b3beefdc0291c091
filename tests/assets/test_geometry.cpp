// Artwork against the game's fixed places: the numbers the screens print land in blank cells
// beside their labels, each setup mark lands in its printed box, each click area covers its
// box and label. All places below are frame coordinates as the game uses them.
#include <gtest/gtest.h>

#include "bmp_reader.h"
#include "game/ORBOLAN.h"

namespace {

constexpr std::uint32_t kKey = 0xFFFFFF;  // the printed pictures are keyed white
// A generous text box for the game's font: a ten-digit number is at most 84 px wide, a line
// at most 15 px tall from the given top.
constexpr int kHalfTenDigits = 42, kLineHeight = 15;

// Ink of a white-keyed picture placed at (ox, oy), asked in frame coordinates.
struct Placed {
  Picture p;
  int ox, oy;
  bool ink(int fx, int fy) const {
    int x = fx - ox, y = fy - oy;
    return p.inside(x, y) && p.at(x, y) != kKey;
  }
  int ink_in(int x0, int y0, int x1, int y1) const {  // half-open box
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += ink(x, y);
    return n;
  }
};

TEST(StatisticsTable, NumberCellsAreBlankAndLabelledOnTheirRow) {
  const Placed t{load_picture(IDB_SCORE_TABLE), 75, 40};
  ASSERT_EQ(t.p.w, 351);
  const int cols[3] = {240, 315, 385}, rows[4] = {135, 167, 197, 229};
  for (int y : rows) {
    for (int x : cols)
      EXPECT_EQ(t.ink_in(x - kHalfTenDigits, y - 1, x + kHalfTenDigits, y + kLineHeight), 0)
          << "number cell at " << x << "," << y;
    // A row label on the same line, left of the widest number of the first column.
    EXPECT_GT(t.ink_in(75, y, cols[0] - kHalfTenDigits, y + kLineHeight), 40) << "label of row " << y;
  }
  // Column heads above each column, between the heading and the first row.
  for (int x : cols) EXPECT_GT(t.ink_in(x - 20, 95, x + 20, rows[0] - 8), 30) << "head of column " << x;
  // A heading across the top.
  EXPECT_GT(t.ink_in(75, 40, 426, 75), 400);
}

TEST(EndOfGameTable, NumberCellsAreBlankAndEachRowHasItsLabel) {
  const Placed t{load_picture(IDB_GAME_SCORE_TABLE), 135, 40};
  ASSERT_EQ(t.p.w, 205);
  const int x = 335, rows[5] = {115, 146, 176, 208, 238};
  for (int y : rows) {
    EXPECT_EQ(t.ink_in(x - kHalfTenDigits, y - 1, x + kHalfTenDigits, y + kLineHeight), 0) << "number cell at y " << y;
    EXPECT_GT(t.ink_in(135, y, x - kHalfTenDigits, y + kLineHeight), 60) << "label of row " << y;
  }
  EXPECT_GT(t.ink_in(135, 40, 340, 80), 300);  // the heading
}

struct SetupOption {
  const char* name;
  int mark_x, mark_y;                // where the game draws the check mark
  int left, top, right, bottom;      // the click area, open on all sides
};
const SetupOption kOptions[6] = {
    {"Standard", 99, 97, 97, 101, 210, 120},    {"Continuous", 99, 126, 97, 132, 229, 151},
    {"Shifter", 99, 159, 97, 163, 189, 182},    {"MegaShift", 99, 190, 97, 194, 219, 217},
    {"Play Sounds", 279, 77, 277, 81, 416, 101}, {"Animations", 280, 119, 278, 124, 406, 143},
};

// The lowest ink pixel of the check mark: the bottom of the tick.
std::pair<int, int> tick_bottom(const Picture& mark) {
  std::pair<int, int> best{-1, -1};
  for (int y = 0; y < mark.h; ++y)
    for (int x = 0; x < mark.w; ++x)
      if (mark.at(x, y) != kKey) best = {x, y};
  return best;
}

int tick_top(const Picture& mark) {
  for (int y = 0; y < mark.h; ++y)
    for (int x = 0; x < mark.w; ++x)
      if (mark.at(x, y) != kKey) return y;
  return mark.h;
}

TEST(SetupMap, EachMarkTicksInsideAPrintedBoxWithinItsClickArea) {
  const Placed map{load_picture(IDB_SETUP_MAP), 73, 65};
  const Picture mark = load_picture(IDB_CHECKED_BOX);
  ASSERT_EQ(map.p.w, 347);
  ASSERT_EQ(mark.w, 17);
  auto [bx, by] = tick_bottom(mark);
  ASSERT_GE(bx, 0);
  for (const SetupOption& o : kOptions) {
    const int tx = o.mark_x + bx, ty = o.mark_y + by;
    EXPECT_FALSE(map.ink(tx, ty)) << o.name << ": the tick lies on the box's printing";
    // Walk out from the tick in the four directions: each walk meets the box's wall within
    // a box's width, and every wall lies inside the click area.
    const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    int box_top = 0;
    for (auto [dx, dy] : dirs) {
      int x = tx, y = ty, steps = 0;
      while (!map.ink(x, y) && steps < 16) x += dx, y += dy, ++steps;
      EXPECT_LT(steps, 16) << o.name << ": no box wall towards " << dx << "," << dy;
      EXPECT_TRUE(x > o.left && x < o.right && y > o.top && y < o.bottom) << o.name << ": box wall at " << x << "," << y;
      if (dy < 0) box_top = y;
    }
    // The tick rises above the box it is placed on.
    EXPECT_LT(o.mark_y + tick_top(mark), box_top) << o.name;
  }
}

TEST(SetupMap, EachClickAreaCoversItsBoxAndLabel) {
  const Placed map{load_picture(IDB_SETUP_MAP), 73, 65};
  for (const SetupOption& o : kOptions) {
    // The label: ink inside the area right of the box.
    EXPECT_GT(map.ink_in(o.left + 20, o.top + 1, o.right, o.bottom), 80) << o.name;
    // Nothing of it sticks out: the ring around the area (6 px wide at the sides, 3 px above
    // and below) holds no printing.
    const int ring = map.ink_in(o.left - 6, o.top - 3, o.right + 7, o.bottom + 4) -
                     map.ink_in(o.left + 1, o.top + 1, o.right, o.bottom);
    EXPECT_EQ(ring, 0) << o.name;
  }
}

TEST(SetupMap, GameStylesAreFramedTogetherUnderAHeading) {
  const Placed map{load_picture(IDB_SETUP_MAP), 73, 65};
  // A frame line to the left of and below the four game styles, and a heading above them.
  int left_wall = 0, below = 0;
  for (int y = 101; y < 217; ++y) left_wall += map.ink_in(73, y, 93, y + 1) > 0;
  for (int x = 97; x < 219; ++x) below += map.ink_in(x, 222, x + 1, 246) > 0;
  EXPECT_GT(left_wall, 100);
  EXPECT_GT(below, 100);
  EXPECT_GT(map.ink_in(80, 65, 230, 97), 150);
}

}  // namespace
