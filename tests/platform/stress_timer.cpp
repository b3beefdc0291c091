// The real game with the real 25 ms timer thread ticking while clicks, new games, undos and
// end screens arrive from another thread (run under ThreadSanitizer too): no tick runs while
// the world lock is held, and the program still ends with exit code 0.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <random>
#include <thread>

#include "game/GAME.h"
#include "main/MAIN.h"
#include "platform/detail.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace hl = plat::headless;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr POINT NEW_BUTTON{309, 395};  // start screen (and End in a game)
constexpr POINT UNDO_BUTTON{457, 395};
constexpr POINT SCORE_NEW_BUTTON{281, 296};  // New on the end-of-game screen

std::atomic<int> extra_ticks{0};
void count_tick(uint32, uint32, unsigned long, unsigned long, unsigned long) {
  ++extra_ticks;
  plat::detail::note_busy();  // a tick with work, so its timer never sleeps
}

void click(POINT p) {
  hl::click(p.x, p.y);
  std::this_thread::sleep_for(1ms);
}


}  // namespace

TEST(TimerStress, TicksRaceClicksNewGamesAndUndosAndTheProgramStillEndsWithZero) {
  fs::remove("orbolan.cfg");  // CTest runs this in a folder of its own, where the game writes it
  const unsigned seed = std::random_device{}();
  std::printf("TimerStress seed %u\n", seed);
  std::mt19937 rng(seed);
  hl::reset();
  hl::set_real_timer(true);
  auto exit_code = std::async(std::launch::async, [] { return WinMain(nullptr, nullptr, nullptr, 1); });
  for (int i = 0; i < 400 && !hl::timer_alive(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(hl::timer_alive());
  std::this_thread::sleep_for(50ms);  // let Game_Init finish before the first click
  const int frames_before = hl::present_count();

  // A second 5 ms timer beside the game's: frozen while this thread holds the world lock.
  const uint32 timer = plat::time_set_event(5, 0, count_tick, 0, TIME_PERIODIC);
  std::this_thread::sleep_for(50ms);
  int held = 0;
  {
    std::lock_guard<std::recursive_mutex> lock{plat::world_lock()};
    held = extra_ticks;
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(extra_ticks, held) << "a tick ran while the world lock was held";
  }
  std::this_thread::sleep_for(50ms);
  EXPECT_GT(extra_ticks, held);
  plat::time_kill_event(timer);

  click(NEW_BUTTON);
  for (int step = 0; step < 600; ++step) {
    const unsigned what = rng() % 20;
    const POINT cell{static_cast<int32>(48 * (rng() % 10) + 31), static_cast<int32>(48 * (rng() % 7) + 31)};
    if (what < 14) {  // a bubble, twice: select, then remove while earlier moves still slide
      click(cell), click(cell);
    } else if (what < 18) {  // undo, or End and New on the end-of-game screen
      what < 17 ? click(UNDO_BUTTON) : (click(NEW_BUTTON), click(SCORE_NEW_BUTTON));
    } else {
      hl::mouse_move(cell.x, cell.y, 0);
    }
    if (step % 50 == 0) std::this_thread::sleep_for(30ms);  // let some animations run out
  }
  hl::post(WM_CLOSE, 0, 0);
  ASSERT_EQ(exit_code.wait_for(30s), std::future_status::ready) << "seed " << seed;
  EXPECT_EQ(exit_code.get(), 0) << "seed " << seed;
  EXPECT_GT(hl::present_count(), frames_before + 100) << "seed " << seed;
  EXPECT_FALSE(hl::timer_alive());
  EXPECT_TRUE(fs::exists("orbolan.cfg"));
}
