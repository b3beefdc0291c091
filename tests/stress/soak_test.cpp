// Soak test of the whole game on the headless platform: tens of thousands of random mouse
// presses, drags and releases over every screen, with the timer ticking, across the four
// game types and both animation settings, Reset boxes answered at random and the game
// closed and started again now and then. A model kept beside the game predicts the
// statistics from what is seen to happen (a game ending by itself counts once with its
// result, an End once without score, an accepted Reset clears them) and must agree after
// every message, and with the saved file after every close.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/GAME.h"
#include "game/config.h"
#include "platform/detail.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace {

namespace hl = plat::headless;

constexpr int32 CELL = 48, BOARD_LEFT = 8, BOARD_TOP = 8;
constexpr int32 WINDOW_W = 493, WINDOW_H = 419;
constexpr int32 BONUS[5] = {500, 200, 100, 50, 25};  // by bubbles left, normal and shifter
constexpr int32 EXIT_BUTTON = 1, END_BUTTON = 6;

// What the harness reads of the game before and after each message.
struct View {
  int32 mode = 0;
  int32 types[FIELD_COLUMNS][FIELD_ROWS] = {};
  int32 marked = 0;  // size of the outlined group, 0 when none is outlined
  int32 score = 0;
  int32 setup_type = 0;
  std::size_t boxes = 0;
};

View Look() {
  View v;
  v.mode = mode;
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      v.types[i][j] = PlayField[i][j].type;
      if (bubbles_marked != 0 && PlayField[i][j].marked != 0) ++v.marked;
    }
  v.score = game_score.score;
  v.setup_type = setup_data.game_type;
  v.boxes = hl::message_boxes().size();
  return v;
}

bool Same_Board(const View& a, const View& b) {
  return std::memcmp(a.types, b.types, sizeof a.types) == 0;
}

// No two neighbours across a side share a colour: the game is over.
bool No_Move_Left(const View& v) {
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      const int32 t = v.types[i][j];
      if (t == 0) continue;
      if (i + 1 < FIELD_COLUMNS && v.types[i + 1][j] == t) return false;
      if (j + 1 < FIELD_ROWS && v.types[i][j + 1] == t) return false;
    }
  return true;
}

int32 Bubbles_Left(const View& v) {
  int32 n = 0;
  for (const auto& column : v.types)
    for (int32 t : column) n += t != 0;
  return n;
}

sSTATISTIC_BLOCK& Block(sSCORE_STATISTIC& s, int32 type) {
  sSTATISTIC_BLOCK* blocks[4] = {&s.normal, &s.continuous, &s.shifter, &s.megashift};
  return *blocks[type];
}

struct Tally {
  long messages = 0, presses = 0, releases = 0, moves = 0, ticks = 0;
  long removals = 0, finished[4] = {}, ended = 0, undos = 0, resets = 0, refused_resets = 0, restarts = 0;
};

class Soak {
 public:
  Soak(unsigned seed, bool real_timer) : rng_(seed), real_timer_(real_timer) {}

  // Starts the game with the given setup in a fresh folder with short silent sounds.
  void Begin(int32 type, int32 animations) {
    proof::Write_Short_Waves(5);
    sSETUP_DATA setup{type, static_cast<int32>(rng_() % 2), animations};
    unsigned char bytes[CONFIG_FILE_SIZE];
    Encode_Config(setup, model_, bytes);
    std::FILE* f = std::fopen(CONFIG_FILE_NAME, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    Restart();
  }

  void Run(int gestures) {
    for (int g = 0; g < gestures && !::testing::Test::HasFatalFailure(); ++g) {
      step_ = g;
      Gesture();
      Let_Time_Pass();
      Dispatch_All();
    }
    Settle();
  }

  void End() { hl::reset(); }
  const Tally& tally() const { return tally_; }

 private:
  // ---- Start and restart -------------------------------------------------------------------
  void Restart() {
    hl::reset();
    proof::Clear_Game_Globals();
    hl::set_real_timer(real_timer_);
    ASSERT_TRUE(proof::Start_Game());
    std::srand(static_cast<unsigned>(rng_()));  // the boards follow the seed, not the clock
    std::lock_guard lock(plat::world_lock());
    ASSERT_EQ(std::memcmp(&score_statistic, &model_, sizeof model_), 0)
        << "the statistics read back from orbolan.cfg differ from those saved";
    game_on_ = finished_ = false;
    ++tally_.restarts;
  }

  // ---- Gestures ----------------------------------------------------------------------------
  int Random(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  POINT Random_Point_In(POINT topleft, POINT bottomright) {
    const int w = bottomright.x - topleft.x - 1, h = bottomright.y - topleft.y - 1;
    return {topleft.x + 1 + Random(w > 0 ? w : 1), topleft.y + 1 + Random(h > 0 ? h : 1)};
  }

  // A place a player might aim at on the screen shown now.
  POINT Target() {
    std::lock_guard lock(plat::world_lock());
    const int roll = Random(100);
    if (mode == MODE_GAME && roll < 85) {
      // Mostly a player who aims: at the outlined group, or at a bubble with a partner.
      std::vector<POINT> group, paired;
      for (int32 i = 0; i < FIELD_COLUMNS; ++i)
        for (int32 j = 0; j < FIELD_ROWS; ++j) {
          const int32 t = PlayField[i][j].type;
          if (bubbles_marked != 0 && PlayField[i][j].marked != 0) group.push_back({i, j});
          if (t != 0 && ((i + 1 < FIELD_COLUMNS && PlayField[i + 1][j].type == t) ||
                         (j + 1 < FIELD_ROWS && PlayField[i][j + 1].type == t)))
            paired.push_back({i, j});
        }
      const int aim = Random(10);
      const std::vector<POINT>& pick = !group.empty() && aim < 8 ? group : paired;
      const POINT cell = !pick.empty() && aim < 9 ? pick[Random(static_cast<int>(pick.size()))]
                                                  : POINT{Random(FIELD_COLUMNS), Random(FIELD_ROWS)};
      return {BOARD_LEFT + CELL * cell.x + Random(CELL), BOARD_TOP + CELL * cell.y + Random(CELL)};
    }
    if (mode == MODE_SETUP && roll < 40) {
      static const RECT boxes[] = {{97, 101, 210, 120}, {97, 132, 229, 151}, {97, 163, 189, 182},
                                   {97, 194, 219, 217}, {277, 81, 416, 101}, {278, 124, 406, 143}};
      const RECT& b = boxes[Random(6)];
      return Random_Point_In({b.left, b.top}, {b.right, b.bottom});
    }
    if (roll < 90) {
      std::vector<int32> shown;
      for (int32 b = 1; b <= button_ctr; ++b)
        if (buttons[b].mode == mode || buttons[b].mode == MODE_ALL) shown.push_back(b);
      int32 b = shown.empty() ? 0 : shown[Random(static_cast<int>(shown.size()))];
      // Close the game only now and then, and give a game time to end by itself.
      if (b == EXIT_BUTTON && Random(25) != 0) b = 0;
      if (b == END_BUTTON && Random(8) != 0) b = 0;
      if (b != 0) return Random_Point_In(buttons[b].topleft, buttons[b].bottomright);
    }
    // Anywhere, the window's edges and beyond them included (a drag held outside).
    return {Random(WINDOW_W + 80) - 40, Random(WINDOW_H + 80) - 40};
  }

  void Post(uint32 msg, uint32 keys, POINT p) {
    hl::post(msg, keys, MAKELPARAM(p.x, p.y));
    tally_.presses += msg == WM_LBUTTONDOWN;
    tally_.releases += msg == WM_LBUTTONUP;
    tally_.moves += msg == WM_MOUSEMOVE;
  }

  // One gesture's messages are queued whole before any is dispatched, as a fast player's
  // are, so ticks and the messages they post fall between and after them.
  void Gesture() {
    const POINT a = Target();
    const int kind = Random(100);
    if (kind < 60) {  // a click
      Post(WM_LBUTTONDOWN, MK_LBUTTON, a);
      Post(WM_LBUTTONUP, 0, a);
    } else if (kind < 80) {  // a drag to another target, held or cancelled on the way
      const POINT b = Target();
      const uint32 held = Random(4) == 0 ? (Random(2) ? 0u : MK_LBUTTON | MK_SHIFT) : MK_LBUTTON;
      Post(WM_LBUTTONDOWN, MK_LBUTTON, a);
      for (int k = 1, n = 1 + Random(5); k <= n; ++k)
        Post(WM_MOUSEMOVE, held, {a.x + (b.x - a.x) * k / n, a.y + (b.y - a.y) * k / n});
      Post(WM_LBUTTONUP, 0, b);
    } else if (kind < 88) {
      Post(WM_MOUSEMOVE, 0, a);
    } else if (kind < 94) {
      Post(WM_LBUTTONDOWN, MK_LBUTTON, a);  // the release comes with a later gesture
    } else {
      Post(WM_LBUTTONUP, 0, a);
    }
  }

  void Let_Time_Pass() {
    if (real_timer_) {
      std::this_thread::sleep_for(std::chrono::microseconds(Random(4000)));
      return;
    }
    const int n = Random(4) == 0 ? 60 : Random(5);  // now and then every slide comes home
    hl::tick(n);
    tally_.ticks += n;
  }

  void Settle() {
    if (real_timer_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    } else {
      hl::tick(60);
    }
    Dispatch_All();
  }

  // ---- Dispatch with the model watching ----------------------------------------------------
  void Dispatch_All() {
    plat::Message msg;
    while (!::testing::Test::HasFatalFailure() && plat::detail::pop_message(&msg)) {
      if (msg.message == WM_QUIT) {  // the game closed itself (Exit): start it again
        Restart();
        continue;
      }
      last_answer_ok_ = Random(2) == 0;  // how a box shown by this message is answered
      hl::set_box_answer(last_answer_ok_ ? IDOK : IDCANCEL);
      std::unique_lock lock(plat::world_lock());
      const View before = Look();
      plat::dispatch_message(msg);
      const View after = Look();
      ++tally_.messages;
      Observe(msg, before, after);
      if (msg.message == WM_CLOSE) Check_Saved_File();
      ASSERT_EQ(std::memcmp(&score_statistic, &model_, sizeof model_), 0) << Where(msg);
      if (game_on_ && mode == MODE_GAME) {
        ASSERT_EQ(game_score.score, score_) << Where(msg);
      }
    }
  }

  void Observe(const plat::Message& msg, const View& before, const View& after) {
    const bool entered_game = after.mode == MODE_GAME && before.mode != MODE_GAME;
    if (entered_game && (before.mode == MODE_START || before.mode == MODE_GAME_SCORE)) {
      game_on_ = true;  // a new board was dealt
      finished_ = false;
      type_ = before.setup_type;
      score_ = gain_ = 0;
      return;
    }
    if (!game_on_ || before.mode != MODE_GAME) return Observe_Reset(msg, before, after);
    if (msg.message == WM_LBUTTONDOWN && !Same_Board(before, after)) return Observe_Move(before, after);
    if (msg.message != WM_LBUTTONUP) return;
    if (!Same_Board(before, after)) {
      EXPECT_FALSE(finished_) << "Undo took back the move that ended a game. " << Where(msg);
      score_ -= gain_;
      gain_ = 0;
      ++tally_.undos;
    } else if (after.mode == MODE_GAME_SCORE) {
      if (!finished_) ++Block(model_, type_).games;  // End: counted, nothing scored
      finished_ = true;
      ++tally_.ended;
    }
  }

  void Observe_Move(const View& before, const View& after) {
    ASSERT_GE(before.marked, 2) << "bubbles went without a group outlined";
    gain_ = before.marked * (before.marked - 1);
    ++tally_.removals;
    score_ += gain_;
    if (!No_Move_Left(after) || finished_) return;
    finished_ = true;
    const int32 left = Bubbles_Left(after);
    const bool bonus = type_ == 0 || type_ == 2;
    const int32 result = score_ + (bonus && left < 5 ? BONUS[left] : 0);
    sSTATISTIC_BLOCK& block = Block(model_, type_);
    ++block.games;
    block.scores += result;
    if (result > block.high) block.high = result;
    ++tally_.finished[type_];
  }

  void Observe_Reset(const plat::Message& msg, const View& before, const View& after) {
    if (msg.message != WM_LBUTTONUP || before.mode != MODE_SCORES || after.boxes == before.boxes)
      return;
    const auto& box = hl::message_boxes().back();
    ASSERT_EQ(box.caption, "Reset");
    if (last_answer_ok_) {
      model_ = {};
      ++tally_.resets;
    } else {
      ++tally_.refused_resets;
    }
  }

  void Check_Saved_File() {
    unsigned char expected[CONFIG_FILE_SIZE];
    Encode_Config(setup_data, model_, expected);
    std::FILE* f = std::fopen(CONFIG_FILE_NAME, "rb");
    ASSERT_NE(f, nullptr) << "closing left no orbolan.cfg";
    unsigned char got[CONFIG_FILE_SIZE + 1];
    const std::size_t n = std::fread(got, 1, sizeof got, f);
    std::fclose(f);
    ASSERT_EQ(n, CONFIG_FILE_SIZE);
    ASSERT_EQ(std::memcmp(got, expected, CONFIG_FILE_SIZE), 0) << "orbolan.cfg differs from the model";
  }

  std::string Where(const plat::Message& msg) const {
    std::ostringstream s;
    s << "gesture " << step_ << ", message 0x" << std::hex << msg.message << std::dec << " at ("
      << (msg.lParam & 0xFFFF) << ", " << ((msg.lParam >> 16) & 0xFFFF) << "), mode " << mode;
    return s.str();
  }

  std::mt19937 rng_;
  bool real_timer_;
  sSCORE_STATISTIC model_{};
  bool game_on_ = false, finished_ = false, last_answer_ok_ = false;
  int32 type_ = 0, score_ = 0, gain_ = 0;
  int step_ = 0;
  Tally tally_;
};

// The seed: gtest's --gtest_random_seed=N (1 to 99999) replays a run; otherwise a new one.
unsigned Seed() {
  if (const int flag = GTEST_FLAG_GET(random_seed); flag != 0) return static_cast<unsigned>(flag);
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return static_cast<unsigned>(now % 99999) + 1;
}

void Report(const char* name, unsigned seed, const Tally& t) {
  std::printf(
      "%s: seed %u (replay with --gtest_random_seed=%u): %ld messages (%ld presses, %ld releases, "
      "%ld moves), %ld ticks; %ld groups removed, games finished by type %ld/%ld/%ld/%ld, "
      "%ld ended, %ld undos, "
      "%ld resets (%ld refused), %ld starts\n",
      name, seed, seed, t.messages, t.presses, t.releases, t.moves, t.ticks, t.removals, t.finished[0],
      t.finished[1], t.finished[2], t.finished[3], t.ended, t.undos, t.resets, t.refused_resets,
      t.restarts);
}

TEST(Soak, RandomPlayOverEveryScreenKeepsTheStatisticsRight) {
  const unsigned seed = Seed();
  proof::Work_Dir folder("soak");
  Soak soak(seed, false);
  for (int32 type = 0; type < 4; ++type)
    for (int32 animations = 0; animations < 2; ++animations) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", type " + std::to_string(type) +
                   ", animations " + std::to_string(animations));
      soak.Begin(type, animations);
      soak.Run(1500);
      if (HasFatalFailure()) break;
    }
  soak.End();
  Report("soak", seed, soak.tally());
  for (int32 type = 0; type < 4; ++type)
    EXPECT_GT(soak.tally().finished[type], 0) << "no game of type " << type << " ended by itself";
  EXPECT_GE(soak.tally().presses + soak.tally().releases + soak.tally().moves, 20000);
}

TEST(Soak, RandomPlayAgainstTheRealTimerThread) {
  const unsigned seed = Seed();
  proof::Work_Dir folder("soak-timer");
  Soak soak(seed, true);
  for (int32 type = 0; type < 4; ++type) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", type " + std::to_string(type));
    soak.Begin(type, type % 2);
    soak.Run(250);
    if (HasFatalFailure()) break;
  }
  soak.End();
  Report("soak with the timer thread", seed, soak.tally());
}

}  // namespace
