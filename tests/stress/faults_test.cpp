// Faults with nothing lost: saves killed at random moments, a working folder the game may
// not write, sound files missing or damaged, and pictures whose surfaces lost their memory
// in the middle of a game.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/GAME.h"
#include "game/config.h"
#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace {

namespace fs = std::filesystem;
namespace hl = plat::headless;
using Bytes = std::vector<unsigned char>;

constexpr POINT NEW_BUTTON = {278 + 31, 376 + 19};  // New on the start screen, End on the board
constexpr POINT DONE_BUTTON = {180 + 31, 277 + 19};

Bytes Read_Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write_Bytes(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Config_Bytes(const sSETUP_DATA& setup, const sSCORE_STATISTIC& stats) {
  Bytes b(CONFIG_FILE_SIZE);
  Encode_Config(setup, stats, b.data());
  return b;
}

void Click(POINT p) {
  hl::click(p.x, p.y);
  hl::pump();
}

// A board of the running game with no move left but the pair of colour 5 at the bottom
// left; removing it ends the game.
void Last_Pair_Board() {
  std::lock_guard lock(plat::world_lock());
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j)
      PlayField[i][j] = sBUBBLE_FIELD{(i + 2 * j) % 4 + 1, {AT_REST, AT_REST}, {-1, -1}, 0};
  PlayField[0][6].type = PlayField[1][6].type = 5;
  bubbles_marked = number_bubbles_marked = bubble_points = 0;
  Create_Screen();
}

// New, the last pair selected and removed: the game ends by itself.
void Remove_The_Last_Pair() {
  Click(NEW_BUTTON);
  Last_Pair_Board();
  Click({31, 6 * 48 + 31});
  Click({31, 6 * 48 + 31});
}

// The same, and every slide comes home, so an owed end screen is shown.
void Play_A_Game_To_Its_End() {
  Remove_The_Last_Pair();
  hl::tick(60);
  hl::pump();
}

// ---- Saves killed at random moments -----------------------------------------------------------

struct Saver {
  pid_t pid = -1;
  int out = -1;  // the saver's standard output
};

Saver Start_Saver(int32 first_generation) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    const std::string arg = std::to_string(first_generation);
    execl(SAVE_LOOP_PATH, SAVE_LOOP_PATH, arg.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  return {pid, fds[0]};
}

// The last generation the saver reported as saved, or `none`.
int32 Last_Reported(const std::string& output, int32 none) {
  const std::size_t end = output.rfind('\n');
  if (end == std::string::npos) return none;
  const std::size_t start = output.rfind('\n', end - 1);
  return std::stoi(output.substr(start == std::string::npos || end == 0 ? 0 : start + 1));
}

TEST(Faults, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewFile) {
  const unsigned seed = std::random_device{}();
  std::printf("seed %u\n", seed);
  std::mt19937 rng(seed);
  proof::Work_Dir folder("kill");
  int32 on_disk = 1000;  // every field of the file holds its generation
  const sSTATISTIC_BLOCK g{on_disk, on_disk, on_disk};
  Write_Bytes(CONFIG_FILE_NAME, Config_Bytes({on_disk, on_disk, on_disk}, {g, g, g, g}));
  int old_kept = 0, new_found = 0, during_start = 0;
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round) + ", seed " + std::to_string(seed));
    const Saver saver = Start_Saver(on_disk + 1);
    ASSERT_GT(saver.pid, 0);
    // Most kills fall inside the saving loop; some before the first save has begun.
    if (rng() % 4 != 0) {
      pollfd p{saver.out, POLLIN, 0};
      poll(&p, 1, 5000);
    } else {
      ++during_start;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(rng() % 3000));
    kill(saver.pid, SIGKILL);
    int status = 0;
    waitpid(saver.pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself with status " << status;
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(saver.out, buffer, sizeof buffer)) > 0;) output.append(buffer, n);
    close(saver.out);

    const int32 reported = Last_Reported(output, on_disk);
    const Bytes file = Read_Bytes(CONFIG_FILE_NAME);
    ASSERT_EQ(file.size(), CONFIG_FILE_SIZE);
    sSETUP_DATA setup;
    sSCORE_STATISTIC stats;
    Decode_Config(file.data(), &setup, &stats);
    const int32 found = setup.game_type;
    ASSERT_EQ(file, Config_Bytes({found, found, found}, {{found, found, found}, {found, found, found},
                                                          {found, found, found}, {found, found, found}}))
        << "the file mixes two saves";
    // The last save reported, or the one under way when the kill came.
    ASSERT_TRUE(found == reported || found == reported + 1)
        << "file holds generation " << found << ", last reported " << reported;
    found == on_disk ? ++old_kept : ++new_found;
    on_disk = found;
  }
  std::printf("300 kills (%d before the first save): old file kept %d times, new file %d times, "
              "last generation %d\n", during_start, old_kept, new_found, on_disk);
  EXPECT_GT(new_found, 0) << "the saver never finished a save: the kills came too early";
}

// ---- A working folder the game may not write ------------------------------------------------------

TEST(Faults, AFolderThatCannotBeWrittenStillPlaysAndKeepsTheOldFile) {
  proof::Work_Dir folder("readonly");
  proof::Write_Short_Waves(5);
  sSCORE_STATISTIC stats{};
  stats.normal = {4, 400, 150};
  const Bytes old_file = Config_Bytes({0, 1, 1}, stats);
  Write_Bytes(CONFIG_FILE_NAME, old_file);
  ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(CONFIG_FILE_NAME, 0644), 0);
  // The child plays a whole game without the right to write the folder (root ignores the
  // permission bits, so it becomes nobody), then closes the window, which saves.
  EXPECT_EXIT(
      {
        if (geteuid() == 0 ? setgid(65534) != 0 || setuid(65534) != 0 : chmod(".", 0555) != 0)
          _exit(9);
        hl::reset();
        proof::Clear_Game_Globals();
        if (!proof::Start_Game()) _exit(10);
        Play_A_Game_To_Its_End();
        if (mode != MODE_GAME_SCORE || score_statistic.normal.games != 5) _exit(11);
        Click(DONE_BUTTON);
        hl::post(WM_CLOSE, 0, 0);
        hl::pump();
        _exit(hl::quit_posted(nullptr) ? 0 : 12);
      },
      ::testing::ExitedWithCode(0), "cannot save orbolan.cfg, the previous file is kept");
  EXPECT_EQ(Read_Bytes(CONFIG_FILE_NAME), old_file);
  EXPECT_FALSE(fs::exists("orbolan.cfg.tmp"));
}

// ---- Sounds missing or damaged -------------------------------------------------------------------

struct Sound_Case {
  const char* what;
  void (*make)();  // puts the damaged files in place of the game's six sounds
};

void For_Each_Sound(void (*make_one)(const char* name)) {
  for (const char* name : {"intro.wav", "click.wav", "pop.wav", "megapop.wav", "score.wav", "higscore.wav"})
    make_one(name);
}

const Sound_Case sound_cases[] = {
    {"missing", [] {}},
    {"empty", [] { For_Each_Sound([](const char* n) { Write_Bytes(n, {}); }); }},
    {"text", [] { For_Each_Sound([](const char* n) { std::ofstream(n) << "not a sound\n"; }); }},
    {"cut short", [] {
       proof::Write_Short_Waves(50);
       For_Each_Sound([](const char* n) { fs::resize_file(n, 30); });
     }},
    {"chunk past the end", [] {
       proof::Write_Short_Waves(50);
       For_Each_Sound([](const char* n) { fs::resize_file(n, 200); });
     }},
    {"floating point samples", [] {
       proof::Write_Short_Waves(50);
       For_Each_Sound([](const char* n) {
         Bytes b = Read_Bytes(n);
         b[20] = 3;  // format tag 3: IEEE float
         Write_Bytes(n, b);
       });
     }},
    {"folders", [] { For_Each_Sound([](const char* n) { fs::create_directory(n); }); }},
};

TEST(Faults, MissingOrDamagedSoundsLeaveTheGameSilentButPlaying) {
  for (const Sound_Case& c : sound_cases) {
    SCOPED_TRACE(c.what);
    proof::Work_Dir folder("sounds");
    c.make();
    Write_Bytes(CONFIG_FILE_NAME, Config_Bytes({0, 1, 0}, {}));  // sounds on
    hl::reset();
    proof::Clear_Game_Globals();
    ASSERT_TRUE(proof::Start_Game());
    Play_A_Game_To_Its_End();
    EXPECT_EQ(mode, MODE_GAME_SCORE);
    EXPECT_EQ(score_statistic.normal.games, 1);
    EXPECT_EQ(score_statistic.normal.high, 2);  // the pair, and no bonus with 68 left
    EXPECT_TRUE(hl::sound_log().empty()) << "a device played: " << hl::sound_log().front();
    EXPECT_EQ(hl::beep_count(), 0);
    hl::reset();
  }
}

// ---- Presses queued ahead of the owed end screen ----------------------------------------------------

// A game ends by itself while its last slide runs; the player's End or Undo press is queued
// before the tick that finishes the slide posts GAME_SCORE_MSG, so it is handled first.
// Returns the board's colours as the game-ending move left them.
std::vector<int32> Press_While_The_End_Screen_Is_Owed(POINT button) {
  Remove_The_Last_Pair();
  EXPECT_EQ(waitanim, 1) << "the end screen should be owed to the slide";
  EXPECT_EQ(score_statistic.normal.games, 1);
  std::vector<int32> board;
  for (const auto& column : PlayField)
    for (const auto& cell : column) board.push_back(cell.type);
  hl::click(button.x, button.y);
  hl::tick(60);
  hl::pump();
  EXPECT_EQ(mode, MODE_GAME_SCORE);
  return board;
}

class OwedEndScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    hl::reset();
    proof::Clear_Game_Globals();
    Write_Bytes(CONFIG_FILE_NAME, Config_Bytes({0, 0, 1}, {}));  // animations on
    ASSERT_TRUE(proof::Start_Game());
  }
  void TearDown() override { hl::reset(); }
  proof::Work_Dir folder_{"owed"};
};

TEST_F(OwedEndScreen, AnEndQueuedAheadDoesNotCountTheGameTwice) {
  Press_While_The_End_Screen_Is_Owed({278 + 31, 376 + 19});
  EXPECT_EQ(score_statistic.normal.games, 1) << "the finished game was counted again";
}

TEST_F(OwedEndScreen, AnUndoQueuedAheadLeavesTheLastMove) {
  const std::vector<int32> after_move = Press_While_The_End_Screen_Is_Owed({426 + 31, 376 + 19});
  std::vector<int32> now;
  for (const auto& column : PlayField)
    for (const auto& cell : column) now.push_back(cell.type);
  EXPECT_EQ(now, after_move) << "the move that ended the game was taken back";
}

// ---- Surfaces that lost their memory -------------------------------------------------------------

// Loses the surface's memory: it refuses every blit, and what it held is gone.
void Lose(LPDIRECTDRAWSURFACE s, std::mt19937& rng) {
  void* bits = nullptr;
  int pitch = 0, depth = 0;
  ASSERT_EQ(s->lock(&bits, &pitch, &depth), DD_OK);
  auto* p = static_cast<std::uint32_t*>(bits);
  for (int k = 0; k < s->buffer_width() * s->buffer_height(); ++k) p[k] = rng() & 0xFFFFFF;
  s->unlock();
  hl::mark_surface_lost(s, true);
}

TEST(Faults, LostSurfacesAreReloadedAndTheNextFrameIsRight) {
  std::mt19937 rng(7);
  proof::Work_Dir folder("lost");
  hl::reset();
  proof::Clear_Game_Globals();
  ASSERT_TRUE(proof::Start_Game());
  Click(NEW_BUTTON);
  {
    std::lock_guard lock(plat::world_lock());
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) PlayField[i][j].type = (i / 2 + j) % 5 + 1;
    bubbles_marked = 0;
  }
  Click({31, 31});  // outlines the group of column 0 and 1, row 0 and its kin
  ASSERT_EQ(bubbles_marked, 1);
  const std::string good = proof::Frame_Bytes();

  // Every picture the board screen uses loses its memory; the next tick's redraw runs into it.
  std::vector<LPDIRECTDRAWSURFACE> lost = {bk_pic, bubble_1, bubble_2, bubble_3, bubble_4, bubble_5};
  for (int32 b = 1; b <= button_ctr; ++b) lost.push_back(buttons[b].bmp_normal);
  for (LPDIRECTDRAWSURFACE s : lost) Lose(s, rng);
  {
    std::lock_guard lock(plat::world_lock());
    Create_Screen();
  }
  EXPECT_NE(proof::Frame_Bytes(), good);
  // While the memory stays lost a reload cannot refill it; each failed blit reported its
  // loss once, and the failed reloads redraw nothing that would report it again.
  EXPECT_GT(hl::pump(), 0);
  EXPECT_EQ(hl::pump(), 0);
  // The display gives the memory back (without its pictures); the loss reported by the
  // next blit brings every picture back and the frame is whole again.
  for (LPDIRECTDRAWSURFACE s : lost) hl::mark_surface_lost(s, false);
  hl::post(SURFACE_LOST_MSG, 0, 0);
  hl::pump();
  EXPECT_TRUE(proof::Frame_Bytes() == good) << "the frame after the reload differs";
  for (int y = 0; y < 419; y += 7)
    for (int x = 0; x < 493; x += 7)
      ASSERT_EQ(hl::window_pixel(x, y), hl::surface_pixel(v_screen, x, y)) << x << "," << y;
  hl::reset();
}

}  // namespace
