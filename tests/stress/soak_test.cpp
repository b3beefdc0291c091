// Soak test of the whole game: tens of thousands of random presses, drags and releases over
// every screen with the timer ticking, across the four game types and both animation
// settings, Reset boxes answered at random, the game closed (Exit) and started again. A model
// beside the game predicts the statistics from what is seen to happen (a game ending by
// itself counts once with its result, End once without score, an accepted Reset clears them)
// and must agree after every message, and with the saved file after every close. The seed
// is printed; ORBOLAN_SEED=<seed> replays it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "game/config.h"
#include "platform/detail.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace {

namespace hl = plat::headless;
using namespace proof;

struct View {  // what the model reads of the game around each message
  int32 mode, marked = 0, types[10][7];
  std::size_t boxes;
};
View Look() {
  View v{mode, 0, {}, hl::message_boxes().size()};
  for (int32 k = 0; k < 70; ++k) {
    v.types[k / 7][k % 7] = PlayField[k / 7][k % 7].type;
    v.marked += bubbles_marked != 0 && PlayField[k / 7][k % 7].marked != 0;
  }
  return v;
}
bool Move_Left(const View& v) {
  for (int32 k = 0; k < 70; ++k) {
    const int32 i = k / 7, j = k % 7, t = v.types[i][j];
    if (t != 0 && ((i < 9 && v.types[i + 1][j] == t) || (j < 6 && v.types[i][j + 1] == t)))
      return true;
  }
  return false;
}

class Soak {
 public:
  explicit Soak(unsigned seed) : rng_(seed) {}
  int Random(int n) { return int(rng_() % unsigned(n)); }

  void Start(int32 type, int32 animations) {
    Cfg cfg{type, Random(2), animations};
    std::memcpy(&cfg[3], &model_, sizeof model_);  // twelve int32 in file order
    ASSERT_TRUE(Restart(cfg));
    std::srand(rng_());  // the boards follow the seed
    ASSERT_EQ(std::memcmp(&score_statistic, &model_, sizeof model_), 0) << "read back differently";
    game_on_ = false;
  }

  void Gesture() {
    const POINT a = Target(), b = Target();
    const int kind = Random(100);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, a);
    if (kind >= 60 && kind < 80)  // a drag, held or cancelled (Shift, the button let go)
      for (int k = 1, n = 1 + Random(5),
               keys = Random(4) ? MK_LBUTTON : Random(2) * (MK_LBUTTON | MK_SHIFT);
           k <= n; ++k)
        Post(WM_MOUSEMOVE, keys, {a.x + (b.x - a.x) * k / n, a.y + (b.y - a.y) * k / n});
    if (kind < 94) Post(WM_LBUTTONUP, 0, kind < 60 ? a : b);  // else released with a later gesture
    hl::tick(Random(4) == 0 ? 60 : Random(5));                // now and then every slide comes home
    plat::Message msg;
    while (!::testing::Test::HasFatalFailure() && plat::detail::pop_message(&msg)) Dispatch(msg);
  }

 private:
  POINT Target() {
    const int roll = Random(100);
    if (mode == MODE_GAME && roll < 85) {  // mostly a player who aims at a pair or the selection
      for (int tries = 0; tries < 200; ++tries) {
        const int32 i = Random(10), j = Random(7), t = PlayField[i][j].type;
        if ((bubbles_marked && PlayField[i][j].marked) ||
            (t && ((i < 9 && PlayField[i + 1][j].type == t) ||
                   (j < 6 && PlayField[i][j + 1].type == t))))
          return {48 * i + 8 + Random(48), 48 * j + 8 + Random(48)};
      }
    }
    if (roll < 90) {
      const int32 b = 1 + Random(button_ctr);  // Exit rarely, End now and then
      if ((buttons[b].mode == mode || buttons[b].mode == MODE_ALL) && (b != EXIT || !Random(25)) &&
          (b != END || !Random(8)))
        return {buttons[b].topleft.x + 1 + Random(61), buttons[b].topleft.y + 1 + Random(37)};
    }
    return {Random(573) - 40, Random(499) - 40};  // anywhere, beyond the window's edges too
  }
  void Post(uint32 msg, uint32 keys, POINT p) { hl::post(msg, keys, MAKELPARAM(p.x, p.y)); }

  void Dispatch(const plat::Message& msg) {
    if (msg.message == WM_QUIT) return Start(Random(4), Random(2));  // Exit: start again
    const bool ok = Random(2);
    hl::set_box_answer(ok ? IDOK : IDCANCEL);
    const View before = Look();
    plat::dispatch_message(msg);
    const View after = Look();
    const bool board_changed = std::memcmp(before.types, after.types, sizeof after.types) != 0;
    if (after.mode == MODE_GAME && (before.mode == MODE_START || before.mode == MODE_GAME_SCORE)) {
      game_on_ = true, finished_ = false, type_ = setup_data.game_type, score_ = gain_ = 0;
    } else if (game_on_ && before.mode == MODE_GAME && msg.message == WM_LBUTTONDOWN &&
               board_changed) {
      ASSERT_GE(before.marked, 2) << "bubbles went without a group outlined";
      score_ += gain_ = before.marked * (before.marked - 1);
      if (!Move_Left(after) && !finished_) {
        const int32 left = Count_Bubbles(), bonus[5] = {500, 200, 100, 50, 25};
        const int32 result = score_ + (type_ % 2 == 0 && left < 5 ? bonus[left] : 0);
        sSTATISTIC_BLOCK& b = Block(type_);
        ++b.games, b.scores += result, b.high = std::max(b.high, result), finished_ = true;
      }
    } else if (game_on_ && before.mode == MODE_GAME && msg.message == WM_LBUTTONUP) {
      if (board_changed) {
        EXPECT_FALSE(finished_) << "Undo took back the move that ended a game";
        score_ -= gain_, gain_ = 0;
      } else if (after.mode == MODE_GAME_SCORE && !finished_) {
        ++Block(type_).games, finished_ = true;  // End: counted, nothing scored
      }
    } else if (before.mode == MODE_SCORES && after.boxes > before.boxes && ok) {
      model_ = {};  // Reset, answered OK
    }
    if (msg.message == WM_CLOSE) {
      unsigned char want[CONFIG_FILE_SIZE];
      Encode_Config(setup_data, model_, want);
      ASSERT_EQ(Read_File("orbolan.cfg"), std::string(reinterpret_cast<char*>(want), sizeof want));
    }
    ASSERT_EQ(std::memcmp(&score_statistic, &model_, sizeof model_), 0)
        << "message 0x" << std::hex << msg.message;
    if (game_on_ && mode == MODE_GAME) {
      ASSERT_EQ(game_score.score, score_);
    }
  }
  sSTATISTIC_BLOCK& Block(int32 t) {
    return t == 0   ? model_.normal
           : t == 1 ? model_.continuous
           : t == 2 ? model_.shifter
                    : model_.megashift;
  }

  std::mt19937 rng_;
  sSCORE_STATISTIC model_{};
  bool game_on_ = false, finished_ = false;
  int32 type_ = 0, score_ = 0, gain_ = 0;
};

TEST(Soak, RandomPlayOverEveryScreenKeepsTheStatisticsRight) {
  const char* replay = std::getenv("ORBOLAN_SEED");
  const unsigned seed =
      replay ? unsigned(std::strtoul(replay, nullptr, 10)) : std::random_device{}();
  std::printf("seed %u (replay with ORBOLAN_SEED=%u)\n", seed, seed);
  Work_Dir dir("soak");
  Soak soak(seed);
  for (int32 type = 0; type < 4; ++type)
    for (int32 animations = 0; animations < 2 && !HasFatalFailure(); ++animations) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", type " + std::to_string(type));
      soak.Start(type, animations);
      for (int g = 0; g < 1500 && !HasFatalFailure(); ++g) soak.Gesture();
    }
  hl::reset();
}

}  // namespace
