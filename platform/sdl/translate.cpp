// SDL events into numbered window messages; see translate.h.
#include "platform/sdl/translate.h"

#include <algorithm>

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
    default: return false;
  }
}

// A window position in client pixels: less the client area's offset, divided by the zoom,
// rounded towards minus infinity so that a position left of or above it stays outside it.
int32 unzoom(Sint32 v, int offset, int zoom) {
  v -= offset;
  return v >= 0 ? v / zoom : -((zoom - 1 - v) / zoom);
}

// The Windows virtual-key code of an SDL key (letters, digits, function keys, the arrows and
// a few editing keys); 0 for any other.
uint32 virtual_key(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + static_cast<uint32>(k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + static_cast<uint32>(k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + static_cast<uint32>(k - SDLK_F1);
  switch (k) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    default: return 0;
  }
}

bool translate_window_event(const SDL_WindowEvent& w, HWND hwnd, Message* out) {
  switch (w.event) {
    case SDL_WINDOWEVENT_EXPOSED: *out = Message{hwnd, WM_PAINT, 0, 0}; return true;
    case SDL_WINDOWEVENT_MOVED:
      *out = Message{hwnd, WM_MOVE, 0, MAKELPARAM(w.data1, w.data2)};
      return true;
    case SDL_WINDOWEVENT_CLOSE: *out = Message{hwnd, WM_CLOSE, 0, 0}; return true;
    default: return false;
  }
}

}  // namespace

View fit_view(int win_w, int win_h, int client_w, int client_h) {
  const int zoom = std::max(1, std::min(win_w / client_w, win_h / client_h));
  return View{zoom, std::max(0, (win_w - client_w * zoom) / 2),
              std::max(0, (win_h - client_h * zoom) / 2)};
}

uint32 modifier_bits(Uint16 mods) {
  return ((mods & KMOD_SHIFT) ? MK_SHIFT : 0u) | ((mods & KMOD_CTRL) ? MK_CONTROL : 0u);
}

uint32 button_bits(Uint32 m) {
  return ((m & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0u) | ((m & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0u) |
         ((m & SDL_BUTTON_MMASK) ? MK_MBUTTON : 0u);
}

bool translate_event(const SDL_Event& e, Uint32 window_id, Uint16 mods, HWND hwnd,
                     MouseState* mouse, Message* out, const View& view) {
  switch (e.type) {
    case SDL_QUIT:  // a signal asked the program to end: close as the close box would
      *out = Message{hwnd, WM_CLOSE, 0, 0};
      return true;
    case SDL_WINDOWEVENT:
      return e.window.windowID == window_id && translate_window_event(e.window, hwnd, out);
    case SDL_MOUSEMOTION:
      if (e.motion.windowID != window_id) return false;
      mouse->held = button_bits(e.motion.state);
      *out = Message{
          hwnd, WM_MOUSEMOVE, mouse->held | modifier_bits(mods),
          MAKELPARAM(unzoom(e.motion.x, view.x, view.zoom), unzoom(e.motion.y, view.y, view.zoom))};
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      uint32 bit, down, up;
      if (e.button.windowID != window_id || !button_info(e.button.button, &bit, &down, &up))
        return false;
      const bool pressed = e.type == SDL_MOUSEBUTTONDOWN;
      mouse->held = pressed ? (mouse->held | bit) : (mouse->held & ~bit);
      *out = Message{
          hwnd, pressed ? down : up, mouse->held | modifier_bits(mods),
          MAKELPARAM(unzoom(e.button.x, view.x, view.zoom), unzoom(e.button.y, view.y, view.zoom))};
      return true;
    }
    case SDL_KEYDOWN: {
      // A held key acts once, as one click does: its repeats are left out. Keys pressed
      // with Alt or the logo key held belong to the desktop.
      if (e.key.windowID != window_id || e.key.repeat != 0 ||
          (e.key.keysym.mod & (KMOD_ALT | KMOD_GUI)) != 0)
        return false;
      const uint32 key = virtual_key(e.key.keysym.sym);
      if (key == 0) return false;
      *out = Message{hwnd, WM_KEYDOWN, key, static_cast<int32>(modifier_bits(e.key.keysym.mod))};
      return true;
    }
    default: return false;
  }
}

}  // namespace plat::sdl
