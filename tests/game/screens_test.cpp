// Composed frames checked by their pixels: the selection's outline, bubbles cut to the board,
// the setup's check marks, the red new best, and the texts and numbers the screens show.
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

namespace hl = plat::headless;

constexpr uint32 RED_PIXEL = 0xFF0000;  // 0x00RRGGBB
constexpr int32 NEW = 5, END = 6, SETUP = 3, SCORES = 4, LOGO = 2;

class ScreenTest : public GameTest {
 protected:
  // Composes the board screen again under the world lock, as a message handler would.
  Picture Compose_Board() {
    std::lock_guard lock(plat::world_lock());
    Create_Screen();
    return Grab_Frame();
  }

  // The pixels where two frames differ, above row `below` (all rows by default).
  static std::set<std::pair<int, int>> Differences(const Picture& a, const Picture& b,
                                                   int below = 420) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < std::min(a.height, below); ++y)
      for (int x = 0; x < a.width; ++x)
        if (a.at(x, y) != b.at(x, y)) out.insert({x, y});
    return out;
  }

  // The border of the union of the marked cells' 48 x 48 boxes: box pixels with a
  // four-neighbour outside every marked box. Worked out from the geometry alone.
  static std::set<std::pair<int, int>> Expected_Outline() {
    auto in_group = [](int x, int y) {
      if (x < 7 || y < 7) return false;
      const int i = (x - 7) / 48, j = (y - 7) / 48;
      return i < FIELD_COLUMNS && j < FIELD_ROWS && PlayField[i][j].marked != 0;
    };
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < 420; ++y)
      for (int x = 0; x < 494; ++x)
        if (in_group(x, y) && (!in_group(x - 1, y) || !in_group(x + 1, y) ||
                               !in_group(x, y - 1) || !in_group(x, y + 1)))
          out.insert({x, y});
    return out;
  }

  // Selects the group under cell (i, j) with a real click and checks its outline: the frame
  // with the group selected differs from the same board without selection exactly on the
  // border of the group, and only in red.
  void Check_Outline_Of_Group_At(int32 i, int32 j, int32 expected_size) {
    const Picture plain = Compose_Board();
    Click(Cell_X(i), Cell_Y(j));
    ASSERT_EQ(number_bubbles_marked, expected_size);
    const Picture marked = Grab_Frame();
    const auto diff = Differences(plain, marked, 350);  // the status line differs too
    const auto expected = Expected_Outline();
    for (const auto& p : expected) {
      if (!diff.count(p) || marked.at(p.first, p.second) != RED_PIXEL) {
        FAIL() << "outline pixel (" << p.first << ", " << p.second << ") is "
               << std::hex << marked.at(p.first, p.second) << "; "
               << Save_Picture(marked, "marked") << ", " << Save_Picture(plain, "plain");
      }
    }
    for (const auto& p : diff) {
      if (!expected.count(p)) {
        FAIL() << "pixel (" << p.first << ", " << p.second << ") changed outside the outline; "
               << Save_Picture(marked, "marked") << ", " << Save_Picture(plain, "plain");
      }
    }
  }
};

// ---- The board ------------------------------------------------------------------------------

TEST_F(ScreenTest, NewGameShowsAFullBoardAndAnEmptyStatus) {
  Start(nullptr);
  Click_Button(NEW);
  EXPECT_STREQ(Status_Text, "Score: 0  Bubble-Points: 0   ---   0 Bubbles selected.");
  // Every cell shows its bubble's picture at rest: compare the bubble's centre pixel.
  const Picture frame = Grab_Frame();
  LPDIRECTDRAWSURFACE pictures[] = {bubble_1, bubble_2, bubble_3, bubble_4, bubble_5};
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      const uint32 want = hl::surface_pixel(pictures[PlayField[i][j].type - 1], 23, 23);
      ASSERT_EQ(frame.at(48 * i + 8 + 23, 48 * j + 8 + 23), want)
          << "cell (" << i << ", " << j << "); " << Save_Picture(frame, "frame");
    }
}

TEST_F(ScreenTest, OutlineOfAnLShapedGroup) {
  Start(nullptr);
  Click_Button(NEW);
  // An L: three down column 2, then two more to the right along row 4.
  Set_Board([](int32 i, int32 j) {
    const bool l = (i == 2 && j >= 2 && j <= 4) || (j == 4 && (i == 3 || i == 4));
    return l ? 5 : Pattern_Colour(i, j);
  });
  Check_Outline_Of_Group_At(4, 4, 5);
  EXPECT_STREQ(Status_Text, "Score: 0  Bubble-Points: 20   ---   5 Bubbles selected.");
}

TEST_F(ScreenTest, OutlineOfAGroupOnAllFourBoardEdges) {
  Start(nullptr);
  Click_Button(NEW);
  // A cross: the whole of column 4 and the whole of row 3, with a hole-free shape that
  // reaches x = 7, x = 486, y = 7 and y = 342.
  Set_Board([](int32 i, int32 j) { return i == 4 || j == 3 ? 5 : Pattern_Colour(i, j); });
  Check_Outline_Of_Group_At(0, 3, 16);
  const Picture frame = Grab_Frame();
  EXPECT_EQ(frame.at(7, 3 * 48 + 30), RED_PIXEL);
  EXPECT_EQ(frame.at(486, 3 * 48 + 30), RED_PIXEL);
  EXPECT_EQ(frame.at(4 * 48 + 30, 7), RED_PIXEL);
  EXPECT_EQ(frame.at(4 * 48 + 30, 342), RED_PIXEL);
}

TEST_F(ScreenTest, OutlineTracesAHoleInsideTheGroup) {
  Start(nullptr);
  Click_Button(NEW);
  // A ring of eight around cell (5, 3).
  Set_Board([](int32 i, int32 j) {
    const bool ring = i >= 4 && i <= 6 && j >= 2 && j <= 4 && !(i == 5 && j == 3);
    return ring ? 5 : Pattern_Colour(i, j);
  });
  Check_Outline_Of_Group_At(4, 2, 8);
}

TEST_F(ScreenTest, ABubbleSlidingInFromTheLeftIsCutAtTheBoardEdge) {
  Start(nullptr);
  Click_Button(NEW);
  Set_Board([](int32, int32) { return 0; });
  Picture empty = Compose_Board();
  PlayField[0][2].type = 4;
  PlayField[0][2].move_pos = {-20, AT_REST};  // spans x = -20 .. 25, the row at rest
  game_busy = 1;
  const Picture frame = Compose_Board();
  game_busy = 0;
  const int y0 = 48 * 2 + 8;
  for (int y = 0; y < 46; ++y) {
    for (int x = 0; x < 7; ++x)
      ASSERT_EQ(frame.at(x, y0 + y), empty.at(x, y0 + y))
          << "drawn over the board's frame at (" << x << ", " << y0 + y << "); "
          << Save_Picture(frame, "frame");
    for (int x = 7; x < 26; ++x) {
      const uint32 src = hl::surface_pixel(bubble_4, x + 20, y);
      const uint32 want = src == 0 ? empty.at(x, y0 + y) : src;  // black is transparent
      ASSERT_EQ(frame.at(x, y0 + y), want)
          << "at (" << x << ", " << y0 + y << "); " << Save_Picture(frame, "frame");
    }
    for (int x = 26; x < 60; ++x) ASSERT_EQ(frame.at(x, y0 + y), empty.at(x, y0 + y));
  }
}

TEST_F(ScreenTest, PositionsFromMovePosOnlyWhileBusy) {
  Start(nullptr);
  Click_Button(NEW);
  Set_Board([](int32, int32) { return 0; });
  const Picture empty = Compose_Board();
  PlayField[3][1].type = 2;
  PlayField[3][1].move_pos = {AT_REST, 48 * 0 + 8};  // falling from row 0, column at rest
  const Picture at_rest = Compose_Board();            // not busy: drawn in its cell
  EXPECT_NE(at_rest.at(48 * 3 + 31, 48 * 1 + 31), empty.at(48 * 3 + 31, 48 * 1 + 31));
  EXPECT_EQ(at_rest.at(48 * 3 + 31, 31), empty.at(48 * 3 + 31, 31));
  game_busy = 1;
  const Picture moving = Compose_Board();
  game_busy = 0;
  EXPECT_NE(moving.at(48 * 3 + 31, 31), empty.at(48 * 3 + 31, 31));
  EXPECT_EQ(moving.at(48 * 3 + 31, 48 + 40), empty.at(48 * 3 + 31, 48 + 40));
}

// ---- Setup, statistics, end of game ---------------------------------------------------------

TEST_F(ScreenTest, SetupShowsExactlyTheMarksOfTheSettings) {
  Start_With(7, 0, 0);  // no value that earns a mark
  Click_Button(SETUP);
  const Picture none = Grab_Frame();
  {
    std::lock_guard lock(plat::world_lock());
    setup_data = {2, 0, 1};
    Create_Screen();
  }
  const Picture two = Grab_Frame();
  struct Mark {
    int x, y;
  };
  const Mark marks[] = {{99, 159}, {280, 119}};
  auto in_mark = [&](int x, int y) {
    for (const Mark& m : marks)
      if (x >= m.x && x < m.x + 17 && y >= m.y && y < m.y + 22) return true;
    return false;
  };
  for (const auto& p : Differences(none, two))
    ASSERT_TRUE(in_mark(p.first, p.second))
        << "changed outside the marks at (" << p.first << ", " << p.second << "); "
        << Save_Picture(two, "frame");
  for (const Mark& m : marks) {
    int ink = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 17; ++x) {
        const uint32 src = hl::surface_pixel(checked_box_pic, x, y);
        const uint32 want = src == 0xFFFFFF ? none.at(m.x + x, m.y + y) : src;
        ink += src != 0xFFFFFF;
        ASSERT_EQ(two.at(m.x + x, m.y + y), want)
            << "mark at (" << m.x << ", " << m.y << ") pixel +(" << x << ", " << y << "); "
            << Save_Picture(two, "frame");
      }
    EXPECT_GT(ink, 10);
  }
}

TEST_F(ScreenTest, StatisticsNumbers) {
  CfgValues cfg;
  const int32 stats[12] = {3, 1000, 640, 0, 77, 0, 2, 999, 600, 1, 5, -1};
  std::copy(std::begin(stats), std::end(stats), cfg.stats);
  Start(&cfg);
  Click_Button(SCORES);
  EXPECT_STREQ(info1, "3");
  EXPECT_STREQ(info2, "333");
  EXPECT_STREQ(info3, "640");
  EXPECT_STREQ(info4, "0");
  EXPECT_STREQ(info5, "77") << "no games: the sum itself, nothing divided by zero";
  EXPECT_STREQ(info8, "499");
  EXPECT_STREQ(info12, "4294967295") << "a damaged negative value reads unsigned";
  EXPECT_STREQ(Status_Text, "Click 'Reset' to clear the damn thing...");
}

// The red pixels in the rows of the five numbers of the end-of-game table.
std::vector<int> Red_Per_Row(const Picture& frame) {
  std::vector<int> red;
  for (int row_y : {115, 146, 176, 208, 238}) {
    int n = 0;
    for (int y = row_y; y < row_y + 16; ++y)
      for (int x = 260; x < 410; ++x) n += frame.at(x, y) == RED_PIXEL;
    red.push_back(n);
  }
  return red;
}

TEST_F(ScreenTest, ANewBestTotalIsRed) {
  Start(nullptr);
  Click_Button(NEW);
  {
    std::lock_guard lock(plat::world_lock());
    game_score = {540, 100};
    highscore = 1;
    score_statistic.normal = {4, 2000, 640};
    change_mode(MODE_GAME_SCORE);
  }
  EXPECT_STREQ(info1, "540");
  EXPECT_STREQ(info2, "100");
  EXPECT_STREQ(info3, "640");
  EXPECT_STREQ(info4, "500");
  EXPECT_STREQ(info5, "4");
  EXPECT_STREQ(Status_Text, "You have a new highscore!!");
  const Picture best = Grab_Frame();
  const auto red = Red_Per_Row(best);
  EXPECT_GT(red[2], 10) << Save_Picture(best, "frame");
  EXPECT_EQ(red[0] + red[1] + red[3] + red[4], 0) << Save_Picture(best, "frame");
  {
    std::lock_guard lock(plat::world_lock());
    highscore = 0;
    Create_Screen();
  }
  const Picture plain = Grab_Frame();
  EXPECT_EQ(Red_Per_Row(plain)[2], 0) << Save_Picture(plain, "frame");
  EXPECT_STREQ(Status_Text, "Game Over!");
}

// ---- Start, credits, repaint ---------------------------------------------------------------

TEST_F(ScreenTest, StartScreenIsShownInTheWindow) {
  Start(nullptr);
  EXPECT_STREQ(Status_Text, "Click 'New' to start a new game!");
  const Picture frame = Grab_Frame();
  const Picture window = Grab_Window();
  for (int y = 0; y < 419; ++y)
    for (int x = 0; x < 493; ++x)
      ASSERT_EQ(window.at(x, y), frame.at(x, y))
          << "window differs from the frame at (" << x << ", " << y << "); "
          << Save_Picture(window, "window");
  // The title lettering at (20, 50), its black surroundings transparent.
  int letters = 0;
  for (int y = 0; y < 114; y += 3)
    for (int x = 0; x < 457; x += 3) {
      const uint32 src = hl::surface_pixel(pic, x, y);
      if (src == 0) continue;
      ++letters;
      ASSERT_EQ(frame.at(20 + x, 50 + y), src) << Save_Picture(frame, "frame");
    }
  EXPECT_GT(letters, 100);
}

TEST_F(ScreenTest, CreditsLinesAndSeparators) {
  Start(nullptr);
  Click_Button(LOGO);
  EXPECT_STREQ(info1, "Orbolan v1.0");
  EXPECT_EQ(std::string(info2), std::string(100, '-'));
  EXPECT_EQ(std::string(info6), std::string(100, '-'));
  for (const char* line : {info3, info4, info5, info7, info8, info20, info21, info22, info23,
                           info24})
    EXPECT_TRUE(line != nullptr && line[0] != '\0');
  EXPECT_STREQ(Status_Text, "The creators of Orbolan...");
  // The separator runs into the frame's right edge (and is cut there).
  const Picture frame = Grab_Frame();
  bool ink_near_edge = false;
  for (int y = 55; y < 70; ++y)
    for (int x = 470; x < 494; ++x) ink_near_edge |= frame.at(x, y) == 0;
  EXPECT_TRUE(ink_near_edge) << Save_Picture(frame, "frame");
}

TEST_F(ScreenTest, PaintShowsTheLastFrameOnlyOnceInitialised) {
  ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
  hl::post(WM_PAINT, 0, 0);
  Pump();
  EXPECT_EQ(hl::present_count(), 0) << "nothing to show before Game_Init";
  Restart(nullptr);
  Click_Button(NEW);
  const Picture frame = Grab_Frame();
  const int presents = hl::present_count();
  hl::post(WM_PAINT, 0, 0);
  Pump();
  EXPECT_EQ(hl::present_count(), presents + 1);
  EXPECT_TRUE(Differences(frame, Grab_Frame()).empty()) << "repaint does not compose anew";
}

}  // namespace
}  // namespace orbolan_test
