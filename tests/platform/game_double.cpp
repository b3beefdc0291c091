// A recording stand-in for the game's entry points that the shell calls, so the shell and
// the toolkit can be tested on their own.
#include <atomic>

#include "game/GAME.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/platform.h"
#include "tests/platform/fixtures.h"

int32 game_initialized = 0;

GameRecord& game_record() {
  static GameRecord r;
  return r;
}

void reset_game_record() {
  game_record() = GameRecord{};
  game_initialized = 0;
}

void Game_Init() {
  game_record().events.push_back("init");
  if (game_record().post_close_in_init) plat::post_message(main_hwnd, WM_CLOSE, 0, 0);
  game_initialized = 1;
}

void Game_Shutdown() {
  game_record().events.push_back("shutdown");
  plat::time_kill_event(TIMER_ID);
}

void Game_Message(uint32 msg, uint32, long) {
  game_record().messages.push_back(msg);
  if (msg == WM_CLOSE) Game_Shutdown();
  if (msg == WM_DESTROY) game_record().events.push_back(dd_Object ? "destroy" : "destroy released");
}

void Update_Screen() {
  game_record().events.push_back("update");
  PutSurfacePrimary(0, 0, v_screen);
}

void animate(uint32, uint32, unsigned long, unsigned long, unsigned long) {
  ++game_record().ticks;
}
