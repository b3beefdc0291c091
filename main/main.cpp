// The program's entry point: answers --help and --version, takes the window's zoom from the
// command line, hands over to the shell, then ends the platform.
#include <cstdio>
#include <cstring>

#include "main/MAIN.h"
#include "platform/platform.h"

namespace {

// Prints the answer to --help or --version when one is asked for and says so; every other
// argument is left to the shell.
bool Answer_Command_Line(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("orbolan %s\n", ORBOLAN_VERSION);
      return true;
    }
    if (!std::strcmp(argv[i], "--help")) {
      std::printf(
          "Usage: orbolan [--scale N]\n"
          "A bubble puzzle: click a group of same-coloured bubbles to see its worth, click it\n"
          "again to remove it.\n\n"
          "  --scale N   zoom the window by a whole factor N, 1 to 4 (also ORBOLAN_SCALE=N;\n"
          "              without either, from GDK_SCALE or Xft.dpi, never beyond the screen)\n"
          "  --help      show this help and exit\n"
          "  --version   show the version and exit\n\n"
          "Keys: Ctrl+N or F2 new game, Ctrl+Z or Backspace undo, Return or Escape OK or\n"
          "Done, Ctrl+Q close. On the board the arrow keys move a cursor, and Space or\n"
          "Return press the cell under it. Tab and Shift+Tab move a focus ring over the\n"
          "buttons and the setup's choices; Space presses the one it marks. The Reset\n"
          "question takes Return for OK and Escape for Cancel.\n");
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (Answer_Command_Line(argc, argv)) return 0;
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
