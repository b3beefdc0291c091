// One-level undo: the board before the last move is rebuilt from the move's snapshot, and
// the bubbles that moved slide back from where they stand now.
#include "game/GAME.h"
#include "game/wrap.h"

int32 undo = 0;
int32 undo_bubble_types[FIELD_COLUMNS][FIELD_ROWS];
int32 undo_score = 0;
sBUBBLE_FIELD Dummy_PlayField[FIELD_COLUMNS][FIELD_ROWS];

namespace {

bool Is_Cell(POINT p) { return p.x >= 0 && p.x < FIELD_COLUMNS && p.y >= 0 && p.y < FIELD_ROWS; }

// Every content that came from another cell goes back there, starting from where it is
// now; new bubbles of a refill carry no old cell and are dropped.
void Place_Moved_Contents() {
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      const sBUBBLE_FIELD& cell = PlayField[i][j];
      if (!Is_Cell(cell.old_pos)) continue;
      Dummy_PlayField[cell.old_pos.x][cell.old_pos.y] = {cell.type, Rest_Pos(i, j), {-1, -1}, 0};
    }
  }
}

// What is still empty takes its colour from the snapshot: the removed group comes back in
// place, and what was empty stays empty.
void Fill_From_Snapshot() {
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      sBUBBLE_FIELD& cell = Dummy_PlayField[i][j];
      if (cell.type != 0) continue;
      cell = {undo_bubble_types[i][j], Rest_Pos(i, j), {-1, -1}, 0};
    }
  }
}

}  // namespace

void Undo_Move() {
  if (undo == 0) return;
  // The move ended the game and its result is recorded; taking it back now would let the
  // same game be counted twice.
  if (waitanim == 1) return;

  for (auto& column : Dummy_PlayField)
    for (auto& cell : column) cell.type = 0;
  Place_Moved_Contents();
  Fill_From_Snapshot();
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) PlayField[i][j] = Dummy_PlayField[i][j];

  game_score.score = Wrap_Sub(game_score.score, undo_score);
  undo_score = 0;
  undo = 0;
  bubbles_marked = 0;
  number_bubbles_marked = 0;
  bubble_points = 0;
  game_busy = 1;  // the return is always animated, whatever the setup says
  Create_Screen();
}
