// The on-screen buttons: hit testing, the pressed look while held, drawing per mode, the
// three mouse handlers, the keys, the button actions, and the option boxes of the setup
// screen; the board cursor and the focus ring of a player on the keyboard.
#include <algorithm>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/platform.h"

sBUTTON buttons[20];               // entry 0 stays empty: id 0 is "no button"
int32 button_ctr = 0;              // buttons built, 13 after Game_Init
int32 pressed_button = 0;          // id of the button held down, 0 for none
int32 cursor_x = 0, cursor_y = 0;  // the board cursor's cell
int32 cursor_shown = 0;            // 1 from an arrow key on the board until a mouse press
int32 focus_item = 0;              // 0, a button id, or FOCUS_OPTION + an option box's index

constexpr int32 FIRST_UNMASKED_BUTTON = BTN_NEW;  // ids below are the main buttons

// The board area as a click target: PlayField_Rect.
constexpr POINT BOARD_TOPLEFT = {BOARD_LEFT, BOARD_TOP};
constexpr POINT BOARD_BOTTOMRIGHT = {BOARD_RIGHT, BOARD_BOTTOM};

constexpr COLORREF FRAME_DARK = 0x000000;   // the edges of the cursor's and the ring's frames
constexpr COLORREF FRAME_LIGHT = 0xFFFFFF;  // their core

// The option boxes of the setup screen: where a release changes which setting.
enum class Option { GameType, Sounds, Animations };
struct sOPTION_BOX {
  POINT topleft;
  POINT bottomright;
  Option option;
  int32 game_type;  // for Option::GameType
};
static const sOPTION_BOX option_boxes[] = {
    {{TYPE_BOX_LEFT, NORMAL_BOX_TOP}, {NORMAL_BOX_RIGHT, NORMAL_BOX_BOTTOM}, Option::GameType, 0},
    {{TYPE_BOX_LEFT, CONTINUOUS_BOX_TOP},
     {CONTINUOUS_BOX_RIGHT, CONTINUOUS_BOX_BOTTOM},
     Option::GameType,
     1},
    {{TYPE_BOX_LEFT, SHIFTER_BOX_TOP},
     {SHIFTER_BOX_RIGHT, SHIFTER_BOX_BOTTOM},
     Option::GameType,
     2},
    {{TYPE_BOX_LEFT, MEGASHIFT_BOX_TOP},
     {MEGASHIFT_BOX_RIGHT, MEGASHIFT_BOX_BOTTOM},
     Option::GameType,
     3},
    {{SOUNDS_BOX_LEFT, SOUNDS_BOX_TOP}, {SOUNDS_BOX_RIGHT, SOUNDS_BOX_BOTTOM}, Option::Sounds, 0},
    {{ANIMATIONS_BOX_LEFT, ANIMATIONS_BOX_TOP},
     {ANIMATIONS_BOX_RIGHT, ANIMATIONS_BOX_BOTTOM},
     Option::Animations,
     0},
};

int32 Check_In_Box(POINT topleft, POINT bottomright, uint32 xPos, uint32 yPos) {
  // Unsigned on purpose: a point left of or above the window never counts as inside.
  const bool inside_x =
      static_cast<uint32>(topleft.x) < xPos && xPos < static_cast<uint32>(bottomright.x);
  const bool inside_y =
      static_cast<uint32>(topleft.y) < yPos && yPos < static_cast<uint32>(bottomright.y);
  return inside_x && inside_y ? 1 : 0;
}

static bool Button_Exists(int32 i) { return i >= 1 && i <= button_ctr; }

static bool Button_Shown(int32 i) {
  return Button_Exists(i) && (buttons[i].mode == mode || buttons[i].mode == MODE_ALL);
}

static bool Button_Usable(int32 i) {
  return Button_Shown(i) && (main_btn_mask == 0 || i >= FIRST_UNMASKED_BUTTON);
}

static bool In_Button(int32 i, uint32 x, uint32 y) {
  return Button_Exists(i) && Check_In_Box(buttons[i].topleft, buttons[i].bottomright, x, y);
}

static LPDIRECTDRAWSURFACE Button_Face(int32 i) {
  return buttons[i].pressed != 0 ? buttons[i].bmp_pressed : buttons[i].bmp_normal;
}

void Update_Button(int32 used_button) {
  if (!Button_Usable(used_button)) return;
  const sBUTTON& b = buttons[used_button];
  // Straight into the window: the pressed look shows at once without recomposing the frame.
  PutSurfacePrimary(b.topleft.x, b.topleft.y, Button_Face(used_button));
}

// A rectangle's one-pixel border, corners inclusive.
static void Draw_Rect(int32 left, int32 top, int32 right, int32 bottom, COLORREF colour) {
  DrawLine(v_screen, left, top, right + 1, top, colour);
  DrawLine(v_screen, left, bottom, right + 1, bottom, colour);
  DrawLine(v_screen, left, top, left, bottom + 1, colour);
  DrawLine(v_screen, right, top, right, bottom + 1, colour);
}

// The frame of the cursor and the focus ring, four pixels wide from the rectangle inwards: a
// white band between two black lines, plain on wood, felt, paper and every bubble alike, and
// nothing like the selection's thin red outline.
static void Draw_Key_Frame(int32 left, int32 top, int32 right, int32 bottom) {
  constexpr COLORREF bands[4] = {FRAME_DARK, FRAME_LIGHT, FRAME_LIGHT, FRAME_DARK};
  for (int32 k = 0; k < 4; ++k) Draw_Rect(left + k, top + k, right - k, bottom - k, bands[k]);
}

void Draw_Cursor() {
  if (cursor_shown == 0) return;
  // Inside the cell's box, whose edge the selection's outline takes.
  const int32 left = BOARD_LEFT + CELL_SIZE * cursor_x + 1;
  const int32 top = BOARD_TOP + CELL_SIZE * cursor_y + 1;
  Draw_Key_Frame(left, top, left + CELL_SIZE - 3, top + CELL_SIZE - 3);
}

// ---- The focus ring: what Tab reaches, in reading order -----------------------------------

// The setup screen's form (its four game types, then its two switches), the buttons on the
// paper sheets, then the row of main buttons, each row from left to right.
static const int32 focus_order[] = {
    FOCUS_OPTION + 0, FOCUS_OPTION + 1, FOCUS_OPTION + 2, FOCUS_OPTION + 3,
    FOCUS_OPTION + 4, FOCUS_OPTION + 5, BTN_OK_SETUP,     BTN_OK_CREDITS,
    BTN_OK_SCORES,    BTN_RESET,        BTN_DONE,         BTN_NEW_AFTER_GAME,
    BTN_EXIT,         BTN_LOGO,         BTN_SETUP,        BTN_SCORES,
    BTN_NEW,          BTN_END,          BTN_UNDO,
};
constexpr int32 FOCUS_COUNT = static_cast<int32>(sizeof focus_order / sizeof focus_order[0]);
constexpr int32 OPTION_COUNT = static_cast<int32>(sizeof option_boxes / sizeof option_boxes[0]);

static const sOPTION_BOX* Focus_Option(int32 item) {
  const int32 k = item - FOCUS_OPTION;
  return k >= 0 && k < OPTION_COUNT ? &option_boxes[k] : nullptr;
}

// Whether the ring may mark the item now: a button shown and usable, an option on its screen.
static bool Focus_Usable(int32 item) {
  if (Focus_Option(item) != nullptr) return mode == MODE_SETUP;
  return Button_Usable(item);
}

static void Draw_Focus() {
  if (focus_item == 0 || !Focus_Usable(focus_item)) return;
  if (const sOPTION_BOX* box = Focus_Option(focus_item)) {
    // Around the option's click box, its edges the ring's inner line.
    Draw_Key_Frame(box->topleft.x - 3, box->topleft.y - 3, box->bottomright.x + 3,
                   box->bottomright.y + 3);
    return;
  }
  const sBUTTON& b = buttons[focus_item];  // around the face, clear of it
  Draw_Key_Frame(b.topleft.x - 4, b.topleft.y - 4, b.bottomright.x + 3, b.bottomright.y + 3);
}

// Tab (step 1) and Shift+Tab (step -1): the next usable item in reading order, round the end;
// from no ring, or one on something no longer usable, the first (or the last).
static void Move_Focus(int32 step) {
  int32 at = -1;
  for (int32 k = 0; k < FOCUS_COUNT; ++k)
    if (focus_order[k] == focus_item && Focus_Usable(focus_item)) at = k;
  if (at < 0) at = step > 0 ? FOCUS_COUNT - 1 : 0;
  for (int32 n = 0; n < FOCUS_COUNT; ++n) {
    at = (at + step + FOCUS_COUNT) % FOCUS_COUNT;
    if (Focus_Usable(focus_order[at])) {
      focus_item = focus_order[at];
      Create_Screen();
      return;
    }
  }
}

void Draw_Buttons() {
  for (int32 i = 1; i <= button_ctr; ++i) {
    if (Button_Shown(i))
      PutSurface(buttons[i].topleft.x, buttons[i].topleft.y, Button_Face(i), v_screen);
  }
  // Screens reached from a running game show End where the background has New painted in.
  if (last_mode == MODE_GAME && mode != MODE_START && Button_Exists(BTN_END)) {
    const sBUTTON& end = buttons[BTN_END];
    PutSurface(end.topleft.x, end.topleft.y, end.bmp_normal, v_screen);
  }
  if (main_btn_mask != 0) {
    for (int32 i = BTN_EXIT; i <= BTN_END && i <= button_ctr; ++i)
      PutSurfaceCC(buttons[i].topleft.x, buttons[i].topleft.y, btnmask, v_screen);
  }
  Draw_Focus();
}

// A mouse press or an arrow key takes the focus ring away; a mouse press the board cursor too.
// Only what was shown needs a new frame.
static void Hide_Key_Marks(bool cursor_too) {
  const bool shown = (focus_item != 0 && Focus_Usable(focus_item)) ||
                     (cursor_too && cursor_shown != 0 && mode == MODE_GAME);
  focus_item = 0;
  if (cursor_too) cursor_shown = 0;
  if (shown) Create_Screen();
}

void Check_Button_Down(uint32 xPos, uint32 yPos) {
  Hide_Key_Marks(true);
  for (int32 i = 1; i <= button_ctr; ++i) {
    if (In_Button(i, xPos, yPos) && Button_Usable(i)) {
      pressed_button = i;
      buttons[i].pressed = 1;
      Update_Button(i);
    }
  }
  if (Check_In_Box(BOARD_TOPLEFT, BOARD_BOTTOMRIGHT, xPos, yPos) && mode == MODE_GAME &&
      game_busy == 0)
    Check_Bubbles_Clicked(xPos, yPos);
}

void Check_Button_Move(uint32 xPos, uint32 yPos, uint32 wParam) {
  // Anything but the left button alone (a release outside the window, Shift, Ctrl or a
  // second mouse button) cancels the hold.
  if (wParam != MK_LBUTTON && pressed_button != 0) {
    buttons[pressed_button].pressed = 0;
    Update_Button(pressed_button);
    pressed_button = 0;
  }
  if (pressed_button == 0) return;
  if (In_Button(pressed_button, xPos, yPos)) {
    buttons[pressed_button].pressed = 1;
    Update_Button(pressed_button);
  }
  if (!In_Button(pressed_button, xPos, yPos)) {
    buttons[pressed_button].pressed = 0;
    Update_Button(pressed_button);
  }
}

static void Toggle(int32& flag) { flag = flag == 0 ? 1 : 0; }

// An option of the setup screen chosen (a game type) or switched; redraws.
static void Apply_Option(const sOPTION_BOX& box) {
  switch (box.option) {
    case Option::GameType: setup_data.game_type = box.game_type; break;
    case Option::Sounds: Toggle(setup_data.play_sounds); break;
    case Option::Animations: Toggle(setup_data.animations); break;
  }
  Create_Screen();
}

// A release on the setup screen: every option box it lies in takes effect.
static void Check_Setup_Options(uint32 xPos, uint32 yPos) {
  for (const sOPTION_BOX& box : option_boxes)
    if (Check_In_Box(box.topleft, box.bottomright, xPos, yPos)) Apply_Option(box);
}

void Check_Button_Up(uint32 xPos, uint32 yPos) {
  const int32 p = pressed_button;
  const bool acts = In_Button(p, xPos, yPos) && Button_Usable(p);
  // Every release ends the pressed look, also when the release does not act: a button held
  // while the screen changed under it (a game ending as it was pressed) or released outside
  // with no move in between would otherwise stay drawn pressed on every later screen.
  if (Button_Exists(p) && buttons[p].pressed != 0) {
    buttons[p].pressed = 0;
    if (Button_Usable(p))
      Update_Button(p);
    else if (Button_Shown(p))
      Create_Screen();  // dimmed now: only a whole frame draws it right
  }
  if (acts) Execute_Button(p);
  pressed_button = 0;
  if (mode == MODE_SETUP) Check_Setup_Options(xPos, yPos);  // after any mode change above
}

// Keys for buttons. A key stands for a click on the first of its buttons that is usable
// now; the buttons of one row are never shown together.
struct sKEY_BUTTONS {
  uint32 key;
  uint32 ctrl;  // MK_CONTROL when the key is pressed with Ctrl, else 0
  int32 ids[4];
};
static const sKEY_BUTTONS key_buttons[] = {
    {'N', MK_CONTROL, {BTN_NEW, BTN_NEW_AFTER_GAME}},
    {VK_F2, 0, {BTN_NEW, BTN_NEW_AFTER_GAME}},
    {'Z', MK_CONTROL, {BTN_UNDO}},
    {VK_BACK, 0, {BTN_UNDO}},
    {VK_RETURN, 0, {BTN_OK_SETUP, BTN_OK_CREDITS, BTN_OK_SCORES, BTN_DONE}},
    {VK_ESCAPE, 0, {BTN_OK_SETUP, BTN_OK_CREDITS, BTN_OK_SCORES, BTN_DONE}},
};

// What a release on a usable button does (Check_Button_Up), for a key.
static void Key_Press_Button(int32 id) {
  buttons[id].pressed = 0;
  Update_Button(id);
  Execute_Button(id);
}

// An arrow key on the board: the cursor one cell on, stopping at the edges, and shown.
static void Move_Cursor(int32 dx, int32 dy) {
  cursor_x = std::clamp(cursor_x + dx, 0, FIELD_COLUMNS - 1);
  cursor_y = std::clamp(cursor_y + dy, 0, FIELD_ROWS - 1);
  cursor_shown = 1;
  Create_Screen();
}

void Check_Key_Down(uint32 key, uint32 keys) {
  const uint32 ctrl = keys & MK_CONTROL;
  // Ctrl+Q asks the window to close, as its close box does on every screen.
  if (key == 'Q' && ctrl != 0) {
    plat::post_message(main_hwnd, WM_CLOSE, 0, 0);
    return;
  }
  // While the mouse holds a button down no other button can be clicked.
  if (pressed_button != 0) return;
  if (key == VK_TAB && ctrl == 0) {
    Move_Focus((keys & MK_SHIFT) != 0 ? -1 : 1);
    return;
  }
  const int32 dx = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : 0;
  const int32 dy = key == VK_UP ? -1 : key == VK_DOWN ? 1 : 0;
  if ((dx != 0 || dy != 0) && ctrl == 0) {
    Hide_Key_Marks(false);
    // While bubbles slide the board takes no keys, as it takes no presses.
    if (mode == MODE_GAME && game_busy == 0) Move_Cursor(dx, dy);
    return;
  }
  if (key == VK_SPACE && ctrl == 0 && focus_item != 0 && Focus_Usable(focus_item)) {
    if (const sOPTION_BOX* box = Focus_Option(focus_item))
      Apply_Option(*box);
    else
      Key_Press_Button(focus_item);
    return;
  }
  for (const sKEY_BUTTONS& row : key_buttons) {
    if (row.key != key || row.ctrl != ctrl) continue;
    for (int32 id : row.ids) {
      if (id == 0 || !Button_Usable(id)) continue;
      Key_Press_Button(id);
      return;
    }
  }
  // Space, and Return where no button takes it: a press on the board at the cursor's cell,
  // while the cursor shows; a mouse player's stray key never picks an unseen cell.
  if ((key == VK_SPACE || key == VK_RETURN) && ctrl == 0 && mode == MODE_GAME && game_busy == 0 &&
      cursor_shown != 0)
    Check_Bubbles_Clicked(static_cast<uint32>(Rest_Pos(cursor_x, cursor_y).x + CELL_SIZE / 2),
                          static_cast<uint32>(Rest_Pos(cursor_x, cursor_y).y + CELL_SIZE / 2));
}

// The player gives up the running game with End: it counts as played, with nothing scored.
// (A game that runs out of groups ends through Finish_Game in game/moves.cpp.)
static void Abandon_Game() {
  highscore = Count_Game(game_type, false, 0);
  game_over = 1;  // the abandoned game is counted now; a queued End or Undo must not act on it
  change_mode(MODE_GAME_SCORE);
}

void Execute_Button(int32 used_button) {
  switch (used_button) {
    case BTN_EXIT: plat::post_message(main_hwnd, WM_CLOSE, 0, 0); break;
    case BTN_LOGO: change_mode(MODE_CREDITS); break;
    case BTN_SETUP: change_mode(MODE_SETUP); break;
    case BTN_SCORES: change_mode(MODE_SCORES); break;
    case BTN_NEW: change_mode(MODE_GAME); break;
    case BTN_END:
      // A game that has ended is counted already (its end screen may still be owed, or
      // its message queued behind this press); ending it again would count it twice.
      if (game_over == 0) Abandon_Game();
      break;
    case BTN_OK_SETUP:
      change_mode(MODE_BACK);
      Save_Chosen_Setup();  // the choices made on the setup screen are kept from now on
      break;
    case BTN_OK_CREDITS:
    case BTN_OK_SCORES: change_mode(MODE_BACK); break;
    case BTN_RESET: Reset_Scores(); break;
    case BTN_DONE: change_mode(MODE_START); break;
    case BTN_NEW_AFTER_GAME: change_mode(MODE_GAME); break;
    case BTN_UNDO:
      // The move that ended the game stays: the game is counted already.
      if (game_over == 0) Undo_Move();
      break;
    default: break;
  }
}

void Reset_Scores() {
  constexpr uint32 flags = MB_OKCANCEL | MB_SYSTEMMODAL | MB_SETFOREGROUND;  // 0x11001
  if (plat::message_box(nullptr, "Are you sure?", "Reset", flags) == IDOK) {
    Reset_Statistics();
  }
  Create_Screen();
}
