// The keyboard on the board, headless with the timer ticked by hand: Space and Return pick no
// cell while the cursor is hidden, the board takes no keys while bubbles slide, and a mouse
// press hides the cursor until the next arrow key.
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "tests/support/harness.h"
#include "tests/support/picture.h"

namespace {

namespace hl = plat::headless;
using namespace proof;

void Key(uint32 key) {
  hl::post(WM_KEYDOWN, key, 0);
  hl::pump();
}

TEST(Keys, TheBoardTakesKeysOnlyFromAShownCursorAndNeverWhileBubblesSlide) {
  Work_Dir dir("keys");
  ASSERT_TRUE(Restart({0, 0, 1}));  // normal games, sounds off, animations on
  Press(BTN_NEW);
  Set_Board([](int32 i, int32 j) { return (i / 2 + j) % 5 + 1; });  // pairs across each row
  const Picture plain = Frame_Picture();
  Key(VK_SPACE), Key(VK_RETURN);
  EXPECT_EQ(Compare_Pictures(plain, Frame_Picture(), "keys-hidden-cursor"), "")
      << "a hidden cursor picked a cell";

  Key(VK_LEFT), Key(VK_UP), Key(VK_RIGHT), Key(VK_DOWN);  // stops at the left and top edges
  EXPECT_EQ((std::array{cursor_x, cursor_y, cursor_shown}), (std::array{1, 1, 1}));
  EXPECT_NE(Frame_Picture().pixels, plain.pixels) << "the cursor is not drawn";
  Key(VK_RETURN);
  EXPECT_EQ(number_bubbles_marked, 2);
  Key(VK_SPACE);
  ASSERT_EQ(game_busy, 1) << "the pair was not removed, or without its slide";
  Key(VK_DOWN), Key(VK_SPACE);  // while the top row falls into the pair's place
  EXPECT_EQ((std::array{cursor_y, bubbles_marked}), (std::array{1, 0}));
  for (int n = 0; n < 80 && game_busy != 0; ++n) hl::tick();
  Key(VK_SPACE);
  EXPECT_EQ(number_bubbles_marked, 2) << "the cursor did not keep its cell through the move";
  EXPECT_EQ(PlayField[1][1].type, 1);  // the pair that fell there

  hl::mouse_down(240, 360), hl::mouse_up(240, 360), hl::pump();  // on the status line
  EXPECT_EQ(cursor_shown, 0);
  const Picture hidden = Frame_Picture();
  Key(VK_SPACE);
  EXPECT_EQ(Compare_Pictures(hidden, Frame_Picture(), "keys-after-mouse"), "")
      << "after a mouse press Space still picks the hidden cell";
}

}  // namespace
