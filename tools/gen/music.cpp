// The background tune: 64 bars in C major at 96 beats a minute, two minutes forty. A theme,
// a livelier variation of it, a bridge that wanders to A minor and back, and the theme again
// with a glockenspiel, whose last bar turns round into the first. Each section has its own
// accompaniment and drums, so no short pattern is heard going round. Every note is rendered
// into a circular buffer, so tails at the end wrap round into the start without a seam.
#include "datagen.h"
#include "loudness.h"
#include "synth.h"

#include <map>
#include <string>
#include <tuple>

namespace gen {

namespace {

constexpr float kRate = float(kMusicRate);
constexpr float kBeat = 0.625f; // 96 beats per minute
constexpr int kSectionBars = 16;
constexpr int kBars = 4 * kSectionBars;

enum Section { Theme, Variation, Bridge, Reprise };

struct Track {
    std::vector<float> left, right;
    explicit Track(size_t n) : left(n, 0.0f), right(n, 0.0f) {}
    size_t size() const { return left.size(); }
    void add(size_t i, float v, float pan) // pan -1 left .. +1 right
    {
        i %= size();
        left[i] += v * (0.5f - 0.5f * pan);
        right[i] += v * (0.5f + 0.5f * pan);
    }
};

// A note's voice: value at time t (seconds after its start) for frequency f, lasting `len` seconds.
using Voice = float (*)(float t, float f, float len);

float release(float t, float len, float time) { return t > len ? std::exp(-(t - len) / time) : 1.0f; }

// The phase of a note at f Hz with a vibrato of `depth` (a share of f) at `rate` Hz, faded in
// by `amount`. The wobble is added to the phase as the integral of the frequency's swing;
// scaling f itself by the swing would make the pitch swing wider the longer a note is held.
float vibratoPhase(float t, float f, float depth, float rate, float amount)
{
    return kTwoPi * f * t + amount * f * depth / rate * (1.0f - fastSin(kTwoPi * rate * t + 1.5707963f));
}

float leadVoice(float t, float f, float len)
{
    float p = vibratoPhase(t, f, 0.003f, 5.0f, std::min(1.0f, t / 0.3f));
    float tone = fastSin(p) + 0.35f * fastSin(2 * p) + 0.12f * fastSin(3 * p);
    float env = std::min(1.0f, t / 0.015f) * (0.7f + 0.3f * std::exp(-t / 0.15f));
    return tone * env * release(t, len, 0.08f);
}

// Breathier and rounder than the lead: the bridge's singer.
float fluteVoice(float t, float f, float len)
{
    float p = vibratoPhase(t, f, 0.004f, 4.6f, smoothstep(0.15f, 0.6f, t));
    float tone = fastSin(p) + 0.18f * fastSin(2 * p) + 0.05f * fastSin(3 * p);
    return tone * std::min(1.0f, t / 0.06f) * release(t, len, 0.15f);
}

float bellVoice(float t, float f, float)
{
    return (fastSin(kTwoPi * f * t) + 0.25f * fastSin(kTwoPi * f * 4.0f * t) * std::exp(-t / 0.05f)) * pluck(t, 0.002f, 0.4f);
}

float marimbaVoice(float t, float f, float)
{
    return (fastSin(kTwoPi * f * t) + 0.2f * fastSin(kTwoPi * f * 3.9f * t) * std::exp(-t / 0.03f)) * pluck(t, 0.003f, 0.18f);
}

float harpVoice(float t, float f, float)
{
    float p = kTwoPi * f * t;
    return (fastSin(p) + 0.3f * fastSin(2 * p) * std::exp(-t / 0.25f) + 0.1f * fastSin(3 * p) * std::exp(-t / 0.12f)) * pluck(t, 0.002f, 0.6f);
}

// Slow swell of slightly detuned sines: the bridge's held chords.
float padVoice(float t, float f, float len)
{
    float tone = fastSin(kTwoPi * f * 0.997f * t) + fastSin(kTwoPi * f * 1.003f * t) + 0.3f * fastSin(kTwoPi * f * 2.0f * t);
    return tone * smoothstep(0.0f, 0.5f, t) * release(t, len, 0.35f);
}

float bassVoice(float t, float f, float len)
{
    float p = kTwoPi * f * t;
    float env = pluck(t, 0.006f, 0.45f) * release(t, len, 0.05f);
    return (fastSin(p) + 0.3f * fastSin(2 * p) + 0.08f * fastSin(3 * p)) * env;
}

// The tune repeats its notes a great deal: each distinct note is synthesised once.
class NoteCache {
public:
    const std::vector<float>& get(Voice v, float note, float beats, float tail)
    {
        auto key = std::make_tuple(v, note, beats, tail);
        auto it = notes_.find(key);
        if (it != notes_.end()) return it->second;
        float f = midiToHz(note), len = beats * kBeat;
        std::vector<float> wave(size_t((len + tail) * kRate));
        for (size_t i = 0; i < wave.size(); i++) wave[i] = v(i / kRate, f, len);
        return notes_.emplace(key, std::move(wave)).first->second;
    }

private:
    std::map<std::tuple<Voice, float, float, float>, std::vector<float>> notes_;
};

// Where the notes go: a track and the cache the notes come from.
struct Target {
    Track& track;
    NoteCache& notes;
};

void addNote(Target to, float startBeat, float beats, float note, float gain, float pan, Voice v, float tail)
{
    Track& tr = to.track;
    const std::vector<float>& wave = to.notes.get(v, note, beats, tail);
    size_t first = size_t(startBeat * kBeat * kRate);
    for (size_t i = 0; i < wave.size(); i++) tr.add(first + i, gain * wave[i], pan);
}

// Notes as "C5", "F#4", "R" (rest), each followed by its length in eighths: "E5:2 G5:2".
int noteNumber(const std::string& n)
{
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int semis = base[n[0] - 'A'];
    size_t at = 1;
    if (n[at] == '#') semis++, at++;
    return semis + 12 * (std::stoi(n.substr(at)) + 1);
}

void addMelody(Target tr, int bar, const std::string& line, float gain, float pan, Voice v, float transpose = 0)
{
    float beat = bar * 4.0f;
    size_t i = 0;
    while (i < line.size()) {
        size_t sp = line.find(' ', i);
        if (sp == std::string::npos) sp = line.size();
        std::string tok = line.substr(i, sp - i);
        size_t colon = tok.find(':');
        float eighths = std::stof(tok.substr(colon + 1));
        std::string name = tok.substr(0, colon);
        if (name != "R") addNote(tr, beat, eighths * 0.5f * 0.9f, float(noteNumber(name)) + transpose, gain, pan, v, 0.6f);
        beat += eighths * 0.5f;
        i = sp + 1;
    }
}

struct Chord {
    int bass;
    int notes[3];
};

const Chord C{48, {60, 64, 67}}, Am{45, {57, 60, 64}}, Dm{50, {57, 62, 65}}, F{41, {57, 60, 65}},
    G{43, {55, 59, 62}}, G7{43, {53, 59, 62}}, Em{40, {55, 59, 64}}, E{40, {56, 59, 64}};

const Chord* kThemeChords[16] = {&C, &Am, &Dm, &G, &C, &Am, &F, &G, &C, &Am, &Dm, &G, &F, &G, &C, &C};
const Chord* kBridgeChords[16] = {&Am, &F, &C, &G, &Am, &F, &Dm, &E, &F, &G, &Em, &Am, &Dm, &G, &C, &G};

const char* kTheme[16] = {
    "E5:3 D5:1 C5:2 E5:2", "A5:4 G5:2 E5:2", "F5:3 E5:1 D5:2 F5:2", "G5:4 D5:2 R:2",
    "E5:3 D5:1 C5:2 G5:2", "A5:2 C6:2 B5:2 A5:2", "A5:3 G5:1 F5:2 A5:2", "G5:6 R:2",
    "E5:3 D5:1 C5:2 E5:2", "A5:4 C6:2 A5:2", "F5:3 A5:1 D6:2 C6:2", "B5:4 G5:2 R:2",
    "A5:3 G5:1 F5:2 A5:2", "G5:3 F5:1 E5:2 D5:2", "E5:2 G5:2 C6:2 B5:1 A5:1", "C6:6 R:2",
};
// The theme again, busier: passing notes, higher and with more to say.
const char* kVariation[16] = {
    "E5:1 D5:1 E5:1 G5:1 C6:2 G5:2", "A5:1 B5:1 C6:1 A5:1 E5:2 R:2", "F5:1 E5:1 F5:1 A5:1 D6:2 A5:2", "G5:1 A5:1 B5:1 D6:1 G5:4",
    "E6:2 D6:1 C6:1 G5:2 E5:2", "A5:2 C6:1 B5:1 A5:2 E5:2", "F5:2 A5:1 C6:1 A5:2 F5:2", "G5:2 B5:2 D6:4",
    "C6:1 B5:1 C6:1 G5:1 E5:2 G5:2", "A5:2 E5:1 A5:1 C6:2 A5:2", "D6:2 C6:1 A5:1 F5:2 A5:2", "G5:2 B5:1 D6:1 G6:4",
    "F6:2 E6:1 D6:1 C6:2 A5:2", "B5:2 A5:1 G5:1 F5:2 D5:2", "E5:2 G5:2 C6:2 E6:2", "C6:6 R:2",
};
const char* kBridge[16] = {
    "C6:4 B5:2 A5:2", "A5:6 G5:2", "G5:4 E5:2 G5:2", "D6:6 R:2",
    "E6:4 D6:2 C6:2", "C6:4 A5:2 C6:2", "D6:4 F6:2 D6:2", "B5:6 G#5:2",
    "A5:4 C6:2 F6:2", "D6:4 B5:2 G5:2", "G5:4 B5:2 E6:2", "C6:6 A5:2",
    "F5:3 A5:1 D6:4", "B5:3 D6:1 G6:4", "E6:2 D6:2 C6:2 E6:2", "D6:6 R:2",
};
// The reprise's last bar: a G seventh whose F falls onto the theme's first E.
const char* kTurnaround = "G5:2 B5:2 D6:2 F5:2";

Section sectionOf(int bar) { return Section(bar / kSectionBars); }

const Chord& chordAt(int bar)
{
    int i = bar % kSectionBars;
    if (sectionOf(bar) == Bridge) return *kBridgeChords[i];
    if (sectionOf(bar) == Reprise && i == kSectionBars - 1) return G7;
    return *kThemeChords[i];
}

const char* melodyAt(int bar)
{
    int i = bar % kSectionBars;
    switch (sectionOf(bar)) {
    case Variation: return kVariation[i];
    case Bridge: return kBridge[i];
    case Reprise: return i == kSectionBars - 1 ? kTurnaround : kTheme[i];
    default: return kTheme[i];
    }
}

void addKick(Track& tr, size_t at, float gain)
{
    float phase = 0;
    for (size_t i = 0; i < size_t(0.25f * kRate); i++) {
        float t = i / kRate;
        phase += kTwoPi * (48 + 80 * std::exp(-t / 0.025f)) / kRate;
        tr.add(at + i, gain * fastSin(phase) * pluck(t, 0.001f, 0.08f), 0);
    }
}

// A brushed snare: band-passed noise that swells and fades, softer than a hit.
void addBrush(Track& tr, size_t at, float gain, Rng& rng)
{
    Svf bp;
    bp.set(3000, kRate, 0.7f);
    for (size_t i = 0; i < size_t(0.22f * kRate); i++) {
        float t = i / kRate;
        bp.step(rng.range(-1, 1));
        tr.add(at + i, gain * bp.band() * std::min(1.0f, t / 0.01f) * std::exp(-t / 0.07f), -0.15f);
    }
}

void addHat(Track& tr, size_t at, float gain, Rng& rng)
{
    float prev = 0;
    for (size_t i = 0; i < size_t(0.04f * kRate); i++) {
        float t = i / kRate;
        float n = rng.range(-1, 1);
        tr.add(at + i, gain * (n - prev) * pluck(t, 0.0005f, 0.01f), 0.35f);
        prev = n;
    }
}

void addDrums(Track& tr, int bar, Rng& rng)
{
    Section s = sectionOf(bar);
    bool fill = bar % 8 == 7; // the end of a phrase: an extra brush leads on
    for (int beat = 0; beat < 4; beat++) {
        size_t at = size_t((bar * 4 + beat) * kBeat * kRate);
        size_t half = size_t(0.5f * kBeat * kRate);
        if (s == Bridge) { // the bridge breathes: kick on one, a soft hat on three
            if (beat == 0) addKick(tr, at, 0.35f);
            if (beat == 2) addHat(tr, at, 0.05f, rng);
            continue;
        }
        if (beat == 0 || (beat == 2 && s != Theme) || (beat == 2 && bar % 2)) addKick(tr, at, 0.45f);
        if (beat % 2 == 1) addBrush(tr, at, 0.22f, rng);
        if (fill && beat == 3) addBrush(tr, at + half, 0.14f, rng);
        float swing = rng.range(0.85f, 1.15f);
        addHat(tr, at + half, 0.08f * swing, rng);
        if (s != Theme) addHat(tr, at, 0.05f * swing, rng);
    }
}

void addBass(Target tr, int bar, const Chord& ch)
{
    float b = bar * 4.0f;
    if (sectionOf(bar) == Bridge) { // long notes under the pads
        addNote(tr, b, 1.8f, ch.bass, 0.45f, 0, bassVoice, 0.3f);
        addNote(tr, b + 2, 1.8f, bar % 2 ? ch.bass + 7 : ch.bass, 0.4f, 0, bassVoice, 0.3f);
        return;
    }
    addNote(tr, b, 1.3f, ch.bass, 0.45f, 0, bassVoice, 0.1f);
    addNote(tr, b + 1.5f, 0.4f, ch.bass + 7, 0.3f, 0, bassVoice, 0.1f);
    addNote(tr, b + 2, 1.3f, ch.bass + (bar % 4 == 3 ? 7 : 0), 0.4f, 0, bassVoice, 0.1f);
    addNote(tr, b + 3.5f, 0.4f, ch.bass + 12, 0.25f, 0, bassVoice, 0.1f);
}

void addAccompaniment(Target tr, int bar)
{
    const Chord& ch = chordAt(bar);
    float b = bar * 4.0f;
    addBass(tr, bar, ch);
    switch (sectionOf(bar)) {
    case Theme:
    case Reprise: // soft marimba chords on the off-beats
        for (float off : {0.5f, 1.5f, 2.5f, 3.5f})
            for (int n = 0; n < 3; n++) addNote(tr, b + off, 0.3f, ch.notes[n], 0.07f, -0.4f + 0.15f * n, marimbaVoice, 0.5f);
        break;
    case Variation: { // a harp rippling up and down the chord in eighths
        const int order[8] = {0, 1, 2, 1, 0, 1, 2, 1};
        for (int e = 0; e < 8; e++) {
            int n = ch.notes[order[e]] + (e >= 4 && order[e] == 2 ? 12 : 0);
            addNote(tr, b + e * 0.5f, 0.4f, n, 0.09f, 0.45f, harpVoice, 0.8f);
        }
        break;
    }
    case Bridge: // held chords
        for (int n = 0; n < 3; n++) addNote(tr, b, 3.8f, ch.notes[n], 0.05f, -0.3f + 0.3f * n, padVoice, 0.6f);
        break;
    }
}

// A dotted-eighth echo, worked round the loop so that it reaches its steady state.
void addEcho(Track& mix, const Track& dry, float wet)
{
    size_t n = dry.size(), d = size_t(0.75f * kBeat * kRate);
    std::vector<float> l(n, 0.0f), r(n, 0.0f);
    for (int pass = 0; pass < 2; pass++)
        for (size_t i = 0; i < n; i++) {
            size_t j = (i + n - d) % n;
            l[i] = dry.right[j] + 0.3f * r[j]; // ping-pong between the sides
            r[i] = dry.left[j] + 0.3f * l[j];
        }
    for (size_t i = 0; i < n; i++) {
        mix.left[i] += dry.left[i] + wet * l[i];
        mix.right[i] += dry.right[i] + wet * r[i];
    }
}

void addTune(Target lead, int bar)
{
    const char* line = melodyAt(bar);
    switch (sectionOf(bar)) {
    case Theme: addMelody(lead, bar, line, 0.2f, 0.1f, leadVoice); break;
    case Variation:
        addMelody(lead, bar, line, 0.17f, 0.05f, leadVoice);
        addMelody(lead, bar, line, 0.05f, -0.5f, marimbaVoice, -12);
        break;
    case Bridge: addMelody(lead, bar, line, 0.22f, 0.0f, fluteVoice); break;
    case Reprise:
        addMelody(lead, bar, line, 0.2f, 0.1f, leadVoice);
        addMelody(lead, bar, line, 0.08f, 0.5f, bellVoice, 12); // glockenspiel doubling
        break;
    }
}

} // namespace

std::vector<float> makeMusic()
{
    size_t n = size_t(kBars * 4 * kBeat * kRate);
    Track mix(n), lead(n);
    NoteCache notes;
    Target toMix{mix, notes}, toLead{lead, notes};
    Rng rng(2024);
    for (int bar = 0; bar < kBars; bar++) {
        addAccompaniment(toMix, bar);
        addDrums(mix, bar, rng);
        addTune(toLead, bar);
    }
    addEcho(mix, lead, 0.25f);
    // A few dB under the effects, measured as they are.
    std::vector<float> out(n * 2);
    for (size_t i = 0; i < n; i++) {
        out[2 * i] = mix.left[i];
        out[2 * i + 1] = mix.right[i];
    }
    const Loudness l = measureLoudness(out, 2, kRate);
    const float scale = l.peak > 0 ? std::min(std::pow(10.0f, (kMusicLoudnessDb - l.wholeDb) / 20), kMusicPeakCeiling / l.peak) : 0.0f;
    for (float& v : out) v *= scale;
    return out;
}

} // namespace gen
