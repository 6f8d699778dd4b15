// Colours for the art generator: straight (not premultiplied) RGBA in 0..1.
#pragma once

#include <algorithm>

namespace gen {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

inline Color rgb(int r, int g, int b, float a = 1.0f)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f, a};
}

inline float lerp(float a, float b, float t) { return a + (b - a) * t; }

inline Color mix(Color a, Color b, float t)
{
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t), lerp(a.a, b.a, t)};
}

inline Color withAlpha(Color c, float a) { return {c.r, c.g, c.b, a}; }
inline Color lighten(Color c, float t) { return mix(c, withAlpha(rgb(255, 255, 255), c.a), t); }
inline Color darken(Color c, float t) { return mix(c, withAlpha(rgb(0, 0, 0), c.a), t); }

inline float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

inline float smoothstep(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

} // namespace gen
