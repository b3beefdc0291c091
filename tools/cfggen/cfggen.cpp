// cfggen: writes the "orbolan.cfg" a player's first start begins with (normal game, sounds
// on, animations on, no statistics) into the working folder, laid out by the game's own code.
// The launcher and the play script copy it where none exists yet; the game itself still
// starts from zeros when it finds no file.
#include <cstdio>

#include "game/GAME.h"
#include "game/config.h"

int main() {
  const sSETUP_DATA setup = {0, 1, 1};
  unsigned char bytes[CONFIG_FILE_SIZE];
  Encode_Config(setup, sSCORE_STATISTIC{}, bytes);
  std::FILE* f = std::fopen(CONFIG_FILE_NAME, "wb");
  const bool written = f && std::fwrite(bytes, 1, sizeof bytes, f) == sizeof bytes;
  return (f && std::fclose(f) == 0 && written) ? 0 : 1;
}
