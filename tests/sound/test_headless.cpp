// The sound interpreter over the headless device as the game reaches it through
// plat::mci_send_string: each command and its aliases. Waiting plays are the SDL device's test
// and the golden replay's; malformed commands and damaged files the fuzz targets'.
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/platform.h"
#include "platform/sound/interpreter.h"
#include "platform/sound/sound.h"
#include "tests/support/harness.h"
#include "tests/support/wave.h"

using namespace plat::sound;
using plat::headless::sound_log;

namespace {

std::uint32_t send(const std::string& s) { return plat::mci_send_string(s.c_str()); }
// Opens a wave of `ms` under `alias`; the file name has a space, so it is quoted.
std::uint32_t open(const std::string& alias, std::uint32_t ms) {
  return send("open \"" + proof::Write_Wave(alias + " tone.wav", ms) + "\" type waveaudio alias " +
              alias);
}

TEST(Headless, EachCommandReachesTheDeviceOfItsAliasWhateverItsCaseUntilClosed) {
  proof::Work_Dir dir("sound");
  ASSERT_EQ(open("Pop", 60) + open("click", 30) + open("x", 30), ANSWER_OK);
  EXPECT_TRUE(sound_log().empty()) << "opening plays nothing";
  for (const char* s : {"set pop time format tms", "SEEK pop TO END", "play POP from 0",
                        "play click from 0", "seek pop to start", "stop pop", "close pop"})
    EXPECT_EQ(send(s), ANSWER_OK) << s;
  EXPECT_EQ(send("play pop from 0"), ERR_UNKNOWN_ALIAS) << "a closed alias is gone";
  EXPECT_EQ(open("CLICK", 30), ERR_DUPLICATE_ALIAS);
  plat::sound::shutdown();
  EXPECT_EQ(sound_log(), (std::vector<std::string>{"seek pop to end", "play pop", "play click",
                                                   "seek pop to start", "stop pop", "close pop",
                                                   "close click", "close x"}));
  EXPECT_EQ(send("play x from 0"), ERR_UNKNOWN_ALIAS);
  EXPECT_EQ(open("x", 30), ANSWER_OK) << "after a shutdown the next sound opens again";
}

}  // namespace
