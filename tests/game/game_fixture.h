// The whole game on the headless platform: a fresh temporary working folder, the shell's
// display set-up, Game_Init, and helpers to drive the mouse and to read composed frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game/GAME.h"

namespace orbolan_test {

// The fifteen little-endian int32 fields of "orbolan.cfg", setup first.
struct CfgValues {
  int32 game_type = 0, play_sounds = 0, animations = 0;
  int32 stats[12] = {};
};
void Write_Cfg_File(const CfgValues& v);
std::vector<std::uint8_t> Read_File(const std::string& path);

// A frame's pixels, 0x00RRGGBB, row by row.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32> pixels;
  uint32 at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
Picture Grab(LPDIRECTDRAWSURFACE s, int width, int height);
Picture Grab_Frame();   // the composed frame v_screen, 494 x 420
Picture Grab_Window();  // what the window shows, 493 x 419

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the game as the shell does, with the given file in the working folder (none when
  // `cfg` is null).
  void Start(const CfgValues* cfg);
  void Start_With(int32 game_type, int32 sounds, int32 animations);
  // A second run in the same folder: platform and game globals fresh, the files kept.
  void Restart(const CfgValues* cfg);

  // Real mouse messages through the window's queue.
  void Click(int x, int y);
  void Click_Button(int32 id);  // in the middle of its face
  void Pump();

  // Places a board (colours by [column][row]) in a running game, nothing selected.
  void Set_Board(const std::function<int32(int32 i, int32 j)>& colour);
  // Centre of a cell, where a player would click it.
  static int Cell_X(int32 i) { return 48 * i + 8 + 23; }
  static int Cell_Y(int32 j) { return 48 * j + 8 + 23; }

  // Saves a picture as a BMP into the build's failure folder and returns its path.
  std::string Save_Picture(const Picture& picture, const std::string& what);

  std::string work_dir_;
  std::string old_dir_;
};

// A colouring with no two orthogonal neighbours alike, in colours 1 to 4; colour 5 is free
// for groups a test draws on top of it.
int32 Pattern_Colour(int32 i, int32 j);

}  // namespace orbolan_test
