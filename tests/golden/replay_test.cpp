// The golden replay: a fixed script of presses over every screen, all four game types with
// and without animations, undo, End, setup and statistics, replayed headless from fixed seeds
// with the timer ticked by hand. Its transcript (boards, scores, status lines, sound commands,
// beeps, a hash of each composed frame, the settings file's bytes) must equal replay.txt.
// After an intended change of behaviour or pictures, regenerate it and review the diff:
//   ORBOLAN_UPDATE_GOLDEN=1 build/rel/bin/golden_replay
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "main/MAIN.h"
#include "platform/headless.h"
#include "tests/support/harness.h"

namespace {

namespace hl = plat::headless;
using namespace proof;

constexpr unsigned kSeed = 20261206;
const POINT kTypeBox[4] = {{150, 110}, {150, 140}, {150, 172}, {150, 205}};
const POINT kSoundsBox = {300, 90}, kAnimationsBox = {300, 133};

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

  // What a player sees and hears after a step.
  void Step(const std::string& what) {
    out << what << " | mode " << mode << " | " << (Status_Text ? Status_Text : "") << " | sounds";
    for (; heard_ < hl::sound_log().size(); ++heard_) out << " [" << hl::sound_log()[heard_] << "]";
    out << " | beeps " << hl::beep_count() << " | frame " << Frame_Hash() << "\n";
    EXPECT_TRUE(Window_Shows_Frame()) << what;
    if (mode != MODE_GAME) return;
    out << "  score " << game_score.score << " board ";
    for (int32 j = 0; j < FIELD_ROWS; ++j)
      for (int32 i = 0; i < FIELD_COLUMNS; ++i) out << PlayField[i][j].type;
    out << "\n";
  }

  void Setup(int32 type, int32 sounds, int32 animations) {
    Press(SETUP);
    Click(kTypeBox[type].x, kTypeBox[type].y);
    if (setup_data.play_sounds != sounds) Click(kSoundsBox.x, kSoundsBox.y);
    if (setup_data.animations != animations) Click(kAnimationsBox.x, kAnimationsBox.y);
    Step("setup");
    Press(OK_SETUP);
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
    out << "  sliding " << Frame_Hash() << "\n";
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
        Press(END);
        Press(UNDO);
        Step("End and Undo after the last move");
      }
      Settle();
      Step("removed");
      if (n == 1) {
        Press(UNDO);
        Settle();  // the way back is animated whatever the setup says
        Step("undo");
      }
    }
    if (mode == MODE_GAME) Press(END);
    Step("end of game");
  }

 private:
  std::size_t heard_ = 0;  // sound commands already written
};

TEST(Golden, ReplayMatchesTheTranscript) {
  Work_Dir dir("golden");
  ASSERT_TRUE(Restart({0, 1, 0, 3, 30, 12}));
  Replay r;
  std::srand(kSeed);
  r.Step("start");
  for (auto [open, ok] : {std::pair{LOGO, OK_CREDITS}, {SCORES, OK_SCORES}}) {
    Press(open);
    r.Step("page");
    Press(EXIT), Press(SETUP);  // masked
    r.Step("masked buttons pressed");
    if (open == SCORES)
      for (int answer : {IDCANCEL, IDOK}) {
        hl::set_box_answer(answer);
        Press(RESET);
        r.Step("reset answered " + std::to_string(answer));
      }
    Press(ok);
  }
  const sBUTTON& s = buttons[SCORES];
  Click(s.topleft.x, s.topleft.y + 19);  // its first column is no hit, its last one is
  r.Step("first column of Scores");
  Click(s.bottomright.x - 1, s.topleft.y + 19);
  r.Step("last column of Scores");
  Press(OK_SCORES);
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
    if (mode == MODE_GAME_SCORE && g.seed != 1) Press(DONE);  // else New on the end screen
    if (mode == MODE_START) r.Setup(g.type, g.sounds, g.animations);
    std::srand(g.seed);
    Press(mode == MODE_GAME_SCORE ? NEW_AFTER_GAME : NEW);
    r.Step("new game");
    if (g.seed == 2) {  // pages opened from a running game come back to it
      Press(SETUP), Press(OK_SETUP), Press(SCORES), Press(OK_SCORES);
      r.Step("back from the pages");
    }
    r.Play(g.moves, g.queue);
  }
  Press(DONE);
  Press(SCORES);
  r.Step("statistics");
  Press(OK_SCORES);
  Press(EXIT);
  r.out << "quit " << hl::quit_posted(nullptr) << " | orbolan.cfg";
  for (unsigned char c : Read_File("orbolan.cfg")) r.out << ' ' << int(c);
  r.out << "\n";

  const std::string got = r.out.str();
  if (std::getenv("ORBOLAN_UPDATE_GOLDEN")) {
    std::ofstream(ORBOLAN_GOLDEN_FILE) << got;
    GTEST_SKIP() << "wrote " << ORBOLAN_GOLDEN_FILE;
  }
  // On a difference GoogleTest prints both transcripts and a diff of them.
  EXPECT_EQ(got, Read_File(ORBOLAN_GOLDEN_FILE)) << "the transcript differs from replay.txt";
}

}  // namespace
