// The drawing toolkit, the default font and the shell in the headless backend: blits,
// scaling, keys, clipping, parameter checks, lines, colour matching, text, and the closing
// path from WM_CLOSE to the exit code.
#include <gtest/gtest.h>

#include <algorithm>
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

static bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
[[maybe_unused]] static void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr uint32 BG = 0x334455;
const RECT BOARD{7, 7, 486, 342};


int width_of(const std::string& s) { return plat::text_width(s.data(), static_cast<int>(s.size())); }

class Toolkit : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::reset();
    reset_game_record();
    main_hwnd = nullptr, dd_Object = nullptr, dd_Primary = nullptr, v_screen = nullptr;
  }
  void TearDown() override { hl::reset(); }
  // Opens the display and makes a 494 x 420 frame filled with BG.
  void open() {
    ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
    frame = CreateOffScreenSurface(dd_Object, 494, 420);
    ASSERT_TRUE(frame);
    FillSurface(frame, 0, 0, 494, 420, BG);
    hl::clear_sound_log();
  }
  static uint32 px(LPDIRECTDRAWSURFACE s, int x, int y) { return hl::surface_pixel(s, x, y); }
  // A w x h surface whose pixels encode their own place (never white, never black).
  static LPDIRECTDRAWSURFACE numbered(int w, int h) {
    LPDIRECTDRAWSURFACE s = CreateOffScreenSurface(dd_Object, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) s->pixels()[y * w + x] = 0x800000u | (y << 8) | x;
    return s;
  }
  // Bounding box of the frame's pixels that differ from `background` (right -1: none).
  RECT changed_box(uint32 background = BG) const {
    RECT r{10000, 10000, -1, -1};
    for (int y = 0; y < 420; ++y)
      for (int x = 0; x < 494; ++x)
        if (px(frame, x, y) != background)
          r = RECT{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    return r;
  }
  LPDIRECTDRAWSURFACE frame = nullptr;
};

}  // namespace

// ---- Copies, scaling and keys ----------------------------------------------------------------

TEST_F(Toolkit, BackgroundCopiesOneToOne) {
  open();
  LPDIRECTDRAWSURFACE bk = LoadSurface(100);
  ASSERT_TRUE(bk);
  const auto expected = test_picture(100);
  PutSurface(0, 0, bk, frame);
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) ASSERT_EQ(px(frame, x, y), expected[y * 494 + x]) << x << "," << y;
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, PictureReachingTheRightEdgeIsScaledIntoTheRestOfTheFrame) {
  open();
  LPDIRECTDRAWSURFACE pic = numbered(100, 50);
  PutSurface(394, 100, pic, frame);  // x + w = W: the target becomes (x, y, W, H)
  EXPECT_EQ(changed_box(), (RECT{394, 100, 494, 420}));
  EXPECT_EQ(px(frame, 493, 100), px(pic, 99, 0));  // unscaled across
  EXPECT_EQ(px(frame, 394, 419), px(pic, 0, 49));  // 50 rows stretched over 320
  EXPECT_EQ(px(frame, 394, 164), px(pic, 0, 10));
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, KeyedCopiesDrawNothingAtTheEdgeAndKeepTheFrameUnderBlackCorners) {
  open();
  LPDIRECTDRAWSURFACE pic = numbered(100, 50);
  SetColorKey(pic, 0);
  PutSurfaceCC(394, 100, pic, frame);  // x + w = W
  PutSurfaceCC(0, 370, pic, frame);    // y + h = H
  EXPECT_EQ(changed_box().right, -1);
  EXPECT_EQ(hl::beep_count(), 0);

  LPDIRECTDRAWSURFACE bubble = LoadSurface(129);
  ASSERT_TRUE(bubble);
  SetColorKey(bubble, 0);
  PutSurfaceCC(56, 104, bubble, frame);
  EXPECT_EQ(px(frame, 56, 104), BG);
  EXPECT_EQ(px(frame, 101, 149), BG);
  EXPECT_EQ(px(frame, 56 + 23, 104 + 23), test_picture(129)[23 * 46 + 23]);
  EXPECT_EQ(changed_box(), (RECT{56, 104, 102, 150}));
}

TEST_F(Toolkit, ClippedBubblesDrawOnlyTheirPartInsideTheBoardUnscaled) {
  struct Case {
    const char* what;
    int x, y;
    RECT box;        // changed area of the frame
    POINT at, from;  // a frame pixel and the bubble pixel it must show
  };
  const Case cases[] = {
      {"half out on the left", 7 - 23, 100, {7, 100, 30, 146}, {7, 100}, {23, 0}},
      {"out over right and bottom", 470, 320, {470, 320, 486, 342}, {485, 341}, {15, 21}},
      {"touching top-left inside", 7, 7, {7, 7, 53, 53}, {7, 7}, {0, 0}},
      {"touching bottom-right inside", 440, 296, {440, 296, 486, 342}, {485, 341}, {45, 45}},
      {"wholly outside, left", -40, 56, {10000, 10000, -1, -1}, {0, 0}, {-1, -1}},
      {"wholly outside, below", 100, 342, {10000, 10000, -1, -1}, {0, 0}, {-1, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    open();
    LPDIRECTDRAWSURFACE pic = numbered(46, 46);
    SetColorKey(pic, 0xFFFFFF);  // no pixel is white: everything inside is drawn
    PutSurfaceClipCC(c.x, c.y, pic, frame, BOARD);
    EXPECT_EQ(changed_box(), c.box);
    if (c.from.x >= 0) {
      EXPECT_EQ(px(frame, c.at.x, c.at.y), px(pic, c.from.x, c.from.y));
    }
    EXPECT_EQ(hl::beep_count(), 0);
    hl::reset();
  }
}

TEST_F(Toolkit, InvalidRectanglesBeepAndDrawNothing) {
  open();
  LPDIRECTDRAWSURFACE pic = numbered(10, 10);
  FillSurface(frame, 20, 20, 10, 30, 0);   // inverted
  FillSurface(frame, 20, 20, 20, 30, 0);   // empty
  FillSurface(frame, 400, 0, 600, 10, 0);  // out of bounds
  PutSurface(-5, 0, pic, frame);           // reaches out of the frame
  PutSurface(0, 0, nullptr, frame);        // a picture that failed to load
  EXPECT_EQ(hl::beep_count(), 5);
  EXPECT_EQ(changed_box().right, -1);
  FillSurface(frame, 0, 0, 494, 420, 0);  // a valid one stays silent
  EXPECT_EQ(hl::beep_count(), 5);
}

// ---- Lines, colours, text --------------------------------------------------------------------

TEST_F(Toolkit, LinesLeaveOutTheirEndPoint) {
  struct Line {
    int x1, y1, x2, y2, length;
  };
  open();
  for (const Line& l : {Line{10, 10, 20, 10, 10}, Line{20, 30, 20, 10, 20}, Line{5, 5, 15, 15, 10},
                        Line{40, 40, 31, 44, 9}, Line{50, 50, 50, 50, 0}}) {
    SCOPED_TRACE(::testing::Message() << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2);
    FillSurface(frame, 0, 0, 494, 420, 0);
    DrawLine(frame, l.x1, l.y1, l.x2, l.y2, 0x0000FF);  // red as a colour reference
    int painted = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) painted += px(frame, x, y) == 0xFF0000u;
    EXPECT_EQ(painted, l.length);
    if (l.length) {
      EXPECT_EQ(px(frame, l.x1, l.y1), 0xFF0000u);
    }
    EXPECT_EQ(px(frame, l.x2, l.y2), 0u);
  }
}

TEST_F(Toolkit, ColorMatchLeavesTheSurfaceUnchanged) {
  open();
  LPDIRECTDRAWSURFACE pic = numbered(4, 4);
  EXPECT_EQ(ColorMatch(pic, 0x123456), 0x563412u);  // colour reference BGR to pixel RGB
  EXPECT_EQ(ColorMatch(pic, CLR_INVALID), 0x800000u);  // the top-left pixel as it is
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(px(pic, x, y), 0x800000u | (y << 8) | x);
}

TEST(Font, LongestStatusLineFitsAndSeparatorIsWideEnough) {
  std::printf("font: %s\n", plat::default_font().name);
  EXPECT_LT(10 + width_of("Score: 4294967295  Bubble-Points: 4830   ---   70 Bubbles selected."), 487);
  EXPECT_GT(width_of(std::string(100, '-')), 444);
}

TEST_F(Toolkit, LoadingTextIsCentredWithItsTopAtY) {
  open();
  FillSurface(frame, 0, 0, 494, 420, 0);
  ShowTextCenter(frame, 245, 195, "Loading Orbolan...", 0xFFFFFF);
  const RECT r = changed_box(0);
  const int width = width_of("Loading Orbolan...");
  ASSERT_GT(r.right, r.left);
  EXPECT_GE(r.left, 245 - width / 2 - 1);
  EXPECT_LE(r.right, 245 - width / 2 + width + 1);
  EXPECT_NEAR((r.left + r.right) / 2.0, 245.0, 3.0);
  EXPECT_GE(r.top, 195);
  EXPECT_LE(r.top, 195 + 4);  // the capital L reaches nearly to the top of the line
}

// ---- The shell -------------------------------------------------------------------------------

TEST_F(Toolkit, CloseRunsShutdownThenDestroysThenQuitsWithZero) {
  game_record().post_close_in_init = true;
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(game_record().events, (std::vector<std::string>{"init", "shutdown", "destroy released"}));
  const auto& m = game_record().messages;
  ASSERT_GE(m.size(), 2u);
  EXPECT_EQ(m[m.size() - 2], WM_CLOSE);
  EXPECT_EQ(m.back(), WM_DESTROY);
  EXPECT_EQ(dd_Object, nullptr);
  EXPECT_FALSE(hl::timer_alive());
}

TEST_F(Toolkit, NoDisplayShowsOneBoxAndEndsWithAFailureCode) {
  hl::set_display_available(false);
  hl::set_box_answer(-1);  // no box can be shown either: the text goes to standard error
  ::testing::internal::CaptureStderr();
  EXPECT_NE(WinMain(nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ERROR: Direct Draw Initialisierung fehlgeschlagen!\n");
  EXPECT_EQ(hl::message_boxes().size(), 1u);
  EXPECT_TRUE(game_record().events.empty());  // Game_Init never ran
}
