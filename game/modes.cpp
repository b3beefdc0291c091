// The screen modes: which screen is shown, which mode it was opened from, whether the main
// buttons are usable, and the side effects of entering a mode (a new board, the result sound).
#include "game/GAME.h"
#include "mci/MCI.h"

int32 mode = MODE_START;  // the screen shown now
int32 last_mode = 0;      // the mode current before the latest change_mode
int32 main_btn_mask = 0;  // 1 while Exit, logo, Setup and Scores are drawn dimmed and refused

// Plays the result of the game that has just ended and waits for its end, so the table is
// drawn after the sound, as the player expects a fanfare before the numbers.
static void Play_Result_Sound() {
  if (setup_data.play_sounds == 0) return;
  mci_PlayWaveWait(highscore != 0 ? "highscore" : "score");
}

void change_mode(int32 new_mode) {
  const int32 last_mode_buffer = last_mode;
  last_mode = mode;
  switch (new_mode) {
    case MODE_START:
      mode = MODE_START;
      main_btn_mask = 0;
      Create_Screen();
      break;
    case MODE_GAME:
      mode = MODE_GAME;
      main_btn_mask = 0;
      New_Game();  // every entry into the board this way deals a new board
      Create_Screen();
      break;
    case MODE_CREDITS:
    case MODE_SETUP:
    case MODE_SCORES:
      mode = new_mode;
      main_btn_mask = 1;
      Create_Screen();
      break;
    case MODE_GAME_SCORE:
      mode = MODE_GAME_SCORE;
      main_btn_mask = 1;
      // The game just ended or given up is counted: on disk before the fanfare, so a crash
      // or a lost display later in the run does not cost it.
      Write_Config();
      Play_Result_Sound();
      Create_Screen();
      break;
    case MODE_BACK:
      // Back to the screen this one was opened from; a running game keeps its board.
      mode = last_mode_buffer;
      main_btn_mask = 0;
      Create_Screen();  // still sees last_mode as the mode being left
      last_mode = 0;
      break;
    default: break;  // not a mode: only last_mode has moved
  }
}
