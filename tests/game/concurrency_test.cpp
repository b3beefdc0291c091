// The game with the real 25 ms timer thread ticking while the window thread plays: moves,
// undos, screen changes, held buttons and new games. Run under ThreadSanitizer, any access
// to the board, the button table or the frame outside the world lock is reported.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

namespace hl = plat::headless;

constexpr int32 SETUP = 3, NEW = 5, END = 6, OK_SETUP = 7, NEW_AFTER_GAME = 12, UNDO = 13;

class ConcurrencyTest : public GameTest {};

TEST_F(ConcurrencyTest, PlayingWhileTheTimerAnimates) {
  const unsigned seed = static_cast<unsigned>(std::time(nullptr));
  std::printf("seed %u\n", seed);
  std::srand(seed);
  hl::set_real_timer(true);
  Start_With(3, 0, 1);  // megashift: refills and packing give the longest slides
  Click_Button(NEW);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int moves = 0;
  while (std::chrono::steady_clock::now() < end) {
    const int action = std::rand() % 10;
    if (action < 6) {  // press a random cell twice: select, then remove
      const int x = Cell_X(std::rand() % FIELD_COLUMNS), y = Cell_Y(std::rand() % FIELD_ROWS);
      Click(x, y);
      Click(x, y);
      ++moves;
    } else if (action == 6) {
      Click_Button(UNDO);
    } else if (action == 7) {  // hold a button and wiggle over it while frames are composed
      hl::mouse_down(buttons[SETUP].topleft.x + 30, buttons[SETUP].topleft.y + 20);
      hl::mouse_move(buttons[SETUP].topleft.x + 90, buttons[SETUP].topleft.y + 20);
      hl::mouse_move(buttons[SETUP].topleft.x + 30, buttons[SETUP].topleft.y + 20);
      hl::mouse_up(buttons[SETUP].topleft.x + 30, buttons[SETUP].topleft.y + 20);
      Pump();
      if (mode == MODE_SETUP) Click_Button(OK_SETUP);
    } else if (action == 8) {
      Click_Button(mode == MODE_GAME ? END : NEW_AFTER_GAME);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      Pump();  // an owed end-of-game message may be waiting
    }
    if (mode == MODE_GAME_SCORE) Click_Button(NEW_AFTER_GAME);
  }
  EXPECT_GT(moves, 0);
  // Left alone, every slide comes to rest on its cell and the animation ends.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  Pump();
  std::lock_guard lock(plat::world_lock());
  EXPECT_EQ(game_busy, 0);
  EXPECT_EQ(check_all_bubbles_moved(), 1);
  EXPECT_TRUE(mode == MODE_GAME || mode == MODE_GAME_SCORE);
}

}  // namespace
}  // namespace orbolan_test
