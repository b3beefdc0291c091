// The on-screen buttons as a player uses them: hit edges, press and drag, cancelling, masked
// main buttons, Reset with its question, Exit, and the option boxes of the setup screen.
#include <algorithm>
#include <cstring>

#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

namespace hl = plat::headless;

constexpr int32 EXIT = 1, LOGO = 2, SETUP = 3, SCORES = 4, NEW = 5, END = 6, OK_SETUP = 7,
                RESET = 10, UNDO = 13;

class ButtonTest : public GameTest {
 protected:
  // The first pixel, scanning rows, where a button's two faces differ.
  POINT Face_Difference(int32 id) {
    for (int y = 0; y < 38; ++y)
      for (int x = 0; x < 62; ++x)
        if (hl::surface_pixel(buttons[id].bmp_normal, x, y) !=
            hl::surface_pixel(buttons[id].bmp_pressed, x, y))
          return POINT{x, y};
    ADD_FAILURE() << "button " << id << " has identical faces";
    return POINT{0, 0};
  }
  // Gets to one of the four paper screens from the start screen.
  void Open_Paper_Screen(int32 target) {
    if (target == MODE_GAME_SCORE) {
      Click_Button(NEW);
      Click_Button(END);
    } else {
      Click_Button(target == MODE_CREDITS ? LOGO : target == MODE_SETUP ? SETUP : SCORES);
    }
    ASSERT_EQ(mode, target);
  }
  // What the window shows at the place where button `id`'s faces differ.
  bool Window_Shows_Pressed(int32 id) {
    const POINT d = Face_Difference(id);
    const uint32 shown = hl::window_pixel(buttons[id].topleft.x + d.x, buttons[id].topleft.y + d.y);
    return shown == hl::surface_pixel(buttons[id].bmp_pressed, d.x, d.y);
  }
};

// ---- Hit edges --------------------------------------------------------------------------

TEST_F(ButtonTest, FirstRowAndColumnOfAFaceAreNoHitTheLastAre) {
  Start(nullptr);
  const POINT tl = buttons[SETUP].topleft;
  struct Probe {
    int dx, dy;
    bool hit;
  };
  const Probe probes[] = {{0, 19, false}, {31, 0, false}, {1, 19, true},   {31, 1, true},
                          {61, 19, true}, {31, 37, true}, {62, 19, false}, {31, 38, false}};
  for (const Probe& p : probes) {
    hl::mouse_down(tl.x + p.dx, tl.y + p.dy);
    Pump();
    EXPECT_EQ(pressed_button, p.hit ? SETUP : 0) << "press at +(" << p.dx << ", " << p.dy << ")";
    hl::mouse_up(0, 0);  // released far away: nothing acts
    Pump();
    EXPECT_EQ(mode, MODE_START);
  }
  // A full click on the last pixel of the face acts.
  Click(tl.x + 61, tl.y + 37);
  EXPECT_EQ(mode, MODE_SETUP);
  // The bounds compare unsigned: a box reaching left of the window holds no small point.
  EXPECT_EQ(Check_In_Box({-10, -10}, {10, 10}, 5, 5), 0);
}

// ---- Press, drag and release ------------------------------------------------------------

TEST_F(ButtonTest, DragOffAndReleaseDoesNothing) {
  Start(nullptr);
  const POINT tl = buttons[SETUP].topleft;
  hl::mouse_down(tl.x + 30, tl.y + 20);
  Pump();
  EXPECT_EQ(buttons[SETUP].pressed, 1);
  EXPECT_TRUE(Window_Shows_Pressed(SETUP));
  hl::mouse_move(tl.x + 100, tl.y + 20);
  Pump();
  EXPECT_EQ(buttons[SETUP].pressed, 0);
  EXPECT_FALSE(Window_Shows_Pressed(SETUP));
  EXPECT_EQ(pressed_button, SETUP);  // still held
  hl::mouse_up(tl.x + 100, tl.y + 20);
  Pump();
  EXPECT_EQ(mode, MODE_START);
  EXPECT_EQ(pressed_button, 0);
}

TEST_F(ButtonTest, DragOffAndBackOnActs) {
  Start(nullptr);
  const POINT tl = buttons[SCORES].topleft;
  hl::mouse_down(tl.x + 30, tl.y + 20);
  hl::mouse_move(tl.x + 30, tl.y - 50);
  hl::mouse_move(tl.x + 40, tl.y + 10);
  Pump();
  EXPECT_EQ(buttons[SCORES].pressed, 1);
  EXPECT_TRUE(Window_Shows_Pressed(SCORES));
  hl::mouse_up(tl.x + 40, tl.y + 10);
  Pump();
  EXPECT_EQ(mode, MODE_SCORES);
  EXPECT_EQ(buttons[SCORES].pressed, 0);
}

TEST_F(ButtonTest, ShiftOrASecondButtonDuringADragCancels) {
  Start(nullptr);
  const POINT tl = buttons[LOGO].topleft;
  for (uint32 keys : {MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_CONTROL, MK_LBUTTON | MK_RBUTTON,
                      0u}) {
    hl::mouse_down(tl.x + 30, tl.y + 20);
    hl::mouse_move(tl.x + 31, tl.y + 20, keys);
    Pump();
    EXPECT_EQ(pressed_button, 0) << "keys " << keys;
    EXPECT_EQ(buttons[LOGO].pressed, 0);
    EXPECT_FALSE(Window_Shows_Pressed(LOGO));
    hl::mouse_up(tl.x + 31, tl.y + 20);
    Pump();
    EXPECT_EQ(mode, MODE_START) << "keys " << keys;
  }
}

// ---- Masked main buttons ---------------------------------------------------------------

TEST_F(ButtonTest, MainButtonsAreMaskedAndRefusedOnThePaperScreens) {
  Start(nullptr);
  for (int32 target : {MODE_CREDITS, MODE_SETUP, MODE_SCORES, MODE_GAME_SCORE}) {
    SCOPED_TRACE(testing::Message() << "mode " << target);
    Open_Paper_Screen(target);
    EXPECT_EQ(main_btn_mask, 1);
    // Every black pixel of the checkerboard darkens the face below it: main buttons and
    // the New/End place.
    const Picture frame = Grab_Frame();
    for (int32 id = EXIT; id <= END; ++id) {
      int dark = 0, expected = 0;
      for (int y = 0; y < 38; ++y)
        for (int x = 0; x < 62; ++x) {
          if (hl::surface_pixel(btnmask, x, y) != 0) continue;
          ++expected;
          dark += frame.at(buttons[id].topleft.x + x, buttons[id].topleft.y + y) == 0;
        }
      EXPECT_GT(expected, 62 * 38 / 3);
      EXPECT_EQ(dark, expected) << "button " << id << " not masked; "
                                << Save_Picture(frame, "frame");
    }
    for (int32 id = EXIT; id <= SCORES; ++id) {
      hl::mouse_down(buttons[id].topleft.x + 31, buttons[id].topleft.y + 19);
      Pump();
      EXPECT_EQ(pressed_button, 0) << "button " << id;
      hl::mouse_up(buttons[id].topleft.x + 31, buttons[id].topleft.y + 19);
      Pump();
      EXPECT_EQ(mode, target) << "button " << id;
    }
    EXPECT_FALSE(hl::quit_posted(nullptr));
    // Leave the screen with its own button: OK, or Done on the end-of-game table.
    Click_Button(target == MODE_GAME_SCORE ? 11 : target == MODE_CREDITS ? 8
                                                  : target == MODE_SETUP  ? 7
                                                                          : 9);
    ASSERT_EQ(mode, MODE_START);
  }
  EXPECT_EQ(Read_File("orbolan.cfg").size(), 0u) << "nothing saved before closing";
}

// ---- Reset ------------------------------------------------------------------------------

TEST_F(ButtonTest, ResetAskedAndCancelledKeepsTheStatistics) {
  CfgValues cfg;
  for (int k = 0; k < 12; ++k) cfg.stats[k] = 10 + k;
  Start(&cfg);
  Click_Button(SCORES);
  hl::set_box_answer(IDCANCEL);
  const int presents = hl::present_count();
  Click_Button(RESET);
  ASSERT_EQ(hl::message_boxes().size(), 1u);
  EXPECT_EQ(hl::message_boxes()[0].text, "Are you sure?");
  EXPECT_EQ(hl::message_boxes()[0].caption, "Reset");
  EXPECT_EQ(hl::message_boxes()[0].flags, 0x11001u);
  EXPECT_EQ(score_statistic.normal.games, 10);
  EXPECT_EQ(score_statistic.megashift.high, 21);
  EXPECT_GT(hl::present_count(), presents) << "the screen is redrawn";
  EXPECT_EQ(mode, MODE_SCORES);
}

TEST_F(ButtonTest, ResetConfirmedClearsEveryFieldButNotTheFile) {
  CfgValues cfg;
  cfg.play_sounds = 1;
  for (int k = 0; k < 12; ++k) cfg.stats[k] = 100 + k;
  Start(&cfg);
  const auto file_before = Read_File("orbolan.cfg");
  Click_Button(SCORES);
  hl::set_box_answer(IDOK);
  Click_Button(RESET);
  const sSCORE_STATISTIC zero{};
  EXPECT_EQ(std::memcmp(&score_statistic, &zero, sizeof zero), 0);
  for (const char* slot : {info1, info2, info3, info4, info5, info6, info7, info8, info9, info10,
                           info11, info12})
    EXPECT_STREQ(slot, "0");
  EXPECT_EQ(setup_data.play_sounds, 1) << "the setup is not statistics";
  EXPECT_EQ(Read_File("orbolan.cfg"), file_before);
}

// ---- Exit ---------------------------------------------------------------------------------

TEST_F(ButtonTest, ExitClosesTheWindowAndSaves) {
  Start_With(2, 0, 1);
  Click_Button(NEW);
  Click_Button(EXIT);  // posts WM_CLOSE, which the same pump delivers
  int code = -1;
  EXPECT_TRUE(hl::quit_posted(&code));
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(hl::timer_alive());
  const auto bytes = Read_File("orbolan.cfg");
  ASSERT_EQ(bytes.size(), 60u);
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(bytes[8], 1);
}

// ---- Setup option boxes -------------------------------------------------------------------

TEST_F(ButtonTest, OptionBoxesCountOnlyStrictlyInside) {
  Start_With(3, 0, 0);
  Click_Button(SETUP);
  // Releasing the Setup button itself falls in no box.
  EXPECT_EQ(setup_data.game_type, 3);
  struct Case {
    int x, y;
    int32 type, sounds, animations;
  };
  const Case cases[] = {
      {97, 140, 3, 0, 0},   // left border of Continuous
      {98, 140, 1, 0, 0},   // just inside
      {150, 120, 1, 0, 0},  // bottom border of Standard
      {209, 119, 0, 0, 0},  // last pixel of Standard
      {189, 170, 0, 0, 0},  // right border of Shifter
      {188, 164, 2, 0, 0},
      {150, 194, 2, 0, 0},  // top border of MegaShift
      {218, 216, 3, 0, 0},
      {277, 90, 3, 0, 0},   // left border of Play Sounds
      {278, 90, 3, 1, 0},
      {415, 100, 3, 0, 0},  // a second click takes the mark away
      {416, 90, 3, 0, 0},   // right border
      {300, 124, 3, 0, 0},  // top border of Animations
      {300, 125, 3, 0, 1},
      {405, 142, 3, 0, 0},
      {300, 143, 3, 0, 0},  // bottom border
      {250, 160, 3, 0, 0},  // between the boxes
  };
  for (const Case& c : cases) {
    Click(c.x, c.y);
    EXPECT_EQ(setup_data.game_type, c.type) << "click at (" << c.x << ", " << c.y << ")";
    EXPECT_EQ(setup_data.play_sounds, c.sounds) << "click at (" << c.x << ", " << c.y << ")";
    EXPECT_EQ(setup_data.animations, c.animations) << "click at (" << c.x << ", " << c.y << ")";
  }
}

TEST_F(ButtonTest, OnlyTheReleasePointCounts) {
  Start_With(0, 0, 0);
  Click_Button(SETUP);
  hl::mouse_down(300, 300);  // on the paper, nowhere in particular
  hl::mouse_move(150, 140);
  hl::mouse_up(150, 140);
  Pump();
  EXPECT_EQ(setup_data.game_type, 1);
  hl::mouse_down(150, 140);  // pressed on Continuous, released on nothing
  hl::mouse_up(250, 250);
  Pump();
  EXPECT_EQ(setup_data.game_type, 1);
}

TEST_F(ButtonTest, OddValuesFromTheFileCountAsOnAndTurnOffFirst) {
  Start_With(9, 5, -7);
  EXPECT_TRUE(std::find(hl::sound_log().begin(), hl::sound_log().end(), "play click") !=
              hl::sound_log().end())
      << "a sound switch of 5 is on";
  Click_Button(SETUP);
  Click(300, 90);
  EXPECT_EQ(setup_data.play_sounds, 0);
  Click(300, 90);
  EXPECT_EQ(setup_data.play_sounds, 1);
  Click(300, 133);
  EXPECT_EQ(setup_data.animations, 0);
  EXPECT_EQ(setup_data.game_type, 9) << "kept until a game type is chosen";
  Click(120, 170);
  EXPECT_EQ(setup_data.game_type, 2);
}

// ---- Board presses ------------------------------------------------------------------------

TEST_F(ButtonTest, BoardPressesWaitForTheAnimationButtonsDoNot) {
  Start_With(0, 0, 1);
  Click_Button(NEW);
  // A square of four, and a pair that keeps the game going after the square is gone.
  Set_Board([](int32 i, int32 j) {
    return (j >= 5 && i < 2) || (j == 0 && i >= 8) ? 5 : Pattern_Colour(i, j);
  });
  Click(Cell_X(0), Cell_Y(6));
  ASSERT_EQ(number_bubbles_marked, 4);
  Click(Cell_X(0), Cell_Y(6));  // removes the square; the columns above fall
  ASSERT_EQ(game_busy, 1);
  Click(Cell_X(5), Cell_Y(3));
  EXPECT_EQ(bubbles_marked, 0) << "a board press while bubbles move is ignored";
  EXPECT_EQ(PlayField[5][3].marked, 0);
  Click_Button(UNDO);
  EXPECT_EQ(undo, 0) << "Undo is taken while bubbles move";
  EXPECT_EQ(game_score.score, 0);
}

}  // namespace
}  // namespace orbolan_test
