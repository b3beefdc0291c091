// The drawing toolkit's bitmap surfaces: off-screen surfaces of the display object, and
// surfaces filled with a picture from a file or from the pictures built into the program.
#include <memory>

#include "gfx/GFX.h"
#include "main/MAIN.h"
#include "platform/display.h"
#include "platform/platform.h"

namespace {

// A picture by name: a file, or a numeric id among the built-in pictures.
std::unique_ptr<plat::Bitmap> Load_Picture_File(const char* name) {
  if (!name || IS_RESOURCE_NAME(name)) return nullptr;
  return plat::load_bitmap_file(name);
}

std::unique_ptr<plat::Bitmap> Load_Picture_Resource(const char* name) {
  if (!name || !IS_RESOURCE_NAME(name)) return nullptr;  // built-in pictures have numbers only
  return plat::load_bitmap_resource(static_cast<int>(reinterpret_cast<std::uintptr_t>(name)));
}

}  // namespace

LPDIRECTDRAWSURFACE CreateOffScreenSurface(LPDIRECTDRAW pdd, int32 dx, int32 dy) {
  if (!pdd) return nullptr;
  LPDIRECTDRAWSURFACE surface = nullptr;
  if (pdd->create_surface(DDSCAPS_OFFSCREENPLAIN, dx, dy, &surface) != DD_OK) return nullptr;
  return surface;
}

HRESULT DDCopyBitmap(LPDIRECTDRAWSURFACE pdds, const void* hbm, int32 dx, int32 dy) {
  if (!pdds || !hbm) return E_INVALIDARG;
  const auto* picture = static_cast<const plat::Bitmap*>(hbm);
  HDC dc = nullptr;
  const HRESULT hr = pdds->get_dc(&dc);
  if (hr == DD_OK) {
    dc->bit_blt(0, 0, dx, dy, *picture, 0, 0);
    pdds->release_dc(dc);
  }
  return hr;
}

LPDIRECTDRAWSURFACE DDLoadBitmap(LPDIRECTDRAW pdd, const char* szBitmap) {
  std::unique_ptr<plat::Bitmap> picture = Load_Picture_File(szBitmap);
  if (!picture) picture = Load_Picture_Resource(szBitmap);
  if (!picture) return nullptr;
  LPDIRECTDRAWSURFACE surface = CreateOffScreenSurface(pdd, picture->width, picture->height);
  if (surface) DDCopyBitmap(surface, picture.get(), picture->width, picture->height);
  if (!surface) Error_Message("Fehler beim laden eines Bildes!");
  return surface;
}

HRESULT DDReLoadBitmap(LPDIRECTDRAWSURFACE pdds, const char* szBitmap) {
  std::unique_ptr<plat::Bitmap> picture = Load_Picture_Resource(szBitmap);
  if (!picture) picture = Load_Picture_File(szBitmap);
  if (!picture) {
    plat::debug_output("handle is null\n");
    return E_FAIL;
  }
  const HRESULT hr = DDCopyBitmap(pdds, picture.get(), picture->width, picture->height);
  if (hr != DD_OK) plat::debug_output("ddcopybitmap failed\n");
  return hr;
}

LPDIRECTDRAWSURFACE LoadSurface(const char* BMP_Name) { return DDLoadBitmap(dd_Object, BMP_Name); }

HRESULT ReLoadSurface(LPDIRECTDRAWSURFACE surface, const char* BMP_Name) {
  return DDReLoadBitmap(surface, BMP_Name);
}
