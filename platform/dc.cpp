// The drawing context of a surface: transparent text in the default font, single pixels,
// one-pixel lines that leave out their end point, and 1:1 copies of bitmap pictures.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/display.h"
#include "platform/font.h"
#include "platform/platform.h"

namespace plat {

namespace {

// Colour reference 0x00BBGGRR to pixel 0x00RRGGBB, and back.
std::uint32_t to_pixel(COLORREF c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
COLORREF to_colorref(std::uint32_t p) {
  return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// Mixes ink over the background by a coverage of 0..255.
std::uint32_t blend(std::uint32_t bg, std::uint32_t ink, unsigned a) {
  if (a == 255) return ink;
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const unsigned b = (bg >> shift) & 0xFFu, f = (ink >> shift) & 0xFFu;
    out |= ((f * a + b * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

int text_width(const char* text, int length) {
  const Font& font = default_font();
  int w = 0;
  for (int i = 0; i < length; ++i) w += font.glyphs[static_cast<unsigned char>(text[i])].advance;
  return w;
}

int Dc::set_bk_mode(int mode) { return std::exchange(bk_mode_, mode); }
COLORREF Dc::set_text_color(COLORREF color) { return std::exchange(text_color_, color); }
uint32 Dc::set_text_align(uint32 align) { return std::exchange(text_align_, align); }

bool Dc::text_out(int x, int y, const char* text, int length) {
  if (!text || length < 0) return false;
  const Font& font = default_font();
  if ((text_align_ & TA_CENTER) == TA_CENTER) x -= text_width(text, length) / 2;
  const std::uint32_t ink = to_pixel(text_color_);
  const int w = surface_->buf_w_, h = surface_->buf_h_;
  std::uint32_t* px = surface_->data_;
  for (int i = 0; i < length; ++i) {
    const Glyph& g = font.glyphs[static_cast<unsigned char>(text[i])];
    const std::uint8_t* cov = font.coverage + g.offset;
    for (int gy = 0; gy < g.height; ++gy) {
      const int py = y + g.top + gy;
      if (py < 0 || py >= h) continue;
      for (int gx = 0; gx < g.width; ++gx) {
        const int pxx = x + g.left + gx;
        const unsigned a = cov[gy * g.width + gx];
        if (a == 0 || pxx < 0 || pxx >= w) continue;
        std::uint32_t& d = px[static_cast<std::size_t>(py) * w + pxx];
        d = blend(d, ink, a);
      }
    }
    x += g.advance;
  }
  return true;
}

COLORREF Dc::get_pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= surface_->buf_w_ || y >= surface_->buf_h_) return CLR_INVALID;
  return to_colorref(surface_->data_[static_cast<std::size_t>(y) * surface_->buf_w_ + x]);
}

COLORREF Dc::set_pixel(int x, int y, COLORREF color) {
  if (x < 0 || y < 0 || x >= surface_->buf_w_ || y >= surface_->buf_h_) return CLR_INVALID;
  plot(x, y, to_pixel(color));
  return color & 0xFFFFFFu;
}

void Dc::plot(int x, int y, std::uint32_t pixel) {
  if (x < 0 || y < 0 || x >= surface_->buf_w_ || y >= surface_->buf_h_) return;
  surface_->data_[static_cast<std::size_t>(y) * surface_->buf_w_ + x] = pixel;
}

Pen Dc::select_pen(Pen pen) { return std::exchange(pen_, pen); }

POINT Dc::move_to(int x, int y) { return std::exchange(pos_, POINT{x, y}); }

bool Dc::line_to(int x, int y) {
  // Bresenham from the current position; the loop stops before painting the end point.
  int x0 = pos_.x, y0 = pos_.y;
  const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
  const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
  int err = dx + dy;
  const std::uint32_t ink = to_pixel(pen_.color);
  while (x0 != x || y0 != y) {
    plot(x0, y0, ink);
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
  pos_ = POINT{x, y};
  return true;
}

bool Dc::bit_blt(int x, int y, int w, int h, const Bitmap& picture, int sx, int sy) {
  // Cut the copy to both the picture and the surface.
  const int x0 = std::max({0, x, x - sx}), y0 = std::max({0, y, y - sy});
  const int x1 = std::min({x + w, surface_->buf_w_, x - sx + picture.width});
  const int y1 = std::min({y + h, surface_->buf_h_, y - sy + picture.height});
  for (int dy = y0; dy < y1; ++dy) {
    const std::uint32_t* s = picture.pixels.data() +
                             static_cast<std::size_t>(dy - y + sy) * picture.width + (x0 - x + sx);
    std::uint32_t* d = surface_->data_ + static_cast<std::size_t>(dy) * surface_->buf_w_ + x0;
    if (x1 > x0) std::memcpy(d, s, static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t));
  }
  return true;
}

}  // namespace plat
