// The real game on the headless platform for the stress tests, the fault tests and the
// benchmarks: a private working folder, the shell's start-up order, and a clean slate.
#pragma once

#include <string>

#include "game/GAME.h"

namespace proof {

// Makes a fresh folder under /tmp the working folder and returns its path.
std::string Enter_Work_Dir(const char* tag);
// Returns to `back` and removes `dir` with everything in it.
void Leave_Work_Dir(const std::string& dir, const std::string& back);

// Writes the six sound files the game opens, each a silent wave of `ms` milliseconds, so a
// waiting play (the end-of-game fanfare) costs no more than that.
void Write_Short_Waves(int ms);

// Every game global back to its value at program start.
void Clear_Game_Globals();

// Starts the game as the shell does: window and display, the 25 ms timer, the frame, then
// Game_Init. The headless backend must be fresh (plat::headless::reset). False when the
// display could not be set up.
bool Start_Game();

// The frame v_screen's pixels, 494 x 420, 0x00RRGGBB.
std::string Frame_Bytes();

}  // namespace proof
