// Anti-aliased painting and flattening of asset canvases.
#include "tools/assetgen/canvas.h"

namespace ag {

void paint(Canvas& c, const Sdf& sdf, const Shader& shade, int x0, int y0, int x1, int y1,
           float opacity) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, c.w), y1 = std::min(y1, c.h);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      float cover = clamp01(0.5f - sdf(px, py));
      if (cover > 0) c.blend(x, y, shade(px, py), cover * opacity);
    }
}

void paint_ss(Canvas& c, const std::function<bool(float, float)>& inside, const Shader& shade,
              int x0, int y0, int x1, int y1, int ss) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0), x1 = std::min(x1, c.w), y1 = std::min(y1, c.h);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      int hits = 0;
      for (int sy = 0; sy < ss; ++sy)
        for (int sx = 0; sx < ss; ++sx) hits += inside(x + (sx + 0.5f) / ss, y + (sy + 0.5f) / ss);
      if (hits) c.blend(x, y, shade(x + 0.5f, y + 0.5f), float(hits) / (ss * ss));
    }
}

float sd_circle(float x, float y, float cx, float cy, float r) {
  return std::hypot(x - cx, y - cy) - r;
}

float sd_round_rect(float x, float y, float x0, float y0, float x1, float y1, float r) {
  float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
  float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

float sd_segment(float x, float y, float ax, float ay, float bx, float by) {
  float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  float t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
  return std::hypot(px - dx * t, py - dy * t);
}

void composite(Canvas& dst, const Canvas& src, int x, int y) {
  for (int j = 0; j < src.h; ++j)
    for (int i = 0; i < src.w; ++i) dst.blend(x + i, y + j, src.at(i, j), src.a(i, j));
}

std::uint32_t pack(Colour c) {
  auto q = [](float v) { return std::uint32_t(std::lround(std::clamp(v, 0.0f, 255.0f))); };
  return q(c.r) << 16 | q(c.g) << 8 | q(c.b);
}

Pixels flatten(const Canvas& c, Colour under) {
  Pixels p{c.w, c.h, std::vector<std::uint32_t>(c.rgb.size())};
  for (std::size_t i = 0; i < c.rgb.size(); ++i) p.px[i] = pack(mix(under, c.rgb[i], c.alpha[i]));
  return p;
}

Pixels flatten_keyed(const Canvas& c, std::uint32_t key, Colour under) {
  Pixels p{c.w, c.h, std::vector<std::uint32_t>(c.rgb.size())};
  for (std::size_t i = 0; i < c.rgb.size(); ++i) {
    if (c.alpha[i] < 0.5f / 255) {
      p.px[i] = key;
      continue;
    }
    std::uint32_t v = pack(mix(under, c.rgb[i], c.alpha[i]));
    // A painted pixel that happens to round to the key would turn transparent: nudge it.
    if (v == key) v ^= (key & 0xFF) ? 0x000001 : 0x010101;
    p.px[i] = v;
  }
  return p;
}

Canvas from_pixels(const Pixels& p) {
  Canvas c(p.w, p.h, {}, 1);
  for (std::size_t i = 0; i < p.px.size(); ++i)
    c.rgb[i] = {float(p.px[i] >> 16 & 0xFF), float(p.px[i] >> 8 & 0xFF), float(p.px[i] & 0xFF)};
  return c;
}

}  // namespace ag
