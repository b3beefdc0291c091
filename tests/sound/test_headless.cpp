// The wave parser (well-formed, cut and damaged files; random ones are the fuzz target's),
// and the interpreter over the headless device as the game reaches it through
// plat::mci_send_string and the mci_ module:
// each command, malformed ones, unknown aliases, bad files, the CD failing, waiting plays.
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

bool parses(const std::vector<std::uint8_t>& b, WaveInfo* info = nullptr) {
  return parse_wave(b.data(), b.size(), info);
}

TEST(Wave, WellFormedPcmGivesItsFormatAndLengthPastUnknownAndOddChunks) {
  WaveInfo info;
  ASSERT_TRUE(parses(make_wave(100, 22050, 2, 8), &info));
  EXPECT_EQ(std::tuple(info.channels, info.sample_rate, info.bits, info.length_ms()),
            std::tuple(2, 22050, 8, 100u));
  std::vector<std::uint8_t> b = make_wave(250);
  const std::uint8_t list[] = {'L', 'I', 'S', 'T', 3,   0,
                               0,   0,   'a', 'b', 'c', 0};  // odd length, padded
  b.insert(b.begin() + 36, std::begin(list), std::end(list));
  ASSERT_TRUE(parses(b, &info));
  EXPECT_EQ(std::tuple(info.channels, info.bits, info.data_offset, info.frames, info.length_ms()),
            std::tuple(1, 16, 56u, 2000u, 250u));
}

TEST(Wave, CutOrDamagedFilesAreRefusedWithAReason) {
  const std::vector<std::uint8_t> whole = make_wave(20);
  for (std::size_t n = 0; n < whole.size();
       ++n)  // exactly n bytes: the address sanitizer sees any overread
    EXPECT_FALSE(parses(std::vector<std::uint8_t>(whole.begin(), whole.begin() + n)))
        << "cut to " << n;
  const std::tuple<const char*, std::size_t, std::vector<std::uint8_t>> damages[] = {
      {"not WAVE", 8, {'A'}},
      {"compressed", 20, {2}},
      {"three channels", 22, {3}},
      {"12-bit", 34, {12}},
      {"zero rate", 24, {0, 0}},
      {"bad alignment", 32, {4}},
      {"format too short", 16, {8}},
      {"huge data chunk", 42, {0xFF, 0x7F}},
      {"huge format chunk", 19, {0xFF}},
      {"no data chunk", 39, {'x'}},
      {"data before format", 12, {'d', 'a', 't', 'a', 2, 0, 0, 0}}};
  for (const auto& [what, offset, bytes] : damages) {
    std::vector<std::uint8_t> b = make_wave(20);
    std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(offset));
    std::string why;
    EXPECT_FALSE(parse_wave(b.data(), b.size(), nullptr, &why) || why.empty()) << what;
  }
}

class Headless : public ::testing::Test {
 protected:
  void SetUp() override { plat::sound::shutdown(), plat::headless::clear_sound_log(); }
  std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }
  // Opens a tone of `ms` under `alias`; the file name has a space, so it is quoted.
  std::uint32_t open(const std::string& alias, std::uint32_t ms) {
    return send("open \"" + dir.write(alias + " tone.wav", make_wave(ms)) +
                "\" type waveaudio alias " + alias);
  }
  TempDir dir;
};

TEST_F(Headless, EachCommandReachesTheDeviceOfItsAliasWhateverItsCaseUntilClosed) {
  ASSERT_EQ(open("Pop", 60) + open("click", 30) + open("x", 30), ANSWER_OK);
  EXPECT_TRUE(sound_log().empty()) << "opening plays nothing";
  for (const char* s : {"set pop time format tms", "SEEK pop TO END", "play POP from 0",
                        "play click from 0", "seek pop to start", "stop pop", "close pop"})
    EXPECT_EQ(send(s), ANSWER_OK) << s;
  EXPECT_EQ(send("play pop from 0"), ERR_UNKNOWN_ALIAS) << "a closed alias is gone";
  EXPECT_EQ(open("CLICK", 30), ERR_DUPLICATE_ALIAS);
  plat::sound::shutdown();
  EXPECT_EQ(sound_log(), (Log{"seek pop to end", "play pop", "play click", "seek pop to start",
                              "stop pop", "close pop", "close click", "close x"}));
  EXPECT_EQ(send("play x from 0"), ERR_UNKNOWN_ALIAS);
  EXPECT_EQ(open("x", 30), ANSWER_OK) << "after a shutdown the next sound opens again";
}

TEST_F(Headless,
       MalformedCommandsUnknownAliasesBadFilesAndPositionsGetTheirOwnAnswersAndReachNoDevice) {
  ASSERT_EQ(open("s", 100), ANSWER_OK);
  std::vector<std::uint8_t> cut = make_wave(30);
  cut.resize(30);
  const std::string at = " type waveaudio alias ";
  const std::pair<std::string, std::uint32_t> cases[] = {
      {"", ERR_UNKNOWN_COMMAND},
      {"dance s", ERR_UNKNOWN_COMMAND},
      {"play", ERR_MISSING_PARAMETER},
      {"open a.wav alias", ERR_MISSING_PARAMETER},
      {"seek s to", ERR_MISSING_PARAMETER},
      {"set s time", ERR_MISSING_PARAMETER},
      {"stop s now", ERR_UNKNOWN_KEYWORD},
      {"open a.wav colour red", ERR_UNKNOWN_KEYWORD},
      {"play s from -1", ERR_OUT_OF_RANGE},
      {"play s from 4294967296", ERR_OUT_OF_RANGE},
      {"seek s to middle", ERR_OUT_OF_RANGE},
      {"play ghost from 0 wait", ERR_UNKNOWN_ALIAS},
      {"stop ghost", ERR_UNKNOWN_ALIAS},
      {"close ghost", ERR_UNKNOWN_ALIAS},
      {"seek ghost to start", ERR_UNKNOWN_ALIAS},
      {"set ghost time format tms", ERR_UNKNOWN_ALIAS},
      {"set s time format milliseconds", ANSWER_OK},
      {"set s time format frames", ERR_BAD_TIME_FORMAT},
      {"seek s to 100", ANSWER_OK},
      {"seek s to 101", ERR_OUT_OF_RANGE},
      {"play s from 101", ERR_OUT_OF_RANGE},
      {"play s from 50 to 40", ERR_OUT_OF_RANGE},
      {"open " + (dir.path / "absent.wav").string() + at + "a", ERR_FILE_NOT_FOUND},
      {"open " + dir.write("cut.wav", cut) + at + "b", ERR_BAD_FILE},
      {"open " + dir.path.string() + at + "c", ERR_FILE_NOT_FOUND},
      {"open " + dir.write("ok.wav", make_wave(30)) + " type sequencer alias d",
       ERR_NO_SUCH_DEVICE},
      {"stop a", ERR_UNKNOWN_ALIAS},
      {"stop b", ERR_UNKNOWN_ALIAS},
      {"stop c", ERR_UNKNOWN_ALIAS},
      {"stop d", ERR_UNKNOWN_ALIAS}};
  for (const auto& [s, answer] : cases) EXPECT_EQ(send(s), answer) << '"' << s << '"';
  EXPECT_EQ(sound_log(), (Log{"seek s to 100"}));
}

TEST_F(Headless, AWaitingPlayTakesTheSoundsLength) {
  ASSERT_EQ(open("score", 400) + open("long", 1500), ANSWER_OK);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(send("play score from 0 wait"), ANSWER_OK);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(400));
  EXPECT_EQ(send("play long from 0"), ANSWER_OK);  // returns at once: the log shows no wait
  EXPECT_EQ(sound_log(), (Log{"play score wait", "play long"}));
}

// The module's CD operations against the real interpreter (its strings are test_mci's): had one
// gone on past its open, the answer kept would be an unknown alias's.
TEST_F(Headless, TheModulesCdOperationsFailAtTheFirstCommand) {
  for (int (*op)() : {mci_PlayCD, mci_StopCD, +[] { return mci_PlayCDTrack(3); },
                      +[] { return mci_PlayCDFromTrack(2); }}) {
    EXPECT_EQ(op(), 0);
    EXPECT_EQ(mci_LastError, std::uint32_t(ERR_NO_SUCH_DEVICE));
  }
  EXPECT_TRUE(sound_log().empty());
}

}  // namespace
