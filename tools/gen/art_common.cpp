#include "art.h"

namespace gen {

namespace {

const BalloonLook kLooks[kColours] = {
    {"red", rgb(232, 52, 64), rgb(128, 18, 34), rgb(255, 160, 160), rgb(255, 236, 236)},
    {"yellow", rgb(252, 206, 36), rgb(176, 110, 0), rgb(255, 246, 170), rgb(160, 92, 0)},
    {"purple", rgb(156, 82, 214), rgb(72, 26, 120), rgb(222, 180, 255), rgb(250, 238, 255)},
    {"green", rgb(58, 186, 78), rgb(14, 96, 38), rgb(170, 240, 160), rgb(236, 255, 232)},
    {"blue", rgb(40, 124, 236), rgb(14, 52, 136), rgb(150, 204, 255), rgb(232, 244, 255)},
};

} // namespace

const BalloonLook& balloonLook(int colour) { return kLooks[colour]; }

Color skyTop() { return rgb(84, 168, 238); }
Color skyBottom() { return rgb(186, 228, 252); }
Color inkColor() { return rgb(30, 52, 110); }

void drawMark(Canvas& c, int colour, Vec m, float k, Color fill)
{
    Box box{m.x - k * 1.6f, m.y - k * 1.6f, m.x + k * 1.6f, m.y + k * 1.6f};
    switch (colour) {
    case 0: { // heart
        auto pts = heartPoints({m.x, m.y + k * 0.1f}, k * 1.05f);
        c.fill(box, [&](Vec p) { return sdPolygon(p, pts); }, fill);
        break;
    }
    case 1: // sun: a ring with a dot
        c.fill(box, [&](Vec p) {
            float ring = std::fabs(sdCircle(p, m, k * 0.8f)) - k * 0.25f;
            return opUnion(ring, sdCircle(p, m, k * 0.28f));
        }, fill);
        break;
    case 2: { // diamond
        std::vector<Vec> pts{{m.x, m.y - k * 1.2f}, {m.x + k * 0.85f, m.y}, {m.x, m.y + k * 1.2f}, {m.x - k * 0.85f, m.y}};
        c.fill(box, [&](Vec p) { return sdPolygon(p, pts); }, fill);
        break;
    }
    case 3: // clover cross
        c.fill(box, [&](Vec p) {
            return opUnion(sdRoundBox(p, m.x - k * 1.0f, m.y - k * 0.33f, k * 2.0f, k * 0.66f, k * 0.3f),
                           sdRoundBox(p, m.x - k * 0.33f, m.y - k * 1.0f, k * 0.66f, k * 2.0f, k * 0.3f));
        }, fill);
        break;
    default: // drop
        c.fill(box, [&](Vec p) {
            std::vector<Vec> tip{{m.x, m.y - k * 1.3f}, {m.x + k * 0.72f, m.y + k * 0.1f}, {m.x - k * 0.72f, m.y + k * 0.1f}};
            return opSmoothUnion(sdCircle(p, {m.x, m.y + k * 0.35f}, k * 0.75f), sdPolygon(p, tip), k * 0.2f);
        }, fill);
        break;
    }
}

void drawStar(Canvas& c, Vec centre, float outer, Color edge)
{
    auto pts = starPoints(centre, outer, outer * 0.46f, 5);
    auto inner = starPoints(centre, outer - 1.3f, (outer - 1.3f) * 0.46f, 5);
    Box box{centre.x - outer, centre.y - outer, centre.x + outer, centre.y + outer};
    c.fill(box, [&](Vec p) { return sdPolygon(p, pts); }, edge);
    c.fill(box, [&](Vec p) { return sdPolygon(p, inner); }, [&](Vec p) {
        float t = clamp01((p.y - (centre.y - outer)) / (2 * outer));
        return mix(rgb(255, 252, 200), rgb(255, 184, 20), t);
    });
}

void drawBalloon(Canvas& c, Vec o, float s, int colour, bool star, bool withMark)
{
    const BalloonLook& look = balloonLook(colour);
    Vec ctr{o.x + 16 * s, o.y + 15 * s};
    float rx = 13.6f * s, ry = 14.6f * s;
    // Egg shape: a little narrower towards the knot.
    auto body = [&](Vec p) {
        float t = std::max(0.0f, (p.y - ctr.y) / ry);
        Vec q{ctr.x + (p.x - ctr.x) / (1.0f - 0.10f * t), p.y};
        return sdEllipse(q, ctr, rx, ry);
    };
    Box box{ctr.x - rx - 1, ctr.y - ry - 1, ctr.x + rx + 1, ctr.y + ry + 1};
    float bottom = ctr.y + ry;

    // String first, so the knot covers its top.
    Color stringColor = rgb(70, 76, 100);
    Vec a{ctr.x, bottom + 2 * s}, b{ctr.x - 1.2f * s, bottom + 5 * s}, d{ctr.x + 0.4f * s, o.y + 40 * s};
    float sw = std::max(0.65f, 0.6f * s);
    c.fill({ctr.x - 3 * s, bottom, ctr.x + 3 * s, o.y + 40 * s},
           [&](Vec p) { return opUnion(sdSegment(p, a, b, sw), sdSegment(p, b, d, sw)); }, stringColor);
    std::vector<Vec> knot{{ctr.x, bottom - 1.5f * s}, {ctr.x + 2.6f * s, bottom + 2.6f * s}, {ctr.x - 2.6f * s, bottom + 2.6f * s}};
    c.fill({ctr.x - 3 * s, bottom - 2 * s, ctr.x + 3 * s, bottom + 3 * s}, [&](Vec p) { return sdPolygon(p, knot); }, look.dark);

    float rim = std::max(1.1f, 0.9f * s);
    Color edge = star ? rgb(255, 190, 20) : look.dark;
    c.fill(box, body, edge);
    Vec hl{ctr.x - 0.38f * rx, ctr.y - 0.45f * ry};
    c.fill(box, [&](Vec p) { return body(p) + rim; }, [&](Vec p) {
        float t = length(p - hl) / (1.55f * rx);
        Color col = mix(look.light, look.base, smoothstep(0.0f, 0.45f, t));
        return mix(col, darken(look.base, 0.28f), smoothstep(0.62f, 1.15f, t));
    });
    if (star) c.stroke(box, [&](Vec p) { return body(p) + rim + 0.4f * s; }, 0.7f * s, rgb(255, 240, 150, 0.9f));
    // Shine.
    c.fill(box, [&](Vec p) { return sdEllipse(p, {hl.x, hl.y + 1.5f * s}, 2.4f * s, 3.6f * s); }, rgb(255, 255, 255, 0.85f));
    if (withMark) drawMark(c, colour, {ctr.x + 0.5f * s, ctr.y + 4.0f * s}, 4.3f * s, look.mark);
    if (star) {
        drawStar(c, {o.x + 24.0f * s, o.y + 8.0f * s}, 8.0f * s, rgb(196, 86, 0));
        drawSparkle(c, {o.x + 6 * s, o.y + 26 * s}, 3.0f * s, rgb(255, 255, 220));
    }
}

void drawSparkle(Canvas& c, Vec m, float k, Color fill)
{
    std::vector<Vec> pts{{m.x, m.y - k}, {m.x + k * 0.22f, m.y - k * 0.22f}, {m.x + k, m.y}, {m.x + k * 0.22f, m.y + k * 0.22f},
                         {m.x, m.y + k}, {m.x - k * 0.22f, m.y + k * 0.22f}, {m.x - k, m.y}, {m.x - k * 0.22f, m.y - k * 0.22f}};
    c.fill({m.x - k, m.y - k, m.x + k, m.y + k}, [&](Vec p) { return sdPolygon(p, pts); }, fill);
}

void drawPuffCloud(Canvas& c, Box a, Color fill, Color shade, Color rim)
{
    float w = a.x1 - a.x0, h = a.y1 - a.y0;
    auto cloud = [&](Vec p) {
        float base = sdRoundBox(p, a.x0 + w * 0.04f, a.y0 + h * 0.45f, w * 0.92f, h * 0.5f, h * 0.25f);
        float d = opSmoothUnion(base, sdCircle(p, {a.x0 + w * 0.32f, a.y0 + h * 0.48f}, h * 0.3f), h * 0.08f);
        d = opSmoothUnion(d, sdCircle(p, {a.x0 + w * 0.58f, a.y0 + h * 0.38f}, h * 0.36f), h * 0.08f);
        return opSmoothUnion(d, sdCircle(p, {a.x0 + w * 0.8f, a.y0 + h * 0.55f}, h * 0.24f), h * 0.08f);
    };
    if (rim.a > 0) c.fill(a, cloud, rim);
    float inset = rim.a > 0 ? 1.2f : 0.0f;
    c.fill(a, [&](Vec p) { return cloud(p) + inset; }, [&](Vec p) { return mix(fill, shade, smoothstep(a.y0 + h * 0.45f, a.y1, p.y)); });
}

void drawCard(Canvas& c, Box b, float r, Color top, Color bottom, Color border)
{
    float w = b.x1 - b.x0, h = b.y1 - b.y0;
    c.fill(b, [&](Vec p) { return sdRoundBox(p, b.x0, b.y0, w, h, r); }, border);
    c.fill(b, [&](Vec p) { return sdRoundBox(p, b.x0 + 3, b.y0 + 3, w - 6, h - 6, r - 2); },
           [&](Vec p) { return mix(top, bottom, clamp01((p.y - b.y0) / h)); });
}

} // namespace gen
