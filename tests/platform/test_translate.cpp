// SDL events into window messages: the lParam packing, the key-state word taken from each
// event itself, negative coordinates of a drag outside the window, and the window events.
#include <gtest/gtest.h>

#include "platform/sdl/translate.h"

namespace sdl = plat::sdl;

namespace {

constexpr Uint32 WIN = 7;
HWND const HWND_GAME = reinterpret_cast<HWND>(0x1000);

SDL_Event button(Uint32 type, Uint8 which, int x, int y, Uint32 window = WIN) {
  SDL_Event e{};
  e.type = type;
  e.button.windowID = window;
  e.button.button = which;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  return e;
}

SDL_Event motion(int x, int y, Uint32 mask) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = WIN;
  e.motion.state = mask;
  e.motion.x = x;
  e.motion.y = y;
  return e;
}

SDL_Event window_event(Uint8 what, int d1 = 0, int d2 = 0, Uint32 window = WIN) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = window;
  e.window.event = what;
  e.window.data1 = d1;
  e.window.data2 = d2;
  return e;
}

struct Translator {
  sdl::MouseState mouse;
  plat::Message out;
  bool feed(const SDL_Event& e, Uint16 mods = KMOD_NONE) {
    out = plat::Message{};
    return sdl::translate_event(e, WIN, mods, HWND_GAME, &mouse, &out);
  }
};

uint32 lo(int32 l) { return static_cast<uint32>(l) & 0xFFFF; }
uint32 hi(int32 l) { return static_cast<uint32>(l) >> 16; }

}  // namespace

// ---- Mouse buttons -------------------------------------------------------------------------

TEST(Translate, PressAndReleaseDeliveredTogetherKeepTheirOwnButtonState) {
  Translator t;
  ASSERT_TRUE(t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 120, 340)));
  EXPECT_EQ(t.out.message, WM_LBUTTONDOWN);
  EXPECT_EQ(t.out.wParam, MK_LBUTTON);
  EXPECT_EQ(t.out.lParam, 120 | 340 << 16);
  EXPECT_EQ(t.out.hwnd, HWND_GAME);
  ASSERT_TRUE(t.feed(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 120, 340)));
  EXPECT_EQ(t.out.message, WM_LBUTTONUP);
  EXPECT_EQ(t.out.wParam, 0u);
}

TEST(Translate, KeyStateWordCombinesHeldButtonsAndModifiers) {
  Translator t;
  t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 1));
  EXPECT_EQ(t.out.message, WM_RBUTTONDOWN);
  EXPECT_EQ(t.out.wParam, MK_RBUTTON);
  t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1), KMOD_LSHIFT);
  EXPECT_EQ(t.out.wParam, MK_LBUTTON | MK_RBUTTON | MK_SHIFT);
  t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 1, 1), KMOD_RCTRL);
  EXPECT_EQ(t.out.message, WM_MBUTTONDOWN);
  EXPECT_EQ(t.out.wParam, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_CONTROL);
  t.feed(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, 1), KMOD_SHIFT | KMOD_CTRL);
  EXPECT_EQ(t.out.message, WM_RBUTTONUP);
  EXPECT_EQ(t.out.wParam, MK_LBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL);
}

TEST(Translate, ExtraButtonsAndOtherWindowsMeanNothing) {
  Translator t;
  EXPECT_FALSE(t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 5, 5)));
  EXPECT_FALSE(t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 5, WIN + 1)));
  EXPECT_FALSE(t.feed(window_event(SDL_WINDOWEVENT_CLOSE, 0, 0, WIN + 1)));
  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  EXPECT_FALSE(t.feed(key));
  EXPECT_EQ(t.mouse.held, 0u);
}

// ---- Motion ----------------------------------------------------------------------------------

TEST(Translate, MotionTakesItsButtonsFromTheEvent) {
  Translator t;
  ASSERT_TRUE(t.feed(motion(493 - 1, 419 - 1, 0)));
  EXPECT_EQ(t.out.message, WM_MOUSEMOVE);
  EXPECT_EQ(t.out.wParam, 0u);
  EXPECT_EQ(lo(t.out.lParam), 492u);
  EXPECT_EQ(hi(t.out.lParam), 418u);
  t.feed(motion(3, 4, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK), KMOD_LCTRL);
  EXPECT_EQ(t.out.wParam, MK_LBUTTON | MK_MBUTTON | MK_CONTROL);
}

TEST(Translate, DragOutsideTheWindowKeepsSixteenBitTwosComplement) {
  Translator t;
  t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10));
  t.feed(motion(-5, -20, SDL_BUTTON_LMASK));
  EXPECT_EQ(lo(t.out.lParam), 0xFFFBu);
  EXPECT_EQ(hi(t.out.lParam), 0xFFECu);
  EXPECT_EQ(static_cast<int16_t>(lo(t.out.lParam)), -5);
  t.feed(motion(600, 500, SDL_BUTTON_LMASK));
  EXPECT_EQ(lo(t.out.lParam), 600u);
  EXPECT_EQ(hi(t.out.lParam), 500u);
  t.feed(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, -7, 430));
  EXPECT_EQ(t.out.lParam, MAKELPARAM(-7, 430));
  EXPECT_EQ(lo(t.out.lParam), 0xFFF9u);
  EXPECT_EQ(t.out.wParam, 0u);
}

// ---- Window ---------------------------------------------------------------------------------

TEST(Translate, WindowEventsBecomePaintMoveAndClose) {
  Translator t;
  ASSERT_TRUE(t.feed(window_event(SDL_WINDOWEVENT_EXPOSED)));
  EXPECT_EQ(t.out.message, WM_PAINT);
  ASSERT_TRUE(t.feed(window_event(SDL_WINDOWEVENT_MOVED, 266, 175)));
  EXPECT_EQ(t.out.message, WM_MOVE);
  EXPECT_EQ(t.out.lParam, 266 | 175 << 16);
  ASSERT_TRUE(t.feed(window_event(SDL_WINDOWEVENT_CLOSE)));
  EXPECT_EQ(t.out.message, WM_CLOSE);
  EXPECT_FALSE(t.feed(window_event(SDL_WINDOWEVENT_FOCUS_GAINED)));
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_TRUE(t.feed(quit));
  EXPECT_EQ(t.out.message, WM_CLOSE);
}
