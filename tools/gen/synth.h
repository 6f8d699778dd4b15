// Small building blocks for synthesising the game's sounds and music.
#pragma once

#include "rng.h"

#include <cmath>
#include <vector>

namespace gen {

constexpr float kTwoPi = 6.28318530718f;

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

// Scales to the given peak and softens the ends so that no sound starts or stops with a click.
void finishSound(std::vector<float>& s, float peak, float rate, float fadeInMs = 2.0f, float fadeOutMs = 25.0f);

} // namespace gen
