// The interpreter over the headless device, as the game reaches it through plat::mci_send_string
// and the mci_ module: each command, unknown aliases, bad files and positions, the CD failing
// at once, and waiting plays.
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
  void SetUp() override { plat::sound::shutdown(), plat::headless::clear_sound_log(); }
  std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }
  // Opens a tone of `ms` under `alias`; the file name has a space, so it is quoted.
  std::uint32_t open(const std::string& alias, std::uint32_t ms) {
    return send("open \"" + dir.write(alias + " tone.wav", make_wave(ms)) + "\" type waveaudio alias " + alias);
  }
  TempDir dir;
};

TEST_F(Headless, EachCommandReachesTheDeviceOfItsAliasWhateverItsCase) {
  ASSERT_EQ(open("Pop", 60), kOk);
  ASSERT_EQ(open("click", 30), kOk);
  EXPECT_TRUE(sound_log().empty()) << "opening plays nothing";
  for (const char* s : {"set pop time format tms", "SEEK pop TO END", "play POP from 0", "play click from 0", "seek pop to start",
                        "stop pop", "close pop"})
    EXPECT_EQ(send(s), kOk) << s;
  EXPECT_EQ(sound_log(), (Log{"seek pop to end", "play pop", "play click", "seek pop to start", "stop pop", "close pop"}));
  EXPECT_EQ(send("play pop from 0"), kErrUnknownAlias) << "a closed alias is gone";
  EXPECT_EQ(open("CLICK", 30), kErrDuplicateAlias);
}

TEST_F(Headless, UnknownAliasesBadFilesAndBadPositionsAreRefusedAndReachNoDevice) {
  for (const char* s : {"play ghost from 0 wait", "stop ghost", "close ghost", "seek ghost to start", "set ghost time format tms"})
    EXPECT_EQ(send(s), kErrUnknownAlias) << s;
  std::vector<std::uint8_t> cut = make_wave(30);
  cut.resize(30);
  const std::pair<std::string, std::uint32_t> opens[] = {
      {(dir.path / "absent.wav").string() + " type waveaudio alias a", kErrFileNotFound},
      {dir.write("cut.wav", cut) + " type waveaudio alias b", kErrBadFile},
      {dir.path.string() + " type waveaudio alias c", kErrFileNotFound},  // a folder
      {dir.write("ok.wav", make_wave(30)) + " type sequencer alias d", kErrNoSuchDevice}};
  for (const auto& [args, answer] : opens) {
    EXPECT_EQ(send("open " + args), answer) << args;
    EXPECT_EQ(send("stop " + args.substr(args.size() - 1)), kErrUnknownAlias) << "an alias was left behind";
  }
  ASSERT_EQ(open("s", 100), kOk);
  const std::pair<const char*, std::uint32_t> checks[] = {
      {"set s time format milliseconds", kOk}, {"set s time format frames", kErrBadTimeFormat}, {"seek s to 100", kOk},
      {"seek s to 101", kErrOutOfRange}, {"play s from 101", kErrOutOfRange}, {"play s from 50 to 40", kErrOutOfRange}};
  for (auto [s, answer] : checks) EXPECT_EQ(send(s), answer) << s;
  EXPECT_EQ(sound_log(), (Log{"seek s to 100"}));
}

TEST_F(Headless, AWaitingPlayTakesTheSoundsLengthAndAPlainOneReturnsAtOnce) {
  ASSERT_EQ(open("score", 400), kOk);
  ASSERT_EQ(open("long", 1500), kOk);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(send("play score from 0 wait"), kOk);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(400));
  t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(send("play long from 0"), kOk);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500));  // a whole second of slack
  EXPECT_EQ(sound_log(), (Log{"play score wait", "play long"}));
}

TEST_F(Headless, ShutdownClosesEveryAliasAndLaterCommandsWorkAgain) {
  ASSERT_EQ(open("x", 30), kOk);
  ASSERT_EQ(open("y", 30), kOk);
  plat::sound::shutdown();
  EXPECT_EQ(sound_log(), (Log{"close x", "close y"}));
  EXPECT_EQ(send("play x from 0"), kErrUnknownAlias);
  EXPECT_EQ(open("x", 30), kOk);
}

TEST_F(Headless, TheModulesWaveOperationsPlayAndItsCdOperationsFailAtTheFirstCommand) {
  const std::string file = dir.write("pop.wav", make_wave(40));
  EXPECT_EQ(mci_OpenWave(file.c_str(), "pop") + mci_PlayWave("pop") + mci_PlayWaveWait("pop") + mci_StopWave("pop") + mci_CloseWave("pop"), 5);
  EXPECT_EQ(sound_log(), (Log{"play pop", "play pop wait", "stop pop", "close pop"}));
  EXPECT_EQ(mci_OpenWave("no-such-file.wav", "intro"), 0);
  EXPECT_EQ(mci_LastError, std::uint32_t(kErrFileNotFound));
  EXPECT_EQ(mci_PlayWave("intro"), 0) << "a wave that failed to open stays silent";
  // Had a CD operation gone on past its open, the answer kept would be an unknown alias's.
  for (int (*op)() : {mci_PlayCD, mci_StopCD, +[] { return mci_PlayCDTrack(3); }, +[] { return mci_PlayCDFromTrack(2); }}) {
    EXPECT_EQ(op(), 0);
    EXPECT_EQ(mci_LastError, std::uint32_t(kErrNoSuchDevice));
  }
  EXPECT_EQ(sound_log().size(), 4u);
}

}  // namespace
