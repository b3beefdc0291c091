// Recording doubles of the calls the rules make upward, and helpers to lay out boards.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "game/GAME.h"

namespace rules_test {

// Every upward call in order: "screen", "play <alias>", "mode <n>", "post <msg>".
std::vector<std::string>& events();
int count_events(const std::string& event);

// How the next rename() of the configuration code behaves: as the C library's, failing
// as a broken disk would, or ending the process the moment before, as a crash would.
enum class RenameMode { Real, Fail, Crash };
void set_rename_mode(RenameMode mode);

// Every rule global back to its start-up value, the record cleared.
void reset_world();
// A board from its bottom rows, ten characters each ('.' empty, '1'..'5' a colour), the
// last one row 6; the rows above are empty. Every cell rests, unmarked, with no old cell.
void set_board(std::initializer_list<const char*> bottom_rows);
// The board's colours in the same notation, top row first, one row a line.
std::string board_text();
// A press on the middle of cell (i, j), in frame pixels.
void click_cell(int32 i, int32 j);
// Selects the group at (i, j) and confirms it with a second press.
void play(int32 i, int32 j);
// Ticks until every cell rests; returns the ticks taken, or -1 past `limit`.
int run_animation(int limit = 200);

}  // namespace rules_test
