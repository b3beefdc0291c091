// The end bonus by bubbles left for the types that earn one, and the best: a pair removed from
// a bottom row of `left` singles after it. The best is one below the result for odd `left`,
// equal to it for even: only a strictly greater result is a new best.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/support/harness.h"

namespace {

TEST(EndBonus, ByBubblesLeftAndOnlyAGreaterResultIsANewBest) {
  proof::Work_Dir dir("bonus");
  ASSERT_TRUE(proof::Restart({}));
  const int32 bonus[] = {500, 200, 100, 50, 25, 0};
  for (const int32 type : {0, 2})
    for (int32 left = 0; left <= 5; ++left) {
      SCOPED_TRACE("type " + std::to_string(type) + ", left " + std::to_string(left));
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
