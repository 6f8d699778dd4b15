#include "shapes.h"

#include <algorithm>

namespace gen {

float sdPolygon(Vec p, const std::vector<Vec>& poly)
{
    size_t n = poly.size();
    if (n < 3) return 1e9f;
    float d = dot(p - poly[0], p - poly[0]);
    float sign = 1.0f;
    for (size_t i = 0, j = n - 1; i < n; j = i, i++) {
        Vec e = poly[j] - poly[i];
        Vec w = p - poly[i];
        float t = std::clamp(dot(w, e) / dot(e, e), 0.0f, 1.0f);
        Vec b = w - e * t;
        d = std::min(d, dot(b, b));
        bool c1 = p.y >= poly[i].y, c2 = p.y < poly[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sign = -sign;
    }
    return sign * std::sqrt(d);
}

std::vector<Vec> starPoints(Vec c, float outer, float inner, int points, float rotation)
{
    std::vector<Vec> out;
    for (int i = 0; i < points * 2; i++) {
        float r = (i % 2 == 0) ? outer : inner;
        float a = rotation - float(M_PI) / 2 + float(M_PI) * i / points;
        out.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return out;
}

std::vector<Vec> heartPoints(Vec c, float size)
{
    // The classic parametric heart, scaled so that its width is about 2 * size.
    std::vector<Vec> out;
    for (int i = 0; i < 64; i++) {
        float t = 2 * float(M_PI) * i / 64;
        float s = std::sin(t);
        float x = 16 * s * s * s;
        float y = 13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        out.push_back({c.x + x * size / 16, c.y - (y + 2.5f) * size / 16});
    }
    return out;
}

std::vector<Vec> regularPoints(Vec c, float r, int sides, float rotation)
{
    std::vector<Vec> out;
    for (int i = 0; i < sides; i++) {
        float a = rotation - float(M_PI) / 2 + 2 * float(M_PI) * i / sides;
        out.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    return out;
}

} // namespace gen
