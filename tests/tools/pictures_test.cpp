// Reads every generated picture back through the game's own BMP loader and checks that it
// fits the places the game draws it at.
#include "data_folder.h"

#include "platform/video/bitmap.h"
#include "platform/video/ddraw.h"

#ifdef ZORBIT_DATA_GENERATED
#include "files.h"
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr uint16_t kKey565 = 0x001F;

struct Loaded {
    int width = 0, height = 0;
    std::vector<uint16_t> pixels; // RGB565 as the game holds them
    std::vector<uint8_t> rgb;     // the file's own 24-bit pixels, top row first
    uint16_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool transparent(int x, int y) const { return at(x, y) == kKey565; }
};

bool Load(const std::string& name, Loaded& out)
{
    std::ifstream in(DataDir() + "/" + name, std::ios::binary);
    if (!in) return false;
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Surface* s = LoadBitmapFromMemory(bytes.data(), bytes.size(), 16);
    if (!s) return false;
    SurfaceDesc d;
    s->Lock(nullptr, &d, 0, nullptr);
    out.width = d.width;
    out.height = d.height;
    out.pixels.resize(size_t(d.width) * d.height);
    for (int y = 0; y < d.height; y++)
        for (int x = 0; x < d.width; x++)
            out.pixels[size_t(y) * d.width + x] = static_cast<const uint16_t*>(d.memory)[size_t(y) * (d.pitch / 2) + x];
    s->Unlock(nullptr);
    s->Release();
#ifdef ZORBIT_DATA_GENERATED
    gen::Image img;
    if (!gen::decodeBmp(gen::Bytes(bytes.begin(), bytes.end()), img)) return false;
    out.rgb = img.rgb;
#endif
    return true;
}

// Every picture the game loads, with the rule its size must meet.
struct Expectation {
    const char* name;
    int width, height; // 0: checked by the test below
};

const Expectation kPictures[] = {
    {"background.bmp", 800, 600},
    {"red.bmp", 32, 40}, {"blue.bmp", 32, 40}, {"yellow.bmp", 32, 40}, {"purple.bmp", 32, 40}, {"green.bmp", 32, 40},
    {"redstar.bmp", 32, 40}, {"bluestar.bmp", 32, 40}, {"yellowstar.bmp", 32, 40}, {"purplestar.bmp", 32, 40},
    {"greenstar.bmp", 32, 40}, {"pop.bmp", 32, 40},
    {"bigblue.bmp", 0, 0}, {"bigred.bmp", 0, 0}, {"biggreen.bmp", 0, 0}, {"bigpurple.bmp", 0, 0}, {"bigyellow.bmp", 0, 0},
    {"x2.bmp", 0, 0}, {"x4.bmp", 0, 0}, {"x6.bmp", 0, 0},
    {"score.bmp", 34 * 5, 21 * 51},
    {"CloudAnimLeft.bmp", 0, 120}, {"CloudAnimRight.bmp", 0, 120},
    {"newgame.bmp", 0, 0}, {"menu.bmp", 0, 0}, {"help.bmp", 0, 0}, {"exit.bmp", 0, 0},
    {"scorefont.bmp", 0, 0}, {"timer.bmp", 0, 0}, {"lightning.bmp", 0, 0}, {"airplane.bmp", 326, 0},
    {"GameOverNMM.bmp", 0, 0}, {"GameOverOOT.bmp", 0, 0}, {"hallfamepop.bmp", 0, 0},
    {"congrats1.bmp", 0, 0}, {"congrats2.bmp", 0, 0}, {"congrats3.bmp", 0, 0}, {"congrats4.bmp", 0, 0},
    {"title/HowToPlay.bmp", 0, 0},
};

class Pictures : public testing::Test {
protected:
    // Loaded once for all the checks below.
    static void SetUpTestSuite()
    {
        if (!DataWasGenerated()) return;
        loaded_ = new std::map<std::string, Loaded>;
        for (const Expectation& e : kPictures)
            if (!Load(e.name, (*loaded_)[e.name])) loaded_->erase(e.name);
    }
    static void TearDownTestSuite()
    {
        delete loaded_;
        loaded_ = nullptr;
    }
    void SetUp() override
    {
        SKIP_WITHOUT_DATA();
        for (const Expectation& e : kPictures) ASSERT_TRUE(loaded_->count(e.name)) << e.name << " did not load";
    }
    const Loaded& P(const std::string& name) { return loaded_->at(name); }
    static std::map<std::string, Loaded>* loaded_;
};

std::map<std::string, Loaded>* Pictures::loaded_ = nullptr;

TEST_F(Pictures, EveryFileLoadsWithItsFixedSize)
{
    for (const Expectation& e : kPictures) {
        if (e.width) {
            EXPECT_EQ(e.width, P(e.name).width) << e.name;
        }
        if (e.height) {
            EXPECT_EQ(e.height, P(e.name).height) << e.name;
        }
    }
}

// Only the key colour is transparent: a pixel is transparent in the game exactly when the
// file holds pure blue there, so no visible pixel turns into a hole at 16 bits.
TEST_F(Pictures, OnlyPureBlueBecomesTransparent)
{
    for (const Expectation& e : kPictures) {
        const Loaded& p = P(e.name);
        ASSERT_EQ(p.rgb.size(), p.pixels.size() * 3) << e.name;
        size_t holes = 0;
        for (size_t i = 0; i < p.pixels.size(); i++) {
            bool key = p.rgb[i * 3] == 0 && p.rgb[i * 3 + 1] == 0 && p.rgb[i * 3 + 2] == 255;
            if ((p.pixels[i] == kKey565) != key) holes++;
        }
        EXPECT_EQ(0u, holes) << e.name;
    }
    // The scene behind everything is fully opaque; the sprites have transparent corners.
    const Loaded& bg = P("background.bmp");
    EXPECT_EQ(0, std::count(bg.pixels.begin(), bg.pixels.end(), kKey565));
    for (const char* sprite : {"red.bmp", "pop.bmp", "timer.bmp", "CloudAnimLeft.bmp", "newgame.bmp"})
        EXPECT_TRUE(P(sprite).transparent(0, 0)) << sprite;
}

TEST_F(Pictures, StripsCutIntoTheirFrames)
{
    EXPECT_EQ(0, P("scorefont.bmp").width % 11) << "ten digits and a comma";
    EXPECT_EQ(0, P("timer.bmp").height % 37);
    EXPECT_EQ(0, P("airplane.bmp").height % 106);
    for (const char* b : {"newgame.bmp", "menu.bmp", "help.bmp", "exit.bmp"}) EXPECT_EQ(0, P(b).width % 2) << b;
}

// The layout of the play screen: everything on the left panel ends before the clouds at
// x 88, the clouds fit their columns, the overlays stay on the board or the screen.
TEST_F(Pictures, PiecesFitTheirPlacesOnScreen)
{
    const int cell = P("scorefont.bmp").width / 11;
    EXPECT_LE(7 * cell + 2 * (cell / 3), 77 - 7) << "\"1,234,567\" must fit the wells between x 7 and 77";
    EXPECT_LE(P("scorefont.bmp").height, 186 - 153) << "the last number must stay inside the panel";
    struct Side { const char* name; int x, y; };
    for (Side s : {Side{"newgame.bmp", 13, 375}, Side{"exit.bmp", 12, 525}, Side{"help.bmp", 12, 475}, Side{"menu.bmp", 13, 425}}) {
        EXPECT_LE(s.x + P(s.name).width / 2, 88) << s.name;
        EXPECT_LE(P(s.name).height, 50) << s.name << " would overlap the next button";
    }
    EXPECT_LE(2 + P("timer.bmp").width, 88);
    EXPECT_LE(208 + P("timer.bmp").height / 37, 375);
    EXPECT_LE(17 + P("lightning.bmp").width, 88);
    EXPECT_LE(264 + P("lightning.bmp").height, 375);
    EXPECT_LE(P("CloudAnimLeft.bmp").width, 154 - 88);
    EXPECT_LE(P("CloudAnimRight.bmp").width, 800 - 730);
    for (const char* big : {"bigblue.bmp", "bigred.bmp", "biggreen.bmp", "bigpurple.bmp", "bigyellow.bmp"}) {
        EXPECT_LE(360 + P(big).width, 730) << big;
        EXPECT_LE(180 + P(big).height, 567) << big;
    }
    EXPECT_LE(264 + P("congrats1.bmp").width, 800);
    EXPECT_LE(56 + P("congrats1.bmp").height, 124) << "the banner must not cover the blinker";
    EXPECT_EQ(P("congrats2.bmp").width, P("congrats3.bmp").width);
    EXPECT_EQ(P("congrats2.bmp").height, P("congrats3.bmp").height);
    EXPECT_LE(154 + P("congrats2.bmp").width, 730);
    EXPECT_LE(124 + P("congrats2.bmp").height, 419) << "the blinker must not cover the footer";
    EXPECT_LE(326 + P("congrats4.bmp").width, 730);
    EXPECT_LE(419 + P("congrats4.bmp").height, 567);
    for (const char* dialog : {"GameOverNMM.bmp", "GameOverOOT.bmp", "hallfamepop.bmp", "title/HowToPlay.bmp"}) {
        EXPECT_LE(P(dialog).width, 800) << dialog;
        EXPECT_LE(P(dialog).height, 600) << dialog;
    }
}

// Mean colour of the visible pixels of a rectangle, in 8-bit RGB.
std::array<double, 3> MeanColour(const Loaded& p, int x0, int y0, int w, int h)
{
    std::array<double, 3> sum{};
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) {
            uint16_t v = p.at(x, y);
            if (v == kKey565) continue;
            sum[0] += (v >> 11) << 3, sum[1] += ((v >> 5) & 63) << 2, sum[2] += (v & 31) << 3;
            n++;
        }
    for (double& s : sum) s /= std::max(n, 1);
    return sum;
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// The pop-up tile for colour c must be written in that balloon's colour: columns in the
// board's colour order (red, yellow, purple, green, and blue for the colour called Orange).
TEST_F(Pictures, ScoreTilesFollowTheBoardColourOrder)
{
    const char* balloons[5] = {"red.bmp", "yellow.bmp", "purple.bmp", "green.bmp", "blue.bmp"};
    std::array<double, 3> looks[5];
    for (int c = 0; c < 5; c++) looks[c] = MeanColour(P(balloons[c]), 4, 4, 24, 22);
    const Loaded& tiles = P("score.bmp");
    for (int row : {0, 25, 50})
        for (int c = 0; c < 5; c++) {
            auto tile = MeanColour(tiles, c * 34, row * 21, 34, 21);
            int nearest = 0;
            for (int k = 1; k < 5; k++)
                if (Distance(tile, looks[k]) < Distance(tile, looks[nearest])) nearest = k;
            EXPECT_EQ(c, nearest) << "row " << row << " column " << c;
        }
}

TEST_F(Pictures, AnimationFramesDiffer)
{
    auto frame = [](const Loaded& p, int x, int y, int w, int h) {
        std::vector<uint16_t> f;
        for (int j = y; j < y + h; j++)
            for (int i = x; i < x + w; i++) f.push_back(p.at(i, j));
        return f;
    };
    const Loaded& timer = P("timer.bmp");
    int th = timer.height / 37;
    for (int f = 0; f < 36; f++)
        EXPECT_NE(frame(timer, 0, f * th, timer.width, th), frame(timer, 0, (f + 1) * th, timer.width, th)) << "timer frame " << f;
    for (const char* cloud : {"CloudAnimLeft.bmp", "CloudAnimRight.bmp"}) {
        const Loaded& c = P(cloud);
        EXPECT_NE(frame(c, 0, 0, c.width, 40), frame(c, 0, 40, c.width, 40)) << cloud;
        EXPECT_NE(frame(c, 0, 40, c.width, 40), frame(c, 0, 80, c.width, 40)) << cloud;
    }
    for (const char* b : {"newgame.bmp", "menu.bmp", "help.bmp", "exit.bmp"}) {
        const Loaded& p = P(b);
        EXPECT_NE(frame(p, 0, 0, p.width / 2, p.height), frame(p, p.width / 2, 0, p.width / 2, p.height)) << b;
    }
    EXPECT_NE(frame(P("congrats2.bmp"), 0, 0, P("congrats2.bmp").width, P("congrats2.bmp").height),
              frame(P("congrats3.bmp"), 0, 0, P("congrats3.bmp").width, P("congrats3.bmp").height));
}

// Colour-blind players tell the balloons apart by their marks: the mark (the pixels that
// stand out from the balloon's own body) has a different shape on each colour, and every
// star balloon differs from its plain one.
std::vector<bool> MarkShape(const Loaded& p)
{
    std::vector<int> lum;
    for (int y = 12; y < 28; y++)
        for (int x = 8; x < 25; x++) {
            uint16_t v = p.at(x, y);
            lum.push_back(((v >> 11) << 3) * 3 + (((v >> 5) & 63) << 2) * 6 + ((v & 31) << 3));
        }
    std::vector<int> sorted = lum;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    int median = sorted[sorted.size() / 2];
    std::vector<bool> mark;
    for (int l : lum) mark.push_back(std::abs(l - median) > 400);
    return mark;
}

TEST_F(Pictures, EachColourCarriesItsOwnMark)
{
    const char* stems[5] = {"red", "yellow", "purple", "green", "blue"};
    std::vector<bool> marks[5];
    for (int a = 0; a < 5; a++) {
        std::string plain = std::string(stems[a]) + ".bmp";
        EXPECT_NE(P(plain).pixels, P(std::string(stems[a]) + "star.bmp").pixels) << stems[a];
        marks[a] = MarkShape(P(plain));
        EXPECT_GT(std::count(marks[a].begin(), marks[a].end(), true), 12) << stems[a] << " has no visible mark";
    }
    for (int a = 0; a < 5; a++)
        for (int b = a + 1; b < 5; b++) {
            int differing = 0;
            for (size_t i = 0; i < marks[a].size(); i++) differing += marks[a][i] != marks[b][i];
            EXPECT_GT(differing, 10) << stems[a] << " and " << stems[b] << " carry the same mark";
        }
}

} // namespace
