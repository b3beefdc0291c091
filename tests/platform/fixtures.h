// Shared helpers of the platform tests: known pictures, and the recording stand-in for the
// game that the shell calls.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/wintypes.h"

struct TestPicture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// The picture behind the fake built-in resource `id` (100: 494 x 420, 129: 46 x 46 bubble).
TestPicture test_picture(int id);

// What the stand-in game saw and did, in order ("init", "message 15", "shutdown", ...).
struct GameRecord {
  std::vector<std::string> events;
  std::vector<uint32> messages;
  int ticks = 0;
  bool post_close_in_init = false;  // Game_Init posts WM_CLOSE, as the Exit button would
};
GameRecord& game_record();
void reset_game_record();

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
