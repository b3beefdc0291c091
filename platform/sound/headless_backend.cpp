// The headless sound device for the tests: nothing is heard, every command that reaches a
// device is recorded ("play pop", "play score wait", "stop pop", "seek pop to start",
// "close pop"), beeps are counted, and a waiting play lasts as long as the sound would.
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/sound/interpreter.h"

namespace plat {
namespace {

struct Record {
  std::mutex mutex;
  std::vector<std::string> log;
  int beeps = 0;
};

Record& record() {
  static Record r;
  return r;
}

void note(std::string entry) {
  std::lock_guard lock(record().mutex);
  record().log.push_back(std::move(entry));
}

// Where a seek goes, as the log names it.
std::string Where(const sound::Command& cmd) {
  switch (cmd.seek) {
    case sound::Command::SEEK_TO_START: return "start";
    case sound::Command::SEEK_TO_END: return "end";
    default: return std::to_string(cmd.seek_to);
  }
}

class HeadlessDevice : public sound::Device {
 public:
  explicit HeadlessDevice(std::string alias) : alias_(std::move(alias)) {}
  void play(std::uint32_t from_ms, std::uint32_t to_ms, bool wait) override {
    note("play " + alias_ + (wait ? " wait" : ""));
    if (wait) std::this_thread::sleep_for(std::chrono::milliseconds(to_ms - from_ms));
  }
  void stop() override { note("stop " + alias_); }
  void seek(const sound::Command& cmd) override { note("seek " + alias_ + " to " + Where(cmd)); }
  void close() override { note("close " + alias_); }

 private:
  std::string alias_;
};

class HeadlessBackend : public sound::Backend {
 public:
  std::unique_ptr<sound::Device> open(const std::string& alias, std::vector<std::uint8_t>,
                                      const sound::WaveInfo&) override {
    return std::make_unique<HeadlessDevice>(alias);
  }
  void beep(std::uint32_t, std::uint32_t) override {
    std::lock_guard lock(record().mutex);
    ++record().beeps;
  }
  void shutdown() override {}
  bool output_open() override { return false; }  // nothing is ever heard
};

}  // namespace

std::unique_ptr<sound::Backend> sound::make_backend() {
  return std::make_unique<HeadlessBackend>();
}

namespace headless {

const std::vector<std::string>& sound_log() { return record().log; }
int beep_count() {
  std::lock_guard lock(record().mutex);
  return record().beeps;
}
void clear_sound_log() {
  std::lock_guard lock(record().mutex);
  record().log.clear();
  record().beeps = 0;
}

}  // namespace headless
}  // namespace plat
