// The window's zoom factor; see zoom.h.
#include "platform/sdl/zoom.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/sdl/xlib.h"

namespace plat {

namespace {

struct ZoomOption {
  bool given = false;
  std::string text;
};

ZoomOption& zoom_option() {
  static ZoomOption o;
  return o;
}

// The number after "Xft.dpi:" in the resource lines; 0 when there is none.
double xft_dpi(const std::string& resources) {
  constexpr const char* NAME = "Xft.dpi:";
  for (std::size_t at = 0; at < resources.size();) {
    const std::size_t end = std::min(resources.find('\n', at), resources.size());
    if (resources.compare(at, std::strlen(NAME), NAME) == 0)
      return std::atof(resources.substr(at + std::strlen(NAME), end - at).c_str());
    at = end + 1;
  }
  return 0;
}

}  // namespace

void set_zoom_option(const char* text) { zoom_option() = ZoomOption{true, text ? text : ""}; }

namespace sdl {

std::optional<int> parse_zoom(const char* text) {
  if (!text || std::strlen(text) != 1 || text[0] < '1' || text[0] > '0' + MAX_ZOOM) return {};
  return text[0] - '0';
}

std::optional<int> desktop_zoom() {
  if (const char* gdk = std::getenv("GDK_SCALE"); gdk && *gdk) {
    char* end = nullptr;
    const long f = std::strtol(gdk, &end, 10);
    if (*end == '\0' && f >= 1) return static_cast<int>(std::min<long>(f, MAX_ZOOM));
  }
  // Clamped before it becomes a whole number: a resource may say 1e400 or inf.
  const double dpi = xft_dpi(xlib::resources());
  if (dpi >= 96) return static_cast<int>(std::min(std::floor(dpi / 96), double{MAX_ZOOM}));
  return {};
}

int choose_zoom(int display, int client_w, int client_h) {
  std::optional<int> wanted;
  const auto refused = [](const char* what, const char* text) {
    std::fprintf(stderr, "orbolan: %s'%s' ignored: the zoom is a whole number from 1 to %d\n", what,
                 text, MAX_ZOOM);
  };
  const ZoomOption& option = zoom_option();
  if (option.given && !(wanted = parse_zoom(option.text.c_str())))
    refused("--scale ", option.text.c_str());
  if (const char* env = std::getenv("ORBOLAN_SCALE"); !wanted && env && !(wanted = parse_zoom(env)))
    refused("ORBOLAN_SCALE=", env);
  const bool asked = wanted.has_value();  // the player named a factor: say when it cannot be had
  if (!wanted) wanted = desktop_zoom();
  int zoom = wanted.value_or(1);
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(display, &usable) == 0 && usable.w > 0 && usable.h > 0) {
    const int fits = std::max(1, std::min(usable.w / client_w, usable.h / client_h));
    if (zoom > fits) {
      if (asked)
        std::fprintf(stderr, "orbolan: a zoom of %d does not fit the screen (%d x %d); using %d\n",
                     zoom, usable.w, usable.h, fits);
      zoom = fits;
    }
  }
  return zoom;
}

}  // namespace sdl
}  // namespace plat
