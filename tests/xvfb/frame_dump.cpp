// Saves the real game's first screen, as the headless backend composes it, as a BMP file: the
// picture the program must show under X. Usage: orbolan_frame_dump OUTPUT.bmp
#include "main/MAIN.h"
#include "platform/headless.h"

int main(int argc, char** argv) {
  if (argc != 2 || !DirectDrawInit(nullptr, 1)) return 2;
  Start_Game();  // the shell's start-up; the headless timer ticks only when told
  plat::headless::pump();
  return plat::headless::save_window_bmp(argv[1]) ? 0 : 1;
}
