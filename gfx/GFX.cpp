// The drawing toolkit's blits, fills, text and lines: pictures into the frame with or
// without colour key and clipping, the frame into the window, and drawing-context work.
#include "gfx/GFX.h"

#include <cstring>

#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/platform.h"

namespace {

// Width and height as the surface describes itself (the screen's size for the primary).
void Surface_Size(LPDIRECTDRAWSURFACE s, int32* w, int32* h) {
  *w = s ? s->width() : 0;
  *h = s ? s->height() : 0;
}

// Tells the window about a surface whose memory was lost; the blit is tried all the same.
void Check_Lost(LPDIRECTDRAWSURFACE s) {
  if (s && s->is_lost() == DDERR_SURFACELOST) plat::post_message(main_hwnd, SURFACE_LOST_MSG, 0, 0);
}

// Invalid parameters are answered with the 1000 Hz warning beep.
void Check_Result(HRESULT hr) {
  if (hr == E_INVALIDARG) plat::beep(1000, 100);
}

// A missing surface (a picture that failed to load) counts as an invalid parameter.
HRESULT Blit(LPDIRECTDRAWSURFACE dst, const RECT& d, LPDIRECTDRAWSURFACE src, const RECT* s,
             uint32 flags) {
  if (!dst || !src) return E_INVALIDARG;
  return dst->blt(&d, src, s, flags, 0);
}

// True when the picture of size w x h at (x, y) ends strictly inside W x H; the sums are
// compared as unsigned numbers, so a negative place fails the test too.
bool Fits(int32 x, int32 y, int32 w, int32 h, int32 W, int32 H) {
  return static_cast<uint32>(x) + static_cast<uint32>(w) < static_cast<uint32>(W) &&
         static_cast<uint32>(y) + static_cast<uint32>(h) < static_cast<uint32>(H);
}

void Text_Out(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text, COLORREF text_col,
              uint32 align) {
  HDC dc = nullptr;
  if (!surface || !Text || surface->get_dc(&dc) != DD_OK) return;  // nothing to draw on
  dc->set_bk_mode(TRANSPARENT);
  dc->set_text_color(text_col);
  dc->set_text_align(align);
  dc->text_out(x, y, Text, static_cast<int>(std::strlen(Text)));
  surface->release_dc(dc);
}

}  // namespace

void PutSurface(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                LPDIRECTDRAWSURFACE dest_surface) {
  int32 w, h, W, H;
  Surface_Size(src_surface, &w, &h);
  Surface_Size(dest_surface, &W, &H);
  const RECT d =
      Fits(xpos, ypos, w, h, W, H) ? RECT{xpos, ypos, xpos + w, ypos + h} : RECT{xpos, ypos, W, H};
  Check_Lost(src_surface);
  Check_Lost(dest_surface);
  Check_Result(Blit(dest_surface, d, src_surface, nullptr, DDBLT_WAIT));
}

void PutSurfaceCC(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                  LPDIRECTDRAWSURFACE dest_surface) {
  int32 w, h, W, H;
  Surface_Size(src_surface, &w, &h);
  Surface_Size(dest_surface, &W, &H);
  if (!Fits(xpos, ypos, w, h, W, H)) return;
  const RECT d{xpos, ypos, xpos + w, ypos + h};
  Check_Lost(src_surface);
  Check_Lost(dest_surface);
  Check_Result(Blit(dest_surface, d, src_surface, nullptr, DDBLT_WAIT | DDBLT_KEYSRC));
}

void PutSurfaceClipCC(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                      LPDIRECTDRAWSURFACE dest_surface, RECT clip_rect) {
  int32 w, h;
  Surface_Size(src_surface, &w, &h);
  const RECT S{xpos, ypos, xpos + w, ypos + h};
  const RECT& C = clip_rect;
  RECT R{0, 0, w, h};
  RECT D = S;
  const bool strictly_inside =
      S.left > C.left && S.top > C.top && S.right < C.right && S.bottom < C.bottom;
  if (!strictly_inside) {
    if (S.left < C.left) R.left += C.left - S.left, D.left += C.left - S.left;
    if (S.top < C.top) R.top += C.top - S.top, D.top += C.top - S.top;
    if (S.right > C.right) R.right -= S.right - C.right, D.right -= S.right - C.right;
    if (S.bottom > C.bottom) R.bottom -= S.bottom - C.bottom, D.bottom -= S.bottom - C.bottom;
  }
  Check_Lost(src_surface);
  Check_Lost(dest_surface);
  // A picture wholly outside the clip rectangle (a new bubble still left of the board) has
  // nothing to draw; blitting its inverted rectangle would only sound the warning beep.
  if (D.left >= D.right || D.top >= D.bottom) return;
  Check_Result(Blit(dest_surface, D, src_surface, strictly_inside ? nullptr : &R,
                    DDBLT_WAIT | DDBLT_KEYSRC));
}

void PutSurfacePrimary(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface) {
  int32 w, h, W, H;
  Surface_Size(src_surface, &w, &h);
  Surface_Size(dd_Primary, &W, &H);
  const int32 cx = Client_Pos.x, cy = Client_Pos.y;
  const RECT d = Fits(xpos, ypos, w, h, W, H)
                     ? RECT{xpos + cx, ypos + cy, xpos + w + cx, ypos + h + cy}
                     : RECT{xpos + cx, ypos + cy, W + cx, H + cy};
  Check_Lost(src_surface);
  Check_Lost(dd_Primary);
  Check_Result(Blit(dd_Primary, d, src_surface, nullptr, DDBLT_WAIT));
}

bool SurfaceLost(LPDIRECTDRAWSURFACE surface) {
  return surface && surface->is_lost() == DDERR_SURFACELOST;
}

void GetSurfaceSize(LPDIRECTDRAWSURFACE surface, int32* w, int32* h) {
  Surface_Size(surface, w, h);
}

void PutSurfacePart(RECT r, LPDIRECTDRAWSURFACE src_surface, LPDIRECTDRAWSURFACE dest_surface) {
  Check_Lost(src_surface);
  Check_Lost(dest_surface);
  Check_Result(Blit(dest_surface, r, src_surface, &r, DDBLT_WAIT));
}

void PutSurfacePrimaryPart(RECT r, LPDIRECTDRAWSURFACE src_surface) {
  const int32 cx = Client_Pos.x, cy = Client_Pos.y;
  const RECT d{r.left + cx, r.top + cy, r.right + cx, r.bottom + cy};
  Check_Lost(src_surface);
  Check_Lost(dd_Primary);
  Check_Result(Blit(dd_Primary, d, src_surface, &r, DDBLT_WAIT));
}

void FillSurface(LPDIRECTDRAWSURFACE dest_surface, int32 x, int32 y, int32 ex, int32 ey,
                 uint32 rgb) {
  if (!dest_surface) return Check_Result(E_INVALIDARG);
  const RECT d{x, y, ex, ey};
  Check_Result(dest_surface->blt(&d, nullptr, nullptr, DDBLT_COLORFILL, rgb));
}

void ShowText(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text, COLORREF text_col) {
  Text_Out(surface, x, y, Text, text_col, TA_LEFT | TA_TOP);
}

void ShowTextCenter(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text,
                    COLORREF text_col) {
  Text_Out(surface, x, y, Text, text_col, TA_CENTER | TA_TOP);
}

uint32 ColorMatch(LPDIRECTDRAWSURFACE pdds, COLORREF rgb) {
  if (!pdds) return CLR_INVALID;
  uint32 result = CLR_INVALID;
  COLORREF saved = 0;
  bool painted = false;
  HDC dc = nullptr;
  if (rgb != CLR_INVALID && pdds->get_dc(&dc) == DD_OK) {
    saved = dc->get_pixel(0, 0);
    dc->set_pixel(0, 0, rgb);
    pdds->release_dc(dc);
    painted = true;
  }
  void* bits = nullptr;
  int pitch = 0, bit_count = 0;
  HRESULT hr;
  while ((hr = pdds->lock(&bits, &pitch, &bit_count)) == DDERR_WASSTILLDRAWING) {
  }
  if (hr == DD_OK) {
    std::memcpy(&result, bits, sizeof result);
    if (bit_count < 32) result &= (1u << bit_count) - 1u;
    pdds->unlock();
  }
  if (painted && pdds->get_dc(&dc) == DD_OK) {
    dc->set_pixel(0, 0, saved);
    pdds->release_dc(dc);
  }
  return result;
}

HRESULT SetColorKey(LPDIRECTDRAWSURFACE pdds, COLORREF rgb) {
  if (!pdds) return E_INVALIDARG;
  const uint32 key = ColorMatch(pdds, rgb);
  return pdds->set_color_key(DDCKEY_SRCBLT, key, key);
}

void DrawLine(LPDIRECTDRAWSURFACE surface, int32 x1, int32 y1, int32 x2, int32 y2, COLORREF rgb) {
  HDC dc = nullptr;
  if (!surface || surface->get_dc(&dc) != DD_OK) {
    Error_Message(
        "Kein DC verf\xFC"
        "gbar!");
    return;
  }
  const plat::Pen old = dc->select_pen(plat::Pen{rgb});
  dc->move_to(x1, y1);
  dc->line_to(x2, y2);
  dc->select_pen(old);
  surface->release_dc(dc);
}
