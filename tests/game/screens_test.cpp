// Composed frames checked by their pixels: the selection's outline, a bubble cut at the
// board's edge, the setup's check marks, and the red total of a new best.
#include <set>
#include <utility>

#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

using ScreenTest = GameTest;

// Composes the current screen again under the world lock, as a message handler would.
Frame Compose() {
  std::lock_guard lock(plat::world_lock());
  Create_Screen();
  return Grab();
}

// The outline is worked out from the geometry alone: the pixels of the marked cells' 48 x 48
// boxes with a four-neighbour outside every marked box. Selecting must change exactly these
// pixels of the board area, all to red.
TEST_F(ScreenTest, TheOutlineTracesTheSelectedGroup) {
  const struct { const char* shape; bool (*in)(int32 i, int32 j); int32 size; } groups[] = {
      {"an L", [](int32 i, int32 j) {
         return (i == 2 && j >= 2 && j <= 4) || (j == 4 && (i == 3 || i == 4)); }, 5},
      {"a cross on all four edges", [](int32 i, int32 j) { return i == 4 || j == 3; }, 16}};
  Start();
  Press(NEW);
  for (const auto& g : groups) {
    SCOPED_TRACE(g.shape);
    Set_Board([&](int32 i, int32 j) { return g.in(i, j) ? 5 : Pattern(i, j); });
    const Frame plain = Grab();
    Click(Cell_X(4), Cell_Y(4));  // every shape holds cell (4, 4)
    ASSERT_EQ(number_bubbles_marked, g.size);
    const Frame marked = Grab();
    auto in_group = [&](int x, int y) {
      return x >= 7 && y >= 7 && x < 487 && y < 343 && g.in((x - 7) / 48, (y - 7) / 48);
    };
    int wrong = 0;
    for (int y = 0; y < 350; ++y)  // the status line below differs too
      for (int x = 0; x < 494; ++x) {
        const bool edge = in_group(x, y) && (!in_group(x - 1, y) || !in_group(x + 1, y) ||
                                             !in_group(x, y - 1) || !in_group(x, y + 1));
        const uint32 want = edge ? RED_PIXEL : At(plain, x, y);
        wrong += At(marked, x, y) != want;
      }
    EXPECT_EQ(wrong, 0) << Saved("outline");
  }
  EXPECT_STREQ(Status_Text, "Score: 0  Bubble-Points: 240   ---   16 Bubbles selected.");
}

TEST_F(ScreenTest, ABubbleSlidingInFromTheLeftIsCutAtTheBoardEdge) {
  Start();
  Press(NEW);
  Set_Board([](int32, int32) { return 0; });
  const Frame empty = Grab();
  PlayField[0][2].type = 4;
  PlayField[0][2].move_pos = {-20, AT_REST};  // spans x = -20 .. 25, its row at rest
  game_busy = 1;
  const Frame frame = Compose();
  game_busy = 0;
  const int top = 48 * 2 + 8;
  int wrong = 0;
  for (int y = top; y < top + 46; ++y)
    for (int x = 0; x < 60; ++x) {
      // Left of x = 7 the board's frame stays; black in the picture is transparent.
      const uint32 src = x >= 7 && x < 26 ? hl::surface_pixel(bubble_4, x + 20, y - top) : 0;
      wrong += At(frame, x, y) != (src != 0 ? src : At(empty, x, y));
    }
  EXPECT_EQ(wrong, 0) << Saved("slide");
}

TEST_F(ScreenTest, SetupShowsExactlyTheMarksOfTheSettings) {
  Start({7, 5, -7});  // no value that earns a mark
  Press(SETUP);
  const Frame none = Grab();
  setup_data = {2, 0, 1};
  const Frame two = Compose();
  const POINT marks[] = {{99, 159}, {280, 119}};  // Shifter, Animations
  int wrong = 0, ink = 0;
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) {
      uint32 want = At(none, x, y);
      for (const POINT& m : marks)
        if (x >= m.x && x < m.x + 17 && y >= m.y && y < m.y + 22) {
          const uint32 src = hl::surface_pixel(checked_box_pic, x - m.x, y - m.y);
          ink += src != 0xFFFFFF;
          if (src != 0xFFFFFF) want = src;  // white is transparent
        }
      wrong += At(two, x, y) != want;
    }
  EXPECT_GT(ink, 20);
  EXPECT_EQ(wrong, 0) << Saved("setup_marks");
}

TEST_F(ScreenTest, ANewBestTotalIsRed) {
  Start();
  Press(NEW);
  game_score = {540, 100};  // a total of 640, the best of 4 games
  score_statistic.normal = {4, 2000, 640};
  for (int32 best : {1, 0}) {
    SCOPED_TRACE(best ? "a new best" : "no new best");
    {
      std::lock_guard lock(plat::world_lock());
      highscore = best;
      change_mode(MODE_GAME_SCORE);
    }
    const Frame frame = Grab();
    const int rows[5] = {115, 146, 176, 208, 238};  // of the five numbers
    int red[5] = {};
    for (int n = 0; n < 5; ++n)
      for (int y = rows[n]; y < rows[n] + 16; ++y)
        for (int x = 260; x < 410; ++x) red[n] += At(frame, x, y) == RED_PIXEL;
    EXPECT_EQ(red[2] > 10, best == 1) << Saved("best_total");
    EXPECT_EQ(red[0] + red[1] + red[3] + red[4], 0) << Saved("best_total");
  }
}

}  // namespace
}  // namespace orbolan_test
