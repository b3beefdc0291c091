// SDL events into window messages: the lParam packing, the key-state word taken from each
// event itself, negative coordinates of a drag outside the window, and the window events.
#include <gtest/gtest.h>

#include <array>

#include "platform/sdl/translate.h"

namespace {

constexpr Uint32 WIN = 7, DOWN = SDL_MOUSEBUTTONDOWN, UP = SDL_MOUSEBUTTONUP;
HWND const HWND_GAME = reinterpret_cast<HWND>(0x1000);

SDL_Event button(Uint32 type, Uint8 which, int x, int y, Uint32 window = WIN) {
  return {.button = {type, 0, window, 0, which, Uint8(type == DOWN), 1, 0, x, y}};
}
SDL_Event window_event(Uint8 what, int d1 = 0, int d2 = 0, Uint32 window = WIN) {
  return {.window = {SDL_WINDOWEVENT, 0, window, what, 0, 0, 0, d1, d2}};
}

// Feeds events in turn, keeping the mouse state between them; the message of the last one.
struct Translator {
  plat::sdl::MouseState mouse;
  plat::Message out;
  bool feed(const SDL_Event& e, Uint16 mods = KMOD_NONE) {
    out = plat::Message{};
    return plat::sdl::translate_event(e, WIN, mods, HWND_GAME, &mouse, &out);
  }
};

TEST(Translate, MouseEventsPackTheirPlaceAndCarryTheKeyStateWordOfTheirOwnEvent) {
  const struct {
    SDL_Event event;
    Uint16 mods;
    uint32 message, wParam, lParam;
  } steps[] = {
      {button(DOWN, SDL_BUTTON_LEFT, 120, 340), KMOD_NONE, WM_LBUTTONDOWN, MK_LBUTTON, 0x01540078},
      {button(UP, SDL_BUTTON_LEFT, 120, 340), KMOD_NONE, WM_LBUTTONUP, 0, 0x01540078},
      {button(DOWN, SDL_BUTTON_RIGHT, 1, 2), KMOD_NONE, WM_RBUTTONDOWN, MK_RBUTTON, 0x00020001},
      {button(DOWN, SDL_BUTTON_LEFT, 1, 2), KMOD_LSHIFT, WM_LBUTTONDOWN,
       MK_LBUTTON | MK_RBUTTON | MK_SHIFT, 0x00020001},
      {button(DOWN, SDL_BUTTON_MIDDLE, 1, 2), KMOD_RCTRL, WM_MBUTTONDOWN,
       MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_CONTROL, 0x00020001},
      {button(UP, SDL_BUTTON_RIGHT, 1, 2), KMOD_SHIFT | KMOD_CTRL, WM_RBUTTONUP,
       MK_LBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL, 0x00020001},
      // A drag outside the window: sixteen-bit two's complement, the buttons of the motion.
      {{.motion = {SDL_MOUSEMOTION, 0, WIN, 0, SDL_BUTTON_LMASK | SDL_BUTTON_MMASK, -5, -20, 0, 0}},
       KMOD_LCTRL,
       WM_MOUSEMOVE,
       MK_LBUTTON | MK_MBUTTON | MK_CONTROL,
       0xFFECFFFB},
      {button(UP, SDL_BUTTON_LEFT, -7, 430), KMOD_NONE, WM_LBUTTONUP, MK_MBUTTON, 0x01AEFFF9},
  };
  Translator t;
  for (const auto& s : steps) {
    SCOPED_TRACE(::testing::Message() << "message " << s.message << ", mods " << s.mods);
    ASSERT_TRUE(t.feed(s.event, s.mods));
    EXPECT_EQ((std::array{t.out.message, t.out.wParam, uint32(t.out.lParam)}),
              (std::array{s.message, s.wParam, s.lParam}));
    EXPECT_EQ(t.out.hwnd, HWND_GAME);
  }
  EXPECT_FALSE(t.feed(button(DOWN, SDL_BUTTON_X1, 5, 5)));
  EXPECT_FALSE(t.feed(button(DOWN, SDL_BUTTON_LEFT, 5, 5, WIN + 1)));  // another window
}

TEST(Translate, AForcedSizeShowsTheLargestWholeZoomCentredAndTheMouseIsMappedThroughIt) {
  using plat::sdl::fit_view;
  const auto view = [](plat::sdl::View v) { return std::array{v.zoom, v.x, v.y}; };
  EXPECT_EQ(view(fit_view(493, 419, 493, 419)), (std::array{1, 0, 0}));       // its own size
  EXPECT_EQ(view(fit_view(986, 838, 493, 419)), (std::array{2, 0, 0}));       // its own size at 2
  EXPECT_EQ(view(fit_view(1280, 1024, 493, 419)), (std::array{2, 147, 93}));  // fullscreen
  EXPECT_EQ(view(fit_view(1024, 768, 493, 419)), (std::array{1, 265, 174}));  // too low for 2
  EXPECT_EQ(view(fit_view(300, 200, 493, 419)), (std::array{1, 0, 0}));       // smaller: top left

  plat::sdl::MouseState mouse;
  plat::Message out;
  const plat::sdl::View v{2, 147, 93};
  // The first client pixel's square, its last screen pixel, and left of and above the frame.
  for (auto [x, y, lParam] : {std::array{147, 93, 0x00000000}, std::array{148, 94, 0x00000000},
                              std::array{149, 95, 0x00010001}, std::array{146, 92, -1}}) {
    ASSERT_TRUE(plat::sdl::translate_event(button(DOWN, SDL_BUTTON_LEFT, x, y), WIN, 0, HWND_GAME,
                                           &mouse, &out, v));
    EXPECT_EQ(out.lParam, lParam) << x << ", " << y;
  }
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

}  // namespace
