// The generator's own pieces: the picture and sound writers and the key-colour rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#ifdef ZORBIT_DATA_GENERATED
#include "datagen.h"

namespace {

using namespace gen;

TEST(Generator, BmpRoundTripsOddWidthsWithRowPadding)
{
    Image img;
    img.width = 3;
    img.height = 2;
    img.rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    Bytes b = encodeBmp(img);
    EXPECT_EQ(54u + 2 * 12, b.size()) << "each 9-byte row is padded to 12";
    Image back;
    ASSERT_TRUE(decodeBmp(b, back));
    EXPECT_EQ(img.rgb, back.rgb);
    b.resize(60);
    EXPECT_FALSE(decodeBmp(b, back)) << "a truncated file is refused";
}

// Half-covered edge pixels become the key rather than a blend with it, and a visible pixel
// that would round onto the key is moved off it.
TEST(Generator, GameImagesKeepTheKeyColourForTransparencyOnly)
{
    Canvas c(4, 1);
    c.set(0, 0, rgb(255, 0, 0, 0.4f));
    c.set(1, 0, rgb(255, 0, 0, 0.6f));
    c.set(2, 0, rgb(0, 0, 255));
    c.set(3, 0, rgb(3, 2, 250));
    Image img = toGameImage(c);
    EXPECT_TRUE(isKeyColor565(img.at(0, 0)));
    EXPECT_FALSE(isKeyColor565(img.at(1, 0)));
    EXPECT_GT(img.at(1, 0)[0], 200) << "an edge keeps its own colour, not a blend with the key";
    EXPECT_FALSE(isKeyColor565(img.at(2, 0)));
    EXPECT_FALSE(isKeyColor565(img.at(3, 0)));
}

TEST(Generator, SameArtAndSoundOnEveryRun)
{
    std::vector<Picture> a, b;
    addBalloonPictures(a);
    addBalloonPictures(b);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); i++)
        EXPECT_EQ(encodeBmp(toGameImage(a[i].art)), encodeBmp(toGameImage(b[i].art))) << a[i].path;
    auto s1 = makeSounds(), s2 = makeSounds();
    for (size_t i = 0; i < s1.size(); i++) EXPECT_EQ(s1[i].samples, s2[i].samples) << s1[i].name;
}

// The loudness meter levels every sound, so a slip in it would mislevel them all: a 1 kHz
// tone reads about its RMS, deep bass reads quieter, a short sound reads its own level, and
// a mono sound on both channels reads as the mono one.
TEST(Generator, LoudnessReadsTonesAsAMeterWould)
{
    auto tone = [](float hz, float seconds, float amplitude) {
        std::vector<float> s(size_t(seconds * 22050));
        for (size_t i = 0; i < s.size(); i++) s[i] = amplitude * std::sin(6.2831853f * hz * float(i) / 22050);
        return s;
    };
    const Loudness mid = measureLoudness(tone(1000, 2, 0.5f), 1, 22050);
    EXPECT_NEAR(mid.wholeDb, -9.0, 1.0) << "RMS of a 0.5 sine is -9 dB";
    EXPECT_NEAR(mid.loudestDb, mid.wholeDb, 0.2);
    EXPECT_NEAR(mid.peak, 0.5f, 0.001f);
    EXPECT_LT(measureLoudness(tone(30, 2, 0.5f), 1, 22050).wholeDb, mid.wholeDb - 3);
    EXPECT_NEAR(measureLoudness(tone(1000, 0.1f, 0.5f), 1, 22050).loudestDb, mid.loudestDb, 0.5);
    std::vector<float> both;
    for (float v : tone(1000, 2, 0.5f)) both.insert(both.end(), {v, v});
    EXPECT_NEAR(measureLoudness(both, 2, 22050).wholeDb, mid.wholeDb, 0.01);
}

// The page must say what the game pays: each star adds twice the group's points, so s stars
// multiply them by 1 + 2s. The round's length is a setting, so no rule may give it in seconds.
TEST(Generator, TheRulesPageTellsWhatTheGamePaysAndNamesNoRoundLength)
{
    std::string stars, clock;
    for (const HelpRule& r : helpRules()) {
        if (std::string(r.heading) == "Star balloons") stars = r.text;
        if (std::string(r.heading) == "Watch the clock") clock = r.text;
    }
    ASSERT_FALSE(stars.empty());
    size_t at = 0;
    for (int s = 1; s <= 3; s++) {
        const std::string factor = "\xC3\x97" + std::to_string(1 + 2 * s);
        at = stars.find(factor, at);
        EXPECT_NE(std::string::npos, at) << factor << " for " << s << " star(s), in order: " << stars;
    }
    ASSERT_FALSE(clock.empty());
    EXPECT_EQ(std::string::npos, clock.find_first_of("0123456789")) << clock;
    EXPECT_NE(std::string::npos, std::string(kGameOverHint).find("wait")) << "the panels leave by themselves";
}

} // namespace
#endif
