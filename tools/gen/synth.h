// Small building blocks for synthesising the game's sounds and music.
#pragma once

#include "rng.h"

#include <cmath>
#include <vector>

namespace gen {

constexpr float kTwoPi = 6.28318530718f;

// Table sine with linear interpolation: the music renders millions of partials.
inline float fastSin(float x)
{
    constexpr int kSize = 4096;
    static const std::vector<float> table = [] {
        std::vector<float> t(kSize + 1);
        for (int i = 0; i <= kSize; i++) t[i] = float(std::sin(2.0 * M_PI * i / kSize));
        return t;
    }();
    double p = double(x) * (kSize / (2.0 * M_PI));
    p -= std::floor(p / kSize) * kSize;
    int i = int(p);
    float f = float(p - i);
    return table[i] + f * (table[i + 1] - table[i]);
}

inline float midiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

// Attack, then exponential decay with the given time constant (seconds).
inline float pluck(float t, float attack, float decay)
{
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// A resonant state-variable filter (lowpass and bandpass outputs).
class Svf {
public:
    void set(float cutoffHz, float rate, float q)
    {
        f_ = 2.0f * std::sin(float(M_PI) * std::min(cutoffHz, rate / 6.0f) / rate);
        damp_ = 1.0f / q;
    }
    void step(float in)
    {
        low_ += f_ * band_;
        float high = in - low_ - damp_ * band_;
        band_ += f_ * high;
    }
    float low() const { return low_; }
    float band() const { return band_; }

private:
    float f_ = 0.1f, damp_ = 1.0f, low_ = 0, band_ = 0;
};

// Softens the ends so that no sound starts or stops with a click, and levels the sound to the
// effects' loudness (lower only where its peak would pass the effects' ceiling).
void finishSound(std::vector<float>& s, float rate, float fadeInMs = 2.0f, float fadeOutMs = 25.0f);

} // namespace gen
