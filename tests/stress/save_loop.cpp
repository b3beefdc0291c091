// Saves "orbolan.cfg" in the working folder over and over, each save a new generation g
// with all fifteen fields equal to g, and reports every finished save on standard output
// ("g\n"); the fault test kills it at random moments. Usage: save_loop FIRST_GENERATION
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "game/GAME.h"
#include "game/config.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  for (int32 g = static_cast<int32>(std::atol(argv[1]));; ++g) {
    setup_data = {g, g, g};
    for (sSTATISTIC_BLOCK* b : {&score_statistic.normal, &score_statistic.continuous,
                                &score_statistic.shifter, &score_statistic.megashift})
      *b = {g, g, g};
    if (!Write_Config()) return 1;
    char line[16];
    const int n = std::snprintf(line, sizeof line, "%d\n", g);
    if (write(STDOUT_FILENO, line, static_cast<std::size_t>(n)) != n) return 1;
  }
}
