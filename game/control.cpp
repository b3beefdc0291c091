// The game's side of the application: start-up with its asset catalogue and button table,
// the window messages the game reacts to, shutdown, and the reload of lost pictures.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "game/GAME.h"
#include "game/ORBOLAN.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "mci/MCI.h"
#include "platform/platform.h"

int32 game_initialized = 0;  // 1 once Game_Init has drawn the first screen
LPDIRECTDRAWSURFACE bubble_1, bubble_2, bubble_3, bubble_4, bubble_5;
LPDIRECTDRAWSURFACE bk_pic, paper_x_pic, paper_pic, pic;
LPDIRECTDRAWSURFACE score_table_pic, game_score_table_pic, setup_map_pic;
LPDIRECTDRAWSURFACE checked_box_pic, btnmask;

constexpr COLORREF KEY_BLACK = 0x000000;
constexpr COLORREF KEY_WHITE = 0xFFFFFF;
constexpr COLORREF NO_KEY = CLR_INVALID;

// The pictures of the screens, in the order they are loaded.
struct sPICTURE {
  int id;
  LPDIRECTDRAWSURFACE* surface;
  COLORREF key;  // the colour left transparent by keyed blits, or NO_KEY
};
static const sPICTURE bubble_pictures[] = {
    {IDB_BUBBLE_1, &bubble_1, KEY_BLACK}, {IDB_BUBBLE_2, &bubble_2, KEY_BLACK},
    {IDB_BUBBLE_3, &bubble_3, KEY_BLACK}, {IDB_BUBBLE_4, &bubble_4, KEY_BLACK},
    {IDB_BUBBLE_5, &bubble_5, KEY_BLACK},
};
static const sPICTURE screen_pictures[] = {
    {IDB_BACKGROUND, &bk_pic, NO_KEY},
    {IDB_PAPER_LOGO, &paper_x_pic, KEY_BLACK},
    {IDB_PAPER, &paper_pic, KEY_BLACK},
    {IDB_SCORE_TABLE, &score_table_pic, KEY_WHITE},
    {IDB_GAME_SCORE_TABLE, &game_score_table_pic, KEY_WHITE},
    {IDB_SETUP_MAP, &setup_map_pic, KEY_WHITE},
    {IDB_CHECKED_BOX, &checked_box_pic, KEY_WHITE},
    {IDB_TITLE, &pic, KEY_BLACK},
    {IDB_BTNMASK, &btnmask, KEY_WHITE},
};

// The button table, one row per button id from 1; every face is BUTTON_W x BUTTON_H and drawn
// opaque.
struct sBUTTON_ROW {
  int normal_id;
  int pressed_id;
  POINT topleft;
  int32 mode;
};
static const sBUTTON_ROW button_rows[] = {
    {IDB_EXIT, IDB_EXIT_PRESSED, {EXIT_BUTTON_X, MAIN_BUTTON_Y}, MODE_ALL},          // 1 Exit
    {IDB_LOGO, IDB_LOGO_PRESSED, {LOGO_BUTTON_X, MAIN_BUTTON_Y}, MODE_ALL},          // 2 logo
    {IDB_SETUP, IDB_SETUP_PRESSED, {SETUP_BUTTON_X, MAIN_BUTTON_Y}, MODE_ALL},       // 3 Setup
    {IDB_SCORES, IDB_SCORES_PRESSED, {SCORES_BUTTON_X, MAIN_BUTTON_Y}, MODE_ALL},    // 4 Scores
    {IDB_NEW, IDB_NEW_PRESSED, {NEW_BUTTON_X, MAIN_BUTTON_Y}, MODE_START},           // 5 New
    {IDB_END, IDB_END_PRESSED, {NEW_BUTTON_X, MAIN_BUTTON_Y}, MODE_GAME},            // 6 End
    {IDB_OK, IDB_OK_PRESSED, {OK_SETUP_BUTTON_X, SHEET_BUTTON_Y}, MODE_SETUP},       // 7 OK
    {IDB_OK, IDB_OK_PRESSED, {OK_CREDITS_BUTTON_X, SHEET_BUTTON_Y}, MODE_CREDITS},   // 8 OK
    {IDB_OK, IDB_OK_PRESSED, {OK_SCORES_BUTTON_X, SHEET_BUTTON_Y}, MODE_SCORES},     // 9 OK
    {IDB_RESET, IDB_RESET_PRESSED, {RESET_BUTTON_X, SHEET_BUTTON_Y}, MODE_SCORES},   // 10 Reset
    {IDB_DONE, IDB_DONE_PRESSED, {DONE_BUTTON_X, SHEET_BUTTON_Y}, MODE_GAME_SCORE},  // 11 Done
    {IDB_NEW, IDB_NEW_PRESSED, {NEW_AFTER_GAME_BUTTON_X, SHEET_BUTTON_Y}, MODE_GAME_SCORE},  // 12
    {IDB_UNDO, IDB_UNDO_PRESSED, {UNDO_BUTTON_X, MAIN_BUTTON_Y}, MODE_GAME},  // 13 Undo
};

static void Show_Loading_Screen() {
  FillSurface(v_screen, 0, 0, SCREEN_W - 1, SCREEN_H - 1, 0);
  ShowTextCenter(v_screen, 245, 195, "Loading Orbolan...", 0xFFFFFF);
  PutSurfacePrimary(0, 0, v_screen);
}

static void Load_Pictures() {
  for (const sPICTURE& p : bubble_pictures) *p.surface = LoadSurface(p.id);
  for (const sPICTURE& p : bubble_pictures) SetColorKey(*p.surface, p.key);
  for (const sPICTURE& p : screen_pictures) {
    *p.surface = LoadSurface(p.id);
    if (p.key != NO_KEY) SetColorKey(*p.surface, p.key);
  }
}

static void Build_Buttons() {
  constexpr int32 capacity = static_cast<int32>(sizeof buttons / sizeof buttons[0]) - 1;
  for (const sBUTTON_ROW& row : button_rows) {
    if (button_ctr >= capacity) break;  // a table built twice never runs past its end
    sBUTTON& b = buttons[++button_ctr];
    b.bmp_normal = LoadSurface(row.normal_id);  // each button owns its own pair of faces
    b.bmp_pressed = LoadSurface(row.pressed_id);
    b.topleft = row.topleft;
    b.bottomright = {row.topleft.x + BUTTON_W, row.topleft.y + BUTTON_H};
    b.pressed = 0;
    b.mode = row.mode;
  }
}

// Opens the sounds, then plays "pop" once from its end so the device is warm before the
// first real move; this runs whatever the sound setting says.
static void Open_Sounds() {
  for (const sWAVE& w : ORBOLAN_WAVES) mci_OpenWave(w.file, w.alias);
  char str[255];
  std::snprintf(str, sizeof str, "set %s time format tms", "pop");
  mci_ExecStr(str);
  std::snprintf(str, sizeof str, "seek %s to end", "pop");
  mci_ExecStr(str);
  mci_PlayWave("pop");
  std::snprintf(str, sizeof str, "seek %s to start", "pop");
  mci_ExecStr(str);
}

void Game_Init() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  Show_Loading_Screen();
  PlayField_Rect = {BOARD_LEFT, BOARD_TOP, BOARD_RIGHT, BOARD_BOTTOM};
  Read_Config();
  Load_Pictures();
  Build_Buttons();
  Open_Sounds();
  if (setup_data.play_sounds != 0) mci_PlayWave("click");  // plays while the screen is drawn
  Create_Screen();                                         // mode is still MODE_START
  game_initialized = 1;
}

void Game_Message(uint32 msg, uint32 wParam, long lParam) {
  // Client coordinates: the unsigned low and high halves, never sign-extended.
  const uint32 x = static_cast<uint32>(lParam) & 0xFFFFu;
  const uint32 y = (static_cast<uint32>(lParam) >> 16) & 0xFFFFu;
  switch (msg) {
    case WM_PAINT:
      if (game_initialized != 0) Update_Screen();
      break;
    case WM_CLOSE: Game_Shutdown(); break;
    case WM_MOUSEMOVE: Check_Button_Move(x, y, wParam); break;
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN: {
      const int32 was_waiting = waitanim;
      if (msg == WM_KEYDOWN)
        Check_Key_Down(wParam, static_cast<uint32>(lParam));
      else
        Check_Button_Down(x, y);
      // The press (or its key) ended a game while its bubbles still slide: the end screen,
      // which saves, comes only when they rest, so the counted result is saved now.
      if (waitanim == 1 && was_waiting == 0) Write_Config();
      break;
    }
    case WM_LBUTTONUP: Check_Button_Up(x, y); break;
    case GAME_SCORE_MSG: change_mode(MODE_GAME_SCORE); break;
    case SURFACE_LOST_MSG: Game_Reload(); break;
    default: break;
  }
}

void Game_Shutdown() {
  Write_Config();
  for (const sWAVE& w : ORBOLAN_WAVES) mci_CloseWave(w.alias);
  plat::time_kill_event(TIMER_ID);  // the tick no longer runs after this
}

// A surface lost its memory: fill every picture again from its bitmap, button faces
// included, and compose the current screen anew so the frame is whole again. While a
// surface still refuses its picture nothing is redrawn: the redraw would only report the
// same loss again and keep the window thread busy with it.
static bool Reload(LPDIRECTDRAWSURFACE surface, int id) {
  return surface == nullptr || ReLoadSurface(surface, id) == DD_OK;
}

void Game_Reload() {
  bool whole = true;
  for (const sPICTURE& p : bubble_pictures) whole = Reload(*p.surface, p.id) && whole;
  for (const sPICTURE& p : screen_pictures) whole = Reload(*p.surface, p.id) && whole;
  for (int32 i = 1; i <= button_ctr; ++i) {
    const sBUTTON_ROW& row = button_rows[i - 1];
    whole = Reload(buttons[i].bmp_normal, row.normal_id) && whole;
    whole = Reload(buttons[i].bmp_pressed, row.pressed_id) && whole;
  }
  board_drawn.valid = 0;  // the frame's pixels may be gone with the surfaces
  if (whole && game_initialized != 0) Create_Screen();
}

void Reset_Game_Globals() {
  for (auto& column : PlayField)
    for (auto& cell : column) cell = sBUBBLE_FIELD{0, {AT_REST, AT_REST}, {-1, -1}, 0};
  PlayField_Rect = {BOARD_LEFT, BOARD_TOP, BOARD_RIGHT, BOARD_BOTTOM};
  game_type = bubbles_marked = number_bubbles_marked = bubble_points = 0;
  game_score = {};
  game_busy = waitanim = highscore = game_over = 0;
  undo = undo_score = 0;
  std::memset(undo_bubble_types, 0, sizeof undo_bubble_types);
  std::memset(Dummy_PlayField, 0, sizeof Dummy_PlayField);
  setup_data = {}, score_statistic = {}, statistics_synced = {};
  setup_chosen = statistics_reset = save_failure_told = 0;
  Status_Text = nullptr;
  for (const char** line :
       {&info1,  &info2,  &info3,  &info4,  &info5,  &info6,  &info7,  &info8,  &info9,  &info10,
        &info11, &info12, &info13, &info14, &info15, &info16, &info17, &info18, &info19, &info20,
        &info21, &info22, &info23, &info24, &info25, &info26, &info27, &info28, &info29, &info30})
    *line = nullptr;
  mode = MODE_START, last_mode = main_btn_mask = 0;
  std::memset(buttons, 0, sizeof buttons);
  button_ctr = pressed_button = 0;
  cursor_x = cursor_y = cursor_shown = focus_item = 0;
  board_drawn = {};
  game_initialized = 0;
  for (LPDIRECTDRAWSURFACE* picture :
       {&bubble_1, &bubble_2, &bubble_3, &bubble_4, &bubble_5, &bk_pic, &paper_x_pic, &paper_pic,
        &pic, &score_table_pic, &game_score_table_pic, &setup_map_pic, &checked_box_pic, &btnmask})
    *picture = nullptr;
  main_hwnd = nullptr, dd_Object = nullptr, dd_Primary = nullptr, dd_Clipper = nullptr;
  v_screen = nullptr, Client_Pos = {0, 0}, TIMER_ID = 0;
  mci_LastError = 0;
}
