// The mci_ module's command strings, answers and stop-at-first-failure rule, against a
// scripted interpreter that records every command it receives.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "mci/MCI.h"
#include "platform/platform.h"

static std::string g_sent;                   // every command, each followed by '|'
static std::deque<std::uint32_t> g_answers;  // answered in turn; 0 once empty

// The interpreter the module talks to, replaced for this test.
std::uint32_t plat::mci_send_string(const char* command) {
  g_sent += std::string(command) + '|';
  const std::uint32_t a = g_answers.empty() ? 0 : g_answers.front();
  if (!g_answers.empty()) g_answers.pop_front();
  return a;
}

namespace {

TEST(Mci, EachOperationSendsItsCommandStringsAndStopsAtTheFirstFailure) {
  mci_LastError = 12345;
  EXPECT_EQ(mci_OpenWave("higscore.wav", "highscore") + mci_CloseWave("pop") +
                mci_PlayWave("click") + mci_PlayWaveWait("score") + mci_StopWave("pop") +
                mci_ExecStr("seek pop to end") + mci_PlayCD() + mci_PlayCDTrack(7) +
                mci_PlayCDFromTrack(2) + mci_StopCD(),
            10);
  EXPECT_EQ(g_sent,
            "open higscore.wav type waveaudio alias highscore|close pop|"
            "play click from 0|play score from 0 wait|stop pop|seek pop to end|"
            "open cdaudio|play cdaudio|close cdaudio|"
            "open cdaudio|set cdaudio time format track|play cdaudio from 7 to 7|"
            "close cdaudio|"
            "open cdaudio|set cdaudio time format track|play cdaudio from 2|close cdaudio|"
            "open cdaudio|stop cdaudio|close cdaudio|");
  EXPECT_EQ(mci_LastError, 0u);

  // The third command fails: the sequence ends there and its answer is kept, until the next.
  g_sent.clear(), g_answers = {0, 0, 265};
  EXPECT_EQ(mci_PlayCDTrack(4), 0);
  EXPECT_EQ(g_sent, "open cdaudio|set cdaudio time format track|play cdaudio from 4 to 4|");
  EXPECT_EQ(mci_LastError, 265u);
  EXPECT_EQ(mci_PlayWave("ghost"), 1);
  EXPECT_EQ(mci_LastError, 0u);

  // A name too long for the module's 255-byte command buffer is cut, not overrun.
  g_sent.clear();
  mci_OpenWave(std::string(400, 'n').c_str(), "a");
  EXPECT_EQ(g_sent, "open " + std::string(249, 'n') + '|');
}

}  // namespace
