// The hall-of-fame screen and the pop preview: the card the table is written on, the bar
// that marks the current player's rows, the label plate, and the small font both write with.
#include "art.h"
#include "rng.h"

#include <string>

namespace gen {

namespace {

TextStyle inkStyle(Color c)
{
    TextStyle st;
    st.top = st.bottom = c;
    return st;
}

// One code point as UTF-8 (the font covers 32..255).
std::string utf8(int cp)
{
    std::string s;
    if (cp < 0x80) {
        s += char(cp);
    } else {
        s += char(0xC0 | (cp >> 6));
        s += char(0x80 | (cp & 0x3F));
    }
    return s;
}

Canvas makeHallCard()
{
    Canvas c(kHallCard.width, kHallCard.height);
    drawCard(c, {0, 0, float(c.width()), float(c.height())}, 20, rgb(255, 250, 222), rgb(255, 222, 140), rgb(176, 100, 0));
    Font title(Face::SansBold, 30), head(Face::CondensedBold, 15), footer(Face::CondensedBold, 15);
    TextStyle tst;
    tst.top = rgb(255, 246, 170);
    tst.bottom = rgb(255, 150, 0);
    tst.outline = rgb(140, 60, 0);
    tst.outlineWidth = 2.4f;
    tst.shadow = rgb(20, 30, 70, 0.4f);
    tst.shadowDy = 3;
    drawText(c, title, "Hall of Fame", c.width() / 2.0f, 12, Align::Center, tst);
    drawStar(c, {60, 32}, 14, rgb(190, 90, 0));
    drawStar(c, {float(c.width() - 60), 32}, 14, rgb(190, 90, 0));
    const Color brown = rgb(140, 70, 0);
    drawText(c, head, "RANK", float(kHallCard.rankRight), float(kHallCard.firstRow - 22), Align::Right, inkStyle(brown));
    drawText(c, head, "SCORE", float(kHallCard.scoreRight), float(kHallCard.firstRow - 22), Align::Right, inkStyle(brown));
    drawText(c, head, "PLAYER", float(kHallCard.nameLeft), float(kHallCard.firstRow - 22), Align::Left, inkStyle(brown));
    for (int i = 0; i < 20; i++) {
        float y = float(kHallCard.firstRow + i * kHallCard.rowHeight);
        Color stripe = i % 2 ? rgb(255, 255, 255, 0.35f) : rgb(255, 255, 255, 0.7f);
        c.fill({18, y, float(c.width() - 18), y + kHallCard.rowHeight},
               [&](Vec p) { return sdRoundBox(p, 20, y + 1, float(c.width() - 40), float(kHallCard.rowHeight - 2), 6); }, stripe);
    }
    drawText(c, footer, "Click, Esc or F2 to return to the game", c.width() / 2.0f, float(c.height() - 30), Align::Center,
             inkStyle(inkColor()));
    return c;
}

// Under the current player's rows: a warm bar with a star at its left end.
Canvas makeHallMark()
{
    Canvas c(kHallCard.width - 40, kHallCard.rowHeight - 2);
    float w = float(c.width()), h = float(c.height());
    c.fill({0, 0, w, h}, [&](Vec p) { return sdRoundBox(p, 0, 0, w, h, 6); }, rgb(210, 120, 0));
    c.fill({0, 0, w, h}, [&](Vec p) { return sdRoundBox(p, 1.5f, 1.5f, w - 3, h - 3, 5); },
           [&](Vec p) { return mix(rgb(255, 236, 140), rgb(255, 200, 80), p.y / h); });
    drawStar(c, {11, h / 2}, 7, rgb(190, 90, 0));
    return c;
}

Canvas makePreviewPlate()
{
    Canvas c(kPreviewPlate.width, kPreviewPlate.height);
    float w = float(c.width()), h = float(c.height());
    c.fill({0, 0, w, h}, [&](Vec p) { return sdRoundBox(p, 0.5f, 0.5f, w - 1, h - 1, 8); }, inkColor());
    c.fill({0, 0, w, h}, [&](Vec p) { return sdRoundBox(p, 2, 2, w - 4, h - 4, 6.5f); },
           [&](Vec p) { return mix(rgb(255, 255, 255), rgb(222, 238, 255), p.y / h); });
    return c;
}

// Glyphs 32..255 in cells side by side. Row 0 of a cell is the glyph's advance drawn as a
// line of that many pixels, so the game can set the text proportionally; the glyph below.
Canvas makeSmallFont()
{
    const int cell = kSmallFont.cellWidth, rows = kSmallFont.height;
    Canvas c(cell * 224, rows + 1);
    Font f(Face::SansBold, 13);
    for (int cp = 32; cp < 256; cp++) {
        int x0 = (cp - 32) * cell;
        std::string g = cp >= 0x7F && cp < 0xA0 ? std::string("?") : utf8(cp);
        int advance = std::min(cell, std::max(1, f.measure(g) + 1));
        for (int x = 0; x < advance; x++) c.set(x0 + x, 0, rgb(255, 255, 255));
        Canvas glyph(cell, rows);
        drawText(glyph, f, g, 0, 0, Align::Left, inkStyle(inkColor()));
        c.draw(glyph, x0, 1);
    }
    return c;
}

} // namespace

void addHallPictures(std::vector<Picture>& out)
{
    out.push_back({"halloffame.bmp", makeHallCard()});
    out.push_back({"hallmark.bmp", makeHallMark()});
    out.push_back({"preview.bmp", makePreviewPlate()});
    out.push_back({"smallfont.bmp", makeSmallFont()});
}

} // namespace gen
