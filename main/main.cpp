// The program's entry point: takes the window's zoom from the command line, hands over to
// the shell, then ends the platform.
#include <cstring>

#include "main/MAIN.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--scale") == 0)
      plat::set_zoom_option(i + 1 < argc ? argv[++i] : "");
    else if (std::strncmp(argv[i], "--scale=", 8) == 0)
      plat::set_zoom_option(argv[i] + 8);
  }
  const int code = WinMain(nullptr, nullptr, nullptr, 1);
  plat::shutdown();
  return code;
}
