// The SDL2_mixer device: plays through SDL's dummy audio driver, stays silent without any
// audio output, and closes the output again once the game is quiet.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/platform.h"
#include "platform/sound/interpreter.h"
#include "platform/sound/sound.h"
#include "wave_fixture.h"

using namespace plat::sound;
using namespace std::chrono;

namespace {

class SdlSound : public ::testing::Test {
 protected:
  void TearDown() override { plat::sound::shutdown(); }
  // Opens a tone on a fresh output through `driver`, and times a waiting play of it.
  milliseconds open_and_play_waiting(const char* driver, std::uint32_t ms) {
    plat::sound::shutdown();
    setenv("SDL_AUDIODRIVER", driver, 1);
    EXPECT_EQ(send("open " + dir.write("tone.wav", make_wave(ms, 22050)) + " type waveaudio alias tone"), kOk);
    const auto t0 = steady_clock::now();
    EXPECT_EQ(send("play tone from 0 wait"), kOk);
    return duration_cast<milliseconds>(steady_clock::now() - t0);
  }
  std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }
  TempDir dir;
};

TEST_F(SdlSound, PlaysThroughAnAudioDriverAndClosesTheOutputWhenQuiet) {
  EXPECT_GE(open_and_play_waiting("dummy", 300), milliseconds(300));
  EXPECT_TRUE(plat::sound::output_open());
  // Restarting while it plays, stopping, seeking and beeping are all accepted.
  for (const char* s : {"play tone from 0", "play tone from 0", "play tone from 150 wait", "stop tone", "seek tone to start"})
    EXPECT_EQ(send(s), kOk) << s;
  plat::beep(1000, 50);
  const auto deadline = steady_clock::now() + seconds(15);
  while (plat::sound::output_open() && steady_clock::now() < deadline) std::this_thread::sleep_for(milliseconds(100));
  EXPECT_FALSE(plat::sound::output_open()) << "the idle output stays open";
  EXPECT_EQ(send("play tone from 0"), kOk);
  EXPECT_TRUE(plat::sound::output_open()) << "the next sound opens it again";
  EXPECT_EQ(send("close tone"), kOk);
  EXPECT_EQ(send("play tone from 0"), kErrUnknownAlias);
}

TEST_F(SdlSound, WithoutAnyAudioOutputTheGameRunsSilentlyAndStillWaits) {
  EXPECT_GE(open_and_play_waiting("no-such-audio-driver", 250), milliseconds(250));
  EXPECT_EQ(send("play tone from 0"), kOk);
  plat::beep(1000, 100);
  EXPECT_FALSE(plat::sound::output_open());
}

}  // namespace
