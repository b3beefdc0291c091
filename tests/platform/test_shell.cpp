// The application shell in the headless backend: window placement, the failed display,
// the closing path from WM_CLOSE to the exit code, messages from other threads, timers.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "game/GAME.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/platform/fixtures.h"

namespace hl = plat::headless;
using namespace std::chrono_literals;

namespace {

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::reset();
    reset_game_record();
    main_hwnd = nullptr, dd_Object = nullptr, dd_Primary = nullptr, v_screen = nullptr;
  }
  void TearDown() override { hl::reset(); }

  // Waits (bounded) until `done` holds; the bound only guards against a hang.
  template <class F>
  static bool eventually(F done) {
    for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(5ms);
    return done();
  }
};

}  // namespace

// ---- Set-up ------------------------------------------------------------------------------

TEST_F(Shell, WindowIsCentredByItsOuterSizeAndClientPosFollowsTheClientArea) {
  ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
  // The headless frame adds 4 + 4 across and 24 + 4 down: outer 501 x 447.
  EXPECT_EQ(Client_Pos.x, 1024 / 2 - 501 / 2 + 4);
  EXPECT_EQ(Client_Pos.y, 768 / 2 - 447 / 2 + 24);
  EXPECT_EQ(hl::window_client_origin().x, Client_Pos.x);
  EXPECT_EQ(hl::window_client_origin().y, Client_Pos.y);
  EXPECT_EQ(dd_Primary->width(), 1024);  // the primary reports the screen
  EXPECT_EQ(dd_Primary->buffer_width(), 493);
  EXPECT_EQ(dd_Primary->buffer_height(), 419);
}

TEST_F(Shell, SmallScreenGivesNegativePositionsUnclamped) {
  hl::set_screen_size(400, 300);
  ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
  EXPECT_EQ(Client_Pos.x, 200 - 250 + 4);
  EXPECT_EQ(Client_Pos.y, 150 - 223 + 24);
}

TEST_F(Shell, NoDisplayShowsOneBoxAndEndsWithAFailureCode) {
  hl::set_display_available(false);
  hl::set_box_answer(-1);  // no box can be shown either: the text goes to standard error
  ::testing::internal::CaptureStderr();
  EXPECT_NE(WinMain(nullptr, nullptr, nullptr, 1), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "ERROR: Direct Draw Initialisierung fehlgeschlagen!\n");
  ASSERT_EQ(hl::message_boxes().size(), 1u);
  EXPECT_EQ(hl::message_boxes()[0].caption, "ERROR");
  EXPECT_TRUE(game_record().events.empty());  // Game_Init never ran
  EXPECT_FALSE(hl::timer_alive());
}

TEST_F(Shell, ShutdownWithoutDisplayDoesNothing) {
  Shutdown();
  EXPECT_EQ(dd_Object, nullptr);
}

// ---- Closing -------------------------------------------------------------------------------

TEST_F(Shell, CloseRunsShutdownThenDestroysThenQuitsWithZero) {
  game_record().post_close_in_init = true;
  EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), 0);
  const std::vector<std::string> expected{"init", "shutdown", "destroy released"};
  EXPECT_EQ(game_record().events, expected);
  EXPECT_EQ(dd_Object, nullptr);
  EXPECT_EQ(dd_Primary, nullptr);
  EXPECT_FALSE(hl::timer_alive());
  // The game saw the close, then the destruction.
  const auto& m = game_record().messages;
  ASSERT_GE(m.size(), 2u);
  EXPECT_EQ(m[m.size() - 2], WM_CLOSE);
  EXPECT_EQ(m.back(), WM_DESTROY);
}

TEST_F(Shell, RealTimerTicksUntilTheCloseKillsItFromInsideTheLock) {
  hl::set_real_timer(true);
  auto exit_code = std::async(std::launch::async, [] { return WinMain(nullptr, nullptr, nullptr, 1); });
  auto ticks = [] {
    std::lock_guard<std::recursive_mutex> lock{plat::world_lock()};
    return game_record().ticks;
  };
  ASSERT_TRUE(eventually([&] { return ticks() >= 4; }));
  {
    // While this thread holds the world lock, no tick can run.
    std::lock_guard<std::recursive_mutex> lock{plat::world_lock()};
    const int held = game_record().ticks;
    std::this_thread::sleep_for(120ms);
    EXPECT_EQ(game_record().ticks, held);
  }
  ASSERT_TRUE(eventually([&] { return ticks() >= 8; }));  // and ticking goes on afterwards
  // Clicks and a close from this thread while the timer thread ticks.
  for (int i = 0; i < 20; ++i) hl::click(100 + i, 200);
  hl::post(WM_CLOSE, 0, 0);
  ASSERT_EQ(exit_code.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(exit_code.get(), 0);
  const int at_close = ticks();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(ticks(), at_close);  // no tick after the kill
  int clicks = 0;
  for (uint32 m : game_record().messages) clicks += m == WM_LBUTTONDOWN;
  EXPECT_EQ(clicks, 20);
}

// ---- Messages and timers ------------------------------------------------------------------

TEST_F(Shell, EveryMessagePostedFromAnotherThreadArrives) {
  ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
  std::thread poster([] {
    for (int i = 0; i < 500; ++i) plat::post_message(main_hwnd, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(i, -1));
  });
  poster.join();
  EXPECT_EQ(hl::pump(), 500);
  ASSERT_EQ(game_record().messages.size(), 500u);
}

TEST_F(Shell, ManualTimerFiresOnlyWhenToldAndStopsWhenKilled) {
  const uint32 id = plat::time_set_event(25, 0, animate, 0, TIME_PERIODIC);
  EXPECT_NE(id, 0u);
  EXPECT_TRUE(hl::timer_alive());
  std::this_thread::sleep_for(60ms);
  EXPECT_EQ(game_record().ticks, 0);
  hl::tick(3);
  EXPECT_EQ(game_record().ticks, 3);
  plat::time_kill_event(id);
  plat::time_kill_event(id);  // twice is harmless
  hl::tick(2);
  EXPECT_EQ(game_record().ticks, 3);
  EXPECT_FALSE(hl::timer_alive());
}

TEST_F(Shell, MessagesToADestroyedWindowAreDropped) {
  ASSERT_EQ(DirectDrawInit(nullptr, 1), 1);
  HWND w = main_hwnd;
  plat::destroy_window(w);
  const std::size_t seen = game_record().messages.size();
  plat::post_message(w, WM_PAINT, 0, 0);
  hl::pump();
  EXPECT_EQ(game_record().messages.size(), seen);
  int code = -1;
  EXPECT_TRUE(hl::quit_posted(&code));
  EXPECT_EQ(code, 0);
}
