// The board's balloons, the burst, the big balloons, the multiplier icons and the score tiles.
#include "art.h"

#include <string>

namespace gen {

namespace {

Canvas makeBurst()
{
    Canvas c(32, 40);
    Vec m{16, 16};
    std::vector<Vec> spikes;
    for (int i = 0; i < 24; i++) {
        float r = (i % 2 == 0) ? (i % 4 == 0 ? 15.5f : 12.5f) : 6.5f;
        float a = float(M_PI) * i / 12 + 0.13f;
        spikes.push_back({m.x + r * std::cos(a), m.y + r * std::sin(a)});
    }
    Box box{0, 0, 32, 34};
    c.fill(box, [&](Vec p) { return sdPolygon(p, spikes); }, rgb(236, 104, 20));
    c.fill(box, [&](Vec p) { return sdPolygon(p, spikes) + 1.6f; }, [&](Vec p) {
        return mix(rgb(255, 255, 236), rgb(255, 196, 40), smoothstep(1.0f, 12.0f, length(p - m)));
    });
    // Scraps of rubber flying off.
    const Vec bits[] = {{4, 34}, {27, 35}, {16, 37}};
    for (Vec b : bits) c.fill({b.x - 3, b.y - 3, b.x + 3, b.y + 3}, [&](Vec p) { return sdCircle(p, b, 1.6f); }, rgb(150, 150, 170));
    return c;
}

Canvas makeBigBalloon(int colour)
{
    // Shown over the board's centre when a colour has been cleared.
    Canvas c(164, 214);
    drawBalloon(c, {1, 1}, 5.1f, colour, false, false);
    drawMark(c, colour, {84, 60}, 13, balloonLook(colour).mark);
    Font f(Face::SansBold, 19);
    TextStyle st;
    st.outline = balloonLook(colour).dark;
    st.outlineWidth = 2.2f;
    drawText(c, f, "+100,000", 84, 88, Align::Center, st);
    drawText(c, f, "+30 sec", 84, 112, Align::Center, st);
    return c;
}

Canvas makeMultiplier(int n)
{
    Canvas c(42, 30);
    Box b{1, 1, 41, 29};
    c.fill(b, [&](Vec p) { return sdRoundBox(p, 1, 1, 40, 28, 10); }, rgb(190, 70, 0));
    c.fill(b, [&](Vec p) { return sdRoundBox(p, 2.5f, 2.5f, 37, 25, 8.5f); }, [&](Vec p) {
        return mix(rgb(255, 244, 140), rgb(255, 160, 0), clamp01((p.y - 2) / 26));
    });
    Font f(Face::SansBold, 19);
    TextStyle st;
    st.outline = rgb(170, 50, 0);
    st.outlineWidth = 1.6f;
    drawText(c, f, "\xC3\x97" + std::to_string(n), 21, 3, Align::Center, st);
    return c;
}

// Five colour columns, one row per points value from 5,100 down to 100.
Canvas makeScoreTiles()
{
    const int tw = 34, th = 21, rows = 51;
    Canvas c(tw * kColours, th * rows);
    Font f(Face::CondensedBold, 13);
    for (int row = 0; row < rows; row++) {
        std::string text = std::to_string((rows - row) * 100);
        for (int col = 0; col < kColours; col++) {
            const BalloonLook& look = balloonLook(col);
            Canvas tile(tw, th);
            TextStyle st;
            st.top = lighten(look.base, 0.35f);
            st.bottom = look.base;
            st.outline = look.dark;
            st.outlineWidth = 1.3f;
            drawText(tile, f, text, tw / 2.0f, 2, Align::Center, st);
            c.draw(tile, col * tw, row * th);
        }
    }
    return c;
}

// The keyboard's cell cursor: a bright ring with the art's ink edge around one balloon,
// clear inside so the balloon and its mark stay readable.
Canvas makeCursorRing()
{
    Canvas c(32, 40);
    Box box{0, 0, 32, 40};
    const Vec centre{16, 18};
    auto ring = [&](Vec p) { return std::fabs(sdEllipse(p, centre, 13.4f, 16.6f)); };
    c.fill(box, [&](Vec p) { return ring(p) - 3.2f; }, inkColor());
    // White fading to a pale cyan: unlike the stars' gold, on every balloon colour.
    c.fill(box, [&](Vec p) { return ring(p) - 1.9f; }, [&](Vec p) {
        return mix(rgb(255, 255, 255), rgb(150, 240, 255), clamp01((p.y - 2) / 34));
    });
    return c;
}

} // namespace

void addBalloonPictures(std::vector<Picture>& out)
{
    for (int colour = 0; colour < kColours; colour++) {
        std::string stem = balloonLook(colour).name;
        Canvas plain(32, 40), star(32, 40);
        drawBalloon(plain, {0, 0}, 1.0f, colour, false);
        drawBalloon(star, {0, 0}, 1.0f, colour, true);
        out.push_back({stem + ".bmp", std::move(plain)});
        out.push_back({stem + "star.bmp", std::move(star)});
        out.push_back({"big" + stem + ".bmp", makeBigBalloon(colour)});
    }
    out.push_back({"pop.bmp", makeBurst()});
    // The game asks for x2, x4 and x6 by the stars a group holds (one, two, three); the
    // badges show what it then pays: each star adds twice the group's points.
    for (int stars = 1; stars <= 3; stars++)
        out.push_back({"x" + std::to_string(2 * stars) + ".bmp", makeMultiplier(1 + 2 * stars)});
    out.push_back({"score.bmp", makeScoreTiles()});
    out.push_back({"cursor.bmp", makeCursorRing()});
}

} // namespace gen
