// FreeType rendering of DejaVu lettering into coverage masks.
#include "tools/assetgen/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <stdexcept>

namespace ag {

static std::string g_font_dir = "/usr/share/fonts/truetype/dejavu";

void set_font_dir(const std::string& dir) { g_font_dir = dir; }

static const char* face_file(Face f) {
  switch (f) {
    case Face::Sans: return "DejaVuSans.ttf";
    case Face::SansBold: return "DejaVuSans-Bold.ttf";
    case Face::Serif: return "DejaVuSerif.ttf";
    case Face::SerifBold: return "DejaVuSerif-Bold.ttf";
    case Face::SerifBoldItalic: return "DejaVuSerif-BoldItalic.ttf";
    case Face::SansCondensedBold: return "DejaVuSansCondensed-Bold.ttf";
  }
  return "DejaVuSans.ttf";
}

static FT_Face load_face(Face f) {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l)) throw std::runtime_error("FreeType cannot start");
    return l;
  }();
  static std::map<Face, FT_Face> faces;
  if (auto it = faces.find(f); it != faces.end()) return it->second;
  FT_Face face = nullptr;
  std::string path = g_font_dir + "/" + face_file(f);
  if (FT_New_Face(lib, path.c_str(), 0, &face))
    throw std::runtime_error("cannot load font " + path);
  faces[f] = face;
  return face;
}

Mask render_text(Face f, float pixel_size, const std::string& text) {
  FT_Face face = load_face(f);
  FT_Set_Char_Size(face, 0, FT_F26Dot6(pixel_size * 64), 72, 72);
  const int ascent = int(std::ceil(face->size->metrics.ascender / 64.0)) + 2;
  const int descent = int(std::ceil(-face->size->metrics.descender / 64.0)) + 2;
  // First pass measures the pen advance, second pass draws.
  Mask m;
  m.baseline = ascent;
  m.h = ascent + descent;
  long pen = 0;
  FT_UInt prev = 0;
  struct Placed {
    long x;
    FT_UInt glyph;
  };
  std::vector<Placed> placed;
  for (unsigned char ch : text) {
    FT_UInt g = FT_Get_Char_Index(face, ch);
    if (prev && FT_HAS_KERNING(face)) {
      FT_Vector k;
      FT_Get_Kerning(face, prev, g, FT_KERNING_DEFAULT, &k);
      pen += k.x;
    }
    placed.push_back({pen, g});
    FT_Load_Glyph(face, g, FT_LOAD_DEFAULT);
    pen += face->glyph->advance.x;
    prev = g;
  }
  m.advance = int(std::lround(pen / 64.0));
  m.origin = 3;  // room for glyphs that reach left of the pen
  m.w = m.advance + 2 * m.origin;
  m.cover.assign(std::size_t(m.w) * m.h, 0);
  for (const Placed& p : placed) {
    FT_Load_Glyph(face, p.glyph, FT_LOAD_RENDER);
    const FT_Bitmap& bm = face->glyph->bitmap;
    int ox = m.origin + int(std::lround(p.x / 64.0)) + face->glyph->bitmap_left;
    int oy = m.baseline - face->glyph->bitmap_top;
    for (unsigned r = 0; r < bm.rows; ++r)
      for (unsigned col = 0; col < bm.width; ++col) {
        int x = ox + int(col), y = oy + int(r);
        if (x < 0 || y < 0 || x >= m.w || y >= m.h) continue;
        float& dst = m.cover[std::size_t(y) * m.w + x];
        dst = std::min(1.0f, dst + bm.buffer[r * bm.pitch + col] / 255.0f);
      }
  }
  m.ink_left = m.w, m.ink_right = -1;
  for (int y = 0; y < m.h; ++y)
    for (int x = 0; x < m.w; ++x)
      if (m.at(x, y) > 0)
        m.ink_left = std::min(m.ink_left, x), m.ink_right = std::max(m.ink_right, x);
  m.ink_left -= m.origin, m.ink_right -= m.origin;
  return m;
}

Mask dilate(const Mask& m, float radius) {
  const int r = int(std::ceil(radius));
  Mask d = m;
  d.w = m.w + 2 * r, d.h = m.h + 2 * r, d.baseline = m.baseline + r, d.origin = m.origin + r;
  d.cover.assign(std::size_t(d.w) * d.h, 0);
  for (int y = 0; y < d.h; ++y)
    for (int x = 0; x < d.w; ++x) {
      float best = 0;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          float fall = clamp01(radius + 0.5f - std::hypot(float(dx), float(dy)));
          if (fall > 0) best = std::max(best, m.at(x - r + dx, y - r + dy) * fall);
        }
      d.cover[std::size_t(y) * d.w + x] = best;
    }
  d.ink_left = m.ink_left - r, d.ink_right = m.ink_right + r;
  return d;
}

void draw_mask(Canvas& c, const Mask& m, int x, int baseline_y, const Shader& shade,
               float opacity) {
  const int ox = x - m.origin, oy = baseline_y - m.baseline;
  for (int y = 0; y < m.h; ++y)
    for (int xx = 0; xx < m.w; ++xx) {
      float a = m.at(xx, y);
      if (a > 0) c.blend(ox + xx, oy + y, shade(ox + xx + 0.5f, oy + y + 0.5f), a * opacity);
    }
}

int draw_text(Canvas& c, Face face, float size, const std::string& text, int x, int baseline_y,
              Colour col) {
  Mask m = render_text(face, size, text);
  draw_mask(c, m, x, baseline_y, [col](float, float) { return col; });
  return m.advance;
}

int draw_text_centred(Canvas& c, Face face, float size, const std::string& text, float cx,
                      int baseline_y, Colour col) {
  Mask m = render_text(face, size, text);
  // Centre the ink, not the pen advance, so short words sit truly in the middle.
  int ink_mid2 = m.ink_left + m.ink_right + 1;
  int x = int(std::lround(cx - ink_mid2 / 2.0f));
  draw_mask(c, m, x, baseline_y, [col](float, float) { return col; });
  return m.advance;
}

}  // namespace ag
