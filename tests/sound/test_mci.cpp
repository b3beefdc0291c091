// The mci_ module's command strings, answers and stop-at-first-failure rule, against a
// scripted interpreter that records every command it receives.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
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

TEST(Mci, EachOperationSendsItsCommandsAndSucceedsWhenAllDo) {
  g_sent.clear(), mci_LastError = 12345;
  const std::string long_name(400, 'n');
  const std::pair<std::function<int()>, Sent> cases[] = {
      {[] { return mci_OpenWave("higscore.wav", "highscore"); }, {"open higscore.wav type waveaudio alias highscore"}},
      {[] { return mci_CloseWave("pop"); }, {"close pop"}},
      {[] { return mci_PlayWave("click"); }, {"play click from 0"}},
      {[] { return mci_PlayWaveWait("score"); }, {"play score from 0 wait"}},
      {[] { return mci_StopWave("pop"); }, {"stop pop"}},
      {[] { return mci_ExecStr("seek pop to end"); }, {"seek pop to end"}},
      {[] { return mci_PlayCD(); }, {"open cdaudio", "play cdaudio", "close cdaudio"}},
      {[] { return mci_PlayCDTrack(7); }, {"open cdaudio", "set cdaudio time format track", "play cdaudio from 7 to 7", "close cdaudio"}},
      {[] { return mci_PlayCDFromTrack(2); }, {"open cdaudio", "set cdaudio time format track", "play cdaudio from 2", "close cdaudio"}},
      {[] { return mci_StopCD(); }, {"open cdaudio", "stop cdaudio", "close cdaudio"}},
      {[] { return mci_PlayCDTrack(-1); }, {"open cdaudio", "set cdaudio time format track", "play cdaudio from 4294967295 to 4294967295", "close cdaudio"}},
      // Names too long for the module's 255-byte command buffer are cut, not overrun.
      {[&] { return mci_OpenWave(long_name.c_str(), "a"); }, {"open " + std::string(249, 'n')}}};
  for (const auto& [call, expected] : cases) {
    g_sent.clear();
    EXPECT_EQ(call(), 1) << expected[0];
    EXPECT_EQ(g_sent, expected);
    EXPECT_EQ(mci_LastError, 0u);
  }
}

TEST(Mci, TheFirstFailureEndsTheSequenceAndItsAnswerIsKept) {
  const std::tuple<std::function<int()>, std::deque<std::uint32_t>, std::size_t> cases[] = {
      {[] { return mci_PlayWave("ghost"); }, {263}, 1}, {[] { return mci_PlayCD(); }, {266}, 1},
      {[] { return mci_PlayCDTrack(4); }, {0, 0, 265}, 3}, {[] { return mci_PlayCDFromTrack(1); }, {0, 0, 0, 9}, 4},
      {[] { return mci_StopCD(); }, {0, 7}, 2}};
  int n = 0;
  for (const auto& [call, answers, sent] : cases) {
    SCOPED_TRACE("case " + std::to_string(n++));
    g_sent.clear(), g_answers = answers;
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(g_sent.size(), sent);
    EXPECT_EQ(mci_LastError, answers.back());
  }
  EXPECT_EQ(mci_PlayWave("ghost"), 1);  // the next answer overwrites the last error
  EXPECT_EQ(mci_LastError, 0u);
}

}  // namespace
