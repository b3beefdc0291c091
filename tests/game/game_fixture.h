// The whole game on the headless platform, one fresh working folder per test, with helpers
// to prepare "orbolan.cfg", click as a player does, place a board and read composed frames.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/GAME.h"
#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace orbolan_test {

namespace hl = plat::headless;

enum : int32 { EXIT = 1, LOGO, SETUP, SCORES, NEW, END, OK_SETUP, OK_CREDITS, OK_SCORES, RESET,
               DONE, NEW_AFTER_GAME, UNDO };
constexpr uint32 RED_PIXEL = 0xFF0000;  // frame pixels read 0x00RRGGBB

// The fifteen int32 fields of "orbolan.cfg": game type, sounds, animations, 12 statistics.
using Cfg = std::array<int32, 15>;

// No two orthogonal neighbours alike, in colours 1 to 4: colour 5 is free for a test's group.
inline int32 Pattern(int32 i, int32 j) { return (i + 2 * j) % 4 + 1; }
inline int Cell_X(int32 i) { return 48 * i + 31; }  // the middle of a cell
inline int Cell_Y(int32 j) { return 48 * j + 31; }

// The composed frame v_screen, 494 x 420, row by row.
using Frame = std::vector<uint32>;
inline Frame Grab() {
  Frame f(494 * 420);
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) f[y * 494 + x] = hl::surface_pixel(v_screen, x, y);
  return f;
}
inline uint32 At(const Frame& f, int x, int y) { return f[y * 494 + x]; }

class GameTest : public ::testing::Test {
 protected:
  void TearDown() override {
    hl::reset();
    proof::Clear_Game_Globals();
  }
  // Starts the game afresh as the shell does, from "orbolan.cfg" holding `cfg` in little-endian;
  // the 25 ms timer is ticked by hand unless `real_timer`.
  static void Start(const Cfg& cfg = {}, bool real_timer = false) {
    hl::reset();
    hl::set_real_timer(real_timer);
    proof::Clear_Game_Globals();
    std::ofstream out("orbolan.cfg", std::ios::binary | std::ios::trunc);
    for (int32 v : cfg)
      for (int k = 0; k < 4; ++k) out.put(static_cast<char>(static_cast<uint32>(v) >> 8 * k));
    out.close();
    proof::Write_Short_Waves(5);
    ASSERT_TRUE(proof::Start_Game());
  }
  void Click(int x, int y) {
    hl::click(x, y);
    hl::pump();
  }
  void Press(int32 id) { Click(buttons[id].topleft.x + 31, buttons[id].topleft.y + 19); }
  // One move: the group under cell (i, j) selected, then removed.
  void Move(int32 i, int32 j) { for (int k = 0; k < 2; ++k) Click(Cell_X(i), Cell_Y(j)); }
  // Places a board in a running game, nothing selected, and composes it.
  static void Set_Board(const std::function<int32(int32 i, int32 j)>& colour) {
    std::lock_guard lock(plat::world_lock());
    for (int32 j = 0; j < FIELD_ROWS; ++j)
      for (int32 i = 0; i < FIELD_COLUMNS; ++i)
        PlayField[i][j] = sBUBBLE_FIELD{colour(i, j), {AT_REST, AT_REST}, {-1, -1}, 0};
    bubbles_marked = number_bubbles_marked = bubble_points = 0;
    Create_Screen();
  }
  // Keeps the frame as a BMP in the build's failure folder and returns where, for messages.
  static std::string Saved(const char* what) {
    std::filesystem::create_directories(ORBOLAN_FAILURE_DIR);
    const std::string path = std::string(ORBOLAN_FAILURE_DIR "/") + what + ".bmp";
    hl::save_surface_bmp(v_screen, path.c_str());
    return path;
  }

  proof::Work_Dir dir_{"game-test"};
};

}  // namespace orbolan_test
