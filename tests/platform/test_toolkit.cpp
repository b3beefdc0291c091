// The drawing toolkit in the headless display: blits, clipping, keys, fills, lines,
// colour matching, picture loading, surface loss and the frame reaching the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/platform/fixtures.h"

namespace hl = plat::headless;

namespace {

const RECT BOARD{7, 7, 486, 342};

class Toolkit : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::reset();
    reset_game_record();
    ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
    frame = CreateOffScreenSurface(dd_Object, 494, 420);
    ASSERT_TRUE(frame);
    fill(frame, 0x334455);
    hl::clear_sound_log();
  }
  void TearDown() override {
    hl::reset();
    dd_Object = nullptr, dd_Primary = nullptr, v_screen = nullptr, main_hwnd = nullptr;
  }

  static void fill(LPDIRECTDRAWSURFACE s, uint32 pixel) {
    FillSurface(s, 0, 0, s->width(), s->height(), pixel);
  }
  static uint32 px(LPDIRECTDRAWSURFACE s, int x, int y) { return hl::surface_pixel(s, x, y); }
  // A w x h surface whose pixels encode their own place.
  static LPDIRECTDRAWSURFACE numbered(int w, int h) {
    LPDIRECTDRAWSURFACE s = CreateOffScreenSurface(dd_Object, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) s->pixels()[y * w + x] = 0x800000u | (y << 8) | x;
    return s;
  }
  // Pixels of the frame that differ from the background fill, as a bounding box.
  RECT changed_box(uint32 background = 0x334455) const {
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

// ---- Plain and scaled copies -------------------------------------------------------------

TEST_F(Toolkit, BackgroundCopiesOneToOne) {
  LPDIRECTDRAWSURFACE bk = LoadSurface(100);
  ASSERT_TRUE(bk);
  const TestPicture expected = test_picture(100);
  PutSurface(0, 0, bk, frame);
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x)
      ASSERT_EQ(px(frame, x, y), expected.pixels[y * 494 + x]) << "first difference at " << x << "," << y;
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, PictureReachingTheRightEdgeIsScaledIntoTheRestOfTheFrame) {
  LPDIRECTDRAWSURFACE pic = numbered(100, 50);
  PutSurface(394, 100, pic, frame);  // x + w = W: the test fails, so (x, y, W, H) is the target
  EXPECT_EQ(changed_box(), (RECT{394, 100, 494, 420}));
  EXPECT_EQ(px(frame, 394, 100), px(pic, 0, 0));
  EXPECT_EQ(px(frame, 493, 100), px(pic, 99, 0));   // unscaled across
  EXPECT_EQ(px(frame, 394, 419), px(pic, 0, 49));   // stretched 320 rows down to the bottom
  EXPECT_EQ(px(frame, 394, 164), px(pic, 0, 10));   // 320 / 50 = 6.4 rows per source row
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, KeyedCopyReachingTheEdgeDrawsNothing) {
  LPDIRECTDRAWSURFACE pic = numbered(100, 50);
  SetColorKey(pic, 0);
  hl::mark_surface_lost(pic, true);  // not even the loss check runs
  PutSurfaceCC(394, 100, pic, frame);
  PutSurfaceCC(0, 370, pic, frame);  // y + h = H
  EXPECT_EQ(changed_box().right, -1);
  EXPECT_EQ(hl::beep_count(), 0);
  EXPECT_EQ(hl::pump(), 0);
}

TEST_F(Toolkit, KeyedBubbleLeavesTheFrameUnderItsBlackCorners) {
  LPDIRECTDRAWSURFACE bubble = LoadSurface(129);
  ASSERT_TRUE(bubble);
  SetColorKey(bubble, 0);
  PutSurfaceCC(56, 104, bubble, frame);
  EXPECT_EQ(px(frame, 56, 104), 0x334455u);   // corners: frame unchanged
  EXPECT_EQ(px(frame, 101, 149), 0x334455u);
  EXPECT_EQ(px(frame, 56 + 23, 104 + 23), px(bubble, 23, 23));
  EXPECT_EQ(changed_box(), (RECT{56, 104, 102, 150}));
}

// ---- Clipping to the board -------------------------------------------------------------

TEST_F(Toolkit, BubbleHalfOutsideTheBoardDrawsOnlyItsInsideHalfUnscaled) {
  LPDIRECTDRAWSURFACE pic = numbered(46, 46);
  SetColorKey(pic, 0xFFFFFF);  // no pixel is white: everything is drawn
  PutSurfaceClipCC(7 - 23, 100, pic, frame, BOARD);
  EXPECT_EQ(changed_box(), (RECT{7, 100, 7 + 23, 146}));
  EXPECT_EQ(px(frame, 7, 100), px(pic, 23, 0));
  EXPECT_EQ(px(frame, 29, 145), px(pic, 45, 45));
  PutSurfaceClipCC(470, 320, pic, frame, BOARD);  // out over the right and the bottom
  EXPECT_EQ(px(frame, 485, 341), px(pic, 15, 21));
  EXPECT_EQ(px(frame, 486, 341), 0x334455u);
  EXPECT_EQ(px(frame, 485, 342), 0x334455u);
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, BubbleWhollyOutsideTheBoardChangesNothingAndDoesNotBeep) {
  LPDIRECTDRAWSURFACE pic = numbered(46, 46);
  SetColorKey(pic, 0xFFFFFF);
  for (int x : {-40, -46, -136}) PutSurfaceClipCC(x, 56, pic, frame, BOARD);
  PutSurfaceClipCC(100, 342, pic, frame, BOARD);
  EXPECT_EQ(changed_box().right, -1);
  EXPECT_EQ(hl::beep_count(), 0);
}

TEST_F(Toolkit, BubbleTouchingTheBoardEdgeFromInsideIsDrawnWhole) {
  LPDIRECTDRAWSURFACE pic = numbered(46, 46);
  SetColorKey(pic, 0xFFFFFF);
  PutSurfaceClipCC(7, 7, pic, frame, BOARD);
  PutSurfaceClipCC(486 - 46, 342 - 46, pic, frame, BOARD);
  EXPECT_EQ(changed_box(), (RECT{7, 7, 486, 342}));
  EXPECT_EQ(px(frame, 7, 7), px(pic, 0, 0));
  EXPECT_EQ(px(frame, 485, 341), px(pic, 45, 45));
}

// ---- Invalid parameters ---------------------------------------------------------------

TEST_F(Toolkit, InvalidRectanglesBeepAndDrawNothing) {
  LPDIRECTDRAWSURFACE pic = numbered(10, 10);
  FillSurface(frame, 20, 20, 10, 30, 0);    // inverted
  FillSurface(frame, 20, 20, 20, 30, 0);    // empty
  FillSurface(frame, 400, 0, 600, 10, 0);   // out of bounds
  PutSurface(-5, 0, pic, frame);            // (-5, 0, 5, 10) reaches out of the frame
  EXPECT_EQ(hl::beep_count(), 4);
  EXPECT_EQ(changed_box().right, -1);
  PutSurface(0, 0, nullptr, frame);         // a picture that failed to load
  EXPECT_EQ(hl::beep_count(), 5);
  FillSurface(frame, 0, 0, 494, 420, 0);    // and a valid one stays silent
  EXPECT_EQ(hl::beep_count(), 5);
}

// ---- Lines, colours, text ---------------------------------------------------------------

TEST_F(Toolkit, LinesLeaveOutTheirEndPoint) {
  struct Line {
    int x1, y1, x2, y2, length;
  };
  for (const Line& l : {Line{10, 10, 20, 10, 10}, Line{20, 30, 20, 10, 20}, Line{5, 5, 15, 15, 10},
                        Line{40, 40, 31, 44, 9}, Line{50, 50, 50, 50, 0}}) {
    fill(frame, 0);
    DrawLine(frame, l.x1, l.y1, l.x2, l.y2, 0x0000FF);  // red
    int painted = 0;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 60; ++x) painted += px(frame, x, y) == 0xFF0000u;
    EXPECT_EQ(painted, l.length) << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2;
    if (l.length) {
      EXPECT_EQ(px(frame, l.x1, l.y1), 0xFF0000u);
    }
    EXPECT_EQ(px(frame, l.x2, l.y2), 0u);
  }
}

TEST_F(Toolkit, LineWithoutDrawingContextShowsTheErrorBox) {
  hl::set_dc_available(frame, false);
  DrawLine(frame, 0, 0, 10, 0, 0xFF);
  ASSERT_EQ(hl::message_boxes().size(), 1u);
  EXPECT_EQ(hl::message_boxes()[0].caption, "ERROR");
  EXPECT_EQ(hl::message_boxes()[0].text, "Kein DC verf\xFCgbar!");
  EXPECT_EQ(hl::message_boxes()[0].flags, MB_OK);
  EXPECT_EQ(changed_box().right, -1);
}

TEST_F(Toolkit, ColorMatchLeavesTheSurfaceUnchanged) {
  LPDIRECTDRAWSURFACE pic = numbered(4, 4);
  EXPECT_EQ(ColorMatch(pic, 0x0000FF), 0xFF0000u);  // colour reference BGR to pixel RGB
  EXPECT_EQ(ColorMatch(pic, 0x123456), 0x563412u);
  EXPECT_EQ(px(pic, 0, 0), 0x800000u);
  EXPECT_EQ(ColorMatch(pic, CLR_INVALID), 0x800000u);  // the top-left pixel as it is
  hl::mark_surface_lost(pic, true);
  EXPECT_EQ(ColorMatch(pic, 0xFF), CLR_INVALID);
}

TEST_F(Toolkit, TextWithoutDrawingContextDrawsNothing) {
  hl::set_dc_available(frame, false);
  ShowText(frame, 10, 10, "Score", 0xFFFFFF);
  EXPECT_EQ(changed_box().right, -1);
  EXPECT_TRUE(hl::message_boxes().empty());
}

// ---- Pictures ----------------------------------------------------------------------------

TEST_F(Toolkit, PicturesLoadByIdAtTheirSize) {
  LPDIRECTDRAWSURFACE bubble = LoadSurface(129);
  ASSERT_TRUE(bubble);
  EXPECT_EQ(bubble->width(), 46);
  EXPECT_EQ(bubble->height(), 46);
  EXPECT_EQ(px(bubble, 23, 23), test_picture(129).pixels[23 * 46 + 23]);
  EXPECT_EQ(LoadSurface(99), nullptr);
  EXPECT_TRUE(hl::message_boxes().empty());
  LPDIRECTDRAWSURFACE f = CreateOffScreenSurface(dd_Object, 494, 420);
  EXPECT_EQ(f->width(), 494);
  EXPECT_EQ(f->height(), 420);
  EXPECT_EQ(CreateOffScreenSurface(dd_Object, 0, 10), nullptr);
  EXPECT_EQ(CreateOffScreenSurface(dd_Object, 100000, 100000), nullptr);
}

TEST_F(Toolkit, FileNamesLoadFilesAndMissingNamesGiveNullSilently) {
  const std::string path = ::testing::TempDir() + "toolkit_picture.bmp";
  LPDIRECTDRAWSURFACE pic = numbered(6, 3);
  ASSERT_TRUE(hl::save_surface_bmp(pic, path.c_str()));
  LPDIRECTDRAWSURFACE loaded = LoadSurface(path.c_str());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->width(), 6);
  EXPECT_EQ(px(loaded, 5, 2), px(pic, 5, 2));
  std::remove(path.c_str());
  EXPECT_EQ(LoadSurface(path.c_str()), nullptr);
  EXPECT_TRUE(hl::message_boxes().empty());
}

TEST_F(Toolkit, PictureWithoutDisplayObjectReportsTheFailure) {
  EXPECT_EQ(DDLoadBitmap(nullptr, RESOURCE_NAME(129)), nullptr);
  ASSERT_EQ(hl::message_boxes().size(), 1u);
  EXPECT_EQ(hl::message_boxes()[0].text, "Fehler beim laden eines Bildes!");
}

TEST_F(Toolkit, ReloadTakesTheResourceFirstAndReportsFailures) {
  LPDIRECTDRAWSURFACE bubble = LoadSurface(129);
  fill(bubble, 0x123456);
  EXPECT_EQ(ReLoadSurface(bubble, 129), DD_OK);
  EXPECT_EQ(px(bubble, 23, 23), test_picture(129).pixels[23 * 46 + 23]);

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ReLoadSurface(bubble, 98), E_FAIL);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "handle is null\n");
  hl::set_dc_available(bubble, false);
  ::testing::internal::CaptureStderr();
  EXPECT_NE(ReLoadSurface(bubble, 129), DD_OK);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ddcopybitmap failed\n");
}

// ---- Surface loss and the window -----------------------------------------------------------

TEST_F(Toolkit, LostSurfacesPostOneMessageEachAndTheBlitIsStillTried) {
  LPDIRECTDRAWSURFACE pic = numbered(10, 10);
  hl::mark_surface_lost(pic, true);
  hl::mark_surface_lost(frame, true);
  PutSurface(5, 5, pic, frame);
  hl::pump();
  int lost = 0;
  for (uint32 m : game_record().messages) lost += m == SURFACE_LOST_MSG;
  EXPECT_EQ(lost, 2);
  EXPECT_EQ(hl::beep_count(), 0);  // a lost surface is not a parameter error
  hl::mark_surface_lost(frame, false);
  FillSurface(frame, 0, 0, 1, 1, 0);  // fills do not check for loss
  hl::pump();
  EXPECT_EQ(game_record().messages.size(), 2u);
}

TEST_F(Toolkit, FrameReachesTheWindowClippedToTheClientArea) {
  LPDIRECTDRAWSURFACE bk = LoadSurface(100);
  PutSurface(0, 0, bk, frame);
  const int before = hl::present_count();
  PutSurfacePrimary(0, 0, frame);
  EXPECT_EQ(hl::present_count(), before + 1);
  for (int y = 0; y < 419; y += 7)
    for (int x = 0; x < 493; x += 3) ASSERT_EQ(hl::window_pixel(x, y), px(frame, x, y)) << x << "," << y;
  EXPECT_EQ(hl::window_pixel(492, 418), px(frame, 492, 418));
  // A single button face lands at its own place, leaving the rest of the window alone.
  LPDIRECTDRAWSURFACE face = numbered(62, 38);
  PutSurfacePrimary(100, 370, face);
  EXPECT_EQ(hl::window_pixel(100, 370), px(face, 0, 0));
  EXPECT_EQ(hl::window_pixel(161, 407), px(face, 61, 37));
  EXPECT_EQ(hl::window_pixel(99, 370), px(frame, 99, 370));
}

TEST_F(Toolkit, StaleClientPositionDrawsOffsetUntilTheMoveArrives) {
  v_screen = frame;
  LPDIRECTDRAWSURFACE bk = LoadSurface(100);
  PutSurface(0, 0, bk, frame);
  game_initialized = 1;
  const POINT old = Client_Pos;
  hl::user_moves_window(old.x + 30, old.y + 20);
  PutSurfacePrimary(0, 0, frame);  // still aimed at the old place
  EXPECT_EQ(hl::window_pixel(0, 0), px(frame, 30, 20));
  hl::pump();  // WM_MOVE: Client_Pos follows and the frame is shown again
  EXPECT_EQ(Client_Pos.x, old.x + 30);
  EXPECT_EQ(Client_Pos.y, old.y + 20);
  EXPECT_EQ(hl::window_pixel(0, 0), px(frame, 0, 0));
  EXPECT_EQ(game_record().events.back(), "update");
}
