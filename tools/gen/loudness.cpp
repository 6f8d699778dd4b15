#include "loudness.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    double step(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// +4 dB above about 1.5 kHz: the ear's head and pinna.
Biquad highShelf(double rate)
{
    const double gainDb = 4.0, hz = 1500.0, q = 1 / std::sqrt(2.0);
    const double a = std::pow(10.0, gainDb / 40), w = 2 * M_PI * hz / rate, alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w), root = 2 * std::sqrt(a) * alpha;
    const double a0 = (a + 1) - (a - 1) * c + root;
    Biquad f;
    f.b0 = a * ((a + 1) + (a - 1) * c + root) / a0;
    f.b1 = -2 * a * ((a - 1) + (a + 1) * c) / a0;
    f.b2 = a * ((a + 1) + (a - 1) * c - root) / a0;
    f.a1 = 2 * ((a - 1) - (a + 1) * c) / a0;
    f.a2 = ((a + 1) - (a - 1) * c - root) / a0;
    return f;
}

// The deepest bass counts for little.
Biquad highPass(double rate)
{
    const double hz = 38.0, q = 0.5;
    const double w = 2 * M_PI * hz / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
    Biquad f;
    f.b0 = (1 + c) / 2 / a0;
    f.b1 = -(1 + c) / a0;
    f.b2 = (1 + c) / 2 / a0;
    f.a1 = -2 * c / a0;
    f.a2 = (1 - alpha) / a0;
    return f;
}

double toDb(double meanSquare) { return meanSquare > 1e-20 ? 10 * std::log10(meanSquare) : -200; }

} // namespace

Loudness measureLoudness(const std::vector<float>& samples, int channels, float rate)
{
    Loudness out;
    if (channels < 1 || samples.empty()) return out;
    const size_t frames = samples.size() / size_t(channels);
    // Weighted power of each frame, averaged over the channels.
    std::vector<double> power(frames, 0.0);
    for (int ch = 0; ch < channels; ch++) {
        Biquad shelf = highShelf(rate), cut = highPass(rate);
        for (size_t i = 0; i < frames; i++) {
            const float x = samples[i * size_t(channels) + size_t(ch)];
            out.peak = std::max(out.peak, std::fabs(x));
            const double y = cut.step(shelf.step(x));
            power[i] += y * y / channels;
        }
    }
    double total = 0;
    for (double p : power) total += p;
    out.wholeDb = float(toDb(total / double(frames)));
    // A sound shorter than the window is measured over its own length: a pop is heard as
    // loud as its fifth of a second, not as that spread over 400 ms.
    const size_t window = std::max<size_t>(1, std::min(frames, size_t(0.4 * rate)));
    double sum = 0, loudest = 0;
    for (size_t i = 0; i < frames; i++) {
        sum += power[i];
        if (i >= window) sum -= power[i - window];
        loudest = std::max(loudest, sum);
    }
    out.loudestDb = float(toDb(loudest / double(window)));
    return out;
}

} // namespace gen
