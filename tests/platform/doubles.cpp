// Stand-ins for the game's entry points and the built-in pictures, so the shell and the
// toolkit can be tested on their own.
#include <map>

#include "game/GAME.h"
#include "main/MAIN.h"
#include "platform/bitmap_io.h"
#include "platform/platform.h"
#include "resources/resources.h"
#include "tests/platform/fixtures.h"

int32 game_initialized = 0;

void reset_game_record() { game_record = GameRecord{}, game_initialized = 0; }

void Game_Init() {
  game_record.events.push_back("init");
  if (game_record.post_close_in_init) plat::post_message(main_hwnd, WM_CLOSE, 0, 0);
  game_initialized = 1;
}

void Game_Shutdown() {
  game_record.events.push_back("shutdown");
  plat::time_kill_event(TIMER_ID);
}

void Game_Message(uint32 msg, uint32, long) {
  game_record.messages.push_back(msg);
  if (msg == WM_CLOSE) Game_Shutdown();
  if (msg == WM_DESTROY) game_record.events.push_back(dd_Object ? "destroy" : "destroy released");
}

void Update_Screen() {}

void animate(uint32, uint32, unsigned long, unsigned long, unsigned long) {}

int picture_width(int id) { return id == 100 ? 494 : 46; }

std::vector<std::uint32_t> test_picture(int id) {
  std::vector<std::uint32_t> p;
  for (int y = 0; y < (id == 100 ? 420 : 46); ++y)
    for (int x = 0; x < picture_width(id); ++x) {
      const int dx = 2 * x - 45, dy = 2 * y - 45;
      p.push_back(id == 100 ? static_cast<std::uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x + y) >> 2 & 0xFF))
                  : dx * dx + dy * dy <= 46 * 46 ? 0x20C040u + static_cast<std::uint32_t>(x) : 0u);
    }
  return p;
}

namespace res {
Blob find(int id) {
  static std::map<int, std::vector<std::uint8_t>> files;
  if (id != 100 && id != 129) return Blob{};
  const int w = picture_width(id);
  auto& f = files[id];
  if (f.empty()) f = plat::encode_bmp(test_picture(id).data(), w, static_cast<int>(test_picture(id).size()) / w, w);
  return Blob{f.data(), f.size()};
}
}  // namespace res
