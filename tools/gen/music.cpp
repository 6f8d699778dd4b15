// The background tune: a bouncy 64-second piece in C major that loops without a seam.
// Every note is rendered into a circular buffer, so tails at the end wrap round into the start.
#include "datagen.h"
#include "synth.h"

#include <map>
#include <string>
#include <tuple>

namespace gen {

namespace {

constexpr float kRate = float(kMusicRate);
constexpr float kBeat = 0.5f; // 120 beats per minute
constexpr int kBars = 32;

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

float leadVoice(float t, float f, float len)
{
    float vib = fastSin(kTwoPi * 5.0f * t) * 0.003f * std::min(1.0f, t / 0.25f);
    float p = kTwoPi * f * (1 + vib) * t;
    float tone = fastSin(p) + 0.45f * fastSin(2 * p) + 0.22f * fastSin(3 * p) + 0.08f * fastSin(4 * p);
    float env = std::min(1.0f, t / 0.012f) * (0.65f + 0.35f * std::exp(-t / 0.12f));
    if (t > len) env *= std::exp(-(t - len) / 0.07f);
    return tone * env;
}

float bellVoice(float t, float f, float)
{
    return (fastSin(kTwoPi * f * t) + 0.3f * fastSin(kTwoPi * f * 4.0f * t) * std::exp(-t / 0.05f)) * pluck(t, 0.002f, 0.35f);
}

float marimbaVoice(float t, float f, float)
{
    return (fastSin(kTwoPi * f * t) + 0.25f * fastSin(kTwoPi * f * 3.9f * t) * std::exp(-t / 0.03f)) * pluck(t, 0.003f, 0.16f);
}

float bassVoice(float t, float f, float len)
{
    float p = kTwoPi * f * t;
    float env = pluck(t, 0.006f, 0.3f) * (t > len ? std::exp(-(t - len) / 0.04f) : 1.0f);
    return (fastSin(p) + 0.3f * fastSin(2 * p) + 0.1f * fastSin(3 * p)) * env;
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
        if (name != "R") addNote(tr, beat, eighths * 0.5f * 0.92f, float(noteNumber(name)) + transpose, gain, pan, v, 0.5f);
        beat += eighths * 0.5f;
        i = sp + 1;
    }
}

struct Chord {
    int bass;
    int notes[3];
};

const Chord C{48, {60, 64, 67}}, Am{45, {57, 60, 64}}, F{41, {57, 60, 65}}, G{43, {55, 59, 62}}, Em{40, {55, 59, 64}};

const Chord* progression(int bar)
{
    static const Chord* a[8] = {&C, &Am, &F, &G, &C, &Am, &F, &G};
    static const Chord* b[8] = {&F, &G, &Em, &Am, &F, &G, &C, &G};
    bool bridge = bar >= 16 && bar < 24;
    return bridge ? b[bar % 8] : a[bar % 8];
}

const char* kThemeA[8] = {
    "E5:2 G5:2 C6:2 G5:2", "A5:3 G5:1 E5:2 C5:2", "F5:2 A5:2 C6:2 A5:2", "G5:3 F5:1 E5:2 D5:2",
    "E5:2 G5:2 C6:2 E6:2", "D6:2 C6:2 A5:2 E5:2", "F5:2 A5:2 G5:2 F5:2", "E5:2 D5:2 G5:4",
};
const char* kThemeB[8] = {
    "A5:2 C6:2 A5:2 F5:2", "B5:2 D6:2 B5:2 G5:2", "G5:2 B5:2 E6:3 D6:1", "C6:4 A5:2 R:2",
    "F5:1 G5:1 A5:2 C6:2 A5:2", "G5:1 A5:1 B5:2 D6:2 B5:2", "C6:2 G5:2 E5:2 G5:2", "D6:4 B5:2 G5:2",
};
// The second time round the theme answers itself a little differently.
const char* kThemeA2[8] = {
    "E5:2 G5:2 C6:3 B5:1", "A5:2 E5:2 G5:2 E5:2", "F5:2 A5:2 C6:2 D6:2", "B5:3 A5:1 G5:4",
    "E5:1 F5:1 G5:2 C6:2 E6:2", "D6:2 C6:2 A5:2 C6:2", "A5:2 F5:2 G5:2 A5:2", "G5:4 R:2 G5:2",
};

void addDrums(Track& tr, int bar, Rng& rng)
{
    for (int beat = 0; beat < 4; beat++) {
        size_t at = size_t((bar * 4 + beat) * kBeat * kRate);
        if (beat % 2 == 0) { // kick
            float phase = 0;
            for (size_t i = 0; i < size_t(0.25f * kRate); i++) {
                float t = i / kRate;
                phase += kTwoPi * (50 + 90 * std::exp(-t / 0.03f)) / kRate;
                tr.add(at + i, 0.55f * fastSin(phase) * pluck(t, 0.001f, 0.09f), 0);
            }
        } else { // snare: noise and a short tone
            Svf bp;
            bp.set(2200, kRate, 0.9f);
            for (size_t i = 0; i < size_t(0.2f * kRate); i++) {
                float t = i / kRate;
                bp.step(rng.range(-1, 1));
                float v = 0.35f * bp.band() * pluck(t, 0.001f, 0.06f) + 0.12f * fastSin(kTwoPi * 190 * t) * pluck(t, 0.001f, 0.04f);
                tr.add(at + i, v, -0.1f);
            }
        }
        for (int half = 0; half < 2; half++) { // hi-hat on every eighth
            size_t h = at + size_t(half * kBeat * 0.5f * kRate);
            float prev = 0;
            for (size_t i = 0; i < size_t(0.05f * kRate); i++) {
                float t = i / kRate;
                float n = rng.range(-1, 1);
                float v = (n - prev) * pluck(t, 0.0005f, 0.012f) * (half ? 0.07f : 0.11f);
                prev = n;
                tr.add(h + i, v, 0.35f);
            }
        }
    }
}

void addAccompaniment(Target tr, int bar)
{
    const Chord& ch = *progression(bar);
    float b = bar * 4.0f;
    // Bass: "boom, ba-boom" on root and fifth.
    addNote(tr, b, 1.3f, ch.bass, 0.5f, 0, bassVoice, 0.1f);
    addNote(tr, b + 1.5f, 0.4f, ch.bass + 7, 0.35f, 0, bassVoice, 0.1f);
    addNote(tr, b + 2, 1.3f, ch.bass, 0.45f, 0, bassVoice, 0.1f);
    addNote(tr, b + 3.5f, 0.4f, ch.bass + 12, 0.3f, 0, bassVoice, 0.1f);
    // Marimba chords on the off-beats.
    for (float off : {0.5f, 1.5f, 2.5f, 3.5f})
        for (int n = 0; n < 3; n++) addNote(tr, b + off, 0.3f, ch.notes[n], 0.11f, -0.4f + 0.15f * n, marimbaVoice, 0.5f);
}

// A dotted-eighth echo, worked round the loop twice so that it reaches its steady state.
void addEcho(Track& mix, const Track& dry, float wet)
{
    size_t n = dry.size(), d = size_t(0.75f * kBeat * kRate);
    std::vector<float> l(n, 0.0f), r(n, 0.0f);
    for (int pass = 0; pass < 3; pass++)
        for (size_t i = 0; i < n; i++) {
            size_t j = (i + n - d) % n;
            l[i] = dry.right[j] + 0.35f * r[j]; // ping-pong between the sides
            r[i] = dry.left[j] + 0.35f * l[j];
        }
    for (size_t i = 0; i < n; i++) {
        mix.left[i] += dry.left[i] + wet * l[i];
        mix.right[i] += dry.right[i] + wet * r[i];
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
        int section = bar / 8;
        const char* line = section == 2 ? kThemeB[bar % 8] : section == 1 ? kThemeA2[bar % 8] : kThemeA[bar % 8];
        addMelody(toLead, bar, line, 0.2f, 0.1f, leadVoice);
        if (section == 3) addMelody(toLead, bar, line, 0.1f, 0.5f, bellVoice, 12); // glockenspiel doubling
        if (section == 2) addMelody(toLead, bar, line, 0.06f, -0.5f, marimbaVoice, -12);
    }
    addEcho(mix, lead, 0.3f);
    float peak = 0;
    for (size_t i = 0; i < n; i++) peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    float scale = peak > 0 ? 0.89f / peak : 0.0f;
    std::vector<float> out(n * 2);
    for (size_t i = 0; i < n; i++) {
        out[2 * i] = mix.left[i] * scale;
        out[2 * i + 1] = mix.right[i] * scale;
    }
    return out;
}

} // namespace gen
