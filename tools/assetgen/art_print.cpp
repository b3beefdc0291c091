// The printed forms laid on the paper: the statistics table, the end-of-game table and the
// setup map. The game prints its numbers and marks at fixed places, so the blank cells and
// the boxes here are placed around those places (all coordinates are picture coordinates).
#include "game/geometry.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/font.h"

namespace ag {

static void hline(Canvas& c, float x0, float x1, float y, float width = 1, float opacity = 1) {
  paint(
      c, [=](float x, float yy) { return sd_segment(x, yy, x0, y, x1, y) - width / 2; }, kInk,
      int(x0) - 2, int(y - width) - 2, int(x1) + 3, int(y + width) + 3, opacity);
}
static void vline(Canvas& c, float x, float y0, float y1, float width = 1) {
  paint(
      c, [=](float xx, float y) { return sd_segment(xx, y, x, y0, x, y1) - width / 2; }, kInk,
      int(x - width) - 2, int(y0) - 2, int(x + width) + 3, int(y1) + 3);
}
// A row of dots leading from a label to its number.
static void leader(Canvas& c, float x0, float x1, float y) {
  for (float x = x0; x <= x1; x += 4)
    paint(
        c, [=](float px, float py) { return sd_circle(px, py, x, y, 0.75f); }, kInk, int(x) - 2,
        int(y) - 2, int(x) + 3, int(y) + 3, 0.8f);
}

// Where the game prints a number: a text line whose top is at `top`, its baseline 12 px
// below.
// A label sits on the same baseline as the number beside it.
static int baseline_for_text_top(int top) { return top + 12; }

// ---- Statistics table, drawn by the game at (SCORES_TABLE_X, SCORES_TABLE_Y) --------------

Canvas score_table() {
  Canvas c(351, 227);
  draw_text_centred(c, Face::SerifBold, 23, "Orbolan Statistics", 175.5f, 29, kInk);
  hline(c, 8, 343, 39, 1.4f);
  hline(c, 8, 343, 42.5f);
  // Column heads over the number columns the game centres its numbers on.
  const float cols[3] = {SCORES_GAMES_X - SCORES_TABLE_X, SCORES_AVERAGE_X - SCORES_TABLE_X,
                         SCORES_HIGH_X - SCORES_TABLE_X};
  const char* heads[3] = {"Games", "Average", "High"};
  for (int i = 0; i < 3; ++i) draw_text_centred(c, Face::SansBold, 14, heads[i], cols[i], 66, kInk);
  hline(c, 8, 343, 76, 1.2f);
  // Row labels beside the number rows.
  const int rows[4] = {SCORES_NORMAL_Y - SCORES_TABLE_Y, SCORES_CONTINUOUS_Y - SCORES_TABLE_Y,
                       SCORES_SHIFTER_Y - SCORES_TABLE_Y, SCORES_MEGASHIFT_Y - SCORES_TABLE_Y};
  const char* labels[4] = {"Normal", "Continuous", "Shifter", "MegaShift"};
  for (int i = 0; i < 4; ++i)
    draw_text(c, Face::SansBold, 14, labels[i], 12, baseline_for_text_top(rows[i]), kInk);
  // Faint ruling between the rows, clear of the text lines.
  for (float y : {117.5f, 149.0f, 180.5f}) hline(c, 8, 343, y, 1, 0.35f);
  hline(c, 8, 343, 212, 1.2f);
  vline(c, 120, 47, 212, 1.2f);  // labels | numbers; ten-digit numbers start right of x = 129
  return c;
}

// ---- End-of-game table, drawn by the game at (GAME_SCORE_TABLE_X, GAME_SCORE_TABLE_Y) ----

Canvas game_score_table() {
  Canvas c(205, 223);
  draw_text_centred(c, Face::SerifBold, 24, "Your Score", 102.5f, 32, kInk);
  hline(c, 8, 197, 43, 1.4f);
  hline(c, 8, 197, 46.5f);
  // The game centres its numbers on x = 200 of this picture: the labels end well before.
  const int rows[5] = {
      GAME_SCORE_SCORE_Y - GAME_SCORE_TABLE_Y, GAME_SCORE_BONUS_Y - GAME_SCORE_TABLE_Y,
      GAME_SCORE_TOTAL_Y - GAME_SCORE_TABLE_Y, GAME_SCORE_AVERAGE_Y - GAME_SCORE_TABLE_Y,
      GAME_SCORE_GAMES_Y - GAME_SCORE_TABLE_Y};
  const char* labels[5] = {"Game Score", "Bubble Bonus", "Total Score", "Average Score",
                           "Games Played"};
  for (int i = 0; i < 5; ++i) {
    int base = baseline_for_text_top(rows[i]);
    int advance = draw_text(c, Face::SansBold, 13, labels[i], 10, base, kInk);
    leader(c, 10 + advance + 5, 150, base - 1.5f);
  }
  // The sum is ruled off above the total and set off below it.
  hline(c, 8, 204, 128.5f, 1.2f);
  hline(c, 8, 204, 157, 1.2f);
  hline(c, 8, 204, 159.5f);
  return c;
}

// ---- Setup map, drawn by the game at (SETUP_MAP_X, SETUP_MAP_Y) ---------------------------

// One option: its printed box (inclusive pixel bounds) and its label.
struct Option {
  int box_x, box_y;  // top-left pixel of the 13 x 13 box
  const char* label;
};

// Boxes sit inside the game's click areas, PRINTED_BOX_INSET in from their top-left corners;
// the game's tick (placed 2 px right of an area's left edge and 4 to 6 px above its top) then
// lands in the box and rises above it.
constexpr int kMapLeft = PRINTED_BOX_INSET - SETUP_MAP_X;  // add to a screen x for the map's
constexpr int kMapTop = PRINTED_BOX_INSET - SETUP_MAP_Y;
static const Option kOptions[6] = {
    {TYPE_BOX_LEFT + kMapLeft, NORMAL_BOX_TOP + kMapTop, "Standard"},
    {TYPE_BOX_LEFT + kMapLeft, CONTINUOUS_BOX_TOP + kMapTop, "Continuous"},
    {TYPE_BOX_LEFT + kMapLeft, SHIFTER_BOX_TOP + kMapTop, "Shifter"},
    {TYPE_BOX_LEFT + kMapLeft, MEGASHIFT_BOX_TOP + kMapTop, "MegaShift"},
    {SOUNDS_BOX_LEFT + kMapLeft, SOUNDS_BOX_TOP + kMapTop, "Play Sounds"},
    {ANIMATIONS_BOX_LEFT + kMapLeft, ANIMATIONS_BOX_TOP + kMapTop, "Animations"},
};

static void check_box(Canvas& c, int x, int y) {
  auto sdf = [=](float px, float py) {
    float outer = sd_round_rect(px, py, x, y, x + 13, y + 13, 1.5f);
    return std::max(outer, -(outer + 1.3f));  // a 1.3 px outline
  };
  paint(c, sdf, kInk, x - 1, y - 1, x + 15, y + 15);
}

Canvas setup_map() {
  Canvas c(347, 181);
  // The framed group of game styles, its heading set into the frame's top line.
  Mask head = render_text(Face::SerifBold, 17, "Game Style");
  const float fx0 = 10, fy0 = 19, fx1 = 176, fy1 = 170;
  const float gap0 = 18, gap1 = 24 + head.advance + 4;
  auto frame = [=](float x, float y) {
    float d = std::fabs(sd_round_rect(x, y, fx0, fy0, fx1, fy1, 5)) - 0.65f;
    if (y < fy0 + 3 && x > gap0 && x < gap1) return 1.0f;  // the gap for the heading
    return d;
  };
  paint(c, frame, kInk, 0, 0, 347, 181);
  draw_mask(c, head, 22, 25, [](float, float) { return kInk; });
  for (const Option& o : kOptions) {
    check_box(c, o.box_x, o.box_y);
    draw_text(c, Face::SansBold, 14, o.label, o.box_x + 19, o.box_y + 11, kInk);
  }
  return c;
}

}  // namespace ag
