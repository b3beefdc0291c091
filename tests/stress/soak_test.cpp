// Seeded random play of the whole game: random presses, drags and releases over every screen,
// the timer ticked by hand, the four game types with animations off and on, Reset answered at
// random, Exit and a new start. Every move, tick and undo is checked against the rules, and a
// model predicts the statistics (a game ending by itself counts its result, End a game without
// score, an accepted Reset clears them) after every message and in the file saved on close.
// The seed is printed; ORBOLAN_SEED=<seed> replays it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
using Board = std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS>;

struct View {  // what the model reads of the game around each message
  int32 mode, marked, pairs;
  Board types, marks;
  std::size_t boxes;
};
bool In_Pair(const Board& t, int32 i, int32 j) {  // with its right or lower neighbour
  return t[i][j] && ((i < 9 && t[i + 1][j] == t[i][j]) || (j < 6 && t[i][j + 1] == t[i][j]));
}
View Look() {
  View v{mode, 0, 0, {}, {}, hl::message_boxes().size()};
  for (int32 k = 69; k >= 0; --k) {  // from the bottom right, so the neighbours are read
    v.types[k / 7][k % 7] = PlayField[k / 7][k % 7].type;
    v.marked += v.marks[k / 7][k % 7] = bubbles_marked != 0 && PlayField[k / 7][k % 7].marked;
    v.pairs += In_Pair(v.types, k / 7, k % 7);
  }
  return v;
}
void Fill(const Board& t, Board& in, int32 i, int32 j, int32 type) {  // our own flood fill
  if (i < 0 || i > 9 || j < 0 || j > 6 || in[i][j] || t[i][j] != type) return;
  in[i][j] = 1;
  for (const int32 d : {-1, 1}) Fill(t, in, i + d, j, type), Fill(t, in, i, j + d, type);
}
bool Step_Ok(int32 was, int32 now, int32 home) {  // one tick: 8 towards home, or home to rest
  return was == AT_REST || was == home
             ? now == AT_REST
             : (home - was) % 8 == 0 && now - was == (home > was ? 8 : -8);
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
    game_on_ = owed_ = false;
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
    Tick(Random(4) == 0 ? 60 : Random(5));                    // now and then every slide comes home
    plat::Message msg;
    while (!::testing::Test::HasFatalFailure() && plat::detail::pop_message(&msg)) Dispatch(msg);
    ASSERT_FALSE(owed_ && check_all_bubbles_moved()) << "every slide is home, no end screen";
  }

 private:
  POINT Target() {
    const int roll = Random(100);
    if (mode == MODE_GAME && roll < 85) {  // mostly a player who aims at a pair or the selection
      const View v = Look();
      for (int tries = 0; tries < 200; ++tries) {
        const int32 i = Random(10), j = Random(7);
        if (v.marks[i][j] || In_Pair(v.types, i, j))
          return {CELL_SIZE * i + BUBBLE_LEFT + Random(CELL_SIZE),
                  CELL_SIZE * j + BUBBLE_TOP + Random(CELL_SIZE)};
      }
    }
    if (roll < 90) {
      const int32 b = 1 + Random(button_ctr);  // Exit rarely, End now and then
      if ((buttons[b].mode == mode || buttons[b].mode == MODE_ALL) &&
          (b != BTN_EXIT || !Random(25)) && (b != BTN_END || !Random(8)))
        return {buttons[b].topleft.x + 1 + Random(61), buttons[b].topleft.y + 1 + Random(37)};
    }
    return {Random(573) - 40, Random(499) - 40};  // anywhere, beyond the window's edges too
  }
  void Post(uint32 msg, uint32 keys, POINT p) { hl::post(msg, keys, MAKELPARAM(p.x, p.y)); }
  // Every coordinate of every cell on every tick.
  void Tick(int n) {
    for (; n > 0; --n) {
      sBUBBLE_FIELD was[10][7];
      std::memcpy(was, PlayField, sizeof was);
      hl::tick();
      for (int32 k = 0; k < 70; ++k) {
        const POINT a = was[k / 7][k % 7].move_pos, b = PlayField[k / 7][k % 7].move_pos;
        ASSERT_TRUE(Step_Ok(a.x, b.x, CELL_SIZE * (k / 7) + BUBBLE_LEFT) &&
                    Step_Ok(a.y, b.y, CELL_SIZE * (k % 7) + BUBBLE_TOP))
            << "cell " << k << " from " << a.x << "," << a.y << " to " << b.x << "," << b.y;
      }
    }
  }

  void Dispatch(const plat::Message& msg) {
    if (msg.message == WM_QUIT) return Start(Random(4), Random(2));  // Exit: start again
    const bool ok = Random(2);
    hl::set_box_answer(ok ? IDOK : IDCANCEL);
    const View before = Look();
    plat::dispatch_message(msg);
    const View after = Look();
    owed_ = owed_ && after.mode == MODE_GAME;
    if (after.mode == MODE_GAME && (before.mode == MODE_START || before.mode == MODE_GAME_SCORE)) {
      game_on_ = true, finished_ = false, type_ = setup_data.game_type, score_ = gain_ = 0;
    } else if (game_on_ && before.mode == MODE_GAME && msg.message == WM_LBUTTONDOWN &&
               before.types != after.types) {
      Check_Move(before);
      undone_ = before.types, score_ += gain_ = before.marked * (before.marked - 1);
      if (after.pairs == 0) Check_End();
    } else if (game_on_ && before.mode == MODE_GAME && msg.message == WM_LBUTTONUP) {
      if (before.types != after.types) {
        EXPECT_FALSE(finished_) << "Undo took back the move that ended a game";
        EXPECT_EQ(after.types, undone_) << "Undo did not restore the board";
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
    ASSERT_EQ(game_on_ && mode == MODE_GAME ? game_score.score : score_, score_) << "score";
  }
  // The move removed exactly the outlined group, a whole one by our own fill; every other
  // bubble is kept and starts where it was drawn; nothing floats; columns (rows when packing)
  // close up to the right; only emptied columns of the refilling types get new bubbles, which
  // slide in along their rows from beyond the left edge.
  void Check_Move(const View& b) {
    Board group{}, kept = b.types, found{};
    for (int32 k = 0; k < 70; ++k)
      if (b.marks[k / 7][k % 7])
        Fill(b.types, group, k / 7, k % 7, b.types[k / 7][k % 7]), kept[k / 7][k % 7] = 0;
    ASSERT_TRUE(b.marked >= 2 && group == b.marks) << "not the whole group went";
    int32 fresh = 0;
    for (int32 k = 0; k < 70; ++k) {
      const int32 i = k / 7, j = k % 7;
      const auto [type, at, old, marked] = PlayField[i][j];
      if (type == 0) continue;
      ASSERT_TRUE((j == 6 || PlayField[i][j + 1].type) &&
                  (i == 9 || (type_ < 2 && j < 6) || PlayField[i + 1][j].type))
          << "floats or leaves a gap: " << i << "," << j;
      ASSERT_TRUE(old.x == -1 ? at.x < 8 && at.y == AT_REST  // new, from beyond the left edge
                              : unsigned(old.x) < 10 && unsigned(old.y) < 7 &&
                                    at.x == CELL_SIZE * old.x + BUBBLE_LEFT &&
                                    at.y == CELL_SIZE * old.y + BUBBLE_TOP)
          << "not where it was drawn: " << i << "," << j;
      old.x == -1 ? ++fresh : found[old.x][old.y] += type;
    }
    ASSERT_EQ(found, kept) << "the move lost, changed or invented bubbles";
    const auto emptied = std::count(kept.begin(), kept.end(), std::array<int32, 7>{});
    ASSERT_EQ(fresh, type_ % 2 == 1 ? 7 * emptied : 0);
  }
  // The game ran out of groups: its result, with the bonus of its type, is counted, and the move
  // that ended it stays, for the rules while its end screen is owed as for the button.
  void Check_End() {
    const int32 left = Count_Bubbles(), bonus[6] = {500, 200, 100, 50, 25, 0};
    const int32 extra = type_ % 2 == 0 ? bonus[std::min(left, 5)] : 0, result = score_ + extra;
    sSTATISTIC_BLOCK& b = Block(type_);
    ++b.games, b.scores += result, b.high = std::max(b.high, result), finished_ = true;
    owed_ = mode == MODE_GAME;
    const Board ended = Look().types;
    if (game_busy) Undo_Move();
    Execute_Button(BTN_UNDO);
    ASSERT_EQ(Look().types, ended) << "the move that ended the game was taken back";
  }
  sSTATISTIC_BLOCK& Block(int32 t) {
    return *std::array{&model_.normal, &model_.continuous, &model_.shifter, &model_.megashift}[t];
  }

  std::mt19937 rng_;
  sSCORE_STATISTIC model_{};
  bool game_on_ = false, finished_ = false, owed_ = false;
  int32 type_ = 0, score_ = 0, gain_ = 0;
  Board undone_{};  // the board before the last move
};

TEST(Soak, RandomPlayOverEveryScreenKeepsTheRulesAndTheStatistics) {
  const unsigned seed = Seed();
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
