// Floating-point RGBA canvas with anti-aliased shape painting, the drawing surface of the asset generator.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace ag {

struct Colour {
  float r = 0, g = 0, b = 0;  // 0..255
};

inline Colour rgb(float r, float g, float b) { return {r, g, b}; }
inline Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour operator*(Colour a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Colour mix(Colour a, Colour b, float t) { return a * (1 - t) + b * t; }
inline float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
inline float smoothstep(float e0, float e1, float x) {
  float t = clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// A picture under construction: colour plus coverage (alpha 0 = nothing painted there).
struct Canvas {
  int w = 0, h = 0;
  std::vector<Colour> rgb;
  std::vector<float> alpha;

  Canvas() = default;
  Canvas(int width, int height, Colour fill = {}, float a = 0)
      : w(width),
        h(height),
        rgb(std::size_t(width) * height, fill),
        alpha(std::size_t(width) * height, a) {}
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  Colour& at(int x, int y) { return rgb[std::size_t(y) * w + x]; }
  Colour at(int x, int y) const { return rgb[std::size_t(y) * w + x]; }
  float& a(int x, int y) { return alpha[std::size_t(y) * w + x]; }
  float a(int x, int y) const { return alpha[std::size_t(y) * w + x]; }
  // Source-over compositing of one pixel.
  void blend(int x, int y, Colour c, float cover) {
    if (!inside(x, y) || cover <= 0) return;
    cover = std::min(cover, 1.0f);
    Colour& d = at(x, y);
    float& da = a(x, y);
    float out_a = cover + da * (1 - cover);
    if (out_a <= 0) return;
    d = (c * cover + d * (da * (1 - cover))) * (1 / out_a);
    da = out_a;
  }
};

// Signed distance in pixels (negative inside) of a point to a shape.
using Sdf = std::function<float(float x, float y)>;
using Shader = std::function<Colour(float x, float y)>;

// Paints the shape with anti-aliased edges over the box [x0, x1) x [y0, y1).
void paint(Canvas& c, const Sdf& sdf, const Shader& shade, int x0, int y0, int x1, int y1,
           float opacity = 1);
inline void paint(Canvas& c, const Sdf& sdf, Colour col, int x0, int y0, int x1, int y1,
                  float opacity = 1) {
  paint(
      c, sdf, [col](float, float) { return col; }, x0, y0, x1, y1, opacity);
}

// Paints shape coverage measured by supersampling an inside test (for shapes without a
// cheap distance function).
void paint_ss(Canvas& c, const std::function<bool(float, float)>& inside, const Shader& shade,
              int x0, int y0, int x1, int y1, int ss = 4);

float sd_circle(float x, float y, float cx, float cy, float r);
float sd_round_rect(float x, float y, float x0, float y0, float x1, float y1, float r);
float sd_segment(float x, float y, float ax, float ay, float bx, float by);

// Copies `src` onto `dst` at (x, y) by its coverage.
void composite(Canvas& dst, const Canvas& src, int x, int y);

// 0xRRGGBB of a colour, each channel rounded and clamped to 0..255.
std::uint32_t pack(Colour c);

// Final 8-bit pixels, 0xRRGGBB, top row first.
struct Pixels {
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
};
// Flattens without a key: coverage is blended onto `under`.
Pixels flatten(const Canvas& c, Colour under);
// Flattens a keyed picture: uncovered pixels become exactly `key`; covered pixels are blended
// onto `under` (the colour that will lie beneath when the game draws it) and never equal `key`.
Pixels flatten_keyed(const Canvas& c, std::uint32_t key, Colour under);
Canvas from_pixels(const Pixels& p);

}  // namespace ag
