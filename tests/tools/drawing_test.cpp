// The generator's drawing and audio helpers, where a slip would show in every picture or sound.
#include <gtest/gtest.h>

#ifdef ZORBIT_DATA_GENERATED
#include "datagen.h"
#include "icon.h"
#include "synth.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace gen;

// Concave outlines (stars, hearts) must be filled inside and nowhere else.
TEST(Drawing, PolygonDistanceIsNegativeExactlyInside)
{
    auto star = starPoints({50, 50}, 40, 16, 5);
    EXPECT_LT(sdPolygon({50, 50}, star), 0);
    EXPECT_LT(sdPolygon({50, 14}, star), 0) << "inside the top point";
    EXPECT_GT(sdPolygon({50, 95}, star), 0) << "in the notch between the two lower points";
    EXPECT_GT(sdPolygon({0, 0}, star), 0);
    EXPECT_NEAR(sdPolygon({50, 5}, star), 5.0f, 0.01f) << "distance above the top point";
}

// Half-covered edge pixels decide the outline once the key colour is applied: a disc of
// radius r must come out with about pi r^2 opaque pixels.
TEST(Drawing, FilledDiscCoversItsArea)
{
    Canvas c(40, 40);
    c.fill({0, 0, 40, 40}, [](Vec p) { return sdCircle(p, {20, 20}, 12); }, rgb(200, 30, 30));
    Image img = toGameImage(c);
    int opaque = 0;
    for (int y = 0; y < 40; y++)
        for (int x = 0; x < 40; x++) opaque += !isKeyColor565(img.at(x, y));
    EXPECT_NEAR(opaque, 3.14159 * 144, 12);
}

TEST(Drawing, RightAlignedTextEndsAtItsEdge)
{
    Font f(Face::CondensedBold, 15);
    ASSERT_TRUE(f.ok());
    Canvas c(120, 24);
    drawText(c, f, "1234567", 100, 2, Align::Right, TextStyle{});
    int right = -1, left = 999;
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 120; x++)
            if (c.get(x, y).a > 0.5f) right = std::max(right, x), left = std::min(left, x);
    EXPECT_GE(right, 96);
    EXPECT_LE(right, 100);
    EXPECT_GE(left, 100 - f.measure("1234567") - 1) << "the text starts one text width left of the edge";
    EXPECT_LE(left, 100 - f.measure("1234567") + 3);
}

// The menu's icon must read at every size: a solid balloon in the middle, nothing in the
// corners (the desktop's own background shows there), and nothing cut off at the edges.
TEST(Drawing, IconsFillTheirSquareWithoutTouchingItsEdges)
{
    ASSERT_EQ(iconSizes().front(), 16);
    ASSERT_EQ(iconSizes().back(), 256);
    for (int size : iconSizes()) {
        Canvas icon = drawIcon(size);
        ASSERT_EQ(icon.width(), size);
        ASSERT_EQ(icon.height(), size);
        float opaque = 0, edge = 0;
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                opaque += icon.get(x, y).a;
                if (x == 0 || y == 0 || x == size - 1) edge = std::max(edge, icon.get(x, y).a);
            }
        EXPECT_GT(icon.get(size / 2, size * 2 / 5).a, 0.99f) << size;
        EXPECT_LT(icon.get(0, size - 1).a + icon.get(size - 1, size - 1).a, 0.01f) << size;
        EXPECT_LT(edge, 0.5f) << size;
        EXPECT_GT(opaque / float(size * size), 0.3f) << size;
    }
}

// The game starts the tune again when it ends: the step from the last sample to the first
// must be no bigger than the ordinary steps within the music.
TEST(Audio, MusicLoopHasNoSeam)
{
    std::vector<float> m = makeMusic();
    size_t frames = m.size() / 2;
    ASSERT_GE(frames, size_t(60 * kMusicRate));
    for (int ch = 0; ch < 2; ch++) {
        std::vector<float> steps;
        for (size_t i = 1; i < frames; i++) steps.push_back(std::fabs(m[2 * i + ch] - m[2 * (i - 1) + ch]));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
        float usual = steps[steps.size() * 999 / 1000];
        float seam = std::fabs(m[ch] - m[2 * (frames - 1) + ch]);
        EXPECT_LE(seam, usual) << "channel " << ch;
    }
}

} // namespace
#endif
