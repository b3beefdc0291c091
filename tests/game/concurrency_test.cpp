// Random play against the real 25 ms timer thread: under ThreadSanitizer any access to the
// board, the button table or the frame outside the world lock is reported.
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

using ConcurrencyTest = GameTest;

TEST_F(ConcurrencyTest, PlayingWhileTheTimerAnimates) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  std::mt19937 rng(seed);
  Start({3, 0, 1}, true);  // megashift: refills and packing give the longest slides
  Press(NEW);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (std::chrono::steady_clock::now() < end) {
    const unsigned action = rng() % 10;
    if (action < 6) {  // a random cell pressed twice: selected, then removed
      const int32 i = rng() % FIELD_COLUMNS;
      Move(i, rng() % FIELD_ROWS);
    } else if (action == 6) {
      Press(UNDO);
    } else if (action == 7) {  // Setup held, dragged off and back while frames are composed
      const int x = buttons[SETUP].topleft.x + 30, y = buttons[SETUP].topleft.y + 20;
      hl::mouse_down(x, y);
      hl::mouse_move(x + 90, y);
      hl::mouse_move(x, y);
      hl::mouse_up(x, y);
      hl::pump();
    } else if (action == 8) {
      Press(END);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      hl::pump();  // an owed end-of-game message may be waiting
    }
    if (mode == MODE_SETUP) Press(OK_SETUP);
    if (mode == MODE_GAME_SCORE) Press(NEW_AFTER_GAME);
  }
  // Left alone, every slide comes to rest on its cell and the animation ends.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  hl::pump();
  std::lock_guard lock(plat::world_lock());
  EXPECT_EQ(game_busy, 0);
  EXPECT_EQ(check_all_bubbles_moved(), 1);
  EXPECT_TRUE(mode == MODE_GAME || mode == MODE_GAME_SCORE);
}

}  // namespace
}  // namespace orbolan_test
