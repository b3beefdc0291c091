// Lettering for the artwork: FreeType renders DejaVu text into coverage masks.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace ag {

enum class Face { Sans, SansBold, Serif, SerifBold, SerifBoldItalic, SansCondensedBold };

// Coverage of a rendered text line. The pen starts at x = 0 on the baseline y = `baseline`.
struct Mask {
  int w = 0, h = 0;
  int baseline = 0;  // row of the baseline inside the mask
  int origin = 0;    // column of the pen origin inside the mask
  int advance = 0;   // pen advance of the whole line, pixels
  int ink_left = 0;  // first and last column holding ink, relative to the pen origin
  int ink_right = 0;
  std::vector<float> cover;
  float at(int x, int y) const {
    return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : cover[std::size_t(y) * w + x];
  }
};

// Throws std::runtime_error when the font cannot be loaded.
Mask render_text(Face face, float pixel_size, const std::string& text);
// Widens the coverage by `radius` pixels (for outlines and shadows).
Mask dilate(const Mask& m, float radius);

// Paints the mask with its pen origin at (x, baseline_y).
void draw_mask(Canvas& c, const Mask& m, int x, int baseline_y, const Shader& shade,
               float opacity = 1);
// Convenience: plain text, with left / centre alignment on x.
int draw_text(Canvas& c, Face face, float size, const std::string& text, int x, int baseline_y,
              Colour col);
int draw_text_centred(Canvas& c, Face face, float size, const std::string& text, float cx,
                      int baseline_y, Colour col);

void set_font_dir(const std::string& dir);

}  // namespace ag
