// Shared helpers of the platform tests: the known built-in pictures and the recording
// stand-in for the game that the shell calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/wintypes.h"

// Pixels (0x00RRGGBB, top row first) of fake resource 100 (494 x 420, all distinct) or 129
// (a 46 x 46 bubble: a coloured disc on black corners).
std::vector<std::uint32_t> test_picture(int id);

// What the stand-in game saw, in order ("init", "shutdown", "destroy released", ...).
struct GameRecord {
  std::vector<std::string> events;
  std::vector<uint32> messages;
  bool post_close_in_init = false;  // Game_Init posts WM_CLOSE, as the Exit button would
};
inline GameRecord game_record;
void reset_game_record();
