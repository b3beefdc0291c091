// The program's one media command interpreter, over the backend of whichever sound library
// is linked in: plat::mci_send_string and plat::beep (platform/platform.h) and the controls
// of platform/sound/sound.h.
#include "platform/sound/sound.h"

#include "platform/platform.h"
#include "platform/sound/interpreter.h"

namespace plat {
namespace {

sound::Interpreter& interpreter() {
  static sound::Interpreter i(sound::make_backend());
  return i;
}

}  // namespace

std::uint32_t mci_send_string(const char* command) { return interpreter().send(command); }

void beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) {
  interpreter().beep(frequency_hz, duration_ms);
}

void sound::shutdown() { interpreter().shutdown(); }

bool sound::output_open() { return interpreter().output_open(); }

}  // namespace plat
