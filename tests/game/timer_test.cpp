// The game against the real 25 ms timer thread (run under ThreadSanitizer too). Concurrency:
// the shell's message loop, the timer and a player's presses (seeded) from a third thread at
// once. IdleTimer: the timer that sleeps while nothing moves, against one that ticks for ever.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <random>
#include <thread>

#include "main/MAIN.h"
#include "platform/detail.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace {

namespace hl = plat::headless;
using namespace proof;

// Polls `done` until it holds or a minute passes, dispatching what comes in between when
// `pump`; true when it held.
template <typename F>
bool Wait_For(F done, bool pump = false) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  bool held;
  while ((pump && hl::pump()), !(held = done()) && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return held;
}

template <typename T>
T Locked(const T& v) {
  std::lock_guard lock(plat::world_lock());
  return v;
}

std::atomic<int> ticks{0}, ticks_inside_a_held_lock{0};
void Count_Tick(uint32, uint32, unsigned long, unsigned long, unsigned long) {
  if (!plat::world_lock().try_lock())
    ++ticks_inside_a_held_lock;  // held by another thread
  else
    plat::world_lock().unlock();
  ++ticks;
}

TEST(Concurrency, ShellTimerAndPlayerThreads) {
  const unsigned seed = Seed();
  std::mt19937 rng(seed);
  Work_Dir dir("concurrency");
  hl::reset();
  hl::set_real_timer(true);
  Clear_Game_Globals();
  Write_Cfg({3, 0, 1});  // megashift with animations: refills and packing slide longest
  Write_Short_Waves(5);
  auto exit_code =
      std::async(std::launch::async, [] { return WinMain(nullptr, nullptr, nullptr, 1); });
  ASSERT_TRUE(Wait_For([] { return Locked(game_initialized) == 1; }));

  // A second timer beside the game's, while this thread takes the lock again and again. Its
  // ticks do no work, so it must be kept from sleeping while no message comes.
  hl::set_timer_sleeps_when_idle(false);
  const uint32 timer = plat::time_set_event(5, 0, Count_Tick, 0, TIME_PERIODIC);
  ASSERT_TRUE(Wait_For([] {
    std::lock_guard lock(plat::world_lock());
    for (int k = 0; k < 100; ++k) std::this_thread::yield();
    return ticks >= 40;
  }));
  plat::time_kill_event(timer);
  hl::set_timer_sleeps_when_idle(true);
  EXPECT_EQ(ticks_inside_a_held_lock, 0);

  auto press = [](POINT p) { hl::click(p.x, p.y); };
  const auto centre = [](int32 b) {
    return POINT{buttons[b].topleft.x + 31, buttons[b].topleft.y + 19};
  };
  press(centre(BTN_NEW));
  for (int step = 0; step < 600; ++step) {
    const POINT cell{Cell_X(int32(rng() % 10)), Cell_Y(int32(rng() % 7))};
    const unsigned what = rng() % 20;
    if (what < 14)
      press(cell), press(cell);  // selected, then removed while others slide
    else if (what < 17)
      press(centre(BTN_UNDO));
    else if (what < 19)
      press(centre(BTN_END)), press(centre(BTN_NEW_AFTER_GAME));
    else
      hl::mouse_move(cell.x, cell.y, 0);
    if (step % 50 == 0) Wait_For([] { return Locked(game_busy) == 0; });
  }
  // Left alone, every slide comes to rest on its cell and the animation ends.
  EXPECT_TRUE(Wait_For([] {
    std::lock_guard lock(plat::world_lock());
    return game_busy == 0 && check_all_bubbles_moved() == 1;
  })) << "seed "
      << seed;
  hl::post(WM_CLOSE, 0, 0);
  ASSERT_EQ(exit_code.wait_for(std::chrono::seconds(60)), std::future_status::ready)
      << "seed " << seed;
  EXPECT_EQ(exit_code.get(), 0);
  EXPECT_FALSE(hl::timer_alive());
  EXPECT_EQ(Read_File("orbolan.cfg").size(), 60u) << "closing saves";
}

// The game at rest: no animation, no owed end screen, no message left.
bool At_Rest() {
  std::lock_guard lock(plat::world_lock());
  return game_busy == 0 && waitanim == 0 && hl::pump() == 0;
}

void Start(bool sleeps_when_idle) {
  hl::reset();
  hl::set_real_timer(true);
  hl::set_timer_sleeps_when_idle(sleeps_when_idle);
  Clear_Game_Globals();
  ASSERT_TRUE(proof::Start_Game());
}

// A megashift game: New, three moves, Undo, Scores and back, End and Done, each press
// once the game is at rest again. Every frame presented on the way.
std::vector<std::size_t> Replay(bool sleeps_when_idle) {
  Work_Dir dir("idle-timer");
  Start(sleeps_when_idle);
  {
    std::lock_guard lock(plat::world_lock());
    setup_data = {3, 0, 1};  // megashift, silent, animated
    std::srand(7);
    hl::keep_frame_hashes(true);
  }
  bool stalled = false;  // then the remaining presses are skipped
  auto press = [&](int x, int y) {
    if (!stalled) hl::click(x, y), stalled = !Wait_For(At_Rest, true);
  };
  press(309, 395);
  for (int move = 0; move < 3; ++move) {
    int x = 0, y = 0;  // the first bubble with a same-coloured neighbour to its right
    {
      std::lock_guard lock(plat::world_lock());
      for (int j = 0; j < FIELD_ROWS && !x; ++j)
        for (int i = 0; i + 1 < FIELD_COLUMNS && !x; ++i)
          if (PlayField[i][j].type == PlayField[i + 1][j].type) x = Cell_X(i), y = Cell_Y(j);
    }
    press(x, y), press(x, y);  // select, remove
  }
  for (auto [x, y] : {std::pair{457, 395}, {241, 395}, {211, 296}, {309, 395}, {211, 296}})
    press(x, y);
  EXPECT_FALSE(stalled) << "an animation never came to rest";
  std::vector<std::size_t> frames = hl::frame_hashes();
  hl::reset();
  return frames;
}

TEST(IdleTimer, SleepingTimerPresentsTheSameFramesAsTheTickingOne) {
  const std::vector<std::size_t> ticking = Replay(false);
  EXPECT_GT(ticking.size(), 40u);  // the slides were drawn, tick by tick
  EXPECT_EQ(ticking, Replay(true));
}

std::atomic<int> idle_ticks{0}, busy_ticks{0};

TEST(IdleTimer, SleepsAfterAnIdleTickUntilAMessageIsDispatched) {
  Work_Dir dir("idle-timer");
  Start(true);
  // A timer whose ticks always find work is the clock; one whose ticks find none is watched.
  plat::time_set_event(
      25, 0,
      [](uint32, uint32, unsigned long, unsigned long, unsigned long) {
        ++busy_ticks, plat::detail::note_busy();
      },
      0, TIME_PERIODIC);
  plat::time_set_event(
      25, 0, [](uint32, uint32, unsigned long, unsigned long, unsigned long) { ++idle_ticks; }, 0,
      TIME_PERIODIC);
  for (int rouse = 1; rouse <= 2; ++rouse) {
    ASSERT_TRUE(Wait_For([&] { return idle_ticks >= rouse; }, true));
    const int from = busy_ticks;
    ASSERT_TRUE(Wait_For([&] { return busy_ticks >= from + 10; }, true));
    EXPECT_EQ(idle_ticks, rouse);  // asleep through ten ticks of the other
    hl::post(WM_NULL, 0, 0);       // one dispatched message wakes it for one tick
  }
  hl::reset();
}

}  // namespace
