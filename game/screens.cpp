// The screens: each is composed whole into the frame v_screen (background, pictures, texts,
// status line, buttons, and on the board the bubbles with the selection's outline and the
// keyboard's cursor) and then presented to the window in one blit. Once a board frame
// stands, the next one redraws and presents only the rectangles that changed.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/GAME.h"
#include "game/wrap.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"

const char* Status_Text = nullptr;  // the status line of the screen being composed
sDRAWN_BOARD board_drawn = {};
const char *info1, *info2, *info3, *info4, *info5, *info6, *info7, *info8, *info9, *info10, *info11,
    *info12, *info13, *info14, *info15, *info16, *info17, *info18, *info19, *info20, *info21,
    *info22, *info23, *info24, *info25, *info26, *info27, *info28, *info29, *info30;

constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF BLACK = 0x000000;
constexpr COLORREF RED = 0x0000FF;

using TextLine = char[80];

// The first step of every whole screen: the opaque background covers whatever the last screen
// left, so the frame no longer holds the board board_drawn describes.
static void Draw_Background() {
  board_drawn.valid = 0;
  PutSurface(0, 0, bk_pic, v_screen);
}

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

static LPDIRECTDRAWSURFACE Bubble_Picture(int32 type) {
  LPDIRECTDRAWSURFACE const pictures[] = {bubble_1, bubble_2, bubble_3, bubble_4, bubble_5};
  return type >= 1 && type <= 5 ? pictures[type - 1] : nullptr;
}

// Where the bubble of cell (i, j) is drawn: at rest, or where it slides, each axis on its own
// (a bubble may move on one axis only).
static POINT Bubble_Pos(int32 i, int32 j) {
  const sBUBBLE_FIELD& cell = PlayField[i][j];
  POINT p = Rest_Pos(i, j);
  if (game_busy != 0) {
    if (cell.move_pos.x != AT_REST) p.x = cell.move_pos.x;
    if (cell.move_pos.y != AT_REST) p.y = cell.move_pos.y;
  }
  return p;
}

// ---- Rectangles of the frame --------------------------------------------------------------

// The cells' boxes together: everything the board draws lies inside.
constexpr RECT BOARD_BOX = {BOARD_LEFT, BOARD_TOP, BOARD_RIGHT + 1, BOARD_BOTTOM + 1};
// Below the board: the status line and the row of buttons, redrawn together.
constexpr RECT LOWER_BAND = {0, BOARD_BOTTOM + 1, SCREEN_W, SCREEN_H};
constexpr RECT WHOLE_FRAME = {0, 0, SCREEN_W, SCREEN_H};

static bool Is_Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

static RECT Intersection(const RECT& a, const RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

static RECT Union(const RECT& a, const RECT& b) {
  if (Is_Empty(a)) return b;
  if (Is_Empty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

static bool Overlap(const RECT& a, const RECT& b) { return !Is_Empty(Intersection(a, b)); }

static RECT Cell_Box(int32 i, int32 j) {
  const int32 left = BOARD_LEFT + CELL_SIZE * i, top = BOARD_TOP + CELL_SIZE * j;
  return {left, top, left + CELL_SIZE, top + CELL_SIZE};
}

// ---- The board ----------------------------------------------------------------------------

// The red border of the selected group on the cell's box: the edges (1 top, 2 bottom, 4 left,
// 8 right) that no marked neighbour shares, so the lines trace the group's outline. The
// board's edge is tested before any neighbour is looked at.
static int32 Outline_Edges(int32 i, int32 j) {
  int32 edges = 0;
  if (j == 0 || PlayField[i][j - 1].marked == 0) edges |= 1;
  if (j == FIELD_ROWS - 1 || PlayField[i][j + 1].marked == 0) edges |= 2;
  if (i == 0 || PlayField[i - 1][j].marked == 0) edges |= 4;
  if (i == FIELD_COLUMNS - 1 || PlayField[i + 1][j].marked == 0) edges |= 8;
  return edges;
}

// A horizontal or vertical one-pixel line from (x1, y1) to (x2, y2), the end point left out,
// drawn only where it lies inside `clip`.
static void Draw_Straight_Line(int32 x1, int32 y1, int32 x2, int32 y2, const RECT& clip) {
  if (y1 == y2) {  // across
    if (y1 < clip.top || y1 >= clip.bottom) return;
    x1 = std::max(x1, clip.left), x2 = std::min(x2, clip.right);
    if (x1 < x2) DrawLine(v_screen, x1, y1, x2, y2, RED);
  } else {  // down
    if (x1 < clip.left || x1 >= clip.right) return;
    y1 = std::max(y1, clip.top), y2 = std::min(y2, clip.bottom);
    if (y1 < y2) DrawLine(v_screen, x1, y1, x2, y2, RED);
  }
}

// The outline's edges on the cell's box, inside `clip`. DrawLine leaves out the end point, so
// each edge covers exactly the box's CELL_SIZE pixels.
static void Draw_Outline(int32 i, int32 j, int32 edges, const RECT& clip) {
  const RECT box = Cell_Box(i, j);
  const int32 right = box.right - 1, bottom = box.bottom - 1;
  if (edges & 1) Draw_Straight_Line(box.left, box.top, right + 1, box.top, clip);
  if (edges & 2) Draw_Straight_Line(box.left, bottom, right + 1, bottom, clip);
  if (edges & 4) Draw_Straight_Line(box.left, box.top, box.left, bottom + 1, clip);
  if (edges & 8) Draw_Straight_Line(right, box.top, right, bottom + 1, clip);
}

// What the frame shows of cell (i, j) now.
static sDRAWN_CELL Cell_Look(int32 i, int32 j) {
  const sBUBBLE_FIELD& cell = PlayField[i][j];
  if (cell.type == 0) return {};  // empty cell: the wood shows through
  const POINT p = Bubble_Pos(i, j);
  const int32 edges = bubbles_marked != 0 && cell.marked != 0 ? Outline_Edges(i, j) : 0;
  return {cell.type, p.x, p.y, edges};
}

static bool Same_Look(const sDRAWN_CELL& a, const sDRAWN_CELL& b) {
  return a.type == b.type && a.x == b.x && a.y == b.y && a.edges == b.edges;
}

// The bubble picture's rectangle in the frame; empty when it has none.
static RECT Picture_Rect(const sDRAWN_CELL& look) {
  LPDIRECTDRAWSURFACE picture = Bubble_Picture(look.type);
  int32 w = 0, h = 0;
  if (picture != nullptr) GetSurfaceSize(picture, &w, &h);
  return {look.x, look.y, look.x + w, look.y + h};
}

// Every pixel the cell's look can touch: its picture and, with an outline, its box.
static RECT Footprint(int32 i, int32 j, const sDRAWN_CELL& look) {
  if (look.type == 0) return {};
  RECT r = Picture_Rect(look);
  if (look.edges != 0) r = Union(r, Cell_Box(i, j));
  return Intersection(r, BOARD_BOX);
}

// The cells of the board in reading order, each bubble and its outline cut to `clip`: inside
// it, the same pixels the whole board's drawing leaves.
static void Draw_Cells(const sDRAWN_CELL (&looks)[FIELD_COLUMNS][FIELD_ROWS], const RECT& clip) {
  const RECT picture_clip = Intersection(clip, PlayField_Rect);
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      const sDRAWN_CELL& look = looks[i][j];
      if (look.type == 0) continue;
      LPDIRECTDRAWSURFACE picture = Bubble_Picture(look.type);
      if (picture != nullptr && !Is_Empty(picture_clip) && Overlap(Picture_Rect(look), clip))
        PutSurfaceClipCC(look.x, look.y, picture, v_screen, picture_clip);
      if (look.edges != 0 && Overlap(Cell_Box(i, j), clip)) Draw_Outline(i, j, look.edges, clip);
    }
  }
}

static int32 Cursor_Cell() { return cursor_shown != 0 ? cursor_y * FIELD_COLUMNS + cursor_x : -1; }

// What the row of buttons is drawn from.
static void Buttons_Look(int32 (&look)[6]) {
  int32 pressed = 0;
  for (int32 i = 1; i <= button_ctr && i < 20; ++i)
    if (buttons[i].pressed != 0) pressed |= 1 << i;
  look[0] = mode, look[1] = last_mode, look[2] = main_btn_mask, look[3] = focus_item;
  look[4] = button_ctr, look[5] = pressed;
}

// A frame can be mended from the background and the bubbles only while they hold their
// pictures; a whole frame runs into a lost one and has it reloaded.
static bool Pictures_Held() {
  if (SurfaceLost(v_screen) || SurfaceLost(bk_pic)) return false;
  for (int32 type = 1; type <= 5; ++type)
    if (SurfaceLost(Bubble_Picture(type))) return false;
  return true;
}

static bool Background_Fits() {
  int32 w, h, W, H;
  GetSurfaceSize(bk_pic, &w, &h);
  GetSurfaceSize(v_screen, &W, &H);
  return w == W && h == H && W == SCREEN_W && H == SCREEN_H;
}

// The status line and the buttons below the board, on their part of the background.
static void Draw_Lower_Band(const char* status) {
  PutSurfacePart(LOWER_BAND, bk_pic, v_screen);
  Draw_Status(status);
  Draw_Buttons();
}

// Redraws in v_screen only what changed since the board frame board_drawn describes, and
// presents only that part. The board's changed rectangles get their background back and every
// bubble and outline inside them again, in the same order as the whole board, cut to them;
// the cursor goes over them last, as in a whole frame. False when no board frame stands.
static bool Redraw_Changes(const char* status) {
  if (board_drawn.valid == 0 || mode != MODE_GAME || !Background_Fits() || !Pictures_Held())
    return false;
  static sDRAWN_CELL looks[FIELD_COLUMNS][FIELD_ROWS];
  // At most two rectangles per cell and two for the cursor; overlapping ones are merged.
  static RECT regions[2 * FIELD_COLUMNS * FIELD_ROWS + 2];
  int32 count = 0;
  auto add = [&count](const RECT& r) {
    if (Is_Empty(r)) return;
    for (int32 k = 0; k < count; ++k)
      if (Overlap(regions[k], r)) {
        regions[k] = Union(regions[k], r);
        return;
      }
    regions[count++] = r;
  };
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      looks[i][j] = Cell_Look(i, j);
      const sDRAWN_CELL& before = board_drawn.cells[i][j];
      if (Same_Look(looks[i][j], before)) continue;
      add(Footprint(i, j, before));
      add(Footprint(i, j, looks[i][j]));
    }
  const int32 cursor = Cursor_Cell();
  if (cursor != board_drawn.cursor) {
    if (board_drawn.cursor >= 0)
      add(Cell_Box(board_drawn.cursor % FIELD_COLUMNS, board_drawn.cursor / FIELD_COLUMNS));
    if (cursor >= 0) add(Cell_Box(cursor % FIELD_COLUMNS, cursor / FIELD_COLUMNS));
  }
  int32 buttons_look[6];
  Buttons_Look(buttons_look);
  const bool lower = std::memcmp(buttons_look, board_drawn.look, sizeof buttons_look) != 0 ||
                     std::strcmp(status, board_drawn.status) != 0;

  bool cursor_covered = false;
  for (int32 k = 0; k < count; ++k) {
    PutSurfacePart(regions[k], bk_pic, v_screen);
    Draw_Cells(looks, regions[k]);
    if (cursor >= 0)
      cursor_covered |=
          Overlap(regions[k], Cell_Box(cursor % FIELD_COLUMNS, cursor / FIELD_COLUMNS));
  }
  if (cursor_covered) Draw_Cursor();
  Status_Text = status;
  if (lower) Draw_Lower_Band(status);

  std::memcpy(board_drawn.cells, looks, sizeof looks);
  board_drawn.cursor = cursor;
  std::memcpy(board_drawn.look, buttons_look, sizeof buttons_look);
  std::snprintf(board_drawn.status, sizeof board_drawn.status, "%s", status);
  // One present for the rectangle around them all: each present is a picture sent to the X
  // server and waited for, which costs the server more than the pixels around them.
  RECT changed = lower ? LOWER_BAND : RECT{};
  for (int32 k = 0; k < count; ++k) changed = Union(changed, regions[k]);
  if (!Is_Empty(changed)) PutSurfacePrimaryPart(changed, v_screen);
  return true;
}

void Create_Game_Screen() {
  static TextLine status;
  std::snprintf(status, sizeof status, "Score: %u  Bubble-Points: %u   ---   %u Bubbles selected.",
                static_cast<unsigned>(game_score.score), static_cast<unsigned>(bubble_points),
                static_cast<unsigned>(number_bubbles_marked));
  if (Redraw_Changes(status)) return;
  Draw_Background();
  Draw_Status(status);
  Draw_Buttons();
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) board_drawn.cells[i][j] = Cell_Look(i, j);
  Draw_Cells(board_drawn.cells, WHOLE_FRAME);
  Draw_Cursor();
  board_drawn.cursor = Cursor_Cell();
  Buttons_Look(board_drawn.look);
  std::snprintf(board_drawn.status, sizeof board_drawn.status, "%s", status);
  board_drawn.valid = 1;
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
