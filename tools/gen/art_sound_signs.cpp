// The small signs on the side panel that say the music (frame 0) or the effects (frame 1)
// were switched off with M or S: a round badge with a note or a loudspeaker, struck through.
#include "art.h"

namespace gen {

namespace {

constexpr int kSize = 34;

void drawNote(Canvas& c, Vec o)
{
    Color ink = inkColor();
    Box box{o.x, o.y, o.x + kSize, o.y + kSize};
    // Two quavers joined by a beam.
    for (float dx : {0.0f, 10.0f}) {
        c.fill(box, [&](Vec p) { return sdEllipse(p, {o.x + 11.5f + dx, o.y + 23.5f}, 3.6f, 2.8f); }, ink);
        c.fill(box, [&](Vec p) { return sdSegment(p, {o.x + 14.4f + dx, o.y + 23}, {o.x + 14.4f + dx, o.y + 10.5f}, 0.9f); }, ink);
    }
    std::vector<Vec> beam{{o.x + 13.5f, o.y + 9}, {o.x + 25.3f, o.y + 7}, {o.x + 25.3f, o.y + 10.6f}, {o.x + 13.5f, o.y + 12.6f}};
    c.fill(box, [&](Vec p) { return sdPolygon(p, beam); }, ink);
}

void drawSpeaker(Canvas& c, Vec o)
{
    Color ink = inkColor();
    Box box{o.x, o.y, o.x + kSize, o.y + kSize};
    std::vector<Vec> cone{{o.x + 8, o.y + 13.5f}, {o.x + 12.5f, o.y + 13.5f}, {o.x + 18.5f, o.y + 8},
                          {o.x + 18.5f, o.y + 26}, {o.x + 12.5f, o.y + 20.5f}, {o.x + 8, o.y + 20.5f}};
    c.fill(box, [&](Vec p) { return sdPolygon(p, cone) - 0.4f; }, ink);
    // Two arcs of sound.
    Vec m{o.x + 18.5f, o.y + 17};
    for (float r : {4.5f, 8.5f})
        c.fill(box, [&](Vec p) {
            float ring = std::fabs(sdCircle(p, m, r)) - 0.9f;
            return opIntersect(ring, -(p.x - m.x - 1.5f));
        }, ink);
}

Canvas makeSign(bool music)
{
    Canvas c(kSize, kSize);
    Vec m{kSize / 2.0f, kSize / 2.0f};
    Box box{0, 0, float(kSize), float(kSize)};
    c.fill(box, [&](Vec p) { return sdCircle(p, m, 16.3f); }, inkColor());
    c.fill(box, [&](Vec p) { return sdCircle(p, m, 14.6f); },
           [&](Vec p) { return mix(rgb(255, 255, 255), rgb(214, 226, 240), clamp01((p.y - 2) / 30)); });
    if (music) drawNote(c, {0, 0});
    else drawSpeaker(c, {0, 0});
    // The strike: red with a white edge, so it reads over the dark glyph.
    Vec a{7.5f, 26.5f}, b{26.5f, 7.5f};
    c.fill(box, [&](Vec p) { return sdSegment(p, a, b, 3.0f); }, rgb(255, 255, 255));
    c.fill(box, [&](Vec p) { return sdSegment(p, a, b, 1.8f); }, rgb(226, 44, 52));
    return c;
}

} // namespace

void addSoundSignPictures(std::vector<Picture>& out)
{
    Canvas strip(kSize * 2, kSize);
    strip.draw(makeSign(true), 0, 0);
    strip.draw(makeSign(false), kSize, 0);
    out.push_back({"soundoff.bmp", strip});
}

} // namespace gen
