// The SDL2_mixer device: plays through SDL's dummy audio driver, closes the output again once
// the game is quiet, and stays silent without any audio output.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/platform.h"
#include "platform/sound/interpreter.h"
#include "platform/sound/sound.h"
#include "tests/support/wave.h"

using namespace std::chrono;

namespace {

std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }

// Opens a tone of `ms` on a fresh output through `driver`; returns how long a waiting play took.
milliseconds open_and_play_waiting(const char* driver, std::uint32_t ms) {
  plat::sound::shutdown();
  setenv("SDL_AUDIODRIVER", driver, 1);
  const std::string wave = proof::Write_Wave("/tmp/orbolan-sdl-" + std::to_string(getpid()), ms);
  EXPECT_EQ(send("open " + wave + " type waveaudio alias tone"), 0u);
  std::remove(wave.c_str());  // the device holds the sound now
  const auto t0 = steady_clock::now();
  EXPECT_EQ(send("play tone from 0 wait"), 0u);
  return duration_cast<milliseconds>(steady_clock::now() - t0);
}

TEST(SdlSound, PlaysThroughAnAudioDriverClosesTheOutputWhenQuietAndWaitsWithoutOne) {
  // Without any audio output the game runs silently, and a waiting play still waits.
  EXPECT_GE(open_and_play_waiting("no-such-audio-driver", 250), milliseconds(250));
  EXPECT_EQ(send("play tone from 0"), 0u);
  plat::beep(1000, 100);
  EXPECT_FALSE(plat::sound::output_open());

  EXPECT_GE(open_and_play_waiting("dummy", 300), milliseconds(300));
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

}  // namespace
