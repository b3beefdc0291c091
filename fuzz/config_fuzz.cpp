// Fuzzes the settings file "orbolan.cfg": whatever bytes it holds, reading it takes exactly
// its first 60 bytes or nothing at all, and the values it brings (game types, flags and
// statistics outside any sensible range) reach every screen, a game and its end without a
// fault; saving them again gives back the same 60 bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>

#include "game/GAME.h"
#include "game/config.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace {

constexpr std::size_t MAX_CLICKS = 24;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_config: %s\n", what);
  __builtin_trap();
}

// Every screen with the values read, then a game of clicks chosen by the input, ended by
// the End button, and back to the start screen.
void Visit_Screens(const std::uint8_t* clicks, std::size_t count) {
  change_mode(MODE_SETUP);
  change_mode(MODE_SCORES);
  change_mode(MODE_CREDITS);
  change_mode(MODE_GAME);
  for (std::size_t k = 0; k < count && k < MAX_CLICKS; ++k) {
    const int32 cell = clicks[k] % (FIELD_COLUMNS * FIELD_ROWS);
    Check_Bubbles_Clicked(48 * (cell % FIELD_COLUMNS) + 31, 48 * (cell / FIELD_COLUMNS) + 31);
    if (clicks[k] & 0x80) plat::headless::tick(8);  // let part of a slide run
    if (mode != MODE_GAME) break;                   // the game has ended by itself
  }
  plat::headless::tick(60);  // every slide comes home, an owed end screen is posted
  plat::headless::pump();
  if (mode == MODE_GAME) Execute_Button(BTN_UNDO);
  if (mode == MODE_GAME) Execute_Button(BTN_END);
  change_mode(MODE_START);
}

}  // namespace

// The game starts once for the whole session, with no sounds beside it.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static const proof::Work_Dir folder("fuzz-config");  // removed at exit
  plat::headless::reset();
  proof::Clear_Game_Globals();
  Check(proof::Start_Game(), "the headless game did not start");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::lock_guard lock(plat::world_lock());
  std::ofstream(CONFIG_FILE_NAME, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  setup_data = {};
  score_statistic = {};
  const bool read = Read_Config();
  unsigned char bytes[CONFIG_FILE_SIZE], zero[CONFIG_FILE_SIZE] = {};
  Encode_Config(setup_data, score_statistic, bytes);
  if (size < CONFIG_FILE_SIZE) {
    Check(!read && std::memcmp(bytes, zero, sizeof zero) == 0, "a short file changed the records");
    return 0;
  }
  Check(read, "a whole file was not read");
  Check(std::memcmp(bytes, data, CONFIG_FILE_SIZE) == 0, "the records differ from the file");

  Visit_Screens(data + CONFIG_FILE_SIZE, size - CONFIG_FILE_SIZE);

  // What the game saves is what it holds, and reads back the same.
  Encode_Config(setup_data, score_statistic, bytes);
  Check(Write_Config(), "the save failed");
  setup_data = {};
  score_statistic = {};
  Check(Read_Config(), "the saved file was not read");
  unsigned char again[CONFIG_FILE_SIZE];
  Encode_Config(setup_data, score_statistic, again);
  Check(std::memcmp(bytes, again, CONFIG_FILE_SIZE) == 0, "save and read changed the records");
  plat::headless::clear_sound_log();
  return 0;
}
