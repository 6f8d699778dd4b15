// What the generator produces besides the pictures: sounds, music and the review sheets.
#pragma once

#include "art.h"
#include "files.h"
#include "loudness.h"

#include <string>
#include <vector>

namespace gen {

constexpr int kEffectRate = 22050;
constexpr int kMusicRate = 44100;

struct Sound {
    std::string name; // file stem in the "sounds" folder
    std::vector<float> samples; // mono, kEffectRate
};

std::vector<Sound> makeSounds();

// The background tune: interleaved stereo at kMusicRate, one seamless loop.
std::vector<float> makeMusic();
// MP3 with a gapless-playback header so that decoders can drop the encoder's padding.
Bytes encodeMp3(const std::vector<float>& stereo, int rate);

// One picture showing every generated picture, labelled, as the game will see it.
Canvas makeContactSheet(const std::vector<Picture>& pictures);
// The start of a round as the player first sees it.
Canvas makeStartMockup(const std::vector<Picture>& pictures);

} // namespace gen
