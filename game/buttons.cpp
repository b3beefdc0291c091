// The on-screen buttons: hit testing, the pressed look while held, drawing per mode, the
// three mouse handlers, the button actions, and the option boxes of the setup screen.
#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/platform.h"

sBUTTON buttons[20];       // entry 0 stays empty: id 0 is "no button"
int32 button_ctr = 0;      // buttons built, 13 after Game_Init
int32 pressed_button = 0;  // id of the button held down, 0 for none

// Button ids.
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
constexpr int32 FIRST_UNMASKED_BUTTON = BTN_NEW;  // ids below are the main buttons

// The board area as a click target: PlayField_Rect.
constexpr POINT BOARD_TOPLEFT = {BOARD_LEFT, BOARD_TOP};
constexpr POINT BOARD_BOTTOMRIGHT = {BOARD_RIGHT, BOARD_BOTTOM};

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
}

void Check_Button_Down(uint32 xPos, uint32 yPos) {
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

// A release on the setup screen: every option box it lies in takes effect.
static void Check_Setup_Options(uint32 xPos, uint32 yPos) {
  for (const sOPTION_BOX& box : option_boxes) {
    if (!Check_In_Box(box.topleft, box.bottomright, xPos, yPos)) continue;
    switch (box.option) {
      case Option::GameType: setup_data.game_type = box.game_type; break;
      case Option::Sounds: Toggle(setup_data.play_sounds); break;
      case Option::Animations: Toggle(setup_data.animations); break;
    }
    Create_Screen();
  }
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

void Check_Key_Down(uint32 key, uint32 keys) {
  const uint32 ctrl = keys & MK_CONTROL;
  // Ctrl+Q asks the window to close, as its close box does on every screen.
  if (key == 'Q' && ctrl != 0) {
    plat::post_message(main_hwnd, WM_CLOSE, 0, 0);
    return;
  }
  // While the mouse holds a button down no other button can be clicked.
  if (pressed_button != 0) return;
  for (const sKEY_BUTTONS& row : key_buttons) {
    if (row.key != key || row.ctrl != ctrl) continue;
    for (int32 id : row.ids) {
      if (id == 0 || !Button_Usable(id)) continue;
      // What a release on the button does (Check_Button_Up).
      buttons[id].pressed = 0;
      Update_Button(id);
      Execute_Button(id);
      return;
    }
  }
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
