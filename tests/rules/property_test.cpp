// Thousands of seeded random games of all four types, played through the press protocol
// with random undos, checking after every move, tick and undo the invariants the rules
// promise. The seed is printed; set kReplaySeed to replay a failure.
#include <gtest/gtest.h>

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
// The longest slide a move or an undo can start is ten columns: 480 pixels, 60 steps,
// and one tick more to find everything at rest.
constexpr int kMaxTicks = 61;

using Types = std::array<std::array<int32, FIELD_ROWS>, FIELD_COLUMNS>;
using Cell = std::pair<int32, int32>;

Types current_types() {
  Types t;
  for (int32 i = 0; i < FIELD_COLUMNS; ++i)
    for (int32 j = 0; j < FIELD_ROWS; ++j) t[i][j] = PlayField[i][j].type;
  return t;
}

// The groups of two or more on a board, found independently of the code under test.
std::vector<std::vector<Cell>> groups_of(const Types& t) {
  std::vector<std::vector<Cell>> groups;
  bool seen[FIELD_COLUMNS][FIELD_ROWS] = {};
  for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
    for (int32 j = 0; j < FIELD_ROWS; ++j) {
      if (t[i][j] == 0 || seen[i][j]) continue;
      std::vector<Cell> group{{i, j}};
      seen[i][j] = true;
      for (std::size_t k = 0; k < group.size(); ++k) {
        const auto [x, y] = group[k];
        const Cell next[] = {{x, y - 1}, {x, y + 1}, {x - 1, y}, {x + 1, y}};
        for (const auto& [nx, ny] : next) {
          if (nx < 0 || nx >= FIELD_COLUMNS || ny < 0 || ny >= FIELD_ROWS) continue;
          if (seen[nx][ny] || t[nx][ny] != t[x][y]) continue;
          seen[nx][ny] = true;
          group.push_back({nx, ny});
        }
      }
      if (group.size() >= 2) groups.push_back(group);
    }
  }
  return groups;
}

POINT rest(int32 i, int32 j) { return {48 * i + 8, 48 * j + 8}; }

bool column_empty(int32 i) {
  for (int32 j = 0; j < FIELD_ROWS; ++j)
    if (PlayField[i][j].type != 0) return false;
  return true;
}

class RandomGames : public ::testing::Test {
 protected:
  std::mt19937 rng;
  int ends_seen = 0;  // end-of-game screens requested in the running game

  int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

  // A press somewhere inside cell (i, j), gap pixels included, inside the board area.
  void press(int32 i, int32 j) {
    const uint32 x = std::min<uint32>(48 * i + 8 + pick(48), 485);
    const uint32 y = std::min<uint32>(48 * j + 8 + pick(48), 341);
    Check_Bubbles_Clicked(x, y);
  }

  int end_requests() { return count_events("mode 9") + count_events("post 999"); }

  // One tick, checking that every coordinate away from home closes in by exactly 8 and
  // lands on home exactly (plain comparisons: this runs a million times).
  void checked_tick() {
    sBUBBLE_FIELD before[FIELD_COLUMNS][FIELD_ROWS];
    std::copy(&PlayField[0][0], &PlayField[0][0] + FIELD_COLUMNS * FIELD_ROWS, &before[0][0]);
    animate(0, 0, 0, 0, 0);
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        const POINT home = rest(i, j);
        const POINT was = before[i][j].move_pos, now = PlayField[i][j].move_pos;
        if (!axis_step_ok(was.x, now.x, home.x) || !axis_step_ok(was.y, now.y, home.y)) {
          FAIL() << "cell " << i << "," << j << " went from (" << was.x << ", " << was.y
                 << ") to (" << now.x << ", " << now.y << "), home (" << home.x << ", "
                 << home.y << ")";
        }
      }
    }
  }

  static bool axis_step_ok(int32 was, int32 now, int32 home) {
    if (was == AT_REST || was == home) return now == AT_REST;
    if ((home - was) % 8 != 0) return false;  // would never land
    return std::abs(home - now) == std::abs(home - was) - 8 &&
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

  void check_old_cells_unique() {
    bool seen[FIELD_COLUMNS][FIELD_ROWS] = {};
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        const POINT o = PlayField[i][j].old_pos;
        if (o.x == -1 && o.y == -1) continue;
        ASSERT_TRUE(o.x >= 0 && o.x < FIELD_COLUMNS && o.y >= 0 && o.y < FIELD_ROWS);
        ASSERT_FALSE(seen[o.x][o.y]) << "two cells came from " << o.x << "," << o.y;
        seen[o.x][o.y] = true;
      }
  }

  void check_shape(int32 type) {
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j + 1 < FIELD_ROWS; ++j)
        ASSERT_FALSE(PlayField[i][j].type != 0 && PlayField[i][j + 1].type == 0)
            << "a bubble floats at " << i << "," << j;
    const bool packed_rows = type == 2 || type == 3;
    for (int32 i = 0; i + 1 < FIELD_COLUMNS; ++i) {
      if (packed_rows) {
        for (int32 j = 0; j < FIELD_ROWS; ++j)
          ASSERT_FALSE(PlayField[i][j].type != 0 && PlayField[i + 1][j].type == 0)
              << "row " << j << " is not packed right";
      } else {
        ASSERT_FALSE(!column_empty(i) && column_empty(i + 1))
            << "an empty column right of column " << i;
      }
    }
  }

  // Old bubbles keep their order: along a column for the types without packing, along a
  // row (left of them only new ones) for the packing types.
  void check_order(int32 type) {
    if (type == 2 || type == 3) {
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        int32 last_x = -1;
        for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
          const sBUBBLE_FIELD& c = PlayField[i][j];
          if (c.type == 0) continue;
          if (c.old_pos.x == -1) {
            ASSERT_EQ(last_x, -1) << "a new bubble right of an old one in row " << j;
            continue;
          }
          ASSERT_GT(c.old_pos.x, last_x) << "row " << j << " changed its order";
          last_x = c.old_pos.x;
        }
      }
      return;
    }
    int32 last_column = -1;
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      int32 from = -2, last_y = -1;
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        const sBUBBLE_FIELD& c = PlayField[i][j];
        if (c.type == 0) continue;
        if (c.old_pos.x == -1) {
          ASSERT_EQ(last_column, -1) << "a new column right of an old one";
          continue;
        }
        if (from == -2) from = c.old_pos.x;
        ASSERT_EQ(c.old_pos.x, from) << "column " << i << " mixes columns";
        ASSERT_GT(c.old_pos.y, last_y) << "column " << i << " changed its order";
        last_y = c.old_pos.y;
      }
      if (from >= 0) {
        ASSERT_GT(from, last_column) << "columns changed their order";
        last_column = from;
      }
    }
  }

  // Everything a move promises, given the board, score and group before it.
  void check_move(const Types& before, const std::vector<Cell>& group, int32 score_before,
                  int32 type) {
    const int32 n = static_cast<int32>(group.size());
    ASSERT_EQ(game_score.score, score_before + n * (n - 1));
    ASSERT_EQ(undo_score, n * (n - 1));
    ASSERT_EQ(bubbles_marked, 0);
    ASSERT_EQ(bubble_points, 0);
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) ASSERT_EQ(undo_bubble_types[i][j], before[i][j]);
    check_old_cells_unique();
    if (HasFatalFailure()) return;

    // Exactly the bubbles outside the group are still there, each drawn where it was.
    Types expected{}, found{};  // 1 where a bubble outside the group stood / was found
    for (int32 i = 0; i < FIELD_COLUMNS; ++i)
      for (int32 j = 0; j < FIELD_ROWS; ++j) expected[i][j] = before[i][j] != 0;
    for (const auto& [gi, gj] : group) expected[gi][gj] = 0;
    int32 fresh = 0;
    for (int32 i = 0; i < FIELD_COLUMNS; ++i) {
      for (int32 j = 0; j < FIELD_ROWS; ++j) {
        // (marked flags left by the game-over scan mean nothing while nothing is selected)
        const sBUBBLE_FIELD& c = PlayField[i][j];
        if (c.type == 0) continue;
        if (c.old_pos.x == -1) {
          ++fresh;
          ASSERT_EQ(c.move_pos.y, AT_REST);
          ASSERT_LE(c.move_pos.x, -40);
          ASSERT_EQ((8 - c.move_pos.x) % 48, 0);
          continue;
        }
        ASSERT_EQ(c.type, before[c.old_pos.x][c.old_pos.y]);
        const POINT was = rest(c.old_pos.x, c.old_pos.y);
        ASSERT_EQ(c.move_pos.x, was.x);
        ASSERT_EQ(c.move_pos.y, was.y);
        found[c.old_pos.x][c.old_pos.y] = 1;
      }
    }
    ASSERT_EQ(found, expected) << "the move lost or invented bubbles";
    if (type == 0 || type == 2) {
      ASSERT_EQ(fresh, 0) << "this type never adds bubbles";
    }
    ASSERT_EQ(fresh % 7, 0) << "only whole columns are added";
    check_shape(type);
    if (HasFatalFailure()) return;
    check_order(type);
  }

  void check_undo(const Types& before, int32 score_before) {
    ASSERT_EQ(current_types(), before) << "undo did not restore the board";
    ASSERT_EQ(game_score.score, score_before);
    ASSERT_EQ(undo, 0);
    ASSERT_EQ(undo_score, 0);
    ASSERT_EQ(bubbles_marked, 0);
    ASSERT_EQ(game_busy, 1);
    for (auto& column : PlayField)
      for (auto& cell : column) ASSERT_EQ(cell.old_pos.x, -1);
    run_to_rest();
    ASSERT_EQ(current_types(), before);
  }

  // The end of a game: the result recorded in its block, and one end-of-game request.
  void check_end(int32 type, const sSTATISTIC_BLOCK& block_before) {
    static const int32 bonus_by_left[5] = {500, 200, 100, 50, 25};
    const int32 left = Count_Bubbles();
    const int32 bonus = (type == 0 || type == 2) && left < 5 ? bonus_by_left[left] : 0;
    ASSERT_EQ(game_score.bubble_bonus, bonus);
    const int32 result = game_score.score + bonus;
    const sSTATISTIC_BLOCK& block = *Statistic_Block(type);
    ASSERT_EQ(block.games, block_before.games + 1);
    ASSERT_EQ(block.scores, block_before.scores + result);
    ASSERT_EQ(highscore, result > block_before.high ? 1 : 0);
    ASSERT_EQ(block.high, std::max(result, block_before.high));
    if (game_busy) {
      const int undo_then = undo;
      Undo_Move();  // refused: the result is already recorded
      ASSERT_EQ(undo, undo_then);
      ASSERT_EQ(end_requests(), 0);
      run_to_rest();
    }
    ASSERT_EQ(end_requests(), 1);
  }

  // Sometimes a press on a random cell first: it selects exactly that cell's group.
  void random_press(const std::vector<std::vector<Cell>>& groups) {
    const int32 i = pick(FIELD_COLUMNS), j = pick(FIELD_ROWS);
    press(i, j);
    std::size_t size = 0;
    for (const auto& g : groups)
      for (const Cell& c : g)
        if (c == Cell{i, j}) size = g.size();
    ASSERT_EQ(number_bubbles_marked, static_cast<int32>(size));
    ASSERT_EQ(bubbles_marked, size >= 2 ? 1 : 0);
    if (!bubbles_marked) return;
    // A press beside the selection only drops it.
    int32 x, y;
    do {
      x = pick(FIELD_COLUMNS);
      y = pick(FIELD_ROWS);
    } while (PlayField[x][y].marked);
    press(x, y);
    ASSERT_EQ(bubbles_marked, 0);
    ASSERT_EQ(bubble_points, 0);
  }

  // One move: select a random group, confirm it on a random member, check, maybe undo.
  // Returns false once the game is over.
  bool play_move(int32 type) {
    const Types before = current_types();
    const auto groups = groups_of(before);
    if (groups.empty()) return false;
    if (pick(8) == 0) random_press(groups);
    const auto& group = groups[pick(static_cast<int>(groups.size()))];
    const auto [si, sj] = group[pick(static_cast<int>(group.size()))];
    press(si, sj);
    const int32 n = static_cast<int32>(group.size());
    EXPECT_EQ(bubbles_marked, 1);
    EXPECT_EQ(number_bubbles_marked, n);
    EXPECT_EQ(bubble_points, n * (n - 1));
    int32 marked = 0;
    for (auto& column : PlayField)
      for (auto& cell : column) marked += cell.marked;
    EXPECT_EQ(marked, n);

    const int32 score_before = game_score.score;
    const sSTATISTIC_BLOCK block_before = *Statistic_Block(type);
    const int pops_before = count_events("play pop");
    const auto [ci, cj] = group[pick(static_cast<int>(group.size()))];
    press(ci, cj);
    EXPECT_EQ(undo, 1);
    EXPECT_EQ(count_events("play pop") - pops_before, setup_data.play_sounds ? 1 : 0);
    EXPECT_EQ(game_busy, setup_data.animations ? 1 : 0);
    check_move(before, group, score_before, type);
    if (HasFailure()) return false;

    const bool over = groups_of(current_types()).empty();
    if (over) {
      check_end(type, block_before);
      return false;
    }
    EXPECT_EQ(end_requests(), 0);
    if (pick(6) == 0) {
      // Undo, sometimes while the move's own animation still runs.
      for (int t = pick(2) ? pick(20) : 0; t > 0 && game_busy; --t) checked_tick();
      Undo_Move();
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
  int moves = 0, owed_ends = 0;
  for (int game = 0; game < kGames && !HasFailure(); ++game) {
    const int32 type = game % 4;
    setup_data = {type, pick(2), pick(4) != 0 ? 1 : 0};
    New_Game();
    events().clear();
    ASSERT_EQ(Count_Bubbles(), 70);
    while (play_move(type)) ++moves;
    if (HasFailure()) {
      ADD_FAILURE() << "game " << game << " (type " << type << "), seed " << seed << "\n"
                    << board_text();
      return;
    }
    owed_ends += count_events("post 999");
  }
  std::cout << "[ played   ] " << kGames << " games, " << moves << " moves, "
            << owed_ends << " ends owed to an animation" << std::endl;
  const sSCORE_STATISTIC& s = score_statistic;
  EXPECT_EQ(s.normal.games + s.continuous.games + s.shifter.games + s.megashift.games, kGames);
}

}  // namespace
