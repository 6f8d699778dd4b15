// Review pictures for the developers: the contact sheet and a mock-up of the start screen.
#include "datagen.h"
#include "rng.h"

#include <string>

namespace gen {

namespace {

// A picture as the game will show it: quantised to 16-bit colour, key pixels transparent.
Canvas gameView(const Canvas& art)
{
    Image img = toGameImage(art);
    Canvas out(img.width, img.height);
    for (int y = 0; y < img.height; y++)
        for (int x = 0; x < img.width; x++) {
            const uint8_t* p = img.at(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 255) continue;
            out.set(x, y, rgb(p[0], p[1], p[2]));
        }
    return out;
}

const Picture* find(const std::vector<Picture>& all, const std::string& path)
{
    for (const Picture& p : all)
        if (p.path == path) return &p;
    return nullptr;
}

// Strips of frames are laid out side by side so that the sheet stays compact.
Canvas framesAcross(const Canvas& strip, int fw, int fh, const std::vector<int>& frames)
{
    int across = strip.width() / fw;
    Canvas out(int(frames.size()) * (fw + 6), fh);
    for (size_t i = 0; i < frames.size(); i++) {
        int f = frames[i];
        out.draw(strip.crop((f % across) * fw, (f / across) * fh, fw, fh), int(i) * (fw + 6), 0);
    }
    return out;
}

Canvas presentation(const Picture& p)
{
    Canvas view = gameView(p.art);
    if (p.path == "timer.bmp") return framesAcross(view, 84, 84, {0, 6, 12, 18, 24, 30, 36});
    if (p.path.rfind("CloudAnim", 0) == 0) return framesAcross(view, view.width(), 40, {0, 1, 2});
    if (p.path == "airplane.bmp") return framesAcross(view, 326, 106, {0, 1});
    if (p.path == "score.bmp") return view.crop(0, 0, view.width(), 21 * 10);
    if (p.path == "background.bmp" || p.path == "title/HowToPlay.bmp") return view.shrink(2);
    return view;
}

void checker(Canvas& c, int x, int y, int w, int h)
{
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            bool dark = ((i / 8) + (j / 8)) % 2;
            c.set(x + i, y + j, dark ? rgb(196, 200, 208) : rgb(232, 234, 238));
        }
}

} // namespace

Canvas makeContactSheet(const std::vector<Picture>& pictures)
{
    const int sheetWidth = 1400, gap = 14, labelHeight = 16;
    std::vector<Canvas> views;
    for (const Picture& p : pictures) views.push_back(presentation(p));
    // First pass: positions on shelves; second: drawing.
    std::vector<Vec> at;
    int x = gap, y = gap, shelf = 0;
    for (const Canvas& v : views) {
        int w = std::max(v.width(), 90);
        if (x + w > sheetWidth - gap) {
            x = gap;
            y += shelf + labelHeight + gap;
            shelf = 0;
        }
        at.push_back({float(x), float(y)});
        x += w + gap;
        shelf = std::max(shelf, v.height());
    }
    Canvas sheet(sheetWidth, y + shelf + labelHeight + gap, rgb(250, 250, 252));
    Font label(Face::Sans, 11);
    TextStyle ink;
    ink.top = ink.bottom = rgb(40, 40, 60);
    for (size_t i = 0; i < views.size(); i++) {
        int px = int(at[i].x), py = int(at[i].y);
        drawText(sheet, label, pictures[i].path, float(px), float(py), Align::Left, ink);
        checker(sheet, px, py + labelHeight, views[i].width(), views[i].height());
        sheet.draw(views[i], px, py + labelHeight);
    }
    return sheet;
}

Canvas makeStartMockup(const std::vector<Picture>& pictures)
{
    Canvas screen(800, 600, rgb(0, 0, 0));
    auto put = [&](const std::string& path, int x, int y, int fx, int fy, int fw, int fh) {
        const Picture* p = find(pictures, path);
        if (!p) return;
        Canvas v = gameView(p->art);
        if (fw <= 0) fw = v.width(), fh = v.height();
        screen.draw(v.crop(fx, fy, fw, fh), x, y);
    };
    put("background.bmp", 0, 0, 0, 0, 0, 0);
    for (int i = 0; i < 14; i++) {
        put("CloudAnimLeft.bmp", 88, 4 + 40 * i, 0, i == 5 ? 40 : 0, 66, 40);
        put("CloudAnimRight.bmp", 730, 4 + 40 * i, 0, 0, 70, 40);
    }
    put("newgame.bmp", 13, 375, 0, 0, 74, 40);
    put("exit.bmp", 12, 525, 0, 0, 74, 40);
    put("help.bmp", 12, 475, 74, 0, 74, 40);
    put("menu.bmp", 13, 425, 0, 0, 74, 40);
    Rng rng(7);
    int counts[kColours] = {}, stars[kColours] = {};
    for (int cell = 0; cell < 252; cell++) {
        int c = rng.below(kColours);
        while (counts[c] >= 51) c = rng.below(kColours);
        counts[c]++;
        bool star = (counts[c] % 12 == 0) && stars[c] < 3;
        stars[c] += star;
        std::string stem = balloonLook(c).name;
        int x = 154 + (cell % 18) * 32, y = 7 + (cell / 18) * 40;
        if (cell / 18 >= 12 && (cell % 18) > 9) continue; // a few popped, to show the sky
        put(stem + (star ? "star.bmp" : ".bmp"), x, y, 0, 0, 0, 0);
    }
    // As the game sets them: digits a cell apart, a comma a third of one.
    auto number = [&](const std::string& text, int right, int y) {
        const int cell = kScoreDigitWidth, comma = cell / 3;
        int x = right;
        for (char ch : text) x -= ch == ',' ? comma : cell;
        for (char ch : text) {
            put("scorefont.bmp", x, y, ch == ',' ? 10 * cell : (ch - '0') * cell, 0, cell, 16);
            x += ch == ',' ? comma : cell;
        }
    };
    number("1,834,500", 77, 57);
    number("12,600", 77, 99);
    number("1,800", 77, 153);
    put("timer.bmp", 2, 208, 0, 84 * 9, 84, 84);
    put("x2.bmp", 154 + 6 * 32, 7 + 3 * 40 - 20, 0, 0, 0, 0);
    put("score.bmp", 154 + 7 * 32, 7 + 5 * 40 - 10, 34 * 2, 21 * 48, 34, 21);
    return screen;
}

} // namespace gen
