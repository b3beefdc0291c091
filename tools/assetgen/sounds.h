// The game's sounds, synthesized: mono samples in [-1, 1] at kSampleRate.
#pragma once

#include <string>
#include <vector>

namespace ag {

inline constexpr int kSampleRate = 44100;

struct Sound {
  const char* file;
  std::vector<float> (*make)();
};

std::vector<float> intro_sound();
std::vector<float> click_sound();
std::vector<float> pop_sound();
std::vector<float> megapop_sound();
std::vector<float> score_sound();
std::vector<float> highscore_sound();

inline const Sound kSounds[6] = {
    {"intro.wav", intro_sound},     {"click.wav", click_sound}, {"pop.wav", pop_sound},
    {"megapop.wav", megapop_sound}, {"score.wav", score_sound}, {"higscore.wav", highscore_sound},
};

}  // namespace ag
