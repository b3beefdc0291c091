// The GAME module's shared records, constants and globals: board and rules, screens and
// control. Every global is declared here once and defined in exactly one game/*.cpp.
#pragma once

#include "game/geometry.h"
#include "platform/wintypes.h"

// ---- Board geometry and records ------------------------------------------------------

constexpr int32 AT_REST = 65535;  // move_pos on an axis: the bubble rests on that axis

struct sBUBBLE_FIELD {
  int32 type;      // 0 empty, 1..5 colour
  POINT move_pos;  // drawing position while animated; AT_REST per axis when at rest
  POINT old_pos;   // cell before the last move; (-1, -1) = none
  int32 marked;    // 1 when in the selected group (also the flood fill's visited flag)
};

// Where the bubble of cell (i, j) is drawn when it rests.
inline POINT Rest_Pos(int32 i, int32 j) {
  return {BUBBLE_LEFT + CELL_SIZE * i, BUBBLE_TOP + CELL_SIZE * j};
}

struct sGAME_SCORES {
  int32 score;
  int32 bubble_bonus;
};

struct sSETUP_DATA {
  int32 game_type;    // 0 normal, 1 continuous, 2 shifter, 3 megashift
  int32 play_sounds;  // non-zero: sounds on
  int32 animations;   // non-zero: animations on
};

struct sSTATISTIC_BLOCK {
  int32 games;
  int32 scores;
  int32 high;
};

struct sSCORE_STATISTIC {
  sSTATISTIC_BLOCK normal;
  sSTATISTIC_BLOCK continuous;
  sSTATISTIC_BLOCK shifter;
  sSTATISTIC_BLOCK megashift;
};

// ---- Modes, messages and buttons -----------------------------------------------------

constexpr int32 MODE_START = 0;
constexpr int32 MODE_GAME = 2;
constexpr int32 MODE_CREDITS = 3;
constexpr int32 MODE_SETUP = 4;
constexpr int32 MODE_SCORES = 5;
constexpr int32 MODE_GAME_SCORE = 9;
constexpr int32 MODE_ALL = 255;
constexpr int32 MODE_BACK = 256;

constexpr uint32 GAME_SCORE_MSG = 999;     // posted by animate when the owed end screen is due
constexpr uint32 SURFACE_LOST_MSG = 9999;  // posted by the blits when a surface lost its memory

struct sBUTTON {
  POINT topleft;
  POINT bottomright;  // topleft + (62, 38)
  LPDIRECTDRAWSURFACE bmp_normal;
  LPDIRECTDRAWSURFACE bmp_pressed;
  int32 pressed;  // 1 while shown pressed
  int32 mode;     // the mode the button exists in, or MODE_ALL
};

// ---- Board and selection (game/board.cpp) --------------------------------------------
extern sBUBBLE_FIELD PlayField[FIELD_COLUMNS][FIELD_ROWS];  // [column][row], row 6 bottom
extern RECT PlayField_Rect;            // (7, 7, 486, 342), set by Game_Init
extern int32 game_type;                // type of the running game
extern int32 bubbles_marked;           // 1 while a group of two or more is selected
extern int32 number_bubbles_marked;    // size of the selected group
extern int32 bubble_points;            // n * (n - 1) of the selected group

// ---- Running game, flags and statistics (game/moves.cpp) -----------------------------
extern sGAME_SCORES game_score;        // score and end bonus of the running game
extern int32 game_busy;                // 1 while an animation runs
extern int32 waitanim;                 // 1 while the end-of-game screen is owed
extern int32 highscore;                // 1 when the game just ended with a new best
extern int32 game_over;                // 1 once the running game has ended and been counted

// ---- Undo snapshot (game/undo.cpp) ----------------------------------------------------
extern int32 undo;                     // 1 when the last move can be taken back
extern int32 undo_bubble_types[FIELD_COLUMNS][FIELD_ROWS];
extern int32 undo_score;
extern sBUBBLE_FIELD Dummy_PlayField[FIELD_COLUMNS][FIELD_ROWS];

// ---- Setup and statistics (game/config.cpp) ------------------------------------------
extern sSETUP_DATA setup_data;
extern sSCORE_STATISTIC score_statistic;

// ---- Screens (game/screens.cpp) -------------------------------------------------------
extern const char* Status_Text;
extern const char *info1, *info2, *info3, *info4, *info5, *info6, *info7, *info8, *info9,
    *info10, *info11, *info12, *info13, *info14, *info15, *info16, *info17, *info18, *info19,
    *info20, *info21, *info22, *info23, *info24, *info25, *info26, *info27, *info28, *info29,
    *info30;

// ---- Modes (game/modes.cpp) -----------------------------------------------------------
extern int32 mode;
extern int32 last_mode;
extern int32 main_btn_mask;

// ---- Buttons (game/buttons.cpp) -------------------------------------------------------
extern sBUTTON buttons[20];
extern int32 button_ctr;
extern int32 pressed_button;

// ---- Lifecycle and picture surfaces (game/control.cpp) -------------------------------
extern int32 game_initialized;
extern LPDIRECTDRAWSURFACE bubble_1, bubble_2, bubble_3, bubble_4, bubble_5;
extern LPDIRECTDRAWSURFACE bk_pic, paper_x_pic, paper_pic, pic;
extern LPDIRECTDRAWSURFACE score_table_pic, game_score_table_pic, setup_map_pic;
extern LPDIRECTDRAWSURFACE checked_box_pic, btnmask;

// ---- Board and moves ------------------------------------------------------------------
void New_Game();
int32 Check_Bubble(int32 x, int32 y, int32 type);
int32 Check_Game_Over();
int32 Count_Bubbles();
void Check_Bubbles_Clicked(uint32 xPos, uint32 yPos);
void Update_Bubbles();
void Move_Bubble(int32 x1, int32 y1, int32 x2, int32 y2);
int32 Check_Free_Row(int32 r);
void Fill_Rows(int32 r);

// ---- Animation (game/animate.cpp); runs on the timer thread ---------------------------
void animate(uint32 uID, uint32 uMsg, unsigned long dwUser, unsigned long dw1, unsigned long dw2);
int32 check_all_bubbles_moved();

// ---- Undo -----------------------------------------------------------------------------
void Undo_Move();

// ---- Configuration file "orbolan.cfg" (game/config.cpp) ------------------------------
// Reads the 60-byte file from the working directory into setup_data and score_statistic.
// A missing file keeps the zeros silently; a short or unreadable one keeps them and says
// so on standard error. Returns true when the file was read.
bool Read_Config();
// Writes both records through a temporary file renamed over "orbolan.cfg", so the old
// file stays whole on any failure (reported on standard error). Returns true on success.
bool Write_Config();
// The statistics block of a game type, or null for a type outside 0..3 (a damaged file).
sSTATISTIC_BLOCK* Statistic_Block(int32 type);

// ---- Screens --------------------------------------------------------------------------
int32 Create_Screen();
void Update_Screen();
void Create_Game_Screen();
void Create_Scores();
void Create_Game_Score();
void CreateSetup();

// ---- Modes and buttons ----------------------------------------------------------------
void change_mode(int32 new_mode);
int32 Check_In_Box(POINT topleft, POINT bottomright, uint32 xPos, uint32 yPos);
void Update_Button(int32 used_button);
void Draw_Buttons();
void Check_Button_Down(uint32 xPos, uint32 yPos);
void Check_Button_Move(uint32 xPos, uint32 yPos, uint32 wParam);
void Check_Button_Up(uint32 xPos, uint32 yPos);
void Execute_Button(int32 used_button);
void Reset_Scores();

// ---- Lifecycle ------------------------------------------------------------------------
void Game_Init();
void Game_Message(uint32 msg, uint32 wParam, long lParam);
void Game_Shutdown();
void Game_Reload();
