// The record kept by the doubles of the calls up from the rules (recorder.cpp), and board helpers.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/GAME.h"

namespace rules_test {

// Every upward call in order: "screen", "play <alias>", "mode <n>", "post <msg>".
inline std::vector<std::string> events;
inline int count_events(const std::string& e) { return int(std::ranges::count(events, e)); }

// How the configuration code's next rename() goes: as the C library's, or ending the
// process the moment before, as a crash would.
enum class RenameMode { Real, Crash };
inline RenameMode rename_mode = RenameMode::Real;

// A board from its bottom rows, ten characters each ('.' empty, '1'..'5' a colour), the
// last one row 6, the rows above empty; every cell at rest, unmarked, with no old cell.
inline void set_board(std::initializer_list<const char*> bottom_rows) {
  const int32 top = FIELD_ROWS - static_cast<int32>(bottom_rows.size());
  for (int32 k = 0; k < FIELD_COLUMNS * FIELD_ROWS; ++k) {
    const int32 i = k % FIELD_COLUMNS, j = k / FIELD_COLUMNS;
    const char c = j < top ? '.' : bottom_rows.begin()[j - top][i];
    PlayField[i][j] = {c == '.' ? 0 : c - '0', {AT_REST, AT_REST}, {-1, -1}, 0};
  }
}

// The board's colours in the same notation, top row first, one row a line.
inline std::string board_text() {
  std::string text;
  for (int32 j = 0; j < FIELD_ROWS; ++j, text += '\n')
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      text += PlayField[i][j].type ? char('0' + PlayField[i][j].type) : '.';
  return text;
}

// Every rule global back to its start-up value, the record cleared.
inline void reset_world() {
  setup_data = {0, 0, 0};
  score_statistic = {};
  New_Game();  // forgets the selection, undo, an owed end screen and the score
  set_board({});
  game_busy = highscore = undo_score = 0;
  events.clear();
}

}  // namespace rules_test
