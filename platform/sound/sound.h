// The sound stack below the game's media commands: plat::mci_send_string and plat::beep
// (platform/platform.h) go to the one interpreter of sound.cpp, over the backend of whichever
// sound library is linked in: SDL2_mixer for the program (orbolan_sound_sdl) or the recorder
// for the tests (orbolan_sound_headless).
#pragma once

namespace plat::sound {

// Closes every open wave device and the audio output. Called once at program end; later
// commands open what they need again.
void shutdown();

// Whether the audio output is open right now. It is opened by the first sound and closed
// again after a few quiet seconds, so an idle game keeps no audio thread busy. The headless
// device never opens one.
bool output_open();

}  // namespace plat::sound
