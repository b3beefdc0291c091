// Composes the contact sheet the way the game composes its frames (same places, same keys),
// with DejaVu Sans standing in for the game's own font.
#include "tools/assetgen/contact_sheet.h"

#include <string>
#include <vector>

#include "game/geometry.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/noise.h"

namespace ag {
namespace {

const Colour kSheet = rgb(64, 68, 78);

void blit(Canvas& dst, const Pixels& src, int x, int y, long key = -1) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i) {
      std::uint32_t v = src.px[std::size_t(j) * src.w + i];
      if (long(v) == key || !dst.inside(x + i, y + j)) continue;
      dst.at(x + i, y + j) = {float(v >> 16), float(v >> 8 & 0xFF), float(v & 0xFF)};
    }
}

// The game's text: top of the line at y.
void game_text(Canvas& c, const std::string& s, int x, int y, Colour col, bool centred = false) {
  if (centred)
    draw_text_centred(c, Face::Sans, 13, s, float(x), y + 12, col);
  else
    draw_text(c, Face::Sans, 13, s, x, y + 12, col);
}

struct Screen {
  const std::map<int, Pixels>& pic;
  Canvas frame{SCREEN_W, SCREEN_H, {}, 1};
  explicit Screen(const std::map<int, Pixels>& p, const char* status) : pic(p) {
    blit(frame, pic.at(100), 0, 0);
    game_text(frame, status, STATUS_X, STATUS_Y, rgb(255, 255, 255));
  }
  void put(int id, int x, int y, long key) { blit(frame, pic.at(id), x, y, key); }
  void mask_main_buttons() {
    for (int i = 0; i < 5; ++i)
      put(128, EXIT_BUTTON_X + MAIN_BUTTON_STEP * i, MAIN_BUTTON_Y, 0xFFFFFF);
  }
};

Canvas start_screen(const std::map<int, Pixels>& pic) {
  Screen s(pic, "Click 'New' to start a new game!");
  s.put(103, TITLE_X, TITLE_Y, 0);
  return s.frame;
}

Canvas setup_screen(const std::map<int, Pixels>& pic) {
  Screen s(pic, "Let's change something...");
  s.put(102, PAPER_X, PAPER_Y, 0);
  s.put(106, SETUP_MAP_X, SETUP_MAP_Y, 0xFFFFFF);
  for (auto [x, y] : {std::pair{TYPE_MARK_X, SHIFTER_MARK_Y},
                      {SOUNDS_MARK_X, SOUNDS_MARK_Y},
                      {ANIMATIONS_MARK_X, ANIMATIONS_MARK_Y}})
    s.put(107, x, y, 0xFFFFFF);
  s.put(120, OK_SETUP_BUTTON_X, SHEET_BUTTON_Y, -1);
  s.mask_main_buttons();
  return s.frame;
}

Canvas scores_screen(const std::map<int, Pixels>& pic) {
  Screen s(pic, "Click 'Reset' to clear the damn thing...");
  s.put(102, PAPER_X, PAPER_Y, 0);
  s.put(104, SCORES_TABLE_X, SCORES_TABLE_Y, 0xFFFFFF);
  const char* sample[4][3] = {{"12", "1834", "3120"},
                              {"4294967295", "4294967295", "4294967295"},
                              {"0", "0", "0"},
                              {"7", "956", "2204"}};
  const int ys[4] = {SCORES_NORMAL_Y, SCORES_CONTINUOUS_Y, SCORES_SHIFTER_Y, SCORES_MEGASHIFT_Y};
  const int xs[3] = {SCORES_GAMES_X, SCORES_AVERAGE_X, SCORES_HIGH_X};
  for (int r = 0; r < 4; ++r)
    for (int k = 0; k < 3; ++k) game_text(s.frame, sample[r][k], xs[k], ys[r], rgb(0, 0, 0), true);
  s.put(120, OK_SCORES_BUTTON_X, SHEET_BUTTON_Y, -1);
  s.put(124, RESET_BUTTON_X, SHEET_BUTTON_Y, -1);
  s.mask_main_buttons();
  return s.frame;
}

Canvas game_score_screen(const std::map<int, Pixels>& pic) {
  Screen s(pic, "You have a new highscore!!");
  s.put(102, PAPER_X, PAPER_Y, 0);
  s.put(105, GAME_SCORE_TABLE_X, GAME_SCORE_TABLE_Y, 0xFFFFFF);
  const char* values[5] = {"540", "100", "4294967295", "1234", "17"};
  const int ys[5] = {GAME_SCORE_SCORE_Y, GAME_SCORE_BONUS_Y, GAME_SCORE_TOTAL_Y,
                     GAME_SCORE_AVERAGE_Y, GAME_SCORE_GAMES_Y};
  for (int i = 0; i < 5; ++i)
    game_text(s.frame, values[i], GAME_SCORE_X, ys[i], i == 2 ? rgb(255, 0, 0) : rgb(0, 0, 0),
              true);
  s.put(122, DONE_BUTTON_X, SHEET_BUTTON_Y, -1);
  s.put(116, NEW_AFTER_GAME_BUTTON_X, SHEET_BUTTON_Y, -1);
  s.mask_main_buttons();
  return s.frame;
}

Canvas board_screen(const std::map<int, Pixels>& pic) {
  Screen s(pic, "Score: 1234  Bubble-Points: 12   ---   4 Bubbles selected.");
  s.put(118, NEW_BUTTON_X, MAIN_BUTTON_Y, -1);
  s.put(134, UNDO_BUTTON_X, MAIN_BUTTON_Y, -1);
  Rng rng(3);
  for (int j = 0; j < FIELD_ROWS; ++j)
    for (int i = 0; i < FIELD_COLUMNS; ++i)
      s.put(129 + int(rng.next() % 5), BUBBLE_LEFT + CELL_SIZE * i, BUBBLE_TOP + CELL_SIZE * j, 0);
  // The outline of a selected 2 x 2 group at cells (2, 3) to (3, 4).
  const int left = BOARD_LEFT + CELL_SIZE * 2, right = BOARD_LEFT + CELL_SIZE * 4 - 1;
  const int top = BOARD_TOP + CELL_SIZE * 3, bottom = BOARD_TOP + CELL_SIZE * 5 - 1;
  for (int x = left; x <= right; ++x) s.frame.at(x, top) = s.frame.at(x, bottom) = rgb(255, 0, 0);
  for (int y = top; y <= bottom; ++y) s.frame.at(left, y) = s.frame.at(right, y) = rgb(255, 0, 0);
  return s.frame;
}

Canvas credits_screen(const std::map<int, Pixels>& pic) {
  Screen s(pic, "The creators of Orbolan...");
  s.put(101, PAPER_X, PAPER_Y, 0);
  const char* lines[4] = {"Orbolan v1.0", nullptr, "Game design and programming",
                          "Artwork and sounds"};
  for (int i = 0; i < 4; ++i)
    game_text(s.frame, i == 1 ? std::string(100, '-') : lines[i], CREDITS_TEXT_X, 40 + 15 * i,
              rgb(0, 0, 0));
  s.put(120, OK_CREDITS_BUTTON_X, SHEET_BUTTON_Y, -1);
  s.mask_main_buttons();
  return s.frame;
}

}  // namespace

Pixels contact_sheet(const std::map<int, Pixels>& pic) {
  // Lay the single pictures out first, in rows below the screens, to know the sheet's height.
  const int width = 1536, screens_h = 12 + 2 * 432;
  std::vector<std::pair<int, int>> places;
  int x = 12, y = screens_h + 8, row_h = 0;
  for (const auto& [id, p] : pic) {
    if (x + p.w > width - 12) x = 12, y += row_h + 22, row_h = 0;
    places.emplace_back(x, y);
    x += std::max(p.w, 24) + 12;
    row_h = std::max(row_h, p.h + 14);
  }
  Canvas sheet(width, y + row_h + 12, kSheet, 1);
  const Canvas screens[6] = {start_screen(pic), board_screen(pic),  credits_screen(pic),
                             setup_screen(pic), scores_screen(pic), game_score_screen(pic)};
  for (int i = 0; i < 6; ++i) {
    const int sx = 12 + 506 * (i % 3), sy = 12 + 432 * (i / 3);
    for (int j = 0; j < SCREEN_H; ++j)
      for (int k = 0; k < SCREEN_W; ++k) sheet.at(sx + k, sy + j) = screens[i].at(k, j);
  }
  // Every picture as stored, its id above it; keyed pictures show their key colour.
  std::size_t n = 0;
  for (const auto& [id, p] : pic) {
    auto [px, py] = places[n++];
    draw_text(sheet, Face::SansBold, 11, std::to_string(id), px, py + 10, rgb(230, 230, 230));
    blit(sheet, p, px, py + 14);
  }
  return flatten(sheet, {});
}

}  // namespace ag
