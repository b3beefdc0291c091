// The setup and statistics records and their 60-byte file "orbolan.cfg". A save never costs
// the player a counted game: it is made under a lock on the folder, adds what this copy
// counted since it last read or wrote the file to what the file holds now (another copy of
// the game may have saved meanwhile), and replaces the file whole through a new temporary
// file beside it. A link named "orbolan.cfg" stays a link: the file it names is replaced.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "game/GAME.h"
#include "game/config.h"
#include "game/wrap.h"
#include "platform/platform.h"

sSETUP_DATA setup_data = {0, 0, 0};
sSCORE_STATISTIC score_statistic = {};
sSCORE_STATISTIC statistics_synced = {};
int32 setup_chosen = 0;
int32 statistics_reset = 0;
int32 save_failure_told = 0;

namespace {

constexpr int MAX_LINKS = 40;           // as the kernel allows in one path
constexpr int LOCK_PATIENCE_MS = 2000;  // a save of another copy takes milliseconds
enum class Found { WHOLE, NOTHING, DAMAGED };

std::string Reason(int error) { return std::strerror(error != 0 ? error : EIO); }

// The folder part of a path ("." for a bare name).
std::string Folder_Of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file "orbolan.cfg" stands for: the name itself, or where its links lead (a file that
// need not exist yet). A loop of links ends at the last name reached.
std::string Config_Target() {
  std::string path = CONFIG_FILE_NAME;
  for (int hop = 0; hop < MAX_LINKS; ++hop) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    char link[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
    if (n <= 0) break;
    link[n] = '\0';
    path = link[0] == '/' ? std::string(link) : Folder_Of(path) + "/" + link;
  }
  return path;
}

// Reads the first 60 bytes of the settings file. Only a regular file is read, and nothing
// waits on it: a pipe or a device in its place counts as damaged. `why` says what was wrong.
Found Read_Settings_File(const std::string& path, unsigned char bytes[CONFIG_FILE_SIZE],
                         std::string* why) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return Found::NOTHING;  // no file yet: the normal first run
    *why = "cannot open orbolan.cfg: " + Reason(errno);
    return Found::DAMAGED;
  }
  struct stat st;
  std::size_t got = 0;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *why = "orbolan.cfg is not a regular file";
  } else {
    while (got < CONFIG_FILE_SIZE) {
      const ssize_t n = ::read(fd, bytes + got, CONFIG_FILE_SIZE - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) *why = "cannot read orbolan.cfg: " + Reason(errno);
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    // Half a file cannot be trusted field by field: it is ignored as a whole.
    if (why->empty() && got < CONFIG_FILE_SIZE)
      *why = "orbolan.cfg holds " + std::to_string(got) + " bytes instead of " +
             std::to_string(CONFIG_FILE_SIZE);
  }
  ::close(fd);
  return why->empty() ? Found::WHOLE : Found::DAMAGED;
}

// Moves what stands at "orbolan.cfg" (a link itself, not the file it names) to
// "orbolan.cfg.damaged", replacing an older one, so a save does not destroy a file that may
// still hold the player's statistics. False (and `why`) when it cannot be moved.
bool Set_Damaged_File_Aside(std::string* why) {
  if (std::rename(CONFIG_FILE_NAME, CONFIG_DAMAGED_FILE_NAME) == 0) {
    std::fprintf(stderr, "orbolan: orbolan.cfg could not be read; it is kept as %s\n",
                 CONFIG_DAMAGED_FILE_NAME);
    return true;
  }
  if (errno == ENOENT) return true;  // gone meanwhile: nothing left to keep
  *why = "orbolan.cfg could not be read and cannot be set aside (" + Reason(errno) +
         "); it is kept and nothing is saved";
  return false;
}

// Holds the working folder's lock while a save reads the file again and replaces it, so two
// copies of the game never save at once. Where the folder cannot be locked (or another copy
// holds it for too long), the save goes on without.
class Folder_Lock {
 public:
  Folder_Lock() : fd_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    for (int waited = 0; fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0; waited += 10) {
      if (errno != EWOULDBLOCK || waited >= LOCK_PATIENCE_MS) return;
      const timespec pause{0, 10'000'000};
      ::nanosleep(&pause, nullptr);
    }
  }
  ~Folder_Lock() {
    if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
  }
  Folder_Lock(const Folder_Lock&) = delete;
  Folder_Lock& operator=(const Folder_Lock&) = delete;

 private:
  int fd_;
};

// Writes the bytes to a new file with a name of its own beside `target`, forces them to the
// disk and renames the file over `target`. Returns 0, or the errno of the step that failed
// (the temporary file then removed, `target` untouched).
int Replace_File(const std::string& target, const unsigned char bytes[CONFIG_FILE_SIZE]) {
  std::string temp = target + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // created new, never through a link
  if (fd < 0) return errno;
  int error = 0;
  struct stat old;
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  if (::fchmod(fd, mode) != 0) error = errno;
  for (std::size_t done = 0; error == 0 && done < CONFIG_FILE_SIZE;) {
    const ssize_t n = ::write(fd, bytes + done, CONFIG_FILE_SIZE - done);
    if (n < 0 && errno != EINTR) error = errno;
    done += n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return error;
  }
  // The folder itself is flushed so the new name survives a power cut; a failure there
  // leaves a complete file behind and is not worth a message.
  const int folder = ::open(Folder_Of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return 0;
}

// The statistics to save: what the file holds plus what this copy counted since it last read
// or wrote it; a best counts where this copy beat the best it knew. After a Reset, this
// copy's own (cleared) statistics replace the file's.
sSCORE_STATISTIC Merge_Statistics(const sSCORE_STATISTIC& on_disk) {
  if (statistics_reset != 0) return score_statistic;
  sSCORE_STATISTIC merged = on_disk;
  for (int32 type = 0; type < 4; ++type) {
    const sSTATISTIC_BLOCK& mine = *Statistic_Block(type);
    const sSTATISTIC_BLOCK& synced = (&statistics_synced.normal)[type];
    sSTATISTIC_BLOCK& out = (&merged.normal)[type];
    out.games = Wrap_Add(out.games, Wrap_Sub(mine.games, synced.games));
    out.scores = Wrap_Add(out.scores, Wrap_Sub(mine.scores, synced.scores));
    if (mine.high > synced.high && mine.high > out.high) out.high = mine.high;
  }
  return merged;
}

// The absolute folder of the file, for the player's message.
std::string Folder_For_Player(const std::string& target) {
  char* real = ::realpath(Folder_Of(target).c_str(), nullptr);
  const std::string folder = real ? real : Folder_Of(target);
  std::free(real);
  return folder;
}

// A failed save is said on standard error each time, and to the player once in a box (until
// a save succeeds again): the game goes on, and the next save tries again.
void Report_Failed_Save(const std::string& target, const std::string& why) {
  std::fprintf(stderr, "orbolan: cannot save orbolan.cfg, the previous file is kept: %s\n",
               why.c_str());
  if (save_failure_told != 0) return;
  save_failure_told = 1;
  std::string reason = why;
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(reason[0]));
  const std::string text =
      "The statistics could not be saved in " + Folder_For_Player(target) + ": " + reason + ".";
  plat::message_box(nullptr, plat::utf8_to_cp1252(text).c_str(), "Orbolan", MB_OK);
}

}  // namespace

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
  setup_chosen = statistics_reset = save_failure_told = 0;
  unsigned char bytes[CONFIG_FILE_SIZE];
  std::string why;
  const Found found = Read_Settings_File(Config_Target(), bytes, &why);
  if (found == Found::DAMAGED)
    std::fprintf(stderr, "orbolan: %s; starting from empty settings and statistics\n", why.c_str());
  if (found == Found::WHOLE) Decode_Config(bytes, &setup_data, &score_statistic);
  statistics_synced = score_statistic;
  return found == Found::WHOLE;
}

bool Write_Config() {
  std::string target = Config_Target(), why;
  {
    const std::lock_guard in_process(plat::save_lock());
    const Folder_Lock lock;
    unsigned char bytes[CONFIG_FILE_SIZE];
    sSETUP_DATA setup = setup_data;
    sSCORE_STATISTIC stats = score_statistic;
    const Found found = Read_Settings_File(target, bytes, &why);
    if (found == Found::WHOLE) {
      sSETUP_DATA disk_setup;
      sSCORE_STATISTIC disk_stats;
      Decode_Config(bytes, &disk_setup, &disk_stats);
      if (setup_chosen == 0) setup = disk_setup;  // the setup of the copy that chose last
      stats = Merge_Statistics(disk_stats);
    }
    why.clear();
    if (found == Found::DAMAGED && Set_Damaged_File_Aside(&why)) target = CONFIG_FILE_NAME;
    if (why.empty()) {
      Encode_Config(setup, stats, bytes);
      if (const int error = Replace_File(target, bytes); error != 0) why = Reason(error);
    }
    if (why.empty()) {
      score_statistic = statistics_synced = stats;
      setup_chosen = statistics_reset = save_failure_told = 0;
      return true;
    }
  }
  Report_Failed_Save(target, why);  // the box waits for the player: no lock held meanwhile
  return false;
}

bool Save_Chosen_Setup() {
  setup_chosen = 1;
  return Write_Config();
}

bool Reset_Statistics() {
  score_statistic = sSCORE_STATISTIC{};
  statistics_reset = 1;
  return Write_Config();
}
