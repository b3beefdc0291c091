// Recording doubles of the calls the rules make upward, and helpers to lay out boards.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "game/GAME.h"

namespace rules_test {

// Every upward call in order: "screen", "play <alias>", "mode <n>", "post <msg>".
std::vector<std::string>& events();
int count_events(const std::string& event);
// The position of the first event equal to `event`, or -1.
int first_event(const std::string& event);

// How the next rename of the test binary behaves (see recorder.cpp).
enum class RenameMode { Real, Fail, Crash };
void set_rename_mode(RenameMode mode);

// Every rule global back to its start-up value, the record cleared.
void reset_world();

// A board from seven rows, top first, ten characters each: '.' empty, '1'..'5' a colour.
// Every cell is at rest, unmarked, with no old cell.
void set_board(const std::array<const char*, FIELD_ROWS>& rows);
// The board's colours in the same notation, one row a line.
std::string board_text();
// A press on the middle of cell (i, j), in frame pixels.
void click_cell(int32 i, int32 j);
// Ticks until every cell rests; returns the ticks taken, or -1 past `limit`.
int run_animation(int limit = 200);

}  // namespace rules_test
