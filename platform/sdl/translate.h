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

// The MK_SHIFT and MK_CONTROL bits of an SDL key-modifier state.
uint32 modifier_bits(Uint16 mods);
// The MK_* button bits of an SDL button mask (SDL_BUTTON_LMASK ...).
uint32 button_bits(Uint32 sdl_mask);

// Translates one event of the window `window_id` into a message for `hwnd`. `mods` is the
// keyboard's modifier state; `zoom` the window's whole-pixel zoom, by which mouse positions
// are divided back into client pixels. False when the event means nothing to the game.
bool translate_event(const SDL_Event& e, Uint32 window_id, Uint16 mods, HWND hwnd,
                     MouseState* mouse, Message* out, int zoom = 1);

}  // namespace plat::sdl
