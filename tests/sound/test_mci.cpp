// The mci_ module's command strings, answers and stop-at-first-failure rule, against a
// scripted interpreter that records every command it receives.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "mci/MCI.h"
#include "platform/platform.h"

namespace {
std::vector<std::string> g_sent;
std::deque<std::uint32_t> g_answers;  // answered in turn; 0 once empty
}  // namespace

// The interpreter the module talks to, replaced for this test.
std::uint32_t plat::mci_send_string(const char* command) {
  g_sent.emplace_back(command);
  if (g_answers.empty()) return 0;
  std::uint32_t a = g_answers.front();
  g_answers.pop_front();
  return a;
}

namespace {

using Sent = std::vector<std::string>;

class Mci : public ::testing::Test {
 protected:
  void SetUp() override {
    g_sent.clear(), g_answers.clear();
    mci_LastError = 12345;
  }
};

TEST_F(Mci, WaveOperationsSendTheirOneCommand) {
  EXPECT_EQ(mci_OpenWave("higscore.wav", "highscore"), 1);
  EXPECT_EQ(mci_CloseWave("pop"), 1);
  EXPECT_EQ(mci_PlayWave("click"), 1);
  EXPECT_EQ(mci_PlayWaveWait("score"), 1);
  EXPECT_EQ(mci_StopWave("pop"), 1);
  EXPECT_EQ(mci_ExecStr("seek pop to end"), 1);
  EXPECT_EQ(g_sent, (Sent{"open higscore.wav type waveaudio alias highscore", "close pop", "play click from 0",
                          "play score from 0 wait", "stop pop", "seek pop to end"}));
  EXPECT_EQ(g_sent[0].size(), 48u);  // the longest command the game sends
  EXPECT_EQ(mci_LastError, 0u);
}

TEST_F(Mci, AFailedCommandReturnsZeroAndKeepsItsAnswer) {
  g_answers = {263};
  EXPECT_EQ(mci_PlayWave("ghost"), 0);
  EXPECT_EQ(mci_LastError, 263u);
  EXPECT_EQ(mci_PlayWave("ghost"), 1);  // the next answer overwrites it
  EXPECT_EQ(mci_LastError, 0u);
}

TEST_F(Mci, CdOperationsSendTheirWholeSequenceWhenAllSucceed) {
  EXPECT_EQ(mci_PlayCD(), 1);
  EXPECT_EQ(mci_PlayCDTrack(7), 1);
  EXPECT_EQ(mci_PlayCDFromTrack(2), 1);
  EXPECT_EQ(mci_StopCD(), 1);
  EXPECT_EQ(g_sent, (Sent{"open cdaudio", "play cdaudio", "close cdaudio",
                          "open cdaudio", "set cdaudio time format track", "play cdaudio from 7 to 7", "close cdaudio",
                          "open cdaudio", "set cdaudio time format track", "play cdaudio from 2", "close cdaudio",
                          "open cdaudio", "stop cdaudio", "close cdaudio"}));
}

TEST_F(Mci, CdOperationsStopAtTheFirstFailure) {
  g_answers = {266};
  EXPECT_EQ(mci_PlayCD(), 0);
  EXPECT_EQ(g_sent, (Sent{"open cdaudio"}));
  EXPECT_EQ(mci_LastError, 266u);

  g_sent.clear(), g_answers = {0, 0, 265};
  EXPECT_EQ(mci_PlayCDTrack(4), 0);
  EXPECT_EQ(g_sent, (Sent{"open cdaudio", "set cdaudio time format track", "play cdaudio from 4 to 4"}));
  EXPECT_EQ(mci_LastError, 265u);

  g_sent.clear(), g_answers = {0, 0, 0, 9};  // only the closing command fails
  EXPECT_EQ(mci_PlayCDFromTrack(1), 0);
  EXPECT_EQ(g_sent.size(), 4u);
  EXPECT_EQ(mci_LastError, 9u);

  g_sent.clear(), g_answers = {0, 7};
  EXPECT_EQ(mci_StopCD(), 0);
  EXPECT_EQ(g_sent, (Sent{"open cdaudio", "stop cdaudio"}));
}

TEST_F(Mci, TrackNumbersAreUnsigned) {
  mci_PlayCDTrack(-1);
  EXPECT_EQ(g_sent[2], "play cdaudio from 4294967295 to 4294967295");
}

TEST_F(Mci, OverlongNamesAreCutToTheCommandBuffer) {
  const std::string name(400, 'n');
  mci_OpenWave(name.c_str(), "a");
  ASSERT_EQ(g_sent.size(), 1u);
  EXPECT_EQ(g_sent[0].size(), 254u);
  EXPECT_EQ(g_sent[0].rfind("open nnn", 0), 0u);
}

}  // namespace
