// Fuzzes the media command interpreter over the headless wave device: every line of the
// input is sent as a command, in a folder that holds the game's six (short) sounds, a
// damaged wave file and a folder named like a sound. Each answer is success or one of the
// interpreter's error codes, and nothing faults; "close all" ends every run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/sound/interpreter.h"
#include "tests/support/harness.h"

namespace {

constexpr std::size_t MAX_COMMANDS = 32;
constexpr std::size_t MAX_COMMAND_BYTES = 512;

void Check(bool ok, const char* what, const std::string& command) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_mci: %s: \"%s\"\n", what, command.c_str());
  __builtin_trap();
}

bool Known_Answer(std::uint32_t a) {
  using namespace plat::sound;
  static const std::uint32_t answers[] = {
      ANSWER_OK,          ERR_UNKNOWN_KEYWORD, ERR_UNKNOWN_COMMAND, ERR_UNKNOWN_ALIAS,
      ERR_OUT_OF_RANGE,   ERR_NO_SUCH_DEVICE,  ERR_BAD_TIME_FORMAT, ERR_MISSING_PARAMETER,
      ERR_FILE_NOT_FOUND, ERR_DUPLICATE_ALIAS, ERR_BAD_FILE};
  return std::find(std::begin(answers), std::end(answers), a) != std::end(answers);
}

}  // namespace

// The folder is made once for the whole session.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static const proof::Work_Dir folder("fuzz-mci");  // removed at exit
  proof::Write_Short_Waves(2);                      // a waiting play lasts 2 ms
  std::ofstream("bad.wav", std::ios::binary) << "RIFF\x10\0\0\0WAVEfmt \xff\xff\xff\x7f";
  std::filesystem::create_directory("folder.wav");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (std::size_t n = 0; n < MAX_COMMANDS && start <= input.size(); ++n) {
    std::size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    // Commands are C strings: a zero byte ends one early, as it would for the game.
    const std::string command = input.substr(start, std::min(end - start, MAX_COMMAND_BYTES));
    Check(Known_Answer(plat::mci_send_string(command.c_str())), "unknown answer", command);
    start = end + 1;
  }
  Check(plat::mci_send_string("close all") == 0, "close all failed", "close all");
  plat::headless::clear_sound_log();
  return 0;
}
