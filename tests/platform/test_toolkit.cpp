// The drawing toolkit, the default font and the shell in the headless backend: copies,
// scaling, keys, clipping, bad rectangles, lines, colours, text, and closing to exit code 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/font.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/platform/fixtures.h"

namespace hl = plat::headless;

namespace {

constexpr uint32 BG = 0x334455;
const RECT BOARD{7, 7, 486, 342};
using Box = std::array<int, 4>;  // left, top, right, bottom
constexpr Box NONE{10000, 10000, -1, -1};

int width_of(const std::string& s) { return plat::text_width(s.data(), static_cast<int>(s.size())); }

class Toolkit : public ::testing::Test {
 protected:
  void SetUp() override { open(); }
  void TearDown() override { hl::reset(); }
  // Opens the display and makes a 494 x 420 frame filled with BG.
  void open() {
    hl::reset(), reset_game_record();
    ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
    frame = CreateOffScreenSurface(dd_Object, 494, 420);
    ASSERT_TRUE(frame);
    FillSurface(frame, 0, 0, 494, 420, BG);
  }
  static uint32 px(LPDIRECTDRAWSURFACE s, int x, int y) { return hl::surface_pixel(s, x, y); }
  // A w x h surface whose pixels encode their own place (never white, never black).
  static LPDIRECTDRAWSURFACE numbered(int w, int h) {
    LPDIRECTDRAWSURFACE s = CreateOffScreenSurface(dd_Object, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) s->pixels()[y * w + x] = 0x800000u | (y << 8) | x;
    return s;
  }
  // Bounding box of the frame's pixels that differ from `background`.
  Box changed_box(uint32 background = BG) const {
    Box r = NONE;
    for (int y = 0; y < 420; ++y)
      for (int x = 0; x < 494; ++x)
        if (px(frame, x, y) != background)
          r = {std::min(r[0], x), std::min(r[1], y), std::max(r[2], x + 1), std::max(r[3], y + 1)};
    return r;
  }
  LPDIRECTDRAWSURFACE frame = nullptr;
};

}  // namespace

TEST_F(Toolkit, BackgroundCopiesOneToOne) {
  const auto expected = test_picture(100);
  PutSurface(0, 0, LoadSurface(100), frame);
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) ASSERT_EQ(px(frame, x, y), expected[y * 494 + x]) << x << "," << y;
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, PictureReachingTheRightEdgeIsScaledIntoTheRestOfTheFrame) {
  LPDIRECTDRAWSURFACE pic = numbered(100, 50);
  PutSurface(394, 100, pic, frame);  // x + w = W: the target becomes (x, y, W, H)
  EXPECT_EQ(changed_box(), (Box{394, 100, 494, 420}));
  EXPECT_EQ(px(frame, 493, 100), px(pic, 99, 0));  // unscaled across
  EXPECT_EQ(px(frame, 394, 419), px(pic, 0, 49));  // 50 rows stretched over 320
  EXPECT_EQ(px(frame, 394, 164), px(pic, 0, 10));
}

TEST_F(Toolkit, KeyedCopiesDrawNothingAtTheEdgeAndKeepTheFrameUnderBlackCorners) {
  LPDIRECTDRAWSURFACE pic = numbered(100, 50);
  SetColorKey(pic, 0);
  PutSurfaceCC(394, 100, pic, frame);  // x + w = W
  PutSurfaceCC(0, 370, pic, frame);    // y + h = H
  EXPECT_EQ(changed_box(), NONE);
  EXPECT_EQ(hl::beep_count(), 0);

  LPDIRECTDRAWSURFACE bubble = LoadSurface(129);
  SetColorKey(bubble, 0);
  PutSurfaceCC(56, 104, bubble, frame);
  EXPECT_EQ(px(frame, 56, 104), BG);
  EXPECT_EQ(px(frame, 101, 149), BG);
  EXPECT_EQ(px(frame, 56 + 23, 104 + 23), test_picture(129)[23 * 46 + 23]);
  EXPECT_EQ(changed_box(), (Box{56, 104, 102, 150}));
}

TEST_F(Toolkit, ClippedBubblesDrawOnlyTheirPartInsideTheBoardUnscaled) {
  // Where the bubble goes, the frame's changed area, and a frame pixel with the bubble pixel
  // it must show (none when that x < 0).
  struct Case { const char* what; int x, y; Box box; POINT at, from; } const cases[] = {
      {"half out on the left", 7 - 23, 100, {7, 100, 30, 146}, {7, 100}, {23, 0}},
      {"out over right and bottom", 470, 320, {470, 320, 486, 342}, {485, 341}, {15, 21}},
      {"touching top-left inside", 7, 7, {7, 7, 53, 53}, {7, 7}, {0, 0}},
      {"touching bottom-right inside", 440, 296, {440, 296, 486, 342}, {485, 341}, {45, 45}},
      {"wholly outside, left", -40, 56, NONE, {0, 0}, {-1, -1}},
      {"wholly outside, below", 100, 342, NONE, {0, 0}, {-1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
      LPDIRECTDRAWSURFACE pic = numbered(46, 46);
    SetColorKey(pic, 0xFFFFFF);  // no pixel is white: everything inside is drawn
    PutSurfaceClipCC(c.x, c.y, pic, frame, BOARD);
    EXPECT_EQ(changed_box(), c.box);
    if (c.from.x >= 0) {
      EXPECT_EQ(px(frame, c.at.x, c.at.y), px(pic, c.from.x, c.from.y));
    }
    EXPECT_EQ(hl::beep_count(), 0);
    open();
  }
}

TEST_F(Toolkit, InvalidRectanglesBeepAndDrawNothing) {
  LPDIRECTDRAWSURFACE pic = numbered(10, 10);
  FillSurface(frame, 20, 20, 10, 30, 0);   // inverted
  FillSurface(frame, 20, 20, 20, 30, 0);   // empty
  FillSurface(frame, 400, 0, 600, 10, 0);  // out of bounds
  PutSurface(-5, 0, pic, frame);           // reaches out of the frame
  PutSurface(0, 0, nullptr, frame);        // a picture that failed to load
  EXPECT_EQ(hl::beep_count(), 5);
  EXPECT_EQ(changed_box(), NONE);
  FillSurface(frame, 0, 0, 494, 420, 0);  // a valid one stays silent
  EXPECT_EQ(hl::beep_count(), 5);
}

TEST_F(Toolkit, LinesLeaveOutTheirEndPoint) {
  struct Line { int x1, y1, x2, y2, length; };
  for (const Line& l : {Line{10, 10, 20, 10, 10}, Line{20, 30, 20, 10, 20}, Line{5, 5, 15, 15, 10},
                        Line{40, 40, 31, 44, 9}, Line{50, 50, 50, 50, 0}}) {
    SCOPED_TRACE(::testing::Message() << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2);
    FillSurface(frame, 0, 0, 494, 420, 0);
    DrawLine(frame, l.x1, l.y1, l.x2, l.y2, 0x0000FF);  // red as a colour reference
    int painted = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) painted += px(frame, x, y) == 0xFF0000u;
    EXPECT_EQ(painted, l.length);
    EXPECT_EQ(px(frame, l.x1, l.y1) == 0xFF0000u, l.length > 0);
    EXPECT_EQ(px(frame, l.x2, l.y2), 0u);
  }
}

TEST_F(Toolkit, ColorMatchLeavesTheSurfaceUnchanged) {
  LPDIRECTDRAWSURFACE pic = numbered(4, 4);
  EXPECT_EQ(ColorMatch(pic, 0x123456), 0x563412u);  // colour reference BGR to pixel RGB
  EXPECT_EQ(ColorMatch(pic, CLR_INVALID), 0x800000u);  // the top-left pixel as it is
  EXPECT_EQ(px(pic, 0, 0), 0x800000u);
}

TEST(Font, LongestStatusLineFitsAndSeparatorIsWideEnough) {
  EXPECT_LT(10 + width_of("Score: 4294967295  Bubble-Points: 4830   ---   70 Bubbles selected."), 487);
  EXPECT_GT(width_of(std::string(100, '-')), 444);
}

TEST_F(Toolkit, LoadingTextIsCentredWithItsTopAtY) {
  ShowTextCenter(frame, 245, 195, "Loading Orbolan...", 0xFFFFFF);
  const Box r = changed_box();
  EXPECT_NEAR(r[2] - r[0], width_of("Loading Orbolan..."), 3);
  EXPECT_NEAR((r[0] + r[2]) / 2.0, 245.0, 3.0);
  EXPECT_NEAR(r[1], 197, 2);  // the capital L reaches nearly to the top of the line
}

// ---- The shell -------------------------------------------------------------------------------

TEST_F(Toolkit, CloseRunsShutdownThenDestroysThenQuitsWithZero) {
  hl::reset();  // WinMain opens the display itself
  game_record.post_close_in_init = true;
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(game_record.events, (std::vector<std::string>{"init", "shutdown", "destroy released"}));
  const auto& m = game_record.messages;  // the game saw the close, then the destruction
  ASSERT_GE(m.size(), 2u);
  EXPECT_EQ(std::vector<uint32>(m.end() - 2, m.end()), (std::vector<uint32>{WM_CLOSE, WM_DESTROY}));
  EXPECT_EQ(dd_Object, nullptr);
  EXPECT_FALSE(hl::timer_alive());
}
