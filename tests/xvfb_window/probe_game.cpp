// A stand-in game for the window test under a real X server: it draws a frame of known
// pixels (a one-pixel checkerboard, a colour ramp, text), finishes it from the timer thread,
// saves the finished frame as "expected.bmp", and logs every message it is given to
// "probe.log" in the working directory.
#include <cstdio>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/bitmap_io.h"
#include "platform/display.h"
#include "platform/platform.h"

int32 game_initialized = 0;

namespace {

constexpr int TICKS_TO_FINISH = 40;  // one second of frames drawn by the timer thread
FILE* log_file = nullptr;
int ticks = 0;

void Log(const char* line) {
  if (!log_file) log_file = std::fopen("probe.log", "a");  // appending, so a test may empty it
  std::fputs(line, log_file);
  std::fflush(log_file);
}

void Draw_Pattern() {
  FillSurface(v_screen, 0, 0, 494, 420, 0x202020);
  uint32* px = v_screen->pixels();
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) {
      if (x < 120 && y < 120) px[y * 494 + x] = ((x ^ y) & 1) ? 0xFFFFFF : 0x000000;
      else if (y >= 300) px[y * 494 + x] = static_cast<uint32>((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x * y) & 0xFF));
    }
  ShowTextCenter(v_screen, 300, 40, "Orbolan window probe \xC4\xD6\xDC", 0x00FFFF);
  DrawLine(v_screen, 130, 130, 480, 290, 0x0000FF);
}

}  // namespace

void Game_Init() {
  Draw_Pattern();
  Update_Screen();
  game_initialized = 1;
}

void Game_Shutdown() {
  Log("close\n");
  plat::time_kill_event(TIMER_ID);
}

void Game_Message(uint32 msg, uint32 wParam, long lParam) {
  char line[96];
  const int x = static_cast<int16_t>(lParam & 0xFFFF), y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
  switch (msg) {
    case WM_PAINT:
      if (game_initialized) Update_Screen();
      break;
    case WM_CLOSE:
      Game_Shutdown();
      break;
    case WM_MOUSEMOVE:
      if (!(wParam & MK_LBUTTON)) break;  // only drags: a resting pointer says nothing
      [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      std::snprintf(line, sizeof line, "%u %u %d %d\n", msg, wParam, x, y);
      Log(line);
      break;
    default:
      break;
  }
}

void Update_Screen() { PutSurfacePrimary(0, 0, v_screen); }

// Grows a bar across the frame, one step per tick, presenting from the timer thread; the
// last step saves the finished frame for the screenshot comparison.
void animate(uint32, uint32, unsigned long, unsigned long, unsigned long) {
  if (!game_initialized || ticks >= TICKS_TO_FINISH) return;
  ++ticks;
  FillSurface(v_screen, 130, 250, 130 + ticks * 8, 270, 0x00C0FF);
  Update_Screen();
  if (ticks == TICKS_TO_FINISH) {
    plat::save_bmp("expected.bmp", v_screen->pixels(), 493, 419, 494);
    Log("finished\n");
  }
}
