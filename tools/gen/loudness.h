// How loud a sound is heard, not how high it peaks: a simple K-weighting (a high shelf and a
// bass cut, as broadcast loudness meters use) and a mean square over 400 ms windows.
#pragma once

#include <vector>

namespace gen {

struct Loudness {
    float loudestDb = -200; // the loudest 400 ms (or all of a shorter sound), dB of full scale, weighted
    float wholeDb = -200;   // the whole signal
    float peak = 0;         // highest sample, full scale 1
};

// channels interleaved; every channel counts equally, so a mono sound played on both
// speakers measures the same as the file.
Loudness measureLoudness(const std::vector<float>& samples, int channels, float rate);

// What the game's sounds are levelled to. Every effect's loudest 400 ms sits at the same
// level, the music a few dB under; no effect peaks above the ceiling, so that two effects
// and the music together stay under full scale.
constexpr float kEffectLoudnessDb = -21.0f;
constexpr float kMusicLoudnessDb = -26.0f;
constexpr float kEffectPeakCeiling = 0.35f;
constexpr float kMusicPeakCeiling = 0.3f;

} // namespace gen
