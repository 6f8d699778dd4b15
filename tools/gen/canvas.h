// A floating-point RGBA picture with anti-aliased shape filling.
#pragma once

#include "color.h"
#include "shapes.h"

#include <cmath>
#include <vector>

namespace gen {

// Coverage values in 0..1, e.g. rendered text.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> value;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), value(size_t(w) * h, 0.0f) {}
    float at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
        return value[size_t(y) * width + x];
    }
    float& ref(int x, int y) { return value[size_t(y) * width + x]; }
};

// Grows a mask by a round brush of the given radius (outlines around text).
Mask dilate(const Mask& m, float radius);
// Softens a mask with repeated box blurs (shadows and glows); grows it by the radius.
Mask blur(const Mask& m, int radius);

struct Box {
    float x0, y0, x1, y1;
};

class Canvas {
public:
    Canvas() = default;
    Canvas(int w, int h, Color fill = {});

    int width() const { return width_; }
    int height() const { return height_; }

    // Straight colour of a pixel.
    Color get(int x, int y) const;
    void set(int x, int y, Color c);
    // Source-over of colour c at the given coverage.
    void blend(int x, int y, Color c, float coverage);

    // Fill the pixels of a box whose centres lie inside a distance field, colouring each with paint(x, y).
    template <class Dist, class Paint>
    void fill(Box box, Dist dist, Paint paint)
    {
        int x0 = std::max(0, int(std::floor(box.x0)) - 1), x1 = std::min(width_, int(std::ceil(box.x1)) + 1);
        int y0 = std::max(0, int(std::floor(box.y0)) - 1), y1 = std::min(height_, int(std::ceil(box.y1)) + 1);
        for (int y = y0; y < y1; y++) {
            for (int x = x0; x < x1; x++) {
                Vec p{x + 0.5f, y + 0.5f};
                float cover = clamp01(0.5f - dist(p));
                if (cover > 0) blend(x, y, paint(p), cover);
            }
        }
    }
    template <class Dist>
    void fill(Box box, Dist dist, Color c)
    {
        fill(box, dist, [c](Vec) { return c; });
    }
    // A band of the given width centred on the edge of a distance field.
    template <class Dist>
    void stroke(Box box, Dist dist, float width, Color c)
    {
        fill({box.x0 - width, box.y0 - width, box.x1 + width, box.y1 + width},
             [&](Vec p) { return std::fabs(dist(p)) - width / 2; }, c);
    }

    template <class Paint>
    void fillMask(const Mask& m, int ox, int oy, Paint paint)
    {
        for (int y = 0; y < m.height; y++)
            for (int x = 0; x < m.width; x++) {
                float cover = m.value[size_t(y) * m.width + x];
                if (cover > 0) blend(ox + x, oy + y, paint(Vec{ox + x + 0.5f, oy + y + 0.5f}), cover);
            }
    }
    void fillMask(const Mask& m, int ox, int oy, Color c)
    {
        fillMask(m, ox, oy, [c](Vec) { return c; });
    }

    // Composite another canvas on this one at (dx, dy).
    void draw(const Canvas& src, int dx, int dy, float opacity = 1.0f);
    // A copy of a rectangle of this canvas (outside parts transparent).
    Canvas crop(int x, int y, int w, int h) const;
    // Box-filtered reduction by an integer factor (contact sheet thumbnails).
    Canvas shrink(int factor) const;
    // Mirror left to right.
    Canvas mirrored() const;
    // Alpha of each pixel as a mask.
    Mask alphaMask() const;

private:
    int width_ = 0, height_ = 0;
    std::vector<Color> px_; // premultiplied
};

} // namespace gen
