// Recording doubles of Create_Screen, change_mode, mci_PlayWave and message posting, and a
// link-time seam over rename() for the configuration code.
#include "tests/rules/recorder.h"

#include <cstdint>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "main/MAIN.h"
#include "mci/MCI.h"
#include "platform/platform.h"

static int32 record(const std::string& event) {
  rules_test::events.push_back(event);
  return 1;
}

HWND main_hwnd = reinterpret_cast<HWND>(std::uintptr_t{0x5EED});
int32 Create_Screen() { return record("screen"); }
void change_mode(int32 new_mode) { record("mode " + std::to_string(new_mode)); }
int mci_PlayWave(const char* alias) { return record(std::string("play ") + alias); }

// A post to another window or with parameters never matches a test's "post 999".
bool plat::post_message(HWND hwnd, uint32 msg, uint32 wParam, int32 lParam) {
  const bool plain = hwnd == main_hwnd && wParam == 0 && lParam == 0;
  return record("post " + std::to_string(msg) + (plain ? "" : " (misaddressed)"));
}

// The test binary's own rename() takes the place of the C library's.
extern "C" int rename(const char* from, const char* to) noexcept {
  if (rules_test::rename_mode == rules_test::RenameMode::Crash) {
    std::fflush(nullptr);
    _exit(3);
  }
  return renameat(AT_FDCWD, from, AT_FDCWD, to);
}
