// What keeps the game answerable while its window thread is held (a box open, the result
// sound playing): a thread of its own that watches the display connection and the signals
// that ask the program to close. A display that goes away ends the program at once with exit
// code 1, once no save of the player's file is under way; a close signal closes an open box
// and then the window, as its close box does.
#pragma once

#include <SDL.h>

#include "platform/platform.h"

namespace plat::sdl {

// Takes SIGTERM, SIGINT and SIGHUP (a hang-up ignored from the start, as under nohup, stays
// ignored) before SDL's video starts, so that they reach the watch instead of SDL's queue.
void catch_close_signals();
// Starts the watch of the display connection under `window` and the I/O error handler of the
// X library; close signals are posted to `hwnd` as WM_CLOSE from now on.
void start_lifeline(SDL_Window* window, HWND hwnd);
// Ends the watch before SDL closes the display connection.
void stop_lifeline();

// Around a modal box: while it is open, a close signal ends the process that shows it.
void box_opened();
void box_closed();
// True once a close signal came: from then on boxes are only printed, so nothing holds the
// close up.
bool closing_by_signal();

}  // namespace plat::sdl
