// The generated sounds load into the game's sound library, and sound clean; the music decodes
// and loops seamlessly.
#include "data_folder.h"

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_mixer.h"
#include "platform/win32/sound/mmsystem.h"
#include "sound/dalk_sound.h"

#ifdef ZORBIT_DATA_GENERATED
#include <mpg123.h>
#include <unistd.h>

#include "datagen.h"
#endif

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* kSounds[] = {"pop1", "pop2", "pop3", "pop4", "pop5", "allcolor", "allpop",
                         "pushrow", "negative", "bhitb", "reveal", "blow", "bonus", "thunder"};

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

// 16-bit mono samples of the data chunk (the files are plain: "fmt " then "data").
std::vector<int16_t> Samples(const std::vector<uint8_t>& b)
{
    std::vector<int16_t> out;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint32_t size = U32(b, at + 4);
        if (std::string(b.begin() + long(at), b.begin() + long(at) + 4) == "data") {
            for (size_t i = at + 8; i + 1 < at + 8 + size && i + 1 < b.size(); i += 2) out.push_back(int16_t(b[i] | b[i + 1] << 8));
            break;
        }
        at += 8 + size;
    }
    return out;
}

TEST(Sounds, EveryEffectLoadsIntoTheSoundLibrary)
{
    SKIP_WITHOUT_DATA();
    AudioUseManualDevice(true);
    ASSERT_EQ(1, g_DalkSound.Init(nullptr, 20));
    unsigned long id = 10;
    for (const char* name : kSounds) {
        std::string path = DataDir() + "/sounds/" + name + ".wav";
        EXPECT_EQ(1, g_DalkSound.LoadSample(const_cast<char*>(path.c_str()), id)) << name;
        const SNDSample& s = DalkSound::g_SampleList[id - 10];
        EXPECT_EQ(1u, s.channels) << name;
        EXPECT_EQ(16u, s.bits) << name;
        EXPECT_EQ(22050u, s.frequency) << name;
        id++;
    }
    g_DalkSound.Exit();
}

// Short and without clicks: silence at both ends, no offset, no clipping.
TEST(Sounds, EffectsAreShortAndStartAndEndSilently)
{
    SKIP_WITHOUT_DATA();
    for (const char* name : kSounds) {
        auto samples = Samples(ReadAll(DataDir() + "/sounds/" + name + ".wav"));
        ASSERT_GT(samples.size(), 1000u) << name;
        EXPECT_LE(samples.size(), 22050u * 4) << name << " is too long for an effect";
        int peak = 0;
        double sum = 0;
        for (int16_t s : samples) peak = std::max(peak, std::abs(int(s))), sum += s;
        EXPECT_LT(peak, 32767) << name << " clips";
        EXPECT_LT(std::fabs(sum / samples.size()), 100.0) << name << " has a DC offset";
        EXPECT_LT(std::abs(int(samples.front())), 200) << name << " starts with a click";
        EXPECT_LT(std::abs(int(samples.back())), 200) << name << " ends with a click";
    }
}

// Strongest level between two frequencies of a Hann-windowed stretch of a signal, dB of
// full scale (a plain DFT over the bins in range: the stretch is short).
double PeakDb(const std::vector<float>& x, double rate, double fromHz, double toHz)
{
    const size_t n = x.size();
    double best = 1e-12;
    for (size_t k = size_t(fromHz * n / rate); k <= size_t(toHz * n / rate); k++) {
        double re = 0, im = 0;
        for (size_t i = 0; i < n; i++) {
            double w = 0.5 - 0.5 * std::cos(2 * M_PI * i / n), a = 2 * M_PI * double(k) * i / n;
            re += w * x[i] * std::cos(a);
            im -= w * x[i] * std::sin(a);
        }
        best = std::max(best, std::sqrt(re * re + im * im) / (n / 4.0));
    }
    return 20 * std::log10(best);
}

// The star chime as a player hears it, played from its 22050 Hz file on a 44100 Hz device:
// its bells ring below 11 kHz and leave no mirror images above.
TEST(Sounds, TheStarChimeHasNothingAboveItsOwnTopWhenPlayedAtTheDeviceRate)
{
    SKIP_WITHOUT_DATA();
    AudioUseManualDevice(true);
    ASSERT_EQ(1, g_DalkSound.Init(nullptr, 4));
    std::string path = DataDir() + "/sounds/bonus.wav";
    ASSERT_EQ(1, g_DalkSound.LoadSample(const_cast<char*>(path.c_str()), 10));
    ASSERT_NE(nullptr, g_DalkSound.PlaySample(10, 0xFFFF, 0x8000));
    std::vector<int16_t> mixed(4096 * 2);
    for (size_t at = 0; at < 4096; at += 512) MixerRender(mixed.data() + at * 2, 512);
    g_DalkSound.Exit();
    AudioUseManualDevice(false);
    std::vector<float> left(4096);
    for (size_t i = 0; i < left.size(); i++) left[i] = mixed[2 * i] / 32768.0f;
    const double bells = PeakDb(left, 44100, 1000, 3000);
    EXPECT_GT(bells, -30.0) << "the chime must be heard for the test to mean anything";
    EXPECT_LT(PeakDb(left, 44100, 12000, 21500), bells - 70) << "mirror images above 12 kHz";
}

#ifdef ZORBIT_DATA_GENERATED
std::vector<float> ToFloat(const std::vector<int16_t>& pcm)
{
    std::vector<float> out;
    for (int16_t v : pcm) out.push_back(v / 32768.0f);
    return out;
}

std::vector<int16_t> DecodeMp3(const std::string& path, long& rate, int& channels);

// Every effect as loud as the others by its weighted loudness, not its peak, and the music a
// few dB under them; the peaks leave room for two effects and the music at once.
TEST(Sounds, EffectsAreEquallyLoudAndTheMusicAFewDbUnder)
{
    SKIP_WITHOUT_DATA();
    for (const char* name : kSounds) {
        const auto samples = ToFloat(Samples(ReadAll(DataDir() + "/sounds/" + name + ".wav")));
        const gen::Loudness l = gen::measureLoudness(samples, 1, 22050);
        EXPECT_NEAR(l.loudestDb, gen::kEffectLoudnessDb, 1.0) << name;
        EXPECT_LE(l.peak, gen::kEffectPeakCeiling + 0.001f) << name;
    }
    long rate = 0;
    int channels = 0;
    const auto music = ToFloat(DecodeMp3(DataDir() + "/sounds/music.mp3", rate, channels));
    const gen::Loudness m = gen::measureLoudness(music, channels, float(rate));
    EXPECT_NEAR(m.wholeDb, gen::kMusicLoudnessDb, 1.0);
    EXPECT_GE(gen::kEffectLoudnessDb - m.wholeDb, 3.0) << "the music must stay under the effects";
    EXPECT_LE(gen::kEffectLoudnessDb - m.wholeDb, 8.0) << "but only a few dB";
    EXPECT_LE(2 * gen::kEffectPeakCeiling + m.peak, 1.0f) << "two effects on the music must not clip";
}

std::vector<int16_t> DecodeMp3(const std::string& path, long& rate, int& channels)
{
    std::vector<int16_t> pcm;
    mpg123_init();
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return pcm;
    mpg123_param(mh, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    int encoding = 0;
    if (mpg123_open(mh, path.c_str()) == MPG123_OK && mpg123_getformat(mh, &rate, &channels, &encoding) == MPG123_OK) {
        mpg123_format_none(mh);
        mpg123_format(mh, rate, channels, MPG123_ENC_SIGNED_16);
        unsigned char buf[16384];
        size_t done = 0;
        int r;
        while ((r = mpg123_read(mh, buf, sizeof buf, &done)) == MPG123_OK || r == MPG123_NEW_FORMAT || done > 0) {
            auto* s = reinterpret_cast<int16_t*>(buf);
            pcm.insert(pcm.end(), s, s + done / 2);
            if (r == MPG123_DONE) break;
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return pcm;
}

// The player runs the end of the music on into its start, so the two must meet:
// no silence at either end, and the last and first moments equally loud.
TEST(Music, DecodesToMinutesThatLoopWithoutAGap)
{
    SKIP_WITHOUT_DATA();
    long rate = 0;
    int channels = 0;
    auto pcm = DecodeMp3(DataDir() + "/sounds/music.mp3", rate, channels);
    ASSERT_EQ(44100, rate);
    ASSERT_EQ(2, channels);
    size_t frames = pcm.size() / 2;
    EXPECT_GE(frames, size_t(150 * rate)) << "the tune must last minutes, not be heard going round";
    EXPECT_LE(frames, size_t(160 * rate + 576)) << "the encoder's padding must be dropped on decoding";
    auto rms = [&](size_t from, size_t count) {
        double sum = 0;
        for (size_t i = from * 2; i < (from + count) * 2; i++) sum += double(pcm[i]) * pcm[i];
        return std::sqrt(sum / (count * 2));
    };
    size_t window = size_t(rate / 50); // 20 ms
    double head = rms(0, window), tail = rms(frames - window, window);
    EXPECT_GT(head, 300.0) << "the loop starts with a gap";
    EXPECT_GT(tail, 300.0) << "the loop ends with a gap";
}

// The music as the game plays it: rendered the moment it starts, as fast as a headless run
// renders, it must be the decoded file, sample for sample, and with repeat its end must run
// on into its start with nothing lost or doubled.
TEST(Music, TheMixerWaitsForTheDecoderAndRepeatsWithoutASeam)
{
    const int rate = 44100, frames = rate; // one second, a different tone on each side
    std::vector<float> tone(size_t(frames) * 2);
    for (int i = 0; i < frames; i++) {
        float t = float(i) / rate;
        tone[2 * size_t(i)] = 0.4f * std::sin(6.2831853f * (300 + 400 * t) * t);
        tone[2 * size_t(i) + 1] = 0.3f * std::sin(6.2831853f * 523.25f * t);
    }
    gen::Bytes mp3 = gen::encodeMp3(tone, rate);
    const std::string path = testing::TempDir() + "zorbit-music-" + std::to_string(getpid()) + ".mp3";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(mp3.data()), std::streamsize(mp3.size()));
    }
    long fileRate = 0;
    int channels = 0;
    const std::vector<int16_t> heard = DecodeMp3(path, fileRate, channels);
    ASSERT_EQ(2, channels);
    const size_t length = heard.size() / 2;
    ASSERT_GT(length, size_t(frames) * 9 / 10);

    AudioUseManualDevice(true);
    ASSERT_EQ(0u, mciSendString(("open " + path + " alias capture").c_str(), nullptr, 0, nullptr));
    ASSERT_EQ(0u, mciSendString("play capture repeat", nullptr, 0, nullptr));
    std::vector<int16_t> mixed(length * 5 / 2 * 2);
    for (size_t at = 0; at < mixed.size() / 2; at += 512)
        MixerRender(mixed.data() + at * 2, int(std::min<size_t>(512, mixed.size() / 2 - at)));
    EXPECT_EQ(0u, mciSendString("close capture", nullptr, 0, nullptr));
    AudioUseManualDevice(false);
    std::remove(path.c_str());

    int worst = 0;
    size_t firstBad = mixed.size();
    for (size_t i = 0; i < mixed.size(); i++) {
        const int d = std::abs(int(mixed[i]) - int(heard[i % heard.size()]));
        if (d > 1 && firstBad == mixed.size()) firstBad = i / 2;
        worst = std::max(worst, d);
    }
    EXPECT_LE(worst, 1) << "first difference at frame " << firstBad << " of a " << length << "-frame file";
}
#endif

} // namespace
