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

// ---- Bitmap surfaces ------------------------------------------------------------------
LPDIRECTDRAWSURFACE CreateOffScreenSurface(LPDIRECTDRAW pdd, int32 dx, int32 dy);
HRESULT DDCopyBitmap(LPDIRECTDRAWSURFACE pdds, const void* hbm, int32 dx, int32 dy);
LPDIRECTDRAWSURFACE DDLoadBitmap(LPDIRECTDRAW pdd, const char* szBitmap);
HRESULT DDReLoadBitmap(LPDIRECTDRAWSURFACE pdds, const char* szBitmap);
LPDIRECTDRAWSURFACE LoadSurface(const char* BMP_Name);
HRESULT ReLoadSurface(LPDIRECTDRAWSURFACE surface, const char* BMP_Name);
// Convenience for the game's numeric ids.
inline LPDIRECTDRAWSURFACE LoadSurface(int id) { return LoadSurface(RESOURCE_NAME(id)); }
inline HRESULT ReLoadSurface(LPDIRECTDRAWSURFACE s, int id) {
  return ReLoadSurface(s, RESOURCE_NAME(id));
}

// ---- Blits, fills, text and lines -----------------------------------------------------
void PutSurface(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                LPDIRECTDRAWSURFACE dest_surface);
void PutSurfaceCC(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                  LPDIRECTDRAWSURFACE dest_surface);
void PutSurfaceClipCC(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface,
                      LPDIRECTDRAWSURFACE dest_surface, RECT clip_rect);
void PutSurfacePrimary(int32 xpos, int32 ypos, LPDIRECTDRAWSURFACE src_surface);
void FillSurface(LPDIRECTDRAWSURFACE dest_surface, int32 x, int32 y, int32 ex, int32 ey,
                 uint32 rgb);
void ShowText(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text, COLORREF text_col);
void ShowTextCenter(LPDIRECTDRAWSURFACE surface, int32 x, int32 y, const char* Text,
                    COLORREF text_col);
uint32 ColorMatch(LPDIRECTDRAWSURFACE pdds, COLORREF rgb);
HRESULT SetColorKey(LPDIRECTDRAWSURFACE pdds, COLORREF rgb);
void DrawLine(LPDIRECTDRAWSURFACE surface, int32 x1, int32 y1, int32 x2, int32 y2, COLORREF rgb);
