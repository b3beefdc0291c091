// SDL events into window messages: the lParam packing, the key-state word taken from each
// event itself, negative coordinates of a drag outside the window, and the window events.
#include <gtest/gtest.h>

#include "platform/sdl/translate.h"

namespace {

constexpr Uint32 WIN = 7;
HWND const HWND_GAME = reinterpret_cast<HWND>(0x1000);

SDL_Event button(Uint32 type, Uint8 which, int x, int y, Uint32 window = WIN) {
  return {.button = {type, 0, window, 0, which, Uint8(type == SDL_MOUSEBUTTONDOWN), 1, 0, x, y}};
}
SDL_Event motion(int x, int y, Uint32 mask) {
  return {.motion = {SDL_MOUSEMOTION, 0, WIN, 0, mask, x, y, 0, 0}};
}
SDL_Event window_event(Uint8 what, int d1 = 0, int d2 = 0, Uint32 window = WIN) {
  return {.window = {SDL_WINDOWEVENT, 0, window, what, 0, 0, 0, d1, d2}};
}

struct Translator {
  plat::sdl::MouseState mouse;
  plat::Message out;
  bool feed(const SDL_Event& e, Uint16 mods = KMOD_NONE) {
    out = plat::Message{};
    return plat::sdl::translate_event(e, WIN, mods, HWND_GAME, &mouse, &out);
  }
};

}  // namespace

TEST(Translate, ButtonsPackTheirPlaceAndCarryTheKeyStateWordOfTheirOwnEvent) {
  constexpr Uint32 DOWN = SDL_MOUSEBUTTONDOWN, UP = SDL_MOUSEBUTTONUP;
  struct Step {
    Uint32 type;
    Uint8 button;
    Uint16 mods;
    uint32 message, wParam;
  } const steps[] = {
      {DOWN, SDL_BUTTON_LEFT, KMOD_NONE, WM_LBUTTONDOWN, MK_LBUTTON},
      {UP, SDL_BUTTON_LEFT, KMOD_NONE, WM_LBUTTONUP, 0},
      {DOWN, SDL_BUTTON_RIGHT, KMOD_NONE, WM_RBUTTONDOWN, MK_RBUTTON},
      {DOWN, SDL_BUTTON_LEFT, KMOD_LSHIFT, WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT},
      {DOWN, SDL_BUTTON_MIDDLE, KMOD_RCTRL, WM_MBUTTONDOWN,
       MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_CONTROL},
      {UP, SDL_BUTTON_RIGHT, KMOD_SHIFT | KMOD_CTRL, WM_RBUTTONUP,
       MK_LBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL},
  };
  Translator t;
  for (const Step& s : steps) {
    SCOPED_TRACE(::testing::Message() << "message " << s.message << ", mods " << s.mods);
    ASSERT_TRUE(t.feed(button(s.type, s.button, 120, 340), s.mods));
    EXPECT_EQ(t.out.message, s.message);
    EXPECT_EQ(t.out.wParam, s.wParam);
    EXPECT_EQ(t.out.lParam, 120 | 340 << 16);
    EXPECT_EQ(t.out.hwnd, HWND_GAME);
  }
  EXPECT_FALSE(t.feed(button(DOWN, SDL_BUTTON_X1, 5, 5)));
  EXPECT_FALSE(t.feed(button(DOWN, SDL_BUTTON_LEFT, 5, 5, WIN + 1)));  // another window
}

TEST(Translate, DragOutsideTheWindowKeepsSixteenBitTwosComplement) {
  Translator t;
  t.feed(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 10));
  ASSERT_TRUE(t.feed(motion(-5, -20, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK), KMOD_LCTRL));
  EXPECT_EQ(t.out.message, WM_MOUSEMOVE);
  EXPECT_EQ(t.out.wParam, MK_LBUTTON | MK_MBUTTON | MK_CONTROL);  // from the motion event itself
  EXPECT_EQ(static_cast<uint32>(t.out.lParam), 0xFFECFFFBu);
  t.feed(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, -7, 430));
  EXPECT_EQ(static_cast<uint32>(t.out.lParam), 0x01AEFFF9u);
}

TEST(Translate, WindowEventsBecomePaintMoveAndClose) {
  Translator t;
  for (auto [what, message] : {std::pair{SDL_WINDOWEVENT_EXPOSED, WM_PAINT},
                               {SDL_WINDOWEVENT_CLOSE, WM_CLOSE},
                               {SDL_WINDOWEVENT_MOVED, WM_MOVE}}) {
    ASSERT_TRUE(t.feed(window_event(what, 266, 175)));
    EXPECT_EQ(t.out.message, message);
  }
  EXPECT_EQ(t.out.lParam, 266 | 175 << 16);  // the move's new client position
  EXPECT_FALSE(t.feed(window_event(SDL_WINDOWEVENT_CLOSE, 0, 0, WIN + 1)));
  EXPECT_FALSE(t.feed(window_event(SDL_WINDOWEVENT_FOCUS_GAINED)));
}
