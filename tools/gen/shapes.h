// Signed distance functions (negative inside, in pixels) for the art's shapes.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace gen {

struct Vec {
    float x = 0, y = 0;
};

inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline Vec operator*(Vec a, float s) { return {a.x * s, a.y * s}; }
inline float dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec a) { return std::sqrt(dot(a, a)); }

inline float sdCircle(Vec p, Vec c, float r) { return length(p - c) - r; }

// Ellipse distance by first-order approximation: exact enough for art edges.
inline float sdEllipse(Vec p, Vec c, float rx, float ry)
{
    Vec q = p - c;
    float k0 = std::sqrt(q.x * q.x / (rx * rx) + q.y * q.y / (ry * ry));
    float k1 = std::sqrt(q.x * q.x / (rx * rx * rx * rx) + q.y * q.y / (ry * ry * ry * ry));
    if (k1 < 1e-6f) return -std::min(rx, ry);
    return k0 * (k0 - 1.0f) / k1;
}

// Axis-aligned box with rounded corners; (x, y, w, h) and corner radius.
inline float sdRoundBox(Vec p, float x, float y, float w, float h, float r)
{
    Vec c{x + w / 2, y + h / 2};
    float qx = std::fabs(p.x - c.x) - (w / 2 - r);
    float qy = std::fabs(p.y - c.y) - (h / 2 - r);
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

// Capsule around the segment a-b: a line of width 2r with round caps.
inline float sdSegment(Vec p, Vec a, Vec b, float r)
{
    Vec pa = p - a, ba = b - a;
    float len2 = dot(ba, ba);
    float h = len2 > 0 ? std::clamp(dot(pa, ba) / len2, 0.0f, 1.0f) : 0.0f;
    return length(pa - ba * h) - r;
}

float sdPolygon(Vec p, const std::vector<Vec>& poly);

std::vector<Vec> starPoints(Vec c, float outer, float inner, int points, float rotation = 0);
std::vector<Vec> heartPoints(Vec c, float size);
std::vector<Vec> regularPoints(Vec c, float r, int sides, float rotation = 0);

inline float opUnion(float a, float b) { return std::min(a, b); }
inline float opSubtract(float a, float b) { return std::max(a, -b); }
inline float opIntersect(float a, float b) { return std::max(a, b); }

// Smooth union: rounds the crease where two shapes meet (clouds, puffs).
inline float opSmoothUnion(float a, float b, float k)
{
    float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1.0f - h);
}

} // namespace gen
