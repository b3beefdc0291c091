// The real game on the headless platform for the game, stress and fault tests, the fuzz
// targets and the benchmarks: a private working folder, the shell's start-up, a clean slate.
#pragma once

#include <string>

#include "game/GAME.h"

namespace proof {

// A fresh folder under /tmp made the working folder for the object's lifetime; the old
// working folder comes back and the new one goes, with everything in it, at the end.
class Work_Dir {
 public:
  explicit Work_Dir(const char* tag);
  ~Work_Dir();
  Work_Dir(const Work_Dir&) = delete;
  Work_Dir& operator=(const Work_Dir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string back_, path_;
};

// Writes the six sound files the game opens, each a silent wave of `ms` milliseconds, so a
// waiting play (the end-of-game fanfare) costs no more than that.
void Write_Short_Waves(int ms);

// Every game global back to its value at program start, and every sound alias closed.
void Clear_Game_Globals();

// Starts the game through the shell: DirectDrawInit, then the start-up WinMain runs (the
// 25 ms timer, the frame, Game_Init). The headless backend must be fresh
// (plat::headless::reset). False when the display could not be set up.
bool Start_Game();

// The frame v_screen's pixels, 494 x 420, 0x00RRGGBB.
std::string Frame_Bytes();

}  // namespace proof
