// Recording doubles of Create_Screen, change_mode, mci_PlayWave and message posting, a
// link-time seam over rename(), and the board helpers the rule tests share.
#include "tests/rules/recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "main/MAIN.h"
#include "mci/MCI.h"
#include "platform/platform.h"

namespace rules_test {

std::vector<std::string>& events() {
  static std::vector<std::string> log;
  return log;
}

int count_events(const std::string& event) {
  return static_cast<int>(std::count(events().begin(), events().end(), event));
}

static RenameMode rename_mode = RenameMode::Real;
void set_rename_mode(RenameMode mode) { rename_mode = mode; }

void reset_world() {
  set_board({});
  for (auto& column : undo_bubble_types)
    for (auto& type : column) type = 0;
  game_type = bubbles_marked = number_bubbles_marked = bubble_points = 0;
  game_score = {0, 0};
  game_busy = waitanim = highscore = undo = undo_score = 0;
  setup_data = {0, 0, 0};
  score_statistic = {};
  events().clear();
  rename_mode = RenameMode::Real;
}

void set_board(std::initializer_list<const char*> bottom_rows) {
  const int32 top = FIELD_ROWS - static_cast<int32>(bottom_rows.size());
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      const char c = j < top ? '.' : bottom_rows.begin()[j - top][i];
      PlayField[i][j] = {c == '.' ? 0 : c - '0', {AT_REST, AT_REST}, {-1, -1}, 0};
    }
}

std::string board_text() {
  std::string text;
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      text += PlayField[i][j].type == 0 ? '.' : static_cast<char>('0' + PlayField[i][j].type);
    text += '\n';
  }
  return text;
}

void click_cell(int32 i, int32 j) {
  Check_Bubbles_Clicked(static_cast<uint32>(48 * i + 31), static_cast<uint32>(48 * j + 31));
}

void play(int32 i, int32 j) {
  click_cell(i, j);
  ASSERT_EQ(bubbles_marked, 1) << "no group at " << i << "," << j << "\n" << board_text();
  click_cell(i, j);
}

int run_animation(int limit) {
  for (int ticks = 0; ticks <= limit; ++ticks) {
    if (check_all_bubbles_moved() && game_busy == 0) return ticks;
    animate(0, 0, 0, 0, 0);
  }
  return -1;
}

}  // namespace rules_test

// ---- The calls up from the rules -----------------------------------------------------

HWND main_hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x5EED));

int32 Create_Screen() {
  rules_test::events().push_back("screen");
  return 1;
}

void change_mode(int32 new_mode) { rules_test::events().push_back("mode " + std::to_string(new_mode)); }

int mci_PlayWave(const char* alias) {
  rules_test::events().push_back(std::string("play ") + alias);
  return 1;
}

namespace plat {
bool post_message(HWND hwnd, uint32 msg, uint32 wParam, int32 lParam) {
  // A post to another window or with parameters never matches a test's "post 999".
  const bool plain = hwnd == main_hwnd && wParam == 0 && lParam == 0;
  rules_test::events().push_back("post " + std::to_string(msg) + (plain ? "" : " (misaddressed)"));
  return true;
}
}  // namespace plat

// The test binary's own rename() takes the place of the C library's for the configuration
// code linked into it.
extern "C" int rename(const char* from, const char* to) noexcept {
  if (rules_test::rename_mode == rules_test::RenameMode::Fail) {
    errno = EIO;
    return -1;
  }
  if (rules_test::rename_mode == rules_test::RenameMode::Crash) {
    std::fflush(nullptr);
    _exit(3);
  }
  return renameat(AT_FDCWD, from, AT_FDCWD, to);
}
