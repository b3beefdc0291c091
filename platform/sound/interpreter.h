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
  ANSWER_OK = 0,
  ERR_UNKNOWN_KEYWORD = 259,    // a word after the command that it does not take
  ERR_UNKNOWN_COMMAND = 261,    // the first word is no command
  ERR_UNKNOWN_ALIAS = 263,      // no device is open under that name
  ERR_OUT_OF_RANGE = 265,       // a position past the end of the sound, or not a number
  ERR_NO_SUCH_DEVICE = 266,     // a device type that does not exist here (the CD drive)
  ERR_BAD_TIME_FORMAT = 268,    // a time format other than milliseconds
  ERR_MISSING_PARAMETER = 273,  // a command or keyword without its argument
  ERR_FILE_NOT_FOUND = 275,     // the file cannot be opened
  ERR_DUPLICATE_ALIAS = 289,    // the alias is taken
  ERR_BAD_FILE = 296,           // the file is no playable wave
};

// A parsed command. Words are compared case-insensitively; `target` keeps its spelling.
struct Command {
  std::string verb;                      // open, close, play, stop, seek, set
  std::string target;                    // a file or device name (open), else an alias
  std::string type, alias, time_format;  // open: type/alias; set: time format
  bool has_from = false, has_to = false, wait = false;
  std::uint32_t from = 0, to = 0;
  enum Seek { NO_SEEK, SEEK_TO_START, SEEK_TO_END, SEEK_TO_POSITION } seek = NO_SEEK;
  std::uint32_t seek_to = 0;
};

// Splits and checks one command string; returns ANSWER_OK and fills *cmd, or the syntax error.
// Pure: touches no device, so it can be fed arbitrary bytes.
std::uint32_t parse_command(std::string_view text, Command* cmd);

// One opened wave file. The interpreter calls play with its own lock released, so a
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

// The wave output below the interpreter: the SDL2_mixer one (sdl_backend.cpp) or the
// headless recorder (headless_backend.cpp), whichever library is linked in.
class Backend {
 public:
  virtual ~Backend() = default;
  // A device for one opened wave file, whose bytes and format the interpreter has checked.
  virtual std::unique_ptr<Device> open(const std::string& alias, std::vector<std::uint8_t> file,
                                       const WaveInfo& info) = 0;
  // A sine tone of the given pitch and length, returning at once.
  virtual void beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) = 0;
  // Closes the audio output; every device is closed by then.
  virtual void shutdown() = 0;
  // Whether an audio output is open right now (see sound.h).
  virtual bool output_open() = 0;
};

// The backend of the linked sound library; called once, by the program's one interpreter.
std::unique_ptr<Backend> make_backend();

class Interpreter {
 public:
  explicit Interpreter(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}
  // Parses and carries out one command string; returns ANSWER_OK or the error.
  std::uint32_t send(const char* command);
  void beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) {
    backend_->beep(frequency_hz, duration_ms);
  }
  void shutdown();  // closes every alias and the backend's output
  bool output_open() { return backend_->output_open(); }

 private:
  struct Alias {
    std::shared_ptr<Device> device;
    std::uint32_t length_ms = 0;
    std::uint32_t position_ms = 0;
  };
  std::uint32_t open(const Command& cmd);
  std::uint32_t act(const Command& cmd);

  std::unique_ptr<Backend> backend_;
  std::mutex mutex_;                      // guards aliases_
  std::map<std::string, Alias> aliases_;  // by lower-case alias
};

}  // namespace plat::sound
