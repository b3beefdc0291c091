// The setup and statistics records and their 60-byte file "orbolan.cfg", saved through a
// temporary file so that a failed save never costs the player the old statistics.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "game/GAME.h"
#include "game/config.h"
#include "game/wrap.h"

sSETUP_DATA setup_data = {0, 0, 0};
sSCORE_STATISTIC score_statistic = {};

const char* const CONFIG_FILE_NAME = "orbolan.cfg";
const char* const CONFIG_TEMP_FILE_NAME = "orbolan.cfg.tmp";
const char* const CONFIG_DAMAGED_FILE_NAME = "orbolan.cfg.damaged";

namespace {

// Set when "orbolan.cfg" was there at start-up but could not be read whole: the player's
// statistics may still be in it, so the first save moves it aside instead of over it.
bool unread_file_kept = false;

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

void Report(const char* what, int error) {
  std::fprintf(stderr, "orbolan: %s: %s\n", what, std::strerror(error));
}

// Writes the bytes to a fresh temporary file and forces them to the disk. On failure the
// temporary file is removed and the result is the errno of the first step that failed.
int Write_Temp_File(const unsigned char bytes[CONFIG_FILE_SIZE]) {
  std::FILE* f = std::fopen(CONFIG_TEMP_FILE_NAME, "wb");
  if (!f) return errno != 0 ? errno : EIO;
  int error = 0;
  if (std::fwrite(bytes, 1, CONFIG_FILE_SIZE, f) != CONFIG_FILE_SIZE || std::fflush(f) != 0 ||
      ::fsync(::fileno(f)) != 0)
    error = errno != 0 ? errno : EIO;
  if (std::fclose(f) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  if (error != 0) std::remove(CONFIG_TEMP_FILE_NAME);
  return error;
}

// After the rename, the folder itself is flushed so the new name survives a power cut;
// a failure there leaves a complete file behind and is not worth a message.
void Sync_Folder() {
  const int fd = ::open(".", O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Moves the file that could not be read to "orbolan.cfg.damaged" (an older one there is
// replaced) so the save does not destroy it; when it cannot be moved, nothing is saved.
bool Set_Unread_File_Aside() {
  if (std::rename(CONFIG_FILE_NAME, CONFIG_DAMAGED_FILE_NAME) == 0) {
    std::fprintf(stderr, "orbolan: orbolan.cfg could not be read; it is kept as %s\n",
                 CONFIG_DAMAGED_FILE_NAME);
  } else if (errno != ENOENT) {  // gone meanwhile: nothing left to keep
    Report(
        "orbolan.cfg could not be read and cannot be set aside; it is kept and nothing "
        "is saved",
        errno);
    return false;
  }
  unread_file_kept = false;
  return true;
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

sSTATISTIC_BLOCK* Statistic_Block(int32 type) {
  switch (type) {
    case 0: return &score_statistic.normal;
    case 1: return &score_statistic.continuous;
    case 2: return &score_statistic.shifter;
    case 3: return &score_statistic.megashift;
    default: return nullptr;
  }
}

int32 Count_Game(int32 type, bool finished, int32 result) {
  sSTATISTIC_BLOCK* block = Statistic_Block(type);
  if (block == nullptr) return 0;  // a type from a damaged file has no block of its own
  block->games = Wrap_Add(block->games, 1);
  if (!finished) return 0;  // given up: played, with nothing scored
  block->scores = Wrap_Add(block->scores, result);
  if (result <= block->high) return 0;
  block->high = result;
  return 1;
}

bool Read_Config() {
  unread_file_kept = false;
  std::FILE* f = std::fopen(CONFIG_FILE_NAME, "rb");
  if (!f) {
    // No file yet is the normal first run: the records keep their zeros.
    if (errno != ENOENT) {
      unread_file_kept = true;
      Report("cannot open orbolan.cfg; starting from empty settings", errno);
    }
    return false;
  }
  unsigned char bytes[CONFIG_FILE_SIZE];
  // Only the first 60 bytes count; anything after them is ignored.
  const std::size_t got = std::fread(bytes, 1, CONFIG_FILE_SIZE, f);
  const int error = std::ferror(f) ? errno : 0;
  std::fclose(f);
  unread_file_kept = error != 0 || got < CONFIG_FILE_SIZE;
  if (error != 0) {
    Report("cannot read orbolan.cfg; starting from empty settings", error);
    return false;
  }
  if (got < CONFIG_FILE_SIZE) {
    // Half a file cannot be trusted field by field: it is ignored as a whole.
    std::fprintf(stderr,
                 "orbolan: orbolan.cfg holds %zu bytes instead of %zu; starting from empty "
                 "settings and statistics\n",
                 got, CONFIG_FILE_SIZE);
    return false;
  }
  Decode_Config(bytes, &setup_data, &score_statistic);
  return true;
}

bool Write_Config() {
  unsigned char bytes[CONFIG_FILE_SIZE];
  Encode_Config(setup_data, score_statistic, bytes);
  errno = 0;
  if (const int error = Write_Temp_File(bytes); error != 0) {
    Report("cannot save orbolan.cfg, the previous file is kept", error);
    return false;
  }
  if (unread_file_kept && !Set_Unread_File_Aside()) {
    std::remove(CONFIG_TEMP_FILE_NAME);
    return false;
  }
  if (std::rename(CONFIG_TEMP_FILE_NAME, CONFIG_FILE_NAME) != 0) {
    const int error = errno;
    std::remove(CONFIG_TEMP_FILE_NAME);
    Report("cannot save orbolan.cfg, the previous file is kept", error);
    return false;
  }
  Sync_Folder();
  return true;
}
