// The screens: each is composed whole into the frame v_screen (background, pictures, texts,
// status line, buttons, and on the board the bubbles with the selection's outline and the
// keyboard's cursor) and then presented to the window in one blit.
#include <cstdio>

#include "game/GAME.h"
#include "game/wrap.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"

const char* Status_Text = nullptr;  // the status line of the screen being composed
const char *info1, *info2, *info3, *info4, *info5, *info6, *info7, *info8, *info9, *info10, *info11,
    *info12, *info13, *info14, *info15, *info16, *info17, *info18, *info19, *info20, *info21,
    *info22, *info23, *info24, *info25, *info26, *info27, *info28, *info29, *info30;

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF BLACK = 0x000000;
constexpr COLORREF RED = 0x0000FF;

using TextLine = char[80];

// The first step of every screen: the opaque background covers whatever the last screen left.
static void Draw_Background() { PutSurface(0, 0, bk_pic, v_screen); }

static void Draw_Status(const char* text) {
  Status_Text = text;
  ShowText(v_screen, STATUS_X, STATUS_Y, Status_Text, WHITE);
}

// A number as the screens show it: unsigned decimal, so a damaged negative value reads as
// its 32-bit counterpart rather than with a minus sign.
static void Format_Number(TextLine& line, int32 value) {
  std::snprintf(line, sizeof line, "%u", static_cast<unsigned>(value));
}

// Average result of a game type; with no games counted the sum itself, so nothing is ever
// divided by zero.
static int32 Average_Score(const sSTATISTIC_BLOCK& block) {
  return block.games >= 1 ? block.scores / block.games : block.scores;
}

// ---- Start and credits ------------------------------------------------------------------

static void Create_Start_Screen() {
  Draw_Background();
  PutSurfaceCC(TITLE_X, TITLE_Y, pic, v_screen);
  Draw_Status("Click 'New' to start a new game!");
  Draw_Buttons();
  Update_Screen();
}

static const char SEPARATOR[] =
    "----------------------------------------------------------------------------------------------"
    "------";
static_assert(sizeof SEPARATOR == 101, "a separator is 100 dashes");

struct sCREDIT_LINE {
  const char** slot;
  int32 y;
  const char* text;
};
static const sCREDIT_LINE credit_lines[] = {
    {&info1, 40, "Orbolan v1.0"},
    {&info2, 55, SEPARATOR},
    {&info3, 70, "A bubble puzzle for the Linux desktop,"},
    {&info4, 85, "made by the Orbolan developers."},
    {&info5, 100, "Its pictures and sounds are made by its own code."},
    {&info6, 115, SEPARATOR},
    {&info7, 130, "Built with SDL2 and SDL_mixer; its text is"},
    {&info8, 145, "drawn with FreeType from the DejaVu fonts."},
    {&info20, 190, "Thanks to"},
    {&info21, 205, "the developers of SDL2 and SDL_mixer,"},
    {&info22, 220, "the FreeType project,"},
    {&info23, 235, "the DejaVu fonts project,"},
    {&info24, 250, "and everyone who plays Orbolan."},
};

static void Create_Credits_Screen() {
  Draw_Background();
  PutSurfaceCC(PAPER_X, PAPER_Y, paper_x_pic, v_screen);
  for (const sCREDIT_LINE& line : credit_lines) *line.slot = line.text;
  for (const sCREDIT_LINE& line : credit_lines)
    ShowText(v_screen, CREDITS_TEXT_X, line.y, *line.slot, BLACK);
  Draw_Status("The creators of Orbolan...");
  Draw_Buttons();
  Update_Screen();
}

int32 Create_Screen() {
  switch (mode) {
    case MODE_START: Create_Start_Screen(); break;
    case MODE_GAME: Create_Game_Screen(); break;
    case MODE_CREDITS: Create_Credits_Screen(); break;
    case MODE_SETUP: CreateSetup(); break;
    case MODE_SCORES: Create_Scores(); break;
    case MODE_GAME_SCORE: Create_Game_Score(); break;
    default: break;  // no screen: the window keeps the last frame
  }
  return 0;
}

void Update_Screen() { PutSurfacePrimary(0, 0, v_screen); }

// ---- The board ----------------------------------------------------------------------------

static LPDIRECTDRAWSURFACE Bubble_Picture(int32 type) {
  LPDIRECTDRAWSURFACE const pictures[] = {bubble_1, bubble_2, bubble_3, bubble_4, bubble_5};
  return type >= 1 && type <= 5 ? pictures[type - 1] : nullptr;
}

static void Draw_Bubble(int32 i, int32 j) {
  const sBUBBLE_FIELD& cell = PlayField[i][j];
  LPDIRECTDRAWSURFACE picture = Bubble_Picture(cell.type);
  if (picture == nullptr) return;  // not a colour of the game
  int32 x = Rest_Pos(i, j).x;
  int32 y = Rest_Pos(i, j).y;
  if (game_busy != 0) {  // each axis on its own: a bubble may move on one axis only
    if (cell.move_pos.x != AT_REST) x = cell.move_pos.x;
    if (cell.move_pos.y != AT_REST) y = cell.move_pos.y;
  }
  PutSurfaceClipCC(x, y, picture, v_screen, PlayField_Rect);
}

// The red border of the selected group on the cell's box; the edge a marked neighbour
// shares is left out, so the lines trace the group's outline. The board's edge is tested
// before any neighbour is looked at. DrawLine leaves out the end point, so each edge
// covers exactly the box's CELL_SIZE pixels.
static void Draw_Outline(int32 i, int32 j) {
  const int32 left = BOARD_LEFT + CELL_SIZE * i;
  const int32 top = BOARD_TOP + CELL_SIZE * j;
  const int32 right = left + CELL_SIZE - 1;
  const int32 bottom = top + CELL_SIZE - 1;
  if (j == 0 || PlayField[i][j - 1].marked == 0) DrawLine(v_screen, left, top, right + 1, top, RED);
  if (j == FIELD_ROWS - 1 || PlayField[i][j + 1].marked == 0)
    DrawLine(v_screen, left, bottom, right + 1, bottom, RED);
  if (i == 0 || PlayField[i - 1][j].marked == 0)
    DrawLine(v_screen, left, top, left, bottom + 1, RED);
  if (i == FIELD_COLUMNS - 1 || PlayField[i + 1][j].marked == 0)
    DrawLine(v_screen, right, top, right, bottom + 1, RED);
}

void Create_Game_Screen() {
  static TextLine status;
  Draw_Background();
  std::snprintf(status, sizeof status, "Score: %u  Bubble-Points: %u   ---   %u Bubbles selected.",
                static_cast<unsigned>(game_score.score), static_cast<unsigned>(bubble_points),
                static_cast<unsigned>(number_bubbles_marked));
  Draw_Status(status);
  Draw_Buttons();
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      if (PlayField[i][j].type == 0) continue;  // empty cell: the wood shows through
      Draw_Bubble(i, j);
      if (bubbles_marked != 0 && PlayField[i][j].marked != 0) Draw_Outline(i, j);
    }
  }
  Draw_Cursor();
  Update_Screen();
}

// ---- Statistics ----------------------------------------------------------------------------

void Create_Scores() {
  static TextLine numbers[12];
  const char** const slots[12] = {&info1, &info2, &info3, &info4,  &info5,  &info6,
                                  &info7, &info8, &info9, &info10, &info11, &info12};
  const sSTATISTIC_BLOCK* const blocks[4] = {&score_statistic.normal, &score_statistic.continuous,
                                             &score_statistic.shifter, &score_statistic.megashift};
  constexpr int32 row_y[4] = {SCORES_NORMAL_Y, SCORES_CONTINUOUS_Y, SCORES_SHIFTER_Y,
                              SCORES_MEGASHIFT_Y};
  constexpr int32 column_x[3] = {SCORES_GAMES_X, SCORES_AVERAGE_X, SCORES_HIGH_X};

  Draw_Background();
  PutSurfaceCC(PAPER_X, PAPER_Y, paper_pic, v_screen);
  PutSurfaceCC(SCORES_TABLE_X, SCORES_TABLE_Y, score_table_pic, v_screen);
  for (int32 row = 0; row < 4; ++row) {
    Format_Number(numbers[3 * row], blocks[row]->games);
    Format_Number(numbers[3 * row + 1], Average_Score(*blocks[row]));
    Format_Number(numbers[3 * row + 2], blocks[row]->high);
  }
  for (int32 n = 0; n < 12; ++n) *slots[n] = numbers[n];
  for (int32 n = 0; n < 12; ++n)
    ShowTextCenter(v_screen, column_x[n % 3], row_y[n / 3], *slots[n], BLACK);
  Draw_Status("Click 'Reset' to clear the damn thing...");
  Draw_Buttons();
  Update_Screen();
}

// ---- End of a game --------------------------------------------------------------------------

void Create_Game_Score() {
  static TextLine numbers[5];
  const char** const slots[5] = {&info1, &info2, &info3, &info4, &info5};
  constexpr int32 row_y[5] = {GAME_SCORE_SCORE_Y, GAME_SCORE_BONUS_Y, GAME_SCORE_TOTAL_Y,
                              GAME_SCORE_AVERAGE_Y, GAME_SCORE_GAMES_Y};
  constexpr int32 TOTAL_ROW = 2;

  Draw_Background();
  PutSurfaceCC(PAPER_X, PAPER_Y, paper_pic, v_screen);
  PutSurfaceCC(GAME_SCORE_TABLE_X, GAME_SCORE_TABLE_Y, game_score_table_pic, v_screen);
  // The sum wraps like the statistics do; a game type from a damaged file has no block and
  // shows an average and a count of 0.
  const int32 total = Wrap_Add(game_score.score, game_score.bubble_bonus);
  const sSTATISTIC_BLOCK* block = Statistic_Block(game_type);
  Format_Number(numbers[0], game_score.score);
  Format_Number(numbers[1], game_score.bubble_bonus);
  Format_Number(numbers[2], total);
  Format_Number(numbers[3], block != nullptr ? Average_Score(*block) : 0);
  Format_Number(numbers[4], block != nullptr ? block->games : 0);
  for (int32 n = 0; n < 5; ++n) *slots[n] = numbers[n];
  for (int32 n = 0; n < 5; ++n) {
    const COLORREF colour = n == TOTAL_ROW && highscore != 0 ? RED : BLACK;
    ShowTextCenter(v_screen, GAME_SCORE_X, row_y[n], *slots[n], colour);
  }
  Draw_Status(highscore != 0 ? "You have a new highscore!!" : "Game Over!");
  Draw_Buttons();
  Update_Screen();
}

// ---- Setup ------------------------------------------------------------------------------------

void CreateSetup() {
  struct sMARK {
    int32 x, y;
  };
  constexpr sMARK game_type_marks[4] = {{TYPE_MARK_X, NORMAL_MARK_Y},
                                        {TYPE_MARK_X, CONTINUOUS_MARK_Y},
                                        {TYPE_MARK_X, SHIFTER_MARK_Y},
                                        {TYPE_MARK_X, MEGASHIFT_MARK_Y}};
  constexpr sMARK sounds_mark = {SOUNDS_MARK_X, SOUNDS_MARK_Y};
  constexpr sMARK animations_mark = {ANIMATIONS_MARK_X, ANIMATIONS_MARK_Y};

  Draw_Background();
  PutSurfaceCC(PAPER_X, PAPER_Y, paper_pic, v_screen);
  PutSurfaceCC(SETUP_MAP_X, SETUP_MAP_Y, setup_map_pic, v_screen);
  // Only the values the setup screen itself writes get a mark; anything else read from a
  // damaged file shows none until the player clicks.
  const int32 type = setup_data.game_type;
  if (type >= 0 && type <= 3)
    PutSurfaceCC(game_type_marks[type].x, game_type_marks[type].y, checked_box_pic, v_screen);
  if (setup_data.play_sounds == 1)
    PutSurfaceCC(sounds_mark.x, sounds_mark.y, checked_box_pic, v_screen);
  if (setup_data.animations == 1)
    PutSurfaceCC(animations_mark.x, animations_mark.y, checked_box_pic, v_screen);
  Draw_Status("Let's change something...");
  Draw_Buttons();
  Update_Screen();
}
