// The pure parsers under the interpreter: wave files (well-formed, damaged, random bytes)
// and command strings (every command, its keywords, and malformed ones).
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "platform/sound/interpreter.h"
#include "platform/sound/wave.h"
#include "wave_fixture.h"

using namespace plat::sound;

namespace {

bool parses(const std::vector<std::uint8_t>& b, WaveInfo* info = nullptr) {
  return parse_wave(b.data(), b.size(), info);
}

TEST(Wave, WellFormedPcmGivesItsFormatAndLength) {
  WaveInfo info;
  ASSERT_TRUE(parses(make_wave(250, 8000), &info));
  EXPECT_EQ(info.channels, 1);
  EXPECT_EQ(info.sample_rate, 8000);
  EXPECT_EQ(info.bits, 16);
  EXPECT_EQ(info.frames, 2000u);
  EXPECT_EQ(info.length_ms(), 250u);
  EXPECT_EQ(info.data_offset, 44u);
  ASSERT_TRUE(parses(make_wave(100, 22050, 2, 8), &info));
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.bits, 8);
  EXPECT_EQ(info.length_ms(), 100u);
}

TEST(Wave, UnknownChunksAreSkippedAndOddChunksPadded) {
  std::vector<std::uint8_t> b = make_wave(50);
  // Insert a 3-byte "LIST" chunk (padded to 4) between the format and data chunks.
  std::vector<std::uint8_t> extra{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  b.insert(b.begin() + 36, extra.begin(), extra.end());
  WaveInfo info;
  ASSERT_TRUE(parses(b, &info));
  EXPECT_EQ(info.data_offset, 56u);
  EXPECT_EQ(info.length_ms(), 50u);
}

TEST(Wave, EveryTruncationIsRejectedWithoutReadingPastTheEnd) {
  const std::vector<std::uint8_t> whole = make_wave(20);
  for (std::size_t n = 0; n < whole.size(); ++n) {
    // A copy of exactly n bytes, so a read past it is caught by the address sanitizer.
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + n);
    EXPECT_FALSE(parses(cut)) << "accepted a file cut to " << n << " bytes";
  }
}

TEST(Wave, DamagedHeadersAreRejected) {
  struct Damage {
    const char* what;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  const Damage damages[] = {
      {"not RIFF", 0, {'R', 'I', 'F', 'X'}},         {"not WAVE", 8, {'A', 'V', 'I', ' '}},
      {"compressed", 20, {2, 0}},                     {"no channels", 22, {0, 0}},
      {"three channels", 22, {3, 0}},                 {"12-bit", 34, {12, 0}},
      {"zero rate", 24, {0, 0, 0, 0}},                {"bad alignment", 32, {4, 0}},
      {"format too short", 16, {8, 0, 0, 0}},         {"huge data chunk", 40, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"huge format chunk", 16, {0xF0, 0xFF, 0xFF, 0xFF}}, {"data renamed", 36, {'d', 'a', 't', 'x'}},
  };
  for (const Damage& d : damages) {
    std::vector<std::uint8_t> b = make_wave(20);
    std::copy(d.bytes.begin(), d.bytes.end(), b.begin() + std::ptrdiff_t(d.offset));
    std::string why;
    EXPECT_FALSE(parse_wave(b.data(), b.size(), nullptr, &why)) << d.what;
    EXPECT_FALSE(why.empty()) << d.what;
  }
}

TEST(Wave, DataBeforeFormatIsRejected) {
  std::vector<std::uint8_t> b{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 2, 0, 0, 0, 0, 0};
  EXPECT_FALSE(parses(b));
}

TEST(Wave, RandomDamageNeverCrashes) {
  const unsigned seed = std::random_device{}();
  std::printf("RandomDamageNeverCrashes seed %u\n", seed);
  std::mt19937 rng(seed);
  const std::vector<std::uint8_t> whole = make_wave(30);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint8_t> b = whole;
    for (int k = 1 + int(rng() % 4); k > 0; --k) b[rng() % 48] = std::uint8_t(rng());
    b.resize(rng() % (b.size() + 1));
    WaveInfo info;
    if (parses(b, &info)) {  // whatever is accepted must describe bytes that are there
      ASSERT_LE(info.data_offset + info.frames * info.channels * info.bits / 8, b.size()) << "seed " << seed;
      ASSERT_GE(info.channels, 1);
    }
  }
}

// ---- Commands ---------------------------------------------------------------------------

TEST(Command, WellFormedCommandsParse) {
  Command c;
  ASSERT_EQ(parse_command("open higscore.wav type waveaudio alias highscore", &c), kOk);
  EXPECT_EQ(c.verb, "open");
  EXPECT_EQ(c.target, "higscore.wav");
  EXPECT_EQ(c.type, "waveaudio");
  EXPECT_EQ(c.alias, "highscore");

  ASSERT_EQ(parse_command("PLAY pop FROM 0 WAIT", &c), kOk);
  EXPECT_EQ(c.verb, "play");
  EXPECT_TRUE(c.has_from);
  EXPECT_EQ(c.from, 0u);
  EXPECT_TRUE(c.wait);
  EXPECT_FALSE(c.has_to);

  ASSERT_EQ(parse_command("  play   pop from 10 to 20  ", &c), kOk);
  EXPECT_EQ(c.to, 20u);
  EXPECT_FALSE(c.wait);

  ASSERT_EQ(parse_command("seek pop to end", &c), kOk);
  EXPECT_EQ(c.seek, Command::kEnd);
  ASSERT_EQ(parse_command("seek pop to start", &c), kOk);
  EXPECT_EQ(c.seek, Command::kStart);
  ASSERT_EQ(parse_command("set pop time format tms", &c), kOk);
  EXPECT_EQ(c.time_format, "tms");
  ASSERT_EQ(parse_command("open \"my file.wav\" alias x", &c), kOk);
  EXPECT_EQ(c.target, "my file.wav");
  for (const char* s : {"stop pop", "close pop", "close all", "open cdaudio", "play cdaudio from 3 to 3"})
    EXPECT_EQ(parse_command(s, &c), kOk) << s;
}

TEST(Command, MalformedCommandsGetTheirOwnAnswers) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"", kErrUnknownCommand},
      {"   ", kErrUnknownCommand},
      {"dance pop", kErrUnknownCommand},
      {"play", kErrMissingParameter},
      {"open", kErrMissingParameter},
      {"open a.wav alias", kErrMissingParameter},
      {"open a.wav type", kErrMissingParameter},
      {"play pop from", kErrMissingParameter},
      {"seek pop", kErrMissingParameter},
      {"seek pop to", kErrMissingParameter},
      {"set pop time", kErrMissingParameter},
      {"set pop", kErrMissingParameter},
      {"play pop loudly", kErrUnknownKeyword},
      {"stop pop now", kErrUnknownKeyword},
      {"open a.wav colour red", kErrUnknownKeyword},
      {"play pop from -1", kErrOutOfRange},
      {"play pop from 4294967296", kErrOutOfRange},
      {"play pop to x", kErrOutOfRange},
      {"seek pop to middle", kErrOutOfRange},
  };
  for (auto [text, answer] : cases) {
    Command c;
    EXPECT_EQ(parse_command(text, &c), answer) << '"' << text << '"';
  }
}

TEST(Command, RandomBytesNeverCrashTheParser) {
  const unsigned seed = std::random_device{}();
  std::printf("RandomBytesNeverCrashTheParser seed %u\n", seed);
  std::mt19937 rng(seed);
  const char alphabet[] = "openplaystopseekclosetimeformatfromtowaitaliasall 0123456789\"\t";
  for (int round = 0; round < 20000; ++round) {
    std::string s(rng() % 40, ' ');
    for (char& ch : s) ch = (rng() % 8) ? alphabet[rng() % (sizeof alphabet - 1)] : char(rng());
    Command c;
    const std::uint32_t answer = parse_command(s, &c);
    ASSERT_TRUE(answer == kOk || answer == kErrUnknownCommand || answer == kErrMissingParameter ||
                answer == kErrUnknownKeyword || answer == kErrOutOfRange)
        << "seed " << seed << " answer " << answer;
  }
}

}  // namespace
