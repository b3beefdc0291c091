// The display layer the toolkit and the shell draw through: a display object that owns every
// surface, software surfaces of 32-bit pixels 0x00RRGGBB, the clipper that ties the primary
// surface to the window's client area, and the drawing context (text, pixels, lines).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/wintypes.h"

namespace plat {

struct Bitmap;

// Largest surface the display makes (per side, and in pixels overall).
constexpr int MAX_SURFACE_SIDE = 16384;
constexpr std::int64_t MAX_SURFACE_PIXELS = std::int64_t{1} << 26;

// Binds the primary surface to a window: blits onto the primary land in its client area.
class Clipper {
 public:
  HRESULT set_hwnd(uint32 flags, HWND hwnd);
  HWND hwnd() const { return hwnd_; }
  // Lets go of the caller's hold. Nothing to do: the display object frees every clipper with
  // itself, and the primary surface keeps using this one until then.
  void release() {}

 private:
  HWND hwnd_ = nullptr;
};

// A solid one-pixel pen.
struct Pen {
  COLORREF color = 0;
};

// The drawing context of one surface. Obtained with Surface::get_dc, given back with
// Surface::release_dc; every surface has exactly one, so obtaining it allocates nothing.
class Dc {
 public:
  explicit Dc(Surface* surface) : surface_(surface) {}

  int set_bk_mode(int mode);
  COLORREF set_text_color(COLORREF color);
  uint32 set_text_align(uint32 align);  // TA_LEFT | TA_TOP (0) or TA_CENTER | TA_TOP (6)
  // Draws `length` Windows-1252 bytes in the default font; only the glyphs are painted.
  bool text_out(int x, int y, const char* text, int length);

  COLORREF get_pixel(int x, int y) const;  // CLR_INVALID outside the surface
  COLORREF set_pixel(int x, int y, COLORREF color);

  Pen select_pen(Pen pen);      // returns the pen it replaces
  POINT move_to(int x, int y);  // returns the previous current position
  // A line from the current position to (x, y), leaving out (x, y); it becomes the position.
  bool line_to(int x, int y);

  // Copies w x h pixels of the picture from (sx, sy) to (x, y), unscaled (SRCCOPY).
  bool bit_blt(int x, int y, int w, int h, const Bitmap& picture, int sx, int sy);

 private:
  void plot(int x, int y, std::uint32_t pixel);

  Surface* surface_;
  int bk_mode_ = 2;  // OPAQUE; text is drawn transparently whatever it says
  COLORREF text_color_ = 0;
  uint32 text_align_ = TA_LEFT;
  Pen pen_{};
  POINT pos_{0, 0};
};

class Surface {
 public:
  Surface(Display* owner, int width, int height, bool primary);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  // The surface's size; for the primary, the size of the screen.
  int width() const;
  int height() const;
  bool is_primary() const { return primary_; }

  HRESULT is_lost() const { return lost_ ? DDERR_SURFACELOST : DD_OK; }
  // Copies src_rect of src (whole source when null) into dst_rect (whole surface when null),
  // scaled to the nearest pixel when the sizes differ. DDBLT_KEYSRC leaves out source pixels
  // equal to the source's colour key; DDBLT_COLORFILL fills dst_rect with `fill` instead.
  // E_INVALIDARG for an empty, inverted or out-of-bounds rectangle or a missing source.
  HRESULT blt(const RECT* dst_rect, Surface* src, const RECT* src_rect, uint32 flags, uint32 fill);
  HRESULT set_color_key(uint32 flags, uint32 key_low, uint32 key_high);
  std::optional<uint32> color_key() const { return color_key_; }

  HRESULT get_dc(HDC* dc);
  HRESULT release_dc(HDC dc);
  // Whole surface: address of the first pixel, bytes per row, bits per pixel.
  HRESULT lock(void** bits, int* pitch, int* bit_count);
  HRESULT unlock();
  HRESULT set_clipper(Clipper* clipper);
  void release();  // frees the surface now (the display frees the rest with itself)

  // Memory of the surface (for the primary: the client area), 0x00RRGGBB, top row first.
  std::uint32_t* pixels() {
    spans_valid_ = false;
    return data_;
  }
  const std::uint32_t* pixels() const { return data_; }
  int buffer_width() const { return buf_w_; }
  int buffer_height() const { return buf_h_; }
  // The primary's window; null for off-screen surfaces or without clipper.
  HWND window() const;

  // Test controls: a lost surface answers DDERR_SURFACELOST; a surface without drawing
  // context refuses get_dc.
  void set_lost(bool lost) { lost_ = lost; }
  void set_dc_available(bool available) { dc_available_ = available; }

 private:
  friend class Dc;
  struct Mapping;
  HRESULT blt_offscreen(const RECT& dst, Surface& src, const RECT& sr, bool keyed);
  HRESULT blt_primary(const RECT& dst, Surface& src, const RECT& sr, bool keyed);
  void copy_mapped(const Mapping& m, Surface& src, bool keyed);
  void present_rect(const RECT& r);
  // The runs of pixels that differ from the colour key, row by row, worked out on the first
  // keyed blit after the pixels or the key changed.
  void build_key_spans();

  // One run of opaque pixels of a row: columns [begin, end).
  struct Span {
    int begin, end;
  };

  Display* owner_;
  bool primary_;
  int buf_w_, buf_h_;
  std::vector<std::uint32_t> pixels_;  // an off-screen surface's own memory
  std::uint32_t* data_;  // the pixels drawn to: pixels_, or for the primary its window's
  std::optional<uint32> color_key_;
  Clipper* clipper_ = nullptr;
  bool lost_ = false;
  bool dc_available_ = true;
  bool locked_ = false;
  Dc dc_;
  std::vector<Span> spans_;               // every row's runs, top row first
  std::vector<std::uint32_t> row_spans_;  // row y's runs are spans_[row_spans_[y]..[y + 1])
  bool spans_valid_ = false;
};

// The display object. Every surface and clipper it makes belongs to it and is freed with it.
class Display {
 public:
  Display() = default;
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;
  ~Display();

  HRESULT set_cooperative_level(HWND hwnd, uint32 flags);
  // caps: DDSCAPS_PRIMARYSURFACE (size ignored) or DDSCAPS_OFFSCREENPLAIN with width, height.
  HRESULT create_surface(uint32 caps, int width, int height, Surface** out);
  HRESULT create_clipper(uint32 flags, Clipper** out);
  void release();  // frees the display object with all its surfaces and clippers

  HWND hwnd() const { return hwnd_; }
  void forget(Surface* s);  // called by Surface::release

 private:
  HWND hwnd_ = nullptr;
  std::vector<std::unique_ptr<Surface>> surfaces_;
  std::vector<std::unique_ptr<Clipper>> clippers_;
};

// A new display object; DD_OK, or a failure when no display can be driven.
HRESULT direct_draw_create(Display** out);

// Every display object alive (the headless backend frees them on reset).
void release_all_displays();

}  // namespace plat
