// Fuzzes the bitmap reader: any bytes give either no picture or a whole one (its size in
// range, one 24-bit pixel per place) that survives being written and read again, and that
// copies onto a surface at any place without touching memory outside it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/bitmap_io.h"
#include "platform/display.h"
#include "platform/platform.h"

namespace {

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_bitmap: %s\n", what);
  __builtin_trap();
}

plat::Surface* Target() {
  static plat::Surface* surface = [] {
    plat::Display* display = nullptr;
    plat::direct_draw_create(&display);
    plat::Surface* s = nullptr;
    display->create_surface(DDSCAPS_OFFSCREENPLAIN, 61, 47, &s);
    return s;
  }();
  return surface;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::unique_ptr<plat::Bitmap> bmp = plat::load_bitmap_memory(data, size);
  if (!bmp) return 0;
  Check(bmp->width > 0 && bmp->height > 0, "empty picture");
  Check(bmp->width <= plat::MAX_SURFACE_SIDE && bmp->height <= plat::MAX_SURFACE_SIDE,
        "picture larger than any surface");
  Check(bmp->pixels.size() == static_cast<std::size_t>(bmp->width) * bmp->height,
        "pixel count differs from the size");
  for (std::uint32_t p : bmp->pixels) Check(p <= 0xFFFFFFu, "pixel with bits above 24");

  const std::vector<std::uint8_t> file =
      plat::encode_bmp(bmp->pixels.data(), bmp->width, bmp->height, bmp->width);
  const std::unique_ptr<plat::Bitmap> again = plat::load_bitmap_memory(file.data(), file.size());
  Check(again && again->width == bmp->width && again->height == bmp->height &&
            again->pixels == bmp->pixels,
        "written and read again, the picture changed");

  // Copy it onto a small surface at a place taken from the input, partly outside or not.
  HDC dc = nullptr;
  Check(Target()->get_dc(&dc) == DD_OK, "no drawing context");
  const int x = static_cast<std::int8_t>(data[size / 2]);
  const int y = static_cast<std::int8_t>(data[size - 1]);
  dc->bit_blt(x, y, bmp->width, bmp->height, *bmp, 0, 0);
  Target()->release_dc(dc);
  return 0;
}
