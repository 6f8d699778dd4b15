// The rules page shown by the "help" button: each rule in words with a small picture.
#include "art.h"

#include <string>

namespace gen {

namespace {

void drawArrowCursor(Canvas& c, Vec tip)
{
    std::vector<Vec> pts{{0, 0}, {0, 17}, {4.5f, 13}, {8, 20}, {11, 18.5f}, {7.5f, 12}, {13, 12}};
    for (Vec& p : pts) p = p + tip;
    Box box{tip.x - 2, tip.y - 2, tip.x + 16, tip.y + 23};
    c.fill(box, [&](Vec p) { return sdPolygon(p, pts) - 1.2f; }, rgb(20, 20, 30));
    c.fill(box, [&](Vec p) { return sdPolygon(p, pts) + 0.3f; }, rgb(255, 255, 255));
}

void drawUpArrow(Canvas& c, Vec m, Color col)
{
    std::vector<Vec> pts{{m.x, m.y - 12}, {m.x + 9, m.y - 2}, {m.x + 3.5f, m.y - 2}, {m.x + 3.5f, m.y + 12},
                         {m.x - 3.5f, m.y + 12}, {m.x - 3.5f, m.y - 2}, {m.x - 9, m.y - 2}};
    c.fill({m.x - 10, m.y - 13, m.x + 10, m.y + 13}, [&](Vec p) { return sdPolygon(p, pts); }, col);
}

// Each icon sits in a 100 x 56 box with its top-left at o.
void iconPop(Canvas& c, Vec o)
{
    drawBalloon(c, {o.x + 14, o.y + 0}, 0.7f, 0, false);
    drawBalloon(c, {o.x + 37, o.y + 0}, 0.7f, 0, false);
    drawBalloon(c, {o.x + 37, o.y + 28}, 0.7f, 0, false);
    drawBalloon(c, {o.x + 60, o.y + 0}, 0.7f, 3, false);
    drawBalloon(c, {o.x + 60, o.y + 28}, 0.7f, 1, false);
    drawArrowCursor(c, {o.x + 26, o.y + 14});
}

void iconFloat(Canvas& c, Vec o)
{
    drawBalloon(c, {o.x + 18, o.y + 0}, 0.7f, 2, false);
    c.stroke({o.x + 18, o.y + 28, o.x + 41, o.y + 56}, [&](Vec p) { return sdRoundBox(p, o.x + 19, o.y + 29, 21, 26, 4); }, 1.2f,
             rgb(120, 150, 200));
    drawBalloon(c, {o.x + 56, o.y + 28}, 0.7f, 4, false);
    drawUpArrow(c, {o.x + 82, o.y + 26}, rgb(60, 170, 80));
}

void iconBlow(Canvas& c, Vec o)
{
    c.draw(makeCloudButtonFrame(66, 2).shrink(1), int(o.x - 4), int(o.y + 8));
    drawBalloon(c, {o.x + 60, o.y + 6}, 0.7f, 1, false);
    drawBalloon(c, {o.x + 80, o.y + 6}, 0.7f, 4, false);
}

void iconStar(Canvas& c, Vec o)
{
    drawBalloon(c, {o.x + 16, o.y + 2}, 1.25f, 4, true);
    Canvas badge(42, 30);
    badge.fill({0, 0, 42, 30}, [](Vec p) { return sdRoundBox(p, 1, 1, 40, 28, 10); }, rgb(190, 70, 0));
    badge.fill({0, 0, 42, 30}, [](Vec p) { return sdRoundBox(p, 2.5f, 2.5f, 37, 25, 8.5f); }, rgb(255, 206, 60));
    Font f(Face::SansBold, 19);
    TextStyle st;
    st.outline = rgb(170, 50, 0);
    st.outlineWidth = 1.6f;
    drawText(badge, f, "\xC3\x97" "3", 21, 3, Align::Center, st);
    c.draw(badge, int(o.x + 58), int(o.y + 10));
}

void iconColour(Canvas& c, Vec o)
{
    drawBalloon(c, {o.x + 32, o.y - 1}, 1.4f, 3, false);
    drawSparkle(c, {o.x + 22, o.y + 14}, 6, rgb(255, 210, 40));
    drawSparkle(c, {o.x + 88, o.y + 30}, 7, rgb(255, 210, 40));
}

void iconBoard(Canvas& c, Vec o)
{
    c.fill({o.x + 8, o.y, o.x + 92, o.y + 56}, [&](Vec p) { return sdRoundBox(p, o.x + 10, o.y + 2, 80, 52, 6); }, rgb(120, 150, 200));
    c.fill({o.x + 8, o.y, o.x + 92, o.y + 56}, [&](Vec p) { return sdRoundBox(p, o.x + 11.5f, o.y + 3.5f, 77, 49, 5); },
           [&](Vec p) { return mix(rgb(150, 206, 250), rgb(226, 244, 255), (p.y - o.y) / 56); });
    drawSparkle(c, {o.x + 34, o.y + 22}, 10, rgb(255, 255, 255));
    drawSparkle(c, {o.x + 64, o.y + 34}, 8, rgb(255, 230, 120));
    drawSparkle(c, {o.x + 70, o.y + 14}, 5, rgb(255, 255, 255));
}

void iconClock(Canvas& c, Vec o) { c.draw(makeTimerFrame(14).shrink(2), int(o.x + 28), int(o.y + 6)); }

struct Rule {
    HelpRule words;
    void (*icon)(Canvas&, Vec);
};

// The round's length is a setting, so the page names no number of seconds for it.
const Rule kRules[] = {
    {{"Pop a group", "Click a balloon to pop it with every touching balloon of its colour (two or more). "
                    "They burst one by one: 100 points, then 200, 300 and so on."}, iconPop},
    {{"Balloons float up", "Balloons below a gap rise to fill it, bringing new neighbours together."}, iconFloat},
    {{"Blow a row", "Click a cloud to blow its row across the board, or right-click a row to blow it. "
                   "The balloons slide together and float up."}, iconBlow},
    {{"Star balloons", "Each star balloon in a group adds twice the group's points again: "
                      "\xC3\x97" "3 for one star, \xC3\x97" "5 for two, \xC3\x97" "7 for three."}, iconStar},
    {{"Clear a colour", "Pop the last balloon of a colour for 100,000 points and 30 extra seconds."}, iconColour},
    {{"Clear the board", "Pop every balloon: 500,000 points, plus 1,000 for every second left."}, iconBoard},
    {{"Watch the clock", "The clock shows the time left in the round. The round ends when the time runs out "
                        "or no move is left."}, iconClock},
};

} // namespace

std::vector<HelpRule> helpRules()
{
    std::vector<HelpRule> out;
    for (const Rule& r : kRules) out.push_back(r.words);
    return out;
}

namespace {

// The keys and buttons, in the rules' own hand: keyboard, gamepad (empty: none), what it does.
struct Control {
    const char* keys;
    const char* pad;
    const char* does;
};

const Control kPlayControls[] = {
    {"\xE2\x86\x90 \xE2\x86\x91 \xE2\x86\x92 \xE2\x86\x93", "d-pad, stick", "move the ring"},
    {"Space, Return", "A", "pop the ring's group"},
    {"Shift+\xE2\x86\x90 \xE2\x86\x92", "shoulders", "blow the ring's row"},
    {"N", "Start", "new game"},
    {"H", "Back", "these rules"},
};

const Control kGameControls[] = {
    {"P", "", "pause"},
    {"M, S", "", "music, sounds on or off"},
    {"F1", "", "frame rate"},
    {"F2", "", "hall of fame"},
    {"Escape", "", "quit"},
};

// Two tables side by side: the board's controls with their gamepad buttons, then the
// game's own keys.
void drawControls(Canvas& c, float y, const Font& heading, const Font& key, const Font& body)
{
    c.fill({18, y - 2, 622, y + 98}, [&](Vec p) { return sdRoundBox(p, 18, y - 2, 604, 100, 10); }, rgb(255, 255, 255, 0.55f));
    TextStyle head;
    head.top = head.bottom = rgb(200, 60, 30);
    TextStyle keyInk;
    keyInk.top = keyInk.bottom = rgb(30, 70, 150);
    TextStyle ink;
    ink.top = ink.bottom = inkColor();
    drawText(c, heading, "Keyboard", 30, y + 1, Align::Left, head);
    drawText(c, heading, "Gamepad", 146, y + 1, Align::Left, head);
    drawText(c, heading, "More keys", 412, y + 1, Align::Left, head);
    const float row = 15;
    float at = y + 20;
    for (const Control& k : kPlayControls) {
        drawText(c, key, k.keys, 30, at, Align::Left, keyInk);
        drawText(c, key, k.pad, 146, at, Align::Left, keyInk);
        drawText(c, body, k.does, 236, at, Align::Left, ink);
        at += row;
    }
    at = y + 20;
    for (const Control& k : kGameControls) {
        drawText(c, key, k.keys, 412, at, Align::Left, keyInk);
        drawText(c, body, k.does, 462, at, Align::Left, ink);
        at += row;
    }
}

} // namespace

void addHelpPicture(std::vector<Picture>& out)
{
    const int width = 640, height = 592;
    Canvas c(width, height);
    drawCard(c, {0, 0, float(width), float(height)}, 20, rgb(240, 249, 255), rgb(204, 230, 255), inkColor());
    Font title(Face::SansBold, 30), heading(Face::SansBold, 15), body(Face::Sans, 13), footer(Face::CondensedBold, 15),
        key(Face::CondensedBold, 13);
    TextStyle tst;
    tst.top = rgb(255, 236, 120);
    tst.bottom = rgb(255, 150, 20);
    tst.outline = inkColor();
    tst.outlineWidth = 2.4f;
    tst.shadow = rgb(20, 30, 70, 0.4f);
    tst.shadowDy = 3;
    drawText(c, title, "How to play Zorbit", 320, 10, Align::Center, tst);
    TextStyle head;
    head.top = head.bottom = rgb(200, 60, 30);
    TextStyle ink;
    ink.top = ink.bottom = inkColor();
    float y = 56;
    for (const Rule& r : kRules) {
        c.fill({18, y - 2, 622, y + 56}, [&](Vec p) { return sdRoundBox(p, 18, y - 2, 604, 56, 10); }, rgb(255, 255, 255, 0.55f));
        r.icon(c, {24, y - 1});
        drawText(c, heading, r.words.heading, 136, y + 1, Align::Left, head);
        drawParagraph(c, body, r.words.text, 136, y + 19, 474, -1, ink);
        y += 58;
    }
    drawControls(c, y + 2, heading, key, body);
    drawText(c, footer, "Click the page to return to the game", 320, float(height) - 24, Align::Center, ink);
    out.push_back({"title/HowToPlay.bmp", std::move(c)});
}

} // namespace gen
