// The services the game modules (main, game, gfx, mci) take from the platform layer:
// window and message queue, message boxes, beep, the periodic timer, debugger output,
// bitmap pictures, the media command interpreter, and the lock that keeps the timer
// thread and the window thread apart. Implemented in platform/, with an SDL2 backend for
// the real program and a headless backend linked into the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

// ---- Windows and messages -------------------------------------------------------------

using WindowProcFn = int32 (*)(HWND, uint32 msg, uint32 wParam, int32 lParam);

struct WindowDesc {
  const char* title = "";  // Windows-1252 text
  int client_width = 0;    // the client area's size; the frame is the backend's business
  int client_height = 0;
  WindowProcFn proc = nullptr;  // receives every message dispatched to the window
  int icon_id = 0;              // resource id of the icon picture (0 = none)
  int cursor_id = 0;            // resource id of the cursor picture (0 = system arrow)
};

struct Message {
  HWND hwnd = nullptr;
  uint32 message = WM_NULL;
  uint32 wParam = 0;
  int32 lParam = 0;
};

// The player's zoom for the window ("--scale N": the text N), taken when the window is made.
// The SDL backend shows the client area enlarged by that whole factor; the headless window
// is never zoomed.
void set_zoom_option(const char* text);
// Creates the (hidden) window; null when the display cannot be set up.
HWND create_window(const WindowDesc& desc);
// Size of the whole window for the given client size (caption and borders included).
void window_size_for_client(HWND hwnd, int client_w, int client_h, int* outer_w, int* outer_h);
void screen_size(int* w, int* h);
void move_window(HWND hwnd, int x, int y, int outer_w, int outer_h);
// Screen coordinates of the client-area point p.
POINT client_to_screen(HWND hwnd, POINT p);
void show_window(HWND hwnd);
void destroy_window(HWND hwnd);  // sends WM_DESTROY to the window's procedure

// Blocks until a message is available; returns false when it is WM_QUIT (code in *msg).
bool get_message(Message* msg);
// Calls the window procedure of msg.hwnd under the world lock.
int32 dispatch_message(const Message& msg);
// Thread-safe; may be called from any thread.
bool post_message(HWND hwnd, uint32 msg, uint32 wParam, int32 lParam);
void post_quit_message(int exit_code);
// The default window procedure: WM_CLOSE destroys the window; everything else returns 0.
int32 def_window_proc(HWND hwnd, uint32 msg, uint32 wParam, int32 lParam);

// Modal message box. Texts are Windows-1252. Returns IDOK or IDCANCEL, or -1 when no box
// can be shown (then the text has been written to standard error).
int message_box(HWND owner, const char* text, const char* caption, uint32 flags);

// The UTF-8 text (a file name, say) in Windows-1252, '?' for what that code page lacks.
std::string utf8_to_cp1252(const std::string& text);

// ---- Kernel and multimedia services --------------------------------------------------

void beep(uint32 frequency_hz, uint32 duration_ms);
void debug_output(const char* text);
// Ends the platform once, after WinMain has returned: joins stopped timer threads, shuts the
// sound device down and closes the display.
void shutdown();

// Periodic timer on its own thread; the callback runs under the world lock.
uint32 time_set_event(uint32 delay_ms, uint32 resolution_ms, LPTIMECALLBACK callback,
                      unsigned long user, uint32 kind);
void time_kill_event(uint32 id);

// The one lock between the timer thread and the window thread: held around every timer
// callback and every dispatched message, so the board and the frame are never touched
// by both threads at once. Recursive, so a handler may dispatch nested work.
std::recursive_mutex& world_lock();
// Held while a file the player must not lose is being replaced: a program that has to end at
// once (its display gone) waits for it, so every counted game is on disk when it ends.
std::timed_mutex& save_lock();

// The media control interpreter: "open f type waveaudio alias a", "play a from 0 [wait]",
// "stop a", "close a", "set a time format tms", "seek a to start|end", cdaudio commands.
// Returns 0 on success, else an error code.
uint32 mci_send_string(const char* command);

// ---- Bitmap pictures -----------------------------------------------------------------

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// 24-bit uncompressed BMP from a file or from memory; null when missing or damaged.
std::unique_ptr<Bitmap> load_bitmap_file(const char* path);
std::unique_ptr<Bitmap> load_bitmap_memory(const std::uint8_t* data, std::size_t size);
// A picture built into the program, by resource id; null when there is none.
std::unique_ptr<Bitmap> load_bitmap_resource(int id);

}  // namespace plat
