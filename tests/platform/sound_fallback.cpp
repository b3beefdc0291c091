// Stands in for the headless sound device while it is not built: counts beeps only.
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"

namespace {
int beeps = 0;
std::vector<std::string> log;
}  // namespace

namespace plat {
void beep(uint32, uint32) { ++beeps; }
uint32 mci_send_string(const char*) { return 0; }
namespace headless {
const std::vector<std::string>& sound_log() { return log; }
int beep_count() { return beeps; }
void clear_sound_log() {
  beeps = 0;
  log.clear();
}
}  // namespace headless
}  // namespace plat
