// The interpreter over the headless device, as the game reaches it through plat::mci_send_string
// and the mci_ module: each command, the answers for unknown aliases and bad files, the CD
// commands failing at once, the record of what reached a device, and waiting plays.
#include <gtest/gtest.h>

#include <chrono>

#include "mci/MCI.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/sound/interpreter.h"
#include "platform/sound/sound.h"
#include "wave_fixture.h"

using namespace plat::sound;
using plat::headless::sound_log;
using Log = std::vector<std::string>;

namespace {

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::sound::shutdown();  // no alias left over from another test
    plat::headless::clear_sound_log();
  }
  std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }
  std::string wave(const std::string& name, std::uint32_t ms) { return dir.write(name, make_wave(ms)); }
  TempDir dir;
};

TEST_F(Headless, EachWaveCommandReachesTheDeviceOfItsAlias) {
  ASSERT_EQ(send("open " + wave("pop.wav", 60) + " type waveaudio alias pop"), kOk);
  EXPECT_TRUE(sound_log().empty()) << "opening plays nothing";
  EXPECT_EQ(send("set pop time format tms"), kOk);
  EXPECT_EQ(send("seek pop to end"), kOk);
  EXPECT_EQ(send("play pop from 0"), kOk);
  EXPECT_EQ(send("seek pop to start"), kOk);
  EXPECT_EQ(send("stop pop"), kOk);
  EXPECT_EQ(send("close pop"), kOk);
  EXPECT_EQ(sound_log(), (Log{"seek pop to end", "play pop", "seek pop to start", "stop pop", "close pop"}));
  EXPECT_EQ(send("play pop from 0"), kErrUnknownAlias) << "closed aliases are gone";
}

TEST_F(Headless, AliasesAreIndependentAndCaseBlind) {
  ASSERT_EQ(send("open " + wave("a.wav", 30) + " type waveaudio alias Click"), kOk);
  ASSERT_EQ(send("open " + wave("b.wav", 30) + " type waveaudio alias pop"), kOk);
  EXPECT_EQ(send("play CLICK from 0"), kOk);
  EXPECT_EQ(send("play pop from 0"), kOk);
  EXPECT_EQ(send("play click from 0"), kOk);
  EXPECT_EQ(sound_log(), (Log{"play click", "play pop", "play click"}));
  EXPECT_EQ(send("open " + wave("c.wav", 30) + " type waveaudio alias pop"), kErrDuplicateAlias);
}

TEST_F(Headless, CommandsToAnUnknownAliasFailAndReachNoDevice) {
  for (const char* s : {"play ghost from 0", "play ghost from 0 wait", "stop ghost", "close ghost",
                        "seek ghost to start", "set ghost time format tms"})
    EXPECT_EQ(send(s), kErrUnknownAlias) << s;
  EXPECT_TRUE(sound_log().empty());
}

TEST_F(Headless, MissingAndDamagedFilesAreRefusedDistinctly) {
  EXPECT_EQ(send("open " + (dir.path / "absent.wav").string() + " type waveaudio alias a"), kErrFileNotFound);
  std::vector<std::uint8_t> broken = make_wave(30);
  broken.resize(30);
  EXPECT_EQ(send("open " + dir.write("broken.wav", broken) + " type waveaudio alias b"), kErrBadFile);
  EXPECT_EQ(send("open " + dir.write("text.wav", {'h', 'e', 'l', 'l', 'o'}) + " type waveaudio alias c"), kErrBadFile);
  EXPECT_EQ(send("open " + dir.path.string() + " type waveaudio alias d"), kErrFileNotFound) << "a folder";
  EXPECT_EQ(send("open " + wave("ok.wav", 30) + " type sequencer alias e"), kErrNoSuchDevice);
  // None of them left an alias behind.
  for (const char* a : {"a", "b", "c", "d", "e"}) EXPECT_EQ(send(std::string("stop ") + a), kErrUnknownAlias) << a;
}

TEST_F(Headless, PositionsAndTimeFormatsAreChecked) {
  ASSERT_EQ(send("open " + wave("s.wav", 100) + " type waveaudio alias s"), kOk);
  EXPECT_EQ(send("set s time format milliseconds"), kOk);
  EXPECT_EQ(send("set s time format frames"), kErrBadTimeFormat);
  EXPECT_EQ(send("seek s to 100"), kOk);
  EXPECT_EQ(send("seek s to 101"), kErrOutOfRange);
  EXPECT_EQ(send("play s from 101"), kErrOutOfRange);
  EXPECT_EQ(send("play s from 50 to 40"), kErrOutOfRange);
  EXPECT_EQ(sound_log(), (Log{"seek s to 100"}));
}

TEST_F(Headless, AWaitingPlayTakesTheSoundsLength) {
  ASSERT_EQ(send("open " + wave("score.wav", 400) + " type waveaudio alias score"), kOk);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(send("play score from 0 wait"), kOk);
  auto waited = std::chrono::steady_clock::now() - t0;
  EXPECT_GE(waited, std::chrono::milliseconds(400));
  // A play without wait returns without waiting for the sound (it has a whole second of slack).
  ASSERT_EQ(send("open " + wave("long.wav", 1500) + " type waveaudio alias long"), kOk);
  t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(send("play long from 0"), kOk);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500));
  EXPECT_EQ(sound_log(), (Log{"play score wait", "play long"}));
}

TEST_F(Headless, ShutdownClosesEveryAlias) {
  ASSERT_EQ(send("open " + wave("x.wav", 30) + " type waveaudio alias x"), kOk);
  ASSERT_EQ(send("open " + wave("y.wav", 30) + " type waveaudio alias y"), kOk);
  plat::sound::shutdown();
  EXPECT_EQ(sound_log(), (Log{"close x", "close y"}));
  EXPECT_EQ(send("play x from 0"), kErrUnknownAlias);
  // Shut down, the interpreter takes new commands again.
  EXPECT_EQ(send("open " + wave("z.wav", 30) + " type waveaudio alias x"), kOk);
}

TEST_F(Headless, BeepsAreCounted) {
  plat::beep(1000, 100);
  plat::beep(440, 10);
  EXPECT_EQ(plat::headless::beep_count(), 2);
  plat::headless::clear_sound_log();
  EXPECT_EQ(plat::headless::beep_count(), 0);
}

// ---- Through the mci_ module -------------------------------------------------------------

TEST_F(Headless, TheGamesWaveOperationsWork) {
  const std::string file = wave("pop.wav", 40);
  EXPECT_EQ(mci_OpenWave(file.c_str(), "pop"), 1);
  EXPECT_EQ(mci_PlayWave("pop"), 1);
  EXPECT_EQ(mci_PlayWaveWait("pop"), 1);
  EXPECT_EQ(mci_StopWave("pop"), 1);
  EXPECT_EQ(mci_CloseWave("pop"), 1);
  EXPECT_EQ(mci_LastError, 0u);
  EXPECT_EQ(sound_log(), (Log{"play pop", "play pop wait", "stop pop", "close pop"}));
}

TEST_F(Headless, AWaveThatFailedToOpenStaysSilent) {
  EXPECT_EQ(mci_OpenWave("no-such-file.wav", "intro"), 0);
  EXPECT_EQ(mci_LastError, std::uint32_t(kErrFileNotFound));
  EXPECT_EQ(mci_PlayWave("intro"), 0);
  EXPECT_EQ(mci_LastError, std::uint32_t(kErrUnknownAlias));
  EXPECT_TRUE(sound_log().empty());
}

TEST_F(Headless, EveryCdOperationFailsAtItsFirstCommand) {
  EXPECT_EQ(mci_PlayCD(), 0);
  EXPECT_EQ(mci_LastError, std::uint32_t(kErrNoSuchDevice));
  EXPECT_EQ(mci_PlayCDTrack(3), 0);
  EXPECT_EQ(mci_PlayCDFromTrack(2), 0);
  EXPECT_EQ(mci_StopCD(), 0);
  EXPECT_EQ(mci_LastError, std::uint32_t(kErrNoSuchDevice));
  EXPECT_TRUE(sound_log().empty());
  // The CD drive's name was never opened, so a direct CD command finds nothing either.
  EXPECT_EQ(send("play cdaudio"), kErrUnknownAlias);
}

}  // namespace
