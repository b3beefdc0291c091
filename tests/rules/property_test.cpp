// Thousands of seeded random games of all four types, played through presses with random
// undos, checking after every move, tick and undo the invariants the rules promise. The
// seed is printed; set kReplaySeed to replay a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iostream>
#include <random>
#include <vector>

#include "game/GAME.h"
#include "tests/rules/recorder.h"

using namespace rules_test;

namespace {

constexpr std::uint32_t kReplaySeed = 0;  // non-zero: replay that seed
constexpr int kGames = 2000;
// The longest slide is ten columns: 60 steps of 8 pixels, and a tick to find the rest.
constexpr int kMaxTicks = 61;

using Types = std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS>;
using Cell = std::pair<int32, int32>;
// Each game type's statistics block, named apart from the code under test.
sSTATISTIC_BLOCK sSCORE_STATISTIC::*const kBlock[4] = {
    &sSCORE_STATISTIC::normal, &sSCORE_STATISTIC::continuous, &sSCORE_STATISTIC::shifter,
    &sSCORE_STATISTIC::megashift};

POINT rest(Cell c) { return {48 * c.first + 8, 48 * c.second + 8}; }

Types current_types() {
  Types t;
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) t[i][j] = PlayField[i][j].type;
  return t;
}

// The groups of two or more on a board, found by a fill of our own.
std::vector<std::vector<Cell>> groups_of(const Types& t) {
  std::vector<std::vector<Cell>> groups;
  bool seen[FIELD_COLUMNS][FIELD_ROWS] = {};
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      if (t[i][j] == 0 || seen[i][j]) continue;
      std::vector<Cell> group{{i, j}};
      seen[i][j] = true;
      for (std::size_t k = 0; k < group.size(); ++k) {
        const auto [x, y] = group[k];
        for (const auto& [nx, ny] : {Cell{x, y - 1}, Cell{x, y + 1}, Cell{x - 1, y}, Cell{x + 1, y}}) {
          if (nx < 0 || nx >= FIELD_COLUMNS || ny < 0 || ny >= FIELD_ROWS) continue;
          if (seen[nx][ny] || t[nx][ny] != t[x][y]) continue;
          seen[nx][ny] = true;
          group.push_back({nx, ny});
        }
      }
      if (group.size() >= 2) groups.push_back(group);
    }
  return groups;
}

class RandomGames : public ::testing::Test {
 protected:
  std::mt19937 rng;

  int pick(std::size_t n) { return static_cast<int>(rng() % n); }
  template <typename T>
  const T& any(const std::vector<T>& v) { return v[pick(v.size())]; }
  Cell any_cell() { return {pick(FIELD_COLUMNS), pick(FIELD_ROWS)}; }
  int end_requests() { return count_events("mode 9") + count_events("post 999"); }

  // A press anywhere inside cell c, the gaps right of and below its bubble included.
  void press(Cell c) {
    Check_Bubbles_Clicked(std::min<uint32>(48 * c.first + 8 + pick(48), 485),
                          std::min<uint32>(48 * c.second + 8 + pick(48), 341));
  }

  // One tick: every coordinate away from home closes in by exactly 8 or lands home.
  void checked_tick() {
    sBUBBLE_FIELD was[FIELD_COLUMNS][FIELD_ROWS];
    std::copy(&PlayField[0][0], &PlayField[0][0] + FIELD_COLUMNS * FIELD_ROWS, &was[0][0]);
    animate(0, 0, 0, 0, 0);
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        const POINT home = rest({i, j}), a = was[i][j].move_pos, b = PlayField[i][j].move_pos;
        if (!step_ok(a.x, b.x, home.x) || !step_ok(a.y, b.y, home.y))
          FAIL() << "cell " << i << "," << j << " went from " << a.x << "," << a.y << " to "
                 << b.x << "," << b.y;
      }
  }
  static bool step_ok(int32 was, int32 now, int32 home) {
    if (was == AT_REST || was == home) return now == AT_REST;
    return (home - was) % 8 == 0 && std::abs(home - now) == std::abs(home - was) - 8 &&
           static_cast<int64_t>(home - now) * (home - was) >= 0;
  }

  void run_to_rest() {
    for (int t = 0; t <= kMaxTicks; ++t) {
      if (check_all_bubbles_moved() && game_busy == 0) return;
      checked_tick();
      if (HasFatalFailure()) return;
    }
    FAIL() << "animation still running after " << kMaxTicks << " ticks";
  }

  // The move took exactly the group and scored n(n-1); every other bubble is kept, drawn
  // where it was; new ones fill exactly the emptied columns of the refilling types; no
  // two cells share an old cell; nothing floats, and columns (or rows, for the packing
  // types) close up to the right.
  void check_move(const Types& before, const std::vector<Cell>& group, int32 score_before,
                  int32 type) {
    const int32 n = static_cast<int32>(group.size());
    ASSERT_EQ(game_score.score, score_before + n * (n - 1));
    ASSERT_EQ(undo_score, n * (n - 1));
    Types kept{}, found{};  // 1 where a bubble outside the group stood / is found again
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) kept[i][j] = before[i][j] != 0;
    for (const auto& [gi, gj] : group) kept[gi][gj] = 0;
    bool taken[FIELD_COLUMNS][FIELD_ROWS] = {};
    int32 fresh = 0;
    const bool packs = type == 2 || type == 3;
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        const sBUBBLE_FIELD& c = PlayField[i][j];
        const auto [ox, oy] = c.old_pos;
        if (ox != -1 || oy != -1) {
          ASSERT_TRUE(ox >= 0 && ox < FIELD_COLUMNS && oy >= 0 && oy < FIELD_ROWS);
          ASSERT_FALSE(taken[ox][oy]) << "two cells came from " << ox << "," << oy;
          taken[ox][oy] = true;
        }
        if (c.type == 0) continue;
        if (j + 1 < FIELD_ROWS) ASSERT_NE(PlayField[i][j + 1].type, 0) << "floats: " << i << "," << j;
        if (i + 1 < FIELD_COLUMNS && (packs || j + 1 == FIELD_ROWS))
          ASSERT_NE(PlayField[i + 1][j].type, 0) << "a gap right of " << i << "," << j;
        if (ox == -1) {
          ++fresh;
          ASSERT_TRUE(c.move_pos.y == AT_REST && c.move_pos.x <= -40 && (8 - c.move_pos.x) % 48 == 0);
          continue;
        }
        ASSERT_EQ(c.type, before[ox][oy]);
        ASSERT_TRUE(c.move_pos.x == rest({ox, oy}).x && c.move_pos.y == rest({ox, oy}).y);
        found[ox][oy] = 1;
      }
    ASSERT_EQ(found, kept) << "the move lost or invented bubbles";
    const auto emptied = std::count(kept.begin(), kept.end(), std::array<int32, FIELD_ROWS>{});
    ASSERT_EQ(fresh, type == 1 || type == 3 ? 7 * emptied : 0);
  }

  // Undo brings back every colour and the score, each bubble sliding from where it stood,
  // and a second undo does nothing.
  void check_undo(const Types& before, int32 score_before) {
    Cell stood[FIELD_COLUMNS][FIELD_ROWS];
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) stood[i][j] = {i, j};
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j)
        if (const sBUBBLE_FIELD& c = PlayField[i][j]; c.type != 0 && c.old_pos.x != -1)
          stood[c.old_pos.x][c.old_pos.y] = {i, j};
    Undo_Move();
    ASSERT_EQ(current_types(), before) << "undo did not restore the board";
    ASSERT_EQ(game_score.score, score_before);
    ASSERT_EQ(game_busy, 1) << "the return is always animated";
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        const sBUBBLE_FIELD& c = PlayField[i][j];
        ASSERT_EQ(c.old_pos.x, -1);
        const POINT start = rest(stood[i][j]);
        if (c.type != 0) ASSERT_TRUE(c.move_pos.x == start.x && c.move_pos.y == start.y) << i << "," << j;
      }
    run_to_rest();
    Undo_Move();
    ASSERT_EQ(game_busy, 0) << "a second undo started something";
  }

  // The end: the bonus of its type, the result in its own block, one end-of-game request.
  void check_end(int32 type, const sSTATISTIC_BLOCK& block_before) {
    static const int32 bonus_by_left[5] = {500, 200, 100, 50, 25};
    const int32 left = Count_Bubbles();
    const int32 bonus = (type == 0 || type == 2) && left < 5 ? bonus_by_left[left] : 0;
    ASSERT_EQ(game_score.bubble_bonus, bonus);
    const int32 result = game_score.score + bonus;
    const sSTATISTIC_BLOCK& block = score_statistic.*kBlock[type];
    ASSERT_EQ(block.games, block_before.games + 1);
    ASSERT_EQ(block.scores, block_before.scores + result);
    ASSERT_EQ(block.high, std::max(result, block_before.high));
    ASSERT_EQ(highscore, result > block_before.high ? 1 : 0);
    if (game_busy) {
      ASSERT_EQ(end_requests(), 0) << "the end-of-game screen waits for the animation";
      Undo_Move();  // refused: the result is already recorded
      ASSERT_EQ(undo, 1);
      run_to_rest();
      animate(0, 0, 0, 0, 0);
    }
    ASSERT_EQ(end_requests(), 1);
  }

  // A press on a random cell selects exactly its group of two or more; a press beside
  // the selection only drops it.
  void random_press(const std::vector<std::vector<Cell>>& groups) {
    const Cell cell = any_cell();
    press(cell);
    std::size_t size = 0;
    for (const auto& g : groups)
      if (std::find(g.begin(), g.end(), cell) != g.end()) size = g.size();
    ASSERT_EQ(number_bubbles_marked, static_cast<int32>(size));
    ASSERT_EQ(bubbles_marked, size >= 2 ? 1 : 0);
    if (!bubbles_marked) return;
    Cell other;
    do other = any_cell();
    while (PlayField[other.first][other.second].marked);
    press(other);
    ASSERT_EQ(bubbles_marked, 0);
    ASSERT_EQ(bubble_points, 0);
  }

  // One move on a random group, confirmed on a random member of it, then maybe an undo.
  // Returns false once the game is over.
  bool play_move(int32 type) {
    const Types before = current_types();
    const auto groups = groups_of(before);
    if (groups.empty()) return false;
    if (pick(8) == 0) random_press(groups);
    const auto& group = any(groups);
    const int32 n = static_cast<int32>(group.size());
    press(any(group));
    EXPECT_EQ(bubbles_marked, 1);
    EXPECT_EQ(bubble_points, n * (n - 1));
    const int32 score_before = game_score.score;
    const sSTATISTIC_BLOCK block_before = score_statistic.*kBlock[type];
    const int pops_before = count_events("play pop");
    press(any(group));
    EXPECT_EQ(undo, 1);
    EXPECT_EQ(count_events("play pop") - pops_before, setup_data.play_sounds ? 1 : 0);
    EXPECT_EQ(game_busy, setup_data.animations ? 1 : 0);
    check_move(before, group, score_before, type);
    if (HasFailure()) return false;
    if (groups_of(current_types()).empty()) {
      check_end(type, block_before);
      return false;
    }
    EXPECT_EQ(end_requests(), 0);
    if (pick(6) == 0) {
      // Undo, sometimes while the move's own animation still runs.
      for (int t = pick(2) ? pick(20) : 0; t > 0 && game_busy; --t) checked_tick();
      check_undo(before, score_before);
    } else {
      run_to_rest();
    }
    return !HasFailure();
  }
};

TEST_F(RandomGames, EveryMoveTickAndUndoKeepsTheRules) {
  const std::uint32_t seed = kReplaySeed != 0 ? kReplaySeed : std::random_device{}();
  std::cout << "[ seed     ] " << seed << std::endl;
  RecordProperty("seed", std::to_string(seed));
  rng.seed(seed);
  std::srand(seed);
  reset_world();
  int moves = 0;
  for (int game = 0; game < kGames && !HasFailure(); ++game) {
    const int32 type = game % 4;
    setup_data = {type, pick(2), pick(4) != 0 ? 1 : 0};
    New_Game();
    events().clear();
    Undo_Move();  // the last game's move is not this one's to take back
    ASSERT_TRUE(events().empty());
    ASSERT_EQ(Count_Bubbles(), 70);
    while (play_move(type)) ++moves;
    if (HasFailure())
      ADD_FAILURE() << "game " << game << " (type " << type << "), seed " << seed << "\n"
                    << board_text();
  }
  std::cout << "[ played   ] " << kGames << " games, " << moves << " moves" << std::endl;
  const sSCORE_STATISTIC& s = score_statistic;
  EXPECT_EQ(s.normal.games + s.continuous.games + s.shifter.games + s.megashift.games, kGames);
}

}  // namespace
