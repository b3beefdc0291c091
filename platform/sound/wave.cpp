// RIFF/WAVE parsing with every length checked against the bytes actually present.
#include "platform/sound/wave.h"

#include <cstring>

namespace plat::sound {

static std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
         std::uint32_t(p[3]) << 24;
}
static std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

static bool fail(std::string* why, const char* reason) {
  if (why) *why = reason;
  return false;
}

static bool read_format(const std::uint8_t* p, std::uint32_t size, WaveInfo* w, std::string* why) {
  if (size < 16) return fail(why, "format chunk too short");
  const std::uint16_t tag = le16(p), channels = le16(p + 2), align = le16(p + 12),
                      bits = le16(p + 14);
  const std::uint32_t rate = le32(p + 4);
  if (tag != 1) return fail(why, "not uncompressed PCM");
  if (channels < 1 || channels > 2) return fail(why, "unsupported channel count");
  if (bits != 8 && bits != 16) return fail(why, "unsupported sample size");
  if (rate < 1000 || rate > 192000) return fail(why, "unsupported sample rate");
  if (align != channels * bits / 8) return fail(why, "inconsistent block alignment");
  w->channels = channels, w->sample_rate = int(rate), w->bits = bits;
  return true;
}

bool parse_wave(const std::uint8_t* data, std::size_t size, WaveInfo* info, std::string* why) {
  if (!data || size < 12) return fail(why, "too short for a RIFF header");
  if (std::memcmp(data, "RIFF", 4) || std::memcmp(data + 8, "WAVE", 4))
    return fail(why, "not a RIFF/WAVE file");
  // The RIFF size may exceed the file (a truncated copy); the chunks themselves must not.
  WaveInfo w;
  bool have_format = false, have_data = false;
  std::size_t pos = 12;
  while (pos + 8 <= size && !have_data) {
    const std::uint8_t* chunk = data + pos;
    const std::uint32_t len = le32(chunk + 4);
    if (len > size - pos - 8) return fail(why, "chunk runs past the end of the file");
    if (!std::memcmp(chunk, "fmt ", 4)) {
      if (have_format) return fail(why, "second format chunk");
      if (!read_format(chunk + 8, len, &w, why)) return false;
      have_format = true;
    } else if (!std::memcmp(chunk, "data", 4)) {
      if (!have_format) return fail(why, "data before format");
      w.data_offset = pos + 8;
      w.frames = len / (std::size_t(w.channels) * w.bits / 8);
      have_data = true;
    }
    pos += 8 + std::size_t(len) + (len & 1);  // chunks are padded to even length
  }
  if (!have_format) return fail(why, "no format chunk");
  if (!have_data) return fail(why, "no data chunk");
  if (info) *info = w;
  return true;
}

}  // namespace plat::sound
