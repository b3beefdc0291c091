// The artwork of the game, one function per picture; each returns a canvas to be flattened.
#pragma once

#include <string>

#include "tools/assetgen/canvas.h"

namespace ag {

// Tones the pictures are drawn against: anti-aliased edges of keyed pictures blend into the
// colour that lies beneath them in the game, so no halo of the key colour appears.
inline const Colour kInk = rgb(36, 30, 42);           // printing on paper
inline const Colour kPaperTone = rgb(238, 228, 203);  // under the printed tables
inline const Colour kFeltTone = rgb(40, 33, 30);  // the board: under the bubbles, title and paper
inline const Colour kFrameLine = rgb(188, 130, 83);  // frame lines of the background

// Glossy sphere colour at (x, y) for a sphere of `base` colour centred at (cx, cy), radius r.
Colour sphere_shade(Colour base, float x, float y, float cx, float cy, float r);
// Paints a glossy sphere onto the canvas.
void paint_sphere(Canvas& c, Colour base, float cx, float cy, float r);

Canvas emblem(int size);    // transparent outside the badge
Canvas bubble(int colour);  // 1..5: green, red, beige, blue, yellow
Canvas button_face(const std::string& label, bool pressed, int height);  // label "*" = emblem
Canvas background(const Canvas* main_faces[5]);
Canvas paper(bool watermark);
Canvas title();
Canvas score_table();
Canvas game_score_table();
Canvas setup_map();
Canvas check_mark();
Canvas checkerboard();
Canvas cursor();

}  // namespace ag
