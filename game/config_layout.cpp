// The byte layout of "orbolan.cfg": 15 little-endian int32 in a fixed order.
#include "game/config.h"

const char* const CONFIG_FILE_NAME = "orbolan.cfg";
const char* const CONFIG_DAMAGED_FILE_NAME = "orbolan.cfg.damaged";

namespace {

constexpr std::size_t FIELD_COUNT = CONFIG_FILE_SIZE / 4;

// The fields in file order; one table serves both directions.
template <typename Setup, typename Stats, typename Field>
void Fields_Of(Setup& setup, Stats& stats, Field* out[FIELD_COUNT]) {
  Field* fields[FIELD_COUNT] = {
      &setup.game_type,        &setup.play_sounds,       &setup.animations,
      &stats.normal.games,     &stats.normal.scores,     &stats.normal.high,
      &stats.continuous.games, &stats.continuous.scores, &stats.continuous.high,
      &stats.shifter.games,    &stats.shifter.scores,    &stats.shifter.high,
      &stats.megashift.games,  &stats.megashift.scores,  &stats.megashift.high,
  };
  for (std::size_t k = 0; k < FIELD_COUNT; ++k) out[k] = fields[k];
}

void Put_Int32(unsigned char* at, int32 value) {
  const uint32 v = static_cast<uint32>(value);
  for (int b = 0; b < 4; ++b) at[b] = static_cast<unsigned char>(v >> (8 * b));
}

int32 Get_Int32(const unsigned char* at) {
  uint32 v = 0;
  for (int b = 0; b < 4; ++b) v |= static_cast<uint32>(at[b]) << (8 * b);
  return static_cast<int32>(v);  // modular: the file holds two's complement
}

}  // namespace

void Encode_Config(const sSETUP_DATA& setup, const sSCORE_STATISTIC& stats,
                   unsigned char out[CONFIG_FILE_SIZE]) {
  const int32* fields[FIELD_COUNT];
  Fields_Of(setup, stats, fields);
  for (std::size_t k = 0; k < FIELD_COUNT; ++k) Put_Int32(out + 4 * k, *fields[k]);
}

void Decode_Config(const unsigned char in[CONFIG_FILE_SIZE], sSETUP_DATA* setup,
                   sSCORE_STATISTIC* stats) {
  int32* fields[FIELD_COUNT];
  Fields_Of(*setup, *stats, fields);
  for (std::size_t k = 0; k < FIELD_COUNT; ++k) *fields[k] = Get_Int32(in + 4 * k);
}
