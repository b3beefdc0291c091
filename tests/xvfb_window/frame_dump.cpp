// Renders the real game's first screen in the headless backend and saves the window's
// pixels as a BMP file: the picture the real program must show under X.
// Usage: frame_dump OUTPUT.bmp
#include <cstdio>
#include <mutex>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: frame_dump OUTPUT.bmp\n");
    return 2;
  }
  plat::headless::reset();
  if (!DirectDrawInit(nullptr, 1)) return 1;
  {
    std::lock_guard<std::recursive_mutex> lock{plat::world_lock()};
    TIMER_ID = plat::time_set_event(25, 0, animate, 0, TIME_PERIODIC);
    v_screen = CreateOffScreenSurface(dd_Object, 494, 420);
    Game_Init();
  }
  plat::headless::pump();
  return plat::headless::save_window_bmp(argv[1]) ? 0 : 1;
}
