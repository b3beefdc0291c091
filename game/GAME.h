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

struct sBUTTON {
  POINT topleft;
  POINT bottomright;  // topleft + (BUTTON_W, BUTTON_H)
  LPDIRECTDRAWSURFACE bmp_normal;
  LPDIRECTDRAWSURFACE bmp_pressed;
  int32 pressed;  // 1 while shown pressed
  int32 mode;     // the mode the button exists in, or MODE_ALL
};

// ---- Board and selection (game/board.cpp) --------------------------------------------
extern sBUBBLE_FIELD PlayField[FIELD_COLUMNS][FIELD_ROWS];  // [column][row], row 6 bottom
extern RECT PlayField_Rect;          // the board's clip rectangle, set again by Game_Init
extern int32 game_type;              // type of the running game, taken from the setup
extern int32 bubbles_marked;         // 1 while a group of two or more is selected
extern int32 number_bubbles_marked;  // size of the selected group
extern int32 bubble_points;          // n * (n - 1) of the selected group

// ---- Running game and its end (game/moves.cpp) ---------------------------------------
extern sGAME_SCORES game_score;  // score and end bonus of the running game
extern int32 game_busy;          // 1 while an animation runs; clicks on the board wait
extern int32 waitanim;           // 1 while the end-of-game screen is owed to the tick
extern int32 highscore;          // 1 when the game just ended with a new best
extern int32 game_over;          // 1 once the running game has ended and been counted

// ---- Undo snapshot (game/undo.cpp) ----------------------------------------------------
extern int32 undo;  // 1 when the last move can be taken back
extern int32 undo_bubble_types[FIELD_COLUMNS][FIELD_ROWS];        // the colours before that move
extern int32 undo_score;                                          // the points that move scored
extern sBUBBLE_FIELD Dummy_PlayField[FIELD_COLUMNS][FIELD_ROWS];  // undo's board in the making

// ---- Setup and statistics (game/config.cpp) ------------------------------------------
extern sSETUP_DATA setup_data;            // the setup screen's choices, saved in "orbolan.cfg"
extern sSCORE_STATISTIC score_statistic;  // a statistics block per game type, saved with them
// The statistics as this copy last read or saved them: a save adds what was counted since.
extern sSCORE_STATISTIC statistics_synced;
extern int32 setup_chosen;       // 1: the setup was confirmed since the last save, which keeps it
extern int32 statistics_reset;   // 1: Reset since the last save, which replaces the file's counts
extern int32 save_failure_told;  // 1: the player was told of a failed save; cleared by a success

// ---- Screens (game/screens.cpp) -------------------------------------------------------
extern const char* Status_Text;  // the status line of the screen composed last
// The text lines of the credits, statistics and end-of-game screens, as last composed.
extern const char *info1, *info2, *info3, *info4, *info5, *info6, *info7, *info8, *info9, *info10,
    *info11, *info12, *info13, *info14, *info15, *info16, *info17, *info18, *info19, *info20,
    *info21, *info22, *info23, *info24, *info25, *info26, *info27, *info28, *info29, *info30;

// What the frame v_screen shows of the board, so that the next board frame redraws only what
// changed: each cell's colour, where its bubble was drawn and the edges of the selection's
// outline on its box; the cursor; the status text; and what the buttons' row shows.
struct sDRAWN_CELL {
  int32 type;   // 0: nothing drawn
  int32 x, y;   // the bubble picture's top-left corner
  int32 edges;  // the outline's edges on the cell's box: 1 top, 2 bottom, 4 left, 8 right
};
struct sDRAWN_BOARD {
  int32 valid;  // 0 while v_screen holds anything but a board frame described here
  sDRAWN_CELL cells[FIELD_COLUMNS][FIELD_ROWS];
  int32 cursor;   // the cursor's cell as j * FIELD_COLUMNS + i, -1 when hidden
  int32 look[6];  // mode, last_mode, main_btn_mask, focus_item, button_ctr, pressed buttons
  char status[80];
};
extern sDRAWN_BOARD board_drawn;

// ---- Modes (game/modes.cpp) -----------------------------------------------------------
extern int32 mode;           // the screen shown now: a MODE_ value
extern int32 last_mode;      // the mode current before the latest change_mode
extern int32 main_btn_mask;  // 1 while Exit, logo, Setup and Scores are dimmed and refused

// ---- Buttons (game/buttons.cpp) -------------------------------------------------------
// Button ids: each button's place in the table Build_Buttons fills.
enum : int32 {
  BTN_EXIT = 1,
  BTN_LOGO = 2,
  BTN_SETUP = 3,
  BTN_SCORES = 4,
  BTN_NEW = 5,
  BTN_END = 6,
  BTN_OK_SETUP = 7,
  BTN_OK_CREDITS = 8,
  BTN_OK_SCORES = 9,
  BTN_RESET = 10,
  BTN_DONE = 11,
  BTN_NEW_AFTER_GAME = 12,
  BTN_UNDO = 13,
};
extern sBUTTON buttons[20];   // indexed by button id from 1; entry 0 stays empty
extern int32 button_ctr;      // buttons built, 13 after Game_Init
extern int32 pressed_button;  // id of the button held down, 0 for none

// ---- Keyboard: the board cursor and the focus ring (game/buttons.cpp) ----------------------
constexpr int32 FOCUS_OPTION = 100;  // focus_item of the setup screen's option box k: 100 + k
extern int32 cursor_x, cursor_y;     // the board cursor's cell; (0, 0) when a game starts
extern int32 cursor_shown;           // 1 from an arrow key on the board until the next mouse press
extern int32 focus_item;  // what the focus ring marks: 0 nothing, a button id or FOCUS_OPTION + k

// ---- Lifecycle and picture surfaces (game/control.cpp) -------------------------------
extern int32 game_initialized;  // 1 once Game_Init has drawn the first screen
// The pictures, loaded by Game_Init and filled again by Game_Reload: the five bubbles, the
// background, the paper sheets (with and without the emblem), the title, the two tables, the
// setup map, the check mark and the checkerboard that dims masked buttons.
extern LPDIRECTDRAWSURFACE bubble_1, bubble_2, bubble_3, bubble_4, bubble_5;
extern LPDIRECTDRAWSURFACE bk_pic, paper_x_pic, paper_pic, pic;
extern LPDIRECTDRAWSURFACE score_table_pic, game_score_table_pic, setup_map_pic;
extern LPDIRECTDRAWSURFACE checked_box_pic, btnmask;

// ---- Board and moves (game/board.cpp, game/moves.cpp) --------------------------------
// Deals a new random board of the setup's game type with score 0, nothing selected, no undo
// and no end screen owed. Called by change_mode on every entry into the board.
void New_Game();
// Flood fill from cell (x, y): marks and counts the unmarked cells of colour `type` joined to
// it. 0 for an empty type, a cell off the board or one already marked.
int32 Check_Bubble(int32 x, int32 y, int32 type);
// 1 when no group of two or more is left on the board; leaves the fill's marks on the board.
int32 Check_Game_Over();
// The bubbles left on the board; clears every mark on the way.
int32 Count_Bubbles();
// A press on the board at client pixel (xPos, yPos): selects the group under it, removes the
// selected group when pressed inside it (Update_Bubbles), or drops the selection; redraws.
void Check_Bubbles_Clicked(uint32 xPos, uint32 yPos);
// Removes the selected group as one move: snapshot for undo, gravity, close-up, refill and
// packing by game type, the points scored, the pop, and the end of the game when no group
// is left (counted with Count_Game, its screen now or once the animation ends).
void Update_Bubbles();
// Moves the contents of cell (x2, y2) into cell (x1, y1) and empties (x2, y2).
void Move_Bubble(int32 x1, int32 y1, int32 x2, int32 y2);
// 1 when column r is empty; 0 for a column off the board.
int32 Check_Free_Row(int32 r);
// Fills columns 0..r with random bubbles that slide in from the left of the board.
void Fill_Rows(int32 r);

// ---- Animation (game/animate.cpp); runs on the timer thread ---------------------------
// The 25 ms tick, called under the world lock: moves every displaced bubble one step home,
// ends the animation when all rest (posting GAME_SCORE_MSG if the end screen is owed) and
// recomposes the board while anything moves.
void animate(uint32 uID, uint32 uMsg, unsigned long dwUser, unsigned long dw1, unsigned long dw2);
// 1 when every cell rests on both axes.
int32 check_all_bubbles_moved();

// ---- Undo (game/undo.cpp) -------------------------------------------------------------
// Takes the last move back (once; never the move that ended the game): the board before it,
// its points subtracted, the moved bubbles sliding back. Called by the Undo button.
void Undo_Move();

// ---- Configuration file "orbolan.cfg" and statistics (game/config.cpp) ---------------
// Reads the 60-byte file (or the file that the link "orbolan.cfg" names) into setup_data and
// score_statistic. A missing file keeps the zeros silently; a short or unreadable one, or
// anything but a regular file, keeps them and says so on standard error. Returns true when
// the file was read.
bool Read_Config();
// Saves both records under a lock on the working folder: the statistics are what the file
// holds now plus what was counted here since the last read or save (another copy of the game
// may have saved meanwhile), with the higher best; the setup stays the file's unless it was
// confirmed here. The file is replaced whole through a new temporary file beside it, so the
// old one stays on any failure; a file that cannot be read whole is first moved to
// "orbolan.cfg.damaged" (when it cannot be moved, nothing is saved). A failure is reported on
// standard error, and once in a box. Returns true on success.
bool Write_Config();
// Saves with the setup just confirmed on the setup screen.
bool Save_Chosen_Setup();
// Clears every statistics block and saves them cleared, whatever the file counted.
bool Reset_Statistics();
// The statistics block of a game type, or null for a type outside 0..3 (a damaged file).
sSTATISTIC_BLOCK* Statistic_Block(int32 type);
// Counts a game of `type` that has ended into its statistics block: one more game played
// and, for a game played to its end (`finished`), its result added and kept when it beats
// the best. Returns 1 when it set a new best. A type without a block counts nowhere.
int32 Count_Game(int32 type, bool finished, int32 result);

// ---- Screens (game/screens.cpp) -------------------------------------------------------
// Composes the screen of the current mode into v_screen and presents it; 0 always.
int32 Create_Screen();
// Presents v_screen in the window as it is.
void Update_Screen();
// The board: status line, buttons, bubbles (where they slide to, while animated), the
// outline of the selected group and the keyboard's cursor when shown.
void Create_Game_Screen();
// The statistics table of the four game types.
void Create_Scores();
// The end-of-game table: score, bonus, total (red on a new best), average and games played.
void Create_Game_Score();
// The setup screen with a check mark on each chosen option.
void CreateSetup();

// ---- Modes (game/modes.cpp) and buttons (game/buttons.cpp) ---------------------------
// Switches to `new_mode` (MODE_BACK: back to the mode the current one was opened from) with
// its side effects: a new board for MODE_GAME, the result sound for MODE_GAME_SCORE; redraws.
void change_mode(int32 new_mode);
// 1 when (xPos, yPos) lies strictly inside the box; a point left of or above it never does.
int32 Check_In_Box(POINT topleft, POINT bottomright, uint32 xPos, uint32 yPos);
// Blits a usable button's face (pressed or not) straight into the window.
void Update_Button(int32 used_button);
// Draws the buttons of the current mode into v_screen, dimming the main ones while masked,
// and the focus ring when it marks something usable on this screen.
void Draw_Buttons();
// Draws the board cursor's frame into v_screen when it is shown.
void Draw_Cursor();
// Mouse press: hides the board cursor and the focus ring, holds a usable button under it, or
// passes a board press on while idle.
void Check_Button_Down(uint32 xPos, uint32 yPos);
// Mouse move: a held button looks pressed while the pointer is on it; anything but the
// left button alone in wParam lets it go.
void Check_Button_Move(uint32 xPos, uint32 yPos, uint32 wParam);
// Mouse release: carries out the held button if released on it, then the setup's options.
void Check_Button_Up(uint32 xPos, uint32 yPos);
// A key press (WM_KEYDOWN): key is the virtual key, keys its MK_CONTROL and MK_SHIFT bits.
// Keys stand for buttons where those are usable; Tab and Shift+Tab move the focus ring, Space
// presses what it marks; on the board the arrows move the cursor and show it, and while it
// shows Space or Return act as a press at its cell.
void Check_Key_Down(uint32 key, uint32 keys);
// The action of a button id: mode changes, End (Abandon_Game), Undo, Reset and Exit.
void Execute_Button(int32 used_button);
// Asks "Are you sure?" and clears every statistics block on OK; redraws.
void Reset_Scores();

// ---- Lifecycle (game/control.cpp) ----------------------------------------------------
// Start-up, called by the shell under the world lock once the window and frame exist: the
// loading screen, the settings, the pictures, the buttons, the sounds, the start screen.
void Game_Init();
// Every window message the shell receives: repaint, close, mouse, and the shell's own
// GAME_SCORE_MSG and SURFACE_LOST_MSG.
void Game_Message(uint32 msg, uint32 wParam, long lParam);
// On close: saves "orbolan.cfg", closes the sounds and stops the timer.
void Game_Shutdown();
// Fills every picture again after a surface lost its memory and redraws once all are whole.
void Game_Reload();
// Puts every global of the game, the shell and the sound module back to its value at program
// start (the board's cells at rest), for a fresh start in the same process. Every global they
// define must be reset here: the test command checks it.
void Reset_Game_Globals();
