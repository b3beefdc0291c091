// The default font and text drawing: the status line and separator fit as the screens need,
// centred text sits where asked, every printable Windows-1252 byte has a glyph, and text
// paints only its glyphs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/font.h"
#include "platform/headless.h"
#include "tests/platform/fixtures.h"

namespace hl = plat::headless;

namespace {

const char* const LONGEST_STATUS =
    "Score: 4294967295  Bubble-Points: 4830   ---   70 Bubbles selected.";

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::reset();
    reset_game_record();
    ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
    frame = CreateOffScreenSurface(dd_Object, 494, 420);
    FillSurface(frame, 0, 0, 494, 420, BACKGROUND);
  }
  void TearDown() override { hl::reset(); }

  // Bounding box of every pixel that differs from the background.
  RECT ink() const {
    RECT r{10000, 10000, -1, -1};
    for (int y = 0; y < 420; ++y)
      for (int x = 0; x < 494; ++x)
        if (hl::surface_pixel(frame, x, y) != BACKGROUND)
          r = RECT{std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
                   std::max(r.bottom, y + 1)};
    return r;
  }

  static constexpr uint32 BACKGROUND = 0x000000;
  LPDIRECTDRAWSURFACE frame = nullptr;
};

int width_of(const std::string& s) { return plat::text_width(s.data(), static_cast<int>(s.size())); }

}  // namespace

TEST(Font, LongestStatusLineFitsAndSeparatorIsWideEnough) {
  std::printf("font: %s\n", plat::default_font().name);
  EXPECT_LT(10 + width_of(LONGEST_STATUS), 487);
  EXPECT_GT(width_of(std::string(100, '-')), 444);
}

TEST(Font, EveryPrintableWindows1252ByteHasAGlyph) {
  const plat::Font& font = plat::default_font();
  for (int b = 0x20; b <= 0xFF; ++b) {
    if (b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    const plat::Glyph& g = font.glyphs[b];
    EXPECT_GT(g.advance, 0) << "byte " << b;
    const bool blank = b == 0x20 || b == 0xA0;
    EXPECT_EQ(g.width * g.height == 0, blank) << "byte " << b;
    EXPECT_GE(g.top, 0) << "byte " << b;  // nothing above the line's top
    EXPECT_LE(g.top + g.height, font.height + 2) << "byte " << b;
  }
  EXPECT_EQ(font.glyphs['\n'].advance, 0);
}

TEST_F(Text, LongestStatusLineInkEndsBeforeTheFrame) {
  ShowText(frame, 10, 350, LONGEST_STATUS, 0xFFFFFF);
  const RECT r = ink();
  EXPECT_GE(r.left, 10);
  EXPECT_LT(r.right, 487);
  EXPECT_GE(r.top, 350);
}

TEST_F(Text, LoadingTextIsCentredWithItsTopAtY) {
  ShowTextCenter(frame, 245, 195, "Loading Orbolan...", 0xFFFFFF);
  const RECT r = ink();
  ASSERT_GT(r.right, r.left);
  const int width = width_of("Loading Orbolan...");
  EXPECT_GE(r.left, 245 - width / 2 - 1);
  EXPECT_LE(r.right, 245 - width / 2 + width + 1);
  EXPECT_NEAR((r.left + r.right) / 2.0, 245.0, 3.0);
  EXPECT_GE(r.top, 195);
  EXPECT_LE(r.top, 195 + 4);  // the capital L reaches nearly to the top of the line
  // White on black: every painted pixel is a grey level, the strongest pure white.
  uint32 strongest = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const uint32 p = hl::surface_pixel(frame, x, y);
      ASSERT_EQ(p & 0xFF, (p >> 8) & 0xFF);
      ASSERT_EQ(p & 0xFF, (p >> 16) & 0xFF);
      strongest = std::max(strongest, p);
    }
  EXPECT_EQ(strongest, 0xFFFFFFu);
}

TEST_F(Text, LeftAlignedTextStartsAtX) {
  ShowText(frame, 100, 40, "Hallo", 0x00FF00);
  const RECT r = ink();
  EXPECT_GE(r.left, 100);
  EXPECT_LE(r.left, 102);
  EXPECT_LE(r.right, 100 + width_of("Hallo") + 1);
}

TEST_F(Text, TextIsTransparentAndClippedToTheSurface) {
  // A pattern background: everything outside the glyph boxes must survive.
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) frame->pixels()[y * 494 + x] = static_cast<uint32>(x * 7 + y * 13);
  std::vector<uint32> before(frame->pixels(), frame->pixels() + 494 * 420);
  ShowText(frame, 480, 410, "Wide text off the corner \xFC\x80", 0x0000FF);
  ShowText(frame, -20, -5, "Off the top-left", 0x0000FF);
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) {
      const bool in_first = x >= 480 && y >= 410;
      const bool in_second = x < 200 && y < 20;
      if (!in_first && !in_second) {
        ASSERT_EQ(frame->pixels()[y * 494 + x], before[y * 494 + x]) << x << "," << y;
      }
    }
}
