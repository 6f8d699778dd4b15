// The fourteen sound effects: pops, fanfares, wind, thunder and friends.
#include "datagen.h"
#include "loudness.h"
#include "synth.h"

namespace gen {

namespace {

constexpr float kRate = float(kEffectRate);

// A crack's first spikes set a sound's peak, not its loudness: bent down smoothly, they let
// it be as loud as the others under the same ceiling. drive: how far the top is bent.
void bendPeaks(std::vector<float>& s, float drive)
{
    float top = 0;
    for (float v : s) top = std::max(top, std::fabs(v));
    if (top > 0)
        for (float& v : s) v = std::tanh(drive * v / top);
}

std::vector<float> buffer(float seconds) { return std::vector<float>(size_t(seconds * kRate), 0.0f); }

// A rubber balloon burst: a noise crack, a falling "thwip" and a little body resonance.
std::vector<float> makePop(float pitch, uint64_t seed)
{
    auto s = buffer(0.2f);
    Rng rng(seed);
    Svf hp;
    hp.set(pitch * 3, kRate, 0.8f);
    float phase = 0, body = 0;
    for (size_t i = 0; i < s.size(); i++) {
        float t = i / kRate;
        float noise = rng.range(-1, 1);
        hp.step(noise);
        float crack = (noise - hp.low()) * std::exp(-t / 0.006f);
        float f = pitch * (0.5f + 1.5f * std::exp(-t / 0.02f));
        phase += kTwoPi * f / kRate;
        float thwip = std::sin(phase) * std::exp(-t / 0.03f);
        body += kTwoPi * pitch * 0.5f / kRate;
        float res = std::sin(body) * std::exp(-t / 0.045f) * 0.35f;
        s[i] = 0.8f * crack + 0.7f * thwip + res;
    }
    bendPeaks(s, 3);
    finishSound(s, kRate, 0.3f, 30);
    return s;
}

// How much of a partial at f Hz to keep: the effects are 22050 Hz files, and partials near
// their top (11 kHz) ring on as mirror images once played at the device's rate; everything
// above 4.5 kHz fades out by 7 kHz.
float partialGain(float f) { return 1.0f - smoothstep(4500.0f, 7000.0f, f); }

// A bell-like note (sine partials with faster-decaying overtones), added at a start time.
void addBell(std::vector<float>& s, float start, float note, float gain, float decay)
{
    float f = midiToHz(note);
    float g2 = 0.35f * partialGain(2.0f * f), g3 = 0.12f * partialGain(3.01f * f);
    size_t first = size_t(start * kRate);
    for (size_t i = first; i < s.size(); i++) {
        float t = (i - first) / kRate;
        float v = std::sin(kTwoPi * f * t) * pluck(t, 0.003f, decay) + g2 * std::sin(kTwoPi * f * 2.0f * t) * pluck(t, 0.002f, decay * 0.4f)
                  + g3 * std::sin(kTwoPi * f * 3.01f * t) * pluck(t, 0.002f, decay * 0.2f);
        s[i] += gain * v;
    }
}

// A bright brass-like note: a few harmonics under a swelling envelope.
void addBrass(std::vector<float>& s, float start, float length, float note, float gain)
{
    float f = midiToHz(note);
    size_t first = size_t(start * kRate), last = std::min(s.size(), size_t((start + length + 0.45f) * kRate));
    for (size_t i = first; i < last; i++) {
        float t = (i - first) / kRate;
        float env = std::min(1.0f, t / 0.025f) * (t < length ? 1.0f - 0.2f * t / length : 0.8f * std::exp(-(t - length) / 0.05f));
        float vib = 1.0f + 0.004f * std::sin(kTwoPi * 5.5f * t) * std::min(1.0f, t / 0.2f);
        float v = 0;
        for (int h = 1; h <= 6; h++) v += std::sin(kTwoPi * f * vib * h * t) / (h * (1.0f + 0.3f * h));
        s[i] += gain * env * v;
    }
}

std::vector<float> makeColourCleared()
{
    auto s = buffer(1.3f);
    const float notes[] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; i++) addBell(s, i * 0.08f, notes[i], 0.5f, i == 4 ? 0.5f : 0.25f);
    addBell(s, 0.4f, 91, 0.25f, 0.4f);
    finishSound(s, kRate);
    return s;
}

std::vector<float> makeBoardCleared()
{
    auto s = buffer(2.6f);
    // "Ta-ta-taaa" in thirds, then a sparkling run.
    const float chords[3][3] = {{67, 72, 76}, {67, 72, 76}, {72, 76, 79}};
    const float starts[3] = {0.0f, 0.16f, 0.32f}, lengths[3] = {0.11f, 0.11f, 0.9f};
    for (int c = 0; c < 3; c++)
        for (float n : chords[c]) addBrass(s, starts[c], lengths[c], n, 0.3f);
    const float run[] = {84, 86, 88, 91, 93, 96};
    for (int i = 0; i < 6; i++) addBell(s, 0.45f + i * 0.07f, run[i], 0.22f, 0.4f);
    addBrass(s, 1.35f, 0.9f, 60, 0.25f);
    addBrass(s, 1.35f, 0.9f, 64, 0.25f);
    addBrass(s, 1.35f, 0.9f, 67, 0.25f);
    addBrass(s, 1.35f, 0.9f, 72, 0.3f);
    finishSound(s, kRate, 2, 60);
    return s;
}

// Filtered noise whose band sweeps and swells: wind and whooshes.
std::vector<float> makeWind(float seconds, float fromHz, float toHz, float q, uint64_t seed)
{
    auto s = buffer(seconds);
    Rng rng(seed);
    Svf f, soft;
    soft.set(toHz * 1.5f, kRate, 0.7f);
    for (size_t i = 0; i < s.size(); i++) {
        float t = i / float(s.size());
        f.set(fromHz + (toHz - fromHz) * t, kRate, q);
        f.step(rng.range(-1, 1));
        soft.step(f.band());
        float env = std::sin(float(M_PI) * std::pow(t, 0.7f));
        s[i] = soft.low() * env;
    }
    finishSound(s, kRate, 5, 40);
    return s;
}

std::vector<float> makeRefusal()
{
    // Two falling notes of a soft square wave (odd harmonics only up to 4 kHz: no aliasing hiss).
    auto s = buffer(0.34f);
    for (size_t i = 0; i < s.size(); i++) {
        float t = i / kRate;
        float f = t < 0.15f ? 233.0f : 175.0f;
        float local = t < 0.15f ? t : t - 0.17f;
        float env = (t > 0.15f && t < 0.17f) ? 0.0f : std::min(1.0f, local / 0.005f) * std::exp(-local / 0.25f);
        if (t < 0.15f) env *= std::min(1.0f, (0.15f - t) / 0.005f);
        float v = 0;
        for (int h = 1; h * f < 4000; h += 2) v += std::sin(kTwoPi * f * h * t) / h;
        s[i] = v * env;
    }
    finishSound(s, kRate, 2, 20);
    return s;
}

// Two balloons bumping: a soft rubbery boing.
std::vector<float> makeBump()
{
    auto s = buffer(0.25f);
    float phase = 0;
    for (size_t i = 0; i < s.size(); i++) {
        float t = i / kRate;
        float f = 150 + 90 * std::sin(float(M_PI) * std::min(1.0f, t / 0.12f));
        phase += kTwoPi * f / kRate;
        s[i] = (std::sin(phase) + 0.25f * std::sin(2 * phase)) * pluck(t, 0.004f, 0.07f);
    }
    finishSound(s, kRate);
    return s;
}

std::vector<float> makeReveal()
{
    auto s = buffer(1.2f);
    const float notes[] = {67, 69, 72, 74, 76, 79, 81, 84};
    for (int i = 0; i < 8; i++) addBell(s, i * 0.065f, notes[i], 0.35f, 0.3f);
    // The shimmer under the bells at a tenth of their height, whatever level wind is given.
    auto shimmer = makeWind(1.2f, 3000, 7000, 4, 77);
    float top = 0;
    for (float v : shimmer) top = std::max(top, std::fabs(v));
    for (size_t i = 0; i < s.size(); i++) s[i] += top > 0 ? 0.084f * shimmer[i] / top : 0.0f;
    finishSound(s, kRate);
    return s;
}

std::vector<float> makeBonus()
{
    auto s = buffer(0.7f);
    addBell(s, 0.0f, 88, 0.5f, 0.2f);
    addBell(s, 0.09f, 95, 0.5f, 0.35f);
    addBell(s, 0.09f, 100, 0.15f, 0.25f);
    finishSound(s, kRate);
    return s;
}

std::vector<float> makeThunder()
{
    auto s = buffer(3.0f);
    Rng rng(1234);
    Svf crackHp, rumble, growl, swell;
    crackHp.set(2500, kRate, 0.7f);
    rumble.set(160, kRate, 0.9f);
    growl.set(550, kRate, 1.2f); // the part of the roll that small speakers can play
    swell.set(3, kRate, 0.7f);
    float brown = 0;
    for (size_t i = 0; i < s.size(); i++) {
        float t = i / kRate;
        float n = rng.range(-1, 1);
        crackHp.step(n);
        float crack = (n - crackHp.low()) * std::exp(-t / 0.05f) * 0.9f;
        brown = 0.995f * brown + 0.05f * n;
        rumble.step(brown);
        growl.step(n);
        swell.step(rng.range(0, 2));
        float env = std::min(1.0f, t / 0.08f) * std::exp(-t / 0.9f) * (0.5f + 0.8f * swell.low());
        s[i] = crack + rumble.low() * 3.0f * env + growl.band() * 0.25f * env * std::exp(-t / 0.6f);
    }
    bendPeaks(s, 2.5f);
    finishSound(s, kRate, 1, 200);
    return s;
}

} // namespace

void finishSound(std::vector<float>& s, float rate, float fadeInMs, float fadeOutMs)
{
    float mean = 0;
    for (float v : s) mean += v;
    mean /= float(std::max<size_t>(1, s.size()));
    size_t in = size_t(fadeInMs * rate / 1000), out = size_t(fadeOutMs * rate / 1000);
    for (size_t i = 0; i < s.size(); i++) {
        float g = 1.0f;
        if (i < in) g *= 0.5f - 0.5f * std::cos(float(M_PI) * i / in);
        size_t fromEnd = s.size() - 1 - i;
        if (fromEnd < out) g *= 0.5f - 0.5f * std::cos(float(M_PI) * fromEnd / out);
        s[i] = (s[i] - mean) * g;
    }
    // Levelled by loudness, not by peak: a crack and a chord at the same peak sound far apart.
    const Loudness l = measureLoudness(s, 1, rate);
    if (l.peak <= 0) return;
    const float scale = std::min(std::pow(10.0f, (kEffectLoudnessDb - l.loudestDb) / 20), kEffectPeakCeiling / l.peak);
    for (float& v : s) v *= scale;
}

std::vector<Sound> makeSounds()
{
    std::vector<Sound> out;
    // pop1 is heard for every burst after a group's first star: the brightest of the five.
    const float pitches[5] = {1250, 980, 820, 690, 580};
    for (int i = 0; i < 5; i++) out.push_back({"pop" + std::to_string(i + 1), makePop(pitches[i], 100 + i)});
    out.push_back({"allcolor", makeColourCleared()});
    out.push_back({"allpop", makeBoardCleared()});
    out.push_back({"pushrow", makeWind(0.35f, 500, 2200, 2.5f, 31)});
    out.push_back({"negative", makeRefusal()});
    out.push_back({"bhitb", makeBump()});
    out.push_back({"reveal", makeReveal()});
    out.push_back({"blow", makeWind(0.6f, 350, 1300, 1.6f, 32)});
    out.push_back({"bonus", makeBonus()});
    out.push_back({"thunder", makeThunder()});
    return out;
}

} // namespace gen
