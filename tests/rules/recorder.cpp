// Recording doubles of Create_Screen, change_mode, mci_PlayWave and message posting, a
// link-time seam over rename(), and the board helpers the rule tests share.
#include "tests/rules/recorder.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

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

int first_event(const std::string& event) {
  const auto it = std::find(events().begin(), events().end(), event);
  return it == events().end() ? -1 : static_cast<int>(it - events().begin());
}

static RenameMode rename_mode = RenameMode::Real;
void set_rename_mode(RenameMode mode) { rename_mode = mode; }

void reset_world() {
  for (auto& column : PlayField)
    for (auto& cell : column) cell = {0, {AT_REST, AT_REST}, {-1, -1}, 0};
  for (auto& column : Dummy_PlayField)
    for (auto& cell : column) cell = {0, {AT_REST, AT_REST}, {-1, -1}, 0};
  for (auto& column : undo_bubble_types)
    for (auto& type : column) type = 0;
  game_type = 0;
  bubbles_marked = number_bubbles_marked = bubble_points = 0;
  game_score = {0, 0};
  game_busy = waitanim = highscore = 0;
  undo = undo_score = 0;
  setup_data = {0, 0, 0};
  score_statistic = {};
  events().clear();
  rename_mode = RenameMode::Real;
}

void set_board(const std::array<const char*, FIELD_ROWS>& rows) {
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      const char c = rows[j][i];
      PlayField[i][j] = {c == '.' ? 0 : c - '0', {AT_REST, AT_REST}, {-1, -1}, 0};
    }
  }
}

std::string board_text() {
  std::string text;
  for (int32 j = 0; j < FIELD_ROWS; ++j) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      const int32 t = PlayField[i][j].type;
      text += t == 0 ? '.' : static_cast<char>('0' + t);
    }
    text += '\n';
  }
  return text;
}

void click_cell(int32 i, int32 j) {
  Check_Bubbles_Clicked(static_cast<uint32>(48 * i + 8 + 23), static_cast<uint32>(48 * j + 8 + 23));
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
  // Anything but the main window or non-zero parameters is recorded as such, so a test
  // comparing against "post 999" fails on it.
  std::string event = "post " + std::to_string(msg);
  if (hwnd != main_hwnd) event += " to another window";
  if (wParam != 0 || lParam != 0) event += " with parameters";
  rules_test::events().push_back(event);
  return true;
}
}  // namespace plat

// ---- rename() seam -----------------------------------------------------------------------
// The test binary's own rename() takes the place of the C library's for the configuration
// code linked into it: it can fail the way a full or broken disk would, or end the process
// the moment before the rename, as a crash would.
extern "C" int rename(const char* from, const char* to) noexcept {
  switch (rules_test::rename_mode) {
    case rules_test::RenameMode::Fail:
      errno = EIO;
      return -1;
    case rules_test::RenameMode::Crash:
      std::fflush(nullptr);
      _exit(3);
    case rules_test::RenameMode::Real:
      break;
  }
  return renameat(AT_FDCWD, from, AT_FDCWD, to);
}
