// The headless game harness shared by the tests, the fuzz targets and the benchmarks.
#include "tests/support/harness.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>

#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/wave.h"

namespace proof {

namespace fs = std::filesystem;
namespace hl = plat::headless;

Work_Dir::Work_Dir(const char* tag) : back_(fs::current_path().string()) {
  std::string pattern = std::string("/tmp/orbolan-") + tag + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) std::abort();  // /tmp unusable: nothing can run
  path_ = pattern;
  fs::current_path(path_);
}

Work_Dir::~Work_Dir() {
  std::error_code ignored;
  fs::current_path(back_, ignored);
  fs::remove_all(path_, ignored);
}

unsigned Seed() {
  const char* replay = std::getenv("ORBOLAN_SEED");
  const unsigned seed =
      replay ? unsigned(std::strtoul(replay, nullptr, 10)) : std::random_device{}();
  std::printf("seed %u (replay with ORBOLAN_SEED=%u)\n", seed, seed);
  return seed;
}

void Write_Cfg(const Cfg& cfg) {  // the machine is little-endian, like the file
  std::ofstream("orbolan.cfg", std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(cfg.data()), sizeof cfg);
}

Cfg Read_Cfg() {
  Cfg cfg{};
  std::ifstream("orbolan.cfg", std::ios::binary)
      .read(reinterpret_cast<char*>(cfg.data()), sizeof cfg);
  return cfg;
}

std::string Read_File(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void Write_Short_Waves(int ms) {
  for (const char* name :
       {"intro.wav", "click.wav", "pop.wav", "megapop.wav", "score.wav", "higscore.wav"})
    Write_Wave(name, static_cast<std::uint32_t>(ms));
}

void Clear_Game_Globals() {
  std::memset(PlayField, 0, sizeof PlayField);
  for (auto& column : PlayField)
    for (auto& cell : column) {
      cell.move_pos = {AT_REST, AT_REST};
      cell.old_pos = {-1, -1};
    }
  game_type = bubbles_marked = number_bubbles_marked = bubble_points = 0;
  game_score = {};
  game_busy = waitanim = highscore = undo = undo_score = game_over = 0;
  setup_data = {}, score_statistic = {}, statistics_synced = {};
  setup_chosen = statistics_reset = save_failure_told = 0;
  mode = MODE_START, last_mode = main_btn_mask = 0;
  std::memset(buttons, 0, sizeof buttons);
  button_ctr = pressed_button = 0;
  cursor_x = cursor_y = cursor_shown = focus_item = 0;
  game_initialized = 0;
  board_drawn = {};
  main_hwnd = nullptr, dd_Object = nullptr, dd_Primary = nullptr, v_screen = nullptr;
  TIMER_ID = 0;
  plat::mci_send_string("close all");  // the sound aliases of the last game
  hl::clear_sound_log();
}

bool Start_Game() {
  if (DirectDrawInit(nullptr, 1) != 1) return false;
  ::Start_Game();
  return true;
}

bool Restart(const Cfg& cfg, bool real_timer) {
  hl::reset();
  hl::set_real_timer(real_timer);
  Clear_Game_Globals();
  Write_Cfg(cfg);
  Write_Short_Waves(5);
  return Start_Game();
}

void Click(int x, int y) {
  hl::click(x, y);
  hl::pump();
}

void Press(int32 button) { Click(buttons[button].topleft.x + 31, buttons[button].topleft.y + 19); }

void Set_Board(const std::function<int32(int32 i, int32 j)>& colour) {
  std::lock_guard lock(plat::world_lock());
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      PlayField[i][j] = sBUBBLE_FIELD{colour(i, j), {AT_REST, AT_REST}, {-1, -1}, 0};
  bubbles_marked = number_bubbles_marked = bubble_points = 0;
  Create_Screen();
}

std::string Frame_Bytes() {
  std::string bytes;
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) {
      const std::uint32_t pixel = hl::surface_pixel(v_screen, x, y);  // little-endian bytes
      bytes.append(reinterpret_cast<const char*>(&pixel), 4);
    }
  return bytes;
}

std::string Frame_Hash() {  // FNV-1a, 64 bits
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : Frame_Bytes()) h = (h ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

}  // namespace proof
