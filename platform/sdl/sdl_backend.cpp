// The SDL2 backend: the game window with its icon and cursor, SDL events turned into
// queued messages, frames shown through the window's own surface, and message boxes.
// Every SDL video call happens on the window thread; the timer thread draws its frame into
// the window's pixels under the world lock, marks what changed and wakes the window thread.
#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/detail.h"
#include "platform/sdl/lifeline.h"
#include "platform/sdl/translate.h"
#include "platform/sdl/xlib.h"
#include "platform/sdl/zoom.h"
#include "platform/sound/sound.h"

namespace plat {

void frame_of_window(int* left, int* right, int* top, int* bottom);

namespace {

// Pictures of the icon and the cursor mark their transparent pixels in magenta.
constexpr std::uint32_t TRANSPARENT_KEY = 0xFF00FF;
constexpr int CURSOR_HOT_X = 2, CURSOR_HOT_Y = 0;

struct State {
  std::thread::id window_thread;
  SDL_Window* sdl_window = nullptr;
  Uint32 window_id = 0;
  std::unique_ptr<Window> window;  // kept after destruction, so stale handles stay harmless
  SDL_Cursor* cursor = nullptr;
  Uint32 wake_event = 0;
  std::atomic<bool> wake_pending{false};
  sdl::MouseState mouse;
  bool video_up = false;
  int zoom = 1;  // the window's own size shows each frame pixel as zoom x zoom screen pixels
  // Where the frame lies in the window's surface: at its own size the whole surface at `zoom`;
  // in a larger size the window manager forced (fullscreen, tiling) centred at the largest
  // whole zoom that fits, on a plain background. Window thread only.
  sdl::View view;
  SDL_Surface* laid_out = nullptr;  // the surface `view` was computed for
  int laid_w = 0, laid_h = 0;
  bool any_size = false;  // the size hints let the window manager make the window larger
  // Where move_window last put the outer frame and with which frame size; the window is
  // centred again when the window manager announces another frame before anybody moved it.
  POINT placed{0, 0};
  int placed_frame[4] = {0, 0, 0, 0};

  // The window's pixels, which the primary surface draws into under the world lock, and the
  // part of them not yet on screen.
  std::mutex frame_mutex;
  const std::uint32_t* frame = nullptr;
  int frame_w = 0, frame_h = 0;
  RECT dirty{0, 0, 0, 0};
  std::vector<std::uint32_t> zoomed_row;  // one frame row widened by the zoom
};

State& state() {
  static State s;
  return s;
}

bool on_window_thread() { return std::this_thread::get_id() == state().window_thread; }

// True when SDL chose a driver that shows nothing although nobody asked for it: with no X
// server SDL falls back to "offscreen", and a player would see no window and no error.
bool invisible_driver_not_asked_for() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
    return false;
  const char* wanted = std::getenv("SDL_VIDEODRIVER");
  return !wanted || std::strstr(wanted, driver) == nullptr;
}

// True when SDL is to choose its X11 driver: there is an X display, and no other driver is
// asked for first.
bool x11_expected() {
  const char* display = std::getenv("DISPLAY");
  const char* wanted = std::getenv("SDL_VIDEODRIVER");
  return display && *display && (!wanted || !*wanted || std::strncmp(wanted, "x11", 3) == 0);
}

bool on_x11() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "x11") == 0;
}

// Starts SDL's video; false, said on standard error, when there is no display to show on.
bool start_video() {
  State& s = state();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    s.video_up = false;
    return false;
  }
  s.video_up = true;
  if (invisible_driver_not_asked_for()) {
    std::fprintf(stderr, "SDL: no display reachable (only the '%s' driver)\n",
                 SDL_GetCurrentVideoDriver());
    return false;
  }
  return true;
}

// A picture of ours as an SDL surface with magenta made transparent; null when missing.
SDL_Surface* picture_with_alpha(int id) {
  std::unique_ptr<Bitmap> bmp = id ? load_bitmap_resource(id) : nullptr;
  if (!bmp) return nullptr;
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormat(0, bmp->width, bmp->height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return nullptr;
  for (int y = 0; y < bmp->height; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
    for (int x = 0; x < bmp->width; ++x) {
      const std::uint32_t p = bmp->pixels[static_cast<std::size_t>(y) * bmp->width + x];
      row[x] = p == TRANSPARENT_KEY ? 0u : (0xFF000000u | p);
    }
  }
  return s;
}

void set_icon_and_cursor(const WindowDesc& desc) {
  State& s = state();
  if (SDL_Surface* icon = picture_with_alpha(desc.icon_id)) {
    SDL_SetWindowIcon(s.sdl_window, icon);
    SDL_FreeSurface(icon);
  }
  if (SDL_Surface* arrow = picture_with_alpha(desc.cursor_id)) {
    s.cursor = SDL_CreateColorCursor(arrow, CURSOR_HOT_X, CURSOR_HOT_Y);
    SDL_FreeSurface(arrow);
    if (s.cursor) SDL_SetCursor(s.cursor);
  }
}

// `tell`: post WM_MOVE when the position changed (unless the caller's event becomes one).
void refresh_origin(bool tell = true) {
  State& s = state();
  if (!s.sdl_window) return;
  int x = 0, y = 0;
  SDL_GetWindowPosition(s.sdl_window, &x, &y);
  const POINT before = s.window->origin();
  s.window->set_origin(POINT{x, y});
  // The game blits its frame to the client area's screen position, which it learns from
  // WM_MOVE: tell it of every change, also of those SDL reports no move for (a window
  // manager's late frame), or the frame lands off by the difference.
  if (tell && (before.x != x || before.y != y))
    post_message(s.window.get(), WM_MOVE, 0, MAKELPARAM(x, y));
}

// Copies the frame rectangle r onto the zoomed window surface: each pixel becomes a square
// of zoom x zoom. Every row is widened once, converted once, and copied to the rows below.
void copy_zoomed(State& s, const SDL_Rect& r, SDL_Surface* target) {
  const int z = s.view.zoom;
  const int bytes = r.w * z * target->format->BytesPerPixel;
  s.zoomed_row.resize(static_cast<std::size_t>(r.w) * z);
  for (int y = r.y; y < r.y + r.h; ++y) {
    const std::uint32_t* src = s.frame + static_cast<std::size_t>(y) * s.frame_w + r.x;
    for (int x = 0; x < r.w; ++x) std::fill_n(s.zoomed_row.data() + x * z, z, src[x]);
    auto* dst = static_cast<std::uint8_t*>(target->pixels) + (s.view.y + y * z) * target->pitch +
                (s.view.x + r.x * z) * target->format->BytesPerPixel;
    SDL_ConvertPixels(r.w * z, 1, SDL_PIXELFORMAT_RGB888, s.zoomed_row.data(), bytes,
                      target->format->format, dst, target->pitch);
    for (int k = 1; k < z; ++k) std::memcpy(dst + k * target->pitch, dst, bytes);
  }
}

void mark_all_dirty() {
  std::lock_guard lock(state().frame_mutex);
  state().dirty = RECT{0, 0, state().frame_w, state().frame_h};
}

// Copies the frame's changed part onto the window's surface and shows it: one copy, and a
// conversion only where the window's pixel format differs from the frame's. Window thread.
void flush_frame() {
  State& s = state();
  s.wake_pending = false;
  if (!s.sdl_window || s.window->destroyed) return;
  SDL_Surface* target = SDL_GetWindowSurface(s.sdl_window);
  if (!target) return;
  // A new surface (the window's size changed): lay the frame out again on a background
  // painted whole, so that nothing of an earlier size is left.
  const bool whole = target != s.laid_out || target->w != s.laid_w || target->h != s.laid_h;
  if (whole) {
    s.laid_out = target;
    s.laid_w = target->w;
    s.laid_h = target->h;
    int w = target->w, h = target->h;
    if (xlib::size(s.sdl_window, &w, &h)) w = std::min(w, target->w), h = std::min(h, target->h);
    s.view = sdl::fit_view(w, h, s.frame_w, s.frame_h);
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    mark_all_dirty();
  }
  SDL_Rect r;
  {
    // The timer thread draws into the frame under the world lock: hold it while reading.
    std::lock_guard world(world_lock());
    std::lock_guard lock(s.frame_mutex);
    const RECT d = s.dirty;
    s.dirty = RECT{0, 0, 0, 0};
    const sdl::View& v = s.view;
    r = SDL_Rect{d.left, d.top, std::min(d.right, (target->w - v.x) / v.zoom) - d.left,
                 std::min(d.bottom, (target->h - v.y) / v.zoom) - d.top};
    if (r.w <= 0 || r.h <= 0) {
      if (!whole) return;
      r = SDL_Rect{0, 0, 0, 0};
    } else if (SDL_MUSTLOCK(target)) {
      SDL_LockSurface(target);
    }
    if (r.w <= 0) {
      // nothing of the frame is visible
    } else if (v.zoom > 1) {
      copy_zoomed(s, r, target);
      r = SDL_Rect{v.x + r.x * v.zoom, v.y + r.y * v.zoom, r.w * v.zoom, r.h * v.zoom};
    } else {
      const std::uint32_t* src = s.frame + static_cast<std::size_t>(r.y) * s.frame_w + r.x;
      auto* dst = static_cast<std::uint8_t*>(target->pixels) + (v.y + r.y) * target->pitch +
                  (v.x + r.x) * target->format->BytesPerPixel;
      if (target->format->format == SDL_PIXELFORMAT_RGB888) {  // XRGB8888, as X11 has it
        for (int y = 0; y < r.h; ++y)
          std::memcpy(dst + y * target->pitch, src + static_cast<std::size_t>(y) * s.frame_w,
                      static_cast<std::size_t>(r.w) * 4);
      } else {
        SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_RGB888, src, s.frame_w * 4,
                          target->format->format, dst, target->pitch);
      }
      r.x += v.x;
      r.y += v.y;
    }
    if (r.w > 0 && SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  }
  if (whole)
    SDL_UpdateWindowSurface(s.sdl_window);
  else
    SDL_UpdateWindowSurfaceRects(s.sdl_window, &r, 1);
}

// A fullscreen state asks for any size, and the window's own size comes back with the
// normal state: the size hints follow the window manager's state.
void follow_state() {
  State& s = state();
  const bool full = xlib::fullscreen(s.sdl_window);
  if (full == s.any_size) return;
  s.any_size = full;
  xlib::set_size_hints(s.sdl_window, !full, s.frame_w * s.zoom, s.frame_h * s.zoom);
}

// The window manager announced another frame (some do so only after the window is shown):
// if the window is still where it was centred, centre it again with the frame's true size.
void follow_frame() {
  State& s = state();
  int f[4];
  frame_of_window(&f[0], &f[1], &f[2], &f[3]);
  int x = 0, y = 0;
  SDL_GetWindowPosition(s.sdl_window, &x, &y);
  // Where it was put: the client area inside the frame known then, or (a window manager
  // that keeps the outer corner where it was asked) the new frame there.
  const bool client_put =
      x - s.placed_frame[0] == s.placed.x && y - s.placed_frame[2] == s.placed.y;
  const bool frame_put = x - f[0] == s.placed.x && y - f[2] == s.placed.y;
  if (std::equal(f, f + 4, s.placed_frame) || !(client_put || frame_put)) return;
  int w, h, sw, sh;
  window_size_for_client(s.window.get(), s.frame_w, s.frame_h, &w, &h);
  screen_size(&sw, &sh);
  move_window(s.window.get(), sw / 2 - w / 2, sh / 2 - h / 2, w, h);
}

// Turns one SDL event into a queued message, after the backend's own share of the work.
void handle_event(const SDL_Event& e) {
  State& s = state();
  if (e.type == s.wake_event) return flush_frame();
  if (!s.window || s.window->destroyed) return;
  switch (xlib::what_changed(e, s.sdl_window)) {
    case xlib::Change::FRAME: return follow_frame();
    case xlib::Change::STATE: return follow_state();
    case xlib::Change::NONE: break;
  }
  if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_MOVED)
    refresh_origin(false);  // translated into WM_MOVE below
  const bool resized = e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED;
  if (resized) s.laid_out = nullptr;  // the next frame lays out and paints the window whole
  if (resized || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED)) {
    mark_all_dirty();
    flush_frame();
  }
  Message msg;
  const uint32 held_before = s.mouse.held;
  if (!sdl::translate_event(e, s.window_id, static_cast<Uint16>(SDL_GetModState()), s.window.get(),
                            &s.mouse, &msg, s.view))
    return;
  // Keep reporting a drag that leaves the window until every button is up again.
  if (!held_before && s.mouse.held) SDL_CaptureMouse(SDL_TRUE);
  if (held_before && !s.mouse.held) SDL_CaptureMouse(SDL_FALSE);
  post_message(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void print_box(const char* caption, const char* text) {
  std::fprintf(stderr, "%s: %s\n", detail::cp1252_to_utf8(caption).c_str(),
               detail::cp1252_to_utf8(text).c_str());
}

}  // namespace

// ---- Backend hooks -----------------------------------------------------------------------

namespace detail {

void present(Window& window, const std::uint32_t* pixels, RECT r) {
  State& s = state();
  {
    std::lock_guard lock(s.frame_mutex);
    if (&window != s.window.get() || !s.frame) return;
    if (pixels != s.frame)  // drawn elsewhere than into the window's pixels: copy them in
      for (int y = r.top; y < r.bottom; ++y)
        std::memcpy(window.pixels.data() + static_cast<std::size_t>(y) * s.frame_w + r.left,
                    pixels + static_cast<std::size_t>(y) * window.client_w + r.left,
                    static_cast<std::size_t>(r.right - r.left) * 4);
    RECT& d = s.dirty;
    d = (d.left >= d.right) ? r
                            : RECT{std::min(d.left, r.left), std::min(d.top, r.top),
                                   std::max(d.right, r.right), std::max(d.bottom, r.bottom)};
  }
  if (on_window_thread())
    flush_frame();
  else
    wake_window_thread();
}

void wake_window_thread() {
  State& s = state();
  if (on_window_thread() || !s.wake_event || s.wake_pending.exchange(true)) return;
  SDL_Event e{};
  e.type = s.wake_event;
  SDL_PushEvent(&e);
}

bool manual_timers() { return false; }

}  // namespace detail

// ---- platform.h ----------------------------------------------------------------------------

HWND create_window(const WindowDesc& desc) {
  State& s = state();
  s.window_thread = std::this_thread::get_id();
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");  // the close box sends WM_CLOSE alone
  if (x11_expected()) {
    // The window surface is copied straight to the X server. Left to itself SDL backs it with
    // an OpenGL renderer, which on a machine without a graphics driver loads a software
    // rasteriser: 85 MB more memory, two more threads, and 130 ms more before the first frame.
    // (Elsewhere, as under Wayland, that renderer is the only way to a window surface.)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The game reads no typed text, so the X input method needs no table of compose sequences;
    // parsing the locale's table (thousands of lines) took more than half of all the work from
    // launch to the start screen. A table named in XCOMPOSEFILE is still honoured. (Only for X:
    // Wayland's keyboard library complains about the empty table.)
    setenv("XCOMPOSEFILE", "/dev/null", 0);
  }
  sdl::catch_close_signals();
  if (!start_video()) return nullptr;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) detail::set_screen_size(mode.w, mode.h);
  s.zoom = sdl::choose_zoom(0, desc.client_width, desc.client_height);
  const int zoomed_w = desc.client_width * s.zoom, zoomed_h = desc.client_height * s.zoom;
  const std::string title = detail::cp1252_to_utf8(desc.title);
  const auto make = [&] {
    return SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                            zoomed_w, zoomed_h,
                            SDL_WINDOW_HIDDEN | (on_x11() ? 0 : SDL_WINDOW_RESIZABLE));
  };
  s.sdl_window = make();
  if (s.sdl_window && !SDL_GetWindowSurface(s.sdl_window)) {
    // No pixel format of SDL's own fits the screen (an X screen of 30 bits): draw through
    // SDL's renderer instead, which converts. The choice is made when video starts.
    std::string driver = SDL_GetCurrentVideoDriver();
    SDL_DestroyWindow(s.sdl_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "1");
    SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());
    // Now and then the display refuses the second connection made so soon: one more try.
    s.sdl_window = (start_video() || start_video()) ? make() : nullptr;
    if (s.sdl_window && !SDL_GetWindowSurface(s.sdl_window)) {
      std::fprintf(stderr, "orbolan: the window has no surface to draw into on this screen%s%s\n",
                   *SDL_GetError() ? ": " : "", SDL_GetError());
      SDL_DestroyWindow(s.sdl_window);
      s.sdl_window = nullptr;
      return nullptr;
    }
  }
  if (!s.sdl_window) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return nullptr;
  }
  // Under X, size hints with the smallest and largest size equal: window managers then offer
  // neither resizing nor maximising (fullscreen lifts them, see follow_state). SDL's Wayland
  // driver passes a compositor's sizes on only to a resizable window, and a fixed one would
  // stay at the size of its tile when it floats again: there the window takes any size from
  // its own up, and a larger one shows the frame centred.
  SDL_SetWindowMinimumSize(s.sdl_window, zoomed_w, zoomed_h);
  if (on_x11()) SDL_SetWindowMaximumSize(s.sdl_window, zoomed_w, zoomed_h);
  s.window_id = SDL_GetWindowID(s.sdl_window);
  s.window = std::make_unique<Window>(desc);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);  // to hear of the window manager's frame and state
  xlib::request_frame_extents(s.sdl_window);
  s.wake_event = SDL_RegisterEvents(1);
  {
    std::lock_guard lock(s.frame_mutex);
    s.frame_w = desc.client_width;
    s.frame_h = desc.client_height;
    s.frame = s.window->pixels.data();
  }
  set_icon_and_cursor(desc);
  refresh_origin();
  sdl::start_lifeline(s.sdl_window, s.window.get());
  return s.window.get();
}

// The frame around the client area, as SDL knows it (nothing before a window manager has
// framed the window, which happens when it is first shown).
void frame_of_window(int* left, int* right, int* top, int* bottom) {
  *left = *right = *top = *bottom = 0;
  if (state().sdl_window && !xlib::frame_extents(state().sdl_window, left, right, top, bottom) &&
      SDL_GetWindowBordersSize(state().sdl_window, top, left, bottom, right) != 0)
    *left = *right = *top = *bottom = 0;
}

void window_size_for_client(HWND, int client_w, int client_h, int* outer_w, int* outer_h) {
  int left, right, top, bottom;
  frame_of_window(&left, &right, &top, &bottom);
  *outer_w = client_w * state().zoom + left + right;
  *outer_h = client_h * state().zoom + top + bottom;
}

void move_window(HWND, int x, int y, int, int) {
  State& s = state();
  if (!s.sdl_window) return;
  int left, right, top, bottom;
  frame_of_window(&left, &right, &top, &bottom);
  SDL_SetWindowPosition(s.sdl_window, x + left, y + top);  // SDL places the client area
  s.placed = POINT{x, y};
  const int frame[4] = {left, right, top, bottom};
  std::copy(frame, frame + 4, s.placed_frame);
  refresh_origin();
}

POINT client_to_screen(HWND hwnd, POINT p) {
  if (on_window_thread()) refresh_origin();
  const POINT o = hwnd ? hwnd->origin() : POINT{0, 0};
  return POINT{o.x + p.x, o.y + p.y};
}

void show_window(HWND) {
  State& s = state();
  if (!s.sdl_window) return;
  // Make the window's surface while it is hidden, after its first placement: made once a
  // window manager has framed the window, it disturbs the move that centres the frame.
  SDL_GetWindowSurface(s.sdl_window);
  SDL_ShowWindow(s.sdl_window);
  SDL_PumpEvents();  // lets SDL learn where the window manager put it; events stay queued
  refresh_origin();
}

void destroy_window(HWND hwnd) {
  State& s = state();
  if (!hwnd || hwnd->destroyed.exchange(true)) return;
  if (hwnd->proc) {
    std::lock_guard<std::recursive_mutex> lock{world_lock()};
    hwnd->proc(hwnd, WM_DESTROY, 0, 0);
  }
  if (hwnd == s.window.get() && s.sdl_window) {
    std::lock_guard lock(s.frame_mutex);  // no frame is copied while the window goes
    SDL_DestroyWindow(s.sdl_window);
    s.sdl_window = nullptr;
  }
}

bool get_message(Message* msg) {
  detail::join_stopped_timers();
  for (;;) {
    if (detail::pop_message(msg)) return msg->message != WM_QUIT;
    SDL_Event e;
    if (!state().video_up || !SDL_WaitEvent(&e)) {
      detail::wait_message(msg);  // no SDL to listen to: only posted messages can come
      return msg->message != WM_QUIT;
    }
    handle_event(e);
  }
}

int message_box(HWND, const char* text, const char* caption, uint32 flags) {
  State& s = state();
  // Boxes belong to the window thread; a call from the timer thread can only be printed.
  if (!on_window_thread() && s.window_thread != std::thread::id{}) {
    print_box(caption, text);
    return -1;
  }
  const std::string utf_text = detail::cp1252_to_utf8(text);
  const std::string utf_caption = detail::cp1252_to_utf8(caption);
  const bool question = (flags & 0xF) == MB_OKCANCEL;
  const SDL_MessageBoxButtonData buttons[2] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
           (question ? 0u : static_cast<Uint32>(SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT)),
       IDOK, "OK"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"}};
  SDL_Window* parent = (s.window && !s.window->destroyed) ? s.sdl_window : nullptr;
  const SDL_MessageBoxData data{question ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_ERROR,
                                parent,
                                utf_caption.c_str(),
                                utf_text.c_str(),
                                question ? 2 : 1,
                                buttons,
                                nullptr};
  // With no window of ours on a screen the box may never be seen (a dialog helper that finds
  // no display still reports it shown): standard error has the text as well.
  if (!parent) print_box(caption, text);
  int pressed = -1;
  if (sdl::closing_by_signal()) {  // the program is closing: nothing may hold it up
    if (parent) print_box(caption, text);
    return -1;
  }
  sdl::box_opened();
  const int shown = SDL_ShowMessageBox(&data, &pressed);
  sdl::box_closed();
  if (shown != 0) {
    if (parent) print_box(caption, text);
    return -1;
  }
  if (pressed == -1) return question ? IDCANCEL : IDOK;  // closed without a button
  return pressed;
}

void shutdown() {
  sdl::stop_lifeline();
  detail::kill_all_timers();
  sound::shutdown();
  State& s = state();
  if (s.sdl_window) {
    SDL_DestroyWindow(s.sdl_window);
    s.sdl_window = nullptr;
  }
  if (s.cursor) {
    SDL_FreeCursor(s.cursor);
    s.cursor = nullptr;
  }
  if (s.video_up) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  s.video_up = false;
  SDL_Quit();
}

}  // namespace plat
