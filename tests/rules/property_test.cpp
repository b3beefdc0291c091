// Thousands of seeded random games of all four types with random undos, checking what the
// rules promise after every move, tick and undo. Set kReplaySeed to replay a printed seed.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <vector>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

constexpr std::uint32_t kReplaySeed = 0;  // non-zero: replay that seed
constexpr int kGames = 2000;
constexpr int kMaxTicks = 61;  // ten columns at 8 pixels a tick, and a tick to find the rest

using Types = std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS>;
using Cell = std::pair<int32, int32>;
const std::vector<Cell> kCells = [] {
  std::vector<Cell> cells;
  for (int32 k = 0; k < FIELD_COLUMNS * FIELD_ROWS; ++k) cells.push_back({k / 7, k % 7});
  return cells;
}();
// Each game type's statistics block, named apart from the code under test.
sSTATISTIC_BLOCK sSCORE_STATISTIC::*const kBlock[4] = {
    &sSCORE_STATISTIC::normal, &sSCORE_STATISTIC::continuous, &sSCORE_STATISTIC::shifter,
    &sSCORE_STATISTIC::megashift};

bool on_board(Cell c) { return c.first >= 0 && c.first < 10 && c.second >= 0 && c.second < 7; }
bool drawn_at(POINT p, Cell c) { return p.x == 48 * c.first + 8 && p.y == 48 * c.second + 8; }
// One tick on one axis: a step of 8 towards home, or from home to rest.
bool step_ok(int32 was, int32 now, int32 home) {
  if (was == AT_REST || was == home) return now == AT_REST;
  return (home - was) % 8 == 0 && now == was + (home > was ? 8 : -8);
}

Types current_types() {
  Types t;
  for (const auto& [i, j] : kCells) t[i][j] = PlayField[i][j].type;
  return t;
}

// The groups of two or more on a board, found by a fill of our own.
void fill(const Types& t, Cell c, int32 type, Types& seen, std::vector<Cell>& group) {
  if (!on_board(c) || seen[c.first][c.second] || t[c.first][c.second] != type) return;
  seen[c.first][c.second] = 1;
  group.push_back(c);
  for (const auto& [di, dj] : {Cell{0, -1}, Cell{0, 1}, Cell{-1, 0}, Cell{1, 0}})
    fill(t, {c.first + di, c.second + dj}, type, seen, group);
}
std::vector<std::vector<Cell>> groups_of(const Types& t) {
  std::vector<std::vector<Cell>> groups;
  Types seen{};
  for (const auto& [i, j] : kCells) {
    std::vector<Cell> group;
    if (t[i][j] != 0) fill(t, {i, j}, t[i][j], seen, group);
    if (group.size() >= 2) groups.push_back(group);
  }
  return groups;
}

class RandomGames : public ::testing::Test {
 protected:
  std::mt19937 rng;
  int pick(std::size_t n) { return static_cast<int>(rng() % n); }
  int end_requests() { return count_events("mode 9") + count_events("post 999"); }

  // A press anywhere inside a random cell of the group, the gaps beside the bubble included.
  void press(const std::vector<Cell>& group) {
    const auto [i, j] = group[pick(group.size())];
    Check_Bubbles_Clicked(std::min(48 * i + 8 + pick(48), 485),
                          std::min(48 * j + 8 + pick(48), 341));
  }

  // Ticks until everything rests, at most `most` times (failing if the full limit is not
  // enough), checking every coordinate of every cell on every tick.
  void run_ticks(int most = kMaxTicks) {
    for (int t = 0; !(check_all_bubbles_moved() && game_busy == 0); ++t) {
      if (t == most) {
        ASSERT_LT(most, kMaxTicks) << "animation still running after " << kMaxTicks << " ticks";
        return;
      }
      sBUBBLE_FIELD was[FIELD_COLUMNS][FIELD_ROWS];
      std::memcpy(was, PlayField, sizeof was);
      animate(0, 0, 0, 0, 0);
      for (const auto& [i, j] : kCells) {
        const POINT a = was[i][j].move_pos, b = PlayField[i][j].move_pos;
        if (!step_ok(a.x, b.x, 48 * i + 8) || !step_ok(a.y, b.y, 48 * j + 8))  // hot: no ASSERT
          FAIL() << i << "," << j << " from " << a.x << "," << a.y << " to " << b.x << "," << b.y;
      }
    }
  }

  // The move removed exactly the group and scored n(n-1). Every other bubble is kept and
  // drawn where it was; new ones only fill the emptied columns of the refilling types; no
  // two cells share an old cell; nothing floats; columns (rows when packing) close up right.
  void check_move(const Types& before, const std::vector<Cell>& group, int32 score, int32 type) {
    const int32 n = static_cast<int32>(group.size());
    ASSERT_EQ(game_score.score - score, n * (n - 1));
    ASSERT_EQ(undo_score, n * (n - 1));
    Types kept{}, found{};  // 1 where a bubble outside the group stood / is found again
    for (const auto& [i, j] : kCells) kept[i][j] = before[i][j] != 0;
    for (const auto& [i, j] : group) kept[i][j] = 0;
    bool taken[FIELD_COLUMNS][FIELD_ROWS] = {};
    int32 fresh = 0;
    for (const auto& [i, j] : kCells) {
      const sBUBBLE_FIELD& c = PlayField[i][j];
      const Cell old = {c.old_pos.x, c.old_pos.y};
      if (old != Cell{-1, -1}) {
        ASSERT_TRUE(on_board(old) && !taken[old.first][old.second]) << "old: " << i << "," << j;
        taken[old.first][old.second] = true;
      }
      if (c.type == 0) continue;
      ASSERT_TRUE(j == 6 || PlayField[i][j + 1].type != 0) << "floats: " << i << "," << j;
      ASSERT_TRUE(i == 9 || (type < 2 && j < 6) || PlayField[i + 1][j].type != 0)
          << "a gap right of " << i << "," << j;
      fresh += old == Cell{-1, -1};  // new, sliding in from the left
      if (old == Cell{-1, -1}) continue;
      ASSERT_TRUE(c.type == before[old.first][old.second] && drawn_at(c.move_pos, old))
          << "not as it was: " << i << "," << j;
      found[old.first][old.second] = 1;
    }
    ASSERT_EQ(found, kept) << "the move lost or invented bubbles";
    const auto emptied = std::count(kept.begin(), kept.end(), std::array<int32, FIELD_ROWS>{});
    ASSERT_EQ(fresh, type % 2 == 1 ? 7 * emptied : 0) << "only emptied columns are refilled";
  }

  // The end: the bonus of its type, the result in its own block, one end-of-game request,
  // and no undo while that request waits for the animation.
  void check_end(int32 type, const sSTATISTIC_BLOCK& was) {
    static const int32 bonus_by_left[5] = {500, 200, 100, 50, 25};
    const int32 left = Count_Bubbles(), bonus = type % 2 == 0 && left < 5 ? bonus_by_left[left] : 0;
    const int32 result = game_score.score + bonus;
    const sSTATISTIC_BLOCK& b = score_statistic.*kBlock[type];
    ASSERT_EQ((std::array{game_score.bubble_bonus, b.games, b.scores, b.high, highscore}),
              (std::array{bonus, was.games + 1, was.scores + result, std::max(result, was.high),
                          result > was.high ? 1 : 0}));
    if (game_busy) {
      ASSERT_EQ(end_requests(), 0) << "the end-of-game screen waits for the animation";
      Undo_Move();
      ASSERT_EQ(undo, 1) << "the recorded game could be taken back";
      run_ticks();
      animate(0, 0, 0, 0, 0);
    }
    ASSERT_EQ(end_requests(), 1);
  }

  // One move on a random group, sometimes after a stray press, then maybe an undo. Returns
  // false once the game is over.
  bool play_move(int32 type) {
    const Types before = current_types();
    const auto groups = groups_of(before);
    if (groups.empty()) return false;
    const auto& group = groups[pick(groups.size())];
    const int32 n = static_cast<int32>(group.size()), score = game_score.score;
    if (pick(8) == 0) {  // a press beside the selection only drops it
      press(group);
      Cell other = {pick(10), pick(7)};
      while (PlayField[other.first][other.second].marked) other = {pick(10), pick(7)};
      press({other});
      EXPECT_EQ(bubbles_marked + bubble_points, 0);
    }
    press(group);
    EXPECT_EQ(bubble_points, n * (n - 1));
    const sSTATISTIC_BLOCK block = score_statistic.*kBlock[type];
    const int pops = count_events("play pop");
    press(group);
    EXPECT_EQ((std::array{undo, count_events("play pop") - pops, game_busy}),
              (std::array{1, setup_data.play_sounds ? 1 : 0, setup_data.animations ? 1 : 0}));
    check_move(before, group, score, type);
    if (HasFailure()) return false;
    if (groups_of(current_types()).empty()) {
      check_end(type, block);
      return false;
    }
    EXPECT_EQ(end_requests(), 0);
    if (pick(6) == 0) {  // undo, sometimes while the move's own animation still runs
      run_ticks(pick(2) ? pick(20) : 0);
      Undo_Move();
      EXPECT_EQ(current_types(), before) << "undo did not restore the board";
      // The return is always animated, and there is nothing more to take back.
      EXPECT_EQ((std::array{game_score.score, game_busy, undo}), (std::array{score, 1, 0}));
    }
    run_ticks();
    return !HasFailure();
  }
};

TEST_F(RandomGames, EveryMoveTickAndUndoKeepsTheRules) {
  const std::uint32_t seed = kReplaySeed != 0 ? kReplaySeed : std::random_device{}();
  std::cout << "[ seed     ] " << seed << std::endl;
  rng.seed(seed);
  for (int game = 0; game < kGames && !HasFailure(); ++game) {
    const int32 type = game % 4;
    setup_data = {type, pick(2), pick(4) != 0 ? 1 : 0};
    std::srand(seed + game);
    New_Game();
    std::srand(seed + game);  // the board is drawn row by row from the top
    for (int32 k = 0; k < FIELD_COLUMNS * FIELD_ROWS; ++k)
      ASSERT_EQ(PlayField[k % 10][k / 10].type, std::rand() % 5 + 1) << k;
    events.clear();
    Undo_Move();
    ASSERT_TRUE(events.empty() && game_score.score == 0) << "the last game is not forgotten";
    while (play_move(type)) continue;
    if (HasFailure()) ADD_FAILURE() << "game " << game << " (type " << type << "), seed " << seed;
  }
}

}  // namespace
