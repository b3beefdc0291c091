// The default font of every drawing context: a proportional bitmap font for the 256
// Windows-1252 codes, generated at build time by tools/fontgen.
#pragma once

#include <cstdint>

namespace plat {

struct Glyph {
  std::int16_t advance;  // pen movement in pixels
  std::int16_t left;     // bitmap's left edge relative to the pen
  std::int16_t top;      // bitmap's top edge relative to the top of the text line
  std::uint16_t width;   // bitmap size; 0 x 0 for blanks and codes without a glyph
  std::uint16_t height;
  std::uint32_t offset;  // first coverage byte of the bitmap in Font::coverage
};

struct Font {
  const char* name;              // family, style and pixel size, for messages
  int height;                    // line height: ascent + descent
  int ascent;                    // baseline below the top of the line
  Glyph glyphs[256];             // indexed by the Windows-1252 byte
  const std::uint8_t* coverage;  // 0 = background .. 255 = ink, rows top first
};

const Font& default_font();

// Width in pixels of `length` Windows-1252 bytes set in the default font.
int text_width(const char* text, int length);

}  // namespace plat
