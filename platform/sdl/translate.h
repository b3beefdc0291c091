// SDL events into the window messages the game understands: mouse buttons and motion with
// the key-state word, key presses, window exposure, moves and close requests.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

namespace plat::sdl {

// The mouse buttons held, as the events themselves have told them (MK_* bits). Kept from
// event to event so that a press and a release delivered together are told apart.
struct MouseState {
  uint32 held = 0;
};

// Where the game's client area lies in the window: each client pixel shown as zoom x zoom
// window pixels, its top-left corner at (x, y).
struct View {
  int zoom = 1;
  int x = 0, y = 0;
};

// The view of a client_w x client_h area in a window of win_w x win_h: the largest whole zoom
// that fits (at least 1), centred. At the window's own size (the client area times its zoom)
// that is the whole window; a larger size forced by the window manager leaves a margin.
View fit_view(int win_w, int win_h, int client_w, int client_h);

// The MK_SHIFT and MK_CONTROL bits of an SDL key-modifier state.
uint32 modifier_bits(Uint16 mods);
// The MK_* button bits of an SDL button mask (SDL_BUTTON_LMASK ...).
uint32 button_bits(Uint32 sdl_mask);

// Translates one event of the window `window_id` into a message for `hwnd`. `mods` is the
// keyboard's modifier state; `view` where the client area lies in the window, through which
// mouse positions are mapped back into client pixels. False when the event means nothing to
// the game.
bool translate_event(const SDL_Event& e, Uint32 window_id, Uint16 mods, HWND hwnd,
                     MouseState* mouse, Message* out, const View& view = {});

}  // namespace plat::sdl
