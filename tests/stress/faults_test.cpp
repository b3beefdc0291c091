// Faults with nothing lost: saves killed at random moments, and pictures whose surfaces lost
// their memory. (A folder the game may not write and damaged sounds are the real-window
// tests'.)
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>

#include "game/config.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"
#include "tests/support/picture.h"

namespace {

namespace fs = std::filesystem;
namespace hl = plat::headless;
using namespace proof;

// A saver process writes "orbolan.cfg" generation after generation (every field equal to it)
// and reports each finished save on a pipe; killed at random moments, it leaves the last
// reported save or the one under way, whole. The seed is printed; ORBOLAN_SEED=<seed> replays it.
TEST(Faults, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewFile) {
  const unsigned seed = Seed();
  std::mt19937 rng(seed);
  Work_Dir dir("kill");
  int32 on_disk = 1000, new_found = 0;
  Cfg all;
  all.fill(on_disk);
  Write_Cfg(all);
  for (int round = 0; round < 300; ++round) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    if (pid == 0) {   // the saver: generation after generation, each reported once saved
      Read_Config();  // every field counts one up from what the file holds
      for (int32 g = on_disk + 1;; ++g) {
        setup_data = {g, g, g};
        score_statistic = {{g, g, g}, {g, g, g}, {g, g, g}, {g, g, g}};
        const std::string line = std::to_string(g) + "\n";
        if (!Save_Chosen_Setup() || write(out[1], line.data(), line.size()) != ssize_t(line.size()))
          _exit(1);
      }
    }
    close(out[1]);
    pollfd p{out[0], POLLIN, 0};
    if (rng() % 4 != 0) poll(&p, 1, 5000);  // most kills fall inside the saving loop
    usleep(rng() % 3000);  // the random moment of the kill, not a wait for anything
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    std::string said;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) said.append(buffer, n);
    close(out[0]);
    const std::size_t end = said.rfind('\n'), start = said.rfind('\n', end - 1);
    const int32 reported = end == std::string::npos
                               ? on_disk
                               : std::stoi(said.substr(start == std::string::npos ? 0 : start + 1));
    const std::string file = Read_File("orbolan.cfg");
    ASSERT_EQ(file.size(), 60u) << "round " << round << ", seed " << seed;
    const int32 found = int32(std::uint8_t(file[0]) | std::uint8_t(file[1]) << 8);
    all.fill(found);
    Write_Cfg(all);  // the same bytes if the file is whole
    ASSERT_EQ(Read_File("orbolan.cfg"), file)
        << "a mixed file in round " << round << ", seed " << seed;
    ASSERT_TRUE(found == reported || found == reported + 1)
        << "holds " << found << ", reported " << reported;
    new_found += found != on_disk;
    on_disk = found;
  }
  EXPECT_GT(new_found, 0) << "the saver never finished a save: the kills came too early";
}

TEST(Faults, LostSurfacesAreReloadedAndTheNextFrameIsRight) {
  Work_Dir dir("lost");
  ASSERT_TRUE(Restart({}));
  Press(BTN_NEW);
  Set_Board([](int32 i, int32 j) { return (i / 2 + j) % 5 + 1; });
  Click(Cell_X(0), Cell_Y(0));  // an outlined group
  const Picture good = Frame_Picture();
  // Every picture of the board screen loses its memory: it refuses every blit and what it
  // held is gone. The next redraw runs into it.
  std::vector<LPDIRECTDRAWSURFACE> lost = {bk_pic,   bubble_1, bubble_2,
                                           bubble_3, bubble_4, bubble_5};
  for (int32 b = 1; b <= button_ctr; ++b) lost.push_back(buttons[b].bmp_normal);
  for (LPDIRECTDRAWSURFACE s : lost) {
    FillSurface(s, 0, 0, s->width(), s->height(), 0x123456);
    hl::mark_surface_lost(s, true);
  }
  {
    std::lock_guard lock(plat::world_lock());
    Create_Screen();
  }
  EXPECT_NE(Frame_Picture().pixels, good.pixels);
  // While the memory stays lost a reload cannot refill it, and redraws nothing that would
  // report the loss again; once the display gives the memory back, the next reported loss
  // brings every picture back and the frame is whole again.
  EXPECT_GT(hl::pump(), 0);
  EXPECT_EQ(hl::pump(), 0);
  for (LPDIRECTDRAWSURFACE s : lost) hl::mark_surface_lost(s, false);
  hl::post(SURFACE_LOST_MSG, 0, 0);
  hl::pump();
  EXPECT_EQ(Compare_Pictures(good, Frame_Picture(), "reloaded-frame"), "")
      << "the frame after the reload differs";
  EXPECT_EQ(hl::window_pixel(245, 200), hl::surface_pixel(v_screen, 245, 200));
  hl::reset();
}

}  // namespace
