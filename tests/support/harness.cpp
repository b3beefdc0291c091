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

#include "game/ORBOLAN.h"
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
  for (const sWAVE& wave : ORBOLAN_WAVES) Write_Wave(wave.file, static_cast<std::uint32_t>(ms));
}

void Clear_Game_Globals() {
  Reset_Game_Globals();
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

std::string Frame_Hash() {  // FNV-1a, 64 bits
  std::uint64_t h = 14695981039346656037ull;
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) {
      const std::uint32_t pixel = hl::surface_pixel(v_screen, x, y);  // its bytes, low first
      for (int b = 0; b < 32; b += 8) h = (h ^ ((pixel >> b) & 0xFF)) * 1099511628211ull;
    }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

}  // namespace proof
