// The pure parsers under the interpreter: wave files (well-formed, cut, damaged, random bytes)
// and command strings (malformed ones, random text); well-formed commands are exercised
// through the interpreter itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "platform/sound/interpreter.h"
#include "platform/sound/wave.h"
#include "wave_fixture.h"

using namespace plat::sound;

namespace {

bool parses(const std::vector<std::uint8_t>& b, WaveInfo* info = nullptr) { return parse_wave(b.data(), b.size(), info); }

TEST(Wave, WellFormedPcmGivesItsFormatAndLengthPastUnknownAndOddChunks) {
  WaveInfo info;
  ASSERT_TRUE(parses(make_wave(100, 22050, 2, 8), &info));
  EXPECT_EQ(std::tuple(info.channels, info.sample_rate, info.bits, info.length_ms()), std::tuple(2, 22050, 8, 100u));
  std::vector<std::uint8_t> b = make_wave(250);
  const std::uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};  // odd length, padded
  b.insert(b.begin() + 36, std::begin(list), std::end(list));
  ASSERT_TRUE(parses(b, &info));
  EXPECT_EQ(std::tuple(info.channels, info.bits, info.data_offset, info.frames, info.length_ms()), std::tuple(1, 16, 56u, 2000u, 250u));
}

TEST(Wave, CutOrDamagedFilesAreRefusedWithAReason) {
  const std::vector<std::uint8_t> whole = make_wave(20);
  for (std::size_t n = 0; n < whole.size(); ++n)  // exactly n bytes: the address sanitizer sees any overread
    EXPECT_FALSE(parses(std::vector<std::uint8_t>(whole.begin(), whole.begin() + n))) << "cut to " << n;
  const std::tuple<const char*, std::size_t, std::vector<std::uint8_t>> damages[] = {
      {"not WAVE", 8, {'A', 'V', 'I', ' '}}, {"compressed", 20, {2, 0}}, {"three channels", 22, {3, 0}},
      {"12-bit", 34, {12, 0}}, {"zero rate", 24, {0, 0, 0, 0}}, {"bad alignment", 32, {4, 0}},
      {"format too short", 16, {8, 0, 0, 0}}, {"huge data chunk", 40, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"huge format chunk", 16, {0xF0, 0xFF, 0xFF, 0xFF}}, {"no data chunk", 36, {'d', 'a', 't', 'x'}},
      {"data before format", 12, {'d', 'a', 't', 'a', 2, 0, 0, 0}}};
  for (const auto& [what, offset, bytes] : damages) {
    std::vector<std::uint8_t> b = make_wave(20);
    std::copy(bytes.begin(), bytes.end(), b.begin() + std::ptrdiff_t(offset));
    std::string why;
    EXPECT_FALSE(parse_wave(b.data(), b.size(), nullptr, &why) || why.empty()) << what;
  }
}

TEST(Command, MalformedCommandsGetTheirOwnAnswers) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"", kErrUnknownCommand}, {"   ", kErrUnknownCommand}, {"dance pop", kErrUnknownCommand},
      {"play", kErrMissingParameter}, {"open a.wav alias", kErrMissingParameter}, {"play pop from", kErrMissingParameter},
      {"seek pop", kErrMissingParameter}, {"seek pop to", kErrMissingParameter}, {"set pop time", kErrMissingParameter},
      {"play pop loudly", kErrUnknownKeyword}, {"stop pop now", kErrUnknownKeyword}, {"open a.wav colour red", kErrUnknownKeyword},
      {"play pop from -1", kErrOutOfRange}, {"play pop from 4294967296", kErrOutOfRange}, {"seek pop to middle", kErrOutOfRange}};
  for (auto [text, answer] : cases) {
    Command c;
    EXPECT_EQ(parse_command(text, &c), answer) << '"' << text << '"';
  }
}

// Damaged waves are refused or described within their bytes; random command text gets one
// of the interpreter's answers. Neither crashes.
TEST(Parsers, RandomInputIsRefusedOrReadInBounds) {
  const unsigned seed = std::random_device{}();
  std::printf("RandomInputIsRefusedOrReadInBounds seed %u\n", seed);
  std::mt19937 rng(seed);
  const std::vector<std::uint8_t> whole = make_wave(30);
  const char alphabet[] = "openplaystopseekclosetimeformatfromtowaitaliasall 0123456789\"\t";
  for (int round = 0; round < 10000; ++round) {
    std::vector<std::uint8_t> b = whole;
    for (int k = 1 + int(rng() % 4); k > 0; --k) b[rng() % 48] = std::uint8_t(rng());
    b.resize(rng() % (b.size() + 1));
    WaveInfo info;
    if (parses(b, &info)) { ASSERT_LE(info.data_offset + info.frames * info.channels * info.bits / 8, b.size()) << "seed " << seed; }
    std::string s(rng() % 40, ' ');
    for (char& ch : s) ch = (rng() % 8) ? alphabet[rng() % (sizeof alphabet - 1)] : char(rng());
    Command c;
    const std::uint32_t a = parse_command(s, &c);
    ASSERT_TRUE(a == kOk || a == kErrUnknownCommand || a == kErrMissingParameter || a == kErrUnknownKeyword || a == kErrOutOfRange)
        << "seed " << seed << " answer " << a;
  }
}

}  // namespace
