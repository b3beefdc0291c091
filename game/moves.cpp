// Carrying out a confirmed move: snapshot for undo, removal, gravity, close-up, refill and
// row packing by game type, scoring, and the end of a game with its bonus and statistics.
#include <cstdlib>

#include "game/GAME.h"
#include "game/wrap.h"
#include "mci/MCI.h"

sGAME_SCORES game_score = {0, 0};
int32 game_busy = 0;
int32 waitanim = 0;
int32 highscore = 0;
int32 game_over = 0;

namespace {

// What each game type does after gravity and close-up, by game type 0..3.
struct sTYPE_RULES {
  int32 refill;  // emptied columns are refilled from the left
  int32 pack;    // every row is packed to the right (after a refill)
  int32 bonus;   // the end of a game earns a bonus for few bubbles left
};
constexpr sTYPE_RULES type_rules[4] = {
    {0, 0, 1},  // normal
    {1, 0, 0},  // continuous
    {0, 1, 1},  // shifter
    {1, 1, 0},  // megashift
};
// A type outside 0..3 (from a damaged file) plays with gravity and close-up alone.
constexpr sTYPE_RULES no_rules = {0, 0, 0};

const sTYPE_RULES& Rules_Of(int32 type) {
  return (type >= 0 && type < 4) ? type_rules[type] : no_rules;
}

// End bonus by bubbles left; five or more earn nothing.
constexpr int32 bonus_table[5] = {500, 200, 100, 50, 25};

void Snapshot_And_Remove() {
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      sBUBBLE_FIELD& cell = PlayField[i][j];
      undo_bubble_types[i][j] = cell.type;
      cell.old_pos = {i, j};
      cell.move_pos = Rest_Pos(i, j);  // every cell starts where it is drawn now
      if (cell.marked) {
        cell.marked = 0;
        cell.type = 0;
        cell.move_pos = {AT_REST, AT_REST};
      }
    }
  }
}

// Seven passes per column: each pass closes at least the lowest gap, and empty cells are
// moved like bubbles so every cell keeps carrying its own positions.
void Apply_Gravity() {
  for (int32 i = FIELD_COLUMNS - 1; i >= 0; --i)
    for (int32 pass = 0; pass < FIELD_ROWS; ++pass)
      for (int32 k = FIELD_ROWS - 1; k >= 1; --k)
        if (PlayField[i][k].type == 0)
          for (int32 m = k; m >= 1; --m) Move_Bubble(i, m, i, m - 1);
}

// Empty columns move to the left edge: the board closes up towards the right.
void Close_Up() {
  for (int32 pass = 0; pass < FIELD_COLUMNS - 1; ++pass)
    for (int32 c = FIELD_COLUMNS - 1; c >= 1; --c)
      if (Check_Free_Row(c))
        for (int32 j = 0; j < FIELD_ROWS; ++j) Move_Bubble(c, j, c - 1, j);
}

// After the close-up the empty columns are 0..k, so the rightmost one refills them all.
void Refill() {
  for (int32 c = FIELD_COLUMNS - 1; c >= 0; --c) {
    if (Check_Free_Row(c)) {
      Fill_Rows(c);
      return;
    }
  }
}

void Pack_Rows() {
  for (int32 pass = 0; pass < FIELD_COLUMNS; ++pass)
    for (int32 c = 0; c < FIELD_COLUMNS - 1; ++c)
      for (int32 j = 0; j < FIELD_ROWS; ++j)
        if (PlayField[c + 1][j].type == 0) Move_Bubble(c + 1, j, c, j);
}

// The game has run out of groups: bonus, statistics of its type, then the end-of-game screen
// now or once the animation has brought every bubble home. (A game the player gives up ends
// through Abandon_Game in game/buttons.cpp.)
void Finish_Game() {
  game_over = 1;
  if (Rules_Of(game_type).bonus) {
    const int32 left = Count_Bubbles();
    if (left < 5) game_score.bubble_bonus = bonus_table[left];
  }
  const int32 result = Wrap_Add(game_score.score, game_score.bubble_bonus);
  highscore = Count_Game(game_type, true, result);
  if (game_busy == 0)
    change_mode(MODE_GAME_SCORE);
  else
    waitanim = 1;
}

}  // namespace

void Update_Bubbles() {
  const sTYPE_RULES& rules = Rules_Of(game_type);
  Snapshot_And_Remove();
  Apply_Gravity();
  Close_Up();
  if (rules.refill) Refill();
  if (rules.pack) Pack_Rows();

  bubbles_marked = 0;
  number_bubbles_marked = 0;
  game_score.score = Wrap_Add(game_score.score, bubble_points);
  undo_score = bubble_points;
  bubble_points = 0;
  game_busy = setup_data.animations != 0 ? 1 : 0;

  Create_Screen();
  if (setup_data.play_sounds) mci_PlayWave("pop");
  if (Check_Game_Over() == 0) return;
  Finish_Game();
}

void Move_Bubble(int32 x1, int32 y1, int32 x2, int32 y2) {
  PlayField[x1][y1] = PlayField[x2][y2];
  sBUBBLE_FIELD& source = PlayField[x2][y2];
  source.type = 0;
  source.move_pos = {AT_REST, AT_REST};
  source.old_pos = {-1, -1};
  source.marked = 0;
}

int32 Check_Free_Row(int32 r) {
  if (r < 0 || r >= FIELD_COLUMNS) return 0;
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    if (PlayField[r][j].type != 0) return 0;
  return 1;
}

void Fill_Rows(int32 r) {
  if (r < 0 || r >= FIELD_COLUMNS) return;
  // Column r draws first, each column from the top down; all new columns start one block
  // of (r + 1) columns to the left and slide in together. old_pos stays (-1, -1): every
  // cell of an emptied column got it from Move_Bubble.
  for (int32 c = r; c >= 0; --c) {
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      sBUBBLE_FIELD& cell = PlayField[c][j];
      cell.type = std::rand() % 5 + 1;
      cell.move_pos = {BUBBLE_LEFT - (r - c + 1) * CELL_SIZE, AT_REST};
      cell.marked = 0;
    }
  }
}
