// The modes and a game's end: the way back to the screen a page was opened from, the
// end-of-game message from anywhere, End counting a game, and the owed end-of-game screen.
#include <string>

#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

using ModeTest = GameTest;

TEST_F(ModeTest, APageReturnsToWhereItWasOpenedAndARunningGameKeepsBoardAndSelection) {
  Start();
  for (bool in_game : {false, true}) {
    SCOPED_TRACE(in_game ? "from a game" : "from the start screen");
    if (in_game) {
      Press(NEW);  // pairs at the bottom left and the top right: the game goes on
      Set_Board([](int32 i, int32 j) {
        return (j == 6 && i < 2) || (j == 0 && i >= 8) ? 5 : Pattern(i, j);
      });
      Move(0, 6);
      Click(Cell_X(9), Cell_Y(0));  // the other pair selected
      ASSERT_EQ(number_bubbles_marked, 2);
    }
    const int32 home = mode;
    const Frame before = Grab();  // board, outline and the status line with the score
    const struct { int32 open, ok, page; } pages[] = {
        {SETUP, OK_SETUP, MODE_SETUP}, {LOGO, OK_CREDITS, MODE_CREDITS},
        {SCORES, OK_SCORES, MODE_SCORES}};
    for (const auto& p : pages) {
      Press(p.open);
      EXPECT_EQ((std::array{mode, last_mode, main_btn_mask}), (std::array{p.page, home, 1}));
      Press(p.ok);
      EXPECT_EQ((std::array{mode, last_mode, main_btn_mask}), (std::array{home, 0, 0}));
      EXPECT_TRUE(Grab() == before) << "page " << p.page << "; " << Saved("back");
    }
  }
  Click(Cell_X(8), Cell_Y(0));  // the kept selection is removed with one more press
  EXPECT_EQ(game_score.score, 4);
}

TEST_F(ModeTest, TheEndOfGameMessageSwitchesInEveryMode) {
  const std::vector<int32> routes[] = {{}, {NEW}, {LOGO}, {SETUP}, {SCORES}, {NEW, END}};
  for (const auto& route : routes) {
    Start();
    for (int32 b : route) Press(b);
    const int32 from = mode;
    hl::post(GAME_SCORE_MSG, 0, 0);
    hl::pump();
    EXPECT_EQ((std::array{mode, last_mode, main_btn_mask}),
              (std::array{MODE_GAME_SCORE, from, 1}));
  }
}

// End while the bubbles of a move slide: taken in a running game, where it counts the game
// without its score; refused with Undo after the last move, whose game is counted already
// and whose end-of-game screen follows when the slide ends.
TEST_F(ModeTest, EndAndUndoWaitOnlyForAnOwedEndScreen) {
  for (bool last_move : {true, false}) {
    SCOPED_TRACE(last_move ? "after the last move" : "during a running game");
    Start({0, 1, 1});
    Press(NEW);
    Set_Board([&](int32 i, int32 j) {  // the column above the first pair falls
      return (i == 0 && j >= 5) || (!last_move && j == 0 && i >= 8) ? 5 : Pattern(i, j);
    });
    Move(0, 6);
    ASSERT_EQ(game_busy, 1);
    ASSERT_EQ(waitanim, last_move ? 1 : 0);
    Press(END);
    Press(UNDO);
    EXPECT_EQ(mode, last_move ? MODE_GAME : MODE_GAME_SCORE);
    EXPECT_EQ(game_score.score, 2) << "the move stays";
    for (int n = 0; n < 100 && mode == MODE_GAME; ++n) {
      hl::tick();
      hl::pump();
    }
    EXPECT_EQ(mode, MODE_GAME_SCORE);
    const sSTATISTIC_BLOCK& normal = score_statistic.normal;
    EXPECT_EQ((std::array{normal.games, normal.scores, normal.high}),
              (std::array{1, last_move ? 2 : 0, last_move ? 2 : 0}));
    EXPECT_EQ(hl::sound_log().back(), last_move ? "play highscore wait" : "play score wait");
    EXPECT_STREQ(Status_Text, last_move ? "You have a new highscore!!" : "Game Over!");
  }
  // New after a game deals a full board; Done goes back to the start screen.
  Press(NEW_AFTER_GAME);
  EXPECT_EQ((std::array{mode, game_score.score, Count_Bubbles()}), (std::array{MODE_GAME, 0, 70}));
  Press(END);
  Press(DONE);
  EXPECT_EQ((std::array{mode, main_btn_mask}), (std::array{MODE_START, 0}));
}

}  // namespace
}  // namespace orbolan_test
