// Notices over the board: game over, hall of fame, congratulations, and the airplane.
#include "art.h"
#include "rng.h"

#include <string>

namespace gen {

namespace {

TextStyle titleStyle(Color top, Color bottom, Color outline)
{
    TextStyle st;
    st.top = top;
    st.bottom = bottom;
    st.outline = outline;
    st.outlineWidth = 2.6f;
    st.shadow = rgb(20, 30, 70, 0.45f);
    st.shadowDy = 3;
    return st;
}

TextStyle plainStyle(Color c)
{
    TextStyle st;
    st.top = st.bottom = c;
    return st;
}

void drawStormCloud(Canvas& c, Box a)
{
    float w = a.x1 - a.x0;
    for (int i = 0; i < 5; i++) {
        float x = a.x0 + w * (0.22f + 0.14f * i);
        c.fill({x - 4, a.y1 - 12, x + 4, a.y1 + 22}, [&](Vec p) { return sdSegment(p, {x, a.y1 - 4}, {x - 5, a.y1 + 14}, 1.3f); },
               rgb(150, 190, 240));
    }
    drawPuffCloud(c, a, rgb(150, 160, 186), rgb(96, 104, 132), rgb(50, 56, 80));
    std::vector<Vec> bolt{{a.x0 + w * 0.52f, a.y1 - 14}, {a.x0 + w * 0.40f, a.y1 + 14}, {a.x0 + w * 0.49f, a.y1 + 14},
                          {a.x0 + w * 0.43f, a.y1 + 36}, {a.x0 + w * 0.62f, a.y1 + 6}, {a.x0 + w * 0.53f, a.y1 + 6},
                          {a.x0 + w * 0.60f, a.y1 - 14}};
    Box bb{a.x0, a.y1 - 20, a.x1, a.y1 + 40};
    c.fill(bb, [&](Vec p) { return sdPolygon(p, bolt) - 1.2f; }, rgb(150, 70, 0));
    c.fill(bb, [&](Vec p) { return sdPolygon(p, bolt) + 0.8f; }, rgb(255, 226, 60));
}

Canvas makeGameOver(bool outOfTime)
{
    Canvas c(420, 230);
    Font title(Face::SansBold, 36), sub(Face::CondensedBold, 22), small(Face::Sans, 13);
    if (outOfTime) {
        drawCard(c, {0, 0, 420, 230}, 18, rgb(120, 136, 178), rgb(62, 76, 120), rgb(28, 36, 70));
        drawStormCloud(c, {150, 64, 270, 124});
        drawText(c, title, "Out of time!", 210, 14, Align::Center, titleStyle(rgb(255, 250, 200), rgb(255, 206, 60), rgb(28, 36, 70)));
        drawText(c, sub, "GAME OVER", 210, 166, Align::Center, titleStyle(rgb(255, 255, 255), rgb(220, 230, 255), rgb(28, 36, 70)));
        drawText(c, small, kGameOverHint, 210, 203, Align::Center, plainStyle(rgb(210, 220, 245)));
    } else {
        drawCard(c, {0, 0, 420, 230}, 18, rgb(214, 238, 255), rgb(150, 202, 250), inkColor());
        for (int i = 0; i < kColours; i++) drawBalloon(c, {float(113 + i * 40), 68}, 1.25f, i, false);
        drawText(c, title, "No moves left!", 210, 14, Align::Center, titleStyle(rgb(255, 255, 255), rgb(206, 232, 255), inkColor()));
        drawText(c, sub, "GAME OVER", 210, 166, Align::Center, titleStyle(rgb(255, 236, 120), rgb(255, 170, 30), inkColor()));
        drawText(c, small, kGameOverHint, 210, 203, Align::Center, plainStyle(inkColor()));
    }
    return c;
}

void drawTrophy(Canvas& c, Vec m)
{
    Color edge = rgb(150, 84, 0);
    auto paint = [&](Vec p) { return mix(rgb(255, 246, 160), rgb(240, 160, 10), clamp01((p.x - m.x + 30) / 60)); };
    auto shape = [&](Vec p) {
        float cup = opIntersect(sdCircle(p, {m.x, m.y - 22}, 30), p.y - (m.y - 4) > 0 ? 1e3f : -(p.y - (m.y - 22)));
        cup = opUnion(cup, sdRoundBox(p, m.x - 30, m.y - 46, 60, 26, 3));
        float handles = opUnion(std::fabs(sdCircle(p, {m.x - 30, m.y - 32}, 10)) - 3, std::fabs(sdCircle(p, {m.x + 30, m.y - 32}, 10)) - 3);
        float stem = sdRoundBox(p, m.x - 5, m.y - 8, 10, 22, 2);
        float base = sdRoundBox(p, m.x - 22, m.y + 12, 44, 12, 4);
        return opUnion(opUnion(cup, handles), opUnion(stem, base));
    };
    Box box{m.x - 45, m.y - 50, m.x + 45, m.y + 28};
    c.fill(box, [&](Vec p) { return shape(p) - 1.5f; }, edge);
    c.fill(box, shape, paint);
    drawStar(c, {m.x, m.y - 28}, 12, rgb(190, 90, 0));
}

Canvas makeHallOfFame()
{
    Canvas c(380, 170);
    drawCard(c, {0, 0, 380, 170}, 18, rgb(255, 250, 214), rgb(255, 210, 100), rgb(176, 100, 0));
    drawTrophy(c, {72, 110});
    Font title(Face::SansBold, 30), body(Face::Sans, 16);
    drawText(c, title, "Hall of Fame!", 236, 38, Align::Center, titleStyle(rgb(255, 246, 170), rgb(255, 150, 0), rgb(140, 60, 0)));
    drawText(c, body, "Your score made the list.", 236, 92, Align::Center, plainStyle(rgb(110, 56, 0)));
    Rng rng(3);
    const Vec spots[] = {{140, 22}, {352, 24}, {160, 140}, {340, 136}, {300, 128}, {128, 60}};
    for (Vec s : spots) drawSparkle(c, s, rng.range(5, 9), rgb(255, 255, 255));
    return c;
}

Canvas makeBanner()
{
    Canvas c(356, 64);
    Color red = rgb(226, 46, 60), dark = rgb(140, 16, 34);
    for (int side = 0; side < 2; side++) {
        float x0 = side ? 290.0f : 2.0f;
        std::vector<Vec> tail = side ? std::vector<Vec>{{x0, 18}, {x0 + 64, 18}, {x0 + 50, 38}, {x0 + 64, 58}, {x0, 58}}
                                     : std::vector<Vec>{{x0, 18}, {x0 + 64, 18}, {x0 + 64, 58}, {x0, 58}, {x0 + 14, 38}};
        c.fill({x0 - 2, 16, x0 + 66, 60}, [&](Vec p) { return sdPolygon(p, tail); }, dark);
    }
    c.fill({20, 0, 336, 52}, [](Vec p) { return sdRoundBox(p, 24, 2, 308, 46, 6); }, dark);
    c.fill({20, 0, 336, 52}, [](Vec p) { return sdRoundBox(p, 26, 4, 304, 42, 5); },
           [&](Vec p) { return mix(lighten(red, 0.2f), red, p.y / 46); });
    Font f(Face::CondensedBold, 28);
    drawText(c, f, "CONGRATULATIONS!", 178, 8, Align::Center, titleStyle(rgb(255, 255, 255), rgb(255, 236, 160), dark));
    return c;
}

void drawBunch(Canvas& c, Vec knot, float s, int first, Rng& rng)
{
    const Vec offs[] = {{-22, -70}, {6, -84}, {30, -66}, {-8, -52}, {18, -44}};
    for (int i = 0; i < 5; i++) {
        Vec o{knot.x + offs[i].x * s / 1.4f - 16 * s, knot.y + offs[i].y * s / 1.4f - 10 * s};
        Vec bottom{o.x + 16 * s, o.y + 40 * s};
        c.fill({std::min(bottom.x, knot.x) - 2, bottom.y - 2, std::max(bottom.x, knot.x) + 2, knot.y + 2},
               [&](Vec p) { return sdSegment(p, bottom, knot, 0.8f); }, rgb(70, 76, 100));
        drawBalloon(c, o, s, (first + i) % kColours, rng.below(3) == 0);
    }
}

Canvas makeClearedBlinker(int frame)
{
    Canvas c(576, 280);
    Rng rng(20 + frame);
    for (int i = 0; i < 40; i++) {
        Vec p{rng.range(10, 566), rng.range(8, 272)};
        const BalloonLook& look = balloonLook(rng.below(kColours));
        if (i % 3 == 0) drawSparkle(c, p, rng.range(5, 10), rgb(255, 255, 255));
        else c.fill({p.x - 5, p.y - 5, p.x + 5, p.y + 5}, [&](Vec q) { return sdRoundBox(q, p.x - 3, p.y - 2, 6, 4, 1); }, look.base);
    }
    Rng bunchRng(9);
    drawBunch(c, {62, 266}, 1.3f, frame, bunchRng);
    drawBunch(c, {514, 266}, 1.3f, frame + 2, bunchRng);
    Font big(Face::SansBold, 50), mid(Face::SansBold, 19);
    TextStyle title = frame == 0 ? titleStyle(rgb(255, 250, 170), rgb(255, 150, 0), inkColor())
                                 : titleStyle(rgb(255, 255, 255), rgb(255, 190, 220), rgb(150, 20, 90));
    title.outlineWidth = 3.2f;
    drawText(c, big, "BOARD", 288, 40, Align::Center, title);
    drawText(c, big, "CLEARED!", 288, 98, Align::Center, title);
    TextStyle line = titleStyle(rgb(255, 255, 255), rgb(230, 240, 255), inkColor());
    line.outlineWidth = 2.2f;
    drawText(c, mid, "+500,000 points", 288, 180, Align::Center, line);
    drawText(c, mid, "+1,000 for every second left", 288, 208, Align::Center, line);
    return c;
}

Canvas makeFooter()
{
    Canvas c(232, 48);
    drawCard(c, {2, 4, 230, 44}, 18, rgb(255, 255, 255), rgb(220, 236, 255), inkColor());
    Font f(Face::CondensedBold, 18);
    drawText(c, f, "Click to continue", 116, 13, Align::Center, plainStyle(inkColor()));
    return c;
}

// An airplane flying left, towing a banner that flutters from frame to frame.
Canvas makeAirplaneFrame(int frame)
{
    Canvas c(326, 106);
    float phase = frame * float(M_PI) / 2;
    // Banner, drawn flat and then waved column by column.
    Canvas flat(184, 62);
    flat.fill({0, 0, 184, 62}, [](Vec p) { return sdRoundBox(p, 0, 0, 184, 62, 3); }, rgb(200, 40, 50));
    flat.fill({0, 0, 184, 62}, [](Vec p) { return sdRoundBox(p, 3, 3, 178, 56, 2); }, rgb(255, 250, 232));
    Font f(Face::SansBold, 34);
    drawText(flat, f, "ZORBIT", 92, 9, Align::Center, titleStyle(rgb(255, 90, 90), rgb(210, 30, 50), rgb(120, 10, 30)));
    Canvas banner(184, 74);
    for (int x = 0; x < 184; x++) {
        int shift = int(std::lround(5 + 4 * std::sin(x * 0.06f - phase)));
        banner.draw(flat.crop(x, 0, 1, 62), x, shift);
    }
    float ropeY0 = 50, ropeY1 = 24 + 5 + 4 * std::sin(-phase);
    c.fill({118, 20, 142, 60}, [&](Vec p) {
        return opUnion(sdSegment(p, {120, ropeY0}, {140, ropeY1}, 0.8f), sdSegment(p, {120, ropeY0}, {140, ropeY1 + 52}, 0.8f));
    }, rgb(90, 80, 70));
    c.draw(banner, 140, 18);
    // Plane: tail, body, wings, pilot, propeller.
    Color body = rgb(236, 60, 60), bodyDark = rgb(140, 20, 30), wing = rgb(255, 206, 40), wingDark = rgb(170, 100, 0);
    Box all{0, 0, 140, 106};
    std::vector<Vec> fin{{96, 48}, {110, 18}, {122, 20}, {122, 52}};
    c.fill(all, [&](Vec p) { return sdPolygon(p, fin); }, bodyDark);
    c.fill(all, [&](Vec p) { return sdPolygon(p, fin) + 1.5f; }, body);
    auto hull = [](Vec p) {
        float t = clamp01((p.x - 20) / 104);
        return sdRoundBox(Vec{p.x, 52 + (p.y - 52) / (1.0f - 0.45f * t)}, 14, 38, 110, 28, 13);
    };
    c.fill(all, hull, bodyDark);
    c.fill(all, [&](Vec p) { return hull(p) + 1.5f; }, [&](Vec p) { return mix(lighten(body, 0.3f), body, clamp01((p.y - 38) / 26)); });
    c.fill(all, [](Vec p) { return sdRoundBox(p, 30, 42, 74, 5, 2.5f); }, rgb(255, 255, 255));
    c.fill(all, [](Vec p) { return sdCircle(p, {62, 34}, 8); }, rgb(255, 216, 180));
    c.fill(all, [](Vec p) { return opIntersect(sdCircle(p, {62, 33}, 8.5f), p.y - 32); }, rgb(120, 70, 30));
    c.fill(all, [](Vec p) { return sdRoundBox(p, 53, 31, 8, 4, 2); }, rgb(60, 160, 220));
    c.fill(all, [](Vec p) { return sdSegment(p, {70, 38}, {84, 34 + 2 * std::sin(p.x * 0.5f)}, 2.0f); }, rgb(255, 255, 255));
    for (float x : {40.0f, 78.0f})
        c.fill(all, [&](Vec p) { return sdSegment(p, {x, 22}, {x + 4, 62}, 1.3f); }, rgb(90, 70, 60));
    c.fill(all, [](Vec p) { return sdRoundBox(p, 24, 16, 76, 9, 4.5f); }, wingDark);
    c.fill(all, [](Vec p) { return sdRoundBox(p, 25.5f, 17.5f, 73, 6, 3); }, wing);
    c.fill(all, [](Vec p) { return sdRoundBox(p, 28, 60, 72, 9, 4.5f); }, wingDark);
    c.fill(all, [](Vec p) { return sdRoundBox(p, 29.5f, 61.5f, 69, 6, 3); }, wing);
    for (float x : {34.0f, 92.0f})
        c.fill(all, [&](Vec p) { return sdCircle(p, {x, 80}, 6); }, rgb(50, 50, 60));
    c.fill(all, [](Vec p) { return opUnion(sdSegment(p, {40, 64}, {34, 80}, 1.3f), sdSegment(p, {88, 64}, {92, 80}, 1.3f)); }, rgb(90, 70, 60));
    c.fill(all, [](Vec p) { return sdCircle(p, {12, 52}, 6); }, rgb(80, 80, 90));
    float blade = 34 * std::fabs(std::cos(phase / 2 + 0.4f)) + 6;
    c.fill(all, [&](Vec p) { return sdEllipse(p, {8, 52}, 2.5f, blade / 2); }, rgb(90, 90, 100));
    c.fill(all, [](Vec p) { return sdCircle(p, {8, 52}, 3); }, rgb(255, 206, 40));
    return c;
}

Canvas stack(const std::vector<Canvas>& frames)
{
    Canvas out(frames[0].width(), frames[0].height() * int(frames.size()));
    for (size_t i = 0; i < frames.size(); i++) out.draw(frames[i], 0, int(i) * frames[0].height());
    return out;
}

// The pause page: the board's window as it is empty, so nothing of the board shows, with a
// card that says what is going on and how to go on.
Canvas makePausePage()
{
    Canvas c = makeBackground().crop(kBoardWindow.x, kBoardWindow.y, kBoardWindow.width, kBoardWindow.height);
    const float w = 380, h = 190, x0 = (c.width() - w) / 2, y0 = 150;
    drawCard(c, {x0, y0, x0 + w, y0 + h}, 18, rgb(255, 255, 255), rgb(214, 236, 255), inkColor());
    Font title(Face::SansBold, 40), sub(Face::CondensedBold, 18), small(Face::Sans, 14);
    drawText(c, title, "Paused", c.width() / 2.0f, y0 + 22, Align::Center,
             titleStyle(rgb(255, 255, 255), rgb(190, 222, 255), inkColor()));
    for (int i = 0; i < kColours; i++) drawBalloon(c, {x0 + 112 + i * 32.0f, y0 + 80}, 0.8f, i, false);
    drawText(c, sub, "The clock waits for you", c.width() / 2.0f, y0 + 118, Align::Center, plainStyle(inkColor()));
    drawText(c, small, "Press any key or click to play on", c.width() / 2.0f, y0 + 150, Align::Center,
             plainStyle(rgb(70, 100, 150)));
    return c;
}

} // namespace

// The game-over panels leave after two seconds on their own; a click only hurries them. The
// congratulations stay until a click, so their footer keeps asking for one.
const char* const kGameOverHint = "Click or wait to continue";

void addNoticePictures(std::vector<Picture>& out)
{
    out.push_back({"GameOverNMM.bmp", makeGameOver(false)});
    out.push_back({"GameOverOOT.bmp", makeGameOver(true)});
    out.push_back({"hallfamepop.bmp", makeHallOfFame()});
    out.push_back({"congrats1.bmp", makeBanner()});
    out.push_back({"congrats2.bmp", makeClearedBlinker(0)});
    out.push_back({"congrats3.bmp", makeClearedBlinker(1)});
    out.push_back({"congrats4.bmp", makeFooter()});
    out.push_back({"paused.bmp", makePausePage()});
    out.push_back({"airplane.bmp", stack({makeAirplaneFrame(0), makeAirplaneFrame(1), makeAirplaneFrame(2), makeAirplaneFrame(3)})});
}

} // namespace gen
