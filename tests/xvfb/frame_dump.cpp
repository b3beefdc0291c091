// Saves the real game's first screen, as the headless backend composes it, as a BMP file: the
// picture the program must show under X. Usage: orbolan_frame_dump OUTPUT.bmp
#include <mutex>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  if (argc != 2 || !DirectDrawInit(nullptr, 1)) return 2;
  {
    std::lock_guard<std::recursive_mutex> lock{plat::world_lock()};
    v_screen = CreateOffScreenSurface(dd_Object, 494, 420);
    Game_Init();
  }
  plat::headless::pump();
  return plat::headless::save_window_bmp(argv[1]) ? 0 : 1;
}
