// The headless game harness shared by the game, stress and fault tests, fuzz targets and benchmarks.
#include "tests/support/harness.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace proof {

namespace fs = std::filesystem;

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

namespace {

void Put(std::ofstream& out, std::uint32_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) out.put(static_cast<char>((v >> (8 * k)) & 0xFF));
}

// Mono 8-bit PCM at 8000 Hz, all samples at the silent midpoint.
void Write_Silent_Wave(const char* name, int ms) {
  const std::uint32_t samples = static_cast<std::uint32_t>(8 * ms);
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write("RIFF", 4);
  Put(out, 36 + samples, 4);
  out.write("WAVEfmt ", 8);
  Put(out, 16, 4);
  Put(out, 1, 2);     // PCM
  Put(out, 1, 2);     // one channel
  Put(out, 8000, 4);  // frames per second
  Put(out, 8000, 4);  // bytes per second
  Put(out, 1, 2);     // block alignment
  Put(out, 8, 2);     // bits per sample
  out.write("data", 4);
  Put(out, samples, 4);
  for (std::uint32_t i = 0; i < samples; ++i) out.put(static_cast<char>(0x80));
}

}  // namespace

void Write_Short_Waves(int ms) {
  for (const char* name :
       {"intro.wav", "click.wav", "pop.wav", "megapop.wav", "score.wav", "higscore.wav"})
    Write_Silent_Wave(name, ms);
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
  setup_data = {};
  score_statistic = {};
  mode = last_mode = main_btn_mask = 0;
  std::memset(buttons, 0, sizeof buttons);
  button_ctr = pressed_button = 0;
  game_initialized = 0;
  main_hwnd = nullptr;
  dd_Object = nullptr;
  dd_Primary = nullptr;
  v_screen = nullptr;
  TIMER_ID = 0;
  plat::mci_send_string("close all");  // the sound aliases of the last game
  plat::headless::clear_sound_log();
}

bool Start_Game() {
  if (DirectDrawInit(nullptr, 1) != 1) return false;
  ::Start_Game();
  return true;
}

std::string Frame_Bytes() {
  std::string bytes;
  bytes.reserve(494 * 420 * 4);
  for (int y = 0; y < 420; ++y)
    for (int x = 0; x < 494; ++x) {
      const uint32 p = plat::headless::surface_pixel(v_screen, x, y);
      bytes.append(reinterpret_cast<const char*>(&p), sizeof p);
    }
  return bytes;
}

}  // namespace proof
