// The play screen: background, the cloud buttons, the side buttons, the score digits and the clock.
#include "art.h"
#include "rng.h"

#include <string>

namespace gen {

namespace {

const Color kCream = rgb(255, 250, 232);

void drawDistantCloud(Canvas& c, Vec m, float w, float alpha)
{
    drawPuffCloud(c, {m.x - w / 2, m.y - w * 0.22f, m.x + w / 2, m.y + w * 0.22f}, rgb(255, 255, 255, alpha),
                  rgb(236, 244, 255, alpha), {});
}

void drawHills(Canvas& c, float x0, float x1, float baseY, float amp, float phase, Color top, Color bottom)
{
    auto edge = [=](float x) { return baseY - amp * (0.6f + 0.4f * std::sin(x * 0.013f + phase)) * (0.7f + 0.3f * std::sin(x * 0.031f + 2 * phase)); };
    c.fill({x0, baseY - amp - 2, x1, float(c.height())}, [&](Vec p) {
        float d = edge(p.x) - p.y;
        return (p.x < x0 || p.x > x1) ? 1.0f : d;
    }, [&](Vec p) { return mix(top, bottom, clamp01((p.y - (baseY - amp)) / (c.height() - baseY + amp))); });
}

void drawBoardWindow(Canvas& c)
{
    const float x0 = 154, y0 = 7, w = 576, h = 560;
    c.fill({x0 - 6, y0 - 6, x0 + w + 6, y0 + h + 6}, [&](Vec p) { return sdRoundBox(p, x0 - 5, y0 - 5, w + 10, h + 10, 9); }, rgb(255, 255, 255));
    c.fill({x0 - 6, y0 - 6, x0 + w + 6, y0 + h + 6}, [&](Vec p) { return std::fabs(sdRoundBox(p, x0 - 5, y0 - 5, w + 10, h + 10, 9)) - 0.6f; },
           rgb(120, 170, 220));
    // The sky the balloons float in, lighter than the screen's, with a far landscape at its foot
    // where the emptied cells gather.
    Canvas sky{int(w), int(h)};
    sky.fill({0, 0, w, h}, [](Vec) { return -1.0f; }, [&](Vec p) { return mix(rgb(132, 198, 248), rgb(222, 242, 255), p.y / h); });
    Rng rng(11);
    for (int i = 0; i < 9; i++)
        drawDistantCloud(sky, {rng.range(20, w - 20), rng.range(30, h - 170)}, rng.range(70, 150), rng.range(0.35f, 0.6f));
    drawHills(sky, 0, w, h - 62, 46, 0.7f, rgb(160, 214, 170), rgb(140, 200, 150));
    drawHills(sky, 0, w, h - 24, 34, 2.1f, rgb(120, 200, 110), rgb(86, 170, 80));
    c.draw(sky, int(x0), int(y0));
}

void drawLogo(Canvas& c)
{
    Font f(Face::SansBold, 20);
    const char* letters = "Zorbit";
    int total = f.measure(letters);
    float x = 44 - total / 2.0f;
    for (int i = 0; letters[i]; i++) {
        std::string ch(1, letters[i]);
        const BalloonLook& look = balloonLook((i + 1) % kColours);
        TextStyle st;
        st.top = lighten(look.base, 0.25f);
        st.bottom = look.base;
        st.outline = rgb(255, 255, 255);
        st.outlineWidth = 1.8f;
        st.shadow = rgb(30, 52, 110, 0.5f);
        st.shadowDy = 2;
        drawText(c, f, ch, x, 4 + (i % 2 ? -1.0f : 1.0f), Align::Left, st);
        x += f.measure(ch);
    }
}

void drawLeftPanel(Canvas& c)
{
    c.fill({0, 0, 88, 600}, [](Vec p) { return sdRoundBox(p, -10, 30, 96, 532, 10); }, rgb(255, 255, 255, 0.35f));
    drawLogo(c);
    Font label(Face::CondensedBold, 11);
    TextStyle ink;
    ink.top = ink.bottom = inkColor();
    drawCard(c, {2, 34, 86, 180}, 8, rgb(255, 255, 255), rgb(232, 242, 255), rgb(70, 130, 210));
    struct Well { const char* text; float labelY, y, right; };
    const Well wells[] = {{"HIGH SCORE", 38, 55, 80}, {"SCORE", 81, 97, 80}, {"LAST POP", 135, 151, 80}};
    for (const Well& w : wells) {
        drawText(c, label, w.text, 44, w.labelY, Align::Center, ink);
        c.fill({5, w.y, w.right, w.y + 20}, [&](Vec p) { return sdRoundBox(p, 5, w.y, w.right - 5, 20, 5); }, rgb(150, 180, 220));
        c.fill({5, w.y, w.right, w.y + 20}, [&](Vec p) { return sdRoundBox(p, 6, w.y + 1.5f, w.right - 7, 17.5f, 4); }, kCream);
    }
    // The clock's seat and the four button seats.
    drawText(c, label, "TIME", 44, 192, Align::Center, ink);
    c.fill({0, 206, 88, 294}, [](Vec p) { return sdCircle(p, {44, 250}, 42.5f); }, rgb(70, 130, 210, 0.45f));
    const float seats[][2] = {{13, 375}, {13, 425}, {12, 475}, {12, 525}};
    for (auto& s : seats)
        c.fill({s[0] - 3, s[1] - 2, s[0] + 77, s[1] + 43}, [&](Vec p) { return sdRoundBox(p, s[0] - 1, s[1] + 1, 76, 41, 14); },
               rgb(30, 52, 110, 0.28f));
}

} // namespace

Canvas makeBackground()
{
    Canvas c(800, 600);
    c.fill({0, 0, 800, 600}, [](Vec) { return -1.0f; }, [](Vec p) { return mix(skyTop(), skyBottom(), p.y / 600); });
    Rng rng(5);
    for (int i = 0; i < 6; i++) drawDistantCloud(c, {rng.range(92, 150), rng.range(20, 560)}, 60, 0.25f);
    for (int i = 0; i < 6; i++) drawDistantCloud(c, {rng.range(740, 790), rng.range(20, 560)}, 60, 0.25f);
    drawHills(c, 0, 800, 590, 16, 1.3f, rgb(110, 196, 96), rgb(70, 150, 60));
    drawBoardWindow(c);
    drawLeftPanel(c);
    return c;
}

namespace {


Canvas makeSideButton(const char* text)
{
    Canvas c(148, 40);
    Font f(Face::CondensedBold, 12);
    for (int lit = 0; lit < 2; lit++) {
        float ox = lit * 74.0f;
        Color top = lit ? rgb(255, 240, 130) : rgb(110, 186, 255);
        Color bottom = lit ? rgb(255, 156, 20) : rgb(36, 100, 214);
        Color edge = lit ? rgb(176, 76, 0) : inkColor();
        c.fill({ox, 0, ox + 74, 40}, [&](Vec p) { return sdRoundBox(p, ox + 1, 3, 72, 35, 13); }, edge);
        c.fill({ox, 0, ox + 74, 40}, [&](Vec p) { return sdRoundBox(p, ox + 2.5f, 4.5f, 69, 32, 11.5f); },
               [&](Vec p) { return mix(top, bottom, clamp01((p.y - 4) / 32)); });
        c.fill({ox, 0, ox + 74, 40}, [&](Vec p) { return sdRoundBox(p, ox + 8, 6.5f, 58, 9, 4.5f); }, rgb(255, 255, 255, 0.35f));
        TextStyle st;
        st.outline = edge;
        st.outlineWidth = 1.6f;
        drawText(c, f, text, ox + 37, 12, Align::Center, st);
    }
    return c;
}

// The ten digits, then a comma at the left of its cell (the game moves on a third of a cell
// after it).
Canvas makeScoreFont()
{
    const int cell = kScoreDigitWidth;
    Canvas c(cell * 11, 16);
    Font f(Face::CondensedBold, 14);
    TextStyle st;
    st.top = rgb(40, 80, 170);
    st.bottom = inkColor();
    st.outline = kCream; // blends the letter edges into the panel's wells
    st.outlineWidth = 0.9f;
    for (int d = 0; d < 10; d++) {
        Canvas digit(cell, 16);
        drawText(digit, f, std::string(1, char('0' + d)), cell / 2.0f, 1, Align::Center, st);
        c.draw(digit, d * cell, 0);
    }
    Canvas comma(cell, 16);
    drawText(comma, f, ",", -1, 1, Align::Left, st);
    c.draw(comma, 10 * cell, 0);
    return c;
}

Canvas makeLightning()
{
    Canvas c(52, 100);
    std::vector<Vec> bolt{{31, 1}, {7, 54}, {22, 54}, {12, 99}, {47, 36}, {30, 36}, {45, 1}};
    c.fill({0, 0, 52, 100}, [&](Vec p) { return sdPolygon(p, bolt) - 1.2f; }, rgb(150, 70, 0));
    c.fill({0, 0, 52, 100}, [&](Vec p) { return sdPolygon(p, bolt) + 1.0f; },
           [](Vec p) { return mix(rgb(255, 255, 200), rgb(255, 196, 0), p.y / 100); });
    return c;
}

Canvas stackFrames(const std::vector<Canvas>& frames)
{
    int h = 0;
    for (const Canvas& f : frames) h += f.height();
    Canvas out(frames.at(0).width(), h);
    int y = 0;
    for (const Canvas& f : frames) {
        out.draw(f, 0, y);
        y += f.height();
    }
    return out;
}

} // namespace

// A friendly cloud that blows towards the board on its right; state 0 normal, 1 mouse over, 2 pressed.
Canvas makeCloudButtonFrame(int width, int state)
{
    Canvas c(width, 40);
    float w = float(width);
    Color fill = state == 1 ? rgb(255, 253, 236) : rgb(255, 255, 255);
    Color shade = state == 1 ? rgb(255, 226, 150) : rgb(200, 220, 244);
    Color rim = state == 1 ? rgb(220, 150, 20) : rgb(110, 150, 200);
    float squash = state == 2 ? 2.0f : 0.0f;
    drawPuffCloud(c, {1, 2 + squash, w - 12, 38}, fill, shade, rim);
    // Face: eyes, rosy cheeks and a round blowing mouth on the board's side.
    Color eye = inkColor();
    for (float ex : {0.46f, 0.64f})
        c.fill({0, 0, w, 40}, [&](Vec p) { return sdEllipse(p, {w * ex, 21 + squash / 2}, 1.6f, 2.4f); }, eye);
    c.fill({0, 0, w, 40}, [&](Vec p) { return sdCircle(p, {w * 0.40f, 27}, 2.6f); }, rgb(255, 150, 160, 0.7f));
    float mouthR = state == 2 ? 3.2f : 2.3f;
    c.fill({0, 0, w, 40}, [&](Vec p) { return sdCircle(p, {w * 0.80f, 26}, mouthR); }, eye);
    // Wind: a puff when pointed at, a gust when pressed.
    int streaks = state == 0 ? 0 : state == 1 ? 1 : 3;
    for (int i = 0; i < streaks; i++) {
        float y = 26 + (i - (streaks - 1) / 2.0f) * 5;
        float x0 = w * 0.80f + 4, x1 = w - 1.5f - (i % 2) * 3;
        c.fill({x0 - 2, y - 2, w, y + 2}, [&](Vec p) { return sdSegment(p, {x0, y}, {x1, y}, 0.9f); }, rgb(70, 120, 200));
    }
    return c;
}

Canvas makeTimerFrame(int frame)
{
    Canvas c(84, 84);
    Vec m{42, 42};
    float left = (36 - frame) / 36.0f;
    Box box{0, 0, 84, 84};
    c.fill(box, [&](Vec p) { return sdCircle(p, m, 41); }, inkColor());
    c.fill(box, [&](Vec p) { return sdCircle(p, m, 39.5f); }, rgb(255, 255, 255));
    c.fill(box, [&](Vec p) { return sdCircle(p, m, 35); }, rgb(214, 226, 240));
    Color full = left > 0.5f ? mix(rgb(250, 206, 40), rgb(70, 196, 90), (left - 0.5f) * 2)
                             : mix(rgb(236, 64, 56), rgb(250, 206, 40), smoothstep(0.1f, 0.5f, left));
    float extent = left * 2 * float(M_PI);
    auto sector = [&](Vec p) {
        Vec q = p - m;
        float circle = length(q) - 33.5f;
        if (extent >= 2 * float(M_PI) - 1e-4f) return circle;
        float theta = std::atan2(q.x, -q.y); // clockwise from twelve o'clock
        if (theta < 0) theta += 2 * float(M_PI);
        float r = length(q);
        auto rayDist = [&](float a) {
            float diff = std::fabs(theta - a);
            diff = std::min(diff, 2 * float(M_PI) - diff);
            return diff < float(M_PI) / 2 ? r * std::sin(diff) : r;
        };
        float d = std::min(rayDist(0), rayDist(extent));
        return std::max(circle, theta <= extent ? -d : d);
    };
    if (frame < 36)
        c.fill(box, sector, [&](Vec p) { return mix(lighten(full, 0.35f), full, clamp01(length(p - m) / 34)); });
    for (int t = 0; t < 12; t++) {
        float a = float(M_PI) * t / 6;
        Vec dir{std::sin(a), -std::cos(a)};
        c.fill(box, [&](Vec p) { return sdSegment(p, m + dir * 30, m + dir * 34, 1.1f); }, rgb(255, 255, 255, 0.9f));
    }
    if (frame < 36) {
        Vec tip = m + Vec{std::sin(extent), -std::cos(extent)} * 31;
        c.fill(box, [&](Vec p) { return sdSegment(p, m, tip, 1.8f); }, inkColor());
    }
    c.fill(box, [&](Vec p) { return sdCircle(p, m, 4); }, inkColor());
    return c;
}

void addScenePictures(std::vector<Picture>& out)
{
    out.push_back({"background.bmp", makeBackground()});
    std::vector<Canvas> left, right;
    for (int s = 0; s < 3; s++) {
        left.push_back(makeCloudButtonFrame(66, s));
        right.push_back(makeCloudButtonFrame(70, s).mirrored());
    }
    out.push_back({"CloudAnimLeft.bmp", stackFrames(left)});
    out.push_back({"CloudAnimRight.bmp", stackFrames(right)});
    out.push_back({"newgame.bmp", makeSideButton("NEW GAME")});
    out.push_back({"menu.bmp", makeSideButton("MENU")});
    out.push_back({"help.bmp", makeSideButton("HELP")});
    out.push_back({"exit.bmp", makeSideButton("EXIT")});
    out.push_back({"scorefont.bmp", makeScoreFont()});
    std::vector<Canvas> timer;
    for (int f = 0; f <= 36; f++) timer.push_back(makeTimerFrame(f));
    out.push_back({"timer.bmp", stackFrames(timer)});
    out.push_back({"lightning.bmp", makeLightning()});
}

} // namespace gen
