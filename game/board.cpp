// The board: a fresh random board, the flood fill that finds a group, the two-press
// selection protocol and the queries that end a game.
#include <cstdlib>

#include "game/GAME.h"

sBUBBLE_FIELD PlayField[FIELD_COLUMNS][FIELD_ROWS];
RECT PlayField_Rect = {BOARD_LEFT, BOARD_TOP, BOARD_RIGHT, BOARD_BOTTOM};
int32 game_type = 0;
int32 bubbles_marked = 0;
int32 number_bubbles_marked = 0;
int32 bubble_points = 0;

static void Clear_Selection() {
  bubbles_marked = 0;
  number_bubbles_marked = 0;
  bubble_points = 0;
}

static void Clear_Marks() {
  for (auto& column : PlayField)
    for (auto& cell : column) cell.marked = 0;
}

void New_Game() {
  game_type = setup_data.game_type;
  game_score.score = 0;
  game_score.bubble_bonus = 0;
  // Rows outermost: a seeded generator then predicts the board row by row from the top.
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      sBUBBLE_FIELD& cell = PlayField[i][j];
      cell.type = std::rand() % 5 + 1;
      cell.move_pos = {AT_REST, AT_REST};  // also ends a running animation at the next tick
      cell.marked = 0;
    }
  }
  Clear_Selection();
  cursor_x = cursor_y = 0;  // the keyboard's cursor starts each game on the top-left cell
  undo = 0;
  // An end-of-game screen still owed by the last game's animation belongs to that game.
  waitanim = 0;
  game_over = 0;
}

int32 Check_Bubble(int32 x, int32 y, int32 type) {
  if (type == 0) return 0;
  if (x < 0 || x >= FIELD_COLUMNS || y < 0 || y >= FIELD_ROWS) return 0;
  sBUBBLE_FIELD& cell = PlayField[x][y];
  if (cell.type != type || cell.marked) return 0;
  cell.marked = 1;
  int32 count = 1;
  if (y > 0) count += Check_Bubble(x, y - 1, type);
  if (y < FIELD_ROWS - 1) count += Check_Bubble(x, y + 1, type);
  if (x > 0) count += Check_Bubble(x - 1, y, type);
  if (x < FIELD_COLUMNS - 1) count += Check_Bubble(x + 1, y, type);
  return count;
}

int32 Check_Game_Over() {
  // The fill marks what it visits, so every group is measured once, at its first cell.
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      if (Check_Bubble(i, j, PlayField[i][j].type) >= 2) return 0;
  return 1;
}

int32 Count_Bubbles() {
  int32 count = 0;
  for (const auto& column : PlayField)
    for (const auto& cell : column)
      if (cell.type != 0) ++count;
  return count;
}

void Check_Bubbles_Clicked(uint32 xPos, uint32 yPos) {
  // The caller only passes presses inside the board; anything else is ignored rather
  // than turned into a cell outside the array.
  if (xPos < static_cast<uint32>(BUBBLE_LEFT) || yPos < static_cast<uint32>(BUBBLE_TOP)) return;
  const uint32 x = (xPos - BUBBLE_LEFT) / CELL_SIZE;
  const uint32 y = (yPos - BUBBLE_TOP) / CELL_SIZE;
  if (x >= static_cast<uint32>(FIELD_COLUMNS) || y >= static_cast<uint32>(FIELD_ROWS)) return;

  if (bubbles_marked == 1 && PlayField[x][y].marked == 1) {
    Update_Bubbles();  // redraws by itself
    undo = 1;
    return;
  }
  Clear_Marks();
  if (bubbles_marked == 1) {
    // A press beside the selection only drops it; the next press selects anew.
    Clear_Selection();
  } else {
    const int32 n =
        Check_Bubble(static_cast<int32>(x), static_cast<int32>(y), PlayField[x][y].type);
    if (n >= 2) {
      bubbles_marked = 1;
      number_bubbles_marked = n;
      bubble_points = (n - 1) * n;
    }
  }
  Create_Screen();
}
