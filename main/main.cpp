// The program's entry point: answers --help and --version, takes the window's zoom from the
// command line (refusing what it does not know), hands over to the shell, then ends the
// platform.
#include <cstdio>
#include <cstring>

#include "main/MAIN.h"
#include "platform/platform.h"

namespace {

constexpr int EXIT_USAGE = 2;

void Print_Help() {
  std::printf(
      "Usage: orbolan [--scale N]\n"
      "A bubble puzzle: click a group of same-coloured bubbles to see its worth, click it\n"
      "again to remove it.\n\n"
      "  --scale N   zoom the window by a whole factor N, 1 to 4 (also ORBOLAN_SCALE=N;\n"
      "              without either, from GDK_SCALE or Xft.dpi, never beyond the screen)\n"
      "  --help      show this help and exit\n"
      "  --version   show the version and exit\n"
      "An option given twice counts as given last.\n\n"
      "Keys: Ctrl+N or F2 new game, Ctrl+Z or Backspace undo, Return or Escape OK or\n"
      "Done, Ctrl+Q close. On the board the arrow keys move a cursor, and Space or\n"
      "Return press the cell under it. Tab and Shift+Tab move a focus ring over the\n"
      "buttons and the setup's choices; Space presses the one it marks. The Reset\n"
      "question takes Return for OK and Escape for Cancel.\n");
}

int Usage_Error(const char* what, const char* arg) {
  std::fprintf(stderr, "orbolan: %s '%s'\nTry 'orbolan --help' for more information.\n", what, arg);
  return EXIT_USAGE;
}

// Reads the command line in order: --help and --version answer at once, --scale hands its
// value to the platform. Returns -1 to go on and start the game, else the exit code.
int Read_Command_Line(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!std::strcmp(arg, "--version")) {
      std::printf("orbolan %s\n", ORBOLAN_VERSION);
      return 0;
    }
    if (!std::strcmp(arg, "--help")) {
      Print_Help();
      return 0;
    }
    if (!std::strcmp(arg, "--scale")) {
      if (i + 1 >= argc) return Usage_Error("option needs a value:", arg);
      plat::set_zoom_option(argv[++i]);
    } else if (!std::strncmp(arg, "--scale=", 8)) {
      plat::set_zoom_option(arg + 8);
    } else {
      return Usage_Error(arg[0] == '-' ? "unknown option" : "unexpected argument", arg);
    }
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int code = Read_Command_Line(argc, argv); code >= 0) return code;
  const int code = WinMain(nullptr, nullptr, nullptr, 1);
  plat::shutdown();
  return code;
}
