// The mci_ module's command strings, answers and stop-at-first-failure rule, against a
// scripted interpreter that records every command it receives.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "mci/MCI.h"
#include "platform/platform.h"

using Sent = std::vector<std::string>;
static Sent g_sent;
static std::deque<std::uint32_t> g_answers;  // answered in turn; 0 once empty

// The interpreter the module talks to, replaced for this test.
std::uint32_t plat::mci_send_string(const char* command) {
  g_sent.emplace_back(command);
  const std::uint32_t a = g_answers.empty() ? 0 : g_answers.front();
  if (!g_answers.empty()) g_answers.pop_front();
  return a;
}

namespace {

std::string joined() {  // every command sent, each followed by '|'
  std::string all;
  for (const std::string& s : g_sent) all += s + '|';
  return all;
}

TEST(Mci, EachOperationSendsItsCommandStrings) {
  g_sent.clear(), mci_LastError = 12345;
  EXPECT_EQ(mci_OpenWave("higscore.wav", "highscore") + mci_CloseWave("pop") +
                mci_PlayWave("click") + mci_PlayWaveWait("score") + mci_StopWave("pop") +
                mci_ExecStr("seek pop to end") + mci_PlayCD() + mci_PlayCDTrack(7) +
                mci_PlayCDFromTrack(2) + mci_StopCD() + mci_PlayCDTrack(-1),
            11);
  EXPECT_EQ(joined(),
            "open higscore.wav type waveaudio alias highscore|close pop|"
            "play click from 0|play score from 0 wait|stop pop|seek pop to end|"
            "open cdaudio|play cdaudio|close cdaudio|"
            "open cdaudio|set cdaudio time format track|play cdaudio from 7 to 7|"
            "close cdaudio|"
            "open cdaudio|set cdaudio time format track|play cdaudio from 2|close cdaudio|"
            "open cdaudio|stop cdaudio|close cdaudio|"
            "open cdaudio|set cdaudio time format track|"
            "play cdaudio from 4294967295 to 4294967295|close cdaudio|");
  EXPECT_EQ(mci_LastError, 0u);
  // A name too long for the module's 255-byte command buffer is cut, not overrun.
  g_sent.clear();
  mci_OpenWave(std::string(400, 'n').c_str(), "a");
  EXPECT_EQ(g_sent, Sent{"open " + std::string(249, 'n')});
}

TEST(Mci, TheFirstFailureEndsTheSequenceAndItsAnswerIsKept) {
  const std::pair<std::deque<std::uint32_t>, int (*)()> cases[] = {
      // the answers up to the failure
      {{263}, +[] { return mci_PlayWave("ghost"); }},
      {{266}, mci_PlayCD},
      {{0, 0, 265}, +[] { return mci_PlayCDTrack(4); }},
      {{0, 0, 0, 9}, +[] { return mci_PlayCDFromTrack(1); }},
      {{0, 7}, mci_StopCD}};
  for (const auto& [answers, op] : cases) {
    g_sent.clear(), g_answers = answers;
    EXPECT_EQ(op(), 0);
    EXPECT_EQ(g_sent.size(), answers.size())
        << "went on past the failure: " << testing::PrintToString(g_sent);
    EXPECT_EQ(mci_LastError, answers.back());
  }
  EXPECT_EQ(mci_PlayWave("ghost"), 1);  // the next answer overwrites the error
  EXPECT_EQ(mci_LastError, 0u);
}

}  // namespace
