// What SDL leaves out of its X11 window handling, done through the X library SDL itself has
// loaded (looked up at run time, so the program still starts where there is no X at all):
// the window manager's frame around the window, and the size hints a fullscreen state needs.
// Every call is for the window thread, on a window of SDL's X11 driver; elsewhere they do
// nothing and report nothing.
#pragma once

#include <SDL.h>

#include <string>

namespace plat::xlib {

// Asks the window manager, before the window is first shown, what frame it will put around
// it (_NET_REQUEST_FRAME_EXTENTS), and waits a little for the answer, so that the first
// placement already accounts for it. Nothing when the window manager does not offer this.
void request_frame_extents(SDL_Window* window);

// The frame the window manager has announced (_NET_FRAME_EXTENTS); false when it has not.
bool frame_extents(SDL_Window* window, int* left, int* right, int* top, int* bottom);

// The window's size as the X server has it now (SDL's may lag behind a window manager's
// quick succession of sizes); false when it cannot be asked.
bool size(SDL_Window* window, int* w, int* h);

// True when the window manager shows the window fullscreen (_NET_WM_STATE).
bool fullscreen(SDL_Window* window);

// What an event of SDL's window-manager kind (SDL_SYSWMEVENT) tells about `window`: that the
// window manager changed its frame or its state, or nothing of interest.
enum class Change { NONE, FRAME, STATE };
Change what_changed(const SDL_Event& e, SDL_Window* window);

// Size hints: exactly w x h (fixed), or, when `fixed` is false, at least that and any larger
// size, which a window manager needs before it fills the screen with the window.
void set_size_hints(SDL_Window* window, bool fixed, int w, int h);

// The X resources of the display (what xrdb loaded), read through a connection of its own;
// empty when SDL does not drive X or there are none.
std::string resources();

// The file descriptor of the window's connection to the X server, with `lost` made what the X
// library calls when that connection breaks (`lost` must not return); -1 elsewhere.
int connection(SDL_Window* window, void (*lost)());

}  // namespace plat::xlib
