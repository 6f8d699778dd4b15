#include "canvas.h"

namespace gen {

Canvas::Canvas(int w, int h, Color fill) : width_(w), height_(h), px_(size_t(w) * h)
{
    Color p{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
    std::fill(px_.begin(), px_.end(), p);
}

Color Canvas::get(int x, int y) const
{
    const Color& p = px_[size_t(y) * width_ + x];
    if (p.a <= 0) return {};
    return {clamp01(p.r / p.a), clamp01(p.g / p.a), clamp01(p.b / p.a), p.a};
}

void Canvas::set(int x, int y, Color c)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    px_[size_t(y) * width_ + x] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::blend(int x, int y, Color c, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    float a = clamp01(c.a * coverage);
    Color& d = px_[size_t(y) * width_ + x];
    float k = 1 - a;
    d.r = c.r * a + d.r * k;
    d.g = c.g * a + d.g * k;
    d.b = c.b * a + d.b * k;
    d.a = a + d.a * k;
}

void Canvas::draw(const Canvas& src, int dx, int dy, float opacity)
{
    for (int y = 0; y < src.height_; y++) {
        int ty = y + dy;
        if (ty < 0 || ty >= height_) continue;
        for (int x = 0; x < src.width_; x++) {
            int tx = x + dx;
            if (tx < 0 || tx >= width_) continue;
            const Color& s = src.px_[size_t(y) * src.width_ + x];
            if (s.a <= 0) continue;
            Color& d = px_[size_t(ty) * width_ + tx];
            float k = 1 - s.a * opacity;
            d.r = s.r * opacity + d.r * k;
            d.g = s.g * opacity + d.g * k;
            d.b = s.b * opacity + d.b * k;
            d.a = s.a * opacity + d.a * k;
        }
    }
}

Canvas Canvas::crop(int x, int y, int w, int h) const
{
    Canvas out(w, h);
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++)
            if (x + i >= 0 && y + j >= 0 && x + i < width_ && y + j < height_)
                out.px_[size_t(j) * w + i] = px_[size_t(y + j) * width_ + x + i];
    return out;
}

Canvas Canvas::shrink(int factor) const
{
    int w = std::max(1, width_ / factor), h = std::max(1, height_ / factor);
    Canvas out(w, h);
    float n = float(factor * factor);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            Color sum{};
            for (int j = 0; j < factor; j++)
                for (int i = 0; i < factor; i++) {
                    const Color& p = px_[size_t(y * factor + j) * width_ + x * factor + i];
                    sum.r += p.r, sum.g += p.g, sum.b += p.b, sum.a += p.a;
                }
            out.px_[size_t(y) * w + x] = {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
        }
    return out;
}

Canvas Canvas::mirrored() const
{
    Canvas out(width_, height_);
    for (int y = 0; y < height_; y++)
        for (int x = 0; x < width_; x++)
            out.px_[size_t(y) * width_ + x] = px_[size_t(y) * width_ + (width_ - 1 - x)];
    return out;
}

Mask Canvas::alphaMask() const
{
    Mask m(width_, height_);
    for (size_t i = 0; i < px_.size(); i++) m.value[i] = px_[i].a;
    return m;
}

Mask dilate(const Mask& m, float radius)
{
    int r = int(std::ceil(radius)) + 1;
    Mask out(m.width + 2 * r, m.height + 2 * r);
    for (int y = 0; y < out.height; y++)
        for (int x = 0; x < out.width; x++) {
            float best = 0;
            for (int j = -r; j <= r && best < 1; j++)
                for (int i = -r; i <= r; i++) {
                    float v = m.at(x - r + i, y - r + j);
                    if (v <= 0) continue;
                    float w = clamp01(radius + 0.5f - std::sqrt(float(i * i + j * j)));
                    best = std::max(best, v * w);
                }
            out.ref(x, y) = best;
        }
    return out;
}

Mask blur(const Mask& m, int radius)
{
    int pad = radius * 3;
    Mask cur(m.width + 2 * pad, m.height + 2 * pad);
    for (int y = 0; y < m.height; y++)
        for (int x = 0; x < m.width; x++) cur.ref(x + pad, y + pad) = m.at(x, y);
    for (int pass = 0; pass < 3; pass++) {
        Mask tmp(cur.width, cur.height);
        float n = float(2 * radius + 1);
        for (int y = 0; y < cur.height; y++)
            for (int x = 0; x < cur.width; x++) {
                float s = 0;
                for (int i = -radius; i <= radius; i++) s += cur.at(x + i, y);
                tmp.ref(x, y) = s / n;
            }
        for (int y = 0; y < cur.height; y++)
            for (int x = 0; x < cur.width; x++) {
                float s = 0;
                for (int j = -radius; j <= radius; j++) s += tmp.at(x, y + j);
                cur.ref(x, y) = s / n;
            }
    }
    return cur;
}

} // namespace gen
