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
  void use_driver(const char* driver) {
    plat::sound::shutdown();  // the next sound opens the output with this driver
    setenv("SDL_AUDIODRIVER", driver, 1);
  }
  void TearDown() override { plat::sound::shutdown(); }
  std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }
  milliseconds timed(const std::string& s, std::uint32_t* answer) {
    auto t0 = steady_clock::now();
    *answer = send(s);
    return duration_cast<milliseconds>(steady_clock::now() - t0);
  }
  TempDir dir;
};

TEST_F(SdlSound, PlaysAndWaitsForTheEndThroughAnAudioDriver) {
  use_driver("dummy");
  ASSERT_EQ(send("open " + dir.write("tone.wav", make_wave(300, 22050)) + " type waveaudio alias tone"), kOk);
  std::uint32_t answer = 1;
  EXPECT_GE(timed("play tone from 0 wait", &answer), milliseconds(300));
  EXPECT_EQ(answer, kOk);
  EXPECT_TRUE(plat::sound::output_open());
  // Restarting while it plays, stopping and seeking are all accepted.
  EXPECT_EQ(send("play tone from 0"), kOk);
  EXPECT_EQ(send("play tone from 0"), kOk);
  EXPECT_EQ(send("play tone from 150 wait"), kOk);
  EXPECT_EQ(send("stop tone"), kOk);
  EXPECT_EQ(send("seek tone to start"), kOk);
  plat::beep(1000, 50);
  EXPECT_EQ(send("close tone"), kOk);
  EXPECT_EQ(send("play tone from 0"), kErrUnknownAlias);
}

TEST_F(SdlSound, WithoutAnyAudioOutputTheGameRunsSilently) {
  use_driver("no-such-audio-driver");
  ASSERT_EQ(send("open " + dir.write("tone.wav", make_wave(250)) + " type waveaudio alias tone"), kOk);
  std::uint32_t answer = 1;
  EXPECT_EQ(send("play tone from 0"), kOk);
  EXPECT_GE(timed("play tone from 0 wait", &answer), milliseconds(250)) << "a waiting play still takes the sound's length";
  EXPECT_EQ(answer, kOk);
  plat::beep(1000, 100);
  EXPECT_FALSE(plat::sound::output_open());
}

TEST_F(SdlSound, TheOutputClosesWhenTheGameIsQuiet) {
  use_driver("dummy");
  ASSERT_EQ(send("open " + dir.write("pop.wav", make_wave(50, 22050)) + " type waveaudio alias pop"), kOk);
  ASSERT_EQ(send("play pop from 0 wait"), kOk);
  ASSERT_TRUE(plat::sound::output_open());
  const auto deadline = steady_clock::now() + seconds(15);
  while (plat::sound::output_open() && steady_clock::now() < deadline) std::this_thread::sleep_for(milliseconds(100));
  EXPECT_FALSE(plat::sound::output_open());
  // The next sound opens it again.
  EXPECT_EQ(send("play pop from 0"), kOk);
  EXPECT_TRUE(plat::sound::output_open());
}

}  // namespace
