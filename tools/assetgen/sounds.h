// The game's sounds, synthesized: mono samples in [-1, 1] at kSampleRate.
#pragma once

#include <string>
#include <vector>

namespace ag {

inline constexpr int kSampleRate = 44100;

// Each sound's synthesis, by the alias the game plays it by (game/ORBOLAN.h names its file).
struct Sound {
  const char* alias;
  std::vector<float> (*make)();
};

std::vector<float> intro_sound();
std::vector<float> click_sound();
std::vector<float> pop_sound();
std::vector<float> megapop_sound();
std::vector<float> score_sound();
std::vector<float> highscore_sound();

inline const Sound kSounds[6] = {
    {"intro", intro_sound},     {"click", click_sound}, {"pop", pop_sound},
    {"megapop", megapop_sound}, {"score", score_sound}, {"highscore", highscore_sound},
};

}  // namespace ag
