// Spheres, bubbles, the emblem, button faces, the check mark, the mask and the cursor.
#include "game/geometry.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/noise.h"

namespace ag {

Colour sphere_shade(Colour base, float x, float y, float cx, float cy, float r) {
  float nx = (x - cx) / r, ny = (y - cy) / r;
  float d2 = std::min(nx * nx + ny * ny, 1.0f);
  float nz = std::sqrt(1 - d2);
  const float lx = -0.48f, ly = -0.62f, lz = 0.62f;  // light from the upper left, in front
  float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
  // Reflection of the light for the specular sparkle.
  float rz = 2 * nz * (nx * lx + ny * ly + nz * lz) - lz;
  float spec = std::pow(std::max(0.0f, rz), 40.0f);
  Colour c = base * (0.30f + 0.78f * diffuse);
  // Light bouncing off the table brightens the lower rim a little.
  float bounce = smoothstep(0.35f, 1.0f, ny) * smoothstep(0.55f, 0.95f, std::sqrt(d2));
  c = c + base * (0.35f * bounce);
  // A soft window-shaped gloss on the upper left.
  float gx = (nx + 0.33f) / 0.36f, gy = (ny + 0.45f) / 0.24f;
  float gloss = 1 - smoothstep(0.55f, 1.0f, std::sqrt(gx * gx + gy * gy));
  c = mix(c, rgb(255, 255, 255), std::min(1.0f, 0.55f * gloss + 0.8f * spec));
  // Darken the very rim so the sphere reads as round against any background.
  c = c * (0.78f + 0.22f * smoothstep(0.0f, 0.35f, nz));
  // Never black: black is the transparent key of the bubble pictures.
  float top = std::max({c.r, c.g, c.b});
  if (top < 24) c = c + rgb(24 - top, 24 - top, 24 - top);
  return c;
}

void paint_sphere(Canvas& c, Colour base, float cx, float cy, float r) {
  paint(
      c, [=](float x, float y) { return sd_circle(x, y, cx, cy, r); },
      [=](float x, float y) { return sphere_shade(base, x, y, cx, cy, r); }, int(cx - r - 2),
      int(cy - r - 2), int(cx + r + 3), int(cy + r + 3));
}

// Chosen so that the five stay apart under the common colour-vision deficiencies too: the
// green is lighter than the red, the beige greyer than the yellow.
static const Colour kBubbleColours[5] = {rgb(88, 192, 64), rgb(199, 16, 28), rgb(212, 198, 172),
                                         rgb(44, 98, 222), rgb(246, 208, 34)};

static bool in_polygon(const float (*v)[2], int n, float x, float y);

// Signed distance to a closed polygon of n corners (negative inside).
static float sd_polygon(const float (*v)[2], int n, float x, float y) {
  float d = 1e9f;
  for (int i = 0, j = n - 1; i < n; j = i++)
    d = std::min(d, sd_segment(x, y, v[j][0], v[j][1], v[i][0], v[i][1]));
  return in_polygon(v, n, x, y) ? -d : d;
}

// The mark that tells the colour without its hue, centred on the sphere (the pointed shapes
// a pixel lower, where they look centred): 1 ring, 2 dot, 3 triangle's outline, 4 square,
// 5 star. Each covers pixels the others leave, so no two match even where two colours look
// alike: the asset tests measure it under the simulated colour-vision deficiencies.
static float sd_mark(int colour, float x, float y) {
  const float pi = 3.14159265f;
  float corners[10][2];
  auto star = [&](int points, float outer, float inner) {  // inner == outer: a regular polygon
    const int n = inner == outer ? points : 2 * points;
    for (int k = 0; k < n; ++k) {
      const float a = -pi / 2 + 2 * pi * k / n, r = k % 2 && inner != outer ? inner : outer;
      corners[k][0] = 23 + r * std::cos(a), corners[k][1] = 24 + r * std::sin(a);
    }
    return sd_polygon(corners, n, x, y);
  };
  switch (colour) {
    case 1: return std::fabs(sd_circle(x, y, 23, 23, 6.5f)) - 1.3f;
    case 2: return sd_circle(x, y, 23, 23, 5.0f);
    case 3: return std::fabs(star(3, 9.6f, 9.6f)) - 1.3f;  // hollow: the star fills its middle
    case 4: return sd_round_rect(x, y, 18, 18, 28, 28, 1.5f);
    default: return star(5, 9.6f, 4.0f);
  }
}

Canvas bubble(int colour) {
  Canvas c(46, 46);
  const int kind = (colour - 1) % 5 + 1;
  const Colour base = kBubbleColours[kind - 1];
  paint_sphere(c, base, 23, 23, 22.6f);
  auto mark = [kind](float x, float y) { return sd_mark(kind, x, y); };
  auto shade = [base](float x, float y) { return sphere_shade(base, x, y, 23, 23, 22.6f); };
  auto lit = [&](float k) {
    return [=](float x, float y) { return mix(shade(x, y), rgb(255, 255, 255), k); };
  };
  auto dim = [&](float k) { return [=](float x, float y) { return shade(x, y) * k; }; };
  if (kind == 2) {
    // Red: a pearl set into the sphere, light on the dark colour, in a dark setting.
    paint(
        c, [&](float x, float y) { return mark(x, y) - 1.2f; }, dim(0.45f), 10, 10, 36, 36);
    paint(c, mark, lit(0.62f), 10, 10, 36, 36);
    return c;
  }
  if (kind == 4) {
    // Blue: the square engraved deep, its whole rim catching the light.
    paint(
        c, [&](float x, float y) { return std::fabs(mark(x, y)) - 1.0f; }, lit(0.62f), 10, 10, 36,
        36);
    paint(
        c, [&](float x, float y) { return mark(x, y) + 1.0f; }, dim(0.35f), 10, 10, 36, 36);
    return c;
  }
  // The light colours: the mark engraved, a darker recess in the sphere's own shading, its
  // lower right edge catching the light that comes from the upper left.
  paint(
      c, [&](float x, float y) { return mark(x - 1, y - 1); }, lit(0.4f), 10, 10, 36, 36, 0.7f);
  paint(c, mark, dim(0.45f), 10, 10, 36, 36, 0.85f);
  return c;
}

Canvas emblem(int size) {
  Canvas c(size, size);
  const float s = float(size), m = s / 2;
  auto ring = [=](float x, float y) { return sd_circle(x, y, m, m, 0.485f * s); };
  paint(
      c, ring, [=](float, float y) { return mix(rgb(255, 226, 130), rgb(176, 110, 30), y / s); }, 0,
      0, size, size);
  auto disc = [=](float x, float y) { return sd_circle(x, y, m, m, 0.425f * s); };
  paint(
      c, disc,
      [=](float x, float y) {
        float d = std::hypot(x - m * 0.8f, y - m * 0.7f) / (0.6f * s);
        return mix(rgb(38, 64, 120), rgb(12, 20, 48), clamp01(d));
      },
      0, 0, size, size);
  // Three orbs packed in a triangle: the game's bubbles.
  paint_sphere(c, kBubbleColours[1], 0.50f * s, 0.355f * s, 0.155f * s);
  paint_sphere(c, kBubbleColours[0], 0.355f * s, 0.615f * s, 0.155f * s);
  paint_sphere(c, kBubbleColours[3], 0.645f * s, 0.615f * s, 0.155f * s);
  return c;
}

Canvas button_face(const std::string& label, bool pressed, int height) {
  const float w = BUTTON_W, h = float(height);
  Canvas c(BUTTON_W, height, rgb(52, 34, 22), 1);  // the corners: a dark wood shadow
  auto body = [=](float x, float y) { return sd_round_rect(x, y, 0, 0, w, h, 6); };
  paint(c, body, rgb(66, 38, 18), 0, 0, BUTTON_W, height);
  auto face = [=](float x, float y) {
    return sd_round_rect(x, y, 1.2f, 1.2f, w - 1.2f, h - 1.2f, 5);
  };
  Colour top = pressed ? rgb(168, 108, 50) : rgb(246, 212, 140);
  Colour bottom = pressed ? rgb(214, 160, 90) : rgb(194, 130, 60);
  paint(
      c, face,
      [=](float x, float y) {
        // Faint grain keeps the plaque from looking flat.
        float grain = fbm(x * 0.09f, y * 0.9f, 77, 3) - 0.5f;
        Colour g = mix(top, bottom, y / h) * (1 + 0.09f * grain);
        if (pressed) g = g * (0.72f + 0.28f * smoothstep(1, 7, std::min(x, y)));  // inner shadow
        return g;
      },
      0, 0, BUTTON_W, height);
  if (!pressed) {  // bevel: light upper edge, dark lower edge
    paint(
        c, [=](float x, float y) { return sd_segment(x, y, 6, 2.5f, w - 6, 2.5f) - 0.6f; },
        rgb(255, 244, 210), 0, 0, BUTTON_W, 6, 0.8f);
    paint(
        c, [=](float x, float y) { return sd_segment(x, y, 6, h - 2.5f, w - 6, h - 2.5f) - 0.6f; },
        rgb(120, 70, 30), 0, height - 6, BUTTON_W, height, 0.7f);
  }
  const int shift = pressed ? 1 : 0;
  if (label == "*") {
    composite(c, emblem(30), 16 + shift, int(h / 2) - 15 + shift);
  } else {
    Mask m = render_text(Face::SansBold, 14, label);
    int x = int(std::lround(31 - (m.ink_left + m.ink_right + 1) / 2.0f)) + shift;
    int base = int(h / 2) + 5 + shift;
    if (!pressed)
      draw_mask(
          c, m, x, base + 1, [](float, float) { return rgb(255, 236, 190); }, 0.65f);
    draw_mask(c, m, x, base, [](float, float) { return rgb(74, 38, 12); });
  }
  return c;
}

Canvas check_mark() {
  // A pen tick: a short stroke down into the box, a long one rising above it.
  Canvas c(17, 22);
  auto tick = [](float x, float y) {
    float a = sd_segment(x, y, 2.6f, 11.2f, 6.4f, 16.0f);
    float b = sd_segment(x, y, 6.4f, 16.0f, 15.2f, 1.6f);
    // The stroke swells towards the bottom like a pressed pen.
    float width = 1.05f + 0.45f * smoothstep(2, 16, y);
    return std::min(a, b) - width;
  };
  paint(c, tick, rgb(26, 36, 104), 0, 0, 17, 22);
  return c;
}

Canvas checkerboard() {
  Canvas c(BUTTON_W, BUTTON_H, {}, 1);
  for (int y = 0; y < BUTTON_H; ++y)
    for (int x = 0; x < BUTTON_W; ++x)
      c.at(x, y) = ((x + y) % 2) ? rgb(255, 255, 255) : rgb(0, 0, 0);
  return c;
}

static bool in_polygon(const float (*v)[2], int n, float x, float y) {
  bool in = false;
  for (int i = 0, j = n - 1; i < n; j = i++)
    if ((v[i][1] > y) != (v[j][1] > y) &&
        x < (v[j][0] - v[i][0]) * (y - v[i][1]) / (v[j][1] - v[i][1]) + v[i][0])
      in = !in;
  return in;
}

Canvas cursor() {
  // Crisp pixels: the cursor has one-bit transparency, so no blended edges.
  static const float arrow[7][2] = {{2, -0.6f},     {18.6f, 16.4f}, {11.4f, 16.4f}, {15.6f, 25.2f},
                                    {12.2f, 26.8f}, {8.0f, 18.2f},  {2, 23.4f}};
  Canvas c(32, 32);
  auto solid = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < 32 && y < 32 && in_polygon(arrow, 7, x + 0.5f, y + 0.5f);
  };
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (!solid(x, y)) continue;
      bool edge = !solid(x - 1, y) || !solid(x + 1, y) || !solid(x, y - 1) || !solid(x, y + 1);
      Colour fill = mix(rgb(255, 250, 232), rgb(236, 196, 120), clamp01(y / 26.0f));
      c.at(x, y) = edge ? rgb(40, 22, 10) : fill;
      c.a(x, y) = 1;
    }
  c.at(2, 0) = rgb(40, 22, 10), c.a(2, 0) = 1;  // the hot spot is the tip
  return c;
}

}  // namespace ag
