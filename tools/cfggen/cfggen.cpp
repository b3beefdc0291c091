// cfggen: writes the "orbolan.cfg" a player's first start begins with (normal game, sounds
// on, animations on, no statistics) into the working folder, through the game's own save.
// The launcher and the play script copy it where none exists yet; the game itself still
// starts from zeros when it finds no file.
#include "game/GAME.h"
#include "game/config.h"

int main() {
  setup_data = {0, 1, 1};
  score_statistic = {};
  return Write_Config() ? 0 : 1;
}
