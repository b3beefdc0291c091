// The drawing toolkit: surfaces made from bitmap pictures, blits with and without colour key
// and clipping, colour fills, text and lines on surfaces, and the blit of the frame into the
// window. Picture names are a file name, or a numeric resource id passed as RESOURCE_NAME(id).
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

// A numeric resource id passed in place of a picture name.
#define RESOURCE_NAME(id) (reinterpret_cast<const char*>(static_cast<std::uintptr_t>(id)))
// True when a picture name is a numeric resource id rather than a file name.
inline bool IS_RESOURCE_NAME(const char* name) {
  return reinterpret_cast<std::uintptr_t>(name) < 0x10000u;
}

// Every blit below posts SURFACE_LOST_MSG to the window when a surface has lost its memory,
// and sounds the 1000 Hz warning beep when the blit is refused as invalid (a missing surface).

// ---- Bitmap surfaces ------------------------------------------------------------------
// A blank off-screen surface of dx x dy pixels owned by `pdd`; null on failure.
LPDIRECTDRAWSURFACE CreateOffScreenSurface(LPDIRECTDRAW pdd, int32 dx, int32 dy);
// Copies the top-left dx x dy pixels of the picture `hbm` (a plat::Bitmap) into the surface.
HRESULT DDCopyBitmap(LPDIRECTDRAWSURFACE pdds, const void* hbm, int32 dx, int32 dy);
// A new surface holding the named picture (a BMP file first, then a built-in resource); on
// failure null, with an error box when the picture was found but no surface could be made.
LPDIRECTDRAWSURFACE DDLoadBitmap(LPDIRECTDRAW pdd, const char* szBitmap);
// Fills an existing surface again from the named picture (resource first, then file).
HRESULT DDReLoadBitmap(LPDIRECTDRAWSURFACE pdds, const char* szBitmap);
// DDLoadBitmap on the shell's display object.
LPDIRECTDRAWSURFACE LoadSurface(const char* BMP_Name);
// DDReLoadBitmap under the game's name.
HRESULT ReLoadSurface(LPDIRECTDRAWSURFACE surface, const char* BMP_Name);
// LoadSurface and ReLoadSurface for the game's numeric resource ids.
inline LPDIRECTDRAWSURFACE LoadSurface(int id) { return LoadSurface(RESOURCE_NAME(id)); }
inline HRESULT ReLoadSurface(LPDIRECTDRAWSURFACE s, int id) {
  return ReLoadSurface(s, RESOURCE_NAME(id));
}

// ---- Blits, fills, text and lines -----------------------------------------------------
// Opaque blit of the whole source with its top-left at (xpos, ypos); one that would reach
// the destination's right or bottom edge is squeezed into what is left there.
void PutSurface(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                LPDIRECTDRAWSURFACE dest_surface);
// Blit leaving out the source's key colour; drawn only when it ends strictly inside.
void PutSurfaceCC(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                  LPDIRECTDRAWSURFACE dest_surface);
// Keyed blit cut to clip_rect: only the part inside the rectangle is drawn.
void PutSurfaceClipCC(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                      LPDIRECTDRAWSURFACE dest_surface, RECT clip_rect);
// Opaque blit into the window's client area (the primary surface) at client (xpos, ypos).
void PutSurfacePrimary(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface);
// True when the surface has lost its memory (what it held is gone until it is filled again).
bool SurfaceLost(LPDIRECTDRAWSURFACE surface);
// The surface's width and height; 0 x 0 for a missing one.
void GetSurfaceSize(LPDIRECTDRAWSURFACE surface, int32* w, int32* h);
// Opaque blit of the rectangle r of the source to the same place in the destination (a part
// of a picture as large as the frame, such as the background).
void PutSurfacePart(RECT r, LPDIRECTDRAWSURFACE src_surface, LPDIRECTDRAWSURFACE dest_surface);
// Opaque blit of the rectangle r of the source into the window's client area at the same
// place: only that part of the frame is presented.
void PutSurfacePrimaryPart(RECT r, LPDIRECTDRAWSURFACE src_surface);
// Fills the rectangle from (x, y) to (ex, ey), right and bottom edges excluded, with rgb.
void FillSurface(LPDIRECTDRAWSURFACE dest_surface, int32 x, int32 y, int32 ex, int32 ey,
                 uint32 rgb);
// Windows-1252 text in the default font, its top-left corner at (x, y), no background.
void ShowText(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text, COLORREF text_col);
// As ShowText, centred on x.
void ShowTextCenter(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text,
                    COLORREF text_col);
// The surface's own pixel value for a colour, found by painting it at (0, 0) and reading it
// back (the pixel is restored); the surface's pixel at (0, 0) as it is for CLR_INVALID.
uint32 ColorMatch(LPDIRECTDRAWSURFACE pdds, COLORREF rgb);
// Makes rgb the colour left out by keyed blits from this surface.
HRESULT SetColorKey(LPDIRECTDRAWSURFACE pdds, COLORREF rgb);
// A one-pixel line from (x1, y1) towards (x2, y2), the end point left out.
void DrawLine(LPDIRECTDRAWSURFACE surface, int32 x1, int32 y1, int32 x2, int32 y2, COLORREF rgb);
