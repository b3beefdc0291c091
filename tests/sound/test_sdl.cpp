// The SDL2_mixer device: plays through SDL's dummy audio driver, closes the output again once
// the game is quiet, and stays silent without any audio output.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/platform.h"
#include "platform/sound/interpreter.h"
#include "platform/sound/sound.h"
#include "wave_fixture.h"

using namespace std::chrono;

namespace {

std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }

// Opens a tone of `ms` on a fresh output through `driver`; returns how long a waiting play took.
milliseconds open_and_play_waiting(const TempDir& dir, const char* driver, std::uint32_t ms) {
  plat::sound::shutdown();
  setenv("SDL_AUDIODRIVER", driver, 1);
  EXPECT_EQ(
      send("open " + dir.write("tone.wav", make_wave(ms, 22050)) + " type waveaudio alias tone"),
      0u);
  const auto t0 = steady_clock::now();
  EXPECT_EQ(send("play tone from 0 wait"), 0u);
  return duration_cast<milliseconds>(steady_clock::now() - t0);
}

TEST(SdlSound, PlaysThroughAnAudioDriverAndClosesTheOutputWhenQuiet) {
  TempDir dir;
  EXPECT_GE(open_and_play_waiting(dir, "dummy", 300), milliseconds(300));
  EXPECT_TRUE(plat::sound::output_open());
  for (const char* s : {"play tone from 0", "play tone from 0", "play tone from 150 wait",
                        "stop tone", "seek tone to start"})
    EXPECT_EQ(send(s), 0u) << s;  // restarting while it plays, stopping, seeking
  plat::beep(1000, 50);
  const auto deadline = steady_clock::now() + seconds(15);
  while (plat::sound::output_open() && steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds(100));
  EXPECT_FALSE(plat::sound::output_open()) << "the idle output stays open";
  EXPECT_EQ(send("play tone from 0"), 0u);
  EXPECT_TRUE(plat::sound::output_open()) << "the next sound opens it again";
}

TEST(SdlSound, WithoutAnyAudioOutputTheGameRunsSilentlyAndStillWaits) {
  TempDir dir;
  EXPECT_GE(open_and_play_waiting(dir, "no-such-audio-driver", 250), milliseconds(250));
  EXPECT_EQ(send("play tone from 0"), 0u);
  plat::beep(1000, 100);
  EXPECT_FALSE(plat::sound::output_open());
}

}  // namespace
