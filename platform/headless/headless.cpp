// The headless backend: the window is a framebuffer in memory, messages are injected by the
// test, message boxes are answered by the test, and timers fire when the test says so.
#include "platform/headless.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/bitmap_io.h"
#include "platform/detail.h"
#include "platform/display.h"

namespace plat {

namespace {

// The frame a window manager would draw around the client area.
constexpr int BORDER_LEFT = 4, BORDER_RIGHT = 4, BORDER_TOP = 24, BORDER_BOTTOM = 4;

struct State {
  std::mutex mutex;  // guards the presented frame, which the timer thread may write
  bool display_available = true;
  bool manual_timers = true;
  int box_answer = IDOK;
  std::vector<headless::BoxRecord> boxes;
  std::vector<std::unique_ptr<Window>> windows;  // kept until reset: handles stay valid
  Window* main = nullptr;
  std::uint32_t* frame = nullptr;  // the main window's pixels
  int frame_w = 0, frame_h = 0;
  int presents = 0;
  bool keep_hashes = false;
  std::vector<std::size_t> hashes;
  bool quit = false;
  int quit_code = 0;
};

State& state() {
  static State s;
  return s;
}

}  // namespace

// ---- Backend hooks -----------------------------------------------------------------------

namespace detail {

void present(Window& window, const std::uint32_t* pixels, RECT r) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  if (&window != s.main) return;
  // The primary surface drew straight into the window's pixels; a surface of some other
  // memory is copied in, row by row.
  if (pixels != s.frame) {
    const std::size_t frame_w = static_cast<std::size_t>(s.frame_w);
    const std::size_t n = static_cast<std::size_t>(r.right - r.left);
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(s.frame + static_cast<std::size_t>(y) * frame_w + r.left,
                  pixels + static_cast<std::size_t>(y) * window.client_w + r.left,
                  n * sizeof(std::uint32_t));
  }
  ++s.presents;
  if (s.keep_hashes)
    s.hashes.push_back(std::hash<std::string_view>{}(std::string_view(
        reinterpret_cast<const char*>(s.frame), window.pixels.size() * sizeof(std::uint32_t))));
}

void wake_window_thread() {}

bool manual_timers() {
  std::lock_guard lock(state().mutex);
  return state().manual_timers;
}

}  // namespace detail

// ---- platform.h ----------------------------------------------------------------------------

void set_zoom_option(const char*) {}  // the tests see the client area at its own size

HWND create_window(const WindowDesc& desc) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  if (!s.display_available || desc.client_width <= 0 || desc.client_height <= 0) return nullptr;
  s.windows.push_back(std::make_unique<Window>(desc));
  s.main = s.windows.back().get();
  s.frame_w = desc.client_width;
  s.frame_h = desc.client_height;
  s.frame = s.main->pixels.data();
  return s.main;
}

void window_size_for_client(HWND, int client_w, int client_h, int* outer_w, int* outer_h) {
  *outer_w = client_w + BORDER_LEFT + BORDER_RIGHT;
  *outer_h = client_h + BORDER_TOP + BORDER_BOTTOM;
}

void move_window(HWND hwnd, int x, int y, int, int) {
  if (hwnd) hwnd->set_origin(POINT{x + BORDER_LEFT, y + BORDER_TOP});
}

POINT client_to_screen(HWND hwnd, POINT p) {
  const POINT o = hwnd ? hwnd->origin() : POINT{0, 0};
  return POINT{o.x + p.x, o.y + p.y};
}

void show_window(HWND) {}

void destroy_window(HWND hwnd) {
  if (!hwnd || hwnd->destroyed.exchange(true)) return;
  if (hwnd->proc) {
    std::lock_guard<std::recursive_mutex> lock{world_lock()};
    hwnd->proc(hwnd, WM_DESTROY, 0, 0);
  }
}

bool get_message(Message* msg) {
  detail::join_stopped_timers();
  detail::wait_message(msg);
  return msg->message != WM_QUIT;
}

int message_box(HWND, const char* text, const char* caption, uint32 flags) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  s.boxes.push_back(headless::BoxRecord{caption ? caption : "", text ? text : "", flags});
  if (s.box_answer == -1) {
    std::fprintf(stderr, "%s: %s\n", detail::cp1252_to_utf8(caption).c_str(),
                 detail::cp1252_to_utf8(text).c_str());
  }
  return s.box_answer;
}

void shutdown() { detail::join_stopped_timers(); }

// ---- headless.h ------------------------------------------------------------------------------

namespace headless {

void reset() {
  detail::kill_all_timers();
  detail::clear_messages();
  release_all_displays();
  State& s = state();
  {
    std::lock_guard lock(s.mutex);
    for (auto& w : s.windows) w->destroyed = true;
    s.windows.clear();
    s.main = nullptr;
    s.display_available = true;
    s.manual_timers = true;
    s.box_answer = IDOK;
    s.boxes.clear();
    s.frame = nullptr;
    s.frame_w = s.frame_h = 0;
    s.presents = 0;
    s.keep_hashes = false;
    s.hashes.clear();
    s.quit = false;
    s.quit_code = 0;
  }
  detail::set_screen_size(1024, 768);
  detail::set_timers_sleep_when_idle(true);
  clear_sound_log();
}

void set_display_available(bool available) {
  std::lock_guard lock(state().mutex);
  state().display_available = available;
}

void set_screen_size(int w, int h) { detail::set_screen_size(w, h); }

POINT window_client_origin() {
  std::lock_guard lock(state().mutex);
  return state().main ? state().main->origin() : POINT{0, 0};
}

void user_moves_window(int x, int y) {
  Window* w;
  {
    std::lock_guard lock(state().mutex);
    w = state().main;
  }
  if (!w) return;
  w->set_origin(POINT{x, y});
  post_message(w, WM_MOVE, 0, MAKELPARAM(x, y));
}

uint32 window_pixel(int x, int y) {
  State& s = state();
  std::lock_guard world(world_lock());  // the game draws into the frame under this lock
  std::lock_guard lock(s.mutex);
  if (x < 0 || y < 0 || x >= s.frame_w || y >= s.frame_h) return 0;
  return s.frame[static_cast<std::size_t>(y) * s.frame_w + x];
}

int present_count() {
  std::lock_guard lock(state().mutex);
  return state().presents;
}

bool save_window_bmp(const char* path) {
  State& s = state();
  std::lock_guard world(world_lock());
  std::lock_guard lock(s.mutex);
  if (!s.frame) return false;
  return save_bmp(path, s.frame, s.frame_w, s.frame_h, s.frame_w);
}

uint32 surface_pixel(LPDIRECTDRAWSURFACE s, int x, int y) {
  if (!s || x < 0 || y < 0 || x >= s->buffer_width() || y >= s->buffer_height()) return 0;
  const plat::Surface& surface = *s;  // read only: leaves the surface's opaque runs valid
  return surface.pixels()[static_cast<std::size_t>(y) * s->buffer_width() + x];
}

void mark_surface_lost(LPDIRECTDRAWSURFACE s, bool lost) {
  if (s) s->set_lost(lost);
}

void set_dc_available(LPDIRECTDRAWSURFACE s, bool available) {
  if (s) s->set_dc_available(available);
}

bool save_surface_bmp(LPDIRECTDRAWSURFACE s, const char* path) {
  if (!s) return false;
  const plat::Surface& surface = *s;
  return save_bmp(path, surface.pixels(), s->buffer_width(), s->buffer_height(), s->buffer_width());
}

bool post(uint32 msg, uint32 wParam, int32 lParam) {
  Window* w;
  {
    std::lock_guard lock(state().mutex);
    w = state().main;
  }
  return w && post_message(w, msg, wParam, lParam);
}

void mouse_down(int x, int y, uint32 keys) { post(WM_LBUTTONDOWN, keys, MAKELPARAM(x, y)); }
void mouse_move(int x, int y, uint32 keys) { post(WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
void mouse_up(int x, int y, uint32 keys) { post(WM_LBUTTONUP, keys, MAKELPARAM(x, y)); }

void click(int x, int y) {
  mouse_down(x, y, MK_LBUTTON);
  mouse_up(x, y, 0);
}

int pump() {
  int n = 0;
  Message msg;
  while (detail::pop_message(&msg)) {
    ++n;
    if (msg.message == WM_QUIT) {
      std::lock_guard lock(state().mutex);
      state().quit = true;
      state().quit_code = static_cast<int>(msg.wParam);
      continue;
    }
    dispatch_message(msg);
  }
  detail::join_stopped_timers();
  return n;
}

bool quit_posted(int* exit_code) {
  std::lock_guard lock(state().mutex);
  if (state().quit && exit_code) *exit_code = state().quit_code;
  return state().quit;
}

void set_box_answer(int answer) {
  std::lock_guard lock(state().mutex);
  state().box_answer = answer;
}

const std::vector<BoxRecord>& message_boxes() { return state().boxes; }

void set_real_timer(bool on) {
  std::lock_guard lock(state().mutex);
  state().manual_timers = !on;
}

void keep_frame_hashes(bool on) {
  std::lock_guard lock(state().mutex);
  state().keep_hashes = on;
}

std::vector<std::size_t> frame_hashes() {
  std::lock_guard lock(state().mutex);
  return state().hashes;
}

void set_timer_sleeps_when_idle(bool on) { detail::set_timers_sleep_when_idle(on); }

void tick(int n) { detail::fire_manual_timers(n); }

bool timer_alive() { return detail::any_timer_alive(); }

}  // namespace headless
}  // namespace plat
