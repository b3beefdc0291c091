// The animation tick: every 25 ms each displaced bubble slides 8 pixels per axis towards
// its cell; when all rest, the animation ends and an owed end-of-game screen is requested.
#include "game/GAME.h"
#include "main/MAIN.h"
#include "platform/platform.h"

namespace {

// One axis of one cell: at rest once it reaches home, else one 8-pixel step towards it.
void Step_Axis(int32& pos, int32 home) {
  if (pos == home) pos = AT_REST;
  if (pos == AT_REST) return;
  pos += home > pos ? 8 : -8;
}

}  // namespace

// Runs on the timer thread. The platform calls it under the world lock that also guards
// every message the window thread dispatches, so it never sees half a move.
void animate(uint32, uint32, unsigned long, unsigned long, unsigned long) {
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      // Empty cells run home as well; nothing is drawn for them.
      POINT& pos = PlayField[i][j].move_pos;
      Step_Axis(pos.x, Rest_Pos(i, j).x);
      Step_Axis(pos.y, Rest_Pos(i, j).y);
    }
  }
  if (check_all_bubbles_moved()) {
    game_busy = 0;
    if (waitanim == 1) {
      // Mode changes belong to the window thread: ask it for the end-of-game screen.
      plat::post_message(main_hwnd, GAME_SCORE_MSG, 0, 0);
      waitanim = 0;
    }
  }
  // The tick that finds everything at rest draws nothing: the last frame already shows it.
  if (game_busy == 1) Create_Screen();
}

int32 check_all_bubbles_moved() {
  for (const auto& column : PlayField)
    for (const auto& cell : column)
      if (cell.move_pos.x != AT_REST || cell.move_pos.y != AT_REST) return 0;
  return 1;
}
