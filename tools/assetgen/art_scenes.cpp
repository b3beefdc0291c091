// The large pictures: the wooden table top, the torn paper sheets and the title lettering.
#include "game/geometry.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/noise.h"

namespace ag {

// ---- Wood -------------------------------------------------------------------------------

// Planks run across the table; each has its own tone, grain phase and a butt joint.
static constexpr int kPlankHeight = 53;

static Colour wood(float x, float y) {
  const int plank = int(std::floor((y + 21) / kPlankHeight));
  const float tint = 0.9f + 0.2f * hash01(plank, 3, 11);
  const float phase = hash01(plank, 5, 11) * 40;
  const float warp = fbm(x * 0.004f + phase, y * 0.045f, 21, 4);
  float t = (y + 21 - plank * kPlankHeight) * 0.26f + warp * 18 + phase;
  float ring = 0.5f + 0.5f * std::sin(t);
  ring = ring * ring * ring;
  float fibre = fbm(x * 0.05f, y * 0.9f + plank * 13, 31, 3);
  Colour light = rgb(184, 124, 74), dark = rgb(116, 70, 38);
  Colour c = mix(light, dark, clamp01(0.55f * ring + 0.55f * (fibre - 0.25f)));
  return c * tint;
}

static Colour wood_with_joints(float x, float y) {
  const int plank = int(std::floor((y + 21) / kPlankHeight));
  const float local = y + 21 - plank * kPlankHeight;
  Colour c = wood(x, y);
  if (local < 1.5f) return c * 0.45f;  // the dark seam between planks
  if (local < 2.5f) return c * 1.12f;  // its lit lower lip
  const float joint = 60 + hash01(plank, 9, 11) * 360;
  float dx = std::fabs(x - joint);
  if (dx < 0.8f) return c * 0.5f;
  if (dx < 1.8f) return c * (x > joint ? 1.1f : 0.8f);
  return c;
}

static Colour felt(float x, float y, float x0, float y0, float x1, float y1) {
  float n = fbm(x * 0.35f, y * 0.35f, 41, 3) - 0.5f;
  Colour c = kFeltTone * (1 + 0.22f * n);
  // Recessed: shadow under the upper and left rims, a little light on the lower one.
  float shade = 0.55f + 0.45f * smoothstep(0, 9, std::min(x - x0, y - y0));
  float lift = 1 + 0.18f * (1 - smoothstep(0, 4, std::min(x1 - x, y1 - y)));
  return c * (shade * lift);
}

static void frame_rect(Canvas& c, int x0, int y0, int x1, int y1) {
  for (int x = x0; x <= x1; ++x) c.at(x, y0) = c.at(x, y1) = kFrameLine;
  for (int y = y0; y <= y1; ++y) c.at(x0, y) = c.at(x1, y) = kFrameLine;
  // A dark groove just outside the line sets it off from the grain.
  for (int x = x0 - 1; x <= x1 + 1; ++x)
    c.at(x, y0 - 1) = c.at(x, y0 - 1) * 0.55f, c.at(x, y1 + 1) = c.at(x, y1 + 1) * 0.8f;
  for (int y = y0; y <= y1; ++y)
    c.at(x0 - 1, y) = c.at(x0 - 1, y) * 0.55f, c.at(x1 + 1, y) = c.at(x1 + 1, y) * 0.8f;
}

static void recess(Canvas& c, int x0, int y0, int x1, int y1) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) c.at(x, y) = felt(x + 0.5f, y + 0.5f, x0, y0, x1 + 1, y1 + 1);
}

Canvas background(const Canvas* main_faces[5]) {
  Canvas c(SCREEN_W, SCREEN_H, {}, 1);
  for (int y = 0; y < SCREEN_H; ++y)
    for (int x = 0; x < SCREEN_W; ++x) {
      float vx = (x - 247) / 247.0f, vy = (y - 210) / 210.0f;
      float vignette = 1 - 0.22f * (vx * vx + vy * vy);
      c.at(x, y) = wood_with_joints(x + 0.5f, y + 0.5f) * vignette;
    }
  recess(c, BOARD_LEFT, BOARD_TOP, BOARD_RIGHT, BOARD_BOTTOM);
  recess(c, BOARD_LEFT, STATUS_BAR_TOP, BOARD_RIGHT, STATUS_BAR_BOTTOM);
  frame_rect(c, BOARD_LEFT - 1, BOARD_TOP - 1, BOARD_RIGHT + 1, BOARD_BOTTOM + 1);
  frame_rect(c, BOARD_LEFT - 1, STATUS_BAR_TOP - 1, BOARD_RIGHT + 1, STATUS_BAR_BOTTOM + 1);
  // The faces of Exit, logo, Setup, Scores and New, painted in at their places.
  for (int i = 0; i < 5; ++i) {
    const Canvas& f = *main_faces[i];
    for (int y = 0; y < f.h; ++y)
      for (int x = 0; x < f.w; ++x)
        c.at(EXIT_BUTTON_X + MAIN_BUTTON_STEP * i + x, MAIN_BUTTON_Y + y) = f.at(x, y);
  }
  return c;
}

// ---- Paper ------------------------------------------------------------------------------

// How far the torn edge lies inside the sheet's rectangle at position t along a side.
static float tear(float t, std::uint32_t side) {
  return 2.0f + 5.5f * fbm(t * 0.03f, side * 7.0f, 51, 4) +
         1.8f * vnoise(t * 0.6f, side * 3.0f, 52);
}

static float edge_distance(float x, float y, float w, float h) {
  float l = x - tear(y, 1), r = w - tear(y, 2) - x;
  float t = y - tear(x, 3), b = h - tear(x, 4) - y;
  return std::min(std::min(l, r), std::min(t, b));
}

static Colour paper_colour(float x, float y, float w, float h) {
  float cloud = fbm(x * 0.012f, y * 0.012f, 61, 4);
  float fibre = fbm(x * 0.25f, y * 0.05f, 62, 2) * fbm(x * 0.04f, y * 0.3f, 63, 2);
  Colour c = rgb(243, 234, 210) * (0.95f + 0.08f * cloud - 0.06f * fibre);
  // Aged towards the edges; a faint ring where a cup once stood.
  float d = edge_distance(x, y, w, h);
  c = c * (0.88f + 0.12f * smoothstep(0, 18, d));
  float ring = std::fabs(std::hypot(x - 0.86f * w, y - 0.80f * h) - 34);
  c = c * (1 - 0.05f * (1 - smoothstep(0, 2.5f, ring)) * fbm(x * 0.1f, y * 0.1f, 64, 2));
  // Torn paper shows a whiter fibrous lip.
  if (d < 1.6f) c = mix(c, rgb(252, 249, 240), 0.7f);
  return c;
}

// The emblem pressed faintly into the paper: its ring and its three orbs, each orb with a
// lighter gloss, as darker and lighter tones of the paper itself.
static void paint_watermark(Canvas& c, float cx, float cy, float r) {
  auto tone = [&](const Sdf& sdf, float darken) {
    Canvas m(c.w, c.h);
    paint(m, sdf, rgb(0, 0, 0), int(cx - r - 2), int(cy - r - 2), int(cx + r + 3), int(cy + r + 3));
    for (std::size_t i = 0; i < m.alpha.size(); ++i)
      if (m.alpha[i] > 0 && c.alpha[i] > 0) c.rgb[i] = c.rgb[i] * (1 - darken * m.alpha[i]);
  };
  tone([=](float x, float y) { return std::fabs(sd_circle(x, y, cx, cy, 0.93f * r)) - 0.07f * r; },
       0.07f);
  const float orbs[3][2] = {{0.0f, -0.29f}, {-0.29f, 0.23f}, {0.29f, 0.23f}};
  for (const auto& o : orbs) {
    float ox = cx + o[0] * r, oy = cy + o[1] * r, orb = 0.31f * r;
    tone([=](float x, float y) { return sd_circle(x, y, ox, oy, orb); }, 0.08f);
    tone([=](float x, float y) { return std::fabs(sd_circle(x, y, ox, oy, orb)) - 1.2f; }, 0.06f);
    tone([=](float x,
             float y) { return sd_circle(x, y, ox - 0.35f * orb, oy - 0.4f * orb, 0.22f * orb); },
         -0.05f);
  }
}

Canvas paper(bool watermark) {
  const float w = 482, h = 338;
  Canvas c(482, 338);
  paint_ss(
      c, [=](float x, float y) { return edge_distance(x, y, w, h) > 0; },
      [=](float x, float y) { return paper_colour(x, y, w, h); }, 0, 0, 482, 338);
  if (watermark) paint_watermark(c, 241, 169, 112);
  return c;
}

// ---- Title ------------------------------------------------------------------------------

Canvas title() {
  Canvas c(457, 114);
  float size = 104;
  Mask m;
  for (;; size -= 2) {
    m = render_text(Face::SansBold, size, "Orbolan");
    if (m.ink_right - m.ink_left + 1 <= 384) break;
  }
  const int x = 18 - m.ink_left, base = 90;
  const float top = base - size * 0.74f, bottom = float(base);
  draw_mask(c, dilate(m, 4.5f), x + 5, base + 5, [](float, float) { return rgb(46, 24, 10); });
  draw_mask(c, dilate(m, 4.0f), x, base, [](float, float) { return rgb(74, 34, 8); });
  draw_mask(c, m, x, base, [=](float px, float py) {
    float t = clamp01((py - top) / (bottom - top));
    Colour g = t < 0.5f ? mix(rgb(255, 244, 170), rgb(252, 196, 64), t * 2)
                        : mix(rgb(244, 160, 40), rgb(206, 96, 20), (t - 0.5f) * 2);
    // A glossy band across the upper half of the letters.
    float band = smoothstep(0.12f, 0.2f, t) * (1 - smoothstep(0.40f, 0.47f, t));
    g = mix(g, rgb(255, 255, 236), 0.35f * band);
    return g * (0.94f + 0.12f * fbm(px * 0.08f, py * 0.08f, 71, 2));
  });
  // A few bubbles drifting up from the last letter.
  paint_sphere(c, rgb(44, 98, 222), 418, 74, 15);
  paint_sphere(c, rgb(64, 178, 58), 440, 40, 10);
  paint_sphere(c, rgb(214, 44, 38), 424, 14, 7.5f);
  return c;
}

}  // namespace ag
