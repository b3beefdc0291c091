// The timer that sleeps while nothing moves, against one that ticks for ever: the same
// presses must present the same frames, and the sleeping timer must really sleep.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/detail.h"
#include "platform/headless.h"
#include "tests/support/harness.h"

namespace {

namespace hl = plat::headless;

// Waits (dispatching what comes) until `done`; false after a minute of waiting in vain.
template <class F>
bool Until(F done) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  bool held;
  while (hl::pump(), !(held = done()) && std::chrono::steady_clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return held;
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
  proof::Clear_Game_Globals();
  ASSERT_TRUE(proof::Start_Game());
}

// A megashift game: New, three moves, Undo, Scores and back, End and Done, each press
// once the game is at rest again. Every frame presented on the way.
std::vector<std::size_t> Replay(bool sleeps_when_idle) {
  proof::Work_Dir dir("idle-timer");
  Start(sleeps_when_idle);
  {
    std::lock_guard lock(plat::world_lock());
    setup_data = {3, 0, 1};  // megashift, silent, animated
    std::srand(7);
    hl::keep_frame_hashes(true);
  }
  bool stalled = false;  // then the remaining presses are skipped
  auto press = [&](int x, int y) {
    if (!stalled) hl::click(x, y), stalled = !Until(At_Rest);
  };
  press(309, 395);
  for (int move = 0; move < 3; ++move) {
    int x = 0, y = 0;  // the first bubble with a same-coloured neighbour to its right
    {
      std::lock_guard lock(plat::world_lock());
      for (int j = 0; j < FIELD_ROWS && !x; ++j)
        for (int i = 0; i + 1 < FIELD_COLUMNS && !x; ++i)
          if (PlayField[i][j].type == PlayField[i + 1][j].type) x = 48 * i + 31, y = 48 * j + 31;
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
  proof::Work_Dir dir("idle-timer");
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
    ASSERT_TRUE(Until([&] { return idle_ticks >= rouse; }));
    const int from = busy_ticks;
    ASSERT_TRUE(Until([&] { return busy_ticks >= from + 10; }));
    EXPECT_EQ(idle_ticks, rouse);  // asleep through ten ticks of the other
    hl::post(WM_NULL, 0, 0);       // one dispatched message wakes it for one tick
  }
  hl::reset();
}

}  // namespace
