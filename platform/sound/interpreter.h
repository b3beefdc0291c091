// The media command interpreter: parses command strings, keeps one wave device per alias and
// drives the devices of a backend (SDL2_mixer or the headless recorder).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sound/wave.h"

namespace plat::sound {

// Answers of the interpreter: 0 for success, otherwise one of these.
enum Answer : std::uint32_t {
  kOk = 0,
  kErrUnknownKeyword = 259,    // a word after the command that it does not take
  kErrUnknownCommand = 261,    // the first word is no command
  kErrUnknownAlias = 263,      // no device is open under that name
  kErrOutOfRange = 265,        // a position past the end of the sound, or not a number
  kErrNoSuchDevice = 266,      // a device type that does not exist here (the CD drive)
  kErrBadTimeFormat = 268,     // a time format other than milliseconds
  kErrMissingParameter = 273,  // a command or keyword without its argument
  kErrFileNotFound = 275,      // the file cannot be opened
  kErrDuplicateAlias = 289,    // the alias is taken
  kErrBadFile = 296,           // the file is no playable wave
};

// A parsed command. Words are compared case-insensitively; `target` keeps its spelling.
struct Command {
  std::string verb;    // open, close, play, stop, seek, set
  std::string target;  // a file or device name (open), else an alias
  std::string type, alias, time_format;  // open: type/alias; set: time format
  bool has_from = false, has_to = false, wait = false;
  std::uint32_t from = 0, to = 0;
  enum Seek { kNone, kStart, kEnd, kPosition } seek = kNone;
  std::uint32_t seek_to = 0;
};

// Splits and checks one command string; returns kOk and fills *cmd, or the syntax error.
// Pure: touches no device, so it can be fed arbitrary bytes.
std::uint32_t parse_command(std::string_view text, Command* cmd);

// One opened wave file. The interpreter calls these with its own lock released, so a
// waiting play may block.
class Device {
 public:
  virtual ~Device() = default;
  // Plays [from_ms, to_ms) from the start of that range; with `wait` it returns when done.
  virtual void play(std::uint32_t from_ms, std::uint32_t to_ms, bool wait) = 0;
  virtual void stop() = 0;
  virtual void seek(const Command& cmd) = 0;  // stops playback; position kept by the interpreter
  virtual void close() = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<Device> open(const std::string& alias, std::vector<std::uint8_t> file,
                                       const WaveInfo& info) = 0;
  virtual void beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) = 0;
  virtual void shutdown() = 0;  // every device is closed by then
};

class Interpreter {
 public:
  explicit Interpreter(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}
  std::uint32_t send(const char* command);
  void beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) { backend_->beep(frequency_hz, duration_ms); }
  void shutdown();  // closes every alias and the backend's output

 private:
  struct Alias {
    std::shared_ptr<Device> device;
    std::uint32_t length_ms = 0;
    std::uint32_t position_ms = 0;
  };
  std::uint32_t open(const Command& cmd);
  std::uint32_t act(const Command& cmd);

  std::unique_ptr<Backend> backend_;
  std::mutex mutex_;                     // guards aliases_
  std::map<std::string, Alias> aliases_;  // by lower-case alias
};

}  // namespace plat::sound
