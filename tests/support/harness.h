// The real game on the headless platform for the game, stress and fault tests, the golden
// replay, the fuzz targets and the benchmarks: a private working folder, the shell's start-up,
// a clean slate between runs, and a player's hand on the mouse.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "game/GAME.h"
#include "game/geometry.h"

namespace proof {

// A fresh folder under /tmp made the working folder for the object's lifetime; the old
// working folder comes back and the new one goes, with everything in it, at the end.
class Work_Dir {
 public:
  explicit Work_Dir(const char* tag);
  ~Work_Dir();
  Work_Dir(const Work_Dir&) = delete;
  Work_Dir& operator=(const Work_Dir&) = delete;

 private:
  std::string back_, path_;
};

// The seed of a randomised test: ORBOLAN_SEED when set, else a fresh one. Printed, so that a
// failure can be replayed.
unsigned Seed();

// The fifteen int32 fields of "orbolan.cfg": game type, sounds, animations, 12 statistics.
using Cfg = std::array<int32, 15>;
void Write_Cfg(const Cfg& cfg);
Cfg Read_Cfg();  // zeros where the file is shorter
std::string Read_File(const char* name);

// Writes the six sound files the game opens, each a silent wave of `ms` milliseconds, so a
// waiting play (the end-of-game fanfare) costs no more than that.
void Write_Short_Waves(int ms);

// Every game global back to its value at program start, and every sound alias closed.
void Clear_Game_Globals();

// Starts the game through the shell: DirectDrawInit, then the start-up WinMain runs (the
// 25 ms timer, the frame, Game_Init). The headless backend must be fresh
// (plat::headless::reset). False when the display could not be set up.
bool Start_Game();
// A fresh backend and globals, "orbolan.cfg" holding `cfg`, short sounds, then Start_Game;
// the timer is ticked by hand unless `real_timer`.
bool Restart(const Cfg& cfg, bool real_timer = false);

// A press and release at a client point, then every queued message dispatched.
void Click(int x, int y);
void Press(int32 button);
// The middle of a cell's bubble.
inline int Cell_X(int32 i) { return BUBBLE_LEFT + CELL_SIZE * i + CELL_SIZE / 2 - 1; }
inline int Cell_Y(int32 j) { return BUBBLE_TOP + CELL_SIZE * j + CELL_SIZE / 2 - 1; }
// Places a board in a running game, nothing selected, and composes it.
void Set_Board(const std::function<int32(int32 i, int32 j)>& colour);

// A short hash of the frame v_screen's pixels (494 x 420).
std::string Frame_Hash();

}  // namespace proof
