// SDL events into numbered window messages; see translate.h.
#include "platform/sdl/translate.h"

namespace plat::sdl {

namespace {

// The MK_* bit and the down and up messages of an SDL button; false for extra buttons.
bool button_info(Uint8 button, uint32* bit, uint32* down, uint32* up) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      *bit = MK_LBUTTON, *down = WM_LBUTTONDOWN, *up = WM_LBUTTONUP;
      return true;
    case SDL_BUTTON_RIGHT:
      *bit = MK_RBUTTON, *down = WM_RBUTTONDOWN, *up = WM_RBUTTONUP;
      return true;
    case SDL_BUTTON_MIDDLE:
      *bit = MK_MBUTTON, *down = WM_MBUTTONDOWN, *up = WM_MBUTTONUP;
      return true;
    default:
      return false;
  }
}

bool translate_window_event(const SDL_WindowEvent& w, HWND hwnd, Message* out) {
  switch (w.event) {
    case SDL_WINDOWEVENT_EXPOSED:
      *out = Message{hwnd, WM_PAINT, 0, 0};
      return true;
    case SDL_WINDOWEVENT_MOVED:
      *out = Message{hwnd, WM_MOVE, 0, MAKELPARAM(w.data1, w.data2)};
      return true;
    case SDL_WINDOWEVENT_CLOSE:
      *out = Message{hwnd, WM_CLOSE, 0, 0};
      return true;
    default:
      return false;
  }
}

}  // namespace

uint32 modifier_bits(Uint16 mods) {
  return ((mods & KMOD_SHIFT) ? MK_SHIFT : 0u) | ((mods & KMOD_CTRL) ? MK_CONTROL : 0u);
}

uint32 button_bits(Uint32 m) {
  return ((m & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0u) | ((m & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0u) |
         ((m & SDL_BUTTON_MMASK) ? MK_MBUTTON : 0u);
}

bool translate_event(const SDL_Event& e, Uint32 window_id, Uint16 mods, HWND hwnd,
                     MouseState* mouse, Message* out) {
  switch (e.type) {
    case SDL_QUIT:  // a signal asked the program to end: close as the close box would
      *out = Message{hwnd, WM_CLOSE, 0, 0};
      return true;
    case SDL_WINDOWEVENT:
      return e.window.windowID == window_id && translate_window_event(e.window, hwnd, out);
    case SDL_MOUSEMOTION:
      if (e.motion.windowID != window_id) return false;
      mouse->held = button_bits(e.motion.state);
      *out = Message{hwnd, WM_MOUSEMOVE, mouse->held | modifier_bits(mods),
                     MAKELPARAM(e.motion.x, e.motion.y)};
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      uint32 bit, down, up;
      if (e.button.windowID != window_id || !button_info(e.button.button, &bit, &down, &up))
        return false;
      const bool pressed = e.type == SDL_MOUSEBUTTONDOWN;
      mouse->held = pressed ? (mouse->held | bit) : (mouse->held & ~bit);
      *out = Message{hwnd, pressed ? down : up, mouse->held | modifier_bits(mods),
                     MAKELPARAM(e.button.x, e.button.y)};
      return true;
    }
    default:
      return false;
  }
}

}  // namespace plat::sdl
