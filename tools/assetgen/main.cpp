// assetgen: writes every picture and sound of the game, the table that embeds the pictures
// into the program, the emblem as PNG icons, and on request a contact sheet of it all.
//
//   assetgen --out DIR [--contact-sheet FILE.png] [--font-dir DIR]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "game/ORBOLAN.h"
#include "game/geometry.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/contact_sheet.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/formats.h"
#include "tools/assetgen/sounds.h"

namespace ag {
namespace {

enum class Key { None, Black, White, Magenta };

struct Picture {
  int id;
  const char* what;
  Key key;
  Colour under;  // what lies beneath its anti-aliased edges in the game
};

// Every picture built into the program, by resource id.
const Picture kPictures[] = {
    {ORBOLAN_ICON, "icon: the emblem", Key::Magenta, rgb(128, 128, 128)},
    {IDC_ORBOLAN_CURSOR, "cursor: arrow, hot spot (2, 0)", Key::Magenta, rgb(128, 128, 128)},
    {IDB_BACKGROUND, "background", Key::None, {}},
    {IDB_PAPER_LOGO, "paper with emblem watermark", Key::Black, kFeltTone},
    {IDB_PAPER, "paper", Key::Black, kFeltTone},
    {IDB_TITLE, "title", Key::Black, kFeltTone},
    {IDB_SCORE_TABLE, "statistics table", Key::White, kPaperTone},
    {IDB_GAME_SCORE_TABLE, "end-of-game table", Key::White, kPaperTone},
    {IDB_SETUP_MAP, "setup map", Key::White, kPaperTone},
    {IDB_CHECKED_BOX, "check mark", Key::White, kPaperTone},
    {IDB_EXIT, "Exit", Key::None, {}},
    {IDB_EXIT_PRESSED, "Exit pressed", Key::None, {}},
    {IDB_LOGO, "logo", Key::None, {}},
    {IDB_LOGO_PRESSED, "logo pressed", Key::None, {}},
    {IDB_SETUP, "Setup", Key::None, {}},
    {IDB_SETUP_PRESSED, "Setup pressed", Key::None, {}},
    {IDB_SCORES, "Scores", Key::None, {}},
    {IDB_SCORES_PRESSED, "Scores pressed", Key::None, {}},
    {IDB_NEW, "New", Key::None, {}},
    {IDB_NEW_PRESSED, "New pressed", Key::None, {}},
    {IDB_END, "End", Key::None, {}},
    {IDB_END_PRESSED, "End pressed", Key::None, {}},
    {IDB_OK, "OK", Key::None, {}},
    {IDB_OK_PRESSED, "OK pressed", Key::None, {}},
    {IDB_DONE, "Done", Key::None, {}},
    {IDB_DONE_PRESSED, "Done pressed", Key::None, {}},
    {IDB_RESET, "Reset", Key::None, {}},
    {IDB_RESET_PRESSED, "Reset pressed", Key::None, {}},
    {IDB_BTNMASK, "button mask", Key::None, {}},
    {IDB_BUBBLE_1, "green bubble", Key::Black, kFeltTone},
    {IDB_BUBBLE_2, "red bubble", Key::Black, kFeltTone},
    {IDB_BUBBLE_3, "beige bubble", Key::Black, kFeltTone},
    {IDB_BUBBLE_4, "blue bubble", Key::Black, kFeltTone},
    {IDB_BUBBLE_5, "yellow bubble", Key::Black, kFeltTone},
    {IDB_UNDO, "Undo", Key::None, {}},
    {IDB_UNDO_PRESSED, "Undo pressed", Key::None, {}},
};

// Button faces: normal id, label ("*" = the emblem); the pressed face has the next id.
const std::pair<int, const char*> kButtons[] = {
    {IDB_EXIT, "Exit"},   {IDB_LOGO, "*"},    {IDB_SETUP, "Setup"}, {IDB_SCORES, "Scores"},
    {IDB_NEW, "New"},     {IDB_END, "End"},   {IDB_OK, "OK"},       {IDB_DONE, "Done"},
    {IDB_RESET, "Reset"}, {IDB_UNDO, "Undo"},
};

const int kIconSizes[] = {16, 32, 48, 64, 128, 256};

std::uint32_t key_value(Key k) {
  switch (k) {
    case Key::Black: return 0x000000;
    case Key::White: return 0xFFFFFF;
    case Key::Magenta: return 0xFF00FF;
    case Key::None: break;
  }
  return 0;
}

std::map<int, Canvas> draw_all() {
  std::map<int, Canvas> c;
  for (auto [id, label] : kButtons) {
    c[id] = button_face(label, false, BUTTON_H);
    c[id + 1] =
        button_face(label, true, id == IDB_UNDO ? BUTTON_H + 1 : BUTTON_H);  // Undo's is taller
  }
  const Canvas* faces[5] = {&c[IDB_EXIT], &c[IDB_LOGO], &c[IDB_SETUP], &c[IDB_SCORES], &c[IDB_NEW]};
  c[IDB_BACKGROUND] = background(faces);
  // The pressed Undo face is one row taller than its button. Drawn straight
  // into the window, its last row stays behind after the release, so that row is the
  // background it covers and nothing stale shows.
  Canvas& undo_pressed = c[IDB_UNDO_PRESSED];
  for (int x = 0; x < undo_pressed.w; ++x) {
    undo_pressed.at(x, undo_pressed.h - 1) =
        c[IDB_BACKGROUND].at(UNDO_BUTTON_X + x, MAIN_BUTTON_Y + undo_pressed.h - 1);
    undo_pressed.a(x, undo_pressed.h - 1) =
        c[IDB_BACKGROUND].a(UNDO_BUTTON_X + x, MAIN_BUTTON_Y + undo_pressed.h - 1);
  }
  c[IDB_PAPER_LOGO] = paper(true);
  c[IDB_PAPER] = paper(false);
  c[IDB_TITLE] = title();
  c[IDB_SCORE_TABLE] = score_table();
  c[IDB_GAME_SCORE_TABLE] = game_score_table();
  c[IDB_SETUP_MAP] = setup_map();
  c[IDB_CHECKED_BOX] = check_mark();
  c[IDB_BTNMASK] = checkerboard();
  for (int i = 1; i <= 5; ++i) c[IDB_BUBBLE_1 - 1 + i] = bubble(i);
  c[ORBOLAN_ICON] = emblem(32);
  c[IDC_ORBOLAN_CURSOR] = cursor();
  return c;
}

std::map<int, Pixels> flatten_all(const std::map<int, Canvas>& canvases) {
  std::map<int, Pixels> out;
  for (const Picture& p : kPictures) {
    const Canvas& c = canvases.at(p.id);
    out[p.id] = p.key == Key::None ? flatten(c, {}) : flatten_keyed(c, key_value(p.key), p.under);
  }
  return out;
}

std::string bmp_name(int id) { return "res_" + std::to_string(id) + ".bmp"; }

// Assembly that embeds every BMP file and lists (id, address, size) for res::find.
std::string embedding_source(const std::string& dir) {
  std::string s =
      "/* Generated by assetgen: the pictures built into the program. Do not edit. */\n";
  for (const Picture& p : kPictures) {
    std::string sym = "orbolan_res_" + std::to_string(p.id);
    s += "\t.section .rodata\n\t.balign 16\n" + sym + ":\n\t.incbin \"" + dir + "/" +
         bmp_name(p.id) + "\"\n" + sym + "_end:\n";
  }
  s += "\t.section .data.rel.ro,\"aw\"\n\t.balign 8\n\t.globl orbolan_resource_table\n"
       "orbolan_resource_table:\n";
  for (const Picture& p : kPictures) {
    std::string sym = "orbolan_res_" + std::to_string(p.id);
    s += "\t.long " + std::to_string(p.id) + ", 0\n\t.quad " + sym + "\n\t.quad " + sym +
         "_end - " + sym + "\n";
  }
  s += "\t.section .rodata\n\t.balign 8\n\t.globl "
       "orbolan_resource_count\norbolan_resource_count:\n\t.quad " +
       std::to_string(std::size(kPictures)) + "\n";
  s += "\t.section .note.GNU-stack,\"\",%progbits\n";
  return s;
}

// The emblem as an icon with real transparency.
Bytes icon_png(int size) {
  Canvas c = emblem(size);
  Pixels p = flatten(c, {});
  std::vector<std::uint8_t> alpha(c.alpha.size());
  for (std::size_t i = 0; i < alpha.size(); ++i) {
    alpha[i] = std::uint8_t(std::lround(clamp01(c.alpha[i]) * 255));
    if (c.alpha[i] > 0) p.px[i] = pack(c.rgb[i]);  // straight (not premultiplied) colour
  }
  return encode_png(p, &alpha);
}

bool write_all(const std::string& dir, const std::map<int, Pixels>& pictures) {
  namespace fs = std::filesystem;
  fs::create_directories(dir + "/icons");
  bool ok = true;
  for (const auto& [id, px] : pictures)
    ok &= write_file(dir + "/" + bmp_name(id), encode_bmp24(px));
  for (const sWAVE& wave : ORBOLAN_WAVES)
    for (const Sound& s : kSounds)
      if (!std::strcmp(s.alias, wave.alias))
        ok &= write_file(dir + "/" + wave.file, encode_wav16(s.make(), kSampleRate));
  for (int size : kIconSizes)
    ok &= write_file(dir + "/icons/orbolan-" + std::to_string(size) + ".png", icon_png(size));
  std::string src = embedding_source(fs::absolute(dir).lexically_normal().string());
  ok &= write_file(dir + "/embedded.S", Bytes(src.begin(), src.end()));
  return ok;
}

}  // namespace
}  // namespace ag

int main(int argc, char** argv) {
  std::string out, sheet;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
      out = argv[++i];
    else if (!std::strcmp(argv[i], "--contact-sheet") && i + 1 < argc)
      sheet = argv[++i];
    else if (!std::strcmp(argv[i], "--font-dir") && i + 1 < argc)
      ag::set_font_dir(argv[++i]);
    else {
      std::fprintf(stderr, "usage: %s --out DIR [--contact-sheet FILE.png] [--font-dir DIR]\n",
                   argv[0]);
      return 2;
    }
  }
  if (out.empty() && sheet.empty()) {
    std::fprintf(stderr, "assetgen: nothing to do (give --out and/or --contact-sheet)\n");
    return 2;
  }
  try {
    auto pictures = ag::flatten_all(ag::draw_all());
    if (!out.empty() && !ag::write_all(out, pictures)) {
      std::fprintf(stderr, "assetgen: cannot write into %s\n", out.c_str());
      return 1;
    }
    if (!sheet.empty() && !ag::write_file(sheet, ag::encode_png(ag::contact_sheet(pictures)))) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", sheet.c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
