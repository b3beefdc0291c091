// The golden replay: a fixed script of presses over every screen, all four game types with
// and without animations, undo, End, setup and statistics, replayed headless from fixed seeds
// with the timer ticked by hand. Its transcript (boards, scores, status lines, sound commands,
// beeps, a hash of each composed frame, the settings file's bytes) must equal replay.txt, whose
// frames are kept whole in frames.xz. At the first line that differs the test says what
// differs; where a frame does, it saves the expected and the actual frame as PNG files.
// After an intended change of behaviour or pictures, regenerate both and review the diff:
//   ORBOLAN_UPDATE_GOLDEN=1 build/rel/bin/golden_replay
#include <gtest/gtest.h>

#include <lzma.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "main/MAIN.h"
#include "platform/headless.h"
#include "tests/support/harness.h"
#include "tests/support/picture.h"

namespace {

namespace hl = plat::headless;
using namespace proof;

constexpr unsigned kSeed = 20261206;
// The middle of each option box of the setup screen.
constexpr POINT Middle(int left, int top, int right, int bottom) {
  return {(left + right) / 2, (top + bottom) / 2};
}
const POINT kTypeBox[4] = {
    Middle(TYPE_BOX_LEFT, NORMAL_BOX_TOP, NORMAL_BOX_RIGHT, NORMAL_BOX_BOTTOM),
    Middle(TYPE_BOX_LEFT, CONTINUOUS_BOX_TOP, CONTINUOUS_BOX_RIGHT, CONTINUOUS_BOX_BOTTOM),
    Middle(TYPE_BOX_LEFT, SHIFTER_BOX_TOP, SHIFTER_BOX_RIGHT, SHIFTER_BOX_BOTTOM),
    Middle(TYPE_BOX_LEFT, MEGASHIFT_BOX_TOP, MEGASHIFT_BOX_RIGHT, MEGASHIFT_BOX_BOTTOM)};
const POINT kSoundsBox =
    Middle(SOUNDS_BOX_LEFT, SOUNDS_BOX_TOP, SOUNDS_BOX_RIGHT, SOUNDS_BOX_BOTTOM);
const POINT kAnimationsBox =
    Middle(ANIMATIONS_BOX_LEFT, ANIMATIONS_BOX_TOP, ANIMATIONS_BOX_RIGHT, ANIMATIONS_BOX_BOTTOM);

// The window shows the composed frame: whatever part of it changed was presented too.
bool Window_Shows_Frame() {
  for (int y = 0; y < 419; ++y)  // the client area, a pixel short of the frame each way
    for (int x = 0; x < 493; ++x)
      if (hl::window_pixel(x, y) != hl::surface_pixel(v_screen, x, y)) return false;
  return true;
}

class Replay {
 public:
  std::ostringstream out;
  std::vector<std::string> order;         // every frame's hash, as first composed
  std::map<std::string, Picture> frames;  // the frames themselves

  // The hash of the frame composed last; the frame is kept under it.
  std::string Frame() {
    const std::string hash = Frame_Hash();
    if (frames.emplace(hash, Frame_Picture()).second) order.push_back(hash);
    return hash;
  }

  // What a player sees and hears after a step.
  void Step(const std::string& what) {
    out << what << " | mode " << mode << " | " << (Status_Text ? Status_Text : "") << " | sounds";
    for (; heard_ < hl::sound_log().size(); ++heard_) out << " [" << hl::sound_log()[heard_] << "]";
    out << " | beeps " << hl::beep_count() << " | frame " << Frame() << "\n";
    EXPECT_TRUE(Window_Shows_Frame()) << what;
    if (mode != MODE_GAME) return;
    out << "  score " << game_score.score << " board ";
    for (int32 j = 0; j < FIELD_ROWS; ++j)
      for (int32 i = 0; i < FIELD_COLUMNS; ++i) out << PlayField[i][j].type;
    out << "\n";
  }

  void Setup(int32 type, int32 sounds, int32 animations) {
    Press(BTN_SETUP);
    Click(kTypeBox[type].x, kTypeBox[type].y);
    if (setup_data.play_sounds != sounds) Click(kSoundsBox.x, kSoundsBox.y);
    if (setup_data.animations != animations) Click(kAnimationsBox.x, kAnimationsBox.y);
    Step("setup");
    Press(BTN_OK_SETUP);
  }

  // The first pair on the board, scanning from the bottom row: read apart from the game.
  static bool Find_Pair(int32* ci, int32* cj) {
    for (int32 j = FIELD_ROWS - 1; j >= 0; --j)
      for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
        const int32 t = PlayField[i][j].type;
        if (t != 0 && ((i + 1 < FIELD_COLUMNS && PlayField[i + 1][j].type == t) ||
                       (j > 0 && PlayField[i][j - 1].type == t)))
          return *ci = i, *cj = j, true;
      }
    return false;
  }

  // Lets every slide come home, keeping the hash of a frame on the way.
  void Settle() {
    if (game_busy == 0) return;
    hl::tick(2);
    out << "  sliding " << Frame() << "\n";
    EXPECT_TRUE(Window_Shows_Frame()) << "sliding";
    for (int n = 0; n < 80 && !(check_all_bubbles_moved() && game_busy == 0); ++n) hl::tick();
    hl::pump();
  }

  // Plays pairs from the bottom until the game ends or `moves` are made; an undo after the
  // second move; with `queue_on_end`, End and Undo pressed while the last slide runs.
  void Play(int moves, bool queue_on_end) {
    int32 i = 0, j = 0;
    for (int n = 0; n < moves && mode == MODE_GAME && Find_Pair(&i, &j); ++n) {
      Click(Cell_X(i), Cell_Y(j));
      Step("select " + std::to_string(i) + "," + std::to_string(j));
      Click(Cell_X(i), Cell_Y(j));
      if (queue_on_end && !Find_Pair(&i, &j)) {
        Press(BTN_END);
        Press(BTN_UNDO);
        Step("End and Undo after the last move");
      }
      Settle();
      Step("removed");
      if (n == 1) {
        Press(BTN_UNDO);
        Settle();  // the way back is animated whatever the setup says
        Step("undo");
      }
    }
    if (mode == MODE_GAME) Press(BTN_END);
    Step("end of game");
  }

 private:
  std::size_t heard_ = 0;  // sound commands already written
};

// The frames file: the raw size (8 bytes), then xz of every frame in turn as its hash (16
// characters) and its pixels. xz's long window finds what frames share: 0.6 MB in all.
constexpr std::size_t kFrameBytes = 16 + 494 * 420 * 4;

void Store_Frames(const Replay& r) {
  std::string raw;
  for (const std::string& hash : r.order) {
    const std::vector<std::uint32_t>& pixels = r.frames.at(hash).pixels;
    raw += hash;
    raw.append(reinterpret_cast<const char*>(pixels.data()), pixels.size() * 4);
  }
  const std::uint64_t size = raw.size();
  std::string file(8 + lzma_stream_buffer_bound(raw.size()), '\0');
  std::memcpy(file.data(), &size, 8);
  std::size_t end = 8;
  lzma_easy_buffer_encode(9, LZMA_CHECK_CRC32, nullptr,
                          reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size(),
                          reinterpret_cast<std::uint8_t*>(file.data()), &end, file.size());
  std::ofstream(ORBOLAN_GOLDEN_FRAMES, std::ios::binary).write(file.data(), std::streamsize(end));
}

std::map<std::string, Picture> Load_Frames() {
  const std::string file = Read_File(ORBOLAN_GOLDEN_FRAMES);
  std::uint64_t size = 0;
  if (file.size() >= 8) std::memcpy(&size, file.data(), 8);
  std::string raw(size % kFrameBytes == 0 ? size : 0, '\0');
  std::uint64_t memory = UINT64_MAX;
  std::size_t in = 8, out = 0;
  std::map<std::string, Picture> frames;
  if (raw.empty() ||
      lzma_stream_buffer_decode(
          &memory, 0, nullptr, reinterpret_cast<const std::uint8_t*>(file.data()), &in, file.size(),
          reinterpret_cast<std::uint8_t*>(raw.data()), &out, raw.size()) != LZMA_OK)
    return frames;
  for (std::size_t at = 0; at < raw.size(); at += kFrameBytes) {
    Picture& p = frames[raw.substr(at, 16)] =
        Picture{494, 420, std::vector<std::uint32_t>(494 * 420)};
    std::memcpy(p.pixels.data(), raw.data() + at + 16, p.pixels.size() * 4);
  }
  return frames;
}

// The first line of the transcript that differs from the golden one, with the two frames on it
// compared as pictures; "" when none differs.
std::string First_Difference(const Replay& r, const std::string& golden) {
  std::istringstream want(golden), got(r.out.str());
  std::string a, b;
  for (int line = 1;; ++line) {
    const bool more_wanted = bool(std::getline(want, a)), more_got = bool(std::getline(got, b));
    if (!more_wanted && !more_got) return "";
    if (more_wanted && more_got && a == b) continue;
    std::string said =
        "line " + std::to_string(line) + " differs\n  expected: " + a + "\n  actual:   " + b + "\n";
    const std::size_t at_a = a.rfind(' '), at_b = b.rfind(' ');
    const std::string hash_a = a.substr(at_a + 1), hash_b = b.substr(at_b + 1);
    const auto expected = Load_Frames(), actual = r.frames;
    if (hash_a != hash_b && expected.count(hash_a) && actual.count(hash_b))
      said += Compare_Pictures(expected.at(hash_a), actual.at(hash_b),
                               "golden-line-" + std::to_string(line));
    return said;
  }
}

TEST(Golden, ReplayMatchesTheTranscript) {
  Work_Dir dir("golden");
  ASSERT_TRUE(Restart({0, 1, 0, 3, 30, 12}));
  Replay r;
  std::srand(kSeed);
  r.Step("start");
  for (auto [open, ok] : {std::pair{BTN_LOGO, BTN_OK_CREDITS}, {BTN_SCORES, BTN_OK_SCORES}}) {
    Press(open);
    r.Step("page");
    Press(BTN_EXIT), Press(BTN_SETUP);  // masked
    r.Step("masked buttons pressed");
    if (open == BTN_SCORES)
      for (int answer : {IDCANCEL, IDOK}) {
        hl::set_box_answer(answer);
        Press(BTN_RESET);
        r.Step("reset answered " + std::to_string(answer));
      }
    Press(ok);
  }
  const sBUTTON& s = buttons[BTN_SCORES];
  Click(s.topleft.x, s.topleft.y + 19);  // its first column is no hit, its last one is
  r.Step("first column of Scores");
  Click(s.bottomright.x - 1, s.topleft.y + 19);
  r.Step("last column of Scores");
  Press(BTN_OK_SCORES);
  hl::mouse_down(s.topleft.x + 30, s.topleft.y + 20);
  hl::mouse_move(s.topleft.x + 130, s.topleft.y + 20);
  hl::mouse_up(s.topleft.x + 130, s.topleft.y + 20);
  hl::pump();
  r.Step("Scores dragged off");

  // type, sounds, animations, moves, End and Undo queued after the last move; the first
  // game is played twice from one seed: the second ties the best and is no new best.
  const struct {
    int32 type, sounds, animations;
    int moves;
    bool queue;
    unsigned seed;
  } games[] = {{0, 1, 0, 60, false, 1}, {0, 1, 0, 60, false, 1}, {1, 0, 1, 12, false, 2},
               {2, 1, 1, 60, true, 3},  {3, 1, 0, 12, false, 4}, {3, 0, 1, 60, false, 5}};
  for (const auto& g : games) {
    if (mode == MODE_GAME_SCORE && g.seed != 1) Press(BTN_DONE);  // else New on the end screen
    if (mode == MODE_START) r.Setup(g.type, g.sounds, g.animations);
    std::srand(g.seed);
    Press(mode == MODE_GAME_SCORE ? BTN_NEW_AFTER_GAME : BTN_NEW);
    r.Step("new game");
    if (g.seed == 2) {  // pages opened from a running game come back to it
      Press(BTN_SETUP), Press(BTN_OK_SETUP), Press(BTN_SCORES), Press(BTN_OK_SCORES);
      r.Step("back from the pages");
    }
    r.Play(g.moves, g.queue);
  }
  Press(BTN_DONE);
  Press(BTN_SCORES);
  r.Step("statistics");
  Press(BTN_OK_SCORES);
  Press(BTN_EXIT);
  r.out << "quit " << hl::quit_posted(nullptr) << " | orbolan.cfg";
  for (unsigned char c : Read_File("orbolan.cfg")) r.out << ' ' << int(c);
  r.out << "\n";

  if (std::getenv("ORBOLAN_UPDATE_GOLDEN")) {
    std::ofstream(ORBOLAN_GOLDEN_FILE) << r.out.str();
    Store_Frames(r);
    GTEST_SKIP() << "wrote " << ORBOLAN_GOLDEN_FILE << " and " << ORBOLAN_GOLDEN_FRAMES;
  }
  if (const std::string difference = First_Difference(r, Read_File(ORBOLAN_GOLDEN_FILE));
      !difference.empty())
    ADD_FAILURE() << "the transcript differs from replay.txt at " << difference;
}

}  // namespace
