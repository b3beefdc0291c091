// The window's zoom: the whole-pixel factor by which the game's client area is shown on
// the screen. The game keeps drawing and hit-testing at factor 1; the backend enlarges
// each frame as it presents it and divides mouse positions back.
#pragma once

#include <SDL.h>

#include <optional>
#include <string>

namespace plat::sdl {

constexpr int MAX_ZOOM = 4;

// A factor from the player's text ("2"); nothing when it is not a whole number 1 to 4.
std::optional<int> parse_zoom(const char* text);

// The factor the desktop asks for: GDK_SCALE, else the X resource Xft.dpi over 96 rounded
// down; clamped to 1 to MAX_ZOOM. Nothing when the desktop says nothing usable.
std::optional<int> desktop_zoom();

// The factor for a window whose client area is client_w x client_h on display `display`:
// the command line's --scale (given to set_zoom_option), else ORBOLAN_SCALE, else the
// desktop's, else 1; never more than fits the display's usable area. A bad value is
// reported on standard error and the next source is asked.
int choose_zoom(int display, int client_w, int client_h);

}  // namespace plat::sdl
