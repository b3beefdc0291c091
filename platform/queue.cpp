// The message queue shared by both backends (posting is safe from any thread), message
// dispatch under the world lock, the default window procedure, and small kernel services.
#include <condition_variable>
#include <cstdio>
#include <deque>

#include "platform/cp1252.h"
#include "platform/detail.h"

namespace plat {

namespace {

struct Queue {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<Message> messages;
};

Queue& queue() {
  static Queue q;
  return q;
}

struct ScreenSize {
  std::mutex mutex;
  int w = 1024, h = 768;
};

ScreenSize& screen() {
  static ScreenSize s;
  return s;
}

}  // namespace

std::recursive_mutex& world_lock() {
  static std::recursive_mutex lock;
  return lock;
}

std::timed_mutex& save_lock() {
  static std::timed_mutex lock;
  return lock;
}

bool post_message(HWND hwnd, uint32 msg, uint32 wParam, int32 lParam) {
  {
    std::lock_guard lock(queue().mutex);
    queue().messages.push_back(Message{hwnd, msg, wParam, lParam});
  }
  detail::note_busy();
  queue().ready.notify_one();
  detail::wake_window_thread();
  return true;
}

void post_quit_message(int exit_code) {
  post_message(nullptr, WM_QUIT, static_cast<uint32>(exit_code), 0);
}

int32 dispatch_message(const Message& msg) {
  HWND hwnd = msg.hwnd;
  if (!hwnd || hwnd->destroyed || !hwnd->proc) return 0;  // like a message to a gone window
  int32 result;
  {
    std::lock_guard<std::recursive_mutex> lock{world_lock()};
    result = hwnd->proc(hwnd, msg.message, msg.wParam, msg.lParam);
  }
  // Whatever the message started (a move, an undo), the sleeping timer is woken to carry it.
  detail::rouse_timers();
  return result;
}

int32 def_window_proc(HWND hwnd, uint32 msg, uint32, int32) {
  if (msg == WM_CLOSE && hwnd && !hwnd->destroyed) destroy_window(hwnd);
  return 0;
}

void debug_output(const char* text) {
  if (text) std::fputs(text, stderr);
}

void screen_size(int* w, int* h) {
  std::lock_guard lock(screen().mutex);
  *w = screen().w;
  *h = screen().h;
}

namespace detail {

bool pop_message(Message* msg) {
  std::lock_guard lock(queue().mutex);
  if (queue().messages.empty()) return false;
  *msg = queue().messages.front();
  queue().messages.pop_front();
  return true;
}

void wait_message(Message* msg) {
  std::unique_lock lock(queue().mutex);
  queue().ready.wait(lock, [] { return !queue().messages.empty(); });
  *msg = queue().messages.front();
  queue().messages.pop_front();
}

void clear_messages() {
  std::lock_guard lock(queue().mutex);
  queue().messages.clear();
}

void set_screen_size(int w, int h) {
  std::lock_guard lock(screen().mutex);
  screen().w = w;
  screen().h = h;
}

std::string cp1252_to_utf8(const char* text) {
  std::string out;
  for (const char* p = text ? text : ""; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    char32_t cp = c;
    if (c >= 0x80 && c < 0xA0) cp = CP1252_HIGH[c - 0x80] ? CP1252_HIGH[c - 0x80] : U'?';
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace detail

std::string utf8_to_cp1252(const std::string& text) {
  std::string out;
  for (std::size_t k = 0; k < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[k]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int n = 1; n < length && k + n < text.size(); ++n)
      cp = cp << 6 | (static_cast<unsigned char>(text[k + n]) & 0x3F);
    k += length;
    char byte = '?';
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) byte = static_cast<char>(cp);
    for (int c = 0; c < 32; ++c)
      if (cp >= 0x100 && CP1252_HIGH[c] == cp) byte = static_cast<char>(0x80 + c);
    out += byte;
  }
  return out;
}

}  // namespace plat
