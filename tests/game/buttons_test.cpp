// The on-screen buttons as a player uses them: hit edges, press and drag, cancelling, masked
// main buttons, Reset with its question, and the option boxes of the setup screen.
#include <algorithm>
#include <cstring>

#include "tests/game/game_fixture.h"

namespace orbolan_test {
namespace {

using ButtonTest = GameTest;

// Whether the window shows `face` in button `b`'s place.
bool Shows(const sBUTTON& b, LPDIRECTDRAWSURFACE face) {
  for (int y = 0; y < 38; ++y)
    for (int x = 0; x < 62; ++x)
      if (hl::window_pixel(b.topleft.x + x, b.topleft.y + y) != hl::surface_pixel(face, x, y))
        return false;
  return true;
}

TEST_F(ButtonTest, FirstRowAndColumnOfAFaceAreNoHitTheLastAre) {
  Start();
  const POINT tl = buttons[SETUP].topleft;
  const struct { int dx, dy; bool hit; } probes[] = {
      {0, 19, false}, {31, 0, false}, {1, 19, true},   {31, 1, true},
      {61, 19, true}, {31, 37, true}, {62, 19, false}, {31, 38, false}};
  for (const auto& p : probes) {
    hl::mouse_down(tl.x + p.dx, tl.y + p.dy);
    hl::pump();
    EXPECT_EQ(pressed_button, p.hit ? SETUP : 0) << "press at +(" << p.dx << ", " << p.dy << ")";
    hl::mouse_up(0, 0);  // released far away: nothing acts
    hl::pump();
  }
  EXPECT_EQ(mode, MODE_START);
  Click(tl.x + 61, tl.y + 37);  // a whole click on the last pixel acts
  EXPECT_EQ(mode, MODE_SETUP);
}

TEST_F(ButtonTest, PressDragAndRelease) {
  Start();
  const sBUTTON& b = buttons[SCORES];
  const int x = b.topleft.x + 30, y = b.topleft.y + 20;
  const struct { const char* what; int off; uint32 keys; bool back_on; } cases[] = {
      {"dragged off, released off", 100, MK_LBUTTON, false},
      {"dragged off and back on", 100, MK_LBUTTON, true},
      {"Shift held", 1, MK_LBUTTON | MK_SHIFT, true},
      {"left button let go outside", 1, 0, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const bool acts = c.keys == MK_LBUTTON && c.back_on;
    hl::mouse_down(x, y);
    hl::pump();
    EXPECT_TRUE(Shows(b, b.bmp_pressed));
    hl::mouse_move(x + c.off, y, c.keys);
    hl::pump();
    EXPECT_TRUE(Shows(b, b.bmp_normal));
    if (c.back_on) hl::mouse_move(x, y);
    hl::pump();
    EXPECT_TRUE(Shows(b, acts ? b.bmp_pressed : b.bmp_normal));
    hl::mouse_up(c.back_on ? x : x + c.off, y);
    hl::pump();
    EXPECT_EQ(mode, acts ? MODE_SCORES : MODE_START);
    if (mode == MODE_SCORES) Press(OK_SCORES);
  }
}

TEST_F(ButtonTest, MainButtonsAreMaskedAndRefusedOnThePaperScreens) {
  Start();
  const struct { int32 mode; std::vector<int32> there, back; } screens[] = {
      {MODE_CREDITS, {LOGO}, {OK_CREDITS}}, {MODE_SETUP, {SETUP}, {OK_SETUP}},
      {MODE_SCORES, {SCORES}, {OK_SCORES}}, {MODE_GAME_SCORE, {NEW, END}, {DONE}}};
  for (const auto& s : screens) {
    SCOPED_TRACE(testing::Message() << "mode " << s.mode);
    for (int32 id : s.there) Press(id);
    ASSERT_EQ(mode, s.mode);
    // Every black pixel of the checkerboard darkens the face below it, New/End's place too.
    const Frame frame = Grab();
    for (int32 id = EXIT; id <= END; ++id) {
      int dark = 0, black = 0;
      for (int y = 0; y < 38; ++y)
        for (int x = 0; x < 62; ++x)
          if (hl::surface_pixel(btnmask, x, y) == 0) {
            ++black;
            dark += At(frame, buttons[id].topleft.x + x, buttons[id].topleft.y + y) == 0;
          }
      EXPECT_GT(black, 62 * 38 / 3);
      EXPECT_EQ(dark, black) << "button " << id << " not masked; " << Saved("masked");
    }
    for (int32 id = EXIT; id <= SCORES; ++id) Press(id);
    EXPECT_EQ(mode, s.mode);
    EXPECT_FALSE(hl::quit_posted(nullptr));
    for (int32 id : s.back) Press(id);
    ASSERT_EQ(mode, MODE_START);
  }
}

TEST_F(ButtonTest, ResetAsksAndClearsTheStatisticsOnlyOnOk) {
  Start({0, 1, 0, 3, 1000, 640, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  Press(SCORES);
  for (int answer : {IDCANCEL, IDOK}) {
    SCOPED_TRACE(answer == IDOK ? "OK" : "Cancel");
    hl::set_box_answer(answer);
    const int presents = hl::present_count();
    Press(RESET);
    ASSERT_FALSE(hl::message_boxes().empty());
    const auto& box = hl::message_boxes().back();
    EXPECT_EQ(box.text + "|" + box.caption, "Are you sure?|Reset");
    EXPECT_EQ(box.flags, 0x11001u);
    EXPECT_GT(hl::present_count(), presents) << "the table is drawn again";
    EXPECT_EQ(score_statistic.megashift.high, answer == IDOK ? 0 : 9);
    EXPECT_STREQ(info2, answer == IDOK ? "0" : "333");  // the normal games' average
    EXPECT_EQ(mode, MODE_SCORES);
  }
  EXPECT_EQ(setup_data.play_sounds, 1) << "the setup is no statistic";
}

TEST_F(ButtonTest, OptionBoxesCountOnlyStrictlyInsideWhereReleased) {
  Start({3, 0, 0});
  Press(SETUP);
  EXPECT_EQ(setup_data.game_type, 3) << "the release of Setup itself falls in no box";
  const struct { int x, y; int32 type, sounds, animations; } cases[] = {
      // Box by box (Continuous, Standard, Shifter, MegaShift, Play Sounds, Animations): a
      // click on a border changes nothing, one just inside does, a second one inside undoes.
      {97, 140, 3, 0, 0},  {98, 140, 1, 0, 0},  {150, 120, 1, 0, 0}, {209, 119, 0, 0, 0},
      {189, 170, 0, 0, 0}, {188, 164, 2, 0, 0}, {150, 194, 2, 0, 0}, {218, 216, 3, 0, 0},
      {277, 90, 3, 0, 0},  {278, 90, 3, 1, 0},  {415, 100, 3, 0, 0}, {416, 90, 3, 0, 0},
      {300, 124, 3, 0, 0}, {300, 125, 3, 0, 1}, {405, 142, 3, 0, 0}, {300, 143, 3, 0, 0},
      {250, 160, 3, 0, 0}};  // between the boxes
  for (const auto& c : cases) {
    Click(c.x, c.y);
    EXPECT_EQ((std::array{setup_data.game_type, setup_data.play_sounds, setup_data.animations}),
              (std::array{c.type, c.sounds, c.animations}))
        << "click at (" << c.x << ", " << c.y << ")";
  }
  hl::mouse_down(250, 160);  // pressed between the boxes, released on Continuous
  hl::mouse_up(150, 140);
  hl::pump();
  EXPECT_EQ(setup_data.game_type, 1);
}

TEST_F(ButtonTest, OddValuesFromTheFileCountAsOnAndTurnOffFirst) {
  Start({9, 5, -7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
  const auto& log = hl::sound_log();
  EXPECT_NE(std::find(log.begin(), log.end(), "play click"), log.end()) << "5 means sounds on";
  // A game of a type from a damaged file counts in no block.
  const sSCORE_STATISTIC before = score_statistic;
  Press(NEW);
  Press(END);
  EXPECT_EQ(std::memcmp(&score_statistic, &before, sizeof before), 0);
  EXPECT_STREQ(info5, "0");
  Press(DONE);
  Press(SETUP);
  Click(300, 90);
  EXPECT_EQ(setup_data.play_sounds, 0);
  Click(300, 133);
  EXPECT_EQ(setup_data.animations, 0);
  EXPECT_EQ(setup_data.game_type, 9) << "kept until a game type is chosen";
}

}  // namespace
}  // namespace orbolan_test
