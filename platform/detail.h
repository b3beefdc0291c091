// Inside the platform layer: the window record both backends share, the common message
// queue and timers, and the hooks each backend (SDL or headless) defines once.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat {

// The one game window. Its record outlives the window itself, so a message that was still
// queued for it when it went away is dropped instead of reaching a dangling handle.
class Window {
 public:
  explicit Window(const WindowDesc& desc)
      : title(desc.title ? desc.title : ""),
        client_w(desc.client_width),
        client_h(desc.client_height),
        proc(desc.proc),
        icon_id(desc.icon_id),
        cursor_id(desc.cursor_id),
        pixels(static_cast<std::size_t>(std::max(client_w, 0)) *
                   static_cast<std::size_t>(std::max(client_h, 0)),
               0u) {}

  const std::string title;  // Windows-1252
  const int client_w;
  const int client_h;
  const WindowProcFn proc;
  const int icon_id;
  const int cursor_id;
  std::atomic<bool> destroyed{false};
  // The client area's pixels, 0x00RRGGBB, top row first: the primary surface draws straight
  // into them, and the backend shows them from here. Written and read under the world lock.
  std::vector<std::uint32_t> pixels;

  // Screen position of the client area's top-left pixel. Read by blits on any thread.
  POINT origin() const {
    std::lock_guard lock(mutex_);
    return origin_;
  }
  void set_origin(POINT p) {
    std::lock_guard lock(mutex_);
    origin_ = p;
  }

 private:
  mutable std::mutex mutex_;
  POINT origin_{0, 0};
};

namespace detail {

// ---- Hooks defined by each backend ---------------------------------------------------
// Shows the rectangle r of the client-area pixels (pitch = client width); `pixels` are the
// window's own when the primary surface drew into them. Called with the world lock held,
// from the window thread or the timer thread.
void present(Window& window, const std::uint32_t* pixels, RECT r);
// A message was posted: wake the window thread if it sleeps in the backend's event wait.
void wake_window_thread();
// True: time_set_event makes timers that only the test fires (headless default).
bool manual_timers();

// ---- The common message queue -----------------------------------------------------------
bool pop_message(Message* msg);   // false when the queue is empty
void wait_message(Message* msg);  // blocks until a message is there
void clear_messages();

// ---- Timers ---------------------------------------------------------------------------
void fire_manual_timers(int n);  // n ticks of every live manual timer, under the world lock
bool any_timer_alive();
void kill_all_timers();
void join_stopped_timers();  // call where the world lock is not held
// The calling thread presented a frame or posted a message: a tick that does neither
// found nothing to do, and its timer sleeps until rouse_timers.
void note_busy();
void rouse_timers();                       // after every dispatched message
void set_timers_sleep_when_idle(bool on);  // true by default; false: tick forever

// ---- Screen size as the backend last learned it --------------------------------------
void set_screen_size(int w, int h);

// The text with its Windows-1252 bytes converted to UTF-8.
std::string cp1252_to_utf8(const char* text);

}  // namespace detail
}  // namespace plat
