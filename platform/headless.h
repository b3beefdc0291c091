// Test controls of the headless backend: the same game code with no display and no sound
// card, and everything it does observable. Linked into the test executables only.
#pragma once

#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace plat::headless {

struct BoxRecord {
  std::string caption;
  std::string text;  // Windows-1252, as passed
  uint32 flags = 0;
};

// Back to a fresh state: no window, empty queue, no records, manual timer, display usable,
// screen 1024 x 768, boxes answered IDOK. The display object's surfaces are gone.
void reset();

// ---- Window and display ----------------------------------------------------------------
void set_display_available(bool available);  // false: window creation fails (no X server)
void set_screen_size(int w, int h);
POINT window_client_origin();          // screen position of the client area
void user_moves_window(int x, int y);  // the window is dragged: WM_MOVE is posted
uint32 window_pixel(int x, int y);     // last presented client pixel, 0x00RRGGBB
int present_count();                   // frames presented to the window so far
// From now on, a hash of the whole window after every present (off after reset).
void keep_frame_hashes(bool on);
std::vector<std::size_t> frame_hashes();
bool save_window_bmp(const char* path);

// ---- Surfaces ---------------------------------------------------------------------------
uint32 surface_pixel(LPDIRECTDRAWSURFACE s, int x, int y);  // 0x00RRGGBB
void mark_surface_lost(LPDIRECTDRAWSURFACE s, bool lost);
void set_dc_available(LPDIRECTDRAWSURFACE s, bool available);
bool save_surface_bmp(LPDIRECTDRAWSURFACE s, const char* path);

// ---- Messages ---------------------------------------------------------------------------
bool post(uint32 msg, uint32 wParam, int32 lParam);  // to the main window
void mouse_down(int x, int y, uint32 keys = MK_LBUTTON);
void mouse_move(int x, int y, uint32 keys = MK_LBUTTON);
void mouse_up(int x, int y, uint32 keys = 0);
void click(int x, int y);  // down, then up, at one place
int pump();                // dispatches every queued message; returns how many
bool quit_posted(int* exit_code);

// ---- Message boxes -----------------------------------------------------------------------
void set_box_answer(int answer);  // IDOK, IDCANCEL, or -1 (no box can be shown)
const std::vector<BoxRecord>& message_boxes();

// ---- Timer --------------------------------------------------------------------------------
void set_real_timer(bool on);  // true: time_set_event starts a real 25 ms thread
// True (the default): a real timer sleeps after a tick that did nothing, until a message is
// dispatched. False: it ticks every 25 ms for as long as it lives.
void set_timer_sleeps_when_idle(bool on);
void tick(int n = 1);  // fires n ticks of every live manual timer, under the world lock
bool timer_alive();

// ---- Sound (implemented by the headless sound device) -------------------------------------
// One entry per command that reached a device: "play pop", "play score wait", "stop pop".
const std::vector<std::string>& sound_log();
int beep_count();
void clear_sound_log();

}  // namespace plat::headless
