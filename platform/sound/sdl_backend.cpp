// The SDL2_mixer sound device: wave aliases become mixer chunks. The audio output is opened
// on the first play and closed again after a few idle seconds, so a quiet game costs no
// CPU; without any audio output the game stays silent (a waiting play still takes as long
// as the sound).
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include <pthread.h>

#include "platform/platform.h"
#include "platform/sound/interpreter.h"

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr auto IDLE_CLOSE = std::chrono::seconds(3);   // close the output after this much quiet
constexpr auto RETRY_OPEN = std::chrono::seconds(10);  // after a failed open, stay silent this long
// A play that opens the output is heard this much later. Start-up warms "pop" up with a play
// stopped at once, whatever the sound setting: started at once, the mixer could put a buffer
// of it out before the stop, a pop heard with sounds switched off.
constexpr auto FIRST_PLAY_DELAY = milliseconds(50);
constexpr int MIXER_CHANNELS = 16;
// The rate of every sound of the game and of a sound server's usual sink: nothing is
// resampled, here or in the server.
constexpr int OUTPUT_RATE = 44100;
// Sample frames per mixing buffer: 2048 at 44100 Hz is 46 ms. A sound server is asked for
// about that much latency and is fed about every half of it, all the while the output is
// open, even with nothing playing. Measured with a PulseAudio null sink and the output open
// and quiet: 1024 frames woke the server about 540 times a second (1.8 % of a core, and 1.1 %
// in the game), 2048 about 270 (1.2 % and 0.7 %), 4096 about 120 (0.7 % and 0.25 %). A play
// is heard at most about 46 ms after it is mixed; 4096 frames would make that 93 ms, and the
// first sound after a quiet spell, which waits FIRST_PLAY_DELAY more, 143 ms: later than a
// click may trail the press that sounds it (about 125 ms) before anyone notices.
constexpr int OUTPUT_FRAMES = 2048;

class SdlDevice;

// The audio output and its chunks. Every mixer call happens under `mutex`.
class SdlBackend : public sound::Backend {
 public:
  SdlBackend() : closer_([this] { close_when_idle(); }) {}
  ~SdlBackend() override {
    {
      std::lock_guard lock(mutex);
      quit_ = true;
    }
    wake_.notify_all();
    closer_.join();
  }

  std::unique_ptr<sound::Device> open(const std::string& alias, std::vector<std::uint8_t> file,
                                      const sound::WaveInfo& info) override;
  void beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) override;
  void shutdown() override {
    std::lock_guard lock(mutex);
    close_output();
    if (audio_init_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_init_ = false;
    failed_once_ = false;  // a fresh start tries the output again at once
  }
  bool output_open() override {
    std::lock_guard lock(mutex);
    return open_;
  }

  // Called with `mutex` held. Returns false when there is no audio output to play on.
  bool ensure_output();
  void forget(SdlDevice* d);
  void started() {
    last_activity_ = Clock::now();
    wake_.notify_all();
  }

  std::mutex mutex;

 private:
  void close_output();
  void close_when_idle();

  bool open_ = false, audio_init_ = false, quit_ = false;
  Clock::time_point failed_at_{}, last_activity_{}, opened_at_{};
  std::set<SdlDevice*> delayed_;  // plays waiting for FIRST_PLAY_DELAY to pass
  bool failed_once_ = false;
  std::set<SdlDevice*> devices_;
  std::map<std::pair<std::uint32_t, std::uint32_t>, Mix_Chunk*> tones_;
  std::condition_variable wake_;
  std::thread closer_;
  friend class SdlDevice;
};

class SdlDevice : public sound::Device {
 public:
  SdlDevice(SdlBackend& b, std::vector<std::uint8_t> file, const sound::WaveInfo& info)
      : backend_(b), file_(std::move(file)), info_(info) {}
  ~SdlDevice() override { backend_.forget(this); }

  void play(std::uint32_t from_ms, std::uint32_t to_ms, bool wait) override;
  void stop() override {
    std::lock_guard lock(backend_.mutex);
    halt();
  }
  void seek(const sound::Command&) override { stop(); }
  void close() override { stop(); }

  // With the backend's mutex held:
  void halt() {
    if (delayed_) backend_.delayed_.erase(this);
    delayed_ = false;
    if (channel_ >= 0 && Mix_GetChunk(channel_) == current_ && Mix_Playing(channel_))
      Mix_HaltChannel(channel_);
    if (part_) Mix_FreeChunk(part_);  // shares chunk_'s samples; frees only itself
    part_ = current_ = nullptr;
    channel_ = -1;
    ++generation_;
  }
  void drop_chunk() {
    halt();
    if (chunk_) Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
  }

 private:
  bool playing(std::uint64_t generation) {
    std::lock_guard lock(backend_.mutex);
    return generation == generation_ && channel_ >= 0 && Mix_GetChunk(channel_) == current_ &&
           Mix_Playing(channel_);
  }
  bool stopped_since(std::uint64_t generation) {
    std::lock_guard lock(backend_.mutex);
    return generation != generation_;
  }
  bool start(std::uint32_t from_ms, std::uint32_t to_ms);  // with the backend's mutex held
  void start_delayed() {                                   // with the backend's mutex held
    delayed_ = false;
    start(delayed_from_, delayed_to_);
  }

  SdlBackend& backend_;
  std::vector<std::uint8_t> file_;
  sound::WaveInfo info_;
  Mix_Chunk* chunk_ = nullptr;    // the whole sound in the mixer's format
  Mix_Chunk* part_ = nullptr;     // a play from a later position
  Mix_Chunk* current_ = nullptr;  // what channel_ plays
  int channel_ = -1;
  std::uint64_t generation_ = 0;  // bumped by every play and stop, so a waiter sees a restart
  bool delayed_ = false;          // a play that opened the output, not started yet
  std::uint32_t delayed_from_ = 0, delayed_to_ = 0;
  friend class SdlBackend;
};

void SdlDevice::play(std::uint32_t from_ms, std::uint32_t to_ms, bool wait) {
  std::uint64_t generation = 0;
  bool audible = false;
  const auto ends = Clock::now() + milliseconds(to_ms - from_ms);
  {
    std::lock_guard lock(backend_.mutex);
    halt();  // a play restarts the sound from its beginning
    generation = generation_;
    const bool opening = !backend_.open_;
    audible = backend_.ensure_output();
    if (audible && opening && !wait) {
      delayed_ = true, delayed_from_ = from_ms, delayed_to_ = to_ms;
      backend_.delayed_.insert(this);
      backend_.started();  // wakes the thread that starts it
      return;
    }
    audible = audible && start(from_ms, to_ms);
  }
  if (!wait) return;
  if (!audible) {  // silent: take as long as the sound would
    std::this_thread::sleep_for(milliseconds(to_ms - from_ms));
    return;
  }
  while (playing(generation)) std::this_thread::sleep_for(milliseconds(5));
  // The mixer lets go of a channel once its last samples are in the output buffer, a little
  // before they are heard; a waiting play returns when the sound has ended, so wait that out
  // too, unless the sound was stopped or restarted meanwhile.
  if (!stopped_since(generation)) std::this_thread::sleep_until(ends);
}

bool SdlDevice::start(std::uint32_t from_ms, std::uint32_t to_ms) {
  if (!chunk_) chunk_ = Mix_LoadWAV_RW(SDL_RWFromConstMem(file_.data(), int(file_.size())), 1);
  if (!chunk_) return false;
  current_ = chunk_;
  if (from_ms > 0) {  // a later start: a chunk that shares the samples from there on
    int freq = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq, &format, &channels);
    const std::uint64_t frame = std::uint64_t(channels) * SDL_AUDIO_BITSIZE(format) / 8;
    const std::uint64_t skip =
        std::min<std::uint64_t>(chunk_->alen, std::uint64_t(from_ms) * freq / 1000 * frame);
    part_ = Mix_QuickLoad_RAW(chunk_->abuf + skip, Uint32(chunk_->alen - skip));
    if (!part_) return false;
    current_ = part_;
  }
  const int ticks = to_ms < info_.length_ms() ? int(to_ms - from_ms) : -1;
  channel_ = Mix_PlayChannelTimed(-1, current_, 0, ticks);
  backend_.started();
  return channel_ >= 0;
}

std::unique_ptr<sound::Device> SdlBackend::open(const std::string&, std::vector<std::uint8_t> file,
                                                const sound::WaveInfo& info) {
  auto d = std::make_unique<SdlDevice>(*this, std::move(file), info);
  std::lock_guard lock(mutex);
  devices_.insert(d.get());
  return d;
}

void SdlBackend::forget(SdlDevice* d) {
  std::lock_guard lock(mutex);
  d->halt();
  if (open_) d->drop_chunk();
  devices_.erase(d);
}

bool SdlBackend::ensure_output() {
  if (open_) return true;
  if (failed_once_ && Clock::now() - failed_at_ < RETRY_OPEN) return false;
  if (!audio_init_) audio_init_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (audio_init_ && Mix_OpenAudio(OUTPUT_RATE, AUDIO_S16SYS, 2, OUTPUT_FRAMES) == 0) {
    Mix_AllocateChannels(MIXER_CHANNELS);
    open_ = true;
    opened_at_ = Clock::now();
    return true;
  }
  failed_once_ = true;
  failed_at_ = Clock::now();
  return false;
}

void SdlBackend::close_output() {
  if (!open_) return;
  Mix_HaltChannel(-1);
  for (SdlDevice* d : devices_) d->drop_chunk();
  for (auto& [key, chunk] : tones_) Mix_FreeChunk(chunk);
  tones_.clear();
  Mix_CloseAudio();
  open_ = false;
}

void SdlBackend::close_when_idle() {
  pthread_setname_np(pthread_self(), "sound closer");
  std::unique_lock lock(mutex);
  while (!quit_) {
    if (!open_) {
      wake_.wait(lock);  // nothing open: sleep until a play opens the output
      continue;
    }
    if (!delayed_.empty()) {
      if (Clock::now() < opened_at_ + FIRST_PLAY_DELAY) {
        wake_.wait_until(lock, opened_at_ + FIRST_PLAY_DELAY);
        continue;
      }
      for (SdlDevice* d : std::set<SdlDevice*>(std::move(delayed_))) d->start_delayed();
      delayed_.clear();
      continue;
    }
    wake_.wait_for(lock, std::chrono::seconds(1));
    if (open_ && Mix_Playing(-1) == 0 && Clock::now() - last_activity_ > IDLE_CLOSE)
      close_output();
    else if (open_ && Mix_Playing(-1) > 0)
      last_activity_ = Clock::now();
  }
  close_output();
  if (audio_init_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlBackend::beep(std::uint32_t frequency_hz, std::uint32_t duration_ms) {
  std::lock_guard lock(mutex);
  if (!ensure_output() || frequency_hz == 0 || duration_ms == 0) return;
  frequency_hz = std::min<std::uint32_t>(frequency_hz, 20000);
  duration_ms = std::min<std::uint32_t>(duration_ms, 5000);
  Mix_Chunk*& chunk = tones_[{frequency_hz, duration_ms}];
  if (!chunk) {
    int freq = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq, &format, &channels);
    if (format != AUDIO_S16SYS || freq <= 0) return;
    const std::size_t frames = std::size_t(freq) * duration_ms / 1000;
    auto* samples = static_cast<Sint16*>(SDL_malloc(frames * channels * sizeof(Sint16)));
    if (!samples) return;
    for (std::size_t i = 0; i < frames; ++i) {
      const double t = double(i) / freq;
      const double fade =
          std::min({1.0, t / 0.005, (double(frames - i) / freq) / 0.005});  // no clicks
      const auto v = Sint16(std::lround(9000 * fade * std::sin(2 * M_PI * frequency_hz * t)));
      for (int c = 0; c < channels; ++c) samples[i * channels + c] = v;
    }
    chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(samples),
                              Uint32(frames * channels * sizeof(Sint16)));
    if (chunk) chunk->allocated = 1;  // the mixer frees the samples with the chunk
  }
  if (chunk == nullptr) return;
  Mix_PlayChannel(-1, chunk, 0);
  started();
}

}  // namespace

std::unique_ptr<sound::Backend> sound::make_backend() { return std::make_unique<SdlBackend>(); }

}  // namespace plat
