// Fuzzes the wave file reader: any bytes are either refused or described by a format the
// sound devices can play, whose samples lie wholly inside the bytes given.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/sound/wave.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_wave: %s\n", what);
  __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plat::sound::WaveInfo info;
  std::string why;
  if (!plat::sound::parse_wave(data, size, &info, &why)) {
    Check(!why.empty(), "a refusal without a reason");
    return 0;
  }
  Check(info.channels == 1 || info.channels == 2, "channel count");
  Check(info.bits == 8 || info.bits == 16, "sample size");
  Check(info.sample_rate > 0, "sample rate");
  const std::size_t frame = static_cast<std::size_t>(info.channels) * info.bits / 8;
  Check(info.data_offset <= size, "samples start past the end");
  Check(info.frames <= (size - info.data_offset) / frame, "samples run past the end");
  Check(info.length_ms() <= info.frames * 1000 / info.sample_rate + 1, "length");
  return 0;
}
