// Seeded random games of all four types with random undos, on the real game with the timer
// ticked by hand, checking what the rules promise after every move, tick and undo against a
// model of our own. The seed is printed; ORBOLAN_SEED=<seed> replays it.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/support/harness.h"

namespace {

namespace hl = plat::headless;
constexpr int kGames = 48;
using Types = std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS>;
using Cell = std::pair<int32, int32>;

bool On_Board(Cell c) { return c.first >= 0 && c.first < 10 && c.second >= 0 && c.second < 7; }
Types Current() {
  Types t;
  for (int32 i = 0; i < 10; ++i)
    for (int32 j = 0; j < 7; ++j) t[i][j] = PlayField[i][j].type;
  return t;
}
// The groups of two or more, by a fill of our own.
std::vector<std::vector<Cell>> Groups(const Types& t) {
  std::vector<std::vector<Cell>> groups;
  Types seen{};
  for (int32 k = 0; k < 70; ++k) {
    std::vector<Cell> group, todo = {{k / 7, k % 7}};
    const int32 type = t[k / 7][k % 7];
    while (type != 0 && !todo.empty()) {
      const Cell c = todo.back();
      todo.pop_back();
      if (!On_Board(c) || seen[c.first][c.second] || t[c.first][c.second] != type) continue;
      seen[c.first][c.second] = 1;
      group.push_back(c);
      for (auto [di, dj] : {Cell{0, -1}, Cell{0, 1}, Cell{-1, 0}, Cell{1, 0}})
        todo.push_back({c.first + di, c.second + dj});
    }
    if (group.size() >= 2) groups.push_back(group);
  }
  return groups;
}
// One tick on one axis: a step of 8 towards home, or from home to rest.
bool Step_Ok(int32 was, int32 now, int32 home) {
  if (was == AT_REST || was == home) return now == AT_REST;
  return (home - was) % 8 == 0 && now == was + (home > was ? 8 : -8);
}

struct RandomGames : ::testing::Test {
  std::mt19937 rng;
  int Pick(std::size_t n) { return int(rng() % n); }
  void Press(Cell c) {  // anywhere in the cell, the gap around the bubble included
    Check_Bubbles_Clicked(48 * c.first + 8 + Pick(48), 48 * c.second + 8 + Pick(48));
  }
  // Ticks until all rests (at most 61: ten columns at 8 pixels, one more to find the rest),
  // checking every coordinate of every cell on every tick.
  void Run_Ticks(int most = 61) {
    for (int t = 0; !(check_all_bubbles_moved() && game_busy == 0); ++t) {
      if (t == most) {
        ASSERT_LT(most, 61) << "still sliding after 61 ticks";
        return;
      }
      sBUBBLE_FIELD was[10][7];
      std::memcpy(was, PlayField, sizeof was);
      hl::tick();
      for (int32 k = 0; k < 70; ++k) {
        const POINT a = was[k / 7][k % 7].move_pos, b = PlayField[k / 7][k % 7].move_pos;
        if (!Step_Ok(a.x, b.x, 48 * (k / 7) + 8) || !Step_Ok(a.y, b.y, 48 * (k % 7) + 8))
          FAIL() << "cell " << k / 7 << "," << k % 7 << " from " << a.x << "," << a.y << " to "
                 << b.x << "," << b.y;
      }
    }
  }
  // The move removed exactly the group and scored n(n-1); every other bubble is kept and
  // starts where it was drawn; only emptied columns of the refilling types get new ones;
  // nothing floats; columns (rows when packing) close up to the right.
  void Check_Move(const Types& before, const std::vector<Cell>& group, int32 score, int32 type) {
    const int32 n = int32(group.size());
    ASSERT_EQ(game_score.score - score, n * (n - 1));
    Types kept{}, found{};
    for (int32 k = 0; k < 70; ++k) kept[k / 7][k % 7] = before[k / 7][k % 7] != 0;
    for (auto [i, j] : group) kept[i][j] = 0;
    bool taken[10][7] = {};
    int32 fresh = 0;
    for (int32 k = 0; k < 70; ++k) {
      const int32 i = k / 7, j = k % 7;
      const sBUBBLE_FIELD& c = PlayField[i][j];
      const Cell old = {c.old_pos.x, c.old_pos.y};
      if (old != Cell{-1, -1}) {
        ASSERT_TRUE(On_Board(old) && !taken[old.first][old.second]) << i << "," << j;
        taken[old.first][old.second] = true;
      }
      if (c.type == 0) continue;
      ASSERT_TRUE(j == 6 || PlayField[i][j + 1].type != 0) << "floats: " << i << "," << j;
      ASSERT_TRUE(i == 9 || (type < 2 && j < 6) || PlayField[i + 1][j].type != 0)
          << "gap: " << i << "," << j;
      if (old == Cell{-1, -1}) {
        ASSERT_EQ(c.move_pos.y, AT_REST);  // a new one slides in along its row
        ++fresh;
        continue;
      }
      ASSERT_TRUE(c.type == before[old.first][old.second] && c.move_pos.x == 48 * old.first + 8 &&
                  c.move_pos.y == 48 * old.second + 8)
          << "not as it was: " << i << "," << j;
      found[old.first][old.second] = 1;
    }
    ASSERT_EQ(found, kept) << "the move lost or invented bubbles";
    const auto emptied = std::count(kept.begin(), kept.end(), std::array<int32, 7>{});
    ASSERT_EQ(fresh, type % 2 == 1 ? 7 * emptied : 0);
  }
  // The end: the bonus of its type, the result in its own block, the end screen shown once
  // every slide is home, and no undo of the move that ended the game.
  void Check_End(int32 type, const sSTATISTIC_BLOCK& was) {
    static const int32 bonus_by_left[5] = {500, 200, 100, 50, 25};
    const int32 left = Count_Bubbles(), bonus = type % 2 == 0 && left < 5 ? bonus_by_left[left] : 0;
    const int32 result = game_score.score + bonus;
    const sSTATISTIC_BLOCK& b = type == 0   ? score_statistic.normal
                                : type == 1 ? score_statistic.continuous
                                : type == 2 ? score_statistic.shifter
                                            : score_statistic.megashift;
    ASSERT_EQ((std::array{game_score.bubble_bonus, b.games, b.scores, b.high, highscore}),
              (std::array{bonus, was.games + 1, was.scores + result, std::max(result, was.high),
                          result > was.high ? 1 : 0}));
    const Types ended = Current();
    if (game_busy) Undo_Move();   // the rules refuse it while the end screen is owed,
    Execute_Button(proof::UNDO);  // and the button once the game is over
    ASSERT_EQ(Current(), ended) << "the move that ended the game was taken back";
    Run_Ticks();
    hl::pump();
    ASSERT_EQ(mode, MODE_GAME_SCORE);
  }
  // One move on a random group, sometimes after a stray press, then maybe an undo. False
  // once the game is over.
  bool Play_Move(int32 type) {
    const Types before = Current();
    const auto groups = Groups(before);
    if (groups.empty()) return false;
    const auto& group = groups[Pick(groups.size())];
    const int32 n = int32(group.size()), score = game_score.score;
    if (Pick(8) == 0) {  // a press beside the selection only drops it
      Press(group[0]);
      Cell other = {Pick(10), Pick(7)};
      while (PlayField[other.first][other.second].marked) other = {Pick(10), Pick(7)};
      Press(other);
      EXPECT_EQ(bubbles_marked + bubble_points, 0);
    }
    Press(group[Pick(group.size())]);
    EXPECT_EQ(bubble_points, n * (n - 1));
    const sSTATISTIC_BLOCK block = type == 0   ? score_statistic.normal
                                   : type == 1 ? score_statistic.continuous
                                   : type == 2 ? score_statistic.shifter
                                               : score_statistic.megashift;
    const auto pops = hl::sound_log().size();
    Press(group[Pick(group.size())]);
    EXPECT_EQ((std::array{undo, int32(hl::sound_log().size() > pops), game_busy}),
              (std::array{1, int32(setup_data.play_sounds != 0), setup_data.animations}));
    Check_Move(before, group, score, type);
    if (HasFailure()) return false;
    if (Groups(Current()).empty()) return Check_End(type, block), false;
    if (Pick(6) == 0) {  // undo, sometimes while the move's own slide still runs
      Run_Ticks(Pick(2) ? Pick(20) : 0);
      Undo_Move();
      EXPECT_EQ(Current(), before) << "undo did not restore the board";
      EXPECT_EQ((std::array{game_score.score, game_busy, undo}), (std::array{score, 1, 0}));
    }
    Run_Ticks();
    return !HasFailure();
  }
};

TEST_F(RandomGames, EveryMoveTickAndUndoKeepsTheRules) {
  const char* replay = std::getenv("ORBOLAN_SEED");
  const unsigned seed =
      replay ? unsigned(std::strtoul(replay, nullptr, 10)) : std::random_device{}();
  std::printf("seed %u (replay with ORBOLAN_SEED=%u)\n", seed, seed);
  rng.seed(seed);
  proof::Work_Dir dir("rules");
  ASSERT_TRUE(proof::Restart({}));
  for (int game = 0; game < kGames && !HasFailure(); ++game) {
    const int32 type = game % 4;
    std::lock_guard lock(plat::world_lock());
    setup_data = {type, Pick(2), Pick(4) != 0 ? 1 : 0};
    std::srand(seed + game);
    change_mode(MODE_GAME);
    std::srand(seed + game);  // the board is dealt row by row from the top
    for (int32 k = 0; k < 70; ++k)
      ASSERT_EQ(PlayField[k % 10][k / 10].type, std::rand() % 5 + 1) << k;
    while (Play_Move(type)) continue;
    if (HasFailure()) ADD_FAILURE() << "game " << game << " (type " << type << "), seed " << seed;
  }
}

// The bonus by bubbles left for the types that earn one: a pair removed from a bottom row of
// `left` singles after it. The best is one below the result for odd `left`, equal to it for
// even: only a strictly greater result is a new best.
TEST(EndBonus, ByBubblesLeftAndOnlyAGreaterResultIsANewBest) {
  proof::Work_Dir dir("bonus");
  ASSERT_TRUE(proof::Restart({}));
  const int32 bonus[] = {500, 200, 100, 50, 25, 0};
  for (const int32 type : {0, 2})
    for (int32 left = 0; left <= 5; ++left) {
      SCOPED_TRACE("type " + std::to_string(type) + ", left " + std::to_string(left));
      std::lock_guard lock(plat::world_lock());
      setup_data.game_type = type;
      change_mode(MODE_GAME);
      proof::Set_Board([&](int32 i, int32 j) {
        return j < 6 || i >= 2 + left ? 0 : i < 2 ? 3 : 1 + i % 2;
      });
      sSTATISTIC_BLOCK& b = type == 0 ? score_statistic.normal : score_statistic.shifter;
      b = {4, 1000, 2 + bonus[left] - left % 2};
      for (int k = 0; k < 2; ++k) Check_Bubbles_Clicked(proof::Cell_X(0), proof::Cell_Y(6));
      EXPECT_EQ((std::array{mode, game_score.bubble_bonus, b.games, b.scores, b.high, highscore}),
                (std::array{MODE_GAME_SCORE, bonus[left], 5, 1002 + bonus[left], 2 + bonus[left],
                            left % 2}));
    }
}

}  // namespace
