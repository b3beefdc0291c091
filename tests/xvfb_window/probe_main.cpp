// Entry point of the window probe: the real shell and SDL backend with the stand-in game.
#include "main/MAIN.h"
#include "platform/platform.h"

int main() {
  const int code = WinMain(nullptr, nullptr, nullptr, 1);
  plat::shutdown();
  return code;
}
